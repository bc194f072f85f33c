// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/colours.h"

#include <QString>

#include <cmath>

namespace colours {

namespace {

Look g_look = Look::Light;

QColor blend(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() * (1 - t) + b.redF() * t), float(a.greenF() * (1 - t) + b.greenF() * t),
                            float(a.blueF() * (1 - t) + b.blueF() * t));
}

double linear(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c)
{
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

void setGroups(QPalette& p, QPalette::ColorRole role, const QColor& c)
{
    p.setColor(QPalette::Active, role, c);
    p.setColor(QPalette::Inactive, role, c);
    p.setColor(QPalette::Disabled, role, c);
}

struct PaletteColours {
    QColor window, text, base, alternate, button, light, mid, dark, highlight, link, disabled;
};

QPalette makePalette(const PaletteColours& c)
{
    QPalette p;
    for (QPalette::ColorRole r : {QPalette::Window, QPalette::ToolTipBase})
        setGroups(p, r, c.window);
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
        setGroups(p, r, c.text);
    setGroups(p, QPalette::Base, c.base);
    setGroups(p, QPalette::AlternateBase, c.alternate);
    setGroups(p, QPalette::Button, c.button);
    setGroups(p, QPalette::Light, c.light);
    setGroups(p, QPalette::Midlight, blend(c.light, c.mid, 0.5));
    setGroups(p, QPalette::Mid, c.mid);
    setGroups(p, QPalette::Dark, c.dark);
    setGroups(p, QPalette::Shadow, Qt::black);
    setGroups(p, QPalette::BrightText, QColor(0xff, 0x55, 0x55));
    setGroups(p, QPalette::Highlight, c.highlight);
    setGroups(p, QPalette::HighlightedText, Qt::white);
    setGroups(p, QPalette::Link, c.link);
    setGroups(p, QPalette::LinkVisited, c.link);
    setGroups(p, QPalette::PlaceholderText, c.disabled);
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, r, c.disabled);
    p.setColor(QPalette::Disabled, QPalette::Highlight, c.mid);
    return p;
}

// One colour of the sets: its place in a set, its light and its dark value.
struct ColourRow {
    QColor ColourSet::*colour;
    QRgb light, dark;
};

// clang-format off
constexpr ColourRow kColourRows[] = {
    {&ColourSet::text, 0x000000, 0xe6e6e6},          {&ColourSet::base, 0xffffff, 0x232323},
    {&ColourSet::keyword, 0x00008b, 0x6ca8ff},       {&ColourSet::string, 0x006400, 0x8fd07a},
    {&ColourSet::comment, 0x3f7f5f, 0x8aa88f},       {&ColourSet::number, 0x8b008b, 0xe09cf0},
    {&ColourSet::annotation, 0x707000, 0xd8cc70},    {&ColourSet::error, 0xd02020, 0xff5c5c},
    {&ColourSet::warning, 0xe08a00, 0xf0a830},       {&ColourSet::breakpoint, 0xd02020, 0xe84848},
    {&ColourSet::paused, 0xf0b000, 0xf0c040},        {&ColourSet::value, 0x666666, 0xa8a8a8},
    {&ColourSet::bracketBack, 0xb4eeb4, 0x2e5e3a},   {&ColourSet::bracketText, 0x000000, 0xffffff},
    {&ColourSet::consoleError, 0xb00020, 0xff7070},  {&ColourSet::consoleInput, 0x006020, 0x7fd88f},
    {&ColourSet::changedValue, 0xb00020, 0xff7070},
};
// clang-format on

ColourSet columnOf(Look look)
{
    ColourSet s;
    for (const ColourRow& row : kColourRows)
        s.*row.colour = QColor(look == Look::Dark ? row.dark : row.light);
    return s;
}

}  // namespace

const ColourSet& colourSet(Look look)
{
    static const ColourSet light = columnOf(Look::Light);
    static const ColourSet dark = columnOf(Look::Dark);
    return look == Look::Dark ? dark : light;
}

QPalette lookPalette(Look look)
{
    const ColourSet& s = colourSet(look);
    if (look == Look::Dark)
        return makePalette({QColor(0x35, 0x35, 0x35), s.text, s.base, QColor(0x2c, 0x2c, 0x2c),
                            QColor(0x3c, 0x3c, 0x3c), QColor(0x50, 0x50, 0x50), QColor(0x28, 0x28, 0x28),
                            QColor(0x1a, 0x1a, 0x1a), QColor(0x2a, 0x6e, 0xc0), QColor(0x6c, 0xa8, 0xff),
                            QColor(0x80, 0x80, 0x80)});
    return makePalette({QColor(0xef, 0xef, 0xef), s.text, s.base, QColor(0xf7, 0xf7, 0xf7), QColor(0xef, 0xef, 0xef),
                        QColor(0xff, 0xff, 0xff), QColor(0xb8, 0xb8, 0xb8), QColor(0x9f, 0x9f, 0x9f),
                        QColor(0x1f, 0x6a, 0xb0), QColor(0x00, 0x00, 0xff), QColor(0x78, 0x78, 0x78)});
}

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

Look lookFor(Choice choice, bool desktopDark)
{
    switch (choice) {
    case Choice::Light: return Look::Light;
    case Choice::Dark: return Look::Dark;
    case Choice::FollowDesktop: break;
    }
    return desktopDark ? Look::Dark : Look::Light;
}

Look currentLook()
{
    return g_look;
}

void setCurrentLook(Look look)
{
    g_look = look;
}

MarginColours marginColours(const QPalette& palette)
{
    const QColor back = blend(palette.color(QPalette::Base), palette.color(QPalette::Window), 0.7);
    const QColor text = palette.color(QPalette::Text);
    return {back, blend(back, text, 0.6), blend(back, text, 0.25)};
}

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

const char* choiceWord(Choice choice)
{
    switch (choice) {
    case Choice::Light: return "light";
    case Choice::Dark: return "dark";
    case Choice::FollowDesktop: break;
    }
    return "follow";
}

Choice choiceFromWord(const QString& word)
{
    const QString w = word.trimmed().toLower();
    if (w == QLatin1String("light"))
        return Choice::Light;
    if (w == QLatin1String("dark"))
        return Choice::Dark;
    return Choice::FollowDesktop;
}

}  // namespace colours
