// The hint line: what the control under the mouse does, or the slider read-out over the bare
// window area. Mouse moves come often: each handler looks up one text and assigns it, and the
// label skips a text it already shows.

#include "app/frmColor.h"
#include "resources/Icons.h"
#include "resources/StringTable.h"

std::optional<TextId> frmColor::ToolbarHint(int Index) const {
    switch (Index) {
    case CopyButton:
        return TextId::CopyHint;
    case ModeButton:
        return TextId::ModeButtonHint;
    default:
        if (Index < 0 || Index >= static_cast<int>(cmdColor.size())) {
            return std::nullopt;
        }
        return PictureHint(cmdColor[static_cast<std::size_t>(Index)]->Picture());
    }
}

void frmColor::cmdColor_MouseMove(int Index) {
    guarded([this, Index] {
        if (const std::optional<TextId> hint = ToolbarHint(Index)) {
            lblExplain->setCaption(LoadResString(*hint));
        }
    });
}

void frmColor::cmdOK_MouseMove() {
    guarded([this] {
        lblExplain->setCaption(LoadResString(m.PanelSaving ? TextId::SaveActionHint : TextId::LoadActionHint));
    });
}

void frmColor::cmdCancel_MouseMove() {
    guarded(
        [this] { lblExplain->setCaption(LoadResString(m.PanelSaving ? TextId::SaveBackHint : TextId::LoadBackHint)); });
}

void frmColor::FilPallete_MouseMove() {
    guarded(
        [this] { lblExplain->setCaption(LoadResString(m.PanelSaving ? TextId::SaveListHint : TextId::LoadListHint)); });
}

void frmColor::txtPallete_MouseMove() {
    guarded([this] {
        // The name box shows only when saving.
        if (m.PanelSaving) {
            lblExplain->setCaption(LoadResString(TextId::NameBoxHint));
        }
    });
}

void frmColor::optColor_MouseMove(int Index) {
    guarded([this, Index] {
        if (Index == BackgroundOption) {
            lblExplain->setCaption(LoadResString(TextId::BackgroundOptionHint));
        } else if (Index == TextOption) {
            lblExplain->setCaption(LoadResString(TextId::TextOptionHint));
        }
    });
}

void frmColor::txtColor_MouseMove() {
    guarded([this] { lblExplain->setCaption(LoadResString(TextId::PreviewHint)); });
}

void frmColor::lblHex_MouseMove() {
    guarded([this] { lblExplain->setCaption(LoadResString(TextId::CodeHint)); });
}

void frmColor::lblExplain_MouseMove() {
    guarded([this] { lblExplain->setCaption(LoadResString(TextId::HintLineHint)); });
}

void frmColor::lblPallete_MouseMove(int Index) {
    Q_UNUSED(Index); // every swatch says the same
    guarded([this] {
        lblExplain->setCaption(LoadResString(m.ShowingBasicPalette ? TextId::BasicSwatchHint : TextId::MySwatchHint));
    });
}

void frmColor::lblPallete_GotFocus(int Index) {
    Q_UNUSED(Index); // every swatch says the same
    guarded([this] {
        lblExplain->setCaption(
            LoadResString(m.ShowingBasicPalette ? TextId::BasicSwatchKeysHint : TextId::MySwatchKeysHint));
    });
}

void frmColor::Label1_MouseMove(int Index) {
    if (Index >= 0 && Index < static_cast<int>(SliderHints.size())) {
        lblExplain->setCaption(LoadResString(SliderHints[static_cast<std::size_t>(Index)]));
    }
}

void frmColor::Form_MouseMove() {
    // While the file panel is open the last hint stays.
    if (!m.FilePanelOpen) {
        lblExplain->setCaption(SliderReadout());
    }
}
