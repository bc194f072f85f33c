// SPDX-License-Identifier: GPL-3.0-or-later
// The drawings of the program's own icons: the frame (the coffee cup), the
// editor and project windows, the "world" of the option windows and dialogs,
// and the buttons of the tool bar.
// Each draws one icon on the 32 unit grid of iconparts.h into a painter
// already scaled to the icon's size.
#pragma once
#include <QPainter>

namespace iconart {

void drawBrewpad(QPainter& p);
void drawEditor(QPainter& p);
void drawProject(QPainter& p);
void drawWorld(QPainter& p);
void drawNewFile(QPainter& p);
void drawOpenFile(QPainter& p);
void drawSave(QPainter& p);
void drawSaveAs(QPainter& p);
void drawPrint(QPainter& p);
void drawUndo(QPainter& p);
void drawCut(QPainter& p);
void drawCopy(QPainter& p);
void drawPaste(QPainter& p);
void drawGotoLine(QPainter& p);
void drawFind(QPainter& p);
void drawReplace(QPainter& p);
void drawFindNext(QPainter& p);
void drawCompile(QPainter& p);
void drawRun(QPainter& p);
void drawAppletRun(QPainter& p);
void drawToggleHint(QPainter& p);
void drawToggleBar(QPainter& p);

}  // namespace iconart
