// RotateGrid, ExtendGamma and ConvertToCGamma: the transforms that move directions.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/grid_summary.h"
#include "photometry/interpolation.h"
#include "photometry/resample.h"
#include "photometry/transforms.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Grid;
using testing::GridSummary;
using testing::Steps;

constexpr double kRad = 3.14159265358979323846 / 180;

// A downlight brighter towards C0 than towards C180, dark from the horizontal up.
float Skewed(float c, float g) {
  if (g >= 90) return 0.0f;
  return static_cast<float>((100 + 50 * std::cos(c * kRad) * std::sin(g * kRad)) *
                            std::cos(g * kRad));
}

TEST(RotateGrid, NinetyDegreesTurnsTheOldC0PlaneIntoTheNewC90PlaneAndFourGiveItBack) {
  TLUM32 original, rec;
  FillGrid(original, 0, Steps(0, 15, 345), Steps(0, 5, 180), Skewed);
  FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 5, 180), Skewed);
  CalcFlux(rec);
  const float lor = rec.LOR;
  RotateGrid(rec, 90, 0, 0);
  ASSERT_EQ(Grid(rec), (GridSummary{0, 24, 37, 0, 15, 345, 0, 5, 180}));
  for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
    const float g = rec.GetGamma(j);
    EXPECT_NEAR(rec.Intensity(90, g), Skewed(0, g), 1e-3) << g;     // old C0
    EXPECT_NEAR(rec.Intensity(270, g), Skewed(180, g), 1e-3) << g;  // old C180
    EXPECT_NEAR(rec.Intensity(0, g), Skewed(270, g), 1e-3) << g;
    EXPECT_NEAR(rec.Intensity(135, g), Skewed(45, g), 1e-3) << g;
  }
  EXPECT_NEAR(rec.LOR, lor, lor * 1e-6);
  for (int turn = 1; turn < 4; ++turn)
    RotateGrid(rec, 90, 0, 0);
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      EXPECT_NEAR(rec.GetIntensity(i, j), original.GetIntensity(i, j), 1e-3);
}

TEST(RotateGrid, ATurnAboutTheVerticalKeepsTheGammaRangeAndEachPlanesValues) {
  TLUM32 rec;
  // A table that ends at 90 degrees with light there, and a nadir value that differs by plane.
  FillGrid(rec, 0, Steps(0, 30, 330), Steps(0, 10, 90), [](float c, float g) { return c + g + 1; });
  CalcFlux(rec);
  const float lor = rec.LOR;
  RotateGrid(rec, 90, 0, 0);
  EXPECT_EQ(Grid(rec), (GridSummary{0, 12, 10, 0, 30, 330, 0, 10, 90}));
  EXPECT_EQ(+rec.LOR, lor);
  EXPECT_EQ(rec.GetIntensity(4, 1), 1.0f);    // new C90 at the nadir: old C0
  EXPECT_EQ(rec.GetIntensity(4, 10), 91.0f);  // and at 90 degrees
  EXPECT_EQ(rec.GetIntensity(1, 1), 271.0f);  // new C0: old C270
}

TEST(RotateGrid, AHalfTurnAboutTheHorizontalAxisPutsTheLightUpward) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 5, 90), Skewed);
  RotateGrid(rec, 0, 0, 180);
  EXPECT_EQ(rec.GLast, 180.0f);
  EXPECT_EQ(rec.NumGammas, 37);
  CalcFlux(rec);
  EXPECT_NEAR(rec.DownFlux, 0, 1e-3);
  EXPECT_GT(rec.UpFlux, 0);
  // (x, y, z) -> (x, -y, -z): the new (C, gamma) reads the old (360 - C, 180 - gamma).
  EXPECT_NEAR(rec.Intensity(30, 150), Skewed(330, 30), 1e-3);
  EXPECT_NEAR(rec.Intensity(0, 180), Skewed(0, 0), 1e-3);
}

TEST(RotateGrid, RotationalAndIrregularTablesGetRegularPlanes) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 10, 180), [](float, float g) { return 180.0f - g; });
  RotateGrid(rec, 90, 0, 0);
  EXPECT_EQ(Grid(rec), (GridSummary{0, 24, 19, 0, 15, 345, 0, 10, 180}));
  EXPECT_NEAR(rec.GetIntensity(5, 4), 150.0f, 1e-3);

  // Irregular angles use their smallest steps: 30 degrees in C, 2.5 in gamma.
  FillGrid(rec, 0, {0, 30, 90, 180, 270}, {0, 2.5f, 10, 45, 90, 180},
           [](float, float g) { return 100.0f - g / 2; });
  rec.CStep = 0;  // irregular C angles as a reader leaves them
  SetupSymmetry(rec, 0);
  CalcFlux(rec);
  const float lor = rec.LOR;
  RotateGrid(rec, 90, 0, 0);
  EXPECT_EQ(Grid(rec), (GridSummary{0, 12, 73, 0, 30, 330, 0, 2.5f, 180}));
  // The finer grid changes the flux; the rescaled table keeps the LOR and the shape.
  EXPECT_NEAR(rec.LOR, lor, lor * 1e-6);
  EXPECT_NEAR(rec.Intensity(60, 45) / rec.Intensity(200, 0), 0.775, 1e-5);
}

TEST(RotateGrid, NeedsALoadedCGammaRecord) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 5, 90), Skewed);
  rec.Loaded = 0;
  const TSglArray* before = rec.Matrix.get();
  RotateGrid(rec, 90, 0, 0);
  EXPECT_EQ(rec.Matrix.get(), before);
  rec.Loaded = 1;
  rec.PhotSystem = kSystemB;
  RotateGrid(rec, 90, 0, 0);
  EXPECT_EQ(rec.Matrix.get(), before);
}

TEST(ExtendGamma, AddsZerosBeyondTheOldRange) {
  TLUM32 rec;
  FillGrid(rec, 2, Steps(0, 30, 180), Steps(0, 2.5f, 80), Skewed);
  ExtendGamma(rec, 90);
  ASSERT_EQ(Grid(rec), (GridSummary{2, 7, 37, 0, 30, 180, 0, 2.5f, 90}));
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
      const float g = rec.GetGamma(j);
      const float expected = g > 80 ? 0.0f : Skewed(rec.GetCAngle(i), g);
      EXPECT_FLOAT_EQ(rec.GetIntensity(i, j), expected) << rec.GetCAngle(i) << " " << g;
    }
  }
}

TEST(ExtendGamma, NeverCutsTheRangeAndContinuesAnIrregularOneOnItsSmallestStep) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 120), Skewed);
  const TSglArray* before = rec.Matrix.get();
  ExtendGamma(rec, 90);
  EXPECT_EQ(rec.Matrix.get(), before);
  ExtendGamma(rec, 180);
  EXPECT_EQ(rec.NumGammas, 37);
  EXPECT_EQ(rec.GetIntensity(1, 37), 0.0f);

  FillGrid(rec, 1, {0}, {0, 5, 10, 30, 60}, [](float, float g) { return 100.0f - g; });
  ExtendGamma(rec, 90);
  EXPECT_EQ(rec.NumGammas, 19);
  EXPECT_EQ(rec.GridFlags & kGammaIrregular, 0);
  EXPECT_FLOAT_EQ(rec.Intensity(0, 45), 55.0f);
  EXPECT_FLOAT_EQ(rec.Intensity(0, 65), 0.0f);
}

// A B-beta record whose intensity depends on B only: I = 100 + B.
void MakeBBeta(TLUM32& rec) {
  FillGrid(rec, 0, Steps(-90, 5, 90), Steps(-90, 5, 90), [](float b, float) { return 100.0f + b; });
  rec.PhotSystem = kSystemB;
  SetupSymmetry(rec, 0);
}

TEST(ConvertToCGamma, LaysOutThePlanesOfTheTargetSymmetryAndReadsTheBBetaGrid) {
  struct Case {
    int symmetry;
    float g_step, c_step;
    GridSummary grid;
  };
  const Case cases[] = {
      {0, 5, 15, {0, 24, 19, 0, 15, 345, 0, 5, 90}},
      {1, 10, 15, {1, 1, 10, 0, 0, 0, 0, 10, 90}},
      {2, 10, 15, {2, 13, 10, 0, 15, 180, 0, 10, 90}},
      {3, 10, 15, {3, 13, 10, 90, 15, 270, 0, 10, 90}},
      {4, 10, 15, {4, 7, 10, 0, 15, 90, 0, 10, 90}},
      {0, 0, 0, {0, 72, 19, 0, 5, 355, 0, 5, 90}},  // zero steps do not divide by zero
  };
  for (const Case& c : cases) {
    TLUM32 rec;
    MakeBBeta(rec);
    ASSERT_TRUE(ConvertToCGamma(rec, c.symmetry, 90, 0, c.g_step, c.c_step));
    EXPECT_EQ(rec.PhotSystem, kSystemC);
    EXPECT_EQ(Grid(rec), c.grid) << c.symmetry;
    EXPECT_EQ(rec.GetCAngle(rec.NumPlanes), c.grid.c_last) << c.symmetry;
    if (c.symmetry != 0) continue;
    // In the C0 plane B equals gamma, in C180 minus gamma; in C90 B stays 0.
    EXPECT_NEAR(rec.Intensity(0, 30), 130.0f, 1e-3);
    EXPECT_NEAR(rec.Intensity(180, 30), 70.0f, 1e-3);
    EXPECT_NEAR(rec.Intensity(90, 60), 100.0f, 1e-3);
  }
  // A C-gamma record is left alone.
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 5, 90), Skewed);
  const TSglArray* before = rec.Matrix.get();
  EXPECT_FALSE(ConvertToCGamma(rec, 0, 90, 0, 5, 15));
  EXPECT_EQ(rec.Matrix.get(), before);
}

TEST(ConvertToCGamma, ChangeGridConvertsABBetaRecordFirst) {
  TLUM32 rec;
  MakeBBeta(rec);
  ChangeGrid(rec, 15, 10);
  EXPECT_EQ(rec.PhotSystem, kSystemC);
  EXPECT_EQ(Grid(rec), (GridSummary{0, 24, 10, 0, 15, 345, 0, 10, 90}));
  EXPECT_NEAR(rec.Intensity(0, 30), 130.0f, 1e-3);
  EXPECT_NEAR(rec.Intensity(180, 30), 70.0f, 1e-3);
}

}  // namespace
}  // namespace lumatra
