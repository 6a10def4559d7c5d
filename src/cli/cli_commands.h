// The subcommands of lumatra-cli. Each registers itself on the application and runs when chosen.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace lumatra {

struct CliStreams {
  std::ostream& out;
  std::ostream& err;
  int status = 0;  // exit status of the command that ran
};

void AddInfoCommand(CLI::App& app, CliStreams& io);
void AddConvertCommand(CLI::App& app, CliStreams& io);
void AddDiagramCommand(CLI::App& app, CliStreams& io);
void AddCheckCommand(CLI::App& app, CliStreams& io);
void AddCompareCommand(CLI::App& app, CliStreams& io);

}  // namespace lumatra
