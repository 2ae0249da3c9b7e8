// The palette file panel inside the window: listing, previewing, saving and loading My palette.

#include "app/frmColor.h"
#include "app/layout/Twips.h"
#include "palette/PaletteFile.h"
#include "platform/Platform.h"

#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QScopeGuard>

namespace {

// A file of the folder the list shows.
QString inPaletteFolder(const FileListBox* list, const QString& fileName) {
    return QDir(list->Path()).filePath(fileName);
}

} // namespace

void Module1::ShowColourControls(bool on) {
    // What gives way to the panel and what is disabled is declared where the controls and the
    // menus are made (app/layout/).
    for (QWidget* control : frm.hiddenByPanel) {
        control->setVisible(on);
    }
    for (QWidget* control : frm.disabledByPanel) {
        control->setEnabled(on);
    }
    for (QMenu* menu : frm.menusOffInPanel) {
        menu->setEnabled(on);
    }
    // The items' shortcuts act without their menu: they go off with the items.
    frm.actionsOffInPanel->setEnabled(on);
    if (on) {
        frm.OfferDesktopAbilities();
    }
}

void Module1::PlaceFilePanel() {
    // In twips, stacked at the window's top-left corner over the slider column: the list, the
    // name box 20 below it, the action button under the name box and the back button right
    // under the action button, both as wide as the name box. The action button sits right under
    // the name box while saving and in the hidden name box's place while loading; while the
    // panel is closed 20 below the name box.
    twips::setTop(frm.FilPallete, 10);
    twips::setLeft(frm.FilPallete, 10);
    twips::setTop(frm.txtPallete, twips::Height(frm.FilPallete) + 20);
    twips::setLeft(frm.txtPallete, 10);
    const int nameBoxTop = twips::Top(frm.txtPallete);
    const int underNameBox = nameBoxTop + twips::Height(frm.txtPallete);
    twips::setTop(frm.cmdOK, !FilePanelOpen ? underNameBox + 20 : PanelSaving ? underNameBox : nameBoxTop);
    twips::setTop(frm.cmdCancel, twips::Top(frm.cmdOK) + twips::Height(frm.cmdOK));
    for (CommandButton* button : {frm.cmdOK, frm.cmdCancel}) {
        twips::setLeft(button, 10);
        twips::setWidth(button, twips::Width(frm.txtPallete));
    }
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
    }
    PlaceFilePanel();
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
        const int row = FilPallete->ListIndex();
        const QString name = FilPallete->List(row);
        if (m.PanelSaving) {
            txtPallete->setText(name);
        }
        // Read by the name's bytes, which the list's text may show escaped. A file that cannot
        // be read leaves the preview as it was.
        m.PaletteView = PaletteFile::read(FilPallete->NativePath(row), inPaletteFolder(FilPallete, name));
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
            RememberState();
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
        // The list shows what the folder holds afterwards, also when the save reports a failure.
        const auto refresh = qScopeGuard([this] { FilPallete->Refresh(); });
        PaletteFile::write(path, m.MyPalette);
    });
}
