// SPDX-License-Identifier: GPL-3.0-or-later
// Recent files, dropped files, line-end conversion and printing through the
// main window.
#include "frame_fixture.h"

#include "app/inistore.h"
#include "print/printing.h"
#include "toolchain/building/filebuild.h"

#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

QStringList recentCaptions(TMDIFileApp* app)
{
    QMenu* file = app->menu("&File");
    emit file->aboutToShow();
    QStringList out;
    for (QAction* a : file->actions()) {
        const int id = a->data().toInt();
        if (id >= cmd::MruFirst && id < cmd::MruFirst + 10)
            out << a->text();
    }
    return out;
}

void dropOn(QWidget* target, const QStringList& paths)
{
    auto* md = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    md->setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, md, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, md, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    delete md;
}

}  // namespace

TEST_F(FrameTest, RecentFilesOrderLimitAndMissingFiles)
{
    EXPECT_TRUE(recentCaptions(app.get()).isEmpty());
    QStringList paths;
    for (int i = 0; i < 10; ++i)
        paths << writeFile(QString("F%1.java").arg(i), "class F {}\n");
    for (const QString& p : paths)
        openJava(p);
    openJava(paths[3]);  // again: moves to the front, no duplicate
    QStringList captions = recentCaptions(app.get());
    ASSERT_EQ(captions.size(), 8);
    EXPECT_EQ(captions[0], mruCaption(0, paths[3]));
    EXPECT_EQ(captions[1], mruCaption(1, paths[9]));
    EXPECT_EQ(captions[7], mruCaption(7, paths[2]));  // F3 left its old place
    // Kept in Brewpad.ini for the next run.
    IniStore ini(dir.filePath("Brewpad.ini"));
    EXPECT_EQ(ini.value("MRU", "MRU0").value_or(""), paths[3]);
    EXPECT_EQ(ini.value("MRU", "Count").value_or(""), "8");

    // Choosing an entry opens it.
    const int before = client()->editors().size();
    app->EvFileSelected(1);
    EXPECT_EQ(client()->editors().size(), before + 1);
    EXPECT_EQ(current()->editor()->source()->fileName(), paths[9]);

    // A file that is gone leaves the list with a message.
    QFile::remove(paths[9]);
    app->EvFileSelected(0);
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_TRUE(dialogs_.messages.back().text.contains(paths[9]));
    EXPECT_FALSE(recentCaptions(app.get()).join("\n").contains(paths[9]));
}

TEST_F(FrameTest, DroppedFilesOpenAsTheirKind)
{
    const QString java = writeFile("Drop.java", "class Drop {}\n");
    const QString jpr = writeFile("drop.jpr", "Drop.java\r\n");
    QDir().mkpath(dir.filePath("folder"));
    dropOn(app->Frame, {java, jpr, dir.filePath("folder")});
    QList<TFileMDIChild*> eds = client()->editors();
    ASSERT_EQ(eds.size(), 2);
    EXPECT_FALSE(eds[0]->isProject());
    EXPECT_TRUE(eds[1]->isProject());
    EXPECT_TRUE(eds[1]->projectFromFile());
    EXPECT_EQ(client()->projectWindow(), eds[1]);

    // Dropped on an editor window: a new window, the text is left alone.
    dropOn(eds[0]->editor()->viewport(), {java});
    EXPECT_EQ(client()->editors().size(), 3);
    EXPECT_EQ(eds[0]->editor()->toPlainText(), "class Drop {}\n");
}

// Files copied in a file manager are pasted as their paths, as text; only a
// drop opens them.
TEST_F(FrameTest, PastedFilesGiveTheirPathsDroppedOnesOpen)
{
    const QString a = writeFile("A.java", "class A {}\n");
    const QString b = writeFile("B.java", "class B {}\n");
    TFileMDIChild* c = newJava();
    EditControl* e = c->editor();
    auto copyFiles = [&](const QStringList& paths) {
        auto* md = new QMimeData;  // as a file manager puts it on the clipboard
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        md->setUrls(urls);
        QApplication::clipboard()->setMimeData(md);
    };
    copyFiles({a});
    e->setFocus();
    press(e, QKeyCombination(Qt::ControlModifier, Qt::Key_V));
    EXPECT_EQ(e->source()->rawText(), a);
    EXPECT_EQ(client()->editors().size(), 1);

    // Edit / Paste, with two files: one path a line.
    QTest::keyClick(e, Qt::Key_Return);
    copyFiles({a, b});
    ASSERT_TRUE(enabled(cmd::Paste));
    trigger(cmd::Paste);
    EXPECT_EQ(e->source()->rawText(), a + "\n" + a + "\n" + b);
    EXPECT_EQ(client()->editors().size(), 1);
    EXPECT_TRUE(dialogs_.messages.empty());

    // Dropped, they open; the text stays.
    dropOn(e->viewport(), {b});
    EXPECT_EQ(client()->editors().size(), 2);
    EXPECT_EQ(current()->editor()->source()->fileName(), b);
    EXPECT_EQ(e->source()->rawText(), a + "\n" + a + "\n" + b);
}

TEST_F(FrameTest, Unix2DosRewritesTheFileAndShowsIt)
{
    const QString path = writeFile("Lf.java", "class A {\n\n}\n");
    TFileMDIChild* c = openJava(path);
    QTest::keyClicks(c->editor(), "unsaved ");
    c->build().IsCompiled = true;
    // The unsaved text is offered for saving first; No drops it.
    dialogs_.answers = {Answer::No};
    trigger(cmd::Unix2Dos);
    EXPECT_EQ(dialogs_.texts(),
              QStringList("The text in the " + path + " file has changed.\n\nDo you want to save the changes?"));
    EXPECT_EQ(readFile(path), "class A {\r\n\r\n}\r\n");        // no line lost
    EXPECT_EQ(c->editor()->toPlainText(), "class A {\n\n}\n");  // unsaved text is gone
    EXPECT_FALSE(c->editor()->document()->isModified());
    EXPECT_TRUE(c->build().IsCompiled);  // flags stay
    EXPECT_EQ(c->caption(), "JAVA - " + path);
    // A new window has no file: nothing happens.
    TFileMDIChild* n = newJava();
    QTest::keyClicks(n->editor(), "x");
    trigger(cmd::Unix2Dos);
    EXPECT_EQ(n->editor()->toPlainText(), "x");
}

TEST_F(FrameTest, PrintingTheEditorTextToPdf)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QByteArray text;
    for (int i = 1; i <= 150; ++i)
        text += "line " + QByteArray::number(i) + "\n";
    const QString path = writeFile("Long.java", text);
    openJava(path);
    QPrinter* printer = client()->printHost()->printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(dir.filePath("out.pdf"));
    client()->printHost()->setShowProgress(false);
    trigger(cmd::Print);
    EXPECT_EQ(dialogs_.printRequests, 1);
    QProcess p;
    p.start("pdftotext", {dir.filePath("out.pdf"), "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(out.contains("line 1\n"));
    EXPECT_TRUE(out.contains("line 150"));
    EXPECT_TRUE(out.contains(path));
    EXPECT_GE(client()->printHost()->lastPageCount(), 2);
}
