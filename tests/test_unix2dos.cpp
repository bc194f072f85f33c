// Line-end conversion: the byte rules, piecewise conversion, and the file
// replacement with its failure paths.
#include "editor/unix2dos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "test_files.h"

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray conv(const char* s) { return unix2dos(QByteArrayView(s, qsizetype(std::strlen(s)))); }

// The command's walk, step by step over an index, with the byte count as end.
QByteArray referenceWalk(const QByteArray& b)
{
    QByteArray out;
    const qsizetype n = b.size();
    auto at = [&](qsizetype i) { return i < n ? b[i] : '\0'; };
    auto atEnd = [&](qsizetype i) { return i >= n; };
    for (qsizetype i = 0; !atEnd(i); ++i) {
        while (at(i) == '\r' && i + 1 < n && at(i + 1) == '\r')
            ++i;
        while (at(i) == '\n' && i + 1 < n && at(i + 1) == '\n')
            ++i;
        if (at(i) == '\r' && i + 1 < n && at(i + 1) == '\n') {
            out += '\r';
            ++i;
            out += '\n';
        } else if (at(i) == '\n' || at(i) == '\r') {
            out += "\r\n";
        } else {
            out += at(i);
        }
    }
    return out;
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

TEST(Unix2DosBytes, EachRule)
{
    EXPECT_EQ(conv("a\nb\n"), QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(conv("a\n\nb"), QByteArray("a\r\nb"));            // LF run: the empty line goes
    EXPECT_EQ(conv("a\rb"), QByteArray("a\r\nb"));              // lone CR
    EXPECT_EQ(conv("a\r\r\nb"), QByteArray("a\r\nb"));          // CR run then LF
    EXPECT_EQ(conv("a\n\r\nb"), QByteArray("a\r\n\r\nb"));      // LF, then CR LF in the next step
    EXPECT_EQ(conv("a\n\n\r\rb"), QByteArray("a\r\n\r\nb"));    // LF run, then CR run
    EXPECT_EQ(conv("a\r\r\n\nb"), QByteArray("a\r\n\r\nb"));    // CR run LF, then a lone LF
    EXPECT_EQ(conv(""), QByteArray());
    EXPECT_EQ(conv("end\r"), QByteArray("end\r\n"));
    EXPECT_EQ(conv("\n"), QByteArray("\r\n"));
    EXPECT_EQ(conv("no line end"), QByteArray("no line end"));
}

TEST(Unix2DosBytes, CrLfTextAndSecondRunUnchanged)
{
    const QByteArray dos("class A {\r\n\r\n  int x;\r\n}\r\n\r\n");
    EXPECT_EQ(unix2dos(dos), dos);
    const QByteArray once = unix2dos(QByteArray("x\n\n\ry\r\r\nz\n"));
    EXPECT_EQ(unix2dos(once), once);
}

TEST(Unix2DosBytes, NulByteIsOrdinary)
{
    const QByteArray in("a\nb\0c\nd\r\0\n", 10);
    EXPECT_EQ(unix2dos(in), QByteArray("a\r\nb\0c\r\nd\r\n\0\r\n", 14));
}

TEST(Unix2DosBytes, RandomInputsMatchTheWalkAndAreStable)
{
    std::mt19937 rng(4711);
    for (int round = 0; round < 2000; ++round) {
        const QByteArray in = randomBytes(rng, round % 97);
        const QByteArray out = unix2dos(in);
        ASSERT_EQ(out, referenceWalk(in)) << in.toHex().constData();
        for (qsizetype i = 0; i < out.size(); ++i) {
            if (out[i] == '\n') {
                ASSERT_TRUE(i > 0 && out[i - 1] == '\r');
            }
            if (out[i] == '\r') {
                ASSERT_TRUE(i + 1 < out.size() && out[i + 1] == '\n');
            }
        }
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

TEST(Unix2DosFile, ConvertsInPlaceKeepingPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("A.java");
    writeFile(path, QByteArray("class A {\n\n}\n\0tail\r", 20));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    QString err;
    EXPECT_EQ(convertFileToDos(path, &err), Unix2DosResult::Converted) << err.toStdString();
    EXPECT_EQ(readAll(path), QByteArray("class A {\r\n}\r\n\0tail\r\n", 22));
    EXPECT_EQ(QFile::permissions(path) & QFileDevice::Permissions(0x7077),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"A.java"});

    // A second run leaves the bytes alone; an empty file stays empty.
    EXPECT_EQ(convertFileToDos(path, &err), Unix2DosResult::Converted);
    EXPECT_EQ(readAll(path), QByteArray("class A {\r\n}\r\n\0tail\r\n", 22));
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
    EXPECT_EQ(readAll(path), unix2dos(in));
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
    EXPECT_EQ(readAll(path), text);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Full.java"});
}

TEST(Unix2DosFile, ReadOnlyFileOrFolderIsLeftUntouched)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root: permission bits do not stop writes";
    QTemporaryDir dir;
    const QByteArray text("a\nb\n");

    const QString roFile = dir.filePath("ReadOnly.java");
    writeFile(roFile, text);
    QFile::setPermissions(roFile, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    QString err;
    EXPECT_EQ(convertFileToDos(roFile, &err), Unix2DosResult::Failed);
    EXPECT_FALSE(err.isEmpty());
    EXPECT_EQ(readAll(roFile), text);

    const QString sub = dir.filePath("locked");
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString inLocked = sub + "/A.java";
    writeFile(inLocked, text);
    QFile::setPermissions(inLocked, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    err.clear();
    EXPECT_EQ(convertFileToDos(inLocked, &err), Unix2DosResult::Failed);
    EXPECT_FALSE(err.isEmpty());
    EXPECT_EQ(readAll(inLocked), text);
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
