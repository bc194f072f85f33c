// SPDX-License-Identifier: GPL-3.0-or-later
// Java Help: the configured Java API documentation in the desktop's browser.
#pragma once

class QWidget;

// Opens the API documentation's start page (beside the configured help file),
// or says what is missing, in boxes owned by `owner`.
void showJavaHelp(QWidget* owner);
