// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a 10 MB Java source in an editor window against a bare QTextEdit
// given the same text. Last line: "ratio: <Brewpad's time / bare widget's time>".
#include "bench_workspace.h"
#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "resources/resources.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace bench;

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initBrewpadResources();
    QTemporaryDir dir;
    const QString path = dir.filePath("Big.java");
    const QByteArray bytes = bench::generatedJavaSource("Big", 10 * 1024 * 1024, 0);
    writeFile(path, bytes);
    const QString text = QString::fromUtf8(bytes);

    ShownWorkspace shown;
    TFileMDIClient* client = shown.client;

    std::vector<double> bare, brewpad;
    for (int round = 0; round < 3; ++round) {
        {
            QElapsedTimer t;
            t.start();
            QTextEdit edit;
            edit.resize(900, 600);
            edit.setPlainText(text);
            edit.show();
            settle();
            bare.push_back(t.nsecsElapsed() / 1e6);
        }
        settle();
        {
            QElapsedTimer t;
            t.start();
            client->CmMRUFileOpenJava(path);
            settle();
            TFileMDIChild* c = client->currentEditor();
            if (!c || c->editor()->document()->characterCount() < bytes.size() / 2)
                return 2;
            brewpad.push_back(t.nsecsElapsed() / 1e6);
            c->approveClose();
            c->close();
            settle();
        }
    }
    const double b = median(bare), w = median(brewpad);
    std::printf("file: %.1f MB\n", bytes.size() / 1048576.0);
    std::printf("bare QTextEdit setPlainText + show: %.1f ms (median of %zu)\n", b, bare.size());
    std::printf("Brewpad editor window open + show:   %.1f ms (median of %zu)\n", w, brewpad.size());
    std::printf("ratio: %.3f\n", w / b);
    return 0;
}
