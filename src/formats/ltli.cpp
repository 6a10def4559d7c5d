// LTLI fixed-column format: reader and writer.
//
// The writer always samples a 10-degree C grid starting at C90 and a 2-degree gamma grid; the
// reader places the file's first plane at the start of its C range and then reverses or rotates
// the planes as the orientation field F6 says. Reading back a written file therefore gives the
// distribution turned (and for some symmetries mirrored), not the original orientation.
#include "formats/ltli.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formats/grid_rules.h"
#include "formats/textio.h"
#include "formats/value_lists.h"
#include "formats/writable_table.h"
#include "model/lum32.h"
#include "support/findings.h"
#include "support/io_error.h"
#include "support/rounding.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

constexpr std::size_t kFieldWidth = 4;
constexpr std::size_t kFieldsPerLine = 17;
constexpr std::size_t kMarkerColumn = 36;  // columns 37-40, counted from 0
constexpr std::size_t kNameColumn = 40;    // columns 41-48
constexpr std::size_t kNameWidth = 8;
// The reader takes lengths above this many millimetres as millimetres already.
constexpr std::int64_t kCentimetreLimit = 2000;

// Field n (from 1) of a line: an integer, or 0 when empty, absent or not a number.
std::int32_t Field(std::string_view line, std::size_t n) {
  const std::size_t start = (n - 1) * kFieldWidth;
  if (start >= line.size()) return 0;
  return StrToIntOrZero(line.substr(start, kFieldWidth));
}

std::string TextLine(LineReader& in) {
  return Trim(in.ReadLine().substr(0, kShortTextMax));
}

bool Fail(TLUM32& rec, std::string reason) {
  rec.ReadError = std::move(reason);
  return false;
}

std::string Int(std::int64_t n) {
  return FormatInteger(n);
}

// How the file's planes map onto the record, by C range F2 and orientation F6.
struct PlaneLayout {
  std::uint8_t symmetry;
  float c_first, c_last, c_step;
  bool reversed;
  float rotation;  // degrees, 0: none
};

PlaneLayout LayoutOf(std::int32_t c_range, std::int32_t orientation, float c_step) {
  if (c_range == 0) return {1, 0, 0, 0, false, 0};
  if (c_range == 90) return {4, 0, 90, c_step, orientation == 0, 0};
  if (c_range == 180 && orientation != 0) return {2, 0, 180, c_step, orientation == 90, 0};
  if (c_range == 180) return {3, 90, 270, c_step, true, 0};
  const float rotation = orientation == 0 ? 90.0f : orientation == 90 ? 180.0f : 0.0f;
  return {0, 0, static_cast<float>(c_range), c_step, false, rotation};
}

// Luminous area from F7 to F9: centimetres, unless the length or width so read exceeds 2 m, in
// which case the values were millimetres already.
void ReadArea(TLUM32& rec, std::string_view line) {
  std::int64_t length = std::int64_t{Field(line, 7)} * 10;
  std::int64_t width = std::int64_t{Field(line, 8)} * 10;
  std::int64_t height = std::int64_t{Field(line, 9)} * 10;
  if (length > kCentimetreLimit || width > kCentimetreLimit) {
    length /= 10;
    width /= 10;
    height /= 10;
  }
  rec.AreaDim.Length = ToU16(length);
  rec.AreaDim.Width = ToU16(width);
  rec.AreaDim.HeightC0 = ToU16(height);
  rec.LumDim.Length = rec.AreaDim.Length;
  rec.LumDim.Width = rec.AreaDim.Width;
  rec.LumDim.Height = rec.AreaDim.HeightC0;
}

// Lines left from the reader's position, counting no further than `enough`.
std::size_t LinesAhead(LineReader in, std::size_t enough) {
  std::size_t lines = 0;
  std::string_view line;
  while (lines < enough && in.Next(line))
    ++lines;
  return lines;
}

// Intensities from line 6 on, 17 fields per line.
// A check looks at every intensity field that is not a whole number and read as 0.
void ReportField(Findings* findings, std::string_view line, std::size_t n, std::size_t line_no,
                 std::size_t& count) {
  const std::size_t start = (n - 1) * kFieldWidth;
  const std::string_view text =
      start < line.size() ? TrimView(line.substr(start, kFieldWidth)) : "";
  if (text.empty() || text == "0" || StrToIntOrZero(text) != 0) return;
  if (count++ == 0)
    findings->Add("ltli.not-a-number", Severity::kWarning,
                  "intensity field \"" + std::string(text) + "\" is not a whole number, read as 0",
                  line_no);
}

void ReadIntensities(TLUM32& rec, LineReader& in, bool reversed, Findings* findings) {
  std::string_view line;
  std::size_t field = kFieldsPerLine, bad = 0;
  for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
    for (std::size_t k = 1; k <= rec.NumPlanes; ++k) {
      if (field == kFieldsPerLine) {
        line = in.ReadLine().substr(0, kShortTextMax);
        field = 0;
      }
      const std::size_t row = reversed ? rec.NumPlanes - k + 1 : k;
      rec.SetValue(row, j, static_cast<float>(Field(line, ++field)));
      if (findings) ReportField(findings, line, field, in.LineNumber(), bad);
    }
  }
}

}  // namespace

std::string Int4(std::int64_t n) {
  return LeftPad(FormatInteger(n), kFieldWidth);
}

std::string Unquote(std::string_view text) {
  std::string s = Trim(text);
  if (!s.empty() && s.front() == '"') s.front() = ' ';
  if (!s.empty() && s.back() == '"') s.back() = ' ';
  return Trim(s);
}

bool ParseLTLI(TLUM32& rec, std::string_view text, float& turn, Findings* findings) {
  ClearKeepingName(rec);
  LineReader in(text);
  const std::string_view first = in.ReadLine().substr(0, kShortTextMax);
  if (first.size() < kMarkerColumn + 4 || UpperCase(first.substr(kMarkerColumn, 4)) != "LTLI")
    return Fail(rec, "ltli: no \"LTLI\" marker in columns 37-40");

  const std::int32_t number = Field(first, 1);
  rec.LumNumber = number == -1 ? Trim(first.substr(std::min(first.size(), kNameColumn), kNameWidth))
                               : Int(number);
  ReadArea(rec, first);
  rec.ReportNo2 = TextLine(in);
  rec.Company = TextLine(in);
  rec.LumName = TextLine(in);
  rec.ReportNo = TextLine(in);

  const std::int32_t c_range = Field(first, 2), gamma_range = Field(first, 3);
  const std::int32_t c_step = Field(first, 4), gamma_step = Field(first, 5);
  if (c_step <= 0 || gamma_step <= 0)
    return Fail(rec, "ltli: line 1: C step " + Int(c_step) + " and gamma step " + Int(gamma_step) +
                         " must be positive");
  if (c_range < 0 || gamma_range < 0)
    return Fail(rec, "ltli: line 1: C range " + Int(c_range) + " and gamma range " +
                         Int(gamma_range) + " must not be negative");
  const auto gammas = static_cast<std::size_t>(
      RoundHalfEven(static_cast<long double>(gamma_range) / gamma_step) + 1);
  const auto planes =
      static_cast<std::size_t>(RoundHalfEven(static_cast<long double>(c_range) / c_step) + 1);
  if (!AngleInRange(c_range) || !AngleInRange(gamma_range))
    return Fail(rec, "ltli: line 1: C range " + Int(c_range) + " and gamma range " +
                         Int(gamma_range) + " must lie within 0 to 720");
  // Checked before anything is allocated; a declaration such as 9999 x 9999 at step 1 is refused.
  if (const std::string fault =
          CheckTableSize(static_cast<std::int64_t>(planes), static_cast<std::int64_t>(gammas));
      !fault.empty())
    return Fail(rec, "ltli: line 1: " + fault);
  const PlaneLayout layout = LayoutOf(c_range, Field(first, 6), static_cast<float>(c_step));
  const std::size_t stored = layout.symmetry == 1 ? 1 : planes;
  const std::size_t lines_needed = (stored * gammas + kFieldsPerLine - 1) / kFieldsPerLine;
  if (const std::size_t held = LinesAhead(in, lines_needed); held < lines_needed)
    return Fail(rec, "ltli: " + Int(static_cast<std::int64_t>(stored)) + " planes x " +
                         Int(static_cast<std::int64_t>(gammas)) + " angles need " +
                         Int(static_cast<std::int64_t>(lines_needed)) + " lines, file holds " +
                         Int(static_cast<std::int64_t>(held)));

  rec.Matrix = std::make_unique<TSglArray>(planes + 1, gammas + 1);
  rec.NumGammas = static_cast<std::uint16_t>(gammas);
  rec.NumPlanes = static_cast<std::uint16_t>(stored);
  rec.GFirst = 0;
  rec.GLast = static_cast<float>(gamma_range);
  rec.GStep = static_cast<float>(gamma_step);
  rec.Symmetry = layout.symmetry;
  rec.CFirst = layout.c_first;
  rec.CLast = layout.c_last;
  rec.CStep = layout.c_step;
  rec.MinGStep = rec.GStep;
  rec.MinCStep = rec.CStep;
  for (std::size_t i = 1; i <= stored; ++i)
    rec.SetValue(i, 0, rec.CFirst + static_cast<float>(i - 1) * rec.CStep);
  for (std::size_t j = 1; j <= gammas; ++j)
    rec.SetValue(0, j, rec.GFirst + static_cast<float>(j - 1) * rec.GStep);
  ReadIntensities(rec, in, layout.reversed, findings);
  turn = layout.rotation;
  return true;
}

namespace {

// The file's C range by symmetry; "" for a symmetry the format cannot express. A half table of
// the format runs from C90 to C270, which is the whole of a table symmetric about C90-C270 but
// only one quadrant of one symmetric about C0-C180: such a table is written as the full circle.
std::string CRangeField(std::uint8_t symmetry) {
  switch (symmetry) {
    case 0:
    case 2:
      return Int4(350);
    case 1:
      return Int4(0);
    case 3:
      return Int4(180);
    case 4:
      return Int4(90);
    default:
      return {};
  }
}

std::size_t PlaneCount(std::uint8_t symmetry) {
  switch (symmetry) {
    case 0:
    case 2:
      return 36;
    case 1:
      return 1;
    case 3:
      return 19;
    case 4:
      return 10;
    default:
      return 0;
  }
}

// F7 to F9 in centimetres; a luminous area longer or wider than 2 m goes in millimetres, which
// the reader recognises by that size (in centimetres it would come back a tenth as long).
std::string AreaFields(const TLUM32& rec) {
  const AreaDims& a = rec.AreaDim;
  const bool large = a.Length > kCentimetreLimit || a.Width > kCentimetreLimit;
  const bool fits = a.Length <= 9999 && a.Width <= 9999 && a.HeightC0 <= 9999;
  const int divisor = large && fits ? 1 : 10;
  return Int4(a.Length / divisor) + Int4(a.Width / divisor) + Int4(a.HeightC0 / divisor);
}

std::string HeaderLine(const TLUM32& rec) {
  return Int4(-1) + CRangeField(rec.Symmetry) + Int4(rec.GLast > 90.1f ? 180 : 90) + Int4(10) +
         Int4(2) + Int4(90) + AreaFields(rec) + "LTLI" +
         LeftPad(Unquote(JustName(rec.ShortName.view())), kNameWidth) + std::string(8, ' ');
}

// One intensity as a 4-column field. A value that needs more columns would shift every field
// after it, so the record cannot be written in this format.
std::string IntensityField(long double value, float c, float gamma) {
  const std::int64_t n = RoundHalfEven(value);
  if (n > 9999 || n < -999)
    throw IoError("ltli: intensity " + Int(n) + " cd/klm at C" + FormatF(c) + " gamma " +
                  FormatF(gamma) + " does not fit the 4-column field");
  return Int4(n);
}

// The columns hold whole cd/klm. Where that rounding would change a value by more than 1 % of
// the table's peak (a table of small values, most of which would become 0), the record is refused
// rather than written as a table of zeros.
constexpr long double kLargestRoundingShare = 0.01L;

void CheckWholeNumbersKeep(long double peak, long double largest_change) {
  if (largest_change <= kLargestRoundingShare * peak) return;
  throw IoError("ltli: intensities up to " + FormatKept(peak, 0) +
                " cd/klm would lose more than 1 % of that to the format's whole numbers");
}

}  // namespace

std::string LTLIText(TLUM32& rec) {
  // The record's intensity routine has no A-alpha form: every value would be written as 0.
  CheckWritableTable(rec, "ltli", "LTLI holds C planes");
  const std::size_t gamma_count = rec.GLast > 90.1f ? 91 : 46;
  const std::size_t plane_count = PlaneCount(rec.Symmetry);
  std::vector<std::string> fields;
  fields.reserve(gamma_count * plane_count);
  long double peak = 0, largest_change = 0;
  for (std::size_t g = 1; g <= gamma_count; ++g) {
    const auto gamma = static_cast<float>((g - 1) * 2);
    for (std::size_t p = 1; p <= plane_count; ++p) {
      auto c = static_cast<float>(90 + (p - 1) * 10);
      if (c >= 360) c -= 360;
      const long double value = rec.Intensity(c, gamma);
      peak = std::max(peak, std::fabs(value));
      largest_change = std::max(largest_change, std::fabs(RoundHalfEven(value) - value));
      fields.push_back(IntensityField(value, c, gamma));
    }
  }
  CheckWholeNumbersKeep(peak, largest_change);

  TextLines lines;
  auto line = [&lines](std::string_view s) { lines.Line(s); };
  line(HeaderLine(rec));
  line(Unquote(rec.ReportNo2.view()));
  line(Unquote(rec.Company.view()));
  line(Unquote(rec.LumName.view()));
  line(Int(rec.LampCount(0)) + " x " + Unquote(rec.LampSet[0].LampType.view()));
  for (std::size_t at = 0; at < fields.size(); at += kFieldsPerLine) {
    std::string values;
    for (std::size_t k = at; k < fields.size() && k < at + kFieldsPerLine; ++k)
      values += fields[k];
    line(values);
  }
  return lines.Take();
}

}  // namespace lumatra
