// CIBSE TM14: the written layout, the projected areas, reading back what the writer produces,
// the variants other programs write, and malformed files.
#include "formats/tm14.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/format_table.h"
#include "formats/format_checks.h"
#include "model/lum32.h"
#include "photometry/interpolation.h"
#include "support/io_error.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using format_checks::DimsOf;
using format_checks::ExpectReason;
using format_checks::ExpectSameTable;
using format_checks::Grid;
using format_checks::GridOf;
using format_checks::Lines;
using format_checks::OneDecimal;
using testing::FillGrid;
using testing::Steps;

float Smooth(float c, float g) {
  return 300.0f + 2.5f * g - 0.75f * c + 0.01f * c * g;
}

void MakeLuminaire(TLUM32& rec, std::uint8_t symmetry, std::vector<float> c_angles) {
  FillGrid(rec, symmetry, c_angles, Steps(0, 5, 90), Smooth);
  rec.ReportNo2 = "R-2";
  rec.LumNumber = "ART 100";
  rec.LumName = "Louvre luminaire";
  rec.ReportNo = "R-1";
  rec.LampSet[0].NumLamps = 2;
  rec.LampSet[0].LampType = "TC-L 36W";
  rec.LampSet[0].Wattage = 80;
  rec.LumDim = {600, 100, 0, 50, 0, 0, 0};
  rec.AreaDim = {600, 100, 0, 50, 0, 0, 0};
}

void ReadBack(TLUM32& written, TLUM32& back) {
  back.SetFileName("back.cib");
  ASSERT_TRUE(testing::ReadAs(kFormatTm14, back, Tm14Text(written))) << back.ReadError;
}

TEST(Tm14Writer, HeaderLinesAndLists) {
  TLUM32 rec;
  MakeLuminaire(rec, 4, Steps(0, 15, 90));
  rec.LampSet[0].LampType = std::string(40, 'L');
  const auto lines = Lines(Tm14Text(rec));
  ASSERT_GE(lines.size(), 15u);
  // 19 gammas wrap after the value that reaches 65 characters; every list line ends in a blank.
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 15),
            (std::vector<std::string>{
                "CIBSE/1", "R-2", "ART 100", "Louvre luminaire", "2 x " + std::string(40, 'L'),
                "   1000 lm", "R-2", "R-1", "2 1 0.100 0.600 0.050", "1.0 80 80", "0", "19 7",
                "0.0 5.0 10.0 15.0 20.0 25.0 30.0 35.0 40.0 45.0 50.0 55.0 60.0 65.0 ",
                "70.0 75.0 80.0 85.0 90.0 ", "0.0 15.0 30.0 45.0 60.0 75.0 90.0 "}));
  for (std::size_t k = 12; k + 1 < lines.size(); ++k) {
    EXPECT_LE(lines[k].size(), 65u + 10u) << lines[k];
    EXPECT_EQ(lines[k].back(), ' ') << lines[k];
  }
  // The lamp line stays within 70 characters.
  rec.LampSet[0].NumLamps = 255;
  EXPECT_EQ(Lines(Tm14Text(rec))[4], "255 x " + std::string(40, 'L'));
}

TEST(Tm14Areas, ProjectedAreasOfABoxAndACylinder) {
  TLUM32 rec;
  MakeLuminaire(rec, 4, Steps(0, 15, 90));
  EXPECT_NEAR(ProjectedArea(rec, 0, 0), 0.060, 1e-9);
  EXPECT_NEAR(ProjectedArea(rec, 90, 0), 0.030, 1e-9);
  EXPECT_NEAR(ProjectedArea(rec, 90, 90), 0.005, 1e-9);
  EXPECT_TRUE(HasLuminousArea(rec));
  EXPECT_EQ(Lines(Tm14Text(rec)).back(), "1 0.060 0.030 0.005");

  rec.AreaDim = {0, 0, 300, 100, 0, 0, 0};
  const double disc = 3.14159265358979 * 0.3 * 0.3 / 4;
  EXPECT_NEAR(ProjectedArea(rec, 0, 0), disc, 1e-9);
  EXPECT_NEAR(ProjectedArea(rec, 90, 45), 0.03, 1e-9);
  EXPECT_NEAR(ProjectedArea(rec, 60, 0), 0.5 * disc + std::sqrt(3.0) / 2 * 0.03, 1e-9);
  rec.AreaDim.HeightC0 = 300;  // diameter = height: the same from every side
  EXPECT_NEAR(ProjectedArea(rec, 90, 0), disc, 1e-9);
  EXPECT_EQ(Lines(Tm14Text(rec)).back().substr(0, 2), "3 ");

  rec.AreaDim = {};
  EXPECT_FALSE(HasLuminousArea(rec));
  EXPECT_EQ(Lines(Tm14Text(rec)).back(), "100 0 0 0");
}

TEST(Tm14Areas, UpwardLuminaireGetsNoAreaBlock) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(90, 5, 180), [](float, float) { return 100.0f; });
  rec.AreaDim = {600, 100, 0, 50, 0, 0, 0};
  EXPECT_EQ(Lines(FindFormat(kFormatTm14)->write(rec, kFormatTm14)).back(), "100 0 0 0");
  EXPECT_EQ(rec.LightDir, 1);
}

// The table itself for every symmetry: format_table_test. Here the header fields.
TEST(Tm14RoundTrip, HeaderFieldsComeBack) {
  TLUM32 rec;
  MakeLuminaire(rec, 2, Steps(0, 15, 180));
  TLUM32 back;
  ReadBack(rec, back);
  EXPECT_EQ(back.PhotSystem, kSystemC);
  EXPECT_FLOAT_EQ(back.GStep, 5);
  EXPECT_EQ((std::vector<std::string>{back.ReportNo2.str(), back.LumNumber.str(),
                                      back.LumName.str(), back.ReportNo.str(),
                                      back.LampSet[0].LampType.str(), back.DataFileName.str()}),
            (std::vector<std::string>{"R-2", "ART 100", "Louvre luminaire", "2 x TC-L 36W",
                                      "2 x TC-L 36W", "1000 lm"}));
  const LampSetData& lamp = back.LampSet[0];
  EXPECT_EQ((std::vector<double>{1.0 * lamp.NumLamps, +lamp.TotalFlux, +lamp.FluxPerLamp,
                                 1.0 * lamp.Wattage, +back.CircuitWatts, +back.WattsRatio,
                                 1.0 * back.OpeningShape}),
            (std::vector<double>{2, 1000, 500, 80, 80, 1, 1}));
  EXPECT_EQ(DimsOf(back.LumDim), (std::vector<int>{600, 100, 0, 50}));
  EXPECT_EQ(DimsOf(back.AreaDim), (std::vector<int>{600, 100, 0, 50}));

  rec.SetLampCount(0, 300);  // more lamps than the 8-bit count holds
  ReadBack(rec, back);
  EXPECT_EQ(back.LampCount(0), 300u);
}

TEST(Tm14RoundTrip, CibseTwoBlockIsWrittenAndSkippedOnReading) {
  TLUM32 rec;
  MakeLuminaire(rec, 2, Steps(0, 30, 180));
  rec.WriteTM2Data = 1;
  rec.GlareTable[0][0] = 255;
  rec.GlareTable[0][1] = 125;
  rec.GlareTable[10][2] = 7;
  rec.UtilTableA[0][0] = 0.5f;
  const std::string text = Tm14Text(rec);
  const auto lines = Lines(text);
  const auto start = std::find(lines.begin(), lines.end(), "CIBSE/2");
  ASSERT_NE(start, lines.end());
  ASSERT_EQ(lines.end() - start, 3 + 2 + 11 + 38 + 2);
  EXPECT_EQ(start[1], "Louvre luminaire");
  EXPECT_EQ(start[2], "ART 100");
  EXPECT_EQ(start[5].substr(0, 14), "N/A  1.25 0.00");
  EXPECT_EQ(start[15], "  0  0  7  0  0  0  0  0  0");
  EXPECT_EQ(start[16], "  0.5  0.0  0.0  0.0  0.0");
  EXPECT_EQ(start[54], "1");
  EXPECT_EQ(start[55], "  600  2  80 1.0 1.0   80  80");
  TLUM32 back;
  ASSERT_TRUE(testing::ReadAs(kFormatTm14, back, text)) << back.ReadError;
  ExpectSameTable(rec, back, OneDecimal);
  EXPECT_EQ(back.OpeningShape, 1);
}

TEST(Tm14RoundTrip, BBetaTableComesBackUntransposed) {
  TLUM32 rec;
  FillGrid(rec, 4, Steps(0, 10, 90), Steps(0, 5, 40), Smooth);
  rec.PhotSystem = kSystemB;
  SetupSymmetry(rec, 4);
  const auto lines = Lines(Tm14Text(rec));
  EXPECT_EQ(lines[8].substr(0, 4), "1 2 ");
  TLUM32 back;
  ReadBack(rec, back);
  EXPECT_EQ(back.PhotSystem, kSystemB);
  EXPECT_EQ(back.Symmetry, 4);
  ExpectSameTable(rec, back, OneDecimal);

  rec.PhotSystem = kSystemA;  // photometry 3, which the reader refuses, is not written
  EXPECT_THROW(Tm14Text(rec), IoError);
}

// A small file in the layout other programs write: lower-case signature with trailing blanks,
// C planes listed from 90 down to 0, values spread unevenly over lines.
const char* kDescending =
    "cibse/1   \r\nrep\r\nnum\r\nname\r\nlamp text\r\nflux\r\nseven\r\neight\r\n"
    "1 1 0.6 1.2 0.1\r\n1 58 29\r\n3.5\r\n3 4\r\n0 45\r\n90\r\n90 60 30 0\r\n"
    "90 91 92\r\n60 61 62\r\n30 31\r\n32\r\n0 1 2 99 99\r\n4 0.3 0.1 0.05\r\n";

// A half-circle list from 180 down to 0 counts C the other way round: the file's C0 plane is
// the record's C180 plane.
TEST(Tm14Reader, DescendingHalfCircleIsMirroredAboutC90) {
  const char* text =
      "CIBSE/1\r\nr\r\nn\r\nl\r\nlamp\r\nflux\r\n7\r\n8\r\n1 1 0.6 1.2 0.1\r\n1 58 29\r\n0\r\n"
      "2 3\r\n0 90\r\n180 90 0\r\n180 181\r\n90 91\r\n0 1\r\n";
  TLUM32 rec;
  ASSERT_TRUE(testing::ReadAs(kFormatTm14, rec, text)) << rec.ReadError;
  EXPECT_EQ(rec.Symmetry, 2);
  const float c_angles[] = {0, 90, 180};
  const float file_plane[] = {180, 90, 0};  // the file's angle of the plane stored there
  for (int i = 1; i <= 3; ++i) {
    EXPECT_FLOAT_EQ(rec.GetCAngle(i), c_angles[i - 1]);
    EXPECT_FLOAT_EQ(rec.GetIntensity(i, 1), file_plane[i - 1]);
  }
}

TEST(Tm14Reader, DescendingCListIsStoredAscending) {
  TLUM32 rec;
  rec.SetFileName("/data/x.cib");
  ASSERT_TRUE(testing::ReadAs(kFormatTm14, rec, kDescending)) << rec.ReadError;
  ASSERT_EQ(GridOf(rec), (Grid{4, 4, 3, 0, 30, 90, 0, 45, 90}));
  const float c_angles[] = {0, 30, 60, 90};
  for (int i = 1; i <= 4; ++i) {
    EXPECT_FLOAT_EQ(rec.GetCAngle(i), c_angles[i - 1]);
    // Each plane keeps its own values: row i holds the file's plane of that angle.
    EXPECT_FLOAT_EQ(rec.GetIntensity(i, 1), c_angles[i - 1]);
    EXPECT_FLOAT_EQ(rec.GetIntensity(i, 3), c_angles[i - 1] + 2);
  }
  EXPECT_FLOAT_EQ(rec.Intensity(45, 45), 46.0f);

  EXPECT_EQ((std::vector<std::string>{rec.ReportNo2.str(), rec.HeaderText7.str(),
                                      rec.HeaderText8.str(), rec.DataFileName.str()}),
            (std::vector<std::string>{"rep", "seven", "eight", "flux"}));
  EXPECT_EQ((std::vector<double>{+rec.Tm14Extra, +rec.WattsRatio, 1.0 * rec.LampSet[0].Wattage,
                                 1.0 * rec.OpeningShape}),
            (std::vector<double>{3.5, 2, 58, 5}));
  EXPECT_EQ(DimsOf(rec.LumDim), (std::vector<int>{1200, 600, 0, 100}));
  EXPECT_EQ(rec.FileName, "/data/x.cib");
}

// The last line's shape and projected areas give the luminous area back.
TEST(Tm14Reader, OpeningShapesGiveTheLuminousArea) {
  const std::string head =
      "CIBSE/1\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n1 1 0.3 0 0.1\r\n1 10 10\r\n0\r\n1 1\r\n0\r\n0\r\n"
      "5\r\n";
  const struct {
    const char* line;
    int shape;
    std::vector<int> area;  // length, width, diameter, height
  } cases[] = {
      {"2 0.0707 0 0", 3, {0, 0, 300, 300}},     // a disc of 0.0707 m2 is 300 mm across
      {"3 0.0707 0.03 0", 2, {0, 0, 300, 100}},  // a cylinder, its height from the side area
      {"1 0.06 0.03", 0, {0, 0, 0, 0}},          // not four words: no shape
      // A box on a luminaire of no length: the area stays unknown instead of dividing by 0.
      {"1 0.06 0.03 0.005", 1, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    TLUM32 rec;
    ASSERT_TRUE(testing::ReadAs(kFormatTm14, rec, head + c.line + "\r\n")) << rec.ReadError;
    EXPECT_EQ(+rec.OpeningShape, c.shape);
    EXPECT_EQ(DimsOf(rec.AreaDim), c.area);
  }
  TLUM32 rec;
  ASSERT_TRUE(testing::ReadAs(kFormatTm14, rec, head + cases[0].line + "\r\n"));
  EXPECT_EQ(DimsOf(rec.LumDim), (std::vector<int>{0, 0, 300, 100}));
}

TEST(Tm14Reader, MalformedFilesFailWithAReason) {
  TLUM32 rec;
  for (const std::string& text : {std::string(), std::string("CIBSE/2\r\n"),
                                  std::string("\0\xff\x01 garbage", 12), std::string("LTLI\r\n")}) {
    EXPECT_FALSE(testing::ReadAs(kFormatTm14, rec, text));
    ExpectReason(rec, "tm14: first line");
  }
  const std::string head =
      "CIBSE/1\r\na\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n1 1 1 1 1\r\n1 1 1\r\n0\r\n";
  for (const std::string counts : {"0 5", "-3 2", "70000 1", "x y", ""}) {
    SCOPED_TRACE(counts);
    EXPECT_FALSE(testing::ReadAs(kFormatTm14, rec, head + counts + "\r\n0 1 2\r\n"));
    ExpectReason(rec, "tm14: line 12");
  }
  EXPECT_FALSE(
      testing::ReadAs(kFormatTm14, rec, head + "3 2\r\n0 45 90\r\n0 90\r\n1 2 3\r\n4 5\r\n"));
  ExpectReason(rec, "tm14: declared 3 x 2 values need 11 numbers, file holds 10");

  // Counts far beyond the file fail before anything is allocated, and leave a cleared record
  // that keeps its file name.
  rec.SetFileName("/x/huge.cib");
  EXPECT_FALSE(testing::ReadAs(kFormatTm14, rec, head + "65535 65535\r\n0 1 2\r\n"));
  ExpectReason(rec, "tm14: line 12: 65535 x 65535 intensities exceed the limit of 1000000");
  EXPECT_FALSE(rec.Matrix);
  EXPECT_TRUE(rec.LumName.empty());
  EXPECT_EQ(rec.FileName, "/x/huge.cib");

  EXPECT_FALSE(
      testing::ReadAs(kFormatTm14, rec, head.substr(0, head.find("1 1 1 1")) + "1 4 0 0 0\r\n"));
  ExpectReason(rec, "tm14: line 9: photometry 4");
}

}  // namespace
}  // namespace lumatra
