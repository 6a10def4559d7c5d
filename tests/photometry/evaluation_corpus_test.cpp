// The flux evaluation against an independent integration of the same tables: the stored planes
// are unfolded to the full circle by their symmetry and each plane is weighted by the C range it
// represents. Along gamma, each stored angle owns the band between the midpoints to its
// neighbours (the rule the evaluation uses); a second integral of the linear interpolant bounds
// the difference between the two rules on fine grids.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

constexpr double kPi = std::numbers::pi;

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
  if (files.empty()) GTEST_SKIP() << "corpus not available";
  int checked = 0;
  for (const auto& file : files) {
    TLUM32 rec;
    if (!rec.Load(file.string()) || rec.GridFlags != 0 || rec.NumGammas < 3) continue;
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
  EXPECT_GT(checked, 40);
}

}  // namespace
}  // namespace lumatra
