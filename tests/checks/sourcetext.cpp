// SPDX-License-Identifier: GPL-3.0-or-later
#include "sourcetext.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace checks {

namespace fs = std::filesystem;

std::vector<std::string> sourcesIn(const fs::path& root, const std::vector<std::string>& folders,
                                   const std::vector<std::string>& extensions)
{
    std::vector<std::string> found;
    for (const std::string& folder : folders) {
        std::error_code ec;
        if (!fs::is_directory(root / folder, ec))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder, ec)) {
            const std::string ext = entry.path().extension().string();
            if (entry.is_regular_file() && std::find(extensions.begin(), extensions.end(), ext) != extensions.end())
                found.push_back(entry.path().lexically_relative(root).generic_string());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

namespace {

// Blanks text[from, to) except its line breaks.
void blank(std::string& text, size_t from, size_t to)
{
    for (size_t i = from; i < to && i < text.size(); ++i)
        if (text[i] != '\n')
            text[i] = ' ';
}

// The end of the literal that starts with the quote at `at` (past its closing quote).
size_t literalEnd(const std::string& text, size_t at)
{
    const char quote = text[at];
    size_t i = at + 1;
    while (i < text.size() && text[i] != quote && text[i] != '\n')
        i += text[i] == '\\' ? 2 : 1;
    return std::min(i + 1, text.size());
}

// The end of the raw string literal R"delim( ... )delim" whose quote is at `at`.
size_t rawLiteralEnd(const std::string& text, size_t at)
{
    const size_t open = text.find('(', at);
    if (open == std::string::npos)
        return text.size();
    const std::string close = ")" + text.substr(at + 1, open - at - 1) + "\"";
    const size_t end = text.find(close, open);
    return end == std::string::npos ? text.size() : end + close.size();
}

// The end of the preprocessor line starting at `at`, continuation lines included.
size_t directiveEnd(const std::string& text, size_t at)
{
    size_t i = at;
    while (i < text.size()) {
        const size_t nl = text.find('\n', i);
        if (nl == std::string::npos)
            return text.size();
        if (nl == 0 || text[nl - 1] != '\\')
            return nl;
        i = nl + 1;
    }
    return text.size();
}

bool startsLine(const std::string& text, size_t at)
{
    for (size_t i = at; i-- > 0;) {
        if (text[i] == '\n')
            return true;
        if (text[i] != ' ' && text[i] != '\t')
            return false;
    }
    return true;
}

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

}  // namespace

std::string codeOnly(const std::string& source)
{
    std::string text = source;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        size_t end = i;
        if (c == '/' && next == '/')
            end = text.find('\n', i);
        else if (c == '/' && next == '*')
            end = text.find("*/", i + 2) == std::string::npos ? text.size() : text.find("*/", i + 2) + 2;
        else if (c == '"' && i > 0 && text[i - 1] == 'R')
            end = rawLiteralEnd(text, i);
        else if (c == '"' || (c == '\'' && !(i > 0 && std::isxdigit(static_cast<unsigned char>(text[i - 1])) &&
                                             i > 1 && isWordChar(text[i - 2]))))
            end = literalEnd(text, i);
        else if (c == '#' && startsLine(text, i))
            end = directiveEnd(text, i);
        if (end == std::string::npos)
            end = text.size();
        if (end > i) {
            blank(text, i, end);
            i = end;
        } else {
            ++i;
        }
    }
    return text;
}

int lineCount(const std::string& text)
{
    const auto breaks = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    return breaks + (text.empty() || text.back() == '\n' ? 0 : 1);
}

}  // namespace checks
