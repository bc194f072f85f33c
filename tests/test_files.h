// Small file helpers shared by the tests.
#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

// True once the process has ended (gone, or a zombie nobody has reaped yet).
inline bool processEnded(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return true;
    const QByteArray stat = f.readAll();
    const qsizetype paren = stat.lastIndexOf(')');
    return paren < 0 || paren + 2 >= stat.size() || stat[paren + 2] == 'Z' || stat[paren + 2] == 'X';
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(data), data.size());
}

// While it lives, files of this process cannot grow beyond `bytes`: a write
// past it fails as on a full disk (SIGXFSZ is ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ok_ = getrlimit(RLIMIT_FSIZE, &old_) == 0;
        rlimit small = old_;
        small.rlim_cur = bytes;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};
