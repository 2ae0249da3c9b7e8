// The palette file panel inside the window: listing, previewing, saving and loading My palette.

#include "app/frmColor.h"
#include "app/layout/Twips.h"
#include "palette/PaletteFile.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

namespace {

// A file of the folder the list shows.
QString inPaletteFolder(const FileListBox* list, const QString& fileName) {
    return QDir(list->Path()).filePath(fileName);
}

} // namespace

void Module1::ShowColourControls(bool on) {
    // The letters, sliders and option buttons give way to the panel; everything else that
    // could change a colour or the palette display is disabled, except the quit button.
    for (std::size_t i = 0; i < 3; ++i) {
        frm.Label1[i]->setVisible(on);
        frm.VScrColor[i]->setVisible(on);
    }
    for (Label* swatch : frm.lblPallete) {
        swatch->setEnabled(on);
    }
    for (QRadioButton* option : frm.optColor) {
        option->setVisible(on);
    }
    frm.txtColor->setEnabled(on);
    frm.lblHex->setEnabled(on);
    for (std::size_t i = 0; i < 7; ++i) {
        frm.cmdColor[i]->setEnabled(on);
    }
    frm.mnu_Color->setEnabled(on);
    frm.mnu_based->setEnabled(on);
    frm.mnu_option->setEnabled(on);
    // The shortcuts of the added items act without their menu: they go off with it. The
    // screen pick stays off where the desktop has none.
    frm.mnu_Color_Paste->setEnabled(on);
    frm.mnu_Color_Pick->setEnabled(on && os.canPickScreenColor());
    frm.mnu_Color_Contrast->setEnabled(on);
    frm.mnu_Gimp_Export->setEnabled(on);
    frm.mnu_Gimp_Import->setEnabled(on);
    frm.copyShortcut->setEnabled(on);
}

void Module1::OpenPaletteFilePanel() {
    ShowColourControls(false);
    // The folder as it is now, without what interrupted saves left behind.
    PaletteFile::removeLeftovers(frm.FilPallete->Path());
    frm.FilPallete->Refresh();
    frm.FilPallete->setVisible(true);
    frm.FilPallete->setEnabled(true);
    if (!frm.FilPallete->List(0).isEmpty()) {
        frm.FilPallete->setListIndex(0);
    }
    frm.cmdOK->setVisible(true);
    frm.cmdCancel->setVisible(true);
    if (PanelSaving) {
        frm.txtPallete->setVisible(true);
        twips::setTop(frm.cmdOK, twips::Top(frm.txtPallete) + twips::Height(frm.txtPallete));
    } else {
        // The place of the hidden name box.
        twips::setTop(frm.cmdOK, twips::Height(frm.FilPallete) + 20);
    }
    twips::setTop(frm.cmdCancel, twips::Top(frm.cmdOK) + twips::Height(frm.cmdOK));
    // The keyboard goes to the panel: typing names the file (replacing the proposed name), or
    // the arrows choose one. Hiding the sliders has left the focus on the next enabled control,
    // the quit button.
    if (PanelSaving) {
        frm.txtPallete->setFocus(Qt::OtherFocusReason);
        frm.txtPallete->selectAll();
    } else {
        frm.FilPallete->setFocus(Qt::OtherFocusReason);
    }
}

void Module1::ClosePaletteFilePanel() {
    ShowColourControls(true);
    frm.FilPallete->setVisible(false);
    frm.FilPallete->setEnabled(false);
    // Forget the selection, so that the next opening selects and previews the first file
    // again (selecting the entry that is already selected would raise nothing).
    frm.FilPallete->setListIndex(-1);
    frm.txtPallete->setVisible(false);
    frm.cmdOK->setVisible(false);
    frm.cmdOK->setEnabled(false);
    frm.cmdCancel->setVisible(false);
    frm.VScrColor[0]->setFocus(Qt::OtherFocusReason);
}

bool frmColor::panelKeyPress(Role role, const QKeyEvent& event) {
    // Only the panel's controls, and only plain keys: there is no window-wide default button.
    const bool inPanel = role == Role::NameBox || role == Role::FileList || role == Role::OK || role == Role::Cancel;
    if (!inPanel || !m.FilePanelOpen || (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return false;
    }
    switch (event.key()) {
    case Qt::Key_Escape:
        if (!event.isAutoRepeat()) {
            cmdCancel_Click();
        }
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // In the name box and the list Enter is the action button; on a button, that button.
        if (event.isAutoRepeat()) {
            return true;
        }
        if (role == Role::Cancel) {
            cmdCancel_Click();
        } else if (cmdOK->isEnabled()) {
            cmdOK_Click();
        }
        return true;
    default:
        return false;
    }
}

void frmColor::FilPallete_Click() {
    guarded([this] {
        cmdOK->setEnabled(true);
        const QString name = FilPallete->List(FilPallete->ListIndex());
        if (m.PanelSaving) {
            txtPallete->setText(name);
        }
        // A file that cannot be read leaves the preview as it was.
        m.PaletteView = PaletteFile::read(inPaletteFolder(FilPallete, name));
        m.PaintSwatches(m.PaletteView);
    });
}

void frmColor::txtPallete_Change() {
    guarded([this] { cmdOK->setEnabled(!txtPallete->text().isEmpty()); });
}

void frmColor::cmdCancel_Click() {
    guarded([this] {
        // My palette comes back before anything else, so the panel never closes on a preview.
        m.PaletteView = m.MyPalette;
        txtPallete->setText(QString());
        m.ClosePaletteFilePanel();
        m.FilePanelOpen = false;
        m.PaintSwatches(m.MyPalette);
    });
}

void frmColor::cmdOK_Click() {
    guarded([this] {
        if (!m.PanelSaving) {
            m.MyPalette = m.PaletteView;
            txtPallete->setText(QString());
            m.ClosePaletteFilePanel();
            m.FilePanelOpen = false;
            return;
        }

        const QString text = txtPallete->text();
        QString baseName;
        if (text.endsWith(PaletteFile::Extension, Qt::CaseSensitive)) {
            baseName = text.chopped(PaletteFile::Extension.size());
        } else if (text.isEmpty()) {
            os.messageBox(this, QStringLiteral("ファイル名を入力してください。"), platform::OkOnly);
            txtPallete->setFocus();
            return;
        } else {
            baseName = text;
        }
        if (const QString problem = PaletteFile::baseNameProblem(baseName); !problem.isEmpty()) {
            os.messageBox(this, problem + QStringLiteral("\n保存しませんでした。"), platform::OkOnly);
            txtPallete->setFocus();
            return;
        }

        const QString fileName = baseName + PaletteFile::Extension;
        const QString path = inPaletteFolder(FilPallete, fileName);
        // The palette folder of an installed program is made by its first save.
        if (const QString folder = FilPallete->Path(); !QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
            throw AppError(QStringLiteral("パレットファイル「%1」を保存できません。\n"
                                          "保存先のフォルダー「%2」を作れませんでした（%3）。")
                               .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(folder),
                                    QFileInfo::exists(folder) ? QStringLiteral("同じ名前のファイルがあります")
                                                              : QStringLiteral("書き込む権限がありません")));
        }
        auto confirmOverwrite = [&] {
            const int answer = os.messageBox(this, baseName + QStringLiteral("は存在します\r\n上書き保存しますか？"),
                                             platform::YesNo | platform::Question | platform::SecondButtonDefault,
                                             QStringLiteral("上書き確認"));
            return answer != platform::AnswerNo;
        };
        bool asked = false;
        for (int i = 0; i < FilPallete->ListCount(); ++i) {
            if (FilPallete->List(i) == fileName) {
                asked = true;
                if (!confirmOverwrite()) {
                    return;
                }
            }
        }
        // A file that another program created since the list was read is not overwritten
        // without the question either.
        // (A folder of that name is no file to overwrite: the save refuses it without asking.)
        if (!asked && QFileInfo(path).isFile() && !confirmOverwrite()) {
            return;
        }
        PaletteFile::write(path, m.MyPalette);
        FilPallete->Refresh();
    });
}
