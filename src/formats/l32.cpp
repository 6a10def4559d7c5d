// L32: the program's own binary format. All numbers little-endian.
//
//   offset  0  string[3] "100"          version text (not checked)
//           4  u16 MaxCol, 6 u16 MaxRow  of the intensity table
//           8  u32 offset of the blocks (25 + table bytes)
//          12  u16 ExtSize               bytes of the persistent blocks after the table
//          14  u32 0
//          18  string[6] "PRCLUM"        the identifier
//          25  the table row by row, single floats; then the persistent blocks 1, 2, 3 as
//              ExtFlags selects them, byte for byte as the record holds them.
#include "formats/l32.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formats/grid_rules.h"
#include "formats/textio.h"
#include "formats/value_lists.h"
#include "formats/writable_table.h"
#include "model/lum32.h"
#include "support/io_error.h"

namespace lumatra {

namespace {

constexpr std::size_t kHeaderSize = 25;
constexpr std::string_view kIdentifier = "\x06PRCLUM";
constexpr std::string_view kVersion =
    "\x03"
    "100";

enum : std::uint16_t { kHasBlock1 = 1, kHasBlock2 = 2, kHasBlock3 = 4 };

std::uint16_t U16At(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                    static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

void PutU16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void PutU32(std::string& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

template <class Block>
void PutBlock(std::string& out, const Block& block) {
  out.append(reinterpret_cast<const char*>(&block), sizeof(Block));
}

template <class Block>
void TakeBlock(std::string_view bytes, std::size_t& pos, Block& block) {
  std::memcpy(static_cast<void*>(&block), bytes.data() + pos, sizeof(Block));
  pos += sizeof(Block);
}

// The byte length of the blocks that `flags` selects; block 1 is always present.
std::size_t BlocksSize(std::uint16_t flags) {
  return kBlock1Size + (flags & kHasBlock2 ? kBlock2Size : 0) +
         (flags & kHasBlock3 ? kBlock3Size : 0);
}

bool Fail(TLUM32& rec, std::string reason) {
  rec.ReadError = std::move(reason);
  return false;
}

std::string Count(std::size_t n) {
  return FormatInteger(static_cast<std::int64_t>(n));
}

float FloatAt(std::string_view bytes, std::size_t offset) {
  float v = 0.0f;
  std::memcpy(&v, bytes.data() + offset, sizeof v);
  return v;
}

// The grid as the interpolators need it: the angles of the planes (column 0) and of the gamma
// columns (row 0) ascend within -360..720, the summary angles lie in that range, every
// intensity is a number. "" when fine, else the reason.
std::string CheckGrid(std::string_view bytes, std::size_t columns, const PersistentBlock1& b) {
  auto cell = [&](std::size_t row, std::size_t col) {
    return FloatAt(bytes, kHeaderSize + (row * columns + col) * sizeof(float));
  };
  std::vector<double> gammas, planes;
  for (std::size_t j = 1; j <= b.NumGammas; ++j)
    gammas.push_back(cell(0, j));
  for (std::size_t i = 1; i <= b.NumPlanes; ++i)
    planes.push_back(cell(i, 0));
  if (std::string fault = CheckAngleList(gammas, "gamma angles"); !fault.empty()) return fault;
  if (std::string fault = CheckAngleList(planes, "plane angles"); !fault.empty()) return fault;
  const float summary[] = {b.CFirst, b.CStep, b.CLast, b.GFirst, b.GStep, b.GLast};
  for (float angle : summary)
    if (!AngleInRange(angle))
      return "grid summary holds " + NumberText(angle) + ", outside -360 to 720";
  for (std::size_t i = 1; i <= b.NumPlanes; ++i)
    for (std::size_t j = 1; j <= b.NumGammas; ++j)
      if (!std::isfinite(cell(i, j)))
        return "intensity " + Count(i) + ", " + Count(j) + " is not a number";
  if (b.Symmetry > 4) return "symmetry " + Count(b.Symmetry) + " is not 0 to 4";
  if (b.PhotSystem > kSystemA)
    return "photometric system " + Count(b.PhotSystem) + " is not 0 to 2";
  return {};
}

}  // namespace

std::string L32Bytes(TLUM32& rec) {
  CheckWritableTable(rec, "l32");
  // A record from another format has no blocks yet: blocks 1 and 2. ExtSize always follows
  // ExtFlags, so the file never announces a size its blocks do not have.
  if (rec.ExtSize == 0) rec.ExtFlags = kHasBlock1 | kHasBlock2;
  rec.ExtFlags |= kHasBlock1;
  rec.ExtSize = static_cast<std::uint16_t>(BlocksSize(rec.ExtFlags));
  rec.BlockFlags = rec.ExtFlags;

  const TSglArray& table = *rec.Matrix;
  const std::size_t table_bytes = table.Rows() * table.Columns() * sizeof(float);
  std::string out;
  out.reserve(kHeaderSize + table_bytes + rec.ExtSize);
  out.append(kVersion);
  PutU16(out, table.MaxCol());
  PutU16(out, table.MaxRow());
  PutU32(out, static_cast<std::uint32_t>(kHeaderSize + table_bytes));
  PutU16(out, rec.ExtSize);
  PutU32(out, 0);
  out.append(kIdentifier);
  for (std::size_t row = 0; row < table.Rows(); ++row) {
    const auto cells = table.RowData(row);
    out.append(reinterpret_cast<const char*>(cells.data()), cells.size_bytes());
  }
  PutBlock(out, rec.Block1());
  if (rec.ExtFlags & kHasBlock2) PutBlock(out, rec.Block2());
  if (rec.ExtFlags & kHasBlock3) PutBlock(out, rec.Block3());
  return out;
}

bool ParseL32(TLUM32& rec, std::string_view bytes, Findings*) {
  // Everything is checked before the record is touched: a refused file leaves it as it was.
  if (bytes.size() < kHeaderSize) return Fail(rec, "l32: file is shorter than its header");
  if (bytes.substr(18, kIdentifier.size()) != kIdentifier)
    return Fail(rec, "l32: identifier \"PRCLUM\" is missing");
  const std::size_t max_col = U16At(bytes, 4);
  const std::size_t max_row = U16At(bytes, 6);
  const std::size_t ext_size = U16At(bytes, 12);
  if (max_row * max_col > kMaxIntensities)
    return Fail(rec, "l32: table of " + Count(max_row) + " x " + Count(max_col) +
                         " intensities exceeds the limit of " + Count(kMaxIntensities));
  const std::size_t table_bytes = (max_col + 1) * (max_row + 1) * sizeof(float);
  const std::size_t after_table =
      bytes.size() >= kHeaderSize + table_bytes ? bytes.size() - kHeaderSize - table_bytes : 0;
  if (bytes.size() < kHeaderSize + table_bytes || ext_size != after_table)
    return Fail(rec, "l32: header announces " + Count(table_bytes) + " table bytes and " +
                         Count(ext_size) + " block bytes, file holds " +
                         Count(bytes.size() - kHeaderSize) + " bytes after the header");
  if (ext_size < kBlock1Size)
    return Fail(rec, "l32: " + Count(ext_size) + " block bytes cannot hold block 1");

  const std::size_t blocks_at = kHeaderSize + table_bytes;
  PersistentBlock1 block1;
  std::memcpy(static_cast<void*>(&block1), bytes.data() + blocks_at, kBlock1Size);
  if (BlocksSize(block1.ExtFlags) > ext_size)
    return Fail(rec, "l32: blocks of ExtFlags " + Count(block1.ExtFlags) + " need " +
                         Count(BlocksSize(block1.ExtFlags)) + " bytes, file holds " +
                         Count(ext_size));
  // Counts beyond the table would make every loop over the grid run past it.
  if (block1.NumPlanes > max_row || block1.NumGammas > max_col)
    return Fail(rec, "l32: " + Count(block1.NumPlanes) + " planes x " + Count(block1.NumGammas) +
                         " angles do not fit a table of " + Count(max_row + 1) + " x " +
                         Count(max_col + 1));
  if (block1.NumPlanes == 0 || block1.NumGammas == 0)
    return Fail(rec, "l32: " + Count(block1.NumPlanes) + " planes x " + Count(block1.NumGammas) +
                         " angles: the table is empty");
  if (const std::string fault = CheckGrid(bytes, max_col + 1, block1); !fault.empty())
    return Fail(rec, "l32: " + fault);

  ClearKeepingName(rec);
  auto table = std::make_unique<TSglArray>(max_row + 1, max_col + 1);
  std::size_t pos = kHeaderSize;
  for (std::size_t row = 0; row <= max_row; ++row) {
    auto cells = table->RowData(row);
    std::memcpy(cells.data(), bytes.data() + pos, cells.size_bytes());
    pos += cells.size_bytes();
  }
  rec.Matrix = std::move(table);
  TakeBlock(bytes, pos, rec.Block1());
  rec.BlockFlags = rec.ExtFlags;
  if (rec.ExtFlags & kHasBlock2) TakeBlock(bytes, pos, rec.Block2());
  if (rec.ExtFlags & kHasBlock3) TakeBlock(bytes, pos, rec.Block3());

  rec.MinGStep = rec.GammaStepDetect();
  rec.MinCStep = rec.CStepDetect();
  rec.NameChanged = 0;
  return true;
}

}  // namespace lumatra
