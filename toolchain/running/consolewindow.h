// SPDX-License-Identifier: GPL-3.0-or-later
// The "Console" window: what the program Brewpad runs writes to its standard
// output (and, in another colour, to its standard error) as it is written, a
// line where the user types the program's input (Enter sends the line, Ctrl+D
// ends the input), and Brewpad's notes (how the program ended). A line of a
// stack trace is a link: double-click or Enter on it asks for its source.
// The window keeps the last `ConsoleLog::limit()` lines and says how many it
// dropped. It knows nothing of processes: it shows what it is given and
// signals what the user does.
#pragma once
#include "toolchain/running/consolelog.h"
#include "toolchain/running/stacktraceline.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTimer;

class ConsoleWindow : public QWidget {
    Q_OBJECT
public:
    explicit ConsoleWindow(QWidget* parent = nullptr, int limit = 100000);

    // Clears the window for a program about to start; `title` (the command)
    // is the first line, and the input line is enabled.
    void begin(const QString& title);
    void appendOutput(const QByteArray& bytes);
    void appendError(const QByteArray& bytes);
    // The program has ended: `text` ("Program ended with exit code 0") is the
    // last line, and the input line is disabled.
    void end(const QString& text);
    // A note of Brewpad's own on a line of its own (processes left running).
    void note(const QString& text);
    // Ends the program's input, as Ctrl+D does: inputEnded() follows.
    void endInput();

    // What the window shows, once what arrived is shown (for screen readers'
    // and tests' eyes).
    QString shownText();
    qint64 droppedLines() const { return log_.dropped(); }
    bool inputOpen() const;

    // Shows at once what has arrived (the window otherwise shows it on its
    // next refresh, a few times a second at most).
    void flush();
    // True when everything that arrived is shown.
    bool allShown() const { return !log_.pending(); }

signals:
    void input(const QByteArray& line);  // with its line feed
    void inputEnded();
    void openSource(const StackTraceLocation& location);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scheduleFlush();
    void showSlice(const std::deque<ConsoleSegment>& segments);
    void sendInput();
    void closeInputLine();
    void followLink();
    void updateNote();

    ConsoleLog log_;
    QPlainTextEdit* view_;
    QLineEdit* inputLine_;
    QLabel* note_;
    QTimer* flushTimer_;
};
