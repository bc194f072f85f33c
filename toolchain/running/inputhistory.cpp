// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/inputhistory.h"

#include <utility>

void InputHistory::add(const QString& input)
{
    at_ = -1;
    draft_.clear();
    if (input.trimmed().isEmpty() || (!entries_.isEmpty() && entries_.last() == input))
        return;
    entries_ << input;
}

std::optional<QString> InputHistory::older(const QString& shown)
{
    if (at_ == -1) {
        if (entries_.isEmpty())
            return std::nullopt;
        draft_ = shown;
        at_ = entries_.size() - 1;
        return entries_.at(at_);
    }
    if (at_ == 0)
        return std::nullopt;
    return entries_.at(--at_);
}

std::optional<QString> InputHistory::newer()
{
    if (at_ == -1)
        return std::nullopt;
    if (++at_ < entries_.size())
        return entries_.at(at_);
    at_ = -1;
    return std::exchange(draft_, QString());
}
