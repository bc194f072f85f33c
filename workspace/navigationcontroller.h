// SPDX-License-Identifier: GPL-3.0-or-later
// Navigation in the workspace, from the warm compiler (the compile service):
// Go to Definition (F12, and Ctrl+click on a name) opens or activates the
// window of the declaration's source, a JDK source read-only, and puts the
// caret on the declared name; the "Outline" window (a pane of the area along
// the bottom of the workspace, like the compiler messages) lists the
// classes, fields and methods of the active source, follows its text half a
// second after the last keystroke and another source window as it becomes
// active, and leads to the row chosen. Nothing waits for the service: every
// answer comes later, and one that comes after the user moved on is dropped.
#pragma once
#include "workspace/servicelink.h"
#include "toolchain/compiling/servicenavigation.h"
#include "toolchain/messages/messages.h"
#include "toolchain/navigation/outlinewindow.h"

#include <QObject>
#include <QPointer>

class CommandTable;
class CompileService;
class EditControl;
class QTimer;
class TFileMDIChild;
class TFileMDIClient;

class NavigationController : public QObject {
    Q_OBJECT
public:
    // Carries Go to Definition and Outline in `table`.
    NavigationController(TFileMDIClient& workspace, CommandTable& table);

    // A window opened: a Ctrl+click on a name of its source goes to the declaration.
    void editorOpened(TFileMDIChild* window);
    // Asks where the name at `position` of `editor`'s text is declared; the
    // answer opens it, or says in the status bar why it cannot.
    void goToDefinition(EditControl* editor, int position);
    // Shows the Outline window (made when first needed); `activate` gives it the focus.
    void showOutline(bool activate);
    // The Outline window; null while it is not open.
    OutlineWindow* outline() const { return outline_; }

    // How long the outline waits after the last keystroke.
    static constexpr int kOutlinePauseMs = 500;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onAnswered(quint64 id, const ServiceReply& reply);
    void onQueryFailed(quint64 id, const QString& reason);
    void showDeclaration(const ServiceDeclaration& d);
    TFileMDIChild* windowOf(const EditControl* editor) const;
    void followActiveSource();
    void requestOutline();
    void goToRow(const OutlineRow& row);
    // The name that starts at `start` of a line's text.
    static TextSpan nameAt(const QString& text, int start);

    TFileMDIClient& ws_;
    ServiceLink service_;  // the service whose answers come here
    // The Go to Definition waiting for its answer, and what it was asked from.
    quint64 definitionId_ = 0;
    QPointer<EditControl> definitionEditor_;
    int definitionRevision_ = -1;
    int definitionPosition_ = -1;
    // The Outline window, the source it shows, and the question under way.
    QPointer<OutlineWindow> outline_;
    QPointer<EditControl> outlined_;
    QTimer* outlineTimer_;
    quint64 outlineId_ = 0;
    int outlineRevision_ = -1;
};
