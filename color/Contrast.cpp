#include "color/Contrast.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The sRGB transfer function undone, for each 8-bit level.
const std::array<double, 256>& linearLevels() {
    static const std::array<double, 256> levels = [] {
        std::array<double, 256> out{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            out[static_cast<std::size_t>(i)] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return out;
    }();
    return levels;
}

} // namespace

double LinearLevel(int level) {
    return linearLevels()[static_cast<std::size_t>(level & 0xFF)];
}

double EncodedFraction(double linear) {
    const double c = std::clamp(linear, 0.0, 1.0);
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

int EncodedLevel(double linear) {
    return static_cast<int>(std::lround(EncodedFraction(linear) * 255.0));
}

double RelativeLuminance(Rgb color) {
    const auto& lin = linearLevels();
    return 0.2126 * lin[static_cast<std::size_t>(color.r & 0xFF)] +
           0.7152 * lin[static_cast<std::size_t>(color.g & 0xFF)] +
           0.0722 * lin[static_cast<std::size_t>(color.b & 0xFF)];
}

double ContrastRatio(Rgb a, Rgb b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return la >= lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

int ContrastTenths(Rgb a, Rgb b) {
    // Rounded down, with a margin of 1e-14 for the arithmetic's own error (a few units of
    // 1e-16), which keeps exact ratios such as 21 for black and white where they are. Across
    // all pairs of 8-bit colours the nearest ratios below the levels 3, 4.5 and 7 lie 6e-14,
    // 3.5e-13 and 5.9e-13 below them, outside the margin: no pair is graded above its level.
    return static_cast<int>(std::floor(ContrastRatio(a, b) * 10.0 + 1e-13));
}

QString ContrastGrade(int tenths) {
    if (tenths >= 70) {
        return QStringLiteral("AAA");
    }
    if (tenths >= 45) {
        return QStringLiteral("AA");
    }
    if (tenths >= 30) {
        return QStringLiteral("AA大");
    }
    return QStringLiteral("✕");
}

QString ContrastReadout(Rgb text, Rgb background) {
    const int tenths = ContrastTenths(text, background);
    return QStringLiteral("%1.%2:1 %3").arg(tenths / 10).arg(tenths % 10).arg(ContrastGrade(tenths));
}
