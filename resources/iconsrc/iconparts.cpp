// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/iconsrc/iconparts.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTransform>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace iconart {

// ---- small helpers ---------------------------------------------------------

QPen inkPen(qreal width, const QColor& colour)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QBrush vGradient(qreal y0, qreal y1, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

QBrush vGradient(const QRectF& r, const QColor& top, const QColor& bottom)
{
    return vGradient(r.top(), r.bottom(), top, bottom);
}

QPainterPath polygon(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& c : corners) {
        if (first)
            path.moveTo(c);
        else
            path.lineTo(c);
        first = false;
    }
    path.closeSubpath();
    return path;
}

void fillOutlined(QPainter& p, const QPainterPath& path, const QBrush& fill, qreal width)
{
    p.setPen(inkPen(width));
    p.setBrush(fill);
    p.drawPath(path);
}

// The area covered by a line of the given width along `centre`.
QPainterPath thick(const QPainterPath& centre, qreal width, Qt::PenCapStyle cap)
{
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(cap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(centre).simplified();
}

void redCross(QPainter& p, const QRectF& r, qreal width, qreal top, qreal bottom)
{
    QPainterPath x;
    x.moveTo(r.topLeft());
    x.lineTo(r.bottomRight());
    x.moveTo(r.topRight());
    x.lineTo(r.bottomLeft());
    fillOutlined(p, thick(x, width, Qt::RoundCap), vGradient(top, bottom, kRed, kRedDark));
}

// A thick arrow along `centre`, with a head of the given length and width
// at its end, following the direction of the path's last segment.
QPainterPath arrow(const QPainterPath& centre, qreal width, qreal headLength, qreal headWidth)
{
    const QPointF end = centre.pointAtPercent(1.0);
    const qreal angle = qDegreesToRadians(centre.angleAtPercent(1.0));
    const QPointF dir(std::cos(angle), -std::sin(angle));
    const QPointF normal(-dir.y(), dir.x());
    const QPainterPath head = polygon(
        {end + normal * headWidth / 2, end + dir * headLength, end - normal * headWidth / 2});
    return thick(centre, width).united(head).simplified();
}

// Runs `draw` (made for the 32 unit grid) shrunk into `box`; `draw` receives the
// outline width that keeps outlines one unit wide after the shrinking.
void place(QPainter& p, const QRectF& box, const std::function<void(qreal)>& draw)
{
    p.save();
    p.translate(box.topLeft());
    const qreal k = box.width() / 32.0;
    p.scale(k, k);
    draw(1.0 / k);
    p.restore();
}

// Text as a filled outline, centred on `centre`.
void glyphs(QPainter& p, const QPointF& centre, const QString& text, qreal pixelSize, const QBrush& fill,
            qreal outline, const QString& family)
{
    QFont f(family);
    f.setPixelSize(qRound(pixelSize * 4));  // laid out large, then scaled: no hinting
    f.setBold(true);
    QPainterPath path;
    path.addText(0, 0, f, text);
    QTransform t;
    t.scale(0.25, 0.25);
    path = t.map(path);
    path.translate(centre - path.boundingRect().center());
    p.setPen(outline > 0 ? inkPen(outline) : QPen(Qt::NoPen));
    p.setBrush(fill);
    p.drawPath(path);
}

// ---- shared parts ----------------------------------------------------------

namespace {

QPainterPath pagePath(const QRectF& r, qreal fold)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    return path;
}

}  // namespace

void page(QPainter& p, const QRectF& r, qreal fold, qreal lw)
{
    fillOutlined(p, pagePath(r, fold), vGradient(r, kPaperTop, kPaperBottom), lw);
    QPainterPath ear;
    ear.moveTo(r.right() - fold, r.top());
    ear.lineTo(r.right() - fold, r.top() + fold);
    ear.lineTo(r.right(), r.top() + fold);
    ear.closeSubpath();
    fillOutlined(p, ear, vGradient(r.top(), r.top() + fold, kMetalTop, kFold), lw);
}

// Horizontal text lines, 2 units thick, starting at `x` every `step` units.
void textLines(QPainter& p, qreal x, qreal y, const std::vector<qreal>& lengths, qreal step,
               const std::vector<QColor>& colours)
{
    for (size_t i = 0; i < lengths.size(); ++i) {
        const QColor c = colours.empty() ? kLine : colours[i % colours.size()];
        p.fillRect(QRectF(x, y + step * qreal(i), lengths[i], 2), c);
    }
}

void folderBack(QPainter& p, const QRectF& r)
{
    QPainterPath back;
    back.moveTo(r.left(), r.top());
    back.lineTo(r.left() + 8, r.top());
    back.lineTo(r.left() + 10.5, r.top() + 2.5);
    back.lineTo(r.right(), r.top() + 2.5);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    fillOutlined(p, back, vGradient(r, kYellowDark, QColor(0xd9, 0x80, 0x10)));
}

// The coffee cup with saucer and steam, on the 32 unit grid.
void cup(QPainter& p, qreal lw, bool steam)
{
    if (steam) {
        p.setPen(QPen(kSteam, 1.7 * std::max(lw, 1.0), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (qreal x : {10.0, 14.5, 19.0}) {
            QPainterPath s;
            s.moveTo(x, 10.5);
            s.cubicTo(x - 3, 8, x + 3, 5.5, x, 2);
            p.drawPath(s);
        }
    }
    // saucer
    fillOutlined(
        p,
        [] {
            QPainterPath s;
            s.addEllipse(QRectF(1.5, 24.5, 26, 6));
            return s;
        }(),
        vGradient(24.5, 30.5, kMetalTop, kMetalBottom), lw);
    // handle
    QPainterPath handle;
    handle.moveTo(22, 15.5);
    handle.cubicTo(29.5, 14.5, 29.5, 24, 20.5, 24.5);
    fillOutlined(p, thick(handle, 2.8), vGradient(14, 25, kMug, kMugDark), lw);
    // body
    QPainterPath body;
    body.moveTo(4.5, 14);
    body.cubicTo(4.5, 20, 6, 24.5, 9, 26.5);
    body.quadTo(14.5, 28.5, 20, 26.5);
    body.cubicTo(23, 24.5, 24.5, 20, 24.5, 14);
    body.closeSubpath();
    QLinearGradient shine(4.5, 0, 24.5, 0);
    shine.setColorAt(0, kMugDark);
    shine.setColorAt(0.3, kMug.lighter(115));
    shine.setColorAt(1, kMugDark);
    fillOutlined(p, body, shine, lw);
    // rim and coffee
    QPainterPath rim;
    rim.addEllipse(QRectF(4.5, 11.5, 20, 5));
    fillOutlined(p, rim, QColor(0xff, 0xa0, 0x7a), lw);
    QPainterPath coffee;
    coffee.addEllipse(QRectF(6.5, 12.5, 16, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(kCoffee);
    p.drawPath(coffee);
}

void magnifier(QPainter& p, qreal lw)
{
    QPainterPath handle;
    handle.moveTo(19.5, 19.5);
    handle.lineTo(28, 28);
    fillOutlined(p, thick(handle, 5, Qt::RoundCap),
                 vGradient(19, 30, QColor(0x8d, 0x6e, 0x63), QColor(0x4e, 0x34, 0x2e)), lw);
    QPainterPath rim;
    rim.addEllipse(QPointF(13, 13), 10, 10);
    QPainterPath glass;
    glass.addEllipse(QPointF(13, 13), 7, 7);
    fillOutlined(p, rim.subtracted(glass), vGradient(3, 23, QColor(0xcf, 0xd8, 0xdc), QColor(0x60, 0x7d, 0x8b)), lw);
    QRadialGradient g(QPointF(10, 10), 9);
    g.setColorAt(0, QColor(0xff, 0xff, 0xff));
    g.setColorAt(1, QColor(0xa6, 0xd4, 0xfa));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(glass);
    p.setPen(QPen(QColor(255, 255, 255, 230), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8.5, 8.5, 9, 9), 100 * 16, 70 * 16);
}

namespace {

QPainterPath gearPath(const QPointF& c, qreal outer, qreal inner, qreal hole, int teeth)
{
    QPainterPath g;
    const qreal step = 2 * M_PI / teeth;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = i * step;
        const qreal half = step * 0.22;
        const auto at = [&](qreal r, qreal ang) { return c + QPointF(r * std::cos(ang), r * std::sin(ang)); };
        if (i == 0)
            g.moveTo(at(inner, a - step / 2 + half * 0.6));
        g.lineTo(at(outer, a - half));
        g.lineTo(at(outer, a + half));
        g.lineTo(at(inner, a + step / 2 - half * 0.6));
    }
    g.closeSubpath();
    QPainterPath h;
    h.addEllipse(c, hole, hole);
    return g.subtracted(h);
}

}  // namespace

void gear(QPainter& p, const QPointF& c, qreal outer, qreal lw)
{
    fillOutlined(p, gearPath(c, outer, outer * 0.72, outer * 0.3, 8),
                 vGradient(c.y() - outer, c.y() + outer, QColor(0xcf, 0xd8, 0xdc), QColor(0x54, 0x6e, 0x7a)), lw);
}

void floppy(QPainter& p, qreal lw)
{
    QPainterPath body;
    body.moveTo(3.5, 5.5);
    body.quadTo(3.5, 3.5, 5.5, 3.5);
    body.lineTo(25, 3.5);
    body.lineTo(28.5, 7);
    body.lineTo(28.5, 26.5);
    body.quadTo(28.5, 28.5, 26.5, 28.5);
    body.lineTo(5.5, 28.5);
    body.quadTo(3.5, 28.5, 3.5, 26.5);
    body.closeSubpath();
    fillOutlined(p, body, vGradient(3.5, 28.5, kBlue, kBlueDark), lw);
    QPainterPath shutter;
    shutter.addRect(QRectF(9.5, 3.5, 13, 8));
    fillOutlined(p, shutter, vGradient(3.5, 11.5, kMetalTop, kMetalBottom), lw);
    p.fillRect(QRectF(17, 5, 3, 5), kBlueDark);
    QPainterPath label;
    label.addRoundedRect(QRectF(7.5, 15.5, 17, 13), 1, 1);
    fillOutlined(p, label, vGradient(15.5, 28.5, kPaperTop, kPaperBottom), lw);
    textLines(p, 10, 19, {12, 12}, 4, {kLine});
}

// A pencil lying from `from` (eraser end) to `to` (tip).
void pencil(QPainter& p, const QPointF& from, const QPointF& to, qreal width)
{
    const QLineF axis(from, to);
    p.save();
    p.translate(from);
    p.rotate(-axis.angle());
    const qreal len = axis.length();
    const qreal w = width / 2;
    QPainterPath eraser;
    eraser.addRoundedRect(QRectF(0, -w, 4, width), 1.2, 1.2);
    fillOutlined(p, eraser, vGradient(-w, w, QColor(0xf4, 0x8f, 0xb1), QColor(0xc2, 0x18, 0x5b)));
    QPainterPath body;
    body.addRect(QRectF(4, -w, len - 10, width));
    fillOutlined(p, body, vGradient(-w, w, kYellow, kYellowDark));
    const QPainterPath wood = polygon({{len - 6, -w}, {len, 0}, {len - 6, w}});
    fillOutlined(p, wood, QColor(0xf3, 0xd7, 0xa6));
    const QPainterPath lead = polygon({{len - 2.2, -w * 0.37}, {len, 0}, {len - 2.2, w * 0.37}});
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPath(lead);
    p.restore();
}

void starBadge(QPainter& p, const QPointF& c, qreal outer)
{
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2) ? outer * 0.48 : outer;
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        const QPointF pt = c + QPointF(r * std::cos(a), r * std::sin(a));
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    fillOutlined(p, star, vGradient(c.y() - outer, c.y() + outer, QColor(0xff, 0xf1, 0x76), kYellowDark));
}

// A round badge with a plus or minus sign in it.
void signBadge(QPainter& p, const QPointF& c, qreal r, bool plus, const QColor& top, const QColor& bottom)
{
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    fillOutlined(p, disc, vGradient(c.y() - r, c.y() + r, top, bottom));
    const qreal a = r * 0.55;
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(c.x() - a, c.y()), QPointF(c.x() + a, c.y()));
    if (plus)
        p.drawLine(QPointF(c.x(), c.y() - a), QPointF(c.x(), c.y() + a));
}

void playTriangle(QPainter& p, const QPointF& a, const QPointF& tip, const QPointF& b)
{
    const QPainterPath t = polygon({a, tip, b});
    p.setPen(QPen(kInk, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(t);  // rounded dark corners
    p.setPen(QPen(QColor(0x43, 0xa0, 0x47), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vGradient(a.y(), b.y(), QColor(0x9c, 0xe0, 0x6c), kGreenDark));
    p.drawPath(t);
}

void windowFrame(QPainter& p, const QRectF& r, qreal bar)
{
    QPainterPath frame;
    frame.addRoundedRect(r, 1.5, 1.5);
    fillOutlined(p, frame, vGradient(r, kPaperTop, kPaperBottom));
    QPainterPath title;
    title.addRoundedRect(QRectF(r.left(), r.top(), r.width(), bar), 1.5, 1.5);
    title.addRect(QRectF(r.left(), r.top() + bar / 2, r.width(), bar / 2));
    fillOutlined(p, title.simplified(), vGradient(r.top(), r.top() + bar, kBlue, kBlueDark));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(r.right() - 3 - 3 * i, r.top() + bar / 2), 0.9, 0.9);
}

void printer(QPainter& p)
{
    QPainterPath input;
    input.addRect(QRectF(8.5, 2.5, 15, 11));
    fillOutlined(p, input, vGradient(2.5, 13.5, kPaperTop, kPaperBottom));
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 11.5, 27, 12), 2.5, 2.5);
    fillOutlined(p, body, vGradient(11.5, 23.5, QColor(0xec, 0xef, 0xf1), QColor(0x78, 0x90, 0x9c)));
    p.fillRect(QRectF(6, 18.5, 20, 1.5), kInk);
    p.setPen(inkPen(0.8));
    p.setBrush(QColor(0x76, 0xff, 0x03));
    p.drawEllipse(QPointF(25, 15), 1.3, 1.3);
    QPainterPath output;
    output.addRect(QRectF(7.5, 19.5, 17, 10));
    fillOutlined(p, output, vGradient(19.5, 29.5, kPaperTop, kPaperBottom));
    textLines(p, 10, 22.5, {12, 9}, 3.5);
}
}  // namespace iconart
