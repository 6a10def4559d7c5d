// The batch conversion driver: turns a list of source files into converted files in the target
// directory, one record per file, with overwrite questions and the log "LUMATRA.LOG". It knows no
// window: the questions, the pending-input call between files and the progress reach the user
// interface through BatchUi.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/conversion_log.h"
#include "app/conversion_settings.h"
#include "support/messages.h"

namespace lumatra {

enum class OverwriteAnswer { kYes, kNo, kCancel, kAll };

enum class FileStatus { kConverted, kSkipped, kFailed };

struct FileOutcome {
  FileStatus status = FileStatus::kFailed;
  std::string target;  // target path; empty when none could be formed
  std::string reason;  // why the file was skipped or failed, e.g. "ies: file holds no TILT line"
  bool target_existed = false;    // skipped because the target exists: overwriting would write it
  std::uint8_t source_code = 14;  // FileFormat the reader reported; 14 when nothing was read
};

class BatchUi {
 public:
  virtual ~BatchUi() = default;
  // The target exists: "Datei NAME existiert bereits !  Überschreiben ?" (UTF-8) with the
  // buttons Yes, No, Cancel and All. Only Yes and All agree; All covers the rest of the run.
  virtual OverwriteAnswer AskOverwrite(const std::string& question, const std::string& target) = 0;
  // Called before every file; a window handles its pending input here, which is how a stop
  // press (a second StartStop) reaches a running batch. With several threads the workers call
  // it, one at a time and in file order.
  virtual void ProcessPendingInput() {}
  virtual void RunStarted() {}
  // After each file, converted or not, with the number of files still waiting. With several
  // threads too, the calls come one at a time and in the order of the list.
  virtual void FileDone(const std::string& /*source*/, const FileOutcome& /*outcome*/,
                        std::size_t /*remaining*/) {}
  virtual void RunEnded(bool /*stopped*/) {}
  // The log cannot be created or written (once per run, at the first failure): `message` names
  // the file and the reason. The run goes on; what it converts is still converted.
  virtual void LogFailed(const std::string& message) { Messages().ShowError(message); }
};

// Why `log_path` must not be the run's log: it is one of `files` or one of their targets
// (compared as files, not as texts); "" when it may be.
std::string LogPathConflict(const std::string& log_path, const std::vector<std::string>& files,
                            std::string_view directory, std::uint8_t target_code);

// Target extension by target code: ".LDT", ".CIB", ".IES", ".LVK", ...; "" when none.
std::string_view TargetExtension(std::uint8_t target_code);

// The target path: `directory` exactly as set (a file system that tells cases apart would see
// another folder in an upper-cased one), joined with "/" unless it ends in one, then the source's
// file name with the target extension in upper case. Nothing is cut. "" when `directory` is.
std::string TargetName(std::string_view directory, std::string_view source,
                       std::uint8_t target_code);

class BatchDriver {
 public:
  // An empty `log_path` keeps no log.
  BatchDriver(ConversionSettings& settings, BatchUi& ui,
              std::string log_path = std::string(kLogFileName));

  // Files converted at once by the next run; 1 (the default) converts them one after another
  // on the calling thread, as the window does. Whatever the number, the targets, the log, the
  // questions and the outcomes reported are those of one thread, in the order of the list.
  void SetThreads(unsigned threads) { threads_ = threads == 0 ? 1 : threads; }

  // The start button. Idle: runs through `files` from the front in the target format; the files
  // done are removed from the list when the run ends; ACTFMT takes the target code. Running:
  // asks the run to stop before its next file. A log path that is one of the files or targets
  // is refused before anything is opened: the run then converts nothing.
  void StartStop(std::vector<std::string>& files, std::uint8_t target_code);
  bool Running() const { return running_; }

  // Converts one file into the current target format; `overwrite_all` is the run's All answer.
  FileOutcome ConvertFile(const std::string& source, bool& overwrite_all);

  std::uint8_t TargetCode() const { return target_code_; }
  // FileFormat of the last reported file that was read.
  std::uint8_t SourceCode() const { return source_code_; }

  // Where the log text of one file goes: straight into the log, or held until every file before
  // it is logged.
  class FileLog {
   public:
    virtual ~FileLog() = default;
    virtual void Write(std::string_view text) = 0;
  };

 private:
  // A target that several sources of the running batch map to: the sources' places in the list,
  // how many of them are done, and the source that wrote it ("" while none has). A later source
  // never overwrites what an earlier one of the same run wrote, and with several threads each
  // waits for the ones before it. Only shared targets are kept, so memory stays flat.
  struct SharedTarget {
    std::vector<std::size_t> files;
    std::size_t done = 0;
    std::string written_by;
  };
  class Parallel;
  struct Turns;

  void RunOneByOne(const std::vector<std::string>& files, std::size_t& done);
  void Report(const std::string& source, const FileOutcome& outcome, std::size_t remaining);
  FileOutcome ConvertAt(std::size_t index, const std::string& source, FileLog& log, Turns& turns);
  // `may_replace`: a file found at `target` when saving may be replaced (else it is kept).
  FileOutcome Convert(const std::string& source, const std::string& target, bool may_replace,
                      FileLog& log, Turns& turns);
  void NoteSharedTargets(const std::vector<std::string>& files);
  void CheckLog();

  std::unordered_map<std::string, SharedTarget> shared_targets_;

  ConversionSettings& settings_;
  BatchUi& ui_;
  std::string log_path_;
  ConversionLog log_;
  std::atomic<bool> running_ = false;
  std::atomic<bool> overwrite_all_ = false;  // the run's All answer
  bool log_failed_ = false;  // the log's first failure of this run has been reported
  unsigned threads_ = 1;
  std::uint8_t target_code_ = 2;
  std::uint8_t source_code_ = 2;
};

}  // namespace lumatra
