// SPDX-License-Identifier: GPL-3.0-or-later
#include "codesize.h"

#include "sourcetext.h"

#include <algorithm>
#include <regex>

namespace checks {

namespace {

const char* const tableMark = "code-size: table";

// What an opened brace opens, told from the code before it.
enum class Scope { Container, Function, Other };

bool hasWord(const std::string& text, const char* word)
{
    return std::regex_search(text, std::regex(std::string("\\b") + word + "\\b"));
}

Scope scopeOf(const std::string& head)
{
    if (hasWord(head, "namespace") || hasWord(head, "extern"))
        return Scope::Container;
    const bool isType = hasWord(head, "class") || hasWord(head, "struct") || hasWord(head, "union");
    const size_t paren = head.find('(');
    if (isType && (paren == std::string::npos || head.find('=') < paren))
        return hasWord(head, "enum") ? Scope::Other : Scope::Container;
    if (paren == std::string::npos || hasWord(head, "enum"))
        return Scope::Other;
    const size_t assign = head.find('=');
    if (assign < paren && !hasWord(head.substr(0, paren), "operator"))
        return Scope::Other;  // an initialised variable: a table or a lambda outside a function
    static const std::regex control(R"(^\s*(if|for|while|switch|catch|do|else)\b)");
    return std::regex_search(head, control) ? Scope::Other : Scope::Function;
}

// The words just before the parameter list of a function head.
std::string nameOf(const std::string& head)
{
    static const std::regex name(R"(([~A-Za-z_][\w:~]*(?:\s*operator\s*[^\s(]+)?)\s*\()");
    std::smatch m;
    return std::regex_search(head, m, name) ? std::string(m[1]) : std::string("?");
}

int lineAt(const std::string& text, size_t at)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

bool markedAsTable(const std::vector<std::string>& lines, int line)
{
    for (int i = std::max(1, line - 1); i <= line && i <= static_cast<int>(lines.size()); ++i)
        if (lines[i - 1].find(tableMark) != std::string::npos)
            return true;
    return false;
}

// Walks the braces of a source: which scope each one opens, and the function
// bodies among them.
class BraceWalk {
public:
    explicit BraceWalk(const std::string& source) : code_(codeOnly(source)), lines_(linesOf(source)) {}

    std::vector<FunctionSize> run()
    {
        for (size_t i = 0; i < code_.size(); ++i) {
            if (code_[i] == '{')
                open(i);
            else if (code_[i] == '}' && !scopes_.empty())
                close(i);
            else if (code_[i] == ';')
                headStart_ = i + 1;
        }
        return found_;
    }

private:
    struct Open {
        Scope scope;
        size_t function;  // its index in found_ when scope is Function
        bool init;        // a brace initialiser in a constructor's initialiser list
    };

    bool inBody() const
    {
        return std::any_of(scopes_.begin(), scopes_.end(), [](const Open& o) { return o.scope != Scope::Container; });
    }

    void open(size_t at)
    {
        const std::string head = code_.substr(headStart_, at - headStart_);
        Open o{inBody() ? Scope::Other : scopeOf(head), 0, false};
        if (o.scope == Scope::Function && isMemberInit(head)) {
            o = {Scope::Other, 0, true};
        } else if (o.scope == Scope::Function) {
            const size_t first = std::min(code_.find_first_not_of(" \t\r\n", headStart_), at);
            FunctionSize f;
            f.name = nameOf(head);
            f.line = lineAt(code_, first);
            f.table = markedAsTable(lines_, f.line);
            o.function = found_.size();
            found_.push_back(f);
        }
        scopes_.push_back(o);
        if (!o.init)
            headStart_ = at + 1;
    }

    void close(size_t at)
    {
        const Open o = scopes_.back();
        scopes_.pop_back();
        if (o.scope == Scope::Function)
            found_[o.function].lines = lineAt(code_, at) - found_[o.function].line + 1;
        if (!o.init)
            headStart_ = at + 1;
    }

    // `Frame::Frame() : a_{1}` opens a member's initialiser, not the body.
    static bool isMemberInit(const std::string& head)
    {
        static const std::regex init(R"(\)\s*(noexcept\s*)?:[^:][\s\S]*[\w>]\s*$)");
        return std::regex_search(head, init);
    }

    std::string code_;
    std::vector<std::string> lines_;
    std::vector<FunctionSize> found_;
    std::vector<Open> scopes_;
    size_t headStart_ = 0;  // just past the last ';', '{' or '}'
};

}  // namespace

std::vector<FunctionSize> functionSizes(const std::string& source)
{
    return BraceWalk(source).run();
}

bool fileIsTable(const std::string& source)
{
    const std::vector<std::string> lines = linesOf(source);
    for (size_t i = 0; i < lines.size() && i < 5; ++i)
        if (lines[i].find(tableMark) != std::string::npos)
            return true;
    return false;
}

std::vector<std::string> codeSizeFaults(const std::filesystem::path& root, const std::vector<std::string>& folders,
                                        SizeLimits limits)
{
    std::vector<std::string> faults;
    // The Java of the compile service and the debugger counts as the program's too.
    for (const std::string& file : sourcesIn(root, folders, {".cpp", ".h", ".java"})) {
        const std::string source = readText(root / file);
        const int lines = lineCount(source);
        if (lines > limits.fileLines && !fileIsTable(source))
            faults.push_back(file + ": " + std::to_string(lines) + " lines, over " +
                             std::to_string(limits.fileLines));
        for (const FunctionSize& f : functionSizes(source))
            if (f.lines > limits.functionLines && !f.table)
                faults.push_back(file + ":" + std::to_string(f.line) + ": function " + f.name + " is " +
                                 std::to_string(f.lines) + " lines, over " + std::to_string(limits.functionLines));
    }
    return faults;
}

}  // namespace checks
