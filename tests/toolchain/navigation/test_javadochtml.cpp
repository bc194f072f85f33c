// SPDX-License-Identifier: GPL-3.0-or-later
// Doc comments made into the HTML of the Documentation pane and of the
// editor's tooltips, as plain text: no window.
#include "toolchain/navigation/javadochtml.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const DocPage kLength{"length", "public int length()", "java.lang.String",
                      " Returns the length of this string.\n The length is the number of <i>code units</i>.\n\n"
                      " @return  the length of the sequence of characters represented by this\n"
                      "          object.\n"};

// The href of the first link whose text is `text`.
QString hrefOf(const QString& html, const QString& text)
{
    const QRegularExpression a(QStringLiteral("<a href=\"([^\"]*)\">(.*?)</a>"));
    for (auto it = a.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(2) == text)
            return m.captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    }
    return QString();
}

TEST(JavadocHtml, TheSignatureComesFirstThenTheCommentsHtmlThenItsSections)
{
    const QString html = javadocHtml(kLength);
    const qsizetype signature = html.indexOf("<code><b>public int length()</b></code>");
    const qsizetype text = html.indexOf("Returns the length of this string.");
    const qsizetype returns = html.indexOf("<b>Returns:</b>");
    ASSERT_GE(signature, 0) << html.toStdString();
    EXPECT_GT(text, signature);
    EXPECT_GT(returns, text);
    // The comment's own HTML stays HTML; the tag's text goes into its section.
    EXPECT_TRUE(html.contains("<i>code units</i>"));
    EXPECT_TRUE(html.contains("<dd>the length of the sequence of characters represented by this\n"));
    EXPECT_FALSE(html.contains("@return"));
}

TEST(JavadocHtml, InlineTagsBecomeCodeTextAndLinks)
{
    const DocPage page{"println", "public void println(String x)", "java.io.PrintStream",
                       " Prints {@code a < b} and {@literal <x>}, then {@link #println()}\n"
                       " and {@link String#valueOf(char[], int) the value}; {@code Map<K, {V}>}.{@inheritDoc}"};
    const QString html = javadocHtml(page);
    EXPECT_TRUE(html.contains("Prints <code>a &lt; b</code> and &lt;x&gt;, then ")) << html.toStdString();
    EXPECT_TRUE(html.contains("<code>Map&lt;K, {V}&gt;</code>."));
    EXPECT_FALSE(html.contains("{@"));
    // Each link names what it links to, read in the class whose comment it is in.
    EXPECT_EQ(docLinkOf(QUrl(hrefOf(html, "<code>println()</code>"))),
              (DocLink{"java.io.PrintStream", "#println()"}));
    EXPECT_EQ(docLinkOf(QUrl(hrefOf(html, "the value"))),
              (DocLink{"java.io.PrintStream", "String#valueOf(char[], int)"}));
}

TEST(JavadocHtml, ParametersExceptionsAndSeeAlsoAreSectionsWithLinks)
{
    const DocPage page{"charAt", "public char charAt(int index)", "java.lang.String",
                       " Returns the char at {@code index}.\n"
                       " @param      index   the index of the {@code char} value.\n"
                       " @param      more    a second one\n"
                       " @throws     IndexOutOfBoundsException  if the {@code index}\n"
                       "             argument is negative.\n"
                       " @see #length()\n"
                       " @see \"The Java Language Specification\"\n"
                       " @since 1.0\n"};
    const QString html = javadocHtml(page);
    const qsizetype params = html.indexOf("<b>Parameters:</b>");
    const qsizetype throws = html.indexOf("<b>Throws:</b>");
    const qsizetype see = html.indexOf("<b>See Also:</b>");
    ASSERT_GE(params, 0) << html.toStdString();
    EXPECT_GT(throws, params);
    EXPECT_GT(see, throws);
    EXPECT_EQ(html.count("<b>Parameters:</b>"), 1);
    EXPECT_TRUE(html.contains("<dd><code>index</code> - the index of the <code>char</code> value.</dd>"));
    EXPECT_TRUE(html.contains("<dd><code>more</code> - a second one</dd>"));
    EXPECT_TRUE(html.contains("argument is negative."));
    EXPECT_EQ(docLinkOf(QUrl(hrefOf(html, "<code>IndexOutOfBoundsException</code>"))),
              (DocLink{"java.lang.String", "IndexOutOfBoundsException"}));
    EXPECT_EQ(docLinkOf(QUrl(hrefOf(html, "<code>length()</code>"))), (DocLink{"java.lang.String", "#length()"}));
    EXPECT_TRUE(html.contains("&quot;The Java Language Specification&quot;"));
    EXPECT_TRUE(html.contains("<b>Since:</b></p><dl><dd>1.0</dd>"));
}

TEST(JavadocHtml, ASymbolWithoutACommentSaysSoAndAnAddressComesBackWhole)
{
    const QString html = javadocHtml({"twice", "int twice(int x)", "A", ""});
    EXPECT_TRUE(html.contains("<code><b>int twice(int x)</b></code>"));
    EXPECT_TRUE(html.contains("No documentation found for twice."));
    EXPECT_EQ(noDocumentationText("Foo"), "No documentation found for Foo.");
    EXPECT_TRUE(javadocHtml({"f", "<T> List<T> f()", "A", ""}).contains("&lt;T&gt; List&lt;T&gt; f()"));

    const DocLink odd{"a.B$C", "#f(java.util.Map<K, V>, int...) /x?y#z%"};
    EXPECT_EQ(docLinkOf(QUrl(docLinkUrl(odd).toString())), odd);
    EXPECT_FALSE(docLinkOf(QUrl("https://example.org/String.html#length()")).has_value());
    EXPECT_FALSE(docLinkOf(QUrl("Character.html#unicode")).has_value());
}

TEST(JavadocHtml, TheTooltipIsTheSignatureAndTheFirstSentenceWithoutLinks)
{
    const QString tip = javadocTooltipHtml(kLength);
    EXPECT_TRUE(tip.contains("<code><b>public int length()</b></code>"));
    EXPECT_TRUE(tip.contains("Returns the length of this string."));
    EXPECT_FALSE(tip.contains("code units"));
    EXPECT_FALSE(tip.contains("Returns:"));
    const QString linked = javadocTooltipHtml(
        {"f", "void f()", "A", " Calls {@link B#g() g, then h}. More text.\n @deprecated use {@link #h()}"});
    EXPECT_TRUE(linked.contains("<p>Calls g, then h.</p>")) << linked.toStdString();
    EXPECT_TRUE(linked.contains("<b>Deprecated.</b> use <code>h()</code>"));
    EXPECT_FALSE(linked.contains("<a "));
    EXPECT_TRUE(javadocTooltipHtml({"g", "void g()", "A", ""}).contains("No documentation found for g."));
    // A first paragraph without a period ends at the next one.
    EXPECT_TRUE(javadocTooltipHtml({"h", "void h()", "A", " One line\n <p>Two"}).contains("<p>One line</p>"));
}

}  // namespace
