// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/iconsrc/menuicondrawings.h"

#include "resources/iconsrc/icondrawings.h"
#include "resources/iconsrc/iconparts.h"

#include <QPolygonF>

namespace iconart {

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
    const QPainterPath door = polygon({{3.5, 2.5}, {14.5, 5.5}, {14.5, 31}, {3.5, 29.5}});
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
    redCross(p, QRectF(QPointF(7, 7), QPointF(25, 25)), 5.5, 4, 28);
}

void drawClearAll(QPainter& p)
{
    page(p, QRectF(3.5, 1.5, 21, 28));
    textLines(p, 6.5, 7, {10, 13, 8, 12, 9}, 4);
    redCross(p, QRectF(QPointF(19, 19), QPointF(28, 28)), 4.2, 17, 30);
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
    redCross(p, QRectF(QPointF(20, 20), QPointF(28, 28)), 4.2, 17, 30);
}
}  // namespace iconart
