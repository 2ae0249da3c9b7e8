// The eight toolbar buttons.

#include "app/frmColor.h"
#include "color/ColorCode.h"
#include "resources/StringTable.h"

void frmColor::cmdColor_Click(int Index) {
    guarded([this, Index] {
        switch (Index) {
        case SaveButton:
        case LoadButton:
            m.FilePanelOpen = true;
            m.PanelSaving = Index == SaveButton;
            setCaption(LoadResString(m.PanelSaving ? TextId::SavePanel : TextId::LoadPanel));
            cmdOK->setText(LoadResString(m.PanelSaving ? TextId::SaveAction : TextId::LoadAction));
            m.OpenPaletteFilePanel();
            break;
        case CopyButton:
            CopyColorCode();
            break;
        case ModeButton:
            if (m.ColorMode == ColorGamut::Full) {
                Enter216ColorMode();
            } else {
                EnterFullColorMode();
            }
            break;
        case FormatButton:
            m.CopyMode = NextButtonFormat(m.CopyMode);
            m.ApplyCopyMode();
            // At once, for the colour last shown (not the swatches).
            m.ShowColourCode();
            break;
        case PaletteButton:
            SwitchPalette(m.ShowingBasicPalette ? MyPaletteItem : BasicPaletteItem);
            break;
        case TopmostButton:
            m.ToggleTopmost();
            break;
        case QuitButton:
            close();
            break;
        default:
            break;
        }
    });
}
