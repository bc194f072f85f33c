// SPDX-License-Identifier: GPL-3.0-or-later
// The out-of-date test of a compiled file against its source.
#pragma once
#include <QString>

// 1 when the compiled file `fobj` or the source `fsrc` is no regular file or
// cannot be opened for reading (a named pipe or device is never opened), or
// when the source was modified later than the compiled file (compared at the
// file system's full precision); 0 otherwise, equal times included.
int need_comp(const QString& fobj, const QString& fsrc);
