#pragma once

#include "platform/Platform.h"
#include "platform/SingleInstance.h"

#include <QPointer>
#include <memory>

class HelpWindow;

namespace platform {

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
    void beginWindowDrag(QWidget* window) override;
    void clearClipboard() override;
    void setClipboardText(const QString& text) override;
    bool previousInstanceRunning() override;
    QString programFolder() const override;
    QString paletteFolder() const override;

private:
    QString m_executable;
    QString m_folder;
    SingleInstance m_instance;
    QPointer<HelpWindow> m_help;
};

} // namespace platform
