// SPDX-License-Identifier: GPL-3.0-or-later
// A keystroke in the middle of a 10,000-line Java source with 500 message
// marks in an editor window, against the same keystroke in a bare QTextEdit
// given the same text: the insertion, the layout and the repaint.
// Last line: "ratio: <Brewpad's time / bare widget's time>".
#include "bench_workspace.h"
#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "resources/resources.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace bench;

// Puts the caret in the middle of the text, inside a line, and shows it.
void toMiddle(QTextEdit* edit)
{
    const QTextBlock b = edit->document()->findBlockByNumber(edit->document()->blockCount() / 2 + 3);
    QTextCursor c(b);
    c.movePosition(QTextCursor::EndOfBlock);
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
    settle();
}

// The time of one keystroke: the key, then everything it makes the event
// loop do (layout, colouring, repaint), in milliseconds.
double keystroke(QTextEdit* edit, char key)
{
    QElapsedTimer t;
    t.start();
    QTest::keyClick(edit, key);
    QApplication::processEvents();
    edit->viewport()->repaint();
    QApplication::processEvents();
    return t.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initBrewpadResources();
    QTemporaryDir dir;
    const QString path = dir.filePath("Typing.java");
    const QByteArray bytes = bench::generatedJavaSource("Typing", 0, 10000);
    writeFile(path, bytes);
    const QString text = QString::fromUtf8(bytes);

    ShownWorkspace shown;
    TFileMDIClient* client = shown.client;

    client->CmMRUFileOpenJava(path);
    settle();
    TFileMDIChild* child = client->currentEditor();
    if (!child)
        return 2;
    child->showMaximized();
    EditControl* edit = child->editor();
    const int lines = edit->document()->blockCount();
    QList<TextMark> marks;
    for (int k = 0; k < 500; ++k) {
        const int line = 1 + int(qint64(k) * lines / 500);
        marks << TextMark{line, 9, k % 3 ? TextMark::Kind::Error : TextMark::Kind::Warning,
                          QStringLiteral("message %1").arg(k), false};
    }
    edit->source()->marks().setMessageMarks(marks);
    toMiddle(edit);

    QTextEdit bare;
    bare.resize(edit->size());
    bare.setPlainText(text);
    bare.show();
    settle();
    toMiddle(&bare);
    // The editor does not wrap lines, which costs a QTextEdit much on every
    // keystroke in a long text: the same bare widget without wrapping shows
    // what the editor adds on top of that.
    QTextEdit bareNoWrap;
    bareNoWrap.resize(edit->size());
    bareNoWrap.setLineWrapMode(QTextEdit::NoWrap);
    bareNoWrap.setPlainText(text);
    bareNoWrap.show();
    settle();
    toMiddle(&bareNoWrap);

    // Alternating, so that all three see the same load of the machine.
    constexpr int kKeys = 300;
    std::vector<double> bareTimes, noWrapTimes, brewpadTimes;
    for (int k = 0; k < kKeys; ++k) {
        const char key = char('a' + k % 26);
        bareTimes.push_back(keystroke(&bare, key));
        noWrapTimes.push_back(keystroke(&bareNoWrap, key));
        brewpadTimes.push_back(keystroke(edit, key));
    }
    if (edit->source()->marks().messageMarks().size() != 500)
        return 3;
    const double b = median(bareTimes), n = median(noWrapTimes), w = median(brewpadTimes);
    std::printf("text: %d lines, %d marks\n", lines, int(edit->source()->marks().messageMarks().size()));
    std::printf("bare QTextEdit keystroke:                 %.3f ms (median of %zu)\n", b, bareTimes.size());
    std::printf("bare QTextEdit without wrapping:          %.3f ms (median of %zu)\n", n, noWrapTimes.size());
    std::printf("Brewpad editor window keystroke:          %.3f ms (median of %zu)\n", w, brewpadTimes.size());
    std::printf("ratio against the one without wrapping: %.3f\n", w / n);
    std::printf("ratio: %.3f\n", w / b);
    child->approveClose();
    return 0;
}
