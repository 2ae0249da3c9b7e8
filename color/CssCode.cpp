#include "color/CssCode.h"

#include "color/ColorCode.h"

#include <algorithm>
#include <cmath>

namespace {

// A number with `decimals` places, without the zeros at its end.
QString shortNumber(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    return text;
}

// The value as a text with that many decimals (up to 6) reads back as: k / 10^d is the double
// nearest that decimal, as reading the text gives it.
double roundedTo(double value, int decimals) {
    static constexpr double scale[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    return std::round(value * scale[decimals]) / scale[decimals];
}

} // namespace

Rgb RgbFromHsl(double hueDegrees, double saturationPercent, double lightnessPercent) {
    // CSS Color 4: f(n) = L - a max(-1, min(k - 3, 9 - k, 1)), k = (n + H / 30) mod 12.
    double hue = std::fmod(hueDegrees, 360.0);
    if (hue < 0) {
        hue += 360.0;
    }
    const double s = saturationPercent / 100.0, l = lightnessPercent / 100.0;
    const double a = s * std::min(l, 1.0 - l);
    const auto channel = [&](double n) {
        const double k = std::fmod(n + hue / 30.0, 12.0);
        const double f = l - a * std::clamp(std::min(k - 3.0, 9.0 - k), -1.0, 1.0);
        return static_cast<int>(std::lround(std::clamp(f, 0.0, 1.0) * 255.0));
    };
    return Rgb{channel(0), channel(8), channel(4)};
}

QString CssRgbCode(Rgb colour) {
    return QStringLiteral("rgb(%1, %2, %3)").arg(colour.r).arg(colour.g).arg(colour.b);
}

QString CssHslCode(Rgb colour) {
    const double r = colour.r / 255.0, g = colour.g / 255.0, b = colour.b / 255.0;
    const double high = std::max({r, g, b}), low = std::min({r, g, b}), chroma = high - low;
    const double l = (high + low) / 2;
    const double s = chroma == 0 ? 0.0 : chroma / (1.0 - std::abs(2 * l - 1));
    double h = 0;
    if (chroma > 0) {
        h = high == r ? (g - b) / chroma : high == g ? (b - r) / chroma + 2 : (r - g) / chroma + 4;
        h = h < 0 ? h * 60 + 360 : h * 60;
    }
    // One decimal is enough for every 8-bit colour; the loop ends at six whatever happens.
    int decimals = 0;
    double hue = 0, saturation = 0, lightness = 0;
    for (; decimals <= 6; ++decimals) {
        hue = roundedTo(h, decimals);
        saturation = roundedTo(s * 100, decimals);
        lightness = roundedTo(l * 100, decimals);
        if (RgbFromHsl(hue, saturation, lightness) == colour) {
            break;
        }
    }
    decimals = std::min(decimals, 6);
    return QStringLiteral("hsl(%1, %2%, %3%)")
        .arg(shortNumber(hue, decimals), shortNumber(saturation, decimals), shortNumber(lightness, decimals));
}

QString HexLiteralCode(Rgb colour) {
    QString r, g, b;
    WriteHexDigits(r, colour.r);
    WriteHexDigits(g, colour.g);
    WriteHexDigits(b, colour.b);
    return QStringLiteral("0x") + r + g + b;
}
