// Command ids shared by menu items, tool-bar buttons, accelerators and hints.
#pragma once
#include <QString>

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

// The string-table hint of a command, empty where the table has none.
QString commandHint(int id);
