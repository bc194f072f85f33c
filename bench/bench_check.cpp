// SPDX-License-Identifier: GPL-3.0-or-later
// A check of a 1,000-line source with one error through the warm compile
// service (from the request to the diagnostics) against a javac process
// compiling the same file, in the same run.
#include "bench_support.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace bench;

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    const QString capture = tmp.filePath("capture.err");

    // 1,000 lines: fields and small methods, one error near the end.
    QByteArray text = "import java.util.*;\npublic class Big {\n";
    int lines = 2;
    for (int i = 0; lines + 5 <= 998; ++i) {
        text += "    private final List<String> names" + QByteArray::number(i) + " = new ArrayList<>();\n";
        text += "    int count" + QByteArray::number(i) + "(String s) {\n";
        text += "        int n = 0; for (char c : s.toCharArray()) if (c == 'a') n++;\n";
        text += "        return n + names" + QByteArray::number(i) + ".size();\n    }\n";
        lines += 5;
    }
    for (; lines < 998; ++lines)
        text += "    // nothing\n";
    text += "    int broken() { return \"not a number\"; }\n}\n";
    lines += 2;
    const QString file = dir + "/Big.java";
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return 1;
    f.close();

    CompileService service;
    service.setJar(QStringLiteral(BP_SERVICE_JAR));
    if (service.jar().isEmpty()) {
        std::fprintf(stderr, "built without the compile service (no JDK at configure time)\n");
        return 1;
    }
    service.start(ServiceSetup{CompileService::javaBinFor(kJavac), CompileService::jvmOptionsFor({}), dir});
    QElapsedTimer wait;
    wait.start();
    while (service.state() == CompileService::State::Starting && wait.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (service.state() != CompileService::State::Ready) {
        std::fprintf(stderr, "the compile service did not start: %s\n", qPrintable(service.lastError()));
        return 1;
    }

    const QString source = QString::fromUtf8(text);
    std::vector<double> checks, colds;
    for (int round = 0; round < 7; ++round) {
        QEventLoop loop;
        int found = -1;
        QObject ctx;
        QObject::connect(&service, &CompileService::checked, &ctx, [&](quint64, const QList<ServiceDiagnostic>& d) {
            found = int(d.size());
            loop.quit();
        });
        QObject::connect(&service, &CompileService::checkFailed, &ctx, [&](quint64, const QString&) { loop.quit(); });
        QElapsedTimer t;
        t.start();
        service.check(file, source, {}, dir);
        loop.exec();
        checks.push_back(t.nsecsElapsed() / 1e6);
        if (found != 1) {
            std::fprintf(stderr, "the check found %d messages, not 1\n", found);
            return 1;
        }

        t.restart();
        const CompileOutcome o = runJavacBlocking(kJavac, {file}, dir, capture);
        colds.push_back(t.nsecsElapsed() / 1e6);
        if (o.kind != CompileOutcome::Failed)
            return 1;
    }
    const double r = median(checks) / median(colds);
    std::printf("check of %d lines, one error: service %.1f ms, javac %.1f ms (medians of 7), ratio %.3f\n", lines,
                median(checks), median(colds), r);
    std::printf("ratio: %.3f\n", r);
    return 0;
}
