// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a compiler capture of 100,000 lines into the message window, against
// reading the same file line by line with std::getline; then scrolling to its end.
// With --big, a further run on a capture of about 200 MB (not part of the ratio).
#include "bench_support.h"
#include "toolchain/messages/messagewindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace bench;

QByteArray captureText(int lines)
{
    QByteArray out;
    out.reserve(qsizetype(lines) * 70);
    int n = 0;
    for (int i = 0; n < lines; ++i) {
        const QByteArray dir = (i % 50 == 0) ? QByteArray("/home/user/projects/").repeated(12)  // long paths
                                             : QByteArray("/home/user/src/app/");
        const QByteArray file = dir + "module" + QByteArray::number(i % 97) + "/Source" + QByteArray::number(i) +
                                ".java";
        out += file + ":" + QByteArray::number(i % 900 + 1) + ": error: cannot find symbol\n";
        out += "        value = compute" + QByteArray(i % 40, 'x') + "(input, " + QByteArray::number(i) + ");\n";
        out += "                ^\n";
        out += "  symbol:   method compute(int,int)\n";
        out += "  location: class Source" + QByteArray::number(i) + "\n";
        n += 5;
    }
    out += "100 errors\n";
    return out;
}

struct Painted : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

void untilPainted(Painted& painted)
{
    const int before = painted.count;
    do
        QApplication::processEvents();
    while (painted.count == before);
}

double getlineMs(const std::string& path, size_t& lines)
{
    QElapsedTimer t;
    t.start();
    std::ifstream in(path);
    std::vector<std::string> v;
    std::string line;
    while (std::getline(in, line))
        v.push_back(line);
    lines = v.size();
    return t.nsecsElapsed() / 1e6;
}

struct LoadTimes {
    double load;
    double scroll;
    int items;
};

LoadTimes loadMs(const QString& path)
{
    TBrowserWindow w(nullptr, QString());
    w.resize(900, 600);
    Painted painted;
    w.viewport()->installEventFilter(&painted);
    QApplication::processEvents();

    QElapsedTimer t;
    t.start();
    w.InsFile(path);
    w.show();
    untilPainted(painted);
    const double load = t.nsecsElapsed() / 1e6;

    t.restart();
    w.scrollToBottom();
    untilPainted(painted);
    const double scroll = t.nsecsElapsed() / 1e6;
    return {load, scroll, w.GetCount()};
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool big = argc > 1 && QByteArray(argv[1]) == "--big";

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bench.err"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(captureText(100000));
    }
    const std::string stdPath = path.toStdString();

    size_t lines = 0;
    getlineMs(stdPath, lines);  // warm the file cache
    std::vector<double> plain, load, scroll;
    int items = 0;
    for (int round = 0; round < 11; ++round) {
        plain.push_back(getlineMs(stdPath, lines));
        const LoadTimes t = loadMs(path);
        load.push_back(t.load);
        scroll.push_back(t.scroll);
        items = t.items;
    }
    std::printf("capture: %zu lines, %lld bytes\n", lines, (long long)QFile(path).size());
    std::printf("getline into std::vector<std::string>: %.1f ms (median of 11)\n", median(plain));
    std::printf("message window load and first paint: %.1f ms, %d items (median of 11)\n", median(load), items);
    std::printf("scroll to the end and paint: %.1f ms (median of 11)\n", median(scroll));

    if (big) {
        const QString bigPath = dir.filePath(QStringLiteral("Big.err"));
        {
            QFile f(bigPath);
            if (!f.open(QIODevice::WriteOnly))
                return 1;
            const QByteArray chunk = captureText(100000);
            while (f.size() < qint64(200) * 1000 * 1000)
                f.write(chunk);
        }
        size_t bigLines = 0;
        getlineMs(bigPath.toStdString(), bigLines);
        const double bigPlain = getlineMs(bigPath.toStdString(), bigLines);
        const LoadTimes t = loadMs(bigPath);
        std::printf("big capture: %zu lines, %lld bytes: getline %.0f ms, load %.0f ms, scroll %.1f ms\n", bigLines,
                    (long long)QFile(bigPath).size(), bigPlain, t.load, t.scroll);
    }

    std::printf("ratio: %.2f\n", median(load) / median(plain));
    return 0;
}
