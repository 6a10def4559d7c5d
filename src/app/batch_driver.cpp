#include "app/batch_driver.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
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
  ui_.RunStarted();
  log_failed_ = false;
  if (!log_path_.empty()) log_.Open(log_path_);
  CheckLog();
  RemoveStaleTempFiles(settings_.DSTDIR);  // left by runs that were killed mid-write
  NoteSharedTargets(files);
  Run(files);
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

void BatchDriver::Run(std::vector<std::string>& files) {
  bool overwrite_all = false;
  for (std::size_t n = files.size(); n > 0 && !files.empty(); --n) {
    if (!running_) return;
    ui_.ProcessPendingInput();
    if (!running_) return;  // the stop press arrived with the pending input
    const std::string source = files.front();
    const FileOutcome outcome = ConvertFile(source, overwrite_all);
    CheckLog();
    files.erase(files.begin());
    ui_.FileDone(source, outcome, files.size());
  }
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
  for (std::size_t i = 1; i < hashed.size(); ++i) {
    if (hashed[i].first != hashed[i - 1].first) continue;
    const std::string target = target_of(hashed[i].second);
    for (std::size_t j = i; j-- > 0 && hashed[j].first == hashed[i].first;)
      if (target_of(hashed[j].second) == target) shared_targets_.emplace(target, std::string());
  }
}

FileOutcome BatchDriver::ConvertFile(const std::string& source, bool& overwrite_all) {
  log_.BeginFile(source);
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
  const auto shared = shared_targets_.find(outcome.target);
  if (shared != shared_targets_.end() && !shared->second.empty()) {
    outcome.reason =
        FileNameOf(outcome.target) + " was already written from " + shared->second + " in this run";
    return outcome;
  }
  const bool exists = FileExists(outcome.target);
  if (exists && !overwrite_all) {
    switch (AskToOverwrite(ui_, outcome.target)) {
      case OverwriteAnswer::kAll:
        overwrite_all = true;
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
  FileOutcome done = Convert(source, outcome.target, exists || overwrite_all);
  done.target = outcome.target;
  if (done.status == FileStatus::kConverted && shared != shared_targets_.end())
    shared->second = source;
  return done;
}

// Load, evaluate, transform, save. Any error ends this file only; the writers commit atomically,
// so a failure leaves no partial target and an existing one untouched.
FileOutcome BatchDriver::Convert(const std::string& source, const std::string& target,
                                 bool may_replace) {
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
    source_code_ = rec->FileFormat;
    RunPipeline(*rec, target_code_, source_code_, lor0, settings_,
                [this](std::string_view marker) { log_.Mark(marker); });
    try {
      try {
        Save(*rec, target_code_, target,
             may_replace ? ExistingTarget::kReplace : ExistingTarget::kKeep);
      } catch (const TargetExistsError&) {
        // Written by someone else since the check: the user decides as for any existing target.
        const OverwriteAnswer answer = AskToOverwrite(ui_, target);
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
    log_.Destination(target);
    outcome.status = FileStatus::kConverted;
  } catch (const std::bad_alloc&) {
    outcome.reason = "out of memory";
  } catch (const std::exception& e) {
    outcome.reason = e.what();
  }
  return outcome;
}

}  // namespace lumatra
