// IES LM-63 reading: editions, header keywords, TILT variants, the two short records, the value
// lists, symmetry detection, photometric types B and A, and refusal of hostile files.
#include <gtest/gtest.h>

#include <string>

#include "app/format_table.h"
#include "formats/format_checks.h"
#include "formats/ies.h"
#include "formats/textio.h"
#include "model/lum32.h"
#include "photometry/interpolation.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using format_checks::DimsOf;
using format_checks::Grid;
using format_checks::GridOf;
using testing::TestDataDir;

// The record's persistent blocks are packed, so their fields are compared as values (unary +):
// the assertions would otherwise bind references to misaligned members.

struct Parsed {
  bool ok = false;
  std::uint8_t code = 0;
};

Parsed Parse(TLUM32& rec, const std::string& text) {
  rec.Clear();
  Parsed p;
  p.ok = ParseIes(rec, text, p.code);
  if (p.ok) SetupSymmetry(rec, rec.Symmetry);
  return p;
}

// A small type C file: 3 gamma angles, the given horizontal angles, candela 100*(plane)+gamma.
std::string TypeC(const std::string& head, const std::string& horizontal, int nh,
                  const std::string& ten_tail = "1 2 0 0 0", const std::string& three = "1 1 60") {
  std::string s = head + "TILT=NONE\r\n1 1000 1 3 " + std::to_string(nh) + " " + ten_tail + "\r\n" +
                  three + "\r\n0 45 90\r\n" + horizontal + "\r\n";
  for (int p = 1; p <= nh; ++p)
    s += std::to_string(100 * p) + " " + std::to_string(100 * p + 1) + " " +
         std::to_string(100 * p + 2) + "\r\n";
  return s;
}

TEST(IesEdition, FirstLineSelectsTheCode) {
  // 1991 and 1995 exactly as written (trimmed); 2002 and 2019 also in lower case and with blanks
  // after the colon; anything else is a 1986 label line.
  const struct {
    std::string first;
    std::uint8_t code;
  } cases[] = {{"Some label", kFormatIes86},
               {"IESNA91", kFormatIes91},
               {"IESNA:LM-63-1995", kFormatIes95},
               {"  IESNA91  ", kFormatIes91},
               {"iesna91", kFormatIes86},
               {"IESNA95", kFormatIes86},
               {"iesna:lm-63-1995", kFormatIes86},
               {"IESNA:LM-63-2002", kFormatIes02},
               {"iesna: lm-63-2002 ", kFormatIes02},
               {"IES:LM-63-2019", kFormatIes19},
               {"IES:  lm-63-2019", kFormatIes19},
               {"IESNA:LM-63-2019", kFormatIes86},
               {"IESNA:LM-63-2002 draft", kFormatIes86}};
  for (const auto& c : cases) {
    TLUM32 rec;
    const Parsed p = Parse(rec, TypeC(c.first + "\r\n[MANUFAC] ACME\r\n", "0", 1));
    ASSERT_TRUE(p.ok) << c.first;
    EXPECT_EQ(p.code, c.code) << c.first;
    // Keywords fill fields in the keyword editions only.
    EXPECT_EQ(rec.Company.empty(), c.code == kFormatIes86) << c.first;
  }
}

// 2002 and 2019: a keyword and its [MORE] lines are one text, cut to its field; the lamp
// catalogue number wins over the lamp description; the keyword lines stay whole.
TEST(IesKeywordEditions, KeywordsWithTheirMoreLinesFillTheFields) {
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, (TestDataDir() / "ies" / "downlight_2019.ies").string())) << rec.ReadError;
  EXPECT_EQ(rec.FileFormat, kFormatIes19);
  const LampSetData& lamp = rec.LampSet[0];
  EXPECT_EQ((std::vector<std::string>{rec.ReportNo.str(), rec.DateUser.str(), rec.Company.str(),
                                      rec.LumNumber.str(), rec.LumName.str(), lamp.LampType.str(),
                                      lamp.ColourAppearance.str(), lamp.ColourRendering.str()}),
            (std::vector<std::string>{
                "LT-2019-0042", "2021-03-15", "Example Lighting Works", "EX-DL-150-840",
                "Recessed LED downlight, 150 mm aperture, opal diffuser for ceilings of 12 to 25 ",
                "LED-MOD-12W-840", "4000 K", "82"}));
  EXPECT_EQ(+rec.IesGenerationType, 110100u);

  const std::string long_text(300, 'x');
  ASSERT_TRUE(Parse(rec, TypeC("IESNA:LM-63-2002\r\n[TEST]glued\r\n[LAMP] 70 W HIT\r\n[_NOTE] " +
                                   long_text + "\r\n",
                               "0", 1, "1 2 0 0 0", "1 1.10000 60"))
                  .ok);
  EXPECT_EQ(rec.ReportNo.str(), "glued");
  EXPECT_EQ(rec.LampSet[0].LampType.str(), "70 W HIT");
  EXPECT_EQ(rec.LabelLines->back(), "[_NOTE] " + long_text);
  EXPECT_EQ(+rec.IesGenerationType, 0u);  // 2002 reserves the value
}

TEST(IesKeywordEditions, TheFileGenerationTypeIsKeptWhenItIsOne) {
  const struct {
    std::string value;
    std::uint32_t kept;
  } cases[] = {{"1.00001", 100001}, {"1.10100", 110100}, {"1.0101", 101010},
               {"1", 100000},       {"0.95", 0},         {"2", 0},
               {"abc", 0}};
  for (const auto& c : cases) {
    TLUM32 rec;
    ASSERT_TRUE(
        Parse(rec, TypeC("IES:LM-63-2019\r\n", "0", 1, "1 2 0 0 0", "1 " + c.value + " 60")).ok);
    EXPECT_EQ(+rec.IesGenerationType, c.kept) << c.value;
  }
}

TEST(IesKeywords, FillTheTextFields) {
  TLUM32 rec;
  std::string head =
      "IESNA:LM-63-1995\r\n[test] R-42\r\n[manufac] Lumen & Co\r\n[LUMCAT] LC-7\r\n"
      "[LUMINAIRE] Downlight\r\n[DATE] 2024-05-01\r\n[LAMP] LED 3000K\r\n[MORE] ignored\r\n";
  ASSERT_TRUE(Parse(rec, TypeC(head, "0", 1)).ok);
  // Lower-case keywords match too.
  EXPECT_EQ((std::vector<std::string>{rec.Company.str(), rec.ReportNo.str(), rec.LumNumber.str(),
                                      rec.LumName.str(), rec.DataFileName.str(),
                                      rec.LampSet[0].LampType.str()}),
            (std::vector<std::string>{"Lumen & Co", "R-42", "LC-7", "Downlight", "2024-05-01",
                                      "LED 3000K"}));
  EXPECT_EQ(rec.LabelLines->size(), 8u);
}

TEST(IesKeywords, WholeFirstWordOnlyFirstMatchAndNotAfterTilt) {
  TLUM32 rec;
  std::string head =
      "IESNA91\r\n[MANUFAC]Glued text\r\nNote [LUMCAT] X\r\n[MANUFAC] First\r\n"
      "[MANUFAC] Second\r\n[TEST],Comma\r\n";
  std::string text = TypeC(head, "0", 1) + "[LUMINAIRE] after tilt\r\n";
  ASSERT_TRUE(Parse(rec, text).ok);
  EXPECT_EQ(rec.Company.str(), "First");
  EXPECT_TRUE(rec.LumNumber.empty());  // not the first word
  EXPECT_TRUE(rec.LumName.empty());    // after the TILT line
  EXPECT_EQ(rec.ReportNo.str(), ",Comma");

  const std::string header = head + "TILT=NONE\r\n";
  LineReader in(header);
  EXPECT_EQ(FindIesKeyword(in, "[MANUFAC]"), "First");
  EXPECT_EQ(FindIesKeyword(in, "[LAMP]"), "");
}

TEST(IesKeywords, TextsAreCutToTheirFields) {
  TLUM32 rec;
  const std::string long_text(120, 'x');
  std::string head = "IESNA91\r\n[MANUFAC] " + long_text + "\r\n[TEST] " + long_text + "\r\n";
  ASSERT_TRUE(Parse(rec, TypeC(head, "0", 1)).ok);
  EXPECT_EQ(rec.Company.str(), long_text.substr(0, 80));
  EXPECT_EQ(rec.ReportNo.str(), long_text.substr(0, 40));
}

TEST(IesTilt, IncludeSkipsExactlyFourLines) {
  TLUM32 rec;
  // The four tilt lines hold enough words to be taken for the ten values if they were not
  // skipped.
  std::string text =
      "IESNA:LM-63-1995\ntilt=include\n1\n13 1 1 1 1 1 1 1 1 1 1\n0 15 30 45 60 75 90 105 120\n"
      "1 .95 .94 .90 .88 .87 .98 .87 .88 .90 .94\n2 500 1 2 1 1 2 0 0 0\n1 1 10\n0 90\n0\n40 20\n";
  Parsed p = Parse(rec, text);
  ASSERT_TRUE(p.ok) << rec.ReadError;
  EXPECT_EQ(p.code, kFormatIes95);
  EXPECT_EQ(+rec.LampSet[0].NumLamps, 2);
  EXPECT_EQ(+rec.NumGammas, 2);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 2), 20.0f);
  EXPECT_EQ(rec.LabelLines->size(), 1u);
}

TEST(IesTilt, NoneAndFileNameSkipNothing) {
  for (std::string tilt : {"TILT=NONE", "TILT= none ", "TILT=lamp.tlt"}) {
    TLUM32 rec;
    std::string text = "x\n" + tilt + "\n1 1000 1 2 1 1 2 0 0 0\n1 1 10\n0 90\n0\n40 20\n";
    ASSERT_TRUE(Parse(rec, text).ok) << tilt << ": " << rec.ReadError;
    EXPECT_FLOAT_EQ(rec.GetIntensity(1, 1), 40.0f) << tilt;
  }
}

TEST(IesTenValues, SpreadOverLinesOrCommaSeparated) {
  TLUM32 rec;
  std::string text = "x\nTILT=NONE\n2\n750\n2\n2 1\n1\n2\n-0.5\n0\n0\n0.9 1 35.6\n0,90\n0\n40,20\n";
  ASSERT_TRUE(Parse(rec, text).ok) << rec.ReadError;
  const LampSetData& lamp = rec.LampSet[0];
  EXPECT_EQ((std::vector<double>{1.0 * lamp.NumLamps, +lamp.FluxPerLamp, +lamp.TotalFlux,
                                 1.0 * lamp.Wattage, 1.0 * rec.NumGammas, 1.0 * rec.OpeningShape,
                                 1.0 * rec.AreaDim.Diameter, 1.0 * rec.LumDim.Height}),
            (std::vector<double>{2, 750, 1500, 36, 2, 4, 500, 1}));
  EXPECT_FLOAT_EQ(+rec.BallastFactor, 0.9f);
  // 40 cd x multiplier 2 / 1.5 klm
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 1), static_cast<float>(80.0L / 1.5L));

  std::string commas = "x\nTILT=NONE\n1,1000,1,2,1,1,2,0,0,0\n1,1,10\n0,90\n0\n40,20\n";
  ASSERT_TRUE(Parse(rec, commas).ok);
  EXPECT_EQ(+rec.NumGammas, 2);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 2), 20.0f);
}

TEST(IesTenValues, ZeroRulesAndUnits) {
  TLUM32 rec;
  // 0 lamps -> 1, multiplier 0 -> 1, units feet.
  ASSERT_TRUE(Parse(rec, "x\nTILT=NONE\n0 2000 0 2 1 1 1 1 2 0.5\n1 1 10\n0 90\n0\n40 20\n").ok);
  EXPECT_EQ(+rec.LampSet[0].NumLamps, 1);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 1), 20.0f);  // 40 cd / 2 klm
  EXPECT_EQ(+rec.OpeningShape, 1);
  EXPECT_EQ(DimsOf(rec.AreaDim), (std::vector<int>{610, 305, 0, 152}));  // 609.6, 304.8, 152.4

  // Unknown units: every dimension 0, luminaire height 1.
  ASSERT_TRUE(Parse(rec, "x\nTILT=NONE\n1 1000 1 2 1 1 3 1 2 0.5\n1 1 10\n0 90\n0\n40 20\n").ok);
  EXPECT_EQ(DimsOf(rec.AreaDim), (std::vector<int>{0, 0, 1, 0}));
  EXPECT_EQ(+rec.LumDim.Height, 1);

  // Metres, to the nearest millimetre.
  ASSERT_TRUE(
      Parse(rec, "x\nTILT=NONE\n1 1000 1 2 1 1 2 0.3004 1.2496 0\n1 1 10\n0 90\n0\n4 2\n").ok);
  EXPECT_EQ((std::vector<int>{rec.AreaDim.Width, rec.AreaDim.Length}),
            (std::vector<int>{300, 1250}));
}

TEST(IesTenValues, AbsolutePhotometryKeepsTheCandela) {
  TLUM32 rec;
  ASSERT_TRUE(Parse(rec, "x\nTILT=NONE\n2 -1 1 2 1 1 2 0 0 0\n1 1 10\n0 90\n0\n1234.5 20\n").ok);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 1), 1234.5f);
  // cd/klm x TotalFlux / 1000 must give the file's candela back.
  EXPECT_FLOAT_EQ(+rec.LampSet[0].TotalFlux, 1000.0f);
  EXPECT_FLOAT_EQ(+rec.LampSet[0].FluxPerLamp, 500.0f);
  EXPECT_EQ(+rec.LampSet[0].NumLamps, 2);

  // A multiplier still applies; 0 lumens cannot divide and reads like absolute photometry.
  ASSERT_TRUE(Parse(rec, "x\nTILT=NONE\n1 0 2.5 2 1 1 2 0 0 0\n1 1 10\n0 90\n0\n100 20\n").ok);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 1), 250.0f);
}

// The values of the lists are one stream of numbers: a list may end mid-line and the next one
// begins right after it; blank lines and line ends mean nothing.
TEST(IesLists, ValuesAreOneStreamOverTheLines) {
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, (TestDataDir() / "ies" / "candela_mid_line.ies").string()))
      << rec.ReadError;
  EXPECT_EQ(GridOf(rec), (Grid{2, 2, 3, 0, 180, 180, 0, 45, 90}));
  EXPECT_EQ(
      (std::vector<float>{rec.GetIntensity(1, 1), rec.GetIntensity(1, 2), rec.GetIntensity(1, 3),
                          rec.GetIntensity(2, 1), rec.GetIntensity(2, 2), rec.GetIntensity(2, 3)}),
      (std::vector<float>{800, 600, 200, 800, 500, 100}));

  // Angles over three lines and a blank one; the horizontal list ends mid-line.
  ASSERT_TRUE(
      Parse(
          rec,
          "x\nTILT=NONE\n1 1000 1 4 2 1 2 0 0 0\n1 1 10\n0 30\n\n60\n90\n0 180 1\n2 3\n4 5 6 7 8\n")
          .ok)
      << rec.ReadError;
  EXPECT_FLOAT_EQ(rec.GetGamma(3), 60.0f);
  EXPECT_FLOAT_EQ(rec.GetCAngle(2), 180.0f);
  EXPECT_EQ((std::vector<float>{rec.GetIntensity(1, 1), rec.GetIntensity(1, 4),
                                rec.GetIntensity(2, 1), rec.GetIntensity(2, 4)}),
            (std::vector<float>{1, 4, 5, 8}));
}

TEST(IesLists, CommasAndTabsSeparateValues) {
  TLUM32 rec;
  // "0,5" is two values, not a decimal comma: commas are delimiters in IES files.
  ASSERT_TRUE(Parse(rec, "x\nTILT=NONE\n1 1000 1 2 1 1 2 0 0 0\n1 1 10\n0,5\n0\n7,5\n").ok);
  EXPECT_FLOAT_EQ(rec.GetGamma(2), 5.0f);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 1), 7.0f);

  // Tab-separated values are values too.
  ASSERT_TRUE(Parse(rec, "x\nTILT=NONE\n1 1000 1 2 1 1 2 0 0 0\n1 1 10\n0 5\n0\n7\t5 9\n").ok);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 1), 7.0f);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 2), 5.0f);
  ASSERT_TRUE(Parse(rec,
                    "x\nTILT=NONE\n1 1000 1 3 2 1 2 0 0 0\n1 1 10\n0 45 90\n0 180\n"
                    "10\t\t20\t\t30\n40\t\t50\t\t60\n")
                  .ok)
      << rec.ReadError;
  for (std::size_t i = 1; i <= 2; ++i)
    for (std::size_t j = 1; j <= 3; ++j)
      EXPECT_FLOAT_EQ(rec.GetIntensity(i, j), 10.0f * static_cast<float>(3 * (i - 1) + j));
}

TEST(IesLists, LineEndStylesAndLongLines) {
  const std::string body = "1 1000 1 400 1 1 2 0 0 0|1 1 10|";
  std::string angles, values;
  for (int i = 0; i < 400; ++i) {
    angles += std::to_string(i * 0.25) + " ";
    values += std::to_string(i) + " ";
  }
  for (std::string eol : {"\r\n", "\n", "\r"}) {
    std::string text = "x" + eol + "TILT=NONE" + eol;
    for (char c : body)
      text += c == '|' ? eol : std::string(1, c);
    text += angles + eol + "0" + eol + values + eol;
    TLUM32 rec;
    ASSERT_TRUE(Parse(rec, text).ok) << rec.ReadError;
    EXPECT_EQ(+rec.NumGammas, 400);
    EXPECT_FLOAT_EQ(rec.GetGamma(400), 99.75f);
    EXPECT_FLOAT_EQ(rec.GetIntensity(1, 400), 399.0f);
  }
}

// The symmetry follows the horizontal angle range; a closing C360 plane is dropped.
TEST(IesSymmetry, FromTheHorizontalAngleRange) {
  std::string angles16;
  for (int i = 0; i <= 16; ++i)
    angles16 += std::to_string(i * 22.5) + " ";
  const struct {
    std::string horizontal;
    int count;
    Grid grid;
  } cases[] = {
      {"0 45 90", 3, {4, 3, 3, 0, 45, 90, 0, 45, 90}},
      {"0 90 180", 3, {2, 3, 3, 0, 90, 180, 0, 45, 90}},
      {"90 180 270", 3, {3, 3, 3, 90, 90, 270, 0, 45, 90}},
      {"0 90 180 270", 4, {0, 4, 3, 0, 90, 270, 0, 45, 90}},
      {"90", 1, {1, 1, 3, 0, 15, 0, 0, 45, 90}},
      {angles16, 17, {0, 16, 3, 0, 22.5f, 337.5f, 0, 45, 90}},
  };
  TLUM32 rec;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.horizontal);
    ASSERT_TRUE(Parse(rec, TypeC("x\n", c.horizontal, c.count)).ok) << rec.ReadError;
    EXPECT_EQ(GridOf(rec), c.grid);
  }
  // The 337.5 plane is the last one stored, not the 360 one; between C337.5 and C360 the
  // full-circle routine closes the circle toward C0.
  ASSERT_EQ(rec.Matrix->Rows(), 17u);
  EXPECT_FLOAT_EQ(rec.GetIntensity(16, 1), 1600.0f);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 3), 102.0f);
  EXPECT_NEAR(rec.Intensity(348.75f, 0.0f), 850.0f, 1e-3);
  // A single plane keeps its angle, and the rotational routine answers the same for every C.
  ASSERT_TRUE(Parse(rec, TypeC("x\n", "90", 1)).ok);
  EXPECT_FLOAT_EQ(rec.GetCAngle(1), 90.0f);
  EXPECT_FLOAT_EQ(rec.Intensity(123.0f, 45.0f), 101.0f);
}

TEST(IesSymmetry, IrregularAnglesSetTheGridFlags) {
  TLUM32 rec;
  ASSERT_TRUE(Parse(rec,
                    "x\nTILT=NONE\n1 1000 1 3 3 1 2 0 0 0\n1 1 10\n0 10 30\n0 30 90\n"
                    "1 2 3\n4 5 6\n7 8 9\n")
                  .ok);
  // The flags mark the lists; the steps hold the smallest gaps.
  EXPECT_EQ(GridOf(rec), (Grid{4, 3, 3, 0, 30, 90, 0, 10, 30, kGammaIrregular | kCIrregular}));
  EXPECT_EQ((std::vector<float>{rec.MinGStep, rec.MinCStep}), (std::vector<float>{10, 30}));
}

// Type B: the IES vertical angles are the stored planes, the horizontal ones the angles
// within a plane.
TEST(IesTypeB, FixturesKeepTheirSystemAndGrid) {
  const struct {
    const char* file;
    std::uint8_t format, system;
    Grid grid;
  } cases[] = {
      {"type_b_quadrant.ies", kFormatIes95, kSystemB, {4, 4, 3, 0, 10, 30, 0, 20, 40}},
      {"type_b_full.ies", kFormatIes86, kSystemB, {0, 5, 3, -90, 45, 90, -90, 90, 90}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TLUM32 rec;
    ASSERT_TRUE(Load(rec, (TestDataDir() / "ies" / c.file).string())) << rec.ReadError;
    EXPECT_EQ(rec.FileFormat, c.format);
    EXPECT_EQ(+rec.PhotSystem, c.system);
    EXPECT_EQ(GridOf(rec), c.grid);
  }
}

TEST(IesTypeB, FixtureValues) {
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, (TestDataDir() / "ies" / "type_b_quadrant.ies").string())) << rec.ReadError;
  EXPECT_FLOAT_EQ(rec.GetCAngle(4), 30.0f);
  EXPECT_FLOAT_EQ(rec.GetGamma(3), 40.0f);
  EXPECT_FLOAT_EQ(rec.GetIntensity(2, 3), 600.0f);  // V10, H40: 6000 cd per 10 klm
  EXPECT_FLOAT_EQ(rec.GetIntensity(4, 1), 300.0f);
  EXPECT_FLOAT_EQ(+rec.MinGStep, 10.0f);
  EXPECT_EQ(rec.LumName.str(), "Floodlight, type B, symmetric about both axes");
  EXPECT_FLOAT_EQ(rec.Intensity(0.0f, 0.0f), 900.0f);  // straight down is B 0, beta 0

  ASSERT_TRUE(Load(rec, (TestDataDir() / "ies" / "type_b_full.ies").string())) << rec.ReadError;
  EXPECT_FLOAT_EQ(rec.GetIntensity(3, 2), 100.0f);  // V0, H0
  EXPECT_FLOAT_EQ(rec.GetIntensity(4, 3), 5.0f);    // V45, H90
  EXPECT_EQ(rec.LabelLines->size(), 2u);
}

// Refused files get code 14 and a one-line reason ("*" first: the reason holds the rest; empty:
// any reason); counts are checked against the file before the table exists.
TEST(IesHostile, RefusedFilesNameTheFault) {
  const std::string ten = "x\nTILT=NONE\n1 1000 1 2 1 1 2 0 0 0\n1 1 10\n";
  const struct {
    std::string text, reason;
  } cases[] = {
      {"IESNA91\n[MANUFAC] X\n1 1000 1 2 1 1 2 0 0 0\n", "ies: no TILT line"},
      // The first line is the edition or label line; a TILT there does not count.
      {"TILT=NONE\n1 1000 1 2 1 1 2 0 0 0\n1 1 1\n0 1\n0\n1 2\n", ""},
      {"x\nTILT=NONE\n1 1000 1 2 1\n1 2\n",
       "ies: file ends before the ten values after the TILT line"},
      {"x\nTILT=INCLUDE\n1\n2\n0 90\n", ""},  // the tilt lines take the rest
      {"x\nTILT=NONE\n1 1000 1 2 1 1 2 0 0 0\n1 1\n",
       "ies: file ends before the ballast factor and input watts"},
      {"x\nTILT=NONE\n1 1000 1 60000 60000 1 2 0 0 0\n1 1 10\n0 90\n0\n1 2\n",
       "ies: line 3: 60000 x 60000 intensities exceed the limit of 1000000"},
      {"x\nTILT=NONE\n1 1000 1 70000 1 1 2 0 0 0\n1 1 10\n0\n", "*65535"},
      {"x\nTILT=NONE\n1 1000 1 0 1 1 2 0 0 0\n1 1 10\n0\n",
       "ies: line 3: number of vertical angles is 0"},
      {"x\nTILT=NONE\n1 1000 1 2 -3 1 2 0 0 0\n1 1 10\n0\n",
       "ies: line 3: number of horizontal angles is -3"},
      // Two values short of 2 + 2 angles and 2 x 2 candela values.
      {"x\nTILT=NONE\n1 1000 1 2 2 1 2 0 0 0\n1 1 10\n0 90\n0 180\n1 2\n",
       "ies: declares 2 x 2 values, only 2 candela values follow the angles"},
      {"x\nTILT=NONE\n1 1e39 1 2 1 1 2 0 0 0\n1 1 10\n0 90\n0\n1 2\n",
       "ies: lumens per lamp out of range"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TLUM32 rec;
    const Parsed p = Parse(rec, c.text);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.code, kFormatLoadFailed);
    EXPECT_FALSE(rec.ReadError.empty());
    EXPECT_EQ(rec.ReadError.find('\n'), std::string::npos);
    if (c.reason.starts_with("*")) {
      EXPECT_NE(rec.ReadError.find(c.reason.substr(1)), std::string::npos) << rec.ReadError;
    } else if (!c.reason.empty()) {
      EXPECT_EQ(rec.ReadError, c.reason);
    }
    if (c.reason.find("declares") != std::string::npos) {
      EXPECT_FALSE(rec.Matrix);
    }
  }
}

// A closing 360-degree plane is dropped unread, so the file need not hold its values; absurd
// dimensions saturate instead of overflowing.
TEST(IesHostile, ClosingPlaneUnreadAndHugeDimensionsSaturate) {
  TLUM32 rec;
  const Parsed p = Parse(rec, "x\nTILT=NONE\n1 1000 1 2 2 1 2 0 0 0\n1 1 10\n0 90\n0 360\n1 2\n");
  EXPECT_TRUE(p.ok) << rec.ReadError;
  ASSERT_TRUE(Parse(rec, "x\nTILT=NONE\n1 1000 1 2 1 1 2 -1e300 0 0\n1 1 10\n0 90\n0\n1 2\n").ok);
  EXPECT_EQ(+rec.AreaDim.Diameter, 65535);
}

TEST(IesHostile, BinaryJunkAndEmptyInput) {
  TLUM32 rec;
  std::string junk;
  for (int i = 0; i < 4096; ++i)
    junk += static_cast<char>((i * 131 + 7) & 0xFF);
  EXPECT_FALSE(Parse(rec, junk).ok);
  EXPECT_FALSE(Parse(rec, "").ok);
  EXPECT_FALSE(Parse(rec, std::string("x\nTILT=NONE\n\0\0\0", 15)).ok);
  EXPECT_FALSE(Parse(rec, "x\nTILT=NONE\n" + junk).ok);
  EXPECT_FALSE(rec.ReadError.empty());
  EXPECT_EQ(rec.ReadError.find('\n'), std::string::npos);
}

TEST(IesFallback, NothingAnEarlierReaderLeftLeaksIn) {
  TLUM32 rec;
  rec.Clear();
  rec.SetFileName("/data/lamp.txt");
  // What a reader tried before in the fallback chain may have stored before it failed.
  rec.LabelLines = std::vector<std::string>{"old", "lines"};
  rec.Symmetry = 4;
  rec.PhotSystem = kSystemB;
  rec.LumName = "stale";
  rec.AreaDim.Width = 77;
  std::uint8_t code = 0;
  ASSERT_TRUE(ParseIes(rec, TypeC("new\n", "0 90 180 270", 4), code));
  ASSERT_EQ(rec.LabelLines->size(), 1u);
  EXPECT_EQ((*rec.LabelLines)[0], "new");
  EXPECT_EQ(+rec.Symmetry, 0);
  EXPECT_EQ(+rec.PhotSystem, kSystemC);
  EXPECT_TRUE(rec.LumName.empty());
  EXPECT_EQ(+rec.AreaDim.Width, 0);
  EXPECT_EQ(rec.FileName, "/data/lamp.txt");
}

}  // namespace
}  // namespace lumatra
