// CIE 102: the written keyword lines and list wrapping, the key lookup, the remapped C ranges,
// the three error boxes, and reading back what the writer produces.
#include "formats/cie.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "formats/format_checks.h"
#include "formats/textio.h"
#include "model/lum32.h"
#include "support/short_date.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using format_checks::CapturedMessages;
using format_checks::ExpectReason;
using format_checks::ExpectSameTable;
using format_checks::Grid;
using format_checks::GridOf;
using format_checks::Lines;
using format_checks::OneDecimal;
using testing::FillGrid;
using testing::Steps;

float Smooth(float c, float g) {
  return 250.0f + 3.25f * g - 0.5f * c + 0.02f * c * g;
}

std::string KeyLine(const std::vector<std::string>& lines, std::string_view key) {
  for (const auto& line : lines)
    if (line.rfind(key, 0) == 0) return line;
  return "(none)";
}

TEST(CieWriter, KeywordLinesInOrder) {
  TLUM32 rec;
  FillGrid(rec, 4, Steps(0, 30, 90), Steps(0, 10, 90), Smooth);
  rec.SetFileName("/out/Lamp.One.LVK");
  rec.LumName = std::string(80, 'n');
  rec.LampSet[0].LampType = std::string(40, 'l');
  rec.LampSet[0].NumLamps = 3;
  rec.LampSet[0].TotalFlux = 3450.5f;
  rec.LampSet[0].Wattage = 42;
  rec.Tm14Extra = 2.75f;
  rec.AreaDim = {600, 300, 0, 0, 0, 0, 0};
  const std::string head =
      "CIEF= CIE FileFormat, Version 1.0\r\nIDNM= Lamp\r\nLUMN= " + std::string(80, 'n') +
      "\r\nLAMP= " + std::string(40, 'l') +
      "\r\nNLPS= 3\r\nTOLU= 3450\r\nLLGE= 2\r\nBLID= \r\nINPW= 42\r\nINVO= \r\nINVA= \r\n"
      "TLME= 2.8\r\nLSHP= 7\r\nNLAV= 1\r\nLA01= 0.180, 0, 0\r\nPHOT= INCLUDE\r\nPTYP= C\r\n"
      "APOS= C1\r\nLUBA= 1000\r\nMULT= 1\r\nBAFA= 1\r\nNCON= 10\r\nNPLA= 4\r\n"
      "CONA=  0.0  10.0  20.0  30.0  40.0  50.0  60.0  70.0  80.0  90.0\r\n0.0  250.0  ";
  EXPECT_EQ(CieText(rec).substr(0, head.size()), head);

  rec.LumName = std::string(85, 'n');  // capacity 80, and the line is cut at 86
  EXPECT_LE(KeyLine(Lines(CieText(rec)), "LUMN").size(), 86u);
}

TEST(CieWriter, RoundAreaAndSideAreas) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), Smooth);
  rec.AreaDim = {0, 0, 300, 0, 0, 0, 0};
  auto lines = Lines(CieText(rec));
  EXPECT_EQ(KeyLine(lines, "LSHP"), "LSHP= 3");
  EXPECT_EQ(KeyLine(lines, "NLAV"), "NLAV= 1");
  EXPECT_EQ(KeyLine(lines, "LA01"), "LA01= 0.071, 0, 0");
  EXPECT_EQ(KeyLine(lines, "LA02"), "(none)");

  rec.AreaDim = {1200, 150, 0, 40, 20, 0, 0};
  lines = Lines(CieText(rec));
  EXPECT_EQ(KeyLine(lines, "NLAV"), "NLAV= 3");
  EXPECT_EQ(KeyLine(lines, "LA01"), "LA01= 0.180, 0, 0");
  EXPECT_EQ(KeyLine(lines, "LA02"), "LA02= 0.048, 0, 90");
  EXPECT_EQ(KeyLine(lines, "LA03"), "LA03= 0.003, 90, 90");
}

TEST(CieWriter, ListsWrapWithin78CharactersAndKeepEveryValue) {
  TLUM32 rec;
  FillGrid(rec, 2, Steps(0, 15, 180), Steps(0, 2.5f, 90),
           [](float c, float g) { return 12345.6f + c + g; });
  ASSERT_EQ(rec.NumGammas, 37);
  const auto lines = Lines(CieText(rec));
  auto cona = std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.rfind("CONA=", 0) == 0; });
  ASSERT_NE(cona, lines.end());
  std::vector<double> angles;
  for (auto it = cona; it != lines.end(); ++it) {
    EXPECT_LE(it->size(), 78u) << *it;
    EXPECT_NE(it->front(), ' ') << *it;
  }
  std::string rest = cona->substr(5);
  for (auto it = cona + 1; angles.size() + WordCount(rest, ValueDelimiters) < 37; ++it)
    rest += " " + *it;
  for (std::size_t k = 1; k <= WordCount(rest, ValueDelimiters); ++k)
    angles.push_back(StrToFloatOrZero(ExtractWord(k, rest, ValueDelimiters)));
  ASSERT_EQ(angles.size(), 37u);
  for (std::size_t k = 0; k < 37; ++k)
    EXPECT_DOUBLE_EQ(angles[k], 2.5 * k);
}

TEST(CieKeys, LookupIgnoresCaseAndStopsAtASecondEquals) {
  const std::string text =
      "CIEF= x\r\nlumn = My = Lamp\r\nIDNM=\r\nAPOSX= B\r\nNPLA= 4\r\nnext line\r\n";
  LineReader in(text);
  EXPECT_EQ(FindCieKey(in, "LUMN"), "My");
  EXPECT_EQ(FindCieKey(in, "idnm"), "");
  EXPECT_EQ(FindCieKey(in, "APOS"), "");
  EXPECT_EQ(FindCieKey(in, "NPLA"), "4");
  EXPECT_EQ(in.ReadLine(), "next line");
  EXPECT_EQ(FindCieKey(in, "MISSING"), "");
}

std::string CieFile(std::string_view apos, std::string_view planes_text, int planes, int cones,
                    std::string_view extra = "") {
  return "cief= cie fileformat, version 1.0\r\nIDNM= L-1\r\nLUMN= Downlight\r\nLAMP= LED\r\n"
         "NLPS= 2\r\nTOLU= 3000\r\nINPW= 24.6\r\nPHOT= INCLUDE\r\nAPOS= " +
         std::string(apos) + "\r\n" + std::string(extra) + "NPLA= " + std::to_string(planes) +
         "\r\nNCON= " + std::to_string(cones) + "\r\nCONA= 0, 30\r\n60 90\r\n" +
         std::string(planes_text);
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

// Four planes of four values: the angle and then 1x, 2x, 3x, 4x the plane number.
const char* kPlanes90To180 =
    "90 1 2 3 4\r\n\r\n120 5 6 7 8\r\n150 9 10\r\n11 12\r\n   \r\n180 13 14 15 16\r\n";

TEST(CieReader, HeaderFieldsAndAnEmptyAposReadAsCGamma) {
  CapturedMessages messages;
  TLUM32 rec;
  rec.SetFileName("/in/cat.alog.lvk");
  ASSERT_TRUE(testing::ReadAs(kFormatCie, rec, CieFile("", "0 1 2 3 4\r\n90 5 6 7 8\r\n", 2, 4)))
      << rec.ReadError;
  EXPECT_TRUE(messages.errors.empty());
  EXPECT_EQ(rec.PhotSystem, kSystemC);
  EXPECT_EQ(GridOf(rec), (Grid{4, 2, 4, 0, 90, 90, 0, 30, 90}));
  EXPECT_EQ((std::vector<std::string>{rec.Company.str(), rec.LumName.str(), rec.LumNumber.str(),
                                      rec.ShortName.str(), rec.LampSet[0].LampType.str()}),
            (std::vector<std::string>{"NN", "Downlight", "L-1", "cat.LDT", "LED"}));
  EXPECT_EQ(rec.DateUser.str().substr(0, 10), FormatShortDate(TodayAsDays()));
  EXPECT_EQ(rec.DateUser.view().size(), 40u);
  const LampSetData& lamp = rec.LampSet[0];
  EXPECT_EQ((std::vector<double>{1.0 * rec.NumLampSets, 1.0 * lamp.NumLamps, +lamp.TotalFlux,
                                 +lamp.FluxPerLamp, 1.0 * lamp.Wattage}),
            (std::vector<double>{1, 2, 3000, 1500, 25}));

  // More lamps than the 8-bit count holds keep their number.
  std::string many = CieFile("", "0 1 2 3 4\r\n90 5 6 7 8\r\n", 2, 4);
  many.replace(many.find("NLPS= 2"), 7, "NLPS= 300");
  ASSERT_TRUE(testing::ReadAs(kFormatCie, rec, many)) << rec.ReadError;
  EXPECT_EQ(rec.LampCount(0), 300u);
  EXPECT_FLOAT_EQ(rec.LampSet[0].FluxPerLamp, 10);

  ASSERT_TRUE(testing::ReadAs(kFormatCie, rec, CieFile("X7", "0 1 2 3 4\r\n", 1, 4)));
  EXPECT_EQ(rec.PhotSystem, kSystemC);
  EXPECT_EQ(rec.Symmetry, 1);
}

TEST(CieReader, MultiplierScalesTheIntensities) {
  TLUM32 rec;
  ASSERT_TRUE(
      testing::ReadAs(kFormatCie, rec, CieFile("C1", "0 1 2 3 4\r\n", 1, 4, "MULT= 2,5\r\n")));
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 4), 10);
  EXPECT_FLOAT_EQ(rec.GetCAngle(1), 0);  // angles are not scaled
  ASSERT_TRUE(
      testing::ReadAs(kFormatCie, rec, CieFile("C1", "0 1 2 3 4\r\n", 1, 4, "MULT= 0\r\n")));
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 4), 4);
}

TEST(CieReader, QuadrantC90ToC180IsMirroredIntoC0ToC90) {
  TLUM32 rec;
  ASSERT_TRUE(testing::ReadAs(kFormatCie, rec, CieFile("C", kPlanes90To180, 4, 4)))
      << rec.ReadError;
  EXPECT_EQ(GridOf(rec), (Grid{4, 4, 4, 0, 30, 90, 0, 30, 90}));
  const float c_angles[] = {0, 30, 60, 90};
  for (int i = 1; i <= 4; ++i) {
    EXPECT_FLOAT_EQ(rec.GetCAngle(i), c_angles[i - 1]);
    // C' = 180 - C: the file's C180 plane (values 13..16) becomes C0.
    EXPECT_FLOAT_EQ(rec.GetIntensity(i, 1), 13 - 4 * (i - 1));
  }
  EXPECT_FLOAT_EQ(rec.Intensity(0, 90), 16);
  EXPECT_FLOAT_EQ(rec.Intensity(180, 90), 16);
}

TEST(CieReader, HalfC270ToC90IsMirroredIntoC90ToC270) {
  TLUM32 rec;
  const std::string planes = "270 1 1 1 1\r\n330 2 2 2 2\r\n30 3 3 3 3\r\n90 4 4 4 4\r\n";
  ASSERT_TRUE(testing::ReadAs(kFormatCie, rec, CieFile("C", planes, 4, 4))) << rec.ReadError;
  EXPECT_EQ(GridOf(rec), (Grid{3, 4, 4, 90, 60, 270, 0, 30, 90}));
  const float c_angles[] = {90, 150, 210, 270};
  for (int i = 1; i <= 4; ++i) {
    EXPECT_FLOAT_EQ(rec.GetCAngle(i), c_angles[i - 1]);
    EXPECT_FLOAT_EQ(rec.GetIntensity(i, 2), 5 - i);
  }
}

TEST(CieReader, FaultsShowTheirErrorBox) {
  struct Case {
    std::string text, box, reason;
  };
  const std::vector<Case> cases = {
      {CieFile("A1", "0 1 2 3 4\r\n", 1, 4), "no A-alpha supported", "cie: A-alpha"},
      {Replaced(CieFile("C", "0 1 2 3 4\r\n", 1, 4), "PHOT= INCLUDE", "PHOT= FILE"),
       "data not included", "cie: PHOT"},
      {CieFile("C", "0 1 2 3 4\r\n  \r\n", 2, 4), "data is missing", "cie: declared 2 planes"},
      {CieFile("C", "0 1\r\n", 70000, 4), "data is missing", "cie: NPLA 70000"},
      {CieFile("C", "0 1\r\n", 0, 4), "data is missing", "cie: NPLA 0"},
      {CieFile("C", "0 1 2 3 4\r\n", 60000, 60000), "data is missing",
       "cie: NPLA 60000 and NCON 60000: 60000 x 60000 intensities exceed the limit of 1000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    CapturedMessages messages;
    TLUM32 rec;
    EXPECT_FALSE(testing::ReadAs(kFormatCie, rec, c.text));
    ExpectReason(rec, c.reason);
    EXPECT_EQ(messages.errors, std::vector<std::string>{c.box});
    EXPECT_FALSE(rec.Matrix);
  }
}

TEST(CieReader, OtherFilesFailQuietly) {
  CapturedMessages messages;
  TLUM32 rec;
  for (const std::string& text : {std::string(), std::string("CIE FILE VERSION\r\n"),
                                  std::string("CIBSE/1\r\n"), std::string("\0\xff CIE", 6)}) {
    EXPECT_FALSE(testing::ReadAs(kFormatCie, rec, text));
    ExpectReason(rec, "cie: first line");
  }
  EXPECT_TRUE(messages.errors.empty());
}

}  // namespace
}  // namespace lumatra
