#include "formats/textio.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "model/lum32.h"
#include "support/rounding.h"

namespace lumatra {

LineReader::LineReader(std::string_view data) : data_(data) {
  if (data_.substr(0, 3) == "\xEF\xBB\xBF") start_ = 3;
  pos_ = start_;
}

bool LineReader::Next(std::string_view& line) {
  if (pos_ >= data_.size()) {
    line = {};
    return false;
  }
  std::size_t end = pos_;
  while (end < data_.size() && data_[end] != '\r' && data_[end] != '\n')
    ++end;
  line = data_.substr(pos_, end - pos_);
  pos_ = end;
  if (pos_ < data_.size()) {
    if (data_[pos_] == '\r' && pos_ + 1 < data_.size() && data_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
  }
  ++line_no_;
  return true;
}

std::string_view LineReader::ReadLine() {
  std::string_view line;
  Next(line);
  return line;
}

void LineReader::Rewind() {
  pos_ = start_;
  line_no_ = 0;
}

void TextLines::Line(std::string_view text) {
  for (char c : text)
    text_.push_back(c == '\r' || c == '\n' ? ' ' : c);
  text_ += "\r\n";
}

namespace {

// Appends the decimal digits at `p` to `digits`; returns where they end.
const char* TakeDigits(const char* p, const char* end, std::uint64_t& digits) {
  for (; p != end && *p >= '0' && *p <= '9'; ++p)
    digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
  return p;
}

}  // namespace

bool ParsePlainDecimal(std::string_view text, double& value) {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  const char* const end = text.data() + text.size();
  std::uint64_t digits = 0;  // wraps only past 19 digits, which are refused below
  const char* const point = TakeDigits(text.data(), end, digits);
  const char* last = point;
  if (point != end && *point == '.') last = TakeDigits(point + 1, end, digits);
  const auto decimals = last == point ? 0 : static_cast<std::size_t>(last - point - 1);
  const auto count = static_cast<std::size_t>(point - text.data()) + decimals;
  if (last != end || count == 0 || count > 15) return false;
  const auto whole = static_cast<double>(digits);
  const double v = decimals == 0 ? whole : whole / kPow10[decimals];
  value = negative ? -v : v;
  return true;
}

bool ParseNumber(std::string_view text, double& value) {
  value = 0.0;
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) return false;  // "+-1"
  }
  if (text.empty()) return false;
  if (ParsePlainDecimal(text, value)) return true;
  // Only digits, sign, point and exponent are number characters (rejects inf, nan, hex).
  for (char c : text) {
    bool ok = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    if (!ok) return false;
  }
  double v = 0.0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ptr != text.data() + text.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    // Overflow or underflow: the value is not representable as a photometric number.
    return false;
  }
  if (ec != std::errc() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ReadIntLine(LineReader& in, std::int64_t& value) {
  value = 0;
  std::string_view text = TrimView(in.ReadLine());
  double v = 0.0;
  if (text.empty() || !ParseNumber(text, v)) return false;
  value = RoundHalfEven(v);
  return true;
}

bool ReadFloatLine(LineReader& in, double& value) {
  value = 0.0;
  static constexpr CharSet kBlank{" "};
  std::string text = Trim(in.ReadLine());
  if (WordCount(text, kBlank) > 1) text = ExtractWord(1, text, kBlank);
  if (auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
  text = Trim(text);
  if (auto point = text.find('.'); point != std::string::npos && point + 1 == text.size())
    text.pop_back();
  return ParseNumber(text, value);
}

bool ReadDimLine(LineReader& in, std::uint16_t& value) {
  value = 0;
  std::string_view text = TrimView(in.ReadLine());
  if (!text.empty() && text.back() == '.') text.remove_suffix(1);
  if (text.empty()) return false;
  double v = 0.0;
  if (ParseNumber(text, v)) value = ToU16(RoundHalfEven(v));
  return true;
}

std::int32_t StrToIntOrZero(std::string_view text) {
  text = TrimView(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int32_t v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return 0;
  return v;
}

double StrToFloatOrZero(std::string_view text) {
  double v = 0.0;
  if (text.find(',') == std::string_view::npos) return ParseNumber(TrimView(text), v) ? v : 0.0;
  std::string s(text);
  s[s.find(',')] = '.';
  return ParseNumber(TrimView(s), v) ? v : 0.0;
}

std::string FormatInteger(std::int64_t n) {
  char buf[32];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, n);
  return std::string(buf, ptr);
}

namespace {

// Drops the sign of a text whose digits are all zero ("-0.0" -> "0.0").
void DropNegativeZero(std::string& s) {
  if (s.empty() || s.front() != '-') return;
  for (char c : s)
    if (c >= '1' && c <= '9') return;
  s.erase(0, 1);
}

// x (as a double) rounded to `decimals` places, written as std::to_chars writes it but without
// its digit generation: the double is m * 2^e exactly, so m * 10^decimals, shifted by -e with the
// exact remainder rounded half to even, gives the digits. Covers |x| < 1e9 with at most 9
// decimals (intensities, angles, dimensions). No sign on a result of zero.
constexpr std::uint64_t kPow10[] = {1,      10,      100,      1000,      10000,
                                    100000, 1000000, 10000000, 100000000, 1000000000};

struct Rounded {
  std::uint64_t units;  // |x| in units of the last decimal, rounded half to even
  double error;         // |units / 10^decimals - |x||, to within a few units of its last bit
};

bool FitsFastDigits(double x, int decimals) {
  return decimals >= 0 && decimals <= 9 && std::fabs(x) < 1e9;
}

// Needs FitsFastDigits(x, decimals).
Rounded RoundToDecimals(double x, int decimals) {
  __extension__ typedef unsigned __int128 Wide;
  const double magnitude = std::fabs(x);
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const auto biased_exponent = static_cast<int>(bits >> 52);
  const int shift = 1075 - biased_exponent;  // at least 23 below 1e9
  // Subnormals and zero round to 0 at 9 decimals, and so does anything below 2^-75.
  if (biased_exponent == 0 || shift >= 128) return {0, magnitude};
  // magnitude = mantissa * 2^-shift, with the implicit leading bit
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const Wide scaled = Wide{mantissa} * kPow10[decimals];
  auto q = static_cast<std::uint64_t>(scaled >> shift);
  const Wide rest = scaled - (Wide{q} << shift);
  const Wide half = Wide{1} << (shift - 1);
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  const Wide distance = (Wide{q} << shift) > scaled ? (Wide{q} << shift) - scaled : rest;
  const auto two_to_minus_shift = std::bit_cast<double>(std::uint64_t(1023 - shift) << 52);
  return {q, static_cast<double>(distance) * two_to_minus_shift /
                 static_cast<double>(kPow10[decimals])};
}

// Writes the text of a rounded value backwards, ending at `end`, and returns where it begins.
// `int_digits`: the digits before the point, 0 for "0.x" (1 for a plain "0").
char* WriteFixed(std::uint64_t q, int decimals, bool negative, char* end, int& int_digits) {
  char* p = end;
  std::uint64_t rest = q;  // digit by digit from the right: no division by a variable power
  for (int d = 0; d < decimals; ++d, rest /= 10)
    *--p = static_cast<char>('0' + rest % 10);
  if (decimals > 0) *--p = '.';
  const bool no_whole = rest == 0;
  const char* point = p;
  do {
    *--p = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  int_digits = no_whole && decimals > 0 ? 0 : static_cast<int>(point - p);
  if (negative && q != 0) *--p = '-';
  return p;
}

bool FastFixedDecimals(double x, int decimals, std::string& out, int& int_digits) {
  if (!FitsFastDigits(x, decimals)) return false;
  char text[32];
  char* const end = text + sizeof text;
  out.assign(WriteFixed(RoundToDecimals(x, decimals).units, decimals, x < 0, end, int_digits), end);
  return true;
}

// FixedDecimals where the fast digits do not reach: through std::to_chars.
std::string ToCharsFixedDecimals(long double x, int decimals) {
  char buf[512];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(x),
                                 std::chars_format::fixed, decimals);
  std::string s = ec == std::errc() ? std::string(buf, ptr) : std::string("0");
  DropNegativeZero(s);
  return s;
}

std::string FixedDecimals(long double x, int decimals) {
  std::string fast;
  int int_digits = 0;
  if (FastFixedDecimals(static_cast<double>(x), decimals, fast, int_digits)) return fast;
  return ToCharsFixedDecimals(x, decimals);
}

// "d.ddddE+x" with `precision` significant digits.
std::string ExponentForm(long double x, int precision) {
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(x),
                                 std::chars_format::scientific, precision - 1);
  std::string s(buf, ptr);
  auto e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  int exponent = 0;
  std::from_chars(s.data() + e + 1 + (s[e + 1] == '+'), s.data() + s.size(), exponent);
  return mantissa + (exponent < 0 ? "E-" : "E+") + std::to_string(std::abs(exponent));
}

int IntegerDigits(const std::string& fixed) {
  int digits = 0;
  for (char c : fixed) {
    if (c == '.') break;
    if (c >= '0' && c <= '9') ++digits;
  }
  return digits;
}

}  // namespace

std::string FormatFixed(long double x, int precision, int decimals) {
  if (!std::isfinite(x)) x = 0;
  std::string s;
  int int_digits = 0;
  if (!FastFixedDecimals(static_cast<double>(x), decimals, s, int_digits)) {
    s = ToCharsFixedDecimals(x, decimals);
    int_digits = IntegerDigits(s);
    if (s.find_first_of("123456789") > s.find('.')) int_digits = 0;  // "0.x": no integer digits
  }
  if (int_digits > precision) return ExponentForm(x, precision);
  if (int_digits + decimals <= precision) return s;
  // Fewer significant digits than decimals allow: round at the precision, keep the decimals.
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(x),
                                 std::chars_format::scientific, precision - 1);
  double rounded = 0.0;
  std::from_chars(buf, ptr, rounded);
  s = FixedDecimals(rounded, decimals);
  if (IntegerDigits(s) > precision) return ExponentForm(x, precision);
  return s;
}

namespace {

// y >= 0 rounded to an integer: adding and taking away 2^52 rounds (to even) below 2^52.
double NearestInteger(double y) {
  constexpr double kTwo52 = 4503599627370496.0;
  return y >= kTwo52 ? y : (y + kTwo52) - kTwo52;
}

// FormatKept decided in double precision where that is sure: the decimals are chosen as
// FormatKeptByDecimals chooses them, from errors computed in double, with a margin that covers
// how far double rounding can move them (a few units of the 16th digit), and the chosen ones are
// written from x rounded exactly. A value that comes nearer the boundary than that, or that needs
// the seventh-digit rounding or more than 9 decimals, is left to the long-double loop (false).
bool KeptFast(double xd, double near_zero, char* end, std::string_view& text) {
  constexpr int kPrecision = 7;
  constexpr int kFastDecimals = 9;
  if (!std::isfinite(xd) || !FitsFastDigits(xd, kFastDecimals)) return false;
  const double magnitude = std::fabs(xd);
  const double allowed = std::max(5e-4 * magnitude, near_zero);
  const double seventh_digit = 5e-7 * magnitude;
  const double margin = 1e-12 * (magnitude + allowed);
  for (int decimals = 1; decimals <= kFastDecimals; ++decimals) {
    // The error in units of the last decimal, against the bounds in those units.
    const auto scale = static_cast<double>(kPow10[decimals]);
    const double units = magnitude * scale;
    const double nearest = NearestInteger(units);
    const double error = std::fabs(units - nearest);
    if (error > (allowed + seventh_digit + margin) * scale) continue;
    if (error > (allowed - seventh_digit - margin) * scale) return false;
    // Where `units` (within an eighth of its exact value below 2^50) is not near a half, its
    // nearest integer is the exact rounding.
    constexpr double kTwo50 = 1125899906842624.0;
    const std::uint64_t rounded = error < 0.25 && units < kTwo50
                                      ? static_cast<std::uint64_t>(nearest)
                                      : RoundToDecimals(xd, decimals).units;
    int int_digits = 0;
    char* const begin = WriteFixed(rounded, decimals, xd < 0, end, int_digits);
    text = {begin, static_cast<std::size_t>(end - begin)};
    return int_digits + decimals <= kPrecision;
  }
  return false;
}

}  // namespace

bool FormatKeptFast(double x, double near_zero, KeptText& room, std::string_view& text) {
  return KeptFast(x, near_zero, room.end(), text);
}

std::string_view FormatKeptSlow(long double x, long double near_zero, KeptText& room) {
  const std::string slow = FormatKeptByDecimals(x, near_zero);
  const std::size_t size = std::min(slow.size(), room.size());
  return {std::copy_n(slow.begin(), size, room.begin()) - size, size};
}

std::string FormatKept(long double x, long double near_zero) {
  KeptText room;
  return std::string(FormatKept(x, near_zero, room));
}

std::string FormatKeptByDecimals(long double x, long double near_zero) {
  if (!std::isfinite(x)) x = 0;
  constexpr int kPrecision = 7;
  constexpr int kMostDecimals = 20;  // below that, seven digits need the exponent form
  const long double allowed = std::max(5e-4L * std::fabs(x), near_zero);
  // What d decimals write is x rounded to d decimals, give or take half a unit of the seventh
  // significant digit: only where that leaves the answer open is the text written and read back.
  const long double seventh_digit = 5e-7L * std::fabs(x);
  long double scale = 10;
  for (int decimals = 1; decimals <= kMostDecimals; ++decimals, scale *= 10) {
    const long double error = std::fabs(std::rint(x * scale) / scale - x);
    if (error > allowed + seventh_digit) continue;
    std::string s = FormatFixed(x, kPrecision, decimals);
    if (error + seventh_digit <= allowed) return s;
    double written = 0.0;
    std::from_chars(s.data(), s.data() + s.size(), written);
    if (std::fabs(written - x) <= allowed || s.find('E') != std::string::npos) return s;
  }
  return ExponentForm(x, kPrecision);
}

namespace {

// FormatFixed(x, 7, 6) below 1e7 without its round trip through the exponent form: where the
// integer digits leave fewer than six decimals to the seven digits, x is rounded exactly at the
// last decimal they allow, which is the number that round trip writes (its double is far closer
// than a millionth to it). False where FormatFixed has to decide.
bool FastSevenDigits(double x, std::string& out) {
  constexpr int kPrecision = 7, kDecimals = 6;
  if (!FitsFastDigits(x, kDecimals)) return false;
  char text[32];
  char* const end = text + sizeof text;
  std::uint64_t units = RoundToDecimals(x, kDecimals).units;
  int int_digits = 0;
  char* begin = WriteFixed(units, kDecimals, x < 0, end, int_digits);
  if (int_digits + kDecimals > kPrecision) {
    const int decimals = kPrecision - int_digits;
    if (decimals < 0) return false;
    units = RoundToDecimals(x, decimals).units * kPow10[kDecimals - decimals];
    begin = WriteFixed(units, kDecimals, x < 0, end, int_digits);
    if (int_digits > kPrecision) return false;
  }
  out.assign(begin, end);
  return true;
}

// Seven significant digits (at most six decimals) without the trailing zeros, "x.0" at least.
std::string SevenDigits(long double x) {
  std::string text;
  if (!FastSevenDigits(static_cast<double>(x), text)) text = FormatFixed(x, 7, 6);
  if (text.find('E') != std::string::npos || text.find('.') == std::string::npos) return text;
  while (text.size() >= 2 && text.back() == '0' && text[text.size() - 2] != '.')
    text.pop_back();
  return text;
}

}  // namespace

std::string FormatWholeOrDecimals(long double x, int width) {
  if (!std::isfinite(x)) x = 0;
  if (std::fabs(x - std::rint(x)) <= 1e-7L * std::fabs(x)) return FormatPadded(x, width, 0);
  return LeftPad(SevenDigits(x), static_cast<std::size_t>(width < 0 ? 0 : width));
}

long double NearZeroOf(const TLUM32& rec, long double scale) {
  // Rounding is monotonic, so the largest magnitude times |scale| is the largest product: one
  // multiplication instead of one per value (infinities and NaN excepted: 0 * inf is no peak).
  float largest = 0;
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      largest = std::max(largest, std::fabs(rec.GetIntensity(i, j)));
  if (std::isfinite(largest) && std::isfinite(scale)) return 1e-6L * (largest * std::fabs(scale));
  long double peak = 0;
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      peak = std::max(peak, std::fabs(rec.GetIntensity(i, j) * scale));
  return 1e-6L * peak;
}

std::string FormatAngle(long double angle) {
  return SevenDigits(angle);
}

std::string FormatPadded(long double x, int width, int decimals) {
  if (!std::isfinite(x)) x = 0;
  return LeftPad(FixedDecimals(x, decimals), static_cast<std::size_t>(width < 0 ? 0 : width));
}

void ValueListLines::Angle(long double angle) {
  Append(FormatAngle(angle));
}

void ValueListLines::Intensity(long double x) {
  Append(FormatKept(x, near_zero_));
}

}  // namespace lumatra
