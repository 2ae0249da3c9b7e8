#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QPointer>
#include <cstdint>

class QSocketNotifier;
struct xcb_connection_t;

namespace platform {

// Reads the clipboard's text on an X display without waiting for the program that holds it.
// Qt's own read waits up to 5 s for each of its requests, holding up the event loop; here the
// request goes out on a display connection of the reader's own, made on first use, and the
// event loop hands over the answer when it comes. The text is asked for as UTF8_STRING, else
// STRING, else TEXT; a large text comes in pieces (INCR) and is read up to MaxBytes.
class X11ClipboardReader final {
public:
    static constexpr int MaxBytes = 1 << 20; // far more than any colour code

    X11ClipboardReader() = default;
    ~X11ClipboardReader();
    X11ClipboardReader(const X11ClipboardReader&) = delete;
    X11ClipboardReader& operator=(const X11ClipboardReader&) = delete;

    // False when the display cannot be reached from here: then `done` is left to the caller.
    // Otherwise starts a read, or does nothing while one is pending.
    bool start(Platform::ClipboardTextDone& done);
    // Gives up the pending read: its `done` never runs.
    void cancel();

private:
    bool connectToDisplay();
    void disconnect();
    void ask();          // asks the clipboard's owner for the text in the current target
    void readAnswers();  // everything the display has sent
    void readProperty(); // the text, or a piece of it, left on our window
    void finish(const QString& text);
    void forgetRequest();

    xcb_connection_t* m_connection = nullptr;
    QPointer<QSocketNotifier> m_answers; // watches the connection; owned by the application object
    uint32_t m_root = 0;
    uint32_t m_clipboard = 0; // atoms
    uint32_t m_property = 0;
    uint32_t m_incr = 0;
    uint32_t m_utf8 = 0;
    uint32_t m_targets[3] = {};

    Platform::ClipboardTextDone m_done; // set while a read is pending
    uint32_t m_window = 0;              // the read's own window, which the answer is left on
    int m_target = 0;                   // index into m_targets
    bool m_incremental = false;         // the text comes in pieces
    uint32_t m_type = 0;                // of the text, from the owner
    QByteArray m_text;
};

} // namespace platform
