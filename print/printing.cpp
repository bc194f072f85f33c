// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/printing.h"

#include "platform/dialogs.h"
#include "platform/printsupport.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStorageInfo>
#include <QTextDocument>
#include <QVBoxLayout>

#include <memory>
#include <new>

QString printFailureReason(PrintFailure f)
{
    switch (f) {
    case PrintFailure::Canceled: return QStringLiteral("Printing canceled");
    case PrintFailure::AbortedInManager: return QStringLiteral("Printing aborted in Print Manager");
    case PrintFailure::OutOfDisk: return QStringLiteral("Out of disk space");
    case PrintFailure::OutOfMemory: return QStringLiteral("Out of memory");
    case PrintFailure::General: break;
    }
    return QStringLiteral("Error encountered during print");
}

QString printErrorText(const QString& title, PrintFailure f)
{
    return QStringLiteral("'%1' not printed. %2.").arg(title, printFailureReason(f));
}

std::optional<PrintFailure> classifyPrintJob(const PrintJobState& s)
{
    if (s.cancelledByUser)
        return PrintFailure::Canceled;
    if (s.outOfMemory)
        return PrintFailure::OutOfMemory;
    if (s.printerAborted)
        return PrintFailure::AbortedInManager;
    if (s.printerError || s.outputIncomplete)
        return s.diskFull ? PrintFailure::OutOfDisk : PrintFailure::General;
    return std::nullopt;
}

// --- "Printing" window ---

namespace {

QLabel* addLabel(QBoxLayout* layout, const QString& text, Qt::Alignment align)
{
    auto* l = new QLabel(text);
    l->setAlignment(align);
    l->setAccessibleName(text);
    layout->addWidget(l);
    return l;
}

}  // namespace

TPrintingWindow::TPrintingWindow(const QString& title, const QString& printer, const QString& where, QWidget* owner)
    : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Printing"));
    setAccessibleName(QStringLiteral("Printing"));
    auto* v = new QVBoxLayout(this);
    addLabel(v, QStringLiteral("Now printing"), Qt::AlignCenter);
    auto* row = new QHBoxLayout;
    v->addLayout(row);
    page_ = addLabel(row, QStringLiteral("Now printing Page %1").arg(1), Qt::AlignLeft | Qt::AlignVCenter);
    toPage_ = addLabel(row, QStringLiteral("to %1 of").arg(1), Qt::AlignRight | Qt::AlignVCenter);
    addLabel(v, QStringLiteral("'%1' on the").arg(title), Qt::AlignCenter);
    addLabel(v, QStringLiteral("%1 on %2").arg(printer, where), Qt::AlignCenter);
    cancel_ = new QPushButton(QStringLiteral("Cancel"));
    cancel_->setAccessibleName(QStringLiteral("Cancel"));
    v->addWidget(cancel_, 0, Qt::AlignCenter);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        cancel_->setEnabled(false);
    });
}

void TPrintingWindow::setPage(int page, int lastPage)
{
    page_->setText(QStringLiteral("Now printing Page %1").arg(page));
    page_->setAccessibleName(page_->text());
    toPage_->setText(QStringLiteral("to %1 of").arg(lastPage));
    toPage_->setAccessibleName(toPage_->text());
}

// --- Print host ---

namespace {

// The printer's name and where its output goes, for "%s on %s".
std::pair<QString, QString> printerAndPlace(PrintSupport& ps, const QPrinter& p)
{
    const QString file = QDir::toNativeSeparators(ps.outputFileName(p));
    if (ps.printsToPdf(p))
        return {QStringLiteral("PDF"), file};
    QString where = file;
    if (where.isEmpty())
        where = ps.printerLocation(ps.printerName(p));
    if (where.isEmpty())
        where = QStringLiteral("CUPS");
    return {ps.printerName(p), where};
}

// True when the output file exists and ends as a PDF file ends.
bool outputComplete(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() == 0)
        return false;
    f.seek(std::max<qint64>(0, f.size() - 1024));
    return f.readAll().contains("%%EOF");
}

bool volumeFull(const QString& path)
{
    QStorageInfo info(QFileInfo(path).absolutePath());
    return info.isValid() && info.bytesAvailable() < (1 << 20);
}

void drawHeader(QPainter& painter, const QRectF& area, const QFont& font, const QString& title, int page)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF fm(font, painter.device());
    const QString pageText = QStringLiteral("Page %1").arg(page);
    const qreal pageWidth = fm.horizontalAdvance(pageText);
    const QString shown = fm.elidedText(title, Qt::ElideMiddle, area.width() - pageWidth - fm.height());
    const QRectF line(area.left(), area.top(), area.width(), fm.height());
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, shown);
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, pageText);
    const qreal y = area.top() + fm.height() * 1.25;
    painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    painter.restore();
}

// Where a page's parts go, in the printer's pixels: the whole printable
// area (the header at its top) and the body below the header.
struct PageFrame {
    QRectF area;
    QRectF body;
    QFont headerFont;
};

PageFrame pageFrame(PrintSupport& ps, QPrinter& printer)
{
    PageFrame f;
    f.area = QRectF(QPointF(0, 0), ps.paintSize(printer));
    f.headerFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.headerFont.setPointSizeF(9);
    const QFontMetricsF hfm(f.headerFont, ps.device(&printer));
    const qreal headerHeight = hfm.height() * 2;
    f.body = f.area.adjusted(0, headerHeight, 0, 0);
    return f;
}

// Page `page` (from 1): its header, then the part of the laid-out document
// that falls on it.
void drawPage(QPainter& painter, const PageFrame& frame, QTextDocument& doc, const QString& title, int page)
{
    drawHeader(painter, frame.area, frame.headerFont, title, page);
    const QRectF& body = frame.body;
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.palette.setColor(QPalette::Text, Qt::black);
    painter.save();
    painter.setClipRect(body);
    const qreal top = (page - 1) * body.height();
    painter.translate(body.left(), body.top() - top);
    ctx.clip = QRectF(0, top, body.width(), body.height());
    doc.documentLayout()->draw(&painter, ctx);
    painter.restore();
}

}  // namespace

TRulerWin::TRulerWin(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Print host"));
}

QPrinter* TRulerWin::printer()
{
    if (!Printer && printSupport())
        Printer = printSupport()->newPrinter();
    return Printer;
}

TRulerWin::~TRulerWin()
{
    if (Printer)
        printSupport()->deletePrinter(Printer);
}

bool TRulerWin::printerReady(QWidget* owner)
{
    if (printer())
        return true;
    dialogs().message(owner,
                      QStringLiteral("Printing is not available: Qt's print support could not be loaded.\n%1\n\n"
                                     "Install Brewpad again to print.")
                          .arg(printSupportError()),
                      QStringLiteral("Print Error"), Buttons::Ok, Icon::Stop);
    return false;
}

void TRulerWin::CmFilePageSetup(QWidget* owner)
{
    if (printerReady(owner))
        dialogs().pageSetup(owner, Printer);
}

void TRulerWin::CmFilePrint(const QString& fname, const QTextDocument& doc, QWidget* owner)
{
    if (!printerReady(owner))
        return;
    if (!dialogs().printDialog(owner, Printer))
        return;

    PrintSupport& ps = *printSupport();
    const QString title = QDir::toNativeSeparators(fname);
    const QString outputFile = ps.outputFileName(*Printer);
    PrintJobState state;
    bool started = false;  // the printer (and an output file) took the job
    lastPageCount_ = 0;
    std::unique_ptr<TPrintingWindow> progress;
    ps.setDocName(*Printer, title);

    try {
        const auto [printerName, place] = printerAndPlace(ps, *Printer);
        if (showProgress_) {
            progress = std::make_unique<TPrintingWindow>(title, printerName, place, owner);
            progress->setWindowModality(Qt::ApplicationModal);
            progress->show();
            QCoreApplication::processEvents();
        }
        printPages(title, doc, progress.get(), state, started);
    } catch (const std::bad_alloc&) {
        state.outOfMemory = true;
        ps.abort(*Printer);
    }
    if (progress)
        progress->close();
    reportJob(title, outputFile, started, state, owner);
}

void TRulerWin::printPages(const QString& title, const QTextDocument& doc, TPrintingWindow* progress,
                           PrintJobState& state, bool& started)
{
    PrintSupport& ps = *printSupport();
    QPainter painter;
    if (!painter.begin(ps.device(Printer))) {
        state.printerError = true;
        return;
    }
    started = true;
    const PageFrame frame = pageFrame(ps, *Printer);
    // A copy of the document, laid out for the printer's resolution and
    // page: the editor's fonts and colours are kept.
    std::unique_ptr<QTextDocument> copy(doc.clone(nullptr));
    copy->documentLayout()->setPaintDevice(ps.device(Printer));
    copy->setPageSize(frame.body.size());
    const int pages = std::max(1, copy->pageCount());

    for (int page = 1; page <= pages; ++page) {
        if (progress)
            progress->setPage(page, pages);
        if (page > 1 && !ps.newPage(*Printer)) {
            state.printerError = true;
            break;
        }
        drawPage(painter, frame, *copy, title, page);
        lastPageCount_ = page;

        if (afterPage)
            afterPage(page, pages, progress);
        QCoreApplication::processEvents();
        if (progress && progress->cancelled()) {
            state.cancelledByUser = true;
            ps.abort(*Printer);
            break;
        }
    }
    painter.end();
}

void TRulerWin::reportJob(const QString& title, const QString& outputFile, bool started, PrintJobState& state,
                          QWidget* owner)
{
    const PrintSupport::State printer = printSupport()->state(*Printer);
    state.printerAborted = printer == PrintSupport::State::Aborted;
    state.printerError = state.printerError || printer == PrintSupport::State::Error;
    if (!outputFile.isEmpty() && !state.cancelledByUser && !state.outOfMemory)
        state.outputIncomplete = !outputComplete(outputFile);
    if (!outputFile.isEmpty() && (state.printerError || state.outputIncomplete))
        state.diskFull = volumeFull(outputFile);

    if (const auto failure = classifyPrintJob(state)) {
        // The cut-off output file of a job that started is of no use to anybody.
        if (started && !outputFile.isEmpty() && failure != PrintFailure::AbortedInManager)
            QFile::remove(outputFile);
        lastPageCount_ = 0;
        dialogs().message(owner, printErrorText(title, *failure), QStringLiteral("Print Error"), Buttons::Ok,
                          Icon::Stop);
    }
}
