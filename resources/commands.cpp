// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/commands.h"

#include <QHash>

namespace {

using K = QKeySequence;
constexpr KeyOwner Frame = KeyOwner::Frame;
constexpr KeyOwner Edit = KeyOwner::EditControl;

}  // namespace

// code-size: table (one row per command)
const std::vector<CommandInfo>& commandTable()
{
    // clang-format off
    static const std::vector<CommandInfo> table = {
        // File
        {cmd::FileNewJava, "New&Java File\tCtrl+N", {K(Qt::CTRL | Qt::Key_N)}, Frame, "Creates a new Java File", "new-java-file"},
        {cmd::FileOpenJava, "&Open Java File\tCtrl+O", {K(Qt::CTRL | Qt::Key_O)}, Frame, "", "open-java-file"},
        {cmd::FileSave, "&Save\tCtrl+S", {K(Qt::CTRL | Qt::Key_S), K(Qt::Key_F2)}, Frame, "", "save"},
        {cmd::FileSaveAs, "Save &As...", {}, Frame, "Saves the active document with a new name", "save-as"},
        {cmd::Print, "&Print", {}, Frame, "Print file", "print"},
        {cmd::PrintSetup, "Print S&etup", {}, Frame, "", "print-setup"},
        {cmd::Exit, "E&xit\tALT+X", {K(Qt::ALT | Qt::Key_X)}, Frame,
         "Quits Brewpad Editor and prompts to save document(s)", "exit"},
        // Edit
        {cmd::Undo, "&Undo\tCtrl+Z", {}, Edit, "Undo the last action", "undo"},
        {cmd::Cut, "&Cut\tCtrl+X", {}, Edit, "Cut the selection and put it on the Clipboard", "cut"},
        {cmd::Copy, "C&opy\tCtrl+C", {}, Edit, "Copy the selection to the Clipboard", "copy"},
        {cmd::Paste, "&Paste\tCtrl+V", {}, Edit, "Insert the Clipboard contents at the caret", "paste"},
        {cmd::Delete, "&Delete\tDel", {}, Edit, "Delete the selection", "delete"},
        {cmd::ClearAll, "C&lear All\tCtrl+Del", {}, Edit, "Clear the document", "clear-all"},
        {cmd::FormatFont, "&Font", {}, Frame, "", "font"},
        {cmd::Redo, "&Redo\tCtrl+Y", {K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, Frame,
         "Redo the last action undone", ""},
        {cmd::Complete, "Complet&e\tCtrl+Space", {K(Qt::CTRL | Qt::Key_Space)}, Frame,
         "Lists what fits at the caret: names in scope, members, types and keywords", ""},
        {cmd::ParameterHints, "Parameter &Hints\tCtrl+Shift+Space", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Space)}, Frame,
         "Shows the parameters of the overloads of the call around the caret", ""},
        {cmd::QuickFix, "&Quick Fix\tCtrl+1", {K(Qt::CTRL | Qt::Key_1)}, Frame,
         "Offers fixes for the compiler's messages on the caret's line", ""},
        {cmd::Rename, "Ren&ame...\tShift+F6", {K(Qt::SHIFT | Qt::Key_F6)}, Frame,
         "Renames the local, parameter, field, method or type at the caret in the open files and the project", ""},
        {cmd::FollowDesktopColours, "Follo&w Desktop Colours", {}, Frame,
         "Colours the windows light or dark as the desktop's colours are", "", true, 1},
        {cmd::LightColours, "Light Colour&s", {}, Frame, "Colours the windows light, whatever the desktop's colours",
         "", true, 1},
        {cmd::DarkColours, "Dar&k Colours", {}, Frame, "Colours the windows dark, whatever the desktop's colours", "",
         true, 1},
        // Search
        {cmd::Find, "&Find...\tCtrl+F", {K(Qt::CTRL | Qt::Key_F)}, Frame, "Find the specified text", "find"},
        {cmd::Replace, "&Replace...\tCtrl+H", {K(Qt::CTRL | Qt::Key_H)}, Frame, "Find the specified text and change it", "replace"},
        {cmd::FindNext, "&Next\tF3", {K(Qt::Key_F3)}, Frame, "Find the next match", "find-next"},
        {cmd::GotoLine, "Goto Line\tCtrl+G", {K(Qt::CTRL | Qt::Key_G)}, Frame, "", "goto-line"},
        {cmd::LineNumbers, "Line &Numbers", {}, Frame, "Shows or hides the line numbers of the editor windows", "",
         true},
        {cmd::ZoomIn, "Zoom &In\tCtrl++", {K(Qt::CTRL | Qt::Key_Plus), K(Qt::CTRL | Qt::Key_Equal)}, Frame,
         "Shows the text of the active window larger", ""},
        {cmd::ZoomOut, "Zoom Ou&t\tCtrl+-", {K(Qt::CTRL | Qt::Key_Minus)}, Frame,
         "Shows the text of the active window smaller", ""},
        {cmd::ZoomReset, "Nor&mal Size\tCtrl+0", {K(Qt::CTRL | Qt::Key_0)}, Frame,
         "Shows the text of the active window at its own size", ""},
        {cmd::ToggleComment, "To&ggle Comment\tCtrl+/", {K(Qt::CTRL | Qt::Key_Slash)}, Frame,
         "Comments out the selected lines, or takes their comment marks off", ""},
        {cmd::NextMessage, "Next &Message\tF8", {K(Qt::Key_F8)}, Frame,
         "Go to the place of the next compiler message", ""},
        {cmd::PreviousMessage, "&Previous Message\tShift+F8", {K(Qt::SHIFT | Qt::Key_F8)}, Frame,
         "Go to the place of the previous compiler message", ""},
        {cmd::GoToDefinition, "Go to &Definition\tF12", {K(Qt::Key_F12)}, Frame,
         "Go to the declaration of the name at the caret", ""},
        {cmd::FindInFiles, "Find in Fi&les...\tCtrl+Shift+F", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_F)}, Frame,
         "Finds a text in the files of a folder and its subfolders", ""},
        {cmd::GoBack, "Go &Back\tAlt+Left", {K(Qt::ALT | Qt::Key_Left)}, Frame,
         "Goes back to the place jumped from", ""},
        {cmd::GoForward, "Go F&orward\tAlt+Right", {K(Qt::ALT | Qt::Key_Right)}, Frame,
         "Goes forward again to the place gone back from", ""},
        {cmd::ShowDocumentation, "&Show Documentation\tShift+F1", {K(Qt::SHIFT | Qt::Key_F1)}, Frame,
         "Shows the documentation of the class, method or field at the caret", ""},
        // Java Project...
        {cmd::JavaCompile, "Java Compile\tF9", {K(Qt::Key_F9)}, Frame, "Compile Java project or file", "compile"},
        {cmd::NewJavaProj, "New Project", {}, Frame, "Open a new project .JPR", "new-project"},
        {cmd::OpenJavaProj, "Open Project", {}, Frame, "Open a project .JPR", "open-project"},
        {cmd::SaveJavaProj, "Save Project", {}, Frame, "Save active project", "save-project"},
        {cmd::SaveAsJavaProj, "Save As Project", {}, Frame, "Save active project with new name", ""},
        {cmd::ViewJavaProj, "View Project", {}, Frame, "View active project window", "view-project"},
        {cmd::InsertNode, "Add Node", {}, Frame, "Adds Note to Current Project", "add-node"},
        {cmd::DeleteNode, "Del Node", {}, Frame, "Deletes Node from Current Project", "delete-node"},
        {cmd::JavaOptions, "Compiler Options", {}, Frame, "Compiler Options", "compiler-options"},
        {cmd::StopCompiling, "S&top Compiling\tCtrl+F2", {K(Qt::CTRL | Qt::Key_F2)}, Frame,
         "Stops the running compilation and every process of its compiler", ""},
        {cmd::CheckWhileTyping, "Check &While Typing", {}, Frame,
         "Checks the text of a Java source while it is typed and marks what the compiler finds", "", true},
        {cmd::CompilerMessages, "Compiler &Messages", {}, Frame, "Shows the messages of the last compilation", ""},
        {cmd::ChooseJdk, "Java Development &Kit...", {}, Frame,
         "Lists the JDKs of this machine and switches to the one chosen", ""},
        {cmd::BuildWithMaven, "&Build with Maven", {}, Frame,
         "Builds the active Maven project offline (mvn package): its output in the Console, its errors in the "
         "Compiler Messages",
         ""},
        // Run...
        {cmd::JavaRun, "Java Run\tCtrl+F9", {K(Qt::CTRL | Qt::Key_F9)}, Frame, "Run application class", "run"},
        {cmd::AppletRun, "Applet Run\tShift+F9", {K(Qt::SHIFT | Qt::Key_F9)}, Frame, "Run Applet", "applet-run"},
        {cmd::JavaArgs, "Arguments", {}, Frame, " Program Arguments", "arguments"},
        {cmd::DebugRun, "&Debug Run\tF5", {K(Qt::Key_F5)}, Frame,
         "Runs the application class under the debugger in the console; continues a paused program", ""},
        {cmd::StepOver, "Step &Over\tF10", {K(Qt::Key_F10)}, Frame,
         "Runs the paused program to the next line of the same method", ""},
        {cmd::StepInto, "Step &Into\tF11", {K(Qt::Key_F11)}, Frame,
         "Runs the paused program into the method called on its line", ""},
        {cmd::StepOut, "Step O&ut\tShift+F11", {K(Qt::SHIFT | Qt::Key_F11)}, Frame,
         "Runs the paused program until its method returns", ""},
        {cmd::RunToCursor, "Run to &Cursor\tCtrl+F10", {K(Qt::CTRL | Qt::Key_F10)}, Frame,
         "Runs the paused program to the line of the caret", ""},
        {cmd::StopDebugging, "&Stop Debugging\tShift+F5", {K(Qt::SHIFT | Qt::Key_F5)}, Frame,
         "Ends the program being debugged and everything it started", ""},
        {cmd::ToggleBreakpoint, "Toggle &Breakpoint\tCtrl+B", {K(Qt::CTRL | Qt::Key_B)}, Frame,
         "Sets or clears a breakpoint on the caret's line", ""},
        {cmd::EndInput, "&End Input", {}, Frame, "Ends the input of the program in the console, as Ctrl+D there does", ""},
        {cmd::RunTests, "Run &Tests", {}, Frame, "Compiles the active JUnit test class and runs its tests", ""},
        {cmd::RunTestAtCaret, "Run Test &at Caret", {}, Frame,
         "Compiles the active JUnit test class and runs the test method at the caret", ""},
        {cmd::ShowJShell, "&JShell", {}, Frame,
         "Shows the JShell pane, where Java expressions and declarations are evaluated", ""},
        {cmd::SendToJShell, "Se&nd to JShell\tCtrl+Shift+J", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_J)}, Frame,
         "Evaluates the selection, or the caret's line, in the JShell pane", ""},
        {cmd::ResetJShell, "Reset JS&hell", {}, Frame,
         "Starts JShell afresh, with the active project's class path; its declarations go", ""},
        {cmd::InterruptJShell, "Inte&rrupt JShell", {}, Frame,
         "Stops the JShell input running now; the declarations stay", ""},
        {cmd::BreakpointProperties, "Breakpoint &Properties...", {}, Frame,
         "Edits the breakpoint of the caret's line: enabled, condition, hit count", ""},
        {cmd::EvaluateExpression, "E&valuate Expression...\tAlt+F8", {K(Qt::ALT | Qt::Key_F8)}, Frame,
         "Evaluates a Java expression over the paused frame: the selection, or what is typed in the Watches pane",
         ""},
        {cmd::AddWatch, "Add &Watch...", {}, Frame,
         "Adds the selection, or what is typed in the Watches pane, to the expressions evaluated at each pause", ""},
        {cmd::SetValue, "Set Va&lue...", {}, Frame,
         "Sets the value of the variable chosen in the Variables pane, or of the watch chosen, in the paused program",
         ""},
        // On the menu bar
        {cmd::Unix2Dos, "Unix2Dos", {}, Frame, "Converts LF to CR/LF", "unix2dos"},
        // Window
        {cmd::Cascade, "&Cascade", {}, Frame, "Cascades open windows", "cascade"},
        {cmd::Tile, "&Tile", {}, Frame, "Tiles open windows", "tile"},
        {cmd::ArrangeIcons, "Arrange &Icons", {}, Frame, "Arranges iconic windows along bottom", ""},
        {cmd::CloseAll, "C&lose All", {}, Frame, "Closes all open windows", "close-all"},
        {cmd::ToggleHint, "Tool Bar &Hints When Pointed At", {}, Frame, "Toggles tool bar hint mode", "hint-mode",
         true},
        {cmd::ToggleBar, "Move Tool &Bar", {}, Frame, "Toggles tool bar position", "move-tool-bar"},
        {cmd::ShowConsole, "C&onsole", {}, Frame, "Shows the console of the program run by Debug Run", ""},
        {cmd::ShowVariables, "&Variables", {}, Frame, "Shows the variables of the paused program", ""},
        {cmd::ShowCallStack, "Call &Stack", {}, Frame, "Shows the call stack of the paused program", ""},
        {cmd::ShowOutline, "O&utline", {}, Frame, "Shows the classes, fields and methods of the active source", ""},
        {cmd::ShowFindResults, "Find &Results", {}, Frame, "Shows the results of the last Find in Files", ""},
        {cmd::ShowTestResults, "T&est Results", {}, Frame, "Shows the results of the last test run", ""},
        {cmd::JShellPane, "&JShell", {}, Frame, "Shows the JShell pane", ""},
        {cmd::BreakpointsPane, "Break&points\tCtrl+Shift+F8", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_F8)}, Frame,
         "Shows every breakpoint of every file", ""},
        {cmd::WatchesPane, "W&atches", {}, Frame, "Shows the expressions evaluated at each pause", ""},
        {cmd::DocumentationPane, "&Documentation", {}, Frame,
         "Shows the Documentation pane, with the documentation last shown", ""},
        {cmd::CloseWindow, "Close &Window\tCtrl+W", {K(Qt::CTRL | Qt::Key_W), K(Qt::CTRL | Qt::Key_F4)}, Frame,
         "Closes the active window, asking to save its changes", ""},
        // Help
        {cmd::JavaHelp, "JAVA...", {}, Frame, "", "java-help"},
        {cmd::About, "About", {}, Frame, "", "about"},
    };
    // clang-format on
    return table;
}

QString CommandInfo::iconPath() const
{
    return icon.isEmpty() ? QString() : QStringLiteral(":/icons/%1.png").arg(icon);
}

const CommandInfo* commandInfo(int id)
{
    static const QHash<int, const CommandInfo*> byId = [] {
        QHash<int, const CommandInfo*> h;
        for (const CommandInfo& c : commandTable())
            h.insert(c.id, &c);
        return h;
    }();
    return byId.value(id);
}

QString commandHint(int id)
{
    const CommandInfo* c = commandInfo(id);
    return c ? c->hint : QString();
}

const std::vector<ToolBarGadget>& toolBarLayout()
{
    static const std::vector<ToolBarGadget> gadgets = {
        {cmd::FileNewJava, "New Java file"},
        {cmd::FileOpenJava, "Open Java file"},
        {cmd::FileSave, "Save"},
        {cmd::FileSaveAs, "Save As"},
        {0, nullptr},
        {cmd::Print, "Print"},
        {0, nullptr},
        {cmd::Undo, "Undo"},
        {cmd::Cut, "Cut"},
        {cmd::Copy, "Copy"},
        {cmd::Paste, "Paste"},
        {0, nullptr},
        {cmd::GotoLine, "Goto Line"},
        {0, nullptr},
        {cmd::Find, "Find"},
        {cmd::Replace, "Replace"},
        {cmd::FindNext, "Find next"},
        {0, nullptr},
        {cmd::JavaCompile, "Java Compile"},
        {cmd::JavaRun, "Java Run"},
        {cmd::AppletRun, "Applet Run"},
        {0, nullptr},
        {cmd::ToggleHint, "Toggles tool bar hint mode"},
        {0, nullptr},
        {cmd::ToggleBar, "Toggles tool bar position"},
    };
    return gadgets;
}

namespace {

std::vector<int> runMenuItems()
{
    using namespace menuitem;
    return {cmd::JavaRun,        cmd::AppletRun,
            Separator,           cmd::JavaArgs,
            Separator,           cmd::DebugRun,
            cmd::StepOver,       cmd::StepInto,
            cmd::StepOut,        cmd::RunToCursor,
            cmd::StopDebugging,  cmd::ToggleBreakpoint,
            Separator,           cmd::EndInput,
            Separator,           cmd::RunTests,
            cmd::RunTestAtCaret, Separator,
            cmd::ShowJShell,     cmd::SendToJShell,
            cmd::ResetJShell,    cmd::InterruptJShell,
            Separator,           cmd::BreakpointProperties,
            Separator,           cmd::EvaluateExpression,
            cmd::AddWatch,       cmd::SetValue};
}

std::vector<int> windowMenuItems()
{
    using namespace menuitem;
    return {cmd::Cascade,
            cmd::Tile,
            cmd::ArrangeIcons,
            cmd::CloseAll,
            Separator,
            cmd::ToggleHint,
            cmd::ToggleBar,
            Separator,
            cmd::ShowConsole,
            cmd::ShowVariables,
            cmd::ShowCallStack,
            Separator,
            cmd::ShowOutline,
            cmd::ShowFindResults,
            cmd::ShowTestResults,
            cmd::JShellPane,
            cmd::BreakpointsPane,
            cmd::WatchesPane,
            cmd::DocumentationPane,
            Separator,
            cmd::CloseWindow,
            OpenWindows};
}

}  // namespace

const std::vector<MenuLayout>& menuBarLayout()
{
    using namespace menuitem;
    static const std::vector<MenuLayout> menus = {
        {"&File",
         {cmd::FileNewJava, cmd::FileOpenJava, Separator, cmd::FileSave, cmd::FileSaveAs, Separator, cmd::Print,
          cmd::PrintSetup, Separator, RecentFiles, cmd::Exit}},
        {"&Edit",
         {cmd::Undo,          Separator,       cmd::Cut,        cmd::Copy,   cmd::Paste,    cmd::Delete,
          cmd::ClearAll,      Separator,       cmd::FormatFont, Separator,   cmd::Redo,     cmd::LineNumbers,
          cmd::ZoomIn,        cmd::ZoomOut,    cmd::ZoomReset,  Separator,   cmd::Complete, cmd::ParameterHints,
          cmd::ToggleComment, Separator,       cmd::QuickFix,   cmd::Rename, Separator,     cmd::FollowDesktopColours,
          cmd::LightColours,  cmd::DarkColours}},
        {"&Search",
         {cmd::Find, cmd::Replace, cmd::FindNext, cmd::GotoLine, Separator, cmd::NextMessage, cmd::PreviousMessage,
          Separator, cmd::GoToDefinition, cmd::FindInFiles, Separator, cmd::GoBack, cmd::GoForward, Separator,
          cmd::ShowDocumentation}},
        {"Java Project...", {cmd::JavaCompile,   Separator,
                             cmd::NewJavaProj,   cmd::OpenJavaProj,
                             cmd::SaveJavaProj,  cmd::SaveAsJavaProj,
                             Separator,          cmd::ViewJavaProj,
                             Separator,          cmd::InsertNode,
                             cmd::DeleteNode,    Separator,
                             cmd::JavaOptions,   Separator,
                             cmd::StopCompiling, cmd::CompilerMessages,
                             Separator,          cmd::CheckWhileTyping,
                             Separator,          cmd::ChooseJdk,
                             Separator,          cmd::BuildWithMaven}},
        {"Run...", runMenuItems()},
        {nullptr, {cmd::Unix2Dos}},
        // The tool bar's own two commands stand in the Window menu too, so that the
        // keyboard and screen readers reach every command from the menu bar.
        {"&Window", windowMenuItems()},
        {"&Help", {cmd::JavaHelp, cmd::About}},
    };
    return menus;
}

const std::vector<int>& editorContextLayout()
{
    static const std::vector<int> items = {cmd::QuickFix, menuitem::Separator, cmd::SendToJShell};
    return items;
}
