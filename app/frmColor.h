#pragma once

#include "app/RememberedState.h"
#include "app/layout/Controls.h"
#include "color/ColorSlider.h"
#include "color/Module1.h"
#include "resources/StringTable.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <array>
#include <optional>

class QActionGroup;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QTimer;

namespace platform {
class Platform;
}

// The program's one window. It owns every control under the names the rest of the program
// uses, the shared state in `m`, and the event handlers; the handlers are defined in the
// source file of the subsystem they belong to.
class frmColor final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmColor)

public:
    explicit frmColor(platform::Platform& platform, QWidget* parent = nullptr);
    ~frmColor() override;

    // --- Controls ----------------------------------------------------------------------------
    QWidget* const client; // the bare window area under the menu bar
    // The toolbar buttons, by their index in cmdColor.
    enum ToolbarButton {
        SaveButton,    // saves My palette (the file panel)
        LoadButton,    // loads My palette (the file panel)
        CopyButton,    // copies the colour code
        ModeButton,    // full colour or 216 colours
        FormatButton,  // steps to the next copy format
        PaletteButton, // My palette or the basic colours
        TopmostButton, // always on top or not
        QuitButton,
    };
    std::array<CommandButton*, 8> cmdColor{};
    CommandButton* cmdCancel = nullptr;
    CommandButton* cmdOK = nullptr;
    TextBox* txtPallete = nullptr;
    FileListBox* FilPallete = nullptr;
    // The option buttons, by their index in optColor: which colour the sliders edit.
    enum ColourOption { BackgroundOption, TextOption };
    std::array<OptionButton*, 2> optColor{};
    TextBox* txtColor = nullptr;
    std::array<ColorSlider*, 3> VScrColor{};
    std::array<Label*, 16> lblPallete{};
    Label* lblHex = nullptr;
    Label* lblExplain = nullptr;
    std::array<Label*, 3> Label1{};

    // --- Menu bar ----------------------------------------------------------------------------
    QMenu* mnu_Color = nullptr;
    MenuItem* mnu_Color_full = nullptr;
    MenuItem* mnu_Color_216 = nullptr;
    QMenu* mnu_option = nullptr;
    QMenu* mnu_Option_Window = nullptr;
    MenuItem* mnu_Window_Topmost = nullptr;
    QMenu* mnu_Option_Copy = nullptr;
    // The copy formats in the order of CopyFormats: the three above the separator, then the added
    // ones (rgb(), hsl(), 0x).
    std::array<MenuItem*, 6> mnu_Copymode{};
    QMenu* mnu_based = nullptr;
    // The palette menu's items, by their index in mnu_pallete: the palette the swatches show.
    enum PaletteItem { BasicPaletteItem, MyPaletteItem };
    std::array<MenuItem*, 2> mnu_pallete{};
    QMenu* mnu_Help = nullptr;
    MenuItem* mnu_Help_Help = nullptr;
    MenuItem* mnu_ver = nullptr;
    // Added after the items above, each behind a separator: colours brought in and judged,
    // GIMP palettes.
    MenuItem* mnu_Color_Paste = nullptr;    // カラー: a colour code from the clipboard, Ctrl+V
    MenuItem* mnu_Color_Pick = nullptr;     // カラー: a colour from the screen, Ctrl+E
    MenuItem* mnu_Color_Contrast = nullptr; // カラー: the contrast ratio in the hint line, Ctrl+K
    MenuItem* mnu_Color_Fix = nullptr;      // カラー: the edited colour changed to reach AA or AAA, Ctrl+J
    QMenu* mnu_Color_Vision = nullptr;      // カラー: the sample as seen with another colour vision
    // Its radio items, in the order of ColourVision: none, protan, deutan, tritan, achromat.
    std::array<MenuItem*, 5> mnu_Vision{};
    MenuItem* mnu_Gimp_Export = nullptr; // パレット: My palette to a GIMP palette
    MenuItem* mnu_Gimp_Import = nullptr; // パレット: a GIMP palette into My palette
    QAction* copyShortcut = nullptr;     // Ctrl+C: the copy button
    // 基本設定, after a separator: the state kept from one run to the next.
    MenuItem* mnu_Option_Remember = nullptr;

    // --- What the open file panel takes away (declared where the controls and menus are made)
    QList<QWidget*> hiddenByPanel;   // give way to the panel
    QList<QWidget*> disabledByPanel; // could change a colour or the palette shown
    QList<QMenu*> menusOffInPanel;
    // Every action of the menus and the window but those declared to stay (help). An action the
    // desktop cannot carry out is disabled on its own and stays so when the group comes back.
    QActionGroup* const actionsOffInPanel;

    // --- Shared state ------------------------------------------------------------------------
    Module1 m;

    // The caption of the window.
    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    // --- Load and unload (app/frmColor.cpp) ------------------------------------------------
    void Form_Load();
    void Form_Unload();

    // --- Colour editing (color/ColorEditing.cpp, color/CopyFormats.cpp) ---------------------
    void VScrColor_Change(int Index);
    void optColor_Click(int Index);
    void mnu_Color_full_Click();
    void mnu_Color_216_Click();
    void mnu_Copymode_Click(int Index);
    void CopyColorCode();

    // --- Colours brought in and judged (color/ColorIntake.cpp) ------------------------------
    void mnu_Color_Paste_Click();
    void mnu_Color_Pick_Click();
    void mnu_Color_Contrast_Click();
    void copyShortcut_Triggered();

    // --- Contrast fixer and colour-vision simulation (color/ColourAids.cpp) -----------------
    void mnu_Color_Fix_Click();
    void mnu_Vision_Click(int Index);

    // --- Palettes (palette/Swatches.cpp, palette/FilePanel.cpp) -----------------------------
    void mnu_pallete_Click(int Index);
    void lblPallete_MouseDown(int Index, Qt::MouseButton Button);
    // A key on the swatch with the keyboard focus: the arrows, Home and End move the focus over
    // the swatches; Space and Enter are the left click, Ctrl+Enter, Shift+F10 and the menu key
    // the right click. False for a key it leaves to others.
    bool lblPallete_KeyDown(int Index, const QKeyEvent& Event);
    // The swatch a key moves the focus to from swatch Index, in rows of 6, 6 and 4; Index itself
    // at an edge; none for a key that moves nothing.
    static std::optional<int> SwatchToward(int Index, int Key);
    void FilPallete_Click();
    void txtPallete_Change();
    void cmdCancel_Click();
    void cmdOK_Click();
    void mnu_Gimp_Export_Click(); // palette/GimpExchange.cpp
    void mnu_Gimp_Import_Click();

    // --- The state kept between runs (app/Remembering.cpp) ---------------------------------
    void mnu_Option_Remember_Click();
    // The state as it is now, as the file keeps it.
    RememberedState StateToRemember() const;
    // With remembering on, writes the state into its file: after each change to My palette.
    // Throws AppError naming the file when it cannot be written.
    void RememberState();

    // --- Toolbar (app/Toolbar.cpp) ---------------------------------------------------------
    void cmdColor_Click(int Index);

    // --- Window behaviours (app/WindowBehaviours.cpp) -------------------------------------
    // A left press on a drag surface; `Where` is the pointer's position on the screen.
    void Form_MouseDown(Qt::MouseButton Button, QPoint Where);
    void Label1_MouseDown(int Index, Qt::MouseButton Button, QPoint Where);
    void lblExplain_MouseDown(Qt::MouseButton Button, QPoint Where);
    void lblHex_MouseDown(Qt::MouseButton Button, QPoint Where);
    void mnu_Window_Topmost_Click();
    void mnu_Help_Help_Click();
    void mnu_ver_Click();

    // --- Hint line (app/HintLine.cpp) ------------------------------------------------------
    void cmdColor_MouseMove(int Index);
    void cmdOK_MouseMove();
    void cmdCancel_MouseMove();
    void FilPallete_MouseMove();
    void txtPallete_MouseMove();
    void optColor_MouseMove(int Index);
    void txtColor_MouseMove();
    void lblHex_MouseMove();
    void lblExplain_MouseMove();
    void lblPallete_MouseMove(int Index);
    void lblPallete_GotFocus(int Index); // from the keyboard: the keys, added to the hints
    void Label1_MouseMove(int Index);
    void Form_MouseMove();

    // Always on top and the screen pick only where the window system can do them, as it answers
    // now (app/layout/MenuBar.cpp).
    void OfferDesktopAbilities();

    // The decimal read-out of the three sliders: (R255－G128－B0).
    QString SliderReadout() const;

    // The hints of the red, green and blue sliders and their letters.
    static constexpr std::array<TextId, 3> SliderHints{TextId::RedHint, TextId::GreenHint, TextId::BlueHint};
    // What a toolbar button does, in the words of its hint: a picture button's follows the
    // state its picture shows. None for an index that names no button.
    std::optional<TextId> ToolbarHint(int Index) const; // app/HintLine.cpp

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Which control an event arrived at, for the mouse handlers.
    enum class Role { None, Button, OK, Cancel, FileList, NameBox, Option, Preview, Hex, Hint, Swatch, Letter, Slider };
    struct Target {
        Role role = Role::None;
        int index = 0;
    };

    void createControls();  // app/layout/ControlInventory.cpp
    void createMenuBar();   // app/layout/MenuBar.cpp
    void connectHandlers(); // app/frmColor.cpp
    void watch(QWidget* widget, Role role, int index = 0);
    void dispatchMouseMove(const Target& target);
    bool dispatchMousePress(const Target& target, const QMouseEvent& event);
    // A move while a window drag is armed (app/WindowBehaviours.cpp).
    void dragMove(const QMouseEvent& event);
    // Enter and Esc in the open file panel (palette/FilePanel.cpp); true when taken.
    bool panelKeyPress(Role role, const QKeyEvent& event);

    // The end of a paste (color/ColorIntake.cpp): the clipboard's text, or none when its owner
    // did not answer in time.
    void PasteEnded(const std::optional<QString>& text);
    // The swatches are one focus stop: the swatch Index takes it and the keyboard focus
    // (palette/Swatches.cpp).
    void MoveSwatchFocus(int Index);
    // The state kept from the last run, when its file is there (app/Remembering.cpp): the menu
    // check is set and the values read; each value that cannot be read is left out, and one line
    // on standard error says which. None, after a single look, when there is no file.
    std::optional<RememberedState> ReadRememberedFile();
    // Moves the window to the position kept, when that lies on the screens; before it is shown.
    void PlaceAsRemembered(const RememberedState& kept);
    // Restores the values kept through the window's own procedures, after the start state.
    void RestoreRememberedState(const RememberedState& kept);
    // The state written when the program ends, by any path, with remembering on. Nothing is
    // written when the file already holds it; a failure is one line on standard error.
    void RememberStateAtEnd();
    // Writes `bytes` into the file of the remembered state; keeps a damaged file aside first.
    void ReplaceRememberedFile(const QByteArray& bytes);

    void EnterFullColorMode(); // color/ColorEditing.cpp
    void Enter216ColorMode();
    // The window caption and the mode button's caption of the colour mode in force.
    void ShowColorMode();
    void ShowBasicPalette(); // palette/Swatches.cpp
    // Shows the palette of a palette menu item, with the menu checks, the file buttons and the
    // palette button's picture.
    void SwitchPalette(int Index); // palette/Swatches.cpp

    // Runs a handler body under the standard error handler.
    template <typename Body> void guarded(Body&& body);

    platform::Platform& os;
    QHash<const QObject*, Target> m_targets;
    bool m_unloaded = false;
    QByteArray m_remembered;          // what the file of the remembered state was last written with
    bool m_rememberedDamaged = false; // values were left out of it at start: kept aside before it is written
    // A left press on a drag surface arms a window move; the move starts only once the pointer
    // has travelled the platform's drag distance with the button held, so a click never starts one.
    bool m_dragArmed = false;
    QPoint m_dragFrom;
    // While a paste waits for the clipboard's text: when it gives up.
    QTimer* m_pasteDeadline = nullptr;
    // The swatch that is the swatches' focus stop.
    int m_swatchStop = 0;
};

#include "app/ErrorGuard.h"

template <typename Body> void frmColor::guarded(Body&& body) {
    Guarded(os, this, std::forward<Body>(body));
}
