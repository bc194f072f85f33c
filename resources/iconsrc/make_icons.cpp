// SPDX-License-Identifier: GPL-3.0-or-later
// make_icons: draws Brewpad's icons with QPainter and writes them as PNG files.
//
//   make_icons <output dir>                 writes every icon into <output dir>
//   make_icons <output dir> --sheet <png>   also writes a contact sheet to look at
//   make_icons --hicolor <theme dir>        writes the program's icon at the sizes of
//                                           a desktop icon theme, as
//                                           <theme dir>/<N>x<N>/apps/brewpad.png
//
// Every icon is drawn on a 32 by 32 unit grid (scaled up for the 64 pixel frame
// icon). Outlines are one unit wide and sit on half units so that they stay
// crisp at 32 pixels. One palette and a few shared parts (page, folder, cup,
// magnifier, arrows, gear) keep the set consistent.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QtMath>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

// ---- palette ---------------------------------------------------------------

const QColor kInk(0x26, 0x32, 0x38);
const QColor kPaperTop(0xff, 0xff, 0xff);
const QColor kPaperBottom(0xdc, 0xe4, 0xea);
const QColor kFold(0xb0, 0xbe, 0xc5);
const QColor kLine(0x90, 0xa4, 0xae);
const QColor kBlue(0x42, 0x9b, 0xec);
const QColor kBlueDark(0x15, 0x65, 0xc0);
const QColor kGreen(0x6c, 0xc0, 0x4a);
const QColor kGreenDark(0x2e, 0x7d, 0x32);
const QColor kRed(0xef, 0x53, 0x50);
const QColor kRedDark(0xc6, 0x28, 0x28);
const QColor kYellow(0xff, 0xd5, 0x4f);
const QColor kYellowDark(0xf5, 0xa6, 0x23);
const QColor kMetalTop(0xf5, 0xf7, 0xf8);
const QColor kMetalBottom(0x90, 0xa4, 0xae);
const QColor kMug(0xe8, 0x65, 0x3a);
const QColor kMugDark(0xb3, 0x3c, 0x1a);
const QColor kCoffee(0x5d, 0x36, 0x17);
const QColor kSteam(0x8a, 0x9b, 0xa5);

// ---- small helpers ---------------------------------------------------------

QPen inkPen(qreal width = 1.0, const QColor& colour = kInk)
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

void fillOutlined(QPainter& p, const QPainterPath& path, const QBrush& fill, qreal width = 1.0)
{
    p.setPen(inkPen(width));
    p.setBrush(fill);
    p.drawPath(path);
}

// The area covered by a line of the given width along `centre`.
QPainterPath thick(const QPainterPath& centre, qreal width, Qt::PenCapStyle cap = Qt::FlatCap)
{
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(cap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(centre).simplified();
}

// A thick arrow along `centre`, with a head of the given length and width
// at its end, following the direction of the path's last segment.
QPainterPath arrow(const QPainterPath& centre, qreal width, qreal headLength, qreal headWidth)
{
    const QPointF end = centre.pointAtPercent(1.0);
    const qreal angle = qDegreesToRadians(centre.angleAtPercent(1.0));
    const QPointF dir(std::cos(angle), -std::sin(angle));
    const QPointF normal(-dir.y(), dir.x());
    QPainterPath head;
    head.moveTo(end + normal * headWidth / 2);
    head.lineTo(end + dir * headLength);
    head.lineTo(end - normal * headWidth / 2);
    head.closeSubpath();
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
            qreal outline = 0.0, const QString& family = QStringLiteral("DejaVu Sans"))
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

void page(QPainter& p, const QRectF& r, qreal fold = 6, qreal lw = 1.0)
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
void textLines(QPainter& p, qreal x, qreal y, const std::vector<qreal>& lengths, qreal step = 4,
               const std::vector<QColor>& colours = {})
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
void cup(QPainter& p, qreal lw, bool steam = true)
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

void gear(QPainter& p, const QPointF& c, qreal outer, qreal lw = 1.0)
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
    QPainterPath wood;
    wood.moveTo(len - 6, -w);
    wood.lineTo(len, 0);
    wood.lineTo(len - 6, w);
    wood.closeSubpath();
    fillOutlined(p, wood, QColor(0xf3, 0xd7, 0xa6));
    QPainterPath lead;
    lead.moveTo(len - 2.2, -w * 0.37);
    lead.lineTo(len, 0);
    lead.lineTo(len - 2.2, w * 0.37);
    lead.closeSubpath();
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
    QPainterPath t;
    t.moveTo(a);
    t.lineTo(tip);
    t.lineTo(b);
    t.closeSubpath();
    p.setPen(QPen(kInk, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(t);  // rounded dark corners
    p.setPen(QPen(QColor(0x43, 0xa0, 0x47), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vGradient(a.y(), b.y(), QColor(0x9c, 0xe0, 0x6c), kGreenDark));
    p.drawPath(t);
}

void windowFrame(QPainter& p, const QRectF& r, qreal bar = 5.5)
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

// ---- the icons -------------------------------------------------------------

void drawBrewpad(QPainter& p)
{
    cup(p, 1.0);
}

void drawEditor(QPainter& p)
{
    page(p, QRectF(4.5, 1.5, 21, 28));
    textLines(p, 7.5, 6, {8, 11, 13, 9, 6, 10}, 3.5,
              {kBlueDark, kLine, QColor(0xe6, 0x51, 0x00), kLine, kBlueDark, kLine});
    place(p, QRectF(14, 14, 18, 18), [&](qreal lw) { cup(p, lw, false); });
}

void drawProject(QPainter& p)
{
    // a small project tree: a folder holding two Java files
    p.setPen(QPen(kLine, 1.0));
    p.drawLine(QPointF(6.5, 11), QPointF(6.5, 25.5));
    p.drawLine(QPointF(6.5, 16.5), QPointF(11, 16.5));
    p.drawLine(QPointF(6.5, 25.5), QPointF(11, 25.5));
    folderBack(p, QRectF(1.5, 1.5, 14, 10));
    QPainterPath front;
    front.addRect(QRectF(1.5, 5.5, 14, 6));
    fillOutlined(p, front, vGradient(5.5, 11.5, kYellow, kYellowDark));
    p.fillRect(QRectF(18, 5, 12, 3), kYellowDark);
    for (qreal y : {11.5, 20.5}) {
        page(p, QRectF(11.5, y, 8, 10), 3);
        p.fillRect(QRectF(22, y + 3.5, 8, 3), y < 20 ? kBlue : kLine);
    }
}

void drawWorld(QPainter& p)
{
    const QPointF c(16, 16);
    const qreal r = 13.5;
    QRadialGradient g(QPointF(11, 10), 19);
    g.setColorAt(0, QColor(0x90, 0xca, 0xf9));
    g.setColorAt(0.6, kBlue);
    g.setColorAt(1, kBlueDark);
    QPainterPath globe;
    globe.addEllipse(c, r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(globe);
    p.save();
    p.setClipPath(globe);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.1));
    p.setBrush(Qt::NoBrush);
    for (qreal k : {0.42, 0.82})
        p.drawEllipse(c, r * k, r);
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    for (qreal dy : {-7.0, 0.0, 7.0})
        p.drawLine(QPointF(c.x() - r, c.y() + dy), QPointF(c.x() + r, c.y() + dy));
    p.restore();
    p.setPen(inkPen(1.2, QColor(0x0d, 0x3c, 0x7a)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(globe);
}

void drawNewFile(QPainter& p)
{
    page(p, QRectF(7.5, 3.5, 20, 26));
    starBadge(p, QPointF(9, 9), 8);
}

void drawOpenFile(QPainter& p)
{
    folderBack(p, QRectF(1.5, 5.5, 24, 22));
    page(p, QRectF(7.5, 3.5, 14, 17), 4);
    textLines(p, 10, 10, {7, 9}, 3.5);
    QPainterPath front;
    front.moveTo(6, 13.5);
    front.lineTo(30.5, 13.5);
    front.lineTo(25.5, 27.5);
    front.lineTo(1.5, 27.5);
    front.closeSubpath();
    fillOutlined(p, front, vGradient(13.5, 27.5, QColor(0xff, 0xe0, 0x82), kYellowDark));
}

void drawSave(QPainter& p)
{
    floppy(p, 1.0);
}

void drawSaveAs(QPainter& p)
{
    place(p, QRectF(0, 0, 26, 26), [&](qreal lw) { floppy(p, lw); });
    pencil(p, QPointF(29, 13.5), QPointF(14, 29.5), 5.5);
}

void drawPrint(QPainter& p)
{
    printer(p);
}

void drawUndo(QPainter& p)
{
    QPainterPath c;
    c.moveTo(25, 27);
    c.cubicTo(29, 16, 21, 8.5, 11.5, 11);
    fillOutlined(p, arrow(c, 4.5, 8, 13), vGradient(4, 27, kBlue, kBlueDark));
}

void drawCut(QPainter& p)
{
    const auto blade = [&](const QPointF& base, const QPointF& tip, qreal bulge) {
        const QLineF axis(base, tip);
        const QPointF n = QPointF(-(tip - base).y(), (tip - base).x()) / axis.length();
        QPainterPath b;
        b.moveTo(base + n * 2.4);
        b.quadTo(axis.pointAt(0.55) + n * bulge, tip);
        b.quadTo(axis.pointAt(0.5) - n * 2.0, base - n * 2.4);
        b.closeSubpath();
        fillOutlined(p, b, vGradient(2, 22, Qt::white, QColor(0xb0, 0xbe, 0xc5)));
    };
    blade(QPointF(11, 21), QPointF(24.5, 1.5), 7.0);
    blade(QPointF(21, 21), QPointF(7.5, 1.5), -7.0);
    p.setPen(inkPen(0.8));
    p.setBrush(kMetalBottom);
    p.drawEllipse(QPointF(16, 13.3), 1.3, 1.3);
    for (qreal x : {9.5, 22.5}) {
        QPainterPath ring;
        ring.addEllipse(QPointF(x, 25), 5, 4.5);
        QPainterPath hole;
        hole.addEllipse(QPointF(x, 25), 2.5, 2);
        fillOutlined(p, ring.subtracted(hole), vGradient(20, 30, kRed, kRedDark));
    }
}

void drawCopy(QPainter& p)
{
    page(p, QRectF(3.5, 1.5, 16, 20), 5);
    textLines(p, 6, 8, {9, 7, 9}, 3.5);
    page(p, QRectF(12.5, 9.5, 16, 20), 5);
    textLines(p, 15, 16, {9, 11, 7, 10}, 3.5);
}

void drawPaste(QPainter& p)
{
    QPainterPath board;
    board.addRoundedRect(QRectF(3.5, 4.5, 20, 25), 2, 2);
    fillOutlined(p, board, vGradient(4.5, 29.5, QColor(0xbc, 0xaa, 0xa4), QColor(0x6d, 0x4c, 0x41)));
    QPainterPath clip;
    clip.addRoundedRect(QRectF(8.5, 2.5, 10, 5), 1.5, 1.5);
    fillOutlined(p, clip, vGradient(2.5, 7.5, kMetalTop, kMetalBottom));
    page(p, QRectF(12.5, 11.5, 16, 18), 5);
    textLines(p, 15, 18, {9, 11, 8}, 3.5);
}

void drawGotoLine(QPainter& p)
{
    page(p, QRectF(8.5, 1.5, 21, 28));
    p.fillRect(QRectF(9, 13.5, 20, 5), QColor(0xff, 0xe0, 0x82));
    for (int i = 0; i < 6; ++i) {
        const qreal y = 5 + 4.5 * i;
        const bool current = i == 2;
        p.fillRect(QRectF(11, y, 2.5, 2), current ? kRedDark : kLine);
        p.fillRect(QRectF(15.5, y, i == 0 ? 7 : 11, 2), current ? kInk : kLine);
    }
    QPainterPath c;
    c.moveTo(0.5, 16);
    c.lineTo(5, 16);
    fillOutlined(p, arrow(c, 4.5, 6.5, 11), vGradient(10, 22, kRed, kRedDark));
}

void drawFind(QPainter& p)
{
    magnifier(p, 1.0);
}

void drawReplace(QPainter& p)
{
    place(p, QRectF(5, 0, 20, 20), [&](qreal lw) { magnifier(p, lw); });
    const auto tile = [&](const QRectF& r, const QString& letter, const QColor& colour) {
        QPainterPath t;
        t.addRoundedRect(r, 1.5, 1.5);
        fillOutlined(p, t, vGradient(r, kPaperTop, kPaperBottom));
        glyphs(p, r.center(), letter, 8.5, colour);
    };
    tile(QRectF(1.5, 19.5, 10, 11), QStringLiteral("A"), kBlueDark);
    tile(QRectF(20.5, 19.5, 10, 11), QStringLiteral("B"), kGreenDark);
    QPainterPath c;
    c.moveTo(12.5, 25);
    c.lineTo(15, 25);
    fillOutlined(p, arrow(c, 2.5, 4.5, 6.5), vGradient(21, 29, kRed, kRedDark), 0.8);
}

void drawFindNext(QPainter& p)
{
    place(p, QRectF(0, 0, 22, 22), [&](qreal lw) { magnifier(p, lw); });
    QPainterPath c;
    c.moveTo(14, 25.5);
    c.lineTo(22, 25.5);
    fillOutlined(p, arrow(c, 4, 7.5, 11), vGradient(20, 31, kGreen, kGreenDark));
}

void drawCompile(QPainter& p)
{
    place(p, QRectF(0, 11, 21, 21), [&](qreal lw) { cup(p, lw, false); });
    gear(p, QPointF(21.5, 10.5), 9.5);
}

void drawRun(QPainter& p)
{
    playTriangle(p, QPointF(8, 4.5), QPointF(27.5, 16), QPointF(8, 27.5));
}

void drawAppletRun(QPainter& p)
{
    windowFrame(p, QRectF(1.5, 3.5, 29, 25));
    playTriangle(p, QPointF(12, 12.5), QPointF(22.5, 18.5), QPointF(12, 24.5));
}

void drawToggleHint(QPainter& p)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1.5, 2.5, 29, 20), 5, 5);
    QPainterPath tail;
    tail.moveTo(7, 20);
    tail.lineTo(5.5, 29.5);
    tail.lineTo(15, 20);
    tail.closeSubpath();
    fillOutlined(p, bubble.united(tail).simplified(),
                 vGradient(2.5, 29.5, QColor(0xff, 0xfd, 0xe7), QColor(0xff, 0xd5, 0x4f)));
    glyphs(p, QPointF(16, 12.5), QStringLiteral("?"), 17, kBlueDark);
}

void drawToggleBar(QPainter& p)
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(1.5, 1.5, 29, 29), 2, 2);
    fillOutlined(p, frame, vGradient(1.5, 30.5, kPaperTop, kPaperBottom));
    QPainterPath top;
    top.addRect(QRectF(1.5, 1.5, 29, 7));
    fillOutlined(p, top, vGradient(1.5, 8.5, kBlue, kBlueDark));
    QPainterPath left;
    left.addRect(QRectF(1.5, 8.5, 7, 22));
    p.setPen(QPen(kLine, 1.0, Qt::DashLine));
    p.setBrush(QColor(0xbb, 0xde, 0xfb, 140));
    p.drawPath(left);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(4 + 6 * i, 3.5, 3.5, 3));
    QPainterPath c;
    c.moveTo(27, 14);
    c.cubicTo(27, 25, 24, 26, 15, 26);
    fillOutlined(p, arrow(c, 3.5, 5, 8.5), vGradient(12, 30, kGreen, kGreenDark));
    QPainterPath back;
    back.moveTo(13, 21.5);
    back.cubicTo(13, 16, 14, 13.5, 21, 13.5);
    fillOutlined(p, arrow(back, 3.5, 5, 8.5), vGradient(10, 24, kYellow, kYellowDark));
}

// ---- optional menu icons ---------------------------------------------------

void drawNewProject(QPainter& p)
{
    drawProject(p);
    starBadge(p, QPointF(24, 8), 7.5);
}

void drawOpenProject(QPainter& p)
{
    drawOpenFile(p);
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 2; ++i)
        p.drawLine(QPointF(9 - i, 18.5 + 4 * i), QPointF(24 - i, 18.5 + 4 * i));
}

void drawSaveProject(QPainter& p)
{
    floppy(p, 1.0);
    folderBack(p, QRectF(14.5, 17.5, 16, 12));
    QPainterPath front;
    front.addRect(QRectF(14.5, 22.5, 16, 7));
    fillOutlined(p, front, vGradient(22.5, 29.5, kYellow, kYellowDark));
}

void drawUnix2Dos(QPainter& p)
{
    page(p, QRectF(3.5, 1.5, 24, 29));
    glyphs(p, QPointF(13, 9), QStringLiteral("LF"), 8, kInk);
    QPainterPath c;
    c.moveTo(23, 6);
    c.lineTo(23, 17);
    c.lineTo(14, 17);
    fillOutlined(p, arrow(c, 2.5, 4, 7), vGradient(4, 20, kGreen, kGreenDark), 0.8);
    glyphs(p, QPointF(15.5, 25), QStringLiteral("CRLF"), 7.5, kBlueDark);
}

void drawArguments(QPainter& p)
{
    QPainterPath term;
    term.addRoundedRect(QRectF(1.5, 4.5, 29, 23), 2, 2);
    fillOutlined(p, term, vGradient(4.5, 27.5, QColor(0x45, 0x5a, 0x64), QColor(0x26, 0x32, 0x38)));
    p.setPen(QPen(QColor(0x9c, 0xe0, 0x6c), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF({QPointF(5.5, 10.5), QPointF(9.5, 14), QPointF(5.5, 17.5)}));
    glyphs(p, QPointF(20, 14), QStringLiteral("-a"), 10, QColor(0xff, 0xff, 0xff));
    p.fillRect(QRectF(6, 21, 20, 2), QColor(0xb0, 0xbe, 0xc5));
}

void drawOptions(QPainter& p)
{
    page(p, QRectF(2.5, 1.5, 21, 28));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 5.5 + 5.5 * i;
        QPainterPath box;
        box.addRect(QRectF(5.5, y, 4, 4));
        fillOutlined(p, box, Qt::white, 0.8);
        p.fillRect(QRectF(11.5, y + 1, 8, 2), kLine);
        if (i % 2 == 0) {
            p.setPen(QPen(kGreenDark, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({QPointF(6.3, y + 2.1), QPointF(7.4, y + 3.3), QPointF(9.6, y - 0.4)}));
        }
    }
    gear(p, QPointF(23, 23), 8);
}

void drawJavaHelp(QPainter& p)
{
    QPainterPath book;
    book.addRoundedRect(QRectF(4.5, 2.5, 22, 27), 2, 2);
    fillOutlined(p, book, vGradient(2.5, 29.5, kBlue, kBlueDark));
    p.fillRect(QRectF(5, 25, 21, 4), kPaperBottom);
    p.setPen(inkPen());
    p.drawLine(QPointF(4.5, 24.5), QPointF(26.5, 24.5));
    p.fillRect(QRectF(8, 3, 1.5, 21.5), QColor(0x0d, 0x3c, 0x7a));
    glyphs(p, QPointF(17.5, 13.5), QStringLiteral("?"), 15, Qt::white);
}

void drawAbout(QPainter& p)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(16, 16), 13.5, 13.5);
    fillOutlined(p, disc, vGradient(2.5, 29.5, kBlue, kBlueDark));
    glyphs(p, QPointF(16, 17), QStringLiteral("i"), 20, Qt::white, 0, QStringLiteral("DejaVu Serif"));
}

void drawPrintSetup(QPainter& p)
{
    printer(p);
    gear(p, QPointF(24, 24), 7);
}

void drawExit(QPainter& p)
{
    QPainterPath frame;
    frame.addRect(QRectF(3.5, 2.5, 16, 27));
    fillOutlined(p, frame, vGradient(2.5, 29.5, QColor(0x5d, 0x40, 0x37), QColor(0x3e, 0x27, 0x23)));
    QPainterPath door;
    door.moveTo(3.5, 2.5);
    door.lineTo(14.5, 5.5);
    door.lineTo(14.5, 31);
    door.lineTo(3.5, 29.5);
    door.closeSubpath();
    fillOutlined(p, door, vGradient(2.5, 30, QColor(0xbc, 0xaa, 0xa4), QColor(0x8d, 0x6e, 0x63)));
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawEllipse(QPointF(12, 17), 1.1, 1.1);
    QPainterPath c;
    c.moveTo(16, 16);
    c.lineTo(24, 16);
    fillOutlined(p, arrow(c, 4.5, 7, 11), vGradient(10, 22, kGreen, kGreenDark));
}

void drawDelete(QPainter& p)
{
    QPainterPath x;
    x.moveTo(7, 7);
    x.lineTo(25, 25);
    x.moveTo(25, 7);
    x.lineTo(7, 25);
    fillOutlined(p, thick(x, 5.5, Qt::RoundCap), vGradient(4, 28, kRed, kRedDark));
}

void drawClearAll(QPainter& p)
{
    page(p, QRectF(3.5, 1.5, 21, 28));
    textLines(p, 6.5, 7, {10, 13, 8, 12, 9}, 4);
    QPainterPath x;
    x.moveTo(19, 19);
    x.lineTo(28, 28);
    x.moveTo(28, 19);
    x.lineTo(19, 28);
    fillOutlined(p, thick(x, 4.2, Qt::RoundCap), vGradient(17, 30, kRed, kRedDark));
}

void drawAddNode(QPainter& p)
{
    drawProject(p);
    signBadge(p, QPointF(24, 24), 7, true, kGreen, kGreenDark);
}

void drawDeleteNode(QPainter& p)
{
    drawProject(p);
    signBadge(p, QPointF(24, 24), 7, false, kRed, kRedDark);
}

void drawViewProject(QPainter& p)
{
    drawProject(p);
    place(p, QRectF(14, 14, 18, 18), [&](qreal lw) { magnifier(p, lw); });
}

void drawFont(QPainter& p)
{
    QPainterPath card;
    card.addRoundedRect(QRectF(1.5, 3.5, 29, 25), 2, 2);
    fillOutlined(p, card, vGradient(3.5, 28.5, kPaperTop, kPaperBottom));
    glyphs(p, QPointF(12, 16), QStringLiteral("A"), 19, vGradient(4, 26, kBlue, kBlueDark), 1.0,
           QStringLiteral("DejaVu Serif"));
    glyphs(p, QPointF(24, 20), QStringLiteral("a"), 12, vGradient(14, 28, kRed, kRedDark), 1.0,
           QStringLiteral("DejaVu Serif"));
}

void drawCascade(QPainter& p)
{
    windowFrame(p, QRectF(1.5, 1.5, 18, 15), 4);
    windowFrame(p, QRectF(7.5, 8.5, 18, 15), 4);
    windowFrame(p, QRectF(12.5, 15.5, 18, 15), 4);
}

void drawTile(QPainter& p)
{
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            windowFrame(p, QRectF(1.5 + 15 * i, 2.5 + 14.5 * j, 14, 13), 4);
}

void drawCloseAll(QPainter& p)
{
    windowFrame(p, QRectF(1.5, 1.5, 20, 17), 4);
    windowFrame(p, QRectF(6.5, 8.5, 20, 17), 4);
    QPainterPath x;
    x.moveTo(20, 20);
    x.lineTo(28, 28);
    x.moveTo(28, 20);
    x.lineTo(20, 28);
    fillOutlined(p, thick(x, 4.2, Qt::RoundCap), vGradient(17, 30, kRed, kRedDark));
}

// ---- output ----------------------------------------------------------------

struct Icon {
    const char* name;
    int size;
    void (*draw)(QPainter&);
    const char* caption;
};

const std::vector<Icon>& icons()
{
    static const std::vector<Icon> all = {
        {"brewpad", 64, drawBrewpad, "frame"},
        {"brewpad-32", 32, drawBrewpad, "frame 32"},
        {"editor", 32, drawEditor, "editor"},
        {"project", 32, drawProject, "project"},
        {"world", 32, drawWorld, "world"},
        {"new-java-file", 32, drawNewFile, "New Java"},
        {"open-java-file", 32, drawOpenFile, "Open Java"},
        {"save", 32, drawSave, "Save"},
        {"save-as", 32, drawSaveAs, "Save As"},
        {"print", 32, drawPrint, "Print"},
        {"undo", 32, drawUndo, "Undo"},
        {"cut", 32, drawCut, "Cut"},
        {"copy", 32, drawCopy, "Copy"},
        {"paste", 32, drawPaste, "Paste"},
        {"goto-line", 32, drawGotoLine, "Goto Line"},
        {"find", 32, drawFind, "Find"},
        {"replace", 32, drawReplace, "Replace"},
        {"find-next", 32, drawFindNext, "Find next"},
        {"compile", 32, drawCompile, "Compile"},
        {"run", 32, drawRun, "Run"},
        {"applet-run", 32, drawAppletRun, "Applet"},
        {"hint-mode", 32, drawToggleHint, "Hint mode"},
        {"move-tool-bar", 32, drawToggleBar, "Bar pos."},
        {"new-project", 32, drawNewProject, "New Proj."},
        {"open-project", 32, drawOpenProject, "Open Proj."},
        {"save-project", 32, drawSaveProject, "Save Proj."},
        {"view-project", 32, drawViewProject, "View Proj."},
        {"unix2dos", 32, drawUnix2Dos, "Unix2Dos"},
        {"arguments", 32, drawArguments, "Arguments"},
        {"compiler-options", 32, drawOptions, "Options"},
        {"java-help", 32, drawJavaHelp, "JAVA..."},
        {"about", 32, drawAbout, "About"},
        {"add-node", 32, drawAddNode, "Add Node"},
        {"delete-node", 32, drawDeleteNode, "Del Node"},
        {"font", 32, drawFont, "Font"},
        {"exit", 32, drawExit, "Exit"},
        {"delete", 32, drawDelete, "Delete"},
        {"clear-all", 32, drawClearAll, "Clear All"},
        {"print-setup", 32, drawPrintSetup, "Print Set."},
        {"cascade", 32, drawCascade, "Cascade"},
        {"tile", 32, drawTile, "Tile"},
        {"close-all", 32, drawCloseAll, "Close All"},
    };
    return all;
}

QImage render(const Icon& icon, int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    icon.draw(p);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// Every icon at 16 and 32 pixels and zoomed to 64, on a light and a dark ground.
QImage contactSheet()
{
    const int cellW = 150, cellH = 92, cols = 4;
    const int rows = int(icons().size() + cols - 1) / cols;
    QImage sheet(cols * cellW * 2, rows * cellH, QImage::Format_ARGB32);
    QPainter p(&sheet);
    const QColor grounds[2] = {QColor(0xf2, 0xf2, 0xf2), QColor(0x2b, 0x2b, 0x2b)};
    for (int half = 0; half < 2; ++half)
        p.fillRect(half * cols * cellW, 0, cols * cellW, sheet.height(), grounds[half]);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    p.setFont(f);
    for (size_t i = 0; i < icons().size(); ++i) {
        const Icon& icon = icons()[i];
        const QImage full = render(icon, icon.size);
        const QImage at32 = full.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage at16 = full.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage zoom = icon.size == 64 ? full
                                            : full.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        for (int half = 0; half < 2; ++half) {
            const int x = half * cols * cellW + int(i % cols) * cellW + 6;
            const int y = int(i / cols) * cellH + 6;
            p.setPen(half ? QColor(0xdd, 0xdd, 0xdd) : QColor(0x22, 0x22, 0x22));
            p.drawText(x, y + 10, QStringLiteral("%1 %2").arg(QLatin1String(icon.name), QLatin1String(icon.caption)));
            p.drawImage(x, y + 20, at16);
            p.drawImage(x + 22, y + 20, at32);
            p.drawImage(x + 60, y + 16, zoom);
        }
    }
    p.end();
    return sheet;
}

// The sizes at which desktops look for an application's icon.
const int kThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

int writeThemeIcons(const QDir& theme)
{
    const Icon& app = icons().front();  // "brewpad"
    for (int size : kThemeSizes) {
        const QString sub = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = theme.filePath(sub + QStringLiteral("/brewpad.png"));
        if (!QDir().mkpath(theme.filePath(sub)) || !render(app, size).save(file, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--hicolor"))
        return writeThemeIcons(QDir(args[2]));
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QLatin1String("--sheet"))) {
        std::fprintf(stderr,
                     "usage: make_icons <output dir> [--sheet <png>]\n       make_icons --hicolor <theme dir>\n");
        return 2;
    }
    const QDir out(args[1]);
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "make_icons: cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    for (const Icon& icon : icons()) {
        const QString file = out.filePath(QLatin1String(icon.name) + QLatin1String(".png"));
        if (!render(icon, icon.size).save(file, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    if (args.size() == 4 && !contactSheet().save(args[3], "PNG")) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    std::printf("make_icons: wrote %zu icons to %s\n", icons().size(), qPrintable(out.path()));
    return 0;
}
