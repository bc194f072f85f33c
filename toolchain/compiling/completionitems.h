// SPDX-License-Identifier: GPL-3.0-or-later
// What completion offers and parameter hints show, as plain data: the items
// of the compile service's "completed" reply and the overloads of its
// "signatures" reply (toolchain/compiling/serviceprotocol.h), the filter and order
// of the items as a prefix is typed, and the words of open texts offered when
// the service cannot answer.
#pragma once
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// One thing that fits at the caret.
struct CompletionItem {
    QString kind;    // "local", "field", "method", "type", "keyword" or "word"
    QString name;    // what the typed prefix is matched against
    QString detail;  // a method's signature and return type ("length() : int"), a type's package
    QString insert;  // the text that replaces the prefix ("length()")
    bool operator==(const CompletionItem&) const = default;

    // The row of the list: the name, and the detail when it says more.
    QString shownText() const;
    // Where the caret goes in `insert` once it is inserted: between a
    // method's parentheses when it takes arguments, else at the end.
    qsizetype caretInInsert() const;
};
Q_DECLARE_METATYPE(CompletionItem)

// One overload of a call.
struct SignatureOverload {
    QString name;
    QString returns;  // empty for a constructor
    QStringList parameters;
    bool operator==(const SignatureOverload&) const = default;
};

// The overloads of the call around the caret, and the index of the argument
// the caret is in.
struct SignatureHelp {
    int argument = 0;
    QList<SignatureOverload> overloads;
    bool operator==(const SignatureHelp&) const = default;

    // The overloads one per line as rich text: "max(<b>int</b>, int) : int",
    // the current argument in bold in those that have it.
    QString richText() const;
    // The same without marks, for screen readers.
    QString plainText() const;
};
Q_DECLARE_METATYPE(SignatureHelp)

// The items whose names begin with `prefix`: those that match its case first,
// then the others that match it ignoring case; each group in the order given.
QList<CompletionItem> filterCompletions(const QList<CompletionItem>& items, const QString& prefix);

// The identifiers of `texts` that begin with `prefix` (ignoring case) and are
// longer than it, each once, sorted, at most `limit`: the words offered
// without the compile service.
QStringList wordsStartingWith(const QStringList& texts, const QString& prefix, int limit = 500);
// The same words as items of kind "word".
QList<CompletionItem> wordItems(const QStringList& words);
