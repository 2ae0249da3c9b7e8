#include "platform/ClipboardReader.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <xcb/xcb.h>

namespace platform {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

} // namespace

X11ClipboardReader::~X11ClipboardReader() {
    m_done = nullptr; // the program ends: nobody waits for the text
    disconnect();
}

bool X11ClipboardReader::connectToDisplay() {
    if (m_connection != nullptr) {
        return true;
    }
    int screen = 0;
    m_connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(m_connection) != 0) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return false;
    }
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (; roots.rem > 0 && screen > 0; --screen) {
        xcb_screen_next(&roots);
    }
    m_root = roots.data->root;
    // All asked at once, then the answers taken: one round trip.
    const char* const names[] = {"CLIPBOARD", "_SWATCHLY_CLIPBOARD", "INCR", "UTF8_STRING", "TEXT"};
    xcb_intern_atom_cookie_t cookies[std::size(names)];
    for (std::size_t i = 0; i < std::size(names); ++i) {
        cookies[i] = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    }
    uint32_t atoms[std::size(names)] = {};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookies[i], nullptr),
                                                   &std::free);
        atoms[i] = reply ? reply->atom : uint32_t{XCB_ATOM_NONE};
    }
    m_clipboard = atoms[0];
    m_property = atoms[1];
    m_incr = atoms[2];
    m_utf8 = atoms[3];
    m_targets[0] = atoms[3];
    m_targets[1] = XCB_ATOM_STRING;
    m_targets[2] = atoms[4];
    // Little comes on this connection but the answers to its own requests (else only the rare
    // news of a changed keyboard mapping), so the watcher wakes the program only while a read is
    // under way. It belongs to the application object,
    // so that it goes no later than the event loop it uses.
    m_answers =
        new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(m_answers, &QSocketNotifier::activated, m_answers, [this] { readAnswers(); });
    return true;
}

void X11ClipboardReader::disconnect() {
    // Before the connection it watches; later, when it is the one that called.
    if (m_answers != nullptr) {
        m_answers->setEnabled(false);
        m_answers->deleteLater();
    }
    if (m_connection != nullptr) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
    m_window = 0;
}

bool X11ClipboardReader::start(Platform::ClipboardTextDone& done) {
    if (m_done) {
        return true; // one read at a time
    }
    if (!connectToDisplay()) {
        return false;
    }
    m_done = std::move(done);
    // A window for each read: an answer to a read given up goes to a window that is gone.
    m_window = xcb_generate_id(m_connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    m_target = 0;
    ask();
    return true;
}

void X11ClipboardReader::ask() {
    xcb_convert_selection(m_connection, m_window, m_clipboard, m_targets[m_target], m_property, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    // Answers may already wait in the connection's queue, where the watcher does not see them.
    readAnswers();
}

void X11ClipboardReader::cancel() {
    if (m_done) {
        m_done = nullptr;
        forgetRequest();
    }
}

void X11ClipboardReader::forgetRequest() {
    if (m_window != 0 && m_connection != nullptr) {
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
    m_window = 0;
    m_incremental = false;
    m_text.clear();
}

void X11ClipboardReader::readAnswers() {
    while (m_connection != nullptr) {
        const Reply<xcb_generic_event_t> event(xcb_poll_for_event(m_connection), &std::free);
        if (!event) {
            break;
        }
        const int type = event->response_type & 0x7F;
        if (type == XCB_SELECTION_NOTIFY) {
            const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event.get());
            if (!m_done || notify->requestor != m_window) {
                continue; // for a read given up
            }
            if (notify->property == XCB_ATOM_NONE) {
                // The owner has no text in this target, or there is no owner.
                if (++m_target < static_cast<int>(std::size(m_targets))) {
                    ask();
                } else {
                    finish({});
                }
                continue;
            }
            readProperty();
        } else if (type == XCB_PROPERTY_NOTIFY) {
            const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            if (m_done && m_incremental && change->window == m_window && change->atom == m_property &&
                change->state == XCB_PROPERTY_NEW_VALUE) {
                readProperty();
            }
        }
    }
    if (m_connection != nullptr && xcb_connection_has_error(m_connection) != 0) {
        // The display went away: no answer will come. The next read connects again.
        disconnect();
        finish({});
    }
}

void X11ClipboardReader::readProperty() {
    // Taken and deleted in one: for a text in pieces, the deletion asks for the next piece.
    const uint32_t longs = static_cast<uint32_t>(MaxBytes - m_text.size() + 3) / 4;
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, longs),
            nullptr),
        &std::free);
    if (!reply) {
        finish({});
        return;
    }
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
    const int length = xcb_get_property_value_length(reply.get());
    if (!m_incremental && reply->type == m_incr) {
        m_incremental = true; // the pieces follow, each announced by a new value
        return;
    }
    if (m_text.isEmpty()) {
        m_type = reply->type; // of a text in pieces, given with each piece
    }
    m_text.append(bytes, std::min(length, MaxBytes - static_cast<int>(m_text.size())));
    // Whole: a single answer, the empty piece that ends a text in pieces, or as much as is read.
    if (!m_incremental || length == 0 || m_text.size() >= MaxBytes || reply->bytes_after > 0) {
        finish(m_type == m_utf8 ? QString::fromUtf8(m_text) : QString::fromLatin1(m_text));
    }
}

void X11ClipboardReader::finish(const QString& text) {
    forgetRequest();
    // Taken out first: the callback may start the next read.
    const Platform::ClipboardTextDone done = std::exchange(m_done, nullptr);
    if (done) {
        done(text);
    }
}

} // namespace platform
