// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/run.h"

#include "platform/host.h"
#include "platform/windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

QString libelle_erreur(int index)
{
    if (index == 0)
        return QStringLiteral("Out of Memory");
    if (index == 2)
        return QStringLiteral("Programe not found");
    return QStringLiteral("? %1 ?").arg(index, 2, 10, QLatin1Char('0'));
}

int startFailureIndex(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR: return 2;
    case ENOMEM: return 0;
    case EACCES:
    case EPERM: return 5;
    case ENOEXEC: return 11;
    default: return 31;
    }
}

int probeProgram(const QString& program, QString* resolved)
{
    if (program.isEmpty())
        return ENOENT;
    QString path = program;
    if (!program.contains(QLatin1Char('/'))) {
        path = QStandardPaths::findExecutable(program);
        if (path.isEmpty()) {
            // Present on PATH but not executable is still a permission problem.
            for (const QString& dir : qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
                if (QFileInfo(dir + QLatin1Char('/') + program).isFile())
                    return EACCES;
            }
            return ENOENT;
        }
    }
    const QByteArray p = QFile::encodeName(path);
    if (::access(p.constData(), F_OK) != 0)
        return errno;
    const QFileInfo fi(path);
    if (fi.isDir())
        return EACCES;
    if (::access(p.constData(), X_OK) != 0)
        return errno;
    *resolved = fi.absoluteFilePath();
    return 0;
}

std::optional<QString> chooseClass(const QString& baseName, const std::optional<QString>& classename,
                                   const QString& dir, QString* missingFile)
{
    if (!classename || *classename == baseName)
        return baseName;
    const QString prefix = dir.isEmpty() ? QString() : dir + host::separator();
    if (QFileInfo::exists(prefix + *classename + QStringLiteral(".class")))
        return *classename;
    if (QFileInfo::exists(prefix + baseName + QStringLiteral(".class")))
        return baseName;
    if (missingFile)
        *missingFile = baseName + QStringLiteral(".class");
    return std::nullopt;
}

namespace {

// splitArguments, one character (or quoted or escaped run) at a time.
class ArgumentSplitter {
public:
    explicit ArgumentSplitter(const QString& cmdline) : s_(cmdline), n_(int(cmdline.size())) {}

    // The words; false in *ok for an unbalanced quote or a trailing backslash.
    QStringList split(bool* ok)
    {
        bool good = true;
        while (i_ < n_ && good) {
            const QChar c = s_.at(i_);
            if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n'))
                blank();
            else if (c == QLatin1Char('\''))
                good = singleQuoted();
            else if (c == QLatin1Char('"'))
                good = doubleQuoted();
            else if (c == QLatin1Char('\\'))
                good = escaped();
            else
                take(c, 1);
        }
        if (inWord_)
            words_ << cur_;
        if (ok)
            *ok = good;
        return words_;
    }

private:
    void take(QChar c, int advance)
    {
        cur_ += c;
        inWord_ = true;
        i_ += advance;
    }

    void blank()
    {
        if (inWord_) {
            words_ << cur_;
            cur_.clear();
            inWord_ = false;
        }
        ++i_;
    }

    // '...': everything up to the next quote, literally.
    bool singleQuoted()
    {
        inWord_ = true;
        const int end = int(s_.indexOf(QLatin1Char('\''), i_ + 1));
        if (end < 0) {
            cur_ += s_.mid(i_ + 1);
            return false;
        }
        cur_ += s_.mid(i_ + 1, end - i_ - 1);
        i_ = end + 1;
        return true;
    }

    // "...": \" \\ \$ \` escaped, backslash-newline a line continuation.
    bool doubleQuoted()
    {
        inWord_ = true;
        ++i_;
        while (i_ < n_) {
            const QChar d = s_.at(i_);
            if (d == QLatin1Char('"')) {
                ++i_;
                return true;
            }
            if (d == QLatin1Char('\\') && i_ + 1 < n_) {
                const QChar e = s_.at(i_ + 1);
                if (e == QLatin1Char('"') || e == QLatin1Char('\\') || e == QLatin1Char('$') ||
                    e == QLatin1Char('`')) {
                    cur_ += e;
                    i_ += 2;
                    continue;
                }
                if (e == QLatin1Char('\n')) {  // line continuation
                    i_ += 2;
                    continue;
                }
            }
            cur_ += d;
            ++i_;
        }
        return false;
    }

    // A backslash outside quotes: the next character literally (a newline: nothing).
    bool escaped()
    {
        if (i_ + 1 >= n_)
            return false;
        const QChar e = s_.at(i_ + 1);
        if (e != QLatin1Char('\n'))
            take(e, 0);
        i_ += 2;
        return true;
    }

    const QString& s_;
    const int n_;
    int i_ = 0;
    QString cur_;
    bool inWord_ = false;
    QStringList words_;
};

}  // namespace

QStringList splitArguments(const QString& cmdline, bool* ok)
{
    return ArgumentSplitter(cmdline).split(ok);
}

QString unbalancedQuotesText()
{
    return QStringLiteral("Unbalanced quote in the program arguments");
}

QString terminalScript()
{
    return QStringLiteral(
        "\"$@\"\n"
        "status=$?\n"
        "printf '\\n[Program ended with exit code %d]\\n' \"$status\"\n"
        "exec \"${SHELL:-/bin/sh}\" -i\n");
}

namespace {

bool isSet(const std::optional<QString>& setting)
{
    return setting && !setting->trimmed().isEmpty();
}

}  // namespace

QString classFolder(const std::optional<QString>& destination, const QString& sourceDir)
{
    if (!isSet(destination))
        return sourceDir;
    return QDir::cleanPath(QDir(sourceDir).absoluteFilePath(*destination));
}

QStringList javaClassPathOptions(const std::optional<QString>& destination, const std::optional<QString>& classPath,
                                 const QString& sourceDir)
{
    if (!isSet(destination) && !isSet(classPath))
        return {};
    QString path = classFolder(destination, sourceDir);
    if (isSet(classPath))
        path += QDir::listSeparator() + *classPath;
    return {QStringLiteral("-classpath"), path};
}

QString refusedClassName(const QString& className)
{
    if (!className.startsWith(QLatin1Char('-')) && !className.startsWith(QLatin1Char('@')))
        return QString();
    return QStringLiteral(
               "The class name %1 begins with \"%2\", which java would take for %3, so it "
               "was not run. Rename the class and its source file.")
        .arg(className, className.left(1),
             className.startsWith(QLatin1Char('-')) ? QStringLiteral("an option")
                                                    : QStringLiteral("a file of arguments"));
}

StartCommand javaRunCommand(const QString& terminal, const QString& javaPath, const QString& className,
                            const std::optional<QString>& cmdline, const QString& workDir, bool* ok,
                            const QStringList& javaOptions)
{
    StartCommand c;
    c.program = terminal;
    c.workDir = workDir;
    bool good = true;
    const QStringList programArgs = cmdline ? splitArguments(*cmdline, &good) : QStringList();
    const QString comspec = qEnvironmentVariable("COMSPEC");
    const bool slashK = !comspec.isEmpty() && comspec == terminal;
    c.display = terminal + (slashK ? QStringLiteral(" /k ") : QStringLiteral(" -e ")) + javaPath;
    for (const QString& o : javaOptions)
        c.display += QLatin1Char(' ') + o;
    c.display += QLatin1Char(' ') + className;
    if (cmdline)
        c.display += QLatin1Char(' ') + *cmdline;
    if (slashK)
        c.args << QStringLiteral("/k");
    else
        c.args << QStringLiteral("-e") << QStringLiteral("/bin/sh") << QStringLiteral("-c") << terminalScript()
               << QStringLiteral("brewpad-run");
    c.args << javaPath << javaOptions << className << programArgs;
    if (ok)
        *ok = good;
    return c;
}

StartCommand appletCommand(const QString& viewerPath, const QString& workDir, const QString& pageName)
{
    StartCommand c;
    c.program = viewerPath;
    c.args << pageName;
    c.workDir = workDir;
    c.display = viewerPath + QLatin1Char(' ') + pageName;
    return c;
}

namespace {

// What execve needs, prepared before fork(): after it, only async-signal-safe
// calls are made.
struct ExecImage {
    QByteArray program;
    QByteArray dir;
    std::vector<QByteArray> argStore;
    std::vector<char*> argv;

    ExecImage(const QString& resolved, const StartCommand& cmd)
        : program(QFile::encodeName(resolved)), dir(QFile::encodeName(cmd.workDir))
    {
        argStore.push_back(QFile::encodeName(cmd.program));
        for (const QString& a : cmd.args)
            argStore.push_back(a.toLocal8Bit());
        for (QByteArray& a : argStore)
            argv.push_back(a.data());
        argv.push_back(nullptr);
    }
};

void reportErrno(int fd, int e)
{
    ssize_t w = ::write(fd, &e, sizeof e);
    (void)w;
}

// The grandchild: a session of its own, default signals, no inherited
// descriptors; then the program. Writes errno to `errFd` when it cannot start.
[[noreturn]] void execProgram(const ExecImage& image, int errFd)
{
    ::setsid();
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
#ifdef SYS_close_range
    ::syscall(SYS_close_range, 3u, ~0u, 4u /* CLOSE_RANGE_CLOEXEC */);
#endif
    int e = 0;
    if (!image.dir.isEmpty() && ::chdir(image.dir.constData()) != 0) {
        e = errno;
    } else {
        ::execve(image.program.constData(), image.argv.data(), environ);
        e = errno;
    }
    reportErrno(errFd, e);
    ::_exit(127);
}

// The intermediate child: starts the program as a grandchild and leaves at
// once, so that the program is nobody's child of ours.
[[noreturn]] void forkProgram(const ExecImage& image, int pipefd[2])
{
    ::close(pipefd[0]);
    const pid_t grand = ::fork();
    if (grand == 0)
        execProgram(image, pipefd[1]);
    if (grand < 0)
        reportErrno(pipefd[1], errno);
    ::_exit(0);
}

// Reaps the intermediate child; true with the errno in *err when the start
// failed, false when the program started (the pipe closed on exec without a word).
bool startFailed(pid_t child, int readFd, int* err)
{
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int e = 0;
    ssize_t r;
    do {
        r = ::read(readFd, &e, sizeof e);
    } while (r < 0 && errno == EINTR);
    ::close(readFd);
    *err = e;
    return r == ssize_t(sizeof e);
}

}  // namespace

bool startDetached(const StartCommand& cmd, int* failureIndex)
{
    auto fail = [failureIndex](int err) {
        if (failureIndex)
            *failureIndex = startFailureIndex(err);
        return false;
    };
    QString program;
    if (const int err = probeProgram(cmd.program, &program))
        return fail(err);

    const ExecImage image(program, cmd);
    int pipefd[2];
    if (::pipe2(pipefd, O_CLOEXEC) != 0)
        return fail(errno);

    const pid_t child = ::fork();
    if (child < 0) {
        const int e = errno;
        ::close(pipefd[0]);
        ::close(pipefd[1]);
        return fail(e);
    }
    if (child == 0)
        forkProgram(image, pipefd);
    ::close(pipefd[1]);
    int e = 0;
    if (startFailed(child, pipefd[0], &e))
        return fail(e);
    return true;
}

// ----------------------------------------------------------------- applet page

namespace {

// Windows-1252 bytes of a text; characters it lacks become HTML character
// references, so that no name is silently changed.
QByteArray toWindows1252(const QString& s)
{
    QByteArray out;
    const QList<uint> ucs = s.toUcs4();
    for (uint u : ucs) {
        const int b = windows1252Byte(u);
        if (b >= 0 && !isUnassignedWindows1252(static_cast<unsigned char>(b)))
            out += char(b);
        else
            out += "&#" + QByteArray::number(u) + ';';
    }
    return out;
}

}  // namespace

QString time24Format(const QLocale& locale)
{
    const QString f = locale.timeFormat(QLocale::LongFormat);
    QString out;
    for (int i = 0; i < f.size(); ++i) {
        const QChar c = f.at(i);
        if (c == QLatin1Char('\'')) {  // quoted literal, copied as it is
            const int end = f.indexOf(QLatin1Char('\''), i + 1);
            const int stop = end < 0 ? f.size() - 1 : end;
            out += f.mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('h')) {
            out += QLatin1Char('H');
        } else if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
            // AM/PM marker ("AP", "ap" or "A", "a"): dropped.
            if (i + 1 < f.size() && (f.at(i + 1) == QLatin1Char('p') || f.at(i + 1) == QLatin1Char('P')))
                ++i;
        } else if (c == QLatin1Char('t')) {
            // Time zone: dropped.
        } else {
            out += c;
        }
    }
    return out.simplified();
}

QByteArray appletPage(const QString& className, const QDateTime& when, const QLocale& locale)
{
    const QString date = locale.toString(when.date(), QLocale::ShortFormat).left(29);
    const QString time = locale.toString(when.time(), time24Format(locale)).left(29);
    const QByteArray name = toWindows1252(className);
    const QByteArray lead = "\r\n\t  ";
    QByteArray page;
    page += "<html><head><title>";
    page += lead + name + ".java";
    page += lead + "</title></head>";
    page += lead + "<h1 align=left>" + name + ".java</h1>";
    page += lead + "<i><h5 align=right>G\xE9n\xE9r\xE9 le " + toWindows1252(date) + " a " + toWindows1252(time) +
            " avec Brewpad</h5></i>";
    page += lead + "<hr><p><applet alt=\"" + name + ".java\" code=\"" + name + ".class\" width=400 height=300>";
    page += lead + "</applet></p></body></html>";
    return page;
}

bool writeAppletPage(const QString& dir, const QByteArray& bytes, QString* error)
{
    QSaveFile f(dir + host::separator() + QStringLiteral("brewpad.html"));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}
