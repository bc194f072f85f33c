// SPDX-License-Identifier: GPL-3.0-or-later
// Where completion puts the import of a type it inserts by its simple name
// (QtCore only): after the file's last import, else after its package
// declaration, else before its first line of code (leading comments, such as
// a licence, stay first).
#pragma once

#include <QString>

namespace javaimports {

// Text to insert at a position of a source text.
struct Insertion {
    qsizetype position = 0;
    QString text;
    bool operator==(const Insertion&) const = default;
};

struct Import {
    enum Need {
        Add,      // `at` imports the type
        Present,  // imported already, by its name or by its package's "*"
        Clash,    // another type of that simple name is imported: none can be
    };
    Need need = Add;
    Insertion at;
    bool operator==(const Import&) const = default;
};

// What imports `qualified` (such as "java.util.ArrayList") into `source`,
// whose lines are separated by "\n". The insertion holds "\n" for each new
// line break: the editor gives it the file's own line end. Only the file's
// head is read: its comments, package and imports. A type of no package
// (no dot in `qualified`) is Present.
Import importOf(const QString& source, const QString& qualified);

}  // namespace javaimports
