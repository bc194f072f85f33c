// SPDX-License-Identifier: GPL-3.0-or-later
// Command routing: every command has one id. A command is offered along a chain
// of participants (the focused window, the active editor window, the workspace,
// the frame, the application); the first whose table handles it runs it.
// Enabling walks the same chain: an explicit enabler decides where one is found,
// otherwise a command is enabled exactly when some participant handles it.
#pragma once
#include <QHash>
#include <functional>
#include <optional>
#include <vector>

struct CommandState {
    bool enabled = true;
    std::optional<bool> checked;  // set by enablers of toggles
};

class CommandTable {
public:
    using Handler = std::function<void()>;
    using Enabler = std::function<void(CommandState&)>;

    void on(int id, Handler h) { handlers_.insert(id, std::move(h)); }
    void enabler(int id, Enabler e) { enablers_.insert(id, std::move(e)); }

    bool handles(int id) const { return handlers_.contains(id); }
    const Enabler* findEnabler(int id) const
    {
        auto it = enablers_.constFind(id);
        return it == enablers_.cend() ? nullptr : &it.value();
    }
    bool run(int id) const
    {
        auto it = handlers_.constFind(id);
        if (it == handlers_.cend())
            return false;
        Handler h = it.value();  // the handler may destroy its owner
        h();
        return true;
    }

private:
    QHash<int, Handler> handlers_;
    QHash<int, Enabler> enablers_;
};

// A participant of the chain.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual CommandTable& commands() = 0;
};

using CommandChain = std::vector<CommandTarget*>;

// Runs a command along a chain; false when nobody handles it.
inline bool routeCommand(const CommandChain& chain, int id)
{
    for (CommandTarget* t : chain) {
        if (t && t->commands().handles(id))
            return t->commands().run(id);
    }
    return false;
}

// The state of a command along a chain.
inline CommandState commandState(const CommandChain& chain, int id)
{
    for (CommandTarget* t : chain) {
        if (!t)
            continue;
        if (const auto* e = t->commands().findEnabler(id)) {
            CommandState s;
            (*e)(s);
            return s;
        }
    }
    CommandState s;
    s.enabled = false;
    for (CommandTarget* t : chain) {
        if (t && t->commands().handles(id)) {
            s.enabled = true;
            break;
        }
    }
    return s;
}
