// SPDX-License-Identifier: GPL-3.0-or-later
// The view zoom of the edit control: the text shown larger or smaller
// without changing a font stored in the document.
#include "editor/editcontrol.h"
#include "editor/highlighter.h"
#include "editor/javalines.h"

#include <QAbstractTextDocumentLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <map>

namespace {

constexpr int kMinZoomStep = -5;  // 50 %
constexpr int kMaxZoomStep = 20;  // 300 %

}  // namespace

// The document layout's paint device while zoomed: the screen with its
// resolution scaled, so that every font of the text, whatever size the text
// stores, is laid out and drawn that much larger.
class ZoomDevice : public QPaintDevice {
public:
    explicit ZoomDevice(const QWidget* screenLike) : base_(screenLike) {}
    void setFactor(double f) { factor_ = f; }
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmDpiX:
        case PdmPhysicalDpiX: return qRound(base_->logicalDpiX() * factor_);
        case PdmDpiY:
        case PdmPhysicalDpiY: return qRound(base_->logicalDpiY() * factor_);
        case PdmWidth: return base_->width();
        case PdmHeight: return base_->height();
        case PdmWidthMM: return base_->widthMM();
        case PdmHeightMM: return base_->heightMM();
        case PdmNumColors: return base_->colorCount();
        case PdmDepth: return base_->depth();
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    const QWidget* base_;
    double factor_ = 1.0;
};

void EditControl::ZoomDeviceDeleter::operator()(ZoomDevice* d) const
{
    delete d;
}


void EditControl::setUpZoom()
{
    zoomDevice_.reset(new ZoomDevice(viewport()));
}

// ---------------------------------------------------------------- zoom

void EditControl::zoomIn()
{
    if (zoomStep_ < kMaxZoomStep) {
        ++zoomStep_;
        applyZoom();
    }
}

void EditControl::zoomOut()
{
    if (zoomStep_ > kMinZoomStep) {
        --zoomStep_;
        applyZoom();
    }
}

void EditControl::zoomReset()
{
    if (zoomStep_ != 0) {
        zoomStep_ = 0;
        applyZoom();
    }
}

void EditControl::applyZoom()
{
    zoomDevice_->setFactor(zoomPercent() / 100.0);
    document()->documentLayout()->setPaintDevice(zoomStep_ ? zoomDevice_.get() : nullptr);
    updateTabStops();
    // Every block is laid out again for the new resolution.
    document()->markContentsDirty(0, document()->characterCount());
    updateMarginWidth();
    placeMargin();
    margin()->update();
    viewport()->update();
    ensureCursorVisible();
    emit zoomChanged(zoomPercent());
}

void EditControl::updateTabStops()
{
    setTabStopDistance(QFontMetricsF(shownFont()).horizontalAdvance(QLatin1Char(' ')) * 4);
}

void EditControl::wheelEvent(QWheelEvent* e)
{
    if (e->modifiers() & Qt::ControlModifier) {
        const int dy = e->angleDelta().y();
        if (dy > 0)
            zoomIn();
        else if (dy < 0)
            zoomOut();
        e->accept();
        return;
    }
    QTextEdit::wheelEvent(e);
}

void EditControl::tearDownComfort()
{
    // The layout must not keep a device that goes with this object.
    if (document()->documentLayout()->paintDevice() == zoomDevice_.get())
        document()->documentLayout()->setPaintDevice(nullptr);
}

QFont EditControl::shownFont() const
{
    const QPaintDevice* device = zoomStep_ ? static_cast<const QPaintDevice*>(zoomDevice_.get()) : viewport();
    return QFont(document()->defaultFont(), device);
}
