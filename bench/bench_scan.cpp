// Times the classification of large generated Java sources, dense with
// comments and white space, against one squeezing pass of `tr -s` over the
// largest of them. Last line: "ratio: <Brewpad's time / tr's time>".
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

#include "build/classify.h"

namespace {

// A source of about `bytes` bytes: class Big with many commented,
// loosely indented members and its main method at the very end.
QByteArray makeSource(qint64 bytes)
{
    QByteArray src;
    src.reserve(bytes + 4096);
    src += "/*\n * Generated   source   for timing.\n */\nimport java.util.*;   // utilities\n\n";
    src += "public class Big {\n";
    for (int i = 0; src.size() < bytes; ++i) {
        const QByteArray n = QByteArray::number(i);
        src += "    /**\n"
               "     * Member " + n + ":   a   block   comment\n"
               "     *   with   a   few   lines   of   text.\n"
               "     */\n"
               "    private  int  field" + n + "  =  " + n + " ;   // trailing   note\n"
               "\n"
               "\t\tpublic  int  get" + n + " ( int  a ,  int  b )  {\n"
               "        // body   follows\n"
               "        return   a  +  b  +  field" + n + " ; /* sum */\n"
               "    }\n"
               "\n\n";
    }
    src += "    public static void main(String[] args) {\n        System.out.println(\"done\");\n    }\n}\n";
    return src;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Best of a few runs, in seconds.
template <class F>
double bestOf(int runs, F f)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, double(t.nsecsElapsed()) / 1e9);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary directory\n");
        return 1;
    }

    const qint64 mb = 1024 * 1024;
    const qint64 sizes[] = {1 * mb, 10 * mb, 100 * mb};
    double times[3] = {};
    QString bigPath;
    for (int i = 0; i < 3; ++i) {
        // Each in a folder of its own, named after its class.
        const QString sub = QStringLiteral("size%1").arg(i);
        if (!QDir(dir.path()).mkdir(sub)) {
            std::fprintf(stderr, "cannot create a folder\n");
            return 1;
        }
        const QString path = dir.filePath(sub + QStringLiteral("/Big.java"));
        if (!writeFile(path, makeSource(sizes[i]))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        int verdict = -1;
        QString name;
        // More runs for the small files: a busy machine disturbs them most.
        const int runs[] = {21, 11, 5};
        times[i] = bestOf(runs[i], [&] {
            const ScanResult r = scanJavaFile(path);
            verdict = r.verdict;
            name = r.className;
        });
        std::printf("classify %4lld MB: %.4f s (verdict %d, class %s)\n", sizes[i] / mb, times[i], verdict,
                    qPrintable(name));
        bigPath = path;
    }
    std::printf("growth 1->10 MB: %.2fx, 10->100 MB: %.2fx\n", times[1] / times[0], times[2] / times[1]);

    bool trOk = true;
    const double trTime = bestOf(5, [&] {
        QProcess tr;
        tr.setStandardInputFile(bigPath);
        tr.setStandardOutputFile(QProcess::nullDevice());
        tr.start(QStringLiteral("tr"), {QStringLiteral("-s"), QStringLiteral(" \t\n")});
        if (!tr.waitForFinished(-1) || tr.exitStatus() != QProcess::NormalExit || tr.exitCode() != 0)
            trOk = false;
    });
    if (!trOk) {
        std::fprintf(stderr, "tr could not be run\n");
        return 1;
    }
    std::printf("tr -s 100 MB: %.4f s\n", trTime);
    std::printf("ratio: %.3f\n", times[2] / trTime);
    return 0;
}
