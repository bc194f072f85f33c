// SPDX-License-Identifier: GPL-3.0-or-later
// Java colouring: the lexer on its own, then a real QTextEdit shown offscreen.
#include "editor/highlighter.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

using javalex::Kind;
using javalex::State;

namespace {

struct Tok {
    QString text;
    Kind kind;
    bool operator==(const Tok& o) const { return text == o.text && kind == o.kind; }
};

QList<Tok> tokens(const QString& line, State in = javalex::Normal, State* out = nullptr)
{
    QList<javalex::Token> raw;
    const State end = javalex::lexLine(line, in, &raw);
    if (out)
        *out = end;
    QList<Tok> result;
    for (const auto& t : raw)
        result.append({line.mid(t.start, t.length), t.kind});
    return result;
}

QColor colourAt(const QTextBlock& block, int column)
{
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        if (column >= r.start && column < r.start + r.length)
            return r.format.foreground().color();
    return QColor();
}

JavaHighlighter* g_colours = nullptr;

// Runs the event loop until the colouring has caught up (the document layout
// of a long text works in steps first).
void settle()
{
    const QDeadlineTimer giveUp(30000);  // a guard against hanging, not a speed check
    for (int k = 0; !giveUp.hasExpired(); ++k) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(k < 3 ? QEventLoop::AllEvents : QEventLoop::WaitForMoreEvents, 100);
        if (k >= 2 && !(g_colours && g_colours->pending()))
            return;
    }
    ADD_FAILURE() << "colouring never caught up";
}

struct Editor {
    QTextEdit edit;
    JavaHighlighter* colours = nullptr;
    ~Editor() { g_colours = nullptr; }
    explicit Editor(const QString& text, bool wait = true)
    {
        edit.resize(500, 300);
        colours = new JavaHighlighter(&edit);
        g_colours = colours;
        edit.setPlainText(text);
        edit.show();
        if (wait)
            settle();
        else
            QCoreApplication::processEvents();
    }
    QTextBlock block(int n) const { return edit.document()->findBlockByNumber(n); }
    QColor at(int line, const QString& needle) const
    {
        const QTextBlock b = block(line);
        const int col = b.text().indexOf(needle);
        EXPECT_GE(col, 0) << needle.toStdString();
        return colourAt(b, col);
    }
    int colouredBlocks() const
    {
        int n = 0;
        for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next())
            if (b.layout() && !b.layout()->formats().isEmpty())
                ++n;
        return n;
    }
    void type(int position, const QString& text)
    {
        QTextCursor c(edit.document());
        c.setPosition(position);
        c.insertText(text);
        settle();
    }
    // Every shown block carries exactly the colours a fresh lex from the top gives.
    void expectShownBlocksCorrect() const
    {
        const QTextBlock top = edit.cursorForPosition(QPoint(0, 0)).block();
        const QTextBlock bottom =
            edit.cursorForPosition(QPoint(edit.viewport()->width() - 1, edit.viewport()->height() - 1)).block();
        State st = javalex::Normal;
        for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) {
            const QString text = b.text();
            if (b.blockNumber() >= top.blockNumber() && b.blockNumber() <= bottom.blockNumber()) {
                QList<javalex::Token> want;
                javalex::lexLine(text, st, &want);
                const auto got = b.layout()->formats();
                ASSERT_EQ(got.size(), want.size()) << "block " << b.blockNumber() << ": " << text.toStdString();
                for (int k = 0; k < want.size(); ++k) {
                    EXPECT_EQ(got[k].start, want[k].start) << "block " << b.blockNumber();
                    EXPECT_EQ(got[k].length, want[k].length) << "block " << b.blockNumber();
                    EXPECT_EQ(got[k].format.foreground().color(), JavaHighlighter::colour(want[k].kind));
                }
            }
            if (b.blockNumber() > bottom.blockNumber())
                break;
            st = javalex::scanLine(text, st);
        }
    }
};

const QColor kKeyword = JavaHighlighter::colour(Kind::Keyword);
const QColor kString = JavaHighlighter::colour(Kind::String);
const QColor kComment = JavaHighlighter::colour(Kind::Comment);

}  // namespace

TEST(JavaLexer, TokenKinds)
{
    EXPECT_EQ(tokens(u"public final class Foo extends Bar {"_qs), (QList<Tok>{{u"public"_qs, Kind::Keyword},
                                                                              {u"final"_qs, Kind::Keyword},
                                                                              {u"class"_qs, Kind::Keyword},
                                                                              {u"extends"_qs, Kind::Keyword}}));
    // Keywords inside longer identifiers are plain; var/record/sealed count
    // where they declare something.
    EXPECT_EQ(tokens(u"classy forEach newer _int var v; record R() sealed interface non-sealed class"_qs),
              (QList<Tok>{{u"var"_qs, Kind::Keyword},
                          {u"record"_qs, Kind::Keyword},
                          {u"sealed"_qs, Kind::Keyword},
                          {u"interface"_qs, Kind::Keyword},
                          {u"non-sealed"_qs, Kind::Keyword},
                          {u"class"_qs, Kind::Keyword}}));
    EXPECT_EQ(tokens(u"a = non - sealed;"_qs), QList<Tok>{});
    // Escaped quotes, a quote in a char literal, comment markers inside strings.
    EXPECT_EQ(tokens(uR"(s = "say \"hi\" // not /* a comment"; c = '"'; d = '\''; // end)"_qs),
              (QList<Tok>{{uR"("say \"hi\" // not /* a comment")"_qs, Kind::String},
                          {uR"('"')"_qs, Kind::String},
                          {uR"('\'')"_qs, Kind::String},
                          {u"// end"_qs, Kind::Comment}}));
    EXPECT_EQ(tokens(u"x = 0x1F + 1_000L + 3.5e-2 + .5f + 0b101 + 1e+3d;"_qs),
              (QList<Tok>{{u"0x1F"_qs, Kind::Number},
                          {u"1_000L"_qs, Kind::Number},
                          {u"3.5e-2"_qs, Kind::Number},
                          {u".5f"_qs, Kind::Number},
                          {u"0b101"_qs, Kind::Number},
                          {u"1e+3d"_qs, Kind::Number}}));
    EXPECT_EQ(tokens(u"x = 0xE+2;"_qs), (QList<Tok>{{u"0xE"_qs, Kind::Number}, {u"2"_qs, Kind::Number}}));
    EXPECT_EQ(tokens(u"@Override @java.lang.Deprecated public @interface A {}"_qs),
              (QList<Tok>{{u"@Override"_qs, Kind::Annotation},
                          {u"@java.lang.Deprecated"_qs, Kind::Annotation},
                          {u"public"_qs, Kind::Keyword},
                          {u"@interface"_qs, Kind::Keyword}}));
    EXPECT_EQ(tokens(u"s = \"unterminated"_qs), (QList<Tok>{{u"\"unterminated"_qs, Kind::String}}));
    EXPECT_EQ(tokens(u"int x2 = y3;"_qs), (QList<Tok>{{u"int"_qs, Kind::Keyword}}));
}

TEST(JavaLexer, StatesAcrossLines)
{
    State st;
    EXPECT_EQ(tokens(u"int a; /* open"_qs, javalex::Normal, &st),
              (QList<Tok>{{u"int"_qs, Kind::Keyword}, {u"/* open"_qs, Kind::Comment}}));
    EXPECT_EQ(st, javalex::BlockComment);
    EXPECT_EQ(tokens(u"still \"in\" int"_qs, javalex::BlockComment, &st),
              (QList<Tok>{{u"still \"in\" int"_qs, Kind::Comment}}));
    EXPECT_EQ(st, javalex::BlockComment);
    EXPECT_EQ(tokens(u"done */ int b; /* again */ int"_qs, javalex::BlockComment, &st),
              (QList<Tok>{{u"done */"_qs, Kind::Comment},
                          {u"int"_qs, Kind::Keyword},
                          {u"/* again */"_qs, Kind::Comment},
                          {u"int"_qs, Kind::Keyword}}));
    EXPECT_EQ(st, javalex::Normal);
    // A line comment hides an opening marker; a string hides both.
    EXPECT_EQ(javalex::scanLine(u"// no /* here"_qs, javalex::Normal), javalex::Normal);
    EXPECT_EQ(javalex::scanLine(u"s = \"/*\";"_qs, javalex::Normal), javalex::Normal);
    EXPECT_EQ(javalex::scanLine(u"c = '\"'; /*"_qs, javalex::Normal), javalex::BlockComment);
    // Text blocks span lines, with escaped quotes inside.
    EXPECT_EQ(tokens(u"s = \"\"\""_qs, javalex::Normal, &st), (QList<Tok>{{u"\"\"\""_qs, Kind::String}}));
    EXPECT_EQ(st, javalex::TextBlock);
    EXPECT_EQ(tokens(u"  /* not a comment \\\"\"\" still"_qs, javalex::TextBlock, &st),
              (QList<Tok>{{u"  /* not a comment \\\"\"\" still"_qs, Kind::String}}));
    EXPECT_EQ(st, javalex::TextBlock);
    EXPECT_EQ(tokens(u"  end\"\"\"; int"_qs, javalex::TextBlock, &st),
              (QList<Tok>{{u"  end\"\"\""_qs, Kind::String}, {u"int"_qs, Kind::Keyword}}));
    EXPECT_EQ(st, javalex::Normal);
    // The state-only scan agrees with the full lexer on awkward lines.
    const QStringList lines = {u"/* a */ /* b"_qs,
                               u"*/ \"\"\" x"_qs,
                               u"\\\"\"\" y \"\"\" z /*"_qs,
                               u"'/*' \"*/\" // */"_qs,
                               u"/"_qs,
                               u"*"_qs,
                               u"\"\\"_qs,
                               u"/*/"_qs};
    for (State in : {javalex::Normal, javalex::BlockComment, javalex::TextBlock})
        for (const QString& l : lines)
            EXPECT_EQ(javalex::scanLine(l, in), javalex::lexLine(l, in, nullptr)) << l.toStdString();
}

TEST(JavaHighlighter, ColoursShownTextAndFollowsCommentEdits)
{
    Editor e(
        u"import java.util.List;\n"
        "@Deprecated\n"
        "public class A { // note\n"
        "  String s = \"text\"; char c = 'x'; int n = 42;\n"
        "  /* opened here\n"
        "  int hidden = 1;\n"
        "  String alsoHidden; */ int after;\n"
        "}\n"_qs);
    EXPECT_EQ(e.at(0, u"import"_qs), kKeyword);
    EXPECT_FALSE(e.at(0, u"java"_qs).isValid());
    EXPECT_EQ(e.at(1, u"@Deprecated"_qs), JavaHighlighter::colour(Kind::Annotation));
    EXPECT_EQ(e.at(2, u"class"_qs), kKeyword);
    EXPECT_FALSE(e.at(2, u"A"_qs).isValid());
    EXPECT_EQ(e.at(2, u"// note"_qs), kComment);
    EXPECT_EQ(e.at(3, u"\"text\""_qs), kString);
    EXPECT_EQ(e.at(3, u"'x'"_qs), kString);
    EXPECT_EQ(e.at(3, u"42"_qs), JavaHighlighter::colour(Kind::Number));
    EXPECT_EQ(e.at(5, u"int"_qs), kComment);
    EXPECT_EQ(e.at(6, u"String"_qs), kComment);
    EXPECT_FALSE(e.at(6, u"after"_qs).isValid());
    EXPECT_EQ(e.at(6, u"int"_qs), kKeyword);
    // And the colours reach the screen: the keyword line has blue pixels.
    {
        const QImage shot = e.edit.viewport()->grab().toImage();
        const QRectF line = e.edit.document()->documentLayout()->blockBoundingRect(e.block(0));
        int blue = 0;
        for (int y = int(line.top()); y < int(line.bottom()) && y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QColor p = shot.pixelColor(x, y);
                blue += p.blue() - p.red() > 40 && std::abs(p.red() - p.green()) < 20;
            }
        EXPECT_GT(blue, 5);
    }

    // Closing the comment on its first line frees the lines below it.
    const QTextBlock opened = e.block(4);
    e.type(opened.position() + opened.length() - 1, u" */"_qs);
    EXPECT_EQ(e.at(5, u"int"_qs), kKeyword);
    EXPECT_FALSE(e.at(6, u"String"_qs).isValid());
    EXPECT_EQ(e.at(6, u"*/"_qs), QColor());  // a stray closing marker is plain text
    e.expectShownBlocksCorrect();

    // Undo reopens it.
    e.edit.undo();
    settle();
    EXPECT_EQ(e.at(5, u"int"_qs), kComment);
    e.expectShownBlocksCorrect();

    // Opening a comment by splitting a line and joining lines again.
    QTextCursor c(e.block(0));
    c.insertText(u"/*\n"_qs);
    settle();
    EXPECT_EQ(e.at(1, u"import"_qs), kComment);
    EXPECT_EQ(e.at(7, u"int after"_qs), kKeyword);
    e.expectShownBlocksCorrect();
    c.setPosition(0);
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    settle();
    EXPECT_EQ(e.at(0, u"import"_qs), kKeyword);
    e.expectShownBlocksCorrect();
}

TEST(JavaHighlighter, KeepsTheUsersCharacterFormats)
{
    Editor e(u"public class B {\n  int x; // count\n}\n"_qs);
    QTextCursor sel(e.edit.document());
    sel.setPosition(0);
    sel.setPosition(12, QTextCursor::KeepAnchor);  // "public class"
    QTextCharFormat font;
    font.setFontFamilies({u"Courier"_qs});
    font.setFontPointSize(19);
    sel.mergeCharFormat(font);
    e.edit.document()->setModified(false);
    settle();

    // Typing in the line makes it coloured again, still without char formats.
    e.type(e.block(1).position() + 2, u"long y; "_qs);
    EXPECT_EQ(e.at(0, u"public"_qs), kKeyword);
    EXPECT_EQ(e.at(1, u"long"_qs), kKeyword);
    for (int pos : {1, 8}) {
        QTextCursor c(e.edit.document());
        c.setPosition(pos);
        EXPECT_EQ(c.charFormat().fontPointSize(), 19);
        EXPECT_EQ(c.charFormat().fontFamilies().toStringList(), QStringList{u"Courier"_qs});
        EXPECT_FALSE(c.charFormat().hasProperty(QTextFormat::ForegroundBrush));
    }
    for (QTextBlock b = e.edit.document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            EXPECT_FALSE(it.fragment().charFormat().hasProperty(QTextFormat::ForegroundBrush));
    QTextCursor plain(e.edit.document());
    plain.setPosition(e.block(1).position() + 1);
    EXPECT_NE(plain.charFormat().fontPointSize(), 19);
    // The colouring itself is no edit: one undo step removes the typing only.
    e.edit.undo();
    settle();
    EXPECT_EQ(e.block(1).text(), u"  int x; // count"_qs);
    EXPECT_EQ(e.at(0, u"public"_qs), kKeyword);
    e.edit.undo();  // the font change
    settle();
    QTextCursor c(e.edit.document());
    c.setPosition(1);
    EXPECT_NE(c.charFormat().fontPointSize(), 19);
}

TEST(JavaHighlighter, LargeDocumentIsColouredLazily)
{
    QString text;
    text.reserve(200000 * 30);
    text += u"/* a comment that stays open\n"_qs;
    for (int i = 1; i < 200000; ++i)
        text += u"int v%1 = \"s\"; // line\n"_qs.arg(i);
    text += u"public class Last {}"_qs;
    Editor e(text);
    const int count = e.edit.document()->blockCount();
    ASSERT_EQ(count, 200001);
    const int shown = e.colouredBlocks();
    EXPECT_GT(shown, 3);
    EXPECT_LT(shown, 500);  // about two screens' worth, out of 200,001
    EXPECT_EQ(e.at(1, u"int"_qs), kComment);

    // Going to the end lays the whole text out, as Ctrl+End does.
    e.edit.moveCursor(QTextCursor::End);
    e.edit.ensureCursorVisible();
    settle();
    QScrollBar* bar = e.edit.verticalScrollBar();
    bar->setValue(bar->maximum());
    settle();
    EXPECT_EQ(e.at(count - 1, u"public"_qs), kComment);
    EXPECT_EQ(e.at(count - 2, u"\"s\""_qs), kComment);
    EXPECT_EQ(e.colours->knownStateBlocks(), count);
    EXPECT_LT(e.colouredBlocks(), 2 * shown + 20);
    e.expectShownBlocksCorrect();

    // Closing the comment far above recolours the end once it is shown.
    QTextCursor c(e.edit.document());
    c.setPosition(e.block(0).length() - 1);
    c.insertText(u" */"_qs);
    bar->setValue(bar->maximum());
    settle();
    EXPECT_EQ(e.at(count - 1, u"public"_qs), kKeyword);
    EXPECT_EQ(e.at(count - 2, u"\"s\""_qs), kString);
    e.expectShownBlocksCorrect();

    // And reopening it with an undo, seen from the middle.
    e.edit.undo();
    settle();
    bar->setValue(bar->maximum() / 2);
    settle();
    e.expectShownBlocksCorrect();
    EXPECT_LT(e.colouredBlocks(), 4 * shown + 40);
}

TEST(JavaHighlighter, ScrollAndTypeWhileALongTextIsStillBeingLaidOut)
{
    QString text;
    for (int i = 0; i < 60000; ++i)
        text += i == 10 ? u"/* open\n"_qs : i == 3000 ? u"*/ int closed;\n"_qs : u"int v = 'c'; // x\n"_qs;
    Editor e(text, false);
    EXPECT_EQ(e.at(11, u"int"_qs), kComment);  // the first screen is coloured at once
    QScrollBar* bar = e.edit.verticalScrollBar();
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    // An edit while the layout is still busy can stop Qt's stepped layout
    // short; the colouring must not wait for it forever.
    QTextCursor c(e.edit.document());
    c.setPosition(e.block(20).position());
    c.insertText(u"x"_qs);
    settle();
    e.expectShownBlocksCorrect();
    bar->setValue(bar->maximum() / 3);
    settle();
    e.expectShownBlocksCorrect();
    EXPECT_GT(e.colouredBlocks(), 0);
    EXPECT_LT(e.colouredBlocks(), 1000);
}

TEST(JavaHighlighter, EditsAnywhereKeepShownColoursRight)
{
    QString text;
    for (int i = 0; i < 400; ++i) {
        switch (i % 7) {
        case 0: text += u"/* block %1\n"_qs.arg(i); break;
        case 1: text += u"   still */ int a%1;\n"_qs.arg(i); break;
        case 2: text += u"String t = \"\"\"\n"_qs; break;
        case 3: text += u"   text /* %1\n"_qs.arg(i); break;
        case 4: text += u"   \"\"\"; // done\n"_qs; break;
        default: text += u"return x%1 + 'c'; // plain\n"_qs.arg(i);
        }
    }
    Editor e(text);
    QScrollBar* bar = e.edit.verticalScrollBar();
    const QStringList inserts = {u"/*"_qs, u"*/"_qs, u"\"\"\""_qs, u"\n"_qs, u"x\ny\n/*\n"_qs, u"'"_qs, u"//"_qs};
    // Deterministic edits at spread positions, shown from changing places.
    quint32 seed = 7;
    auto next = [&seed](quint32 n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int round = 0; round < 40; ++round) {
        QTextCursor c(e.edit.document());
        c.setPosition(int(next(quint32(e.edit.document()->characterCount() - 1))));
        if (round % 5 == 4) {
            c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
            c.removeSelectedText();
        } else {
            c.insertText(inserts[int(next(quint32(inserts.size())))]);
        }
        if (round % 3 == 0)
            bar->setValue(int(next(quint32(bar->maximum() + 1))));
        settle();
        e.expectShownBlocksCorrect();
        if (::testing::Test::HasFailure())
            return;
    }
    for (int k = 0; k < 10; ++k) {
        e.edit.undo();
        bar->setValue(int(next(quint32(bar->maximum() + 1))));
        settle();
        e.expectShownBlocksCorrect();
    }
}

TEST(JavaHighlighter, ReplacingTheWholeTextAndResizing)
{
    Editor e(u"/* open\nint a;\n"_qs);
    EXPECT_EQ(e.at(1, u"int"_qs), kComment);
    e.edit.setPlainText(u"int a;\nint b;\n"_qs);
    settle();
    EXPECT_EQ(e.at(1, u"int"_qs), kKeyword);
    e.edit.clear();
    settle();
    e.edit.insertPlainText(u"/*\nclass"_qs);
    settle();
    EXPECT_EQ(e.at(1, u"class"_qs), kComment);
    e.expectShownBlocksCorrect();

    // Lines below the first screen are coloured when the window grows.
    QString more;
    for (int i = 0; i < 2000; ++i)
        more += u"int n%1;\n"_qs.arg(i);
    e.edit.setPlainText(more);
    settle();
    int uncoloured = 0;
    while (uncoloured < 2000 && !e.block(uncoloured).layout()->formats().isEmpty())
        ++uncoloured;
    ASSERT_LT(uncoloured, 1000);
    const QRectF r = e.edit.document()->documentLayout()->blockBoundingRect(e.block(uncoloured));
    e.edit.resize(500, int(r.bottom()) + 50);
    settle();
    EXPECT_EQ(colourAt(e.block(uncoloured), 0), kKeyword);
}
