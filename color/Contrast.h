#pragma once

#include "color/ColorInput.h"

#include <QString>

// The contrast of two colours as the web's accessibility guidelines (WCAG 2.x) define it.

// The sRGB transfer function undone: the linear light, 0 to 1, of an 8-bit level 0..255.
double LinearLevel(int level);

// The sRGB transfer function: the 8-bit level nearest to a linear light, which is clamped to 0..1.
int EncodedLevel(double linear);

// The same without rounding: the level as a fraction 0 to 1.
double EncodedFraction(double linear);

// The relative luminance, 0 for black to 1 for white.
double RelativeLuminance(Rgb color);

// (lighter + 0.05) / (darker + 0.05): 1 to 21, whichever colour is the lighter.
double ContrastRatio(Rgb a, Rgb b);

// The ratio in tenths, rounded down: a pair never shows a ratio it does not reach.
int ContrastTenths(Rgb a, Rgb b);

// The level a ratio in tenths passes: AAA (at least 7), AA (4.5), AA大 (3, large text only)
// or ✕.
QString ContrastGrade(int tenths);

// The ratio and its level, as the hint line follows the slider read-out with it: "4.5:1 AA".
QString ContrastReadout(Rgb text, Rgb background);
