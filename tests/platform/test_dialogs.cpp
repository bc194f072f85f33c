// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt message box behind dialogs(): what it shows, what each button answers,
// and Ctrl+C copying the whole message; the "Find in Files" dialog behind it.
#include "platform/dialogs.h"
#include "platform/findfilesdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `act` on the message box once it is up (the box is modal: exec() only
// returns after `act` closed it).
void whenShown(std::function<void(QMessageBox*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act]() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(box);
        }
    });
    poll->start();
}

QAbstractButton* buttonNamed(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* b : box->buttons()) {
        if (b->text().remove(QLatin1Char('&')) == text)
            return b;
    }
    return nullptr;
}

}  // namespace

TEST(MessageBox, ShowsCaptionAndTextAndAnswersWithTheButtonPressed)
{
    QString title, text, accessible;
    whenShown([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        accessible = box->accessibleName();
        ASSERT_NE(buttonNamed(box, QStringLiteral("No")), nullptr);
        buttonNamed(box, QStringLiteral("No"))->click();
    });
    EXPECT_EQ(dialogs().message(nullptr, QStringLiteral("Keep it ?"), QString(), Buttons::YesNo), Answer::No);
    EXPECT_EQ(title, QStringLiteral("Brewpad"));
    EXPECT_EQ(accessible, QStringLiteral("Brewpad"));
    EXPECT_EQ(text, QStringLiteral("Keep it ?"));

    whenShown([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(dialogs().message(nullptr, QStringLiteral("Save ?"), QStringLiteral("Brewpad"), Buttons::YesNoCancel),
              Answer::Cancel);
}

TEST(MessageBox, CtrlCCopiesCaptionTextAndButtons)
{
    QApplication::clipboard()->clear();
    whenShown([](QMessageBox* box) {
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        // Copying does not close the box.
        EXPECT_TRUE(box->isVisible());
        buttonNamed(box, QStringLiteral("OK"))->click();
    });
    EXPECT_EQ(dialogs().message(nullptr, QStringLiteral("Compilation success"), QStringLiteral("SUCCESS")),
              Answer::Ok);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, QStringLiteral("---------------------------\nSUCCESS\n---------------------------\n"
                                     "Compilation success\n---------------------------\nOK   \n"
                                     "---------------------------\n"));
}

TEST(FindInFilesDialog, FieldsComeFromTheProposalAndFindNeedsAFolderAndAText)
{
    FindInFilesQuery proposed;
    proposed.folder = "/home/user/src";
    proposed.pattern = "needle";
    TFindInFilesDialog dlg(proposed);
    EXPECT_EQ(dlg.windowTitle(), "Find in Files");
    EXPECT_EQ(dlg.patternEdit()->text(), "needle");
    EXPECT_EQ(dlg.folderEdit()->text(), "/home/user/src");
    EXPECT_EQ(dlg.fileNamesEdit()->text(), "*.java");
    EXPECT_FALSE(dlg.matchCaseBox()->isChecked());
    EXPECT_TRUE(dlg.findButton()->isEnabled());
    dlg.patternEdit()->clear();
    EXPECT_FALSE(dlg.findButton()->isEnabled());
    dlg.patternEdit()->setText("Other");
    dlg.folderEdit()->setText("  ");
    EXPECT_FALSE(dlg.findButton()->isEnabled());
    dlg.folderEdit()->setText(" /tmp/x ");
    dlg.fileNamesEdit()->setText("*.txt;*.java");
    dlg.matchCaseBox()->setChecked(true);
    const FindInFilesQuery q = dlg.query();
    EXPECT_EQ(q.pattern, "Other");
    EXPECT_EQ(q.folder, "/tmp/x");
    EXPECT_EQ(q.fileNames, "*.txt;*.java");
    EXPECT_TRUE(q.matchCase);
    // Every control named; every field with a label that leads to it.
    int labelled = 0;
    for (QWidget* w : dlg.findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
        }
        if (auto* l = qobject_cast<QLabel*>(w))
            labelled += qobject_cast<QLineEdit*>(l->buddy()) ? 1 : 0;
    }
    EXPECT_EQ(labelled, 3);
}

// "Choose one of these items": the list named for the screen reader, the
// current item chosen first, Enter on a row or Esc answering.
TEST(ChooseItemDialog, ListsTheItemsAndAnswersTheRowChosen)
{
    const QStringList items{"JDK 17.0.9    /usr/lib/jvm/a", "JDK 25.0.3    /usr/lib/jvm/b"};
    QString title, listName;
    int firstRow = -1;
    auto act = [&](bool accept) {
        auto* poll = new QTimer;
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, [poll, accept, &title, &listName, &firstRow]() {
            QWidget* dlg = QApplication::activeModalWidget();
            auto* list = dlg ? dlg->findChild<QListWidget*>() : nullptr;
            if (!list)
                return;
            poll->stop();
            poll->deleteLater();
            title = dlg->windowTitle();
            listName = list->accessibleName();
            firstRow = list->currentRow();
            if (!accept) {
                QTest::keyClick(list, Qt::Key_Escape);
                return;
            }
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Return);
        });
        poll->start();
    };
    act(true);
    EXPECT_EQ(dialogs().chooseItem(nullptr, "Java Development Kit", "&JDKs of this machine:", items, 0), 1);
    EXPECT_EQ(title, "Java Development Kit");
    EXPECT_EQ(listName, "JDKs of this machine:");
    EXPECT_EQ(firstRow, 0);
    act(false);
    EXPECT_EQ(dialogs().chooseItem(nullptr, "Java Development Kit", "&JDKs of this machine:", items, 1),
              std::nullopt);
    EXPECT_EQ(firstRow, 1);
}

// Runs `act` on the modal dialog once it is up and holds a widget of the kind `W`.
template <class W>
void whenDialogHas(std::function<void(QWidget*, W*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act]() {
        QWidget* dlg = QApplication::activeModalWidget();
        W* w = dlg ? dlg->findChild<W*>() : nullptr;
        if (!w)
            return;
        poll->stop();
        poll->deleteLater();
        act(dlg, w);
    });
    poll->start();
}

TEST(TextAndRenamePreviewDialogs, AskTheTextAndListThePlacesOnTheAccessibilityTree)
{
    QString title, fieldName, initial;
    whenDialogHas<QLineEdit>([&](QWidget* dlg, QLineEdit* field) {
        title = dlg->windowTitle();
        fieldName = field->accessibleName();
        initial = field->text();
        field->setText("sum");
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs().askText(nullptr, "Rename", "&New name:", "total"), std::optional<QString>("sum"));
    EXPECT_EQ(title, "Rename");
    EXPECT_EQ(fieldName, "New name");
    EXPECT_EQ(initial, "total");
    whenDialogHas<QLineEdit>([](QWidget*, QLineEdit* field) { QTest::keyClick(field, Qt::Key_Escape); });
    EXPECT_EQ(dialogs().askText(nullptr, "Rename", "&New name:", "total"), std::nullopt);

    const QList<RenamePreviewRow> rows{{"Calc.java", 3, "    int total = 0;"}, {"Use.java", 7, "  total++;"}};
    QStringList listed;
    QString listName, note;
    auto look = [&](bool apply) {
        whenDialogHas<QListWidget>([&, apply](QWidget* dlg, QListWidget* list) {
            listName = list->accessibleName();
            listed.clear();
            for (int i = 0; i < list->count(); ++i)
                listed << list->item(i)->text();
            for (QLabel* l : dlg->findChildren<QLabel*>()) {
                if (l->accessibleName() == "Note")
                    note = l->text();
            }
            QTest::keyClick(list, apply ? Qt::Key_Return : Qt::Key_Escape);
        });
    };
    look(true);
    EXPECT_TRUE(dialogs().renamePreview(nullptr, "Rename 'total' to 'sum'", rows, "A note"));
    EXPECT_EQ(listName, "Places changed");
    EXPECT_EQ(listed, QStringList({"Calc.java:3: int total = 0;", "Use.java:7: total++;"}));
    EXPECT_EQ(note, "A note");
    look(false);
    EXPECT_FALSE(dialogs().renamePreview(nullptr, "Rename 'total' to 'sum'", rows, QString()));
}
