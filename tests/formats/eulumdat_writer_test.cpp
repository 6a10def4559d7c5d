// The EULUMDAT writer: header lines, the full circle of C angles per symmetry, the gamma range,
// the number style, and records it must refuse.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <locale>

#include "app/format_table.h"
#include "formats/eulumdat.h"
#include "formats/format_checks.h"
#include "formats/textio.h"
#include "ldt_test_lines.h"
#include "model/lum32.h"
#include "photometry/interpolation.h"
#include "support/io_error.h"
#include "support/short_date.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Join;
using testing::LdtFile;
using testing::LdtLines;
using testing::LdtValue;
using testing::Steps;

// The written lines (lines[0] is line 1), each ending in CR LF.
std::vector<std::string> Written(TLUM32& rec) {
  return format_checks::Lines(EulumdatText(rec));
}

// Line numbers of a written file with one lamp set.
constexpr std::size_t kFirstCAngle = 43;  // 1-based

std::vector<std::string> Block(const std::vector<std::string>& lines, std::size_t first_line,
                               std::size_t count) {
  return {lines.begin() + static_cast<long>(first_line - 1),
          lines.begin() + static_cast<long>(first_line - 1 + count)};
}

double Value(const std::string& text) {
  double v = 0;
  EXPECT_TRUE(ParseNumber(text, v)) << text;
  return v;
}

float Falling(float, float gamma) {
  return 1000.0f - gamma;
}

// Only gamma 90..180 stored (an IES upward record): written as 0..180 through Intensity.
TEST(EulumdatWriter, PartialGammaRangeIsWrittenAsTheFullRange) {
  for (std::uint8_t symmetry : {1, 4}) {
    TLUM32 rec;
    FillGrid(rec, symmetry, symmetry == 1 ? std::vector<float>{0} : std::vector<float>{0, 90},
             Steps(90, 5, 180), Falling);
    const auto lines = Written(rec);
    EXPECT_EQ(lines[5], "37");
    EXPECT_EQ(lines[6], "5.0");
    const std::size_t mc = symmetry == 1 ? 24 : 4;
    const auto g = Block(lines, kFirstCAngle + mc, 37);
    EXPECT_EQ(g.front(), "0.0");
    EXPECT_EQ(g[18], "90.0");
    EXPECT_EQ(g.back(), "180.0");
    const auto values = Block(lines, kFirstCAngle + mc + 37, 37);
    EXPECT_EQ(values[17], "0.0");  // gamma 85: outside the measured range
    EXPECT_EQ(values[18], "910.0");
    EXPECT_EQ(values[36], "820.0");
    EXPECT_EQ(lines.size(), kFirstCAngle - 1 + mc + 37 + 37 * (symmetry == 1 ? 1 : 2));
  }
}

// Lines 3 to 7 (symmetry, Mc, Dc, Ng, Dg), the C angles of the whole circle, the gammas, and one
// block per plane the symmetry keeps, the last block ending in `last`.
TEST(EulumdatWriter, CirclePlanesAndBlocksPerSymmetry) {
  struct Case {
    std::uint8_t symmetry;
    std::vector<float> stored;
    std::vector<std::string> head, c_texts;  // c_texts: the first, second and last C angle
    std::size_t blocks;
    const char* last;
  };
  const Case cases[] = {
      {0,
       Steps(0, 15, 345),
       {"0", "24", "15.0", "19", "5.0"},
       {"0.0", "15.0", "345.0"},
       24,
       "435.0"},
      {2,
       Steps(0, 7.5f, 180),
       {"2", "48", "7.5", "19", "5.0"},
       {"0.0", "7.5", "352.5"},
       25,
       "270.0"},
      {3,
       Steps(90, 15, 270),
       {"3", "24", "15.0", "19", "5.0"},
       {"0.0", "15.0", "345.0"},
       13,
       "180.0"},  // blocks from C270 down to C90
      {4,
       Steps(0, 10, 90),
       {"4", "36", "10.0", "19", "5.0"},
       {"0.0", "10.0", "350.0"},
       10,
       "180.0"},
      // Three stored planes, but the symmetry says one: only plane 1 is written, and the 24
      // angles are plain integers.
      {1, {0, 10, 20}, {"1", "24", "15", "19", "5.0"}, {"0", "15", "345"}, 1, "90.0"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(int{k.symmetry});
    TLUM32 rec;
    FillGrid(rec, k.symmetry, k.stored, Steps(0, 5, 90), [](float c, float g) { return c + g; });
    const auto lines = Written(rec);
    EXPECT_EQ(Block(lines, 3, 5), k.head);
    const std::size_t mc = std::stoul(k.head[1]);
    const auto c = Block(lines, kFirstCAngle, mc);
    EXPECT_EQ((std::vector<std::string>{c[0], c[1], c.back()}), k.c_texts);
    for (std::size_t i = 0; i < mc; ++i)
      EXPECT_DOUBLE_EQ(Value(c[i]), Value(k.c_texts[1]) * i);
    const auto g = Block(lines, kFirstCAngle + mc, 19);
    EXPECT_EQ((std::vector<std::string>{g.front(), g.back()}),
              (std::vector<std::string>{"0.0", "90.0"}));
    ASSERT_EQ(lines.size(), kFirstCAngle - 1 + mc + 19 + 19 * k.blocks);
    EXPECT_EQ(lines.back(), k.last);
  }
}

// Irregular stored planes are mirrored into an ascending list of the whole circle, which the
// reader turns back into the same planes.
TEST(EulumdatWriter, IrregularPlanesAreMirroredOverTheCircle) {
  struct Case {
    std::uint8_t symmetry;
    std::vector<float> stored;
    std::vector<std::string> circle;
  };
  const Case cases[] = {
      {2,
       {0, 20, 90, 160, 180},
       {"0.0", "20.0", "90.0", "160.0", "180.0", "200.0", "270.0", "340.0"}},
      {3,
       {90, 100, 180, 260, 270},
       {"0.0", "80.0", "90.0", "100.0", "180.0", "260.0", "270.0", "280.0"}},
      {4, {0, 30, 90}, {"0.0", "30.0", "90.0", "150.0", "180.0", "210.0", "270.0", "330.0"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(int{k.symmetry});
    TLUM32 rec;
    FillGrid(rec, k.symmetry, k.stored, Steps(0, 10, 90), [](float c, float g) { return c + g; });
    ASSERT_NE(rec.GridFlags & kCIrregular, 0);
    const auto lines = Written(rec);
    EXPECT_EQ(lines[3], std::to_string(k.circle.size()));
    EXPECT_EQ(lines[4], "0.0");
    EXPECT_EQ(Block(lines, kFirstCAngle, k.circle.size()), k.circle);

    TLUM32 back;
    ASSERT_TRUE(ParseEulumdat(back, EulumdatText(rec))) << back.ReadError;
    ASSERT_EQ(back.NumPlanes, k.stored.size());
    for (std::size_t i = 1; i <= back.NumPlanes; ++i) {
      EXPECT_FLOAT_EQ(back.GetCAngle(i), k.stored[i - 1]);
      EXPECT_FLOAT_EQ(back.GetIntensity(i, 4), k.stored[i - 1] + 30);
    }
  }
}

// A record still in B planes is written through Intensity, which looks it up as C-gamma data.
TEST(EulumdatWriter, BPlaneRecordIsReadThroughIntensity) {
  TLUM32 rec;
  FillGrid(rec, 2, Steps(-90, 30, 90), Steps(0, 10, 90),
           [](float b, float beta) { return 500 + 2 * b + beta; });
  rec.PhotSystem = kSystemB;
  SetupSymmetry(rec, 2);
  const auto lines = Written(rec);
  const std::size_t mc = std::stoul(lines[3]);
  const auto values = Block(lines, kFirstCAngle + mc + 10, 7 * 10);
  int differs = 0;
  for (std::size_t i = 1; i <= 7; ++i)
    for (std::size_t j = 1; j <= 10; ++j) {
      const float c = rec.CFirst + rec.CStep * static_cast<float>(i - 1);
      const float expected = rec.Intensity(c, rec.GetGamma(j));
      EXPECT_EQ(values[(i - 1) * 10 + j - 1], EulumdatNumber(expected, 5)) << i << ", " << j;
      differs += expected != rec.GetIntensity(i, j);
    }
  EXPECT_GT(differs, 0);
}

TEST(EulumdatWriter, IrregularGammasAreListedAsStored) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, {0, 2.5f, 5, 10, 45, 87.25f}, Falling);
  const auto lines = Written(rec);
  EXPECT_EQ(lines[5], "6");
  EXPECT_EQ(lines[6], "0.0");
  EXPECT_EQ(Block(lines, kFirstCAngle + 24, 6),
            (std::vector<std::string>{"0.0", "2.5", "5.0", "10.0", "45.0", "87.25"}));
  EXPECT_EQ(lines.back(), "912.75");
}

TEST(EulumdatWriter, TypeIndicatorFollowsTheShape) {
  struct Case {
    std::uint8_t symmetry;
    std::uint16_t length, width, diameter;
    const char* type;
  };
  for (const Case& k : {Case{0, 600, 0, 0, "2"}, Case{0, 0, 0, 600, "3"}, Case{1, 0, 0, 600, "1"},
                        Case{1, 600, 500, 0, "1"}, Case{2, 600, 500, 0, "3"},
                        Case{2, 1200, 300, 0, "2"}, Case{0, 450, 300, 0, "3"}}) {
    const std::vector<float> planes = k.symmetry == 1   ? std::vector<float>{0}
                                      : k.symmetry == 2 ? Steps(0, 90, 180)
                                                        : Steps(0, 90, 270);
    TLUM32 rec;
    FillGrid(rec, k.symmetry, planes, {0, 90}, Falling);
    rec.LumDim.Length = k.length;
    rec.LumDim.Width = k.width;
    rec.LumDim.Diameter = k.diameter;
    EXPECT_EQ(Written(rec)[1], k.type) << k.length << " x " << k.width << " d " << k.diameter;
  }
}

TEST(EulumdatWriter, DimensionsRatiosAndLamps) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), Falling);
  rec.LumDim = {0, 0, 600, 70, 0, 0, 0};
  rec.AreaDim = {500, 200, 0, 1, 2, 3, 4};
  rec.DFF = 0.875f;
  rec.LOR = 5.0f;
  rec.SetLampCount(0, 2);
  rec.AbsolutePhotometry = 1;
  rec.LampSet[0].LampType = "LED";
  rec.LampSet[0].TotalFlux = 611.9f;
  rec.LampSet[0].ColourAppearance = "3000K";
  rec.LampSet[0].ColourRendering = "80";
  rec.LampSet[0].Wattage = 7;
  const auto lines = Written(rec);
  EXPECT_EQ(Block(lines, 13, 9),
            (std::vector<std::string>{"600", "0", "70", "500", "200", "1", "2", "3", "4"}));
  // DFF 0.875 -> 87.5 -> halves to even; LOR, conversion factor, tilt.
  EXPECT_EQ(Block(lines, 22, 4), (std::vector<std::string>{"88", " 5.0", "1.0", "0.0"}));
  EXPECT_EQ(Block(lines, 26, 7),
            (std::vector<std::string>{"1", "-2", "LED", "611.9", "3000K", "80", "7"}));
  for (const auto& ratio : Block(lines, 33, 10))
    EXPECT_EQ(ratio, "0.00000");

  rec.LOR = 75.0f;
  rec.LampSet[0].TotalFlux = 5100.0f;
  rec.DirectRatio[0] = 375.0f;
  const auto again = Written(rec);
  EXPECT_EQ(again[22], "75.0");
  EXPECT_EQ(again[28], "5100");
  EXPECT_EQ(again[32], "0.50000");

  rec.LOR = 0.0f;
  for (const auto& ratio : Block(Written(rec), 33, 10))
    EXPECT_EQ(ratio, "0.0");
}

TEST(EulumdatWriter, DateLineComposedWhenEmpty) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), Falling);
  rec.Editor = "J. Doe";
  rec.DateUser = "   ";
  const double today = TodayAsDays();
  const auto lines = Written(rec);
  EXPECT_EQ(lines[11], FormatShortDate(today) + " / J. Doe");
  EXPECT_EQ(+rec.FileDate, today);
  EXPECT_EQ(rec.DateUser.str(), lines[11]);

  rec.DateUser = "";
  rec.FileDate = 43831;  // 2020-01-01
  SetShortDatePattern("dd.MM.yyyy");
  EXPECT_EQ(Written(rec)[11], "01.01.2020 / J. Doe");

  rec.DateUser = " 2019 / someone ";
  EXPECT_EQ(Written(rec)[11], " 2019 / someone ");
}

TEST(EulumdatWriter, TextsKeepOneLineEach) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), Falling);
  rec.Company = "Two\r\nlines";
  rec.LumName = "caf\xE9";
  const auto lines = Written(rec);
  EXPECT_EQ(lines[0], "Two  lines");
  EXPECT_EQ(lines[8], "caf\xE9");
  EXPECT_EQ(lines.size(), kFirstCAngle - 1 + 24 + 19 + 19);
}

// A comma as the locale's decimal separator must not reach the file.
TEST(EulumdatWriter, CommaLocaleStillWritesPoints) {
  struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  // The C locale too, where the system has a German one.
  const std::string old_c = std::setlocale(LC_ALL, nullptr);
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German"})
    if (std::setlocale(LC_ALL, name)) break;
  const std::locale old_cpp = std::locale::global(std::locale(std::locale(), new CommaPunct));

  TLUM32 rec;
  FillGrid(rec, 2, Steps(0, 7.5f, 180), Steps(0, 2.5f, 90), Falling);
  rec.LOR = 72.5f;
  rec.LampSet[0].TotalFlux = 1234.5f;
  const std::string text = EulumdatText(rec);

  std::locale::global(old_cpp);
  std::setlocale(LC_ALL, old_c.c_str());
  EXPECT_EQ(text.find(','), std::string::npos);
  EXPECT_NE(text.find("\r\n72.5\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n1234.5\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n997.5\r\n"), std::string::npos);
}

TEST(EulumdatWriter, RefusesRecordsWithoutAnEulumdatForm) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 5, 90), Falling);
  rec.Symmetry = 5;
  try {
    EulumdatText(rec);
    ADD_FAILURE() << "symmetry 5 written";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "ldt: symmetry 5 has no EULUMDAT form (0 to 4)");
  }
  testing::TempDir dir;
  const auto target = dir / "SYM5.LDT";
  EXPECT_THROW(Save(rec, kFormatEulumdat, target.string()), IoError);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // no partial file, no temporary

  TLUM32 empty;
  EXPECT_THROW(EulumdatText(empty), IoError);

  // A fine gamma step that the full range would turn into more values than a reader takes.
  TLUM32 fine;
  FillGrid(fine, 0, Steps(0, 3.6f, 356.4f), {1.0f, 1.01f}, Falling);
  try {
    EulumdatText(fine);
    ADD_FAILURE() << "100 planes x 18001 gammas written";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()),
              "ldt: gamma 0 to 180 degrees at the step 0.01: 100 x 18001 intensities exceed the "
              "limit of 1000000");
  }
}

TEST(EulumdatWriter, NameWithoutExtensionGetsLdt) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir / "in.dir");
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), Falling);
  for (const char* name : {"PLAIN", "in.dir/PLAIN", "DOT.", "X.IE"}) {
    Save(rec, kFormatEulumdat, (dir / name).string());
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "PLAIN.LDT"));
  EXPECT_TRUE(std::filesystem::exists(dir / "in.dir/PLAIN.LDT"));
  EXPECT_TRUE(std::filesystem::exists(dir / "DOT..LDT"));
  EXPECT_TRUE(std::filesystem::exists(dir / "X.IE"));
}

TEST(EulumdatWriter, BothCodesWriteTheSameFile) {
  testing::TempDir dir;
  TLUM32 rec;
  ASSERT_TRUE(ParseEulumdat(rec, Join(LdtLines(LdtFile(3, 24, "15")))));
  Save(rec, kFormatEulumdat, (dir / "A.LDT").string());
  Save(rec, kFormatEulumdat2, (dir / "A2.LDT").string());
  const std::string a = testing::ReadFile(dir / "A.LDT");
  std::string a2 = testing::ReadFile(dir / "A2.LDT");
  ASSERT_FALSE(a.empty());
  a2.replace(a2.find("\r\nA2\r\n"), 6, "\r\nA\r\n");  // line 11 names the file
  EXPECT_EQ(a, a2);
  EXPECT_EQ(rec.FileName, "");  // Save restores the record's own name
}

TEST(EulumdatWriter, NumberStyleKeepsFiveSignificantDigits) {
  const std::pair<double, const char*> cases[] = {
      {15, "15.0"},
      {12.34, "12.34"},
      {0.0123, "0.0123"},
      {0, "0.0"},
      {-0.00001, "-0.00001"},
      {1234.56, "1234.6"},
      {12345.6, "12346.0"},
      {99999.4, "99999.0"},
      {123456, "1.2346E+5"},
      {-2.5, "-2.5"},
      {1e-20, "0.00000000000000000001"},
  };
  for (auto [x, text] : cases)
    EXPECT_EQ(EulumdatNumber(x, 5), text) << x;
  EXPECT_EQ(EulumdatNumber(22.125, 7), "22.125");
  EXPECT_EQ(EulumdatNumber(-0.0, 5), "0.0");
  EXPECT_EQ(EulumdatNumber(std::nan(""), 5), "0.0");
  // What is printed reads back within half a unit of the fifth digit.
  for (double x = 1e-4; x < 1e7; x *= 1.37) {
    double back = 0;
    ASSERT_TRUE(ParseNumber(EulumdatNumber(x, 5), back));
    EXPECT_NEAR(back, x, 5e-5 * x) << EulumdatNumber(x, 5);
  }
}

}  // namespace
}  // namespace lumatra
