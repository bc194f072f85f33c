// SPDX-License-Identifier: GPL-3.0-or-later
// Every test program runs with a QApplication on the offscreen platform, so that
// widget tests and plain tests share one main. Each test starts from the build
// settings and tool paths of a fresh start, whatever the tests before it did.
#include "support.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class FreshStart : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { resetProgramGlobals(); }
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStart);
    return RUN_ALL_TESTS();
}
