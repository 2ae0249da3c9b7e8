#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>

// The copy formats of the colour code.
enum class CopyFormat {
    PlainHex, // FF8000
    Html,     // #FF8000
    AmpH,     // &H0080FF, blue first
    // Added behind a separator of the menu, after the three above.
    CssRgb,     // rgb(255, 128, 0)
    CssHsl,     // hsl(30, 100%, 50%)
    HexLiteral, // 0xFF8000
};

// Every copy format, in the order of the copy-format menu's items.
inline constexpr std::array<CopyFormat, 6> CopyFormats{CopyFormat::PlainHex, CopyFormat::Html,
                                                       CopyFormat::AmpH,     CopyFormat::CssRgb,
                                                       CopyFormat::CssHsl,   CopyFormat::HexLiteral};

// The formats whose codes are style-sheet functions, with blanks in them: longer than the label
// that shows the code has room for on one line.
constexpr bool IsFunctionFormat(CopyFormat format) {
    return format == CopyFormat::CssRgb || format == CopyFormat::CssHsl;
}

// The format the copy-format button steps to: the next of its formats (plain, HTML, &H) and
// from the last the first; from a format it does not step through, the first as well.
CopyFormat NextButtonFormat(CopyFormat format);

// The name a copy format is kept under in the remembered state ("plain", "html", "vb"): it never
// changes, whatever the menu or the enumeration come to say.
QString CopyFormatKey(CopyFormat format);
// The copy format kept under a name, or none for a name no format has.
std::optional<CopyFormat> CopyFormatFromKey(QStringView key);

// The colour modes: every level on the sliders, or only the 216 web-safe colours.
enum class ColorGamut { Full, Web216 };

// Two upper-case hexadecimal digits of a component 0..255 ("0A", "FF"), written into an
// existing text.
void WriteHexDigits(QString& text, int component);

// The colour code for the digit texts in a copy format.
QString ColorCode(const QString& hexR, const QString& hexG, const QString& hexB, CopyFormat format);

// The 216-colour rule: rounds down onto 0, 51, 102, 153, 204, 255.
constexpr int SnapTo216(int v) {
    return v / 51 * 51;
}

// R + 256 G + 65536 B.
constexpr std::int32_t PackedColor(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}
