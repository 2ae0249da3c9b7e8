// The copy formats of the colour code and the copy to the clipboard.

#include "app/frmColor.h"
#include "color/ColorCode.h"
#include "platform/Platform.h"

PictureId FormatPicture(CopyFormat format) {
    switch (format) {
    case CopyFormat::PlainHex:
        return PictureId::PlainHexFormat;
    case CopyFormat::Html:
        return PictureId::HtmlFormat;
    case CopyFormat::AmpH:
        return PictureId::AmpHFormat;
    case CopyFormat::CssRgb:
        return PictureId::CssRgbFormat;
    case CopyFormat::CssHsl:
        return PictureId::CssHslFormat;
    case CopyFormat::HexLiteral:
        return PictureId::ZeroXFormat;
    }
    return PictureId::None;
}

// One menu item for each format, in the same order.
static_assert(std::tuple_size_v<decltype(frmColor::mnu_Copymode)> == CopyFormats.size());

void Module1::ApplyCopyMode() {
    CommandButton* button = frm.cmdColor[frmColor::FormatButton];
    for (std::size_t i = 0; i < CopyFormats.size(); ++i) {
        frm.mnu_Copymode[i]->setChecked(CopyFormats[i] == CopyMode);
        if (CopyFormats[i] == CopyMode) {
            // For screen readers, the format in force in the words of its menu item.
            const QString caption = frm.mnu_Copymode[i]->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
            button->setAccessibleDescription(LoadResString(TextId::CopyFormatInForce).arg(caption));
        }
    }
    button->setPicture(FormatPicture(CopyMode));
}

void Module1::ShowColourCode() {
    frm.lblHex->setCaption(ColorCode(HexR, HexG, HexB, CopyMode));
    // The style-sheet functions are wider than the label (105 pixels): they go on two lines,
    // broken after the first number.
    frm.lblHex->setTwoLines(IsFunctionFormat(CopyMode));
}

void frmColor::mnu_Copymode_Click(int Index) {
    guarded([this, Index] {
        // The label keeps the previous format until the colour next changes.
        m.CopyMode = CopyFormats.at(static_cast<std::size_t>(Index));
        m.ApplyCopyMode();
    });
}

void frmColor::CopyColorCode() {
    // Exactly what the label shows; the label shows the ampersand of the &H form as it is.
    os.clearClipboard();
    os.setClipboardText(lblHex->Caption());
}
