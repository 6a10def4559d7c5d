// L32 keeps the record's persistent blocks byte for byte: what the writer takes from the record
// the reader puts back in the same place, the blocks the flags name and no others.
// (The bytes themselves: the golden files.)
#include "formats/l32.h"

#include <gtest/gtest.h>

#include <cstring>

#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

bool SameBytes(const void* a, const void* b, std::size_t size) {
  return std::memcmp(a, b, size) == 0;
}

TEST(L32, TheBlocksTheFlagsNameComeBackByteForByte) {
  for (std::uint16_t flags : {0, 3, 5, 7}) {
    SCOPED_TRACE(flags);
    TLUM32 rec, back;
    testing::FillGrid(rec, 2, testing::Steps(0, 15, 180), testing::Steps(0, 5, 90),
                      [](float c, float g) { return 100.0f + c * 0.37f + g * 1.1f; });
    rec.Company = "Kelmar";
    rec.ReportNo2 = "R2";
    rec.LumFlux = 812.5f;
    rec.WattsRatio = 1.5f;
    rec.Matrix->SetValue(0, 0, -7.0f);  // cell (0, 0) travels as it is
    rec.ExtFlags = flags;
    rec.ExtSize = 2432;  // recomputed from the flags
    const std::string bytes = L32Bytes(rec);
    const std::uint16_t kept = flags == 0 ? 1 : flags;  // block 1 is always there
    EXPECT_EQ(rec.ExtFlags, kept);
    EXPECT_EQ(bytes.size(), 25 + 14 * 20 * 4 + 1024u + (kept & 2 ? 640 : 0) + (kept & 4 ? 768 : 0));
    ASSERT_TRUE(ParseL32(back, bytes)) << back.ReadError;
    for (std::size_t row = 0; row < rec.Matrix->Rows(); ++row)
      EXPECT_TRUE(SameBytes(rec.Matrix->RowData(row).data(), back.Matrix->RowData(row).data(),
                            rec.Matrix->RowData(row).size_bytes()));
    EXPECT_TRUE(SameBytes(&rec.Block1(), &back.Block1(), kBlock1Size));
    EXPECT_EQ(SameBytes(&rec.Block2(), &back.Block2(), kBlock2Size), (kept & 2) != 0);
    EXPECT_EQ(SameBytes(&rec.Block3(), &back.Block3(), kBlock3Size), (kept & 4) != 0);
    EXPECT_EQ(back.BlockFlags, kept);
  }
}

}  // namespace
}  // namespace lumatra
