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

}  // namespace
}  // namespace lumatra
