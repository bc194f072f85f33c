// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/finddialogs.h"

#include "javatext/javaidentifiers.h"
#include "platform/dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// A match of `len` characters at `idx` of a block's text is a whole word when
// no word character continues it on either side. A match that starts or ends
// with punctuation needs no boundary on that side.
bool wholeWordAt(const QString& text, int idx, int len)
{
    if (idx > 0 && isWordChar(text.at(idx)) && isWordChar(text.at(idx - 1)))
        return false;
    int end = idx + len;
    if (end < text.size() && isWordChar(text.at(end - 1)) && isWordChar(text.at(end)))
        return false;
    return true;
}

struct Match {
    int start = -1;
    int end = -1;
    bool valid() const { return start >= 0; }
};

Qt::CaseSensitivity sensitivity(const FindOptions& o)
{
    return o.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

// The first match starting at or after `from`.
Match searchDown(const QTextDocument* doc, int from, const FindOptions& o)
{
    const int len = int(o.what.size());
    QTextBlock block = doc->findBlock(from);
    int offset = block.isValid() ? from - block.position() : 0;
    for (; block.isValid(); block = block.next(), offset = 0) {
        const QString text = block.text();
        for (qsizetype idx = text.indexOf(o.what, offset, sensitivity(o)); idx >= 0;
             idx = text.indexOf(o.what, idx + 1, sensitivity(o))) {
            if (!o.wholeWord || wholeWordAt(text, int(idx), len))
                return {block.position() + int(idx), block.position() + int(idx) + len};
        }
    }
    return {};
}

// The last match ending at or before `limit`.
Match searchUp(const QTextDocument* doc, int limit, const FindOptions& o)
{
    const int len = int(o.what.size());
    QTextBlock block = doc->findBlock(limit);
    if (!block.isValid())
        block = doc->lastBlock();
    bool first = true;
    for (; block.isValid(); block = block.previous(), first = false) {
        const QString text = block.text();
        int from = first ? limit - block.position() - len : int(text.size()) - len;
        from = std::min(from, int(text.size()) - len);
        // lastIndexOf counts a negative start from the end: never pass one.
        for (int idx = from; idx >= 0;) {
            qsizetype found = text.lastIndexOf(o.what, idx, sensitivity(o));
            if (found < 0)
                break;
            if (!o.wholeWord || wholeWordAt(text, int(found), len))
                return {block.position() + int(found), block.position() + int(found) + len};
            idx = int(found) - 1;
        }
    }
    return {};
}

// Whether the selection is exactly one match of o.what.
bool selectionMatches(const QTextCursor& c, const FindOptions& o)
{
    if (!c.hasSelection() || o.what.isEmpty())
        return false;
    Match m = searchDown(c.document(), c.selectionStart(), o);
    return m.start == c.selectionStart() && m.end == c.selectionEnd();
}

// Replaces the range by `with`, in the character format of the range's first character.
void replaceRange(QTextCursor& c, const Match& m, const QString& with)
{
    c.setPosition(m.start + 1);
    QTextCharFormat format = c.charFormat();  // the format of the character before the cursor
    c.setPosition(m.start);
    c.setPosition(m.end, QTextCursor::KeepAnchor);
    c.insertText(with, format);
}

void select(QTextEdit* edit, const Match& m)
{
    QTextCursor c = edit->textCursor();
    c.setPosition(m.start);
    c.setPosition(m.end, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
}

bool singleLine(const QString& s)
{
    return !s.isEmpty() && !s.contains(QChar::ParagraphSeparator) && !s.contains(QChar::LineSeparator) &&
           !s.contains(QLatin1Char('\n'));
}

QPushButton* button(const QString& text, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setAccessibleName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

bool findNext(QTextEdit* edit, const FindOptions& o)
{
    if (!edit || o.what.isEmpty())
        return false;
    const QTextCursor c = edit->textCursor();
    Match m = o.down ? searchDown(edit->document(), c.selectionEnd(), o)
                     : searchUp(edit->document(), c.selectionStart(), o);
    if (!m.valid())
        return false;
    select(edit, m);
    return true;
}

bool replaceCurrent(QTextEdit* edit, const FindOptions& o, bool* replaced)
{
    if (replaced)
        *replaced = false;
    if (!edit || o.what.isEmpty())
        return false;
    QTextCursor c = edit->textCursor();
    if (!edit->isReadOnly() && selectionMatches(c, o)) {
        replaceRange(c, {c.selectionStart(), c.selectionEnd()}, o.with);
        edit->setTextCursor(c);
        if (replaced)
            *replaced = true;
    }
    FindOptions down = o;
    down.down = true;
    return ::findNext(edit, down);
}

int replaceAll(QTextEdit* edit, const FindOptions& o)
{
    if (!edit || o.what.isEmpty() || edit->isReadOnly())
        return 0;
    QTextDocument* doc = edit->document();
    QTextCursor c(doc);
    int count = 0;
    int from = 0;
    for (Match m = searchDown(doc, from, o); m.valid(); m = searchDown(doc, from, o)) {
        if (count == 0)
            c.beginEditBlock();
        replaceRange(c, m, o.with);
        // Go on after the inserted text, so a replacement that contains the
        // searched text is not searched again.
        from = m.start + int(o.with.size());
        ++count;
    }
    if (count > 0)
        c.endEditBlock();
    return count;
}

QString notFoundText(const QString& what)
{
    return QStringLiteral("Cannot find \"%1\"").arg(what);
}

QString replacedText(int count)
{
    return count == 1 ? QStringLiteral("Replaced 1 occurrence")
                      : QStringLiteral("Replaced %1 occurrences").arg(count);
}

// ---------------------------------------------------------------------------

TSearchDialog::TSearchDialog(const QString& title, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(title);
    setAccessibleName(title);
    setModal(false);

    what_ = new QLineEdit(this);
    what_->setAccessibleName(QStringLiteral("Find what"));
    wholeWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    wholeWord_->setAccessibleName(QStringLiteral("Match whole word only"));
    matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    matchCase_->setAccessibleName(QStringLiteral("Match case"));
    findNext_ = button(QStringLiteral("&Find Next"), QStringLiteral("Find Next"), this);
    findNext_->setDefault(true);
    cancel_ = button(QStringLiteral("Cancel"), QStringLiteral("Cancel"), this);
    actions_ << findNext_;
    whatLabel_ = labelFor(QStringLiteral("Fi&nd what:"), what_);

    connect(what_, &QLineEdit::textChanged, this, &TSearchDialog::updateButtons);
    connect(findNext_, &QPushButton::clicked, this, &TSearchDialog::findNextRequested);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton* TSearchDialog::addButton(const QString& text, const QString& name)
{
    QPushButton* b = button(text, name, this);
    actions_ << b;
    return b;
}

QLabel* TSearchDialog::labelFor(const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, this);
    l->setBuddy(buddy);
    return l;
}

void TSearchDialog::arrange(QGridLayout* fields, const QList<QWidget*>& tabOrder)
{
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : actions_)
        buttons->addWidget(b);
    buttons->addWidget(cancel_);
    buttons->addStretch();

    auto* top = new QHBoxLayout(this);
    top->addLayout(fields, 1);
    top->addLayout(buttons);

    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    updateButtons();
}

FindOptions TSearchDialog::sharedOptions() const
{
    FindOptions o;
    o.what = what_->text();
    o.matchCase = matchCase_->isChecked();
    o.wholeWord = wholeWord_->isChecked();
    return o;
}

void TSearchDialog::setSharedOptions(const FindOptions& o)
{
    what_->setText(o.what);
    matchCase_->setChecked(o.matchCase);
    wholeWord_->setChecked(o.wholeWord);
    updateButtons();
}

void TSearchDialog::updateButtons()
{
    const bool any = !what_->text().isEmpty();
    for (QPushButton* b : actions_)
        b->setEnabled(any);
}

// ---------------------------------------------------------------------------

TFindDialog::TFindDialog(QWidget* parent) : TSearchDialog(QStringLiteral("Find"), parent)
{
    auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
    direction->setAccessibleName(QStringLiteral("Direction"));
    up_ = new QRadioButton(QStringLiteral("&Up"), direction);
    up_->setAccessibleName(QStringLiteral("Up"));
    down_ = new QRadioButton(QStringLiteral("&Down"), direction);
    down_->setAccessibleName(QStringLiteral("Down"));
    down_->setChecked(true);
    auto* dirLayout = new QHBoxLayout(direction);
    dirLayout->addWidget(up_);
    dirLayout->addWidget(down_);

    auto* grid = new QGridLayout;
    grid->addWidget(whatLabel(), 0, 0);
    grid->addWidget(whatEdit(), 0, 1, 1, 2);
    grid->addWidget(wholeWordBox(), 1, 0, 1, 2);
    grid->addWidget(matchCaseBox(), 2, 0, 1, 2);
    grid->addWidget(direction, 1, 2, 2, 1);

    arrange(grid, {whatEdit(), wholeWordBox(), matchCaseBox(), up_, down_, findNextButton(), cancelButton()});
}

FindOptions TFindDialog::options() const
{
    FindOptions o = sharedOptions();
    o.down = down_->isChecked();
    return o;
}

void TFindDialog::setOptions(const FindOptions& o)
{
    (o.down ? down_ : up_)->setChecked(true);
    setSharedOptions(o);
}

// ---------------------------------------------------------------------------

TReplaceDialog::TReplaceDialog(QWidget* parent) : TSearchDialog(QStringLiteral("Replace"), parent)
{
    with_ = new QLineEdit(this);
    with_->setAccessibleName(QStringLiteral("Replace with"));
    replace_ = addButton(QStringLiteral("&Replace"), QStringLiteral("Replace"));
    replaceAll_ = addButton(QStringLiteral("Replace &All"), QStringLiteral("Replace All"));

    auto* grid = new QGridLayout;
    grid->addWidget(whatLabel(), 0, 0);
    grid->addWidget(whatEdit(), 0, 1);
    grid->addWidget(labelFor(QStringLiteral("Re&place with:"), with_), 1, 0);
    grid->addWidget(with_, 1, 1);
    grid->addWidget(wholeWordBox(), 2, 0, 1, 2);
    grid->addWidget(matchCaseBox(), 3, 0, 1, 2);
    grid->setRowStretch(4, 1);

    connect(replace_, &QPushButton::clicked, this, &TReplaceDialog::replaceRequested);
    connect(replaceAll_, &QPushButton::clicked, this, &TReplaceDialog::replaceAllRequested);
    arrange(grid, {whatEdit(), with_, wholeWordBox(), matchCaseBox(), findNextButton(), replace_, replaceAll_,
                   cancelButton()});
}

FindOptions TReplaceDialog::options() const
{
    FindOptions o = sharedOptions();
    o.with = with_->text();
    o.down = true;
    return o;
}

void TReplaceDialog::setOptions(const FindOptions& o)
{
    with_->setText(o.with);
    setSharedOptions(o);
}

// ---------------------------------------------------------------------------

FindController::FindController(QWidget* owner, std::function<QTextEdit*()> currentEditor, QObject* parent)
    : QObject(parent), owner_(owner), currentEditor_(std::move(currentEditor))
{
}

FindController::~FindController()
{
    delete find_.data();
    delete replace_.data();
}

void FindController::prefill(FindOptions& o) const
{
    QTextEdit* edit = currentEditor_ ? currentEditor_() : nullptr;
    if (!edit)
        return;
    const QTextCursor cur = edit->textCursor();
    const QString sel = cur.selectedText();
    if (singleLine(sel))
        o.what = sel;
    else if (!cur.hasSelection()) {
        // The word the caret stands in or just after.
        const QString text = cur.block().text();
        const int start = int(javatext::identifierStart(text, cur.positionInBlock()));
        const int end = int(javatext::identifierEnd(text, cur.positionInBlock()));
        if (end > start)
            o.what = text.mid(start, end - start);
    }
}

void FindController::showFind()
{
    if (!find_) {
        find_ = new TFindDialog(owner_);
        connect(find_, &TFindDialog::findNextRequested, this, &FindController::searchFromFind);
    }
    FindOptions o = last_;
    if (replace_) {
        o.what = replace_->whatEdit()->text();  // the text the user saw last
        replace_->hide();
    }
    prefill(o);
    find_->setOptions(o);
    find_->show();
    find_->raise();
    find_->activateWindow();
    find_->whatEdit()->setFocus();
    find_->whatEdit()->selectAll();
}

void FindController::showReplace()
{
    if (!replace_) {
        replace_ = new TReplaceDialog(owner_);
        connect(replace_, &TReplaceDialog::findNextRequested, this, &FindController::searchFromReplace);
        connect(replace_, &TReplaceDialog::replaceRequested, this, &FindController::replaceFromDialog);
        connect(replace_, &TReplaceDialog::replaceAllRequested, this, &FindController::replaceAllFromDialog);
    }
    FindOptions o = last_;
    if (find_) {
        o.what = find_->whatEdit()->text();
        find_->hide();
    }
    prefill(o);
    replace_->setOptions(o);
    replace_->show();
    replace_->raise();
    replace_->activateWindow();
    replace_->whatEdit()->setFocus();
    replace_->whatEdit()->selectAll();
}

void FindController::findNext()
{
    if (last_.what.isEmpty()) {
        showFind();
        return;
    }
    if (QTextEdit* edit = currentEditor_ ? currentEditor_() : nullptr)
        search(edit);
}

QWidget* FindController::messageOwner(QTextEdit* edit) const
{
    if (replace_ && replace_->isVisible())
        return replace_;
    if (find_ && find_->isVisible())
        return find_;
    return edit ? static_cast<QWidget*>(edit) : owner_.data();
}

bool FindController::search(QTextEdit* edit)
{
    if (::findNext(edit, last_))
        return true;
    dialogs().message(messageOwner(edit), notFoundText(last_.what), QString(), Buttons::Ok, Icon::Information);
    return false;
}

void FindController::searchFromFind()
{
    const QString with = last_.with;
    last_ = find_->options();
    last_.with = with;
    if (QTextEdit* edit = currentEditor_ ? currentEditor_() : nullptr)
        search(edit);
}

void FindController::searchFromReplace()
{
    last_ = replace_->options();
    if (QTextEdit* edit = currentEditor_ ? currentEditor_() : nullptr)
        search(edit);
}

void FindController::replaceFromDialog()
{
    last_ = replace_->options();
    QTextEdit* edit = currentEditor_ ? currentEditor_() : nullptr;
    if (!edit)
        return;
    if (!replaceCurrent(edit, last_))
        dialogs().message(messageOwner(edit), notFoundText(last_.what), QString(), Buttons::Ok, Icon::Information);
}

void FindController::replaceAllFromDialog()
{
    last_ = replace_->options();
    QTextEdit* edit = currentEditor_ ? currentEditor_() : nullptr;
    if (!edit)
        return;
    const int n = replaceAll(edit, last_);
    dialogs().message(messageOwner(edit), n > 0 ? replacedText(n) : notFoundText(last_.what), QString(), Buttons::Ok,
                      Icon::Information);
}
