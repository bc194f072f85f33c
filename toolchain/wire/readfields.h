// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a message of one of the wires to the Java helpers (the compile
// service's frames, the debugger's and the JShell pane's lines) into the
// members of its value: readFields(in, v.id, v.text, v.line) reads the fields
// that come next, in order, each as its member's type asks (the reader's
// field() for that type: a text, a number, a path...).
#pragma once
#include <utility>

template <class Reader, class... Members>
void readFields(Reader& in, Members&&... members)
{
    (in.field(std::forward<Members>(members)), ...);
}
