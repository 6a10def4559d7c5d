#include "app/conversion_log.h"

#include <cerrno>
#include <system_error>

namespace lumatra {

ConversionLog::~ConversionLog() {
  Close();
}

bool ConversionLog::Open(const std::string& path) {
  Close();
  error_.clear();
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) error_ = std::generic_category().message(errno);
  return file_ != nullptr;
}

void ConversionLog::Close() {
  if (file_ && std::fclose(file_) != 0 && error_.empty()) Fail();
  file_ = nullptr;
}

void ConversionLog::BeginFile(std::string_view source) {
  Write(source);
  Write("  ");
}

void ConversionLog::Mark(std::string_view marker) {
  Write(marker);
}

void ConversionLog::Destination(std::string_view target) {
  Write(" DEST : ");
  Write(target);
  Write("\r\n");
}

void ConversionLog::Write(std::string_view text) {
  if (!file_ || !error_.empty()) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0)
    Fail();
}

void ConversionLog::Fail() {
  error_ = errno ? std::generic_category().message(errno) : "write failed";
}

}  // namespace lumatra
