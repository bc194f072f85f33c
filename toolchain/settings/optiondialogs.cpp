// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/settings/optiondialogs.h"

#include "toolchain/settings/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <initializer_list>

QString firstLine(const QString& text)
{
    // Line ends as typed or pasted: LF, CR, and the paragraph and line separators.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            return text.left(i);
    }
    return text;
}

void applyEditedText(std::optional<QString>& setting, bool modified, const QString& now)
{
    if (modified)
        setting = firstLine(now);
}

QSize dialogUnitsToPixels(QSize units, int averageCharWidth, int fontHeight)
{
    // Rounded to the nearest pixel, halves away from zero.
    auto scale = [](int n, int numerator, int denominator) {
        const long long p = 2LL * n * numerator;
        return int((p + (p >= 0 ? denominator : -denominator)) / (2LL * denominator));
    };
    return QSize(scale(units.width(), averageCharWidth, 4), scale(units.height(), fontHeight, 8));
}

int dialogAverageCharWidth(const QFont& font)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = QFontMetrics(font).horizontalAdvance(letters);
    return (width + 26) / 52;
}

QFont optionDialogFont()
{
    QFont f = QApplication::font();
    f.setPointSize(8);
    return f;
}

TOptionDialog::TOptionDialog(QWidget* parent, QSize dialogUnits) : QDialog(parent, Qt::Widget), units_(dialogUnits)
{
    setFont(optionDialogFont());
}

QSize TOptionDialog::pixelSize() const
{
    return dialogUnitsToPixels(units_, dialogAverageCharWidth(font()), QFontMetrics(font()).height());
}

void TOptionDialog::setDialogMargins(QLayout* layout) const
{
    // The usual margins of a dialog layout: 7 units around, 4 between controls.
    const int cx = dialogAverageCharWidth(font());
    const int cy = QFontMetrics(font()).height();
    const QSize margin = dialogUnitsToPixels(QSize(7, 7), cx, cy);
    const QSize gap = dialogUnitsToPixels(QSize(4, 3), cx, cy);
    layout->setContentsMargins(margin.width(), margin.height(), margin.width(), margin.height());
    layout->setSpacing(std::min(gap.width(), gap.height()));
}

void TOptionDialog::focusOnOk()
{
    OkButton->setFocus();
}

void TOptionDialog::focusInEvent(QFocusEvent* e)
{
    // The dialog itself is given the focus when its window opens or comes back:
    // OK takes it.
    QDialog::focusInEvent(e);
    if (OkButton)
        OkButton->setFocus(e->reason());
}

namespace {

QCheckBox* makeCheck(QWidget* owner, int id, const char* label, bool checked)
{
    auto* box = new QCheckBox(QString::fromLatin1(label), owner);
    box->setObjectName(QStringLiteral("id%1").arg(id));
    box->setAccessibleName(QString::fromLatin1(label));
    box->setChecked(checked);
    return box;
}

QLineEdit* makeLine(QWidget* owner, int id, const QString& name, const std::optional<QString>& value)
{
    auto* edit = new QLineEdit(owner);
    edit->setObjectName(QStringLiteral("id%1").arg(id));
    edit->setAccessibleName(name);
    edit->setText(value.value_or(QString()));
    return edit;
}

QLabel* makeLabel(QWidget* owner, const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, owner);
    label->setBuddy(buddy);
    label->setAccessibleName(text);
    return label;
}

// OK bottom left, the "world" icon in the middle, Cancel bottom right.
QHBoxLayout* makeButtonRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QStringLiteral("id1"));
    ok->setAccessibleName(QStringLiteral("OK"));
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("id2"));
    cancel->setAccessibleName(QStringLiteral("Cancel"));

    auto* icon = new QLabel(dialog);
    icon->setObjectName(QStringLiteral("world"));
    icon->setAccessibleName(QStringLiteral("World"));
    const QPixmap world(QStringLiteral(":/icons/world.png"));
    if (!world.isNull())
        icon->setPixmap(world);

    auto* row = new QHBoxLayout;
    row->addWidget(ok);
    row->addStretch(1);
    row->addWidget(icon);
    row->addStretch(1);
    row->addWidget(cancel);
    return row;
}

// The tab key moves the focus through `widgets` in their order.
void chainTabOrder(std::initializer_list<QWidget*> widgets)
{
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

}  // namespace

TCompDialog::TCompDialog(QWidget* parent, int /*resId*/) : TOptionDialog(parent, QSize(227, 162))
{
    setWindowTitle(QStringLiteral("Compiler Options"));
    setAccessibleName(QStringLiteral("Compiler Options"));

    Debug = makeCheck(this, 101, "Debug info Generation", CBDEBUG);
    Deprecation = makeCheck(this, 102, "No Deprecation Warnings", CBDEPRECATION);
    NoWarn = makeCheck(this, 103, "No Warnings", CBNOWARN);
    Optimize = makeCheck(this, 104, "Optimizing Compiled Code", CBOPTIMIZE);
    Verbose = makeCheck(this, 105, "Verbose Compiling", CBVERBOSE);
    Depend = makeCheck(this, 106, "Compilation Dependencies", CBDEPEND);

    Destination = makeLine(this, 107, QStringLiteral("Destination Directory"), EDITDESTINATION);
    ClassPath = makeLine(this, 108, QStringLiteral("Class Path"), EDITCLASSPATH);
    JavaOptions = new QPlainTextEdit(this);
    JavaOptions->setObjectName(QStringLiteral("id109"));
    JavaOptions->setAccessibleName(QStringLiteral("Java Options"));
    JavaOptions->setLineWrapMode(QPlainTextEdit::NoWrap);
    JavaOptions->setTabChangesFocus(true);
    JavaOptions->setPlainText(EDITJAVAOPTIONS.value_or(QString()));
    // OK takes only the fields edited since the window opened.
    JavaOptions->document()->setModified(false);

    auto* checks = new QGridLayout;
    checks->addWidget(Debug, 0, 0);
    checks->addWidget(Deprecation, 1, 0);
    checks->addWidget(NoWarn, 2, 0);
    checks->addWidget(Optimize, 0, 1);
    checks->addWidget(Verbose, 1, 1);
    checks->addWidget(Depend, 2, 1);

    auto* fields = new QGridLayout;
    fields->addWidget(makeLabel(this, QStringLiteral("Destination Directory"), Destination), 0, 0);
    fields->addWidget(Destination, 0, 1);
    fields->addWidget(makeLabel(this, QStringLiteral("Class Path"), ClassPath), 1, 0);
    fields->addWidget(ClassPath, 1, 1);
    fields->addWidget(makeLabel(this, QStringLiteral("Java Options"), JavaOptions), 2, 0, Qt::AlignTop);
    fields->addWidget(JavaOptions, 2, 1);
    fields->setRowStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    setDialogMargins(layout);
    layout->addLayout(checks);
    layout->addLayout(fields, 1);
    layout->addLayout(makeButtonRow(this, OkButton, CancelButton));

    chainTabOrder({OkButton, CancelButton, Debug, Deprecation, NoWarn, Optimize, Verbose, Depend, Destination,
                   ClassPath, JavaOptions});

    connect(OkButton, &QPushButton::clicked, this, &TCompDialog::CmOk);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    focusOnOk();
}

void TCompDialog::CmOk()
{
    applyEditedText(EDITDESTINATION, Destination->isModified(), Destination->text());
    applyEditedText(EDITCLASSPATH, ClassPath->isModified(), ClassPath->text());
    applyEditedText(EDITJAVAOPTIONS, JavaOptions->document()->isModified(), JavaOptions->toPlainText());

    CBDEPRECATION = Deprecation->isChecked();
    CBDEBUG = Debug->isChecked();
    CBNOWARN = NoWarn->isChecked();
    CBOPTIMIZE = Optimize->isChecked();
    CBVERBOSE = Verbose->isChecked();
    CBDEPEND = Depend->isChecked();

    accept();
}

TProgDialog::TProgDialog(QWidget* parent, int /*resId*/) : TOptionDialog(parent, QSize(237, 62))
{
    setWindowTitle(QStringLiteral("Program Arguments"));
    setAccessibleName(QStringLiteral("Program Arguments"));

    CmdLine = makeLine(this, 101, QStringLiteral("Program Arguments"), EDITCMDLINE);

    auto* layout = new QVBoxLayout(this);
    setDialogMargins(layout);
    layout->addWidget(CmdLine);
    layout->addStretch(1);
    layout->addLayout(makeButtonRow(this, OkButton, CancelButton));

    chainTabOrder({CmdLine, OkButton, CancelButton});

    connect(OkButton, &QPushButton::clicked, this, &TProgDialog::CmOk);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    focusOnOk();
}

void TProgDialog::CmOk()
{
    applyEditedText(EDITCMDLINE, CmdLine->isModified(), CmdLine->text());
    accept();
}
