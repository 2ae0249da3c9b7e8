#pragma once

#include <QString>

// The user-interface texts by id: the one place that gives each text its number.
enum class TextId {
    QuitHint = 101,      // over the quit button
    HintLineHint = 102,  // over the hint line itself
    CopyHint = 103,      // over the copy button
    CodeShown = 104,     // not looked up
    PreviewHint = 105,   // over the sample text
    FullColorMode = 106, // the window caption in full-colour mode
    Web216Mode = 107,    // the window caption in 216-colour mode
    BasicChoiceEnd = 108,
    Placeholder109 = 109,
    // The names of the 16 basic colours, in the order of the basic palette; not looked up.
    Black = 110,
    Navy = 111,
    Blue = 112,
    Lime = 113,
    Aqua = 114,
    Green = 115,
    Teal = 116,
    Maroon = 117,
    Purple = 118,
    Olive = 119,
    Gray = 120,
    Silver = 121,
    Red = 122,
    Fuchsia = 123,
    Yellow = 124,
    White = 125,
    Placeholder126 = 126,
    BasicChoicePalette = 127,
    FullColorButton = 128, // the mode button's caption in full-colour mode
    Web216Button = 129,    // the mode button's caption in 216-colour mode
    SixteenColours = 130,
    SavePanel = 131,  // the window caption while the file panel saves
    LoadPanel = 132,  // the window caption while the file panel loads
    SaveAction = 133, // the panel's action button when saving
    LoadAction = 134, // the panel's action button when loading
    Back = 135,       // the panel's back button
    MySwatchHint = 136,
    SaveButtonHint = 137,
    LoadButtonHint = 138,
    ModeButtonHint = 139,
    FormatButtonHint = 140,
    OnTopHint = 141,
    NotOnTopHint = 142,
    BackgroundOption = 143,
    TextOption = 144,
    CodeHint = 145,
    BackgroundOptionHint = 146,
    TextOptionHint = 147,
    BasicSwatchHint = 148,
    SaveListHint = 149,
    LoadListHint = 150,
    NameBoxHint = 151,
    SaveActionHint = 152,
    LoadActionHint = 153,
    SaveBackHint = 154,
    LoadBackHint = 155,
    BasicPaletteHint = 156,
    MyPaletteHint = 157,
    RedHint = 158,
    GreenHint = 159,
    BlueHint = 160,
    // The swatches from the keyboard and for screen readers.
    SwatchName = 201,            // a swatch's name: its place, of how many, and its colour
    UnshowableColour = 202,      // a swatch's colour that no colour code can write
    MySwatchKeysHint = 203,      // the swatches take the keyboard focus, My palette shown
    BasicSwatchKeysHint = 204,   // the same, the basic palette shown
    TakeColourAction = 205,      // a swatch's first action: the left click's
    RegisterColourAction = 206,  // a swatch's second action: the right click's
    TakeColourDescription = 207, // what the first action does
    RegisterColourDescription = 208,
    CopyFormatInForce = 209, // the copy-format button's description: the format in force
};

// The text of an id.
QString LoadResString(TextId id);
