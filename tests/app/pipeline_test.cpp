#include "app/pipeline.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "app/conversion_log.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/interpolation.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Steps;

// A downlight with more light in the C0 half: asymmetric, so every transform has work to do.
void Downlight(TLUM32& rec, float gamma_last = 90.0f) {
  FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 5, gamma_last), [](float c, float g) {
    const double lobe = std::cos(g * M_PI / 180.0);
    return (g > 90 ? 0.0 : 300.0 * lobe) * (1.0 + 0.5 * std::cos(c * M_PI / 180.0));
  });
  CalcFlux(rec);
  rec.FindPeak();
}

// A B-beta record as the IES reader leaves one of photometric type B.
void BBetaRecord(TLUM32& rec) {
  FillGrid(rec, 0, Steps(-90, 15, 90), Steps(-90, 5, 90), [](float b, float beta) {
    return 200.0 * std::cos(b * M_PI / 180.0) * std::cos(beta * M_PI / 180.0);
  });
  rec.PhotSystem = kSystemB;
  SetupSymmetry(rec, 0);
  CalcFlux(rec);
  rec.FindPeak();
}

struct Pipeline {
  ConversionSettings settings;
  std::string marks;

  void Run(TLUM32& rec, std::uint8_t target, std::uint8_t source = kFormatEulumdat) {
    RunPipeline(rec, target, source, rec.LOR, settings, [this](std::string_view m) { marks += m; });
  }
  void RunWithLor0(TLUM32& rec, std::uint8_t target, float lor0) {
    RunPipeline(rec, target, kFormatEulumdat, lor0, settings,
                [this](std::string_view m) { marks += m; });
  }
};

// The texts the label lines of a 1986 file can fill, in the selector's order.
std::vector<std::string> Labels(const TLUM32& rec) {
  return {rec.ReportNo2.str(),           rec.LumNumber.str(), rec.LumName.str(),
          rec.LampSet[0].LampType.str(), rec.Company.str(),   rec.DateUser.str()};
}

std::array<int, 7> Area(const TLUM32& rec) {
  const AreaDims a = rec.AreaDim;  // a copy: the packed fields are not aligned
  return {a.Length, a.Width, a.Diameter, a.HeightC0, a.HeightC90, a.HeightC180, a.HeightC270};
}

TEST(Pipeline, RestoresTheLorFoundAfterLoading) {
  TLUM32 rec;
  Downlight(rec);
  const float lor = rec.LOR;
  ASSERT_GT(lor, 1.0f);
  const float i00 = rec.GetIntensity(1, 1);
  Pipeline p;
  p.RunWithLor0(rec, kFormatEulumdat, 0.8f * lor);
  EXPECT_NEAR(rec.LOR, 0.8f * lor, 1e-3f * lor);
  EXPECT_NEAR(rec.GetIntensity(1, 1), 0.8f * i00, 1e-3f * i00);

  // After the transforms as well: finer planes, turned, folded.
  Downlight(rec);
  p.settings.PLANES = 1;
  p.settings.ANGLES = 2;
  p.settings.TURN = true;
  p.settings.SYMM = 3;
  p.Run(rec, kFormatEulumdat);
  EXPECT_NEAR(rec.LOR, lor, 1e-4f * lor);
  EXPECT_EQ(rec.Symmetry, 2);
  EXPECT_EQ(p.marks, " REDIM ");

  Downlight(rec);
  Pipeline{}.RunWithLor0(rec, kFormatEulumdat, 0.0f);  // scaling by 0 would erase the table
  EXPECT_FLOAT_EQ(rec.LOR, lor);
}

TEST(Pipeline, IesTargetsGetAGammaRangeEndingAt90Or180) {
  struct Case {
    float last;
    std::uint8_t target;
    float expected_last;
  } cases[] = {{85, kFormatIes86, 90},    {120, kFormatIes91, 180}, {90, kFormatIes95, 90},
               {180, kFormatIes95, 180},  {85, kFormatIes02, 90},   {120, kFormatIes19, 180},
               {85, kFormatEulumdat, 85}, {120, kFormatTm14, 120}};
  for (const Case& c : cases) {
    TLUM32 rec;
    Downlight(rec, c.last);
    const auto gammas = rec.NumGammas;
    Pipeline p;
    p.Run(rec, c.target);
    EXPECT_FLOAT_EQ(rec.GLast, c.expected_last) << c.last << " to " << int{c.target};
    if (c.expected_last == c.last) {
      EXPECT_EQ(rec.NumGammas, gammas);
    }
    EXPECT_FLOAT_EQ(rec.GetGamma(rec.NumGammas), c.expected_last);
  }
}

TEST(Pipeline, Eul1ReplacesLineOneAlwaysOrOnlyWhenEmpty) {
  struct Case {
    const char* company;
    bool always;
    std::uint8_t target;
    const char* expected;
  };
  for (const Case& c : {Case{"ACME Lighting", false, kFormatEulumdat, "ACME Lighting"},
                        Case{"  \t", false, kFormatEulumdat, "Converted by us"},
                        Case{"ACME Lighting", true, kFormatEulumdat, "Converted by us"},
                        Case{"", true, kFormatIes95, ""}}) {  // line 1 belongs to EULUMDAT only
    TLUM32 rec;
    Downlight(rec);
    rec.Company = c.company;
    Pipeline p;
    p.settings.EUL1 = "Converted by us";
    p.settings.EUV1 = c.always;
    p.Run(rec, c.target);
    EXPECT_EQ(rec.Company.str(), c.expected) << c.company << " " << c.always;
  }
}

TEST(Pipeline, LabelLinesOf1986SourcesFillTheChosenFields) {
  TLUM32 rec;
  Pipeline p;  // defaults: line 1 report no., 2 luminaire no., 3 name, 4 lamp, 5 and 6 unused
  auto load = [&rec](std::vector<std::string> lines) {
    Downlight(rec);
    rec.LabelLines = std::move(lines);
  };
  load({"REPORT 4711", "LUM-NR 12", "Wall washer", "LED 30W", "ignored", "ignored too"});
  p.Run(rec, kFormatEulumdat, kFormatIes86);
  EXPECT_EQ(Labels(rec), (std::vector<std::string>{"REPORT 4711", "LUM-NR 12", "Wall washer",
                                                   "LED 30W", "Dateiumsetzung mit Lumatra", ""}));

  // Line 5 to the maker's line wins over EUL1 (which fills only an empty line 1); line 6 to the
  // date field; the dialog's empty eighth item (7) copies nothing.
  p.settings.LL5 = kLabelCompany;
  p.settings.LL6 = kLabelDateUser;
  p.settings.LL4 = 7;
  load({"a", "b", "c", std::string(60, 'L'), "Maker Inc.", std::string(50, 'D')});
  rec.DateUser = "today";
  p.Run(rec, kFormatTm14, kFormatIes86);  // the date is cut to its field
  EXPECT_EQ(Labels(rec),
            (std::vector<std::string>{"a", "b", "c", "", "Maker Inc.", std::string(40, 'D')}));

  // Fewer lines than the selector: nothing; other editions and IES targets: nothing.
  load({"only line"});
  p.Run(rec, kFormatEulumdat, kFormatIes86);
  EXPECT_EQ(rec.ReportNo2.str(), "only line");
  EXPECT_EQ(rec.LumNumber.str(), "");
  for (std::uint8_t keyword_edition : {kFormatIes95, kFormatIes02, kFormatIes19}) {
    load({"x", "y", "z"});
    p.Run(rec, kFormatEulumdat, keyword_edition);
    EXPECT_EQ(rec.ReportNo2.str(), "") << int{keyword_edition};
  }
  load({"x", "y", "z"});
  p.Run(rec, kFormatIes91, kFormatIes86);
  EXPECT_EQ(rec.ReportNo2.str(), "");
}

TEST(Pipeline, TurnMovesC0ToC90AndTurnsTheLuminousArea) {
  TLUM32 rec;
  Downlight(rec);
  rec.AreaDim = {600, 150, 0, 100, 200, 300, 401};
  rec.LumDim.Length = 620;
  rec.LumDim.Width = 170;
  const float c0 = rec.Intensity(0, 30), c180 = rec.Intensity(180, 30);
  Pipeline p;
  p.settings.TURN = true;
  p.Run(rec, kFormatEulumdat);
  EXPECT_EQ(Area(rec), (std::array<int, 7>{150, 600, 0, 250, 200, 300, 401}));
  EXPECT_EQ(std::pair(+rec.LumDim.Length, +rec.LumDim.Width), std::pair(620, 170));
  EXPECT_NEAR(rec.Intensity(90, 30) / rec.Intensity(270, 30), c0 / c180, 1e-3);
  EXPECT_EQ(p.marks, "");

  // B-beta data kept for IES is not turned, and neither is its luminous area.
  BBetaRecord(rec);
  rec.AreaDim = {600, 150, 0, 100, 200, 300, 401};
  p.Run(rec, kFormatIes95, kFormatIes95);
  EXPECT_EQ(p.marks, "");
  EXPECT_EQ(rec.PhotSystem, kSystemB);
  EXPECT_EQ(Area(rec), (std::array<int, 7>{600, 150, 0, 100, 200, 300, 401}));
}

TEST(Pipeline, GridChangeLogsRedimOnlyForStepsWithATableEntry) {
  struct Case {
    std::int32_t planes, angles;
    const char* marks;
    int num_planes, num_gammas;
  };
  for (const Case& c : {Case{3, 0, " REDIM ", 24, 19},     // 15 degrees, gamma step kept
                        Case{8, 5, "", 24, 19},            // the dialog's blank last items: keep
                        Case{0, 4, " REDIM ", 24, 10}}) {  // 10 degrees, C step kept
    TLUM32 rec;
    Downlight(rec);
    Pipeline p;
    p.settings.PLANES = c.planes;
    p.settings.ANGLES = c.angles;
    p.Run(rec, kFormatEulumdat);
    EXPECT_EQ(p.marks, c.marks) << c.planes << " " << c.angles;
    EXPECT_EQ(std::pair(+rec.NumPlanes, +rec.NumGammas), std::pair(c.num_planes, c.num_gammas));
  }
}

TEST(Pipeline, BBetaSourcesBecomeCPlanesForEulumdat) {
  TLUM32 rec;
  BBetaRecord(rec);
  Pipeline p;
  p.settings.PLANES = 3;
  p.Run(rec, kFormatEulumdat, kFormatIes95);
  EXPECT_EQ(p.marks, std::string(kMarkConvertedBC) + std::string(kMarkRedimensioned));
  EXPECT_EQ(rec.PhotSystem, kSystemC);
  EXPECT_FLOAT_EQ(rec.GLast, 90.0f);
  EXPECT_GT(rec.Intensity(0, 0), 0.0f);
}

TEST(Pipeline, CopiesTheOutputOptionsAndComputesTheDirectRatios) {
  TLUM32 rec;
  Downlight(rec);
  Pipeline p;
  p.settings.unformat = true;
  p.settings.use360 = true;
  p.settings.CIBS2 = true;
  p.Run(rec, kFormatTm14);
  EXPECT_EQ(rec.UnformattedOutput, 1);
  EXPECT_EQ(rec.DuplicateC0AsC360, 1);
  EXPECT_EQ(rec.WriteTM2Data, 1);
  EXPECT_EQ(rec.LitgDone, 1);
  EXPECT_GT(rec.DirectRatio[9], rec.DirectRatio[0]);
}

}  // namespace
}  // namespace lumatra
