#include "toolchain/compileservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryFile>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>

namespace {

QPointer<CompileService> g_shared;

const char kJarName[] = "brewpad-compile-service.jar";
const char kMainClass[] = "BrewpadCompileService";

void putU32(QByteArray& out, quint32 v)
{
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(b, 4);
}

quint32 getU32(const QByteArray& in, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(in.constData() + at);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

// Parses one frame from the front of `in`; false while it is incomplete.
// Every reply begins with these bytes; anything before them is not the
// service's (the JVM's own output) and is skipped.
const QByteArray kMagic("BPSV");

bool takeFrame(QByteArray& in, QList<QByteArray>* frame, bool* bad)
{
    const qsizetype start = in.indexOf(kMagic);
    if (start < 0) {
        // Keep only what may be the beginning of a marker.
        in = in.right(kMagic.size() - 1);
        return false;
    }
    if (start > 0)
        in.remove(0, start);
    if (in.size() < 8)
        return false;
    const quint32 count = getU32(in, 4);
    if (count > (1u << 24)) {
        *bad = true;
        return false;
    }
    qsizetype at = 8;
    QList<QByteArray> fields;
    for (quint32 i = 0; i < count; ++i) {
        if (in.size() < at + 4)
            return false;
        const quint32 len = getU32(in, at);
        at += 4;
        if (in.size() - at < qsizetype(len))
            return false;
        fields << in.mid(at, len);
        at += len;
    }
    in.remove(0, at);
    *frame = std::move(fields);
    return true;
}

bool setsHeapLimit(const QString& option)
{
    return option.startsWith(QLatin1String("-Xmx")) || option.startsWith(QLatin1String("-XX:MaxHeapSize="))
           || option.startsWith(QLatin1String("-XX:MaxRAM"));
}

bool choosesCollector(const QString& option)
{
    return option.startsWith(QLatin1String("-XX:+Use")) && option.endsWith(QLatin1String("GC"));
}

}  // namespace

CompileService* sharedCompileService()
{
    return g_shared.data();
}

void setSharedCompileService(CompileService* service)
{
    g_shared = service;
}

CompileService::CompileService(QObject* parent) : QObject(parent), jar_(defaultJar())
{
    qRegisterMetaType<ServiceDiagnostic>();
    qRegisterMetaType<QList<ServiceDiagnostic>>();
}

CompileService::~CompileService()
{
    if (g_shared == this)
        g_shared = nullptr;
    // No signal may reach anyone from a half-destroyed object.
    pending_.clear();
    kill();
}

QString CompileService::defaultJar()
{
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    QStringList places;
    if (!dir.isEmpty()) {
        places << dir + QLatin1Char('/') + QLatin1String(kJarName);
#ifdef BREWPAD_SERVICE_JAR_RELATIVE
        places << QDir::cleanPath(dir + QLatin1Char('/') + QStringLiteral(BREWPAD_SERVICE_JAR_RELATIVE));
#endif
    }
#ifdef BREWPAD_SERVICE_JAR_INSTALLED
    places << QStringLiteral(BREWPAD_SERVICE_JAR_INSTALLED);
#endif
    for (const QString& p : places) {
        if (QFileInfo(p).isFile())
            return p;
    }
    return QString();
}

QStringList CompileService::jvmOptionsFor(const QStringList& javacArgs)
{
    QStringList opts;
    bool heap = false, collector = false;
    for (const QString& a : javacArgs) {
        if (!a.startsWith(QLatin1String("-J")))
            continue;
        const QString o = a.mid(2);
        heap = heap || setsHeapLimit(o);
        collector = collector || choosesCollector(o);
        opts << o;
    }
    // The service's own defaults come first, so that the user's options win.
    QStringList defaults;
    if (!heap)
        defaults << QStringLiteral("-Xmx256m");
    if (!collector)
        defaults << QStringLiteral("-XX:+UseSerialGC");
    return defaults + opts;
}

QStringList CompileService::withoutJvmOptions(const QStringList& javacArgs)
{
    QStringList out;
    for (const QString& a : javacArgs) {
        if (!a.startsWith(QLatin1String("-J")))
            out << a;
    }
    return out;
}

QString CompileService::javaBinFor(const QString& javacPath)
{
    const QString real = QFileInfo(javacPath).canonicalFilePath();
    if (real.isEmpty())
        return QString();
    const QString dir = QFileInfo(real).absolutePath();
    const QFileInfo java(dir + QStringLiteral("/java"));
    return java.isFile() && java.isExecutable() ? dir : QString();
}

qint64 CompileService::processId() const
{
    return proc_ ? proc_->processId() : 0;
}

void CompileService::start(const ServiceSetup& setup)
{
    if ((state_ == State::Starting || state_ == State::Ready) && setup_ == setup)
        return;
    if (hasUnusable_ && unusableSetup_ == setup) {
        state_ = State::Unusable;
        setup_ = setup;
        return;
    }
    kill();
    failAll(QStringLiteral("the service was restarted"));
    setup_ = setup;
    launch();
}

void CompileService::launch()
{
    restartAfterDeath_ = false;
    input_.clear();
    auto fail = [this](const QString& why) {
        state_ = State::Unusable;
        unusableSetup_ = setup_;
        hasUnusable_ = true;
        lastError_ = why;
        emit unusable(why);
    };
    if (jar_.isEmpty() || !QFileInfo(jar_).isFile())
        return fail(QStringLiteral("the compile service is not installed"));
    const QString java = setup_.javaBin + QStringLiteral("/java");
    if (setup_.javaBin.isEmpty() || !QFileInfo(java).isExecutable())
        return fail(QStringLiteral("no java in %1").arg(setup_.javaBin));
    if (!QFileInfo(setup_.workDir).isDir())
        return fail(QStringLiteral("directory not found: %1").arg(setup_.workDir));

    // What the JVM prints as it starts (a warning about an option, "Picked
    // up ..."), javac would print into every capture: such a setup is left
    // to javac. A file, so that all of it is there once the service speaks.
    startErrors_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/brewpad-service-XXXXXX"));
    if (!startErrors_->open())
        return fail(QStringLiteral("no temporary file"));

    proc_ = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Read by the java launcher only, never by javac's.
    env.remove(QStringLiteral("JDK_JAVA_OPTIONS"));
    proc_->setProcessEnvironment(env);
    proc_->setWorkingDirectory(setup_.workDir);
    proc_->setStandardErrorFile(startErrors_->fileName(), QIODevice::Truncate);
    proc_->setChildProcessModifier([] {
        // Ends with Brewpad, even when Brewpad is killed.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    connect(proc_, &QProcess::readyReadStandardOutput, this, &CompileService::onReadyRead);
    connect(proc_, &QProcess::finished, this, &CompileService::onFinished);
    connect(proc_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            onFinished();
    });
    QStringList args = setup_.jvmOptions;
    args << QStringLiteral("-cp") << jar_ << QLatin1String(kMainClass);
    state_ = State::Starting;
    proc_->start(java, args);
}

void CompileService::kill()
{
    if (!proc_)
        return;
    QProcess* p = proc_;
    proc_ = nullptr;
    p->disconnect(this);
    if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(5000);  // reaped: no zombie is left
    }
    p->deleteLater();
    if (state_ == State::Starting || state_ == State::Ready)
        state_ = State::Stopped;
    startErrors_.reset();
    input_.clear();
}

void CompileService::stop()
{
    kill();
    state_ = State::Stopped;
    failAll(QStringLiteral("the service was stopped"));
}

void CompileService::restart()
{
    const ServiceSetup s = setup_;
    stop();
    hasUnusable_ = false;
    if (!s.javaBin.isEmpty()) {
        setup_ = s;
        launch();
    }
}

void CompileService::failAll(const QString& reason)
{
    const QHash<quint64, Kind> was = pending_;
    pending_.clear();
    for (QTimer* t : std::as_const(timers_))
        t->deleteLater();
    timers_.clear();
    for (auto it = was.begin(); it != was.end(); ++it) {
        if (it.value() == Kind::Compile)
            emit compileFailed(it.key(), reason);
        else
            emit checkFailed(it.key(), reason);
    }
}

void CompileService::finishRequest(quint64 id)
{
    pending_.remove(id);
    if (QTimer* t = timers_.take(id))
        t->deleteLater();
}

void CompileService::onFinished()
{
    if (!proc_)
        return;
    const bool wasReady = state_ == State::Ready;
    const bool hadWork = !pending_.isEmpty();
    QProcess* p = proc_;
    proc_ = nullptr;
    p->disconnect(this);
    p->deleteLater();
    startErrors_.reset();
    if (!wasReady) {
        state_ = State::Unusable;
        unusableSetup_ = setup_;
        hasUnusable_ = true;
        lastError_ = QStringLiteral("the compile service did not start");
        failAll(lastError_);
        emit unusable(lastError_);
        return;
    }
    state_ = State::Stopped;
    failAll(QStringLiteral("the compile service ended"));
    // A service that was serving is started again, in the background.
    if (hadWork || wasReady)
        QTimer::singleShot(0, this, [this] {
            if (state_ == State::Stopped && !setup_.javaBin.isEmpty())
                launch();
        });
}

void CompileService::send(const QList<QByteArray>& fields)
{
    QByteArray out;
    putU32(out, quint32(fields.size()));
    for (const QByteArray& f : fields) {
        putU32(out, quint32(f.size()));
        out += f;
    }
    proc_->write(out);
}

quint64 CompileService::compile(const QStringList& args, const QString& workDir)
{
    if (state_ != State::Ready || !proc_ || QDir::cleanPath(workDir) != QDir::cleanPath(setup_.workDir))
        return 0;
    // A compilation goes before the checks that wait: they are given up.
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (it.value() == Kind::Check)
            send({QByteArrayLiteral("cancel"), QByteArray::number(it.key())});
    }
    const quint64 id = ++nextId_;
    QList<QByteArray> f{QByteArrayLiteral("compile"), QByteArray::number(id), QFile::encodeName(workDir)};
    for (const QString& a : args)
        f << QFile::encodeName(a);
    send(f);
    pending_.insert(id, Kind::Compile);
    auto* t = new QTimer(this);
    t->setSingleShot(true);
    connect(t, &QTimer::timeout, this, [this, id] {
        if (!pending_.contains(id))
            return;
        // Too long: this compilation is left to javac, and the service,
        // which may be stuck, is started anew.
        finishRequest(id);
        emit compileFailed(id, QStringLiteral("the compile service took too long"));
        restart();
    });
    t->start(timeoutMs_);
    timers_.insert(id, t);
    return id;
}

quint64 CompileService::check(const QString& file, const QString& text, const QStringList& options,
                              const QString& workDir)
{
    if (state_ != State::Ready || !proc_)
        return 0;
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (it.value() == Kind::Check)
            send({QByteArrayLiteral("cancel"), QByteArray::number(it.key())});
    }
    const quint64 id = ++nextId_;
    QList<QByteArray> f{QByteArrayLiteral("check"), QByteArray::number(id), QFile::encodeName(workDir),
                        QFile::encodeName(file), text.toUtf8()};
    for (const QString& o : options)
        f << QFile::encodeName(o);
    send(f);
    pending_.insert(id, Kind::Check);
    return id;
}

void CompileService::cancel(quint64 id)
{
    if (proc_ && pending_.value(id, Kind::Compile) == Kind::Check && pending_.contains(id))
        send({QByteArrayLiteral("cancel"), QByteArray::number(id)});
}

void CompileService::onReadyRead()
{
    if (!proc_)
        return;
    input_ += proc_->readAllStandardOutput();
    for (;;) {
        QList<QByteArray> frame;
        bool bad = false;
        if (!takeFrame(input_, &frame, &bad)) {
            if (bad) {
                lastError_ = QStringLiteral("the compile service sent nonsense");
                restart();
            }
            return;
        }
        handle(frame);
        if (!proc_)
            return;
    }
}

void CompileService::handle(const QList<QByteArray>& frame)
{
    if (frame.isEmpty())
        return;
    const QByteArray verb = frame[0];
    if (verb == "ready") {
        if (startErrors_ && startErrors_->size() > 0) {
            lastError_ = QStringLiteral("the JVM of the compile service printed: %1")
                             .arg(QString::fromLocal8Bit(startErrors_->readAll().left(500)).trimmed());
            const ServiceSetup s = setup_;
            kill();
            state_ = State::Unusable;
            unusableSetup_ = s;
            hasUnusable_ = true;
            emit unusable(lastError_);
            return;
        }
        state_ = State::Ready;
        emit ready();
        return;
    }
    if (frame.size() < 2)
        return;
    const quint64 id = frame[1].toULongLong();
    if (!pending_.contains(id))
        return;  // given up already (a timeout)
    const Kind kind = pending_.value(id);
    finishRequest(id);
    if (verb == "compiled" && frame.size() >= 4 && kind == Kind::Compile) {
        emit compiled(id, frame[2].toInt(), frame[3]);
    } else if (verb == "checked" && frame.size() >= 3 && kind == Kind::Check) {
        QList<ServiceDiagnostic> list;
        const int n = frame[2].toInt();
        for (int i = 0; i < n && 3 + 4 * i + 3 < frame.size(); ++i) {
            ServiceDiagnostic d;
            d.line = frame[3 + 4 * i].toInt();
            d.column = frame[4 + 4 * i].toInt();
            d.kind = frame[5 + 4 * i] == "warning" ? ServiceDiagnostic::Warning : ServiceDiagnostic::Error;
            d.message = QString::fromUtf8(frame[6 + 4 * i]);
            list << d;
        }
        emit checked(id, list);
    } else {
        const QString reason = verb == "cancelled" ? QStringLiteral("cancelled")
                               : frame.size() >= 3   ? QString::fromUtf8(frame[2])
                                                     : QStringLiteral("the compile service failed");
        if (kind == Kind::Compile)
            emit compileFailed(id, reason);
        else
            emit checkFailed(id, reason);
    }
}
