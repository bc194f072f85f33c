// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/findfilesdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLineEdit* field(const QString& name, const QString& text, QWidget* parent)
{
    auto* e = new QLineEdit(text, parent);
    e->setAccessibleName(name);
    return e;
}
}  // namespace

TFindInFilesDialog::TFindInFilesDialog(const FindInFilesQuery& proposed, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Find in Files"));
    setAccessibleName(QStringLiteral("Find in Files"));
    pattern_ = field(QStringLiteral("Find what"), proposed.pattern, this);
    folder_ = field(QStringLiteral("In folder"), QDir::toNativeSeparators(proposed.folder), this);
    fileNames_ = field(QStringLiteral("File names"), proposed.fileNames, this);
    matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    matchCase_->setAccessibleName(QStringLiteral("Match case"));
    matchCase_->setChecked(proposed.matchCase);
    browse_ = new QPushButton(QStringLiteral("&Browse..."), this);
    browse_->setAccessibleName(QStringLiteral("Browse"));
    browse_->setAutoDefault(false);

    auto* grid = new QGridLayout;
    const std::pair<const char*, QLineEdit*> rows[] = {
        {"Fi&nd what:", pattern_}, {"In &folder:", folder_}, {"File na&mes:", fileNames_}};
    int row = 0;
    for (const auto& [label, edit] : rows) {
        auto* l = new QLabel(QString::fromLatin1(label), this);
        l->setBuddy(edit);
        grid->addWidget(l, row, 0);
        grid->addWidget(edit, row++, 1);
    }
    grid->addWidget(browse_, 1, 2);
    grid->addWidget(matchCase_, row, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    find_ = buttons->button(QDialogButtonBox::Ok);
    find_->setText(QStringLiteral("Find"));
    find_->setAccessibleName(QStringLiteral("Find"));
    find_->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse_, &QPushButton::clicked, this, &TFindInFilesDialog::browse);
    connect(pattern_, &QLineEdit::textChanged, this, &TFindInFilesDialog::updateButtons);
    connect(folder_, &QLineEdit::textChanged, this, &TFindInFilesDialog::updateButtons);

    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addWidget(buttons);
    pattern_->selectAll();
    pattern_->setFocus();
    updateButtons();
}

FindInFilesQuery TFindInFilesDialog::query() const
{
    FindInFilesQuery q;
    q.pattern = pattern_->text();
    q.folder = QDir::fromNativeSeparators(folder_->text().trimmed());
    q.fileNames = fileNames_->text().trimmed();
    q.matchCase = matchCase_->isChecked();
    return q;
}

void TFindInFilesDialog::updateButtons()
{
    find_->setEnabled(!pattern_->text().isEmpty() && !folder_->text().trimmed().isEmpty());
}

void TFindInFilesDialog::browse()
{
    const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("In folder"), folder_->text());
    if (!dir.isEmpty())
        folder_->setText(QDir::toNativeSeparators(dir));
}
