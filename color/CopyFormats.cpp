// The copy formats of the colour code and the copy to the clipboard.

#include "app/frmColor.h"
#include "color/ColorCode.h"
#include "platform/Platform.h"

void Module1::ApplyCopyMode() {
    for (MenuItem* item : frm.mnu_Copymode) {
        item->setChecked(false);
    }
    frm.mnu_Copymode.at(static_cast<std::size_t>(CopyMode))->setChecked(true);
    frm.cmdColor[4]->setPicture(CopyModeIcon(CopyMode));
}

void frmColor::mnu_Copymode_Click(int Index) {
    guarded([this, Index] {
        // The label keeps the previous format until the colour next changes.
        m.CopyMode = Index;
        m.ApplyCopyMode();
    });
}

void frmColor::CopyColorCode() {
    // Exactly what the label shows; the label shows the ampersand of the &H form as it is.
    os.clearClipboard();
    os.setClipboardText(lblHex->Caption());
}
