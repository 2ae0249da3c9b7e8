// The window as a whole: dragging it, keeping it on top, help and the version box.

#include "app/frmColor.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>

void Module1::BeginWindowDrag(QWidget* target, QPoint pressedAt) {
    Guarded(os, &frm, [this, target, pressedAt] { os.beginWindowDrag(target, pressedAt); });
}

void Module1::ToggleTopmost() {
    // The menu check is the state of record.
    frm.mnu_Window_Topmost->setChecked(!frm.mnu_Window_Topmost->Checked());
    if (frm.mnu_Window_Topmost->Checked()) {
        os.setAlwaysOnTop(&frm, true);
        frm.cmdColor[frmColor::TopmostButton]->setPicture(PictureId::OnTop);
        IsTopmost = true;
    } else {
        os.setAlwaysOnTop(&frm, false);
        frm.cmdColor[frmColor::TopmostButton]->setPicture(PictureId::NotOnTop);
        IsTopmost = false;
    }
}

QString Module1::HelpFilePath() const {
    return QDir(os.resourceFolder()).filePath(QStringLiteral("swatchly.hlp"));
}

void frmColor::Form_MouseDown(Qt::MouseButton Button, QPoint Where) {
    guarded([this, Button, Where] {
        if (Button == Qt::LeftButton) {
            // The window manager's move starts only when the pointer travels (dragMove): a move
            // started on a press that is released at once would last until the next click.
            m_dragArmed = true;
            m_dragFrom = Where;
        }
    });
}

void frmColor::Label1_MouseDown(int Index, Qt::MouseButton Button, QPoint Where) {
    Q_UNUSED(Index);
    Form_MouseDown(Button, Where);
}

void frmColor::lblExplain_MouseDown(Qt::MouseButton Button, QPoint Where) {
    Form_MouseDown(Button, Where);
}

void frmColor::lblHex_MouseDown(Qt::MouseButton Button, QPoint Where) {
    Form_MouseDown(Button, Where);
}

void frmColor::dragMove(const QMouseEvent& event) {
    if (!event.buttons().testFlag(Qt::LeftButton)) {
        m_dragArmed = false; // the release went elsewhere
        return;
    }
    const QPoint travel = event.globalPosition().toPoint() - m_dragFrom;
    if (travel.manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    m_dragArmed = false;
    // From the press: the window catches up with the way the pointer has come.
    m.BeginWindowDrag(this, m_dragFrom);
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
