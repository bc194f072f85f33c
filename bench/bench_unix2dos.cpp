// SPDX-License-Identifier: GPL-3.0-or-later
// Converts a generated 100 MB file with LF line ends to CR LF the way the
// "Unix2Dos" command does (file to file), and converts a copy of the same file
// with Debian's unix2dos, three rounds on fresh copies. It also times the
// disk alone: writing the converted bytes to a new file and waiting until they
// are on the disk, which Brewpad does and unix2dos does not. Last line: our
// best time over unix2dos's best.
#include "editor/unix2dos.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
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

// One conversion of `path` by Brewpad, in milliseconds; nothing when it failed.
std::optional<double> timeOurs(const QString& path)
{
    // Each run starts with nothing left to write back from earlier steps.
    ::sync();
    QElapsedTimer t;
    t.start();
    QString error;
    const Unix2DosResult r = convertFileToDos(path, &error);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (r != Unix2DosResult::Converted) {
        std::printf("conversion failed: %s\n", qPrintable(error));
        return std::nullopt;
    }
    return ms;
}

// One conversion of `path` by unix2dos, in milliseconds; nothing when it failed.
std::optional<double> timeTheirs(const QString& tool, const QString& path)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    ::sync();
    QElapsedTimer t;
    t.start();
    p.start(tool, {QStringLiteral("-q"), path});
    const bool ok = p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (!ok) {
        std::printf("unix2dos failed: %s\n", p.readAll().constData());
        return std::nullopt;
    }
    return ms;
}

// Writing `bytes` to a new file at `path` and waiting until they are on the
// disk, in milliseconds: the least a conversion that keeps the file safe costs.
std::optional<double> timeDisk(const QString& path, const QByteArray& bytes)
{
    QFile::remove(path);
    ::sync();
    QElapsedTimer t;
    t.start();
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush() || ::fsync(f.handle()) != 0)
        return std::nullopt;
    f.close();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    QFile::remove(path);
    return ms;
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
    const QString source = dir.filePath(QStringLiteral("Source.java"));
    const QString ours = dir.filePath(QStringLiteral("Brewpad.java"));
    const QString theirs = dir.filePath(QStringLiteral("Unix2dos.java"));
    const qint64 size = 100ll * 1000 * 1000;
    if (!generate(source, size)) {
        std::printf("cannot write the test files in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("file: %lld bytes with LF line ends\n", QFile(source).size());

    // Three rounds, each on fresh copies; the best of each side counts, since
    // the disk is shared with whatever else the machine does.
    double oursMs = 1e30, theirsMs = 1e30, diskMs = 1e30;
    for (int round = 0; round < 3; ++round) {
        QFile::remove(ours);
        QFile::remove(theirs);
        if (!QFile::copy(source, ours) || !QFile::copy(source, theirs)) {
            std::printf("cannot copy the test file in %s\n", qPrintable(dir.path()));
            return 1;
        }
        const std::optional<double> a = timeOurs(ours);
        const std::optional<double> b = timeTheirs(tool, theirs);
        if (!a || !b)
            return 1;
        oursMs = std::min(oursMs, *a);
        theirsMs = std::min(theirsMs, *b);
        QFile converted(ours);
        if (!converted.open(QIODevice::ReadOnly))
            return 1;
        const std::optional<double> d = timeDisk(dir.filePath(QStringLiteral("Disk.java")), converted.readAll());
        if (!d) {
            std::printf("cannot write the disk's test file in %s\n", qPrintable(dir.path()));
            return 1;
        }
        diskMs = std::min(diskMs, *d);
    }

    std::printf("Brewpad convertFileToDos: %.1f ms (best of 3)\n", oursMs);
    std::printf("unix2dos:                 %.1f ms (best of 3)\n", theirsMs);
    std::printf("the disk alone:           %.1f ms (best of 3), %.3f of unix2dos\n", diskMs, diskMs / theirsMs);
    std::printf("same output: %s\n", sameContent(ours, theirs) ? "yes" : "NO");
    std::printf("ratio: %.3f\n", oursMs / theirsMs);
    return 0;
}
