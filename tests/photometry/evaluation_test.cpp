#include "photometry/evaluation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "app/format_table.h"
#include "model/lum32.h"
#include "photometry/interpolation.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Steps;

constexpr double kPi = std::numbers::pi;

TEST(Evaluation, ConstantRotationalIntensityGivesFourPiI) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 180), [](float, float) { return 100.0f; });
  CalcFlux(rec);
  EXPECT_NEAR(rec.LumFlux, 4 * kPi * 100, 1e-3);
  EXPECT_NEAR(rec.LOR, 4 * kPi * 100 / 10, 1e-4);
  EXPECT_NEAR(rec.DownFlux, 2 * kPi * 100, 1e-3);
  EXPECT_NEAR(rec.UpFlux, 2 * kPi * 100, 1e-3);
  EXPECT_EQ(rec.LightDir, 2);
  EXPECT_EQ(rec.FluxCalcDone, 1);
  double zones = 0;
  for (float z : rec.ZoneFlux)
    zones += z;
  EXPECT_NEAR(zones, rec.LumFlux, 1e-2);
  EXPECT_EQ(rec.ZoneFluxDone, 1);
}

TEST(Evaluation, LowerAndUpperHalfOnly) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 5, 90), [](float, float) { return 50.0f; });
  CalcFlux(rec);
  EXPECT_EQ(rec.UpFlux, 0.0f);
  EXPECT_EQ(rec.DownFlux, rec.LumFlux);
  EXPECT_EQ(rec.LightDir, 0);
  EXPECT_EQ(rec.DFF, 1.0f);
  EXPECT_NEAR(rec.LumFlux, 2 * kPi * 50, 1e-3);

  FillGrid(rec, 0, Steps(0, 15, 345), Steps(90, 5, 180), [](float, float) { return 50.0f; });
  CalcFlux(rec);
  EXPECT_EQ(rec.DownFlux, 0.0f);
  EXPECT_EQ(rec.UpFlux, rec.LumFlux);
  EXPECT_EQ(rec.LightDir, 1);
}

TEST(Evaluation, LightDirectionFollowsTheFluxShares) {
  TLUM32 rec;
  auto split = [&](float down, float up) {
    FillGrid(rec, 1, {0}, Steps(0, 5, 180), [&](float, float g) {
      return g < 90 ? down : g > 90 ? up : (down + up) / 2;
    });
    CalcFlux(rec);
    return rec.LightDir;
  };
  EXPECT_EQ(split(99, 1), 0);
  EXPECT_EQ(split(50, 50), 2);
  EXPECT_NEAR(rec.DFF, 0.5, 1e-6);
  EXPECT_EQ(split(1, 99), 1);
  // 1 % below, plus the 87.5..90 band that reads the value at 90 (50): cos 87.5 = 0.0436.
  EXPECT_NEAR(rec.DFF, (0.9564 * 1 + 0.0436 * 50) / 100, 0.001);
}

TEST(Evaluation, RefFluxIsNormalised) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), [](float, float) { return 1.0f; });
  for (auto [in, out] : {std::pair{0.0f, 1000.0f}, {1500.0f, 1000.0f}, {800.0f, 800.0f}}) {
    rec.RefFlux = in;
    CalcFlux(rec);
    EXPECT_EQ(rec.RefFlux, out);
  }
}

TEST(Evaluation, FluxOfAnAsymmetricTableMatchesAFineNumericalIntegral) {
  TLUM32 rec;
  auto f = [](float c, float g) {
    double gr = g * kPi / 180, cr = c * kPi / 180;
    return static_cast<float>(
        300 * std::pow(std::max(0.0, std::cos(gr)), 2) * (1.2 + std::cos(cr)) + 20);
  };
  FillGrid(rec, 0, Steps(0, 15, 345), Steps(0, 5, 180), f);
  CalcFlux(rec);
  // Independent midpoint integration of the bilinear interpolant on a 0.25-degree mesh.
  double phi = 0;
  for (double g = 0.125; g < 180; g += 0.25)
    for (double c = 0.125; c < 360; c += 0.25)
      phi += rec.Intensity(static_cast<float>(c), static_cast<float>(g)) * std::sin(g * kPi / 180) *
             (0.25 * kPi / 180) * (0.25 * kPi / 180);
  EXPECT_NEAR(rec.LumFlux / phi, 1.0, 0.005);
}

TEST(Evaluation, ZoneFluxBetweenIsSymmetricInItsBoundsAndAdditive) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 2.5f, 180), [](float, float g) { return 100 + g; });
  CalcFlux(rec);
  long double a = 10, b = 47;
  long double forward = ZoneFluxBetween(rec, a, b);
  long double c = 47, d = 10;
  EXPECT_NEAR(static_cast<double>(ZoneFluxBetween(rec, c, d)), static_cast<double>(forward), 1e-9);
  long double e = 10, m = 30, m2 = 30, h = 47;
  long double parts = ZoneFluxBetween(rec, e, m) + ZoneFluxBetween(rec, m2, h);
  EXPECT_NEAR(static_cast<double>(parts), static_cast<double>(forward), 1e-6);
  long double same1 = 20, same2 = 20.001L;
  EXPECT_EQ(ZoneFluxBetween(rec, same1, same2), 0.0L);
}

TEST(Evaluation, DownwardFluxWithoutAGammaAtNinetyIsNotCountedTwice) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, {0, 30, 60, 80, 95, 120, 150, 180}, [](float, float) { return 10.0f; });
  CalcFlux(rec);
  EXPECT_NEAR(rec.DownFlux + rec.UpFlux, rec.LumFlux, 1e-3);
  EXPECT_LE(rec.DownFlux, rec.LumFlux);
  EXPECT_NEAR(rec.DownFlux, 2 * kPi * 10, 2 * kPi * 10 * 0.01);
}

TEST(EvaluationB, UniformBGridGivesTheSphereFlux) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(-90, 5, 90), Steps(-90, 5, 90), [](float, float) { return 100.0f; });
  rec.PhotSystem = kSystemB;
  SetupSymmetry(rec, 0);
  CalcFlux(rec);
  EXPECT_NEAR(rec.LumFlux, 2 * kPi * 100, 0.5);  // B over -90..90: the lower half space
  EXPECT_EQ(rec.DownFlux, rec.LumFlux);
  EXPECT_EQ(rec.DFF, 1.0f);
  CalcZoneFlux(rec);
  double zones = 0;
  for (int k = 0; k < 18; ++k)
    zones += rec.ZoneFlux[k];
  EXPECT_NEAR(zones, rec.LumFlux, rec.LumFlux * 0.01);
  EXPECT_EQ(rec.ZoneFlux[20], 0.0f);
}

// --- the corpus ---

// The flux evaluation against an independent integration of the same tables: the stored planes
// are unfolded to the full circle by their symmetry and each plane is weighted by the C range it
// represents. Along gamma, each stored angle owns the band between the midpoints to its
// neighbours (the rule the evaluation uses); a second integral of the linear interpolant bounds
// the difference between the two rules on fine grids.
struct Plane {
  double c;
  std::size_t row;
};

std::vector<Plane> FullCircle(const TLUM32& rec) {
  std::vector<Plane> planes;
  auto add = [&](double c, std::size_t row) {
    c = std::fmod(c + 720.0, 360.0);
    for (const Plane& p : planes)
      if (std::fabs(p.c - c) < 1e-4) return;
    planes.push_back({c, row});
  };
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    double c = rec.GetCAngle(i);
    add(c, i);
    if (rec.Symmetry == 2) add(360 - c, i);
    if (rec.Symmetry == 3) add(540 - c, i);
    if (rec.Symmetry == 4) {
      add(180 - c, i);
      add(180 + c, i);
      add(360 - c, i);
    }
  }
  std::sort(planes.begin(), planes.end(), [](const Plane& a, const Plane& b) { return a.c < b.c; });
  return planes;
}

double PlaneIntegralByBands(const TLUM32& rec, std::size_t row) {
  const std::size_t n = rec.NumGammas;
  auto rad = [](double g) { return g * kPi / 180; };
  double sum = 0;
  for (std::size_t j = 1; j <= n; ++j) {
    double lo = j == 1 ? rec.GetGamma(1) : (rec.GetGamma(j - 1) + rec.GetGamma(j)) / 2;
    double hi = j == n ? rec.GetGamma(n) : (rec.GetGamma(j) + rec.GetGamma(j + 1)) / 2;
    sum += rec.GetIntensity(row, j) * std::fabs(std::cos(rad(hi)) - std::cos(rad(lo)));
  }
  return sum;
}

double PlaneIntegralLinear(const TLUM32& rec, std::size_t row) {
  double sum = 0;
  for (std::size_t j = 1; j < rec.NumGammas; ++j) {
    double g0 = rec.GetGamma(j), g1 = rec.GetGamma(j + 1);
    double i0 = rec.GetIntensity(row, j), i1 = rec.GetIntensity(row, j + 1);
    const int steps = 40;
    for (int k = 0; k < steps; ++k) {
      double t = (k + 0.5) / steps;
      double g = g0 + (g1 - g0) * t;
      sum += (i0 + (i1 - i0) * t) * std::sin(g * kPi / 180) * (g1 - g0) / steps * kPi / 180;
    }
  }
  return sum;
}

template <class PlaneIntegral>
double IndependentFlux(const TLUM32& rec, PlaneIntegral plane_integral) {
  if (rec.Symmetry == 1) return 2 * kPi * plane_integral(rec, 1);
  std::vector<Plane> planes = FullCircle(rec);
  const std::size_t n = planes.size();
  double phi = 0;
  for (std::size_t i = 0; i < n; ++i) {
    double prev = planes[(i + n - 1) % n].c, next = planes[(i + 1) % n].c;
    double width = std::fmod(next - prev + 720.0, 360.0) / 2;
    phi += width * kPi / 180 * plane_integral(rec, planes[i].row);
  }
  return phi;
}

TEST(EvaluationCorpus, LuminaireFluxAgreesWithAnIndependentIntegration) {
  auto files = testing::CorpusFiles({"LDT"});
  int checked = 0;
  for (const auto& file : files) {
    TLUM32 rec;
    if (!Load(rec, file.string()) || rec.GridFlags != 0 || rec.NumGammas < 3) continue;
    CalcFlux(rec);
    double expected = IndependentFlux(rec, PlaneIntegralByBands);
    if (expected < 1) continue;
    EXPECT_NEAR(rec.LumFlux / expected, 1.0, 1e-5) << file;
    if (rec.GStep <= 5) {
      double linear = IndependentFlux(rec, PlaneIntegralLinear);
      EXPECT_NEAR(rec.LumFlux / linear, 1.0, 0.01) << file;
    }
    ++checked;
  }
  EXPECT_GE(checked, 25);
}

}  // namespace
}  // namespace lumatra
