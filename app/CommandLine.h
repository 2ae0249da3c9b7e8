#pragma once

#include <optional>

// The command line, read before anything else: --help and --version are answered on standard
// output with status 0; an unknown option or any argument is refused in one line on standard
// error with status 2. Returns the exit status, or nothing when the program is to run. Needs no
// application object and no display.
std::optional<int> RunCommandLine(int argc, char** argv);
