#pragma once

#include <QPoint>
#include <QRgb>
#include <QString>
#include <functional>
#include <optional>

class QObject;
class QWidget;

namespace platform {

// Message box styles; they add up (YesNo | Question | SecondButtonDefault == 292).
enum MessageBoxStyle : int {
    OkOnly = 0,
    YesNo = 4,
    Question = 32,
    SecondButtonDefault = 256,
};

// Message box answers.
enum MessageBoxAnswer : int {
    AnswerOk = 1,
    AnswerYes = 6,
    AnswerNo = 7,
};

// Everything the program takes from the desktop it runs on. The real implementation is
// QtPlatform; the tests use a double that records calls and answers message boxes.
class Platform {
public:
    virtual ~Platform() = default;

    // Shows a modal message box and returns the answer. An empty title shows the program's name.
    virtual int messageBox(QWidget* owner, const QString& text, int style, const QString& title = {}) = 0;

    // Opens the contents of a help file for a window; a second call raises the same viewer.
    virtual void openHelp(QWidget* owner, const QString& helpFile) = 0;
    // Tells the help system the window is done with the help file: closes a viewer opened for it.
    virtual void quitHelp(QWidget* owner, const QString& helpFile) = 0;

    // Keeps a top-level window above all others, or stops doing so, without moving,
    // resizing, activating or re-creating it.
    virtual void setAlwaysOnTop(QWidget* window, bool on) = 0;
    // Whether the window system honours that at all (X11 does; Wayland has no such request).
    virtual bool canKeepOnTop() const = 0;

    // Hands the window to the window system's interactive move, as a press on its title bar at
    // `pressedAt` (a point on the screen): the window keeps its place under the pointer.
    virtual void beginWindowDrag(QWidget* window, QPoint pressedAt) = 0;

    virtual void clearClipboard() = 0;
    virtual void setClipboardText(const QString& text) = 0;
    // What a clipboard read ends with: the text on the clipboard, empty when it holds none.
    using ClipboardTextDone = std::function<void(const QString& text)>;
    // Reads the text on the clipboard without holding up the event loop while the program that
    // holds the clipboard answers: `done` runs once, when the text is there, possibly before
    // this returns. A call while a read is pending does nothing.
    virtual void readClipboardText(ClipboardTextDone done) = 0;
    // Gives up a pending read: its `done` never runs. Nothing happens without one.
    virtual void cancelClipboardRead() = 0;

    // What a screen pick ends with: the colour picked, or none when the user cancelled or the
    // pick failed; `failure` then says why, for the user, or is empty for a cancel.
    using ScreenPickDone = std::function<void(std::optional<QRgb> colour, const QString& failure)>;
    // Whether the desktop lets a program pick a colour from the screen: X11 does, a Wayland
    // desktop through its portal.
    virtual bool canPickScreenColor() const = 0;
    // Lets the user pick the colour of any pixel on the screen for `window`: a click takes it,
    // Esc or a right click cancels. Returns at once; `done` runs once, when the pick ends. A
    // call while a pick runs does nothing.
    virtual void pickScreenColor(QWidget* window, ScreenPickDone done) = 0;

    // The desktop's standard file dialogs; each returns the chosen path, or an empty string when
    // the user cancelled. `filter` is a name filter ("GIMPパレット (*.gpl)"); a saved name
    // without an ending gets `suffix`. Saving does not ask about a file that exists: the
    // caller does.
    virtual QString chooseSaveFile(QWidget* owner, const QString& title, const QString& filter,
                                   const QString& suggestedName, const QString& suffix) = 0;
    virtual QString chooseOpenFile(QWidget* owner, const QString& title, const QString& filter) = 0;

    // True when another instance of this program runs for this user and has been asked to
    // bring its window forward: this start then ends. Call before the application exists.
    virtual bool previousInstanceRunning() = 0;
    // From now on, each later start of the program brings `window` forward: restored if
    // minimised, raised and activated. Call once the window is loaded.
    virtual void bringForwardOnLaterStarts(QWidget* window) = 0;
    // From now on, SIGTERM and SIGINT close `window` as its close box does: the program then
    // ends as after a close, with status 0. Call once the window is loaded.
    virtual void closeOnTerminationSignals(QWidget* window) = 0;

    // The folder that holds the program's executable, without a trailing separator.
    virtual QString programFolder() const = 0;
    // The folder of the program's own read-only files (the help file), without a trailing
    // separator: the program folder, or for an installed program the folder the install rules
    // put them in (<prefix>/share/swatchly).
    virtual QString resourceFolder() const = 0;
    // The folder that palette files are listed from and saved into, without a trailing
    // separator: the program folder, or for an installed program the user's data folder for
    // Swatchly. It need not exist yet: the first save creates it.
    virtual QString paletteFolder() const = 0;
    // The file the window keeps its state in between runs when the user asks it to: by the same
    // rule as the palette folder, "swatchly.ini" in the program folder, or for an installed
    // program "swatchly.conf" in the user's configuration folder for Swatchly
    // (QStandardPaths::AppConfigLocation). Neither it nor its folder need exist.
    virtual QString settingsFile() const = 0;

    // From now on, `save` runs when the desktop session ends (the session manager asks the
    // program to keep its data) and when the application is about to quit, for as long as
    // `context` lives; it may run more than once.
    virtual void saveWhenSessionEnds(QObject* context, std::function<void()> save) = 0;

    // Writes one line on standard error, "swatchly: " before it.
    virtual void sayOnStandardError(const QString& line) = 0;
};

} // namespace platform
