// SPDX-License-Identifier: GPL-3.0-or-later
// Go to Definition and the outline of a 2,000-line source through the warm
// compile service, from the request to the answer: the declaration of a call
// near the end (the text compiled in memory) and the outline (a parse only).
#include "bench_support.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/servicenavigation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

using namespace bench;

// The answer to one question, and how long it took in milliseconds.
ServiceReply ask(CompileService& service, const ServiceRequest& request, double& ms)
{
    QEventLoop loop;
    ServiceReply reply = FailedReply{};
    QObject ctx;
    QObject::connect(&service, &CompileService::answered, &ctx, [&](quint64, const ServiceReply& r) {
        reply = r;
        loop.quit();
    });
    QObject::connect(&service, &CompileService::queryFailed, &ctx, [&](quint64, const QString&) { loop.quit(); });
    QElapsedTimer t;
    t.start();
    if (service.query(request) == 0)
        return reply;
    loop.exec();
    ms = t.nsecsElapsed() / 1e6;
    return reply;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    QString text = QStringLiteral("import java.util.*;\npublic class Big {\n");
    int lines = 2;
    for (int i = 0; lines + 6 <= 1999; ++i) {
        text += QStringLiteral(
                    "    private final List<String> names%1 = new ArrayList<>();\n"
                    "    int count%1(String s) {\n"
                    "        int n = 0; for (char c : s.toCharArray()) if (c == 'a') n++;\n"
                    "        return n + names%1.size() + helper();\n    }\n\n")
                    .arg(i);
        lines += 6;
    }
    text += QStringLiteral("    static int helper() { return 1; }\n}\n");
    lines += 2;
    const QString file = dir + QStringLiteral("/Big.java");
    const int call = int(text.lastIndexOf(QStringLiteral("helper();"))) + 2;

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
    std::vector<double> declarations, outlines;
    for (int round = 0; round < 9; ++round) {
        double ms = 0;
        const ServiceDeclaration d = declarationIn(
            ask(service, declarationRequest(file, text, call, dir, {}, dir), ms));
        if (!d.found || d.line != lines - 1) {
            std::fprintf(stderr, "the declaration was not found: %s\n", qPrintable(d.reason));
            return 1;
        }
        declarations.push_back(ms);
        const QList<OutlineRow> rows = outlineIn(ask(service, outlineRequest(file, text), ms));
        if (rows.size() < 600)
            return 1;
        outlines.push_back(ms);
    }
    std::printf("%d lines: declaration %.1f ms, outline %.1f ms (medians of 9, the service warm)\n", lines,
                median(declarations), median(outlines));
    return 0;
}
