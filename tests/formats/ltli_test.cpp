// LTLI: the column fields of line 1, the plane layouts by C range and orientation, the writer's
// fixed 10/2-degree grid, and reading back what the writer produces (in the orientation the
// format gives it).
#include "formats/ltli.h"

#include <gtest/gtest.h>

#include <cmath>

#include "formats/format_checks.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "support/io_error.h"
#include "support/rounding.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using format_checks::DimsOf;
using format_checks::ExpectReason;
using format_checks::Grid;
using format_checks::GridOf;
using format_checks::Lines;
using testing::FillGrid;
using testing::Steps;

std::string HeaderLine(std::vector<int> fields, std::string_view marker = "LTLI",
                       std::string_view name = "") {
  std::string line;
  for (int f : fields)
    line += Int4(f);
  return line + std::string(marker) + std::string(name);
}

// Intensity lines of 17 fields holding the values first, first + 1, ...
std::string ValueLines(std::size_t count, int first = 0) {
  std::string text;
  for (std::size_t n = 0; n < count; ++n) {
    text += Int4(first + static_cast<int>(n));
    if (n % 17 == 16 || n + 1 == count) text += "\r\n";
  }
  return text;
}

std::string File(const std::string& header, std::size_t values) {
  return header + "\r\nreport 2\r\n  Maker  \r\nSpot\r\nlamp\r\n" + ValueLines(values);
}

TEST(LtliText, Int4AndUnquote) {
  EXPECT_EQ(Int4(5), "   5");
  EXPECT_EQ(Int4(-1), "  -1");
  EXPECT_EQ(Int4(12345), "12345");
  EXPECT_EQ(Unquote("  \"Spot 1\" "), "Spot 1");
  EXPECT_EQ(Unquote("\""), "");
  EXPECT_EQ(Unquote("a\"b"), "a\"b");
  EXPECT_EQ(Unquote(" \"x"), "x");
}

// Line 1 in its columns: lengths in centimetres, or millimetres once the length exceeds 999;
// a lower-case marker; the name from columns 41-48; fields that are not integers read as 0.
TEST(LtliReader, HeaderFieldsAndTexts) {
  std::string not_a_number = HeaderLine({7, 0, 90, 10, 10, 0, 60, 30, 5});
  not_a_number.replace(24, 4, " x1 ");
  const struct {
    std::string header;
    const char* number;
    std::vector<int> area;  // length, width, diameter, height
  } cases[] = {
      {HeaderLine({123, 0, 90, 10, 10, 0, 60, 30, 5}), "123", {600, 300, 0, 50}},
      {HeaderLine({-1, 0, 90, 10, 10, 0, 1200, 300, 45}, "ltli", "ABCDEFGHxyz"),
       "ABCDEFGH",
       {1200, 300, 0, 45}},
      {not_a_number, "7", {0, 300, 0, 50}},
  };
  TLUM32 rec;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    ASSERT_TRUE(testing::ReadAs(kFormatLtli, rec, File(c.header, 10))) << rec.ReadError;
    EXPECT_EQ(rec.LumNumber.str(), c.number);
    EXPECT_EQ(DimsOf(rec.AreaDim), c.area);
    EXPECT_EQ(DimsOf(rec.LumDim), c.area);
  }
  EXPECT_EQ((std::vector<std::string>{rec.ReportNo2.str(), rec.Company.str(), rec.LumName.str(),
                                      rec.ReportNo.str()}),
            (std::vector<std::string>{"report 2", "Maker", "Spot", "lamp"}));
}

TEST(LtliReader, HalfTableWithReversedPlanes) {
  // C range 180 in steps of 15, gamma 0..90 in steps of 5, orientation 90: 13 x 19 = 247 values
  // on 15 lines, the last with 9.
  const std::string text = File(HeaderLine({1, 180, 90, 15, 5, 90, 0, 0, 0}), 247);
  const auto lines = Lines(text);
  ASSERT_EQ(lines.size(), 5u + 15u);
  EXPECT_EQ(lines.back().size(), 9u * 4u);
  TLUM32 rec;
  ASSERT_TRUE(testing::ReadAs(kFormatLtli, rec, text)) << rec.ReadError;
  ASSERT_EQ(GridOf(rec), (Grid{2, 13, 19, 0, 15, 180, 0, 5, 90}));
  for (std::size_t k = 1; k <= 13; ++k)
    EXPECT_FLOAT_EQ(rec.GetCAngle(k), 15.0f * (k - 1));
  for (std::size_t j = 1; j <= 19; ++j)
    EXPECT_FLOAT_EQ(rec.GetGamma(j), 5.0f * (j - 1));
  // Value n of the file is gamma j = n / 13 + 1 and file plane k = n % 13 + 1, stored reversed.
  for (std::size_t n = 0; n < 247; ++n)
    EXPECT_FLOAT_EQ(rec.GetIntensity(13 - n % 13, n / 13 + 1), static_cast<float>(n));
  EXPECT_EQ(rec.FluxCalcDone, 1);
  EXPECT_FLOAT_EQ(rec.PeakIntensity, 246);

  // One line short: refused before anything is stored.
  EXPECT_FALSE(
      testing::ReadAs(kFormatLtli, rec, text.substr(0, text.rfind("\r\n", text.size() - 3) + 2)));
  ExpectReason(rec, "ltli: 13 planes x 19 angles need 15 lines, file holds 14");
  EXPECT_FALSE(rec.Matrix);
}

TEST(LtliReader, PlaneLayoutsByRangeAndOrientation) {
  struct Case {
    int c_range, orientation;
    int symmetry;
    float c_first, c_last;
    bool reversed;
  };
  for (const Case& c : {Case{90, 0, 4, 0, 90, true}, Case{90, 90, 4, 0, 90, false},
                        Case{180, -90, 2, 0, 180, false}, Case{180, 0, 3, 90, 270, true},
                        Case{0, 0, 1, 0, 0, false}}) {
    SCOPED_TRACE(c.c_range * 1000 + c.orientation);
    const std::size_t planes = c.c_range == 0 ? 1 : c.c_range / 30 + 1;
    TLUM32 rec;
    ASSERT_TRUE(testing::ReadAs(
        kFormatLtli, rec,
        File(HeaderLine({1, c.c_range, 10, 30, 10, c.orientation, 0, 0, 0}), planes * 2)))
        << rec.ReadError;
    ASSERT_EQ(GridOf(rec), (Grid{c.symmetry, static_cast<int>(planes), 2, c.c_first,
                                 planes > 1 ? 30.0f : 0.0f, c.c_last, 0, 10, 10}));
    EXPECT_FLOAT_EQ(rec.GetCAngle(planes), c.c_last);
    EXPECT_FLOAT_EQ(rec.GetIntensity(1, 1), c.reversed ? planes - 1 : 0);
  }
}

TEST(LtliReader, FullCircleIsRotatedByOrientation) {
  // C range 360 in steps of 15, orientation 0: 25 planes from C0 to C360, then turned by 90
  // degrees, so the file's C0 plane (value 100 + gamma index) ends up at C90.
  std::string values;
  for (int j = 0; j < 10; ++j)
    for (int k = 0; k < 25; ++k)
      values += Int4(k == 0 ? 100 + j : 10);
  std::string body;
  for (std::size_t at = 0; at < values.size(); at += 68)
    body += values.substr(at, 68) + "\r\n";
  TLUM32 rec;
  ASSERT_TRUE(
      testing::ReadAs(kFormatLtli, rec,
                      HeaderLine({1, 360, 90, 15, 10, 0, 0, 0, 0}) + "\r\n\r\n\r\n\r\n\r\n" + body))
      << rec.ReadError;
  EXPECT_EQ(rec.Symmetry, 0);
  EXPECT_NEAR(rec.Intensity(90, 40) / rec.Intensity(90, 0), 104.0 / 100.0, 1e-3);
  EXPECT_NEAR(rec.Intensity(180, 40) / rec.Intensity(90, 40), 10.0 / 104.0, 1e-3);
  EXPECT_NEAR(rec.Intensity(0, 40) / rec.Intensity(90, 40), 10.0 / 104.0, 1e-3);
}

TEST(LtliReader, MalformedFilesFailWithAReason) {
  struct Case {
    std::string text, reason;
  };
  const std::vector<Case> cases = {
      {"", "ltli: no \"LTLI\" marker"},
      {HeaderLine({1, 0, 90, 10, 10, 0, 0, 0, 0}, "LTLX"), "ltli: no \"LTLI\" marker"},
      {HeaderLine({1, 0, 90, 10, 10, 0, 0, 0}, "LTLI"), "ltli: no \"LTLI\" marker"},
      {File(HeaderLine({1, 0, 90, 0, 10, 0, 0, 0, 0}), 10),
       "ltli: line 1: C step 0 and gamma step 10"},
      {File(HeaderLine({1, 90, 90, 10, 0, 0, 0, 0, 0}), 10),
       "ltli: line 1: C step 10 and gamma step 0"},
      {File(HeaderLine({1, 90, 90, -10, 10, 0, 0, 0, 0}), 10), "ltli: line 1: C step -10"},
      {File(HeaderLine({1, 90, -90, 10, 10, 0, 0, 0, 0}), 10),
       "ltli: line 1: C range 90 and gamma"},
      // A small file declaring a huge grid is refused before anything is allocated.
      {File(HeaderLine({1, 9999, 9999, 1, 1, 0, 0, 0, 0}), 10),
       "ltli: line 1: C range 9999 and gamma range 9999 must lie within 0 to 720"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    TLUM32 rec;
    EXPECT_FALSE(testing::ReadAs(kFormatLtli, rec, c.text));
    ExpectReason(rec, c.reason);
    EXPECT_FALSE(rec.Matrix);
  }
}

float Distribution(float c, float g) {
  const double r = c * 3.14159265358979 / 180;
  return static_cast<float>(300 + 2.3 * g + 80 * std::cos(r) + 35 * std::sin(r) + 0.01 * c * g);
}

TEST(LtliWriter, HeaderLineTextsAndValueLines) {
  TLUM32 rec;
  FillGrid(rec, 4, Steps(0, 15, 90), Steps(0, 5, 90), Distribution);
  rec.SetFileName("/out/LUMI.LTL");
  rec.AreaDim = {600, 300, 0, 55, 0, 0, 0};
  rec.ReportNo2 = "\"R 7\"";
  rec.Company = " Maker ";
  rec.LumName = "Spot";
  rec.LampSet[0].NumLamps = 2;
  rec.LampSet[0].LampType = "\"T26\"";
  const auto lines = Lines(LTLIText(rec));
  EXPECT_EQ(lines[0], "  -1  90  90  10   2  90  60  30   5LTLI    LUMI        ");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 5),
            (std::vector<std::string>{"R 7", "Maker", "Spot", "2 x T26"}));
  // 46 gammas x 10 planes = 460 values: 27 lines of 17 and one of 1.
  ASSERT_EQ(lines.size(), 5u + 28u);
  for (std::size_t k = 5; k < 32; ++k)
    EXPECT_EQ(lines[k].size(), 68u);
  EXPECT_EQ(lines.back().size(), 4u);
  EXPECT_EQ(lines[5].substr(0, 4), Int4(RoundHalfEven(rec.Intensity(90, 0))));
  EXPECT_EQ(lines[5].substr(4, 4), Int4(RoundHalfEven(rec.Intensity(100, 0))));

  // Gammas beyond 90 degrees: gamma range 180 and 91 angles; a full circle as C range 350.
  FillGrid(rec, 0, Steps(0, 30, 330), Steps(0, 10, 180), Distribution);
  const auto full = Lines(LTLIText(rec));
  EXPECT_EQ(full[0].substr(4, 8), " 350 180");
  EXPECT_EQ(full.size(), 5u + (91 * 36 + 16) / 17);
}

TEST(LtliWriter, LargeAreaGoesInMillimetres) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), Distribution);
  rec.AreaDim = {2500, 300, 0, 61, 0, 0, 0};
  const std::string text = LTLIText(rec);
  EXPECT_EQ(text.substr(24, 12), "2500 300  61");
  TLUM32 back;
  ASSERT_TRUE(testing::ReadAs(kFormatLtli, back, text)) << back.ReadError;
  EXPECT_EQ(DimsOf(back.AreaDim), (std::vector<int>{2500, 300, 0, 61}));
  rec.AreaDim = {1999, 300, 0, 61, 0, 0, 0};
  EXPECT_EQ(LTLIText(rec).substr(24, 12), " 199  30   6");
}

// Values too large for four columns, and tables too small for whole numbers (most of their
// values would become 0), are refused; whole numbers of small tables are written.
TEST(LtliWriter, IntensitiesTheColumnsCannotHoldAreRefused) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), [](float, float g) { return g < 50 ? 12000.0f : 1.0f; });
  EXPECT_THROW(LTLIText(rec), IoError);
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), [](float, float) { return 9999.4f; });
  EXPECT_NO_THROW(LTLIText(rec));
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), [](float, float g) { return 9.0f - g / 10; });
  EXPECT_THROW(LTLIText(rec), IoError);
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), [](float, float) { return 1.0f; });
  EXPECT_NO_THROW(LTLIText(rec));
}

}  // namespace
}  // namespace lumatra
