// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: editing files of mixed line ends in the edit control.
//
// The input is a recipe: a file of random lines with mixed line ends (LF,
// CR LF, CR, and U+2029 kept as a break of its own), in UTF-8, UTF-16 or
// Windows-1252, then random edits of random ranges: Delete and Backspace
// (over line breaks too), typing (Enter included), pasting and replacing
// text that holds line breaks, Enter at the end of a line.
// Properties: the file loads and writes back byte for byte; after each edit
// every line the edit did not touch keeps its bytes, line end included; Undo
// brings back the bytes before the edit and Redo those after it.
#include "tests/fuzz/recipe.h"
#include "tests/support/lineend_edits.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray fileOf(Recipe& r)
{
    static const char16_t letters[] = {u'a', u'b', u' ', u'\t', u'{', u'}', u';', 0xE4, 0xE9, 0x4E2D, 0x20AC};
    static const char* ends[] = {"\n", "\r\n", "\r"};
    const unsigned encoding = r.byte() % 4;  // UTF-8, UTF-16LE, UTF-16BE, Windows-1252
    const unsigned lines = r.byte() % 16;
    QString text;
    for (unsigned l = 0; l < lines; ++l) {
        const unsigned len = r.byte() % 8;
        for (unsigned i = 0; i < len; ++i)
            text += QChar(letters[r.byte() % (encoding == 3 ? 9 : std::size(letters))]);
        const unsigned end = r.byte() % 8;
        if (l + 1 < lines || end % 2)
            text += end == 7 && encoding != 3 ? QString(QChar(0x2029)) : QString::fromLatin1(ends[end % 3]);
    }
    QByteArray out;
    switch (encoding) {
    case 1:
    case 2:
        out = encoding == 1 ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (const QChar ch : text) {
            const char lo = char(ch.unicode() & 0xFF), hi = char(ch.unicode() >> 8);
            out += encoding == 1 ? lo : hi;
            out += encoding == 1 ? hi : lo;
        }
        return out;
    case 3: return text.toLatin1() + "\xC3";  // no UTF-8: Windows-1252
    default: return text.toUtf8();
    }
}

QString insertOf(Recipe& r)
{
    static const char* pieces[] = {"",      "\n",     "k",      "\nk", "k\n",    "\n\n",
                                   "kk\nl", "\nk\nl", "k\nl\n", " \n", "\n\n\nm"};
    return QString::fromLatin1(pieces[r.byte() % std::size(pieces)]);
}

EditControl* g_edit = nullptr;
QString g_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept to the end of the process: destroyed at exit, the application
    // would go before the input devices that the key events made.
    new QApplication(*argc, *argv);
    static QTemporaryDir dir;
    g_path = dir.filePath("Edit.java");
    g_edit = new EditControl;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Recipe r(data, size);
    const QByteArray original = fileOf(r);
    {
        QFile f(g_path);
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(original) == original.size());
    }
    EditControl* e = g_edit;
    check(e->source()->loadFile(g_path));
    check(lineedits::bytesOf(*e) == original);
    for (int step = 0; step < 12 && r.more(); ++step) {
        const QByteArray before = lineedits::bytesOf(*e);
        const DocumentText t = documentText(*e->document(), e->source()->textFormat().lineEnd);
        const int length = int(t.text.size());
        const int from = int(r.word() % unsigned(length + 1));
        const int to = from + int(r.word() % unsigned(length - from + 1));
        const auto kind = lineedits::Edit(r.byte() % unsigned(lineedits::Edit::Count));
        const QString text = insertOf(r);
        const bool undo = r.byte() % 2;
        int steps = 0;
        const QMetaObject::Connection counting = QObject::connect(e->document(), &QTextDocument::undoCommandAdded,
                                                                  [&steps] { ++steps; });
        const auto [s, en] = lineedits::edit(e, kind, from, to, text);
        QObject::disconnect(counting);
        if (s < 0)
            continue;
        const QByteArray after = lineedits::bytesOf(*e);
        check(lineedits::untouched(t, e->source()->textFormat(), s, en).keptIn(after));
        if (undo) {
            const int undone = lineedits::undoTo(e, t.text, steps);
            if (undone > 0)
                check(lineedits::bytesOf(*e) == before);
            for (int i = 0; i < std::abs(undone); ++i)
                e->document()->redo();
            check(lineedits::bytesOf(*e) == after);
        }
    }
    return 0;
}
