#pragma once

#include <QString>
#include <cstdint>

// Copy formats of the colour code.
enum CopyFormat : std::int32_t {
    CopyPlainHex = 0, // FF8000
    CopyHtml = 1,     // #FF8000
    CopyAmpH = 2,     // &H0080FF, blue first
};

// Two upper-case hexadecimal digits of a component 0..255 ("0A", "FF").
QString HexDigits(int component);

// The same digits written into an existing text.
void WriteHexDigits(QString& text, int component);

// The colour code for the digit texts in a copy format; an unknown format gives a null string.
QString ColorCode(const QString& hexR, const QString& hexG, const QString& hexB, std::int32_t copyMode);

// The 216-colour rule: rounds down onto 0, 51, 102, 153, 204, 255.
constexpr int SnapTo216(int v) {
    return v / 51 * 51;
}

// R + 256 G + 65536 B.
constexpr std::int32_t PackedColor(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

// The icon id of cmdColor(4) for a copy format (104, 106, 105).
int CopyModeIcon(std::int32_t copyMode);
