// The 16 swatches: My palette or the basic palette, picking and registering colours.

#include "app/ErrorGuard.h"
#include "app/frmColor.h"
#include "palette/PaletteTable.h"

#include <QStringList>

void Module1::ShowMyPalette() {
    ShowingBasicPalette = false;
    PaintSwatches(PaletteView);
}

void Module1::PaintSwatches(const PaletteTable& table) {
    // Every swatch shows its own entry, so that the swatches never keep colours of an earlier
    // palette; entries that are no colour get the mark and are reported together afterwards.
    // Working values only: HexR, HexG and HexB keep describing the slider colour.
    QStringList unshowable;
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        const std::int32_t colour = SwatchColor(table.at(i, 0), table.at(i, 1), table.at(i, 2));
        frm.lblPallete[static_cast<std::size_t>(i)]->setBackColor(colour);
        if (colour == UnshowableColor) {
            unshowable << QStringLiteral("%1 番目の色 (R%2, G%3, B%4)")
                              .arg(i + 1)
                              .arg(table.at(i, 0))
                              .arg(table.at(i, 1))
                              .arg(table.at(i, 2));
        }
    }
    if (!unshowable.isEmpty()) {
        throw AppError(QStringLiteral("パレットの次の色は表示できません（各成分は 0～255 でなければなりません）。\n"
                                      "%1\nこの色の枠には×印を表示しています。")
                           .arg(unshowable.join(QLatin1Char('\n'))));
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
