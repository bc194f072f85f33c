// SPDX-License-Identifier: GPL-3.0-or-later
// Editor windows: captions, saving and its flags, fonts, the close question,
// encodings and line ends.
#include "compile_fixture.h"

#include "toolchain/building/filebuild.h"
#include "editor/textfile.h"
#include "print/printing.h"

#include <QMdiSubWindow>
#include <QPrinter>
#include <QTextBlock>

TEST_F(FrameTest, CaptionsOfNewAndOpenedWindows)
{
    TFileMDIChild* n = newJava();
    EXPECT_EQ(n->windowTitle().remove("[*]"), "JAVA - Untitled");
    EXPECT_TRUE(n->isNewFile());
    EXPECT_FALSE(n->isProject());
    const QString path = writeFile("Hello.java", "class Hello {}\n");
    TFileMDIChild* a = openJava(path);
    TFileMDIChild* b = openJava(path);
    ASSERT_NE(a, b);
    EXPECT_EQ(a->caption(), "JAVA - " + path);
    EXPECT_EQ(b->caption(), a->caption());
    EXPECT_FALSE(a->isNewFile());
    EXPECT_EQ(client()->editors().size(), 3);
}

TEST_F(FrameTest, CancelledOpenCreatesNoWindow)
{
    dialogs_.openPaths.push_back(QString());
    trigger(cmd::FileOpenJava);
    EXPECT_TRUE(client()->editors().isEmpty());
    EXPECT_EQ(client()->fileDialogRecord(), &client()->dialogRecord(TFileMDIClient::DialogKind::JavaSource));
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(FrameTest, NewWindowIsMaximisedWhenTheActiveOneIs)
{
    TFileMDIChild* a = newJava();
    a->showMaximized();
    QApplication::processEvents();
    TFileMDIChild* b = newJava();
    EXPECT_TRUE(b->isMaximized());
    b->showNormal();
    QApplication::processEvents();
    TFileMDIChild* c = newJava();
    EXPECT_FALSE(c->isMaximized());
}

TEST_F(FrameTest, OpeningAnApplicationClassifiesButRunNeedsACompile)
{
    TFileMDIChild* c = openJava(
        writeFile("App.java", "public class App {\n public static void main(String[] a) {}\n}\n"));
    EXPECT_TRUE(c->build().IsJavaMain);
    EXPECT_EQ(c->build().classename, "App");
    EXPECT_FALSE(enabled(cmd::JavaRun));
    c->build().IsCompiled = true;
    EXPECT_TRUE(enabled(cmd::JavaRun));
    EXPECT_FALSE(enabled(cmd::AppletRun));
    // Any save marks the window as not compiled again.
    trigger(cmd::FileSave);
    EXPECT_FALSE(c->build().IsCompiled);
    EXPECT_FALSE(enabled(cmd::JavaRun));
}

TEST_F(FrameTest, SaveOfAnUnchangedFileWritesNothingButReloads)
{
    const QString path = writeFile("Same.java", "class Same {}\n");
    TFileMDIChild* c = openJava(path);
    c->build().IsCompiled = true;
    // Changed behind the window's back: the reload shows what is on disk.
    writeFile("Same.java", "class Same { int x; }\n");
    QTextCursor cur = c->editor()->textCursor();
    cur.movePosition(QTextCursor::End);
    c->editor()->setTextCursor(cur);
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(path), "class Same { int x; }\n");
    EXPECT_EQ(c->editor()->toPlainText(), "class Same { int x; }\n");
    EXPECT_EQ(c->editor()->textCursor().position(), 0);
    EXPECT_FALSE(c->build().IsCompiled);
    EXPECT_FALSE(c->editor()->document()->isUndoAvailable());
}

TEST_F(FrameTest, SaveAsCancelledChangesNothing)
{
    TFileMDIChild* c = newJava();
    QTest::keyClicks(c->editor(), "class X {}");
    dialogs_.savePaths.push_back(QString());
    trigger(cmd::FileSaveAs);
    EXPECT_TRUE(c->isNewFile());
    EXPECT_EQ(c->caption(), "JAVA - Untitled");
    EXPECT_TRUE(c->editor()->document()->isModified());
    EXPECT_EQ(dialogs_.saveProposals.size(), 1);
}

TEST_F(FrameTest, SaveAsNamesClassifiesAndReloads)
{
    TFileMDIChild* c = newJava();
    QTest::keyClicks(c->editor(), "class Tool { public static void main(String[] a) {} }");
    const QString path = dir.filePath("Tool");  // the default extension is added
    dialogs_.savePaths.push_back(path);
    trigger(cmd::FileSaveAs);
    EXPECT_FALSE(c->isNewFile());
    EXPECT_EQ(c->caption(), "JAVA - " + path + ".java");
    EXPECT_EQ(c->editor()->source()->fileName(), path + ".java");
    EXPECT_TRUE(c->build().IsJavaMain);
    EXPECT_EQ(readFile(path + ".java"), "class Tool { public static void main(String[] a) {} }");
    EXPECT_FALSE(c->editor()->document()->isModified());
}

TEST_F(FrameTest, SaveOnANewWindowAsksForANameAndMakesItTheFilesWindow)
{
    TFileMDIChild* c = newJava();
    // An unchanged new window: Save writes nothing and asks nothing.
    trigger(cmd::FileSave);
    EXPECT_TRUE(dialogs_.saveProposals.isEmpty());
    QTest::keyClicks(c->editor(), "class N {}");
    dialogs_.savePaths.push_back(dir.filePath("N.java"));
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(dir.filePath("N.java")), "class N {}");
    EXPECT_FALSE(c->isNewFile());        // as after Save As: classified from now on
    EXPECT_TRUE(c->build().IsJavaMain);  // a class named after its file
    EXPECT_TRUE(enabled(cmd::FileSaveAs));
}

TEST_F(FrameTest, FontWithoutSelectionAppliesToTextTypedNext)
{
    TFileMDIChild* c = newJava();
    QTest::keyClicks(c->editor(), "abc");
    const QString before = c->editor()->document()->begin().begin().fragment().charFormat().font().family();
    QFont chosen("Serif", 21);
    dialogs_.fontAnswer = chosen;
    dialogs_.colorAnswer = QColor(Qt::red);
    trigger(cmd::FormatFont);
    QTest::keyClicks(c->editor(), "XYZ");
    QTextBlock b = c->editor()->document()->begin();
    QList<QTextCharFormat> formats;
    for (auto it = b.begin(); !it.atEnd(); ++it)
        formats << it.fragment().charFormat();
    ASSERT_EQ(formats.size(), 2);
    EXPECT_EQ(formats[0].font().family(), before);
    EXPECT_EQ(formats[1].font().pointSize(), 21);
    EXPECT_EQ(formats[1].foreground().color(), QColor(Qt::red));

    // With a selection only the selection changes.
    QTextCursor cur(c->editor()->document());
    cur.setPosition(0);
    cur.setPosition(1, QTextCursor::KeepAnchor);
    c->editor()->setTextCursor(cur);
    dialogs_.fontAnswer = QFont("Serif", 30);
    trigger(cmd::FormatFont);
    EXPECT_EQ(c->editor()->document()->begin().begin().fragment().charFormat().font().pointSize(), 30);
    EXPECT_EQ(c->editor()->document()->begin().begin().fragment().text(), "a");
    // Cancel changes nothing.
    dialogs_.fontAnswer.reset();
    trigger(cmd::FormatFont);
    EXPECT_EQ(dialogs_.fontRequests, 3);
}

TEST_F(FrameTest, CloseQuestionAndItsAnswers)
{
    TFileMDIChild* c = newJava();
    QTest::keyClicks(c->editor(), "x");
    dialogs_.answers = {Answer::Cancel};
    c->close();
    QApplication::processEvents();
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text,
              "The text in the Untitled file has changed.\n\nDo you want to save the changes?");
    EXPECT_EQ(dialogs_.messages[0].caption, "Brewpad");
    EXPECT_EQ(dialogs_.messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(client()->editors().size(), 1);

    // Exit asks too; Cancel keeps the program running.
    dialogs_.answers = {Answer::Cancel};
    EXPECT_FALSE(app->Frame->close());
    EXPECT_EQ(client()->editors().size(), 1);

    // Yes saves under a chosen name and closes.
    dialogs_.answers = {Answer::Yes};
    dialogs_.savePaths.push_back(dir.filePath("Kept.java"));
    c->close();
    QApplication::processEvents();
    EXPECT_EQ(readFile(dir.filePath("Kept.java")), "x");
    EXPECT_TRUE(client()->editors().isEmpty());
}

TEST_F(FrameTest, ClearAllIsOneUndoableStep)
{
    TFileMDIChild* c = openJava(writeFile("C.java", "line one\nline two\n"));
    trigger(cmd::ClearAll);
    EXPECT_TRUE(c->editor()->toPlainText().isEmpty());
    trigger(cmd::Undo);
    EXPECT_EQ(c->editor()->toPlainText(), "line one\nline two\n");
}

TEST_F(FrameTest, InvalidUtf8AndLineEndsSurviveASave)
{
    QByteArray bytes("// caf\xE9 \x81\x8D\x9D r\xE9sum\xE9\r\nclass W {}\r\n\xA0\xFF\r\n");
    const QString path = writeFile("W.java", bytes);
    TFileMDIChild* c = openJava(path);
    EXPECT_EQ(c->editor()->source()->textFormat().encoding, TextFormat::Encoding::Windows1252);
    EXPECT_EQ(c->editor()->source()->textFormat().lineEnd, TextFormat::LineEnd::CRLF);
    c->editor()->document()->setModified(true);
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(path), bytes);

    // An edit keeps the encoding and line ends of the file.
    QTextCursor cur(c->editor()->document());
    cur.movePosition(QTextCursor::End);
    cur.insertText("x\n");
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(path), bytes + "x\r\n");

    // UTF-8 with LF line ends stays so.
    QByteArray utf8("// \xC3\xA9t\xC3\xA9 \xE2\x82\xAC\nclass U {}\n");
    const QString p2 = writeFile("U.java", utf8);
    TFileMDIChild* u = openJava(p2);
    u->editor()->document()->setModified(true);
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(p2), utf8);
}

TEST(TextFile, Windows1252RoundTripsEveryByte)
{
    QByteArray all;
    for (int i = 1; i < 256; ++i)
        if (i != '\n' && i != '\r')
            all.append(char(i));
    all.append("\xC3");  // never valid UTF-8 at the end
    DecodedText d = decodeText(all);
    EXPECT_EQ(d.format.encoding, TextFormat::Encoding::Windows1252);
    EXPECT_EQ(encodeText(d.text, d.format), all);
    // A character Windows-1252 cannot hold falls back to UTF-8, said so.
    bool fell = false;
    QByteArray out = encodeText(d.text + QChar(0x4E2D), d.format, &fell);
    EXPECT_TRUE(fell);
    EXPECT_TRUE(out.endsWith("\xE4\xB8\xAD"));
    // A byte-order mark is kept.
    DecodedText b = decodeText("\xEF\xBB\xBFx\r\n");
    EXPECT_TRUE(b.format.bom);
    EXPECT_EQ(b.text, "x\n");
    EXPECT_EQ(encodeText(b.text, b.format), QByteArray("\xEF\xBB\xBFx\r\n"));
}

TEST_F(FrameTest, UnreadableFileIsReportedAndTheWindowStays)
{
    dialogs_.openPaths.push_back(dir.filePath("Missing.java"));
    trigger(cmd::FileOpenJava);
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages[0].text, "Unable to read file " + dir.filePath("Missing.java") + " from disk.");
    EXPECT_EQ(client()->editors().size(), 1);
    EXPECT_EQ(current()->caption(), "JAVA - " + dir.filePath("Missing.java"));
    // Typing and saving creates the file under that name.
    QTest::keyClicks(current()->editor(), "class Missing {}");
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(dir.filePath("Missing.java")), "class Missing {}");
}

TEST_F(FrameTest, FailedWriteKeepsTheTextAndSaysSo)
{
    const QString path = writeFile("Gone.java", "class Gone {}\n");
    TFileMDIChild* c = openJava(path);
    QTest::keyClicks(c->editor(), "// mine ");
    // The file's directory disappears: the save cannot be written.
    c->editor()->source()->setFileName(dir.filePath("nodir/Gone.java"));
    trigger(cmd::FileSave);
    ASSERT_FALSE(dialogs_.messages.empty());
    // The reason follows the sentence on a line of its own.
    EXPECT_TRUE(dialogs_.messages.back().text.startsWith("Unable to write file " + dir.filePath("nodir/Gone.java") +
                                                         " to disk.\n\n"));
    EXPECT_GT(dialogs_.messages.back().text.size(), dialogs_.messages.back().text.indexOf("\n\n") + 2);
    EXPECT_TRUE(c->editor()->toPlainText().startsWith("// mine "));
    EXPECT_TRUE(c->editor()->document()->isModified());
}

TEST_F(FrameTest, FileDeletedWhileOpenIsSavedAgain)
{
    const QString path = writeFile("Del.java", "class Del {}\n");
    TFileMDIChild* c = openJava(path);
    QFile::remove(path);
    QTest::keyClicks(c->editor(), "//");
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(path), "//class Del {}\n");
}

TEST_F(FrameTest, EmptyFilesOpenQuietlyAndBinaryFilesReadOnly)
{
    TFileMDIChild* e = openJava(writeFile("Empty.java", ""));
    EXPECT_TRUE(e->editor()->toPlainText().isEmpty());
    EXPECT_FALSE(e->build().IsJavaMain);
    EXPECT_TRUE(dialogs_.messages.empty());
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919) & 0xFF));
    TFileMDIChild* b = openJava(writeFile("Blob.java", binary));
    EXPECT_EQ(b->editor()->source()->textFormat().encoding, TextFormat::Encoding::Windows1252);
    EXPECT_FALSE(b->editor()->document()->isModified());
    // Its NUL bytes could not be saved as they are: it is shown read-only, and said so.
    EXPECT_TRUE(b->editor()->isReadOnly());
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.contains("is not a text file"));
    dialogs_.messages.clear();
    // Nothing was changed, so closing asks nothing.
    b->close();
    QApplication::processEvents();
    EXPECT_TRUE(dialogs_.messages.empty());
}

// A new window has no file, whatever file was opened before it: F9 asks for a
// save and compiles nothing, Print names it "Untitled". Once saved, it
// compiles and prints its own file.
TEST_F(CompileTest, NewWindowsHaveNoFileUntilSaved)
{
    useRealJavac();
    if (IsSkipped())
        return;
    const QString opened = writeFile("Opened.java", "public class Opened {}\n");
    openJava(opened);
    TFileMDIChild* n = newJava();
    ASSERT_NE(n, nullptr);
    QTest::keyClicks(n->editor(), "class Typed {}");
    dialogs_.messages.clear();
    compile();
    EXPECT_EQ(dialogs_.texts(), QStringList("Save the file before compiling it."));
    EXPECT_FALSE(n->build().IsCompiled);
    EXPECT_FALSE(QFile::exists(dir.filePath("Opened.class")));

    QPrinter* printer = client()->printHost()->printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(dir.filePath("out.pdf"));
    client()->printHost()->setShowProgress(false);
    trigger(cmd::Print);
    EXPECT_EQ(printer->docName(), "Untitled");

    const QString typed = dir.filePath("Typed.java");
    dialogs_.savePaths.push_back(typed);
    trigger(cmd::FileSaveAs);
    dialogs_.messages.clear();
    compile();
    EXPECT_EQ(dialogs_.texts(), QStringList("Compilation success"));
    EXPECT_TRUE(n->build().IsCompiled);
    EXPECT_TRUE(QFile::exists(dir.filePath("Typed.class")));
    EXPECT_FALSE(QFile::exists(dir.filePath("Opened.class")));
    trigger(cmd::Print);
    EXPECT_EQ(printer->docName(), QDir::toNativeSeparators(typed));

    // So with projects: a new project after an opened one.
    client()->CmOpenJavaProjFile(writeFile("opened.jpr", "Opened.java\r\n"));
    trigger(cmd::NewJavaProj);
    ASSERT_TRUE(current()->isProject());
    dialogs_.messages.clear();
    compile();
    EXPECT_EQ(dialogs_.texts(), QStringList("Save the file before compiling it."));
    EXPECT_FALSE(current()->build().IsCompiled);
    EXPECT_FALSE(QFile::exists(dir.filePath("Opened.class")));
}

// Text read from the file (after a save, a line-end conversion, a change on
// disk) is shown in the default font, whatever font the caret stood in.
TEST_F(FrameTest, TextReadAgainTakesTheDefaultFont)
{
    const QString path = writeFile("Fonts.java", "class Fonts {\n    int word;\n}\n");
    TFileMDIChild* c = openJava(path);
    EditControl* e = c->editor();
    const QFont plain = GetLogFont();
    auto allPlain = [&] {
        for (QTextBlock b = e->document()->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                if (f.font().family() != plain.family() || f.font().pointSizeF() != plain.pointSizeF() ||
                    f.foreground().style() != Qt::NoBrush)
                    return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(allPlain());
    dialogs_.fontAnswer = QFont("Serif", 20);
    dialogs_.colorAnswer = QColor(Qt::red);
    // One word in 20-point red, the caret on it; F2 saves and reads the file again.
    QTextCursor word(e->document()->findBlockByNumber(1));
    word.setPosition(word.position() + 8);
    word.setPosition(word.position() + 4, QTextCursor::KeepAnchor);
    e->setTextCursor(word);
    trigger(cmd::FormatFont);
    ASSERT_FALSE(allPlain());
    e->setFocus();
    press(e, Qt::Key_F2);
    EXPECT_EQ(readFile(path), "class Fonts {\n    int word;\n}\n");
    EXPECT_TRUE(allPlain());

    // Unix2Dos: the font chosen for the text typed next does not colour the file.
    trigger(cmd::FormatFont);
    trigger(cmd::Unix2Dos);
    EXPECT_EQ(readFile(path), "class Fonts {\r\n    int word;\r\n}\r\n");
    EXPECT_TRUE(allPlain());

    // Changed on disk, read again when the window becomes active.
    trigger(cmd::FormatFont);
    TFileMDIChild* other = newJava();
    QApplication::processEvents();
    writeFile("Fonts.java", "class Fonts {\n    int changed;\n}\n");
    client()->setActiveSubWindow(c);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(e->source()->rawText(), "class Fonts {\n    int changed;\n}\n");
    EXPECT_TRUE(allPlain());
    EXPECT_NE(other, c);
}

// A read-only window offers no Font: a font would change its text, which then
// could be neither saved nor closed without losing it.
TEST_F(FrameTest, FontIsDisabledInReadOnlyWindows)
{
    TFileMDIChild* c = openJava(writeFile("Nul.java", QByteArray("class Nul {}\0\n", 14)));
    EditControl* e = c->editor();
    ASSERT_TRUE(e->isReadOnly());
    dialogs_.messages.clear();
    QTextCursor all(e->document());
    all.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    e->setTextCursor(all);
    dialogs_.fontAnswer = QFont("Serif", 20);
    EXPECT_FALSE(enabled(cmd::FormatFont));
    triggerExpectingDisabled(cmd::FormatFont);
    c->CmFormatFont();  // also when reached some other way
    EXPECT_EQ(dialogs_.fontRequests, 0);
    EXPECT_FALSE(e->document()->isModified());
    EXPECT_FALSE(c->isWindowModified());
    // It closes without a question.
    c->close();
    QApplication::processEvents();
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_TRUE(client()->editors().isEmpty());
    // An editable window offers it.
    openJava(writeFile("Text.java", "class Text {}\n"));
    EXPECT_TRUE(enabled(cmd::FormatFont));
}
