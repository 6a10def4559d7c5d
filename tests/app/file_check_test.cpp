// lumatra-cli check's findings: one small damaged copy of a clean file per check, each row the
// lines it changes and the finding it must give (code, severity, line); the clean files give
// none. The corpus: every file loads under the check, none has an error, and the repairs the
// readers make on real files are reported at their lines.
#include "app/file_check.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "app/pipeline.h"
#include "model/lum32.h"
#include "photometry/comparison.h"
#include "support/findings.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using Lines = std::map<int, std::string>;  // 1-based line -> its new text (may hold line ends)

struct Damage {
  const char* base;  // under tests/data
  Lines lines;
  const char* code;
  Severity severity;
  std::size_t line;
  const char* extension = nullptr;  // of the damaged copy; that of `base` when null
};

std::string Damaged(const std::string& base, const Lines& changes) {
  const std::string text = testing::ReadFile(testing::TestDataDir() / base);
  const std::string eol = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line.substr(0, line.find('\r')));
  for (const auto& [n, line] : changes)
    (n > static_cast<int>(lines.size()) ? lines.emplace_back() : lines[n - 1]) = line;
  std::string out;
  for (const std::string& line : lines)
    out += line + eol;
  return out;
}

std::string Listed(const Findings& findings) {
  std::string out;
  for (const Finding& f : findings.All())
    out += "  " + std::to_string(f.line) + " " + f.code + " " +
           std::string(SeverityName(f.severity)) + ": " + f.message + "\n";
  return out;
}

const std::string kLdt = "check/clean.ldt", kIes = "ies/williams_1995.ies";
std::string Tabbed(std::string line) {
  for (char& c : line)
    if (c == ' ') c = '\t';
  return line;
}

constexpr auto kError = Severity::kError, kWarning = Severity::kWarning, kNote = Severity::kNote;
const std::string kPlane2 = "3962. 3912. 3776. 3603. 3409. 3178. 2885. 2522. 2071. 1569.";

const Damage kDamages[] = {
    {"check/clean.ldt", {{3, "x"}}, "load.failed", kError, 3},
    {"check/clean.ldt", {{2, "0"}}, "ldt.type-indicator", kNote, 2},
    {"ies/williams_1995.ies", {}, "load.other-format", kNote, 0, ".ldt"},
    {"check/clean.ldt", {{5, "150"}}, "ldt.dc-mismatch", kWarning, 5},
    {"check/clean.ldt", {{7, "30"}}, "ldt.dg-mismatch", kWarning, 7},
    {"check/clean.ldt", {{13, "10 cm"}}, "ldt.not-a-number", kWarning, 13},
    {"check/clean.ldt", {{29, "1000 lm"}}, "ldt.text-after-number", kNote, 29},
    {"check/clean.ldt", {{32, "n/a"}}, "ldt.not-a-number", kWarning, 32},
    {"check/clean.ldt", {{23, "65,34"}}, "ldt.decimal-comma", kNote, 23},
    {"check/clean.ldt", {{24, "2.0"}}, "ldt.factor", kNote, 24},
    {"check/clean.ldt", {{27, "-1"}}, "ldt.absolute-photometry", kNote, 27},
    {"check/clean.ldt", {{45, "90.0"}, {46, "135.0"}, {47, "180.0"}}, "ldt.gamma-range", kNote, 45},
    {"check/clean.ldt", {{54, "end of data"}}, "ldt.text-after-table", kNote, 54},
    {"check/clean.ldt", {{54, "25.0"}}, "ldt.extra-values", kWarning, 54},
    {"check/clean.ldt", {{22, "90.0"}}, "declared.dff", kWarning, 22},
    {"check/clean.ldt", {{23, "70.0"}}, "declared.lor", kWarning, 23},
    {"check/clean.ldt", {{35, "0.5"}}, "declared.direct-ratios", kWarning, 35},
    {"check/clean.ldt",
     {{33, "0\n0\n0\n0\n0\n0\n0\n0\n0\n0"}},
     "declared.direct-ratios-placeholder",
     kNote,
     33},
    {"check/clean.ldt", {{24, "3.0"}}, "flux.exceeds-lamps", kWarning, 0},
    {"check/clean.ldt", {{50, "-5.0"}}, "table.negative", kWarning, 0},
    {"check/clean.ldt",
     {{48, "0"}, {49, "0"}, {50, "0"}, {51, "0"}, {52, "0"}, {53, "0"}},
     "table.all-zero",
     kError,
     0},
    {"check/clean.ldt", {{51, "0"}, {52, "0"}, {53, "0"}}, "table.dark-plane", kWarning, 0},
    {"check/clean.ldt", {{51, "150.0"}}, "table.pole-mismatch", kWarning, 0},
    {"check/clean.ldt", {{48, "2000000"}}, "table.peak-too-high", kWarning, 0},
    {"check/clean.ldt", {{52, "150.0"}, {53, "50.0"}}, "table.unused-symmetry", kNote, 0},
    {"check/clean.ldt", {{13, "0"}, {14, "0"}}, "fields.luminaire-size", kWarning, 0},
    {"check/clean.ldt", {{16, "0"}, {17, "0"}}, "fields.area-size", kWarning, 0},
    {"check/clean.ldt", {{16, "300"}}, "fields.area-larger", kWarning, 0},
    {"check/clean.ldt", {{32, "0"}}, "fields.wattage", kWarning, 0},
    {"check/clean.ldt", {{27, "0"}}, "fields.lamps", kWarning, 0},
    {"check/clean.ldt", {{29, "0"}}, "fields.lamp-flux", kWarning, 0},
    {"check/clean.ldt", {{30, ""}}, "fields.colour-temperature", kNote, 0},
    {"check/clean.ldt", {{31, ""}}, "fields.colour-rendering", kNote, 0},
    {"ies/williams_1995.ies", {{3, "[OTHER] x"}}, "ies.keyword-missing", kWarning, 0},
    {"ies/williams_1995.ies",
     {{2, "[TEST]" + std::string(80, 'x')}},
     "ies.line-too-long",
     kWarning,
     2},
    {"ies/williams_1995.ies", {{9, "TILT=INCLUDE\n1\n1\n0\n1"}}, "ies.tilt-ignored", kWarning, 9},
    {"ies/williams_1995.ies",
     {{10, "0 12000 1 19 5 1 1 1.688 1.677 0"}},
     "ies.lamp-count",
     kWarning,
     10},
    {"ies/williams_1995.ies",
     {{10, "1 -1 1 19 5 1 1 1.688 1.677 0"}},
     "ies.absolute-photometry",
     kNote,
     10},
    {"ies/williams_1995.ies",
     {{10, "1 12000 2 19 5 1 1 1.688 1.677 0"}},
     "ies.multiplier",
     kNote,
     10},
    {"ies/williams_1995.ies",
     {{10, "1 12000 1 19 5 1 3 1.688 1.677 0"}},
     "ies.units",
     kWarning,
     10},
    {"ies/williams_1995.ies",
     {{10, "1 12000 1 19 5 1 1.0 1.688 1.677 0"}},
     "ies.not-an-integer",
     kWarning,
     10},
    {"ies/williams_1995.ies", {{11, "0.9 1 155"}}, "ies.ballast-factor", kNote, 11},
    {"ies/williams_1995.ies", {{14, "0 22.5 45 67.5 80"}}, "ies.h-range", kWarning, 14},
    {"ies/williams_1995.ies", {{12, "2.5 5 10 15 20 25 30 35 40 45"}}, "ies.v-range", kWarning, 13},
    {"ies/williams_1995.ies",
     {{12, "90 95 100 105 110 115 120 125 130 135"}, {13, "140 145 150 155 160 165 170 175 180"}},
     "ies.v-range",
     kNote,
     13},
    {"ies/williams_1995.ies", {{17, Tabbed(kPlane2)}}, "ies.tab-separator", kWarning, 17},
    {"ies/williams_1995.ies", {{17, "x" + kPlane2.substr(5)}}, "ies.not-a-number", kWarning, 17},
    {"ies/williams_1995.ies", {{25, "END"}}, "ies.text-after-table", kNote, 25},
    {"ies/williams_1995.ies", {{25, "0. 0."}}, "ies.extra-values", kWarning, 25},
};

TEST(Check, EachDamageGivesItsFinding) {
  testing::TempDir dir;
  for (const Damage& d : kDamages) {
    const std::string base = d.base;
    const auto path =
        dir / ("damaged" + (d.extension ? d.extension : base.substr(base.rfind('.'))));
    testing::WriteFile(path, Damaged(base, d.lines));
    TLUM32 rec;
    Findings findings;
    LoadAndCheck(rec, path.string(), findings);
    bool found = false;
    for (const Finding& f : findings.All())
      found = found || (f.code == d.code && f.severity == d.severity && f.line == d.line);
    EXPECT_TRUE(found) << d.code << " at line " << d.line << " in:\n" << Listed(findings);
  }
}

TEST(Check, CleanFilesGiveNoFinding) {
  for (const std::string& base : {kLdt, kIes}) {
    TLUM32 rec;
    Findings findings;
    EXPECT_TRUE(LoadAndCheck(rec, (testing::TestDataDir() / base).string(), findings));
    EXPECT_TRUE(findings.All().empty()) << base << ":\n" << Listed(findings);
  }
}

// Every real file loads under the check without an error finding (their conversions all keep
// the flux); the tab separators, the Dc that does not close the circle and the gamma list from
// 90 that the shared corpus holds are reported at their lines.
TEST(Check, CorpusLoadsWithoutErrorsAndRepairsAreReported) {
  const std::map<std::string, std::pair<std::string, std::size_t>> repairs = {
      {"medium_scatter.ies", {"ies.tab-separator", 21}},
      {"no_symmetry.ldt", {"ldt.dc-mismatch", 5}},
      {"60813212.ldt", {"ldt.gamma-range", 115}}};
  std::size_t seen = 0;
  for (const testing::CorpusEntry& entry : testing::Corpus()) {
    TLUM32 rec;
    Findings findings;
    EXPECT_TRUE(LoadAndCheck(rec, entry.path.string(), findings)) << entry.path;
    EXPECT_EQ(findings.Count(Severity::kError), 0u) << entry.path << ":\n" << Listed(findings);
    const auto repair = repairs.find(entry.path.filename().string());
    if (repair == repairs.end()) continue;
    ++seen;
    bool found = false;
    for (const Finding& f : findings.All())
      found = found || (f.code == repair->second.first && f.line == repair->second.second);
    EXPECT_TRUE(found) << entry.path << ":\n" << Listed(findings);
  }
  if (testing::Corpus().size() > 100) {
    EXPECT_EQ(seen, repairs.size());
  }
}

// Every real file against its own conversion to IES LM-63-1995 agrees within the default
// tolerance of 0.5 % of the peak; two different luminaires do not.
TEST(Compare, ConversionsAgreeAndDifferentLuminairesDoNot) {
  testing::TempDir dir;
  const std::string target = (dir / "round.ies").string();
  for (const testing::CorpusEntry& entry : testing::Corpus()) {
    TLUM32 source, converted, back;
    ASSERT_TRUE(LoadEvaluated(source, entry.path.string())) << entry.path;
    ASSERT_TRUE(LoadEvaluated(converted, entry.path.string()));
    RunPipeline(converted, kFormatIes95, converted.FileFormat, converted.LOR, {},
                [](std::string_view) {});
    Save(converted, kFormatIes95, target);
    ASSERT_TRUE(LoadEvaluated(back, target)) << entry.path;
    EXPECT_LE(CompareRecords(source, back).largest_percent, 0.5) << entry.path;
  }
  TLUM32 a, b;
  ASSERT_TRUE(LoadEvaluated(a, (testing::ExamplesDir() / "sym2_regent_sample2.ldt").string()));
  ASSERT_TRUE(LoadEvaluated(b, (testing::ExamplesDir() / "sym3_zumtobel_22169667.ldt").string()));
  EXPECT_GT(CompareRecords(a, b).largest_percent, 0.5);
}

}  // namespace
}  // namespace lumatra
