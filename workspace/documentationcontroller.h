// SPDX-License-Identifier: GPL-3.0-or-later
// The documentation of the symbol at the caret, from the warm compiler (the
// compile service's "doc" question): Show Documentation (Shift+F1) shows it
// in the "Documentation" pane of the pane area, a link of the page shows the
// symbol it names in the same pane, and the mouse resting over a name of an
// editor window shows the page shortened as a tooltip. Nothing waits for the
// service; an answer that comes after the user moved on is dropped.
#pragma once
#include "workspace/servicelink.h"
#include "toolchain/compiling/serviceprotocol.h"
#include "toolchain/navigation/docpane.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

class CommandTable;
class CompileService;
class EditControl;
class TFileMDIChild;
class TFileMDIClient;

class DocumentationController : public QObject {
    Q_OBJECT
public:
    // Carries Show Documentation and the Documentation pane's command in `table`.
    DocumentationController(TFileMDIClient& workspace, CommandTable& table);

    // A window opened: the mouse resting over a name of its source shows that name's documentation.
    void editorOpened(TFileMDIChild* window);
    // Asks for the documentation of the name at `position` of `editor`'s text, for the pane.
    void showDocumentation(EditControl* editor, int position);
    // Asks for the documentation of what a link names, for the pane.
    void followLink(const DocLink& link);
    // Shows the pane (made when first needed); `activate` gives it the focus.
    DocPane* showPane(bool activate);
    // The pane; null while it is not open.
    DocPane* pane() const { return pane_; }

private:
    // Asks the service: the id, 0 when it is not ready. A tooltip does not
    // start it (`start` false): resting the mouse starts no JVM.
    quint64 ask(EditControl* editor, int position, const DocLink& link, bool start = true);
    void onAnswered(quint64 id, const ServiceReply& reply);
    void onQueryFailed(quint64 id, const QString& reason);
    void onRested(EditControl* editor, int position, QPoint globalPos);
    void onRestEnded();
    void showPageAnswer(const ServiceReply& reply);
    void showTooltipAnswer(const ServiceReply& reply);

    TFileMDIClient& ws_;
    ServiceLink service_;  // the service whose answers come here
    QPointer<DocPane> pane_;
    // The page asked for, and what it was asked about (the name shown when none is found).
    quint64 pageId_ = 0;
    QString pageName_;
    QPointer<EditControl> pageEditor_;  // the text the links of the page are read with
    // The tooltip asked for, and where.
    quint64 hoverId_ = 0;
    QPointer<EditControl> hoverEditor_;
    QPoint hoverAt_;
    bool tipShown_ = false;  // the tooltip up is the documentation's
};
