// Intensity lookups: the folding of each symmetry, the wrap of the full circle, the gamma range,
// for the regular routines and for the searched ones that irregular grids use.
#include <gtest/gtest.h>

#include <vector>

#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Steps;

// The C angle plus gamma / 1000 names the cell a value came from.
float Tag(float c, float g) {
  return c + g / 1000.0f;
}

struct Lookup {
  std::uint8_t symmetry;
  std::vector<float> planes, gammas;
  float c, g;
  float expected;
};

const Lookup kLookups[] = {
    {0, Steps(0, 15, 345), Steps(0, 5, 90), 30, 90, Tag(30, 90)},  // the range is inclusive
    {0, Steps(0, 15, 345), Steps(0, 5, 90), 30, 0, Tag(30, 0)},
    {0, Steps(0, 15, 345), Steps(0, 5, 90), 30, 90.01f, 0},  // and 0 outside
    {0, Steps(0, 15, 345), Steps(0, 5, 90), 30, -0.01f, 0},
    {0, Steps(0, 15, 345), Steps(0, 5, 90), 30, 2.5f, Tag(30, 2.5f)},
    {0, Steps(0, 15, 345), Steps(0, 5, 90), 350, 0, 345.0f * 2 / 3},  // C345 .. C360 = C0
    {0, Steps(0, 15, 345), Steps(0, 5, 90), 720, 10, Tag(0, 10)},
    {0, Steps(0, 15, 345), Steps(0, 5, 90), -15, 10, Tag(345, 10)},
    {1, {0}, Steps(0, 10, 180), 123, 45, Tag(0, 45)},
    {2, Steps(0, 15, 180), Steps(0, 5, 90), 180, 5, Tag(180, 5)},
    {2, Steps(0, 15, 180), Steps(0, 5, 90), 200, 5, Tag(160, 5)},
    {2, Steps(0, 15, 180), Steps(0, 5, 90), 330, 5, Tag(30, 5)},
    {3, Steps(90, 15, 270), Steps(0, 5, 90), 300, 5, Tag(240, 5)},
    {3, Steps(90, 15, 270), Steps(0, 5, 90), 30, 5, Tag(150, 5)},
    {3, Steps(90, 15, 270), Steps(0, 5, 90), 270, 5, Tag(270, 5)},
    {4, Steps(0, 15, 90), Steps(0, 5, 90), 100, 5, Tag(80, 5)},
    {4, Steps(0, 15, 90), Steps(0, 5, 90), 260, 5, Tag(80, 5)},
    {4, Steps(0, 15, 90), Steps(0, 5, 90), 300, 5, Tag(60, 5)},
    {5, Steps(0, 90, 270), Steps(0, 45, 90), 90, 45, 0},  // no such symmetry
    // Uneven planes: C300 runs to C10 + 360 over 70 degrees.
    {0, {10, 40, 100, 300}, {0, 7, 90}, 200, 0, 200},
    {0, {10, 40, 100, 300}, {0, 7, 90}, 0, 0, 300 + (10 - 300) * (60.0f / 70.0f)},
};

TEST(Interpolation, RegularAndSearchedRoutinesReadTheStoredCells) {
  for (const Lookup& l : kLookups) {
    for (bool searched : {false, true}) {
      TLUM32 rec;
      FillGrid(rec, l.symmetry, l.planes, l.gammas, Tag);
      if (searched) {
        rec.GridFlags |= kGammaIrregular;
        rec.SetupSymmetry(l.symmetry);
      }
      EXPECT_NEAR(rec.Intensity(l.c, l.g), l.expected, 1e-3)
          << "symmetry " << int{l.symmetry} << " C" << l.c << " gamma " << l.g << " searched "
          << searched;
    }
  }
}

TEST(Interpolation, ZeroStepsFallBackToTheSearchAndTheAlphaSystemReadsZero) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 90, 270), Steps(0, 45, 90), Tag);
  rec.CStep = rec.GStep = 0;  // EULUMDAT Dc = 0 with evenly spaced angles
  rec.GridFlags = 0;
  rec.SetupSymmetry(0);
  EXPECT_FLOAT_EQ(rec.Intensity(90, 45), Tag(90, 45));
  EXPECT_NEAR(rec.Intensity(45, 0), 45.0f, 1e-4);
  rec.PhotSystem = kSystemA;
  rec.SetupSymmetry(0);
  EXPECT_EQ(rec.Intensity(90, 45), 0.0f);
}

// B-beta grid: rows are B angles, columns beta angles, both -90..90.
TEST(Interpolation, TheBBetaFrontEndTranslatesDirections) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(-90, 5, 90), Steps(-90, 5, 90),
           [](float b, float beta) { return 1000 + b + beta / 1000; });
  rec.PhotSystem = kSystemB;
  rec.SetupSymmetry(0);
  const std::pair<std::pair<float, float>, float> probes[] = {{{0, 0}, 1000.0f},
                                                              {{90, 90}, 1000 + 90 + 0.09f},
                                                              {{180, 90}, 1000 - 90},
                                                              {{270, 90}, 1000 - 90.09f},
                                                              {{300, 90}, 1000 + 90 - 0.06f},
                                                              {{0, 30}, 1000 + 30},
                                                              {{0, 91}, 0}};
  for (const auto& [at, expected] : probes)
    EXPECT_NEAR(rec.Intensity(at.first, at.second), expected, 1e-3) << at.first << " " << at.second;
}

}  // namespace
}  // namespace lumatra
