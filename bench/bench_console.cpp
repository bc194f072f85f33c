// SPDX-License-Identifier: GPL-3.0-or-later
// A program that prints 1,000,000 short lines, run in the console window
// (its output read as it is written, shown, and cut to the console's last
// lines) against the same program writing to a file. The console must not
// slow the program much: the goal is a ratio of at most 1.5.
#include "bench_support.h"
#include "toolchain/running/consolewindow.h"
#include "toolchain/running/programprocess.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

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

double inConsole(const QString& dir)
{
    ConsoleWindow console;
    console.show();
    ProgramProcess program;
    QObject::connect(&program, &ProgramProcess::standardOutput, &console, &ConsoleWindow::appendOutput);
    bool ended = false;
    QObject::connect(&program, &ProgramProcess::ended, [&](const QString& text) {
        console.end(text);
        ended = true;
    });
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

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    bench::writeFile(dir.filePath(QStringLiteral("Many.java")),
                     "public class Many { public static void main(String[] a) {"
                     " for (int i = 0; i < 1000000; i++) System.out.println(\"line \" + i); } }\n");
    QProcess javac;
    javac.start(bench::kJavac, {QStringLiteral("-d"), dir.path(), dir.filePath(QStringLiteral("Many.java"))});
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
    return 0;
}
