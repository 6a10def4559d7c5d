// The record's own rules that no file shows directly: the table's edges, the short name the
// writers put into files, and which maximum is the peak.
#include <gtest/gtest.h>

#include <tuple>

#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

TEST(SglArray, OutOfRangeReadsZeroAndIgnoresWrites) {
  TSglArray t(3, 4);
  t.SetValue(2, 3, 7.5f);
  t.SetValue(3, 0, 1.0f);
  t.SetValue(0, 4, 1.0f);
  EXPECT_EQ(std::tuple(t.GetValue(2, 3), t.GetValue(3, 0), t.GetValue(0, 4)),
            std::tuple(7.5f, 0.0f, 0.0f));
}

TEST(Record, SetFileNameDerivesTheShortName) {
  TLUM32 rec;
  rec.SetFileName("/data/catalogue/LONGFILENAME_123.v2.ldt");
  EXPECT_EQ(rec.ShortName.str(), "LONGFILENAME");
  rec.SetFileName("C:\\DATA\\LAMP.IES");
  EXPECT_EQ(rec.ShortName.str(), "LAMP");
}

TEST(Record, FindPeakKeepsTheFirstMaximumInPlaneMajorOrder) {
  TLUM32 rec;
  testing::FillGrid(rec, 0, {0, 90, 180, 270}, {0, 30, 60}, [](float c, float g) {
    return (c == 90 && g == 60) || (c == 180 && g == 0) ? 500.0f : 100.0f;
  });
  rec.FindPeak();  // packed fields are compared by value
  EXPECT_EQ(std::tuple(+rec.PeakIntensity, +rec.PeakC, +rec.PeakGamma),
            std::tuple(500.0f, 90.0f, 60.0f));
}

}  // namespace
}  // namespace lumatra
