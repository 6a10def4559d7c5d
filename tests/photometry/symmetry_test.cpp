#include <gtest/gtest.h>

#include <cmath>

#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/resample.h"
#include "photometry/transforms.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Steps;

// Every plane and gamma angle gives another value: plane C holds 1000 + 10 C + gamma.
float Distinct(float c, float g) {
  return 1000.0f + 10.0f * c + g;
}

void MakeAsymmetric(TLUM32& rec) {
  FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 10, 180), Distinct);
}

TEST(ChangeSymmetry, AboutC0C180AveragesEachPlaneWithItsMirror) {
  TLUM32 rec;
  MakeAsymmetric(rec);
  ChangeSymmetry(rec, 2, true);
  EXPECT_EQ(rec.Symmetry, 2);
  ASSERT_EQ(rec.NumPlanes, 13);
  EXPECT_EQ(rec.CFirst, 0.0f);
  EXPECT_EQ(rec.CLast, 180.0f);
  EXPECT_EQ(rec.CStep, 15.0f);
  for (std::size_t i = 1; i <= 13; ++i)
    EXPECT_EQ(rec.GetCAngle(i), 15.0f * (i - 1));
  EXPECT_FLOAT_EQ(rec.GetIntensity(3, 2), (Distinct(30, 10) + Distinct(330, 10)) / 2);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 2), Distinct(0, 10));  // end planes as they are
  EXPECT_FLOAT_EQ(rec.GetIntensity(13, 2), Distinct(180, 10));
  // The bound interpolation now mirrors: C200 reads the C160 plane.
  EXPECT_FLOAT_EQ(rec.Intensity(200, 10), rec.Intensity(160, 10));
}

TEST(ChangeSymmetry, AboutC90C270AveragesWithTheMirrorAcrossC90) {
  TLUM32 rec;
  MakeAsymmetric(rec);
  ChangeSymmetry(rec, 3, true);
  EXPECT_EQ(rec.Symmetry, 3);
  ASSERT_EQ(rec.NumPlanes, 13);
  EXPECT_EQ(rec.CFirst, 90.0f);
  EXPECT_EQ(rec.CLast, 270.0f);
  EXPECT_EQ(rec.GetCAngle(1), 90.0f);
  EXPECT_EQ(rec.GetCAngle(13), 270.0f);
  EXPECT_FLOAT_EQ(rec.GetIntensity(3, 4), (Distinct(120, 30) + Distinct(60, 30)) / 2);
  // Across C90 the mirror of C255 is C285 (-75 + 360).
  EXPECT_FLOAT_EQ(rec.GetIntensity(12, 4), (Distinct(255, 30) + Distinct(285, 30)) / 2);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 4), Distinct(90, 30));
  EXPECT_FLOAT_EQ(rec.GetIntensity(13, 4), Distinct(270, 30));
}

TEST(ChangeSymmetry, AboutBothPlanesAveragesFourPlanesAndPairsTheEnds) {
  TLUM32 rec;
  MakeAsymmetric(rec);
  ChangeSymmetry(rec, 4, true);
  EXPECT_EQ(rec.Symmetry, 4);
  ASSERT_EQ(rec.NumPlanes, 7);
  EXPECT_EQ(rec.CFirst, 0.0f);
  EXPECT_EQ(rec.CLast, 90.0f);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 1), (Distinct(0, 0) + Distinct(180, 0)) / 2);
  EXPECT_FLOAT_EQ(rec.GetIntensity(7, 1), (Distinct(90, 0) + Distinct(270, 0)) / 2);
  EXPECT_FLOAT_EQ(rec.GetIntensity(4, 1),
                  (Distinct(45, 0) + Distinct(315, 0) + Distinct(135, 0) + Distinct(225, 0)) / 4);
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
  MakeSymmetric(rec, 4, false, 20);  // 0, 20, ..., 80, then 90
  ASSERT_EQ(rec.NumPlanes, 6);
  EXPECT_EQ(rec.GetCAngle(5), 80.0f);
  EXPECT_EQ(rec.GetCAngle(6), 90.0f);
  EXPECT_NE(rec.GridFlags & kCIrregular, 0);
  EXPECT_FLOAT_EQ(rec.Intensity(85, 0), (rec.GetIntensity(5, 1) + rec.GetIntensity(6, 1)) / 2);
}

TEST(ChangeSymmetry, AnAlreadySymmetricTableKeepsItsValues) {
  // A full circle whose values are symmetric about both planes, folded to each symmetry.
  auto symmetric = [](float c, float g) {
    const double r = 3.14159265358979 / 180;
    return 200 + 80 * std::cos(2 * c * r) * std::sin(g * r) + g;
  };
  for (int kind : {2, 3, 4}) {
    TLUM32 full;
    FillGrid(full, 0, Steps(0, 15, 345), Steps(0, 5, 180), symmetric);
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

TEST(MakeRotational, AveragesThePlanes) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 90, 270), Steps(0, 10, 90), Distinct);
  MakeRotational(rec, true);
  EXPECT_EQ(rec.Symmetry, 1);
  ASSERT_EQ(rec.NumPlanes, 1);
  EXPECT_EQ(rec.NumGammas, 10);
  EXPECT_EQ(rec.CFirst, 0.0f);
  EXPECT_EQ(rec.CLast, 0.0f);
  EXPECT_EQ(rec.CStep, 0.0f);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 3), 1000 + 10 * (0 + 90 + 180 + 270) / 4.0f + 20);
  EXPECT_FLOAT_EQ(rec.Intensity(123, 20), rec.GetIntensity(1, 3));
}

TEST(MakeRotational, LeavesARotationalRecordAlone) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 10, 90), Distinct);
  const TSglArray* before = rec.Matrix.get();
  MakeRotational(rec, true);
  EXPECT_EQ(rec.Matrix.get(), before);
}

TEST(MakeRotational, WithoutAveragingTakesTheC180PlaneOfSymmetryThree) {
  TLUM32 rec;
  FillGrid(rec, 3, Steps(90, 30, 270), Steps(0, 10, 90), Distinct);
  MakeRotational(rec, false);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 4), Distinct(180, 30));

  // No C180 plane: the plane nearest to it.
  FillGrid(rec, 3, {90, 120, 175, 220, 270}, Steps(0, 10, 90), Distinct);
  MakeRotational(rec, false);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 4), Distinct(175, 30));

  // Other symmetries copy plane 1.
  FillGrid(rec, 2, Steps(0, 30, 180), Steps(0, 10, 90), Distinct);
  MakeRotational(rec, false);
  EXPECT_FLOAT_EQ(rec.GetIntensity(1, 4), Distinct(0, 30));
}

}  // namespace
}  // namespace lumatra
