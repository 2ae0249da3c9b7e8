#include "palette/PaletteTable.h"

std::int32_t SwatchColor(std::int32_t r, std::int32_t g, std::int32_t b) {
    if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) {
        return UnshowableColor;
    }
    return r + 256 * g + 65536 * b;
}
