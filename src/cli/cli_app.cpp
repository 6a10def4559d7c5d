#include "cli/cli_app.h"

namespace lumatra {

int RunCli(int, const char* const*, std::ostream&, std::ostream& err) {
  err << "lumatra-cli: not built yet\n";
  return 2;
}

}  // namespace lumatra
