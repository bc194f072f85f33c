// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialogs.h"

#include "platform/filedata.h"
#include "platform/findfilesdialog.h"
#include "platform/nativepath.h"
#include "platform/printsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

const QString AppName = QStringLiteral("Brewpad");

QString productText()
{
    return QStringLiteral("Brewpad Java IDE\nVersion 0.1");
}

namespace {

// Ctrl+C in a message box copies its caption, text and buttons, as message
// boxes do on Windows, so that a message can be pasted into a report or a
// search (Qt does this only on Windows).
class CopyableMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->matches(QKeySequence::Copy)) {
            const QString rule = QStringLiteral("---------------------------\n");
            QString buttons;
            for (QAbstractButton* b : this->buttons())
                buttons += b->text().remove(QLatin1Char('&')) + QStringLiteral("   ");
            QGuiApplication::clipboard()->setText(rule + windowTitle() + QLatin1Char('\n') + rule + text() +
                                                  QLatin1Char('\n') + rule + buttons + QLatin1Char('\n') + rule);
            e->accept();
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
};

// An open dialog for several files or one folder: Open (or Enter) with a
// folder chosen takes the folder; a double-click on a folder enters it.
class FilesOrFolderDialog : public QFileDialog {
public:
    FilesOrFolderDialog(QWidget* owner, const QString& dir) : QFileDialog(owner, QStringLiteral("Add"), dir)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::ExistingFiles);
    }
    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && QFileInfo(files.first()).isDir())
            QDialog::accept();
        else
            QFileDialog::accept();
    }
};

class QtDialogs : public Dialogs {
public:
    Answer message(QWidget* owner, const QString& text, const QString& caption, Buttons buttons, Icon icon) override
    {
        CopyableMessageBox box(owner);
        box.setWindowTitle(caption.isEmpty() ? AppName : caption);
        box.setText(text);
        box.setAccessibleName(caption.isEmpty() ? AppName : caption);
        box.setAccessibleDescription(text);
        switch (icon) {
        case Icon::None: break;
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
        case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
        case Icon::Stop: box.setIcon(QMessageBox::Critical); break;
        }
        switch (buttons) {
        case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
        }
    }

    bool openFile(QWidget* owner, FileDialogRecord& rec) override
    {
        QFileDialog dlg(owner, QStringLiteral("Open"), startDir(rec));
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
        setup(dlg, rec);
        while (dlg.exec() == QDialog::Accepted) {
            // The dialog decodes names as Qt does: bytes that are not UTF-8 are lost.
            QString path = nativepath::recoverLossyName(dlg.selectedFiles().value(0));
            // A typed name without extension is looked for with the default one.
            const QString withExt = nativepath::recoverLossyName(rec.withDefaultExt(path));
            if (!nativepath::info(path).exists && nativepath::info(withExt).exists)
                path = withExt;
            if (nativepath::info(path).isFile) {
                finish(dlg, rec, path);
                return true;
            }
        }
        return false;
    }

    bool openFiles(QWidget* owner, FileDialogRecord& rec, QStringList& chosen) override
    {
        FilesOrFolderDialog dlg(owner, startDir(rec));
        setup(dlg, rec);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return false;
        chosen.clear();
        for (const QString& p : dlg.selectedFiles())
            chosen << QFileInfo(nativepath::recoverLossyName(p)).absoluteFilePath();
        finish(dlg, rec, chosen.first());
        return true;
    }

    bool saveFile(QWidget* owner, FileDialogRecord& rec) override
    {
        QFileDialog dlg(owner, QStringLiteral("Save As"), startDir(rec));
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        setup(dlg, rec);
        if (!rec.fileName.isEmpty())
            dlg.selectFile(rec.fileName);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return false;
        finish(dlg, rec, nativepath::recoverLossyName(rec.withDefaultExt(dlg.selectedFiles().first())));
        return true;
    }

    bool chooseFont(QWidget* owner, QFont& font, QColor& color) override
    {
        bool ok = false;
        QFont f = QFontDialog::getFont(&ok, font, owner, QStringLiteral("Font"));
        if (!ok)
            return false;
        QColor c = QColorDialog::getColor(color, owner, QStringLiteral("Font Colour"));
        font = f;
        if (c.isValid())
            color = c;
        return true;
    }

    bool printDialog(QWidget* owner, QPrinter* printer) override
    {
        PrintSupport* ps = printSupport();
        return ps && printer && ps->printDialog(owner, printer);
    }

    bool pageSetup(QWidget* owner, QPrinter* printer) override
    {
        PrintSupport* ps = printSupport();
        return ps && printer && ps->pageSetupDialog(owner, printer);
    }

    std::optional<int> gotoLine(QWidget* owner, int current, int lineCount) override
    {
        QInputDialog dlg(owner);
        dlg.setWindowTitle(QStringLiteral("Goto Line Number"));
        dlg.setLabelText(QStringLiteral("&Line number:"));
        dlg.setInputMode(QInputDialog::IntInput);
        dlg.setIntRange(1, std::max(1, lineCount));
        dlg.setIntValue(current);
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return dlg.intValue();
    }

    std::optional<FindInFilesQuery> findInFiles(QWidget* owner, const FindInFilesQuery& proposed) override
    {
        TFindInFilesDialog dlg(proposed, owner);
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return dlg.query();
    }

    std::optional<int> chooseItem(QWidget* owner, const QString& caption, const QString& prompt,
                                  const QStringList& items, int current) override
    {
        QDialog dlg(owner);
        dlg.setWindowTitle(caption);
        dlg.setAccessibleName(caption);
        auto* label = new QLabel(prompt, &dlg);
        auto* list = new QListWidget(&dlg);
        list->addItems(items);
        list->setAccessibleName(QString(prompt).remove(QLatin1Char('&')));
        label->setBuddy(list);
        list->setCurrentRow(current >= 0 && current < items.size() ? current : 0);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
        QObject::connect(list, &QListWidget::itemActivated, &dlg, &QDialog::accept);
        auto* col = new QVBoxLayout(&dlg);
        col->addWidget(label);
        col->addWidget(list);
        col->addWidget(buttons);
        dlg.resize(560, 260);
        if (items.isEmpty() || dlg.exec() != QDialog::Accepted || list->currentRow() < 0)
            return std::nullopt;
        return list->currentRow();
    }

    std::optional<BreakpointFields> breakpointProperties(QWidget* owner, int line,
                                                         const BreakpointFields& current) override
    {
        QDialog dlg(owner);
        const QString caption = QStringLiteral("Breakpoint Properties");
        dlg.setWindowTitle(caption);
        dlg.setAccessibleName(QStringLiteral("%1, line %2").arg(caption).arg(line));
        auto* enabled = new QCheckBox(QStringLiteral("&Enabled"), &dlg);
        enabled->setChecked(current.enabled);
        auto* condition = new QLineEdit(current.condition, &dlg);
        condition->setAccessibleName(QStringLiteral("Condition"));
        condition->setPlaceholderText(QStringLiteral("a Java boolean expression; empty: always"));
        auto* hits = new QSpinBox(&dlg);
        hits->setRange(0, 1000000000);
        hits->setSpecialValueText(QStringLiteral("every hit"));
        hits->setValue(current.hitCount);
        hits->setAccessibleName(QStringLiteral("Hit count"));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
        auto* form = new QFormLayout(&dlg);
        form->addRow(new QLabel(QStringLiteral("Line %1").arg(line), &dlg));
        form->addRow(enabled);
        form->addRow(QStringLiteral("&Condition:"), condition);
        form->addRow(QStringLiteral("&Hit count (stops from this hit on):"), hits);
        form->addRow(buttons);
        dlg.resize(480, dlg.sizeHint().height());
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return BreakpointFields{enabled->isChecked(), condition->text().trimmed(), hits->value()};
    }

    void about(QWidget* owner) override
    {
        QDialog dlg(owner);
        dlg.setWindowTitle(QStringLiteral("ABOUT"));
        dlg.setAccessibleName(QStringLiteral("ABOUT"));
        auto* icon = new QLabel(&dlg);
        icon->setPixmap(QIcon(QStringLiteral(":/icons/world.png")).pixmap(48, 48));
        icon->setAccessibleName(QStringLiteral("Brewpad globe"));
        auto* text = new QLabel(productText(), &dlg);
        text->setAlignment(Qt::AlignCenter);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dlg);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        auto* row = new QHBoxLayout;
        row->addWidget(icon);
        row->addWidget(text, 1);
        auto* col = new QVBoxLayout(&dlg);
        col->addLayout(row);
        col->addWidget(buttons);
        dlg.exec();
    }

    std::optional<QString> askText(QWidget* owner, const QString& title, const QString& label,
                                   const QString& initial) override
    {
        QDialog dlg(owner);
        dlg.setWindowTitle(title);
        dlg.setAccessibleName(title);
        auto* prompt = new QLabel(label, &dlg);
        auto* field = new QLineEdit(initial, &dlg);
        field->setAccessibleName(QString(label).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        field->selectAll();
        prompt->setBuddy(field);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
        auto* col = new QVBoxLayout(&dlg);
        col->addWidget(prompt);
        col->addWidget(field);
        col->addWidget(buttons);
        dlg.resize(420, dlg.sizeHint().height());
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return field->text();
    }

    bool renamePreview(QWidget* owner, const QString& title, const QList<RenamePreviewRow>& rows,
                       const QString& note) override
    {
        QDialog dlg(owner);
        dlg.setWindowTitle(title);
        dlg.setAccessibleName(title);
        auto* col = new QVBoxLayout(&dlg);
        if (!note.isEmpty()) {
            auto* noteLabel = new QLabel(note, &dlg);
            noteLabel->setWordWrap(true);
            noteLabel->setAccessibleName(QStringLiteral("Note"));
            col->addWidget(noteLabel);
        }
        auto* label = new QLabel(QStringLiteral("&Places changed:"), &dlg);
        auto* list = new QListWidget(&dlg);
        list->setAccessibleName(QStringLiteral("Places changed"));
        for (const RenamePreviewRow& r : rows)
            list->addItem(QStringLiteral("%1:%2: %3").arg(r.file).arg(r.line).arg(r.text.trimmed()));
        list->setCurrentRow(0);
        label->setBuddy(list);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &dlg);
        QPushButton* apply = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::AcceptRole);
        apply->setDefault(true);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
        col->addWidget(label);
        col->addWidget(list);
        col->addWidget(buttons);
        dlg.resize(640, 320);
        return dlg.exec() == QDialog::Accepted;
    }

private:
    static QString startDir(const FileDialogRecord& rec)
    {
        if (!rec.fileName.isEmpty())
            return QFileInfo(rec.fileName).absolutePath();
        return rec.initialDir.isEmpty() ? QDir::currentPath() : rec.initialDir;
    }
    static void setup(QFileDialog& dlg, const FileDialogRecord& rec)
    {
        const QStringList filters = rec.qtFilter().split(";;", Qt::SkipEmptyParts);
        dlg.setNameFilters(filters);
        if (rec.filterIndex >= 0 && rec.filterIndex < filters.size())
            dlg.selectNameFilter(filters[rec.filterIndex]);
        dlg.setDefaultSuffix(rec.defaultExt);
        dlg.setOption(QFileDialog::DontConfirmOverwrite, !(rec.flags & FileDialogRecord::OverwritePrompt));
        dlg.setOption(QFileDialog::ReadOnly, false);
    }
    static void finish(QFileDialog& dlg, FileDialogRecord& rec, const QString& path)
    {
        rec.fileName = QFileInfo(path).absoluteFilePath();
        rec.filterIndex = std::max<int>(0, int(dlg.nameFilters().indexOf(dlg.selectedNameFilter())));
        rec.initialDir = QFileInfo(path).absolutePath();
    }
};

QtDialogs qtDialogs;
Dialogs* current = nullptr;

}  // namespace

Dialogs& dialogs()
{
    return current ? *current : qtDialogs;
}

void setDialogs(Dialogs* d)
{
    current = d;
}
