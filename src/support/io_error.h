// File-system failures (a file that cannot be opened, created or written) travel as IoError to
// the caller of Load and Save; malformed content never does: readers report it by failing.
#pragma once

#include <stdexcept>
#include <string>

namespace lumatra {

class IoError : public std::runtime_error {
 public:
  explicit IoError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace lumatra
