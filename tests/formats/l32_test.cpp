// L32: the header, the table and the persistent blocks byte for byte, the size rules, and files
// that must be refused without touching the record.
#include "formats/l32.h"

#include <gtest/gtest.h>

#include <cstring>

#include "formats/format_checks.h"
#include "model/lum32.h"
#include "support/io_error.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using format_checks::ExpectReason;
using testing::FillGrid;
using testing::Steps;

std::uint16_t U16(const std::string& bytes, std::size_t at) {
  std::uint16_t v;
  std::memcpy(&v, bytes.data() + at, 2);
  return v;
}
std::uint32_t U32(const std::string& bytes, std::size_t at) {
  std::uint32_t v;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

void MakeRecord(TLUM32& rec) {
  FillGrid(rec, 2, Steps(0, 15, 180), Steps(0, 5, 90),
           [](float c, float g) { return 100.0f + c * 0.37f + g * 1.1f; });
  rec.Company = "Kelmar";
  rec.LumName = "Spot";
  rec.ReportNo2 = "R2";
  rec.Editor = "ed";
  rec.AreaDim.HeightC0 = 40;
  rec.LumFlux = 812.5f;
  rec.DirectRatio[9] = 0.75f;
  rec.WattsRatio = 1.5f;
  rec.Matrix->SetValue(0, 0, -7.0f);  // cell (0, 0) travels as it is
}

void ExpectSameBlocks(TLUM32& a, TLUM32& b, bool block3) {
  EXPECT_EQ(0, std::memcmp(&a.Block1(), &b.Block1(), kBlock1Size));
  EXPECT_EQ(0, std::memcmp(&a.Block2(), &b.Block2(), kBlock2Size));
  if (block3) {
    EXPECT_EQ(0, std::memcmp(&a.Block3(), &b.Block3(), kBlock3Size));
  }
}

void ExpectSameTableBytes(const TLUM32& a, const TLUM32& b) {
  ASSERT_TRUE(a.Matrix && b.Matrix);
  ASSERT_EQ(a.Matrix->Rows(), b.Matrix->Rows());
  ASSERT_EQ(a.Matrix->Columns(), b.Matrix->Columns());
  for (std::size_t r = 0; r < a.Matrix->Rows(); ++r)
    EXPECT_EQ(0, std::memcmp(a.Matrix->RowData(r).data(), b.Matrix->RowData(r).data(),
                             a.Matrix->RowData(r).size_bytes()))
        << "row " << r;
}

TEST(L32Writer, RecordFromAnotherFormatGetsBlocksOneAndTwo) {
  TLUM32 rec;
  MakeRecord(rec);
  ASSERT_EQ(rec.ExtSize, 0);
  const std::string bytes = L32Bytes(rec);
  const std::size_t table = 14 * 20 * 4;
  ASSERT_EQ(bytes.size(), 25 + table + 1664);
  EXPECT_EQ(bytes.substr(0, 4),
            "\x03"
            "100");
  // MaxCol = NumGammas, MaxRow = NumPlanes, table end, block bytes, reserved.
  EXPECT_EQ((std::vector<std::uint32_t>{U16(bytes, 4), U16(bytes, 6), U32(bytes, 8), U16(bytes, 12),
                                        U32(bytes, 14)}),
            (std::vector<std::uint32_t>{19, 13, 25 + table, 1664, 0}));
  EXPECT_EQ(bytes.substr(18, 7), "\x06PRCLUM");
  EXPECT_EQ((std::vector<int>{rec.ExtSize, rec.ExtFlags, rec.BlockFlags}),
            (std::vector<int>{1664, 3, 3}));
  EXPECT_EQ(0, std::memcmp(bytes.data() + 25 + table, &rec.Block1(), kBlock1Size));
  EXPECT_EQ(0, std::memcmp(bytes.data() + 25 + table + 1024, &rec.Block2(), kBlock2Size));

  TLUM32 back;
  back.SetFileName("/x/back.l32");
  ASSERT_TRUE(testing::ReadAs(kFormatL32, back, bytes)) << back.ReadError;
  ExpectSameTableBytes(rec, back);
  ExpectSameBlocks(rec, back, false);
  EXPECT_EQ(back.FileName, "/x/back.l32");
  EXPECT_EQ((std::vector<int>{back.NameChanged, back.BlockFlags}), (std::vector<int>{0, 3}));
  // Block 3 was not written: no watts ratio.
  EXPECT_EQ((std::vector<float>{back.WattsRatio, back.MinGStep, back.MinCStep}),
            (std::vector<float>{0, 5, 15}));
  EXPECT_FLOAT_EQ(back.Intensity(200, 10), rec.Intensity(200, 10));
}

TEST(L32Writer, AllThreeBlocksAndARecomputedSize) {
  TLUM32 rec;
  MakeRecord(rec);
  rec.ExtFlags = 7;
  rec.ExtSize = 2432;
  std::string bytes = L32Bytes(rec);
  EXPECT_EQ(bytes.size(), 25 + 14 * 20 * 4 + 2432u);
  TLUM32 back;
  ASSERT_TRUE(testing::ReadAs(kFormatL32, back, bytes)) << back.ReadError;
  ExpectSameBlocks(rec, back, true);
  EXPECT_FLOAT_EQ(back.WattsRatio, 1.5f);
  EXPECT_EQ(back.Editor.str(), "ed");
  bytes.replace(0, 4,
                "\x03"
                "200");  // the version text is not checked
  EXPECT_TRUE(testing::ReadAs(kFormatL32, back, bytes)) << back.ReadError;

  // A size that does not match the flags is not trusted: the file always matches its blocks.
  rec.ExtFlags = 5;
  rec.ExtSize = 1664;
  bytes = L32Bytes(rec);
  EXPECT_EQ(rec.ExtSize, 1024 + 768);
  EXPECT_EQ(U16(bytes, 12), 1024 + 768);
  ASSERT_TRUE(testing::ReadAs(kFormatL32, back, bytes)) << back.ReadError;
  EXPECT_FLOAT_EQ(back.LumFlux, 0);  // block 2 absent
  EXPECT_EQ(back.ReportNo2.str(), "R2");

  rec.ExtFlags = 0;  // block 1 is always present
  bytes = L32Bytes(rec);
  EXPECT_EQ(rec.ExtFlags, 1);
  EXPECT_TRUE(testing::ReadAs(kFormatL32, back, bytes)) << back.ReadError;
}

TEST(L32Reader, RefusedFilesLeaveTheRecordAlone) {
  TLUM32 source;
  MakeRecord(source);
  const std::string good = L32Bytes(source);
  const std::size_t blocks_at = 25 + 14 * 20 * 4;

  struct Case {
    std::string bytes, reason;
  };
  std::vector<Case> cases;
  cases.push_back({good + "x", "l32: header announces 1120 table bytes and 1664 block bytes"});
  cases.push_back({good.substr(0, good.size() - 1), "l32: header announces"});
  cases.push_back({good.substr(0, 24), "l32: file is shorter than its header"});
  cases.push_back({"", "l32: file is shorter"});
  std::string wrong_id = good;
  wrong_id[20] = 'X';
  cases.push_back({wrong_id, "l32: identifier"});
  std::string huge_table = good;
  huge_table[4] = huge_table[5] = huge_table[6] = huge_table[7] = '\xff';
  cases.push_back({huge_table, "l32: table of 65535 x 65535 intensities exceeds the limit"});
  std::string small_blocks = good.substr(0, blocks_at + 1000);
  small_blocks[12] = static_cast<char>(1000 & 0xff);
  small_blocks[13] = static_cast<char>(1000 >> 8);
  cases.push_back({small_blocks, "l32: 1000 block bytes cannot hold block 1"});
  std::string flags_beyond = good;
  flags_beyond[blocks_at + 2] = 7;  // block 1 says three blocks, the file has two
  cases.push_back({flags_beyond, "l32: blocks of ExtFlags 7 need 2432 bytes, file holds 1664"});
  std::string counts_beyond = good;
  counts_beyond[blocks_at + 884] = static_cast<char>(0xff);  // NumPlanes
  cases.push_back({counts_beyond, "l32: 255 planes x 19 angles do not fit a table of 14 x 20"});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    TLUM32 rec;
    MakeRecord(rec);
    rec.SetFileName("/keep/me.l32");
    EXPECT_FALSE(testing::ReadAs(kFormatL32, rec, c.bytes));
    ExpectReason(rec, c.reason);
    EXPECT_EQ(rec.Company.str(), "Kelmar");
    EXPECT_EQ(rec.NumPlanes, 13);
    EXPECT_TRUE(rec.Matrix);
    EXPECT_EQ(rec.FileName, "/keep/me.l32");
  }
}

TEST(L32Writer, RecordWithoutTableIsNotWritten) {
  TLUM32 rec;
  EXPECT_THROW(L32Bytes(rec), IoError);
}

}  // namespace
}  // namespace lumatra
