// SPDX-License-Identifier: GPL-3.0-or-later
// What the compile benchmarks share: one F9 through JavacRunner, timed.
#pragma once
#include "bench_support.h"
#include "toolchain/compiling/javacrunner.h"

#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace bench {

// JavacRunner from start() until finished(), in milliseconds; `argsFn` (the
// plan of the compilation) runs first, inside the timing. Stops the benchmark
// when the compilation fails, or when `wantService` is given and the service
// did or did not compile it against that wish.
template <class ArgsFn>
double timedRunner(ArgsFn argsFn, const QString& dir, const QString& capture,
                   std::optional<bool> wantService = std::nullopt)
{
    QElapsedTimer t;
    t.start();
    const QStringList args = argsFn();
    JavacRunner r;
    QEventLoop loop;
    CompileOutcome out;
    QObject::connect(&r, &JavacRunner::finished, &loop, [&](const CompileOutcome& o) {
        out = o;
        loop.quit();
    });
    r.start(kJavac, args, dir, capture);
    loop.exec();
    const double ms = t.nsecsElapsed() / 1e6;
    if (out.kind != CompileOutcome::Success) {
        std::fprintf(stderr, "compilation through JavacRunner failed (%d) %s\n", int(out.kind),
                     qPrintable(out.reason));
        std::exit(1);
    }
    if (wantService && r.usedService() != *wantService) {
        std::fprintf(stderr, "compiled, but not %s\n", *wantService ? "by the service" : "by javac");
        std::exit(1);
    }
    return ms;
}

}  // namespace bench
