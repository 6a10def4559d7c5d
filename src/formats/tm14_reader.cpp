// CIBSE TM14 reader.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "formats/grid_rules.h"
#include "formats/textio.h"
#include "formats/tm14.h"
#include "formats/value_lists.h"
#include "model/lum32.h"
#include "support/findings.h"
#include "support/rounding.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

// Lines of the header are handled as texts of at most 255 characters.
std::string_view Head(std::string_view line) {
  return line.substr(0, kShortTextMax);
}

std::string TextLine(LineReader& in) {
  return Trim(Head(in.ReadLine()));
}

double FloatWord(std::string_view line, std::size_t n) {
  return StrToFloatOrZero(ExtractWordView(n, line, ValueDelimiters));
}

std::int32_t IntWord(std::string_view line, std::size_t n) {
  return StrToIntOrZero(ExtractWordView(n, line, ValueDelimiters));
}

std::uint16_t Millimetres(double metres) {
  return ToU16(RoundHalfEven(1000.0L * metres));
}

bool Fail(TLUM32& rec, std::string reason) {
  rec.ReadError = std::move(reason);
  return false;
}

// Symmetry of a C range given in hundredths of a degree.
// Lines 2 to 8: the texts.
void ReadHeaderTexts(TLUM32& rec, LineReader& in) {
  rec.ReportNo2 = TextLine(in);
  rec.LumNumber = TextLine(in);
  rec.LumName = TextLine(in);
  const std::string lamp = TextLine(in);
  rec.ReportNo = lamp;
  rec.LampSet[0].LampType = lamp;
  rec.DataFileName = TextLine(in);
  rec.HeaderText7 = TextLine(in);
  rec.HeaderText8 = TextLine(in);
  rec.NumLampSets = 1;
  rec.LampSet[0].TotalFlux = 1000;
}

// Line 9: lamps, photometry, luminaire width, length and height in metres.
bool ReadLampLine(TLUM32& rec, LineReader& in) {
  const std::string_view line = Head(in.ReadLine());
  // The whole count: a luminaire of 300 LEDs is not one of 255.
  const std::int32_t lamps = std::max<std::int32_t>(IntWord(line, 1), 1);
  rec.SetLampCount(0, static_cast<std::uint32_t>(lamps));
  rec.LampSet[0].FluxPerLamp = static_cast<float>(1000.0L / lamps);
  const std::int32_t photometry = IntWord(line, 2);
  if (photometry == 1) {
    rec.PhotSystem = kSystemC;
  } else if (photometry == 2) {
    rec.PhotSystem = kSystemB;
  } else {
    return Fail(rec, "tm14: line 9: photometry " + FormatInteger(photometry) +
                         " is neither 1 (C-gamma) nor 2 (B-beta)");
  }
  rec.LumDim.Width = Millimetres(FloatWord(line, 3));
  rec.LumDim.Length = Millimetres(FloatWord(line, 4));
  rec.LumDim.Height = Millimetres(FloatWord(line, 5));
  return true;
}

// Lines 10 and 11: circuit watts and the extra value.
void ReadWattLines(TLUM32& rec, LineReader& in) {
  const std::string_view watts = Head(in.ReadLine());
  const double circuit = FloatWord(watts, 2);
  const double lamp = FloatWord(watts, 3);
  rec.CircuitWatts = static_cast<float>(circuit);
  rec.LampSet[0].Wattage = ToU16(RoundHalfEven(circuit));
  if (lamp != 0) rec.WattsRatio = static_cast<float>(static_cast<long double>(circuit) / lamp);
  rec.Tm14Extra = static_cast<float>(FloatWord(Head(in.ReadLine()), 1));
}

// Where each file plane goes: its row and its C angle. A descending C list counts C the other
// way round: a plane at C is the plane at 180 - C in the record's sense. About C90-C270 (and
// so also about both planes) that mirror is the plane itself, so those keep their own angles;
// the others take the mirrored angle. Rows always ascend in C.
struct PlacedPlane {
  float angle;
  std::size_t file_index;
};

std::vector<PlacedPlane> PlacePlanes(const std::vector<double>& c_angles, bool reversed,
                                     std::uint8_t symmetry) {
  std::vector<PlacedPlane> planes;
  for (std::size_t p = 0; p < c_angles.size(); ++p) {
    long double c = c_angles[p];
    if (reversed && symmetry != 3 && symmetry != 4) {
      c = 180.0L - c;
      if (c < 0) c += 360.0L;
    }
    planes.push_back({static_cast<float>(c), p});
  }
  std::stable_sort(planes.begin(), planes.end(),
                   [](const PlacedPlane& a, const PlacedPlane& b) { return a.angle < b.angle; });
  return planes;
}

// The intensity list of one file plane, unscaled, into `cell(k, value)` for k = 1..count.
template <class Cell>
bool ReadIntensities(TLUM32& rec, ValueStream& values, std::size_t count, Cell cell) {
  for (std::size_t k = 1; k <= count; ++k) {
    const double v = values.Next();
    if (!FitsFloat(v)) return Fail(rec, AtLine("tm14", values.Line()) + "intensity out of range");
    cell(k, static_cast<float>(v));
  }
  return true;
}

// C-gamma photometry: planes are rows.
bool ReadCGamma(TLUM32& rec, ValueStream& values, std::size_t n_gamma, std::size_t n_c) {
  std::vector<double> gammas, c_angles;
  std::string fault = ReadAngleList(values, n_gamma, "gamma angles", gammas);
  if (fault.empty()) fault = ReadAngleList(values, n_c, "C angles", c_angles, true);
  if (!fault.empty()) return Fail(rec, "tm14: " + fault);
  const std::size_t c_line = values.Line();
  rec.Matrix = std::make_unique<TSglArray>(n_c + 1, n_gamma + 1);
  rec.NumGammas = static_cast<std::uint16_t>(n_gamma);
  rec.NumPlanes = static_cast<std::uint16_t>(n_c);
  for (std::size_t j = 0; j < n_gamma; ++j)
    rec.SetValue(0, j + 1, static_cast<float>(gammas[j]));

  bool reversed = false;
  if (n_c == 1) {
    rec.Symmetry = 1;
    rec.CFirst = 0;
    rec.CLast = 0;
    rec.CStep = 15;
  } else {
    std::int64_t first = Centi(c_angles.front());
    std::int64_t last = Centi(c_angles.back());
    if (first > last) {
      std::swap(first, last);
      reversed = true;
    }
    rec.Symmetry = SymmetryOfCRange(first, last);
  }
  std::vector<std::size_t> row_of(n_c);
  const std::vector<PlacedPlane> placed = PlacePlanes(c_angles, reversed, rec.Symmetry);
  std::vector<double> rows;
  for (std::size_t r = 0; r < placed.size(); ++r) {
    row_of[placed[r].file_index] = r + 1;
    rec.SetValue(r + 1, 0, placed[r].angle);
    rows.push_back(placed[r].angle);
  }
  // A descending list that spans more than a circle would fold two planes onto one angle.
  if (fault = CheckAngleList(rows, "mirrored C angles"); !fault.empty())
    return Fail(rec, AtLine("tm14", c_line) + fault);
  for (std::size_t p = 0; p < n_c; ++p) {
    const std::size_t row = row_of[p];
    if (!ReadIntensities(rec, values, n_gamma,
                         [&](std::size_t j, float v) { rec.SetValue(row, j, v); }))
      return false;
  }

  SummariseCGammaGrid(rec);
  rec.MinCStep = rec.CStep;
  rec.MinGStep = rec.GStep;
  return true;
}

// B-beta photometry: held transposed, the file's first list down column 0 and its planes as
// columns.
bool ReadBBeta(TLUM32& rec, ValueStream& values, std::size_t n_first, std::size_t n_second) {
  std::vector<double> first, second;
  std::string fault = ReadAngleList(values, n_first, "B angles", first);
  if (fault.empty()) fault = ReadAngleList(values, n_second, "beta angles", second);
  if (!fault.empty()) return Fail(rec, "tm14: " + fault);
  rec.Matrix = std::make_unique<TSglArray>(n_first + 1, n_second + 1);
  for (std::size_t v = 0; v < n_first; ++v)
    rec.SetValue(v + 1, 0, static_cast<float>(first[v]));
  for (std::size_t h = 0; h < n_second; ++h)
    rec.SetValue(0, h + 1, static_cast<float>(second[h]));
  for (std::size_t h = 1; h <= n_second; ++h) {
    if (!ReadIntensities(rec, values, n_first,
                         [&](std::size_t v, float x) { rec.SetValue(v, h, x); }))
      return false;
  }
  rec.NumGammas = static_cast<std::uint16_t>(n_second);
  rec.NumPlanes = static_cast<std::uint16_t>(n_first);
  SummariseBGrid(rec);
  return true;
}

// The closing line: opening shape and the projected areas a (from below), b and c (from the
// sides), from which the luminous area is derived.
void ReadOpeningLine(TLUM32& rec, LineReader& in) {
  const std::string_view line = Head(in.ReadLine());
  if (WordCount(line, ValueDelimiters) != 4) {
    rec.OpeningShape = 0;
    return;
  }
  switch (IntWord(line, 1)) {
    case 1:
      rec.OpeningShape = 1;
      break;
    case 2:
      rec.OpeningShape = 3;
      break;
    case 3:
      rec.OpeningShape = 2;
      break;
    case 4:
      rec.OpeningShape = 5;
      break;
    default:
      rec.OpeningShape = 0;
      break;
  }
  const long double a = FloatWord(line, 2);
  const long double b = FloatWord(line, 3);
  const long double c = FloatWord(line, 4);
  auto& area = rec.AreaDim;
  auto& lum = rec.LumDim;
  if (rec.OpeningShape == 1) {
    if (lum.Length == 0 || lum.Width == 0) return;
    // a = length x width and ratio = length / width, so a x ratio is the length squared.
    const long double ratio = static_cast<long double>(lum.Length) / lum.Width;
    area.Length = ToU16(RoundHalfEven(1000.0L * std::sqrt(a * ratio)));
    area.Width = ToU16(RoundHalfEven(area.Length / ratio));
    if (b != 0 && area.Length != 0)
      area.HeightC0 = ToU16(RoundHalfEven(1000.0L * b / (area.Length / 1000.0L)));
    else if (b == 0 && c != 0 && area.Width != 0)
      area.HeightC0 = ToU16(RoundHalfEven(1000.0L * c / (area.Width / 1000.0L)));
  } else if (rec.OpeningShape == 2 || rec.OpeningShape == 3) {
    lum.Diameter = lum.Length != 0 ? lum.Length : lum.Width;
    lum.Length = 0;
    lum.Width = 0;
    area.Diameter = ToU16(RoundHalfEven(1000.0L * std::sqrt(4.0L * a / kPi)));
    if (rec.OpeningShape == 3)
      area.HeightC0 = area.Diameter;
    else if (area.Diameter != 0)
      area.HeightC0 = ToU16(RoundHalfEven(1e6L * b / area.Diameter));
  }
}

}  // namespace

bool ParseTm14(TLUM32& rec, std::string_view text, Findings* findings) {
  ClearKeepingName(rec);
  LineReader in(text);
  const std::string signature = UpperCase(ExtractWordView(1, Head(in.ReadLine()), ValueDelimiters));
  if (signature != "CIBSE/1") return Fail(rec, "tm14: first line is not \"CIBSE/1\"");
  ReadHeaderTexts(rec, in);
  if (!ReadLampLine(rec, in)) return false;
  ReadWattLines(rec, in);

  const std::string_view counts = Head(in.ReadLine());
  const std::int64_t n_gamma = IntWord(counts, 1);
  const std::int64_t n_c = IntWord(counts, 2);
  // Counts that cannot be right leave nothing worth keeping: the record is emptied.
  if (const std::string fault = CheckTableSize(n_c, n_gamma); !fault.empty()) {
    ClearKeepingName(rec);
    return Fail(rec, "tm14: line 12: " + fault);
  }
  const auto needed = static_cast<std::size_t>(n_gamma + n_c + n_gamma * n_c);
  if (const std::size_t held = CountWords(in.Rest(), needed); held < needed) {
    ClearKeepingName(rec);
    return Fail(rec, "tm14: declared " + FormatInteger(n_gamma) + " x " + FormatInteger(n_c) +
                         " values need " + FormatInteger(static_cast<std::int64_t>(needed)) +
                         " numbers, file holds " + FormatInteger(static_cast<std::int64_t>(held)));
  }

  rec.GridFlags = 0;
  const auto ng = static_cast<std::size_t>(n_gamma);
  const auto nc = static_cast<std::size_t>(n_c);
  ValueStream values(in);
  values.Watch(findings, "tm14");
  const bool read =
      rec.PhotSystem == kSystemC ? ReadCGamma(rec, values, ng, nc) : ReadBBeta(rec, values, ng, nc);
  if (!read) {
    const std::string reason = rec.ReadError;
    ClearKeepingName(rec);
    return Fail(rec, reason);
  }
  values.Finish();
  ReadOpeningLine(rec, in);
  if (findings && rec.OpeningShape == 0)
    findings->Add("tm14.opening", Severity::kNote,
                  "no known shape of the luminous opening after the table; the luminous area "
                  "stays 0",
                  in.LineNumber());
  return true;
}

}  // namespace lumatra
