// SPDX-License-Identifier: GPL-3.0-or-later
// The size of the program's code: no source file over a number of lines and
// no function body over a number of lines.
//
// Tables aside: a function or a file that is mostly a table (of commands,
// keys, texts) is marked with a comment holding the words "code-size: table"
//   - on the line just before the function's first line (or on that line), and
//     the function's length is not checked;
//   - on one of the first five lines of the file, and the file's length is not
//     checked (its functions still are).
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace checks {

// A function body found in a source.
struct FunctionSize {
    std::string name;    // the words before its parameter list, e.g. "Frame::buildMenus"
    int line = 0;        // the line (from 1) where its declaration starts
    int lines = 0;       // the lines from its opening brace to its closing one
    bool table = false;  // marked as a table
};

// The function bodies of a source (free functions, member functions defined
// in or out of their class, lambdas only as a part of the function around them).
std::vector<FunctionSize> functionSizes(const std::string& source);

// True when the first lines of the source mark it as a table.
bool fileIsTable(const std::string& source);

struct SizeLimits {
    int fileLines = 500;
    int functionLines = 60;
};

// Every file and function below root/folder over the limits, as
// "path: N lines, over 500" and "path:line: function name is N lines, over 60".
std::vector<std::string> codeSizeFaults(const std::filesystem::path& root, const std::vector<std::string>& folders,
                                        SizeLimits limits = {});

}  // namespace checks
