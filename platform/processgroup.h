// SPDX-License-Identifier: GPL-3.0-or-later
// Process groups of this host: a program Brewpad runs leads a group of its
// own, and what it starts stays in that group unless it leaves on purpose
// (setsid). The group outlives its leader while any member is alive.
#pragma once
#include <sys/types.h>

// True while some process of group `group` is alive (a member that has ended
// and waits to be reaped by another parent does not count).
bool processGroupHasMembers(pid_t group);
// Sends SIGKILL to every process of group `group`; false when no live one was left.
bool endProcessGroup(pid_t group);
