#pragma once

#include "resources/StringTable.h"

#include <QIcon>
#include <optional>

// The pictures of the toolbar buttons by id: the one place that gives each picture its number.
enum class PictureId {
    None = 0,             // no picture: a button with a caption
    Quit = 101,           // an emergency-exit sign
    OnTop = 102,          // window frames with a pin, outlined: the window stays on top
    NotOnTop = 103,       // the same frames without the outline: a normal window
    PlainHexFormat = 104, // "16": the copy format of hexadecimal digits only
    AmpHFormat = 105,     // the &H copy format
    HtmlFormat = 106,     // "HTML": the #RRGGBB copy format
    SavePalette = 107,    // a floppy disk
    LoadPalette = 108,    // an opening folder
    SmallPalette = 109,   // a painter's palette, shown by no button
    BasicPalette = 110,   // "16" and a painter's palette: the basic colours are shown
    MyPalette = 111,      // "MY" and a painter's palette: My palette is shown
    CssRgbFormat = 112,   // "rgb" over red, green and blue in brackets: the rgb() copy format
    CssHslFormat = 113,   // "hsl" over the hues in brackets: the hsl() copy format
    ZeroXFormat = 114,    // "0x": the 0xRRGGBB copy format
};

// A picture; None gives a null icon.
QIcon LoadResPicture(PictureId id);

// What a button that shows the picture does or shows, in the words of its hint; none for a
// picture that no button shows.
std::optional<TextId> PictureHint(PictureId id);

// The program icon: the window's icon and the desktop entry's icon.
QIcon ProgramIcon();
