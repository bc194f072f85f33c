// SPDX-License-Identifier: GPL-3.0-or-later
// The places jumped from (Go to Definition, Goto Line, a message, a match of
// Find in Files...), for Go Back (Alt+Left) and Go Forward (Alt+Right): a
// browser's history of places in files, of bounded length.
#pragma once
#include <QString>

#include <deque>
#include <optional>

// A place in a file: its canonical path, or for an untitled window none and
// the window itself (`window`: the window a place was taken in, only
// compared), and a line and column (from 1).
struct Place {
    QString file;
    const void* window = nullptr;
    int line = 1;
    int column = 1;

    // The same file (or the same untitled window) and line.
    bool sameLine(const Place& other) const;
};

class PlaceHistory {
public:
    explicit PlaceHistory(int capacity = 100);

    // A jump from `from`: it is the place Go Back leads to; the places gone
    // back from are forgotten. A jump from the line last remembered counts once.
    void jumped(const Place& from);
    // Go Back from `here`: the place before it, `here` kept for Go Forward.
    // Nothing when there is none.
    std::optional<Place> back(const Place& here);
    // Go Forward from `here`: the place gone back from last, `here` kept for Go Back.
    std::optional<Place> forward(const Place& here);
    bool canGoBack() const { return !back_.empty(); }
    bool canGoForward() const { return !forward_.empty(); }
    // An untitled window closed: its places lead nowhere and go.
    void windowClosed(const void* window);

    int capacity() const { return capacity_; }

private:
    static void push(std::deque<Place>& to, const Place& p, int capacity);

    std::deque<Place> back_;     // the newest last
    std::deque<Place> forward_;  // the newest last
    int capacity_;
};
