// The colour being edited: the sliders, the two colour modes, background or text colour, and
// the display of the slider colour.

#include "app/frmColor.h"
#include "color/ColorCode.h"
#include "color/Contrast.h"
#include "resources/StringTable.h"

void Module1::UpdateColorDisplay() {
    // Runs on every slider change: the digit texts are rewritten in place, and only the two
    // captions are new texts.
    const int r = frm.VScrColor[0]->Value();
    const int g = frm.VScrColor[1]->Value();
    const int b = frm.VScrColor[2]->Value();
    WriteHexDigits(HexR, r);
    WriteHexDigits(HexG, g);
    WriteHexDigits(HexB, b);
    ShowColourCode();
    // The number HexB HexG HexR, or the colour as seen with another colour vision.
    const std::int32_t packed = SampleColour(r, g, b);
    if (EditingBackground) {
        frm.txtColor->setBackColor(packed);
    } else {
        frm.txtColor->setForeColor(packed);
    }
    frm.lblExplain->setCaption(frm.SliderReadout());
}

namespace {

void appendDecimal(QString& text, int value) {
    // Plain digits, no sign or padding; built without a temporary text.
    char digits[12];
    int n = 0;
    auto rest = static_cast<unsigned>(value); // a slider level, never negative
    do {
        digits[n++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    while (n > 0) {
        text.append(QLatin1Char(digits[--n]));
    }
}

} // namespace

QString frmColor::SliderReadout() const {
    // (R255－G128－B0); the separators are full-width hyphen-minus signs.
    static constexpr char16_t dash = u'\uFF0D';
    QString text;
    text.reserve(20);
    text.append(QLatin1String("(R"));
    appendDecimal(text, VScrColor[0]->Value());
    text.append(QChar(dash)).append(QLatin1Char('G'));
    appendDecimal(text, VScrColor[1]->Value());
    text.append(QChar(dash)).append(QLatin1Char('B'));
    appendDecimal(text, VScrColor[2]->Value());
    text.append(QLatin1Char(')'));
    if (m.ShowingContrast) {
        const auto rgb = [](const std::array<std::int32_t, 3>& c) { return Rgb{c[0], c[1], c[2]}; };
        text.append(QChar(u'\u3000')).append(ContrastReadout(rgb(m.TextRGB), rgb(m.BackgroundRGB)));
        if (m.Vision != ColourVision::None) {
            text.append(m.VisionReadout());
        }
    }
    return text;
}

void frmColor::VScrColor_Change(int Index) {
    guarded([this, Index] {
        ColorSlider* slider = VScrColor.at(static_cast<std::size_t>(Index));
        if (m.ColorMode == ColorGamut::Web216) {
            // Moving onto a level raises this handler again, nested; it finds the level in place.
            slider->setValue(SnapTo216(slider->Value()));
        }
        auto& edited = m.EditingBackground ? m.BackgroundRGB : m.TextRGB;
        edited[static_cast<std::size_t>(Index)] = slider->Value();
        m.UpdateColorDisplay();
    });
}

void frmColor::EnterFullColorMode() {
    m.ColorMode = ColorGamut::Full;
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
    ShowColorMode();
}

void frmColor::Enter216ColorMode() {
    m.ColorMode = ColorGamut::Web216;
    mnu_Color_216->setChecked(true);
    mnu_Color_full->setChecked(false);
    for (ColorSlider* slider : VScrColor) {
        slider->setMax(0);
        slider->setMin(255);
        slider->setLargeChange(51);
        slider->setSmallChange(51);
        slider->setValue(SnapTo216(slider->Value()));
    }
    ShowColorMode();
    VScrColor[1]->setFocus();
    VScrColor[0]->setFocus();
}

void frmColor::ShowColorMode() {
    const bool full = m.ColorMode == ColorGamut::Full;
    setCaption(LoadResString(full ? TextId::FullColorMode : TextId::Web216Mode));
    cmdColor[ModeButton]->setText(LoadResString(full ? TextId::FullColorButton : TextId::Web216Button));
}

void frmColor::mnu_Color_full_Click() {
    guarded([this] { EnterFullColorMode(); });
}

void frmColor::mnu_Color_216_Click() {
    guarded([this] { Enter216ColorMode(); });
}

void frmColor::optColor_Click(int Index) {
    guarded([this, Index] {
        if (Index == BackgroundOption) {
            m.EditingBackground = true;
            for (std::size_t i = 0; i < 3; ++i) {
                VScrColor[i]->setValue(m.BackgroundRGB[i]);
            }
        } else if (Index == TextOption) {
            m.EditingBackground = false;
            for (std::size_t i = 0; i < 3; ++i) {
                VScrColor[i]->setValue(m.TextRGB[i]);
            }
        }
    });
}
