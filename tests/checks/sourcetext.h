// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the program's sources for the tree checks: which files are sources,
// and a source's text with its comments, strings and preprocessor lines blanked
// out (line breaks kept, so that line numbers still hold).
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace checks {

// The sources with one of the `extensions` (the C++ ones by default) below
// root/folder for every folder, sorted, as paths relative to root with '/'
// separators.
std::vector<std::string> sourcesIn(const std::filesystem::path& root, const std::vector<std::string>& folders,
                                   const std::vector<std::string>& extensions = {".cpp", ".h"});

// The file's bytes; empty when it cannot be read.
std::string readText(const std::filesystem::path& path);

// The text with every comment, string or character literal and preprocessor
// line turned into spaces; line breaks stay where they were.
std::string codeOnly(const std::string& text);

// The number of lines of the text (a last line without a line break counts).
int lineCount(const std::string& text);

}  // namespace checks
