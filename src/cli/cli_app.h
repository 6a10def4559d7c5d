// The command-line front end: `info` and `convert` over the same core calls as the window.
#pragma once

#include <ostream>

namespace lumatra {

// Runs the command line; returns the exit status (0 all converted, 1 any failure, 2 usage).
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace lumatra
