#include <iostream>

#include "cli/cli_app.h"
#include "formats/file_io.h"

int main(int argc, char** argv) {
  lumatra::RecordUmask();  // before any thread: reading the umask sets it for a moment
  return lumatra::RunCli(argc, argv, std::cout, std::cerr);
}
