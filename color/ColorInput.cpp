#include "color/ColorInput.h"

#include "color/CssCode.h"

#include <QColor>
#include <QRegularExpression>
#include <cmath>

namespace {

int hexDigit(QChar ch) {
    const char16_t u = ch.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    return -1;
}

// The value of a run of hexadecimal digits (lower case), or -1.
long long hexValue(QStringView digits) {
    long long value = 0;
    for (const QChar ch : digits) {
        const int d = hexDigit(ch);
        if (d < 0) {
            return -1;
        }
        value = value * 16 + d;
    }
    return value;
}

std::optional<Rgb> fromHexRgb(QStringView digits) {
    const long long v = hexValue(digits);
    if (v < 0) {
        return std::nullopt;
    }
    if (digits.size() == 3) {
        const auto twice = [](long long d) { return static_cast<int>(d * 17); };
        return Rgb{twice(v >> 8), twice((v >> 4) & 0xF), twice(v & 0xF)};
    }
    return Rgb{static_cast<int>(v >> 16), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF)};
}

// A number as style sheets write it, and its unit: none, "%", "deg" or "turn".
struct Number {
    double value = 0;
    QStringView unit;
};

std::optional<Number> readNumber(QStringView token) {
    // The digits as a whole number and the count of decimals: the value is then the one
    // division of two exact numbers, the double nearest the decimal, as reading it gives.
    const char16_t* const text = token.utf16();
    const qsizetype size = token.size();
    const bool negative = size > 0 && text[0] == u'-';
    qsizetype end = size > 0 && (text[0] == u'+' || negative) ? 1 : 0;
    long long whole = 0;
    int digits = 0, decimals = -1;
    for (; end < size; ++end) {
        const char16_t ch = text[end];
        if (ch >= u'0' && ch <= u'9') {
            whole = digits < 15 ? whole * 10 + (ch - u'0') : whole;
            decimals += decimals >= 0 ? 1 : 0;
            ++digits;
        } else if (ch == u'.' && decimals < 0) {
            decimals = 0;
        } else {
            break;
        }
    }
    const QStringView unit = token.mid(end);
    if (digits == 0 || !(unit.isEmpty() || unit == u"%" || unit == u"deg" || unit == u"turn")) {
        return std::nullopt;
    }
    double value = 0;
    if (digits <= 15) {
        static constexpr double scale[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        value = static_cast<double>(whole) / scale[std::max(decimals, 0)];
        value = negative ? -value : value;
    } else {
        bool ok = false;
        value = token.first(end).toDouble(&ok);
        if (!ok) {
            return std::nullopt;
        }
    }
    return Number{value, unit};
}

// rgb(), rgba(), hsl() and hsla(): three numbers between commas or blanks, and an alpha after a
// comma or a slash.
ColorCodeReading fromFunction(const QString& text) {
    static const QRegularExpression form(QStringLiteral(
        R"(^(rgb|hsl)a?\(\s*([^\s,/()]+)(?:\s*,\s*|\s+)([^\s,/()]+)(?:\s*,\s*|\s+)([^\s,/()]+)\s*(?:[,/]\s*([^\s,/()]+)\s*)?\)$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        return {};
    }
    std::optional<Number> n[3];
    for (int i = 0; i < 3; ++i) {
        n[i] = readNumber(match.capturedView(2 + i));
        if (!n[i]) {
            return {};
        }
    }
    Rgb colour;
    if (match.capturedView(1) == u"rgb") {
        // Three whole numbers 0..255, or three percentages 0..100.
        const bool percent = n[0]->unit == u"%";
        int values[3] = {};
        for (int i = 0; i < 3; ++i) {
            const double v = n[i]->value;
            if (n[i]->unit != (percent ? u"%" : u"") || !(v >= 0.0 && v <= (percent ? 100.0 : 255.0)) ||
                (!percent && v != std::floor(v))) {
                return {};
            }
            values[i] = static_cast<int>(percent ? std::lround(v * 255.0 / 100.0) : v);
        }
        colour = Rgb{values[0], values[1], values[2]};
    } else {
        // The hue in degrees or turns; saturation and lightness in percent.
        const QStringView hueUnit = n[0]->unit;
        if (hueUnit == u"%" || n[1]->unit != u"%" || n[2]->unit != u"%") {
            return {};
        }
        for (int i = 1; i < 3; ++i) {
            if (!(n[i]->value >= 0.0 && n[i]->value <= 100.0)) {
                return {};
            }
        }
        const double hue = hueUnit == u"turn" ? n[0]->value * 360.0 : n[0]->value;
        colour = RgbFromHsl(hue, n[1]->value, n[2]->value);
    }
    if (match.hasCaptured(5)) {
        const std::optional<Number> alpha = readNumber(match.capturedView(5));
        const double opaque = alpha && alpha->unit == u"%" ? 100.0 : 1.0;
        if (!alpha || !(alpha->unit.isEmpty() || alpha->unit == u"%") ||
            !(alpha->value >= 0.0 && alpha->value <= opaque)) {
            return {};
        }
        if (alpha->value != opaque) {
            return ColorCodeReading{std::nullopt, true};
        }
    }
    return ColorCodeReading{colour, false};
}

// #RGB, #RGBA, #RRGGBB and #RRGGBBAA.
ColorCodeReading fromHash(QStringView digits) {
    const qsizetype size = digits.size();
    if ((size != 3 && size != 4 && size != 6 && size != 8) || hexValue(digits) < 0) {
        return {};
    }
    const bool withAlpha = size == 4 || size == 8;
    const qsizetype alphaDigits = size / 4;
    if (withAlpha && hexValue(digits.last(alphaDigits)) != (alphaDigits == 1 ? 0xF : 0xFF)) {
        return ColorCodeReading{std::nullopt, true};
    }
    return ColorCodeReading{fromHexRgb(withAlpha ? digits.chopped(alphaDigits) : digits), false};
}

std::optional<Rgb> fromName(const QString& name) {
    static const QRegularExpression letters(QStringLiteral("^[a-z]+$"));
    if (!letters.match(name).hasMatch() || name == QLatin1String("transparent")) {
        return std::nullopt;
    }
    // The one CSS name that came after the list Qt knows.
    if (name == QLatin1String("rebeccapurple")) {
        return Rgb{0x66, 0x33, 0x99};
    }
    const QColor color = QColor::fromString(name);
    if (!color.isValid()) {
        return std::nullopt;
    }
    return Rgb{color.red(), color.green(), color.blue()};
}

} // namespace

ColorCodeReading ParseColorCode(const QString& original) {
    // Full-width letters, digits and signs, as a Japanese input method may give them, read as
    // their ASCII forms.
    const QString text = original.normalized(QString::NormalizationForm_KC).trimmed().toLower();
    if (text.size() > 64) {
        return {};
    }
    if (text.size() == 6) {
        if (const auto rgb = fromHexRgb(text)) {
            return ColorCodeReading{rgb, false};
        }
    }
    if (text.startsWith(QLatin1Char('#'))) {
        return fromHash(QStringView(text).mid(1));
    }
    if (text.startsWith(QLatin1String("0x"))) {
        // As program code writes a colour: exactly six digits, red first.
        const QStringView digits = QStringView(text).mid(2);
        return ColorCodeReading{digits.size() == 6 ? fromHexRgb(digits) : std::nullopt, false};
    }
    if (text.startsWith(QLatin1String("&h"))) {
        // Blue first, as the third copy format writes it; a closing & as in program code, and
        // up to eight digits as program code writes colour constants, with nothing above blue.
        QStringView digits = QStringView(text).mid(2);
        if (digits.endsWith(QLatin1Char('&'))) {
            digits.chop(1);
        }
        const long long v = digits.isEmpty() || digits.size() > 8 ? -1 : hexValue(digits);
        if (v < 0 || v > 0xFFFFFF) {
            return {};
        }
        return ColorCodeReading{
            Rgb{static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v >> 16)}, false};
    }
    if (text.startsWith(QLatin1String("rgb")) || text.startsWith(QLatin1String("hsl"))) {
        return fromFunction(text);
    }
    return ColorCodeReading{fromName(text), false};
}

QString QuotedForMessage(const QString& text, qsizetype limit) {
    QString shown;
    shown.reserve(std::min(text.size(), limit + 1));
    for (const QChar ch : text) {
        if (shown.size() >= limit && !ch.isLowSurrogate()) {
            shown += QChar(u'…');
            break;
        }
        const char16_t u = ch.unicode();
        const bool control = u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
        const bool reorders =
            (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F || u == 0x061C;
        if (control) {
            shown += QLatin1Char(' ');
        } else if (!reorders) {
            shown += ch;
        }
    }
    return shown;
}
