// SPDX-License-Identifier: GPL-3.0-or-later
// The include order of the program's folders: a source in a folder includes
// headers of its own folder and of the folders its library links, never of a
// folder above it. The table of allowed folders is written by CMake at
// configure time (tests/checks/checks.cmake), one line a folder:
//     editor: config platform print project resources toolchain
#pragma once
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace checks {

// Folder -> the other folders its sources may include.
using LayerTable = std::map<std::string, std::set<std::string>>;

// Reads the table; empty when the file cannot be read.
LayerTable readLayerTable(const std::filesystem::path& path);

// Every `#include "folder/..."` in the sources of the table's folders below
// root that names a folder of the table its own folder may not include, as
// "path:line: includes \"header\", but folder/ may include only: ...".
std::vector<std::string> includeOrderFaults(const std::filesystem::path& root, const LayerTable& table);

}  // namespace checks
