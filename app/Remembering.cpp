// The state kept from one run to the next when the user asks for it (基本設定 → 終了時の状態を
// 記憶する): its file is looked for once at start and read when it is there, written when the
// program ends and after each change to My palette, and removed when the user turns it off.

#include "app/frmColor.h"
#include "palette/PaletteFile.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Noun = QStringLiteral("記憶した状態のファイル");
// The file holds a few hundred bytes: a much larger one is none of this program's.
constexpr qint64 MaxBytes = 16 * 1024;
// The line names at most this many of the values left out.
constexpr qsizetype NamedAtMost = 8;

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A message of the file functions on one line.
QString oneLine(QString text) {
    return text.remove(QLatin1Char('\n'));
}

// Where a file that could not be read whole is kept when it is written over.
QString damagedCopyOf(const QString& path) {
    return path + QStringLiteral(".damaged");
}

} // namespace

std::optional<RememberedState> frmColor::ReadRememberedFile() {
    const QString path = os.settingsFile();
    // With remembering off this one look is all that start-up costs. Whatever lies there, a
    // dangling link too, turns remembering on.
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    mnu_Option_Remember->setChecked(true);
    RememberedState kept;
    QByteArray bytes;
    try {
        // Only a regular file, opened without blocking: a pipe or a device there holds nothing up.
        bytes = PaletteFile::readWhole(path, Noun, MaxBytes);
    } catch (const AppError& error) {
        m_rememberedDamaged = true;
        os.sayOnStandardError(oneLine(error.message()) + QStringLiteral("記憶した状態を使わずに起動しました。"));
        return kept;
    }
    QStringList ignored = ::ReadRememberedState(bytes, kept);
    if (ignored.isEmpty()) {
        m_remembered = bytes;
        return kept;
    }
    m_rememberedDamaged = true;
    if (ignored.size() > NamedAtMost) {
        const qsizetype more = ignored.size() - NamedAtMost;
        ignored.resize(NamedAtMost);
        ignored << QStringLiteral("ほか %1 件").arg(more);
    }
    os.sayOnStandardError(QStringLiteral("%1「%2」の次の値を無視し、はじめの状態のままにしました: %3")
                              .arg(Noun, shown(path), ignored.join(QStringLiteral("、"))));
    return kept;
}

void frmColor::PlaceAsRemembered(const RememberedState& kept) {
    if (!kept.position) {
        return;
    }
    // The window's size before it is first shown: its layout fixes it.
    layout()->activate();
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens << screen->geometry();
    }
    // Where no screen shows it any more (a screen unplugged), the window manager places it.
    if (LiesOnScreens(QRect(*kept.position, size()), screens)) {
        move(*kept.position);
    }
}

void frmColor::RestoreRememberedState(const RememberedState& kept) {
    guarded([this, &kept] {
        // Both colours go in through the sliders, the text colour first: choosing an option
        // button loads its colour into them.
        const auto restore = [this](ColourOption option, const std::optional<RememberedState::Colour>& colour) {
            optColor[option]->setChecked(true);
            if (colour) {
                m.SetEditedColour((*colour)[0], (*colour)[1], (*colour)[2]);
            }
        };
        restore(TextOption, kept.text);
        restore(BackgroundOption, kept.background);
        if (kept.editingBackground == false) {
            optColor[TextOption]->setChecked(true);
        }
        if (kept.mode == ColorGamut::Web216) {
            Enter216ColorMode();
        }
        if (kept.copyFormat) {
            m.CopyMode = *kept.copyFormat;
            m.ApplyCopyMode();
        }
        for (int i = 0; i < PaletteTable::Entries; ++i) {
            if (const auto& colour = kept.myPalette[static_cast<std::size_t>(i)]) {
                m.MyPalette.setEntry(i, (*colour)[0], (*colour)[1], (*colour)[2]);
            }
        }
        m.PaletteView = m.MyPalette;
        SwitchPalette(kept.basicPaletteShown == true ? BasicPaletteItem : MyPaletteItem);
        if (kept.onTop == true && os.canKeepOnTop()) {
            m.ToggleTopmost();
        }
        if (kept.showingContrast == true) {
            mnu_Color_Contrast_Click();
        }
        if (kept.vision) {
            m.Vision = *kept.vision;
            m.ApplyVision();
        }
        // The code in the copy format restored, the sample and the hint line, as for any change.
        m.UpdateColorDisplay();
    });
}

RememberedState frmColor::StateToRemember() const {
    RememberedState state;
    state.background = m.BackgroundRGB;
    state.text = m.TextRGB;
    state.editingBackground = m.EditingBackground;
    state.mode = m.ColorMode;
    state.copyFormat = m.CopyMode;
    state.onTop = m.IsTopmost;
    state.basicPaletteShown = m.ShowingBasicPalette;
    // My palette as committed: a palette file the open panel previews is not yet the user's.
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        state.myPalette[static_cast<std::size_t>(i)] =
            RememberedState::Colour{m.MyPalette.at(i, 0), m.MyPalette.at(i, 1), m.MyPalette.at(i, 2)};
    }
    state.showingContrast = m.ShowingContrast;
    state.vision = m.Vision;
    state.position = pos();
    return state;
}

void frmColor::ReplaceRememberedFile(const QByteArray& bytes) {
    const QString path = os.settingsFile();
    const QByteArray native = QFile::encodeName(path);
    if (m_rememberedDamaged) {
        // Values left out at start may be the user's colours: the file as it was is kept aside
        // before it is first written over (replacing an older copy). A pipe, a device or a folder
        // there is left alone, and the write below refuses it.
        struct stat info {};
        if (::lstat(native.constData(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) &&
            ::rename(native.constData(), QFile::encodeName(damagedCopyOf(path)).constData()) != 0) {
            const int error = errno;
            throw AppError(QStringLiteral("%1「%2」を保存できません。\n読み込めなかった元のファイルを「%3」として"
                                          "残せませんでした。\n（%4）")
                               .arg(Noun, shown(path), shown(damagedCopyOf(path)), qt_error_string(error)));
        }
        m_rememberedDamaged = false;
    }
    // The configuration folder of an installed program is made by the first write.
    if (const QString folder = QFileInfo(path).absolutePath(); !QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        throw AppError(QStringLiteral("%1「%2」を保存できません。\n保存先のフォルダー「%3」を作れませんでした。")
                           .arg(Noun, shown(path), shown(folder)));
    }
    PaletteFile::replaceWhole(path, bytes, Noun);
    m_remembered = bytes;
}

void frmColor::RememberState() {
    if (!mnu_Option_Remember->Checked()) {
        return;
    }
    if (const QByteArray bytes = WriteRememberedState(StateToRemember()); bytes != m_remembered) {
        ReplaceRememberedFile(bytes);
    }
}

void frmColor::RememberStateAtEnd() {
    if (!mnu_Option_Remember->Checked()) {
        return;
    }
    const QByteArray bytes = WriteRememberedState(StateToRemember());
    if (bytes == m_remembered) {
        return;
    }
    try {
        ReplaceRememberedFile(bytes);
    } catch (const AppError& error) {
        // The program is ending: no message box holds that up. The next path that ends it
        // does not try again with the same state.
        m_remembered = bytes;
        os.sayOnStandardError(oneLine(error.message()));
    }
}

void frmColor::mnu_Option_Remember_Click() {
    guarded([this] {
        if (!mnu_Option_Remember->Checked()) {
            // Written at once: the state then outlasts even a program that is killed.
            ReplaceRememberedFile(WriteRememberedState(StateToRemember()));
            mnu_Option_Remember->setChecked(true);
            return;
        }
        // The colours kept are the user's to delete: turned off, the file goes.
        const QString path = os.settingsFile();
        if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
            const int error = errno;
            throw AppError(QStringLiteral("%1「%2」を削除できませんでした。\n（%3）")
                               .arg(Noun, shown(path), qt_error_string(error)));
        }
        mnu_Option_Remember->setChecked(false);
        m_remembered.clear();
        m_rememberedDamaged = false;
    });
}
