// The shared text-file layer of the readers and writers: line reading (CR LF, LF or CR line ends,
// lines of any length), the tolerant number parsers, and the fixed-width number styles. Nothing
// here depends on the process locale: parsing uses std::from_chars, formatting std::to_chars.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/text_fields.h"

namespace lumatra {

class TLUM32;

// Reads lines from a file's bytes held in memory. A UTF-8 byte-order mark at the start is skipped.
class LineReader {
 public:
  explicit LineReader(std::string_view data);

  // The next line without its line end; false (and an empty line) at the end of the data.
  bool Next(std::string_view& line);
  // The next line, or "" past the end (reading beyond the end yields empty lines).
  std::string_view ReadLine();
  bool AtEnd() const { return pos_ >= data_.size(); }
  void Rewind();
  // Number of lines returned so far (the 1-based number of the line last read).
  std::size_t LineNumber() const { return line_no_; }
  // Bytes not read yet.
  std::size_t Remaining() const { return data_.size() - pos_; }
  std::string_view Rest() const { return data_.substr(pos_); }

 private:
  std::string_view data_;
  std::size_t start_ = 0;
  std::size_t pos_ = 0;
  std::size_t line_no_ = 0;
};

// Word delimiters of the IES, TM14 and CIE readers: blank, comma and tab. Files written by
// spreadsheets separate their values with tabs; read as one word each, a whole table of real data
// would load as zeros.
inline constexpr CharSet ValueDelimiters{" ,\t"};

// Parses the whole of `text` as a decimal number (point as decimal separator, optional sign and
// exponent). Infinity, NaN and hexadecimal forms are not numbers here.
bool ParseNumber(std::string_view text, double& value);
// The plain decimals of most files ("-12.5", "180", ".75", "7.") with at most 15 digits, which
// ParseNumber takes first: the digits as an integer and the power of ten are both exact doubles,
// so one division rounds correctly and gives what std::from_chars gives. False (and `value`
// untouched) for anything else: a sign "+", exponents, more digits.
bool ParsePlainDecimal(std::string_view text, double& value);

// EULUMDAT line parsers. Each consumes one line.
// Integer line: the trimmed line must be a number as a whole; its nearest integer.
bool ReadIntLine(LineReader& in, std::int64_t& value);
// Float line: first word only, first "," taken as ".", a trailing "." dropped.
bool ReadFloatLine(LineReader& in, double& value);
// Dimension line: fails only when empty; a text that is not a number gives 0.
bool ReadDimLine(LineReader& in, std::uint16_t& value);

// Trimmed decimal integer, or 0 for anything else (never fails).
std::int32_t StrToIntOrZero(std::string_view text);
// First "," taken as ".", trimmed, parsed; 0.0 for anything that is not a number (never fails).
double StrToFloatOrZero(std::string_view text);

// Builds a text file in memory, one line at a time, with CR LF line ends. A line end inside a
// text is written as a blank, so it cannot shift the lines after it.
class TextLines {
 public:
  void Line(std::string_view text);
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// The lines of a text file whose value lists run over several lines: angles and intensities are
// added one by one and the format's `Append` decides how a value joins the pending line and when
// that line is written.
class ValueListLines {
 public:
  virtual ~ValueListLines() = default;
  void Line(std::string_view s) { lines_.Line(s); }
  // An angle with the decimals it needs; an intensity to 0.05 % (see FormatKept).
  void Angle(long double angle);
  void Intensity(long double x);
  void SetNearZero(long double near_zero) { near_zero_ = near_zero; }
  void EndList() {
    if (!pending_.empty()) Line(pending_);
    pending_.clear();
  }
  std::string Take() { return lines_.Take(); }

 protected:
  virtual void Append(const std::string& text) = 0;
  std::string pending_;

 private:
  TextLines lines_;
  long double near_zero_ = 0;
};

// --- number styles of the writers ---

// Integer: decimal digits, a sign only when negative.
std::string FormatInteger(std::int64_t n);
// Fixed(p) with d decimals: rounded to at most p significant digits and d decimals, whichever is
// fewer; exponent form "d.dddE+x" when the integer part needs more than p digits.
std::string FormatFixed(long double x, int precision, int decimals);
// W(x, w, d): x with d decimals, right-aligned in at least w characters.
std::string FormatPadded(long double x, int width, int decimals);
// F(x): Fixed with one decimal and at most 7 significant digits.
inline std::string FormatF(long double x) {
  return FormatFixed(x, 7, 1);
}

// A measured value (an intensity) as F(x) writes it where one decimal keeps it within 0.05 %, or
// within `near_zero` of it (a millionth of the table's peak, so that values near 0 need not
// spell out their noise); otherwise with as many more decimals as that takes, up to 7
// significant digits. Typical tables therefore look as with F(x), and small values survive.
std::string FormatKept(long double x, long double near_zero);
// FormatKept without a string of its own: the text is written into `room` (and viewed there).
// Inline, so that the common case gets its arguments as doubles in registers: long doubles are
// passed through memory, and reading them back costs more than choosing the decimals.
using KeptText = std::array<char, 48>;
// The common case, decided in double precision where that is sure (false: FormatKeptSlow).
bool FormatKeptFast(double x, double near_zero, KeptText& room, std::string_view& text);
std::string_view FormatKeptSlow(long double x, long double near_zero, KeptText& room);
inline std::string_view FormatKept(long double x, long double near_zero, KeptText& room) {
  std::string_view text;
  if (FormatKeptFast(static_cast<double>(x), static_cast<double>(near_zero), room, text))
    return text;
  return FormatKeptSlow(x, near_zero, room);
}
// FormatKept decimal by decimal in long double, without its shortcut for one decimal (which must
// decide as this does).
std::string FormatKeptByDecimals(long double x, long double near_zero);
// The `near_zero` of FormatKept for the intensities of the record's table written times `scale`
// (a millionth of their largest magnitude).
long double NearZeroOf(const TLUM32& rec, long double scale = 1);
// A flux (or other value that is usually whole): W(x, width, 0) when it is whole, otherwise with
// the decimals it has (up to 7 significant digits), right-aligned in `width`.
std::string FormatWholeOrDecimals(long double x, int width);
// An angle as F(x) writes it, with the further decimals it needs (up to 7 significant digits):
// one decimal would turn 1.25 into 1.2 or 2.02 into 2.0 and move, or even repeat, a measured
// direction. Whole and half degrees are written exactly as F(x) writes them.
std::string FormatAngle(long double angle);

}  // namespace lumatra
