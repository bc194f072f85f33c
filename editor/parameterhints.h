// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter hints of a call: a label like a tool tip under the caret's
// line, the overloads one per line with the current argument in bold. It
// never takes the focus; its accessible name is its text without marks.
#pragma once
#include "toolchain/compiling/completionitems.h"

#include <QLabel>

class ParameterHintLabel : public QLabel {
    Q_OBJECT
public:
    // A label for the edit control `owner`, which owns it.
    explicit ParameterHintLabel(QWidget* owner);

    // Shows the overloads of `help` at `globalPos`; hides the label when there are none.
    void showHelp(const SignatureHelp& help, const QPoint& globalPos);
    const SignatureHelp& help() const { return help_; }

private:
    SignatureHelp help_;
};
