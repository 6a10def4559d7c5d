#include "photometry/evaluation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/lum32.h"
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
  rec.SetupSymmetry(0);
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

}  // namespace
}  // namespace lumatra
