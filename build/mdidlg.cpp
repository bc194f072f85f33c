#include "build/mdidlg.h"

#include "build/settings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

void applyEditedText(std::optional<QString>& setting, const QString& openedWith, const QString& now)
{
    if (now != openedWith)
        setting = firstLine(now);
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

} // namespace

TCompDialog::TCompDialog(QWidget* parent, int /*resId*/)
    : QDialog(parent, Qt::Widget)
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

    // What the fields were opened with; OK takes only the fields changed since.
    openedDestination = Destination->text();
    openedClassPath = ClassPath->text();
    openedJavaOptions = JavaOptions->toPlainText();

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
    layout->addLayout(checks);
    layout->addLayout(fields, 1);
    layout->addLayout(makeButtonRow(this, OkButton, CancelButton));

    QWidget::setTabOrder(OkButton, CancelButton);
    QWidget::setTabOrder(CancelButton, Debug);
    QWidget::setTabOrder(Debug, Deprecation);
    QWidget::setTabOrder(Deprecation, NoWarn);
    QWidget::setTabOrder(NoWarn, Optimize);
    QWidget::setTabOrder(Optimize, Verbose);
    QWidget::setTabOrder(Verbose, Depend);
    QWidget::setTabOrder(Depend, Destination);
    QWidget::setTabOrder(Destination, ClassPath);
    QWidget::setTabOrder(ClassPath, JavaOptions);

    connect(OkButton, &QPushButton::clicked, this, &TCompDialog::CmOk);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TCompDialog::CmOk()
{
    applyEditedText(EDITDESTINATION, openedDestination, Destination->text());
    applyEditedText(EDITCLASSPATH, openedClassPath, ClassPath->text());
    applyEditedText(EDITJAVAOPTIONS, openedJavaOptions, JavaOptions->toPlainText());

    CBDEPRECATION = Deprecation->isChecked();
    CBDEBUG = Debug->isChecked();
    CBNOWARN = NoWarn->isChecked();
    CBOPTIMIZE = Optimize->isChecked();
    CBVERBOSE = Verbose->isChecked();
    CBDEPEND = Depend->isChecked();

    accept();
}

TProgDialog::TProgDialog(QWidget* parent, int /*resId*/)
    : QDialog(parent, Qt::Widget)
{
    setWindowTitle(QStringLiteral("Program Arguments"));
    setAccessibleName(QStringLiteral("Program Arguments"));

    CmdLine = makeLine(this, 101, QStringLiteral("Program Arguments"), EDITCMDLINE);
    openedCmdLine = CmdLine->text();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CmdLine);
    layout->addStretch(1);
    layout->addLayout(makeButtonRow(this, OkButton, CancelButton));

    QWidget::setTabOrder(CmdLine, OkButton);
    QWidget::setTabOrder(OkButton, CancelButton);

    connect(OkButton, &QPushButton::clicked, this, &TProgDialog::CmOk);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TProgDialog::CmOk()
{
    applyEditedText(EDITCMDLINE, openedCmdLine, CmdLine->text());
    accept();
}
