// lumatra-cli diagram: writes the light distribution diagrams of each file as SVG files named
// after the source and the kind ("lamp-polar.svg").
#include <CLI/CLI.hpp>
#include <exception>
#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "cli/cli_commands.h"
#include "formats/file_io.h"
#include "model/lum32.h"
#include "photometry/diagram.h"
#include "photometry/diagram_svg.h"
#include "photometry/evaluation.h"

namespace lumatra {

namespace {

namespace fs = std::filesystem;

struct DiagramCommandOptions {
  std::string kind = "all";
  bool absolute = false;
  std::string out_dir = ".";
  std::vector<std::string> files;
};

// What --kind accepts: the name of each kind, and "all".
std::vector<std::string> KindChoices() {
  std::vector<std::string> names;
  for (DiagramKind kind : kAllDiagramKinds)
    names.emplace_back(DiagramKindName(kind));
  names.emplace_back("all");
  return names;
}

std::vector<DiagramKind> ChosenKinds(const std::string& name) {
  if (name == "all") return {std::begin(kAllDiagramKinds), std::end(kAllDiagramKinds)};
  return {*DiagramKindFromName(name)};  // the option's check lets only known names through
}

// Writes the diagrams of one file; throws on a file that does not load or cannot be written, and
// on a target an earlier file of the run wrote (two sources of one base name).
std::size_t WriteDiagrams(const std::string& file, const DiagramCommandOptions& opt,
                          std::set<std::string>& targets) {
  TLUM32 rec;
  if (!Load(rec, file)) throw std::runtime_error(rec.ReadError);
  CalcFlux(rec);
  rec.FindPeak();
  std::size_t written = 0;
  for (DiagramKind kind : ChosenKinds(opt.kind)) {
    const Diagram diagram = BuildDiagram(rec, kind, {opt.absolute});
    const fs::path target = fs::path(opt.out_dir) /
                            (fs::path(file).stem().string() + "-" + DiagramKindName(kind) + ".svg");
    if (!targets.insert(target.string()).second)
      throw std::runtime_error(target.string() + " was written for an earlier file of this run");
    WriteFileAtomically(target.string(), SvgText(diagram));
    ++written;
  }
  return written;
}

void RunDiagram(const DiagramCommandOptions& opt, CliStreams& io) {
  std::error_code ignored;
  fs::create_directories(opt.out_dir, ignored);
  std::size_t written = 0, failed = 0;
  std::set<std::string> targets;
  for (const std::string& file : opt.files) {
    try {
      written += WriteDiagrams(file, opt, targets);
    } catch (const std::exception& e) {
      ++failed;
      io.err << file << ": " << e.what() << "\n";
    }
  }
  io.out << written << " diagrams written, " << failed << " failed\n";
  if (failed) io.status = 1;
}

}  // namespace

void AddDiagramCommand(CLI::App& app, CliStreams& io) {
  auto opt = std::make_shared<DiagramCommandOptions>();
  CLI::App* cmd = app.add_subcommand("diagram", "write light distribution diagrams as SVG");
  cmd->add_option("--kind", opt->kind, "polar, cartesian, cone, heatmap or all (the default)")
      ->check(CLI::IsMember(KindChoices()));
  cmd->add_flag("--absolute", opt->absolute, "candela from the lamp flux instead of cd/klm");
  cmd->add_option("--out", opt->out_dir, "folder of the SVG files (default: the current one)");
  cmd->add_option("files", opt->files, "photometric files")->required();
  cmd->callback([opt, &io] { RunDiagram(*opt, io); });
}

}  // namespace lumatra
