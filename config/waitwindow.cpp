// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/waitwindow.h"

#include "platform/dialogs.h"
#include "resources/resources.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPointer>

TConfigWindow::TConfigWindow(QWidget* parent)
    // A caption bar with the system menu (and its Close), no other buttons.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Config"));
    setAccessibleName(QStringLiteral("Config"));
    setModal(false);

    // The window comes up at every start, mostly for a moment only, before
    // any other window: its first showing loads no picture and no font but
    // the one the "ENV:" report uses next, and it lays out nothing. The
    // places follow from the height of a line of that font; the globe is
    // read when a search walks the volumes.
    globe = new QLabel(this);
    globe->setAccessibleName(QStringLiteral("Brewpad globe"));

    auto* product = new QLabel(productText(), this);
    product->setAlignment(Qt::AlignCenter);
    product->setAccessibleName(QStringLiteral("Product"));

    auto* searching = new QLabel(QStringLiteral("Searching files , Wait please...."), this);
    searching->setAlignment(Qt::AlignCenter);
    searching->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    searching->setAccessibleName(QStringLiteral("Status"));

    count = new QLabel(this);
    count->setAccessibleName(QStringLiteral("Directories searched"));
    current = new QLabel(this);
    current->setAccessibleName(QStringLiteral("Directory being searched"));

    const int line = fontMetrics().height();
    const int margin = 11, globeSide = 48, width = 480, inner = width - 2 * margin;
    const int countWidth = 14 * line;
    globe->setGeometry(margin, margin, globeSide, globeSide);
    product->setGeometry(margin + globeSide, margin, inner - 2 * globeSide, qMax(globeSide, 2 * line));
    const int panelTop = product->geometry().bottom() + 1 + line;
    searching->setGeometry(margin + globeSide, panelTop, inner - 2 * globeSide, line + 8);
    const int progressTop = searching->geometry().bottom() + 1 + line / 2;
    count->setGeometry(margin, progressTop, countWidth, line);
    current->setGeometry(margin + countWidth + 6, progressTop, inner - countWidth - 6, line);
    setFixedSize(width, progressTop + line + margin);
}

void TConfigWindow::showGlobe()
{
    if (globeShown)
        return;
    globeShown = true;
    const QPixmap world = pngPixmap(QStringLiteral(":/icons/world.png"));  // no image plugin loaded
    if (world.isNull())
        return;
    globe->setPixmap(world.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    setWindowIcon(QIcon(world));
}

toolsfind::Progress TConfigWindow::progress()
{
    QPointer<TConfigWindow> self(this);
    return [self](long dirs, const QString& dir) {
        if (self)
            self->showProgress(dirs, dir);
    };
}

QString TConfigWindow::countText() const
{
    return count->text();
}

QString TConfigWindow::directoryText() const
{
    return currentFull;
}

void TConfigWindow::showProgress(long dirsSearched, const QString& currentDir)
{
    if (dirsSearched > 0 || !currentDir.isEmpty()) {
        showGlobe();
        count->setText(QStringLiteral("%1 directories searched").arg(dirsSearched));
        currentFull = currentDir;
        current->setText(current->fontMetrics().elidedText(currentDir, Qt::ElideMiddle, current->width()));
        current->setToolTip(currentDir);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
