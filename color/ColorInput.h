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

// What a colour code reads as: a colour, or a code of a colour that lets the background show
// through, which Swatchly cannot hold, or nothing it knows.
struct ColorCodeReading {
    std::optional<Rgb> colour; // the colour, where the text is the code of an opaque colour
    bool transparent = false;  // the text is a colour code, but its alpha is below fully opaque
};

// Reads a colour code as people write and copy them: RRGGBB, #RRGGBB, #RGB, #RRGGBBAA, #RGBA,
// 0xRRGGBB, the blue-first &HBBGGRR with or without the closing &, rgb() and rgba() with numbers
// 0..255 or percentages, hsl() and hsla() with the hue in degrees (a plain number or deg) or
// turns, and the CSS colour names. Functions take commas or blanks between the numbers, and an
// alpha after a comma or a slash: 0..1 or a percentage. Blanks around it and the letter case do
// not matter, nor full-width forms of the characters.
ColorCodeReading ParseColorCode(const QString& text);

// A text as a message quotes it: on one line, without characters that reorder the text around
// them, and shortened with "…" beyond `limit` characters.
QString QuotedForMessage(const QString& text, qsizetype limit = 40);
