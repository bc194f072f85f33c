// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/placehistory.h"

#include <algorithm>

bool Place::sameLine(const Place& other) const
{
    const bool sameFile = file.isEmpty() ? other.file.isEmpty() && window == other.window : file == other.file;
    return sameFile && line == other.line;
}

PlaceHistory::PlaceHistory(int capacity) : capacity_(std::max(1, capacity)) {}

void PlaceHistory::push(std::deque<Place>& to, const Place& p, int capacity)
{
    if (p.file.isEmpty() && !p.window)
        return;  // no place
    if (!to.empty() && to.back().sameLine(p)) {
        to.back() = p;
        return;
    }
    to.push_back(p);
    while (int(to.size()) > capacity)
        to.pop_front();
}

void PlaceHistory::jumped(const Place& from)
{
    push(back_, from, capacity_);
    forward_.clear();
}

std::optional<Place> PlaceHistory::back(const Place& here)
{
    if (back_.empty())
        return std::nullopt;
    const Place to = back_.back();
    back_.pop_back();
    push(forward_, here, capacity_);
    return to;
}

std::optional<Place> PlaceHistory::forward(const Place& here)
{
    if (forward_.empty())
        return std::nullopt;
    const Place to = forward_.back();
    forward_.pop_back();
    push(back_, here, capacity_);
    return to;
}

void PlaceHistory::windowClosed(const void* window)
{
    auto gone = [window](const Place& p) { return p.file.isEmpty() && p.window == window; };
    std::erase_if(back_, gone);
    std::erase_if(forward_, gone);
}
