#include "support/messages.h"

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
MessageSink* current = &default_sink;

}  // namespace

MessageSink& Messages() {
  return *current;
}

MessageSink* SetMessageSink(MessageSink* sink) {
  MessageSink* previous = current;
  current = sink ? sink : &default_sink;
  return previous;
}

}  // namespace lumatra
