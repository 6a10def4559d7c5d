// The whole-table transforms: each applied to a real file and pinned as EULUMDAT in a golden
// file, and the properties that must hold for every real file.
#include "photometry/transforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <utility>

#include "app/format_table.h"
#include "formats/eulumdat.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/resample.h"
#include "photometry/transform_support.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;

const fs::path kData = testing::TestDataDir(), kCorpus = kData / "corpus" / "files";
const fs::path kAsymmetric = kCorpus / "lopz82__pyldt/42932569.ldt";  // 12 x 19
const fs::path kRotational = kCorpus / "123VincentB__eulumdat-plot/sample_06_isym1.ldt";
const fs::path kAboutC90 = kCorpus / "123VincentB__eulumdat-plot/sample_25_isym3.ldt";
const fs::path kIrregular = kCorpus / "lopz82__pyldt/60813739.ldt";  // gamma steps vary

struct Transform {
  const char* name;
  fs::path source;
  std::function<void(TLUM32&)> apply;
};

const Transform kTransforms[] = {
    {"symmetry_0_to_1", kAsymmetric, [](TLUM32& r) { ChangeSymmetry(r, 1, true); }},
    {"symmetry_0_to_2", kAsymmetric, [](TLUM32& r) { ChangeSymmetry(r, 2, true); }},
    {"symmetry_0_to_3", kAsymmetric, [](TLUM32& r) { ChangeSymmetry(r, 3, true); }},
    {"symmetry_0_to_4_and_back", kAsymmetric,
     [](TLUM32& r) {
       ChangeSymmetry(r, 4, true);
       ChangeSymmetry(r, 0, true);
     }},
    {"symmetry_4_unaveraged_step_20", kAsymmetric,
     [](TLUM32& r) { MakeSymmetric(r, 4, false, 20); }},
    {"symmetry_3_to_1_unaveraged", kAboutC90, [](TLUM32& r) { MakeRotational(r, false); }},
    {"grid_c15_g2.5", kAboutC90, [](TLUM32& r) { ChangeGrid(r, 15, 2.5f); }},
    {"grid_full_circle_c30_g10", kRotational, [](TLUM32& r) { SetGrid(r, 30, 10); }},
    {"grid_irregular_g5", kIrregular, [](TLUM32& r) { ChangeGrid(r, 0, 5); }},
    {"turn_90", kAsymmetric, [](TLUM32& r) { RotateGrid(r, 90, 0, 0); }},
    {"turn_upside_down", kAsymmetric, [](TLUM32& r) { RotateGrid(r, 0, 0, 180); }},
    {"tilt_30", kAboutC90, [](TLUM32& r) { RotateGrid(r, 0, 30, 0); }},
    {"turn_45_and_tilt_20", kAsymmetric, [](TLUM32& r) { RotateGrid(r, 45, 20, 0); }},
    {"gamma_to_180", kAsymmetric, [](TLUM32& r) { ExtendGamma(r, 180); }},
    {"b_beta_to_c", kData / "ies/type_b_full.ies",
     [](TLUM32& r) { ConvertToCGamma(r, 0, 90, 0, 5, 15); }},
    {"b_beta_quadrant_to_c_symmetry_4", kData / "ies/type_b_quadrant.ies",
     [](TLUM32& r) { ConvertToCGamma(r, 4, 90, 0, 10, 15); }},
    {"b_beta_quadrant_to_c_symmetry_3", kData / "ies/type_b_quadrant.ies",
     [](TLUM32& r) { ConvertToCGamma(r, 3, 90, 0, 10, 15); }},
};

TEST(Transforms, EachGivesItsGoldenTable) {
  for (const Transform& t : kTransforms) {
    SCOPED_TRACE(t.name);
    TLUM32 rec;
    ASSERT_TRUE(Load(rec, t.source.string()));
    t.apply(rec);
    rec.DateUser = "golden";
    testing::ExpectGolden(std::string("transforms/") + t.name + ".LDT", EulumdatText(rec));
  }
}

// A step that does not divide the rest of the range: the measured angles and values stay, the
// last step is the shorter one and reads 0.
TEST(Transforms, GammaExtensionKeepsEveryMeasuredAngle) {
  TLUM32 rec;
  testing::FillGrid(rec, 1, {0}, {0, 35, 70}, [](float, float g) { return 500 - g; });
  ExtendGamma(rec, 90);
  EXPECT_EQ(transform::GammaAngles(rec), (std::vector<float>{0, 35, 70, 90}));
  EXPECT_EQ(rec.GetIntensity(1, 3), 430.0f);
  EXPECT_EQ(rec.GetIntensity(1, 4), 0.0f);
  EXPECT_EQ(rec.GLast, 90.0f);
}

// The flux of the interpolated distribution, integrated finely through Intensity: what a
// resampling must keep, where the evaluation of a coarse peaked table differs from it.
double InterpolatedFlux(const TLUM32& rec) {
  const double r = std::numbers::pi / 180, dg = 0.25;
  double sum = 0;
  for (double g = rec.GFirst + dg / 2; g < rec.GLast; g += dg)
    for (int c = 0; c < 360; ++c)
      sum += rec.Intensity(c + 0.5f, static_cast<float>(g)) * r * std::sin(g * r) * dg * r;
  return sum;
}

// Each check gets the file freshly loaded and evaluated twice: one to change, one to compare.
const std::pair<const char*, void (*)(TLUM32&, TLUM32&)> kProperties[] = {
    {"four quarter turns keep the LOR and give the table back",
     [](TLUM32& rec, TLUM32& original) {
       RotateGrid(rec, 90, 0, 0);
       EXPECT_NEAR(rec.LOR, original.LOR, std::fabs(original.LOR) * 1e-5);
       for (int turn = 1; turn < 4; ++turn)
         RotateGrid(rec, 90, 0, 0);
       original.FindPeak();
       for (std::size_t i = 1; i <= original.NumPlanes; ++i)
         for (std::size_t j = 1; j <= original.NumGammas; ++j)
           EXPECT_NEAR(rec.Intensity(original.GetCAngle(i), original.GetGamma(j)),
                       original.GetIntensity(i, j), 0.005 * original.PeakIntensity);
     }},
    {"unfolding and folding a symmetric table keeps every cell",
     [](TLUM32& rec, TLUM32& original) {
       if (original.Symmetry < 2 || original.Symmetry > 4 || original.GridFlags != 0) return;
       SetGrid(rec, rec.CStep, rec.GStep);
       ASSERT_EQ(rec.Symmetry, 0);
       MakeSymmetric(rec, original.Symmetry, true, original.CStep);
       ASSERT_EQ(std::pair(rec.NumPlanes, rec.NumGammas),
                 std::pair(original.NumPlanes, original.NumGammas));
       for (std::size_t i = 0; i <= original.NumPlanes; ++i)
         for (std::size_t j = i == 0 ? 1 : 0; j <= original.NumGammas; ++j)
           EXPECT_FLOAT_EQ(rec.GetIntensity(i, j), original.GetIntensity(i, j)) << i << " " << j;
     }},
    {"each symmetry in turn, then none again, keeps the flux",
     [](TLUM32& rec, TLUM32& original) {
       for (int symmetry : {4, 3, 2, 1}) {
         ChangeSymmetry(rec, symmetry, true);
         ChangeSymmetry(rec, 0, true);
         EXPECT_NEAR(rec.LumFlux, original.LumFlux, original.LumFlux * 0.01) << symmetry;
       }
     }},
    {"a finer grid keeps the flux of the interpolated distribution",
     [](TLUM32& rec, TLUM32& original) {
       ChangeGrid(rec, 2.5f, 1);
       if (std::fabs(rec.LumFlux / original.LumFlux - 1) <= 0.005) return;
       const double interpolated = InterpolatedFlux(original);
       EXPECT_GT(std::fabs(original.LumFlux / interpolated - 1), 0.005);
       EXPECT_NEAR(rec.LumFlux, interpolated, interpolated * 0.005);
     }},
};

TEST(Transforms, PropertiesHoldForEveryRealFile) {
  int checked = 0;
  for (const fs::path& path : testing::CorpusFiles({"LDT"})) {
    for (const auto& [property, check] : kProperties) {
      SCOPED_TRACE(path.filename().string() + ": " + property);
      TLUM32 rec, original;
      if (!Load(rec, path.string()) || !Load(original, path.string())) break;
      CalcFlux(original);
      CalcFlux(rec);
      if (original.LumFlux <= 0) break;
      check(rec, original);
      ++checked;
    }
  }
  EXPECT_GE(checked, 100);
}

}  // namespace
}  // namespace lumatra
