#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class Platform;
}

// The program: answers its command line; ends at once when another instance runs for this user,
// after bringing that instance's window forward; otherwise shows the window and runs until it is
// closed. Returns the exit status (1 when no display can be reached).
int Main(int argc, char** argv, platform::Platform& platform);

// The one line said on standard error when no platform plugin could start: for each plugin Qt
// tried, in order, why it failed: not installed (naming the Debian package that brings it), its
// libraries missing, or its display out of reach. `qtSaid` holds what Qt said on the way, its
// fatal message last; `display` and `waylandDisplay` are DISPLAY and WAYLAND_DISPLAY.
QString NoDisplayMessage(const QStringList& qtSaid, const QString& display, const QString& waylandDisplay);
