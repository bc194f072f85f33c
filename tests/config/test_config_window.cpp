// SPDX-License-Identifier: GPL-3.0-or-later
// The "Config" window shown while the tool paths are settled.
#include "config/waitwindow.h"
#include "config/search.h"
#include "scripted_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ConfigWindow, ShowsProductSearchingTextAndProgress)
{
    TConfigWindow w;
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Config"));
    EXPECT_FALSE(w.isModal());
    // A caption bar and a system menu, as dialogs have; no other title-bar buttons.
    const Qt::WindowFlags flags = w.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    QStringList texts;
    for (QLabel* l : w.findChildren<QLabel*>()) {
        EXPECT_FALSE(l->accessibleName().isEmpty()) << l->text().toStdString();
        texts << l->text();
    }
    EXPECT_TRUE(texts.contains(productText()));
    EXPECT_TRUE(texts.contains(QStringLiteral("Searching files , Wait please....")));

    const QString longDir = QStringLiteral("/") + QString(400, 'x') + QStringLiteral("/end");
    w.showProgress(1234, longDir);
    EXPECT_EQ(w.countText(), QStringLiteral("1234 directories searched"));
    EXPECT_EQ(w.directoryText(), longDir);
    for (QLabel* l : w.findChildren<QLabel*>()) {
        if (l->accessibleName() == QStringLiteral("Directory being searched")) {
            EXPECT_LT(l->text().size(), longDir.size()) << "long paths are shortened";
        }
    }
    w.close();
}

// The window is laid out by hand: every text fits its place, nothing overlaps,
// and the globe comes only when a search walks.
TEST(ConfigWindow, TextsFitTheirPlacesAndTheGlobeComesWithTheWalk)
{
    TConfigWindow w;
    w.show();
    QList<QLabel*> labels = w.findChildren<QLabel*>();
    QLabel* globe = nullptr;
    for (QLabel* l : labels) {
        EXPECT_TRUE(w.rect().contains(l->geometry())) << l->accessibleName().toStdString();
        for (const QString& line : l->text().split(QLatin1Char('\n')))
            EXPECT_LE(l->fontMetrics().horizontalAdvance(line), l->contentsRect().width()) << line.toStdString();
        EXPECT_GE(l->contentsRect().height(), l->fontMetrics().height() * int(l->text().count(QLatin1Char('\n')) + 1))
            << l->accessibleName().toStdString();
        for (QLabel* other : labels) {
            if (other != l)
                EXPECT_FALSE(l->geometry().intersects(other->geometry())) << l->accessibleName().toStdString();
        }
        if (l->accessibleName() == QStringLiteral("Brewpad globe"))
            globe = l;
    }
    ASSERT_NE(globe, nullptr);
    EXPECT_TRUE(globe->pixmap().isNull());
    w.showProgress(0, QString());
    EXPECT_TRUE(globe->pixmap().isNull()) << "no search yet";
    w.showProgress(3, QStringLiteral("/usr"));
    EXPECT_FALSE(globe->pixmap().isNull());
    EXPECT_FALSE(w.windowIcon().isNull());
    w.close();
}

TEST(ConfigWindow, FollowsAWalkAndOutlivesNoCallback)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/a/b");
    ScriptedDialogs d;
    toolsfind tf;
    {
        TConfigWindow w;
        w.show();
        tf.setProgress(w.progress());
        EXPECT_TRUE(tf.DoADir(dir.path(), QStringLiteral("*.*"), QStringLiteral("javac")).isEmpty());
        EXPECT_TRUE(w.countText().endsWith(QStringLiteral(" directories searched")));
        EXPECT_TRUE(w.directoryText().startsWith(dir.path()));
        w.close();
    }
    // The window is gone; a later walk must not touch it.
    EXPECT_TRUE(tf.DoADir(dir.path(), QStringLiteral("*.*"), QStringLiteral("javac")).isEmpty());
}
