// The IES files of the real-file corpus: each loads with the edition its first line calls for, with
// the grid its manifest entry describes, and survives trips through the 1995 writer, directly
// and by way of EULUMDAT, and through the 2002 and 2019 writers with every keyword.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <set>
#include <string>

#include "app/format_table.h"
#include "formats/eulumdat.h"
#include "formats/ies.h"
#include "formats/textio.h"
#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::CorpusEntry;

std::vector<CorpusEntry> IesEntries() {
  std::vector<CorpusEntry> out;
  for (const CorpusEntry& e : testing::Corpus())
    if (e.format.starts_with("IES")) out.push_back(e);
  return out;
}

// The code a file must load with: its edition, where a 1991 or 1995 first line not written
// exactly so makes it a 1986 file.
std::uint8_t ExpectedCode(const CorpusEntry& e) {
  if (e.format == "IES2002") return kFormatIes02;
  const std::string bytes = testing::ReadFile(e.path);
  LineReader in(bytes);
  const std::string first = Trim(ShortText(in.ReadLine()));
  if (first == "IESNA91") return kFormatIes91;
  if (first == "IESNA:LM-63-1995") return kFormatIes95;
  return kFormatIes86;
}

TEST(IesCorpus, EveryFileLoadsWithItsEditionAndGrid) {
  const std::vector<CorpusEntry> entries = IesEntries();
  ASSERT_FALSE(entries.empty());
  const std::regex grid(R"(nV x nH = (\d+)x(\d+))");
  for (const CorpusEntry& e : entries) {
    const std::string path = e.path.string();
    TLUM32 rec;
    ASSERT_TRUE(Load(rec, path)) << path << ": " << rec.ReadError;
    EXPECT_EQ(rec.FileFormat, ExpectedCode(e)) << path;
    ASSERT_TRUE(rec.LabelLines.has_value());
    std::smatch m;
    if (!std::regex_search(e.notes, m, grid)) continue;
    const int nv = std::stoi(m[1]);
    const int nh = std::stoi(m[2]);
    EXPECT_EQ(+rec.NumGammas, nv) << path;
    const bool closes_circle = e.notes.find("..360") != std::string::npos;
    EXPECT_EQ(+rec.NumPlanes, closes_circle ? nh - 1 : nh) << path;
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
  const std::vector<CorpusEntry> entries = IesEntries();
  ASSERT_FALSE(entries.empty());
  for (const CorpusEntry& e : entries) {
    const std::string path = e.path.string();
    TLUM32 rec;
    ASSERT_TRUE(Load(rec, path)) << path;
    std::uint8_t code = 0;
    for (std::uint8_t unformatted : {0, 1}) {
      rec.UnformattedOutput = unformatted;
      TLUM32 back;
      ASSERT_TRUE(ParseIes(back, IesText(rec, kFormatIes95), code)) << path;
      // A lone plane left after dropping C360 is written as one plane and read as rotational.
      if (rec.NumPlanes > 1) {
        EXPECT_EQ(+back.Symmetry, rec.Symmetry) << path;
      }
      ExpectSameCandela(rec, back, 0.0501L, 1e-6L, path);
    }
    TLUM32 ldt;
    ASSERT_TRUE(ParseEulumdat(ldt, EulumdatText(rec))) << path << ": " << ldt.ReadError;
    TLUM32 back;
    ASSERT_TRUE(ParseIes(back, IesText(ldt, kFormatIes95), code)) << path;
    ExpectSameCandela(rec, back, ldt.LampSet[0].TotalFlux / 1000.0L * 0.05L + 0.0501L, 5e-5L, path);
  }
}

// The keywords of a header as (keyword, text) pairs, [MORE] lines joined.
std::multiset<std::pair<std::string, std::string>> KeywordTexts(const TLUM32& rec) {
  std::multiset<std::pair<std::string, std::string>> out;
  if (rec.LabelLines)
    for (const IesKeyword& k : IesKeywords(*rec.LabelLines))
      out.emplace(k.name, k.text);
  return out;
}

// Keyword sources (every corpus file from 1991 on and the files of tests/data) through the 2002
// writer, and the 2019 file through the 2019 writer: every keyword text, the generation type,
// every candela value and the lamp flux come back; the maker, luminaire and lamp texts of a 2002
// or 2019 file reach the EULUMDAT fields.
TEST(IesCorpus, KeywordEditionsKeepEveryKeywordTheGenerationTypeAndEveryCandelaValue) {
  std::vector<std::string> paths;
  for (const CorpusEntry& e : IesEntries())
    if (e.format != "IES86") paths.push_back(e.path.string());
  for (const char* name : {"bollard_2002.ies", "tilt_include_2002.ies", "downlight_2019.ies",
                           "more_lines_1995.ies", "two_keywords_1991.ies"})
    paths.push_back((testing::TestDataDir() / "ies" / name).string());
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    TLUM32 rec;
    ASSERT_TRUE(Load(rec, path)) << rec.ReadError;
    const std::uint8_t target = rec.FileFormat == kFormatIes19 ? kFormatIes19 : kFormatIes02;
    const std::string text = IesText(rec, target);
    std::size_t longest = 0;
    for (LineReader in(text); !in.AtEnd();)
      longest = std::max(longest, in.ReadLine().size());
    EXPECT_LE(longest, 256u);
    TLUM32 back;
    std::uint8_t code = 0;
    ASSERT_TRUE(ParseIes(back, text, code)) << back.ReadError;
    EXPECT_EQ(code, target);
    const auto source_keywords = KeywordTexts(rec), back_keywords = KeywordTexts(back);
    for (const auto& keyword : source_keywords)
      EXPECT_EQ(back_keywords.count(keyword), source_keywords.count(keyword))
          << keyword.first << " " << keyword.second;
    EXPECT_EQ(+back.IesGenerationType, target == kFormatIes19 ? +rec.IesGenerationType : 0u);
    EXPECT_EQ(+back.LampSet[0].TotalFlux, +rec.LampSet[0].TotalFlux);
    EXPECT_EQ(+back.AbsolutePhotometry, rec.AbsolutePhotometry);
    ExpectSameCandela(rec, back, 0.0501L, 1e-6L, path);

    if (rec.FileFormat != kFormatIes02 && rec.FileFormat != kFormatIes19) continue;
    EXPECT_FALSE(TrimView(rec.Company.view()).empty());
    TLUM32 ldt;
    ASSERT_TRUE(ParseEulumdat(ldt, EulumdatText(rec))) << ldt.ReadError;
    EXPECT_EQ((std::vector<std::string>{ldt.Company.str(), ldt.LumNumber.str(), ldt.LumName.str(),
                                        ldt.LampSet[0].LampType.str()}),
              (std::vector<std::string>{rec.Company.str(), rec.LumNumber.str(), rec.LumName.str(),
                                        rec.LampSet[0].LampType.str()}));
  }
}

}  // namespace
}  // namespace lumatra
