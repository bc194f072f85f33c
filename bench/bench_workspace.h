// SPDX-License-Identifier: GPL-3.0-or-later
// What the window benchmarks share: a main window holding Brewpad's workspace
// (without the search for the JDK), shown at a usual size.
#pragma once
#include "bench_support.h"
#include "workspace/workspace.h"

#include <QMainWindow>

namespace bench {

struct ShownWorkspace {
    QMainWindow frame;
    TFileMDIClient* client = new TFileMDIClient(TFileMDIClient::Startup::SkipConfiguration);

    ShownWorkspace()
    {
        frame.setCentralWidget(client);
        frame.resize(1000, 700);
        frame.show();
        settle();
    }
};

}  // namespace bench
