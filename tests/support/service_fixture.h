// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of a real window whose editor asks the compile service (checks while
// typing, completion, navigation): the service of the test program's jar,
// started in the test's folder and shared as F9's is.
#pragma once
#include "compile_fixture.h"

#include "toolchain/compiling/compileservice.h"

#include <QFileInfo>
#include <QTemporaryDir>

class ServiceTest : public CompileTest {
protected:
    // Starts the service of `jar` with the real javac's JDK and waits until it
    // is ready; skips the test without a javac or a jar.
    void startService(const QString& jar)
    {
        if (!QFileInfo::exists(jar))
            GTEST_SKIP() << "built without the compile service";
        service = new CompileService;
        service->setJar(jar);
        service->start(
            ServiceSetup{CompileService::javaBinFor(javacOrSkip()), CompileService::jvmOptionsFor({}), dir.path()});
        ASSERT_TRUE(QTest::qWaitFor([&] { return service->state() != CompileService::State::Starting; }, 60000));
        ASSERT_EQ(int(service->state()), int(CompileService::State::Ready)) << service->lastError().toStdString();
        setSharedCompileService(service);
    }
    void stopService()
    {
        setSharedCompileService(nullptr);
        delete service;
    }

    CompileService* service = nullptr;
};

// Tests of a real window whose questions lead into the JDK's sources (Go to
// Definition, Show Documentation): the service of `jar` started in the
// test's folder, with the copies of the JDK's sources in a cache folder of it.
class JdkSourcesServiceTest : public ServiceTest {
protected:
    void startInTestFolder(const QString& jar)
    {
        CompileTest::SetUp();
        useRealJavac();
        if (IsSkipped())
            return;
        if (!QFileInfo(jar).isFile())
            GTEST_SKIP() << "built without the compile service";
        oldCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
        startService(jar);
    }
    void TearDown() override
    {
        CompileTest::TearDown();
        const bool started = service;
        stopService();
        if (started)
            qputenv("XDG_CACHE_HOME", oldCache);
    }

    QByteArray oldCache;
};

// Tests of a real window against one compile service for the whole suite, as
// the program shares one: started once before the suite's first test (in a
// folder of its own), ready before each test, shared while it runs.
class SuiteServiceTest : public CompileTest {
protected:
    // Starts the service of `jar` on the real javac's JDK; nothing without
    // either (each test then skips).
    static void startSuiteService(const QString& jar)
    {
        const QString javac = findJavac();
        if (javac.isEmpty() || !QFileInfo(jar).isFile())
            return;
        home = new QTemporaryDir;
        service = new CompileService;
        service->setJar(jar);
        service->start(
            ServiceSetup{CompileService::javaBinFor(javac), CompileService::jvmOptionsFor({}), home->path()});
    }
    static void TearDownTestSuite()
    {
        delete service;
        service = nullptr;
        delete home;
        home = nullptr;
    }
    void SetUp() override
    {
        CompileTest::SetUp();
        useRealJavac();
        if (IsSkipped())
            return;
        if (!service)
            GTEST_SKIP() << "built without the compile service";
        ASSERT_TRUE(QTest::qWaitFor([&] { return service->state() != CompileService::State::Starting; }, 60000));
        ASSERT_EQ(int(service->state()), int(CompileService::State::Ready)) << service->lastError().toStdString();
        setSharedCompileService(service);
    }
    void TearDown() override
    {
        CompileTest::TearDown();
        setSharedCompileService(nullptr);
    }

    static inline CompileService* service = nullptr;
    static inline QTemporaryDir* home = nullptr;
};
