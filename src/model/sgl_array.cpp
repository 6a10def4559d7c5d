#include "model/sgl_array.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace lumatra {

TSglArray::TSglArray(std::size_t rows, std::size_t columns) {
  if (rows == 0 || columns == 0 || rows > 65536 || columns > 65536)
    throw std::length_error("table dimensions out of range");
  max_row_ = static_cast<std::uint16_t>(rows - 1);
  max_col_ = static_cast<std::uint16_t>(columns - 1);
  cells_.assign(rows * columns, 0.0f);
}

bool TSglArray::CreateFromBytes(std::span<const std::uint8_t> bytes, TSglArray& out) {
  if (bytes.size() < 4) return false;
  std::size_t rows = bytes[0] | (std::size_t{bytes[1]} << 8);
  std::size_t cols = bytes[2] | (std::size_t{bytes[3]} << 8);
  if (rows == 0 || cols == 0 || bytes.size() - 4 < rows * cols * 4) return false;
  TSglArray table(rows, cols);
  const std::uint8_t* p = bytes.data() + 4;
  for (float& cell : table.cells_) {
    std::uint32_t bits = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
                         (std::uint32_t{p[3]} << 24);
    cell = std::bit_cast<float>(bits);
    p += 4;
  }
  out = std::move(table);
  return true;
}

std::span<float> TSglArray::RowData(std::size_t row) {
  if (row > max_row_) return {};
  return {cells_.data() + row * Columns(), Columns()};
}

std::span<const float> TSglArray::RowData(std::size_t row) const {
  if (row > max_row_) return {};
  return {cells_.data() + row * Columns(), Columns()};
}

}  // namespace lumatra
