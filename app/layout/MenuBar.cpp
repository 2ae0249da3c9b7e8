// The menu bar: four menus, their items, check marks at creation, the shortcuts, and which of
// them the open file panel takes away.

#include "app/Appearance.h"
#include "app/frmColor.h"
#include "platform/Platform.h"

#include <QActionGroup>
#include <QFont>
#include <QMenuBar>

void frmColor::createMenuBar() {
    QMenuBar* bar = menuBar();
    // While the file panel is open, a menu of the bar and every item are off unless made to stay.
    enum class InPanel { Off, Stays };
    auto menu = [this, bar](const QString& caption, InPanel inPanel = InPanel::Off) {
        QMenu* made = bar->addMenu(caption);
        if (inPanel == InPanel::Off) {
            menusOffInPanel.append(made);
        }
        return made;
    };
    auto item = [this](QMenu* parent, const QString& caption, bool checked, InPanel inPanel = InPanel::Off) {
        auto* action = new MenuItem(caption, this);
        action->setChecked(checked);
        parent->addAction(action);
        if (inPanel == InPanel::Off) {
            actionsOffInPanel->addAction(action);
        }
        return action;
    };
    actionsOffInPanel->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);

    mnu_Color = menu(QStringLiteral("カラー（&C）"));
    mnu_Color_full = item(mnu_Color, QStringLiteral("フルカラー（1677万色）"), true);
    mnu_Color_216 = item(mnu_Color, QStringLiteral("216色"), false);
    mnu_Color->addSeparator();
    mnu_Color_Paste = item(mnu_Color, QStringLiteral("色コードを貼り付け(&V)"), false);
    mnu_Color_Paste->setCheckable(false);
    mnu_Color_Paste->setShortcutContext(Qt::WindowShortcut);
    mnu_Color_Paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    mnu_Color_Pick = item(mnu_Color, QStringLiteral("画面から色を取得(&E)"), false);
    mnu_Color_Pick->setCheckable(false);
    mnu_Color_Pick->setShortcutContext(Qt::WindowShortcut);
    mnu_Color_Pick->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnu_Color_Contrast = item(mnu_Color, QStringLiteral("コントラスト比を表示(&K)"), false);
    mnu_Color_Contrast->setShortcutContext(Qt::WindowShortcut);
    mnu_Color_Contrast->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    mnu_Color_Fix = item(mnu_Color, QStringLiteral("コントラストを満たす色に直す(&J)"), false);
    mnu_Color_Fix->setCheckable(false);
    mnu_Color_Fix->setShortcutContext(Qt::WindowShortcut);
    mnu_Color_Fix->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    // Radio items: a group of their own shows them as such. An action belongs to one group only,
    // so they stay out of the panel's: the submenu goes off with the colour menu that holds it,
    // and the items have no shortcuts.
    mnu_Color_Vision = mnu_Color->addMenu(QStringLiteral("色覚シミュレーション"));
    auto* visions = new QActionGroup(this);
    const std::array<const char*, 5> visionCaptions{"なし", "1型（P型）", "2型（D型）", "3型（T型）", "1色覚"};
    for (std::size_t i = 0; i < mnu_Vision.size(); ++i) {
        mnu_Vision[i] = new MenuItem(QString::fromUtf8(visionCaptions[i]), this);
        mnu_Vision[i]->setChecked(i == 0);
        mnu_Vision[i]->setActionGroup(visions);
        mnu_Color_Vision->addAction(mnu_Vision[i]);
    }

    mnu_option = menu(QStringLiteral("基本設定（&O）"));
    mnu_Option_Window = mnu_option->addMenu(QStringLiteral("ウィンドウの設定"));
    mnu_Window_Topmost = item(mnu_Option_Window, QStringLiteral("常に手前に表示"), false);
    mnu_Option_Copy = mnu_option->addMenu(QStringLiteral("コピー形式"));
    mnu_Copymode[0] = item(mnu_Option_Copy, QStringLiteral("何もなし（１６進数のみ）"), true);
    mnu_Copymode[1] = item(mnu_Option_Copy, QStringLiteral("ＨＴＭＬ用（#～）"), false);
    mnu_Copymode[2] = item(mnu_Option_Copy, QStringLiteral("ＶＢ用（&&H～）"), false);
    mnu_Option_Copy->addSeparator();
    mnu_Copymode[3] = item(mnu_Option_Copy, QStringLiteral("ＣＳＳ rgb()"), false);
    mnu_Copymode[4] = item(mnu_Option_Copy, QStringLiteral("ＣＳＳ hsl()"), false);
    mnu_Copymode[5] = item(mnu_Option_Copy, QStringLiteral("0x～"), false);
    mnu_option->addSeparator();
    // Checked at start only when the file of the remembered state is there (app/Remembering.cpp).
    mnu_Option_Remember = item(mnu_option, QStringLiteral("終了時の状態を記憶する(&M)"), false);

    mnu_based = menu(QStringLiteral("パレット（&P）"));
    mnu_pallete[BasicPaletteItem] = item(mnu_based, QStringLiteral("１６色パレット"), false);
    mnu_pallete[MyPaletteItem] = item(mnu_based, QStringLiteral("マイパレット"), true);
    mnu_based->addSeparator();
    mnu_Gimp_Export = item(mnu_based, QStringLiteral("GIMPパレットに書き出す(&X)…"), false);
    mnu_Gimp_Export->setCheckable(false);
    mnu_Gimp_Import = item(mnu_based, QStringLiteral("GIMPパレットから読み込む(&I)…"), false);
    mnu_Gimp_Import->setCheckable(false);

    // Help stays at hand in the file panel.
    mnu_Help = menu(QStringLiteral("ヘルプ（&H）"), InPanel::Stays);
    mnu_Help_Help = item(mnu_Help, QStringLiteral("ヘルプ（&H）"), false, InPanel::Stays);
    mnu_Help_Help->setCheckable(false);
    mnu_Help_Help->setShortcut(QKeySequence(Qt::Key_F1));
    mnu_Help_Help->setShortcutContext(Qt::WindowShortcut);
    mnu_ver = item(mnu_Help, QStringLiteral("バージョン"), false, InPanel::Stays);
    mnu_ver->setCheckable(false);

    // Ctrl+C anywhere in the window is the copy button; a text box with the focus keeps its own.
    copyShortcut = new QAction(this);
    copyShortcut->setShortcut(QKeySequence::Copy);
    addAction(copyShortcut);
    actionsOffInPanel->addAction(copyShortcut);

    // Four menus with full-width captions share a 307-pixel bar: all four stay on the bar
    // instead of behind an overflow button.
    FitMenuBar(bar, JapaneseFamily(), client->width());
    OfferDesktopAbilities();
    // The menus take the window's style, face and colours with the window, whatever the
    // desktop's (KeepOwnLook in frmColor's constructor), so every menu made here has them.
}

void frmColor::OfferDesktopAbilities() {
    // The button stays off whatever enables it; the items stay off when the file panel gives
    // the menus back, as each was set last.
    cmdColor[TopmostButton]->setAvailable(os.canKeepOnTop());
    mnu_Window_Topmost->setEnabled(os.canKeepOnTop());
    mnu_Color_Pick->setEnabled(os.canPickScreenColor());
}
