#pragma once

#include "platform/Platform.h"

#include <QObject>
#include <QPointer>
#include <QVariantMap>

class QWindow;

namespace platform {

// How a colour is picked from the screen here: from the X server's screen itself, through the
// desktop portal's colour picker (Wayland, where programs cannot read the screen), or not at all.
enum class ScreenPickWay { None, X11, Portal };
ScreenPickWay screenPickWay();

// One pick at a time, made on first use.
class ScreenPicker final : public QObject {
    Q_OBJECT
public:
    explicit ScreenPicker(ScreenPickWay way);
    ~ScreenPicker() override;

    void start(QWidget* window, Platform::ScreenPickDone done);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void portalResponse(uint response, const QVariantMap& results);

private:
    void startX11(QWidget* window);
    void startPortal(QWidget* window);
    void finish(std::optional<QRgb> colour, const QString& failure = {});

    ScreenPickWay m_way;
    Platform::ScreenPickDone m_done;
    bool m_grabbing = false;     // pointer and keyboard are held for an X11 pick
    QPointer<QWindow> m_grabber; // the window that holds them
    QString m_request;           // the portal request waited for
};

} // namespace platform
