// My palette to and from GIMP's palette files, which GIMP, Inkscape and Krita read.

#include "app/frmColor.h"
#include "palette/GimpPalette.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Filter = QStringLiteral("GIMPパレット (*.gpl)");

} // namespace

void frmColor::mnu_Gimp_Export_Click() {
    guarded([this] {
        const QString path =
            os.chooseSaveFile(this, QStringLiteral("GIMPパレットに書き出す"), Filter,
                              QStringLiteral("マイパレット") + GimpPalette::Extension, GimpPalette::Extension.mid(1));
        if (path.isEmpty()) {
            return;
        }
        if (QFileInfo(path).isFile()) {
            const int answer = os.messageBox(
                this, QStringLiteral("「%1」は存在します。\n上書きしますか？").arg(QDir::toNativeSeparators(path)),
                platform::YesNo | platform::Question | platform::SecondButtonDefault, QStringLiteral("上書き確認"));
            if (answer != platform::AnswerYes) {
                return;
            }
        }
        GimpPalette::write(path, m.MyPalette);
    });
}

void frmColor::mnu_Gimp_Import_Click() {
    guarded([this] {
        const QString path = os.chooseOpenFile(this, QStringLiteral("GIMPパレットから読み込む"), Filter);
        if (path.isEmpty()) {
            return;
        }
        // Read whole and checked before anything changes.
        const PaletteTable table = GimpPalette::read(path);
        m.MyPalette = table;
        m.PaletteView = table;
        SwitchPalette(MyPaletteItem);
        RememberState();
    });
}
