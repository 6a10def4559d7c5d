// A two-dimensional table of single-precision floats. The photometric record keeps its angles and
// intensities in one (row 0: gamma angles, column 0: C angles); the LiTG factor table is another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lumatra {

// The most intensities (planes x gamma angles) a record's table may hold. Real files keep far
// below it (a 0.5 x 0.5 degree grid of the whole sphere is 260,000); readers refuse larger
// declarations before allocating, transforms never build larger tables, and so every writer's
// output stays far below the size the readers accept.
inline constexpr std::size_t kMaxIntensities = 1'000'000;

class TSglArray {
 public:
  // rows x columns cells, all 0.0. Both counts are at least 1 and at most 65536.
  TSglArray(std::size_t rows, std::size_t columns);

  // Reads a u16 row count, a u16 column count (little-endian) and rows x columns little-endian
  // floats. Returns false (and leaves the table empty) when the bytes are too few.
  static bool CreateFromBytes(std::span<const std::uint8_t> bytes, TSglArray& out);

  std::uint16_t MaxRow() const { return max_row_; }
  std::uint16_t MaxCol() const { return max_col_; }
  std::size_t Rows() const { return std::size_t{max_row_} + 1; }
  std::size_t Columns() const { return std::size_t{max_col_} + 1; }

  // Out-of-range reads give 0.0; out-of-range writes are ignored.
  float GetValue(std::size_t row, std::size_t column) const {
    return row <= max_row_ && column <= max_col_ ? cells_[row * Columns() + column] : 0.0f;
  }
  void SetValue(std::size_t row, std::size_t column, float value) {
    if (row <= max_row_ && column <= max_col_) cells_[row * Columns() + column] = value;
  }
  // The cells of one row, or an empty span when row > MaxRow.
  std::span<float> RowData(std::size_t row);
  std::span<const float> RowData(std::size_t row) const;

 private:
  std::uint16_t max_row_ = 0;
  std::uint16_t max_col_ = 0;
  std::vector<float> cells_;
};

}  // namespace lumatra
