#include "color/ColourVision.h"

#include "color/Contrast.h"

#include <array>

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// G. M. Machado, M. M. Oliveira and L. A. F. Fernandes, "A Physiologically-based Model for
// Simulation of Color Vision Deficiency", IEEE Transactions on Visualization and Computer
// Graphics 15(6), 2009, pp. 1291-1298: the matrices of the paper's supplementary material for
// severity 1.0 (protanopia, deuteranopia, tritanopia), which act on linear sRGB. Each row sums
// to 1, so greys stay grey.
constexpr Matrix protanopia{{
    {0.152286, 1.052583, -0.204868},
    {0.114503, 0.786281, 0.099216},
    {-0.003882, -0.048116, 1.051998},
}};
constexpr Matrix deuteranopia{{
    {0.367322, 0.860646, -0.227968},
    {0.280085, 0.672501, 0.047413},
    {-0.011820, 0.042940, 0.968881},
}};
constexpr Matrix tritanopia{{
    {1.255528, -0.076749, -0.178779},
    {-0.078411, 0.930809, 0.147602},
    {0.004733, 0.691367, 0.303900},
}};

} // namespace

Rgb SimulatedColour(Rgb colour, ColourVision vision) {
    const std::array<double, 3> linear{LinearLevel(colour.r), LinearLevel(colour.g), LinearLevel(colour.b)};
    const Matrix* matrix = nullptr;
    switch (vision) {
    case ColourVision::None:
        return colour;
    case ColourVision::Achromat: {
        // The grey of the same relative luminance, with the weights of the contrast ratio.
        const int grey = EncodedLevel(0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]);
        return Rgb{grey, grey, grey};
    }
    case ColourVision::Protan:
        matrix = &protanopia;
        break;
    case ColourVision::Deutan:
        matrix = &deuteranopia;
        break;
    case ColourVision::Tritan:
        matrix = &tritanopia;
        break;
    }
    if (matrix == nullptr) {
        return colour;
    }
    std::array<int, 3> out{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& row = (*matrix)[i];
        // Colours the dichromat sees outside the sRGB gamut are clipped to it.
        out[i] = EncodedLevel(row[0] * linear[0] + row[1] * linear[1] + row[2] * linear[2]);
    }
    return Rgb{out[0], out[1], out[2]};
}
