#include "color/ColorInput.h"

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

// rgb(r, g, b) and rgb(r g b): three whole numbers 0..255, or three percentages 0..100.
std::optional<Rgb> fromFunction(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral(R"(^rgb\(\s*([0-9.]+)(%?)\s*(?:,\s*|\s+)([0-9.]+)(%?)\s*(?:,\s*|\s+)([0-9.]+)(%?)\s*\)$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const bool percent = !match.capturedView(2).isEmpty();
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const QString number = match.captured(1 + 2 * i);
        if (match.capturedView(2 + 2 * i).isEmpty() == percent) {
            return std::nullopt; // numbers and percentages mixed
        }
        bool ok = false;
        if (percent) {
            const double p = number.toDouble(&ok);
            if (!ok || !(p >= 0.0 && p <= 100.0)) {
                return std::nullopt;
            }
            values[i] = static_cast<int>(std::lround(p * 255.0 / 100.0));
        } else {
            const int v = number.toInt(&ok, 10);
            if (!ok || v < 0 || v > 255) {
                return std::nullopt;
            }
            values[i] = v;
        }
    }
    return Rgb{values[0], values[1], values[2]};
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

std::optional<Rgb> ParseColorCode(const QString& original) {
    // Full-width letters, digits and signs, as a Japanese input method may give them, read as
    // their ASCII forms.
    const QString text = original.normalized(QString::NormalizationForm_KC).trimmed().toLower();
    if (text.size() > 64) {
        return std::nullopt;
    }
    if (text.size() == 6) {
        if (const auto rgb = fromHexRgb(text)) {
            return rgb;
        }
    }
    if (text.startsWith(QLatin1Char('#'))) {
        const QStringView digits = QStringView(text).mid(1);
        return digits.size() == 6 || digits.size() == 3 ? fromHexRgb(digits) : std::nullopt;
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
            return std::nullopt;
        }
        return Rgb{static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v >> 16)};
    }
    if (text.startsWith(QLatin1String("rgb("))) {
        return fromFunction(text);
    }
    return fromName(text);
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
