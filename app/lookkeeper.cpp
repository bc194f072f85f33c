// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lookkeeper.h"

#include "config/lookfile.h"
#include "platform/dialogs.h"
#include "resources/commands.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QTimer>

LookKeeper::LookKeeper(QString file, std::function<QWidget*()> owner, QObject* parent)
    : QObject(parent), file_(std::move(file)), owner_(std::move(owner)), desktop_(QApplication::palette())
{
    choice_ = lookfile::read(file_);
    qApp->installEventFilter(this);
    apply();
}

LookKeeper::~LookKeeper()
{
    qApp->removeEventFilter(this);
    setApplicationPalette(desktop_);
    colours::setCurrentLook(colours::lookFor(colours::Choice::FollowDesktop, colours::isDark(desktop_)));
}

void LookKeeper::choose(colours::Choice choice)
{
    choice_ = choice;
    apply();
    if (file_.isEmpty() || lookfile::write(file_, choice))
        return;
    dialogs().message(owner_ ? owner_() : nullptr,
                      QStringLiteral("Brewpad could not keep the colours chosen in %1.\n\nThey apply until Brewpad "
                                     "ends. Check that the folder exists and that you may write to it.")
                          .arg(QDir::toNativeSeparators(file_)),
                      QString(), Buttons::Ok, Icon::Warning);
}

void LookKeeper::addCommands(CommandTable& table)
{
    const std::pair<int, colours::Choice> rows[] = {
        {cmd::FollowDesktopColours, colours::Choice::FollowDesktop},
        {cmd::LightColours, colours::Choice::Light},
        {cmd::DarkColours, colours::Choice::Dark},
    };
    for (const auto& [id, choice] : rows) {
        const colours::Choice c = choice;
        table.on(id, [this, c] { choose(c); });
        table.enabler(id, [this, c](CommandState& s) {
            s.enabled = true;
            s.checked = choice_ == c;
        });
    }
}

bool LookKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // Another palette from outside (the desktop's, or one a program sets):
    // the desktop's colours are read again, and applied once the change is
    // over, not in the middle of it.
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && !applying_) {
        desktop_ = QApplication::palette();
        if (!applyDue_) {
            applyDue_ = true;
            QTimer::singleShot(0, this, [this] {
                applyDue_ = false;
                apply();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void LookKeeper::apply()
{
    const bool desktopDark = colours::isDark(desktop_);
    const colours::Look look = colours::lookFor(choice_, desktopDark);
    const bool changed = look != colours::currentLook();
    colours::setCurrentLook(look);
    // The desktop's own palette where it fits the look, the look's own where not.
    setApplicationPalette((look == colours::Look::Dark) == desktopDark ? desktop_ : colours::lookPalette(look));
    if (changed)
        emit lookChanged(look);
}

void LookKeeper::setApplicationPalette(const QPalette& palette)
{
    applying_ = true;
    QApplication::setPalette(palette);
    applying_ = false;
}
