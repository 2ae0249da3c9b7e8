#pragma once

#include "color/ColorInput.h"

#include <QString>

// Colour codes as style sheets and program code write them.

// The 8-bit colour of a CSS hsl(): the hue in degrees (any value, taken round the circle),
// saturation and lightness in percent, 0..100. Pasting an hsl() code and writing one agree on
// this one conversion.
Rgb RgbFromHsl(double hueDegrees, double saturationPercent, double lightnessPercent);

// rgb(255, 128, 0)
QString CssRgbCode(Rgb colour);

// hsl(30.1, 100%, 50%): the three numbers with the fewest decimals, the same number of them for
// all three, with which the code pastes back to exactly this colour; zeros at the end of a
// number are left off.
QString CssHslCode(Rgb colour);

// 0xFF8000
QString HexLiteralCode(Rgb colour);
