#include "platform/ScreenPicker.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <memory>
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace platform {

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// The colour of the screen's pixel at `at`, a point in the virtual desktop.
QRgb pixelAt(QPoint at) {
    QScreen* screen = QGuiApplication::screenAt(at);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect area = screen->geometry();
    const QImage image = screen->grabWindow(0, at.x() - area.x(), at.y() - area.y(), 1, 1).toImage();
    return image.isNull() ? qRgb(0, 0, 0) : image.pixel(0, 0);
}

// Whether another program holds the pointer of the X display. Qt's grab, made through the X input
// extension, reports success even then; so the pointer is grabbed here once through the core
// protocol, which says, and let go again at once.
bool pointerHeldElsewhere(QWindow* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) {
        return false;
    }
    xcb_connection_t* connection = x11->connection();
    const std::unique_ptr<xcb_grab_pointer_reply_t, decltype(&std::free)> reply(
        xcb_grab_pointer_reply(connection,
                               xcb_grab_pointer(connection, 0, static_cast<xcb_window_t>(window->winId()), 0,
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                                                XCB_CURRENT_TIME),
                               nullptr),
        &std::free);
    if (reply && reply->status == XCB_GRAB_STATUS_SUCCESS) {
        xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
        return false;
    }
    return reply != nullptr;
}

} // namespace

ScreenPicker::ScreenPicker(ScreenPickWay way)
    : m_way(way) {}

ScreenPicker::~ScreenPicker() {
    m_done = nullptr; // the program ends: nobody waits for the pick
    if (QCoreApplication::instance() != nullptr) {
        finish(std::nullopt);
    }
}

void ScreenPicker::start(QWidget* window, Platform::ScreenPickDone done) {
    if (m_done) {
        return; // one pick at a time
    }
    m_done = std::move(done);
    if (m_way == ScreenPickWay::X11) {
        startX11(window);
    } else if (m_way == ScreenPickWay::Portal) {
        startPortal(window);
    } else {
        finish(std::nullopt, QStringLiteral("この環境では画面から色を取得できません。"));
    }
}

void ScreenPicker::startX11(QWidget* window) {
    // Pointer and keyboard go to the window until the pick ends, wherever the pointer is, and
    // the pointer shows a cross over every window. The application sees their events first, so
    // nothing else in the program reacts to them.
    QWindow* handle = window->windowHandle();
    qApp->installEventFilter(this);
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    m_grabbing = true;
    m_grabber = handle;
    if (handle == nullptr || pointerHeldElsewhere(handle) || !handle->setMouseGrabEnabled(true)) {
        finish(std::nullopt, QStringLiteral("マウスを使えないため、画面から色を取得できません。\n"
                                            "ほかのプログラムがマウスを占有している可能性があります。"));
        return;
    }
    if (!handle->setKeyboardGrabEnabled(true)) {
        finish(std::nullopt, QStringLiteral("キーボードを使えないため、画面から色を取得できません。\n"
                                            "ほかのプログラムがキーボードを占有している可能性があります。"));
    }
}

bool ScreenPicker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            finish(pixelAt(mouse->globalPosition().toPoint()));
        } else if (mouse->button() == Qt::RightButton) {
            finish(std::nullopt);
        }
        return true;
    }
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            finish(std::nullopt);
        }
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

void ScreenPicker::startPortal(QWidget* window) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        finish(std::nullopt, QStringLiteral("デスクトップのポータルに接続できないため、画面から色を取得できません。"));
        return;
    }
    // The answer comes as a signal of a request object whose path the token fixes: listened
    // for before asking, so that a quick answer is not missed.
    const QString token = QStringLiteral("swatchly%1").arg(QRandomGenerator::global()->generate());
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    m_request = QStringLiteral("%1/request/%2/%3").arg(PortalPath, sender, token);
    bus.connect(PortalService, m_request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                this, SLOT(portalResponse(uint, QVariantMap)));
    QString parent;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && window->windowHandle() != nullptr) {
        parent = QStringLiteral("x11:%1").arg(window->windowHandle()->winId(), 0, 16);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, PortalPath, QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("PickColor"));
    call << parent << QVariantMap{{QStringLiteral("handle_token"), token}};
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answered) {
        answered->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *answered;
        if (reply.isError() && m_done) {
            finish(std::nullopt, QStringLiteral("デスクトップのポータルが色の取得に応じませんでした。\n（%1）")
                                     .arg(reply.error().message()));
        }
    });
}

void ScreenPicker::portalResponse(uint response, const QVariantMap& results) {
    if (!m_done) {
        return;
    }
    // 0: picked, 1: cancelled, 2: ended otherwise.
    if (response == 1) {
        finish(std::nullopt);
        return;
    }
    double rgb[3] = {-1, -1, -1};
    const QVariant color = results.value(QStringLiteral("color"));
    if (response == 0 && color.canConvert<QDBusArgument>()) {
        const auto argument = color.value<QDBusArgument>();
        argument.beginStructure();
        argument >> rgb[0] >> rgb[1] >> rgb[2];
        argument.endStructure();
    }
    for (const double c : rgb) {
        if (!(c >= 0.0 && c <= 1.0)) {
            finish(std::nullopt, QStringLiteral("デスクトップのポータルから色を受け取れませんでした。"));
            return;
        }
    }
    finish(qRgb(qRound(rgb[0] * 255), qRound(rgb[1] * 255), qRound(rgb[2] * 255)));
}

void ScreenPicker::finish(std::optional<QRgb> colour, const QString& failure) {
    if (m_grabbing) {
        m_grabbing = false;
        if (m_grabber != nullptr) {
            m_grabber->setKeyboardGrabEnabled(false);
            m_grabber->setMouseGrabEnabled(false);
        }
        QGuiApplication::restoreOverrideCursor();
        qApp->removeEventFilter(this);
    }
    if (!m_request.isEmpty()) {
        QDBusConnection::sessionBus().disconnect(
            PortalService, m_request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
            this, SLOT(portalResponse(uint, QVariantMap)));
        m_request.clear();
    }
    // Taken out first: the callback may start the next pick.
    const Platform::ScreenPickDone done = std::exchange(m_done, nullptr);
    if (done) {
        done(colour, failure);
    }
}

} // namespace platform
