// SPDX-License-Identifier: GPL-3.0-or-later
// The extended attributes of a file: the user's own ("user.*"), access control
// lists ("system.posix_acl_access") and whatever else the file system keeps
// beside the content. A file that is replaced by a new one must carry them
// over, or they are lost.
#pragma once
#include <QByteArray>

#include <utility>
#include <vector>

class ExtendedAttributes {
public:
    // Reads every attribute of the file at `path` (links followed) that this
    // process can see. True also when the file system keeps none; false when
    // they could not be read.
    bool read(const QByteArray& path);
    bool empty() const { return items_.empty(); }

    // Gives the open file `fd` exactly these attributes: each is set (unless it
    // already has that value), and those it has beyond them are removed, but for
    // the "security." ones, which the system sets itself. False when one could
    // not be set: the file does not carry all of them then.
    bool applyTo(int fd) const;

private:
    std::vector<std::pair<QByteArray, QByteArray>> items_;  // name, value
};
