#include "photometry/litg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "formats/textio.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/litg_factors.h"
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

// The values published with the method must come out of the embedded table exactly.
TEST(LitgFactors, TheTellingRowsAreExact) {
  struct Row {
    int k;
    bool upper;
    int zone;
    std::array<float, 5> values;
  };
  const Row rows[] = {
      {1, false, 1, {1.0000f, 0.1739f, 0.1611f, 0.1507f, 0.1287f}},
      {1, false, 6, {0.5150f, 0.0325f, 0.0303f, 0.0285f, 0.0245f}},
      {1, true, 18, {1.0000f, 0.2248f, 0.2018f, 0.1847f, 0.1517f}},
      {10, false, 1, {1.0000f, 0.2620f, 0.2251f, 0.2003f, 0.1571f}},
      {10, false, 18, {0.0020f, 0, 0, 0, 0}},
      {10, true, 1, {0.1030f, 0, 0, 0, 0}},
  };
  for (const Row& r : rows)
    for (int c = 1; c <= 5; ++c)
      EXPECT_EQ(FactorAt(r.k, r.upper, r.zone, c), r.values[c - 1])
          << "k " << r.k << " zone " << r.zone << " column " << c;
  for (int c = 1; c <= 5; ++c) {
    for (int z = 12; z <= 18; ++z)
      EXPECT_EQ(FactorAt(1, false, z, c), 0.0f);
    for (int z = 1; z <= 4; ++z)
      EXPECT_EQ(FactorAt(1, true, z, c), 0.0f);
  }
}

TEST(LitgFactors, TheTableHasItsLayoutAndShape) {
  const auto bytes = EmbeddedLitgFactors();
  ASSERT_EQ(bytes.size(), 7204u);
  TSglArray table(1, 1);
  ASSERT_TRUE(TSglArray::CreateFromBytes(bytes, table));
  EXPECT_EQ(std::pair(table.Rows(), table.Columns()), std::pair(std::size_t{360}, std::size_t{5}));
  for (int c = 1; c <= 5; ++c) {
    for (int k = 1; k <= 10; ++k) {
      for (int z = 1; z <= 18; ++z) {
        const float lower = FactorAt(k, false, z, c);
        EXPECT_TRUE(lower >= 0 && lower <= 1) << k << " " << z << " " << c;
        // Farther from the vertical, less reaches the plane; larger rooms catch more.
        if (z > 1) {
          EXPECT_LE(lower, FactorAt(k, false, z - 1, c)) << k << " " << z << " " << c;
          EXPECT_GE(FactorAt(k, true, z, c), FactorAt(k, true, z - 1, c)) << k << " " << z;
        }
        if (k > 1) {
          EXPECT_GE(lower, FactorAt(k - 1, false, z, c)) << k << " " << z << " " << c;
        }
        // Narrower linear classes spread less along the room.
        if (c > 2 && lower > 0) {
          EXPECT_LT(lower, FactorAt(k, false, z, c - 1));
        }
      }
    }
  }
}

TEST(LitgFactors, OutsideTheTableReadsZero) {
  for (auto [k, zone, column] : {std::array{1, 1, 0}, {1, 1, 6}, {1, 0, 1}, {1, 19, 1}, {11, 1, 1}})
    EXPECT_EQ(FactorAt(k, false, zone, column), 0.0f) << k << " " << zone << " " << column;
}

TEST(LitgFactors, AMissingOrEmptyTableRaisesItsError) {
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

  // The failed calculation leaves the record's ratios as they were.
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), [](float, float) { return 100.0f; });
  rec.DirectRatio[3] = 42;
  rec.LitgDone = 0;
  EXPECT_THROW(CalcDirectRatios(rec), std::runtime_error);
  EXPECT_EQ(rec.DirectRatio[3], 42.0f);
  EXPECT_EQ(rec.LitgDone, 0);

  RestoreLitgFactors();
  EXPECT_EQ(message(), "no error");
}

// A point-source record with given zonal fluxes and current flux values.
void ZonalRecord(TLUM32& rec, const std::array<float, 36>& zones) {
  FillGrid(rec, 1, {0}, Steps(0, 5, 180), [](float, float) { return 1.0f; });
  rec.LumType = 1;
  std::copy(zones.begin(), zones.end(), rec.ZoneFlux);
  rec.DownFlux = rec.UpFlux = 0;
  for (int z = 0; z < 18; ++z)
    rec.DownFlux += zones[z];
  for (int z = 18; z < 36; ++z)
    rec.UpFlux += zones[z];
  rec.FluxCalcDone = rec.ZoneFluxDone = 1;
}

TEST(DirectRatios, PointSourcesWeighEachZone) {
  TLUM32 rec;
  std::array<float, 36> zones{};
  zones[0] = 250;                // under the luminaire: reaches the plane in every room
  zones[5] = 100;                // 25 .. 30 degrees
  for (int z = 12; z < 18; ++z)  // 60 .. 90 degrees
    zones[z] = 10;
  zones[18] = 20;  // just above the horizontal
  zones[20] = 30;  // 100 .. 105 degrees
  zones[35] = 80;  // 175 .. 180 degrees: straight at the ceiling
  ZonalRecord(rec, zones);
  CalcDirectRatios(rec);
  EXPECT_EQ(rec.LitgDone, 1);
  EXPECT_FLOAT_EQ(rec.DirectRatio[0], 250 + 100 * 0.5150f);  // nothing from 60 .. 90 at k = 0.60
  EXPECT_FLOAT_EQ(rec.UpDirect[0], 80);
  EXPECT_FLOAT_EQ(rec.UpDirect[9], 80 + 20 * 0.1030f + 30 * FactorAt(10, true, 3, 1));
  for (int k = 0; k < 10; ++k) {  // what is not direct is the remainder
    EXPECT_NEAR(rec.DirectRatio[k] + rec.DownRemainder[k], 410, 1e-3) << k;
    EXPECT_NEAR(rec.UpDirect[k] + rec.UpRemainder[k], 130, 1e-3) << k;
  }
  // Without downward flux there is no direct ratio.
  zones.fill(0);
  zones[35] = 80;
  ZonalRecord(rec, zones);
  CalcDirectRatios(rec);
  for (int k = 0; k < 10; ++k)
    EXPECT_EQ(std::pair(+rec.DirectRatio[k], +rec.DownRemainder[k]), std::pair(0.0f, 0.0f)) << k;
}

TEST(DirectRatios, StaleFluxValuesAreRecomputedFirst) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 1, 90), [](float, float g) { return g < 5 ? 500.0f : 0.0f; });
  rec.LumType = 1;
  CalcDirectRatios(rec);
  EXPECT_EQ(rec.FluxCalcDone, 1);
  EXPECT_GT(rec.DownFlux, 0);
  EXPECT_GT(rec.ZoneFlux[0], 0);
  // All the light falls within 5 degrees of the nadir: all of it is direct, even at k = 0.60.
  EXPECT_NEAR(rec.DirectRatio[0], rec.DownFlux, rec.DownFlux * 1e-3);
}

// A linear luminaire with a flat transverse curve of 100 cd/klm over 0..90 degrees; DownFlux
// is set so that the longitudinal class value comes out as v.
void LinearRecord(TLUM32& rec, long double v, float up_flux = 0) {
  FillGrid(rec, 0, Steps(0, 90, 270), Steps(0, 5, 90), [](float, float) { return 100.0f; });
  rec.LumType = 2;
  rec.DownFlux = static_cast<float>(v * 5 * 3.14159265358979323846L / 180 * 18 * 100);
  rec.UpFlux = up_flux;
  rec.FluxCalcDone = rec.ZoneFluxDone = 1;
}

float ColumnSum(int k, int column) {
  float sum = 0;
  for (int z = 1; z <= 18; ++z)
    sum += FactorAt(k, false, z, column);
  return sum;
}

TEST(DirectRatios, LinearClassesMixNeighbouringColumns) {
  const long double pi = 3.14159265358979323846L;
  struct Case {
    long double v;
    float w2, w3, w4, w5;  // weight of each column
  };
  const Case cases[] = {
      {4.0L, 1, 0, 0, 0},  // broader than the broadest class
      {pi, 1, 0, 0, 0},    // cos^1
      {(pi + 8.0L / 3) / 2, 0.5f, 0.5f, 0, 0},
      {8.0L / 3, 0, 1, 0, 0},                                    // cos^2
      {3 * pi / 4, 0, 0, 1, 0},                                  // cos^3
      {64.0L / 35, 0, 0, 0, 1},                                  // cos^6
      {1.2L, 0, 0, 0, static_cast<float>(1.2L / (64.0L / 35))},  // narrower: scaled column 5
  };
  for (const Case& c : cases) {
    TLUM32 rec;
    LinearRecord(rec, c.v, 10);  // an upward flux the table does not hold: no upward parts
    for (int k = 0; k < 10; ++k)
      rec.UpDirect[k] = rec.UpRemainder[k] = 7;
    CalcDirectRatios(rec);
    EXPECT_EQ(rec.LitgDone, 1);
    for (int k = 1; k <= 10; ++k) {
      const float expected = 100 * (c.w2 * ColumnSum(k, 2) + c.w3 * ColumnSum(k, 3) +
                                    c.w4 * ColumnSum(k, 4) + c.w5 * ColumnSum(k, 5));
      EXPECT_NEAR(rec.DirectRatio[k - 1], expected, 2e-3) << "v " << static_cast<double>(c.v);
      EXPECT_NEAR(rec.DownRemainder[k - 1], rec.DownFlux - expected, 2e-3);
      EXPECT_EQ(std::pair(+rec.UpDirect[k - 1], +rec.UpRemainder[k - 1]), std::pair(0.0f, 0.0f));
    }
  }
}

TEST(DirectRatios, AVeryNarrowLinearLuminaireNeverExceedsItsDownwardFlux) {
  for (long double v : {0.3L, 1.0L, 1.8L, 1.83L, 2.0L}) {
    TLUM32 rec;
    LinearRecord(rec, v);
    CalcDirectRatios(rec);
    for (int k = 0; k < 10; ++k)
      EXPECT_LE(rec.DirectRatio[k], rec.DownFlux) << static_cast<double>(v) << " " << k;
  }
  // Continuous across the narrowest bound: no jump to 0 just below it.
  TLUM32 below, above;
  LinearRecord(below, 64.0L / 35 - 1e-4L);
  LinearRecord(above, 64.0L / 35 + 1e-4L);
  CalcDirectRatios(below);
  CalcDirectRatios(above);
  for (int k = 0; k < 10; ++k)
    EXPECT_NEAR(below.DirectRatio[k], above.DirectRatio[k], 0.05) << k;
}

TEST(DirectRatios, LinearUpwardFluxUsesTheUpperFactors) {
  TLUM32 rec;
  FillGrid(rec, 0, Steps(0, 90, 270), Steps(0, 5, 180), [](float, float) { return 100.0f; });
  rec.LumType = 2;
  const float class_flux = static_cast<float>(3.14159265358979 * 5 * 3.14159265358979 / 180 * 18 *
                                              100);  // v = pi in both halves
  rec.DownFlux = rec.UpFlux = class_flux;
  rec.FluxCalcDone = rec.ZoneFluxDone = 1;
  CalcDirectRatios(rec);
  for (int k = 1; k <= 10; ++k) {
    float up = 0;
    for (int z = 1; z <= 18; ++z)
      up += FactorAt(k, true, z, 2) * 100;
    EXPECT_NEAR(rec.UpDirect[k - 1], up, 2e-3) << k;
    EXPECT_NEAR(rec.UpRemainder[k - 1], class_flux - up, 2e-3) << k;
  }
}

// --- the corpus: computed ratios against those the files declare ---

// The ten direct ratios an EULUMDAT file declares: the ten lines after the lamp sets.
bool DeclaredRatios(const std::string& text, std::array<double, 10>& out) {
  LineReader in(text);
  for (int line = 1; line <= 25; ++line)
    in.ReadLine();
  const std::int32_t sets = StrToIntOrZero(in.ReadLine());
  if (sets < 1 || sets > 20) return false;
  for (int line = 0; line < 6 * sets; ++line)
    in.ReadLine();
  bool any = false;
  for (double& v : out) {
    v = StrToFloatOrZero(in.ReadLine());
    any = any || v != 0;
  }
  return any;
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const double pos = p * static_cast<double>(v.size() - 1);
  const auto lo = static_cast<std::size_t>(pos);
  const std::size_t hi = std::min(lo + 1, v.size() - 1);
  return v[lo] + (v[hi] - v[lo]) * (pos - static_cast<double>(lo));
}

TEST(DirectRatios, CorpusFilesAgreeWithTheRatiosTheyDeclare) {
  const auto files = testing::CorpusFiles({"LDT"});
  std::vector<double> diffs;
  int compared = 0, undeclared = 0;
  for (const auto& path : files) {
    TLUM32 rec;
    if (!Load(rec, path.string())) continue;
    std::array<double, 10> declared{};
    if (!DeclaredRatios(testing::ReadFile(path), declared)) {
      ++undeclared;
      continue;
    }
    CalcFlux(rec);
    if (rec.LOR <= 0) continue;
    CalcDirectRatios(rec);
    ++compared;
    double worst = 0;
    for (int k = 0; k < 10; ++k) {
      const double computed = rec.DirectRatio[k] / (10.0 * rec.LOR);
      const double d = std::fabs(computed - declared[k]);
      diffs.push_back(d);
      worst = std::max(worst, d);
    }
    if (worst > 0.1)
      std::printf("  %-60s type %d DFF %.3f: k0.60 %.3f vs %.3f, k5.00 %.3f vs %.3f\n",
                  path.filename().string().c_str(), rec.LumType, rec.DFF,
                  rec.DirectRatio[0] / (10.0 * rec.LOR), declared[0],
                  rec.DirectRatio[9] / (10.0 * rec.LOR), declared[9]);
  }
  ASSERT_GT(compared, 0);
  const double median = Percentile(diffs, 0.5);
  const double p90 = Percentile(diffs, 0.9);
  std::printf(
      "direct ratios: %d files compared (%d declare none), median |diff| %.4f, "
      "90th percentile %.4f\n",
      compared, undeclared, median, p90);
  EXPECT_LE(median, 0.03);
}

}  // namespace
}  // namespace lumatra
