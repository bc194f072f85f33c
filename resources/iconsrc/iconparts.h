// SPDX-License-Identifier: GPL-3.0-or-later
// The palette, the drawing helpers and the shared parts (page, folder, cup,
// magnifier, gear, floppy, pencil, badges, window frame, printer) that every
// icon of make_icons is drawn from, so that the set stays consistent.
//
// Everything is drawn on a 32 by 32 unit grid. Outlines are one unit wide
// (`lw`, unless a part is shrunk with place()) and sit on half units so that
// they stay crisp at 32 pixels.
#pragma once
#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

namespace iconart {

// ---- palette ---------------------------------------------------------------

inline const QColor kInk(0x26, 0x32, 0x38);
inline const QColor kPaperTop(0xff, 0xff, 0xff);
inline const QColor kPaperBottom(0xdc, 0xe4, 0xea);
inline const QColor kFold(0xb0, 0xbe, 0xc5);
inline const QColor kLine(0x90, 0xa4, 0xae);
inline const QColor kBlue(0x42, 0x9b, 0xec);
inline const QColor kBlueDark(0x15, 0x65, 0xc0);
inline const QColor kGreen(0x6c, 0xc0, 0x4a);
inline const QColor kGreenDark(0x2e, 0x7d, 0x32);
inline const QColor kRed(0xef, 0x53, 0x50);
inline const QColor kRedDark(0xc6, 0x28, 0x28);
inline const QColor kYellow(0xff, 0xd5, 0x4f);
inline const QColor kYellowDark(0xf5, 0xa6, 0x23);
inline const QColor kMetalTop(0xf5, 0xf7, 0xf8);
inline const QColor kMetalBottom(0x90, 0xa4, 0xae);
inline const QColor kMug(0xe8, 0x65, 0x3a);
inline const QColor kMugDark(0xb3, 0x3c, 0x1a);
inline const QColor kCoffee(0x5d, 0x36, 0x17);
inline const QColor kSteam(0x8a, 0x9b, 0xa5);

// ---- helpers ---------------------------------------------------------------

// The outline pen: round caps and joins.
QPen inkPen(qreal width = 1.0, const QColor& colour = kInk);

// A gradient from `top` at y0 to `bottom` at y1 (or over the height of `r`).
QBrush vGradient(qreal y0, qreal y1, const QColor& top, const QColor& bottom);
QBrush vGradient(const QRectF& r, const QColor& top, const QColor& bottom);

// The closed path along `corners`, in order.
QPainterPath polygon(std::initializer_list<QPointF> corners);

// Fills `path` and outlines it with the ink pen of the given width.
void fillOutlined(QPainter& p, const QPainterPath& path, const QBrush& fill, qreal width = 1.0);

// The area covered by a line of the given width along `centre`.
QPainterPath thick(const QPainterPath& centre, qreal width, Qt::PenCapStyle cap = Qt::FlatCap);

// A cross (x) from corner to corner of `r`, in strokes `width` thick with
// round ends, red from `top` to `bottom` and outlined.
void redCross(QPainter& p, const QRectF& r, qreal width, qreal top, qreal bottom);

// A thick arrow along `centre`, with a head of the given length and width
// at its end, following the direction of the path's last segment.
QPainterPath arrow(const QPainterPath& centre, qreal width, qreal headLength, qreal headWidth);

// Runs `draw` (made for the 32 unit grid) shrunk into `box`; `draw` receives the
// outline width that keeps outlines one unit wide after the shrinking.
void place(QPainter& p, const QRectF& box, const std::function<void(qreal)>& draw);

// Text as a filled outline (bold), centred on `centre`; outlined when `outline` > 0.
void glyphs(QPainter& p, const QPointF& centre, const QString& text, qreal pixelSize, const QBrush& fill,
            qreal outline = 0.0, const QString& family = QStringLiteral("DejaVu Sans"));

// ---- shared parts ----------------------------------------------------------

// A sheet of paper filling `r` with its top right corner folded by `fold`.
void page(QPainter& p, const QRectF& r, qreal fold = 6, qreal lw = 1.0);

// Horizontal text lines, 2 units thick, starting at `x` every `step` units,
// in the given colours in turn (kLine when none are given).
void textLines(QPainter& p, qreal x, qreal y, const std::vector<qreal>& lengths, qreal step = 4,
               const std::vector<QColor>& colours = {});

// The back of a folder, with its tab, filling `r`.
void folderBack(QPainter& p, const QRectF& r);

// The coffee cup with saucer and (when `steam`) steam, on the 32 unit grid.
void cup(QPainter& p, qreal lw, bool steam = true);

// A magnifying glass over the whole grid.
void magnifier(QPainter& p, qreal lw);

// A gear with eight teeth around `c`, `outer` units to the tips.
void gear(QPainter& p, const QPointF& c, qreal outer, qreal lw = 1.0);

// A floppy disk over the whole grid.
void floppy(QPainter& p, qreal lw);

// A pencil lying from `from` (eraser end) to `to` (tip).
void pencil(QPainter& p, const QPointF& from, const QPointF& to, qreal width);

// A five pointed star around `c`.
void starBadge(QPainter& p, const QPointF& c, qreal outer);

// A round badge with a plus or minus sign in it.
void signBadge(QPainter& p, const QPointF& c, qreal r, bool plus, const QColor& top, const QColor& bottom);

// The green "play" triangle with rounded dark corners.
void playTriangle(QPainter& p, const QPointF& a, const QPointF& tip, const QPointF& b);

// A window filling `r`, with a title bar `bar` units high.
void windowFrame(QPainter& p, const QRectF& r, qreal bar = 5.5);

// A printer with paper going in and coming out, over the whole grid.
void printer(QPainter& p);

}  // namespace iconart
