#include "app/conversion_log.h"

namespace lumatra {

ConversionLog::~ConversionLog() {
  Close();
}

bool ConversionLog::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  return file_ != nullptr;
}

void ConversionLog::Close() {
  if (file_) std::fclose(file_);
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
  if (!file_) return;
  std::fwrite(text.data(), 1, text.size(), file_);
  std::fflush(file_);
}

}  // namespace lumatra
