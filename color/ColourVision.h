#pragma once

#include "color/ColorInput.h"

#include <array>

// The colour vision the sample can be shown in: normal, the three dichromacies (the L, M or S
// cones missing) and achromatopsia (no colour at all).
enum class ColourVision { None, Protan, Deutan, Tritan, Achromat };
// All of them, in that order: the order of the menu's items.
inline constexpr std::array<ColourVision, 5> ColourVisions{
    ColourVision::None, ColourVision::Protan, ColourVision::Deutan, ColourVision::Tritan, ColourVision::Achromat};

// A colour as a person with that colour vision sees it, for a person with normal vision to look
// at. Protan, deutan and tritan follow Machado, Oliveira and Fernandes (2009) at full severity;
// achromat shows the grey of the colour's relative luminance. All in linear sRGB.
Rgb SimulatedColour(Rgb colour, ColourVision vision);
