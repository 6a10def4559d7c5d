#include <gtest/gtest.h>

#include <tuple>

#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::MakeGrid;

TEST(SglArray, OutOfRangeReadsZeroAndIgnoresWrites) {
  TSglArray t(3, 4);
  EXPECT_EQ(t.MaxRow(), 2);
  EXPECT_EQ(t.MaxCol(), 3);
  t.SetValue(2, 3, 7.5f);
  EXPECT_EQ(t.GetValue(2, 3), 7.5f);
  t.SetValue(3, 0, 1.0f);
  t.SetValue(0, 4, 1.0f);
  EXPECT_EQ(t.GetValue(3, 0), 0.0f);
  EXPECT_EQ(t.GetValue(0, 4), 0.0f);
  EXPECT_TRUE(t.RowData(3).empty());
  EXPECT_EQ(t.RowData(1).size(), 4u);
}

TEST(SglArray, CreateFromBytesReadsLittleEndianAndRefusesShortInput) {
  const std::uint8_t bytes[] = {2, 0, 1, 0, 0, 0, 0x80, 0x3F, 0, 0, 0x20, 0x41};  // 1.0, 10.0
  TSglArray t(1, 1);
  ASSERT_TRUE(TSglArray::CreateFromBytes(bytes, t));
  EXPECT_EQ(t.Rows(), 2u);
  EXPECT_EQ(t.GetValue(0, 0), 1.0f);
  EXPECT_EQ(t.GetValue(1, 0), 10.0f);
  EXPECT_FALSE(TSglArray::CreateFromBytes(std::span(bytes, 11), t));
}

TEST(Record, ClearEmptiesEverythingButKeepsTheFormatCode) {
  TLUM32 rec;
  MakeGrid(rec, 0, {0, 90, 180, 270}, {0, 90});
  rec.Company = "Kelmar";
  rec.FileFormat = kFormatIes95;
  rec.LabelLines = std::vector<std::string>{"a"};
  rec.Clear();
  EXPECT_EQ(rec.Loaded, 0);
  EXPECT_EQ(rec.PeakValid, 1);
  EXPECT_TRUE(rec.Company.empty());
  EXPECT_TRUE(rec.ShortName.empty());
  EXPECT_FALSE(rec.Matrix);
  EXPECT_FALSE(rec.LabelLines);
  EXPECT_EQ(rec.NumPlanes, 0);
  EXPECT_EQ(rec.FileFormat, kFormatIes95);
  EXPECT_EQ(rec.NameChanged, 1);
}

TEST(Record, SetFileNameDerivesTheShortName) {
  TLUM32 rec;
  rec.SetFileName("/data/catalogue/LONGFILENAME_123.v2.ldt");
  EXPECT_EQ(rec.ShortName.str(), "LONGFILENAME");
  rec.SetFileName("C:\\DATA\\LAMP.IES");
  EXPECT_EQ(rec.ShortName.str(), "LAMP");
}

TEST(Record, StepDetectionFindsTheSmallestStepAndMarksIrregularGrids) {
  TLUM32 rec;
  MakeGrid(rec, 0, {0, 15, 30, 50}, {0, 5, 10});
  EXPECT_FLOAT_EQ(rec.CStepDetect(), 15.0f);
  EXPECT_TRUE(rec.GridFlags & kCIrregular);
  MakeGrid(rec, 0, {0, 15, 30, 45}, {0, 2.5f, 10});
  EXPECT_FLOAT_EQ(rec.CStepDetect(), 15.0f);
  EXPECT_FALSE(rec.GridFlags & kCIrregular);
  EXPECT_FLOAT_EQ(rec.GammaStepDetect(), 2.5f);
  EXPECT_TRUE(rec.GridFlags & kGammaIrregular);
  MakeGrid(rec, 1, {0}, {0, 5});
  EXPECT_EQ(rec.CStepDetect(), 0.0f);
  EXPECT_FALSE(rec.GridFlags & kCIrregular);
}

TEST(Record, FindPeakKeepsTheFirstMaximumInPlaneMajorOrder) {
  TLUM32 rec;
  FillGrid(rec, 0, {0, 90, 180, 270}, {0, 30, 60}, [](float c, float g) {
    return (c == 90 && g == 60) || (c == 180 && g == 0) ? 500.0f : 100.0f;
  });
  rec.FindPeak();  // packed fields are compared by value
  EXPECT_EQ(std::tuple(+rec.PeakIntensity, +rec.PeakC, +rec.PeakGamma),
            std::tuple(500.0f, 90.0f, 60.0f));
}

}  // namespace
}  // namespace lumatra
