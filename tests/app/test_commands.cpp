// SPDX-License-Identifier: GPL-3.0-or-later
// The command table: every key a caption shows is bound, no key twice, every
// tool-bar button has its picture and something to say, every command stands
// in a menu; and through the real main window, every bound key runs its
// command while it is enabled and nothing while it is not.
#include "frame_fixture.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QSet>
#include <QToolBar>

#include <map>

namespace {

// Every command id reachable from the menu bar: its own items and those of its menus.
QSet<int> idsOnTheMenuBar(QMenuBar* bar)
{
    QSet<int> ids;
    for (QAction* top : bar->actions()) {
        const QList<QAction*> items = top->menu() ? top->menu()->actions() : QList<QAction*>{top};
        for (QAction* a : items) {
            if (!a->isSeparator() && a->data().toInt() > 0)
                ids.insert(a->data().toInt());
        }
    }
    return ids;
}

// The one key combination of a key text such as "Ctrl+F9" or "ALT+X".
QKeyCombination keyOf(const QString& text)
{
    const QKeySequence seq = QKeySequence::fromString(text);
    EXPECT_EQ(seq.count(), 1) << text.toStdString();
    return seq.isEmpty() ? QKeyCombination() : seq[0];
}

}  // namespace

TEST(CommandTable, IdsAreUniqueAndCaptionsAndIconsAreGiven)
{
    QSet<int> ids;
    QSet<QString> icons;
    for (const CommandInfo& c : commandTable()) {
        SCOPED_TRACE(c.id);
        EXPECT_FALSE(ids.contains(c.id)) << "listed twice";
        ids.insert(c.id);
        EXPECT_EQ(commandInfo(c.id), &c);
        EXPECT_FALSE(c.menuCaption().isEmpty());
        EXPECT_EQ(commandHint(c.id), c.hint);
        if (!c.icon.isEmpty()) {
            EXPECT_FALSE(icons.contains(c.icon)) << "one picture for two commands";
            icons.insert(c.icon);
            EXPECT_EQ(c.iconPath(), ":/icons/" + c.icon + ".png");
        }
    }
    EXPECT_EQ(commandInfo(12345), nullptr);
    EXPECT_EQ(commandHint(12345), QString());
}

TEST(CommandTable, EveryShownKeyIsBoundOrTheEditControlsOwn)
{
    // The keys the edit control answers by itself; the main window binds none of them.
    const QSet<QString> editControlKeys = {"Ctrl+Z", "Ctrl+X", "Ctrl+C", "Ctrl+V", "Del", "Ctrl+Del"};
    for (const CommandInfo& c : commandTable()) {
        SCOPED_TRACE(c.caption);
        const QString shown = c.shownKey();
        if (c.keyOwner == KeyOwner::EditControl) {
            EXPECT_TRUE(editControlKeys.contains(shown));
            EXPECT_TRUE(c.keys.isEmpty()) << "the edit control's key is not the main window's";
            continue;
        }
        if (shown.isEmpty())
            continue;
        ASSERT_FALSE(c.keys.isEmpty()) << "shown, never bound";
        EXPECT_EQ(c.keys.front(), QKeySequence(keyOf(shown)));
    }
}

TEST(CommandTable, NoKeyIsBoundTwice)
{
    std::map<QString, int> boundTo;
    for (const CommandInfo& c : commandTable()) {
        for (const QKeySequence& k : c.keys) {
            EXPECT_EQ(k.count(), 1) << c.caption;
            const QString text = k.toString(QKeySequence::PortableText);
            EXPECT_FALSE(boundTo.count(text)) << text.toStdString() << " for " << c.id << " and " << boundTo[text];
            boundTo[text] = c.id;
        }
    }
    // The accelerators of the main window.
    EXPECT_EQ(boundTo, (std::map<QString, int>{{"Alt+X", cmd::Exit},
                                               {"Ctrl+N", cmd::FileNewJava},
                                               {"Ctrl+O", cmd::FileOpenJava},
                                               {"Ctrl+W", cmd::CloseWindow},
                                               {"Ctrl+F4", cmd::CloseWindow},
                                               {"F2", cmd::FileSave},
                                               {"Alt+Left", cmd::GoBack},
                                               {"Alt+Right", cmd::GoForward},
                                               {"Ctrl+S", cmd::FileSave},
                                               {"Ctrl+F", cmd::Find},
                                               {"Ctrl+H", cmd::Replace},
                                               {"Ctrl+G", cmd::GotoLine},
                                               {"Ctrl+Y", cmd::Redo},
                                               {"Ctrl+Shift+Z", cmd::Redo},
                                               {"F3", cmd::FindNext},
                                               {"F8", cmd::NextMessage},
                                               {"Shift+F8", cmd::PreviousMessage},
                                               {"F9", cmd::JavaCompile},
                                               {"Ctrl+F2", cmd::StopCompiling},
                                               {"Ctrl+F9", cmd::JavaRun},
                                               {"Shift+F9", cmd::AppletRun},
                                               {"Ctrl++", cmd::ZoomIn},
                                               {"Ctrl+=", cmd::ZoomIn},
                                               {"Ctrl+-", cmd::ZoomOut},
                                               {"Ctrl+0", cmd::ZoomReset},
                                               {"F5", cmd::DebugRun},
                                               {"F10", cmd::StepOver},
                                               {"F11", cmd::StepInto},
                                               {"Shift+F11", cmd::StepOut},
                                               {"Ctrl+F10", cmd::RunToCursor},
                                               {"Shift+F5", cmd::StopDebugging},
                                               {"Ctrl+B", cmd::ToggleBreakpoint},
                                               {"Ctrl+/", cmd::ToggleComment},
                                               {"Ctrl+Shift+F", cmd::FindInFiles},
                                               {"F12", cmd::GoToDefinition},
                                               {"Ctrl+Space", cmd::Complete},
                                               {"Ctrl+Shift+Space", cmd::ParameterHints},
                                               {"Ctrl+Shift+J", cmd::SendToJShell},
                                               {"Ctrl+1", cmd::QuickFix},
                                               {"Shift+F6", cmd::Rename},
                                               {"Alt+F8", cmd::EvaluateExpression},
                                               {"Ctrl+Shift+F8", cmd::BreakpointsPane},
                                               {"Shift+F1", cmd::ShowDocumentation}}));
}

TEST(CommandTable, ToolBarButtonsHaveAPictureAndAHint)
{
    initBrewpadResources();
    // The string table has no hint for these three; their buttons' captions say what they do.
    const QSet<int> withoutStatusHint = {cmd::FileOpenJava, cmd::FileSave, cmd::GotoLine};
    int gadgets = 0;
    for (const ToolBarGadget& g : toolBarLayout()) {
        ++gadgets;
        if (g.id == 0) {
            EXPECT_EQ(g.caption, nullptr);
            continue;
        }
        SCOPED_TRACE(g.id);
        const CommandInfo* c = commandInfo(g.id);
        ASSERT_NE(c, nullptr) << "not in the command table";
        ASSERT_FALSE(c->icon.isEmpty());
        EXPECT_FALSE(QPixmap(c->iconPath()).isNull()) << c->iconPath().toStdString();
        ASSERT_NE(g.caption, nullptr);
        EXPECT_FALSE(QString::fromLatin1(g.caption).isEmpty());
        EXPECT_EQ(c->hint.isEmpty(), withoutStatusHint.contains(g.id));
    }
    EXPECT_EQ(gadgets, 25);
}

TEST(CommandTable, EveryCommandStandsOnceInTheMenus)
{
    std::map<int, int> placed;
    int recentFiles = 0, openWindows = 0;
    for (const MenuLayout& m : menuBarLayout()) {
        if (!m.title) {
            EXPECT_EQ(m.items.size(), 1u) << "a command on the menu bar stands alone";
        }
        for (int id : m.items) {
            if (id == menuitem::Separator)
                continue;
            if (id == menuitem::RecentFiles) {
                ++recentFiles;
                continue;
            }
            if (id == menuitem::OpenWindows) {
                ++openWindows;
                EXPECT_EQ(id, m.items.back()) << "the list of windows ends its menu";
                continue;
            }
            EXPECT_NE(commandInfo(id), nullptr) << id << " is in a menu, not in the table";
            ++placed[id];
        }
    }
    EXPECT_EQ(recentFiles, 1);
    EXPECT_EQ(openWindows, 1);
    for (const CommandInfo& c : commandTable())
        EXPECT_EQ(placed[c.id], 1) << c.id;
}

// ---------------------------------------------------------------- the real main window

TEST_F(FrameTest, ActionsCarryTheTableAndStandOnTheMenuBar)
{
    const QSet<int> reachable = idsOnTheMenuBar(app->Frame->menuBar());
    for (const CommandInfo& c : commandTable()) {
        SCOPED_TRACE(c.id);
        QAction* a = app->action(c.id);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), c.menuCaption());
        EXPECT_EQ(a->data().toInt(), c.id);
        EXPECT_EQ(a->isCheckable(), c.toggle);
        EXPECT_TRUE(reachable.contains(c.id)) << "not reachable from the menu bar";
    }
    // The tool bar shows the table's gadgets, with their captions as names.
    const QList<QAction*> acts = app->ControlBar->actions();
    const std::vector<ToolBarGadget>& layout = toolBarLayout();
    ASSERT_EQ(acts.size(), qsizetype(layout.size()));
    for (size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].id == 0) {
            EXPECT_TRUE(acts[i]->isSeparator()) << i;
            continue;
        }
        EXPECT_EQ(acts[i], app->action(layout[i].id));
        EXPECT_FALSE(acts[i]->icon().isNull()) << layout[i].id;
        QWidget* w = app->ControlBar->widgetForAction(acts[i]);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->accessibleName(), QString::fromLatin1(layout[i].caption));
    }
}

TEST_F(FrameTest, EveryBoundKeyRunsItsCommandOnlyWhileItIsEnabled)
{
    TFileMDIChild* c = newJava();
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();
    int bound = 0;
    for (const CommandInfo& info : commandTable()) {
        for (const QKeySequence& keys : info.keys) {
            ++bound;
            const int id = info.id;
            SCOPED_TRACE(keys.toString().toStdString());
            // A recorder at the head of the chain stands for the command, so that
            // nothing real (a compiler, a terminal, the end of the program) starts.
            std::vector<int> ran;
            bool enabled = false;
            e->commands().on(id, [&ran, id] { ran.push_back(id); });
            e->commands().enabler(id, [&enabled](CommandState& s) { s.enabled = enabled; });
            e->setFocus();
            QTest::keyClick(e, keys[0].key(), keys[0].keyboardModifiers());
            QApplication::processEvents();
            EXPECT_TRUE(ran.empty()) << "ran while disabled";
            enabled = true;
            QTest::keyClick(e, keys[0].key(), keys[0].keyboardModifiers());
            QApplication::processEvents();
            EXPECT_EQ(ran, std::vector<int>{id});
            // The key works wherever the focus is inside the main window.
            ran.clear();
            QTest::keyClick(app->Frame, keys[0].key(), keys[0].keyboardModifiers());
            QApplication::processEvents();
            EXPECT_EQ(ran, std::vector<int>{id});
        }
    }
    EXPECT_EQ(bound, 43);
}

TEST_F(FrameTest, TheEditControlsKeysAreNotTheMainWindows)
{
    TFileMDIChild* c = newJava();
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();
    for (const CommandInfo& info : commandTable()) {
        if (info.keyOwner != KeyOwner::EditControl)
            continue;
        SCOPED_TRACE(info.caption);
        const QKeyCombination key = keyOf(info.shownKey());
        std::vector<int> ran;
        const int id = info.id;
        e->commands().on(id, [&ran, id] { ran.push_back(id); });
        e->commands().enabler(id, [](CommandState& s) { s.enabled = true; });
        // Outside the edit control the key reaches no command.
        QTest::keyClick(app->Frame, key.key(), key.keyboardModifiers());
        QApplication::processEvents();
        EXPECT_TRUE(ran.empty());
    }
    // Inside it, Ctrl+Del deletes to the end of the word, and the rest of the text stays.
    e->setPlainText("abc def");
    e->setFocus();
    QTest::keyClick(e, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(e->source()->rawText(), "def");
}

// Each item of a menu is chosen by its underlined letter once the menu is open
// (Alt+E, U undoes): no two items of a menu share a letter, and every item
// added to the menus the program has always had carries one.
TEST_F(FrameTest, EveryMenuLetterChoosesItsOneItem)
{
    // The items of the original menus, whose captions stay as they are.
    const QSet<int> original = {
        cmd::FileNewJava,  cmd::FileOpenJava, cmd::FileSave,       cmd::FileSaveAs,   cmd::Print,
        cmd::PrintSetup,   cmd::Exit,         cmd::Undo,           cmd::Cut,          cmd::Copy,
        cmd::Paste,        cmd::Delete,       cmd::ClearAll,       cmd::FormatFont,   cmd::Find,
        cmd::Replace,      cmd::FindNext,     cmd::GotoLine,       cmd::JavaCompile,  cmd::NewJavaProj,
        cmd::OpenJavaProj, cmd::SaveJavaProj, cmd::SaveAsJavaProj, cmd::ViewJavaProj, cmd::InsertNode,
        cmd::DeleteNode,   cmd::JavaOptions,  cmd::JavaRun,        cmd::AppletRun,    cmd::JavaArgs,
        cmd::Unix2Dos,     cmd::Cascade,      cmd::Tile,           cmd::ArrangeIcons, cmd::CloseAll,
        cmd::JavaHelp,     cmd::About};
    // Recent files and open windows stand in their menus too.
    openJava(writeFile("Recent.java", "class Recent {}\n"));
    TFileMDIChild* c = newJava();
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();

    // Alt+E, U undoes what was typed.
    e->setFocus();
    QTest::keyClicks(e, "typed");
    QMenu* edit = app->menu("&Edit");
    ASSERT_NE(edit, nullptr);
    edit->popup(app->Frame->mapToGlobal(QPoint(10, 10)));
    QApplication::processEvents();
    QTest::keyClick(edit, Qt::Key_U);
    QApplication::processEvents();
    EXPECT_EQ(e->source()->rawText(), "");
    EXPECT_FALSE(edit->isVisible());

    int chosen = 0;
    std::vector<int> ran;
    for (QAction* top : app->Frame->menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (!menu)
            continue;
        SCOPED_TRACE(top->text().toStdString());
        emit menu->aboutToShow();  // fills the recent files and the open windows
        QMap<int, QString> letters;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            const QKeySequence letter = QKeySequence::mnemonic(a->text());
            const int id = a->data().toInt();
            if (commandInfo(id) && !original.contains(id)) {
                EXPECT_FALSE(letter.isEmpty()) << a->text().toStdString() << " has no letter";
            }
            if (letter.isEmpty())
                continue;
            const int key = letter[0].toCombined();
            EXPECT_FALSE(letters.contains(key))
                << a->text().toStdString() << " shares its letter with " << letters.value(key).toStdString();
            letters.insert(key, a->text());
        }
        // The letter of each command, pressed in its open menu, runs that command. A
        // recorder at the head of the chain stands for it, so that nothing real runs.
        for (QAction* a : menu->actions()) {
            const int id = a->data().toInt();
            const QKeySequence letter = QKeySequence::mnemonic(a->text());
            if (a->isSeparator() || !commandInfo(id) || letter.isEmpty())
                continue;
            SCOPED_TRACE(a->text().toStdString());
            ran.clear();
            e->commands().on(id, [&ran, id] { ran.push_back(id); });
            e->commands().enabler(id, [](CommandState& s) { s.enabled = true; });
            e->setFocus();
            menu->popup(app->Frame->mapToGlobal(QPoint(10, 10)));
            QApplication::processEvents();
            QTest::keyClick(menu, letter[0].key());
            QApplication::processEvents();
            EXPECT_EQ(ran, std::vector<int>{id});
            EXPECT_FALSE(menu->isVisible());
            menu->hide();
            ++chosen;
        }
    }
    EXPECT_GE(chosen, 30);
}
