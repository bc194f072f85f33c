// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/renamecontroller.h"

#include "editor/editcontrol.h"
#include "editor/editorwindow.h"
#include "javatext/javasource.h"
#include "platform/dialogs.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"
#include "workspace/fileplaces.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCursor>

namespace {

// The name a window's source goes by, and the folder it is compiled in.
QString sourceName(const TFileMDIChild* w)
{
    const QString f = w->source()->fileName();
    return f.isEmpty() ? QDir::currentPath() + QLatin1Char('/') + javatext::sourceFileName(QStringLiteral("Untitled"))
                       : QDir::cleanPath(QFileInfo(f).absoluteFilePath());
}

QString readDisk(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? diskSourceText(f.readAll()) : QString();
}

}  // namespace

RenameController::RenameController(TFileMDIClient& workspace, CommandTable& table)
    : QObject(&workspace), ws_(workspace), service_(&workspace, [this](CompileService* s) {
          connect(s, &CompileService::answered, this, &RenameController::onAnswered);
          connect(s, &CompileService::queryFailed, this, &RenameController::onQueryFailed);
      })
{
    table.on(cmd::Rename, [this] {
        if (TFileMDIChild* c = ws_.currentEditor())
            rename(c);
    });
    table.enabler(cmd::Rename, [this](CommandState& s) {
        TFileMDIChild* c = ws_.currentEditor();
        s.enabled = c && !c->isProject() && !c->source()->isReadOnly();
    });
}

void RenameController::refuse(const QString& text)
{
    ws_.showStatus(QString());
    dialogs().message(from_ ? static_cast<QWidget*>(from_) : nullptr, text, QStringLiteral("Rename"), Buttons::Ok,
                      Icon::Warning);
}

void RenameController::rename(TFileMDIChild* window)
{
    from_ = window;
    EditControl* e = window->editor();
    const QString text = window->source()->rawText();
    const QString old = identifierAt(text, e->textCursor().position());
    if (old.isEmpty()) {
        refuse(
            QStringLiteral("There is no name at the caret. Put the caret on a local, parameter, field, method "
                           "or type, and choose Rename again."));
        return;
    }
    const std::optional<QString> name = dialogs().askText(window, QStringLiteral("Rename"),
                                                          QStringLiteral("&New name of '%1':").arg(old), old);
    if (!name || name->trimmed() == old)
        return;
    const QString file = sourceName(window);
    const QString dir = QFileInfo(file).absolutePath();
    CompileService* s = service_.ready(dir);
    if (!s) {
        refuse(compileServiceHeldUntilCompile()
                   ? QStringLiteral("Rename needs the compile service, which starts with the first Java Compile (F9) "
                                    "here: compile once, then rename again.")
                   : QStringLiteral("The compile service is not ready yet: try Rename again in a moment."));
        return;
    }
    if (id_)
        s->cancel(id_);
    RenameRequest r{0, dir, file, e->textCursor().position(), name->trimmed(), {}, {}, {}};
    sent_.clear();
    windows_.clear();
    for (TFileMDIChild* c : ws_.editors()) {
        if (c->isProject() || (c != window && c->source()->fileName().isEmpty()))
            continue;
        const QString path = sourceName(c);
        if (!path.endsWith(QLatin1String(".java")) || sent_.contains(path))
            continue;
        sent_.insert(path, c->source()->rawText());
        windows_.insert(path, c);
        r.open << RenameSource{path, sent_.value(path)};
    }
    for (const QString& p : otherSources(file)) {
        if (!sent_.contains(p))
            r.others << p;
    }
    r.options = CompileService::withoutJvmOptions(makeargsList(file));
    newName_ = r.newName;
    id_ = s->query(r);
    ws_.showStatus(id_ ? QStringLiteral("Rename: looking for the places of '%1'...").arg(old) : QString());
}

void RenameController::onAnswered(quint64 id, const ServiceReply& reply)
{
    if (!id || id != id_)
        return;
    id_ = 0;
    ws_.showStatus(QString());
    if (const auto* no = std::get_if<UnrenamedReply>(&reply)) {
        refuse(QStringLiteral("Cannot rename to '%1': %2.").arg(newName_, no->reason));
        return;
    }
    if (const auto* yes = std::get_if<RenamedReply>(&reply))
        preview(*yes);
}

void RenameController::onQueryFailed(quint64 id, const QString& reason)
{
    if (!id || id != id_)
        return;
    id_ = 0;
    if (reason != QLatin1String("cancelled"))
        refuse(QStringLiteral("The places to rename could not be found: %1. Try Rename again.").arg(reason));
}

QStringList RenameController::otherSources(const QString& file) const
{
    // The project window's sources when it lists this one.
    if (TFileMDIChild* p = ws_.projectWindow(); p && !p->source()->fileName().isEmpty()) {
        const QStringList listed = listedSources(p->source()->fileName(), p->source()->rawText());
        if (listed.contains(file))
            return listed;
    }
    return renameProjectSources(file);
}

QString RenameController::textSought(const QString& path) const
{
    return sent_.contains(path) ? sent_.value(path) : readDisk(path);
}

bool RenameController::changedSinceAsked() const
{
    for (auto it = sent_.begin(); it != sent_.end(); ++it) {
        TFileMDIChild* w = windows_.value(it.key());
        if (!w || w->source()->rawText() != it.value())
            return true;
    }
    return false;
}

void RenameController::preview(const RenamedReply& reply)
{
    if (reply.places.isEmpty()) {
        refuse(QStringLiteral("'%1' is named nowhere in the sources: nothing to rename.").arg(reply.oldName));
        return;
    }
    const QList<RenameFileEdits> files = renameEditsByFile(reply.places);
    QList<RenamePreviewRow> rows;
    for (const RenameFileEdits& f : files) {
        const QString text = textSought(f.path);
        for (const RenamePlace& p : f.places)
            rows << renamePreviewRow(QFileInfo(f.path).fileName(), text, p.offset);
    }
    const QString title = QStringLiteral("Rename '%1' to '%2'").arg(reply.oldName, newName_);
    if (!dialogs().renamePreview(from_, title, rows, reply.note))
        return;
    if (changedSinceAsked()) {
        refuse(
            QStringLiteral("A source changed, or its window closed, while the places were sought: nothing "
                           "was renamed. Choose Rename again."));
        return;
    }
    QStringList skipped;
    for (const RenameFileEdits& f : files) {
        if (!applyTo(f, reply.oldName))
            skipped << QFileInfo(f.path).fileName();
    }
    if (from_)
        ws_.bringToFront(from_);
    if (!skipped.isEmpty())
        refuse(QStringLiteral("These sources were not changed, since their text is not the one the places were "
                              "found in: %1. Choose Rename again for them.")
                   .arg(skipped.join(QStringLiteral(", "))));
    const qsizetype changed = files.size() - skipped.size();
    ws_.showStatus(QStringLiteral("Renamed '%1' to '%2': %3 %4 in %5 %6; save the files changed")
                       .arg(reply.oldName, newName_)
                       .arg(reply.places.size())
                       .arg(reply.places.size() == 1 ? QStringLiteral("place") : QStringLiteral("places"))
                       .arg(changed)
                       .arg(changed == 1 ? QStringLiteral("file") : QStringLiteral("files")));
}

bool RenameController::applyTo(const RenameFileEdits& file, const QString& oldName)
{
    TFileMDIChild* w = windows_.value(file.path);
    const bool wasOpen = w != nullptr;
    if (!w)
        w = ws_.places().windowShowing(file.path);
    const QString disk = wasOpen ? QString() : readDisk(file.path);
    if (!w) {
        ws_.useDialogRecord(TFileMDIClient::DialogKind::JavaSource);
        w = ws_.openEditor(EditorKind::JavaSource, file.path);
    }
    if (!w || w->source()->isReadOnly())
        return false;
    const QString text = w->source()->rawText();
    QList<int> starts;
    for (const RenamePlace& p : file.places) {
        const int at = wasOpen ? p.offset : editorOffset(disk, p.offset);
        if (text.mid(at, p.length) != oldName)
            return false;
        starts << at;
    }
    QTextCursor c(w->editor()->document());
    c.beginEditBlock();  // one undo step for the file
    for (qsizetype i = starts.size() - 1; i >= 0; --i) {
        c.setPosition(starts[i]);
        c.setPosition(starts[i] + int(oldName.size()), QTextCursor::KeepAnchor);
        c.insertText(newName_);
    }
    c.endEditBlock();
    return true;
}
