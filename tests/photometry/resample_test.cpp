#include "photometry/resample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>

#include "app/format_table.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/grid_summary.h"
#include "photometry/interpolation.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Grid;
using testing::GridSummary;
using testing::Steps;

// Linear in C and gamma and different in every plane: interpolation reproduces it exactly, and
// misplaced planes show.
float Distinct(float c, float g) {
  return 100.0f + c + g / 100.0f;
}

TEST(SetGrid, UnfoldsAMirroredTableToTheFullCircle) {
  TLUM32 rec;
  FillGrid(rec, 2, Steps(0, 30, 180), Steps(0, 10, 90), Distinct);
  SetGrid(rec, 15, 5);
  ASSERT_EQ(Grid(rec), (GridSummary{0, 24, 19, 0, 15, 345, 0, 5, 90}));
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    EXPECT_EQ(rec.GetCAngle(i), 15.0f * (i - 1));
  // C210 mirrors to C150, stored; C45 lies halfway between C30 and C60; gamma 15 between 10, 20.
  EXPECT_FLOAT_EQ(rec.GetIntensity(15, 3), Distinct(150, 10));
  EXPECT_FLOAT_EQ(rec.GetIntensity(4, 3), Distinct(45, 10));
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 4), Distinct(0, 15));
}

// SetGrid on a table of Distinct values gives `grid`, and reads the value stored for C `from`
// at (C `c`, gamma `g`).
void ExpectResampled(std::uint8_t symmetry, const std::vector<float>& planes,
                     const std::vector<float>& gammas, float c_step, float g_step,
                     const GridSummary& grid, float c, float g, float from) {
  TLUM32 rec;
  FillGrid(rec, symmetry, planes, gammas, Distinct);
  SetGrid(rec, c_step, g_step);
  EXPECT_EQ(Grid(rec), grid) << c_step << " / " << g_step;
  EXPECT_FLOAT_EQ(rec.Intensity(c, g), Distinct(from, g)) << c_step << " / " << g_step;
}

TEST(SetGrid, NewGridsFollowTheStepsAndAStepOfZeroKeepsTheCurrentOne) {
  // Keep C, finer gamma; keep gamma, coarser C.
  ExpectResampled(0, Steps(0, 10, 350), Steps(0, 5, 90), 0, 2.5f,
                  {0, 36, 37, 0, 10, 350, 0, 2.5f, 90}, 10, 2.5f, 10);
  ExpectResampled(0, Steps(0, 10, 350), Steps(0, 2.5f, 90), 30, 0,
                  {0, 12, 37, 0, 30, 330, 0, 2.5f, 90}, 330, 90, 330);
  // A rotational record without a step gets 15 degrees; every plane is the stored one.
  ExpectResampled(1, {0}, Steps(0, 5, 180), 0, 0, {0, 24, 37, 0, 15, 345, 0, 5, 180}, 90, 20, 0);
  ExpectResampled(0, Steps(0, 15, 345), Steps(0, 5, 90), 22.5f, 10,
                  {0, 16, 10, 0, 22.5f, 337.5f, 0, 10, 90}, 337.5f, 90, 337.5f);
  // 8.4 steps round to 8: the range ends at the last new gamma, 80.
  ExpectResampled(0, Steps(0, 15, 345), Steps(0, 2, 84), 15, 10, {0, 24, 9, 0, 15, 345, 0, 10, 80},
                  0, 80, 0);
  // An irregular gamma grid is resampled even at its smallest step.
  ExpectResampled(0, Steps(0, 15, 345), {0, 5, 10, 20, 30, 60, 90}, 15, 5,
                  {0, 24, 19, 0, 15, 345, 0, 5, 90}, 30, 45, 30);
}

TEST(SetGrid, LeavesTheTableAloneWhenThereIsNothingToDoOrItCannot) {
  const std::function<void(TLUM32&)> setups[] = {
      // A full circle already at the requested steps.
      [](TLUM32& rec) { FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 5, 90), Distinct); },
      // 36000 x 9001 cells: too large to build.
      [](TLUM32& rec) { FillGrid(rec, 2, Steps(0, 15, 180), Steps(0, 5, 90), Distinct); },
      // Another photometric system.
      [](TLUM32& rec) {
        FillGrid(rec, 2, Steps(-90, 15, 90), Steps(-90, 15, 90), Distinct);
        rec.PhotSystem = kSystemB;
        SetupSymmetry(rec, 2);
      },
  };
  const float steps[][2] = {{15, 5}, {0.01f, 0.01f}, {15, 5}};
  for (int k = 0; k < 3; ++k) {
    TLUM32 rec;
    setups[k](rec);
    const GridSummary grid = Grid(rec);
    const TSglArray* before = rec.Matrix.get();
    rec.LumFlux = 12345;  // a recomputation would overwrite it
    SetGrid(rec, steps[k][0], steps[k][1]);
    EXPECT_EQ(rec.Matrix.get(), before) << k;
    EXPECT_EQ(Grid(rec), grid) << k;
    EXPECT_EQ(+rec.LumFlux, 12345.0f) << k;
  }
}

TEST(ChangeGrid, FoldsBackToTheOriginalSymmetry) {
  TLUM32 rec;
  FillGrid(rec, 2, Steps(0, 30, 180), Steps(0, 10, 180), Distinct);
  ChangeGrid(rec, 15, 5);
  ASSERT_EQ(Grid(rec), (GridSummary{2, 13, 37, 0, 15, 180, 0, 5, 180}));
  // The old planes come through unchanged, the new ones in between are interpolated.
  EXPECT_FLOAT_EQ(rec.GetIntensity(3, 5), Distinct(30, 20));
  EXPECT_FLOAT_EQ(rec.GetIntensity(2, 5), Distinct(15, 20));
  EXPECT_FLOAT_EQ(rec.GetIntensity(13, 37), Distinct(180, 180));

  FillGrid(rec, 1, {0}, Steps(0, 10, 90), [](float, float g) { return 90.0f - g; });
  ChangeGrid(rec, 0, 1);
  EXPECT_EQ(Grid(rec), (GridSummary{1, 1, 91, 0, 0, 0, 0, 1, 90}));
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 36), 55.0f);
}

TEST(ChangeGrid, KeepsTheFluxOfASmoothDistribution) {
  TLUM32 rec;
  FillGrid(rec, 4, Steps(0, 15, 90), Steps(0, 5, 180), [](float c, float g) {
    const double r = std::numbers::pi / 180;
    return g > 90 ? 0.0 : 300 * std::cos(g * r) * (1 + 0.3 * std::cos(2 * c * r));
  });
  CalcFlux(rec);
  const float before = rec.LumFlux;
  ChangeGrid(rec, 2.5f, 1);
  EXPECT_EQ(rec.Symmetry, 4);
  EXPECT_EQ(rec.NumPlanes, 37);
  EXPECT_NEAR(rec.LumFlux, before, before * 0.005);
}

TEST(ScaleIntensities, MultipliesEveryCellAndReevaluates) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 90, 270), Steps(0, 45, 180), Distinct);
  CalcFlux(rec);
  const float lor = rec.LOR;
  ScaleIntensities(rec, 2);
  ScaleIntensities(rec, 1);  // a factor of 1 changes nothing
  EXPECT_FLOAT_EQ(rec.GetIntensity(4, 5), 2 * Distinct(270, 180));
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 1), 2 * Distinct(0, 0));
  EXPECT_FLOAT_EQ(rec.GetCAngle(4), 270.0f);  // angles are not intensities
  EXPECT_FLOAT_EQ(rec.GetGamma(5), 180.0f);
  EXPECT_NEAR(rec.LOR, 2 * lor, lor * 1e-5);
  EXPECT_FLOAT_EQ(rec.PeakIntensity, 2 * Distinct(270, 180));
}

// The flux of the interpolated distribution itself, integrated finely through Intensity: 1-degree
// C planes and 0.25-degree gamma zones. Resampling reads the same interpolation, so this is what
// it must keep; the evaluation on a coarse grid may differ from it for a peaked distribution.
double InterpolatedFlux(const TLUM32& rec) {
  const double r = std::numbers::pi / 180;
  const double dg = 0.25;
  double sum = 0;
  for (double g = rec.GFirst + dg / 2; g < rec.GLast; g += dg) {
    double ring = 0;
    for (int c = 0; c < 360; ++c)
      ring += rec.Intensity(c + 0.5f, static_cast<float>(g));
    sum += ring * r * std::sin(g * r) * dg * r;
  }
  return sum;
}

// Real EULUMDAT files resampled to 2.5-degree planes and 1-degree gammas keep their flux. Where
// the coarse evaluation itself is off the interpolated distribution by more than that (a peaked
// beam on 5-degree gammas, a table of five gammas), the refined flux must match the latter.
TEST(ChangeGrid, CorpusFilesKeepTheirFluxWhenRefined) {
  const auto files = testing::CorpusFiles({"LDT"});
  int loaded = 0;
  for (const auto& path : files) {
    TLUM32 rec;
    if (!Load(rec, path.string())) continue;
    ++loaded;
    CalcFlux(rec);
    const double before = rec.LumFlux;
    if (before <= 0) continue;
    ChangeGrid(rec, 2.5f, 1);
    const double after = rec.LumFlux;
    if (std::fabs(after / before - 1) <= 0.005) continue;
    TLUM32 original;
    Load(original, path.string());
    const double interpolated = InterpolatedFlux(original);
    std::printf("  %s: flux %.1f, refined %.1f, interpolated distribution %.1f\n",
                path.filename().string().c_str(), before, after, interpolated);
    EXPECT_GT(std::fabs(before / interpolated - 1), 0.005) << path.filename();
    EXPECT_NEAR(after, interpolated, interpolated * 0.005) << path.filename();
  }
  EXPECT_GT(loaded, 0);
}

}  // namespace
}  // namespace lumatra
