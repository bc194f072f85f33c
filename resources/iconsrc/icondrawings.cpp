// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/iconsrc/icondrawings.h"

#include "resources/iconsrc/iconparts.h"

#include <QLineF>
#include <QPolygonF>
#include <QRadialGradient>

namespace iconart {

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
    const QPainterPath front = polygon({{6, 13.5}, {30.5, 13.5}, {25.5, 27.5}, {1.5, 27.5}});
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
    const QPainterPath tail = polygon({{7, 20}, {5.5, 29.5}, {15, 20}});
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
}  // namespace iconart
