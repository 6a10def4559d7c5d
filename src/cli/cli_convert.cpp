// lumatra-cli convert: the window's batch conversion on the command line. It starts from the
// stored settings, takes overrides for this one run (never saved), and runs every file through
// the batch driver and the conversion pipeline.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/batch_driver.h"
#include "app/batch_sources.h"
#include "app/format_table.h"
#include "app/settings_store.h"
#include "cli/cli_commands.h"
#include "cli/cli_settings.h"
#include "support/cp1252.h"
#include "support/messages.h"

namespace lumatra {

namespace {

using Override = std::function<void(ConversionSettings&)>;

struct ConvertOptions {
  std::string to;
  std::string out_dir;
  bool force = false;
  std::string log;
  std::string settings_file;
  unsigned jobs = 0;  // 0: one per core
  bool recursive = false;
  bool quiet = false;
  std::vector<std::string> files;
  std::vector<Override> overrides;  // in command-line order
};

std::vector<std::string> WriterNames() {
  std::vector<std::string> names;
  for (const FormatRow& format : Formats())
    if (format.write && !format.cli_name.empty()) names.emplace_back(format.cli_name);
  return names;
}

// One updating line on a terminal: files done of all, files per second and the time left.
class ProgressLine {
 public:
  ProgressLine(std::ostream& err, bool shown) : err_(err), shown_(shown) {}
  void Start(std::size_t total) {
    total_ = total;
    start_ = last_ = std::chrono::steady_clock::now();
  }
  void Show(std::size_t remaining) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(200) && remaining > 0) return;
    last_ = now;
    const std::size_t done = total_ - remaining;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    char text[128];
    std::snprintf(text, sizeof text, "\r%zu of %zu files, %.0f files/s, %.0f s left\x1b[K", done,
                  total_, rate, rate > 0 ? static_cast<double>(remaining) / rate : 0.0);
    err_ << text << std::flush;
    visible_ = true;
  }
  // Before any other text on the terminal.
  void Clear() {
    if (visible_) err_ << "\r\x1b[K" << std::flush;
    visible_ = false;
  }

 private:
  std::ostream& err_;
  bool shown_;
  bool visible_ = false;
  std::size_t total_ = 0;
  std::chrono::steady_clock::time_point start_, last_;
};

// Prints each file that did not convert as "FILE: reason" and counts the outcomes.
class CliBatchUi : public BatchUi {
 public:
  CliBatchUi(CliStreams& io, bool force, bool progress)
      : io_(io), force_(force), progress_(io.err, progress) {}

  // Nobody can be asked: existing targets stay unless --force said All.
  OverwriteAnswer AskOverwrite(const std::string&, const std::string&) override {
    return force_ ? OverwriteAnswer::kAll : OverwriteAnswer::kNo;
  }

  void RunStarted() override { progress_.Start(total); }
  void ProcessPendingInput() override { ++files_open; }
  void RunEnded(bool) override { progress_.Clear(); }

  void LogFailed(const std::string& message) override {
    progress_.Clear();
    log_failed = true;
    io_.err << "lumatra-cli: " << message << "\n";
  }

  void FileDone(const std::string& source, const FileOutcome& outcome,
                std::size_t remaining) override {
    --files_open;
    Note(source, outcome);
    progress_.Show(remaining);
  }

  std::size_t total = 0;
  std::size_t converted = 0, failed = 0, skipped = 0;
  bool log_failed = false;
  std::atomic<int> files_open = 0;  // files started whose outcome is not reported yet

 private:
  void Note(const std::string& source, const FileOutcome& outcome) {
    if (outcome.status != FileStatus::kConverted) progress_.Clear();
    switch (outcome.status) {
      case FileStatus::kConverted:
        ++converted;
        return;
      case FileStatus::kSkipped:
        ++skipped;
        io_.err << source << ": " << outcome.reason
                << (outcome.target_existed ? " (use --force to overwrite)" : "") << "\n";
        return;
      case FileStatus::kFailed:
        ++failed;
        io_.err << source << ": " << outcome.reason << "\n";
        return;
    }
  }

  CliStreams& io_;
  bool force_;
  ProgressLine progress_;
};

// Error boxes of the core as stderr lines. A reader's complaint about a file is left out: the
// file's own line "FILE: reason" already says it, and names the file.
class CliMessages : public MessageSink {
 public:
  CliMessages(std::ostream& err, const CliBatchUi& ui)
      : err_(err), ui_(ui), previous_(SetMessageSink(this)) {}
  ~CliMessages() override { SetMessageSink(previous_); }
  // A complaint about the run itself (a target folder that cannot be flushed) fails the run.
  void ShowError(std::string_view text) override {
    if (ui_.files_open > 0) return;
    std::lock_guard lock(mutex_);
    err_ << "lumatra-cli: " << text << "\n";
    run_failed = true;
  }

  std::atomic<bool> run_failed = false;

 private:
  std::mutex mutex_;
  std::ostream& err_;
  const CliBatchUi& ui_;
  MessageSink* previous_;
};

const FormatRow& TargetWriter(const ConvertOptions& opt, const ConversionSettings& settings) {
  if (!opt.to.empty()) return *FindWriterByName(opt.to);
  const FormatRow* stored = FindWriter(settings.ACTFMT);
  if (!stored || stored->cli_name.empty())
    throw CLI::ValidationError("--to", "no target format given and the stored ACTFMT " +
                                           std::to_string(settings.ACTFMT) + " names none");
  return *stored;
}

// The target folder, created with its parents when missing; "" or why it cannot be used.
std::string CreateTargetFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return {};
  if (fs::exists(folder, ec)) return "target folder " + folder + " is not a folder";
  fs::create_directories(folder, ec);
  if (ec) return "cannot create the target folder " + folder + ": " + ec.message();
  return {};
}

// Appends the paths listed in `in`, one a line (line ends CR LF or LF; empty lines skipped).
void AddListedFiles(std::istream& in, std::vector<std::string>& files) {
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) files.push_back(std::move(line));
  }
}

// The sources as given: paths, folders (their convertible files), @FILE and "-" (the paths
// listed in FILE or on standard input). "" or why an input cannot be read.
std::string ExpandInputs(const ConvertOptions& opt, std::vector<std::string>& files) {
  for (const std::string& input : opt.files) {
    std::error_code ec;
    if (input == "-") {
      AddListedFiles(std::cin, files);
    } else if (input.size() > 1 && input.front() == '@') {
      std::ifstream list(input.substr(1), std::ios::binary);
      if (!list) return "cannot read the list file " + input.substr(1);
      AddListedFiles(list, files);
    } else if (std::filesystem::is_directory(input, ec)) {
      if (std::string reason = AddFolderFiles(input, opt.recursive, IesExtensions(), files);
          !reason.empty())
        return reason;
    } else {
      files.push_back(input);
    }
  }
  return {};
}

void RunConvert(const ConvertOptions& opt, CliStreams& io) {
  ConversionSettings settings = LoadCliSettings(opt.settings_file);
  for (const Override& apply : opt.overrides)
    apply(settings);
  if (!opt.out_dir.empty()) settings.DSTDIR = opt.out_dir;
  if (settings.DSTDIR.empty())
    throw CLI::ValidationError("--out", "no target folder: give --out or store DSTDIR");
  const FormatRow& writer = TargetWriter(opt, settings);
  std::vector<std::string> files;
  if (std::string reason = ExpandInputs(opt, files); !reason.empty()) {
    io.err << "lumatra-cli: " << reason << "\n";
    io.status = 1;
    return;
  }
  if (!opt.log.empty()) {
    if (std::string conflict = LogPathConflict(opt.log, files, settings.DSTDIR, writer.code);
        !conflict.empty())
      throw CLI::ValidationError("--log", conflict);
  }
  if (std::string reason = CreateTargetFolder(settings.DSTDIR); !reason.empty()) {
    io.err << "lumatra-cli: " << reason << "\n";
    io.status = 1;
    return;
  }

  const bool progress = !opt.quiet && &io.err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
  CliBatchUi ui(io, opt.force, progress);
  ui.total = files.size();
  CliMessages messages(io.err, ui);
  BatchDriver driver(settings, ui, opt.log);
  driver.SetThreads(opt.jobs != 0 ? opt.jobs : std::max(1u, std::thread::hardware_concurrency()));
  const std::size_t total = files.size();
  const auto start = std::chrono::steady_clock::now();
  driver.StartStop(files, writer.code);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  io.out << ui.converted << " converted, " << ui.failed << " failed, " << ui.skipped
         << " skipped in " << seconds << " s ("
         << (seconds > 0 ? static_cast<double>(total) / seconds : 0) << " files/s)\n";
  io.status = (ui.failed || ui.skipped || ui.log_failed || messages.run_failed) ? 1 : 0;
}

CLI::Validator Readable(const std::string& description,
                        std::function<bool(const std::string&)> valid) {
  return CLI::Validator(
      [description, valid](std::string& text) {
        return valid(text) ? std::string() : "expected " + description + ", not " + text;
      },
      description);
}

void AddOverrides(CLI::App* cmd, ConvertOptions& opt) {
  auto add = [&opt](Override o) { opt.overrides.push_back(std::move(o)); };
  auto flag = [cmd, add](const std::string& names, const std::string& help,
                         bool ConversionSettings::*field) {
    cmd->add_flag_function(
        names,
        [add, field](std::int64_t count) {
          add([=](ConversionSettings& s) { s.*field = count > 0; });
        },
        help);
  };

  cmd->add_option_function<std::string>(
         "--c-step",
         [add](const std::string& v) {
           add([v](ConversionSettings& s) { ParseCStep(v, s.PLANES); });
         },
         "C-plane step for this run: keep, 2.5, 5, 15, 22.5, 30, 45 or 90")
      ->check(Readable("keep|2.5|5|15|22.5|30|45|90", [](const std::string& v) {
        std::int32_t i = 0;
        return ParseCStep(v, i);
      }));
  cmd->add_option_function<std::string>(
         "--gamma-step",
         [add](const std::string& v) {
           add([v](ConversionSettings& s) { ParseGammaStep(v, s.ANGLES); });
         },
         "gamma step for this run: keep, 1, 2.5, 5 or 10")
      ->check(Readable("keep|1|2.5|5|10", [](const std::string& v) {
        std::int32_t i = 0;
        return ParseGammaStep(v, i);
      }));
  cmd->add_option_function<std::string>(
         "--symmetry",
         [add](const std::string& v) {
           add([v](ConversionSettings& s) { ParseSymmetry(v, s.SYMM); });
         },
         "symmetry for this run: keep, none, rotational, c0-c180, c90-c270 or both")
      ->check(Readable("keep|none|rotational|c0-c180|c90-c270|both", [](const std::string& v) {
        std::int32_t i = 0;
        return ParseSymmetry(v, i);
      }));
  cmd->add_option_function<std::string>(
      "--eul1",
      [add](const std::string& v) {
        add([v](ConversionSettings& s) { s.EUL1 = Utf8ToCp1252(v).substr(0, kSettingTextMax); });
      },
      "EULUMDAT line 1 text (at most 80 characters kept)");
  cmd->add_option_function<std::string>(
         "--label-lines",
         [add](const std::string& v) {
           add([v](ConversionSettings& s) { ParseLabelLines(v, s); });
         },
         "EULUMDAT fields of IES LM-63-1986 label lines 1..6: six of none, company, report, "
         "name, number, date, lamp, comma-separated")
      ->check(
          Readable("six of none|company|report|name|number|date|lamp", [](const std::string& v) {
            ConversionSettings s;
            return ParseLabelLines(v, s);
          }));
  flag("--rotate90,!--no-rotate90", "turn all C planes by 90 degrees", &ConversionSettings::TURN);
  flag("--unformatted,!--no-unformatted", "unformatted IES output", &ConversionSettings::unformat);
  flag("--c360,!--no-c360", "write the C0 plane again as C360", &ConversionSettings::use360);
  flag("--cibse2,!--no-cibse2", "TM14 output carries the CIBSE/2 block",
       &ConversionSettings::CIBS2);
  flag("--eul1-always,!--eul1-if-empty", "EUL1 replaces every EULUMDAT line 1, not only empty ones",
       &ConversionSettings::EUV1);
}

}  // namespace

void AddConvertCommand(CLI::App& app, CliStreams& io) {
  auto opt = std::make_shared<ConvertOptions>();
  CLI::App* cmd = app.add_subcommand(
      "convert", "convert photometric files with the stored settings and one-run overrides");
  cmd->add_option("--to", opt->to, "target format (default: the stored ACTFMT)")
      ->check(CLI::IsMember(WriterNames()));
  cmd->add_option("--out", opt->out_dir,
                  "target folder, created when missing (default: the stored DSTDIR)");
  cmd->add_flag("--force", opt->force, "overwrite existing targets (answer All)");
  cmd->add_option("--log", opt->log, "log file (one line per source file)");
  cmd->add_option("--settings", opt->settings_file,
                  "settings file to use instead of the per-user store");
  cmd->add_option("-j,--jobs", opt->jobs, "files converted at once (default: one per core)")
      ->check(CLI::Range(1, 1024));
  cmd->add_flag("-r,--recursive", opt->recursive, "folders given: their subfolders too");
  cmd->add_flag("-q,--quiet", opt->quiet, "no progress line");
  AddOverrides(cmd, *opt);
  cmd->add_option("files", opt->files,
                  "photometric files, folders (their photometric files), @LIST or - (paths "
                  "listed in LIST or on standard input, one a line)")
      ->required();
  cmd->callback([opt, &io] { RunConvert(*opt, io); });
}

}  // namespace lumatra
