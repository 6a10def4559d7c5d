// The LiTG factor table against published values, and a missing table. The direct ratios of real
// files are pinned by derived_test.cpp, which also compares them with those the files declare.
#include "photometry/litg.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>

#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Steps;

TEST(LitgFactors, PublishedRowsComeOutExactlyAndOutsideTheTableReadsZero) {
  // clang-format off
  struct Row { int k; bool upper; int zone; std::array<float, 5> values; };
  const Row rows[] = {
      {1, false, 1, {1.0000f, 0.1739f, 0.1611f, 0.1507f, 0.1287f}},
      {1, false, 6, {0.5150f, 0.0325f, 0.0303f, 0.0285f, 0.0245f}},
      {1, true, 18, {1.0000f, 0.2248f, 0.2018f, 0.1847f, 0.1517f}},
      {10, false, 1, {1.0000f, 0.2620f, 0.2251f, 0.2003f, 0.1571f}},
      {10, false, 18, {0.0020f, 0, 0, 0, 0}}, {10, true, 1, {0.1030f, 0, 0, 0, 0}},
      {1, false, 12, {}}, {1, true, 4, {}}, {11, false, 1, {}}, {1, false, 0, {}},
      {1, false, 19, {}},
  };
  // clang-format on
  for (const Row& r : rows) {
    for (int c = 0; c <= 6; ++c) {
      LIBEDAOBJ factors;
      factors.SelectColumn(c);
      factors.SelectRoom(r.k, r.upper);
      EXPECT_EQ(factors.Factor(r.zone), c >= 1 && c <= 5 ? r.values[c - 1] : 0.0f)
          << "k " << r.k << " zone " << r.zone << " column " << c;
    }
  }
}

// A factor table missing from the program is a programming error; an empty one cannot be read.
// Either way the record's ratios stay as they were.
TEST(LitgFactors, AMissingOrEmptyTableRaisesItsErrorAndLeavesTheRatios) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 5, 90), [](float, float) { return 100.0f; });
  rec.DirectRatio[3] = 42;
  const std::pair<std::optional<std::span<const std::uint8_t>>, std::string> tables[] = {
      {std::nullopt, "programming error"},
      {std::span<const std::uint8_t>{}, "LiTG factors not found"}};
  for (const auto& [bytes, error] : tables) {
    ReplaceLitgFactorsForTest(bytes);
    try {
      CalcDirectRatios(rec);
      ADD_FAILURE() << error;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(e.what(), error);
    }
    RestoreLitgFactors();
  }
  EXPECT_EQ(std::pair(+rec.DirectRatio[3], +rec.LitgDone), std::pair(42.0f, 0));
}

}  // namespace
}  // namespace lumatra
