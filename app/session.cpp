// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/session.h"

#include "config/cfgfile.h"
#include "platform/host.h"
#include "platform/nativename.h"
#include "platform/nativepath.h"

#include <QFile>

namespace {

// A session file larger than this is not one of Brewpad's.
constexpr qint64 MaxBytes = 4 * 1024 * 1024;

const QByteArray Heading =
    "# Brewpad's last session: the windows open, in their order, the active one and the main "
    "window's size.\n# Brewpad writes this file as its windows change.\n";

}  // namespace

SessionFile::SessionFile(QString path) : path_(std::move(path)) {}

QString SessionFile::defaultPath()
{
    const QString dir = host::configDir();
    return dir.isEmpty() ? QString() : dir + QStringLiteral("/session.ini");
}

QByteArray SessionFile::encode(const Session& s)
{
    QByteArray out = Heading;
    if (s.frameSize.isValid())
        out += "frame " + QByteArray::number(s.frameSize.width()) + ' ' + QByteArray::number(s.frameSize.height()) +
               (s.maximized ? " maximized\n" : " normal\n");
    int active = 0;  // its number among the windows written
    int written = 0;
    for (size_t i = 0; i < s.windows.size(); ++i) {
        const QByteArray name = nativename::encode(s.windows[i].path);
        if (name.isEmpty() || name.contains('\n') || name.contains('\r'))
            continue;
        out += (s.windows[i].project ? "project " : "source ") + name + '\n';
        ++written;
        if (int(i) == s.active)
            active = written;
    }
    if (active > 0)
        out += "active " + QByteArray::number(active) + '\n';
    return out;
}

Session SessionFile::decode(const QByteArray& bytes)
{
    Session s;
    int active = 0;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype space = line.indexOf(' ');
        if (line.startsWith('#') || space <= 0)
            continue;
        const QByteArray word = line.left(space);
        const QByteArray rest = line.mid(space + 1);
        if (word == "source" || word == "project") {
            if (!rest.isEmpty())
                s.windows.push_back(SessionWindow{word == "project", nativename::decode(rest)});
        } else if (word == "active") {
            active = rest.trimmed().toInt();
        } else if (word == "frame") {
            const QList<QByteArray> f = rest.simplified().split(' ');
            bool okW = false, okH = false;
            const int w = f.value(0).toInt(&okW), h = f.value(1).toInt(&okH);
            if (okW && okH && w > 0 && h > 0 && w <= 100000 && h <= 100000) {
                s.frameSize = QSize(w, h);
                s.maximized = f.value(2) == "maximized";
            }
        }
    }
    if (active >= 1 && active <= int(s.windows.size()))
        s.active = active - 1;
    return s;
}

Session SessionFile::read()
{
    kept_.reset();
    if (path_.isEmpty() || !nativepath::info(path_).isFile)
        return Session{};
    QFile f(path_);
    if (f.size() > MaxBytes || !f.open(QIODevice::ReadOnly))
        return Session{};
    kept_ = f.readAll();
    return decode(*kept_);
}

bool SessionFile::write(const Session& s)
{
    const QByteArray bytes = encode(s);
    if (kept_ && *kept_ == bytes)
        return true;
    if (path_.isEmpty() || !cfgfile::save(path_, bytes))
        return false;
    kept_ = bytes;
    return true;
}

Session SessionFile::present(const Session& s, QStringList* gone)
{
    Session out = s;
    out.windows.clear();
    out.active = -1;
    for (size_t i = 0; i < s.windows.size(); ++i) {
        if (!nativepath::info(s.windows[i].path).isFile) {
            if (gone)
                *gone << s.windows[i].path;
            continue;
        }
        if (int(i) == s.active)
            out.active = int(out.windows.size());
        out.windows.push_back(s.windows[i]);
    }
    return out;
}
