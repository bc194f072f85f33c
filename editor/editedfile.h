// SPDX-License-Identifier: GPL-3.0-or-later
// The file an edit control shows, as it stands on disk (QtCore only): its
// name, its encoding and line ends, and the state in which the control last
// read or wrote it, so that a change made by anything else is seen. It reads
// and writes the file; the control shows the text and asks the user.
#pragma once
#include "editor/diskfile.h"
#include "editor/textfile.h"

#include <QString>

#include <cstddef>
#include <vector>

class EditedFile {
public:
    // The file's absolute name; empty while untitled.
    QString name() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    const TextFormat& format() const { return format_; }
    void setLineEnd(TextFormat::LineEnd le) { format_.lineEnd = le; }

    // What read() found.
    struct Reading {
        enum class Outcome {
            Read,        // `text` holds the file's text
            Refused,     // no regular file, or too large: `refusal` says why
            Unreadable,  // the file could not be read
        };
        Outcome outcome = Outcome::Read;
        // The file was the first one named: the control showed no file yet.
        bool firstLoad = false;
        // Refused or Unreadable: the control may not write over the file,
        // whose content nobody saw (it shows the file read-only).
        bool lockOut = false;
        QString refusal;  // the words that follow "The file NAME "
        DecodedText text;
        FileStamp stamp;       // the state of the file that was read
        std::size_t hash = 0;  // of the bytes read
    };
    // Reads the file `path`: only a regular file of up to MaxEditBytes, never
    // with a blocking open. A refused or unreadable file takes the place of
    // the one named (when there was none, or when it could not be read) and
    // its state is not asked about again; the text read is taken by took()
    // once the control shows it.
    Reading read(const QString& path);
    // The file read is the one now shown: its name, format and state.
    void took(const QString& path, const Reading& r);

    // What write() did.
    struct Writing {
        bool ok = false;
        QString why;                  // the reason of a failure
        bool fellBackToUtf8 = false;  // the text needed UTF-8 (and now has it)
    };
    // Encodes the text ('\n' for each break of `breaks`) and writes it to
    // `path` with a SafeFileWriter; on success the written state is the known one.
    Writing write(const QString& path, const QString& text, const std::vector<LineBreak>& breaks);

    // True when `path` exists and was changed since the control read or wrote it.
    bool changedSinceKnown(const QString& path);
    // True, once for each new state of the shown file, when it exists and was
    // changed since the control read or wrote it.
    bool changeToAskAbout();

private:
    // True when the file, whose stamp is now `now`, holds what the control
    // last read or wrote: its stamp is that one, or only its change time moved
    // and its bytes are the same (then the stamp is taken as the file's).
    bool unchangedOnDisk(const QString& path, const FileStamp& now);

    QString name_;
    TextFormat format_ = TextFormat::hostDefault();
    FileStamp stamp_;              // the file as last read or written
    FileStamp askedStamp_;         // the state of the file the user was last asked about
    std::size_t contentHash_ = 0;  // of the bytes last read or written
};
