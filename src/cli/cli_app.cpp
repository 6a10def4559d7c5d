#include "cli/cli_app.h"

#include <CLI/CLI.hpp>

#include "cli/cli_commands.h"
#include "cli/cli_settings.h"
#include "support/io_error.h"

namespace lumatra {

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"Lumatra: converts luminaire photometric data files", "lumatra-cli"};
  app.require_subcommand(1);
  CliStreams io{out, err};
  AddInfoCommand(app, io);
  AddConvertCommand(app, io);
  AddDiagramCommand(app, io);
  AddCheckCommand(app, io);
  AddCompareCommand(app, io);
  AddSettingsCommand(app, io);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e, out, err);
    return code == 0 ? 0 : 2;
  } catch (const std::exception& e) {
    err << "lumatra-cli: " << e.what() << "\n";
    return 1;
  }
  return io.status;
}

}  // namespace lumatra
