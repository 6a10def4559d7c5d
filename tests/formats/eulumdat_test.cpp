// The EULUMDAT reader: what each line becomes in the record, the stored planes per symmetry, and
// clean failures for files that are not EULUMDAT or cannot be.
#include "formats/eulumdat.h"

#include <gtest/gtest.h>

#include <random>

#include "formats/textio.h"
#include "ldt_test_lines.h"
#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::Join;
using testing::LdtFile;
using testing::LdtFirstCAngleLine;
using testing::LdtLines;
using testing::LdtValue;

// Parses the lines; the test fails with the reader's reason when it refuses them.
void Parse(TLUM32& rec, const std::vector<std::string>& lines) {
  ASSERT_TRUE(ParseEulumdat(rec, Join(lines))) << rec.ReadError;
}

std::string Refusal(const std::vector<std::string>& lines) {
  TLUM32 rec;
  EXPECT_FALSE(ParseEulumdat(rec, Join(lines)));
  return rec.ReadError;
}

TEST(EulumdatReader, HeaderTextsDimensionsAndLamps) {
  TLUM32 rec;
  Parse(rec, LdtLines(LdtFile()));
  EXPECT_EQ((std::vector<std::string>{rec.Company.str(), rec.ReportNo.str(), rec.ReportNo2.str(),
                                      rec.LumName.str(), rec.LumNumber.str(),
                                      rec.DataFileName.str(), rec.DateUser.str()}),
            (std::vector<std::string>{"Test company / data bank 1.0", "Report 42", "Report 42",
                                      "Line luminaire 1x28W", "LN-100", "source.ldt",
                                      "01.02.2020 / tester"}));
  EXPECT_EQ(rec.LumType, 2);
  EXPECT_EQ(
      (std::vector<int>{rec.LumDim.Length, rec.LumDim.Width, rec.LumDim.Diameter, rec.LumDim.Height,
                        rec.AreaDim.Length, rec.AreaDim.Width, rec.AreaDim.HeightC0,
                        rec.AreaDim.HeightC90, rec.AreaDim.HeightC180, rec.AreaDim.HeightC270}),
      (std::vector<int>{1200, 300, 0, 80, 1100, 250, 10, 11, 12, 13}));
  EXPECT_FLOAT_EQ(+rec.DFF, 85.5f);  // percent until the flux evaluation
  EXPECT_FLOAT_EQ(+rec.LOR, 75.0f);
  ASSERT_EQ(rec.NumLampSets, 1);
  const LampSetData& lamp = rec.LampSet[0];
  EXPECT_EQ((std::vector<std::string>{lamp.LampType.str(), lamp.ColourAppearance.str(),
                                      lamp.ColourRendering.str()}),
            (std::vector<std::string>{"T5 28W set 1", "840", "1B"}));
  EXPECT_EQ((std::vector<double>{1.0 * lamp.NumLamps, +lamp.TotalFlux, +lamp.FluxPerLamp,
                                 1.0 * lamp.Wattage}),
            (std::vector<double>{2, 5100, 2550, 61}));
  EXPECT_EQ(rec.PhotSystem, kSystemC);
  for (float ratio : rec.DirectRatio)
    EXPECT_EQ(ratio, 0.0f);  // recomputed for every output, never read
}

TEST(EulumdatReader, TextsAreRawAndCutToTheirFields) {
  auto lines = LdtLines(LdtFile());
  lines[0] = "  " + std::string(100, 'C');
  lines[7] = std::string(50, 'R');
  TLUM32 rec;
  Parse(rec, lines);
  EXPECT_EQ(rec.Company.str(), "  " + std::string(78, 'C'));
  EXPECT_EQ(rec.ReportNo.str(), std::string(40, 'R'));
}

TEST(EulumdatReader, WidthZeroMakesTheLengthADiameter) {
  auto lines = LdtLines(LdtFile());
  lines[13] = "0";  // luminaire width
  lines[16] = "0";  // luminous area width
  TLUM32 rec;
  Parse(rec, lines);
  EXPECT_EQ(+rec.LumDim.Diameter, 1200);
  EXPECT_EQ(+rec.LumDim.Length, 0);
  EXPECT_EQ(+rec.AreaDim.Diameter, 1100);
  EXPECT_EQ(+rec.AreaDim.Length, 0);
}

TEST(EulumdatReader, NoSymmetryKeepsEveryPlaneAtTheFileStep) {
  TLUM32 rec;
  Parse(rec, LdtLines(LdtFile()));
  EXPECT_EQ(rec.Symmetry, 0);
  EXPECT_EQ(rec.NumPlanes, 24);
  EXPECT_EQ(rec.NumGammas, 19);
  EXPECT_FLOAT_EQ(rec.CFirst, 0);
  EXPECT_FLOAT_EQ(rec.CStep, 15);
  EXPECT_FLOAT_EQ(rec.CLast, 345);
  EXPECT_FLOAT_EQ(rec.GFirst, 0);
  EXPECT_FLOAT_EQ(rec.GStep, 5);
  EXPECT_FLOAT_EQ(rec.GLast, 90);
  EXPECT_FLOAT_EQ(rec.MinGStep, 5);
  EXPECT_EQ(rec.GridFlags, 0);
  EXPECT_FLOAT_EQ(rec.GetCAngle(5), 60);
  EXPECT_FLOAT_EQ(rec.GetGamma(19), 90);
  EXPECT_FLOAT_EQ(rec.GetIntensity(5, 3), LdtValue(5, 3));
  EXPECT_FLOAT_EQ(rec.Intensity(60, 10), LdtValue(5, 3));  // interpolation is bound
}

TEST(EulumdatReader, RotationalSymmetryReadsAllCAnglesAndKeepsOnePlane) {
  auto lines = LdtLines(LdtFile(1, 24, "15"));
  TLUM32 rec;
  Parse(rec, lines);
  EXPECT_EQ(rec.NumPlanes, 1);
  EXPECT_EQ(rec.CFirst, 0);
  EXPECT_EQ(rec.CLast, 0);
  EXPECT_EQ(rec.CStep, 0);
  // The 24 C angle lines were consumed: the gammas and the values are where they belong.
  EXPECT_FLOAT_EQ(rec.GFirst, 0);
  EXPECT_FLOAT_EQ(rec.GLast, 90);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 19), LdtValue(1, 19));
  EXPECT_FLOAT_EQ(rec.Intensity(123, 90), LdtValue(1, 19));
}

TEST(EulumdatReader, SymmetryTwoStoresHalfTheCircleWhateverTheListedAngles) {
  LdtFile f(2, 24, "15");
  for (int i = 0; i < 24; ++i)
    f.c_angles.push_back(std::to_string(1000 + i));  // nonsense, ignored for a regular grid
  TLUM32 rec;
  Parse(rec, LdtLines(f));
  ASSERT_EQ(rec.NumPlanes, 13);
  EXPECT_FLOAT_EQ(rec.CFirst, 0);
  EXPECT_FLOAT_EQ(rec.CLast, 180);
  for (std::size_t i = 1; i <= 13; ++i)
    EXPECT_FLOAT_EQ(rec.GetCAngle(i), 15.0f * (i - 1));
  EXPECT_FLOAT_EQ(rec.GetIntensity(13, 1), LdtValue(13, 1));
}

TEST(EulumdatReader, SymmetryThreeFillsFromC270DownToC90) {
  TLUM32 rec;
  Parse(rec, LdtLines(LdtFile(3, 24, "15")));
  ASSERT_EQ(rec.NumPlanes, 13);
  EXPECT_FLOAT_EQ(rec.CFirst, 90);
  EXPECT_FLOAT_EQ(rec.CLast, 270);
  EXPECT_FLOAT_EQ(rec.GetCAngle(1), 90);
  EXPECT_FLOAT_EQ(rec.GetCAngle(13), 270);
  EXPECT_FLOAT_EQ(rec.GetIntensity(13, 2), LdtValue(1, 2));  // first block: C270
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 2), LdtValue(13, 2));  // last block: C90
  EXPECT_FLOAT_EQ(rec.Intensity(270, 5), LdtValue(1, 2));
}

TEST(EulumdatReader, SymmetryFourStoresAQuarter) {
  TLUM32 rec;
  Parse(rec, LdtLines(LdtFile(4, 36, "10")));
  ASSERT_EQ(rec.NumPlanes, 10);
  EXPECT_FLOAT_EQ(rec.CLast, 90);
  EXPECT_FLOAT_EQ(rec.GetCAngle(10), 90);
  EXPECT_FLOAT_EQ(rec.GetIntensity(10, 1), LdtValue(10, 1));
}

TEST(EulumdatReader, IrregularCAnglesAreKept) {
  LdtFile f(0, 6, "0");
  f.c_angles = {"0", "10", "30", "60", "180", "270"};
  TLUM32 rec;
  Parse(rec, LdtLines(f));
  ASSERT_EQ(rec.NumPlanes, 6);
  EXPECT_EQ(rec.CStep, 0);
  EXPECT_FLOAT_EQ(rec.MinCStep, 10);
  EXPECT_EQ(rec.GridFlags, kCIrregular);
  EXPECT_FLOAT_EQ(rec.CFirst, 0);
  EXPECT_FLOAT_EQ(rec.CLast, 270);
  EXPECT_FLOAT_EQ(rec.GetCAngle(4), 60);
  EXPECT_FLOAT_EQ(rec.Intensity(45, 0), (LdtValue(3, 1) + LdtValue(4, 1)) / 2);
}

// Dc = 0 with evenly spaced angles over the circle: the step is kept, so the regular routines
// and the writer can use it.
TEST(EulumdatReader, EvenlySpacedAnglesWithoutDcGetTheirStep) {
  LdtFile f(0, 24, "0");
  for (int i = 0; i < 24; ++i)
    f.c_angles.push_back(std::to_string(15 * i));
  TLUM32 rec;
  Parse(rec, LdtLines(f));
  EXPECT_EQ(rec.GridFlags, 0);
  EXPECT_FLOAT_EQ(rec.CStep, 15);
  EXPECT_FLOAT_EQ(rec.MinCStep, 15);
  EXPECT_FLOAT_EQ(rec.Intensity(352.5f, 0), (LdtValue(24, 1) + LdtValue(1, 1)) / 2);

  // Even spacing that does not close the circle stays a list: a regular full circle would
  // wrap from C75 to C0.
  LdtFile part(0, 6, "0");
  part.c_angles = {"0", "15", "30", "45", "60", "75"};
  TLUM32 partial;
  Parse(partial, LdtLines(part));
  EXPECT_EQ(partial.CStep, 0);
  EXPECT_FLOAT_EQ(partial.MinCStep, 15);

  LdtFile half(2, 12, "0");
  for (int i = 0; i < 12; ++i)
    half.c_angles.push_back(std::to_string(30 * i));
  TLUM32 sym2;
  Parse(sym2, LdtLines(half));
  EXPECT_EQ(sym2.NumPlanes, 7);
  EXPECT_FLOAT_EQ(sym2.CStep, 30);
}

// Mc planes at Dc that do not make the circle: the listed angles decide.
TEST(EulumdatReader, StepThatContradictsThePlaneCountGivesWayToTheList) {
  LdtFile f(0, 24, "90");
  for (int i = 0; i < 24; ++i)
    f.c_angles.push_back(std::to_string(15 * i));
  TLUM32 rec;
  Parse(rec, LdtLines(f));
  ASSERT_EQ(rec.NumPlanes, 24);
  EXPECT_FLOAT_EQ(rec.CStep, 15);
  EXPECT_FLOAT_EQ(rec.GetCAngle(24), 345);
  EXPECT_FLOAT_EQ(rec.Intensity(345, 0), LdtValue(24, 1));

  LdtFile half(2, 36, "15");  // 19 blocks at 10 degrees, as the list says
  for (int i = 0; i < 36; ++i)
    half.c_angles.push_back(std::to_string(10 * i));
  TLUM32 sym2;
  Parse(sym2, LdtLines(half));
  EXPECT_EQ(sym2.NumPlanes, 19);
  EXPECT_FLOAT_EQ(sym2.CStep, 10);
  EXPECT_FLOAT_EQ(sym2.GetIntensity(19, 1), LdtValue(19, 1));
}

TEST(EulumdatReader, IrregularListsPickTheStoredPartPerSymmetry) {
  LdtFile f3(3, 8, "0");
  f3.c_angles = {"0", "30", "90", "150", "180", "210", "270", "330"};
  TLUM32 sym3;
  Parse(sym3, LdtLines(f3));
  ASSERT_EQ(sym3.NumPlanes, 5);  // skips 8 div 4 = 2 lines, keeps 8 div 2 + 1
  EXPECT_FLOAT_EQ(sym3.GetCAngle(1), 90);
  EXPECT_FLOAT_EQ(sym3.GetCAngle(3), 180);
  EXPECT_FLOAT_EQ(sym3.GetCAngle(5), 270);
  EXPECT_FLOAT_EQ(sym3.CFirst, 90);
  EXPECT_FLOAT_EQ(sym3.CLast, 270);
  EXPECT_EQ(sym3.CStep, 0);
  EXPECT_EQ(sym3.GridFlags, kCIrregular);
  EXPECT_FLOAT_EQ(sym3.GetIntensity(5, 1), LdtValue(1, 1));

  LdtFile f4(4, 8, "0");
  f4.c_angles = {"0", "20", "90", "160", "180", "200", "270", "340"};
  TLUM32 sym4;
  Parse(sym4, LdtLines(f4));
  ASSERT_EQ(sym4.NumPlanes, 3);
  EXPECT_FLOAT_EQ(sym4.GetCAngle(2), 20);
  EXPECT_FLOAT_EQ(sym4.GetCAngle(3), 90);
  EXPECT_FLOAT_EQ(sym4.CLast, 90);
}

TEST(EulumdatReader, TolerantNumberLines) {
  auto lines = LdtLines(LdtFile());
  lines[12] = "1200.";   // dimension with a trailing point
  lines[14] = "abc";     // a dimension that is not a number reads as 0
  lines[20] = "";        // line 21 may be empty
  lines[21] = " 85,5 ";  // decimal comma
  lines[22] = "75.0 %";  // unit word after the value
  lines[31] = "n/a";     // wattage that does not parse: 1
  TLUM32 rec;
  Parse(rec, lines);
  EXPECT_EQ(+rec.LumDim.Length, 1200);
  EXPECT_EQ(+rec.LumDim.Height, 0);
  EXPECT_EQ(+rec.AreaDim.HeightC270, 0);
  EXPECT_FLOAT_EQ(+rec.DFF, 85.5f);
  EXPECT_FLOAT_EQ(+rec.LOR, 75.0f);
  EXPECT_EQ(+rec.LampSet[0].Wattage, 1);
}

TEST(EulumdatReader, StrictNumberLines) {
  auto lines = LdtLines(LdtFile());
  lines[1] = "1,0";
  EXPECT_EQ(Refusal(lines), "ldt: line 2: type indicator is not a number");
  lines = LdtLines(LdtFile());
  lines[3] = "twenty";
  EXPECT_EQ(Refusal(lines), "ldt: line 4: number of C planes is not a number");
  lines = LdtLines(LdtFile());
  lines[12] = "";
  EXPECT_EQ(Refusal(lines), "ldt: line 13: luminaire length is not a number");
}

TEST(EulumdatReader, ConversionFactorScalesAndZeroMeansOne) {
  for (auto [text, factor] : {std::pair{"0", 1.0f}, {"0.0004", 1.0f}, {"2.5", 2.5f}}) {
    auto lines = LdtLines(LdtFile());
    lines[23] = text;
    TLUM32 rec;
    Parse(rec, lines);
    EXPECT_FLOAT_EQ(rec.GetIntensity(2, 2), LdtValue(2, 2) * factor) << text;
  }
}

TEST(EulumdatReader, FiveOfEightLampSetsAreKeptAndTheRestSkipped) {
  LdtFile f;
  f.lamp_sets = 8;
  TLUM32 rec;
  Parse(rec, LdtLines(f));
  ASSERT_EQ(rec.NumLampSets, 5);
  EXPECT_EQ(rec.LampSet[4].LampType.str(), "T5 28W set 5");
  EXPECT_FLOAT_EQ(+rec.LampSet[4].TotalFlux, 5500);
  EXPECT_EQ(rec.NumPlanes, 24);
  EXPECT_FLOAT_EQ(rec.GLast, 90);
  EXPECT_FLOAT_EQ(rec.GetIntensity(24, 19), LdtValue(24, 19));
}

TEST(EulumdatReader, LampCountsWithoutLampsOrNegative) {
  auto lines = LdtLines(LdtFile());
  lines[26] = "0";
  TLUM32 none;
  Parse(none, lines);
  EXPECT_EQ(none.LampSet[0].NumLamps, 0);
  EXPECT_FLOAT_EQ(+none.LampSet[0].FluxPerLamp, 5100);

  lines[26] = "-2";  // absolute photometry
  TLUM32 absolute;
  Parse(absolute, lines);
  EXPECT_EQ(absolute.LampSet[0].NumLamps, 254);
  EXPECT_FLOAT_EQ(+absolute.LampSet[0].FluxPerLamp, 2550);
}

TEST(EulumdatReader, LineEndsAndByteOrderMark) {
  const auto lines = LdtLines(LdtFile(2, 24, "15"));
  for (std::string eol : {"\r\n", "\n", "\r"}) {
    TLUM32 rec;
    ASSERT_TRUE(ParseEulumdat(rec, "\xEF\xBB\xBF" + Join(lines, eol))) << rec.ReadError;
    EXPECT_EQ(rec.Company.str(), "Test company / data bank 1.0");
    EXPECT_FLOAT_EQ(rec.GetIntensity(13, 19), LdtValue(13, 19));
  }
  // No line end after the last value, and extra lines after it, are both fine.
  std::string text = Join(lines);
  TLUM32 rec;
  EXPECT_TRUE(ParseEulumdat(rec, text.substr(0, text.size() - 2)));
  EXPECT_TRUE(ParseEulumdat(rec, text + "trailing words\r\n"));
}

TEST(EulumdatReader, RefusesSymmetryOutsideZeroToFour) {
  for (const char* isym : {"5", "-1", "256"}) {
    auto lines = LdtLines(LdtFile());
    lines[2] = isym;
    EXPECT_EQ(Refusal(lines),
              "ldt: line 3: symmetry indicator " + std::string(isym) + " is not 0 to 4");
  }
}

TEST(EulumdatReader, RefusesImpossibleCounts) {
  auto lines = LdtLines(LdtFile());
  lines[25] = "-1";
  EXPECT_EQ(Refusal(lines), "ldt: line 26: number of lamp sets is negative");
  lines[25] = "1000000000000000";
  EXPECT_NE(Refusal(lines).find("ldt: line 26: declares 1000000000000000 lamp sets"),
            std::string::npos);

  lines = LdtLines(LdtFile());
  lines[3] = "0";
  EXPECT_EQ(Refusal(lines), "ldt: line 4: number of C planes 0 is out of range");
  lines[3] = "70000";
  EXPECT_EQ(Refusal(lines), "ldt: line 4: number of C planes 70000 is out of range");
  lines = LdtLines(LdtFile());
  lines[5] = "-3";
  EXPECT_EQ(Refusal(lines), "ldt: line 6: number of gamma angles -3 is out of range");
  lines = LdtLines(LdtFile());
  lines[4] = "-15";
  EXPECT_EQ(Refusal(lines), "ldt: line 5: C-plane distance is out of range");
}

// Declared counts are checked against the lines the file still holds before the table exists.
TEST(EulumdatReader, AbsurdGridIsRefusedBeforeAllocating) {
  auto lines = LdtLines(LdtFile());
  lines[3] = "60000";
  lines[4] = "0";
  lines[5] = "60000";
  TLUM32 rec;
  EXPECT_FALSE(ParseEulumdat(rec, Join(lines)));
  EXPECT_EQ(rec.ReadError.rfind("ldt: declares 60000 x 60000 intensities", 0), 0u) << rec.ReadError;
  EXPECT_EQ(rec.Matrix, nullptr);

  // A tiny regular step asks for many planes the same way.
  lines = LdtLines(LdtFile(2, 24, "15"));
  lines[3] = "36000";
  lines[4] = "0.01";
  EXPECT_EQ(Refusal(lines).rfind("ldt: declares 18001 x 19 intensities", 0), 0u);
}

TEST(EulumdatReader, RefusesAnglesThatDoNotAscend) {
  auto lines = LdtLines(LdtFile());
  const std::size_t first_gamma = LdtFirstCAngleLine(1) + 24;
  lines[first_gamma + 2 - 1] = "3";  // third gamma below the second
  EXPECT_EQ(Refusal(lines),
            "ldt: line " + std::to_string(first_gamma + 18) + ": gamma angles do not ascend");

  LdtFile f(0, 4, "0");
  f.c_angles = {"0", "90", "90", "270"};
  EXPECT_NE(Refusal(LdtLines(f)).find("C angles do not ascend"), std::string::npos);
}

TEST(EulumdatReader, BadIntensityNamesItsLineAndDropsTheTable) {
  auto lines = LdtLines(LdtFile());
  const std::size_t bad = LdtFirstCAngleLine(1) + 24 + 19 + 40;  // 1-based line number
  lines[bad - 1] = "12x";
  TLUM32 rec;
  EXPECT_FALSE(ParseEulumdat(rec, Join(lines)));
  EXPECT_EQ(rec.ReadError, "ldt: line " + std::to_string(bad) + ": intensity is not a number");
  EXPECT_EQ(rec.Matrix, nullptr);
}

TEST(EulumdatReader, EmptyAndTruncatedFilesFailWithAReason) {
  TLUM32 rec;
  EXPECT_FALSE(ParseEulumdat(rec, ""));
  EXPECT_EQ(rec.ReadError, "ldt: line 2: file ends before the type indicator");

  const auto lines = LdtLines(LdtFile(4, 8, "45"));
  for (std::size_t keep = 0; keep < lines.size(); ++keep) {
    std::vector<std::string> cut(lines.begin(), lines.begin() + static_cast<long>(keep));
    TLUM32 part;
    EXPECT_FALSE(ParseEulumdat(part, Join(cut))) << keep << " lines";
    EXPECT_EQ(part.ReadError.rfind("ldt: ", 0), 0u) << part.ReadError;
  }
  // Cut inside the last number: what is left of it is still a number.
  const std::string text = Join(lines);
  const std::size_t last_line = text.rfind("\r\n", text.size() - 3) + 2;
  for (std::size_t size = 0; size < text.size(); ++size) {
    TLUM32 part;
    const bool ok = ParseEulumdat(part, text.substr(0, size));
    EXPECT_EQ(ok, size > last_line) << size;
  }
}

TEST(EulumdatReader, BinaryNoiseFailsCleanly) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(1 + random() % 4000, '\0');
    for (char& c : bytes)
      c = static_cast<char>(random());
    if (round % 2) bytes = "Company\r\n1\r\n" + bytes;  // gets a little further
    TLUM32 rec;
    EXPECT_FALSE(ParseEulumdat(rec, bytes));
    EXPECT_FALSE(rec.ReadError.empty());
  }
}

// A file as older programs wrote them: CR line ends, decimal commas, points after dimensions,
// eight lamp sets, irregular C planes, Windows-1252 texts.
TEST(EulumdatReader, OldStyleFileFromDisk) {
  TLUM32 rec;
  ASSERT_TRUE(rec.Load((testing::TestDataDir() / "ldt" / "old_style_cr.ldt").string()))
      << rec.ReadError;
  EXPECT_EQ(rec.FileFormat, kFormatEulumdat);
  EXPECT_EQ(rec.Company.str(), "Lichttechnik M\xFCller / Messlabor 3");
  EXPECT_EQ(rec.LumName.str(), "Pendelleuchte R\xE9gence");
  EXPECT_EQ(+rec.LumDim.Length, 1200);
  EXPECT_EQ(+rec.AreaDim.Width, 250);
  EXPECT_FLOAT_EQ(+rec.DFF, 61.5f);
  ASSERT_EQ(rec.NumLampSets, 5);
  EXPECT_EQ(rec.LampSet[4].LampType.str(), "TC-L 36W set 5");
  EXPECT_FLOAT_EQ(+rec.LampSet[4].TotalFlux, 14000);
  EXPECT_FLOAT_EQ(+rec.LampSet[4].FluxPerLamp, 2800);
  EXPECT_EQ(+rec.LampSet[4].Wattage, 200);
  ASSERT_EQ(rec.NumPlanes, 6);
  EXPECT_EQ(rec.GridFlags, kCIrregular);
  EXPECT_FLOAT_EQ(rec.MinCStep, 30);
  EXPECT_FLOAT_EQ(rec.GetCAngle(3), 90);
  EXPECT_FLOAT_EQ(rec.GStep, 30);
  EXPECT_FLOAT_EQ(rec.GetIntensity(6, 4), 145.5f);
}

TEST(EulumdatReader, LoadReportsCodeTwo) {
  testing::TempDir dir;
  testing::WriteFile(dir / "LUM.TXT", Join(LdtLines(LdtFile())));
  TLUM32 rec;
  ASSERT_TRUE(rec.Load((dir / "LUM.TXT").string())) << rec.ReadError;
  EXPECT_EQ(rec.FileFormat, kFormatEulumdat);
  std::uint8_t code = 0;
  rec.SetFileName((dir / "LUM.TXT").string());
  EXPECT_TRUE(ReadEulumdat(rec, code));
  EXPECT_EQ(code, kFormatEulumdat);
}

}  // namespace
}  // namespace lumatra
