#pragma once

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

// A value that is no packed colour (its high byte is set): a swatch given it shows the mark of
// an entry that cannot be shown, a light grey with a diagonal cross.
constexpr std::int32_t UnshowableColor = -1;

// The swatch colour of one entry, as a packed colour (red in the low byte), or UnshowableColor
// when a component lies outside 0..255.
std::int32_t SwatchColor(std::int32_t r, std::int32_t g, std::int32_t b);
