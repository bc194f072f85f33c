// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the program in one table: each command's id, menu caption,
// keys, hint and icon, and where it stands on the tool bar and in the menus.
// Menu items, tool-bar buttons, accelerators and status-bar hints are all built
// from it. Adding a command is one id below, one row in commands.cpp (and its
// place in the menus), and one handler in the object that carries it out.
#pragma once
#include <QKeySequence>
#include <QList>
#include <QString>

#include <vector>

namespace cmd {
enum : int {
    FileSave = 14,
    FileSaveAs = 15,
    FormatFont = 106,
    GotoLine = 201,
    ToggleHint = 202,
    ToggleBar = 203,
    FileNewJava = 402,
    FileOpenJava = 404,
    NewJavaProj = 410,
    OpenJavaProj = 411,
    SaveJavaProj = 412,
    SaveAsJavaProj = 413,
    ViewJavaProj = 414,
    JavaCompile = 420,
    JavaRun = 421,
    AppletRun = 422,
    Unix2Dos = 423,
    JavaArgs = 424,
    JavaOptions = 425,
    StopCompiling = 440,
    CompilerMessages = 441,
    NextMessage = 442,
    PreviousMessage = 443,
    CheckWhileTyping = 444,
    DebugRun = 445,
    StepOver = 446,
    StepInto = 447,
    StepOut = 448,
    RunToCursor = 449,
    StopDebugging = 450,
    ToggleBreakpoint = 451,
    ShowConsole = 452,
    ShowVariables = 453,
    ShowCallStack = 454,
    Complete = 455,
    ParameterHints = 456,
    GoToDefinition = 457,
    ShowOutline = 458,
    ToggleComment = 459,
    FindInFiles = 460,
    ShowFindResults = 461,
    EndInput = 462,
    RunTests = 463,
    RunTestAtCaret = 464,
    ShowTestResults = 465,
    BuildWithMaven = 466,
    BreakpointsPane = 467,
    BreakpointProperties = 468,
    ShowJShell = 472,
    SendToJShell = 473,
    ResetJShell = 474,
    JShellPane = 475,
    InterruptJShell = 486,
    QuickFix = 477,
    WatchesPane = 469,
    EvaluateExpression = 471,
    AddWatch = 476,
    SetValue = 485,
    Rename = 478,
    CloseWindow = 470,
    GoBack = 480,
    GoForward = 481,
    FollowDesktopColours = 482,
    LightColours = 483,
    DarkColours = 484,
    ShowDocumentation = 479,
    DocumentationPane = 487,
    ChooseJdk = 490,
    JavaHelp = 502,
    About = 503,
    InsertNode = 552,
    DeleteNode = 553,
    Exit = 24310,
    Undo = 24321,
    Cut = 24322,
    Copy = 24323,
    Paste = 24324,
    Delete = 24325,
    ClearAll = 24326,
    Redo = 24329,
    LineNumbers = 24330,
    ZoomIn = 24331,
    ZoomOut = 24332,
    ZoomReset = 24333,
    Print = 24337,
    PrintSetup = 24338,
    Find = 24351,
    Replace = 24352,
    FindNext = 24353,
    Cascade = 24361,
    Tile = 24362,
    ArrangeIcons = 24364,
    CloseAll = 24365,
    // Recent files of the File menu: MruFirst + index (0 to 7).
    MruFirst = 24400,
};
}

// Who answers the key a caption shows after its tab.
enum class KeyOwner {
    // The main window: `keys` are bound there and run the command along the
    // routing chain while it is enabled. A row without keys shows none.
    Frame,
    // The edit control, with a key of its own (Ctrl+Z, Ctrl+X, Ctrl+C, Ctrl+V,
    // Del, Ctrl+Del). The main window binds nothing for it, so the key acts only
    // where the edit control has the focus. Ctrl+Del deletes to the end of the
    // word there; it is not bound to Clear All, where a slip of the finger would
    // empty the whole text.
    EditControl,
};

struct CommandInfo {
    int id;
    // The menu caption with its mnemonic, and after a tab the key text shown
    // right-aligned ("E&xit\tALT+X").
    const char* caption;
    QList<QKeySequence> keys;  // the keys the main window binds, possibly none
    KeyOwner keyOwner;
    // The status-bar hint (the string-table text of the id), empty where there is none.
    QString hint;
    // The picture, ":/icons/<icon>.png", named by what the command does; empty when none.
    QString icon;
    bool toggle = false;  // a menu item with a check mark, a button that stays down
    // Toggles with the same non-zero group form one exclusive (radio) group:
    // checking one unchecks the others.
    int radioGroup = 0;

    QString menuCaption() const { return QString::fromLatin1(caption); }
    // The key text after the caption's tab, empty when it shows none.
    QString shownKey() const { return menuCaption().section(QLatin1Char('\t'), 1); }
    // The resource path of the picture, empty when the command has none.
    QString iconPath() const;
};

// Every command, in menu order.
const std::vector<CommandInfo>& commandTable();

// The row of a command; null for an id that is not in the table.
const CommandInfo* commandInfo(int id);

// The hint of a command, empty where it has none.
QString commandHint(int id);

// The tool bar, left to right: 25 gadgets. A gadget with id 0 is a separator;
// the caption is the button's text, tooltip and accessible name.
struct ToolBarGadget {
    int id;
    const char* caption;
};
const std::vector<ToolBarGadget>& toolBarLayout();

// The menu bar, left to right. An entry with a title is a drop-down menu; one
// without stands for the single command it holds, directly on the menu bar.
// Items: command ids, with these places besides.
namespace menuitem {
constexpr int Separator = 0;
// The recent files, when there are any, each with its id MruFirst + index,
// followed by a separator.
constexpr int RecentFiles = -1;
// The list of open windows, to the end of the menu, after a separator.
constexpr int OpenWindows = -2;
}  // namespace menuitem
struct MenuLayout {
    const char* title;  // with its mnemonic; nullptr for a command on the menu bar itself
    std::vector<int> items;
};
const std::vector<MenuLayout>& menuBarLayout();

// The commands an editor's context menu offers after the text's own items
// (Undo to Select All), in this order; a Separator between groups.
const std::vector<int>& editorContextLayout();
