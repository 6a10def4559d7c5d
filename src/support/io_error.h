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

// What a save does when a file is already at its target (or appears there while it writes).
enum class ExistingTarget {
  kReplace,  // the user agreed, or nobody needs asking (settings, tests)
  kKeep,     // nobody agreed: the other file wins and the save fails with TargetExistsError
};

// A save with ExistingTarget::kKeep found its target taken; nothing was written.
class TargetExistsError : public IoError {
 public:
  explicit TargetExistsError(const std::string& what) : IoError(what) {}
};

}  // namespace lumatra
