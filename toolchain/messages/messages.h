// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the Java compiler's messages: where a message line points to, and the
// compiler's own error and warning counts.
#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The source file and line a compiler message names ("PATH:LINE: kind: text",
// as javac writes it). Line numbers start at 1.
struct MessageLocation {
    QString path;
    int line = 0;
};

// The location named at the start of a message line, or nothing when the line
// names no file and line (continuation lines, the echoed source line, the caret
// line, "Note: ..." and summary lines). A path may hold spaces and colons.
std::optional<MessageLocation> parseMessageLine(const QString& line);

// How grave a compiler message is: the word after "PATH:LINE: " ("error:",
// "warning:", "note:"); a message of another form counts as an error.
enum class MessageSeverity { Error, Warning, Note };

// One message of a capture that names a place in a source, read with the lines
// that follow its first line. javac writes
//     PATH:LINE: KIND: TEXT
//       more text (rare)
//     the source line, echoed
//         ^                        under the column it means
//       details (symbol:, location:, where ...)
struct CompilerMessage {
    QString path;  // as the compiler wrote it (see resolveMessagePath)
    int line = 0;  // 1-based
    // 1-based column of the "^" under the echoed source line, counting a tab
    // as one character as javac does; 0 when the message has no caret line.
    int column = 0;
    MessageSeverity severity = MessageSeverity::Error;
    // The message's first line after "KIND: ", and the lines between it and
    // the echoed source, joined by '\n' with their indentation removed.
    QString text;
    // The lines after the caret line, up to the next message, joined the same way.
    QString details;
    int row = 0;  // index of the message's first line in the capture's lines
};

// Every message of a capture's lines that names a file and line, in order.
// Lines naming no place ("Note: ...", summary lines, "warning: [options] ...")
// give no message. Pure: reads nothing but `lines`.
std::vector<CompilerMessage> parseCompilerMessages(const QStringList& lines);

// The messages of a capture file, with every path resolved by
// resolveMessagePath against the directory the compiler ran in. Empty when
// the file cannot be read.
std::vector<CompilerMessage> readCompilerMessages(const QString& captureFile, const QString& compilerDirectory);

// The characters a message's column points at in the text of its line, as
// [start, end) positions in `lineText` (0-based): the Java identifier or number
// the column stands in, else the single character there; an empty range at
// the nearest position inside the line when the column lies on a blank, past
// the end, or is 0.
struct TextSpan {
    int start = 0;
    int end = 0;
};
TextSpan wordAtColumn(QStringView lineText, int column);

// The counts of javac's summary lines ("1 error", "3 warnings"), added up over
// all of them (a capture may hold several runs). When javac stopped listing
// ("only showing the first 100 errors, of 120 total") the total is taken.
struct MessageSummary {
    int errors = 0;
    int warnings = 0;
};

MessageSummary summarizeMessages(const QStringList& lines);

// The summary of a capture file: summarizeMessages over its last lines, where
// javac writes its counts (only the file's last 64 KiB are read). Nothing
// counted when the file cannot be read.
MessageSummary summarizeCaptureFile(const QString& path);

// The file a message names: a relative path is taken relative to the
// directory the compiler ran in (`compilerDirectory`), never to the current
// one; the result is absolute and clean ("a/../B.java" becomes ".../B.java").
QString resolveMessagePath(const QString& path, const QString& compilerDirectory);

// The status-bar text for a summary, e.g. "Compiler messages: 2 errors, 1 warning";
// "Compiler messages: no errors or warnings counted" when there were none.
QString summaryText(const MessageSummary& summary);
