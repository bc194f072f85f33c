// SPDX-License-Identifier: GPL-3.0-or-later
// The module that holds every call of the program into Qt's print support
// (platform/printsupport.h). It is built as a shared module of its own and
// loaded by printSupport() when a printer is first wanted.
#include "platform/printsupport.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

class QtPrintSupport final : public PrintSupport {
public:
    QPrinter* newPrinter() override { return new QPrinter(QPrinter::HighResolution); }
    void deletePrinter(QPrinter* printer) override { delete printer; }
    QPaintDevice* device(QPrinter* printer) override { return printer; }

    bool printDialog(QWidget* owner, QPrinter* printer) override
    {
        QPrintDialog dlg(printer, owner);
        dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
        return dlg.exec() == QDialog::Accepted;
    }
    bool pageSetupDialog(QWidget* owner, QPrinter* printer) override
    {
        QPageSetupDialog dlg(printer, owner);
        return dlg.exec() == QDialog::Accepted;
    }

    QString outputFileName(const QPrinter& printer) override { return printer.outputFileName(); }
    bool printsToPdf(const QPrinter& printer) override { return printer.outputFormat() == QPrinter::PdfFormat; }
    QString printerName(const QPrinter& printer) override { return printer.printerName(); }
    QString printerLocation(const QString& name) override { return QPrinterInfo::printerInfo(name).location(); }
    void setDocName(QPrinter& printer, const QString& name) override { printer.setDocName(name); }
    QSizeF paintSize(const QPrinter& printer) override
    {
        return QSizeF(printer.pageLayout().paintRectPixels(printer.resolution()).size());
    }
    bool newPage(QPrinter& printer) override { return printer.newPage(); }
    void abort(QPrinter& printer) override { printer.abort(); }
    State state(const QPrinter& printer) override
    {
        switch (printer.printerState()) {
        case QPrinter::Active: return State::Active;
        case QPrinter::Aborted: return State::Aborted;
        case QPrinter::Error: return State::Error;
        case QPrinter::Idle: break;
        }
        return State::Idle;
    }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) PrintSupport* brewpad_print_support()
{
    static QtPrintSupport support;
    return &support;
}
