// SPDX-License-Identifier: GPL-3.0-or-later
// One pane of the workspace's pane area (the compiler messages, the console,
// the debugger's windows, Find in Files, the Outline...): the frame around the
// pane's own window, with the pane's caption (shown on its tab) and the
// commands routed to it. Only the pane area makes them (workspace/panearea.h).
#pragma once
#include "platform/routing.h"
#include "toolchain/messages/messagewindow.h"

#include <QFrame>
#include <QPointer>
#include <QString>

// What a pane shows; the order of the tabs.
enum class Pane {
    CompilerMessages,
    Console,
    Variables,
    CallStack,
    Breakpoints,
    Watches,
    TestResults,
    JShell,
    FindInFiles,
    Outline,
    Documentation,
};

// The caption of a pane of that kind ("Console", "Call Stack"...); the
// compiler messages' pane shows the caption of its list instead.
QString paneCaption(Pane kind);

class PaneFrame : public QFrame, public CommandTarget {
    Q_OBJECT
public:
    // Around `content`, which it takes as its child; a TBrowserWindow gives
    // its caption and takes the Exit command while the focus is in it.
    PaneFrame(Pane kind, QWidget* content, QWidget* parent = nullptr);
    ~PaneFrame() override;

    CommandTable& commands() override { return table_; }
    Pane kind() const { return kind_; }
    // The compiler-message list shown, else null.
    TBrowserWindow* list() const { return list_; }
    QWidget* content() const { return content_; }
    QString caption() const { return caption_; }
    // True while the keyboard focus is inside the pane.
    bool isActive() const;
    // Brings the pane forward in its area and gives its window the focus.
    void activate();

signals:
    // The keyboard focus entered the pane.
    void activated();
    void captionChanged(const QString& caption);
    // The pane was closed (it goes right after).
    void closed(PaneFrame* frame);
    // The pane is being destroyed; it is still a PaneFrame while this is sent.
    void goingAway(PaneFrame* frame);
    // activate() asks its area to make it the pane shown.
    void forwardWanted(PaneFrame* frame);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void setCaption(const QString& caption);
    void onFocusChanged(QWidget* old, QWidget* now);

    Pane kind_;
    CommandTable table_;
    QPointer<TBrowserWindow> list_;
    QPointer<QWidget> content_;
    QString caption_;
};
