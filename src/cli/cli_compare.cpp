// lumatra-cli compare: loads and evaluates two files and reports what a reviewer of a conversion
// wants to see: the derived values side by side and how far the intensities lie apart.
#include <CLI/CLI.hpp>
#include <cmath>
#include <memory>
#include <string>

#include "app/file_check.h"
#include "cli/cli_commands.h"
#include "cli/cli_json.h"
#include "cli/cli_settings.h"
#include "formats/textio.h"
#include "model/lum32.h"
#include "photometry/comparison.h"
#include "photometry/litg.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

struct CompareOptions {
  bool json = false;
  double tolerance = 0.5;  // percent of the peak
  std::string a, b;
};

// Fixed-point text as the writers give it (whatever the locale, no "-0"); "-" for no number.
std::string Fixed(double x, int decimals) {
  return std::isfinite(x) ? FormatPadded(x, 0, decimals) : "-";
}

std::string Row(const char* name, double a, double b, int decimals) {
  std::string row = name;
  row.resize(16, ' ');
  const std::string change = a != 0 ? Fixed(100.0 * (b - a) / a, 2) + " %" : Fixed(b - a, decimals);
  return row + LeftPad(Fixed(a, decimals), 12) + LeftPad(Fixed(b, decimals), 12) +
         LeftPad(change, 12) + "\n";
}

std::string Direction(double c, double gamma) {
  return "C " + Fixed(c, 1) + " gamma " + Fixed(gamma, 1);
}

void PrintText(std::ostream& out, const CompareOptions& opt, const Comparison& r, bool agree) {
  out << "A: " << Printable(opt.a) << "\nB: " << Printable(opt.b) << "\n"
      << "                           A           B    B vs A\n"
      << Row("flux (lm/klm)", r.a.flux, r.b.flux, 1) << Row("LOR (%)", r.a.lor, r.b.lor, 2)
      << Row("DFF (%)", r.a.dff, r.b.dff, 2) << Row("peak (cd/klm)", r.a.peak, r.b.peak, 1)
      << "peak direction  A at " << Direction(r.a.peak_c, r.a.peak_gamma) << ", B at "
      << Direction(r.b.peak_c, r.b.peak_gamma) << "\n"
      << "largest difference " << Fixed(r.largest, 2) << " cd/klm (" << Fixed(r.largest_percent, 3)
      << " % of the peak) at " << Direction(r.largest_c, r.largest_gamma) << "\n"
      << "mean difference " << Fixed(r.mean, 3) << " cd/klm (" << Fixed(r.mean_percent, 3)
      << " % of the peak) over " << r.points << " directions\n"
      << "direct ratios (room index: A B)\n";
  for (std::size_t k = 0; k < 10; ++k)
    out << "  " << kRoomIndexNames[k] << ": " << Fixed(r.a.direct_ratios[k], 3) << " "
        << Fixed(r.b.direct_ratios[k], 3) << "\n";
  out << (agree ? "agree within " : "differ by more than ") << Fixed(opt.tolerance, 2)
      << " % of the peak\n";
}

Json SummaryJson(const PhotometricSummary& s) {
  return {{"flux", s.flux},
          {"lor", s.lor},
          {"dff", s.dff},
          {"peak", s.peak},
          {"peak_c", s.peak_c},
          {"peak_gamma", s.peak_gamma},
          {"direct_ratios", s.direct_ratios}};
}

Json ComparisonJson(const CompareOptions& opt, const Comparison& r, bool agree) {
  Json o;
  o["a"] = PathJson(opt.a);
  o["b"] = PathJson(opt.b);
  o["agree"] = agree;
  o["tolerance_percent"] = opt.tolerance;
  o["summary_a"] = SummaryJson(r.a);
  o["summary_b"] = SummaryJson(r.b);
  o["largest_difference"] = r.largest;
  o["largest_difference_percent"] = r.largest_percent;
  o["largest_difference_c"] = r.largest_c;
  o["largest_difference_gamma"] = r.largest_gamma;
  o["mean_difference"] = r.mean;
  o["mean_difference_percent"] = r.mean_percent;
  o["directions"] = r.points;
  return o;
}

void RunCompare(const CompareOptions& opt, CliStreams& io) {
  TLUM32 a, b;
  bool failed = false;
  for (auto [rec, path] : {std::pair{&a, &opt.a}, std::pair{&b, &opt.b}}) {
    if (LoadEvaluated(*rec, *path)) continue;
    io.err << Printable(*path) << ": " << Printable(Cp1252ToUtf8(rec->ReadError)) << "\n";
    failed = true;
  }
  if (failed) {
    io.status = 2;
    return;
  }
  const Comparison result = CompareRecords(a, b);
  const bool agree = result.largest_percent <= opt.tolerance;
  if (opt.json)
    io.out << JsonLine(ComparisonJson(opt, result, agree));
  else
    PrintText(io.out, opt, result, agree);
  io.status = agree ? 0 : 1;
}

}  // namespace

void AddCompareCommand(CLI::App& app, CliStreams& io) {
  auto opt = std::make_shared<CompareOptions>();
  CLI::App* cmd = app.add_subcommand(
      "compare", "compare two photometric files: derived values and intensity differences");
  cmd->add_flag("--json", opt->json, "the comparison as one JSON object");
  cmd->add_option("--tolerance", opt->tolerance,
                  "largest intensity difference, in % of the peak, that still agrees (0.5)")
      ->check(CLI::NonNegativeNumber);
  cmd->add_option("a", opt->a, "first file")->required();
  cmd->add_option("b", opt->b, "second file")->required();
  cmd->callback([opt, &io] { RunCompare(*opt, io); });
}

}  // namespace lumatra
