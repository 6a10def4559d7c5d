#include "app/batch_driver.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include "app/format_table.h"
#include "app/pipeline.h"
#include "formats/file_io.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "support/io_error.h"
#include "support/messages.h"
#include "support/short_date.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

std::string FileNameOf(std::string_view path) {
  return std::filesystem::path(path).filename().string();
}

OverwriteAnswer AskToOverwrite(BatchUi& ui, const std::string& target) {
  const std::string question = "Datei " + FileNameOf(target) + " existiert bereits ! " +
                               " \xC3\x9C"
                               "berschreiben ?";
  return ui.AskOverwrite(question, target);
}

}  // namespace

std::string_view TargetExtension(std::uint8_t target_code) {
  const FormatRow* format = FindWriter(target_code);
  return format ? format->extension : std::string_view();
}

std::string TargetName(std::string_view directory, std::string_view source,
                       std::uint8_t target_code) {
  if (directory.empty()) return {};
  std::filesystem::path name = std::filesystem::path(source).filename();
  name.replace_extension(TargetExtension(target_code));
  std::string target(directory);
  if (target.back() != '/') target += '/';
  return target + UpperCase(name.string());
}

namespace {

// Same file: the same inode where both exist, else the same path once links are resolved.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  const auto ca = std::filesystem::weakly_canonical(a, ec);
  if (ec) return false;
  const auto cb = std::filesystem::weakly_canonical(b, ec);
  return !ec && ca == cb;
}

}  // namespace

std::string LogPathConflict(const std::string& log_path, const std::vector<std::string>& files,
                            std::string_view directory, std::uint8_t target_code) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(log_path, ec)) {
    for (const std::string& file : files)
      if (fs::equivalent(log_path, file, ec))
        return "the log file " + log_path + " is the source " + file;
  }
  // A target is the folder plus a name: compare the folders once, then the names.
  if (directory.empty() || TargetExtension(target_code).empty()) return {};
  const fs::path log(log_path);
  const fs::path log_folder = log.has_parent_path() ? log.parent_path() : fs::path(".");
  if (!SameFile(log_folder, fs::path(directory))) return {};
  for (const std::string& file : files) {
    const std::string target = TargetName(directory, file, target_code);
    if (fs::path(target).filename() == log.filename())
      return "the log file " + log_path + " is the target of " + file;
  }
  return {};
}

// How the files of a run wait for each other. One thread never waits: the list's order is the
// order of work. Several threads (Parallel) wait before a question until every earlier file is
// done, and before a shared target until the earlier sources of that target are done.
struct BatchDriver::Turns {
  virtual ~Turns() = default;
  virtual void WaitForEarlierFiles(std::size_t /*index*/) {}
  // The turn of file `index` at `target`; with it the caller holds the target's record.
  virtual void WaitForTurn(const SharedTarget& /*target*/, std::size_t /*index*/) {}
  // The file is done with `target`; `writer` is its source when it wrote the target.
  virtual void TurnDone(SharedTarget& target, const std::string& writer) {
    ++target.done;
    if (!writer.empty()) target.written_by = writer;
  }
  virtual std::string WrittenBy(const SharedTarget& target) { return target.written_by; }
  // Asks the overwrite question; one question at a time.
  virtual OverwriteAnswer Ask(BatchUi& ui, const std::string& target) {
    return AskToOverwrite(ui, target);
  }
};

namespace {

class DirectLog : public BatchDriver::FileLog {
 public:
  explicit DirectLog(ConversionLog& log) : log_(log) {}
  void Write(std::string_view text) override { log_.Write(text); }

 private:
  ConversionLog& log_;
};

void Begin(BatchDriver::FileLog& log, std::string_view source) {
  log.Write(source);
  log.Write("  ");
}

void Destination(BatchDriver::FileLog& log, std::string_view target) {
  log.Write(" DEST : ");
  log.Write(target);
  log.Write("\r\n");
}

}  // namespace

// Several workers take the files in list order. A file's log text goes straight into the log
// while every file before it is done (so the log is written, and flushed, as one thread writes
// it); otherwise it waits in memory until then. The outcomes are reported in list order too.
// Workers stay within a window of files past the first one not done, so memory stays flat
// however long the list and however slow one file.
class BatchDriver::Parallel : public BatchDriver::Turns {
 public:
  Parallel(BatchDriver& driver, const std::vector<std::string>& files, unsigned threads)
      : driver_(driver), files_(files), window_(std::size_t{16} * threads) {}

  // Runs the workers; returns the number of files done from the front of the list.
  std::size_t Run(unsigned threads) {
    std::vector<std::thread> workers;
    try {
      for (unsigned t = 1; t < threads; ++t)
        workers.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      // No more threads to be had: the ones there are do the work.
    }
    Work();
    for (std::thread& worker : workers)
      worker.join();
    return first_open_;
  }

  void WaitForEarlierFiles(std::size_t index) override {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return first_open_ == index; });
  }
  void WaitForTurn(const SharedTarget& target, std::size_t index) override {
    const std::size_t place =
        std::lower_bound(target.files.begin(), target.files.end(), index) - target.files.begin();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return target.done == place; });
  }
  void TurnDone(SharedTarget& target, const std::string& writer) override {
    {
      std::lock_guard lock(mutex_);
      Turns::TurnDone(target, writer);
    }
    changed_.notify_all();
  }
  std::string WrittenBy(const SharedTarget& target) override {
    std::lock_guard lock(mutex_);
    return target.written_by;
  }
  OverwriteAnswer Ask(BatchUi& ui, const std::string& target) override {
    std::lock_guard lock(ask_mutex_);
    return AskToOverwrite(ui, target);
  }

 private:
  struct Held {
    std::string text;
    bool done = false;
    FileOutcome outcome;
  };

  class HeldLog : public FileLog {
   public:
    HeldLog(Parallel& run, std::size_t index) : run_(run), index_(index) {}
    void Write(std::string_view text) override { run_.Write(index_, text); }

   private:
    Parallel& run_;
    std::size_t index_;
  };

  void Work() {
    for (std::size_t index; Take(index);) {
      HeldLog log(*this, index);
      FileOutcome outcome;
      try {
        outcome = driver_.ConvertAt(index, files_[index], log, *this);
      } catch (const std::exception& e) {  // a worker must not end the program
        outcome.reason = e.what();
      }
      Finish(index, std::move(outcome));
    }
  }

  // The next file, taken in list order once the pending input has been handled; false when the
  // list is done or the run was stopped.
  bool Take(std::size_t& index) {
    std::unique_lock ask(ask_mutex_);
    if (next_ >= files_.size() || !driver_.running_) return false;
    driver_.ui_.ProcessPendingInput();
    if (!driver_.running_) return false;  // the stop press arrived with the pending input
    index = next_++;
    ask.unlock();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return index < first_open_ + window_; });
    held_.try_emplace(index);
    return true;
  }

  void Write(std::size_t index, std::string_view text) {
    std::lock_guard lock(mutex_);
    if (index == first_open_)
      driver_.log_.Write(text);
    else
      held_[index].text.append(text);
  }

  // Notes the file done, then logs and reports every file now done in list order.
  void Finish(std::size_t index, FileOutcome outcome) {
    {
      std::lock_guard lock(mutex_);
      Held& held = held_[index];
      held.done = true;
      held.outcome = std::move(outcome);
      for (auto it = held_.find(first_open_); it != held_.end(); it = held_.find(first_open_)) {
        if (!it->second.text.empty()) driver_.log_.Write(it->second.text);
        it->second.text.clear();
        if (!it->second.done) break;  // it logs straight into the log from now on
        driver_.CheckLog();
        driver_.Report(files_[first_open_], it->second.outcome, files_.size() - first_open_ - 1);
        held_.erase(it);
        ++first_open_;
      }
    }
    changed_.notify_all();
  }

  BatchDriver& driver_;
  const std::vector<std::string>& files_;
  const std::size_t window_;
  std::mutex ask_mutex_;  // taking files, the pending input and the questions
  std::size_t next_ = 0;
  std::mutex mutex_;  // the log, the reports and what follows
  std::condition_variable changed_;
  std::map<std::size_t, Held> held_;
  std::size_t first_open_ = 0;  // the first file of the list not done
};

BatchDriver::BatchDriver(ConversionSettings& settings, BatchUi& ui, std::string log_path)
    : settings_(settings), ui_(ui), log_path_(std::move(log_path)) {}

void BatchDriver::StartStop(std::vector<std::string>& files, std::uint8_t target_code) {
  if (running_) {
    running_ = false;  // the loop notices it before the next file
    return;
  }
  target_code_ = target_code;
  settings_.ACTFMT = target_code;
  if (!log_path_.empty()) {
    // Opening the log empties it: never when it is one of the files this run reads or writes.
    if (std::string conflict = LogPathConflict(log_path_, files, settings_.DSTDIR, target_code);
        !conflict.empty()) {
      ui_.LogFailed(conflict);
      return;
    }
  }
  running_ = true;
  overwrite_all_ = false;
  ui_.RunStarted();
  log_failed_ = false;
  if (!log_path_.empty()) log_.Open(log_path_);
  CheckLog();
  RemoveStaleTempFiles(settings_.DSTDIR);  // left by runs that were killed mid-write
  NoteSharedTargets(files);
  std::size_t done = 0;
  if (threads_ <= 1 || files.size() <= 1) {
    RunOneByOne(files, done);
  } else {
    Parallel run(*this, files, threads_);
    done = run.Run(static_cast<unsigned>(std::min<std::size_t>(threads_, files.size())));
  }
  files.erase(files.begin(), files.begin() + static_cast<std::ptrdiff_t>(done));
  shared_targets_.clear();
  // What is reported as converted must survive a power cut.
  if (!settings_.DSTDIR.empty())
    if (const std::string reason = SyncFileSystemOf(settings_.DSTDIR); !reason.empty())
      Messages().ShowError("cannot flush the target folder " + settings_.DSTDIR + ": " + reason);
  log_.Close();
  CheckLog();
  const bool stopped = !running_;
  running_ = false;
  ui_.RunEnded(stopped);
}

void BatchDriver::RunOneByOne(const std::vector<std::string>& files, std::size_t& done) {
  DirectLog log(log_);
  Turns in_order;
  for (; done < files.size(); ++done) {
    if (!running_) return;
    ui_.ProcessPendingInput();
    if (!running_) return;  // the stop press arrived with the pending input
    const FileOutcome outcome = ConvertAt(done, files[done], log, in_order);
    CheckLog();
    Report(files[done], outcome, files.size() - done - 1);
  }
}

void BatchDriver::Report(const std::string& source, const FileOutcome& outcome,
                         std::size_t remaining) {
  if (outcome.source_code != kFormatLoadFailed) source_code_ = outcome.source_code;
  ui_.FileDone(source, outcome, remaining);
}

// Reports the first failure of the log; later ones of the same run add nothing.
void BatchDriver::CheckLog() {
  if (log_failed_ || log_.Error().empty()) return;
  log_failed_ = true;
  ui_.LogFailed("cannot write the log file " + log_path_ + ": " + log_.Error());
}

// Finds the targets that more than one listed source maps to. The pass sorts target-name
// hashes and compares the names only where hashes meet, so it needs no copy of every name.
void BatchDriver::NoteSharedTargets(const std::vector<std::string>& files) {
  shared_targets_.clear();
  if (settings_.DSTDIR.empty() || TargetExtension(target_code_).empty()) return;
  const auto target_of = [&](std::size_t i) {
    return TargetName(settings_.DSTDIR, files[i], target_code_);
  };
  std::vector<std::pair<std::size_t, std::size_t>> hashed;  // (hash, index)
  hashed.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i)
    hashed.emplace_back(std::hash<std::string>{}(target_of(i)), i);
  std::sort(hashed.begin(), hashed.end());
  for (std::size_t i = 0, end = 0; i < hashed.size(); i = end) {
    for (end = i + 1; end < hashed.size() && hashed[end].first == hashed[i].first;)
      ++end;
    if (end - i < 2) continue;
    for (std::size_t k = i; k < end; ++k)  // in list order within one hash
      shared_targets_[target_of(hashed[k].second)].files.push_back(hashed[k].second);
  }
  std::erase_if(shared_targets_, [](const auto& t) { return t.second.files.size() < 2; });
}

FileOutcome BatchDriver::ConvertFile(const std::string& source, bool& overwrite_all) {
  DirectLog log(log_);
  Turns in_order;
  overwrite_all_ = overwrite_all;
  // Outside a run the file has no place in a list: it shares no target.
  FileOutcome outcome = ConvertAt(static_cast<std::size_t>(-1), source, log, in_order);
  overwrite_all = overwrite_all_;
  return outcome;
}

FileOutcome BatchDriver::ConvertAt(std::size_t index, const std::string& source, FileLog& log,
                                   Turns& turns) {
  Begin(log, source);
  FileOutcome outcome;
  outcome.status = FileStatus::kSkipped;
  if (settings_.DSTDIR.empty()) {
    outcome.reason = "no target directory set";
    return outcome;
  }
  if (TargetExtension(target_code_).empty()) {
    outcome.status = FileStatus::kFailed;
    outcome.reason = "no writer for format code " + std::to_string(target_code_);
    return outcome;
  }
  outcome.target = TargetName(settings_.DSTDIR, source, target_code_);
  const auto found = shared_targets_.find(outcome.target);
  SharedTarget* shared = found == shared_targets_.end() ? nullptr : &found->second;
  if (shared && !std::binary_search(shared->files.begin(), shared->files.end(), index))
    shared = nullptr;
  if (shared) turns.WaitForTurn(*shared, index);
  std::string wrote;  // the source, once this file wrote the shared target
  struct TurnEnd {
    Turns& turns;
    SharedTarget* shared;
    std::string& wrote;
    ~TurnEnd() {
      if (shared) turns.TurnDone(*shared, wrote);
    }
  } turn_end{turns, shared, wrote};

  if (shared) {
    if (const std::string by = turns.WrittenBy(*shared); !by.empty()) {
      outcome.reason =
          FileNameOf(outcome.target) + " was already written from " + by + " in this run";
      return outcome;
    }
  }
  const bool exists = FileExists(outcome.target);
  if (exists && !overwrite_all_) {
    turns.WaitForEarlierFiles(index);  // their answers come first
    switch (overwrite_all_ ? OverwriteAnswer::kAll : turns.Ask(ui_, outcome.target)) {
      case OverwriteAnswer::kAll:
        overwrite_all_ = true;
        break;
      case OverwriteAnswer::kYes:
        break;
      case OverwriteAnswer::kNo:
      case OverwriteAnswer::kCancel:
        outcome.reason = outcome.target + " exists, not overwritten";
        outcome.target_existed = true;
        return outcome;
    }
  }
  // A target that appears after this check is replaced only with the user's consent.
  FileOutcome done = Convert(source, outcome.target, exists || overwrite_all_, log, turns);
  done.target = outcome.target;
  if (done.status == FileStatus::kConverted) wrote = source;
  return done;
}

// Load, evaluate, transform, save. Any error ends this file only; the writers commit atomically,
// so a failure leaves no partial target and an existing one untouched.
FileOutcome BatchDriver::Convert(const std::string& source, const std::string& target,
                                 bool may_replace, FileLog& log, Turns& turns) {
  FileOutcome outcome;
  outcome.status = FileStatus::kFailed;
  try {
    auto rec = std::make_unique<TLUM32>();
    if (!Load(*rec, source)) {
      // Nothing was read: no output and no DEST entry for this file.
      outcome.reason =
          rec->ReadError.empty() ? "not a recognised photometric file" : rec->ReadError;
      return outcome;
    }
    CalcFlux(*rec);
    rec->FindPeak();
    const float lor0 = rec->LOR;
    rec->DateUser = FormatShortDate(TodayAsDays());
    outcome.source_code = rec->FileFormat;
    RunPipeline(*rec, target_code_, outcome.source_code, lor0, settings_,
                [&log](std::string_view marker) { log.Write(marker); });
    try {
      try {
        Save(*rec, target_code_, target,
             may_replace ? ExistingTarget::kReplace : ExistingTarget::kKeep);
      } catch (const TargetExistsError&) {
        // Written by someone else since the check: the user decides as for any existing target.
        const OverwriteAnswer answer = turns.Ask(ui_, target);
        if (answer != OverwriteAnswer::kYes && answer != OverwriteAnswer::kAll) {
          outcome.status = FileStatus::kSkipped;
          outcome.reason = target + " exists, not overwritten";
          outcome.target_existed = true;
          return outcome;
        }
        Save(*rec, target_code_, target);
      }
    } catch (const IoError& e) {
      outcome.reason = std::string(e.what()) + " " + target;
      return outcome;
    }
    Destination(log, target);
    outcome.status = FileStatus::kConverted;
  } catch (const std::bad_alloc&) {
    outcome.reason = "out of memory";
  } catch (const std::exception& e) {
    outcome.reason = e.what();
  }
  return outcome;
}

}  // namespace lumatra
