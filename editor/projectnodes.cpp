// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/projectnodes.h"

#include "editor/editcontrol.h"
#include "editor/textdoc.h"
#include "platform/dialogs.h"

#include <QTextBlock>
#include <QTextCursor>

ProjectNodes::ProjectNodes(EditControl* edit) : te(edit)
{
    ProjJavaData.flags = FileDialogRecord::HideReadOnly | FileDialogRecord::OverwritePrompt |
                         FileDialogRecord::FileMustExist;
    ProjJavaData.defaultExt = QStringLiteral("java");
    ProjJavaData.filter = FilterJava;
}

bool ProjectNodes::add(QWidget* owner)
{
    if (!dialogs().openFile(owner->window(), ProjJavaData))
        return false;
    // Every line of a project is one entry: a name with a line break in it
    // would become two.
    if (ProjJavaData.fileName.contains(QLatin1Char('\n')) || ProjJavaData.fileName.contains(QLatin1Char('\r'))) {
        QString shown = ProjJavaData.fileName;
        shown.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
        dialogs().message(owner,
                          QStringLiteral("The file name %1 holds a line break, which a project line cannot hold, "
                                         "so it was not added. Rename the file, then add it.")
                              .arg(shown),
                          QString(), Buttons::Ok, Icon::Warning);
        return false;
    }
    // The entry and its line end replace the selection, or go in at the caret.
    // An entry is written "%s\r\n" whatever line ends the other lines have: a
    // project that has no line end yet gets CR LF ones (no byte of the file
    // changes by that), and in any other the entry's own line end is CR LF.
    if (te->document()->blockCount() == 1)
        te->setLineEnd(TextFormat::LineEnd::CRLF);
    QTextCursor c = te->textCursor();
    c.beginEditBlock();
    c.insertText(ProjJavaData.fileName + QLatin1Char('\n'));
    c.endEditBlock();
    markLineBreak(te->document(), c.block(), LineBreak::CRLF);
    te->setTextCursor(c);
    return true;
}

void ProjectNodes::remove()
{
    // Removes the entry on the caret's line, its line end included.
    QTextCursor c = te->textCursor();
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
    te->setTextCursor(c);
}
