#include "color/ColorCode.h"

#include "color/CssCode.h"

#include <algorithm>

CopyFormat NextButtonFormat(CopyFormat format) {
    static constexpr std::array<CopyFormat, 3> steps{CopyFormat::PlainHex, CopyFormat::Html, CopyFormat::AmpH};
    const auto* at = std::find(steps.begin(), steps.end(), format);
    return at == steps.end() || at + 1 == steps.end() ? steps.front() : *(at + 1);
}

QString CopyFormatKey(CopyFormat format) {
    // No default: a new format has no name until it is given one here.
    switch (format) {
    case CopyFormat::PlainHex:
        return QStringLiteral("plain");
    case CopyFormat::Html:
        return QStringLiteral("html");
    case CopyFormat::AmpH:
        return QStringLiteral("vb");
    case CopyFormat::CssRgb:
        return QStringLiteral("css-rgb");
    case CopyFormat::CssHsl:
        return QStringLiteral("css-hsl");
    case CopyFormat::HexLiteral:
        return QStringLiteral("0x");
    }
    return {};
}

std::optional<CopyFormat> CopyFormatFromKey(QStringView key) {
    for (const CopyFormat format : CopyFormats) {
        if (key == CopyFormatKey(format)) {
            return format;
        }
    }
    return std::nullopt;
}

void WriteHexDigits(QString& text, int component) {
    static constexpr char digits[] = "0123456789ABCDEF";
    // Written in place: a text that already holds two characters and is not shared takes the
    // new digits without a new allocation.
    text.resize(2);
    text[0] = QLatin1Char(digits[(component >> 4) & 0xF]);
    text[1] = QLatin1Char(digits[component & 0xF]);
}

QString ColorCode(const QString& hexR, const QString& hexG, const QString& hexB, CopyFormat format) {
    QString code;
    switch (format) {
    case CopyFormat::PlainHex:
        code.reserve(6);
        code.append(hexR).append(hexG).append(hexB);
        break;
    case CopyFormat::Html:
        code.reserve(7);
        code.append(QLatin1Char('#')).append(hexR).append(hexG).append(hexB);
        break;
    case CopyFormat::AmpH:
        code.reserve(8);
        code.append(QLatin1String("&H")).append(hexB).append(hexG).append(hexR);
        break;
    case CopyFormat::CssRgb:
    case CopyFormat::CssHsl:
    case CopyFormat::HexLiteral: {
        // The forms of style sheets and program code, each written in one place (CssCode.cpp).
        const Rgb colour{hexR.toInt(nullptr, 16), hexG.toInt(nullptr, 16), hexB.toInt(nullptr, 16)};
        code = format == CopyFormat::CssRgb   ? CssRgbCode(colour)
               : format == CopyFormat::CssHsl ? CssHslCode(colour)
                                              : HexLiteralCode(colour);
        break;
    }
    }
    return code;
}
