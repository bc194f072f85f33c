// SPDX-License-Identifier: GPL-3.0-or-later
// Toggle states of the keyboard's lock keys, where the display can tell them.
#pragma once

namespace host {
// Num Lock and Scroll Lock from the X keyboard extension; false where the
// display has none (offscreen, Wayland without XWayland).
bool numLockOn();
bool scrollLockOn();
}  // namespace host
