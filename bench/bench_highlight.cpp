// SPDX-License-Identifier: GPL-3.0-or-later
// Opening cost of Java colouring: a generated 10 MB Java source is given to a
// bare QTextEdit and to one with a JavaHighlighter attached, each timed from
// setPlainText until it is shown and editable. Also times a jump to the end
// (the first state scan through the whole text) and typing there.
#include "editor/highlighter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>

static QString javaSource(qsizetype bytes)
{
    QString s;
    s.reserve(bytes + 4096);
    s += QStringLiteral(
        "package bench.generated;\n\nimport java.util.*;\n\n/**\n * Generated for timing.\n */\npublic class Big "
        "{\n");
    int n = 0;
    while (s.size() < bytes) {
        s += QStringLiteral(
                 "    /* Method %1: adds up the values\n"
                 "       and returns the total. */\n"
                 "    @Override\n"
                 "    public int method%1(final int[] values, String label) {\n"
                 "        int total = 0x%1 + 12_345L > 0 ? 0 : 1; // running total\n"
                 "        for (int i = 0; i < values.length; i++) {\n"
                 "            total += values[i] * 3.5e-2 > 1 ? 1 : 0;\n"
                 "        }\n"
                 "        if (label != null && label.equals(\"total \\\"%1\\\"\")) {\n"
                 "            System.out.println(label + ':' + total);\n"
                 "        }\n"
                 "        return total;\n"
                 "    }\n\n")
                 .arg(n++);
    }
    s += QStringLiteral("}\n");
    return s;
}

static void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

static double openOnce(const QString& text, bool colour, double* jumpMs, double* typeMs, double* scrollMs = nullptr)
{
    QTextEdit edit;
    edit.resize(900, 700);
    JavaHighlighter* h = colour ? new JavaHighlighter(&edit) : nullptr;
    QElapsedTimer t;
    t.start();
    edit.setPlainText(text);
    edit.show();
    settle();
    const double open = t.nsecsElapsed() / 1e6;
    if (jumpMs) {
        t.restart();
        edit.moveCursor(QTextCursor::End);
        edit.ensureCursorVisible();
        settle();
        *jumpMs = t.nsecsElapsed() / 1e6;
        t.restart();
        for (int k = 0; k < 20; ++k) {
            edit.textCursor().insertText(QStringLiteral("x"));
            settle();
        }
        *typeMs = t.nsecsElapsed() / 1e6 / 20;
        // A jump to the middle: new blocks to colour once the layout is done.
        QScrollBar* bar = edit.verticalScrollBar();
        t.restart();
        bar->setValue(bar->maximum() / 2);
        settle();
        *scrollMs = t.nsecsElapsed() / 1e6;
    }
    (void)h;
    return open;
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString text = javaSource(10 * 1024 * 1024);
    std::printf("source: %lld characters, %lld lines\n", (long long)text.size(),
                (long long)text.count(QLatin1Char('\n')));

    double bare = 1e300, coloured = 1e300;
    for (int round = 0; round < 3; ++round) {
        bare = std::min(bare, openOnce(text, false, nullptr, nullptr));
        coloured = std::min(coloured, openOnce(text, true, nullptr, nullptr));
    }
    double jumpBare = 0, typeBare = 0, jump = 0, type = 0, scrollBare = 0, scroll = 0;
    openOnce(text, false, &jumpBare, &typeBare, &scrollBare);
    openOnce(text, true, &jump, &type, &scroll);
    std::printf("bare QTextEdit open: %.1f ms\n", bare);
    std::printf("with JavaHighlighter open: %.1f ms\n", coloured);
    std::printf("jump to end: bare %.1f ms, coloured %.1f ms\n", jumpBare, jump);
    std::printf("typing at the end, per key: bare %.2f ms, coloured %.2f ms\n", typeBare, type);
    std::printf("scroll to the middle: bare %.1f ms, coloured %.1f ms\n", scrollBare, scroll);
    std::printf("ratio: %.3f\n", coloured / bare);
    return 0;
}
