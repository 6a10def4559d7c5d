// IES LM-63 writing: the headers of the three editions, the ten-value record with the record
// corrections, the formatted and unformatted list layouts, the C360 duplicate, and round trips
// through the reader.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "formats/format_checks.h"
#include "formats/ies.h"
#include "model/lum32.h"
#include "support/io_error.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using format_checks::Lines;
using testing::FillGrid;
using testing::Steps;

// Index of the first line equal to `line`, or -1.
int Find(const std::vector<std::string>& lines, const std::string& line) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == line) return static_cast<int>(i);
  return -1;
}

void Describe(TLUM32& rec) {
  rec.ReportNo2 = "R2";
  rec.Company = "ACME";
  rec.LumNumber = "LN-1";
  rec.LumName = "Downlight";
  rec.LampSet[0].LampType = "LED";
  rec.LampSet[0].TotalFlux = 3350;
  rec.LampSet[0].NumLamps = 1;
  rec.LampSet[0].Wattage = 36;
  rec.ReportNo = "REP";
  rec.DataFileName = "data.ldt";
}

void SmallGrid(TLUM32& rec, std::uint8_t symmetry = 2) {
  FillGrid(rec, symmetry, {0, 90, 180}, {0, 45, 90},
           [](float c, float g) { return 100 + c + g / 10; });
}

// `count` lines from `first`.
std::vector<std::string> Slice(const std::vector<std::string>& lines, std::size_t first,
                               std::size_t count) {
  EXPECT_LE(first + count, lines.size());
  if (first + count > lines.size()) return {};
  return {lines.begin() + static_cast<long>(first),
          lines.begin() + static_cast<long>(first + count)};
}

using Texts = std::vector<std::string>;

TEST(IesWriterHeader, Edition1986) {
  TLUM32 rec;
  SmallGrid(rec);
  Describe(rec);
  rec.UnformattedOutput = 1;  // no [CONVERSION] line in this edition
  EXPECT_EQ(Slice(Lines(IesText(rec, kFormatIes86)), 0, 8),
            (Texts{"R2  ACME", "LN-1", "Downlight", "LED", "   3350 lm,   36 W", "REP", "data.ldt",
                   "TILT=NONE"}));
  // Lines 6 and 7 each depend on their own text only; blanks count as empty.
  rec.ReportNo = "   ";
  EXPECT_EQ(Slice(Lines(IesText(rec, kFormatIes86)), 5, 2), (Texts{"data.ldt", "TILT=NONE"}));
  rec.ReportNo = "REP";
  rec.DataFileName = "";
  EXPECT_EQ(Slice(Lines(IesText(rec, kFormatIes86)), 5, 2), (Texts{"REP", "TILT=NONE"}));
}

TEST(IesWriterHeader, Editions1991And1995) {
  TLUM32 rec;
  SmallGrid(rec);
  Describe(rec);
  rec.Company = "ACME\r\nTILT=INCLUDE";  // a line end inside a text does not break the header
  const std::string head =
      "IESNA:LM-63-1995\r\n[TEST] R2\r\n[MANUFAC] ACME  TILT=INCLUDE\r\n[LUMCAT] LN-1\r\n"
      "[LUMINAIRE] Downlight\r\n[LAMPCAT] LED\r\n[LAMP]    3350 lm,   36 W\r\n[OTHER] REP\r\n"
      "[MORE] data.ldt\r\nTILT=NONE\r\n";
  EXPECT_EQ(IesText(rec, kFormatIes95).substr(0, head.size()), head);
  EXPECT_EQ(Lines(IesText(rec, kFormatIes91))[0], "IESNA91");

  // [MORE] only follows an [OTHER]; an empty report number suppresses both.
  rec.ReportNo = "";
  EXPECT_EQ(Slice(Lines(IesText(rec, kFormatIes91)), 6, 2),
            (Texts{"[LAMP]    3350 lm,   36 W", "TILT=NONE"}));
  rec.ReportNo = "REP";
  rec.DataFileName = " ";
  EXPECT_EQ(Slice(Lines(IesText(rec, kFormatIes91)), 7, 2), (Texts{"[OTHER] REP", "TILT=NONE"}));
  rec.UnformattedOutput = 1;
  EXPECT_EQ(Slice(Lines(IesText(rec, kFormatIes95)), 8, 2),
            (Texts{"[CONVERSION] UNFORMATTED !  maybe not compliant with LM63", "TILT=NONE"}));
}

// 2002 and 2019: the required keywords always; a field changed since reading is written from the
// record, once; the issue date of the source stays; no line is longer than 256 characters.
TEST(IesWriterHeader, KeywordEditions) {
  TLUM32 rec;
  SmallGrid(rec);
  Describe(rec);
  EXPECT_EQ(Slice(Lines(IesText(rec, kFormatIes02)), 0, 10),
            (Texts{"IESNA:LM-63-2002", "[TEST] REP", "[TESTLAB]", "[ISSUEDATE]", "[MANUFAC] ACME",
                   "[LUMCAT] LN-1", "[LUMINAIRE] Downlight", "[LAMPCAT] LED",
                   "[LAMP]    3350 lm,   36 W", "TILT=NONE"}));

  std::string long_text;
  for (int i = 0; i < 60; ++i)
    long_text += "word" + std::to_string(i) + ' ';
  long_text.pop_back();
  FillGrid(rec, 2, {0, 90, 180}, Steps(0, 0.5f, 90), [](float c, float g) { return c + g; });
  Describe(rec);
  rec.LabelLines = Texts{"IES:LM-63-2019",       "[MANUFAC] Old Maker", "[ISSUEDATE] 2020-01-01",
                         "[_NOTE] " + long_text, "[LAMPCAT] LED",       "[LAMP] 70 W"};
  rec.DateUser = "06.12.2026";  // the conversion date
  rec.UnformattedOutput = 1;
  rec.IesTiltDropped = 1;
  const std::string text = IesText(rec, kFormatIes19);
  const std::vector<std::string> lines = Lines(text);
  const int tilt = Find(lines, "TILT=NONE");
  const Texts header(lines.begin(), lines.begin() + tilt);
  EXPECT_EQ(Find(header, "[MANUFAC] ACME"), 4);
  EXPECT_EQ(Find(header, "[MANUFAC] Old Maker"), -1);
  EXPECT_EQ(Find(header, "[ISSUEDATE] 2020-01-01"), 3);
  EXPECT_NE(Find(header, "[LAMP] 70 W"), -1);
  EXPECT_EQ(Find(header, "[LAMP]    3350 lm,   36 W"), -1);  // only without a source [LAMP]
  EXPECT_EQ(header.back(), "[OTHER] TILT data of the source not kept");
  EXPECT_EQ(Find(lines, "[CONVERSION] UNFORMATTED !  maybe not compliant with LM63"), -1);
  EXPECT_EQ(lines[tilt + 2], "1.0 1.00001 36");  // generation type undefined
  for (const std::string& line : lines)
    EXPECT_LE(line.size(), 256u) << line;

  TLUM32 back;
  std::uint8_t code = 0;
  ASSERT_TRUE(ParseIes(back, text, code)) << back.ReadError;
  bool found = false;
  for (const IesKeyword& keyword : IesKeywords(*back.LabelLines))
    found = found || (keyword.name == "[_NOTE]" && keyword.text == long_text);
  EXPECT_TRUE(found);
  EXPECT_EQ(+back.NumGammas, 181);
  EXPECT_FLOAT_EQ(back.GetGamma(181), 90.0f);
}

TEST(IesWriterRecord, CorrectionsAndTenValues) {
  TLUM32 rec;
  SmallGrid(rec);
  rec.LampSet[0].TotalFlux = 0;
  rec.LampSet[0].NumLamps = 0;
  rec.LampSet[0].Wattage = 12;
  rec.AreaDim.Diameter = 500;
  rec.AreaDim.HeightC0 = 20;
  std::vector<std::string> lines = Lines(IesText(rec, kFormatIes91));
  int tilt = Find(lines, "TILT=NONE");
  ASSERT_GT(tilt, 0);
  EXPECT_EQ(lines[6], "[LAMP]       0 lm,   12 W");  // written before the corrections
  EXPECT_EQ(Slice(lines, tilt + 1, 2),
            (Texts{"1    1000 1.0 3 3 1 2 -0.500 0.000 0.020", "1.0 1.0 12"}));
  EXPECT_FLOAT_EQ(+rec.LampSet[0].TotalFlux, 1000.0f);  // the corrections stay
  EXPECT_EQ(+rec.LampSet[0].NumLamps, 1);
  // Intensities are multiplied by 1000 lm / 1000.
  EXPECT_EQ(lines[tilt + 5].substr(0, 10), "     100.0");

  rec.AreaDim = {1200, 300, 0, 0, 0, 0, 0};
  rec.LampSet[0].NumLamps = 2;
  rec.LampSet[0].TotalFlux = 5000;
  rec.PhotSystem = kSystemB;  // type written as PhotSystem + 1
  lines = Lines(IesText(rec, kFormatIes86));
  EXPECT_EQ(lines[Find(lines, "TILT=NONE") + 1], "2    2500 1.0 3 3 2 2 1.200 0.300 0.000");
}

TEST(IesWriterLists, FormattedLayout) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), [](float, float g) { return 1000 - g; });
  std::vector<std::string> lines = Lines(IesText(rec, kFormatIes95));
  int tilt = Find(lines, "TILT=NONE");
  ASSERT_GT(tilt, 0);
  // 19 angles: 13 of 6 characters, then 6.
  EXPECT_EQ(Slice(lines, tilt + 3, 3),
            (Texts{"   0.0   5.0  10.0  15.0  20.0  25.0  30.0  35.0  40.0  45.0  50.0  55.0  60.0",
                   "  65.0  70.0  75.0  80.0  85.0  90.0", "   0.0"}));
  // 19 intensities: 8 of 10 characters, 8, then 3.
  EXPECT_EQ(lines[tilt + 6],
            "    1000.0     995.0     990.0     985.0     980.0     975.0     970.0     965.0");
  EXPECT_EQ(lines[tilt + 8], "     920.0     915.0     910.0");
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(tilt + 9));

  FillGrid(rec, 1, {0}, Steps(0, 5, 180), [](float, float) { return 12.34f; });
  lines = Lines(IesText(rec, kFormatIes95));
  tilt = Find(lines, "TILT=NONE");
  const std::vector<std::size_t> widths = {80, 80, 80, 80, 50};  // 37 values: 8, 8, 8, 8, 5
  ASSERT_EQ(lines.size(), tilt + 7 + widths.size());
  for (std::size_t i = 0; i < widths.size(); ++i)
    EXPECT_EQ(lines[tilt + 7 + i].size(), widths[i]) << i;
  EXPECT_EQ(lines[tilt + 7].substr(0, 10), "     12.34");  // one decimal would be 0.3 % off
}

TEST(IesWriterLists, WideValuesMoveTheLineBreak) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 10, 90), [](float, float g) { return 1e7f + g; });
  std::vector<std::string> lines = Lines(IesText(rec, kFormatIes95));
  int tilt = Find(lines, "TILT=NONE");
  // Eight integer digits switch to the exponent form, wider than the 10-character field; such
  // values are kept apart by a blank so that they read back as separate values.
  EXPECT_EQ(lines[tilt + 5].substr(0, 24), "1.000000E+7 1.000001E+7 ");
  TLUM32 back;
  std::uint8_t code = 0;
  ASSERT_TRUE(ParseIes(back, IesText(rec, kFormatIes95), code)) << back.ReadError;
  EXPECT_FLOAT_EQ(back.GetIntensity(1, 2), 1.000001e7f);

  // Angles as wide as their 6-character field ("-100.0") as well.
  FillGrid(rec, 0, {0, 120, 240}, {-170, -100, 0}, [](float, float) { return 1; });
  lines = Lines(IesText(rec, kFormatIes95));
  EXPECT_EQ(lines[tilt + 3], "-170.0 -100.0   0.0");
}

TEST(IesWriterLists, AnglesKeepTheirDecimals) {
  TLUM32 rec;
  FillGrid(rec, 2, {0, 22.5f, 101.25f, 180}, {0, 1.25f, 2.5f, 3.75f, 9.11f},
           [](float, float g) { return 100 - g; });
  std::vector<std::string> lines = Lines(IesText(rec, kFormatIes95));
  int tilt = Find(lines, "TILT=NONE");
  // Candela keep one decimal where that is within 0.05 % of them, and more where not.
  EXPECT_EQ(Slice(lines, tilt + 3, 3),
            (Texts{"   0.0  1.25   2.5  3.75  9.11", "   0.0  22.5 101.25 180.0",
                   "     100.0     98.75      97.5     96.25      90.9"}));
  rec.UnformattedOutput = 1;
  lines = Lines(IesText(rec, kFormatIes95));
  EXPECT_EQ(lines[tilt + 4], "0.0 1.25 2.5 3.75 9.11");
}

TEST(IesWriterLists, UnformattedLayout) {
  TLUM32 rec;
  FillGrid(rec, 2, {0, 90, 180}, Steps(0, 5, 90), [](float c, float g) { return c + g; });
  rec.UnformattedOutput = 1;
  std::vector<std::string> lines = Lines(IesText(rec, kFormatIes86));
  int tilt = Find(lines, "TILT=NONE");
  EXPECT_EQ(lines[tilt + 3].substr(0, 20), "0.0 5.0 10.0 15.0 20");
  EXPECT_EQ(lines[tilt + 3].substr(lines[tilt + 3].size() - 9), "85.0 90.0");
  EXPECT_EQ(lines[tilt + 4], "0.0 90.0 180.0");
  EXPECT_EQ(lines[tilt + 7].substr(0, 17), "180.0 185.0 190.0");
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(tilt + 8));

  // No vertical angles: a file that would not load again is not written.
  rec.Clear();
  rec.Matrix = std::make_unique<TSglArray>(2, 1);
  rec.NumPlanes = 1;
  EXPECT_THROW(IesText(rec, kFormatIes95), IoError);
}

TEST(IesWriterLists, C0DuplicatedAsC360OnlyFor1995FullCircle) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 15, 345), {0, 45, 90}, [](float c, float g) { return c + g / 100; });
  rec.DuplicateC0AsC360 = 1;
  rec.UnformattedOutput = 1;
  std::vector<std::string> lines = Lines(IesText(rec, kFormatIes95));
  int tilt = Find(lines, "TILT=NONE");
  EXPECT_EQ(lines[tilt + 1].substr(0, 16), "1    1000 1.0 3 ");
  EXPECT_EQ(lines[tilt + 1].substr(16, 3), "25 ");
  const std::string& h = lines[tilt + 4];
  EXPECT_EQ(h.substr(h.size() - 13), "345.0   360.0");
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(tilt + 5 + 25));
  EXPECT_EQ(lines[tilt + 5 + 24], lines[tilt + 5]);

  rec.UnformattedOutput = 0;  // also drops the [CONVERSION] line
  lines = Lines(IesText(rec, kFormatIes95));
  tilt = Find(lines, "TILT=NONE");
  EXPECT_EQ(lines[tilt + 5].substr(lines[tilt + 5].size() - 12), " 345.0 360.0");

  for (std::uint8_t code : {kFormatIes86, kFormatIes91}) {
    std::string text = IesText(rec, code);
    EXPECT_EQ(text.find("360.0"), std::string::npos) << int{code};
  }
  FillGrid(rec, 2, Steps(0, 15, 180), {0, 45, 90}, [](float c, float g) { return c + g / 100; });
  rec.DuplicateC0AsC360 = 1;
  EXPECT_EQ(IesText(rec, kFormatIes95).find("360.0"), std::string::npos);
}

// Candela as the file states them: cd/klm x lamp flux / 1000.
float Candela(const TLUM32& rec, std::size_t row, std::size_t col) {
  return static_cast<float>(rec.GetIntensity(row, col) * (rec.LampSet[0].TotalFlux / 1000.0L));
}

// Candela keep one decimal and 7 significant digits, angles their decimals.
void ExpectSameGrid(const TLUM32& a, const TLUM32& b, const std::string& what) {
  ASSERT_EQ(a.NumPlanes, b.NumPlanes) << what;
  ASSERT_EQ(a.NumGammas, b.NumGammas) << what;
  EXPECT_EQ(a.PhotSystem, b.PhotSystem) << what;
  EXPECT_EQ(a.Symmetry, b.Symmetry) << what;
  for (std::size_t i = 0; i <= a.NumPlanes; ++i) {
    for (std::size_t j = 0; j <= a.NumGammas; ++j) {
      if (i == 0 && j == 0) continue;
      const bool angle = i == 0 || j == 0;
      const float x = angle ? a.GetIntensity(i, j) : Candela(a, i, j);
      const float y = angle ? b.GetIntensity(i, j) : Candela(b, i, j);
      const float tolerance = angle ? 1e-4f : 0.05f + std::fabs(x) * 6e-7f;
      ASSERT_NEAR(x, y, tolerance) << what << " at " << i << "," << j;
    }
  }
}

TEST(IesWriterRoundTrip, RelativeRecordComesBack) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 22.5f, 337.5f), Steps(0, 1.25f, 180),
           [](float c, float g) { return 300 * std::cos(g * 0.0174f) + c / 7 + 0.123f; });
  rec.LampSet[0].NumLamps = 2;
  rec.LampSet[0].TotalFlux = 7000;
  for (std::uint8_t code : {kFormatIes86, kFormatIes91, kFormatIes95}) {
    for (std::uint8_t unformatted : {0, 1}) {
      rec.UnformattedOutput = unformatted;
      TLUM32 back;
      std::uint8_t read_code = 0;
      ASSERT_TRUE(ParseIes(back, IesText(rec, code), read_code)) << back.ReadError;
      EXPECT_EQ(read_code, code);
      ExpectSameGrid(rec, back, "code " + std::to_string(code));
      EXPECT_FLOAT_EQ(+back.LampSet[0].TotalFlux, 7000.0f);
    }
  }
}

TEST(IesWriterRoundTrip, TypeBAndAKeepTheirGrid) {
  for (const char* name : {"type_b_quadrant.ies", "type_b_full.ies"}) {
    TLUM32 rec;
    ASSERT_TRUE(Load(rec, (testing::TestDataDir() / "ies" / name).string())) << name;
    rec.DuplicateC0AsC360 = 1;  // no 360-degree plane for B or A grids
    TLUM32 back;
    std::uint8_t code = 0;
    ASSERT_TRUE(ParseIes(back, IesText(rec, kFormatIes95), code)) << back.ReadError;
    ExpectSameGrid(rec, back, name);
    EXPECT_FLOAT_EQ(+back.CFirst, rec.CFirst) << name;
    EXPECT_FLOAT_EQ(+back.GLast, rec.GLast) << name;
  }
}

TEST(IesWriterRoundTrip, AbsolutePhotometryKeepsItsCandela) {
  TLUM32 rec;
  std::uint8_t code = 0;
  ASSERT_TRUE(ParseIes(
      rec, "x\nTILT=NONE\n1 -1 1 3 1 1 2 0 0 0\n1 1 10\n0 45 90\n0\n0.25 12.75 3\n", code));
  TLUM32 back;
  ASSERT_TRUE(ParseIes(back, IesText(rec, kFormatIes95), code));
  // One decimal kept: 0.25 and 12.75 are halves and may go either way by 0.05.
  EXPECT_NEAR(Candela(back, 1, 1), 0.25f, 0.0501f);
  EXPECT_NEAR(Candela(back, 1, 2), 12.75f, 0.0501f);
  EXPECT_NEAR(back.GetIntensity(1, 2), 12.75f, 0.0501f);
  EXPECT_FLOAT_EQ(Candela(back, 1, 3), 3.0f);
}

}  // namespace
}  // namespace lumatra
