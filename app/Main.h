#pragma once

namespace platform {
class Platform;
}

// The program: answers its command line; ends at once when another instance runs for this user,
// after bringing that instance's window forward; otherwise shows the window and runs until it is
// closed. Returns the exit status (1 when no display can be reached).
int Main(int argc, char** argv, platform::Platform& platform);
