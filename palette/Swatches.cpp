// The 16 swatches: My palette or the basic palette, picking and registering colours with the
// mouse or the keyboard.

#include "app/ErrorGuard.h"
#include "app/frmColor.h"
#include "palette/PaletteTable.h"

#include <QKeyEvent>
#include <QString>
#include <QStringList>
#include <algorithm>

void Module1::ShowMyPalette() {
    ShowingBasicPalette = false;
    PaintSwatches(PaletteView);
}

void Module1::PaintSwatches(const PaletteTable& table) {
    // Every swatch shows its own entry, so that the swatches never keep colours of an earlier
    // palette. An entry that is no colour (only a foreign palette file holds one) gets the mark,
    // silently: a left click on it says why it cannot be picked. Working values only: HexR,
    // HexG and HexB keep describing the slider colour.
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        frm.lblPallete[static_cast<std::size_t>(i)]->setBackColor(
            SwatchColor(table.at(i, 0), table.at(i, 1), table.at(i, 2)));
    }
}

void frmColor::ShowBasicPalette() {
    mnu_pallete[BasicPaletteItem]->setChecked(true);
    mnu_pallete[MyPaletteItem]->setChecked(false);
    cmdColor[SaveButton]->setEnabled(false);
    cmdColor[LoadButton]->setEnabled(false);
    m.ShowingBasicPalette = true;
    m.PaintSwatches(m.BasicPalette);
}

void frmColor::SwitchPalette(int Index) {
    // The menu and the palette button go through the same steps.
    if (Index == BasicPaletteItem) {
        cmdColor[PaletteButton]->setPicture(PictureId::BasicPalette);
        ShowBasicPalette();
    } else if (Index == MyPaletteItem) {
        cmdColor[PaletteButton]->setPicture(PictureId::MyPalette);
        mnu_pallete[BasicPaletteItem]->setChecked(false);
        mnu_pallete[MyPaletteItem]->setChecked(true);
        cmdColor[SaveButton]->setEnabled(true);
        cmdColor[LoadButton]->setEnabled(true);
        m.ShowMyPalette();
    }
}

void frmColor::mnu_pallete_Click(int Index) {
    guarded([this, Index] { SwitchPalette(Index); });
}

void frmColor::lblPallete_MouseDown(int Index, Qt::MouseButton Button) {
    guarded([this, Index, Button] {
        if (Index < 0 || Index >= PaletteTable::Entries) {
            return;
        }
        if (Button == Qt::LeftButton) {
            const PaletteTable& source = m.ShowingBasicPalette ? m.BasicPalette : m.PaletteView;
            // A colour that the sliders cannot take (only a foreign palette file holds one)
            // is refused as a whole, before any slider moves.
            for (int c = 0; c < 3; ++c) {
                const std::int32_t value = source.at(Index, c);
                if (value < 0 || value > 255) {
                    static constexpr std::array<const char*, 3> names{"赤", "緑", "青"};
                    throw AppError(QStringLiteral("この色は選べません: %1 の値 %2 は 0～255 の範囲外です。")
                                       .arg(QString::fromUtf8(names[static_cast<std::size_t>(c)]))
                                       .arg(value));
                }
            }
            for (int c = 0; c < 3; ++c) {
                VScrColor[static_cast<std::size_t>(c)]->setValue(source.at(Index, c));
            }
            m.UpdateColorDisplay();
        } else if (Button == Qt::RightButton && !m.ShowingBasicPalette) {
            const int r = VScrColor[0]->Value();
            const int g = VScrColor[1]->Value();
            const int b = VScrColor[2]->Value();
            m.PaletteView.setEntry(Index, r, g, b);
            m.MyPalette.setEntry(Index, r, g, b);
            lblPallete[static_cast<std::size_t>(Index)]->setBackColor(
                SwatchColor(m.PaletteView.at(Index, 0), m.PaletteView.at(Index, 1), m.PaletteView.at(Index, 2)));
            RememberState();
        }
    });
}

std::optional<int> frmColor::SwatchToward(int Index, int Key) {
    // Rows of 6, 6 and 4 swatches, left-aligned; the focus stops at the edges.
    constexpr int perRow = 6;
    constexpr int last = PaletteTable::Entries - 1;
    const int column = Index % perRow;
    const int lastInRow = std::min(Index - column + perRow - 1, last);
    switch (Key) {
    case Qt::Key_Left:
        return column > 0 ? Index - 1 : Index;
    case Qt::Key_Right:
        return Index < lastInRow ? Index + 1 : Index;
    case Qt::Key_Up:
        return Index >= perRow ? Index - perRow : Index;
    case Qt::Key_Down:
        // From the fifth and sixth swatch of the second row to the last of the shorter third.
        return Index / perRow < last / perRow ? std::min(Index + perRow, last) : Index;
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return last;
    default:
        return std::nullopt;
    }
}

bool frmColor::lblPallete_KeyDown(int Index, const QKeyEvent& Event) {
    // A disabled swatch (the file panel is open) takes no key, as it takes no click.
    if (!lblPallete[static_cast<std::size_t>(Index)]->isEnabled()) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = Event.modifiers() & ~Qt::KeypadModifier;
    const int key = Event.key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (modifiers == Qt::NoModifier && (key == Qt::Key_Space || enter)) {
        lblPallete_MouseDown(Index, Qt::LeftButton);
        return true;
    }
    if ((modifiers == Qt::ControlModifier && enter) || (modifiers == Qt::ShiftModifier && key == Qt::Key_F10) ||
        (modifiers == Qt::NoModifier && key == Qt::Key_Menu)) {
        lblPallete_MouseDown(Index, Qt::RightButton);
        return true;
    }
    if (modifiers != Qt::NoModifier) {
        return false;
    }
    const std::optional<int> to = SwatchToward(Index, key);
    if (to && *to != Index) {
        MoveSwatchFocus(*to);
    }
    return to.has_value();
}

void frmColor::MoveSwatchFocus(int Index) {
    lblPallete[static_cast<std::size_t>(m_swatchStop)]->setFocusPolicy(Qt::NoFocus);
    m_swatchStop = Index;
    Label* swatch = lblPallete[static_cast<std::size_t>(Index)];
    swatch->setFocusPolicy(Qt::TabFocus);
    swatch->setFocus(Qt::OtherFocusReason);
}
