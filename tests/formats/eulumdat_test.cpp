// The EULUMDAT reader: what each line becomes in the record, the stored planes per symmetry, and
// clean failures for files that are not EULUMDAT or cannot be.
#include "formats/eulumdat.h"

#include <gtest/gtest.h>

#include <random>

#include "app/format_table.h"
#include "formats/format_checks.h"
#include "formats/textio.h"
#include "ldt_test_lines.h"
#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using format_checks::DimsOf;
using format_checks::Grid;
using format_checks::GridOf;
using testing::Join;
using testing::LdtFile;
using testing::LdtFirstCAngleLine;
using testing::LdtLines;
using testing::LdtValue;

// Parses the lines; the test fails with the reader's reason when it refuses them.
void Parse(TLUM32& rec, const std::vector<std::string>& lines) {
  ASSERT_TRUE(testing::ReadAs(kFormatEulumdat, rec, Join(lines))) << rec.ReadError;
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

// Texts are kept raw and cut to their fields; sloppy number lines read leniently.
TEST(EulumdatReader, LenientLines) {
  auto lines = LdtLines(LdtFile());
  lines[0] = "  " + std::string(100, 'C');
  lines[7] = std::string(50, 'R');
  lines[12] = "1200.";   // dimension with a trailing point
  lines[13] = "0";       // luminaire width 0: the length is a diameter
  lines[14] = "abc";     // a dimension that is not a number reads as 0
  lines[16] = "0";       // luminous area width 0, the same
  lines[20] = "";        // line 21 may be empty
  lines[21] = " 85,5 ";  // decimal comma
  lines[22] = "75.0 %";  // unit word after the value
  lines[31] = "n/a";     // wattage that does not parse: 1
  TLUM32 rec;
  Parse(rec, lines);
  EXPECT_EQ(rec.Company.str(), "  " + std::string(78, 'C'));
  EXPECT_EQ(rec.ReportNo.str(), std::string(40, 'R'));
  EXPECT_EQ(DimsOf(rec.LumDim), (std::vector<int>{0, 0, 1200, 0}));
  EXPECT_EQ(DimsOf(rec.AreaDim), (std::vector<int>{0, 0, 1100, 10}));
  EXPECT_EQ(+rec.AreaDim.HeightC270, 0);
  EXPECT_EQ((std::vector<double>{+rec.DFF, +rec.LOR, 1.0 * rec.LampSet[0].Wattage}),
            (std::vector<double>{85.5, 75, 1}));
}

std::vector<std::string> Spaced(int count, int step) {
  std::vector<std::string> angles;
  for (int i = 0; i < count; ++i)
    angles.push_back(std::to_string(step * i));
  return angles;
}

LdtFile WithAngles(int symmetry, int mc, std::string dc, std::vector<std::string> angles) {
  LdtFile f(symmetry, mc, std::move(dc));
  f.c_angles = std::move(angles);
  return f;
}

// Which planes each symmetry stores, at which angles, and which file block (LdtValue) lands in
// which plane, probed at stored angles through the bound interpolation.
TEST(EulumdatReader, StoredPlanesPerSymmetryAndAngleList) {
  struct Probe {
    float c, gamma;
    double expected;
  };
  struct Case {
    LdtFile file;
    Grid grid;
    std::vector<float> c_angles = {};  // irregular grids; regular ones: from the grid
    std::vector<Probe> probes = {};
  };
  const auto grid = [](int symmetry, int planes, float first, float step, float last,
                       int flags = 0) {
    return Grid{symmetry, planes, 19, first, step, last, 0, 5, 90, flags};
  };
  const auto at = [](int block, int j) { return LdtValue(block, j); };
  const auto mid = [](int a, int b) { return (LdtValue(a, 1) + LdtValue(b, 1)) / 2; };
  const LdtFile irregular = WithAngles(0, 6, "0", {"0", "10", "30", "60", "180", "270"});
  const LdtFile list3 = WithAngles(3, 8, "0", {"0", "30", "90", "150", "180", "210", "270", "330"});
  const LdtFile list4 = WithAngles(4, 8, "0", {"0", "20", "90", "160", "180", "200", "270", "340"});
  const int kIrr = kCIrregular;
  const Case cases[] = {
      {LdtFile(), grid(0, 24, 0, 15, 345), {}, {{60, 10, at(5, 3)}}},
      // The 24 C angle lines are read and dropped: gammas and values are where they belong.
      {LdtFile(1, 24, "15"), grid(1, 1, 0, 0, 0), {}, {{0, 90, at(1, 19)}, {123, 90, at(1, 19)}}},
      // Listed angles that are nonsense are ignored for a regular grid.
      {WithAngles(2, 24, "15", Spaced(24, 1000)),
       grid(2, 13, 0, 15, 180),
       {},
       {{180, 0, at(13, 1)}}},
      // Filled from C270 (first block) down to C90 (last block).
      {LdtFile(3, 24, "15"),
       grid(3, 13, 90, 15, 270),
       {},
       {{270, 5, at(1, 2)}, {90, 5, at(13, 2)}}},
      {LdtFile(4, 36, "10"), grid(4, 10, 0, 10, 90), {}, {{90, 0, at(10, 1)}}},
      {irregular, grid(0, 6, 0, 0, 270, kIrr), {0, 10, 30, 60, 180, 270}, {{45, 0, mid(3, 4)}}},
      // Dc = 0 with evenly spaced angles over the circle: the step is kept, so the regular
      // routines and the writer can use it.
      {WithAngles(0, 24, "0", Spaced(24, 15)),
       grid(0, 24, 0, 15, 345),
       {},
       {{352.5f, 0, mid(24, 1)}}},
      // Even spacing that does not close the circle stays a list (without the flag for uneven
      // gaps): a regular full circle would wrap from C75 to C0.
      {WithAngles(0, 6, "0", Spaced(6, 15)), grid(0, 6, 0, 0, 75), {0, 15, 30, 45, 60, 75}},
      {WithAngles(2, 12, "0", Spaced(12, 30)), grid(2, 7, 0, 30, 180)},
      // Mc planes at a Dc that does not make the circle: the listed angles decide.
      {WithAngles(0, 24, "90", Spaced(24, 15)), grid(0, 24, 0, 15, 345), {}, {{345, 0, at(24, 1)}}},
      {WithAngles(2, 36, "15", Spaced(36, 10)), grid(2, 19, 0, 10, 180), {}, {{180, 0, at(19, 1)}}},
      // Skips 8 div 4 = 2 lines, keeps 8 div 2 + 1.
      {list3, grid(3, 5, 90, 0, 270, kIrr), {90, 150, 180, 210, 270}, {{270, 0, at(1, 1)}}},
      {list4, grid(4, 3, 0, 0, 90, kIrr), {0, 20, 90}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.grid));
    TLUM32 rec;
    Parse(rec, LdtLines(c.file));
    ASSERT_EQ(GridOf(rec), c.grid);
    EXPECT_FLOAT_EQ(rec.MinGStep, 5);
    float min_c_step = c.grid.c_step;  // a list: the smallest gap between stored angles
    for (std::size_t k = 1; k < c.c_angles.size(); ++k)
      min_c_step = k == 1 ? c.c_angles[1] - c.c_angles[0]
                          : std::min(min_c_step, c.c_angles[k] - c.c_angles[k - 1]);
    if (rec.NumPlanes > 1) {
      EXPECT_FLOAT_EQ(rec.MinCStep, min_c_step);
    }
    for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
      const float expected =
          c.c_angles.empty() ? c.grid.c_first + c.grid.c_step * (i - 1) : c.c_angles[i - 1];
      EXPECT_FLOAT_EQ(rec.GetCAngle(i), expected) << i;
    }
    EXPECT_FLOAT_EQ(rec.GetGamma(19), 90);
    for (const Probe& p : c.probes)
      EXPECT_FLOAT_EQ(rec.Intensity(p.c, p.gamma), p.expected) << p.c << ", " << p.gamma;
  }
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

  lines[26] = "-2";  // absolute photometry with two lamps
  TLUM32 absolute;
  Parse(absolute, lines);
  EXPECT_EQ(absolute.LampCount(0), 2u);
  EXPECT_EQ(absolute.AbsolutePhotometry, 1);
  EXPECT_FLOAT_EQ(+absolute.LampSet[0].FluxPerLamp, 2550);

  lines[26] = "300";  // more than eight bits hold
  TLUM32 many;
  Parse(many, lines);
  EXPECT_EQ(many.LampCount(0), 300u);
  EXPECT_EQ(many.AbsolutePhotometry, 0);
}

TEST(EulumdatReader, LineEndsAndByteOrderMark) {
  const auto lines = LdtLines(LdtFile(2, 24, "15"));
  for (std::string eol : {"\r\n", "\n", "\r"}) {
    TLUM32 rec;
    ASSERT_TRUE(testing::ReadAs(kFormatEulumdat, rec, "\xEF\xBB\xBF" + Join(lines, eol)))
        << rec.ReadError;
    EXPECT_EQ(rec.Company.str(), "Test company / data bank 1.0");
    EXPECT_FLOAT_EQ(rec.GetIntensity(13, 19), LdtValue(13, 19));
  }
  // No line end after the last value, and extra lines after it, are both fine.
  std::string text = Join(lines);
  TLUM32 rec;
  EXPECT_TRUE(testing::ReadAs(kFormatEulumdat, rec, text.substr(0, text.size() - 2)));
  EXPECT_TRUE(testing::ReadAs(kFormatEulumdat, rec, text + "trailing words\r\n"));
}

// Lines changed in a valid file and the one-line reason of the refusal ("..." at the end: the
// reason begins so). Declared counts are checked against the lines the file still holds before
// the table exists.
TEST(EulumdatReader, RefusalsNameTheLineAndTheFault) {
  struct Case {
    LdtFile file;
    std::vector<std::pair<std::size_t, std::string>> edits;  // 0-based line, new text
    std::string reason;
  };
  const std::size_t gammas = LdtFirstCAngleLine(1) + 24;  // 1-based line of the first gamma
  const std::size_t value = gammas + 19 + 40;             // 1-based line of an intensity
  const Case cases[] = {
      {{}, {{1, "1,0"}}, "ldt: line 2: type indicator is not a number"},
      {{}, {{3, "twenty"}}, "ldt: line 4: number of C planes is not a number"},
      {{}, {{12, ""}}, "ldt: line 13: luminaire length is not a number"},
      {{}, {{2, "5"}}, "ldt: line 3: symmetry indicator 5 is not 0 to 4"},
      {{}, {{2, "-1"}}, "ldt: line 3: symmetry indicator -1 is not 0 to 4"},
      {{}, {{2, "256"}}, "ldt: line 3: symmetry indicator 256 is not 0 to 4"},
      {{}, {{25, "-1"}}, "ldt: line 26: number of lamp sets is negative"},
      {{}, {{25, "1000000000000000"}}, "ldt: line 26: number of lamp sets is out of range"},
      {{}, {{3, "0"}}, "ldt: line 4: number of C planes 0 is out of range"},
      {{}, {{3, "70000"}}, "ldt: line 4: number of C planes 70000 is out of range"},
      {{}, {{5, "-3"}}, "ldt: line 6: number of gamma angles -3 is out of range"},
      {{}, {{4, "-15"}}, "ldt: line 5: C-plane distance is out of range"},
      {{},
       {{3, "60000"}, {4, "0"}, {5, "60000"}},
       "ldt: line 4: 60000 x 60000 intensities exceed the limit of 1000000"},
      // A tiny regular step asks for many planes the same way.
      {{2, 24, "15"}, {{3, "36000"}, {4, "0.01"}}, "ldt: declares 18001 x 19 intensities..."},
      {{},
       {{gammas + 1, "3"}},  // third gamma below the second
       "ldt: line " + std::to_string(gammas + 18) + ": gamma angles do not ascend"},
      {WithAngles(0, 4, "0", {"0", "90", "90", "270"}),
       {},
       "ldt: line " + std::to_string(LdtFirstCAngleLine(1) + 3) + ": C angles do not ascend"},
      {{},
       {{value - 1, "12x"}},
       "ldt: line " + std::to_string(value) + ": intensity is not a number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    auto lines = LdtLines(c.file);
    for (const auto& [line, text] : c.edits)
      lines[line] = text;
    TLUM32 rec;
    EXPECT_FALSE(testing::ReadAs(kFormatEulumdat, rec, Join(lines)));
    if (c.reason.ends_with("...")) {
      EXPECT_EQ(rec.ReadError.rfind(c.reason.substr(0, c.reason.size() - 3), 0), 0u)
          << rec.ReadError;
      EXPECT_EQ(rec.ReadError.find('\n'), std::string::npos);
    } else {
      EXPECT_EQ(rec.ReadError, c.reason);
    }
    if (c.reason.find("intensit") != std::string::npos) {
      EXPECT_EQ(rec.Matrix, nullptr);  // refused before or while filling the table
    }
  }
}

TEST(EulumdatReader, EmptyAndTruncatedFilesFailWithAReason) {
  TLUM32 rec;
  EXPECT_FALSE(testing::ReadAs(kFormatEulumdat, rec, ""));
  EXPECT_EQ(rec.ReadError, "ldt: line 2: file ends before the type indicator");

  const auto lines = LdtLines(LdtFile(4, 8, "45"));
  for (std::size_t keep = 0; keep < lines.size(); ++keep) {
    std::vector<std::string> cut(lines.begin(), lines.begin() + static_cast<long>(keep));
    TLUM32 part;
    EXPECT_FALSE(testing::ReadAs(kFormatEulumdat, part, Join(cut))) << keep << " lines";
    EXPECT_EQ(part.ReadError.rfind("ldt: ", 0), 0u) << part.ReadError;
  }
  // Cut inside the last number: what is left of it is still a number.
  const std::string text = Join(lines);
  const std::size_t last_line = text.rfind("\r\n", text.size() - 3) + 2;
  for (std::size_t size = 0; size < text.size(); ++size) {
    TLUM32 part;
    const bool ok = testing::ReadAs(kFormatEulumdat, part, text.substr(0, size));
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
    EXPECT_FALSE(testing::ReadAs(kFormatEulumdat, rec, bytes));
    EXPECT_FALSE(rec.ReadError.empty());
  }
}

// A file as older programs wrote them: CR line ends, decimal commas, points after dimensions,
// eight lamp sets, irregular C planes, Windows-1252 texts.
TEST(EulumdatReader, OldStyleFileFromDisk) {
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, (testing::TestDataDir() / "ldt" / "old_style_cr.ldt").string()))
      << rec.ReadError;
  EXPECT_EQ(rec.FileFormat, kFormatEulumdat);
  EXPECT_EQ(rec.Company.str(), "Lichttechnik M\xFCller / Messlabor 3");
  EXPECT_EQ(rec.LumName.str(), "Pendelleuchte R\xE9gence");
  EXPECT_EQ((std::vector<int>{rec.LumDim.Length, rec.AreaDim.Width}),
            (std::vector<int>{1200, 250}));
  EXPECT_FLOAT_EQ(+rec.DFF, 61.5f);
  ASSERT_EQ(rec.NumLampSets, 5);
  const LampSetData& lamp = rec.LampSet[4];
  EXPECT_EQ(lamp.LampType.str(), "TC-L 36W set 5");
  EXPECT_EQ((std::vector<double>{+lamp.TotalFlux, +lamp.FluxPerLamp, 1.0 * lamp.Wattage}),
            (std::vector<double>{14000, 2800, 200}));
  ASSERT_EQ(rec.NumPlanes, 6);
  EXPECT_EQ(rec.GridFlags, kCIrregular);
  EXPECT_EQ((std::vector<float>{rec.MinCStep, rec.GetCAngle(3), rec.GStep, rec.GetIntensity(6, 4)}),
            (std::vector<float>{30, 90, 30, 145.5f}));
}

TEST(EulumdatReader, LoadReportsCodeTwo) {
  testing::TempDir dir;
  testing::WriteFile(dir / "LUM.TXT", Join(LdtLines(LdtFile())));
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, (dir / "LUM.TXT").string())) << rec.ReadError;
  EXPECT_EQ(rec.FileFormat, kFormatEulumdat);
}

}  // namespace
}  // namespace lumatra
