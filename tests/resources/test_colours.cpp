// SPDX-License-Identifier: GPL-3.0-or-later
// The light and dark colour sets: text drawn in them stays readable on the
// background it is drawn on, for both looks.
#include "resources/colours.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using colours::Look;

namespace {

const char* name(Look look)
{
    return look == Look::Dark ? "dark" : "light";
}

}  // namespace

TEST(ColourTables, TextColoursStandOutFromTheEditorsBackground)
{
    for (Look look : {Look::Light, Look::Dark}) {
        const colours::ColourSet& s = colours::colourSet(look);
        const std::vector<std::pair<const char*, QColor>> texts = {
            {"text", s.text},
            {"keyword", s.keyword},
            {"string", s.string},
            {"comment", s.comment},
            {"number", s.number},
            {"annotation", s.annotation},
            {"inline value", s.value},
            {"console error", s.consoleError},
            {"console input", s.consoleInput},
            {"changed value", s.changedValue},
        };
        for (const auto& [what, colour] : texts)
            EXPECT_GE(colours::contrastRatio(colour, s.base), 4.5) << name(look) << " " << what;
        EXPECT_GE(colours::contrastRatio(s.bracketText, s.bracketBack), 4.5) << name(look) << " brackets";
        // Signs and underlines are not text, but must still show on dark (3:1 for
        // graphics); on light the warning and the paused arrow are yellow and
        // orange as they always were.
        std::vector<QColor> marks = {s.error, s.breakpoint};
        if (look == Look::Dark)
            marks.insert(marks.end(), {s.warning, s.paused});
        for (const QColor& mark : marks)
            EXPECT_GE(colours::contrastRatio(mark, s.base), 3.0) << name(look) << " " << mark.name().toStdString();
    }
}

TEST(ColourTables, TheLooksPalettesMatchTheirSets)
{
    for (Look look : {Look::Light, Look::Dark}) {
        const QPalette p = colours::lookPalette(look);
        const colours::ColourSet& s = colours::colourSet(look);
        EXPECT_EQ(p.color(QPalette::Base), s.base) << name(look);
        EXPECT_EQ(p.color(QPalette::Text), s.text) << name(look);
        EXPECT_EQ(colours::isDark(p), look == Look::Dark) << name(look);
        EXPECT_GE(colours::contrastRatio(p.color(QPalette::WindowText), p.color(QPalette::Window)), 4.5);
        EXPECT_GE(colours::contrastRatio(p.color(QPalette::HighlightedText), p.color(QPalette::Highlight)), 4.5);
        EXPECT_GE(colours::contrastRatio(p.color(QPalette::Disabled, QPalette::Text), p.color(QPalette::Base)), 3.0);
    }
}

TEST(ColourTables, TheMarginsNumbersStandOutFromTheMargin)
{
    for (Look look : {Look::Light, Look::Dark}) {
        const QPalette p = colours::lookPalette(look);
        const colours::MarginColours m = colours::marginColours(p);
        EXPECT_GE(colours::contrastRatio(m.number, m.back), 4.5) << name(look);
        EXPECT_GE(colours::contrastRatio(p.color(QPalette::Text), m.back), 4.5) << name(look);
        EXPECT_EQ(colours::isDark(p), m.back.lightness() < 128) << name(look);
    }
}

TEST(ColourTables, TheChoiceGivesALook)
{
    using colours::Choice;
    EXPECT_EQ(colours::lookFor(Choice::FollowDesktop, false), Look::Light);
    EXPECT_EQ(colours::lookFor(Choice::FollowDesktop, true), Look::Dark);
    EXPECT_EQ(colours::lookFor(Choice::Light, true), Look::Light);
    EXPECT_EQ(colours::lookFor(Choice::Dark, false), Look::Dark);
    for (Choice c : {Choice::FollowDesktop, Choice::Light, Choice::Dark})
        EXPECT_EQ(colours::choiceFromWord(QString::fromLatin1(colours::choiceWord(c))), c);
    EXPECT_EQ(colours::choiceFromWord(QStringLiteral(" Dark\r")), Choice::Dark);
    EXPECT_EQ(colours::choiceFromWord(QStringLiteral("purple")), Choice::FollowDesktop);
    EXPECT_DOUBLE_EQ(colours::contrastRatio(Qt::black, Qt::white), 21.0);
}
