// lumatra-cli convert: loads, evaluates and saves each file in the target format.
#include <CLI/CLI.hpp>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "formats/file_io.h"
#include "model/format_table.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/litg.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

struct ConvertOptions {
  std::string to;
  std::string out_dir;
  bool force = false;
  std::string log;
  std::vector<std::string> files;
};

std::vector<std::string> WriterNames() {
  std::vector<std::string> names;
  for (const WriterEntry& w : Writers())
    if (!w.cli_name.empty()) names.emplace_back(w.cli_name);
  return names;
}

// Target: the output folder as given, the source's base name with the target extension, the
// file name in upper case.
std::string TargetPath(const std::string& dir, const std::string& source,
                       std::string_view extension) {
  std::string name = UpperCase(JustName(source) + std::string(extension));
  return (std::filesystem::path(dir) / name).string();
}

void RunConvert(const ConvertOptions& opt, CliStreams& io) {
  const WriterEntry* writer = FindWriterByName(opt.to);
  std::ofstream log;
  if (!opt.log.empty()) log.open(opt.log, std::ios::binary | std::ios::trunc);
  std::size_t converted = 0, failed = 0, skipped = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& file : opt.files) {
    if (log.is_open()) log << file << "  " << std::flush;
    const std::string target = TargetPath(opt.out_dir, file, writer->extension);
    if (FileExists(target) && !opt.force) {
      io.err << file << ": " << target << " exists (use --force to overwrite)\n";
      ++skipped;
      continue;
    }
    try {
      TLUM32 rec;
      if (!rec.Load(file)) {
        io.err << file << ": " << rec.ReadError << "\n";
        ++failed;
        continue;
      }
      CalcFlux(rec);
      rec.FindPeak();
      CalcDirectRatios(rec);
      rec.Save(writer->code, target);
    } catch (const std::exception& e) {
      io.err << file << ": " << e.what() << "\n";
      ++failed;
      continue;
    }
    if (log.is_open()) log << " DEST : " << target << "\r\n" << std::flush;
    ++converted;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  io.out << converted << " converted, " << failed << " failed, " << skipped << " skipped in "
         << seconds << " s (" << (seconds > 0 ? static_cast<double>(opt.files.size()) / seconds : 0)
         << " files/s)\n";
  io.status = (failed || skipped) ? 1 : 0;
}

}  // namespace

void AddConvertCommand(CLI::App& app, CliStreams& io) {
  auto opt = std::make_shared<ConvertOptions>();
  CLI::App* cmd = app.add_subcommand("convert", "convert photometric files into another format");
  cmd->add_option("--to", opt->to, "target format")
      ->required()
      ->check(CLI::IsMember(WriterNames()));
  cmd->add_option("--out", opt->out_dir, "target folder")
      ->required()
      ->check(CLI::ExistingDirectory);
  cmd->add_flag("--force", opt->force, "overwrite existing targets");
  cmd->add_option("--log", opt->log, "log file (one line per source file)");
  cmd->add_option("files", opt->files, "photometric files")->required();
  cmd->callback([opt, &io] { RunConvert(*opt, io); });
}

}  // namespace lumatra
