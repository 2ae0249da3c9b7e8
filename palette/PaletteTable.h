#pragma once

#include <QString>
#include <array>
#include <cstdint>

// Sixteen colours stored component by component: the 16 reds, then the 16 greens, then the
// 16 blues; component c (0 red, 1 green, 2 blue) of entry i sits at i + 16 * c. The table
// holds whatever it is given; only colours the program makes itself are sure to be 0..255.
struct PaletteTable {
    static constexpr int Entries = 16;
    std::array<std::int32_t, 3 * Entries> values{};

    std::int32_t& at(int entry, int component) { return values[static_cast<std::size_t>(entry + Entries * component)]; }
    std::int32_t at(int entry, int component) const {
        return values[static_cast<std::size_t>(entry + Entries * component)];
    }
    void setEntry(int entry, std::int32_t r, std::int32_t g, std::int32_t b) {
        at(entry, 0) = r;
        at(entry, 1) = g;
        at(entry, 2) = b;
    }
    void fill(std::int32_t r, std::int32_t g, std::int32_t b) {
        for (int i = 0; i < Entries; ++i) {
            setEntry(i, r, g, b);
        }
    }
    bool operator==(const PaletteTable&) const = default;
};

// The swatch colour of one entry, as a packed colour (red in the low byte). Each component is
// written in upper-case hexadecimal (a negative one as its 32-bit two's complement), padded to
// two digits, joined blue, green, red and read back as one number. A number that needs more
// than 32 bits throws AppError (overflow) naming the entry's values.
std::int32_t SwatchColor(std::int32_t r, std::int32_t g, std::int32_t b);

// The hexadecimal text of one component as the swatch colour rule writes it.
QString SwatchComponentText(std::int32_t value);
