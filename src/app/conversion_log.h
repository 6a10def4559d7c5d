// The conversion log "LUMATRA.LOG": one line per file made of the source path, two blanks, the
// markers " CONVBC " and " REDIM " of the transforms applied, " DEST : " and the target path.
// A skipped or failed file leaves only its source path and the two blanks, so the next file's
// text continues on the same line. Every write is flushed at once, so a stopped or crashed run
// keeps what was logged.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace lumatra {

inline constexpr std::string_view kLogFileName = "LUMATRA.LOG";
inline constexpr std::string_view kMarkConvertedBC = " CONVBC ";
inline constexpr std::string_view kMarkRedimensioned = " REDIM ";

class ConversionLog {
 public:
  ConversionLog() = default;
  ~ConversionLog();
  ConversionLog(const ConversionLog&) = delete;
  ConversionLog& operator=(const ConversionLog&) = delete;

  // Creates the log anew (an existing one is replaced); false when it cannot be created.
  bool Open(const std::string& path);
  // A close that fails sets Error() too.
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  // Why the log could not be written ("" while every write succeeded). After the first failure
  // nothing more is written.
  const std::string& Error() const { return error_; }

  void BeginFile(std::string_view source);    // source path and two blanks
  void Mark(std::string_view marker);         // " CONVBC " or " REDIM "
  void Destination(std::string_view target);  // " DEST : ", target path, line end
  // Any text, such as the log text of files that was held back until the files before them
  // were logged.
  void Write(std::string_view text);

 private:
  void Fail();
  std::FILE* file_ = nullptr;
  std::string error_;
};

}  // namespace lumatra
