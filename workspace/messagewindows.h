// SPDX-License-Identifier: GPL-3.0-or-later
// The windows of the workspace's strip that show a list of their own (the
// console, Variables, Call Stack, Find in Files): bringing one back.
#pragma once

class QWidget;
class TFileMDIClient;

// Shows the strip window holding `content` above the others, and makes it the
// active window when `activate`. Nothing happens when `content` is in none.
void raiseMessageWindowOf(TFileMDIClient& workspace, QWidget* content, bool activate);
