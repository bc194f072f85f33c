// SPDX-License-Identifier: GPL-3.0-or-later
// Looking at the user's files by the bytes of their names (platform/nativename.h).
//
// Qt's file functions (QFileInfo, QFile, QDir) turn a name into bytes with a
// decoding that loses every byte that is not UTF-8, and QFileInfo does so
// already for a path that is relative or not clean. What opens, looks at or
// writes a user's file goes through these functions, or through POSIX calls
// with nativename::encode.
#pragma once
#include <QString>
#include <QtGlobal>

class QUrl;

namespace nativepath {

// What stands at a path, links followed (stat).
struct Info {
    bool exists = false;
    bool isFile = false;  // a regular file, or a link to one
    bool isDir = false;
    qint64 size = 0;
};
Info info(const QString& path);

// The current directory, its bytes kept.
QString currentDir();
// The path made absolute against `base` (the current directory when empty)
// and clean ("." and ".." taken out), on the names alone: nothing is looked at.
// An empty path stays empty.
QString absolute(const QString& path, const QString& base = QString());

// The path that names the same file as `path` whatever way leads to it:
// absolute, links resolved (realpath), by the name's bytes; the absolute clean
// path when the file is not there. Two paths show the same file when their
// canonical paths are equal.
QString canonical(const QString& path);

// The local file a file URL names (a dropped file), its bytes kept: the URL's
// percent-encoded bytes, not Qt's decoding of them.
QString localFile(const QUrl& url);

// A name that Qt's file dialog gives back: the dialog decodes names as Qt
// does, each odd byte as U+FFFD, and such a name leads nowhere. Each part of
// `path` (absolute) that holds U+FFFD and does not exist is replaced by the
// one entry of its folder whose name Qt decodes to it, when there is exactly
// one; the path as it is when nothing needs or allows a change.
QString recoverLossyName(const QString& path);

}  // namespace nativepath
