// The colour being edited: the sliders, the two colour modes, background or text colour, and
// the display of the slider colour.

#include "app/frmColor.h"
#include "color/ColorCode.h"
#include "resources/StringTable.h"

void Module1::UpdateColorDisplay() {
    HexR = HexDigits(frm.VScrColor[0]->Value());
    HexG = HexDigits(frm.VScrColor[1]->Value());
    HexB = HexDigits(frm.VScrColor[2]->Value());
    const QString code = ColorCode(HexR, HexG, HexB, CopyMode);
    if (!code.isNull()) {
        frm.lblHex->setCaption(code);
    }
    const std::int32_t packed = (HexB + HexG + HexR).toInt(nullptr, 16);
    if (EditingBackground) {
        frm.txtColor->setBackColor(packed);
    } else {
        frm.txtColor->setForeColor(packed);
    }
    frm.lblExplain->setCaption(frm.SliderReadout());
}

QString frmColor::SliderReadout() const {
    return QStringLiteral("(R%1－G%2－B%3)")
        .arg(VScrColor[0]->Value())
        .arg(VScrColor[1]->Value())
        .arg(VScrColor[2]->Value());
}

void frmColor::VScrColor_Change(int Index) {
    guarded([this, Index] {
        ColorSlider* slider = VScrColor.at(static_cast<std::size_t>(Index));
        if (m.ColorMode == 1) {
            // Moving onto a level raises this handler again, nested; it finds the level in place.
            slider->setValue(SnapTo216(slider->Value()));
        }
        auto& edited = m.EditingBackground ? m.BackgroundRGB : m.TextRGB;
        edited[static_cast<std::size_t>(Index)] = slider->Value();
        m.UpdateColorDisplay();
    });
}

void frmColor::EnterFullColorMode() {
    m.ColorMode = 0;
    mnu_Color_full->setChecked(true);
    mnu_Color_216->setChecked(false);
    for (ColorSlider* slider : VScrColor) {
        slider->setMax(0);
        slider->setMin(255);
        slider->setLargeChange(16);
        slider->setSmallChange(1);
    }
    VScrColor[1]->setFocus();
    VScrColor[0]->setFocus();
    setCaption(LoadResString(106));
    cmdColor[3]->setText(LoadResString(128));
}

void frmColor::Enter216ColorMode() {
    m.ColorMode = 1;
    mnu_Color_216->setChecked(true);
    mnu_Color_full->setChecked(false);
    for (ColorSlider* slider : VScrColor) {
        slider->setMax(0);
        slider->setMin(255);
        slider->setLargeChange(51);
        slider->setSmallChange(51);
        slider->setValue(SnapTo216(slider->Value()));
    }
    setCaption(LoadResString(107));
    VScrColor[1]->setFocus();
    VScrColor[0]->setFocus();
    cmdColor[3]->setText(LoadResString(129));
}

void frmColor::mnu_Color_full_Click() {
    guarded([this] { EnterFullColorMode(); });
}

void frmColor::mnu_Color_216_Click() {
    guarded([this] { Enter216ColorMode(); });
}

void frmColor::optColor_Click(int Index) {
    guarded([this, Index] {
        if (Index == 0) {
            m.EditingBackground = true;
            for (std::size_t i = 0; i < 3; ++i) {
                VScrColor[i]->setValue(m.BackgroundRGB[i]);
            }
        } else if (Index == 1) {
            m.EditingBackground = false;
            for (std::size_t i = 0; i < 3; ++i) {
                VScrColor[i]->setValue(m.TextRGB[i]);
            }
        }
    });
}
