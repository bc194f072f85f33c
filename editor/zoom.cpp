// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/zoom.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QTextDocument>
#include <QWidget>

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

ViewZoom::ViewZoom(QWidget* viewport, QTextDocument* doc)
    : viewport_(viewport), doc_(doc), device_(std::make_unique<ZoomDevice>(viewport))
{
}

ViewZoom::~ViewZoom()
{
    // The layout must not keep a device that goes with this object.
    if (doc_->documentLayout()->paintDevice() == device_.get())
        doc_->documentLayout()->setPaintDevice(nullptr);
}

bool ViewZoom::in()
{
    if (step_ >= kMaxZoomStep)
        return false;
    ++step_;
    apply();
    return true;
}

bool ViewZoom::out()
{
    if (step_ <= kMinZoomStep)
        return false;
    --step_;
    apply();
    return true;
}

bool ViewZoom::reset()
{
    if (step_ == 0)
        return false;
    step_ = 0;
    apply();
    return true;
}

void ViewZoom::apply()
{
    device_->setFactor(percent() / 100.0);
    doc_->documentLayout()->setPaintDevice(step_ ? device_.get() : nullptr);
}

QFont ViewZoom::shownFont() const
{
    const QPaintDevice* device = step_ ? static_cast<const QPaintDevice*>(device_.get()) : viewport_;
    return QFont(doc_->defaultFont(), device);
}
