#pragma once

#include <QString>
#include <optional>

// A colour of three components 0..255.
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Reads a colour code as people write and copy them: RRGGBB, #RRGGBB, #RGB, the blue-first
// &HBBGGRR with or without the closing &, rgb(r, g, b) with numbers 0..255 or percentages, and
// the CSS colour names. Blanks around it and the letter case do not matter, nor full-width
// forms of the characters. Anything else gives nothing.
std::optional<Rgb> ParseColorCode(const QString& text);

// A text as a message quotes it: on one line, without characters that reorder the text around
// them, and shortened with "…" beyond `limit` characters.
QString QuotedForMessage(const QString& text, qsizetype limit = 40);
