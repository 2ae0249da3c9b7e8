#pragma once

#include "color/ColorCode.h"
#include "color/ColourVision.h"
#include "palette/PaletteTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

// What the window keeps between runs when the user asks it to (基本設定 → 終了時の状態を記憶する).
// Each value is there or not: one read from a file holds only the values that file held in good
// form, and the window restores only those.
struct RememberedState {
    using Colour = std::array<std::int32_t, 3>;

    std::optional<Colour> background;
    std::optional<Colour> text;
    std::optional<bool> editingBackground; // the sliders edit the background colour (else the text colour)
    std::optional<ColorGamut> mode;
    std::optional<CopyFormat> copyFormat;
    std::optional<bool> onTop;
    std::optional<bool> basicPaletteShown;
    std::array<std::optional<Colour>, PaletteTable::Entries> myPalette;
    std::optional<bool> showingContrast;
    std::optional<ColourVision> vision;
    std::optional<QPoint> position; // the window frame's top-left corner on the desktop

    bool operator==(const RememberedState&) const = default;
};

// The file of a remembered state: UTF-8 text, one "name=value" a line, in a fixed order after
// two comment lines. Colours are "R,G,B" (0..255 each), the position "X,Y"; the others are
// names ("background", "full", "plain", "yes", …). Values that are not there are left out.
QByteArray WriteRememberedState(const RememberedState& state);

// Reads such a file's text into `state`: each value held in good form replaces the one there;
// blank lines and lines starting with "#" are passed over. Returns what was left out, one item
// for each line or value, in Japanese and on one line each, for the message that reports it:
// lines that are not UTF-8 or not "name=value", unknown names, a name given again (the first
// counts), values out of range or of the wrong form, and the names of values that are missing
// from a text that holds any line at all.
QStringList ReadRememberedState(QByteArrayView text, RememberedState& state);

// Whether a window at `window` lies wholly on the screens `screens` (which may adjoin).
bool LiesOnScreens(const QRect& window, const QList<QRect>& screens);
