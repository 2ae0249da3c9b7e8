#include "color/ContrastFix.h"

#include "color/Contrast.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// OKLab (Björn Ottosson, 2020) from and to linear sRGB.
struct Lab {
    double L = 0;
    double a = 0;
    double b = 0;
};

using Linear = std::array<double, 3>;

Lab oklabOf(Rgb colour) {
    const double r = LinearLevel(colour.r), g = LinearLevel(colour.g), b = LinearLevel(colour.b);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return Lab{0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
               1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
               0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

Linear linearOf(double L, double a, double b) {
    const double l = std::pow(L + 0.3963377774 * a + 0.2158037573 * b, 3);
    const double m = std::pow(L - 0.1055613458 * a - 0.0638541728 * b, 3);
    const double s = std::pow(L - 0.0894841775 * a - 1.2914855480 * b, 3);
    return Linear{4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s,
                  -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s,
                  -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s};
}

bool inGamut(const Linear& rgb) {
    constexpr double slack = 1e-9;
    for (const double c : rgb) {
        if (c < -slack || c > 1.0 + slack) {
            return false;
        }
    }
    return true;
}

// The colour of lightness L on one hue: of chroma C where sRGB holds it, else of the most chroma
// sRGB holds at that lightness and hue.
Linear onHueLine(double L, double C, double cosHue, double sinHue) {
    const Linear full = linearOf(L, C * cosHue, C * sinHue);
    if (inGamut(full)) {
        return full;
    }
    double inside = 0.0, outside = C;
    for (int i = 0; i < 20; ++i) {
        const double mid = (inside + outside) / 2;
        (inGamut(linearOf(L, mid * cosHue, mid * sinHue)) ? inside : outside) = mid;
    }
    return linearOf(L, inside * cosHue, inside * sinHue);
}

int quantised(double linear, bool grid216) {
    const double f = EncodedFraction(linear);
    return grid216 ? static_cast<int>(std::lround(f * 5.0)) * 51 : static_cast<int>(std::lround(f * 255.0));
}

double distance(const Lab& x, const Lab& y) {
    return std::hypot(x.L - y.L, x.a - y.a, x.b - y.b);
}

struct Found {
    bool found = false;
    Rgb colour;
    double distance = 0;
};

// The first colour on the way from `start` to black (direction -1) or white (+1) that reaches
// the target. The way is walked in lightness steps well below one 8-bit level, so each colour
// on it is judged as the sliders would hold it.
Found firstReaching(const Lab& start, int direction, Rgb other, int targetTenths, bool grid216) {
    constexpr int steps = 2048;
    const double C = std::hypot(start.a, start.b);
    const double cosHue = C > 0 ? start.a / C : 1.0, sinHue = C > 0 ? start.b / C : 0.0;
    Rgb previous{-1, -1, -1};
    for (int i = 1; i <= steps; ++i) {
        const double L = std::clamp(start.L + direction * static_cast<double>(i) / steps, 0.0, 1.0);
        const Linear rgb = onHueLine(L, C, cosHue, sinHue);
        const Rgb colour{quantised(rgb[0], grid216), quantised(rgb[1], grid216), quantised(rgb[2], grid216)};
        if (colour != previous && ContrastTenths(colour, other) >= targetTenths) {
            return Found{true, colour, distance(start, oklabOf(colour))};
        }
        previous = colour;
        if (L == 0.0 || L == 1.0) {
            break;
        }
    }
    return Found{};
}

} // namespace

ContrastFix FixContrast(Rgb edited, Rgb other, bool grid216) {
    const int now = ContrastTenths(edited, other);
    if (now >= 70) {
        return ContrastFix{ContrastFix::Outcome::AlreadyAaa, 0, edited, now};
    }
    const int target = now >= 45 ? 70 : 45;
    const Lab start = oklabOf(edited);
    const Found darker = firstReaching(start, -1, other, target, grid216);
    const Found lighter = firstReaching(start, +1, other, target, grid216);
    if (darker.found || lighter.found) {
        // The smaller change; where both are the same, the higher ratio.
        const bool takeDarker =
            darker.found && (!lighter.found || darker.distance < lighter.distance ||
                             (darker.distance == lighter.distance &&
                              ContrastRatio(darker.colour, other) >= ContrastRatio(lighter.colour, other)));
        const Rgb colour = takeDarker ? darker.colour : lighter.colour;
        return ContrastFix{ContrastFix::Outcome::Changed, target, colour, ContrastTenths(colour, other)};
    }
    // Every way ends at black or white, and one of them has the highest ratio to any colour.
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    const Rgb best = ContrastRatio(black, other) >= ContrastRatio(white, other) ? black : white;
    return ContrastFix{ContrastFix::Outcome::Unreachable, target, best, ContrastTenths(best, other)};
}
