// ChangeSymmetry, MakeSymmetric and MakeRotational: folding a table to fewer planes.
#include <gtest/gtest.h>

#include <cmath>

#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/grid_summary.h"
#include "photometry/resample.h"
#include "photometry/transforms.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::CAngles;
using testing::FillGrid;
using testing::Grid;
using testing::GridSummary;
using testing::Steps;

// Every plane and gamma angle gives another value: plane C holds 1000 + 10 C + gamma.
float Distinct(float c, float g) {
  return 1000.0f + 10.0f * c + g;
}

// The mean of Distinct over the given planes at one gamma.
float Mean(float g, std::initializer_list<float> planes) {
  float sum = 0;
  for (float c : planes)
    sum += Distinct(c, g);
  return sum / static_cast<float>(planes.size());
}

void MakeAsymmetric(TLUM32& rec) {
  FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 10, 180), Distinct);
}

TEST(ChangeSymmetry, AveragesEachPlaneWithItsMirrorsAndKeepsTheEndPlanes) {
  struct Cell {
    std::size_t row, column;
    float value;
  };
  struct Case {
    std::uint8_t kind;
    GridSummary grid;
    std::vector<Cell> cells;
  };
  const Case cases[] = {
      {2,
       {2, 13, 19, 0, 15, 180, 0, 10, 180},
       {{3, 2, Mean(10, {30, 330})}, {1, 2, Distinct(0, 10)}, {13, 2, Distinct(180, 10)}}},
      // Across C90 the mirror of C120 is C60, that of C255 is C285 (-75 + 360).
      {3,
       {3, 13, 19, 90, 15, 270, 0, 10, 180},
       {{3, 4, Mean(30, {120, 60})},
        {12, 4, Mean(30, {255, 285})},
        {1, 4, Distinct(90, 30)},
        {13, 4, Distinct(270, 30)}}},
      // About both planes: four planes in the middle, the end planes in pairs.
      {4,
       {4, 7, 19, 0, 15, 90, 0, 10, 180},
       {{1, 1, Mean(0, {0, 180})},
        {7, 1, Mean(0, {90, 270})},
        {4, 1, Mean(0, {45, 315, 135, 225})}}},
  };
  for (const Case& c : cases) {
    TLUM32 rec;
    MakeAsymmetric(rec);
    ChangeSymmetry(rec, c.kind, true);
    ASSERT_EQ(Grid(rec), c.grid);
    EXPECT_EQ(CAngles(rec), Steps(c.grid.c_first, 15, c.grid.c_last));
    for (const Cell& cell : c.cells)
      EXPECT_FLOAT_EQ(rec.GetIntensity(cell.row, cell.column), cell.value)
          << "kind " << int{c.kind} << " row " << cell.row;
  }
  // The bound interpolation now mirrors: C200 reads the C160 plane.
  TLUM32 rec;
  MakeAsymmetric(rec);
  ChangeSymmetry(rec, 2, true);
  EXPECT_FLOAT_EQ(rec.Intensity(200, 10), rec.Intensity(160, 10));
}

TEST(ChangeSymmetry, WithoutAveragingEachPlaneKeepsItsOwnValues) {
  TLUM32 rec;
  MakeAsymmetric(rec);
  ChangeSymmetry(rec, 4, false);
  ASSERT_EQ(rec.NumPlanes, 7);
  for (std::size_t i = 1; i <= 7; ++i)
    EXPECT_FLOAT_EQ(rec.GetIntensity(i, 5), Distinct(15.0f * (i - 1), 40)) << i;
}

TEST(ChangeSymmetry, ToNoSymmetryUnfoldsAndAboveFourDoesNothing) {
  TLUM32 rec;
  FillGrid(rec, 4, Steps(0, 15, 90), Steps(0, 10, 90), Distinct);
  ChangeSymmetry(rec, 5, true);
  EXPECT_EQ(rec.Symmetry, 4);
  ChangeSymmetry(rec, 0, true);
  EXPECT_EQ(rec.Symmetry, 0);
  EXPECT_EQ(rec.NumPlanes, 24);
  EXPECT_FLOAT_EQ(rec.GetIntensity(14, 3), Distinct(15, 20));  // C195 folds to C15
}

TEST(ChangeSymmetry, AStepThatMissesTheSectorEndEndsInAnExtraPlane) {
  TLUM32 rec;
  MakeAsymmetric(rec);
  MakeSymmetric(rec, 4, false, 20);
  EXPECT_EQ(CAngles(rec), (std::vector<float>{0, 20, 40, 60, 80, 90}));
  EXPECT_NE(rec.GridFlags & kCIrregular, 0);
  EXPECT_FLOAT_EQ(rec.Intensity(85, 0), (rec.GetIntensity(5, 1) + rec.GetIntensity(6, 1)) / 2);
}

TEST(ChangeSymmetry, AnAlreadySymmetricTableKeepsItsValues) {
  // A full circle whose values are symmetric about both planes, folded to each symmetry.
  auto symmetric = [](float c, float g) {
    const double r = 3.14159265358979 / 180;
    return 200 + 80 * std::cos(2 * c * r) * std::sin(g * r) + g;
  };
  TLUM32 full;
  FillGrid(full, 0, Steps(0, 15, 345), Steps(0, 5, 180), symmetric);
  for (int kind : {2, 3, 4}) {
    TLUM32 rec;
    FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 5, 180), symmetric);
    MakeSymmetric(rec, kind, true, 15);
    ASSERT_EQ(rec.Symmetry, kind);
    for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
      const std::size_t row = static_cast<std::size_t>(std::lround(rec.GetCAngle(i) / 15)) + 1;
      for (std::size_t j = 1; j <= rec.NumGammas; ++j)
        EXPECT_NEAR(rec.GetIntensity(i, j), full.GetIntensity(row, j), 1e-4)
            << "kind " << kind << " C" << rec.GetCAngle(i) << " gamma " << rec.GetGamma(j);
    }
  }
}

TEST(ChangeSymmetry, SameSymmetryAndStepIsLeftAlone) {
  TLUM32 rec;
  FillGrid(rec, 2, Steps(0, 15, 180), Steps(0, 10, 90), Distinct);
  const TSglArray* before = rec.Matrix.get();
  MakeSymmetric(rec, 2, true, 15);
  EXPECT_EQ(rec.Matrix.get(), before);
  MakeSymmetric(rec, 2, true, 0);  // 0 keeps the step
  EXPECT_EQ(rec.Matrix.get(), before);
  MakeSymmetric(rec, 2, true, 30);
  EXPECT_EQ(rec.NumPlanes, 7);
}

TEST(MakeRotational, AveragesThePlanesOnceAndThenLeavesTheRecordAlone) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 90, 270), Steps(0, 10, 90), Distinct);
  MakeRotational(rec, true);
  ASSERT_EQ(Grid(rec), (GridSummary{1, 1, 10, 0, 0, 0, 0, 10, 90}));
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 3), Mean(20, {0, 90, 180, 270}));
  EXPECT_FLOAT_EQ(rec.Intensity(123, 20), rec.GetIntensity(1, 3));
  const TSglArray* before = rec.Matrix.get();
  MakeRotational(rec, true);
  EXPECT_EQ(rec.Matrix.get(), before);
}

TEST(MakeRotational, WithoutAveragingTakesTheC180PlaneOfSymmetryThree) {
  struct Case {
    std::uint8_t symmetry;
    std::vector<float> planes;
    float taken;
  };
  const Case cases[] = {
      {3, Steps(90, 30, 270), 180},
      {3, {90, 120, 175, 220, 270}, 175},  // no C180 plane: the plane nearest to it
      {2, Steps(0, 30, 180), 0},           // other symmetries copy plane 1
  };
  for (const Case& c : cases) {
    TLUM32 rec;
    FillGrid(rec, c.symmetry, c.planes, Steps(0, 10, 90), Distinct);
    MakeRotational(rec, false);
    EXPECT_FLOAT_EQ(rec.GetIntensity(1, 4), Distinct(c.taken, 30)) << c.taken;
  }
}

}  // namespace
}  // namespace lumatra
