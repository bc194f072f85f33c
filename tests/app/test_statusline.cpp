// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar's fields on a main window of their own: the caret's place and
// the Modified field follow the editor they are given, a tool-bar button's hint
// shows as the hint mode says, the Up, Down and Ins indicators follow their
// keys, a status text gives way after four seconds, and
// the frame does not show the commands' status tips as passing messages.
#include "app/statusline.h"
#include "editor/editcontrol.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class StatusLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame.resize(600, 400);
        frame.setCentralWidget(edit);
        frame.show();
    }

    void press(QWidget* w, QEvent::Type type)
    {
        QMouseEvent e(type, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    QMainWindow frame;
    EditControl* edit = new EditControl;
    HintModes mode = HintModes::PressHints;
    StatusLine* status = new StatusLine(&frame, mode);
};

}  // namespace

TEST_F(StatusLineTest, CaretPlaceAndModifiedFollowTheEditorGiven)
{
    EXPECT_EQ(status->message(), "");
    EXPECT_EQ(status->modifiedField()->text(), "");
    status->setEditor(edit);
    EXPECT_EQ(status->message(), "Line 1, Col 1");
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(status->message(), "Line 1, Col 3");
    EXPECT_EQ(status->modifiedField()->text(), "Modified");
    edit->document()->setModified(false);
    EXPECT_EQ(status->modifiedField()->text(), "");
    status->setEditor(nullptr);
    EXPECT_EQ(status->message(), "");
    // An editor no longer followed changes nothing.
    QTest::keyClicks(edit, "c");
    EXPECT_EQ(status->message(), "");
    EXPECT_EQ(status->modifiedField()->text(), "");
}

TEST_F(StatusLineTest, UpDownAndInsFollowTheKeys)
{
    status->setEditor(edit);
    edit->setFocus();
    QTest::keyPress(edit, Qt::Key_Up);
    EXPECT_TRUE(status->indicator("Up")->isEnabled());
    EXPECT_FALSE(status->indicator("Down")->isEnabled());
    QTest::keyRelease(edit, Qt::Key_Up);
    EXPECT_FALSE(status->indicator("Up")->isEnabled());
    QTest::keyPress(edit, Qt::Key_Down);
    EXPECT_TRUE(status->indicator("Down")->isEnabled());
    QTest::keyRelease(edit, Qt::Key_Down);
    EXPECT_FALSE(status->indicator("Down")->isEnabled());
    // Insert toggles the overwrite mode; typing leaves the field as it is.
    const bool overwrite = edit->overwriteMode();
    QTest::keyClick(edit, Qt::Key_Insert);
    EXPECT_NE(edit->overwriteMode(), overwrite);
    EXPECT_EQ(status->indicator("Ins")->isEnabled(), edit->overwriteMode());
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(status->indicator("Ins")->isEnabled(), edit->overwriteMode());
    QTest::keyClick(edit, Qt::Key_Insert);
    EXPECT_EQ(edit->overwriteMode(), overwrite);
    EXPECT_EQ(status->indicator("Ins")->isEnabled(), overwrite);
}

TEST_F(StatusLineTest, ButtonHintsAsTheModeSays)
{
    QAction action(QStringLiteral("Save"));
    action.setStatusTip(QStringLiteral("Saves the file"));
    auto* button = new QToolButton(&frame);
    button->setDefaultAction(&action);
    status->watchButton(button, &action);

    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(status->message(), "");
    press(button, QEvent::MouseButtonPress);
    EXPECT_EQ(status->message(), "Saves the file");
    press(button, QEvent::MouseButtonRelease);
    EXPECT_EQ(status->message(), "");

    mode = HintModes::EnterHints;
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(status->message(), "Saves the file");
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(status->message(), "");
}

TEST_F(StatusLineTest, StatusTextGivesWayToTheCaretPlace)
{
    status->setEditor(edit);
    status->showStatus(QStringLiteral("Compilation success"));
    EXPECT_EQ(status->message(), "Compilation success");
    // Typing meanwhile does not replace it.
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(status->message(), "Compilation success");
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->message() == "Line 1, Col 2"; }, 8000));

    // A text shown while an earlier one stands gets its four seconds too: the
    // end of the earlier one does not cut it short.
    status->showStatus(QStringLiteral("Compiling"));
    QTest::qWait(2500);
    status->showStatus(QStringLiteral("Paused at A.java:7"));
    QTest::qWait(2500);
    EXPECT_EQ(status->message(), "Paused at A.java:7");
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->message() == "Line 1, Col 2"; }, 8000));
}

TEST_F(StatusLineTest, StatusTipsAreNotPassingMessagesOfTheFrame)
{
    QStatusTipEvent tip(QStringLiteral("Creates a new Java File"));
    QApplication::sendEvent(&frame, &tip);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "");
    // An empty one still ends a passing message, as the toolkit does it.
    frame.statusBar()->showMessage(QStringLiteral("Compiling: javac A.java"));
    QStatusTipEvent none{QString()};
    QApplication::sendEvent(&frame, &none);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "");
}
