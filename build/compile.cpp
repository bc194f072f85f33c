#include "build/compile.h"

#include "build/classify.h"
#include "build/run.h"
#include "build/settings.h"
#include "config/toolpaths.h"
#include "platform/host.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens a file for reading and reads its modification time in nanoseconds.
bool openedMtime(const QString& path, qint64* ns)
{
    const QByteArray p = QFile::encodeName(path);
    const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    const bool ok = ::fstat(fd, &st) == 0;
    ::close(fd);
    if (!ok)
        return false;
    *ns = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

QString reasonText(int errnoValue)
{
    switch (startFailureIndex(errnoValue)) {
    case 0: return QStringLiteral("out of memory");
    case 2: return QStringLiteral("program not found");
    case 5: return QStringLiteral("permission denied");
    case 11: return QStringLiteral("not an executable");
    default: return QString::fromLocal8Bit(strerror(errnoValue));
    }
}

// Maps QProcess's text of a failed start ("execvp: Permission denied") to errno.
int errnoFromProcessText(const QString& text)
{
    if (text.contains(QLatin1String("No such file")) || text.contains(QLatin1String("Not a directory")))
        return ENOENT;
    if (text.contains(QLatin1String("Permission denied")))
        return EACCES;
    if (text.contains(QLatin1String("Exec format")))
        return ENOEXEC;
    if (text.contains(QLatin1String("memory")))
        return ENOMEM;
    return EIO;
}

}  // namespace

QString makeargs()
{
    QString a;
    if (EDITCLASSPATH)
        a += QStringLiteral(" -classpath ") + *EDITCLASSPATH;
    if (EDITDESTINATION)
        a += QStringLiteral(" -d ") + *EDITDESTINATION;
    if (EDITJAVAOPTIONS)
        a += QStringLiteral(" -J ") + *EDITJAVAOPTIONS;
    if (CBDEPEND)
        a += QStringLiteral(" -depend");
    if (CBVERBOSE)
        a += QStringLiteral(" -verbose");
    if (CBOPTIMIZE)
        a += QStringLiteral(" -O");
    if (CBNOWARN)
        a += QStringLiteral(" -nowarn");
    if (CBDEBUG)
        a += QStringLiteral(" -g");
    if (CBDEPRECATION)
        a += QStringLiteral(" -deprecation");
    return a;
}

QStringList makeargsList()
{
    QStringList a;
    if (EDITCLASSPATH)
        a << QStringLiteral("-classpath") << *EDITCLASSPATH;
    if (EDITDESTINATION)
        a << QStringLiteral("-d") << *EDITDESTINATION;
    if (EDITJAVAOPTIONS) {
        const QStringList words = EDITJAVAOPTIONS->split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& w : words)
            a << QStringLiteral("-J") + w;
    }
    if (CBDEPEND)
        a << QStringLiteral("-depend");
    if (CBVERBOSE)
        a << QStringLiteral("-verbose");
    if (CBOPTIMIZE)
        a << QStringLiteral("-O");
    if (CBNOWARN)
        a << QStringLiteral("-nowarn");
    if (CBDEBUG)
        a << QStringLiteral("-g");
    if (CBDEPRECATION)
        a << QStringLiteral("-deprecation");
    return a;
}

bool setcurdir(const QString& nameext)
{
    const int sep = nameext.lastIndexOf(host::separator());
    if (sep < 0)
        curdir = QDir::currentPath();
    else if (sep == 0)
        curdir = QString(host::separator());
    else
        curdir = nameext.left(sep);
    return QDir::setCurrent(curdir);
}

int need_comp(const QString& fobj, const QString& fsrc)
{
    qint64 obj = 0, src = 0;
    if (!openedMtime(fobj, &obj) || !openedMtime(fsrc, &src))
        return 1;
    return src > obj ? 1 : 0;
}

bool erreur(const QString& erf)
{
    QFile f(erf);
    if (!f.open(QIODevice::ReadOnly) || f.size() == 0)
        return false;
    static const QByteArray word("error");
    constexpr qint64 chunk = 1 << 16;
    QByteArray buf;
    for (;;) {
        const QByteArray piece = f.read(chunk);
        if (piece.isEmpty())
            return false;
        // Keep the last few bytes of the previous piece, so that a word
        // straddling two pieces is still found.
        buf = buf.right(word.size() - 1) + piece;
        if (buf.contains(word))
            return true;
    }
}

QString captureFileName(const QString& sourcePath)
{
    QString base, ext;
    filename(sourcePath, base, ext);
    return temp + host::separator() + base + QStringLiteral(".err");
}

QString javacProgram()
{
    return javabin + host::separator() + host::toolName(QStringLiteral("javac"));
}

QString javacCommandText(const QString& javacPath, const QString& singleSource)
{
    return javacPath + QLatin1Char(' ') + makeargs() + QLatin1Char(' ') + singleSource;
}

QString javacCommandText(const QString& javacPath, const QStringList& projectSources)
{
    QString list;
    for (const QString& s : projectSources)
        list += s + QLatin1Char(' ');
    return javacPath + QLatin1Char(' ') + makeargs() + QLatin1Char(' ') + list;
}

ProjectCompilePlan planProjectCompile(const QString& projectPath)
{
    ProjectCompilePlan plan;
    plan.directory = QFileInfo(projectPath).absolutePath();
    QFile f(projectPath);
    if (!f.open(QIODevice::ReadOnly))
        return plan;
    const QString prefix = plan.directory + host::separator();
    while (!f.atEnd()) {
        QByteArray line = f.readLine();
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        ProjectEntry e;
        filename(QString::fromLocal8Bit(line), e.base, e.ext);
        e.needComp = need_comp(prefix + e.base + QStringLiteral(".class"),
                               prefix + e.base + QLatin1Char('.') + e.ext);
        if (e.needComp == 1 && isjava(e.ext))
            plan.sources << e.base + QStringLiteral(".java");
        plan.items.push_back(std::move(e));
    }
    plan.entries = int(plan.items.size());
    return plan;
}

// ---------------------------------------------------------------- JavacRunner

JavacRunner::JavacRunner(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<CompileOutcome>();
}

JavacRunner::~JavacRunner()
{
    if (proc_) {
        proc_->disconnect(this);
        if (proc_->state() != QProcess::NotRunning) {
            proc_->kill();
            proc_->waitForFinished(3000);
        }
    }
}

bool JavacRunner::start(const QString& javacPath, const QStringList& args, const QString& workDir,
                        const QString& captureFile)
{
    if (running_)
        return false;
    running_ = true;
    capture_ = captureFile;

    auto notStarted = [this](int err, const QString& why) {
        CompileOutcome o;
        o.kind = CompileOutcome::NotStarted;
        o.failureIndex = startFailureIndex(err);
        o.reason = why;
        // Reported later, like the end of a compilation that did start.
        QTimer::singleShot(0, this, [this, o] { conclude(o); });
        return true;
    };

    // No old message may be shown behind a new one: empty the capture first.
    {
        QFile cap(captureFile);
        if (!cap.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return notStarted(EACCES, QStringLiteral("cannot write the capture file %1: %2")
                                          .arg(captureFile, cap.errorString()));
    }

    QString program;
    const int err = probeProgram(javacPath, &program);
    if (err != 0)
        return notStarted(err, reasonText(err));
    if (!QFileInfo(workDir).isDir())
        return notStarted(ENOENT, QStringLiteral("directory not found: %1").arg(workDir));

    if (!proc_) {
        proc_ = new QProcess(this);
        connect(proc_, &QProcess::finished, this,
                [this](int code, QProcess::ExitStatus st) { onFinished(code, int(st)); });
        connect(proc_, &QProcess::errorOccurred, this,
                [this](QProcess::ProcessError e) { onError(int(e)); });
    }
    proc_->setProgram(program);
    proc_->setArguments(args);
    proc_->setWorkingDirectory(workDir);
    proc_->setStandardInputFile(QProcess::nullDevice());
    proc_->setStandardOutputFile(QProcess::nullDevice());
    proc_->setStandardErrorFile(captureFile, QIODevice::Truncate);
    proc_->start();
    return true;
}

void JavacRunner::onError(int error)
{
    if (error != QProcess::FailedToStart || !running_)
        return;  // a crash is reported by finished()
    const int err = errnoFromProcessText(proc_->errorString());
    CompileOutcome o;
    o.kind = CompileOutcome::NotStarted;
    o.failureIndex = startFailureIndex(err);
    o.reason = err == EIO ? proc_->errorString() : reasonText(err);
    QTimer::singleShot(0, this, [this, o] { conclude(o); });
}

void JavacRunner::onFinished(int exitCode, int exitStatus)
{
    if (!running_)
        return;
    CompileOutcome o;
    o.exitCode = exitCode;
    if (exitStatus == QProcess::CrashExit) {
        o.kind = CompileOutcome::Failed;
        o.reason = QStringLiteral("the compiler crashed");
    } else {
        o.kind = (exitCode != 0 || erreur(capture_)) ? CompileOutcome::Failed : CompileOutcome::Success;
    }
    conclude(o);
}

void JavacRunner::conclude(const CompileOutcome& outcome)
{
    if (!running_)
        return;
    running_ = false;
    emit finished(outcome);
}

CompileOutcome runJavacBlocking(const QString& javacPath, const QStringList& args,
                                const QString& workDir, const QString& captureFile)
{
    JavacRunner runner;
    QEventLoop loop;
    CompileOutcome result;
    QObject::connect(&runner, &JavacRunner::finished, &loop, [&](const CompileOutcome& o) {
        result = o;
        loop.quit();
    });
    if (!runner.start(javacPath, args, workDir, captureFile))
        return result;
    loop.exec();
    return result;
}
