// SPDX-License-Identifier: GPL-3.0-or-later
// The drawings of the icons shown only in the menus (project, tools, options,
// help, file and window commands). Each draws one icon on the 32 unit grid of
// iconparts.h into a painter already scaled to the icon's size.
#pragma once
#include <QPainter>

namespace iconart {

void drawNewProject(QPainter& p);
void drawOpenProject(QPainter& p);
void drawSaveProject(QPainter& p);
void drawUnix2Dos(QPainter& p);
void drawArguments(QPainter& p);
void drawOptions(QPainter& p);
void drawJavaHelp(QPainter& p);
void drawAbout(QPainter& p);
void drawPrintSetup(QPainter& p);
void drawExit(QPainter& p);
void drawDelete(QPainter& p);
void drawClearAll(QPainter& p);
void drawAddNode(QPainter& p);
void drawDeleteNode(QPainter& p);
void drawViewProject(QPainter& p);
void drawFont(QPainter& p);
void drawCascade(QPainter& p);
void drawTile(QPainter& p);
void drawCloseAll(QPainter& p);

}  // namespace iconart
