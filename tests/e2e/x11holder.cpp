// Another X client that holds something and never lets the program have it, for the end-to-end
// script:
//   x11holder clipboard   owns the CLIPBOARD selection and never answers a request for it
//   x11holder pointer     holds the pointer grab
//   x11holder keyboard    holds the keyboard grab
// Prints "ready" once it holds it, then runs until killed; each request for the clipboard it
// leaves unanswered is logged as "request" on standard output.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

int fail(const char* what, int status) {
    std::fprintf(stderr, "x11holder: %s (status %d)\n", what, status);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: x11holder clipboard|pointer|keyboard\n");
        return 2;
    }
    const char* what = argv[1];
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        return fail("no display", 0);
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (std::strcmp(what, "clipboard") == 0) {
        const xcb_window_t window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        const Reply<xcb_intern_atom_reply_t> clipboard(
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, 9, "CLIPBOARD"), nullptr), &std::free);
        if (!clipboard) {
            return fail("no CLIPBOARD atom", 0);
        }
        xcb_set_selection_owner(connection, window, clipboard->atom, XCB_CURRENT_TIME);
        const Reply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, clipboard->atom), nullptr),
            &std::free);
        if (!owner || owner->owner != window) {
            return fail("could not own the clipboard", 0);
        }
    } else if (std::strcmp(what, "pointer") == 0) {
        const Reply<xcb_grab_pointer_reply_t> grab(
            xcb_grab_pointer_reply(connection,
                                   xcb_grab_pointer(connection, 0, root, XCB_EVENT_MASK_BUTTON_PRESS,
                                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                                                    XCB_CURRENT_TIME),
                                   nullptr),
            &std::free);
        if (!grab || grab->status != XCB_GRAB_STATUS_SUCCESS) {
            return fail("could not grab the pointer", grab ? grab->status : -1);
        }
    } else if (std::strcmp(what, "keyboard") == 0) {
        const Reply<xcb_grab_keyboard_reply_t> grab(
            xcb_grab_keyboard_reply(
                connection,
                xcb_grab_keyboard(connection, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                nullptr),
            &std::free);
        if (!grab || grab->status != XCB_GRAB_STATUS_SUCCESS) {
            return fail("could not grab the keyboard", grab ? grab->status : -1);
        }
    } else {
        return fail("unknown hold", 0);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        if ((event->response_type & 0x7F) == XCB_SELECTION_REQUEST) {
            std::printf("request\n");
            std::fflush(stdout);
        }
        std::free(event);
    }
    return 0;
}
