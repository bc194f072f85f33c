// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's status bar: the message field (the caret's line and
// column, a command's hint, a passing status text), the Modified field, the
// Up, Down, Num, Ins and Scr indicators and the clock. Every field changes on
// an event (a key, the caret moving, the active editor changing, the pointer on
// a tool-bar button or menu item); only the clock ticks, once a second.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QLabel;
class QMainWindow;
class QMenuBar;
class QStatusBar;
class QTimer;
class EditControl;

// When the status bar shows a tool-bar button's hint: while the button is
// pressed, or while the pointer is on it (with its tool tip).
enum class HintModes { PressHints, EnterHints };

class StatusLine : public QObject {
    Q_OBJECT
public:
    // Builds the fields in the frame's status bar; `mode` is read whenever a
    // tool-bar button is entered, pressed or asked for its tool tip.
    StatusLine(QMainWindow* frame, const HintModes& mode);
    ~StatusLine() override;

    QStatusBar* bar() const { return bar_; }
    // Indicators in order: Up, Down, Num, Ins, Scr; null for another text.
    QLabel* indicator(const QString& text) const;
    QLabel* clock() const { return clock_; }
    QLabel* modifiedField() const { return modified_; }
    QString message() const;

    // A tool-bar button that shows the hint of `action` as the hint mode says.
    void watchButton(QWidget* button, QAction* action);
    // The hint of a highlighted menu item (its status tip); `fromMenuBar` when
    // it stands on the menu bar itself, where the hint goes with the highlight.
    void showHint(const QAction* action, bool fromMenuBar = false);
    // The hint goes: the caret's place shows again.
    void clearHint();
    // A status text (a compiler command line, a message summary) that stays
    // four seconds unless something else replaces it.
    void showStatus(const QString& text);
    // The editor whose caret and unsaved changes the fields show; null for none.
    void setEditor(EditControl* editor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMessage();
    void buildModified();
    void buildIndicators();
    void buildClock();
    void addSeparator();
    // All the indicators; refreshKeys() only those that need no question to
    // the keyboard (Up, Down, Ins).
    void refreshLocks();
    void refreshKeys();
    void refreshMessage();
    void refreshModified();
    void tick();
    void clearMenuBarHint();
    bool buttonEvent(QObject* watched, QEvent* event);

    QMainWindow* frame_;
    const HintModes& mode_;
    QStatusBar* bar_ = nullptr;
    QPointer<QMenuBar> menuBar_;
    QWidget* messageBox_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* modified_ = nullptr;
    QList<QLabel*> indicators_;
    QLabel* clock_ = nullptr;
    QTimer* clockTimer_ = nullptr;
    // Ends the latest status text (showStatus); restarted by each one, so
    // that an earlier text's end never cuts a later one short.
    QTimer* statusTimer_ = nullptr;
    QHash<const QObject*, QAction*> buttons_;
    QPointer<EditControl> editor_;
    bool hintShown_ = false;
    bool hintFromMenuBar_ = false;  // the hint is that of a highlighted menu-bar item
    bool upDown_[2] = {false, false};
};
