// SPDX-License-Identifier: GPL-3.0-or-later
// The console window: what a real program writes, what the user types to it,
// the lines it keeps, and the stack-trace lines that lead to their source.
#include "support.h"
#include "platform/processgroup.h"
#include "resources/colours.h"
#include "toolchain/running/consolewindow.h"
#include "toolchain/running/programprocess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <csignal>

namespace {

// The last `n` lines of `text` as a view of `n` + 1 blocks shows them.
QString lastLines(const QString& text, int n)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    while (lines.size() > n + 1)
        lines.removeFirst();
    return lines.join(QLatin1Char('\n'));
}

QString joined(const std::deque<ConsoleSegment>& segments)
{
    QString s;
    for (const ConsoleSegment& seg : segments)
        s += seg.text;
    return s;
}

// Compiles `source` (class `name`) into `dir` with the real javac; false
// (the test skipped) without one.
bool compileJava(const QString& dir, const QString& name, const QByteArray& source)
{
    const QString javac = javacOrSkip();
    if (javac.isEmpty())
        return false;
    const QString file = dir + "/" + name + ".java";
    if (!writeFile(file, source))
        return false;
    QProcess p;
    p.start(javac, {"-d", dir, file});
    return p.waitForFinished(120000) && p.exitCode() == 0;
}

QString javaNextTo(const QString& javac)
{
    return QFileInfo(javac).canonicalFilePath().replace(QRegularExpression("javac$"), "java");
}

}  // namespace

// Whatever the chunks and however seldom the console takes them, what it shows
// is the last lines of everything written, and it counts the others.
TEST(ConsoleLog, KeepsTheLastLinesOfRandomOutputAndCountsTheRest)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        QRandomGenerator rng(seed);
        const int limit = 1 + int(rng.bounded(30));
        ConsoleLog log(limit);
        QString written;
        QString shown;
        for (int step = 0; step < 300; ++step) {
            const int kind = int(rng.bounded(10));
            if (kind == 0) {
                shown += joined(log.take());
                continue;
            }
            if (kind == 1) {
                const QString note = QStringLiteral("note %1").arg(step);
                log.appendLine(ConsoleStream::Note, note);
                written += (written.isEmpty() || written.endsWith('\n') ? "" : "\n") + note + '\n';
                continue;
            }
            QByteArray chunk;
            const int size = int(rng.bounded(40));
            for (int i = 0; i < size; ++i)
                chunk += rng.bounded(5) == 0 ? '\n' : char('a' + rng.bounded(26));
            log.append(kind % 2 ? ConsoleStream::Output : ConsoleStream::Error, chunk);
            written += QString::fromLatin1(chunk);
        }
        shown += joined(log.take());
        ASSERT_EQ(lastLines(shown, limit), lastLines(written, limit)) << "seed " << seed;
        const qint64 lines = written.count('\n') + (written.isEmpty() || written.endsWith('\n') ? 0 : 1);
        EXPECT_EQ(log.lines(), lines) << "seed " << seed;
        EXPECT_EQ(log.dropped(), std::max<qint64>(0, lines - limit)) << "seed " << seed;
    }
}

TEST(ConsoleLog, ACharacterCutBetweenTwoReadsStaysWhole)
{
    ConsoleLog log;
    const QByteArray e = QStringLiteral("caf\u00e9\n").toUtf8();
    log.append(ConsoleStream::Output, e.left(4));
    log.append(ConsoleStream::Output, e.mid(4));
    log.append(ConsoleStream::Error, "x\r\n");
    const auto segments = log.take();
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].text, QStringLiteral("caf\u00e9\n"));
    EXPECT_EQ(segments[1].stream, ConsoleStream::Error);
    EXPECT_EQ(segments[1].text, "x\n");
}

TEST(ConsoleWindow, AProgramWritingFarMoreThanTheLimitKeepsTheLastLinesAndSaysHowManyWent)
{
    ConsoleWindow console(nullptr, 1000);
    console.begin("java Many");
    QByteArray chunk;
    for (int i = 0; i < 300000; ++i) {
        chunk += "line " + QByteArray::number(i) + '\n';
        if (chunk.size() > 60000) {
            console.appendOutput(chunk);
            chunk.clear();
        }
    }
    console.appendOutput(chunk);
    const QString shown = console.shownText();
    EXPECT_LE(shown.count('\n'), 1001);
    EXPECT_TRUE(shown.endsWith("line 299999\n"));
    EXPECT_EQ(console.droppedLines(), 300001 - 1000);  // the title line is one of them
    const auto* note = console.findChild<QLabel*>();
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->text().startsWith("299001 earlier lines were dropped")) << note->text().toStdString();
}

TEST(ConsoleWindow, AStackTraceLineLeadsToItsSourceByEnterOrDoubleClick)
{
    ConsoleWindow console;
    QSignalSpy asked(&console, &ConsoleWindow::openSource);
    console.begin("java demo.Demo");
    console.appendError(
        "Exception in thread \"main\" java.lang.IllegalStateException\n"
        "\tat demo.Demo.fail(Demo.java:12)\n\tat demo.Demo.main(Demo.java:5)\n");
    console.show();
    auto* view = console.findChild<QPlainTextEdit*>();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(console.shownText().contains("Demo.java:12"));
    QTextCursor c(view->document()->findBlockByNumber(2));
    view->setTextCursor(c);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_EQ(asked.size(), 1);
    const auto first = asked[0][0].value<StackTraceLocation>();
    EXPECT_EQ(first.className, "demo.Demo");
    EXPECT_EQ(first.line, 12);
    // A line that is not a frame asks for nothing.
    view->setTextCursor(QTextCursor(view->document()->findBlockByNumber(1)));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(asked.size(), 1);
    const QRect line3 = view->cursorRect(QTextCursor(view->document()->findBlockByNumber(3)));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, line3.center());
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[1][0].value<StackTraceLocation>().line, 5);
}

// The colour of the first piece of text of a line of the console.
QColor colourOfLine(QPlainTextEdit* view, int line)
{
    return view->document()->findBlockByNumber(line).begin().fragment().charFormat().foreground().color();
}

TEST(ConsoleWindow, TheTextShownTakesTheColoursOfANewLook)
{
    const QPalette desktop = QApplication::palette();
    ConsoleWindow console;
    console.begin("java demo.Demo");
    console.appendOutput("plain output\n");
    console.appendError("an error\n\tat demo.Demo.fail(Demo.java:12)\n");
    console.show();
    console.flush();
    auto* view = console.findChild<QPlainTextEdit*>();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(console.shownText().contains("an error"));
    const int output = int(console.shownText().left(console.shownText().indexOf("plain")).count('\n'));
    EXPECT_EQ(colourOfLine(view, output + 1), colours::colourSet(colours::Look::Light).consoleError);

    colours::setCurrentLook(colours::Look::Dark);
    QApplication::setPalette(colours::lookPalette(colours::Look::Dark));
    QApplication::processEvents();  // the widgets hear of the palette
    EXPECT_EQ(colourOfLine(view, output), colours::colourSet(colours::Look::Dark).text);
    EXPECT_EQ(colourOfLine(view, output + 1), colours::colourSet(colours::Look::Dark).consoleError);
    EXPECT_TRUE(console.shownText().contains("plain output\nan error\n"));

    colours::setCurrentLook(colours::Look::Light);
    QApplication::setPalette(desktop);
    QApplication::processEvents();
    EXPECT_EQ(colourOfLine(view, output), desktop.color(QPalette::Text));
    EXPECT_EQ(colourOfLine(view, output + 1), colours::colourSet(colours::Look::Light).consoleError);
}

// A real program: its output and error as written, the lines typed as its
// input, Ctrl+D as the end of its input, and how it ended.
TEST(ConsoleWindow, ARealProgramReadsWhatIsTypedUntilCtrlD)
{
    ConsoleWindow console;
    ProgramProcess program;
    QObject::connect(&program, &ProgramProcess::standardOutput, &console, &ConsoleWindow::appendOutput);
    QObject::connect(&program, &ProgramProcess::standardError, &console, &ConsoleWindow::appendError);
    QObject::connect(&program, &ProgramProcess::ended, &console, [&](const QString& text) { console.end(text); });
    QObject::connect(&console, &ConsoleWindow::input, &program, &ProgramProcess::writeInput);
    QObject::connect(&console, &ConsoleWindow::inputEnded, &program, &ProgramProcess::closeInput);
    console.begin("cat");
    console.show();
    ASSERT_TRUE(program.start({"/bin/sh", {"-c", "echo ready; echo warn >&2; cat; echo done; exit 3"}, "/tmp"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return console.shownText().contains("warn"); }, 10000));
    auto* input = console.findChild<QLineEdit*>();
    ASSERT_NE(input, nullptr);
    ASSERT_TRUE(console.inputOpen());
    QTest::keyClicks(input, "hello");
    QTest::keyClick(input, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return console.shownText().count("hello") == 2; }, 10000))
        << console.shownText().toStdString();
    QTest::keyClicks(input, "tail");
    QTest::keyClick(input, Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(console.inputOpen());
    ASSERT_TRUE(QTest::qWaitFor([&] { return console.shownText().contains("Program ended"); }, 10000));
    const QString shown = console.shownText();
    EXPECT_TRUE(shown.contains("taildone\n")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("Program ended with exit code 3\n")) << shown.toStdString();
}

// Shown in several refreshes, the window keeps exactly the last lines, and
// only the frames of a stack trace among lines that merely contain "at " are
// links.
TEST(ConsoleWindow, RefreshesKeepTheLastLinesAndLinkOnlyTheFrames)
{
    ConsoleWindow console(nullptr, 1000);
    console.begin("java Many");
    auto* view = console.findChild<QPlainTextEdit*>();
    ASSERT_NE(view, nullptr);
    int n = 0;
    for (int round : {700, 500, 1, 2500, 30}) {
        QByteArray chunk;
        for (int i = 0; i < round; ++i, ++n)
            chunk += "what a line " + QByteArray::number(n) + '\n';
        console.appendOutput(chunk);
        console.flush();
        EXPECT_LE(view->document()->blockCount(), 1001) << "after line " << n;
    }
    console.appendError("at first\n\tat demo.Demo.fail(Demo.java:12)\nflat at end\n");
    const QString shown = console.shownText();
    EXPECT_TRUE(shown.startsWith("what a line 2734\n")) << shown.left(40).toStdString();
    EXPECT_TRUE(shown.endsWith("what a line 3730\nat first\n\tat demo.Demo.fail(Demo.java:12)\nflat at end\n"));
    EXPECT_EQ(console.droppedLines(), 1 + 3731 + 3 - 1000);
    const auto underlined = [&](int fromEnd, int column) {
        const QTextBlock b = view->document()->findBlockByNumber(view->document()->blockCount() - 1 - fromEnd);
        QTextCursor c(b);
        c.setPosition(b.position() + column + 1);
        return c.charFormat().fontUnderline();
    };
    EXPECT_FALSE(underlined(3, 1));  // "at first"
    EXPECT_FALSE(underlined(2, 0));  // the tab before the frame
    EXPECT_TRUE(underlined(2, 2));   // "at demo.Demo..."
    EXPECT_FALSE(underlined(1, 6));  // "flat at end"
    EXPECT_FALSE(underlined(4, 5));  // an output line with "at "
}

// A program writing without pause, then to its error: the lines arrive whole, in
// order, in far fewer chunks than lines (the pipe is read in large blocks).
TEST(ProgramProcess, OutputWrittenLineByLineArrivesInLargeChunks)
{
    ProgramProcess program;
    QByteArray out, err;
    int chunks = 0;
    bool ended = false;
    QObject::connect(&program, &ProgramProcess::standardOutput, [&](const QByteArray& b) {
        out += b;
        ++chunks;
    });
    QObject::connect(&program, &ProgramProcess::standardError, [&](const QByteArray& b) { err += b; });
    QObject::connect(&program, &ProgramProcess::ended, [&] { ended = true; });
    ASSERT_TRUE(program.start({"/bin/sh", {"-c", "stdbuf -oL seq 200000; echo gone >&2"}, "/tmp"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, 60000));
    QByteArray expected;
    for (int i = 1; i <= 200000; ++i)
        expected += QByteArray::number(i) + '\n';
    EXPECT_EQ(out, expected);
    EXPECT_EQ(err, "gone\n");
    EXPECT_LT(chunks, 2000) << chunks;  // 1.3 MB: not a chunk per line
}

TEST(StackTraceSource, FoundBesideTheClassInItsPackageOrInTheProject)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath("classes/demo/Demo.java"), "class Demo {}"));
    ASSERT_TRUE(writeFile(dir.filePath("src/util/Tool.java"), "class Tool {}"));
    ASSERT_TRUE(writeFile(dir.filePath("other/util/Tool.java"), "class Tool {}"));
    ASSERT_TRUE(writeFile(dir.filePath("lone/Only.java"), "class Only {}"));
    StackTraceLocation demo{"demo.Demo$Inner", "run", "Demo.java", 3};
    EXPECT_EQ(findStackTraceSource(demo, dir.filePath("classes"), {}), dir.filePath("classes/demo/Demo.java"));
    StackTraceLocation tool{"util.Tool", "go", "Tool.java", 7};
    const QStringList project{dir.filePath("other/Tool.java"), dir.filePath("src/util/Tool.java"),
                              dir.filePath("other/util/Tool.java")};
    EXPECT_EQ(findStackTraceSource(tool, dir.filePath("classes"), project), dir.filePath("src/util/Tool.java"));
    StackTraceLocation only{"x.y.Only", "go", "Only.java", 1};
    EXPECT_EQ(findStackTraceSource(only, {}, {dir.filePath("lone/Only.java")}), dir.filePath("lone/Only.java"));
    StackTraceLocation none{"Gone", "go", "Gone.java", 1};
    EXPECT_TRUE(findStackTraceSource(none, dir.path(), project).isEmpty());
}

// A line without end is cut into rows of at most kRowChars for display, the
// cuts marked, every character kept; beyond kMostChars the oldest rows go.
TEST(ConsoleLog, CutsALongLineIntoRowsAndBoundsWhatItHolds)
{
    ConsoleLog log(100000);
    QRandomGenerator rng(7);
    QByteArray written;
    while (written.size() < 5000) {
        QByteArray chunk(1 + int(rng.bounded(700)), 'a');
        for (char& c : chunk)
            c = char('a' + rng.bounded(26));
        log.append(ConsoleStream::Output, chunk);
        written += chunk;
    }
    QString taken;
    while (log.pending())
        taken += joined(log.take(1 + int(rng.bounded(900))));
    for (const QString& row : taken.split(kRowBreak))
        EXPECT_LE(row.size(), kRowChars);
    EXPECT_EQ(taken.count(kRowBreak), (written.size() - 1) / kRowChars);
    EXPECT_EQ(taken.remove(kRowBreak), QString::fromLatin1(written));
    EXPECT_EQ(log.lines(), (written.size() + kRowChars - 1) / kRowChars);
    EXPECT_EQ(log.dropped(), 0);

    // A character of the program that looks like a cut is shown as U+FFFD.
    log.clear();
    log.append(ConsoleStream::Output, QString(kRowBreak).toUtf8() + "x\n");
    EXPECT_EQ(joined(log.take()), QString(QChar::ReplacementCharacter) + "x\n");

    // Far more than it holds: the newest rows within the bound, the rest counted.
    log.clear();
    const QByteArray block(1 << 20, 'z');
    for (qsizetype n = 0; n < kMostChars + (4 << 20); n += block.size())
        log.append(ConsoleStream::Output, block + (n % (8 << 20) ? "" : "\n"));
    EXPECT_GT(log.dropped(), 0);
    EXPECT_EQ(log.dropped() + log.keptRows(), log.lines());
    qsizetype held = 0;
    for (const ConsoleSegment& s : log.take())
        held += s.text.size();
    // The characters kept, a cut or line end after each row, and a row begun.
    EXPECT_LE(held, kMostChars + log.keptRows() + kRowChars + 1);
    EXPECT_GT(held, kMostChars - kRowChars);
}

// A program writing 20 MB without a line end: the window answers all the while
// (a timer of the user's thread ticks on), and the console keeps every byte,
// shown in pieces that are one line again when its text is read.
TEST(ConsoleWindow, OneHugeLineLeavesTheWindowAnsweringAndKeepsEveryByte)
{
    QTemporaryDir dir;
    if (!compileJava(dir.path(), "Huge",
                     "public class Huge { public static void main(String[] a) throws Exception {\n"
                     "  java.io.OutputStream o = new java.io.BufferedOutputStream(System.out, 1 << 16);\n"
                     "  byte[] b = new byte[1000];\n"
                     "  for (int i = 0; i < 20000; i++) {\n"
                     "    for (int j = 0; j < 1000; j++) b[j] = (byte) ('a' + (i + j) % 26);\n"
                     "    o.write(b);\n"
                     "  }\n"
                     "  o.flush(); } }\n"))
        GTEST_SKIP() << "no javac";
    ConsoleWindow console;
    console.resize(600, 300);
    console.show();
    ProgramProcess program;
    QObject::connect(&program, &ProgramProcess::standardOutput, &console, &ConsoleWindow::appendOutput);
    bool ended = false;
    QObject::connect(&program, &ProgramProcess::ended, &console, [&](const QString& text) {
        console.end(text);
        ended = true;
    });
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    console.begin("java Huge");
    clock.start();
    tick.start(10);
    ASSERT_TRUE(program.start({javaNextTo(javacOrSkip()), {"-cp", dir.path(), "Huge"}, dir.path()}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, 120000));
    QTest::qWait(300);  // what the window still shows after the end
    tick.stop();
    EXPECT_LT(longest, 1000) << "the user's thread stood still for " << longest << " ms";
    QString expected;
    expected.reserve(20000000);
    for (int i = 0; i < 20000; ++i) {
        for (int j = 0; j < 1000; ++j)
            expected += QChar('a' + (i + j) % 26);
    }
    const QString shown = console.shownText();
    EXPECT_TRUE(shown == "java Huge\n" + expected + "\nProgram ended with exit code 0\n")
        << shown.size() << " characters shown, " << expected.size() << " written";
    EXPECT_EQ(console.droppedLines(), 0);
}

// A program that starts a process and ends: the process stays in the
// program's group, which ends as one on stop() or with the object.
TEST(ProgramProcess, WhatTheProgramStartedEndsWithItsGroupAlsoAfterItEnded)
{
    QTemporaryDir dir;
    if (!compileJava(dir.path(), "Spawner",
                     "public class Spawner { public static void main(String[] a) throws Exception {\n"
                     "  Process p = new ProcessBuilder(\"sleep\", \"300\").start();\n"
                     "  System.out.println(\"child \" + p.pid()); } }\n"))
        GTEST_SKIP() << "no javac";
    const QString java = javaNextTo(javacOrSkip());
    for (const bool byStop : {true, false}) {
        auto program = std::make_unique<ProgramProcess>();
        QSignalSpy left(program.get(), &ProgramProcess::processesLeft);
        QSignalSpy gone(program.get(), &ProgramProcess::processesGone);
        bool ended = false;
        QObject::connect(program.get(), &ProgramProcess::ended, [&] { ended = true; });
        ASSERT_TRUE(program->start({java, {"-cp", dir.path(), "Spawner"}, dir.path()}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, 60000));
        const pid_t group = pid_t(program->processId());
        ASSERT_TRUE(processGroupHasMembers(group)) << "the child should still run";
        EXPECT_TRUE(program->processesRemain());
        EXPECT_EQ(left.count(), 1);
        if (byStop) {
            program->stop();
            EXPECT_TRUE(QTest::qWaitFor([&] { return gone.count() == 1; }, 10000));
            EXPECT_FALSE(program->processesRemain());
        } else {
            program.reset();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return !processGroupHasMembers(group); }, 10000));
        errno = 0;
        EXPECT_TRUE(::kill(-group, 0) == -1 ? errno == ESRCH : !processGroupHasMembers(group));
    }
}

TEST(ProgramProcess, AStopRightAfterTheStartEndsTheProgramAndWhatItStarted)
{
    // Before the event loop has told of the start, as a Stop Compiling pressed
    // at once does.
    QTemporaryDir dir;
    const QString pidFile = dir.filePath("child.pid");
    for (int round = 0; round < 5; ++round) {
        QFile::remove(pidFile);
        ProgramProcess program;
        bool ended = false;
        QObject::connect(&program, &ProgramProcess::ended, [&] { ended = true; });
        ASSERT_TRUE(program.start({"/bin/sh", {"-c", "sleep 300 & echo $! > '" + pidFile + "'; wait"}, dir.path()}));
        const pid_t group = pid_t(program.processId());
        ASSERT_GT(group, 0);
        if (round % 2)
            QTest::qWait(0);
        program.stop();
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, 10000)) << "round " << round;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !processGroupHasMembers(group); }, 10000)) << "round " << round;
    }
}
