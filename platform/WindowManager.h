#pragma once

#include "platform/SingleInstance.h"

#include <QPoint>

class QWidget;

namespace platform {

// Brings a top-level window forward for a later start of the program: restored if minimised,
// shown, raised above other windows and activated. On X11 the activation goes to the window
// manager with the time from the launcher's start-up notification id, which lets it through
// focus-stealing prevention, and the launcher's start-up feedback for that id ends. On Wayland
// the launcher's activation token goes with the activation.
void bringForward(QWidget* window, const ActivationRequest& request);

// Hands a top-level window to the window manager's interactive move, which the left button
// pressed at `pressedAt` (a point on the screen) started: the window follows the pointer as if
// it had been held there from the press on. Where the window system takes no such point (any but
// X11), the move starts from where the pointer is.
void startMove(QWidget* window, QPoint pressedAt);

} // namespace platform
