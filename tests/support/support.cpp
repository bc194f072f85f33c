// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

#include "config/toolpaths.h"
#include "toolchain/settings/settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <random>

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/xattr.h>
#include <sys/wait.h>
#include <ftw.h>
#include <unistd.h>

void PrintTo(const QString& s, std::ostream* os)
{
    constexpr qsizetype shown = 1000;
    *os << '"' << s.left(shown).toStdString() << '"';
    if (s.size() > shown)
        *os << "... (" << s.size() << " characters)";
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    const bool ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    if (!ok)
        ADD_FAILURE() << "cannot write " << path.toStdString() << ": " << f.errorString().toStdString();
    return ok;
}

bool writeExecutable(const QString& path, const QByteArray& bytes)
{
    return writeFile(path, bytes) &&
           QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool waitForFile(const QString& path)
{
    return QTest::qWaitFor([&] { return QFileInfo::exists(path); }, 60000);
}

bool waitFor(const std::function<bool()>& done, int ms)
{
    // Not QTest::qWaitFor: that also deletes the objects given to deleteLater
    // while it waits, which the event loop of the program would not do here.
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(2);
    }
    return true;
}

QByteArray randomBytes(unsigned seed, qsizetype size)
{
    std::mt19937 rng(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char(rng() & 0xFF);
    return out;
}

std::unique_ptr<QTemporaryDir> temporaryDirWithAttributes()
{
    for (const QString& under : {QString(), QCoreApplication::applicationDirPath()}) {
        auto dir = under.isEmpty() ? std::make_unique<QTemporaryDir>()
                                   : std::make_unique<QTemporaryDir>(under + QStringLiteral("/attributes-XXXXXX"));
        if (!dir->isValid())
            continue;
        const QByteArray probe = QFile::encodeName(dir->filePath(QStringLiteral("probe")));
        {
            QFile f(dir->filePath(QStringLiteral("probe")));
            if (!f.open(QIODevice::WriteOnly))
                continue;
        }
        const bool ok = ::setxattr(probe.constData(), "user.probe", "1", 1, 0) == 0;
        ::unlink(probe.constData());
        if (ok)
            return dir;
    }
    ADD_FAILURE() << "no file system here keeps user.* extended attributes";
    return nullptr;
}

bool setAttribute(const QString& path, const char* name, const QByteArray& value)
{
    const bool ok = ::setxattr(QFile::encodeName(path).constData(), name, value.constData(), size_t(value.size()),
                               0) == 0;
    if (!ok)
        ADD_FAILURE() << "cannot set " << name << " of " << path.toStdString() << ": " << std::strerror(errno);
    return ok;
}

QByteArray attribute(const QString& path, const char* name)
{
    QByteArray value(65536, Qt::Uninitialized);
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), name, value.data(), size_t(value.size()));
    return n < 0 ? QByteArray() : value.left(n);
}

QString sourceDir()
{
    const QString root = qEnvironmentVariable("BREWPAD_SOURCE_DIR");
    if (!root.isEmpty())
        return root;
    // Run by hand, not by CTest: the build's cache names its source tree.
    QFile cache(builtFile("CMakeCache.txt"));
    if (cache.open(QIODevice::ReadOnly)) {
        const QByteArray key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
        for (QByteArray line = cache.readLine(); !line.isEmpty(); line = cache.readLine())
            if (line.startsWith(key))
                return QString::fromLocal8Bit(line.mid(key.size()).trimmed());
    }
    ADD_FAILURE() << "no source tree: set BREWPAD_SOURCE_DIR";
    return QString();
}

QString builtFile(const char* name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QString::fromUtf8(name);
}

bool installStandIn(const QString& name, const QString& to)
{
    const QString from = sourceDir() + QStringLiteral("/tests/stand-ins/") + name;
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    const bool ok = QFile::copy(from, to) &&
                    QFile::setPermissions(to,
                                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!ok)
        ADD_FAILURE() << "cannot install the stand-in " << from.toStdString() << " as " << to.toStdString();
    return ok;
}

bool processEnded(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return true;
    const QByteArray stat = f.readAll();
    const qsizetype paren = stat.lastIndexOf(')');
    return paren < 0 || paren + 2 >= stat.size() || stat[paren + 2] == 'Z' || stat[paren + 2] == 'X';
}

QString findJavac()
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("javac"));
    if (!onPath.isEmpty())
        return onPath;
    QStringList candidates;
    const QString home = qEnvironmentVariable("JAVA_HOME");
    if (!home.isEmpty())
        candidates << home + QStringLiteral("/bin/javac");
    candidates << QStringLiteral("/usr/lib/jvm/java-17-openjdk-amd64/bin/javac");
    for (const QString& c : candidates) {
        if (QFileInfo(c).isExecutable())
            return c;
    }
    return {};
}

QString javacOrSkip()
{
    const QString javac = findJavac();
    if (javac.isEmpty())
        [] { GTEST_SKIP() << "no javac on this machine (PATH, $JAVA_HOME/bin or the JDK 17 of the system)"; }();
    return javac;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    ok_ = getrlimit(RLIMIT_FSIZE, &old_) == 0;
    rlimit small = old_;
    small.rlim_cur = bytes;
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &small) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
}

void resetProgramGlobals()
{
    resetBuildSettings();
    resetToolPaths();
}

// ---------------------------------------------------------------- another user

namespace {
constexpr uid_t nobodyId = 65534;
}

uid_t unprivilegedUid()
{
    return geteuid() == 0 ? nobodyId : geteuid();
}

gid_t unprivilegedGid()
{
    return geteuid() == 0 ? nobodyId : getegid();
}

bool giveToUnprivilegedUser(const QString& path)
{
    if (geteuid() != 0)
        return true;
    const bool ok = ::chown(QFile::encodeName(path).constData(), unprivilegedUid(), unprivilegedGid()) == 0;
    if (!ok)
        ADD_FAILURE() << "cannot give " << path.toStdString() << " to the unprivileged user";
    return ok;
}

void asUnprivilegedUser(const std::function<void()>& body)
{
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0) << "cannot fork";
    if (pid == 0) {
        if (geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobodyId) != 0 || ::setuid(nobodyId) != 0 ||
                ::setuid(0) == 0) {
                std::fprintf(stderr, "cannot drop root in the test's child process\n");
                std::fflush(stderr);
                ::_exit(3);
            }
        }
        body();
        std::fflush(stdout);
        std::fflush(stderr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    EXPECT_TRUE(WIFEXITED(status)) << "the unprivileged child process crashed (signal "
                                   << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << ")";
    if (WIFEXITED(status)) {
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the unprivileged child process failed (its report is above)";
    }
}

void removeTreeByBytes(const QByteArray& path)
{
    ::nftw(
        path.constData(),
        [](const char* p, const struct stat*, int, FTW*) {
            ::remove(p);
            return 0;
        },
        16, FTW_DEPTH | FTW_PHYS);
}
