#pragma once

namespace platform {
class Platform;
}

// The program: ends at once when another instance runs, otherwise shows the window and runs
// until it is closed. Returns the exit status.
int Main(int argc, char** argv, platform::Platform& platform);
