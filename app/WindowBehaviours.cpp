// The window as a whole: dragging it, keeping it on top, help and the version box.

#include "app/frmColor.h"
#include "platform/Platform.h"

#include <QDir>

void Module1::BeginWindowDrag(QWidget* target) {
    Guarded(os, &frm, [this, target] { os.beginWindowDrag(target); });
}

void Module1::ToggleTopmost() {
    // The menu check is the state of record.
    frm.mnu_Window_Topmost->setChecked(!frm.mnu_Window_Topmost->Checked());
    if (frm.mnu_Window_Topmost->Checked()) {
        os.setAlwaysOnTop(&frm, true);
        frm.cmdColor[6]->setPicture(102);
        IsTopmost = true;
    } else {
        os.setAlwaysOnTop(&frm, false);
        frm.cmdColor[6]->setPicture(103);
        IsTopmost = false;
    }
}

QString Module1::HelpFilePath() const {
    return QDir(os.programFolder()).filePath(QStringLiteral("swatchly.hlp"));
}

void frmColor::Form_MouseDown(Qt::MouseButton Button) {
    guarded([this, Button] {
        if (Button == Qt::LeftButton) {
            m.BeginWindowDrag(this);
        }
    });
}

void frmColor::Label1_MouseDown(int Index, Qt::MouseButton Button) {
    Q_UNUSED(Index);
    Form_MouseDown(Button);
}

void frmColor::lblExplain_MouseDown(Qt::MouseButton Button) {
    Form_MouseDown(Button);
}

void frmColor::lblHex_MouseDown(Qt::MouseButton Button) {
    Form_MouseDown(Button);
}

void frmColor::mnu_Window_Topmost_Click() {
    guarded([this] { m.ToggleTopmost(); });
}

void frmColor::mnu_Help_Help_Click() {
    guarded([this] { os.openHelp(this, m.HelpFilePath()); });
}

void frmColor::mnu_ver_Click() {
    guarded([this] {
        os.messageBox(this,
                      QStringLiteral("Swatchly! バージョン1.0\r\n\r\n"
                                     "Swatchly 開発チーム作成 — Qt 6 を使用しています"),
                      platform::OkOnly);
    });
}
