// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/waitwindow.h"

#include "platform/dialogs.h"
#include "resources/resources.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QVBoxLayout>

TConfigWindow::TConfigWindow(QWidget* parent)
    // A caption bar with the system menu (and its Close), no other buttons.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Config"));
    setAccessibleName(QStringLiteral("Config"));
    setModal(false);

    auto* globe = new QLabel(this);
    globe->setAccessibleName(QStringLiteral("Brewpad globe"));
    const QPixmap world = pngPixmap(QStringLiteral(":/icons/world.png"));  // no image plugin loaded
    if (!world.isNull()) {
        globe->setPixmap(world.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        setWindowIcon(QIcon(world));
    }
    globe->setFixedSize(48, 48);

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
    current->setMinimumWidth(200);
    current->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* top = new QHBoxLayout;
    top->addWidget(globe, 0, Qt::AlignTop);
    top->addWidget(product, 1);
    top->addSpacing(48);

    auto* line = new QHBoxLayout;
    line->addWidget(count);
    line->addWidget(current, 1);

    auto* col = new QVBoxLayout(this);
    col->addLayout(top);
    col->addStretch(1);
    col->addWidget(searching, 0, Qt::AlignHCenter);
    col->addLayout(line);

    setMinimumWidth(480);
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
        count->setText(QStringLiteral("%1 directories searched").arg(dirsSearched));
        currentFull = currentDir;
        const int room = qMax(current->width(), current->minimumWidth());
        current->setText(current->fontMetrics().elidedText(currentDir, Qt::ElideMiddle, room));
        current->setToolTip(currentDir);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
