// Help with the pair of colours: the edited colour changed to the nearest one with enough
// contrast, and the sample text drawn as a person with another colour vision sees it.

#include "app/frmColor.h"
#include "color/Contrast.h"
#include "color/ContrastFix.h"

namespace {

// The visions' short names in the hint line, in the order of ColourVisions.
constexpr std::array<const char*, 5> VisionNames{"", "1型", "2型", "3型", "1色覚"};

Rgb rgbOf(const std::array<std::int32_t, 3>& c) {
    return Rgb{c[0], c[1], c[2]};
}

QString htmlCode(Rgb c) {
    return QStringLiteral("#%1%2%3")
        .arg(c.r, 2, 16, QLatin1Char('0'))
        .arg(c.g, 2, 16, QLatin1Char('0'))
        .arg(c.b, 2, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace

void frmColor::mnu_Color_Fix_Click() {
    guarded([this] {
        const Rgb edited = rgbOf(m.EditingBackground ? m.BackgroundRGB : m.TextRGB);
        const Rgb other = rgbOf(m.EditingBackground ? m.TextRGB : m.BackgroundRGB);
        const ContrastFix fix = FixContrast(edited, other, m.ColorMode == ColorGamut::Web216);
        switch (fix.outcome) {
        case ContrastFix::Outcome::Changed:
            // Through the sliders, as a paste.
            m.SetEditedColour(fix.colour.r, fix.colour.g, fix.colour.b);
            break;
        case ContrastFix::Outcome::AlreadyAaa:
            lblExplain->setCaption(QStringLiteral("すでにAAA（7:1以上）を満たしています"));
            break;
        case ContrastFix::Outcome::Unreachable: {
            const QString editedName = m.EditingBackground ? QStringLiteral("背景色") : QStringLiteral("文字色");
            const QString otherName = m.EditingBackground ? QStringLiteral("文字色") : QStringLiteral("背景色");
            const bool black = fix.colour == Rgb{0, 0, 0};
            throw AppError(QStringLiteral("%1をどの色にしても、%2 %3 とのコントラスト比は %4:1（%5）に届きません。\n"
                                          "届く最大の比は %6 で、そのときの%1は%7（%8）です。")
                               .arg(editedName, otherName, htmlCode(other), QString::number(fix.targetTenths / 10.0),
                                    ContrastGrade(fix.targetTenths), ContrastReadout(fix.colour, other),
                                    black ? QStringLiteral("黒") : QStringLiteral("白"), htmlCode(fix.colour)));
        }
        }
    });
}

void frmColor::mnu_Vision_Click(int Index) {
    guarded([this, Index] {
        m.Vision = ColourVisions.at(static_cast<std::size_t>(Index));
        m.ApplyVision();
    });
}

void Module1::ApplyVision() {
    for (std::size_t i = 0; i < ColourVisions.size(); ++i) {
        frm.mnu_Vision[i]->setChecked(ColourVisions[i] == Vision);
    }
    frm.txtColor->setBackColor(SampleColour(BackgroundRGB[0], BackgroundRGB[1], BackgroundRGB[2]));
    frm.txtColor->setForeColor(SampleColour(TextRGB[0], TextRGB[1], TextRGB[2]));
    frm.lblExplain->setCaption(frm.SliderReadout());
}

std::int32_t Module1::SampleColour(int r, int g, int b) const {
    if (Vision == ColourVision::None) {
        return PackedColor(r, g, b);
    }
    const Rgb seen = SimulatedColour(Rgb{r, g, b}, Vision);
    return PackedColor(seen.r, seen.g, seen.b);
}

QString Module1::VisionReadout() const {
    const auto at =
        static_cast<std::size_t>(std::find(ColourVisions.begin(), ColourVisions.end(), Vision) - ColourVisions.begin());
    const Rgb text = SimulatedColour(rgbOf(TextRGB), Vision);
    const Rgb background = SimulatedColour(rgbOf(BackgroundRGB), Vision);
    return QStringLiteral("（%1 %2）").arg(QString::fromUtf8(VisionNames.at(at)), ContrastReadout(text, background));
}
