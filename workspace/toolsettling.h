// SPDX-License-Identifier: GPL-3.0-or-later
// Settling the Java tools at start: brewpad.cfg read or rebuilt (searching the
// volumes with the wait window when needed), the tool paths reported, and the
// warm compiler for F9 prepared.
#pragma once

#include <QString>
#include <memory>

class QObject;
class toolsfind;

class ToolSettling {
public:
    ToolSettling();
    ~ToolSettling();

    // Reads or rebuilds brewpad.cfg, with the wait window painted meanwhile,
    // and reports the tool paths in a message.
    void settle();
    // The warm compiler for F9, owned by `owner`, for compilations in `dir`:
    // started in the background at once when the tool paths come from the
    // user's own configuration folder or from this start's search; otherwise
    // only made, and started by the first compilation.
    void prepareCompileService(QObject* owner, const QString& dir);

private:
    std::unique_ptr<toolsfind> tf_;
};
