// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/outofdate.h"

#include "platform/host.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens a regular file for reading (never blocking on a named pipe or device)
// and reads its modification time in nanoseconds.
bool openedMtime(const QString& path, qint64* ns)
{
    host::FileKind kind = host::FileKind::Missing;
    const int fd = host::openRegularFd(path, &kind);
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

}  // namespace

int need_comp(const QString& fobj, const QString& fsrc)
{
    qint64 obj = 0, src = 0;
    if (!openedMtime(fobj, &obj) || !openedMtime(fsrc, &src))
        return 1;
    return src > obj ? 1 : 0;
}
