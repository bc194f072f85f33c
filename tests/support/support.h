// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by every test program: QStrings printed as their text in
// failure messages, files in temporary directories, stand-in programs, ended
// processes and the Java compiler of this machine. Each is defined here once.
#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <ostream>
#include <sys/resource.h>
#include <sys/types.h>

// GoogleTest prints a QString as its text in quotes (a very long one cut short).
void PrintTo(const QString& s, std::ostream* os);

// ---------------------------------------------------------------- files

// Writes `bytes` to `path`, making its folders first. A failure is reported
// (and returned), so that a test may stop with ASSERT_TRUE(writeFile(...)).
bool writeFile(const QString& path, const QByteArray& bytes);
// The same, and the file may be run by its owner.
bool writeExecutable(const QString& path, const QByteArray& bytes);
// The bytes of the file; empty when it cannot be read.
QByteArray readFile(const QString& path);
// Waits (generously, letting events run) until the file exists.
bool waitForFile(const QString& path);
// Lets events run until `done` holds, for `ms` milliseconds at the most;
// whether it holds.
bool waitFor(const std::function<bool()>& done, int ms = 60000);
// `size` bytes of a fixed pseudo-random sequence.
QByteArray randomBytes(unsigned seed, qsizetype size);
// A new temporary folder on a file system that keeps "user." extended
// attributes: in the system's temporary folder when it does (a tmpfs may not),
// else in the folder of the test program. Empty (and a failure) when neither does.
std::unique_ptr<QTemporaryDir> temporaryDirWithAttributes();
// Sets the extended attribute `name` of the file; false (and a failure) when it cannot.
bool setAttribute(const QString& path, const char* name, const QByteArray& value);
// The value of the extended attribute `name` of the file; empty when it has none.
QByteArray attribute(const QString& path, const char* name);

// Removes the folder `path` (its bytes) with everything in it, whatever the
// names inside; QTemporaryDir cannot name entries whose bytes are not UTF-8.
void removeTreeByBytes(const QByteArray& path);

// ---------------------------------------------------------------- stand-ins and processes

// The source tree of Brewpad (tests read stand-ins and samples from it).
QString sourceDir();
// The file `name` of the build, such as a jar or a program built beside the
// test programs; `name` is relative to the folder of the running test program,
// so that the tests' sources name no folder of one particular build.
QString builtFile(const char* name);
// Copies the stand-in script tests/stand-ins/`name` to `to`, runnable; false
// (and a failure) when it cannot.
bool installStandIn(const QString& name, const QString& to);
// True once the process has ended (gone, or a zombie nobody has reaped yet).
bool processEnded(qint64 pid);

// ---------------------------------------------------------------- Java

// The javac of this machine: on PATH, in $JAVA_HOME/bin or the JDK 17 of the
// system; empty when there is none.
QString findJavac();
// The javac of this machine; without one the test is skipped and the result is
// empty. From SetUp the test body then does not run; from a test body, return
// when the result is empty.
QString javacOrSkip();

// ---------------------------------------------------------------- limits

// While it lives, files of this process cannot grow beyond `bytes`: a write
// past it fails as on a full disk (SIGXFSZ is ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

// ---------------------------------------------------------------- another user

// The user and group that asUnprivilegedUser runs as: "nobody" when the test
// runs as root, else the caller's own.
uid_t unprivilegedUid();
gid_t unprivilegedGid();
// Gives `path` to that user (a no-op when not root), so that the body of
// asUnprivilegedUser can reach it. False (and a failure) when it cannot.
bool giveToUnprivilegedUser(const QString& path);
// Runs `body` in a forked child process that, when the test runs as root, has
// first dropped root for good (supplementary groups, group and user become
// "nobody"), so that permission checks apply as to any user. The body's
// EXPECT and ASSERT failures are printed by the child, and the test fails when
// the child reports one, crashes, or cannot drop root. The child shows no
// window and runs no event loop: it is for plain files and writers.
void asUnprivilegedUser(const std::function<void()>& body);

// ---------------------------------------------------------------- a fresh start for every test

// The build settings and tool paths as at the start of the program. The shared
// test main calls it before every test, so that no test sees what an earlier
// one changed.
void resetProgramGlobals();
