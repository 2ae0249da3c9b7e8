#pragma once

#include "platform/Platform.h"
#include "platform/SingleInstance.h"

#include <QPointer>
#include <memory>
#include <optional>

class HelpWindow;

namespace platform {
class ScreenPicker;
class X11ClipboardReader;
} // namespace platform

namespace platform {

// Where the install rules put the program's read-only files, the help file and the install
// marker, seen from the folder of the installed executable ("../share/swatchly").
extern const QString InstalledFilesFromProgram;
// Among those files: the mark of an installed program, which keeps palettes in each user's data
// folder and never writes into its own folders. A build folder, or a folder the program was
// copied into, has none there.
inline const QString InstallMarker = QStringLiteral("swatchly.installed");

// The resource folder of a program in `programFolder`: that folder itself, or, when the install
// marker lies in the folder of installed files, that folder.
QString resourceFolderFor(const QString& programFolder);
// The palette folder of a program in `programFolder`: that folder itself, or, when the install
// marker lies in the folder of installed files, the user's data folder for the application
// (QStandardPaths::AppDataLocation).
QString paletteFolderFor(const QString& programFolder);
// The settings file of a program in `programFolder`: "swatchly.ini" in that folder, or, when the
// install marker lies in the folder of installed files, "swatchly.conf" in the user's
// configuration folder for the application (QStandardPaths::AppConfigLocation).
QString settingsFileFor(const QString& programFolder);

// The desktop as Qt shows it, on X11 and Wayland alike.
class QtPlatform final : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    int messageBox(QWidget* owner, const QString& text, int style, const QString& title = {}) override;
    void openHelp(QWidget* owner, const QString& helpFile) override;
    void quitHelp(QWidget* owner, const QString& helpFile) override;
    void setAlwaysOnTop(QWidget* window, bool on) override;
    bool canKeepOnTop() const override;
    void beginWindowDrag(QWidget* window, QPoint pressedAt) override;
    void clearClipboard() override;
    void setClipboardText(const QString& text) override;
    void readClipboardText(ClipboardTextDone done) override;
    void cancelClipboardRead() override;
    bool canPickScreenColor() const override;
    void pickScreenColor(QWidget* window, ScreenPickDone done) override;
    QString chooseSaveFile(QWidget* owner, const QString& title, const QString& filter, const QString& suggestedName,
                           const QString& suffix) override;
    QString chooseOpenFile(QWidget* owner, const QString& title, const QString& filter) override;
    bool previousInstanceRunning() override;
    void bringForwardOnLaterStarts(QWidget* window) override;
    void closeOnTerminationSignals(QWidget* window) override;
    QString programFolder() const override;
    QString resourceFolder() const override;
    QString paletteFolder() const override;
    QString settingsFile() const override;
    void saveWhenSessionEnds(QObject* context, std::function<void()> save) override;
    void sayOnStandardError(const QString& line) override;

private:
    // Whether the program is installed, looked up once.
    bool installedProgram() const;

    QString m_executable;
    QString m_folder;
    std::unique_ptr<SingleInstance> m_instance; // made by the instance check, not for --help
    QPointer<HelpWindow> m_help;
    std::unique_ptr<ScreenPicker> m_picker;          // made by the first pick
    std::unique_ptr<X11ClipboardReader> m_clipboard; // made by the first paste on X11
    QString m_lastFolder;                            // where the file dialogs open
    mutable std::optional<bool> m_installed;
};

} // namespace platform
