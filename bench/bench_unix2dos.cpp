// SPDX-License-Identifier: GPL-3.0-or-later
// Converts a generated 100 MB file with LF line ends to CR LF the way the
// "Unix2Dos" command does (file to file), and converts a copy of the same file
// with Debian's unix2dos, in one run. Last line: our time over unix2dos's.
#include "editor/unix2dos.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <random>
#include <unistd.h>

namespace {

bool generate(const QString& path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    static const char* const words[] = {"public",
                                        "static",
                                        "void",
                                        "main",
                                        "String",
                                        "args",
                                        "int",
                                        "return",
                                        "class",
                                        "new",
                                        "System.out.println",
                                        "if",
                                        "else",
                                        "for",
                                        "while",
                                        "x",
                                        "y",
                                        "count",
                                        "=",
                                        "+",
                                        "(",
                                        ")",
                                        "{",
                                        "}",
                                        ";",
                                        "\"text\"",
                                        "42"};
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> pickWord(0, int(std::size(words)) - 1);
    std::uniform_int_distribution<int> wordsPerLine(1, 12);
    std::uniform_int_distribution<int> indent(0, 3);
    QByteArray block;
    qint64 written = 0;
    while (written < size) {
        block.clear();
        while (block.size() < (1 << 20)) {
            block.append(indent(rng) * 4, ' ');
            const int n = wordsPerLine(rng);
            for (int i = 0; i < n; ++i) {
                if (i)
                    block += ' ';
                block += words[pickWord(rng)];
            }
            block += '\n';
        }
        if (f.write(block) != block.size())
            return false;
        written += block.size();
    }
    return f.flush();
}

bool sameContent(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 20) != fb.read(1 << 20))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("unix2dos"));
    if (tool.isEmpty()) {
        std::printf("unix2dos not found (Debian package dos2unix)\n");
        return 1;
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::printf("no temporary directory\n");
        return 1;
    }
    const QString ours = dir.filePath(QStringLiteral("Brewpad.java"));
    const QString theirs = dir.filePath(QStringLiteral("Unix2dos.java"));
    const qint64 size = 100ll * 1000 * 1000;
    if (!generate(ours, size) || !QFile::copy(ours, theirs)) {
        std::printf("cannot write the test files in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("file: %lld bytes with LF line ends\n", QFile(ours).size());

    // Both runs start with nothing left to write back from earlier steps.
    ::sync();
    QElapsedTimer t;
    t.start();
    QString error;
    const Unix2DosResult r = convertFileToDos(ours, &error);
    const double oursMs = double(t.nsecsElapsed()) / 1e6;
    if (r != Unix2DosResult::Converted) {
        std::printf("conversion failed: %s\n", qPrintable(error));
        return 1;
    }

    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    ::sync();
    t.start();
    p.start(tool, {QStringLiteral("-q"), theirs});
    const bool ok = p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    const double theirsMs = double(t.nsecsElapsed()) / 1e6;
    if (!ok) {
        std::printf("unix2dos failed: %s\n", p.readAll().constData());
        return 1;
    }

    std::printf("Brewpad convertFileToDos: %.1f ms\n", oursMs);
    std::printf("unix2dos:                 %.1f ms\n", theirsMs);
    std::printf("same output: %s\n", sameContent(ours, theirs) ? "yes" : "NO");
    std::printf("ratio: %.3f\n", oursMs / theirsMs);
    return 0;
}
