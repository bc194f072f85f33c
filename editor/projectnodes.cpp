// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/projectnodes.h"

#include "editor/editcontrol.h"
#include "editor/textdoc.h"
#include "javatext/javasource.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

ProjectNodes::ProjectNodes(EditControl* edit) : edit_(edit)
{
    ProjJavaData.flags = FileDialogRecord::HideReadOnly | FileDialogRecord::OverwritePrompt |
                         FileDialogRecord::FileMustExist;
    ProjJavaData.defaultExt = javatext::sourceExtension;
    ProjJavaData.filter = FilterJava;
}

QStringList ProjectNodes::entriesFor(const QStringList& chosen)
{
    QStringList out;
    for (const QString& path : chosen) {
        if (!QFileInfo(path).isDir()) {
            out << path;
            continue;
        }
        const QDir folder(path);
        for (const QString& name :
             folder.entryList({javatext::sourceFileName(QStringLiteral("*"))}, QDir::Files, QDir::Name))
            out << folder.filePath(name);
    }
    return out;
}

bool ProjectNodes::mayAdd(QWidget* owner, const QString& path)
{
    // Every line of a project is one entry: a name with a line break in it
    // would become two.
    if (!path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r')))
        return true;
    QString shown = path;
    shown.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    dialogs().message(owner,
                      QStringLiteral("The file name %1 holds a line break, which a project line cannot hold, "
                                     "so it was not added. Rename the file, then add it.")
                          .arg(shown),
                      QString(), Buttons::Ok, Icon::Warning);
    return false;
}

bool ProjectNodes::add(QWidget* owner)
{
    // The dialog starts in the project's folder, then where it was used last.
    if (ProjJavaData.initialDir.isEmpty() && !edit_->source()->fileName().isEmpty())
        ProjJavaData.initialDir = QFileInfo(edit_->source()->fileName()).absolutePath();
    QStringList chosen;
    if (!dialogs().openFiles(owner->window(), ProjJavaData, chosen))
        return false;
    QStringList entries;
    for (const QString& path : entriesFor(chosen)) {
        if (mayAdd(owner, path))
            entries << path;
    }
    if (entries.isEmpty()) {
        if (chosen.size() == 1 && QFileInfo(chosen.first()).isDir())
            dialogs().message(owner,
                              QStringLiteral("The folder %1 holds no Java source (no file ending in .java), so "
                                             "nothing was added.")
                                  .arg(chosen.first()),
                              QString(), Buttons::Ok, Icon::Information);
        return false;
    }
    // The entries and their line ends replace the selection, or go in at the
    // caret. An entry is written "%s\r\n" whatever line ends the other lines
    // have: a project that has no line end yet gets CR LF ones (no byte of the
    // file changes by that), and in any other the entry's own line end is CR LF.
    if (edit_->document()->blockCount() == 1)
        edit_->source()->setLineEnd(TextFormat::LineEnd::CRLF);
    QTextCursor c = edit_->textCursor();
    const int first = edit_->document()->findBlock(c.selectionStart()).blockNumber();
    c.beginEditBlock();
    c.insertText(entries.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    c.endEditBlock();
    for (int n = first + 1; n <= c.block().blockNumber(); ++n)
        markLineBreak(edit_->document(), edit_->document()->findBlockByNumber(n), LineBreak::CRLF);
    edit_->setTextCursor(c);
    return true;
}

QString ProjectNodes::entrySource(const QString& line, const QString& projectDir)
{
    const QString entry = line.trimmed();
    if (entry.isEmpty() || line.startsWith(QLatin1Char('#')))
        return QString();
    return QDir::cleanPath(QDir(projectDir).absoluteFilePath(entry));
}

void ProjectNodes::watchEntries()
{
    edit_->viewport()->installEventFilter(this);
}

bool ProjectNodes::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonDblClick || watched != edit_->viewport())
        return QObject::eventFilter(watched, event);
    const auto* me = static_cast<QMouseEvent*>(event);
    if (me->button() != Qt::LeftButton)
        return false;
    const QTextCursor at = edit_->cursorForPosition(me->position().toPoint());
    const QString dir = edit_->source()->fileName().isEmpty() ? QDir::currentPath()
                                                              : QFileInfo(edit_->source()->fileName()).absolutePath();
    const QString source = entrySource(at.block().text(), dir);
    if (source.isEmpty())
        return false;
    edit_->setTextCursor(at);
    emit entryChosen(source);
    return true;
}

void ProjectNodes::remove()
{
    // Removes the entry on the caret's line, its line end included.
    QTextCursor c = edit_->textCursor();
    const QTextBlock block = c.block();
    c.beginEditBlock();
    c.setPosition(block.position());
    if (block.next().isValid())
        c.setPosition(block.next().position(), QTextCursor::KeepAnchor);
    else {
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        if (block.previous().isValid()) {
            // The last line: take the line end before it instead.
            c.setPosition(block.previous().position() + block.previous().length() - 1);
            c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        }
    }
    c.removeSelectedText();
    c.endEditBlock();
    edit_->setTextCursor(c);
}
