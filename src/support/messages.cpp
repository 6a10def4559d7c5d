#include "support/messages.h"

#include <atomic>
#include <cstdio>

namespace lumatra {

namespace {

class StderrSink : public MessageSink {
 public:
  void ShowError(std::string_view text) override {
    std::fprintf(stderr, "error: %.*s\n", static_cast<int>(text.size()), text.data());
  }
};

StderrSink default_sink;
// Conversions on several threads read it while the front end that owns the sink set it before.
std::atomic<MessageSink*> current = &default_sink;

}  // namespace

MessageSink& Messages() {
  return *current.load(std::memory_order_acquire);
}

MessageSink* SetMessageSink(MessageSink* sink) {
  return current.exchange(sink ? sink : &default_sink, std::memory_order_acq_rel);
}

}  // namespace lumatra
