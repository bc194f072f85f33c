// SPDX-License-Identifier: GPL-3.0-or-later
#include "includeorder.h"

#include "sourcetext.h"

#include <regex>
#include <sstream>

namespace checks {

LayerTable readLayerTable(const std::filesystem::path& path)
{
    LayerTable table;
    std::istringstream lines(readText(path));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::set<std::string>& allowed = table[line.substr(0, colon)];
        std::istringstream words(line.substr(colon + 1));
        std::string word;
        while (words >> word)
            allowed.insert(word);
    }
    return table;
}

namespace {

std::string allowedList(const std::string& folder, const std::set<std::string>& allowed)
{
    std::string list = folder + "/";
    for (const std::string& other : allowed)
        list += " " + other + "/";
    return list;
}

void checkSource(const std::filesystem::path& root, const std::string& file, const LayerTable& table,
                 std::vector<std::string>& faults)
{
    static const std::regex include(R"(^\s*#\s*include\s*"([A-Za-z0-9_]+)/([^"]*)\")");
    const std::string folder = file.substr(0, file.find('/'));
    const std::set<std::string>& allowed = table.at(folder);
    std::istringstream lines(readText(root / file));
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::smatch m;
        if (!std::regex_search(line, m, include))
            continue;
        const std::string target = m[1];
        if (target == folder || !table.count(target) || allowed.count(target))
            continue;
        faults.push_back(file + ":" + std::to_string(number) + ": includes \"" + target + "/" + std::string(m[2]) +
                         "\", but " + folder + "/ may include only " + allowedList(folder, allowed));
    }
}

}  // namespace

std::vector<std::string> includeOrderFaults(const std::filesystem::path& root, const LayerTable& table)
{
    std::vector<std::string> folders;
    for (const auto& [folder, allowed] : table)
        folders.push_back(folder);
    std::vector<std::string> faults;
    for (const std::string& file : sourcesIn(root, folders))
        checkSource(root, file, table, faults);
    return faults;
}

}  // namespace checks
