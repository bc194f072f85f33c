// SPDX-License-Identifier: GPL-3.0-or-later
// The view zoom of an edit control, in steps of 10 % from 50 % to 300 %: the
// text is laid out and drawn larger or smaller without changing any font
// stored in the document.
#pragma once

#include <QFont>

#include <memory>

class QTextDocument;
class QWidget;
class ZoomDevice;

class ViewZoom {
public:
    // The zoom of `doc` as shown in `viewport`.
    ViewZoom(QWidget* viewport, QTextDocument* doc);
    ~ViewZoom();  // the layout no longer lays out for the zoom
    ViewZoom(const ViewZoom&) = delete;
    ViewZoom& operator=(const ViewZoom&) = delete;

    int percent() const { return 100 + 10 * step_; }
    // One step larger, one smaller, back to 100 %: false when nothing changes.
    // A change marks every block of the document for a new layout.
    bool in();
    bool out();
    bool reset();
    // The document's default font as shown, zoom included.
    QFont shownFont() const;

private:
    void apply();

    QWidget* viewport_;
    QTextDocument* doc_;
    int step_ = 0;
    std::unique_ptr<ZoomDevice> device_;
};
