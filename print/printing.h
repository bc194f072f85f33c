// SPDX-License-Identifier: GPL-3.0-or-later
// Printing of the active editor window: the print host TRulerWin, which owns
// the printer and its set-up for the whole run, the "Printing" progress window
// and the "Print Error" box.
//
// A job prints the editor's text as the editor shows it (fonts and colours of
// the document kept), laid out over as many pages as it needs; every page is
// headed by the file name on the left and "Page N" on the right, with a rule
// under them. The document name of the job is the file name.
#pragma once
#include <QDialog>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QPrinter;
class QPushButton;
class QTextDocument;

// The five reasons of the "Print Error" box.
enum class PrintFailure {
    Canceled,          // "Cancel" in the "Printing" window
    AbortedInManager,  // the job was aborted outside the program
    OutOfDisk,         // the output (a file) could not be written for lack of space
    OutOfMemory,
    General,  // any other failure of the printer
};

// "Printing canceled", "Printing aborted in Print Manager", ...
QString printFailureReason(PrintFailure f);
// "'<title>' not printed. <reason>."
QString printErrorText(const QString& title, PrintFailure f);

// What a finished job looked like, as far as Qt's printer tells it.
struct PrintJobState {
    bool cancelledByUser = false;   // "Cancel" in the "Printing" window
    bool printerAborted = false;    // QPrinter::printerState() == Aborted
    bool printerError = false;      // QPrinter::printerState() == Error, or painting could not start
    bool outputIncomplete = false;  // an output file is missing or cut short
    bool diskFull = false;          // the output file's volume has no space left
    bool outOfMemory = false;
};
// The failure to report, or nothing when the job succeeded:
//   cancel in the "Printing" window -> Canceled; no memory -> OutOfMemory;
//   an aborted printer without our cancel -> AbortedInManager;
//   an error or an incomplete output file on a full volume -> OutOfDisk;
//   any other error or incomplete output file -> General.
std::optional<PrintFailure> classifyPrintJob(const PrintJobState& s);

// The "Printing" window of a running job, titled "Printing".
class TPrintingWindow : public QDialog {
    Q_OBJECT
public:
    // title: the job's title; printer, where: shown as "%s on %s".
    TPrintingWindow(const QString& title, const QString& printer, const QString& where, QWidget* owner);
    void setPage(int page, int lastPage);
    bool cancelled() const { return cancelled_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QLabel* page_;
    QLabel* toPage_;
    QPushButton* cancel_;
    bool cancelled_ = false;
};

class TRulerWin : public QWidget {
    Q_OBJECT
public:
    // The host is never shown; it owns Printer (the default printer) until it
    // dies. Printer is made when it is first wanted (printer()), which loads
    // Qt's print support and asks the system for its printers: a start that
    // prints nothing does neither. It stays null when that support cannot be
    // loaded (platform/printsupport.h); the print commands then say so.
    explicit TRulerWin(QWidget* parent = nullptr);
    ~TRulerWin() override;

    QPrinter* printer();
    QPrinter* Printer = nullptr;

    // "Print S&etup": the printer set-up dialog; the printer keeps the choice.
    void CmFilePageSetup(QWidget* owner);
    // "&Print": the print dialog, then the job titled `fname` printing `doc`.
    // Cancel in the print dialog does nothing; a failed job shows "Print Error".
    void CmFilePrint(const QString& fname, const QTextDocument& doc, QWidget* owner);

    // Whether jobs show the "Printing" window (it never blocks either way).
    void setShowProgress(bool show) { showProgress_ = show; }
    // Called after each printed page with the page number and the page count,
    // while the "Printing" window is up (may be null when it is not shown).
    std::function<void(int page, int pages, TPrintingWindow* progress)> afterPage;
    // Pages of the last job that reached the printer (0 when none did).
    int lastPageCount() const { return lastPageCount_; }

private:
    // True when there is a printer; else shows why printing is not available.
    bool printerReady(QWidget* owner);
    // Paints every page of `doc`, stopping at a failure or a cancel, which
    // `state` records; `started` is set once the printer took the job.
    void printPages(const QString& title, const QTextDocument& doc, TPrintingWindow* progress, PrintJobState& state,
                    bool& started);
    // Completes `state` from the printer and the output file, and shows
    // "Print Error" for a failed job.
    void reportJob(const QString& title, const QString& outputFile, bool started, PrintJobState& state,
                   QWidget* owner);

    bool showProgress_ = true;
    int lastPageCount_ = 0;
};
