#include "resources/commands.h"

#include <QHash>

QString commandHint(int id)
{
    static const QHash<int, QString> hints = {
        {cmd::FileSaveAs, "Saves the active document with a new name"},
        {cmd::ToggleHint, "Toggles tool bar hint mode"},
        {cmd::ToggleBar, "Toggles tool bar position"},
        {cmd::FileNewJava, "Creates a new Java File"},
        {cmd::NewJavaProj, "Open a new project .JPR"},
        {cmd::OpenJavaProj, "Open a project .JPR"},
        {cmd::SaveJavaProj, "Save active project"},
        {cmd::SaveAsJavaProj, "Save active project with new name"},
        {cmd::ViewJavaProj, "View active project window"},
        {cmd::JavaCompile, "Compile Java project or file"},
        {cmd::JavaRun, "Run application class"},
        {cmd::AppletRun, "Run Applet"},
        {cmd::Unix2Dos, "Converts LF to CR/LF"},
        {cmd::JavaArgs, " Program Arguments"},
        {cmd::JavaOptions, "Compiler Options"},
        {cmd::StopCompiling, "Stops the running compilation and every process of its compiler"},
        {cmd::CompilerMessages, "Shows the messages of the last compilation"},
        {cmd::InsertNode, "Adds Note to Current Project"},
        {cmd::DeleteNode, "Deletes Node from Current Project"},
        {cmd::Exit, "Quits Brewpad Editor and prompts to save document(s)"},
        {cmd::Undo, "Undo the last action"},
        {cmd::Cut, "Cut the selection and put it on the Clipboard"},
        {cmd::Copy, "Copy the selection to the Clipboard"},
        {cmd::Paste, "Insert the Clipboard contents at the caret"},
        {cmd::Delete, "Delete the selection"},
        {cmd::ClearAll, "Clear the document"},
        {cmd::Print, "Print file"},
        {cmd::Find, "Find the specified text"},
        {cmd::Replace, "Find the specified text and change it"},
        {cmd::FindNext, "Find the next match"},
        {cmd::Cascade, "Cascades open windows"},
        {cmd::Tile, "Tiles open windows"},
        {cmd::ArrangeIcons, "Arranges iconic windows along bottom"},
        {cmd::CloseAll, "Closes all open windows"},
    };
    return hints.value(id);
}
