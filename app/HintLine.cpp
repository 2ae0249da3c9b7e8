// The hint line: what the control under the mouse does, or the slider read-out over the bare
// window area. Mouse moves come often: each handler looks up one text and assigns it, and the
// label skips a text it already shows.

#include "app/frmColor.h"
#include "resources/StringTable.h"

void frmColor::cmdColor_MouseMove(int Index) {
    guarded([this, Index] {
        int id = 0;
        switch (Index) {
        case 0:
            id = 137;
            break;
        case 1:
            id = 138;
            break;
        case 2:
            id = 103;
            break;
        case 3:
            id = 139;
            break;
        case 4:
            id = 140;
            break;
        case 5:
            id = m.ShowingBasicPalette ? 156 : 157;
            break;
        case 6:
            id = m.IsTopmost ? 141 : 142;
            break;
        case 7:
            id = 101;
            break;
        default:
            return;
        }
        lblExplain->setCaption(LoadResString(id));
    });
}

void frmColor::cmdOK_MouseMove() {
    guarded([this] { lblExplain->setCaption(LoadResString(m.PanelSaving ? 152 : 153)); });
}

void frmColor::cmdCancel_MouseMove() {
    guarded([this] { lblExplain->setCaption(LoadResString(m.PanelSaving ? 154 : 155)); });
}

void frmColor::FilPallete_MouseMove() {
    guarded([this] { lblExplain->setCaption(LoadResString(m.PanelSaving ? 149 : 150)); });
}

void frmColor::txtPallete_MouseMove() {
    guarded([this] {
        // The name box shows only when saving.
        if (m.PanelSaving) {
            lblExplain->setCaption(LoadResString(151));
        }
    });
}

void frmColor::optColor_MouseMove(int Index) {
    guarded([this, Index] {
        if (Index == 0) {
            lblExplain->setCaption(LoadResString(146));
        } else if (Index == 1) {
            lblExplain->setCaption(LoadResString(147));
        }
    });
}

void frmColor::txtColor_MouseMove() {
    guarded([this] { lblExplain->setCaption(LoadResString(105)); });
}

void frmColor::lblHex_MouseMove() {
    guarded([this] { lblExplain->setCaption(LoadResString(145)); });
}

void frmColor::lblExplain_MouseMove() {
    guarded([this] { lblExplain->setCaption(LoadResString(102)); });
}

void frmColor::lblPallete_MouseMove(int Index) {
    Q_UNUSED(Index); // every swatch says the same
    guarded([this] { lblExplain->setCaption(LoadResString(m.ShowingBasicPalette ? 148 : 136)); });
}

void frmColor::Label1_MouseMove(int Index) {
    if (Index >= 0 && Index <= 2) {
        lblExplain->setCaption(LoadResString(158 + Index));
    }
}

void frmColor::Form_MouseMove() {
    // While the file panel is open the last hint stays.
    if (!m.FilePanelOpen) {
        lblExplain->setCaption(SliderReadout());
    }
}
