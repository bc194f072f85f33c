// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/brewpad.h"

#include "app/commandupdates.h"
#include "app/lookkeeper.h"
#include "app/recentmenu.h"
#include "app/sessionkeeper.h"
#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "platform/startuptrace.h"
#include "resources/commands.h"
#include "resources/resources.h"
#include "workspace/workspace.h"
#include "workspace/findinfiles.h"
#include "workspace/windowcommands.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// Docking places of the tool bar, indexed by ControlBarLoc.
const Qt::ToolBarArea Location[3] = {Qt::TopToolBarArea, Qt::LeftToolBarArea, Qt::RightToolBarArea};

QString plainCaption(QString text)
{
    text = text.section(QLatin1Char('\t'), 0, 0);
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QLatin1String("...")))
        text.chop(3);
    return text;
}

// The command of a menu's or the menu bar's action; 0 for none.
int commandOf(const QAction* a)
{
    bool ok = false;
    const int id = a->data().toInt(&ok);
    return ok && id > 0 ? id : 0;
}

}  // namespace

TMDIFileApp::TMDIFileApp() : TMDIFileApp(Options{}) {}

TMDIFileApp::TMDIFileApp(const Options& options) : options_(options)
{
    table_.on(cmd::ToggleHint, [this] { CmToggleHint(); });
    table_.enabler(cmd::ToggleHint, [this](CommandState& s) { CeToggleHint(s); });
    table_.on(cmd::ToggleBar, [this] { CmToggleBar(); });
    // The store is set up before any window exists; its capacity is written at once.
    recent_ = std::make_unique<RecentMenu>(options_.iniFile);
    // The look is settled before any window exists, so that each is built in it.
    look_ = new LookKeeper(
        options_.lookFile, [this] { return static_cast<QWidget*>(Frame); }, this);
    look_->addCommands(table_);
}

TMDIFileApp::~TMDIFileApp()
{
    if (Client)
        QObject::disconnect(Client, nullptr, this, nullptr);
    delete session_;  // nothing of the windows' going is kept
    session_ = nullptr;
    delete updates_;
    updates_ = nullptr;
    TMainFrame* frame = Frame;
    Frame = nullptr;
    Client = nullptr;
    // The status bar's fields stop following events before the frame goes.
    delete status_;
    status_ = nullptr;
    delete frame;
    recent_.reset();
}

void TMDIFileApp::InitMainWindow()
{
    startuptrace::mark("workspace");
    Client = new TFileMDIClient(options_.settleConfiguration ? TFileMDIClient::Startup::SettleConfiguration
                                                             : TFileMDIClient::Startup::SkipConfiguration);
    // The program's icon for the windows that follow the report, read after
    // it (the report needs none), and without the image plugins.
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(QIcon(pngPixmap(QStringLiteral(":/icons/brewpad.png"))));
    Frame = new TMainFrame(Client);
    recent_->setDialogParent(Frame);
    status_ = new StatusLine(Frame, HintMode);
    StatusBar = status_->bar();
    updates_ = new CommandUpdates(this);
    connect(updates_, &CommandUpdates::due, this, &TMDIFileApp::updateCommandStates);
    buildActions();
    buildMenus();

    HintMode = HintModes::PressHints;
    ControlBar = BuildControlBar(this, Frame, Qt::Horizontal);
    ControlBarLoc = 0;
    Frame->addToolBar(Location[0], ControlBar);
    connectWorkspace();
    // Find in Files is the workspace's, a part of its own.
    (new FindInFiles(*Client))->addCommands(Client->commands());
    (new WindowCommands(*Client))->addCommands(Client->commands());

    Frame->resize(1000, 720);
    if (!options_.sessionFile.isEmpty()) {
        session_ = new SessionKeeper(*this, options_.sessionFile);
        session_->applyFrame();
    }
    Frame->show();
    // The main window takes the keyboard, its menus' Alt keys with it, also
    // on a display that no window manager activates windows on.
    Frame->activateWindow();
    followEditor();
    startuptrace::mark("frame-shown");
    if (session_) {
        session_->restore();
        startuptrace::mark("session-restored");
    }
}

void TMDIFileApp::connectWorkspace()
{
    connect(Client, &TFileMDIClient::fileWasUsed, this, [this](const QString& path) {
        if (recentFollowed_)
            recent_->add(path);
    });
    connect(Client, &TFileMDIClient::statusShown, status_, &StatusLine::showStatus);
    connect(Client, &TFileMDIClient::statusShown, updates_, &CommandUpdates::schedule);
    connect(Client, &TFileMDIClient::commandStatesChanged, updates_, &CommandUpdates::schedule);
    connect(Client, &TFileMDIClient::editorsChanged, this, &TMDIFileApp::followEditor);
    connect(Client, &TFileMDIClient::lastingStatusShown, StatusBar,
            [this](const QString& text) { StatusBar->showMessage(text); });
    connect(Client, &TFileMDIClient::lastingStatusCleared, StatusBar, &QStatusBar::clearMessage);
    connect(recent_.get(), &RecentMenu::openSource, Client, &TFileMDIClient::CmMRUFileOpenJava);
    connect(recent_.get(), &RecentMenu::openProject, Client, &TFileMDIClient::CmOpenJavaProjFile);
}

void TMDIFileApp::followEditor()
{
    // The status bar and the commands follow the active editor window.
    TFileMDIChild* c = Client ? Client->currentEditor() : nullptr;
    EditControl* e = c ? c->editor() : nullptr;
    status_->setEditor(e);
    updates_->setEditor(e);
    if (e) {
        QList<QAction*> context;
        for (int id : editorContextLayout())
            context.append(id == menuitem::Separator ? nullptr : actions_.value(id));
        e->setContextActions(context);
        connect(e, &EditControl::contextMenuOpening, this, &TMDIFileApp::updateCommandStates, Qt::UniqueConnection);
    }
    updateCommandStates();
}

void TMDIFileApp::buildActions()
{
    for (const CommandInfo& c : commandTable()) {
        auto* act = new QAction(c.menuCaption(), Frame);
        act->setData(c.id);
        act->setIconText(plainCaption(act->text()));
        act->setToolTip(plainCaption(act->text()));
        act->setStatusTip(c.hint);
        if (!c.icon.isEmpty())
            act->setIcon(QIcon(c.iconPath()));
        act->setIconVisibleInMenu(false);
        act->setCheckable(c.toggle);
        if (c.radioGroup != 0) {
            QActionGroup*& group = radioGroups_[c.radioGroup];
            if (!group)
                group = new QActionGroup(this);
            group->addAction(act);
        }
        const int id = c.id;
        connect(act, &QAction::triggered, this, [this, id] { dispatch(id); });
        actions_.insert(id, act);

        // Accelerators: the keys of the main window run the command while it is
        // enabled. The keys of the edit control's own are not bound here.
        for (const QKeySequence& keys : c.keys) {
            auto* sc = new QShortcut(keys, Frame);
            sc->setContext(Qt::WindowShortcut);
            connect(sc, &QShortcut::activated, this, [this, id] {
                if (state(id).enabled)
                    dispatch(id);
            });
        }
    }
}

void TMDIFileApp::buildMenus()
{
    QMenuBar* bar = Frame->menuBar();
    for (const MenuLayout& layout : menuBarLayout()) {
        if (!layout.title) {
            for (int id : layout.items) {
                // Standing on the menu bar, the command shows its caption, not its picture.
                actions_[id]->setIcon(QIcon());
                bar->addAction(actions_[id]);
            }
            continue;
        }
        QMenu* m = bar->addMenu(QString::fromLatin1(layout.title));
        m->setAccessibleName(plainCaption(m->title()));
        for (int id : layout.items)
            addMenuItem(m, id);
        connect(m, &QMenu::aboutToShow, this, &TMDIFileApp::updateCommandStates);
        connect(m, &QMenu::hovered, this, [this, m](QAction* a) {
            // A menu also relays the hovering of its actions' tool-bar buttons.
            if (!m->isVisible())
                return;
            if (commandOf(a))
                status_->showHint(a);
            else
                status_->clearHint();
        });
        connect(m, &QMenu::aboutToHide, status_, &StatusLine::clearHint);
        menus_ << m;
    }
    connect(bar, &QMenuBar::hovered, this, [this](QAction* a) {
        if (commandOf(a))
            status_->showHint(a, true);
        else
            status_->clearHint();
    });
}

void TMDIFileApp::addMenuItem(QMenu* m, int id)
{
    if (id == menuitem::Separator) {
        m->addSeparator();
    } else if (id == menuitem::RecentFiles) {
        recent_->attach(m, m->addSeparator());
    } else if (id == menuitem::OpenWindows) {
        windowMenu_ = m;
        windowMenuFixedItems_ = int(m->actions().size());
        connect(m, &QMenu::aboutToShow, this, [this] { fillWindowMenu(windowMenu_); });
    } else {
        m->addAction(actions_[id]);
    }
}

QMenu* TMDIFileApp::menu(const QString& title) const
{
    for (QMenu* m : menus_) {
        if (m->title() == title)
            return m;
    }
    return nullptr;
}

void TMDIFileApp::fillWindowMenu(QMenu* m)
{
    // Everything after the window and tool-bar commands is the list of open
    // windows: editor and option windows, then the message window.
    const QList<QAction*> acts = m->actions();
    for (int i = windowMenuFixedItems_; i < acts.size(); ++i) {
        m->removeAction(acts[i]);
        acts[i]->deleteLater();
    }
    const QList<TFileMDIClient::WindowEntry> windows = Client->windowList();
    if (windows.isEmpty())
        return;
    m->addSeparator();
    int n = 1;
    for (const TFileMDIClient::WindowEntry& e : windows) {
        QAction* a = m->addAction(windowMenuText(n, e.caption));
        a->setCheckable(true);
        a->setChecked(e.active);
        QPointer<QWidget> target(e.window);
        connect(a, &QAction::triggered, this, [this, target] {
            if (target)
                Client->bringToFront(target);
        });
        ++n;
    }
}

// ---------------------------------------------------------------- routing

CommandChain TMDIFileApp::chain()
{
    CommandChain c;
    TFileMDIChild* editor = Client ? Client->currentEditor() : nullptr;
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (auto* t = dynamic_cast<CommandTarget*>(w)) {
            if (w != (editor ? editor->editor() : nullptr) && w != editor)
                c.push_back(t);
            break;
        }
    }
    if (editor) {
        c.push_back(editor->editor());
        c.push_back(editor);
    }
    if (Client)
        c.push_back(Client);
    if (Frame)
        c.push_back(Frame);
    c.push_back(this);
    return c;
}

bool TMDIFileApp::dispatch(int id)
{
    const bool handled = routeCommand(chain(), id);
    if (updates_)
        updates_->schedule();
    return handled;
}

CommandState TMDIFileApp::state(int id)
{
    return commandState(chain(), id);
}

void TMDIFileApp::updateCommandStates()
{
    const CommandChain c = chain();
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        const CommandState s = commandState(c, it.key());
        it.value()->setEnabled(s.enabled);
        if (s.checked && it.value()->isCheckable())
            it.value()->setChecked(*s.checked);
    }
}

// ---------------------------------------------------------------- tool bar

QToolBar* BuildControlBar(TMDIFileApp* app, QMainWindow* parent, Qt::Orientation direction)
{
    auto* bar = new QToolBar(QStringLiteral("Tool bar"), parent);
    bar->setObjectName(QStringLiteral("toolbar32041"));
    bar->setAccessibleName(QStringLiteral("Tool bar"));
    bar->setOrientation(direction);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(24, 24));
    QFont f = bar->font();
    f.setPointSize(10);
    f.setBold(false);
    f.setItalic(false);
    bar->setFont(f);
    for (const ToolBarGadget& g : toolBarLayout()) {
        if (g.id == 0) {
            bar->addSeparator();
            continue;
        }
        QAction* a = app->action(g.id);
        bar->addAction(a);
        if (QWidget* w = bar->widgetForAction(a)) {
            w->setAccessibleName(QString::fromLatin1(g.caption));
            w->setToolTip(QString::fromLatin1(g.caption));
            app->statusLine()->watchButton(w, a);
            if (auto* tb = qobject_cast<QToolButton*>(w)) {
                tb->setAutoRepeat(false);
                tb->setText(QString::fromLatin1(g.caption));
            }
        }
    }
    return bar;
}

void TMDIFileApp::CmToggleHint()
{
    HintMode = HintMode == HintModes::PressHints ? HintModes::EnterHints : HintModes::PressHints;
    status_->clearHint();
    updateCommandStates();
}

void TMDIFileApp::CeToggleHint(CommandState& s)
{
    s.enabled = true;
    s.checked = HintMode == HintModes::EnterHints;
}

void TMDIFileApp::CmToggleBar()
{
    ControlBarLoc = (ControlBarLoc + 1) % 3;
    Frame->removeToolBar(ControlBar);
    ControlBar->setOrientation(ControlBarLoc == 0 ? Qt::Horizontal : Qt::Vertical);
    Frame->addToolBar(Location[ControlBarLoc], ControlBar);
    ControlBar->show();
}

// ---------------------------------------------------------------- status bar

QLabel* TMDIFileApp::indicator(const QString& text) const
{
    return status_ ? status_->indicator(text) : nullptr;
}

QLabel* TMDIFileApp::clock() const
{
    return status_ ? status_->clock() : nullptr;
}

QLabel* TMDIFileApp::modifiedField() const
{
    return status_ ? status_->modifiedField() : nullptr;
}

QString TMDIFileApp::statusMessage() const
{
    return status_ ? status_->message() : QString();
}

// ---------------------------------------------------------------- recent files

RecentFiles* TMDIFileApp::recentFiles() const
{
    return recent_->files();
}

void TMDIFileApp::holdRecentFiles(bool hold)
{
    recent_->hold(hold);
}

void TMDIFileApp::EvFileSelected(int index)
{
    recent_->select(index);
}
