// SPDX-License-Identifier: GPL-3.0-or-later
// The "Compiler Options" and "Program Arguments" windows against the build settings.
#include "toolchain/settings/optiondialogs.h"
#include "support.h"
#include "toolchain/settings/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Each test starts from the build settings of a fresh start.
using Options = ::testing::Test;

void clearField(QLineEdit* edit)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
}

QList<QCheckBox*> boxes(TCompDialog& d)
{
    return {d.Debug, d.Deprecation, d.NoWarn, d.Optimize, d.Verbose, d.Depend};
}

}  // namespace

TEST_F(Options, FirstOpeningShowsClearBoxesAndEmptyFieldsWithTheirLabels)
{
    TCompDialog d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Compiler Options"));
    for (QCheckBox* box : boxes(d))
        EXPECT_FALSE(box->isChecked()) << qPrintable(box->text());
    EXPECT_TRUE(d.Destination->text().isEmpty());
    EXPECT_TRUE(d.ClassPath->text().isEmpty());
    EXPECT_TRUE(d.JavaOptions->toPlainText().isEmpty());

    const std::pair<const char*, const char*> checks[] = {
        {"id101", "Debug info Generation"}, {"id102", "No Deprecation Warnings"},
        {"id103", "No Warnings"},           {"id104", "Optimizing Compiled Code"},
        {"id105", "Verbose Compiling"},     {"id106", "Compilation Dependencies"}};
    for (auto [id, text] : checks) {
        auto* box = d.findChild<QCheckBox*>(QString::fromLatin1(id));
        ASSERT_TRUE(box) << id;
        EXPECT_EQ(box->text(), QString::fromLatin1(text));
        EXPECT_EQ(box->accessibleName(), QString::fromLatin1(text));
    }
    // Every field has a label naming it and the same accessible name.
    const std::pair<QWidget*, const char*> fields[] = {
        {d.Destination, "Destination Directory"}, {d.ClassPath, "Class Path"}, {d.JavaOptions, "Java Options"}};
    for (auto [field, text] : fields) {
        bool labelled = false;
        for (QLabel* label : d.findChildren<QLabel*>())
            labelled = labelled || (label->buddy() == field && label->text() == QString::fromLatin1(text));
        EXPECT_TRUE(labelled) << text;
        EXPECT_EQ(field->accessibleName(), QString::fromLatin1(text));
    }
    EXPECT_EQ(d.OkButton->objectName(), QStringLiteral("id1"));
    EXPECT_EQ(d.CancelButton->objectName(), QStringLiteral("id2"));
}

TEST_F(Options, OkWithoutTouchingAnythingKeepsEverySettingIncludingAbsentOnes)
{
    {
        TCompDialog d;
        QSignalSpy finished(&d, &QDialog::finished);
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
        EXPECT_EQ(finished.count(), 1);
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    EXPECT_FALSE(EDITDESTINATION.has_value());
    EXPECT_FALSE(EDITCLASSPATH.has_value());
    EXPECT_FALSE(EDITJAVAOPTIONS.has_value());
    EXPECT_FALSE(CBDEBUG || CBDEPRECATION || CBNOWARN || CBOPTIMIZE || CBVERBOSE || CBDEPEND);

    CBNOWARN = CBDEPEND = true;
    EDITDESTINATION = QString();
    EDITCLASSPATH = QStringLiteral("/usr/share/java/junit.jar");
    EDITJAVAOPTIONS = QStringLiteral("-Xmx256m");
    {
        TCompDialog d;
        EXPECT_TRUE(d.NoWarn->isChecked());
        EXPECT_EQ(d.ClassPath->text(), *EDITCLASSPATH);
        EXPECT_EQ(d.JavaOptions->toPlainText(), *EDITJAVAOPTIONS);
        // Typing and taking it back again edits the field: it is taken, empty.
        QTest::keyClicks(d.Destination, QStringLiteral("x"));
        QTest::keyClick(d.Destination, Qt::Key_Backspace);
        d.CmOk();
    }
    EXPECT_EQ(EDITDESTINATION, QString());
    EXPECT_EQ(EDITCLASSPATH, QStringLiteral("/usr/share/java/junit.jar"));
    EXPECT_EQ(EDITJAVAOPTIONS, QStringLiteral("-Xmx256m"));
    EXPECT_TRUE(CBNOWARN && CBDEPEND);
    EXPECT_FALSE(CBDEBUG || CBDEPRECATION || CBOPTIMIZE || CBVERBOSE);
}

TEST_F(Options, EditedFieldsAreTakenWholeAsTheirFirstLine)
{
    EDITCLASSPATH = QStringLiteral("/old/classes");
    const QString longPath = QStringLiteral("/opt/libs/").repeated(30);  // 300 characters
    {
        TCompDialog d;
        clearField(d.ClassPath);
        QTest::keyClicks(d.Destination, longPath);
        QTest::keyClicks(d.JavaOptions, QStringLiteral("-Xmx64m"));
        QTest::keyClick(d.JavaOptions, Qt::Key_Return);
        QTest::keyClicks(d.JavaOptions, QStringLiteral("-verbose:gc"));
        EXPECT_EQ(d.JavaOptions->toPlainText(), QStringLiteral("-Xmx64m\n-verbose:gc"));
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
    }
    ASSERT_TRUE(EDITCLASSPATH.has_value());  // cleared means empty, not absent
    EXPECT_TRUE(EDITCLASSPATH->isEmpty());
    EXPECT_EQ(EDITDESTINATION, longPath);
    EXPECT_EQ(EDITDESTINATION->size(), 300);
    EXPECT_EQ(EDITJAVAOPTIONS, QStringLiteral("-Xmx64m"));
}

TEST_F(Options, TwoWindowsOpenAtOnceTheLastOkWinsForSwitchesAndOnlyChangedFieldsApply)
{
    TCompDialog first;
    TCompDialog second;
    QTest::mouseClick(first.Debug, Qt::LeftButton);
    EXPECT_TRUE(first.Debug->isChecked());
    QTest::keyClicks(first.ClassPath, QStringLiteral("lib/a.jar"));
    QTest::mouseClick(first.OkButton, Qt::LeftButton);
    EXPECT_TRUE(CBDEBUG);
    EXPECT_EQ(EDITCLASSPATH, QStringLiteral("lib/a.jar"));

    QTest::mouseClick(second.OkButton, Qt::LeftButton);
    EXPECT_FALSE(CBDEBUG);                                  // the second opened with the box clear
    EXPECT_EQ(EDITCLASSPATH, QStringLiteral("lib/a.jar"));  // untouched there
}

TEST_F(Options, CancelOrClosingAfterChangingEveryControlChangesNothing)
{
    for (int way = 0; way < 3; ++way) {
        TCompDialog d;
        for (QCheckBox* box : boxes(d))
            QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClicks(d.Destination, QStringLiteral("out"));
        QTest::keyClicks(d.ClassPath, QStringLiteral("lib"));
        QTest::keyClicks(d.JavaOptions, QStringLiteral("-Xss4m"));
        QSignalSpy finished(&d, &QDialog::finished);
        if (way == 0)
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        else if (way == 1)
            QTest::keyClick(&d, Qt::Key_Escape);
        else {
            d.show();
            d.close();
        }
        EXPECT_EQ(finished.count(), 1) << way;
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_FALSE(CBDEBUG || CBDEPRECATION || CBNOWARN || CBOPTIMIZE || CBVERBOSE || CBDEPEND);
        EXPECT_FALSE(EDITDESTINATION || EDITCLASSPATH || EDITJAVAOPTIONS);
    }
}

TEST_F(Options, TabMovesThroughOkCancelTheBoxesAndTheFields)
{
    TCompDialog d;
    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.OkButton->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 11; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, (QStringList{"id1", "id2", "id101", "id102", "id103", "id104", "id105", "id106", "id107",
                                  "id108", "id109", "id1"}));
}

TEST_F(Options, ProgramArgumentsTakesTheWholeFirstLineOnlyWhenChanged)
{
    {
        TProgDialog d;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Program Arguments"));
        EXPECT_EQ(d.CmdLine->objectName(), QStringLiteral("id101"));
        EXPECT_FALSE(d.CmdLine->accessibleName().isEmpty());
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
    }
    EXPECT_FALSE(EDITCMDLINE.has_value());

    const QString args = QStringLiteral("--input \"my file.txt\" ").repeated(10);  // 230 characters
    {
        TProgDialog d;
        d.show();
        QTest::keyClicks(d.CmdLine, args);
        QTest::keyClick(d.CmdLine, Qt::Key_Return);  // Enter presses OK
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    EXPECT_EQ(EDITCMDLINE, args);
    {
        TProgDialog d;
        EXPECT_EQ(d.CmdLine->text(), args);
        clearField(d.CmdLine);
        QTest::mouseClick(d.CancelButton, Qt::LeftButton);
    }
    EXPECT_EQ(EDITCMDLINE, args);
}

TEST_F(Options, TheSubWindowHoldingAWindowClosesWithIt)
{
    // The way the workspace shows an option window: its own sub-window, closed
    // when the dialog finishes.
    QMdiArea area;
    area.show();
    auto* dialog = new TCompDialog;
    QPointer<QMdiSubWindow> sub = area.addSubWindow(dialog);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, sub.data(), &QWidget::close);
    sub->show();
    QTest::mouseClick(dialog->Optimize, Qt::LeftButton);
    QTest::mouseClick(dialog->OkButton, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull());
    EXPECT_TRUE(CBOPTIMIZE);

    // Closing the sub-window itself is a Cancel.
    auto* args = new TProgDialog;
    sub = area.addSubWindow(args);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(args, &QDialog::finished, sub.data(), &QWidget::close);
    sub->show();
    QTest::keyClicks(args->CmdLine, QStringLiteral("-x"));
    sub->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull());
    EXPECT_FALSE(EDITCMDLINE.has_value());
}

TEST(OptionText, FirstLineAndChangeRules)
{
    EXPECT_EQ(firstLine(QStringLiteral("a b\r\nc")), QStringLiteral("a b"));
    EXPECT_EQ(firstLine(QStringLiteral("\nsecond")), QString());
    EXPECT_EQ(firstLine(QStringLiteral("one") + QChar(QChar::ParagraphSeparator) + "two"), QStringLiteral("one"));

    std::optional<QString> setting;
    applyEditedText(setting, false, QString());
    EXPECT_FALSE(setting.has_value());
    applyEditedText(setting, true, QStringLiteral("x\ny"));
    EXPECT_EQ(setting, QStringLiteral("x"));
    applyEditedText(setting, false, QStringLiteral("other"));
    EXPECT_EQ(setting, QStringLiteral("x"));
    applyEditedText(setting, true, QString());
    EXPECT_EQ(setting, QString());
    EXPECT_TRUE(setting.has_value());
}

TEST(OptionText, DialogUnitsToPixels)
{
    // A quarter of the average character width across, an eighth of the height down.
    EXPECT_EQ(dialogUnitsToPixels(QSize(227, 162), 6, 13), QSize(341, 263));  // 340.5, 263.25
    EXPECT_EQ(dialogUnitsToPixels(QSize(237, 62), 5, 12), QSize(296, 93));    // 296.25, 93
    EXPECT_EQ(dialogUnitsToPixels(QSize(4, 8), 7, 15), QSize(7, 15));
    EXPECT_EQ(dialogUnitsToPixels(QSize(0, 0), 7, 15), QSize(0, 0));
}

TEST_F(Options, WindowsAreSizedInDialogUnitsOfTheirEightPointFont)
{
    TCompDialog comp;
    TProgDialog prog;
    const std::pair<TOptionDialog*, QSize> dialogs[] = {{&comp, QSize(227, 162)}, {&prog, QSize(237, 62)}};
    for (auto [d, units] : dialogs) {
        SCOPED_TRACE(d->windowTitle().toStdString());
        EXPECT_EQ(d->font().pointSize(), 8);
        EXPECT_EQ(d->dialogUnits(), units);
        const QFontMetricsF m(d->font());
        const double average = m.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52;
        EXPECT_EQ(dialogAverageCharWidth(d->font()), qRound(average));
        const QSize expected(qRound(units.width() * qRound(average) / 4.0),
                             qRound(units.height() * QFontMetrics(d->font()).height() / 8.0));
        EXPECT_EQ(d->pixelSize(), expected);
        // Everything fits.
        EXPECT_LE(d->minimumSizeHint().width(), expected.width());
        EXPECT_LE(d->minimumSizeHint().height(), expected.height());
    }
}

TEST_F(Options, AFieldTypedIntoAndClearedBecomesPresentAndEmpty)
{
    {
        TCompDialog d;
        QTest::keyClicks(d.Destination, QStringLiteral("x"));
        QTest::keyClick(d.Destination, Qt::Key_Backspace);
        QTest::keyClicks(d.JavaOptions, QStringLiteral("y"));
        QTest::keyClick(d.JavaOptions, Qt::Key_Backspace);
        d.CmOk();
    }
    // Edited fields, even if empty again, are taken; the untouched one stays absent.
    EXPECT_EQ(EDITDESTINATION, QString());
    EXPECT_TRUE(EDITDESTINATION.has_value());
    EXPECT_EQ(EDITJAVAOPTIONS, QString());
    EXPECT_TRUE(EDITJAVAOPTIONS.has_value());
    EXPECT_FALSE(EDITCLASSPATH.has_value());
    {
        TProgDialog d;
        QTest::keyClicks(d.CmdLine, QStringLiteral("a"));
        QTest::keyClick(d.CmdLine, Qt::Key_Backspace);
        d.CmOk();
    }
    EXPECT_TRUE(EDITCMDLINE.has_value());
    EXPECT_EQ(EDITCMDLINE, QString());
}

TEST_F(Options, WindowsOpenWithTheFocusOnOk)
{
    TCompDialog comp;
    TProgDialog prog;
    for (TOptionDialog* d : {static_cast<TOptionDialog*>(&comp), static_cast<TOptionDialog*>(&prog)}) {
        d->show();
        QApplication::setActiveWindow(d);
        ASSERT_TRUE(QTest::qWaitForWindowActive(d));
        EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(d->OkButton)) << d->windowTitle().toStdString();
        // Enter presses OK.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(d->result(), QDialog::Accepted);
    }
}
