// Reading the Java compiler's messages: where a message line points to, and the
// compiler's own error and warning counts.
#pragma once
#include <QString>
#include <QStringList>
#include <optional>

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

// The property of a message window that keeps the directory the compiler of
// its messages ran in.
inline constexpr char CompilerDirectoryProperty[] = "compilerDirectory";

// The file a message names: a relative path is taken relative to the
// directory the compiler ran in (`compilerDirectory`), never to the current
// one; the result is absolute and clean ("a/../B.java" becomes ".../B.java").
QString resolveMessagePath(const QString& path, const QString& compilerDirectory);

// The status-bar text for a summary, e.g. "Compiler messages: 2 errors, 1 warning";
// "Compiler messages: no errors or warnings counted" when there were none.
QString summaryText(const MessageSummary& summary);
