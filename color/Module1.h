#pragma once

#include "color/ColorCode.h"
#include "color/ColourVision.h"
#include "palette/PaletteTable.h"
#include "resources/Icons.h"

#include <QPoint>
#include <QString>
#include <array>
#include <cstdint>

class frmColor;
class QWidget;

namespace platform {
class Platform;
}

// The picture of the copy-format button for a format (color/CopyFormats.cpp).
PictureId FormatPicture(CopyFormat format);

// The program's shared state and the procedures that several handlers of frmColor share.
// One object per window, so a new window starts from a fresh program state.
class Module1 {
public:
    Module1(frmColor& form, platform::Platform& platform)
        : frm(form)
        , os(platform) {}
    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;

    // --- State ---------------------------------------------------------------------------
    QString HexR, HexG, HexB; // digits of the colour UpdateColorDisplay last showed
    CopyFormat CopyMode = CopyFormat::PlainHex;
    ColorGamut ColorMode = ColorGamut::Full;
    bool PanelSaving = false;       // the file panel was opened for saving
    bool IsTopmost = false;         // the window stays above all others
    bool EditingBackground = false; // the sliders edit BackgroundRGB (else TextRGB)
    bool ShowingBasicPalette = false;
    bool FilePanelOpen = false;
    bool ShowingContrast = false;             // the hint line's read-out ends with the contrast ratio
    ColourVision Vision = ColourVision::None; // how the sample text is drawn: as seen with this colour vision
    PaletteTable PaletteView;                 // My palette as the swatches show it (or a preview)
    PaletteTable BasicPalette;                // the 16 basic colours
    PaletteTable MyPalette;                   // the committed My palette
    std::array<std::int32_t, 3> BackgroundRGB{};
    std::array<std::int32_t, 3> TextRGB{};

    // --- Shared procedures (defined with the subsystem they belong to) -------------------
    void UpdateColorDisplay(); // color/ColorEditing.cpp
    void ApplyCopyMode();      // color/CopyFormats.cpp
    // The code label: the colour last shown, in the copy format in force.
    void ShowColourCode(); // color/CopyFormats.cpp
    // The colour-vision menu's marks and the sample text as `Vision` has it.
    void ApplyVision(); // color/ColourAids.cpp
    // A colour as the sample text draws it: as seen with `Vision`.
    std::int32_t SampleColour(int r, int g, int b) const; // color/ColourAids.cpp
    // The contrast ratio as seen with `Vision`, for the hint line: "（2型 3.1:1 AA大）".
    QString VisionReadout() const;                           // color/ColourAids.cpp
    void SetEditedColour(int r, int g, int b);               // color/ColorIntake.cpp
    void ToggleTopmost();                                    // app/WindowBehaviours.cpp
    void BeginWindowDrag(QWidget* target, QPoint pressedAt); // app/WindowBehaviours.cpp
    void ShowMyPalette();                                    // palette/Swatches.cpp
    void PaintSwatches(const PaletteTable& table);           // palette/Swatches.cpp
    void OpenPaletteFilePanel();                             // palette/FilePanel.cpp
    void ClosePaletteFilePanel();                            // palette/FilePanel.cpp
    // Places the file panel's controls for the panel's state (open for saving or loading, or closed).
    void PlaceFilePanel(); // palette/FilePanel.cpp

    // The help file: the program's resource folder and "swatchly.hlp".
    QString HelpFilePath() const; // app/WindowBehaviours.cpp

private:
    // Shows and enables the colour controls, or hides and disables them for the file panel.
    void ShowColourControls(bool on); // palette/FilePanel.cpp

    frmColor& frm;
    platform::Platform& os;
};
