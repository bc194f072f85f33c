// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/fileexchange.h"

#include "editor/saveproposal.h"
#include "editor/textdoc.h"
#include "platform/dialogs.h"
#include "platform/nativepath.h"

#include <QFileInfo>
#include <QTextDocument>

void FileExchange::setReadOnlyFor(SourceDocument::ReadOnlyReason why)
{
    readOnlyReason_ = why;
    doc_.setReadOnly(why != SourceDocument::ReadOnlyReason::None);
}

bool FileExchange::load(const QString& name)
{
    const EditedFile::Reading r = file_.read(name);
    if (r.outcome != EditedFile::Reading::Outcome::Read) {
        refuseLoad(name, r);
        return false;
    }
    doc_.showText(r.text);
    file_.took(name, r);
    switch (r.text.obstacle) {
    case DecodedText::Obstacle::None: setReadOnlyFor(SourceDocument::ReadOnlyReason::None); break;
    case DecodedText::Obstacle::NulBytes: setReadOnlyFor(SourceDocument::ReadOnlyReason::NotText); break;
    case DecodedText::Obstacle::BrokenUtf16: setReadOnlyFor(SourceDocument::ReadOnlyReason::BrokenUtf16); break;
    }
    emit doc_.fileNameChanged(file_.name());
    tellReadOnly();
    return true;
}

void FileExchange::tellReadOnly()
{
    QString why;
    if (readOnlyReason_ == SourceDocument::ReadOnlyReason::NotText)
        why = QStringLiteral("is not a text file: it holds NUL bytes");
    else if (readOnlyReason_ == SourceDocument::ReadOnlyReason::BrokenUtf16)
        why = QStringLiteral("starts as UTF-16 text but holds an odd number of bytes");
    if (!why.isEmpty())
        dialogs().message(doc_.dialogParent(),
                          QStringLiteral("The file %1 %2, which Brewpad cannot save as they are. It is shown "
                                         "read-only, so that it cannot be changed by a save.")
                              .arg(file_.name(), why),
                          QString(), Buttons::Ok, Icon::Information);
}

void FileExchange::refuseLoad(const QString& name, const EditedFile::Reading& r)
{
    if (r.outcome == EditedFile::Reading::Outcome::Unreadable) {
        dialogs().message(doc_.dialogParent(), QStringLiteral("Unable to read file %1 from disk.").arg(name));
        if (r.lockOut)
            setReadOnlyFor(SourceDocument::ReadOnlyReason::Unreadable);
        emit doc_.fileNameChanged(file_.name());
        return;
    }
    const QString shown = nativepath::absolute(name);
    if (r.lockOut) {
        // A window that shows nothing of the file may not write over it.
        setReadOnlyFor(SourceDocument::ReadOnlyReason::Unreadable);
        emit doc_.fileNameChanged(file_.name());
    }
    dialogs().message(doc_.dialogParent(),
                      r.firstLoad
                          ? QStringLiteral("The file %1 %2. It is shown empty and read-only.").arg(shown, r.refusal)
                          : QStringLiteral("The file %1 %2. It was not loaded again: the window keeps its text.")
                                .arg(shown, r.refusal),
                      QString(), Buttons::Ok, Icon::Stop);
}

bool FileExchange::write(const QString& name)
{
    const DocumentText t = documentText(*doc_.text(), file_.format().lineEnd);
    const EditedFile::Writing w = file_.write(name, t.text, t.breaks);
    if (!w.ok) {
        // The reason follows on a line of its own.
        dialogs().message(doc_.dialogParent(),
                          QStringLiteral("Unable to write file %1 to disk.\n\n%2").arg(name, w.why));
        return false;
    }
    if (w.fellBackToUtf8) {
        dialogs().message(doc_.dialogParent(),
                          QStringLiteral("The text of %1 holds characters that Windows-1252 cannot "
                                         "hold, so the file was saved as UTF-8.")
                              .arg(name),
                          QString(), Buttons::Ok, Icon::Information);
    }
    doc_.text()->setModified(false);
    return true;
}

bool FileExchange::confirmOverwrite(const QString& name)
{
    if (!file_.changedSinceKnown(name))
        return true;
    return dialogs().message(doc_.dialogParent(),
                             QStringLiteral("The file %1 was changed on disk after Brewpad read it.\n\n"
                                            "Overwrite it with the text of this window?")
                                 .arg(name),
                             QString(), Buttons::YesNo, Icon::Warning) == Answer::Yes;
}

SourceDocument::DiskChange FileExchange::checkDiskChange()
{
    if (!file_.changeToAskAbout())
        return SourceDocument::DiskChange::None;
    const QString name = file_.name();
    if (doc_.text()->isModified()) {
        const Answer a = dialogs().message(
            doc_.dialogParent(),
            QStringLiteral("The file %1 was changed on disk.\n\nLoad it again and lose the changes made in "
                           "this window?")
                .arg(name),
            QString(), Buttons::YesNo, Icon::Question);
        if (a != Answer::Yes)
            return SourceDocument::DiskChange::Kept;
    }
    // The caret and the view stay where they were, as far as the new text reaches.
    doc_.keepPlace_ = true;
    const bool loaded = load(name);
    doc_.keepPlace_ = false;
    if (!loaded)
        return SourceDocument::DiskChange::Kept;
    return SourceDocument::DiskChange::Reloaded;
}

bool FileExchange::save()
{
    if (!doc_.text()->isModified())
        return true;
    if (refuseReadOnlySave())
        return false;
    if (file_.name().isEmpty())
        return saveAs();
    if (!confirmOverwrite(file_.name()))
        return false;
    return write(file_.name());
}

bool FileExchange::refuseReadOnlySave()
{
    if (!doc_.isReadOnly())
        return false;
    dialogs().message(doc_.dialogParent(),
                      QStringLiteral("The file %1 is shown read-only and cannot be saved.").arg(file_.name()),
                      QString(), Buttons::Ok, Icon::Information);
    return true;
}

bool FileExchange::saveAs()
{
    if (refuseReadOnlySave())
        return false;
    if (file_.name().isEmpty())
        proposeSaveName(saveData_, doc_.text()->toPlainText());
    else
        saveData_.fileName = file_.name();
    if (!dialogs().saveFile(doc_.dialogParent(), saveData_))
        return false;
    const QString name = nativepath::absolute(saveData_.fileName);
    if (!write(name))
        return false;
    file_.setName(name);
    emit doc_.fileNameChanged(name);
    return true;
}

Answer FileExchange::askToSave()
{
    const QString shown = file_.name().isEmpty() ? QStringLiteral("Untitled") : file_.name();
    return dialogs().message(
        doc_.dialogParent(),
        QStringLiteral("The text in the %1 file has changed.\n\nDo you want to save the changes?").arg(shown),
        QString(), Buttons::YesNoCancel, Icon::Question);
}

bool FileExchange::canClose()
{
    if (!doc_.text()->isModified())
        return true;
    const Answer a = askToSave();
    if (a == Answer::Cancel)
        return false;
    if (a == Answer::No)
        return true;
    return save();
}
