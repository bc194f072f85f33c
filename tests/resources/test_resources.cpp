// SPDX-License-Identifier: GPL-3.0-or-later
// The compiled-in icons: every picture the tool bar, the frame and the dialogs
// ask for is there, has its size, a transparent ground and real content, and
// the resource list and the icons folder agree.
#include "resources/resources.h"

#include "resources/commands.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

class Resources : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initBrewpadResources(); }
};

// Checks one picture: right size, transparent corner, enough drawn pixels of
// more than a few colours (not a blank or a flat block).
void expectRealIcon(const QString& path, int size)
{
    SCOPED_TRACE(path.toStdString());
    ASSERT_TRUE(QFile::exists(path));
    const QPixmap pixmap(path);
    ASSERT_FALSE(pixmap.isNull());
    EXPECT_EQ(pixmap.size(), QSize(size, size));
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the ground must be transparent";
    int opaque = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            if (qAlpha(px) > 200) {
                ++opaque;
                colours.insert(px);
            }
        }
    EXPECT_GT(opaque, size * size / 6) << "too little is drawn";
    EXPECT_LT(opaque, size * size) << "the whole square is filled";
    EXPECT_GT(colours.size(), 12) << "a flat block, not a picture";
}

}  // namespace

TEST_F(Resources, EveryToolBarCommandHasItsIcon)
{
    int buttons = 0;
    for (const ToolBarGadget& g : toolBarLayout()) {
        if (g.id == 0)
            continue;
        ++buttons;
        const CommandInfo* c = commandInfo(g.id);
        ASSERT_NE(c, nullptr) << g.id;
        ASSERT_FALSE(c->icon.isEmpty()) << g.id;
        expectRealIcon(c->iconPath(), 32);
        const QIcon icon(c->iconPath());
        EXPECT_FALSE(icon.pixmap(16, 16).isNull()) << g.id << " at menu size";
    }
    EXPECT_EQ(buttons, 18);
}

TEST_F(Resources, MenuCommandsAndNamedIcons)
{
    for (const CommandInfo& c : commandTable()) {
        if (!c.icon.isEmpty())
            expectRealIcon(c.iconPath(), 32);
    }
    for (const char* name : {"editor", "project", "world", "brewpad-32"})
        expectRealIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)), 32);
    EXPECT_EQ(commandInfo(cmd::FindNext)->iconPath(), QStringLiteral(":/icons/find-next.png"));
    EXPECT_TRUE(commandInfo(cmd::ArrangeIcons)->iconPath().isEmpty()) << "a command without a picture";
}

TEST_F(Resources, FrameIconIsTheLargeCup)
{
    expectRealIcon(QStringLiteral(":/icons/brewpad.png"), 64);
}

// The pictures of the windows before the "ENV:" box, read as PNG directly:
// the same pixels as Qt's own reading finds.
TEST_F(Resources, PngPixmapReadsThePictureAsQtDoes)
{
    for (const char* name : {":/icons/brewpad.png", ":/icons/world.png"}) {
        const QPixmap direct = pngPixmap(QLatin1String(name));
        ASSERT_FALSE(direct.isNull()) << name;
        EXPECT_EQ(direct.toImage(), QPixmap(QLatin1String(name)).toImage()) << name;
    }
    EXPECT_TRUE(pngPixmap(QStringLiteral(":/icons/no-such.png")).isNull());
}

TEST_F(Resources, InitialisingTwiceIsHarmless)
{
    initBrewpadResources();
    EXPECT_FALSE(QPixmap(QStringLiteral(":/icons/world.png")).isNull());
}

// The .qrc lists exactly the PNG files of resources/icons, each under its own
// name, and the installed frame icon is the 64 pixel one.
TEST_F(Resources, ResourceListMatchesIconsFolder)
{
    const QString source = qEnvironmentVariable("BREWPAD_SOURCE_DIR");
    if (source.isEmpty())
        GTEST_SKIP() << "BREWPAD_SOURCE_DIR not set";
    QFile qrc(source + QStringLiteral("/resources/brewpad.qrc"));
    ASSERT_TRUE(qrc.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(qrc.readAll());
    QStringList listed;
    const QRegularExpression entry(QStringLiteral("<file alias=\"([^\"]+)\">icons/([^<]+)</file>"));
    for (auto it = entry.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        EXPECT_EQ(m.captured(1), m.captured(2)) << "alias differs from file name";
        listed << m.captured(2);
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/icons/") + m.captured(1))) << m.captured(1).toStdString();
    }
    QStringList onDisk =
        QDir(source + QStringLiteral("/resources/icons")).entryList({QStringLiteral("*.png")}, QDir::Files);
    listed.sort();
    onDisk.sort();
    EXPECT_EQ(listed, onDisk);
    EXPECT_TRUE(text.contains(QStringLiteral("prefix=\"/icons\"")));
    EXPECT_EQ(QImage(source + QStringLiteral("/resources/icons/brewpad.png")).size(), QSize(64, 64));
}
