// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/parameterhints.h"

ParameterHintLabel::ParameterHintLabel(QWidget* owner) : QLabel(owner)
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::RichText);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(3);
}

void ParameterHintLabel::showHelp(const SignatureHelp& help, const QPoint& globalPos)
{
    help_ = help;
    if (help.overloads.isEmpty()) {
        hide();
        return;
    }
    setText(help.richText());
    setAccessibleName(help.plainText());
    adjustSize();
    move(globalPos);
    show();
}
