#include "photometry/interpolation.h"

#include <gtest/gtest.h>

#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Steps;

// Intensity equal to the C angle plus the gamma angle / 1000 identifies the cell it came from.
float Tag(float c, float g) {
  return c + g / 1000.0f;
}

class Interpolation : public ::testing::TestWithParam<bool> {
 protected:
  // The irregular variants are forced by marking the grid irregular; the values must agree.
  void Fill(std::uint8_t sym, const std::vector<float>& c, const std::vector<float>& g) {
    FillGrid(rec, sym, c, g, Tag);
    if (GetParam()) {
      rec.GridFlags = kGammaIrregular;
      SetupSymmetry(rec, sym);
    }
  }
  TLUM32 rec;
};

TEST_P(Interpolation, GammaRangeIsInclusiveAndZeroOutside) {
  Fill(0, Steps(0, 15, 345), Steps(0, 5, 90));
  EXPECT_FLOAT_EQ(rec.Intensity(30, 90), Tag(30, 90));
  EXPECT_FLOAT_EQ(rec.Intensity(30, 0), Tag(30, 0));
  EXPECT_EQ(rec.Intensity(30, 90.01f), 0.0f);
  EXPECT_EQ(rec.Intensity(30, -0.01f), 0.0f);
  EXPECT_FLOAT_EQ(rec.Intensity(30, 2.5f), Tag(30, 2.5f));
}

TEST_P(Interpolation, FullCircleWrapsFromTheLastPlaneToC0) {
  Fill(0, Steps(0, 15, 345), Steps(0, 5, 90));
  // Between C345 and C360 (= plane 1) the values run from 345 down to 0.
  EXPECT_NEAR(rec.Intensity(350, 0), 345.0f * 2 / 3, 1e-3);
  EXPECT_FLOAT_EQ(rec.Intensity(360, 10), Tag(0, 10));
  EXPECT_FLOAT_EQ(rec.Intensity(720, 10), Tag(0, 10));
  EXPECT_FLOAT_EQ(rec.Intensity(-15, 10), Tag(345, 10));
}

TEST_P(Interpolation, MirrorSymmetriesFoldIntoTheStoredPlanes) {
  Fill(2, Steps(0, 15, 180), Steps(0, 5, 90));
  EXPECT_FLOAT_EQ(rec.Intensity(180, 5), Tag(180, 5));
  EXPECT_FLOAT_EQ(rec.Intensity(200, 5), rec.Intensity(160, 5));
  EXPECT_FLOAT_EQ(rec.Intensity(330, 5), Tag(30, 5));

  Fill(3, Steps(90, 15, 270), Steps(0, 5, 90));
  EXPECT_FLOAT_EQ(rec.Intensity(300, 5), rec.Intensity(240, 5));
  EXPECT_FLOAT_EQ(rec.Intensity(30, 5), Tag(150, 5));
  EXPECT_FLOAT_EQ(rec.Intensity(90, 5), Tag(90, 5));
  EXPECT_FLOAT_EQ(rec.Intensity(270, 5), Tag(270, 5));

  Fill(4, Steps(0, 15, 90), Steps(0, 5, 90));
  EXPECT_FLOAT_EQ(rec.Intensity(100, 5), rec.Intensity(80, 5));
  EXPECT_FLOAT_EQ(rec.Intensity(260, 5), rec.Intensity(80, 5));
  EXPECT_FLOAT_EQ(rec.Intensity(270, 5), Tag(90, 5));
  EXPECT_FLOAT_EQ(rec.Intensity(300, 5), Tag(60, 5));
}

TEST_P(Interpolation, RotationalSymmetryIgnoresC) {
  Fill(1, {0}, Steps(0, 10, 180));
  EXPECT_FLOAT_EQ(rec.Intensity(0, 45), Tag(0, 45));
  EXPECT_FLOAT_EQ(rec.Intensity(123, 45), Tag(0, 45));
}

INSTANTIATE_TEST_SUITE_P(RegularAndSearched, Interpolation, ::testing::Bool());

TEST(InterpolationSearched, UnevenPlanesInterpolateLinearlyAndWrap) {
  TLUM32 rec;
  FillGrid(rec, 0, {10, 40, 100, 300}, {0, 7, 90}, Tag);
  ASSERT_TRUE(rec.GridFlags & kCIrregular);
  EXPECT_FLOAT_EQ(rec.Intensity(25, 0), 25.0f);
  EXPECT_FLOAT_EQ(rec.Intensity(200, 0), 200.0f);
  // After C300 toward C10 + 360: 300 -> 10 over 70 degrees.
  EXPECT_NEAR(rec.Intensity(335, 0), 300 + (10 - 300) * 0.5f, 1e-3);
  EXPECT_NEAR(rec.Intensity(0, 0), 300 + (10 - 300) * (60.0f / 70.0f), 1e-3);
}

TEST(Interpolation, ZeroStepWithRegularFlagsFallsBackToSearchedGrid) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 90, 270), Steps(0, 45, 90), Tag);
  rec.CStep = 0;  // e.g. EULUMDAT Dc = 0 with evenly spaced angles
  rec.GStep = 0;
  rec.GridFlags = 0;
  SetupSymmetry(rec, 0);
  EXPECT_FLOAT_EQ(rec.Intensity(90, 45), Tag(90, 45));
  EXPECT_NEAR(rec.Intensity(45, 0), 45.0f, 1e-4);
}

TEST(Interpolation, ASymmetryAboveFourAndTheAlphaSystemReadZero) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 90, 270), Steps(0, 45, 90), Tag);
  SetupSymmetry(rec, 5);
  EXPECT_EQ(rec.Intensity(90, 45), 0.0f);
  rec.PhotSystem = kSystemA;
  SetupSymmetry(rec, 0);
  EXPECT_EQ(rec.Intensity(90, 45), 0.0f);
}

// B-beta grid: rows are B angles (-90..90), columns beta angles (-90..90).
TEST(InterpolationB, FrontEndTranslatesDirections) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(-90, 5, 90), Steps(-90, 5, 90),
           [](float b, float beta) { return 1000 + b + beta / 1000; });
  rec.PhotSystem = kSystemB;
  SetupSymmetry(rec, 0);
  EXPECT_FLOAT_EQ(rec.Intensity(0, 0), 1000.0f);                 // B = 0, beta = 0
  EXPECT_FLOAT_EQ(rec.Intensity(90, 90), 1000 + 90 + 0.09f);     // B = +90, beta = 90
  EXPECT_FLOAT_EQ(rec.Intensity(180, 90), 1000 - 90 + 0.0f);     // B = -90, beta = 0
  EXPECT_FLOAT_EQ(rec.Intensity(270, 90), 1000 - 90 - 0.09f);    // B = -90, beta = -90
  EXPECT_FLOAT_EQ(rec.Intensity(300, 90), 1000 + 90 - 0.0600f);  // beta = asin(sin 300)
  EXPECT_NEAR(rec.Intensity(0, 30), 1000 + 30, 1e-3);            // in the C0 plane: B = gamma
  EXPECT_EQ(rec.Intensity(0, 91), 0.0f);                         // above the last row angle
}

}  // namespace
}  // namespace lumatra
