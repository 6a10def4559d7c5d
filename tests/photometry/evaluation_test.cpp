// The flux evaluation against closed-form integrals (real tables: derived_test.cpp).
#include "photometry/evaluation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "model/lum32.h"
#include "photometry/interpolation.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Steps;
constexpr double kPi = std::numbers::pi;
constexpr double kRad = kPi / 180;

struct Analytic {
  const char* name;
  std::uint8_t symmetry;
  std::vector<float> planes, gammas;
  std::function<double(float c, float g)> intensity;
  double flux, down;  // lm per klm; the tolerance is relative
  int light_dir;
  double tolerance = 1e-6;
  std::uint8_t system = kSystemC;
};

// clang-format off
const Analytic kAnalytic[] = {
    {"uniform sphere", 1, {0}, Steps(0, 5, 180), [](float, float) { return 100; },
     4 * kPi * 100, 2 * kPi * 100, 2},
    {"cosine downlight", 1, {0}, Steps(0, 1, 90),
     [](float, float g) { return 300 * std::cos(g * kRad); }, kPi * 300, kPi * 300, 0, 2e-4},
    {"lower half, full circle", 0, Steps(0, 15, 345), Steps(0, 5, 90),
     [](float, float) { return 50; }, 2 * kPi * 50, 2 * kPi * 50, 0},
    {"upper half only", 2, Steps(0, 15, 180), Steps(90, 5, 180), [](float, float) { return 50; },
     2 * kPi * 50, 0, 1},
    // 99 % above: the 87.5..90 band reads the value at 90; still indirect beyond 95 %.
    {"mostly upward", 1, {0}, Steps(0, 5, 180),
     [](float, float g) { return g < 90 ? 1 : g > 90 ? 99 : 50; }, 2 * kPi * (1 + 99),
     2 * kPi * (0.9564 * 1 + 0.0436 * 50), 1, 1e-3},
    // No gamma at 90: the zone across the horizontal is split there, not counted twice.
    {"no gamma at 90", 1, {0}, {0, 30, 60, 80, 95, 120, 150, 180},
     [](float, float) { return 10; }, 4 * kPi * 10, 2 * kPi * 10, 2, 1e-3},
    {"uniform B-beta, lower half", 0, Steps(-90, 5, 90), Steps(-90, 5, 90),
     [](float, float) { return 100; }, 2 * kPi * 100, 2 * kPi * 100, 0, 3e-3, kSystemB},
};
// clang-format on

TEST(Evaluation, KnownDistributionsGiveTheirIntegrals) {
  for (const Analytic& a : kAnalytic) {
    SCOPED_TRACE(a.name);
    TLUM32 rec;
    FillGrid(rec, a.symmetry, a.planes, a.gammas, a.intensity);
    rec.PhotSystem = a.system;
    SetupSymmetry(rec, a.symmetry);
    CalcFlux(rec);
    EXPECT_NEAR(rec.LumFlux, a.flux, a.flux * a.tolerance);
    EXPECT_NEAR(rec.DownFlux, a.down, a.flux * a.tolerance);
    EXPECT_NEAR(rec.LOR, a.flux / 10, a.flux * a.tolerance);
    EXPECT_NEAR(rec.DFF, a.down / a.flux, a.tolerance * 10);
    EXPECT_EQ(rec.LightDir, a.light_dir);
    CalcZoneFlux(rec);
    double zones = 0;
    for (float z : rec.ZoneFlux)
      zones += z;
    EXPECT_NEAR(zones, rec.LumFlux, rec.LumFlux * 0.01);
  }
}

}  // namespace
}  // namespace lumatra
