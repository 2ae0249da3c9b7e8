#pragma once

#include "color/ColorInput.h"

// What fixing the contrast gives for the colour being edited against the other colour.
struct ContrastFix {
    enum class Outcome {
        Changed,     // `colour` reaches the target against the other colour
        AlreadyAaa,  // the pair reaches 7:1 already: nothing to change
        Unreachable, // no colour reaches the target; `colour` (black or white) comes nearest
    };
    Outcome outcome = Outcome::AlreadyAaa;
    int targetTenths = 0; // the ratio sought, in tenths: 45 (AA) or 70 (AAA); 0 with AlreadyAaa
    Rgb colour;           // the new colour, the best one there is, or the edited colour unchanged
    int tenths = 0;       // the ratio of `colour` to the other colour in tenths, as ContrastTenths
};

// The colour nearest to `edited` whose ratio to `other` is at least 4.5:1, or 7:1 where the pair
// reaches 4.5:1 already. Nearest: in OKLCH the hue and chroma stay and the lightness moves, up or
// down, whichever reaches the target with the smaller change in OKLab; where sRGB has no colour
// of that chroma at a lightness, the chroma is lowered toward grey at the same hue, so that the
// way ends at black or at white. Each step is taken on 8-bit levels, or on the 216-colour grid
// with `grid216`, and judged there, so the colour given shows the grade it was fixed for.
ContrastFix FixContrast(Rgb edited, Rgb other, bool grid216);
