// LiTG direct ratios: the factor table against published values, the class mix of linear
// luminaires, a missing table. The ratios of real files are pinned in derived_test.cpp.
#include "photometry/litg.h"

#include <gtest/gtest.h>

#include <array>
#include <numbers>
#include <stdexcept>
#include <string>

#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Steps;

float FactorAt(int k, bool upper, int zone, int column) {
  LIBEDAOBJ f;
  f.SelectColumn(column);
  f.SelectRoom(k, upper);
  return f.Factor(zone);
}

TEST(LitgFactors, PublishedRowsComeOutExactlyAndOutsideTheTableReadsZero) {
  struct Row {
    int k;
    bool upper;
    int zone;
    std::array<float, 5> values;
  };
  const Row rows[] = {
      {1, false, 1, {1.0000f, 0.1739f, 0.1611f, 0.1507f, 0.1287f}},
      {1, false, 6, {0.5150f, 0.0325f, 0.0303f, 0.0285f, 0.0245f}},
      {1, false, 12, {0, 0, 0, 0, 0}},
      {1, true, 4, {0, 0, 0, 0, 0}},
      {1, true, 18, {1.0000f, 0.2248f, 0.2018f, 0.1847f, 0.1517f}},
      {10, false, 1, {1.0000f, 0.2620f, 0.2251f, 0.2003f, 0.1571f}},
      {10, false, 18, {0.0020f, 0, 0, 0, 0}},
      {10, true, 1, {0.1030f, 0, 0, 0, 0}},
      {11, false, 1, {0, 0, 0, 0, 0}},
      {1, false, 0, {0, 0, 0, 0, 0}},
      {1, false, 19, {0, 0, 0, 0, 0}},
  };
  for (const Row& r : rows)
    for (int c = 0; c <= 6; ++c)
      EXPECT_EQ(FactorAt(r.k, r.upper, r.zone, c), c >= 1 && c <= 5 ? r.values[c - 1] : 0.0f)
          << "k " << r.k << " zone " << r.zone << " column " << c;
}

TEST(LitgFactors, AMissingOrEmptyTableRaisesItsErrorAndLeavesTheRatios) {
  struct Restore {
    ~Restore() { RestoreLitgFactors(); }
  } restore;
  auto message = [] {
    try {
      LIBEDAOBJ f;
    } catch (const std::runtime_error& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  ReplaceLitgFactorsForTest(std::nullopt);
  EXPECT_EQ(message(), "programming error");
  ReplaceLitgFactorsForTest(std::span<const std::uint8_t>{});
  EXPECT_EQ(message(), "LiTG factors not found");
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), [](float, float) { return 100.0f; });
  rec.DirectRatio[3] = 42;
  EXPECT_THROW(CalcDirectRatios(rec), std::runtime_error);
  EXPECT_EQ(std::pair(+rec.DirectRatio[3], +rec.LitgDone), std::pair(42.0f, 0));
  RestoreLitgFactors();
  EXPECT_EQ(message(), "no error");
}

// A linear luminaire with a flat transverse curve of 100 cd/klm over 0..90 degrees whose
// DownFlux makes the longitudinal class value v.
void LinearRecord(TLUM32& rec, long double v) {
  FillGrid(rec, 0, Steps(0, 90, 270), Steps(0, 5, 90), [](float, float) { return 100.0f; });
  rec.LumType = 2;
  rec.DownFlux = static_cast<float>(v * 5 * std::numbers::pi_v<long double> / 180 * 18 * 100);
  rec.UpFlux = 10;  // an upward flux the table does not hold: no upward parts
  rec.FluxCalcDone = rec.ZoneFluxDone = 1;
}

TEST(DirectRatios, LinearClassesMixNeighbouringColumns) {
  const long double pi = std::numbers::pi_v<long double>;
  const struct {
    long double v;
    std::array<float, 4> weights;  // of columns 2..5
  } cases[] = {
      {4.0L, {1, 0, 0, 0}},  // broader than the broadest class
      {pi, {1, 0, 0, 0}},    // cos^1
      {(pi + 8.0L / 3) / 2, {0.5f, 0.5f, 0, 0}},
      {8.0L / 3, {0, 1, 0, 0}},  // cos^2
      {(8.0L / 3 + 3 * pi / 4) / 2, {0, 0.5f, 0.5f, 0}},
      {3 * pi / 4, {0, 0, 1, 0}},                                  // cos^3
      {64.0L / 35, {0, 0, 0, 1}},                                  // cos^6
      {1.2L, {0, 0, 0, static_cast<float>(1.2L / (64.0L / 35))}},  // narrower: column 5 scaled
  };
  for (const auto& c : cases) {
    TLUM32 rec;
    LinearRecord(rec, c.v);
    for (int k = 0; k < 10; ++k)
      rec.UpDirect[k] = rec.UpRemainder[k] = 7;
    CalcDirectRatios(rec);
    for (int k = 1; k <= 10; ++k) {
      float expected = 0;
      for (int column = 2; column <= 5; ++column)
        for (int z = 1; z <= 18; ++z)
          expected += 100 * c.weights[column - 2] * FactorAt(k, false, z, column);
      EXPECT_NEAR(rec.DirectRatio[k - 1], expected, 2e-3) << "v " << static_cast<double>(c.v);
      EXPECT_NEAR(rec.DownRemainder[k - 1], rec.DownFlux - expected, 2e-3);
      EXPECT_EQ(std::pair(+rec.UpDirect[k - 1], +rec.UpRemainder[k - 1]), std::pair(0.0f, 0.0f));
      EXPECT_LE(rec.DirectRatio[k - 1], rec.DownFlux);
    }
  }
}

TEST(DirectRatios, StaleFluxValuesAreRecomputedFirst) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 1, 90), [](float, float g) { return g < 5 ? 500.0f : 0.0f; });
  rec.LumType = 1;
  CalcDirectRatios(rec);
  // All the light falls within 5 degrees of the nadir: all of it is direct, even at k = 0.60.
  EXPECT_GT(rec.DownFlux, 0);
  EXPECT_NEAR(rec.DirectRatio[0], rec.DownFlux, rec.DownFlux * 1e-3);
}

}  // namespace
}  // namespace lumatra
