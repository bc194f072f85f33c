// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/xattrs.h"

#include <cerrno>
#include <sys/xattr.h>

namespace {

bool unsupported(int err)
{
    return err == ENOTSUP || err == EOPNOTSUPP || err == ENOSYS;
}

// The names in a list of NUL-terminated names.
std::vector<QByteArray> splitNames(const QByteArray& list)
{
    std::vector<QByteArray> names;
    qsizetype from = 0;
    while (from < list.size()) {
        qsizetype end = list.indexOf('\0', from);
        if (end < 0)
            end = list.size();
        if (end > from)
            names.push_back(list.sliced(from, end - from));
        from = end + 1;
    }
    return names;
}

// Calls `get` with a buffer as large as it asks for, again while the value
// grows meanwhile. False with errno set when it fails.
template <typename Get>
bool readSized(Get get, QByteArray* out)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return false;
        out->resize(size);
        if (size == 0)
            return true;
        const ssize_t got = get(out->data(), size_t(size));
        if (got >= 0) {
            out->resize(got);
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
    errno = ERANGE;
    return false;
}

}  // namespace

bool ExtendedAttributes::read(const QByteArray& path)
{
    items_.clear();
    QByteArray list;
    if (!readSized([&](char* b, size_t n) { return ::listxattr(path.constData(), b, n); }, &list))
        return unsupported(errno);
    for (const QByteArray& name : splitNames(list)) {
        QByteArray value;
        if (!readSized([&](char* b, size_t n) { return ::getxattr(path.constData(), name.constData(), b, n); },
                       &value)) {
            if (errno == ENODATA)
                continue;  // removed meanwhile
            return false;
        }
        items_.emplace_back(name, value);
    }
    return true;
}

bool ExtendedAttributes::applyTo(int fd) const
{
    for (const auto& [name, value] : items_) {
        QByteArray now;
        if (readSized([&](char* b, size_t n) { return ::fgetxattr(fd, name.constData(), b, n); }, &now) &&
            now == value)
            continue;
        if (::fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    }
    QByteArray list;
    if (!readSized([&](char* b, size_t n) { return ::flistxattr(fd, b, n); }, &list))
        return unsupported(errno) && items_.empty();
    for (const QByteArray& name : splitNames(list)) {
        if (name.startsWith("security."))
            continue;
        bool wanted = false;
        for (const auto& item : items_)
            wanted = wanted || item.first == name;
        if (!wanted && ::fremovexattr(fd, name.constData()) != 0 && errno != ENODATA)
            return false;
    }
    return true;
}
