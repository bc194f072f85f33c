// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/brewpad.h"

#include "platform/dialogs.h"
#include "platform/nativepath.h"
#include "resources/commands.h"
#include "app/inistore.h"
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "platform/keyboard.h"
#include "workspace/client.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTime>
#include <QTimer>
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

}  // namespace

// ---------------------------------------------------------------- frame

TMainFrame::TMainFrame(TFileMDIClient* client) : client_(client)
{
    setWindowTitle(AppName);
    setAccessibleName(AppName);
    setCentralWidget(client);
    setAcceptDrops(true);
    setWindowIcon(QIcon(QStringLiteral(":/icons/brewpad.png")));
    table_.on(cmd::Exit, [this] { close(); });
}

void TMainFrame::closeEvent(QCloseEvent* e)
{
    if (client_->canCloseAll())
        e->accept();
    else
        e->ignore();
}

void TMainFrame::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void TMainFrame::dropEvent(QDropEvent* e)
{
    for (const QUrl& u : e->mimeData()->urls()) {
        if (u.isLocalFile())
            client_->openDropped(nativepath::localFile(u));
    }
    e->acceptProposedAction();
}

// ---------------------------------------------------------------- application

TMDIFileApp::TMDIFileApp() : TMDIFileApp(Options{}) {}

TMDIFileApp::TMDIFileApp(const Options& options) : options_(options)
{
    table_.on(cmd::ToggleHint, [this] { CmToggleHint(); });
    table_.enabler(cmd::ToggleHint, [this](CommandState& s) { CeToggleHint(s); });
    table_.on(cmd::ToggleBar, [this] { CmToggleBar(); });
    initRecentFiles();
}

TMDIFileApp::~TMDIFileApp()
{
    qApp->removeEventFilter(this);
    if (idle_)
        idle_->stop();
    if (Client)
        QObject::disconnect(Client, nullptr, this, nullptr);
    TMainFrame* frame = Frame;
    Frame = nullptr;
    Client = nullptr;
    delete frame;
    Frame = nullptr;
    recent_.reset();
    ini_.reset();
}

void TMDIFileApp::InitMainWindow()
{
    Client = new TFileMDIClient(options_.settleConfiguration ? TFileMDIClient::Startup::SettleConfiguration
                                                             : TFileMDIClient::Startup::SkipConfiguration);
    Frame = new TMainFrame(Client);
    buildActions();
    buildMenus();

    HintMode = HintModes::PressHints;
    ControlBar = BuildControlBar(this, Frame, Qt::Horizontal);
    ControlBarLoc = 0;
    Frame->addToolBar(Location[0], ControlBar);

    buildStatusBar();
    Client->onFileUsed = [this](const QString& path) { addRecent(path); };
    Client->onStatus = [this](const QString& text) {
        message_->setText(text);
        hintShown_ = true;
        hintFromMenuBar_ = false;
        QTimer::singleShot(4000, this, [this] { hintShown_ = false; });
    };
    connect(Client, &TFileMDIClient::editorsChanged, this, &TMDIFileApp::updateCommandStates);
    connect(Client, &TFileMDIClient::editorsChanged, this, &TMDIFileApp::refreshModified);

    qApp->installEventFilter(this);
    idle_ = new QTimer(this);
    idle_->setInterval(200);
    connect(idle_, &QTimer::timeout, this, &TMDIFileApp::refreshIdle);
    idle_->start();

    Frame->resize(1000, 720);
    Frame->show();
    refreshIdle();
}

void TMDIFileApp::buildActions()
{
    for (const CommandInfo& c : commandTable()) {
        auto* act = new QAction(c.menuCaption(), Frame);
        act->setData(c.id);
        act->setIconText(plainCaption(act->text()));
        act->setToolTip(plainCaption(act->text()));
        if (!c.icon.isEmpty())
            act->setIcon(QIcon(c.iconPath()));
        act->setIconVisibleInMenu(false);
        act->setCheckable(c.toggle);
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
        for (int id : layout.items) {
            if (id == menuitem::Separator) {
                m->addSeparator();
            } else if (id == menuitem::RecentFiles) {
                fileMenu_ = m;
                exitSeparator_ = m->addSeparator();
                exitSeparator_->setVisible(false);
                connect(m, &QMenu::aboutToShow, this, &TMDIFileApp::fillRecentFiles);
            } else if (id == menuitem::OpenWindows) {
                windowMenu_ = m;
                windowMenuFixedItems_ = int(m->actions().size());
                connect(m, &QMenu::aboutToShow, this, [this] { fillWindowMenu(windowMenu_); });
            } else {
                m->addAction(actions_[id]);
            }
        }
        connect(m, &QMenu::aboutToShow, this, &TMDIFileApp::updateCommandStates);
        connect(m, &QMenu::hovered, this, [this, m](QAction* a) {
            // A menu also relays the hovering of its actions' tool-bar buttons.
            if (!m->isVisible())
                return;
            bool ok = false;
            int id = a->data().toInt(&ok);
            if (ok && id > 0)
                showHint(id);
            else
                clearHint();
        });
        connect(m, &QMenu::aboutToHide, this, &TMDIFileApp::clearHint);
        menus_ << m;
    }
    connect(bar, &QMenuBar::hovered, this, [this](QAction* a) {
        bool ok = false;
        const int id = a->data().toInt(&ok);
        if (ok && id > 0) {
            showHint(id);
            hintFromMenuBar_ = true;
        } else {
            clearHint();
        }
    });
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
    if (Frame)
        QTimer::singleShot(0, this, &TMDIFileApp::updateCommandStates);
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
            w->setProperty("commandId", g.id);
            w->installEventFilter(app);
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
    clearHint();
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

void TMDIFileApp::buildStatusBar()
{
    StatusBar = Frame->statusBar();
    StatusBar->setAccessibleName(QStringLiteral("Status bar"));
    StatusBar->setSizeGripEnabled(true);
    // The fields have no fixed accessible name: a screen reader reads the text
    // each one shows; the description says which field it is.
    message_ = new QLabel(StatusBar);
    message_->setAccessibleDescription(QStringLiteral("Message"));
    message_->setMinimumWidth(1);
    StatusBar->addWidget(message_, 1);
    auto separator = [this] {
        auto* line = new QFrame(StatusBar);
        line->setObjectName(QStringLiteral("separator"));
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        StatusBar->addPermanentWidget(line);
    };
    modified_ = new QLabel(StatusBar);
    modified_->setFrameShape(QFrame::Panel);
    modified_->setFrameShadow(QFrame::Sunken);
    modified_->setAlignment(Qt::AlignCenter);
    modified_->setMinimumWidth(modified_->fontMetrics().horizontalAdvance(QStringLiteral("Modified")) + 10);
    modified_->setAccessibleDescription(QStringLiteral("Unsaved changes"));
    StatusBar->addPermanentWidget(modified_);
    separator();
    const struct {
        const char* text;
        const char* description;
    } modes[] = {{"Up", "Up-arrow key"}, {"Down", "Down-arrow key"}, {"Num", "Num Lock"},
                 {"Ins", "Insert"}, {"Scr", "Scroll Lock"}};
    for (const auto& mode : modes) {
        auto* l = new QLabel(QString::fromLatin1(mode.text), StatusBar);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("Down")) + 10);
        l->setAccessibleDescription(QString::fromLatin1(mode.description));
        l->setEnabled(false);
        StatusBar->addPermanentWidget(l);
        indicators_ << l;
        separator();
    }
    clock_ = new QLabel(StatusBar);
    clock_->setFrameShape(QFrame::Panel);
    clock_->setFrameShadow(QFrame::Sunken);
    clock_->setAlignment(Qt::AlignCenter);
    QFont f = clock_->font();
    f.setPointSize(10);
    clock_->setFont(f);
    clock_->setFixedWidth(QFontMetrics(f).averageCharWidth() * 12);
    clock_->setAccessibleDescription(QStringLiteral("Clock"));
    StatusBar->addPermanentWidget(clock_);
}

QLabel* TMDIFileApp::indicator(const QString& text) const
{
    for (QLabel* l : indicators_) {
        if (l->text() == text)
            return l;
    }
    return nullptr;
}

QString TMDIFileApp::statusMessage() const
{
    return message_ ? message_->text() : QString();
}

void TMDIFileApp::showHint(int id)
{
    hintShown_ = true;
    hintFromMenuBar_ = false;
    message_->setText(commandHint(id));
}

void TMDIFileApp::clearHint()
{
    hintShown_ = false;
    hintFromMenuBar_ = false;
    refreshIndicators();
}

void TMDIFileApp::clearMenuBarHint()
{
    // The hint of a highlighted menu-bar item goes with the highlight.
    if (hintFromMenuBar_ && Frame && !Frame->menuBar()->activeAction())
        clearHint();
}

void TMDIFileApp::refreshIndicators()
{
    indicators_[0]->setEnabled(upDown_[0]);
    indicators_[1]->setEnabled(upDown_[1]);
    indicators_[2]->setEnabled(host::numLockOn());
    indicators_[3]->setEnabled(insertToggleOn());
    indicators_[4]->setEnabled(host::scrollLockOn());
    clock_->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    if (!hintShown_) {
        QString text;
        if (TFileMDIChild* c = Client ? Client->currentEditor() : nullptr) {
            const QTextCursor cur = c->editor()->textCursor();
            text = QStringLiteral("Line %1, Col %2").arg(cur.blockNumber() + 1).arg(cur.positionInBlock() + 1);
        }
        message_->setText(text);
    }
}

void TMDIFileApp::refreshModified()
{
    if (!modified_ || !Client)
        return;
    // The field shows the active editor's state: its text tells when that
    // changes (connected once per window, as it becomes the active one).
    TFileMDIChild* c = Client->currentEditor();
    if (c)
        connect(c->editor()->document(), &QTextDocument::modificationChanged, this, &TMDIFileApp::refreshModified,
                Qt::UniqueConnection);
    modified_->setText(c && c->editor()->document()->isModified() ? QStringLiteral("Modified") : QString());
}

void TMDIFileApp::refreshIdle()
{
    refreshModified();
    clearMenuBarHint();
    updateCommandStates();
    refreshIndicators();
}

bool TMDIFileApp::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (!k->isAutoRepeat() && (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
            upDown_[k->key() == Qt::Key_Up ? 0 : 1] = event->type() == QEvent::KeyPress;
            if (!indicators_.isEmpty())
                refreshIndicators();
        }
        break;
    }
    case QEvent::Enter:
        if (HintMode == HintModes::EnterHints && watched->property("commandId").isValid())
            showHint(watched->property("commandId").toInt());
        break;
    case QEvent::MouseButtonPress:
        if (HintMode == HintModes::PressHints && watched->property("commandId").isValid())
            showHint(watched->property("commandId").toInt());
        break;
    case QEvent::MouseButtonRelease:
        if (HintMode == HintModes::PressHints && watched->property("commandId").isValid())
            clearHint();
        break;
    case QEvent::Leave:
        if (watched->property("commandId").isValid())
            clearHint();
        else if (Frame && watched == Frame->menuBar())
            QTimer::singleShot(0, this, &TMDIFileApp::clearMenuBarHint);
        break;
    case QEvent::FocusOut:
        // The keyboard left the menu bar (Escape, or a click elsewhere).
        if (Frame && watched == Frame->menuBar())
            QTimer::singleShot(0, this, &TMDIFileApp::clearMenuBarHint);
        break;
    case QEvent::ToolTip:
        // In press-hints mode a button shows nothing while the pointer only rests on it.
        if (HintMode == HintModes::PressHints && watched->property("commandId").isValid())
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
