// SPDX-License-Identifier: GPL-3.0-or-later
// The light and dark looks through the main window: the Edit menu's Follow
// Desktop Colours, Light Colours and Dark Colours turn the editor, its syntax
// colours and the panes light or dark at once, the choice comes back after a
// restart, and Follow Desktop Colours follows the application's palette.
#include "app/lookkeeper.h"
#include "compile_fixture.h"
#include "config/lookfile.h"
#include "editor/highlighter.h"
#include "resources/colours.h"
#include "workspace/paneframe.h"

#include <QAbstractItemView>
#include <QMenuBar>
#include <QPalette>
#include <QTextBlock>
#include <QTextLayout>

using colours::Look;

namespace {

bool darkColour(const QColor& c)
{
    return c.lightness() < 128;
}

}  // namespace

class LookTest : public CompileTest {
protected:
    void SetUp() override
    {
        desktop = QApplication::palette();
        lookFile = QDir(dir.path()).filePath("config/look.ini");
        CompileTest::SetUp();
    }
    void TearDown() override
    {
        CompileTest::TearDown();
        QApplication::setPalette(desktop);
        QApplication::processEvents();
    }
    // An editor window with a keyword on its first line, shown and coloured.
    EditControl* javaWindow()
    {
        TFileMDIChild* c = openJava(writeFile("Hello.java", "class Hello {\n    int n = 42;\n}\n"));
        EXPECT_NE(c, nullptr);
        return c ? c->editor() : nullptr;
    }
    // The colour of the first line's "class", once the shown lines are coloured.
    QColor keywordColour(EditControl* e)
    {
        auto* h = e->findChild<JavaHighlighter*>();
        EXPECT_NE(h, nullptr);
        if (!h)
            return {};
        EXPECT_TRUE(QTest::qWaitFor([h] { return !h->pending(); }, 10000));
        for (const QTextLayout::FormatRange& r : e->document()->firstBlock().layout()->formats()) {
            if (r.start == 0 && r.length == 5)
                return r.format.foreground().color();
        }
        ADD_FAILURE() << "the keyword is not coloured";
        return {};
    }
    std::vector<int> checked()
    {
        app->updateCommandStates();
        std::vector<int> ids;
        for (int id : {cmd::FollowDesktopColours, cmd::LightColours, cmd::DarkColours}) {
            if (app->action(id)->isChecked())
                ids.push_back(id);
        }
        return ids;
    }
    void choose(int id)
    {
        trigger(id);
        QApplication::processEvents();
    }

    QPalette desktop;
};

TEST_F(LookTest, DarkColoursTurnTheEditorItsColoursAndThePanesDarkAndLightColoursTurnThemBack)
{
    useRealJavac();
    if (IsSkipped())
        return;
    TFileMDIChild* broken = openJava(writeFile("Broken.java", "class Broken { int f() { return missing; } }\n"));
    ASSERT_NE(broken, nullptr);
    compile();
    ASSERT_EQ(client()->messageWindows().size(), 1);
    PaneFrame* pane = client()->messageWindows().first();
    auto* list = pane->findChild<QAbstractItemView*>();
    ASSERT_NE(list, nullptr);
    EditControl* e = javaWindow();
    ASSERT_NE(e, nullptr);
    ASSERT_FALSE(colours::isDark(QApplication::palette())) << "the test starts on a light desktop";
    EXPECT_EQ(checked(), std::vector<int>{cmd::FollowDesktopColours});
    EXPECT_EQ(keywordColour(e), colours::colourSet(Look::Light).keyword);

    choose(cmd::DarkColours);
    EXPECT_EQ(checked(), std::vector<int>{cmd::DarkColours});
    EXPECT_EQ(app->look()->look(), Look::Dark);
    EXPECT_TRUE(darkColour(e->palette().color(QPalette::Base)));
    EXPECT_FALSE(darkColour(e->palette().color(QPalette::Text)));
    EXPECT_EQ(keywordColour(e), colours::colourSet(Look::Dark).keyword);
    EXPECT_TRUE(darkColour(list->palette().color(QPalette::Base)));
    EXPECT_TRUE(darkColour(pane->palette().color(QPalette::Window)));
    EXPECT_TRUE(darkColour(app->Frame->menuBar()->palette().color(QPalette::Window)));
    // The text the user typed is the user's: the look changes none of it.
    EXPECT_FALSE(e->document()->isModified());
    EXPECT_EQ(e->source()->rawText(), "class Hello {\n    int n = 42;\n}\n");

    choose(cmd::LightColours);
    EXPECT_EQ(checked(), std::vector<int>{cmd::LightColours});
    EXPECT_FALSE(darkColour(e->palette().color(QPalette::Base)));
    EXPECT_EQ(keywordColour(e), colours::colourSet(Look::Light).keyword);
    EXPECT_FALSE(darkColour(list->palette().color(QPalette::Base)));
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(LookTest, TheChoiceComesBackAfterARestart)
{
    EXPECT_EQ(checked(), std::vector<int>{cmd::FollowDesktopColours});
    choose(cmd::DarkColours);
    EXPECT_EQ(lookfile::read(lookFile), colours::Choice::Dark);
    app.reset();
    EXPECT_FALSE(colours::isDark(QApplication::palette())) << "the desktop's palette is given back";

    startApp();
    EXPECT_EQ(checked(), std::vector<int>{cmd::DarkColours});
    EXPECT_EQ(app->look()->look(), Look::Dark);
    EXPECT_TRUE(colours::isDark(QApplication::palette()));
    EditControl* e = javaWindow();
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(darkColour(e->palette().color(QPalette::Base)));
    EXPECT_EQ(keywordColour(e), colours::colourSet(Look::Dark).keyword);

    choose(cmd::FollowDesktopColours);
    app.reset();
    startApp();
    EXPECT_EQ(checked(), std::vector<int>{cmd::FollowDesktopColours});
    EXPECT_EQ(app->look()->look(), Look::Light);
}

TEST_F(LookTest, FollowDesktopColoursFollowsADarkApplicationPalette)
{
    EditControl* e = javaWindow();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(keywordColour(e), colours::colourSet(Look::Light).keyword);

    // The desktop turns dark: a palette of its own, not the program's.
    QPalette night = colours::lookPalette(Look::Dark);
    night.setColor(QPalette::Window, QColor(0x20, 0x24, 0x30));
    night.setColor(QPalette::Base, QColor(0x10, 0x14, 0x20));
    QApplication::setPalette(night);
    EXPECT_TRUE(QTest::qWaitFor([this] { return app->look()->look() == Look::Dark; }, 10000));
    EXPECT_TRUE(app->look()->desktopIsDark());
    EXPECT_EQ(e->palette().color(QPalette::Base), QColor(0x10, 0x14, 0x20)) << "the desktop's own palette stays";
    EXPECT_EQ(keywordColour(e), colours::colourSet(Look::Dark).keyword);
    EXPECT_EQ(checked(), std::vector<int>{cmd::FollowDesktopColours});

    // Light Colours on the dark desktop: the program's light palette.
    choose(cmd::LightColours);
    EXPECT_FALSE(darkColour(e->palette().color(QPalette::Base)));
    EXPECT_EQ(keywordColour(e), colours::colourSet(Look::Light).keyword);
    choose(cmd::FollowDesktopColours);
    EXPECT_EQ(e->palette().color(QPalette::Base), QColor(0x10, 0x14, 0x20));

    // And light again.
    QApplication::setPalette(desktop);
    EXPECT_TRUE(QTest::qWaitFor([this] { return app->look()->look() == Look::Light; }, 10000));
    EXPECT_FALSE(darkColour(e->palette().color(QPalette::Base)));
    EXPECT_EQ(keywordColour(e), colours::colourSet(Look::Light).keyword);
}

TEST_F(LookTest, AChoiceThatCannotBeKeptIsToldAndStillApplies)
{
    // The configuration folder is a file: nothing can be written inside it.
    writeFile("config", "not a folder\n");
    choose(cmd::DarkColours);
    EXPECT_EQ(app->look()->look(), Look::Dark);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.startsWith("Brewpad could not keep the colours chosen in "));
    EXPECT_TRUE(dialogs_.messages[0].text.contains(lookFile));
    EXPECT_EQ(dialogs_.messages[0].icon, Icon::Warning);
}

TEST_F(LookTest, AColourChosenWithFontStaysTheUsersAndTheRestFollowsTheLook)
{
    TFileMDIChild* c = newJava();
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();
    // Another font, its colour left as shown: the text keeps the look's colour.
    dialogs_.fontAnswer = QFont("Serif", 14);
    trigger(cmd::FormatFont);
    QTest::keyClicks(e, "abc");
    dialogs_.colorAnswer = QColor(0x12, 0x34, 0x56);
    trigger(cmd::FormatFont);
    QTest::keyClicks(e, "XYZ");
    for (int id : {cmd::DarkColours, cmd::LightColours}) {
        choose(id);
        QList<QTextCharFormat> formats;
        for (auto it = e->document()->begin().begin(); !it.atEnd(); ++it)
            formats << it.fragment().charFormat();
        ASSERT_EQ(formats.size(), 2);
        EXPECT_EQ(formats[0].font().pointSize(), 14);
        EXPECT_EQ(formats[0].foreground().style(), Qt::NoBrush) << "drawn in the palette's text colour";
        EXPECT_EQ(formats[1].foreground().color(), QColor(0x12, 0x34, 0x56));
    }
    EXPECT_EQ(e->source()->rawText(), "abcXYZ");
}
