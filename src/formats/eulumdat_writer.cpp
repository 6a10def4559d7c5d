// EULUMDAT (.LDT) writer. EULUMDAT is the European luminaire data format: one value per line in
// a fixed order, CR LF line ends. The file always lists the full circle of C angles; the
// intensity blocks cover only the planes the symmetry requires. A gamma range that does not start
// at 0 is written as the full 0..180, the values off the stored grid taken from the record's
// Intensity routine.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "formats/eulumdat.h"
#include "formats/grid_rules.h"
#include "formats/textio.h"
#include "formats/writable_table.h"
#include "model/lum32.h"
#include "support/io_error.h"
#include "support/rounding.h"
#include "support/short_date.h"

namespace lumatra {

namespace {

using Real = long double;

// The grid as it is written: counts and steps of lines 4 to 7 and how the blocks are formed.
struct LdtGrid {
  bool c_regular = false;      // C planes at a usable step from CFirst
  bool gamma_regular = false;  // gamma angles at a usable step
  bool full_gamma = false;     // gamma written as 0..180 by GStep, values interpolated
  std::size_t mc = 0;          // line 4: C angles listed
  std::vector<float> gammas;   // block 29; line 6 is their count
};

void AppendEulumdatNumber(std::string& out, long double x, int precision) {
  if (!std::isfinite(x)) x = 0;
  // Rounded to `precision` significant digits: "-d.ddddde+xx". The digits and the exponent
  // place the decimal point.
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(x),
                                 std::chars_format::scientific, precision - 1);
  const char* e = std::find(buf, end, 'e');
  int exponent = 0;
  for (const char* p = e + 2; p < end; ++p)  // "e+dd" or "e-dd"
    exponent = 10 * exponent + (*p - '0');
  if (e + 1 < end && e[1] == '-') exponent = -exponent;
  if (exponent >= precision) {
    out += FormatFixed(x, precision, 1);  // exponent form
    return;
  }
  const bool negative = buf[0] == '-';
  char digits[64];
  std::size_t n = 0;
  bool nonzero = false;
  for (const char* p = buf + negative; p < e; ++p)
    if (*p != '.') {
      nonzero = nonzero || *p != '0';
      digits[n++] = *p;
    }
  if (negative && nonzero) out += '-';
  const std::size_t start = out.size();
  if (exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out.append(digits, n);
  } else {
    const auto int_digits = static_cast<std::size_t>(exponent) + 1;
    out.append(digits, int_digits);
    out += '.';
    out.append(digits + int_digits, n - int_digits);
    if (out.back() == '.') out += '0';
  }
  while (out.size() >= start + 2 && out.back() == '0' && out[out.size() - 2] != '.')
    out.pop_back();
}

class LdtOutput {
 public:
  void Line(std::string_view text) {
    // A line end inside a text would shift every line after it.
    for (char c : text)
      out_.push_back(c == '\r' || c == '\n' ? ' ' : c);
    out_ += "\r\n";
  }
  void Int(std::int64_t n) { Line(FormatInteger(n)); }
  void Number(Real x, int precision) {
    AppendEulumdatNumber(out_, x, precision);
    out_ += "\r\n";
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

void CheckWritable(const TLUM32& rec) {
  // The record's intensity routine has no A-alpha form: every value would be written as 0.
  CheckWritableTable(rec, "ldt", "EULUMDAT holds C planes");
  if (rec.Symmetry > 4)
    throw IoError("ldt: symmetry " + std::to_string(rec.Symmetry) +
                  " has no EULUMDAT form (0 to 4)");
  if (rec.Symmetry >= 2 && rec.NumPlanes < 2)
    throw IoError("ldt: symmetry " + std::to_string(rec.Symmetry) + " needs two C planes");
}

LdtGrid PlanGrid(const TLUM32& rec) {
  LdtGrid g;
  g.c_regular = (rec.GridFlags & kCIrregular) == 0 && Centi(rec.CStep) > 0;
  g.gamma_regular = (rec.GridFlags & kGammaIrregular) == 0 && Centi(rec.GStep) > 0;
  // One test decides the gamma count, the gamma block and the values alike.
  g.full_gamma = g.gamma_regular && RoundHalfEven(10.0L * rec.GFirst) != 0;
  const std::size_t ng = g.full_gamma
                             ? static_cast<std::size_t>(RoundHalfEven(180.0L / rec.GStep) + 1)
                             : rec.NumGammas;
  // A fine step over the full range could ask for more values than any reader takes back.
  if (std::string reason = CheckTableSize(rec.NumPlanes, static_cast<std::int64_t>(ng));
      g.full_gamma && !reason.empty())
    throw IoError("ldt: gamma 0 to 180 degrees at the step " + FormatAngle(rec.GStep) + ": " +
                  reason);
  // The stored angles as they are (a step known to a thousandth of a degree would drift over a
  // long list), or the full range at the step.
  g.gammas.resize(ng);
  for (std::size_t j = 1; j <= ng; ++j)
    g.gammas[j - 1] =
        g.full_gamma ? static_cast<float>(static_cast<Real>(j - 1) * rec.GStep) : rec.GetGamma(j);
  const std::size_t np = rec.NumPlanes;
  switch (rec.Symmetry) {
    case 0:
      g.mc = np;
      break;
    case 1:
      g.mc = 24;
      break;
    case 4:
      g.mc = 4 * (np - 1);
      break;
    default:
      g.mc = 2 * (np - 1);
      break;
  }
  return g;
}

// Line 2: the type indicator follows from the luminaire's shape.
char TypeIndicator(const TLUM32& rec) {
  const Real ratio =
      rec.LumDim.Width == 0 ? 500.0L : static_cast<Real>(rec.LumDim.Length) / rec.LumDim.Width;
  if (rec.LumDim.Diameter != 0 || ratio <= 1.5L) return rec.Symmetry == 1 ? '1' : '3';
  return '2';
}

// Line 12: the stored date / user text, or today's (or the file's) date and the editor.
std::string DateUserLine(TLUM32& rec) {
  if (!TrimView(rec.DateUser.view()).empty()) return rec.DateUser.str();
  if (rec.FileDate == 0) rec.FileDate = TodayAsDays();
  std::string text = FormatShortDate(rec.FileDate) + " / " + rec.Editor.str();
  rec.DateUser = text;
  return text;
}

// Lines 13 and 14 (16 and 17): length and width, or diameter and 0.
template <class Dims>
void WriteOutline(LdtOutput& out, const Dims& d) {
  out.Int(d.Diameter == 0 ? d.Length : d.Diameter);
  out.Int(d.Diameter == 0 ? d.Width : 0);
}

// Whole lumens as an integer; a fraction is kept rather than rounded away.
std::string FluxText(Real flux) {
  if (Real whole = std::rint(flux); std::fabs(flux - whole) < 5e-4L)
    return FormatInteger(RoundHalfEven(whole));
  return EulumdatNumber(flux, 7);
}

void WriteLampSets(LdtOutput& out, const TLUM32& rec) {
  const std::size_t sets = rec.NumLampSets < 5 ? rec.NumLampSets : 5;
  out.Int(static_cast<std::int64_t>(sets));
  for (std::size_t k = 0; k < sets; ++k) {
    const LampSetData& set = rec.LampSet[k];
    // Absolute photometry is marked by a negative count.
    const std::int64_t lamps = rec.LampCount(k);
    out.Int(rec.AbsolutePhotometry ? -std::max<std::int64_t>(lamps, 1) : lamps);
    out.Line(set.LampType.view());
    out.Line(FluxText(set.TotalFlux));
    out.Line(set.ColourAppearance.view());
    out.Line(set.ColourRendering.view());
    out.Int(set.Wattage);
  }
}

void WriteDirectRatios(LdtOutput& out, const TLUM32& rec) {
  for (int i = 0; i < 10; ++i) {
    if (static_cast<Real>(rec.LOR) * 100 == 0)
      out.Line("0.0");
    else
      out.Line(FormatPadded(rec.DirectRatio[i] / (10.0L * rec.LOR), 6, 5));
  }
}

// Block 28: the full circle, mirrored from the stored planes when they are irregular.
void WriteCAngles(LdtOutput& out, const TLUM32& rec, const LdtGrid& g) {
  const std::size_t np = rec.NumPlanes;
  auto c = [&](std::size_t i) { return static_cast<Real>(rec.GetCAngle(i)); };
  if (rec.Symmetry == 1) {
    for (int k = 0; k < 24; ++k)
      out.Int(15 * k);
    return;
  }
  if (rec.Symmetry == 0) {
    for (std::size_t i = 1; i <= np; ++i)
      out.Number(c(i), 7);
    return;
  }
  if (g.c_regular) {
    for (std::size_t i = 1; i <= g.mc; ++i)
      out.Number(static_cast<Real>(i - 1) * rec.CStep, 7);
    return;
  }
  if (rec.Symmetry == 2) {
    for (std::size_t i = 1; i <= np; ++i)
      out.Number(c(i), 7);
    for (std::size_t i = np - 1; i >= 2; --i)
      out.Number(360 - c(i), 7);
  } else if (rec.Symmetry == 3) {
    const std::size_t h = (np - 1) / 2;
    for (std::size_t i = h + 1; i >= 2; --i)
      out.Number(180 - c(i), 7);
    for (std::size_t i = 1; i <= np; ++i)
      out.Number(c(i), 7);
    for (std::size_t i = np - 1; i >= h + 2; --i)
      out.Number(540 - c(i), 7);
  } else {
    for (std::size_t i = 1; i <= np; ++i)
      out.Number(c(i), 7);
    for (std::size_t i = np - 1; i >= 1; --i)
      out.Number(180 - c(i), 7);
    for (std::size_t i = 2; i <= np; ++i)
      out.Number(180 + c(i), 7);
    for (std::size_t i = np - 1; i >= 2; --i)
      out.Number(360 - c(i), 7);
  }
}

// Block 30. Symmetry 3 lists its planes from C270 down to C90.
void WriteIntensities(LdtOutput& out, const TLUM32& rec, const LdtGrid& g) {
  const std::size_t np = rec.Symmetry == 1 ? 1 : rec.NumPlanes;
  for (std::size_t k = 1; k <= np; ++k) {
    const std::size_t i = rec.Symmetry == 3 ? np + 1 - k : k;
    Real c = g.c_regular ? static_cast<Real>(i - 1) * rec.CStep + rec.CFirst
                         : static_cast<Real>(rec.GetCAngle(i));
    if (rec.Symmetry == 1) c = 0;
    for (std::size_t j = 1; j <= g.gammas.size(); ++j) {
      // At the stored grid points of C-gamma data the interpolation returns the stored values;
      // B-beta data goes through the front end of Intensity.
      if (!g.full_gamma && (rec.PhotSystem == kSystemC || rec.Symmetry == 1))
        out.Number(rec.GetIntensity(i, j), 5);
      else
        out.Number(rec.Intensity(static_cast<float>(c), g.gammas[j - 1]), 5);
    }
  }
}

}  // namespace

std::string EulumdatNumber(long double x, int precision) {
  std::string s;
  AppendEulumdatNumber(s, x, precision);
  return s;
}

std::string EulumdatText(TLUM32& rec) {
  CheckWritable(rec);
  const LdtGrid g = PlanGrid(rec);
  LdtOutput out;

  out.Line(rec.Company.view());
  out.Line(std::string(1, TypeIndicator(rec)));
  out.Int(rec.Symmetry);
  if (rec.Symmetry == 1) {
    out.Line("24");
    out.Line("15");
  } else {
    out.Int(static_cast<std::int64_t>(g.mc));
    if (g.c_regular)
      out.Number(rec.CStep, 5);
    else
      out.Line("0.0");
  }
  out.Int(static_cast<std::int64_t>(g.gammas.size()));
  if (g.gamma_regular)
    out.Number(rec.GStep, 5);
  else
    out.Line("0.0");
  out.Line(rec.ReportNo2.view());
  out.Line(rec.LumName.view());
  out.Line(rec.LumNumber.view());
  out.Line(TrimView(rec.ShortName.view()));
  out.Line(DateUserLine(rec));

  WriteOutline(out, rec.LumDim);
  out.Int(rec.LumDim.Height);
  WriteOutline(out, rec.AreaDim);
  out.Int(rec.AreaDim.HeightC0);
  out.Int(rec.AreaDim.HeightC90);
  out.Int(rec.AreaDim.HeightC180);
  out.Int(rec.AreaDim.HeightC270);

  out.Int(RoundHalfEven(100.0L * rec.DFF));
  out.Line(FormatPadded(rec.LOR, 4, 1));
  out.Line("1.0");  // intensities are stored already multiplied by the file's factor
  out.Line("0.0");
  WriteLampSets(out, rec);
  WriteDirectRatios(out, rec);

  WriteCAngles(out, rec, g);
  for (float gamma : g.gammas)  // to the decimals each needs: 2.02 must not become 2.0
    out.Line(FormatAngle(gamma));
  WriteIntensities(out, rec, g);
  return out.Take();
}

}  // namespace lumatra
