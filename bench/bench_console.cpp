// SPDX-License-Identifier: GPL-3.0-or-later
// A program that prints 1,000,000 short lines, run in the console window
// (its output read as it is written, shown, and cut to the console's last
// lines) against the same program writing to a file. The console must not
// slow the program much: the goal is a ratio of at most 1.5. Then a program
// writing 50 MB without a line end: the window must answer all the while, the
// longest pause of the user's thread at most 100 ms.
#include "bench_support.h"
#include "toolchain/running/consolewindow.h"
#include "toolchain/running/programprocess.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

namespace {

const QString kJava = QStringLiteral("/usr/bin/java");

double toFile(const QString& dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setStandardOutputFile(dir + QStringLiteral("/out.txt"));
    QElapsedTimer t;
    t.start();
    p.start(kJava, {QStringLiteral("-cp"), dir, QStringLiteral("Many")});
    p.waitForFinished(-1);
    return t.elapsed() / 1000.0;
}

// The program's output goes to the console, and its end too, which sets `ended`.
void showIn(ProgramProcess& program, ConsoleWindow& console, bool& ended)
{
    QObject::connect(&program, &ProgramProcess::standardOutput, &console, &ConsoleWindow::appendOutput);
    QObject::connect(&program, &ProgramProcess::ended, &console, [&console, &ended](const QString& text) {
        console.end(text);
        ended = true;
    });
}

double inConsole(const QString& dir)
{
    ConsoleWindow console;
    console.show();
    ProgramProcess program;
    bool ended = false;
    showIn(program, console, ended);
    console.begin(QStringLiteral("java Many"));
    QElapsedTimer t;
    t.start();
    program.start({kJava, {QStringLiteral("-cp"), dir, QStringLiteral("Many")}, dir});
    while (!ended)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double s = t.elapsed() / 1000.0;
    if (!console.shownText().contains(QStringLiteral("line 999999\n"))) {
        std::fprintf(stderr, "the console lost the last line\n");
        std::exit(1);
    }
    return s;
}

// Runs Huge in the console; the longest gap between the ticks of a 10 ms
// timer of the user's thread while it runs and its output is shown, in ms.
qint64 hugeLine(const QString& dir, double* seconds)
{
    ConsoleWindow console;
    console.resize(800, 300);
    console.show();
    ProgramProcess program;
    bool ended = false;
    showIn(program, console, ended);
    QElapsedTimer t;
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, t.elapsed() - last);
        last = t.elapsed();
    });
    console.begin(QStringLiteral("java Huge"));
    t.start();
    tick.start(10);
    program.start({kJava, {QStringLiteral("-cp"), dir, QStringLiteral("Huge")}, dir});
    while (!ended)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    while (!console.allShown())  // the rest is shown refresh by refresh
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    *seconds = t.elapsed() / 1000.0;
    tick.stop();
    // The console keeps the last kMostChars characters of the line.
    const QString shown = console.shownText();
    if (shown.size() < kMostChars - kRowChars ||
        !shown.endsWith(QStringLiteral("x\nProgram ended with exit code 0\n"))) {
        std::fprintf(stderr, "the console lost the end of the line\n");
        std::exit(1);
    }
    return longest;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    bench::writeFile(dir.filePath(QStringLiteral("Many.java")),
                     "public class Many { public static void main(String[] a) {"
                     " for (int i = 0; i < 1000000; i++) System.out.println(\"line \" + i); } }\n");
    bench::writeFile(dir.filePath(QStringLiteral("Huge.java")),
                     "public class Huge { public static void main(String[] a) throws Exception {"
                     " java.io.OutputStream o = new java.io.BufferedOutputStream(System.out, 1 << 16);"
                     " byte[] b = new byte[1000]; java.util.Arrays.fill(b, (byte) 'x');"
                     " for (int i = 0; i < 50000; i++) o.write(b); o.flush(); } }\n");
    QProcess javac;
    javac.start(bench::kJavac, {QStringLiteral("-d"), dir.path(), dir.filePath(QStringLiteral("Many.java")),
                                dir.filePath(QStringLiteral("Huge.java"))});
    if (!javac.waitForFinished(120000) || javac.exitCode() != 0) {
        std::fprintf(stderr, "javac failed\n");
        return 1;
    }
    std::vector<double> file, console;
    for (int i = 0; i < 3; ++i) {
        file.push_back(toFile(dir.path()));
        console.push_back(inConsole(dir.path()));
    }
    const double f = bench::median(file), c = bench::median(console);
    std::printf("1,000,000 lines: to a file %.2f s, in the console %.2f s: ratio %.2f (goal <= 1.5)\n", f, c, c / f);
    double seconds = 0;
    const qint64 pause = hugeLine(dir.path(), &seconds);
    std::printf("one line of 50 MB: shown in %.2f s, the longest pause of the window %lld ms (goal <= 100)\n",
                seconds, static_cast<long long>(pause));
    return 0;
}
