// SPDX-License-Identifier: GPL-3.0-or-later
// Line-end conversion: the byte rules, piecewise conversion, and the file
// replacement with its failure paths.
#include "editor/unix2dos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support.h"

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray conv(const char* s)
{
    return unix2dos(QByteArrayView(s, qsizetype(std::strlen(s))));
}

// The rule as plainly as it can be said: every line end (CR LF, a lone LF, a
// lone CR) becomes CR LF, every other byte stays.
QByteArray referenceWalk(const QByteArray& b)
{
    QByteArray out;
    const qsizetype n = b.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (b[i] == '\r' && i + 1 < n && b[i + 1] == '\n') {
            out += "\r\n";
            ++i;
        } else if (b[i] == '\r' || b[i] == '\n') {
            out += "\r\n";
        } else {
            out += b[i];
        }
    }
    return out;
}

// Line ends of a byte string, in order: "CRLF", "LF" or "CR" each.
QStringList lineEnds(const QByteArray& b)
{
    QStringList ends;
    for (qsizetype i = 0; i < b.size(); ++i) {
        if (b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n') {
            ends << "CRLF";
            ++i;
        } else if (b[i] == '\r') {
            ends << "CR";
        } else if (b[i] == '\n') {
            ends << "LF";
        }
    }
    return ends;
}

// The bytes between the line ends.
QList<QByteArray> lineTexts(const QByteArray& b)
{
    QList<QByteArray> lines{QByteArray()};
    for (qsizetype i = 0; i < b.size(); ++i) {
        if (b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n')
            ++i;
        if (b[i] == '\r' || b[i] == '\n')
            lines.append(QByteArray());
        else
            lines.back() += b[i];
    }
    return lines;
}

QByteArray randomBytes(std::mt19937& rng, int len)
{
    static const char alphabet[] = {'a', 'b', '\r', '\n', '\0', ' ', '\r', '\n'};
    std::uniform_int_distribution<int> pick(0, 7);
    QByteArray b;
    for (int i = 0; i < len; ++i)
        b += alphabet[pick(rng)];
    return b;
}


}  // namespace

TEST(Unix2DosBytes, EveryLineEndBecomesOneCrLfAndNoLineIsLost)
{
    EXPECT_EQ(conv("a\nb\n"), QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(conv("a\n\nb"), QByteArray("a\r\n\r\nb"));        // the empty line stays
    EXPECT_EQ(conv("a\rb"), QByteArray("a\r\nb"));              // lone CR
    EXPECT_EQ(conv("a\r\r\nb"), QByteArray("a\r\n\r\nb"));      // lone CR, then CR LF
    EXPECT_EQ(conv("a\n\r\nb"), QByteArray("a\r\n\r\nb"));      // lone LF, then CR LF
    EXPECT_EQ(conv("a\n\r\rb"), QByteArray("a\r\n\r\n\r\nb"));  // three line ends, three CR LF
    EXPECT_EQ(conv("a\n\nb\n\n\n"), QByteArray("a\r\n\r\nb\r\n\r\n\r\n"));
    EXPECT_EQ(conv("a\nb\n\nc\r\r\nd\r"), QByteArray("a\r\nb\r\n\r\nc\r\n\r\nd\r\n"));
    EXPECT_EQ(conv(""), QByteArray());
    EXPECT_EQ(conv("end\r"), QByteArray("end\r\n"));
    EXPECT_EQ(conv("\n"), QByteArray("\r\n"));
    EXPECT_EQ(conv("no line end"), QByteArray("no line end"));

    // A multi-line string literal keeps its empty lines.
    const QByteArray block("String s = \"\"\"\n    first\n\n    third\n    \"\"\";\n");
    EXPECT_EQ(conv(block.constData()), QByteArray(block).replace("\n", "\r\n"));
}

TEST(Unix2DosBytes, CrLfTextAndSecondRunUnchanged)
{
    const QByteArray dos("class A {\r\n\r\n  int x;\r\n}\r\n\r\n");
    EXPECT_EQ(unix2dos(dos), dos);
    const QByteArray once = unix2dos(QByteArray("x\n\n\ry\r\r\nz\n"));
    EXPECT_EQ(once, QByteArray("x\r\n\r\n\r\ny\r\n\r\nz\r\n"));
    EXPECT_EQ(unix2dos(once), once);
}

TEST(Unix2DosBytes, NulByteIsOrdinary)
{
    const QByteArray in("a\nb\0c\nd\r\0\n", 10);
    EXPECT_EQ(unix2dos(in), QByteArray("a\r\nb\0c\r\nd\r\n\0\r\n", 14));
}

TEST(Unix2DosBytes, RandomInputsKeepEveryLineAndAreStable)
{
    std::mt19937 rng(4711);
    for (int round = 0; round < 2000; ++round) {
        const QByteArray in = randomBytes(rng, round % 97);
        const QByteArray out = unix2dos(in);
        ASSERT_EQ(out, referenceWalk(in)) << in.toHex().constData();
        // The same lines, each ended by CR LF.
        ASSERT_EQ(lineTexts(out), lineTexts(in)) << in.toHex().constData();
        ASSERT_EQ(lineEnds(out), QStringList(lineEnds(in).size(), "CRLF")) << in.toHex().constData();
        ASSERT_EQ(unix2dos(out), out);
    }
}

TEST(Unix2DosBytes, PiecewiseConversionEqualsWhole)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        const QByteArray in = randomBytes(rng, 200);
        std::uniform_int_distribution<int> cut(0, 40);
        LineEndConverter c;
        QByteArray out(qsizetype(LineEndConverter::outputBound(std::size_t(in.size()))) + 16, '\0');
        char* o = out.data();
        qsizetype pos = 0;
        while (pos < in.size()) {
            const qsizetype n = std::min<qsizetype>(cut(rng), in.size() - pos);
            o = c.convert(in.constData() + pos, std::size_t(n), o);
            pos += n;
        }
        o = c.finish(o);
        out.resize(o - out.data());
        ASSERT_EQ(out, unix2dos(in)) << in.toHex().constData();
    }
}

TEST(Unix2DosBytes, TextWithFewLineEndsMatchesTheRuleInBlocksAndPieces)
{
    // Lines of source length: most blocks of 16 bytes hold a LF or none, some
    // only CR LF pairs, some a lone CR, a CR as their last byte, or a mix.
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> lineLength(0, 40), endKind(0, 9), cut(1, 70);
    for (int round = 0; round < 400; ++round) {
        QByteArray in;
        while (in.size() < 300) {
            in += QByteArray(lineLength(rng), char('a' + round % 26));
            const int kind = endKind(rng);
            in += kind < 6 ? "\n" : kind < 8 ? "\r\n" : kind < 9 ? "\r" : "\n\r\n";
        }
        in.truncate(std::uniform_int_distribution<int>(0, int(in.size()))(rng));
        const QByteArray whole = unix2dos(in);
        ASSERT_EQ(whole, referenceWalk(in)) << in.toHex().constData();

        LineEndConverter c;
        QByteArray out(qsizetype(LineEndConverter::outputBound(std::size_t(in.size()))), '\0');
        char* o = out.data();
        for (qsizetype pos = 0; pos < in.size();) {
            const qsizetype n = std::min<qsizetype>(cut(rng), in.size() - pos);
            o = c.convert(in.constData() + pos, std::size_t(n), o);
            pos += n;
        }
        o = c.finish(o);
        out.resize(o - out.data());
        ASSERT_EQ(out, whole) << in.toHex().constData();
    }
}

TEST(Unix2DosFile, ConvertsInPlaceKeepingPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("A.java");
    writeFile(path, QByteArray("class A {\n\n}\n\0tail\r", 20));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    QString err;
    EXPECT_EQ(convertFileToDos(path, &err), Unix2DosResult::Converted) << err.toStdString();
    EXPECT_EQ(readFile(path), QByteArray("class A {\r\n\r\n}\r\n\0tail\r\n", 24));
    EXPECT_EQ(QFile::permissions(path) & QFileDevice::Permissions(0x7077),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"A.java"});

    // A second run leaves the bytes alone; an empty file stays empty.
    EXPECT_EQ(convertFileToDos(path, &err), Unix2DosResult::Converted);
    EXPECT_EQ(readFile(path), QByteArray("class A {\r\n\r\n}\r\n\0tail\r\n", 24));
    const QString empty = dir.filePath("Empty.java");
    writeFile(empty, {});
    EXPECT_EQ(convertFileToDos(empty, &err), Unix2DosResult::Converted);
    EXPECT_EQ(QFileInfo(empty).size(), 0);
}

TEST(Unix2DosFile, LargeFileAcrossReadPieces)
{
    // Runs that straddle the 1 MiB read pieces must convert as in one go.
    QByteArray in;
    in.reserve(3 << 20);
    std::mt19937 rng(7);
    while (in.size() < (3 << 20))
        in += randomBytes(rng, 64);
    in[(1 << 20) - 1] = '\r';
    in[1 << 20] = '\n';
    in[(2 << 20) - 1] = '\n';
    in[2 << 20] = '\n';
    QTemporaryDir dir;
    const QString path = dir.filePath("Big.java");
    writeFile(path, in);
    EXPECT_EQ(convertFileToDos(path), Unix2DosResult::Converted);
    EXPECT_EQ(readFile(path), unix2dos(in));
}

TEST(Unix2DosFile, MissingFileIsNotReadableAndStaysMissing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Gone.java");
    QString err;
    EXPECT_EQ(convertFileToDos(path, &err), Unix2DosResult::NotReadable);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(Unix2DosFile, FileThatCannotBeReplacedIsLeftAlone)
{
    // procfs accepts no new files, so the converted copy cannot be created,
    // whoever runs the test.
    QString err;
    if (!QFile(QStringLiteral("/proc/version")).open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no /proc/version";
    EXPECT_EQ(convertFileToDos(QStringLiteral("/proc/version"), &err), Unix2DosResult::Failed);
    EXPECT_TRUE(err.contains("was not converted")) << err.toStdString();
    EXPECT_TRUE(err.contains("The file is unchanged")) << err.toStdString();
}

TEST(Unix2DosFile, WriteFailureLeavesOldFileAndNoLeftovers)
{
    // A file-size limit makes writing fail part way, like a full disk.
    QTemporaryDir dir;
    const QString path = dir.filePath("Full.java");
    QByteArray text;
    for (int i = 0; i < 400; ++i)
        text += "line of text\n";
    writeFile(path, text);

    QString err;
    Unix2DosResult r;
    {
        FileSizeLimit limit(100);
        ASSERT_TRUE(limit.ok());
        r = convertFileToDos(path, &err);
    }

    EXPECT_EQ(r, Unix2DosResult::Failed);
    EXPECT_TRUE(err.contains("writing the converted file failed")) << err.toStdString();
    EXPECT_EQ(readFile(path), text);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Full.java"});
}

TEST(Unix2DosFile, WriteFailureAfterSeveralPiecesLeavesOldFile)
{
    // Writing fails while later pieces are still being read and converted.
    QTemporaryDir dir;
    const QString path = dir.filePath("Long.java");
    QByteArray text;
    while (text.size() < (6 << 20))
        text += "    int value = compute(value, 42);\n";
    writeFile(path, text);

    QString err;
    Unix2DosResult r;
    {
        FileSizeLimit limit(3 << 20);
        ASSERT_TRUE(limit.ok());
        r = convertFileToDos(path, &err);
    }

    EXPECT_EQ(r, Unix2DosResult::Failed);
    EXPECT_TRUE(err.contains("writing the converted file failed")) << err.toStdString();
    EXPECT_EQ(readFile(path), text);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Long.java"});
}

TEST(Unix2DosFile, ReadOnlyFileOrFolderIsLeftUntouched)
{
    QTemporaryDir dir;
    ASSERT_TRUE(giveToUnprivilegedUser(dir.path()));
    asUnprivilegedUser([&] {
        const QByteArray text("a\nb\n");

        const QString roFile = dir.filePath("ReadOnly.java");
        writeFile(roFile, text);
        QFile::setPermissions(roFile, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        QString err;
        EXPECT_EQ(convertFileToDos(roFile, &err), Unix2DosResult::Failed);
        EXPECT_FALSE(err.isEmpty());
        EXPECT_EQ(readFile(roFile), text);

        const QString sub = dir.filePath("locked");
        ASSERT_TRUE(QDir().mkdir(sub));
        const QString inLocked = sub + "/A.java";
        writeFile(inLocked, text);
        QFile::setPermissions(inLocked, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        err.clear();
        EXPECT_EQ(convertFileToDos(inLocked, &err), Unix2DosResult::Failed);
        EXPECT_FALSE(err.isEmpty());
        EXPECT_EQ(readFile(inLocked), text);
        QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    });
}
