// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's print support (the printer object and its dialogs), which most runs
// never use: it lives in a module of its own (platform/printsupportmodule.cpp),
// loaded the first time a printer is wanted, so that a start does not load
// Qt's print support library before the first window. Nothing else in the
// program calls Qt's print support.
//
// Use:
//     PrintSupport* ps = printSupport();
//     if (!ps)
//         ... printSupportError() says why printing is not available ...
//     QPrinter* printer = ps->newPrinter();
//     QPainter painter(ps->device(printer));
//     ps->deletePrinter(printer);
#pragma once
#include <QSizeF>
#include <QString>

class QPaintDevice;
class QPrinter;
class QWidget;

class PrintSupport {
public:
    enum class State { Idle, Active, Aborted, Error };

    // The system's default printer, in high resolution; deletePrinter frees it.
    virtual QPrinter* newPrinter() = 0;
    virtual void deletePrinter(QPrinter* printer) = 0;
    // The printer as the device a painter or a text layout paints on.
    virtual QPaintDevice* device(QPrinter* printer) = 0;

    // Qt's print dialog (without a page range) and page set-up dialog on
    // `printer`, which keeps the choice; true when the user confirmed.
    virtual bool printDialog(QWidget* owner, QPrinter* printer) = 0;
    virtual bool pageSetupDialog(QWidget* owner, QPrinter* printer) = 0;

    virtual QString outputFileName(const QPrinter& printer) = 0;
    virtual bool printsToPdf(const QPrinter& printer) = 0;
    virtual QString printerName(const QPrinter& printer) = 0;
    // Where the printer of that name stands, as the print system describes it.
    virtual QString printerLocation(const QString& printerName) = 0;
    virtual void setDocName(QPrinter& printer, const QString& name) = 0;
    // The printable area of a page, in the printer's pixels.
    virtual QSizeF paintSize(const QPrinter& printer) = 0;
    virtual bool newPage(QPrinter& printer) = 0;
    virtual void abort(QPrinter& printer) = 0;
    virtual State state(const QPrinter& printer) = 0;

protected:
    ~PrintSupport() = default;  // the module's own, for the whole run
};

// The module's print support, loaded on the first call; null when it cannot
// be loaded, and then printSupportError() tells why.
PrintSupport* printSupport();
QString printSupportError();

// The module's entry point, by which the program finds it.
extern "C" {
using PrintSupportEntry = PrintSupport* (*)();
}
inline constexpr char kPrintSupportEntry[] = "brewpad_print_support";
inline constexpr char kPrintSupportModule[] = "brewpad-printsupport.so";
