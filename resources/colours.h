// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of the program in one table, a light set and a dark set: the
// syntax colours, the marks (compiler messages, the check while typing, the
// breakpoints, the paused line, the values shown after the lines), the
// matched brackets, and the panes' own colours (the console's error output
// and input, a changed value in the Variables pane). The dark set goes with
// the dark palette below it; the light set with any light palette.
//
// Which set is in use is the look of the whole program: it follows the
// desktop (a palette is dark when its Window colour is darker than its
// WindowText), or the user's choice of Light or Dark Colours. Widgets read
// current() when they paint, and hear of a change of look by the change of
// the application's palette that comes with it (QEvent::PaletteChange).
#pragma once
#include <QColor>
#include <QPalette>

namespace colours {

enum class Look { Light, Dark };

// The user's choice in the Edit menu.
enum class Choice { FollowDesktop, Light, Dark };

struct ColourSet {
    // The text and background of an edit control with this look's palette.
    QColor text, base;
    // Syntax colours.
    QColor keyword, string, comment, number, annotation;
    // Marks: the signs and underlines of messages, the breakpoints' dots, the
    // paused line's arrow (its line is highlighted with a blend of it), the
    // text of the values shown after the ends of lines.
    QColor error, warning, breakpoint, paused, value;
    // The brackets matching the one at the caret.
    QColor bracketBack, bracketText;
    // The console's error output and the input typed into it; a value that
    // changed since the last pause in the Variables pane.
    QColor consoleError, consoleInput, changedValue;
};

// The defaults of a look.
const ColourSet& colourSet(Look look);
// The palette of a look where the desktop's does not fit it: a Fusion-like
// light or dark palette.
QPalette lookPalette(Look look);

// True when the palette's Window colour is darker than its WindowText.
bool isDark(const QPalette& palette);
// The look a choice gives on a desktop whose palette is dark or not.
Look lookFor(Choice choice, bool desktopDark);

// The look in use, process-wide; Light until set.
Look currentLook();
void setCurrentLook(Look look);
inline const ColourSet& current()
{
    return colourSet(currentLook());
}

// The colours of an editor's margin over a palette: its background, the
// line numbers and the line along its edge.
struct MarginColours {
    QColor back, number, edge;
};
MarginColours marginColours(const QPalette& palette);

// The contrast ratio of two colours (WCAG 2: 1 to 21).
double contrastRatio(const QColor& a, const QColor& b);

// The words kept in the configuration for a choice ("follow", "light",
// "dark"); an unknown word is FollowDesktop.
const char* choiceWord(Choice choice);
Choice choiceFromWord(const QString& word);

}  // namespace colours
