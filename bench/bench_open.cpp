// Opening a 10 MB Java source in an editor window against a bare QTextEdit
// given the same text. Last line: "ratio: <Brewpad's time / bare widget's time>".
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "resources/resources.h"
#include "workspace/client.h"

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

QByteArray generateSource(qsizetype size)
{
    QByteArray out;
    out.reserve(size + 4096);
    out += "package bench;\n\nimport java.util.*;\n\n/** A generated class. */\npublic class Big {\n";
    int n = 0;
    while (out.size() < size) {
        out += "    /* method " + QByteArray::number(n) + " */\n";
        out += "    public static int m" + QByteArray::number(n) + "(int a, String s) {\n";
        out += "        // add the length of \"s\" to a\n";
        out += "        int r = a + s.length() * " + QByteArray::number(n % 97) + ";\n";
        out += "        if (r > 100) { return r - 1; } else { return r + 0x1F; }\n    }\n\n";
        ++n;
    }
    out += "}\n";
    return out;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initBrewpadResources();
    QTemporaryDir dir;
    const QString path = dir.filePath("Big.java");
    const QByteArray bytes = generateSource(10 * 1024 * 1024);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }
    const QString text = QString::fromUtf8(bytes);

    QMainWindow frame;
    auto* client = new TFileMDIClient(TFileMDIClient::Startup::SkipConfiguration);
    frame.setCentralWidget(client);
    frame.resize(1000, 700);
    frame.show();
    settle();

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
