// SPDX-License-Identifier: GPL-3.0-or-later
// The main frame: menus, tool bar, hints, status bar and command enabling.
#include "frame_fixture.h"

#include "config/toolpaths.h"
#include "toolchain/settings/optiondialogs.h"
#include "toolchain/building/filebuild.h"
#include "editor/finddialogs.h"
#include "toolchain/messages/messagewindow.h"
#include "workspace/panearea.h"
#include "workspace/windowcommands.h"

#include <QAccessible>
#include <QClipboard>
#include <QHelpEvent>
#include <QToolTip>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// A menu item as "caption#id", a separator as "-".
QString itemText(QAction* a)
{
    return a->isSeparator() ? QStringLiteral("-") : a->text() + "#" + a->data().toString();
}

QStringList menuItems(QMenu* m)
{
    QStringList out;
    for (QAction* a : m->actions())
        out << itemText(a);
    return out;
}

// The items of a menu as the command table lays it out, while no file was
// opened before and no window is open: the recent files are only their
// separator before Exit (hidden), the open windows nothing.
QStringList tableMenuItems(const MenuLayout& menu)
{
    QStringList out;
    for (int id : menu.items) {
        if (id == menuitem::Separator || id == menuitem::RecentFiles)
            out << QStringLiteral("-");
        else if (id != menuitem::OpenWindows)
            out << commandInfo(id)->menuCaption() + "#" + QString::number(id);
    }
    return out;
}

// The number of the Window menu's own items, before the list of open windows.
int fixedWindowItems()
{
    for (const MenuLayout& m : menuBarLayout())
        if (m.title && QByteArray(m.title) == "&Window")
            return int(tableMenuItems(m).size());
    ADD_FAILURE() << "no Window menu in the table";
    return 0;
}

// A capture file as javac writes it, naming a line of `source`.
QString writeCapture(const QString& dir, const QString& source, int line)
{
    const QString path = dir + "/Lines.err";
    writeFile(path, (source + ":" + QString::number(line) + ": error: cannot find symbol\n1 error\n").toUtf8());
    return path;
}

}  // namespace

TEST_F(FrameTest, FrameTitleAndMenuTree)
{
    EXPECT_EQ(app->Frame->windowTitle(), "Brewpad");
    const QList<QAction*> bar = app->Frame->menuBar()->actions();
    const std::vector<MenuLayout>& layout = menuBarLayout();
    ASSERT_EQ(bar.size(), qsizetype(layout.size()));
    for (size_t i = 0; i < layout.size(); ++i) {
        const MenuLayout& menu = layout[i];
        if (!menu.title) {
            // A command standing on the menu bar itself.
            ASSERT_EQ(menu.items.size(), 1u);
            EXPECT_EQ(itemText(bar[i]), tableMenuItems(menu).front());
            EXPECT_EQ(bar[i]->menu(), nullptr);
            continue;
        }
        SCOPED_TRACE(menu.title);
        EXPECT_EQ(bar[i]->text(), QString::fromLatin1(menu.title));
        ASSERT_NE(bar[i]->menu(), nullptr);
        EXPECT_EQ(bar[i]->menu(), app->menu(menu.title));
        EXPECT_EQ(menuItems(bar[i]->menu()), tableMenuItems(menu));
    }
}

TEST_F(FrameTest, CommandsEnabledWithoutAndWithAnEditorWindow)
{
    const int editorOnly[] = {cmd::FileSave,   cmd::FileSaveAs, cmd::Print,    cmd::PrintSetup,   cmd::Undo,
                              cmd::Cut,        cmd::Copy,       cmd::Paste,    cmd::Delete,       cmd::ClearAll,
                              cmd::FormatFont, cmd::Find,       cmd::Replace,  cmd::FindNext,     cmd::JavaCompile,
                              cmd::JavaRun,    cmd::AppletRun,  cmd::Unix2Dos, cmd::SaveJavaProj, cmd::SaveAsJavaProj,
                              cmd::InsertNode, cmd::DeleteNode, cmd::Cascade,  cmd::Tile,         cmd::ArrangeIcons,
                              cmd::CloseAll};
    const int always[] = {cmd::FileNewJava, cmd::FileOpenJava, cmd::NewJavaProj, cmd::OpenJavaProj, cmd::ViewJavaProj,
                          cmd::JavaOptions, cmd::JavaArgs,     cmd::GotoLine,    cmd::JavaHelp,     cmd::About,
                          cmd::Exit,        cmd::ToggleHint,   cmd::ToggleBar};
    for (int id : editorOnly)
        EXPECT_FALSE(enabled(id)) << id;
    for (int id : always)
        EXPECT_TRUE(enabled(id)) << id;

    TFileMDIChild* c = newJava();
    ASSERT_NE(c, nullptr);
    for (int id : {cmd::FileSave, cmd::FileSaveAs, cmd::Print, cmd::PrintSetup, cmd::FormatFont, cmd::Find,
                   cmd::Replace, cmd::FindNext, cmd::JavaCompile, cmd::Unix2Dos, cmd::CloseAll})
        EXPECT_TRUE(enabled(id)) << id;
    // Nothing compiled, not a project, nothing to undo or cut.
    for (int id : {cmd::JavaRun, cmd::AppletRun, cmd::SaveJavaProj, cmd::InsertNode, cmd::Undo, cmd::Cut})
        EXPECT_FALSE(enabled(id)) << id;
    QTest::keyClicks(c->editor(), "class A {}");
    EXPECT_TRUE(enabled(cmd::Undo));
    c->editor()->selectAll();
    EXPECT_TRUE(enabled(cmd::Cut));
    EXPECT_TRUE(enabled(cmd::Copy));

    // Closing the last window disables the editor's commands again.
    c->approveClose();
    c->close();
    QApplication::processEvents();
    EXPECT_FALSE(enabled(cmd::FileSave));
}

TEST_F(FrameTest, ToolBarCyclesTopLeftRight)
{
    QToolBar* bar = app->ControlBar;
    EXPECT_EQ(app->Frame->toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_EQ(bar->orientation(), Qt::Horizontal);
    trigger(cmd::ToggleBar);
    EXPECT_EQ(app->Frame->toolBarArea(bar), Qt::LeftToolBarArea);
    EXPECT_EQ(bar->orientation(), Qt::Vertical);
    trigger(cmd::ToggleBar);
    EXPECT_EQ(app->Frame->toolBarArea(bar), Qt::RightToolBarArea);
    EXPECT_EQ(bar->orientation(), Qt::Vertical);
    trigger(cmd::ToggleBar);
    EXPECT_EQ(app->Frame->toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_EQ(bar->orientation(), Qt::Horizontal);
    EXPECT_TRUE(bar->isVisible());
}

TEST_F(FrameTest, ToolBarHasTwentyFiveGadgetsWithNamesAndIcons)
{
    const QList<QAction*> acts = app->ControlBar->actions();
    const std::vector<ToolBarGadget>& layout = toolBarLayout();
    ASSERT_EQ(acts.size(), 25);
    ASSERT_EQ(layout.size(), 25u);
    for (int i = 0; i < 25; ++i) {
        const int id = layout[size_t(i)].id;
        if (id == 0) {
            EXPECT_TRUE(acts[i]->isSeparator()) << i;
            continue;
        }
        EXPECT_EQ(acts[i]->data().toInt(), id) << i;
        EXPECT_FALSE(acts[i]->icon().isNull()) << id;
        QWidget* w = app->ControlBar->widgetForAction(acts[i]);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->accessibleName(), QString::fromLatin1(layout[size_t(i)].caption)) << id;
    }
}

TEST_F(FrameTest, HintModeToggleAndHints)
{
    QAction* hint = app->action(cmd::ToggleHint);
    QToolButton* save = qobject_cast<QToolButton*>(app->ControlBar->widgetForAction(app->action(cmd::FileSaveAs)));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(app->HintMode, HintModes::PressHints);
    app->updateCommandStates();
    EXPECT_FALSE(hint->isChecked());

    // Press hints: resting on a button shows nothing, pressing shows the hint.
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(save, &enter);
    EXPECT_NE(app->statusMessage(), "Saves the active document with a new name");

    trigger(cmd::ToggleHint);
    app->updateCommandStates();
    EXPECT_EQ(app->HintMode, HintModes::EnterHints);
    EXPECT_TRUE(hint->isChecked());
    QApplication::sendEvent(save, &enter);
    EXPECT_EQ(app->statusMessage(), "Saves the active document with a new name");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(save, &leave);

    trigger(cmd::ToggleHint);
    app->updateCommandStates();
    EXPECT_EQ(app->HintMode, HintModes::PressHints);
    EXPECT_FALSE(hint->isChecked());
}

TEST_F(FrameTest, HighlightedMenuItemShowsItsHint)
{
    QMenu* file = app->menu("&File");
    file->popup(QPoint(10, 10));
    QApplication::processEvents();
    file->setActiveAction(app->action(cmd::FileNewJava));
    EXPECT_EQ(app->statusMessage(), "Creates a new Java File");
    file->setActiveAction(app->action(cmd::Exit));
    EXPECT_EQ(app->statusMessage(), "Quits Brewpad Editor and prompts to save document(s)");
    file->hide();
    QApplication::processEvents();
    EXPECT_NE(app->statusMessage(), "Quits Brewpad Editor and prompts to save document(s)");
    // Unix2Dos stands on the menu bar itself.
    app->action(cmd::Unix2Dos)->hover();
    EXPECT_EQ(app->statusMessage(), "Converts LF to CR/LF");
}

TEST_F(FrameTest, StatusBarIndicatorsAndClock)
{
    for (const char* t : {"Up", "Down", "Num", "Ins", "Scr"}) {
        ASSERT_NE(app->indicator(t), nullptr) << t;
        EXPECT_FALSE(app->indicator(t)->isEnabled()) << t;
    }
    TFileMDIChild* c = newJava();
    QTest::keyPress(c->editor(), Qt::Key_Down);
    EXPECT_TRUE(app->indicator("Down")->isEnabled());
    QTest::keyRelease(c->editor(), Qt::Key_Down);
    EXPECT_FALSE(app->indicator("Down")->isEnabled());
    QTest::keyClick(c->editor(), Qt::Key_Insert);
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->indicator("Ins")->isEnabled(); }, 5000));
    EXPECT_TRUE(c->editor()->overwriteMode());
    QTest::keyClick(c->editor(), Qt::Key_Insert);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app->indicator("Ins")->isEnabled(); }, 5000));
    EXPECT_FALSE(app->clock()->text().isEmpty());
    // The caret's place in the message area.
    QTest::keyClicks(c->editor(), "ab");
    (void)QTest::qWaitFor([&] { return app->statusMessage() == "Line 1, Col 3"; }, 5000);
    EXPECT_EQ(app->statusMessage(), "Line 1, Col 3");
}

TEST_F(FrameTest, AcceleratorsRunTheirCommands)
{
    TFileMDIChild* c = newJava();
    QTest::keyClicks(c->editor(), "x");
    dialogs_.savePaths.push_back(dir.filePath("Accel.java"));
    QTest::keyClick(app->Frame, Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_TRUE(QFile::exists(dir.filePath("Accel.java")));
}

TEST_F(FrameTest, AboutAndGotoLine)
{
    trigger(cmd::About);
    EXPECT_EQ(dialogs_.aboutShown, 1);
    // Without an editor window Goto Line does nothing.
    dialogs_.gotoAnswer = 3;
    trigger(cmd::GotoLine);
    TFileMDIChild* c = openJava(writeFile("Lines.java", "one\ntwo\nthree\nfour\n"));
    trigger(cmd::GotoLine);
    EXPECT_EQ(c->editor()->textCursor().blockNumber(), 2);
    EXPECT_EQ(c->editor()->textCursor().positionInBlock(), 0);
    dialogs_.gotoAnswer.reset();
    trigger(cmd::GotoLine);
    EXPECT_EQ(c->editor()->textCursor().blockNumber(), 2);
}

TEST_F(FrameTest, JavaHelpWithoutConfiguration)
{
    trigger(cmd::JavaHelp);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, "java help files not configured!!\n delete config file, and rerun ide");
    EXPECT_EQ(dialogs_.messages[0].caption, "no java help files");
}

// When no browser can show the help page, Help / JAVA... says so and names the page.
TEST_F(FrameTest, JavaHelpWithoutABrowserSaysSoAndNamesThePage)
{
    const QString list = dir.filePath("docs/api/element-list");
    const QString index = dir.filePath("docs/api/index.html");
    ASSERT_TRUE(::writeFile(list, "java.base\n"));
    ASSERT_TRUE(::writeFile(index, "<html></html>\n"));
    javahlp = list;
    // No program that opens web pages can be found.
    const QByteArray oldPath = qgetenv("PATH");
    QDir().mkpath(dir.filePath("nothing"));
    qputenv("PATH", QFile::encodeName(dir.filePath("nothing")));
    trigger(cmd::JavaHelp);
    qputenv("PATH", oldPath);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.contains(index)) << dialogs_.messages[0].text.toStdString();
    EXPECT_TRUE(dialogs_.messages[0].text.startsWith("No browser could be started"))
        << dialogs_.messages[0].text.toStdString();
    EXPECT_EQ(dialogs_.messages[0].icon, Icon::Warning);
}

TEST_F(FrameTest, WindowMenuListsEditorWindows)
{
    TFileMDIChild* a = newJava();
    TFileMDIChild* b = newJava();
    QMenu* w = app->menu("&Window");
    emit w->aboutToShow();
    // The window and tool-bar commands, then those showing the console, Variables and
    // Call Stack, then the Outline, Find Results, Test Results, JShell, Breakpoints, Watches and
    // Documentation, then Close Window.
    QStringList items = menuItems(w).mid(21);
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(menuItems(w).at(12), "O&utline#458");
    EXPECT_EQ(menuItems(w).at(13), "Find &Results#461");
    EXPECT_EQ(menuItems(w).at(14), "T&est Results#465");
    EXPECT_EQ(menuItems(w).at(15), "&JShell#475");
    EXPECT_EQ(menuItems(w).at(16), "Break&points\tCtrl+Shift+F8#467");
    EXPECT_EQ(menuItems(w).at(17), "W&atches#469");
    EXPECT_EQ(menuItems(w).at(18), "&Documentation#487");
    EXPECT_EQ(menuItems(w).at(20), "Close &Window\tCtrl+W#470");
    EXPECT_EQ(items[1], "&1 JAVA - Untitled#");
    EXPECT_EQ(items[2], "&2 JAVA - Untitled#");
    // Choosing an entry activates that window.
    w->actions().at(22)->trigger();
    EXPECT_EQ(current(), a);
    (void)b;
    // The tool-bar commands work from the menu too.
    app->action(cmd::ToggleBar)->trigger();
    EXPECT_EQ(app->ControlBarLoc, 1);
}

TEST_F(FrameTest, EditorCommandsOnlyWhileAnEditorWindowIsActive)
{
    const int editorCommands[] = {
        cmd::FileSave,     cmd::FileSaveAs,     cmd::Print,       cmd::PrintSetup, cmd::Undo,       cmd::Cut,
        cmd::Copy,         cmd::Paste,          cmd::Delete,      cmd::ClearAll,   cmd::FormatFont, cmd::Find,
        cmd::Replace,      cmd::FindNext,       cmd::JavaCompile, cmd::JavaRun,    cmd::AppletRun,  cmd::Unix2Dos,
        cmd::SaveJavaProj, cmd::SaveAsJavaProj, cmd::InsertNode,  cmd::DeleteNode};
    const QString source = writeFile("Lines.java", "one\ntwo\nthree\n");
    // A new project: the file and the project commands are on.
    trigger(cmd::NewJavaProj);
    QApplication::processEvents();
    TFileMDIChild* c = current();
    ASSERT_NE(c, nullptr);
    QTest::keyClicks(c->editor(), "class A {}");
    c->editor()->selectAll();
    QApplication::clipboard()->setText("pasted");
    // Marks that turn on the run commands too.
    c->build().IsJavaMain = c->build().IsJavaApplet = c->build().IsCompiled = true;
    for (int id : editorCommands)
        ASSERT_TRUE(enabled(id)) << "with the editor window active: " << id;

    const struct {
        const char* kind;
        std::function<void()> open;
    } others[] = {
        {"Compiler Options", [&] { trigger(cmd::JavaOptions); }},
        {"Program Arguments", [&] { trigger(cmd::JavaArgs); }},
        {"message window",
         [&] {
             client()->CmFileErr(writeCapture(dir.path(), source, 2));
             client()->messageListFrame()->activate();
         }},
    };
    for (const auto& other : others) {
        other.open();
        QApplication::processEvents();
        EXPECT_EQ(current(), nullptr) << other.kind;
        for (int id : editorCommands)
            EXPECT_FALSE(enabled(id)) << other.kind << " active: " << id;
        // Their keys and commands do nothing to the editor that is out of reach.
        triggerExpectingDisabled(cmd::ClearAll);
        QTest::keyClick(app->Frame, Qt::Key_F2);
        triggerExpectingDisabled(cmd::Unix2Dos);
        EXPECT_EQ(c->editor()->source()->rawText(), "class A {}") << other.kind;
        EXPECT_TRUE(dialogs_.messages.empty()) << other.kind;
        // Back in the editor window, its commands are there again.
        client()->bringToFront(c);
        QApplication::processEvents();
        EXPECT_EQ(current(), c) << other.kind;
        EXPECT_TRUE(enabled(cmd::ClearAll)) << other.kind;
    }

    // Enter on a message opens the file it names at its line, in an active editor.
    client()->messageListFrame()->activate();
    TBrowserWindow* list = client()->messageList();
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->editor()->source()->fileName(), source);
    EXPECT_EQ(current()->editor()->textCursor().blockNumber(), 1);
    EXPECT_EQ(client()->activeSubWindow(), current());
    EXPECT_TRUE(enabled(cmd::FileSave));
    // Again with the file open: the same window comes back.
    TFileMDIChild* opened = current();
    client()->messageListFrame()->activate();
    EXPECT_EQ(current(), nullptr);
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(current(), opened);
    EXPECT_EQ(client()->editors().size(), 2);
}

TEST_F(FrameTest, MessageWindowStaysAlongTheBottomOutsideTheMdiWindows)
{
    const QString source = writeFile("Lines.java", "one\ntwo\n");
    TFileMDIChild* c = newJava();
    c->showMaximized();
    QApplication::processEvents();
    client()->CmFileErr(writeCapture(dir.path(), source, 1));
    QApplication::processEvents();
    PaneFrame* f = client()->messageListFrame();
    ASSERT_NE(f, nullptr);
    // A pane of the area along the bottom, not one of the MDI windows.
    PaneArea& area = client()->panes();
    EXPECT_EQ(area.parentWidget(), client());
    EXPECT_EQ(area.panes(), QList<PaneFrame*>{f});
    EXPECT_EQ(client()->subWindowList().size(), 1);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->caption(), "Messages : Lines.err");
    // The whole width, the list 100 pixels high.
    auto rectOf = [&](const QWidget* w) { return QRect(w->mapTo(client(), QPoint(0, 0)), w->size()); };
    const QRect r = client()->contentsRect();
    const QRect placed = area.geometry();
    EXPECT_EQ(placed.left(), r.left());
    EXPECT_EQ(placed.width(), r.width());
    EXPECT_EQ(placed.bottom(), r.bottom());
    EXPECT_EQ(f->height(), 100);
    EXPECT_EQ(rectOf(f).width(), r.width());
    EXPECT_TRUE(placed.contains(rectOf(f)));
    // The maximised editor stays maximised, above the pane area.
    EXPECT_TRUE(c->isMaximized());
    EXPECT_FALSE(rectOf(c).intersects(placed));
    EXPECT_EQ(rectOf(c).bottom() + 1, placed.y());

    // The window commands leave it alone.
    c->showNormal();
    TFileMDIChild* d = newJava();
    for (int id : {cmd::Tile, cmd::Cascade, cmd::ArrangeIcons}) {
        trigger(id);
        QApplication::processEvents();
        EXPECT_EQ(area.geometry(), placed) << id;
        EXPECT_TRUE(f->isVisible()) << id;
        EXPECT_FALSE(rectOf(c).intersects(placed)) << id;
        EXPECT_FALSE(rectOf(d).intersects(placed)) << id;
    }
    for (TFileMDIChild* e : client()->editors())
        e->approveClose();
    trigger(cmd::CloseAll);
    QApplication::processEvents();
    EXPECT_TRUE(client()->subWindowList().isEmpty());
    ASSERT_TRUE(client()->messageListFrame());
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(tracebrowser, 1);
    EXPECT_TRUE(enabled(cmd::CloseAll) == false);

    // A window maximised later neither covers it nor moves it.
    TFileMDIChild* e = newJava();
    e->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(area.geometry(), placed);
    EXPECT_FALSE(rectOf(e).intersects(placed));
    // A larger workspace: it keeps to the bottom, the whole width and its height.
    app->Frame->resize(app->Frame->width() + 80, app->Frame->height() + 60);
    QApplication::processEvents();
    const QRect bigger = client()->contentsRect();
    EXPECT_EQ(area.geometry(),
              QRect(bigger.left(), bigger.bottom() + 1 - placed.height(), bigger.width(), placed.height()));
    EXPECT_FALSE(rectOf(e).intersects(area.geometry()));
    EXPECT_TRUE(e->isMaximized());

    // Reached with the keyboard: its Window-menu entry brings it to the front with the focus.
    QMenu* w = app->menu("&Window");
    emit w->aboutToShow();
    QAction* entry = w->actions().last();
    EXPECT_EQ(entry->text(), "&2 Messages : Lines.err");
    entry->trigger();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), f->list());
    EXPECT_TRUE(client()->messageWindowActive());
    EXPECT_TRUE(e->isMaximized());
    emit w->aboutToShow();
    EXPECT_TRUE(w->actions().last()->isChecked());

    // Closed, it gives its room back.
    f->close();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(tracebrowser, 0);
    EXPECT_FALSE(client()->messageListFrame());
    EXPECT_FALSE(area.isVisible());
    EXPECT_EQ(rectOf(e).bottom(), client()->contentsRect().bottom());
    EXPECT_EQ(current(), e);
}

TEST_F(FrameTest, WindowMenuListsEveryWindowWithAmpersandsShownAsThemselves)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("R&D"));
    const QString source = writeFile("R&D/Tom&Jerry.java", "class T {}\n");
    TFileMDIChild* c = openJava(source);
    ASSERT_NE(c, nullptr);
    trigger(cmd::JavaOptions);
    trigger(cmd::JavaArgs);
    client()->CmFileErr(writeCapture(dir.path(), source, 1));
    QApplication::processEvents();

    QMenu* w = app->menu("&Window");
    emit w->aboutToShow();
    const QStringList items = menuItems(w).mid(fixedWindowItems());
    QString doubled = source;
    doubled.replace("&", "&&");
    EXPECT_EQ(items, QStringList({"-", "&1 JAVA - " + doubled + "#", "&2 Compiler Options#", "&3 Program Arguments#",
                                  "&4 Messages : Lines.err#"}));
    // The active window is the one checked.
    EXPECT_TRUE(w->actions().at(fixedWindowItems() + 3)->isChecked());
    EXPECT_FALSE(w->actions().at(fixedWindowItems() + 1)->isChecked());
    // Choosing an option window brings it to the front.
    w->actions().at(fixedWindowItems() + 2)->trigger();
    QApplication::processEvents();
    ASSERT_NE(client()->activeSubWindow(), nullptr);
    EXPECT_NE(qobject_cast<TCompDialog*>(client()->activeSubWindow()->widget()), nullptr);
    // And the editor window.
    emit w->aboutToShow();
    w->actions().at(fixedWindowItems() + 1)->trigger();
    EXPECT_EQ(current(), c);
    EXPECT_EQ(QApplication::focusWidget(), c->editor());
    // The caption's text is the pure function's too.
    EXPECT_EQ(windowMenuText(10, "a&b"), "10 a&&b");
}

TEST_F(FrameTest, EveryKeyShownInTheMenusRunsItsCommand)
{
    TFileMDIChild* c = newJava();
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();
    auto setText = [&](const QString& t) {
        e->setPlainText(t);
        e->document()->clearUndoRedoStacks();
    };
    auto press = [&](const QKeyCombination& k) {
        e->setFocus();
        QTest::keyClick(e, k.key(), k.keyboardModifiers());
        QApplication::processEvents();
    };
    // The commands the edit control carries out with keys of its own, by their effect.
    const std::map<int, std::function<void(const QKeyCombination&)>> ownKeys = {
        {cmd::Undo,
         [&](const QKeyCombination& k) {
             setText("");
             QTest::keyClicks(e, "x");
             press(k);
             EXPECT_EQ(e->source()->rawText(), "");
         }},
        {cmd::Cut,
         [&](const QKeyCombination& k) {
             setText("abc");
             e->selectAll();
             press(k);
             EXPECT_EQ(e->source()->rawText(), "");
             EXPECT_EQ(QApplication::clipboard()->text(), "abc");
         }},
        {cmd::Copy,
         [&](const QKeyCombination& k) {
             setText("abc");
             e->selectAll();
             QApplication::clipboard()->setText("other");
             press(k);
             EXPECT_EQ(QApplication::clipboard()->text(), "abc");
         }},
        {cmd::Paste,
         [&](const QKeyCombination& k) {
             setText("");
             QApplication::clipboard()->setText("pp");
             press(k);
             EXPECT_EQ(e->source()->rawText(), "pp");
         }},
        {cmd::Delete,
         [&](const QKeyCombination& k) {
             setText("abc");
             e->selectAll();
             press(k);
             EXPECT_EQ(e->source()->rawText(), "");
         }},
    };
    QStringList walked;
    for (QAction* bar : app->Frame->menuBar()->actions()) {
        QList<QAction*> items{bar};
        if (bar->menu())
            items = bar->menu()->actions();
        for (QAction* a : items) {
            const QString keys = a->text().section('\t', 1);
            if (keys.isEmpty())
                continue;
            walked << keys;
            const int id = a->data().toInt();
            const QKeySequence seq = QKeySequence::fromString(keys);
            ASSERT_EQ(seq.count(), 1) << keys.toStdString();
            SCOPED_TRACE(keys.toStdString());
            std::vector<int> ran;
            // Recorders at the head of the chain stand for every routed command,
            // enabled, so that nothing real (a compiler, a terminal) starts.
            e->commands().on(id, [&ran, id] { ran.push_back(id); });
            e->commands().enabler(id, [](CommandState& s) { s.enabled = true; });
            if (keys == "Ctrl+Del") {
                // The edit control's own key: it deletes to the end of the word, and the
                // whole text stays.
                setText("abc def");
                press(seq[0]);
                EXPECT_TRUE(ran.empty());
                EXPECT_EQ(e->source()->rawText(), "def");
            } else if (ownKeys.count(id)) {
                ownKeys.at(id)(seq[0]);
            } else {
                press(seq[0]);
                EXPECT_EQ(ran, std::vector<int>{id});
            }
        }
    }
    EXPECT_EQ(walked, QStringList({"Ctrl+N",    "Ctrl+O",       "Ctrl+S",       "ALT+X",
                                   "Ctrl+Z",    "Ctrl+X",       "Ctrl+C",       "Ctrl+V",
                                   "Del",       "Ctrl+Del",     "Ctrl+Y",       "Ctrl++",
                                   "Ctrl+-",    "Ctrl+0",       "Ctrl+Space",   "Ctrl+Shift+Space",
                                   "Ctrl+/",    "Ctrl+1",       "Shift+F6",     "Ctrl+F",
                                   "Ctrl+H",    "F3",           "Ctrl+G",       "F8",
                                   "Shift+F8",  "F12",          "Ctrl+Shift+F", "Alt+Left",
                                   "Alt+Right", "Shift+F1",     "F9",           "Ctrl+F2",
                                   "Ctrl+F9",   "Shift+F9",     "F5",           "F10",
                                   "F11",       "Shift+F11",    "Ctrl+F10",     "Shift+F5",
                                   "Ctrl+B",    "Ctrl+Shift+J", "Alt+F8",       "Ctrl+Shift+F8",
                                   "Ctrl+W"}));
}

TEST_F(FrameTest, F3RunsNextWhileNextIsEnabled)
{
    // Without an editor window Next is disabled and F3 does nothing.
    QTest::keyClick(app->Frame, Qt::Key_F3);
    EXPECT_EQ(client()->finder()->findDialog(), nullptr);
    // With one, Next without an earlier search opens Find, as the menu item does.
    TFileMDIChild* c = newJava();
    QTest::keyClick(c->editor(), Qt::Key_F3);
    ASSERT_NE(client()->finder()->findDialog(), nullptr);
    EXPECT_TRUE(client()->finder()->findDialog()->isVisible());
    client()->finder()->findDialog()->close();
}

TEST_F(FrameTest, StatusBarSeparatesItsIndicatorsAndReadsAsItShows)
{
    QLabel* message = nullptr;
    for (QLabel* l : app->StatusBar->findChildren<QLabel*>())
        if (l->accessibleDescription() == "Message")
            message = l;
    ASSERT_NE(message, nullptr);
    // The fields right of the message area, left to right.
    QList<QWidget*> fields;
    for (QWidget* w : app->StatusBar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isVisible() && w != message && !w->isAncestorOf(message) && w->x() > app->StatusBar->width() / 3)
            fields << w;
    }
    std::sort(fields.begin(), fields.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    QStringList shown;
    for (QWidget* w : fields) {
        auto* frame = qobject_cast<QFrame*>(w);
        if (auto* l = qobject_cast<QLabel*>(w))
            shown << (l == app->clock()           ? QStringLiteral("clock")
                      : l == app->modifiedField() ? "modified"
                                                  : l->text());
        else if (frame && frame->frameShape() == QFrame::VLine)
            shown << "|";
    }
    EXPECT_EQ(shown,
              QStringList({"modified", "|", "Up", "|", "Down", "|", "Num", "|", "Ins", "|", "Scr", "|", "clock"}));

    // A screen reader reads each field's current text.
    auto spoken = [](QWidget* w) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        return i ? i->text(QAccessible::Name) : QString();
    };
    // The message area spans the room the fields leave, and its text shows whole.
    EXPECT_GT(message->width(), app->StatusBar->width() / 3);
    EXPECT_GE(message->height(), message->sizeHint().height());
    app->action(cmd::Unix2Dos)->hover();
    EXPECT_EQ(spoken(message), "Converts LF to CR/LF");
    TFileMDIChild* c = newJava();
    QTest::keyClicks(c->editor(), "ab");
    app->Frame->menuBar()->setActiveAction(nullptr);
    (void)QTest::qWaitFor([&] { return spoken(message) == "Line 1, Col 3"; }, 5000);
    EXPECT_EQ(spoken(message), "Line 1, Col 3");
    EXPECT_EQ(spoken(app->clock()), app->clock()->text());
    EXPECT_FALSE(app->clock()->text().isEmpty());
    EXPECT_EQ(spoken(app->indicator("Num")), "Num");
}

TEST_F(FrameTest, MenuBarHintGoesWithTheHighlight)
{
    TFileMDIChild* c = newJava();
    QTest::keyClicks(c->editor(), "abc");
    (void)QTest::qWaitFor([&] { return app->statusMessage() == "Line 1, Col 4"; }, 5000);
    ASSERT_EQ(app->statusMessage(), "Line 1, Col 4");
    QMenuBar* bar = app->Frame->menuBar();
    // The pointer rests on Unix2Dos, then leaves the menu bar.
    QTest::mouseMove(bar, bar->actionGeometry(app->action(cmd::Unix2Dos)).center());
    bar->setActiveAction(app->action(cmd::Unix2Dos));
    EXPECT_EQ(app->statusMessage(), "Converts LF to CR/LF");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar, &leave);
    QApplication::processEvents();
    EXPECT_EQ(app->statusMessage(), "Line 1, Col 4");
}

TEST_F(FrameTest, ToolTipsOnlyInEnterHintsMode)
{
    QWidget* save = app->ControlBar->widgetForAction(app->action(cmd::FileSaveAs));
    ASSERT_NE(save, nullptr);
    auto tipShown = [&] {
        QToolTip::hideText();
        QApplication::processEvents();
        const QPoint at = save->rect().center();
        QHelpEvent tip(QEvent::ToolTip, at, save->mapToGlobal(at));
        QApplication::sendEvent(save, &tip);
        QApplication::processEvents();
        const bool shown = QToolTip::isVisible();
        QToolTip::hideText();
        return shown;
    };
    EXPECT_EQ(app->HintMode, HintModes::PressHints);
    EXPECT_FALSE(tipShown());
    trigger(cmd::ToggleHint);
    EXPECT_TRUE(tipShown());
}

TEST_F(FrameTest, OptionWindowsHaveTheirDialogSizeAndOpenWithTheFocusOnOk)
{
    // Also over a maximised editor window.
    TFileMDIChild* c = newJava();
    c->showMaximized();
    QApplication::processEvents();
    for (int id : {cmd::JavaOptions, cmd::JavaArgs}) {
        trigger(id);
        QApplication::processEvents();
        QMdiSubWindow* w = client()->activeSubWindow();
        ASSERT_NE(w, nullptr);
        auto* dlg = qobject_cast<TOptionDialog*>(w->widget());
        ASSERT_NE(dlg, nullptr) << id;
        SCOPED_TRACE(dlg->windowTitle().toStdString());
        EXPECT_FALSE(w->isMaximized());
        EXPECT_EQ(dlg->size(), dlg->pixelSize());
        EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(dlg->OkButton));
    }
    EXPECT_TRUE(c->isMaximized());
    auto* prog = qobject_cast<TProgDialog*>(client()->activeSubWindow()->widget());
    const QFont f = optionDialogFont();
    EXPECT_EQ(prog->size(),
              QSize(qRound(237 * dialogAverageCharWidth(f) / 4.0), qRound(62 * QFontMetrics(f).height() / 8.0)));
}

TEST_F(FrameTest, ThePaneAreaIsResizedByItsTopEdge)
{
    const QString source = writeFile("Lines.java", "one\n");
    TFileMDIChild* c = newJava();
    c->showMaximized();
    client()->CmFileErr(writeCapture(dir.path(), source, 1));
    QApplication::processEvents();
    PaneArea& area = client()->panes();
    const QRect placed = area.geometry();
    // Dragging the top edge 40 pixels up: taller, its bottom where it was, and
    // the maximised editor above it shorter.
    const QPoint top(area.width() / 2, 1);
    QTest::mousePress(&area, Qt::LeftButton, {}, top);
    QTest::mouseMove(&area, top + QPoint(0, -40));
    QTest::mouseRelease(&area, Qt::LeftButton, {}, top + QPoint(0, -40));
    QApplication::processEvents();
    EXPECT_EQ(area.geometry(), placed.adjusted(0, -40, 0, 0));
    EXPECT_TRUE(c->isMaximized());
    EXPECT_EQ(QRect(c->mapTo(client(), QPoint(0, 0)), c->size()).bottom() + 1, area.y());
    // A later failure, and another pane, keep the height the user chose.
    client()->CmFileErr(writeCapture(dir.path(), source, 1));
    trigger(cmd::ShowConsole);
    QApplication::processEvents();
    EXPECT_EQ(area.geometry(), placed.adjusted(0, -40, 0, 0));

    // With the focus in a pane the keys go from pane to pane, round.
    ASSERT_EQ(area.panes().size(), 2);
    client()->bringToFront(client()->messageListFrame());
    for (const QKeyCombination k :
         {QKeyCombination(Qt::CTRL, Qt::Key_PageDown), QKeyCombination(Qt::CTRL, Qt::Key_Tab)}) {
        QTest::keyClick(QApplication::focusWidget(), k.key(), k.keyboardModifiers());
        EXPECT_EQ(area.current(), area.panes()[1]);
        EXPECT_TRUE(area.panes()[1]->isActive());
        QTest::keyClick(QApplication::focusWidget(), k.key(), k.keyboardModifiers());
        EXPECT_EQ(area.current(), area.panes()[0]);
    }
}

TEST_F(FrameTest, MessageWindowKeepsTheFocusWhenTheMainWindowComesBack)
{
    const QString source = writeFile("Lines.java", "one\n");
    TFileMDIChild* c = newJava();
    client()->CmFileErr(writeCapture(dir.path(), source, 1));
    QApplication::processEvents();
    PaneFrame* f = client()->messageListFrame();
    f->activate();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), f->list());
    // Another window of the program is active for a while (a message box, the
    // Find dialog), then the main window again.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    QApplication::setActiveWindow(app->Frame);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), f->list());
    EXPECT_EQ(current(), nullptr);
    EXPECT_FALSE(enabled(cmd::FileSave));
    (void)c;
}
