// SPDX-License-Identifier: GPL-3.0-or-later
// The last session: the editor and project windows that were open, in their
// order, which of them was active, and the main window's size and state. It
// is kept in "session.ini" in the user's configuration folder, beside
// brewpad.cfg, and written again whenever it changes, so that a crash or a
// logout loses nothing.
//
// The file is plain text, one entry a line:
//
//     # Brewpad's last session: ...
//     frame 1000 720 normal          (width, height, "normal" or "maximized")
//     source /home/me/src/Hello.java
//     project /home/me/src/hello.jpr
//     active 2                       (the second window above)
//
// A path is the file's name as its bytes (platform/nativename.h), so that a
// name that is not UTF-8 comes back as it was; a name holding a line end
// cannot be kept and is left out. Lines that are not understood are passed
// over. The file is replaced atomically (cfgfile::save).
#pragma once
#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct SessionWindow {
    bool project = false;  // a project window, else a Java source's
    QString path;
    bool operator==(const SessionWindow&) const = default;
};

struct Session {
    std::vector<SessionWindow> windows;  // in the order they were opened
    int active = -1;                     // index of the active window; -1 for none
    QSize frameSize;                     // the main window's (normal) size; invalid when none was kept
    bool maximized = false;
    bool operator==(const Session&) const = default;
};

class SessionFile {
public:
    explicit SessionFile(QString path);
    // "session.ini" in the user's configuration folder; empty without one.
    static QString defaultPath();
    const QString& path() const { return path_; }

    static QByteArray encode(const Session& s);
    static Session decode(const QByteArray& bytes);

    // The session kept; an empty one when there is none, or when the file is
    // not a regular file or cannot be read.
    Session read();
    // Replaces the file with `s`, unless it holds `s` already. False when it
    // could not be written.
    bool write(const Session& s);

    // `s` without the windows whose files are gone (no longer regular files),
    // the active one still pointing at its window (or at none when its own
    // file is gone); the names of the files gone are added to `gone`.
    static Session present(const Session& s, QStringList* gone);

private:
    QString path_;
    std::optional<QByteArray> kept_;  // what the file holds, as last read or written
};
