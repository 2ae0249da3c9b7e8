#include "app/frmColor.h"

#include "app/Appearance.h"
#include "app/layout/Twips.h"
#include "platform/Platform.h"
#include "resources/Icons.h"
#include "resources/StringTable.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>

frmColor::frmColor(platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent)
    , client(new QWidget(this))
    , actionsOffInPanel(new QActionGroup(this))
    , m(*this, platform)
    , os(platform) {
    setObjectName(QStringLiteral("frmColor"));
    setWindowIcon(ProgramIcon());
    // A fixed-size window: no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    client->setFixedSize(twips::toPixels(4605), twips::toPixels(3870));
    setCentralWidget(client);
    createControls();
    // The caption from the start: the window manager never sees another one.
    ShowColorMode();
    createMenuBar();
    // The window, its menu bar and menus look the same on every desktop.
    KeepOwnLook(this);
    // The client area keeps its size; the window is as large as menu bar and client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    connectHandlers();
}

frmColor::~frmColor() {
    if (m_pasteDeadline != nullptr) {
        os.cancelClipboardRead(); // nobody waits for the text any more
    }
}

void frmColor::connectHandlers() {
    for (int i = 0; i < 8; ++i) {
        connect(cmdColor[static_cast<std::size_t>(i)], &QPushButton::clicked, this, [this, i] { cmdColor_Click(i); });
        watch(cmdColor[static_cast<std::size_t>(i)], Role::Button, i);
    }
    for (int i = 0; i < 3; ++i) {
        ColorSlider* slider = VScrColor[static_cast<std::size_t>(i)];
        connect(slider, &ColorSlider::Change, this, [this, i] { VScrColor_Change(i); });
        watch(slider, Role::Slider, i);
        watch(Label1[static_cast<std::size_t>(i)], Role::Letter, i);
    }
    for (int i = 0; i < 2; ++i) {
        connect(optColor[static_cast<std::size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                optColor_Click(i);
            }
        });
        watch(optColor[static_cast<std::size_t>(i)], Role::Option, i);
    }
    for (int i = 0; i < 16; ++i) {
        watch(lblPallete[static_cast<std::size_t>(i)], Role::Swatch, i);
        connect(lblPallete[static_cast<std::size_t>(i)], &Label::ActionRequested, this,
                [this, i](Qt::MouseButton button) { lblPallete_MouseDown(i, button); });
    }
    connect(FilPallete, &FileListBox::Click, this, &frmColor::FilPallete_Click);
    connect(txtPallete, &QLineEdit::textChanged, this, &frmColor::txtPallete_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmColor::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmColor::cmdCancel_Click);
    watch(cmdOK, Role::OK);
    watch(cmdCancel, Role::Cancel);
    watch(FilPallete, Role::FileList);
    watch(FilPallete->viewport(), Role::FileList);
    watch(txtPallete, Role::NameBox);
    watch(txtColor, Role::Preview);
    watch(lblHex, Role::Hex);
    watch(lblExplain, Role::Hint);
    watch(client, Role::None);

    connect(mnu_Color_full, &MenuItem::Click, this, &frmColor::mnu_Color_full_Click);
    connect(mnu_Color_216, &MenuItem::Click, this, &frmColor::mnu_Color_216_Click);
    connect(mnu_Window_Topmost, &MenuItem::Click, this, &frmColor::mnu_Window_Topmost_Click);
    connect(mnu_Option_Remember, &MenuItem::Click, this, &frmColor::mnu_Option_Remember_Click);
    for (int i = 0; i < static_cast<int>(mnu_Copymode.size()); ++i) {
        connect(mnu_Copymode[static_cast<std::size_t>(i)], &MenuItem::Click, this,
                [this, i] { mnu_Copymode_Click(i); });
    }
    for (int i = 0; i < 2; ++i) {
        connect(mnu_pallete[static_cast<std::size_t>(i)], &MenuItem::Click, this, [this, i] { mnu_pallete_Click(i); });
    }
    connect(mnu_Help_Help, &MenuItem::Click, this, &frmColor::mnu_Help_Help_Click);
    connect(mnu_ver, &MenuItem::Click, this, &frmColor::mnu_ver_Click);
    connect(mnu_Color_Paste, &MenuItem::Click, this, &frmColor::mnu_Color_Paste_Click);
    connect(mnu_Color_Pick, &MenuItem::Click, this, &frmColor::mnu_Color_Pick_Click);
    connect(mnu_Color_Contrast, &MenuItem::Click, this, &frmColor::mnu_Color_Contrast_Click);
    connect(mnu_Color_Fix, &MenuItem::Click, this, &frmColor::mnu_Color_Fix_Click);
    for (int i = 0; i < static_cast<int>(mnu_Vision.size()); ++i) {
        connect(mnu_Vision[static_cast<std::size_t>(i)], &MenuItem::Click, this, [this, i] { mnu_Vision_Click(i); });
    }
    connect(mnu_Gimp_Export, &MenuItem::Click, this, &frmColor::mnu_Gimp_Export_Click);
    connect(mnu_Gimp_Import, &MenuItem::Click, this, &frmColor::mnu_Gimp_Import_Click);
    connect(copyShortcut, &QAction::triggered, this, &frmColor::copyShortcut_Triggered);
}

void frmColor::watch(QWidget* widget, Role role, int index) {
    // Hints follow the mouse without a held button, so every control with a hint tracks it.
    // A control's mouse events stop at the control: moves over it must not also reach the
    // bare window area, whose handler would overwrite the hint.
    widget->setMouseTracking(true);
    if (widget != client) {
        widget->setAttribute(Qt::WA_NoMousePropagation);
    }
    widget->installEventFilter(this);
    m_targets.insert(widget, Target{role, index});
}

bool frmColor::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease) {
        // Released before the pointer travelled: a click, and no window move.
        if (!static_cast<QMouseEvent*>(event)->buttons().testFlag(Qt::LeftButton)) {
            m_dragArmed = false;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (type == QEvent::ShortcutOverride && watched == txtColor &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) && !txtColor->hasSelectedText()) {
        // The preview keeps Ctrl+C for a selection of its text; with none it is the copy button.
        return true;
    }
    if (type == QEvent::ChildPolished) {
        // A context menu that Qt makes for a control (a text box's, a slider's) is one of the
        // window's menus: it looks like them.
        if (auto* menu = qobject_cast<QMenu*>(static_cast<QChildEvent*>(event)->child())) {
            KeepOwnLook(menu);
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::KeyPress &&
        type != QEvent::FocusIn) {
        return QMainWindow::eventFilter(watched, event);
    }
    const auto found = m_targets.constFind(watched);
    if (found == m_targets.constEnd()) {
        return QMainWindow::eventFilter(watched, event);
    }
    if (type == QEvent::FocusIn) {
        // Brought there by Tab, Shift+Tab or an arrow key, not by the window coming back.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (found->role == Role::Swatch &&
            (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::OtherFocusReason)) {
            lblPallete_GotFocus(found->index);
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (type == QEvent::KeyPress) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        return found->role == Role::Swatch ? lblPallete_KeyDown(found->index, key) : panelKeyPress(found->role, key);
    }
    if (type == QEvent::MouseMove) {
        if (m_dragArmed) {
            dragMove(*static_cast<QMouseEvent*>(event));
        }
        dispatchMouseMove(*found);
        return false;
    }
    // A disabled control takes no mouse-down.
    const auto* widget = static_cast<const QWidget*>(watched);
    if (!widget->isEnabled()) {
        return false;
    }
    return dispatchMousePress(*found, *static_cast<QMouseEvent*>(event));
}

void frmColor::dispatchMouseMove(const Target& target) {
    switch (target.role) {
    case Role::Button:
        cmdColor_MouseMove(target.index);
        break;
    case Role::OK:
        cmdOK_MouseMove();
        break;
    case Role::Cancel:
        cmdCancel_MouseMove();
        break;
    case Role::FileList:
        FilPallete_MouseMove();
        break;
    case Role::NameBox:
        txtPallete_MouseMove();
        break;
    case Role::Option:
        optColor_MouseMove(target.index);
        break;
    case Role::Preview:
        txtColor_MouseMove();
        break;
    case Role::Hex:
        lblHex_MouseMove();
        break;
    case Role::Hint:
        lblExplain_MouseMove();
        break;
    case Role::Swatch:
        lblPallete_MouseMove(target.index);
        break;
    case Role::Letter:
        Label1_MouseMove(target.index);
        break;
    case Role::Slider:
        break;
    case Role::None:
        Form_MouseMove();
        break;
    }
}

bool frmColor::dispatchMousePress(const Target& target, const QMouseEvent& event) {
    const Qt::MouseButton button = event.button();
    const QPoint where = event.globalPosition().toPoint();
    switch (target.role) {
    case Role::Swatch:
        lblPallete_MouseDown(target.index, button);
        return true;
    case Role::Letter:
        Label1_MouseDown(target.index, button, where);
        return true;
    case Role::Hex:
        lblHex_MouseDown(button, where);
        return true;
    case Role::Hint:
        lblExplain_MouseDown(button, where);
        return true;
    case Role::None:
        Form_MouseDown(button, where);
        return true;
    default:
        return false;
    }
}

void frmColor::Form_Load() {
    // The state kept from the last run, when the user asked for that: the window opens where it
    // was, and the rest is restored once the start state is in place.
    const std::optional<RememberedState> kept = ReadRememberedFile();
    guarded([this, &kept] {
        if (kept) {
            PlaceAsRemembered(*kept);
        }
        show();
        // The pictures of the state at start: My palette shown, the first copy format, a
        // normal window.
        cmdColor[SaveButton]->setPicture(PictureId::SavePalette);
        cmdColor[LoadButton]->setPicture(PictureId::LoadPalette);
        m.ApplyCopyMode(); // the copy-format button's picture, the first format's
        cmdColor[PaletteButton]->setPicture(PictureId::MyPalette);
        cmdColor[TopmostButton]->setPicture(PictureId::NotOnTop);
        cmdColor[QuitButton]->setPicture(PictureId::Quit);
        optColor[BackgroundOption]->setText(LoadResString(TextId::BackgroundOption));
        optColor[BackgroundOption]->setChecked(true);
        optColor[TextOption]->setText(LoadResString(TextId::TextOption));
        m.EditingBackground = true;
        m.BackgroundRGB = {255, 255, 255};
        m.TextRGB = {0, 0, 0};
        m.PaletteView.fill(255, 255, 255);
        m.MyPalette.fill(255, 255, 255);
        constexpr std::array<std::array<int, 3>, 16> basic{{
            {0, 0, 0},
            {0, 0, 128},
            {0, 0, 255},
            {0, 255, 0},
            {0, 255, 255},
            {0, 128, 0},
            {0, 128, 128},
            {128, 0, 0},
            {128, 0, 128},
            {128, 128, 0},
            {128, 128, 128},
            {192, 192, 192},
            {255, 0, 0},
            {255, 0, 255},
            {255, 255, 0},
            {255, 255, 255},
        }};
        for (int i = 0; i < 16; ++i) {
            const auto& c = basic[static_cast<std::size_t>(i)];
            m.BasicPalette.setEntry(i, c[0], c[1], c[2]);
        }
        txtColor->setText(QStringLiteral("Swatchly"));
        EnterFullColorMode();
        for (ColorSlider* slider : VScrColor) {
            slider->setValue(255);
        }
        // The hidden file panel, stacked at the window's top-left corner.
        FilPallete->setPattern(QStringLiteral("*.pdt"));
        FilPallete->setPath(os.paletteFolder());
        FilPallete->setVisible(false);
        txtPallete->setVisible(false);
        cmdOK->setEnabled(false);
        cmdOK->setVisible(false);
        cmdCancel->setText(LoadResString(TextId::Back));
        cmdCancel->setVisible(false);
        m.PlaceFilePanel();
    });
    if (kept) {
        RestoreRememberedState(*kept);
    }
    // A session that ends may end the program without closing the window.
    os.saveWhenSessionEnds(this, [this] { RememberStateAtEnd(); });
}

void frmColor::Form_Unload() {
    // Every way of ending the program closes the window and comes here.
    RememberStateAtEnd();
    // Done with the help file: a help window opened for this program closes with it.
    os.quitHelp(this, m.HelpFilePath());
}

void frmColor::closeEvent(QCloseEvent* event) {
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
}
