// The eight toolbar buttons.

#include "app/frmColor.h"
#include "color/ColorCode.h"
#include "resources/StringTable.h"

void frmColor::cmdColor_Click(int Index) {
    guarded([this, Index] {
        switch (Index) {
        case 0:
        case 1:
            m.FilePanelOpen = true;
            m.PanelSaving = Index == 0;
            setCaption(LoadResString(Index == 0 ? 131 : 132));
            cmdOK->setText(LoadResString(Index == 0 ? 133 : 134));
            m.OpenPaletteFilePanel();
            break;
        case 2:
            CopyColorCode();
            break;
        case 3:
            if (m.ColorMode == 0) {
                Enter216ColorMode();
            } else if (m.ColorMode == 1) {
                EnterFullColorMode();
            }
            break;
        case 4:
            m.CopyMode = m.CopyMode == 2 ? 0 : m.CopyMode + 1;
            m.ApplyCopyMode();
            // At once, for the colour last shown (not the swatches).
            lblHex->setCaption(ColorCode(m.HexR, m.HexG, m.HexB, m.CopyMode));
            break;
        case 5:
            SwitchPalette(m.ShowingBasicPalette ? 1 : 0);
            break;
        case 6:
            m.ToggleTopmost();
            break;
        case 7:
            close();
            break;
        default:
            break;
        }
    });
}
