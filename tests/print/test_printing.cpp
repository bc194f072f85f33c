// SPDX-License-Identifier: GPL-3.0-or-later
// Printing to a PDF printer: pages, text, headers, the set-up carried into the
// job, cancelling, and the "Print Error" box.
#include "print/printing.h"

#include "scripted_dialogs.h"

#include <QFile>
#include <QLabel>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "support.h"

#include <csignal>
#include <sys/resource.h>

namespace {

QString run(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty() ||
            QStandardPaths::findExecutable("pdftotext").isEmpty())
            GTEST_SKIP() << "pdfinfo/pdftotext (poppler-utils) not installed";
        pdf = dir.filePath("out.pdf");
        host.printer()->setOutputFormat(QPrinter::PdfFormat);
        host.printer()->setOutputFileName(pdf);
        host.printer()->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                  QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        source = dir.filePath("A.java");
    }

    // About two and a half A4 pages of numbered lines, one of them bold.
    void fill(QTextDocument& doc, int lines = 135)
    {
        doc.setDefaultFont(QFont("DejaVu Sans Mono", 12));
        QTextCursor c(&doc);
        for (int i = 1; i <= lines; ++i) {
            QTextCharFormat f;
            f.setFontWeight(i == 70 ? QFont::Bold : QFont::Normal);
            c.insertText(QString("Line %1 of the source").arg(i, 3, 10, QChar('0')), f);
            if (i < lines)
                c.insertBlock();
        }
    }

    int pages() { return run("pdfinfo", {pdf}).section("Pages:", 1).section('\n', 0, 0).trimmed().toInt(); }
    QString pageText(int page)
    {
        return run("pdftotext", {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    }

    QTemporaryDir dir;
    QString pdf, source;
    TRulerWin host;
    ScriptedDialogs d;
};

}  // namespace

TEST_F(PrintingTest, LongFilePrintsOnAsManyPagesAsItNeeds)
{
    QTextDocument doc;
    fill(doc);
    QStringList progressTexts;
    host.afterPage = [&](int page, int, TPrintingWindow* w) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), QString("Printing"));
        for (QLabel* l : w->findChildren<QLabel*>())
            progressTexts << l->text();
        EXPECT_TRUE(progressTexts.contains(QString("Now printing Page %1").arg(page)));
    };
    host.CmFilePrint(source, doc, nullptr);

    EXPECT_EQ(d.printRequests, 1);
    EXPECT_TRUE(d.messages.empty()) << d.texts().join('|').toStdString();
    ASSERT_EQ(pages(), 3);
    EXPECT_EQ(host.lastPageCount(), 3);
    EXPECT_TRUE(progressTexts.contains("'" + source + "' on the"));
    EXPECT_TRUE(progressTexts.contains("PDF on " + pdf));

    QString all;
    for (int p = 1; p <= 3; ++p) {
        const QString t = pageText(p);
        EXPECT_TRUE(t.contains("A.java")) << "page " << p;
        EXPECT_TRUE(t.contains(QString("Page %1").arg(p))) << "page " << p;
        all += t;
    }
    for (int i = 1; i <= 135; ++i)  // nothing lost between the pages, nothing twice
        EXPECT_EQ(all.count(QString("Line %1 of").arg(i, 3, 10, QChar('0'))), 1) << i;
    EXPECT_TRUE(run("pdfinfo", {pdf}).contains(source)) << "document name";  // the job's title
    const QString fonts = run("pdffonts", {pdf});
    EXPECT_TRUE(fonts.contains("DejaVuSansMono-Bold")) << fonts.toStdString();
}

TEST_F(PrintingTest, PageSetupCarriesIntoThePrint)
{
    d.onPageSetup = [](QPrinter* p) {
        p->setPageSize(QPageSize(QPageSize::A5));
        p->setPageOrientation(QPageLayout::Landscape);
    };
    host.CmFilePageSetup(nullptr);
    EXPECT_EQ(d.pageSetupRequests, 1);
    QTextDocument doc;
    fill(doc, 10);
    host.CmFilePrint(source, doc, nullptr);
    const QString info = run("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains("(A5)")) << info.toStdString();
    const QString size = info.section("Page size:", 1).section('\n', 0, 0);
    const double w = size.section('x', 0, 0).trimmed().toDouble();
    const double h = size.section('x', 1).trimmed().section(' ', 0, 0).toDouble();
    EXPECT_GT(w, h) << size.toStdString();
    EXPECT_TRUE(pageText(1).contains("Line 010 of the source"));
}

TEST_F(PrintingTest, CancelInPrintDialogDoesNothing)
{
    d.printAnswer = false;
    QTextDocument doc;
    fill(doc, 3);
    host.CmFilePrint(source, doc, nullptr);
    EXPECT_EQ(d.printRequests, 1);
    EXPECT_TRUE(d.messages.empty());
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintingTest, CancelInPrintingWindowStopsTheJob)
{
    QTextDocument doc;
    fill(doc);
    int printed = 0;
    host.afterPage = [&](int page, int, TPrintingWindow* w) {
        printed = page;
        if (page == 1)
            w->cancelButton()->click();
    };
    host.CmFilePrint(source, doc, nullptr);
    EXPECT_EQ(printed, 1);
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0].text, "'" + source + "' not printed. Printing canceled.");
    EXPECT_EQ(d.messages[0].caption, QString("Print Error"));
    EXPECT_EQ(d.messages[0].icon, Icon::Stop);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintingTest, OutputThatCannotBeWrittenIsAnError)
{
    QTextDocument doc;
    fill(doc);
    host.setShowProgress(false);
    host.printer()->setOutputFileName(dir.filePath("no/such/folder/out.pdf"));
    host.CmFilePrint(source, doc, nullptr);
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0].text, "'" + source + "' not printed. Error encountered during print.");

    // Writing that fails part way (a file-size limit stands in for a full disk).
    d.messages.clear();
    host.printer()->setOutputFileName(pdf);
    {
        FileSizeLimit limit(2000);
        ASSERT_TRUE(limit.ok());
        host.CmFilePrint(source, doc, nullptr);
    }
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0].text, "'" + source + "' not printed. Error encountered during print.");
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(PrintFailures, ReasonsFromTheJobState)
{
    PrintJobState s;
    EXPECT_FALSE(classifyPrintJob(s));
    s.printerAborted = true;
    EXPECT_EQ(classifyPrintJob(s), PrintFailure::AbortedInManager);
    s.cancelledByUser = true;
    EXPECT_EQ(classifyPrintJob(s), PrintFailure::Canceled);
    PrintJobState e;
    e.outputIncomplete = true;
    EXPECT_EQ(classifyPrintJob(e), PrintFailure::General);
    e.diskFull = true;
    EXPECT_EQ(classifyPrintJob(e), PrintFailure::OutOfDisk);
    e.outOfMemory = true;
    EXPECT_EQ(classifyPrintJob(e), PrintFailure::OutOfMemory);
    EXPECT_EQ(printErrorText("A.java", PrintFailure::OutOfDisk), QString("'A.java' not printed. Out of disk space."));
    EXPECT_EQ(printFailureReason(PrintFailure::AbortedInManager), QString("Printing aborted in Print Manager"));
    EXPECT_EQ(printFailureReason(PrintFailure::OutOfMemory), QString("Out of memory"));
}
