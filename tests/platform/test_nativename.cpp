// SPDX-License-Identifier: GPL-3.0-or-later
// File names' bytes as a QString and back: exact for every byte string, the
// same as a plain decoder built on Qt's own UTF-8, and the looks at real files
// named with bytes that are not UTF-8.
#include "support.h"

#include "platform/nativename.h"
#include "platform/nativepath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One code point of `s` (a pair of surrogates counts as one).
bool isOneCodePoint(const QString& s)
{
    if (s.size() == 1)
        return !s[0].isSurrogate();
    return s.size() == 2 && s[0].isHighSurrogate() && s[1].isLowSurrogate();
}

// The plain decoder: at each place the shortest run of bytes that Qt decodes
// to one character and encodes back to the same bytes is that character;
// else the byte is U+DC80 + byte.
QString referenceDecode(const QByteArray& bytes)
{
    QString out;
    qsizetype i = 0;
    while (i < bytes.size()) {
        int taken = 0;
        for (int len = 1; len <= 4 && i + len <= bytes.size() && taken == 0; ++len) {
            const QByteArray chunk = bytes.mid(i, len);
            const QString s = QString::fromUtf8(chunk);
            const bool replaced = s == QString(QChar::ReplacementCharacter) && chunk != "\xEF\xBF\xBD";
            if (isOneCodePoint(s) && !replaced && s.toUtf8() == chunk) {
                out += s;
                taken = len;
            }
        }
        if (taken == 0) {
            out += QChar(char16_t(0xDC00 + uchar(bytes[i])));
            taken = 1;
        }
        i += taken;
    }
    return out;
}

QByteArray randomName(std::mt19937& rng)
{
    static const char edges[] = {'\x80', '\xBF', '\xC0', '\xC1', '\xC2', '\xDF', '\xE0', '\xED', '\xEF', '\xF0',
                                 '\xF4', '\xF5', '\xFF', 'a',    '/',    '%',    '.',    '\xA0', '\x9F', '\x8F'};
    QByteArray b;
    const int n = int(rng() % 14);
    for (int k = 0; k < n; ++k) {
        switch (rng() % 3) {
        case 0: b += char(rng() % 256); break;
        case 1: b += edges[rng() % sizeof edges]; break;
        default: {
            char32_t cp = char32_t(rng() % 0x110000);
            if (cp >= 0xD800 && cp <= 0xDFFF)
                cp = 0xE9;
            b += QString::fromUcs4(&cp, 1).toUtf8();
        }
        }
    }
    return b;
}

QString odd(const char* before, uchar byte, const char* after)
{
    return QString::fromUtf8(before) + QChar(char16_t(0xDC00 + byte)) + QString::fromUtf8(after);
}

}  // namespace

TEST(NativeName, ValidUtf8DecodesAsUsualAndOddBytesAsLoneSurrogates)
{
    EXPECT_EQ(nativename::decode("caf\xC3\xA9.java"), QString::fromUtf8("caf\xC3\xA9.java"));
    EXPECT_EQ(nativename::decode("caf\xE9.java"), odd("caf", 0xE9, ".java"));
    EXPECT_EQ(nativename::encode(odd("caf", 0xE9, ".java")), QByteArray("caf\xE9.java"));
    // A surrogate written in UTF-8 is no UTF-8: three odd bytes.
    EXPECT_EQ(nativename::decode("\xED\xB3\xA9"), odd("", 0xED, "") + odd("", 0xB3, "") + odd("", 0xA9, ""));
    EXPECT_EQ(nativename::decode("\xF0\x9F\x98\x80"), QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(nativename::hasOddBytes(QString::fromUtf8("caf\xC3\xA9")));
    EXPECT_TRUE(nativename::hasOddBytes(odd("caf", 0xE9, "")));
}

TEST(NativeName, EveryByteStringComesBackExactly)
{
    std::mt19937 rng(20261209);
    for (int round = 0; round < 50000; ++round) {
        const QByteArray bytes = randomName(rng);
        const QString name = nativename::decode(bytes);
        ASSERT_EQ(name, referenceDecode(bytes)) << bytes.toHex().constData();
        ASSERT_EQ(nativename::encode(name), bytes) << bytes.toHex().constData();
        ASSERT_EQ(nativename::fromText(nativename::toText(QLatin1Char('/') + name)), QLatin1Char('/') + name)
            << bytes.toHex().constData();
    }
}

TEST(NativeName, TextWithoutOddBytesEncodesAsUtf8)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 20000; ++round) {
        QString s;
        for (int k = int(rng() % 8); k > 0; --k) {
            char32_t cp = char32_t(rng() % 0x110000);
            if (cp >= 0xD800 && cp <= 0xDFFF)
                cp = 0xFFFD;
            s += QString::fromUcs4(&cp, 1);
        }
        ASSERT_EQ(nativename::encode(s), s.toUtf8());
        ASSERT_EQ(nativename::decode(s.toUtf8()), s);
        ASSERT_EQ(nativename::toText(s), s);
    }
}

TEST(NativeName, ShownAndStoredReadably)
{
    const QString name = odd("/home/ann/caf", 0xE9, " 100%.java");
    EXPECT_EQ(nativename::shown(name), "/home/ann/caf\\xE9 100%.java");
    EXPECT_EQ(nativename::toText(name), "file:///home/ann/caf%E9 100%25.java");
    EXPECT_EQ(nativename::fromText(u"file:///home/ann/caf%E9 100%25.java"), name);
    // Names stored before, and texts that only look alike, read as themselves.
    for (const QString& plain : {QStringLiteral("/home/ann/a%E9.java"), QStringLiteral("file:x%E9"),
                                 QStringLiteral("Default"), QString::fromUtf8("/h/caf\xC3\xA9.java")})
        EXPECT_EQ(nativename::fromText(plain), plain);
}

class NativePathTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray base = QFile::encodeName(dir.path());

    // QTemporaryDir cannot name the entries that are no UTF-8: they go first.
    ~NativePathTest() override { removeTreeByBytes(base); }

    void create(const QByteArray& name)
    {
        const int fd = ::open((base + '/' + name).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "class A {}\n", 11), 11);
        ::close(fd);
    }
};

TEST_F(NativePathTest, FilesNamedWithOddBytesAreFound)
{
    create("caf\xE9.java");
    const QString path = dir.path() + odd("/caf", 0xE9, ".java");
    const nativepath::Info i = nativepath::info(path);
    EXPECT_TRUE(i.exists);
    EXPECT_TRUE(i.isFile);
    EXPECT_EQ(i.size, 11);
    EXPECT_FALSE(nativepath::info(QFile::decodeName(base + "/caf\xE9.java")).exists);
    EXPECT_TRUE(nativepath::info(dir.path()).isDir);
    EXPECT_EQ(nativepath::absolute(odd("./x/../caf", 0xE9, ".java"), dir.path()), path);
    EXPECT_EQ(nativepath::absolute(path + "/../b"), dir.path() + "/b");
    EXPECT_EQ(nativepath::localFile(QUrl::fromEncoded("file://" + base.toPercentEncoding("/") + "/caf%E9.java")),
              path);
}

TEST_F(NativePathTest, TheFileDialogsLossyNamesFindTheirFile)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("d"));
    ASSERT_EQ(::mkdir((base + "/d\xFC").constData(), 0755), 0);
    create("d\xFC/caf\xE9.java");
    const QString lossy = QFile::decodeName(base + "/d\xFC/caf\xE9.java");
    EXPECT_EQ(nativepath::recoverLossyName(lossy), dir.path() + odd("/d", 0xFC, "") + odd("/caf", 0xE9, ".java"));
    // Two entries that Qt decodes alike: neither is guessed.
    create("x\xE9");
    create("x\xE8");
    const QString two = QFile::decodeName(base + "/x\xE9");
    EXPECT_EQ(nativepath::recoverLossyName(two), two);
    // A name that exists as it is stays.
    create("y\xEF\xBF\xBD");
    const QString real = dir.path() + QString::fromUtf8("/y\xEF\xBF\xBD");
    EXPECT_EQ(nativepath::recoverLossyName(real), real);
}
