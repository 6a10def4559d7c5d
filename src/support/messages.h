// Error boxes reach the core through this small interface: the window shows them as modal boxes,
// the command line prints them on stderr, tests capture them.
#pragma once

#include <string_view>

namespace lumatra {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowError(std::string_view text) = 0;
};

// The process-wide sink; by default errors go to stderr as "error: TEXT". A sink may be called
// from the threads of a batch at once, so it guards what it writes.
MessageSink& Messages();
// Installs `sink` (nullptr restores the default); returns the previous one.
MessageSink* SetMessageSink(MessageSink* sink);

}  // namespace lumatra
