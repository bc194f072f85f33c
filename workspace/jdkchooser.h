// SPDX-License-Identifier: GPL-3.0-or-later
// Java Project / Java Development Kit...: the JDKs of this machine listed
// with their versions, and the one chosen made the JDK that Brewpad uses.
#pragma once

#include <functional>

class QString;
class QWidget;

// Asks which JDK to use (through the application's dialogs); the one chosen
// is kept in brewpad.cfg, its tools used from now on, and the compile
// service and the debugger started ahead start again with it. `status`
// shows what became of it.
void chooseJdk(QWidget* owner, const std::function<void(const QString&)>& status);

// Starts the warm compile service and the debugger started ahead again with
// the JDK of javabin; what is not running stays so.
void restartJavaTools();
