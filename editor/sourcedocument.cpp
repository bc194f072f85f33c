// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/sourcedocument.h"

#include "editor/editdefaults.h"
#include "editor/fileexchange.h"
#include "editor/sourcelayout.h"
#include "editor/textdoc.h"

#include <QTextCursor>
#include <QTextDocument>

SourceDocument::SourceDocument(QObject* parent)
    : QObject(parent), text_(new QTextDocument(this)), marks_(text_), exchange_(std::make_unique<FileExchange>(*this))
{
    // Laid out as source: an edit lays out only the lines it touches.
    text_->setDocumentLayout(new SourceLayout(text_));
    text_->setDefaultFont(GetLogFont());
    // Every line keeps its own line end, whatever is edited around it.
    LineBreakKeeper::of(text_);
}

SourceDocument::~SourceDocument() = default;

void SourceDocument::showText(const DecodedText& d)
{
    emit replacingText();
    // The text read takes the default font, and the marks stay on their places.
    marks_.keepWhile([this, &d] {
        text_->setPlainText(d.text);
        const bool undo = text_->isUndoRedoEnabled();
        text_->setUndoRedoEnabled(false);
        QTextCursor all(text_);
        all.select(QTextCursor::Document);
        all.setCharFormat(readTextFormat());
        text_->setUndoRedoEnabled(undo);
        markLineBreaks(text_, d);
    });
    text_->setModified(false);
    emit textReplaced(keepPlace_);
}

void SourceDocument::setReadOnly(bool on)
{
    if (readOnly_ == on)
        return;
    readOnly_ = on;
    emit readOnlyChanged(on);
}

QString SourceDocument::fileName() const
{
    return exchange_->file().name();
}

void SourceDocument::setFileName(const QString& name)
{
    exchange_->file().setName(name);
}

FileDialogRecord& SourceDocument::saveData()
{
    return exchange_->saveData();
}

const TextFormat& SourceDocument::textFormat() const
{
    return exchange_->file().format();
}

void SourceDocument::setLineEnd(TextFormat::LineEnd le)
{
    exchange_->file().setLineEnd(le);
}

SourceDocument::ReadOnlyReason SourceDocument::readOnlyReason() const
{
    return exchange_->readOnlyReason();
}

bool SourceDocument::loadFile(const QString& name)
{
    return exchange_->load(name);
}

bool SourceDocument::writeFile(const QString& name)
{
    return exchange_->write(name);
}

bool SourceDocument::save()
{
    return exchange_->save();
}

bool SourceDocument::saveAs()
{
    return exchange_->saveAs();
}

Answer SourceDocument::askToSave()
{
    return exchange_->askToSave();
}

bool SourceDocument::canClose()
{
    return exchange_->canClose();
}

SourceDocument::DiskChange SourceDocument::checkDiskChange()
{
    return exchange_->checkDiskChange();
}

QString SourceDocument::rawText() const
{
    return text_->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

QString SourceDocument::savedText() const
{
    const TextFormat::LineEnd usual = textFormat().lineEnd;
    const DocumentText t = documentText(*text_, usual);
    return joinLines(t.text, t.breaks, usual);
}
