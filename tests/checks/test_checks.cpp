// SPDX-License-Identifier: GPL-3.0-or-later
// The tree checks on small trees of their own: an include of a folder above
// is found, the includes a folder may make pass; files and functions over
// their length are found, tables aside; and check_tree, as ctest runs it,
// fails on a planted fault.
#include "tests/checks/codesize.h"
#include "tests/checks/includeorder.h"
#include "tests/checks/sourcetext.h"
#include "support.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* const table = "resources: \nplatform: \neditor: platform resources\napp: editor platform resources\n";

std::string lines(int count, const std::string& line = "    x();\n")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line;
    return text;
}

// A function of `count` lines from its first line to its closing brace.
std::string function(const std::string& name, int count)
{
    return "void " + name + "()\n{\n" + lines(count - 3) + "}\n";
}

class TreeChecks : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    bool write(const QString& relative, const std::string& text)
    {
        return writeFile(dir.filePath(relative), QByteArray::fromStdString(text));
    }
    std::filesystem::path root() const { return dir.path().toStdString(); }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(TreeChecks, IncludesOfTheFolderAndOfTheFoldersBelowPass)
{
    ASSERT_TRUE(write("table.txt", table));
    ASSERT_TRUE(
        write("app/main.cpp", "#include \"app/frame.h\"\n#include \"editor/editorwindow.h\"\n#include <QWidget>\n"));
    ASSERT_TRUE(
        write("editor/editorwindow.h", "#pragma once\n#include \"platform/dialogs.h\"\n#include \"local.h\"\n"));
    ASSERT_TRUE(write("tests/test_x.cpp", "#include \"app/main.h\"\n"));
    const checks::LayerTable layers = checks::readLayerTable(root() / "table.txt");
    ASSERT_EQ(layers.size(), 4u);
    EXPECT_EQ(layers.at("editor"), (std::set<std::string>{"platform", "resources"}));
    EXPECT_TRUE(checks::includeOrderFaults(root(), layers).empty());
}

TEST_F(TreeChecks, AnIncludeOfAFolderAboveIsFoundWithItsLine)
{
    ASSERT_TRUE(write("table.txt", table));
    ASSERT_TRUE(
        write("editor/editorwindow.cpp", "#include \"editor/editorwindow.h\"\n\n  #  include \"app/frame.h\"\n"));
    ASSERT_TRUE(write("platform/dialogs.h", "#pragma once\n#include \"editor/editorwindow.h\"\n"));
    const std::vector<std::string> faults = checks::includeOrderFaults(root(),
                                                                       checks::readLayerTable(root() / "table.txt"));
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0].rfind("editor/editorwindow.cpp:3: includes \"app/frame.h\"", 0), 0u) << faults[0];
    EXPECT_EQ(faults[1].rfind("platform/dialogs.h:2: includes \"editor/editorwindow.h\"", 0), 0u) << faults[1];
}

TEST_F(TreeChecks, CheckTreeFailsOnAPlantedIncludeAndPassesWithoutIt)
{
    ASSERT_TRUE(write("table.txt", table));
    ASSERT_TRUE(write("editor/editorwindow.cpp", "#include \"platform/dialogs.h\"\n"));
    const QStringList args{"include-order", dir.filePath("table.txt"), dir.path()};
    EXPECT_EQ(QProcess::execute(builtFile(BP_CHECK_TREE), args), 0);
    ASSERT_TRUE(write("resources/icons.cpp", "#include \"app/frame.h\"\n"));
    QProcess run;
    run.start(builtFile(BP_CHECK_TREE), args);
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.readAllStandardOutput().contains("resources/icons.cpp:1: includes \"app/frame.h\""));
}

TEST(CodeOnly, CommentsStringsAndDirectivesAreBlankedAndLinesKept)
{
    const std::string source =
        "#define X { \\\n  }\nint a = '{'; // {\nconst char* s = \"}\"; /* {\n */ auto r = R\"x({)x\";\n";
    const std::string code = checks::codeOnly(source);
    EXPECT_EQ(code.size(), source.size());
    EXPECT_EQ(code.find_first_of("{}"), std::string::npos) << code;
    EXPECT_EQ(std::count(code.begin(), code.end(), '\n'), 5);
}

TEST(FunctionSizes, FunctionsAreMeasuredFromTheirFirstLineToTheirClosingBrace)
{
    const std::string source =
        "namespace {\nstruct S {\n    int f() const { return 1; }\n};\n}\n"
        "static const int table[] = {\n1, 2,\n};\n" +
        function("Frame::build", 10) + "Frame::Frame(int a)\n    : a_{a}, b_(2)\n{\n    if (a) {\n    }\n}\n";
    const std::vector<checks::FunctionSize> found = checks::functionSizes(source);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].name, "f");
    EXPECT_EQ(found[0].lines, 1);
    EXPECT_EQ(found[1].name, "Frame::build");
    EXPECT_EQ(found[1].line, 9);
    EXPECT_EQ(found[1].lines, 10);
    EXPECT_EQ(found[2].name, "Frame::Frame");
    EXPECT_EQ(found[2].lines, 6);
}

TEST_F(TreeChecks, LongFilesAndFunctionsAreFoundAndTablesAside)
{
    ASSERT_TRUE(write("editor/long.cpp", function("fits", 60) + function("tooLong", 61) + lines(500, "\n")));
    ASSERT_TRUE(write("editor/table.cpp", "// code-size: table\n\n" + function("keys", 80) + lines(500, "\n")));
    ASSERT_TRUE(write("editor/marked.cpp", "int a;\n// The keys (code-size: table).\n" + function("keys", 80)));
    ASSERT_TRUE(write("tests/test_long.cpp", function("longTest", 200)));
    const std::vector<std::string> faults = checks::codeSizeFaults(root(), {"editor"});
    ASSERT_EQ(faults.size(), 3u);
    EXPECT_EQ(faults[0], "editor/long.cpp: 621 lines, over 500");
    EXPECT_EQ(faults[1], "editor/long.cpp:61: function tooLong is 61 lines, over 60");
    EXPECT_EQ(faults[2], "editor/table.cpp:3: function keys is 80 lines, over 60");
}
