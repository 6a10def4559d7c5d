// lumatra-cli check: every finding per file, what the reader mended and what the data says, with
// a summary line per file and in total.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "app/file_check.h"
#include "cli/cli_commands.h"
#include "cli/cli_json.h"
#include "cli/cli_settings.h"
#include "model/lum32.h"
#include "support/findings.h"

namespace lumatra {

namespace {

struct CheckOptions {
  bool json = false;
  bool strict = false;
  std::vector<std::string> files;
};

struct Tally {
  std::size_t errors = 0, warnings = 0, notes = 0;
  void Add(const Findings& f) {
    errors += f.Count(Severity::kError);
    warnings += f.Count(Severity::kWarning);
    notes += f.Count(Severity::kNote);
  }
};

std::string Counted(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Summary(const Tally& t) {
  return Counted(t.errors, "error", "errors") + ", " + Counted(t.warnings, "warning", "warnings") +
         ", " + Counted(t.notes, "note", "notes");
}

// "file:12: warning: message [code]", as compilers report, so editors can jump to the line.
void PrintText(std::ostream& out, const std::string& file, const Findings& findings) {
  const std::string shown = Printable(file);
  for (const Finding& f : findings.All()) {
    out << shown;
    if (f.line) out << ":" << f.line;
    out << ": " << SeverityName(f.severity) << ": " << Printable(Cp1252ToUtf8(f.message)) << " ["
        << f.code << "]\n";
  }
  Tally t;
  t.Add(findings);
  out << shown << ": " << Summary(t) << "\n";
}

Json FileJson(const std::string& file, bool loaded, const TLUM32& rec, const Findings& findings) {
  Json o;
  o["file"] = PathJson(file);
  o["loaded"] = loaded;
  if (loaded) o["format_code"] = +rec.FileFormat;
  o["errors"] = findings.Count(Severity::kError);
  o["warnings"] = findings.Count(Severity::kWarning);
  o["notes"] = findings.Count(Severity::kNote);
  Json list = Json::array();
  for (const Finding& f : findings.All())
    list.push_back({{"code", f.code},
                    {"severity", SeverityName(f.severity)},
                    {"line", f.line},
                    {"message", TextJson(f.message)}});
  o["findings"] = std::move(list);
  return o;
}

void RunCheck(const CheckOptions& opt, CliStreams& io) {
  Tally total;
  for (const std::string& file : opt.files) {
    TLUM32 rec;
    Findings findings;
    const bool loaded = LoadAndCheck(rec, file, findings);
    total.Add(findings);
    if (opt.json)
      io.out << JsonLine(FileJson(file, loaded, rec, findings));
    else
      PrintText(io.out, file, findings);
  }
  if (!opt.json)
    io.out << Counted(opt.files.size(), "file", "files") << ": " << Summary(total) << "\n";
  const bool failed = total.errors > 0 || (opt.strict && total.warnings > 0);
  io.status = failed ? 1 : 0;
}

}  // namespace

void AddCheckCommand(CLI::App& app, CliStreams& io) {
  auto opt = std::make_shared<CheckOptions>();
  CLI::App* cmd = app.add_subcommand(
      "check",
      "report what is wrong with photometric files: what the reader mended, declared "
      "values against the table, the table and the fields");
  cmd->add_flag("--json", opt->json, "one JSON object per file per line");
  cmd->add_flag("--strict", opt->strict, "exit with 1 on warnings as well as on errors");
  cmd->add_option("files", opt->files, "photometric files")->required();
  cmd->callback([opt, &io] { RunCheck(*opt, io); });
}

}  // namespace lumatra
