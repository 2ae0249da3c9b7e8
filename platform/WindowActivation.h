#pragma once

#include "platform/SingleInstance.h"

class QWidget;

namespace platform {

// Brings a top-level window forward for a later start of the program: restored if minimised,
// shown, raised above other windows and activated. On X11 the activation goes to the window
// manager with the time from the launcher's start-up notification id, which lets it through
// focus-stealing prevention, and the launcher's start-up feedback for that id ends. On Wayland
// the launcher's activation token goes with the activation.
void bringForward(QWidget* window, const ActivationRequest& request);

} // namespace platform
