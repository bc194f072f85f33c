// SPDX-License-Identifier: GPL-3.0-or-later
// Where the time of a start goes. With BREWPAD_STARTUP_TRACE set in the
// environment, the start's phases are written to standard error as lines
// "brewpad-startup: PHASE NANOSECONDS PROCESSOR-NANOSECONDS PAGE-FAULTS": the
// monotonic clock (CLOCK_MONOTONIC, so that a program that started Brewpad can
// compare it with its own clock), the processor time used since the process
// began and the page faults it has taken (each a page of a library's code or
// of memory touched for the first time); the first message box among them ("box-shown") when it is first
// painted, followed by a line "brewpad-startup-box: TEXT" with its text. Set
// to "quit", the process ends there. Without the variable
// nothing is written and nothing is watched.
#pragma once

namespace startuptrace {

bool enabled();
// Writes one phase, at the time of the call.
void mark(const char* phase);
// Marks "box-shown" when the first message box of the run is painted.
void watchFirstBox();

}  // namespace startuptrace
