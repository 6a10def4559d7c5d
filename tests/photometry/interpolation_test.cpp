// Intensity lookups: the folding of each symmetry, the wrap of the full circle, the gamma range,
// for the regular routines and for the searched ones that irregular grids use.
#include "photometry/interpolation.h"

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
  float c, g, expected;
  std::uint8_t system = kSystemC;
};

const std::vector<float> kFull = Steps(0, 15, 345), kHalf = Steps(0, 15, 180),
                         kC90 = Steps(90, 15, 270), kQuarter = Steps(0, 15, 90),
                         kTo90 = Steps(0, 5, 90), kB = Steps(-90, 5, 90);

// clang-format off
const Lookup kLookups[] = {
    // The gamma range is inclusive and reads 0 outside; the full circle wraps at C360 = C0.
    {0, kFull, kTo90, 30, 90, Tag(30, 90)}, {0, kFull, kTo90, 30, 0, Tag(30, 0)},
    {0, kFull, kTo90, 30, 90.01f, 0}, {0, kFull, kTo90, 30, -0.01f, 0},
    {0, kFull, kTo90, 30, 2.5f, Tag(30, 2.5f)}, {0, kFull, kTo90, 350, 0, 345.0f * 2 / 3},
    {0, kFull, kTo90, 720, 10, Tag(0, 10)}, {0, kFull, kTo90, -15, 10, Tag(345, 10)},
    {1, {0}, Steps(0, 10, 180), 123, 45, Tag(0, 45)},
    {2, kHalf, kTo90, 180, 5, Tag(180, 5)}, {2, kHalf, kTo90, 200, 5, Tag(160, 5)},
    {2, kHalf, kTo90, 330, 5, Tag(30, 5)},
    {3, kC90, kTo90, 300, 5, Tag(240, 5)}, {3, kC90, kTo90, 30, 5, Tag(150, 5)},
    {3, kC90, kTo90, 270, 5, Tag(270, 5)},
    {4, kQuarter, kTo90, 100, 5, Tag(80, 5)}, {4, kQuarter, kTo90, 260, 5, Tag(80, 5)},
    {4, kQuarter, kTo90, 300, 5, Tag(60, 5)},
    {5, kFull, kTo90, 90, 45, 0},  // no such symmetry
    // Uneven planes: C300 runs to C10 + 360 over 70 degrees.
    {0, {10, 40, 100, 300}, {0, 7, 90}, 200, 0, 200},
    {0, {10, 40, 100, 300}, {0, 7, 90}, 0, 0, 300 + (10 - 300) * (60.0f / 70.0f)},
    // B-beta: rows are B angles, columns beta angles; C0 is B = gamma, C90 beta = gamma.
    {0, kB, kB, 90, 90, Tag(90, 90), kSystemB}, {0, kB, kB, 180, 90, Tag(-90, 0), kSystemB},
    {0, kB, kB, 270, 90, Tag(-90, -90), kSystemB}, {0, kB, kB, 300, 90, Tag(90, -60), kSystemB},
    {0, kB, kB, 0, 30, Tag(30, 0), kSystemB}, {0, kB, kB, 0, 91, 0, kSystemB},
    {0, kFull, kTo90, 90, 45, 0, kSystemA},  // not interpolated
};
// clang-format on

TEST(Interpolation, RegularAndSearchedRoutinesReadTheStoredCells) {
  for (const Lookup& l : kLookups) {
    for (bool searched : {false, true}) {
      TLUM32 rec;
      FillGrid(rec, l.symmetry, l.planes, l.gammas, Tag);
      rec.PhotSystem = l.system;
      rec.GridFlags |= searched ? kGammaIrregular : 0;
      SetupSymmetry(rec, l.symmetry);
      EXPECT_NEAR(rec.Intensity(l.c, l.g), l.expected, 1e-3)
          << int{l.symmetry} << " C" << l.c << " gamma " << l.g << (searched ? " searched" : "");
    }
  }
}

}  // namespace
}  // namespace lumatra
