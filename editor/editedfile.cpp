// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editedfile.h"

#include "platform/host.h"
#include "platform/nativepath.h"

#include <QFile>
#include <QFileInfo>

#include <new>

namespace {
// What tells the bytes last read or written from others of the same size.
std::size_t contentHash(QByteArrayView bytes)
{
    return qHash(bytes, std::size_t(0x42726577));
}

// All of an open file's bytes; false when they could not be read.
bool readAll(QFile& f, QByteArray* bytes)
{
    try {
        *bytes = f.readAll();
    } catch (const std::bad_alloc&) {
        return false;
    }
    return f.error() == QFileDevice::NoError;
}
}  // namespace

EditedFile::Reading EditedFile::read(const QString& path)
{
    Reading r;
    r.firstLoad = name_.isEmpty();
    // Only a regular file is read, never with a blocking open, and only one of
    // a size the control can hold.
    QFile f;
    QString what;
    const host::FileKind kind = host::openRegular(path, f, &what);
    const bool regular = kind == host::FileKind::Regular;
    if (regular || kind == host::FileKind::NotRegular)
        r.refusal = reasonNotToEdit(regular, what, regular ? f.size() : 0);
    if (!r.refusal.isEmpty()) {
        f.close();
        r.outcome = Reading::Outcome::Refused;
        // A window that shows nothing of the file may not write over it.
        r.lockOut = r.firstLoad;
        if (r.firstLoad) {
            name_ = nativepath::absolute(path);
            stamp_ = fileStamp(path);
        }
        // The state the user was told about is not told again.
        askedStamp_ = fileStamp(path);
        return r;
    }
    QByteArray bytes;
    if (regular && readAll(f, &bytes)) {
        r.stamp = fileStamp(f.handle());  // the state of the file that was read
        f.close();
        r.text = decodeText(bytes);
        r.hash = contentHash(bytes);
        return r;
    }
    f.close();
    r.outcome = Reading::Outcome::Unreadable;
    name_ = nativepath::absolute(path);
    if (r.firstLoad && kind != host::FileKind::Missing) {
        // Nobody saw the file's content (or what stands there is a loop of
        // links): no save may put an empty text over it.
        r.lockOut = true;
        stamp_ = askedStamp_ = fileStamp(path);
    } else if (r.firstLoad) {
        stamp_ = askedStamp_ = FileStamp();  // a new file: a save creates it
    } else {
        askedStamp_ = fileStamp(path);
    }
    return r;
}

void EditedFile::took(const QString& path, const Reading& r)
{
    format_ = r.text.format;
    stamp_ = askedStamp_ = r.stamp;
    contentHash_ = r.hash;
    name_ = nativepath::absolute(path);
}

EditedFile::Writing EditedFile::write(const QString& path, const QString& text, const std::vector<LineBreak>& breaks)
{
    Writing w;
    const QByteArray bytes = encodeText(text, breaks, format_, &w.fellBackToUtf8);
    FileStamp written;
    if (!writeFileSafely(path, bytes, &w.why, &written))
        return w;
    w.ok = true;
    stamp_ = askedStamp_ = written;
    contentHash_ = contentHash(bytes);
    if (w.fellBackToUtf8)
        format_.encoding = TextFormat::Encoding::Utf8;
    return w;
}

bool EditedFile::unchangedOnDisk(const QString& path, const FileStamp& now)
{
    if (now == stamp_)
        return true;
    FileStamp same = now;
    same.ctimeSec = stamp_.ctimeSec;
    same.ctimeNsec = stamp_.ctimeNsec;
    if (!stamp_.exists || same != stamp_)
        return false;
    // Only the change time moved: a link added or removed, a new mode or
    // attribute, or a write whose modification time was put back. The bytes tell.
    QFile f;
    if (host::openRegular(path, f) != host::FileKind::Regular || f.size() != now.size)
        return false;
    QByteArray bytes;
    if (!readAll(f, &bytes) || contentHash(bytes) != contentHash_)
        return false;
    stamp_ = now;
    return true;
}

bool EditedFile::changedSinceKnown(const QString& path)
{
    const FileStamp now = fileStamp(path);
    // A file that is gone is only written again; one that is as it was read is ours.
    return now.exists && !unchangedOnDisk(path, now);
}

bool EditedFile::changeToAskAbout()
{
    if (name_.isEmpty())
        return false;
    const FileStamp now = fileStamp(name_);
    // A file that is gone is written again by the next save.
    if (!now.exists || now == askedStamp_ || unchangedOnDisk(name_, now))
        return false;
    askedStamp_ = now;
    return true;
}
