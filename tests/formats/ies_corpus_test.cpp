// The IES files of the shared corpus: each loads with the edition its first line calls for, with
// the grid its manifest entry describes, and survives trips through the 1995 writer, directly
// and by way of EULUMDAT.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <string>

#include "formats/eulumdat.h"
#include "formats/ies.h"
#include "formats/textio.h"
#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

struct Entry {
  std::string path;
  std::string notes;
};

std::vector<Entry> IesEntries() {
  std::vector<Entry> out;
  std::ifstream manifest(testing::CorpusDir().parent_path() / "MANIFEST.tsv");
  std::string line;
  std::getline(manifest, line);
  while (std::getline(manifest, line)) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    if (fields.size() >= 8 && fields[3].starts_with("IES"))
      out.push_back({(testing::CorpusDir().parent_path() / fields[0]).string(), fields[7]});
  }
  return out;
}

std::uint8_t CodeOfFirstLine(const std::string& bytes) {
  LineReader in(bytes);
  const std::string first = Trim(ShortText(in.ReadLine()));
  if (first == "IESNA91") return kFormatIes91;
  if (first == "IESNA:LM-63-1995") return kFormatIes95;
  return kFormatIes86;
}

TEST(IesCorpus, EveryFileLoadsWithItsEditionAndGrid) {
  const std::vector<Entry> entries = IesEntries();
  if (entries.empty()) GTEST_SKIP() << "corpus not available";
  const std::regex grid(R"(nV x nH = (\d+)x(\d+))");
  for (const Entry& e : entries) {
    TLUM32 rec;
    ASSERT_TRUE(rec.Load(e.path)) << e.path << ": " << rec.ReadError;
    EXPECT_EQ(rec.FileFormat, CodeOfFirstLine(testing::ReadFile(e.path))) << e.path;
    ASSERT_TRUE(rec.LabelLines.has_value());
    std::smatch m;
    if (!std::regex_search(e.notes, m, grid)) continue;
    const int nv = std::stoi(m[1]);
    const int nh = std::stoi(m[2]);
    EXPECT_EQ(+rec.NumGammas, nv) << e.path;
    const bool closes_circle = e.notes.find("..360") != std::string::npos;
    EXPECT_EQ(+rec.NumPlanes, closes_circle ? nh - 1 : nh) << e.path;
  }
}

// Every candela value (intensity x lamp flux / 1000) and every angle of `back` against `rec`;
// `step` is the coarsest rounding on the way, in candela.
void ExpectSameCandela(const TLUM32& rec, const TLUM32& back, long double step,
                       long double relative, const std::string& path) {
  ASSERT_EQ(+back.NumPlanes, rec.NumPlanes) << path;
  ASSERT_EQ(+back.NumGammas, rec.NumGammas) << path;
  const long double scale_a = rec.LampSet[0].TotalFlux / 1000.0L;
  const long double scale_b = back.LampSet[0].TotalFlux / 1000.0L;
  for (std::size_t i = 0; i <= rec.NumPlanes; ++i) {
    for (std::size_t j = 0; j <= rec.NumGammas; ++j) {
      if (i == 0 && j == 0) continue;
      const bool angle = i == 0 || j == 0;
      const long double a = rec.GetIntensity(i, j) * (angle ? 1 : scale_a);
      const long double b = back.GetIntensity(i, j) * (angle ? 1 : scale_b);
      const long double tolerance = angle ? 0.0501L : step + relative * std::fabs(a);
      ASSERT_NEAR(static_cast<double>(a), static_cast<double>(b), static_cast<double>(tolerance))
          << path << " at " << i << "," << j;
    }
  }
}

// IES -> IES 1995 (formatted and unformatted lists: one decimal, seven digits) and IES ->
// EULUMDAT -> IES 1995 (EULUMDAT keeps five digits and one decimal in cd/klm).
TEST(IesCorpus, ThroughIes95AndThroughEulumdatKeepEveryCandelaValue) {
  const std::vector<Entry> entries = IesEntries();
  if (entries.empty()) GTEST_SKIP() << "corpus not available";
  for (const Entry& e : entries) {
    TLUM32 rec;
    ASSERT_TRUE(rec.Load(e.path)) << e.path;
    std::uint8_t code = 0;
    for (std::uint8_t unformatted : {0, 1}) {
      rec.UnformattedOutput = unformatted;
      TLUM32 back;
      ASSERT_TRUE(ParseIes(back, IesText(rec, kFormatIes95), code)) << e.path;
      // A lone plane left after dropping C360 is written as one plane and read as rotational.
      if (rec.NumPlanes > 1) {
        EXPECT_EQ(+back.Symmetry, rec.Symmetry) << e.path;
      }
      ExpectSameCandela(rec, back, 0.0501L, 1e-6L, e.path);
    }
    TLUM32 ldt;
    ASSERT_TRUE(ParseEulumdat(ldt, EulumdatText(rec))) << e.path << ": " << ldt.ReadError;
    TLUM32 back;
    ASSERT_TRUE(ParseIes(back, IesText(ldt, kFormatIes95), code)) << e.path;
    ExpectSameCandela(rec, back, ldt.LampSet[0].TotalFlux / 1000.0L * 0.05L + 0.0501L, 5e-5L,
                      e.path);
  }
}

}  // namespace
}  // namespace lumatra
