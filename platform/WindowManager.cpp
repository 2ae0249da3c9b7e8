#include "platform/WindowManager.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace platform {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The launcher's time at the end of a start-up notification id ("…_TIME<time>"), or
// CurrentTime when the id carries none.
xcb_timestamp_t launchTime(const QByteArray& startupId) {
    const qsizetype at = startupId.lastIndexOf("_TIME");
    bool ok = false;
    const uint time = at < 0 ? 0 : startupId.mid(at + 5).toUInt(&ok);
    return ok ? time : XCB_CURRENT_TIME;
}

// The start-up notification message "remove" for the id: the launcher stops its busy feedback,
// as the start it launched shows no window of its own. Sent to the root window in pieces of 20
// bytes, the terminating zero included.
void endStartupFeedback(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window, QByteArray id) {
    const QByteArray message =
        "remove: ID=\"" + id.replace('\\', "\\\\").replace('"', "\\\"") + "\"" + QByteArray(1, '\0');
    const xcb_atom_t first = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    for (qsizetype at = 0; at < message.size(); at += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = window;
        event.type = at == 0 ? first : more;
        std::memcpy(event.data.data8, message.constData() + at,
                    static_cast<std::size_t>(std::min<qsizetype>(20, message.size() - at)));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&event));
    }
}

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// Asks the window manager to activate the window (EWMH _NET_ACTIVE_WINDOW from an application,
// at the launcher's time). False when the display is no X11 display.
bool activateOnX11(QWidget* window, const QByteArray& startupId) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return false;
    }
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = rootWindow(connection);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = atom(connection, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 1; // from an application
    event.data.data32[1] = launchTime(startupId);
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    if (!startupId.isEmpty()) {
        endStartupFeedback(connection, root, id, startupId);
    }
    xcb_flush(connection);
    return true;
}

// Asks the window manager for its interactive move (EWMH _NET_WM_MOVERESIZE) from the point the
// button was pressed at, in the display's own pixels. False when the display is no X11 display.
bool moveOnX11(QWidget* window, QPoint pressedAt) {
    xcb_connection_t* connection = x11Connection();
    const QScreen* screen = window->screen();
    if (connection == nullptr || screen == nullptr) {
        return false;
    }
    // Qt scales the screen's contents but keeps its origin.
    const QPoint origin = screen->geometry().topLeft();
    const QPoint native = origin + (QPointF(pressedAt - origin) * window->devicePixelRatioF()).toPoint();
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window->winId());
    event.type = atom(connection, "_NET_WM_MOVERESIZE");
    event.data.data32[0] = static_cast<uint32_t>(native.x());
    event.data.data32[1] = static_cast<uint32_t>(native.y());
    event.data.data32[2] = 8; // move
    event.data.data32[3] = XCB_BUTTON_INDEX_1;
    event.data.data32[4] = 1; // from an application
    // The pointer is the window manager's from here on.
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    xcb_send_event(connection, 0, rootWindow(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
    return true;
}

} // namespace

void startMove(QWidget* window, QPoint pressedAt) {
    if (!moveOnX11(window, pressedAt)) {
        if (QWindow* handle = window->windowHandle()) {
            handle->startSystemMove();
        }
    }
}

void bringForward(QWidget* window, const ActivationRequest& request) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    if (!activateOnX11(window, request.startupId)) {
        // Qt's Wayland activation takes the launcher's token from the environment.
        if (!request.activationToken.isEmpty()) {
            qputenv("XDG_ACTIVATION_TOKEN", request.activationToken);
        }
        window->activateWindow();
    }
}

} // namespace platform
