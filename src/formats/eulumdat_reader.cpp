// EULUMDAT (.LDT) reader. EULUMDAT is the European luminaire data format: a text file with one
// value per line in a fixed order: header texts and numbers (lines 1 to 25), the lamp sets, ten
// direct ratios, the C angles, the gamma angles and the intensity table in cd/klm. The file lists
// the full circle of C planes; the record keeps only the planes the symmetry indicator requires.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/eulumdat.h"
#include "formats/grid_rules.h"
#include "formats/textio.h"
#include "model/lum32.h"
#include "support/findings.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

// Lines the LineReader would still return from `rest` (CR LF, LF and CR line ends): every LF,
// every CR not followed by LF, and the last line, which the last byte either ends or belongs to.
// One pass without branches.
std::size_t CountLines(std::string_view rest) {
  if (rest.empty()) return 0;
  std::size_t lines = 1;
  for (std::size_t i = 0; i + 1 < rest.size(); ++i)
    lines +=
        static_cast<std::size_t>((rest[i] == '\n') | ((rest[i] == '\r') & (rest[i + 1] != '\n')));
  return lines;
}

// ReadFloatLine, with a shortcut for the plain numbers that make up most of a file: a value
// without blanks and commas is parsed as it stands.
bool ReadValueLine(LineReader& in, double& value) {
  const std::string_view line = in.ReadLine();
  std::string_view text = TrimView(line);
  // A plain decimal ("12.5", "-3", "7.") reads the same with or without the steps below.
  if (ParsePlainDecimal(text, value)) return true;
  bool plain = true;
  for (char c : text)
    plain = plain && c != ' ' && c != ',';
  if (!plain) {
    LineReader one(line);
    return ReadFloatLine(one, value);
  }
  if (auto point = text.find('.'); point != std::string_view::npos && point + 1 == text.size())
    text.remove_suffix(1);
  return ParseNumber(text, value);
}

// The file's lines with the EULUMDAT line parsers; a failure names the line it happened on.
// With a findings collector it also reports the number lines it had to mend.
class LdtInput {
 public:
  LdtInput(std::string_view bytes, Findings* findings)
      : in_(bytes), total_lines_(CountLines(in_.Rest())), findings_(findings) {}

  Findings* Report() const { return findings_; }
  void Add(std::string_view code, Severity severity, std::string message, std::size_t line) {
    if (findings_) findings_->Add(code, severity, std::move(message), line);
  }
  // What follows the last intensity (only asked for by a check): the first line that holds
  // more than blanks, and how many such lines are numbers.
  std::size_t RestOfFile(std::size_t& numbers) {
    std::string_view line;
    std::size_t first = 0;
    numbers = 0;
    for (std::size_t n = line_ + 1; in_.Next(line); ++n) {
      const std::string_view text = TrimView(line);
      if (text.empty()) continue;
      if (first == 0) first = n;
      double v = 0;
      if (ParseNumber(text, v)) ++numbers;
    }
    return first;
  }

  std::string_view Text() {
    ++line_;
    return in_.ReadLine();
  }
  void Skip(std::size_t count) {
    for (std::size_t k = 0; k < count; ++k)
      Text();
  }
  // Lines after the last one read.
  std::size_t LinesLeft() const { return total_lines_ > line_ ? total_lines_ - line_ : 0; }

  // Counts are kept within 32 bits, so no count can wrap or overflow where it is used.
  bool Int(std::int64_t& value, std::string_view what) {
    if (!Required([&](LineReader& r) { return ReadIntLine(r, value); }, what)) return false;
    if (value < INT32_MIN || value > INT32_MAX) return Fail(std::string(what) + " is out of range");
    return true;
  }
  bool Float(double& value, std::string_view what) {
    if (findings_) return CheckedFloat(value, what);
    if (!Required([&](LineReader& r) { return ReadValueLine(r, value); }, what)) return false;
    if (!FitsFloat(value)) return Fail(std::string(what) + " is out of range");
    return true;
  }
  bool Dim(std::uint16_t& value, std::string_view what) {
    const std::string_view text = Peek();
    if (!Required([&](LineReader& r) { return ReadDimLine(r, value); }, what)) return false;
    if (findings_ && value == 0) ReportNotNumber(text, what, "0");
    return true;
  }
  // Float for a check: the line as written is looked at too.
  bool CheckedFloat(double& value, std::string_view what) {
    const std::string_view text = Peek();
    if (!Required([&](LineReader& r) { return ReadValueLine(r, value); }, what)) return false;
    if (!FitsFloat(value)) return Fail(std::string(what) + " is out of range");
    InspectNumber(text, what);
    return true;
  }
  // Lines whose failure the format tolerates.
  bool OptionalFloat(double& value) {
    ++line_;
    return ReadValueLine(in_, value);
  }
  bool OptionalDim(std::uint16_t& value) {
    ++line_;
    return ReadDimLine(in_, value);
  }
  // The next line, for a check to look at (empty without a collector).
  std::string_view Peek() const {
    if (!findings_) return {};
    LineReader ahead = in_;
    return ahead.ReadLine();
  }
  // A line that is not a number as it stands and was read as `as`.
  void ReportNotNumber(std::string_view text, std::string_view what, std::string_view as) {
    std::string_view t = TrimView(text);
    if (!t.empty() && t.back() == '.') t.remove_suffix(1);
    double v = 0;
    if (!findings_ || t.empty() || ParseNumber(t, v)) return;
    Add("ldt.not-a-number", Severity::kWarning,
        std::string(what) + " \"" + std::string(TrimView(text)) + "\" is not a number, read as " +
            std::string(as),
        line_);
  }

  // Sets the reason "ldt: line N: <reason>" for the line last read; always false.
  bool Fail(const std::string& reason) { return FailAt(line_, reason); }
  bool FailAt(std::size_t line, const std::string& reason) {
    error_ = "ldt: line " + std::to_string(line) + ": " + reason;
    return false;
  }
  // The number of the line last read.
  std::size_t Line() const { return line_; }
  bool FailWithoutLine(const std::string& reason) {
    error_ = "ldt: " + reason;
    return false;
  }
  const std::string& Error() const { return error_; }

 private:
  template <class Parse>
  bool Required(Parse parse, std::string_view what) {
    const bool past_end = in_.AtEnd();
    ++line_;
    if (parse(in_)) return true;
    if (past_end) return Fail("file ends before the " + std::string(what));
    return Fail(std::string(what) + " is not a number");
  }

  // The mended forms ReadFloatLine accepts: a decimal comma, a value followed by a word. Each
  // kind is reported once, on its first line, with how many lines have it.
  void InspectNumber(std::string_view text, std::string_view what) {
    const std::string_view t = TrimView(text);
    const std::size_t blank = t.find(' ');
    if (blank != std::string_view::npos)
      extra_text_.Add(*findings_, "ldt.text-after-number", Severity::kNote,
                      std::string(what) + " \"" + std::string(t) +
                          "\" holds more than a number; the first word is read",
                      line_);
    if (t.substr(0, blank).find(',') != std::string_view::npos)
      decimal_comma_.Add(*findings_, "ldt.decimal-comma", Severity::kNote,
                         std::string(what) + " \"" + std::string(t.substr(0, blank)) +
                             "\" has a decimal comma, read as a point",
                         line_);
  }

 public:
  // Adds the number of lines to the once-reported kinds.
  void Finish() {
    if (!findings_) return;
    for (const RepeatedFinding* r : {&extra_text_, &decimal_comma_})
      r->Finish(*findings_, "lines");
  }

 private:
  LineReader in_;
  std::size_t total_lines_;
  std::size_t line_ = 0;
  std::string error_;
  Findings* findings_;
  RepeatedFinding extra_text_, decimal_comma_;
};

// The numbers of the header that shape the rest of the file.
struct LdtLayout {
  std::int64_t mc = 0;  // C planes of the full circle, as listed in the C-angle block
  std::int64_t ng = 0;  // gamma angles per plane
  long double factor = 1.0L;
};

// Lines 1 to 12: texts, symmetry and grid counts.
bool ReadHead(LdtInput& in, TLUM32& rec, LdtLayout& layout) {
  rec.Company = in.Text();
  std::int64_t ityp = 0;
  if (!in.Int(ityp, "type indicator")) return false;
  rec.LumType = static_cast<std::uint8_t>(ityp & 0xFF);
  if (ityp < 1 || ityp > 3)
    in.Add("ldt.type-indicator", Severity::kNote,
           "type indicator " + std::to_string(ityp) +
               " is not 1 (point source), 2 (linear) or 3 (other); direct ratios treat it as a "
               "point source",
           in.Line());

  std::int64_t isym = 0;
  if (!in.Int(isym, "symmetry indicator")) return false;
  // A record with any other code has no EULUMDAT form and no interpolation.
  if (isym < 0 || isym > 4)
    return in.Fail("symmetry indicator " + std::to_string(isym) + " is not 0 to 4");
  rec.Symmetry = static_cast<std::uint8_t>(isym);

  if (!in.Int(layout.mc, "number of C planes")) return false;
  if (layout.mc < 1 || layout.mc > 65535)
    return in.Fail("number of C planes " + std::to_string(layout.mc) + " is out of range");
  double dc = 0.0;
  if (!in.Float(dc, "C-plane distance")) return false;
  if (dc < 0.0 || dc > 360.0) return in.Fail("C-plane distance is out of range");
  rec.CStep = static_cast<float>(dc);

  if (!in.Int(layout.ng, "number of gamma angles")) return false;
  if (layout.ng < 1 || layout.ng > 65535)
    return in.Fail("number of gamma angles " + std::to_string(layout.ng) + " is out of range");
  rec.NumGammas = static_cast<std::uint16_t>(layout.ng);
  double dg = 0.0;
  if (!in.Float(dg, "gamma distance")) return false;
  if (!AngleInRange(dg)) return in.Fail("gamma distance is out of range");
  rec.GStep = static_cast<float>(dg);

  const std::string_view report = in.Text();
  rec.ReportNo = report;
  rec.ReportNo2 = report;
  rec.LumName = in.Text();
  rec.LumNumber = in.Text();
  rec.DataFileName = in.Text();
  rec.DateUser = in.Text();
  return true;
}

// Lines 13 to 21. A width of 0 marks the length as a diameter.
bool ReadDimensions(LdtInput& in, TLUM32& rec) {
  static constexpr std::string_view kNames[8] = {"luminaire length",
                                                 "luminaire width",
                                                 "luminaire height",
                                                 "luminous area length",
                                                 "luminous area width",
                                                 "luminous area height at C0",
                                                 "luminous area height at C90",
                                                 "luminous area height at C180"};
  std::uint16_t d[9] = {};  // the record's fields are packed: read into aligned values first
  for (std::size_t k = 0; k < 8; ++k)
    if (!in.Dim(d[k], kNames[k])) return false;
  in.OptionalDim(d[8]);  // line 21 may be missing
  const bool lum_round = d[1] == 0, area_round = d[4] == 0;
  rec.LumDim.Length = lum_round ? 0 : d[0];
  rec.LumDim.Diameter = lum_round ? d[0] : 0;
  rec.LumDim.Width = d[1];
  rec.LumDim.Height = d[2];
  rec.AreaDim.Length = area_round ? 0 : d[3];
  rec.AreaDim.Diameter = area_round ? d[3] : 0;
  rec.AreaDim.Width = d[4];
  rec.AreaDim.HeightC0 = d[5];
  rec.AreaDim.HeightC90 = d[6];
  rec.AreaDim.HeightC180 = d[7];
  rec.AreaDim.HeightC270 = d[8];
  return true;
}

// Lines 22 to 25: DFF and LOR in percent, the intensity factor, the tilt (not kept).
bool ReadRatios(LdtInput& in, TLUM32& rec, LdtLayout& layout) {
  double dff = 0.0, lor = 0.0, factor = 0.0;
  if (!in.Float(dff, "downward flux fraction")) return false;
  rec.DFF = static_cast<float>(dff);
  const std::size_t dff_line = in.Line();
  if (!in.Float(lor, "light output ratio")) return false;
  rec.LOR = static_cast<float>(lor);
  if (Findings* report = in.Report()) {
    report->declared.dff_percent = dff;
    report->declared.dff_line = dff_line;
    report->declared.lor_percent = lor;
    report->declared.lor_line = in.Line();
  }
  if (!in.Float(factor, "conversion factor")) return false;
  layout.factor = RoundHalfEven(1000.0L * factor) == 0 ? 1.0L : static_cast<long double>(factor);
  if (RoundHalfEven(1000.0L * factor) == 0 && factor != 0)
    in.Add("ldt.factor", Severity::kWarning,
           "conversion factor " + Brief(factor) + " rounds to 0 and is taken as 1", in.Line());
  else if (factor == 0)
    in.Add("ldt.factor", Severity::kNote, "conversion factor 0 is taken as 1", in.Line());
  else if (layout.factor != 1)
    in.Add("ldt.factor", Severity::kNote,
           "intensities multiplied by the conversion factor " + Brief(factor), in.Line());
  in.Skip(1);
  return true;
}

bool ReadLampSet(LdtInput& in, TLUM32& rec, std::size_t k) {
  LampSetData& set = rec.LampSet[k];
  std::int64_t lamps = 0;
  if (!in.Int(lamps, "number of lamps")) return false;
  constexpr std::int64_t kMaxLamps = UINT32_MAX;
  if (lamps < -kMaxLamps || lamps > kMaxLamps)
    return in.Fail("number of lamps " + std::to_string(lamps) + " is out of range");
  // A negative count marks absolute photometry; the count itself is its magnitude.
  const std::int64_t count = lamps < 0 ? -lamps : lamps;
  rec.SetLampCount(k, static_cast<std::uint32_t>(count));
  if (lamps < 0) {
    rec.AbsolutePhotometry = 1;
    in.Add("ldt.absolute-photometry", Severity::kNote,
           "number of lamps " + std::to_string(lamps) +
               ": absolute photometry, intensities are candela of the luminaire per " +
               "1000 lm of the stated lamp flux",
           in.Line());
  }
  set.LampType = in.Text();
  double flux = 0.0;
  if (!in.Float(flux, "total lamp flux")) return false;
  set.TotalFlux = static_cast<float>(flux);
  // No lamps: the set's flux is all there is to share.
  set.FluxPerLamp = static_cast<float>(static_cast<long double>(flux) / (count == 0 ? 1 : count));
  set.ColourAppearance = in.Text();
  set.ColourRendering = in.Text();
  double watts = 0.0;
  const std::string_view watt_text = in.Peek();
  set.Wattage = in.OptionalFloat(watts) ? ToU16(RoundHalfEven(watts)) : 1;
  in.ReportNotNumber(watt_text, "wattage", "1 W");
  return true;
}

// Line 26 and the six lines of each set; the record keeps five sets.
bool ReadLampSets(LdtInput& in, TLUM32& rec) {
  std::int64_t sets = 0;
  if (!in.Int(sets, "number of lamp sets")) return false;
  if (sets < 0) return in.Fail("number of lamp sets is negative");
  if (static_cast<std::uint64_t>(sets) > in.LinesLeft() / 6)
    return in.Fail("declares " + std::to_string(sets) + " lamp sets, file holds " +
                   std::to_string(in.LinesLeft()) + " more lines");
  rec.NumLampSets = static_cast<std::uint8_t>(sets < 5 ? sets : 5);
  if (sets > 5)
    in.Add("ldt.lamp-sets-dropped", Severity::kWarning,
           "declares " + std::to_string(sets) + " lamp sets; the first 5 are kept", in.Line());
  for (std::size_t k = 0; k < rec.NumLampSets; ++k)
    if (!ReadLampSet(in, rec, k)) return false;
  in.Skip(6 * static_cast<std::size_t>(sets - rec.NumLampSets));
  return true;
}

// Mc planes at Dc must make the full circle; when they do not, one of the two is wrong and the
// listed C angles decide, as for Dc = 0.
bool StepClosesTheCircle(const TLUM32& rec, const LdtLayout& layout) {
  if (rec.Symmetry == 1) return true;  // one plane whatever the grid
  return Centi(static_cast<long double>(layout.mc) * rec.CStep) == 36000;
}

// How many planes the record stores, and which part of the circle they cover.
bool PlanStoredPlanes(LdtInput& in, TLUM32& rec, const LdtLayout& layout) {
  const bool c_regular = (rec.GridFlags & kCIrregular) == 0;
  const std::int64_t mc = layout.mc;
  auto half_circle_planes = [&](long double span) { return RoundHalfEven(span / rec.CStep) + 1; };
  std::int64_t planes = 0;
  switch (rec.Symmetry) {
    case 0:
      planes = mc;
      if (c_regular) {
        rec.CFirst = 0.0f;
        rec.CLast = 360.0f - rec.CStep;
      }
      break;
    case 1:
      planes = 1;
      rec.CFirst = rec.CLast = rec.CStep = 0.0f;
      break;
    case 2:
    case 3:
      planes = c_regular ? half_circle_planes(180) : mc / 2 + 1;
      rec.CFirst = rec.Symmetry == 2 ? 0.0f : 90.0f;
      rec.CLast = rec.CFirst + 180.0f;
      break;
    default:
      planes = c_regular ? half_circle_planes(90) : mc / 4 + 1;
      rec.CFirst = 0.0f;
      rec.CLast = 90.0f;
      break;
  }
  // Refused by the line the plane count comes from: Mc (line 4), or a tiny Dc (line 5).
  const bool from_dc = c_regular && rec.Symmetry >= 2;
  if (const std::string fault = CheckTableSize(planes, rec.NumGammas); !fault.empty())
    return in.FailAt(from_dc ? 5 : 4, fault);
  rec.NumPlanes = static_cast<std::uint16_t>(planes);
  if (rec.Symmetry >= 2 && rec.NumPlanes < 2)
    return in.Fail("symmetry " + std::to_string(rec.Symmetry) + " needs at least two C planes");

  // Every line still to come holds one value: never allocate more than the file can fill.
  const std::uint64_t cells = std::uint64_t{rec.NumPlanes} * rec.NumGammas;
  const std::uint64_t needed = cells + static_cast<std::uint64_t>(layout.mc + layout.ng);
  const std::size_t left = in.LinesLeft();
  if (needed > left)
    return in.FailWithoutLine("declares " + std::to_string(rec.NumPlanes) + " x " +
                              std::to_string(rec.NumGammas) + " intensities (" +
                              std::to_string(needed) + " lines with the angles), file holds " +
                              std::to_string(left));
  rec.Matrix = std::make_unique<TSglArray>(rec.NumPlanes + 1u, rec.NumGammas + 1u);
  return true;
}

bool Ascending(const TLUM32& rec, std::size_t count, bool gammas) {
  for (std::size_t k = 2; k <= count; ++k) {
    float prev = gammas ? rec.GetGamma(k - 1) : rec.GetCAngle(k - 1);
    float next = gammas ? rec.GetGamma(k) : rec.GetCAngle(k);
    if (!(next > prev)) return false;
  }
  return true;
}

// Dc = 0 with evenly spaced angles that cover the stored range exactly as a regular grid would:
// keep the step, so writers and the regular interpolators can use it.
bool IrregularListIsRegular(const TLUM32& rec) {
  if ((rec.GridFlags & kCIrregular) != 0 || Centi(rec.MinCStep) <= 0) return false;
  const std::int64_t first = Centi(rec.GetCAngle(1));
  const std::int64_t last = Centi(rec.GetCAngle(rec.NumPlanes));
  if (rec.Symmetry == 0)
    return first == 0 && Centi(static_cast<long double>(rec.NumPlanes) * rec.MinCStep) == 36000;
  return first == Centi(rec.CFirst) && last == Centi(rec.CLast);
}

// A regular grid takes its C angles from Dc and skips the listed ones: a check compares them.
void CompareListedCAngles(LdtInput& in, float dc, std::size_t mc) {
  bool reported = false;
  for (std::size_t k = 0; k < mc; ++k) {
    double angle = 0.0;
    const bool number = in.OptionalFloat(angle);
    const long double expected = static_cast<long double>(k) * dc;
    if (reported || (number && Centi(angle) == Centi(expected))) continue;
    reported = true;
    in.Add("ldt.dc-mismatch", Severity::kWarning,
           "C angle " + std::to_string(k + 1) + " is listed as " + Brief(angle) + ", Dc " +
               Brief(dc) + " puts it at " + Brief(expected) + "; the angles of Dc are used",
           in.Line());
  }
}

// Line block 28: the C angles of the full circle. A regular grid computes its angles instead.
bool ReadCAngles(LdtInput& in, TLUM32& rec, const LdtLayout& layout) {
  const auto mc = static_cast<std::size_t>(layout.mc);
  if ((rec.GridFlags & kCIrregular) == 0) {
    if (in.Report() && rec.Symmetry != 1)
      CompareListedCAngles(in, rec.CStep, mc);
    else
      in.Skip(mc);
    rec.MinCStep = rec.CStep;
    return true;
  }
  const std::size_t skip_before = rec.Symmetry == 3 ? mc / 4 : 0;
  in.Skip(skip_before);
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    double angle = 0.0;
    in.OptionalFloat(angle);  // a value that does not parse counts as 0
    if (!AngleInRange(angle))
      return in.Fail("C angle " + NumberText(angle) + " is outside -360 to 720");
    rec.SetValue(i, 0, static_cast<float>(angle));
  }
  in.Skip(mc - skip_before - rec.NumPlanes);
  if (!Ascending(rec, rec.NumPlanes, false)) return in.Fail("C angles do not ascend");

  rec.CFirst = rec.GetCAngle(1);
  rec.MinCStep = rec.CStepDetect();
  rec.CStep = 0.0f;
  switch (rec.Symmetry) {
    case 0:
      rec.CFirst = 0.0f;
      rec.CLast = rec.GetCAngle(rec.NumPlanes);
      break;
    case 1:
      rec.CFirst = rec.CLast = 0.0f;
      break;
    default:
      break;  // the stored half or quarter circle as planned
  }
  if (rec.Symmetry != 1 && IrregularListIsRegular(rec)) rec.CStep = rec.MinCStep;
  return true;
}

// Dg against the listed gamma angles, and a range other than 0-90, 0-180 or 90-180.
void CheckGammaList(LdtInput& in, const TLUM32& rec, float declared_dg) {
  const std::size_t first_line = in.Line() + 1 - rec.NumGammas;
  const bool irregular = (rec.GridFlags & kGammaIrregular) != 0;
  if (Centi(declared_dg) != 0 && (irregular || Centi(declared_dg) != Centi(rec.GStep)))
    in.Add("ldt.dg-mismatch", Severity::kWarning,
           "Dg " + Brief(declared_dg) + " disagrees with the listed gamma angles (" +
               (irregular ? std::string("irregular steps") : "step " + Brief(rec.GStep)) +
               "); the listed angles are used",
           7);
  const std::int64_t first = Centi(rec.GetGamma(1)), last = Centi(rec.GetGamma(rec.NumGammas));
  if (first == 9000 && last == 18000)
    in.Add("ldt.gamma-range", Severity::kNote,
           "gamma angles run from 90 to 180: the file holds the upper half only", first_line);
  else if (first != 0 || (last != 9000 && last != 18000))
    in.Add("ldt.gamma-range", Severity::kWarning,
           "gamma angles run from " + Brief(rec.GetGamma(1)) + " to " +
               Brief(rec.GetGamma(rec.NumGammas)) + ", not 0-90, 0-180 or 90-180",
           first_line);
}

// Line block 29.
bool ReadGammaAngles(LdtInput& in, TLUM32& rec) {
  for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
    double angle = 0.0;
    if (!in.Float(angle, "gamma angle")) return false;
    if (!AngleInRange(angle))
      return in.Fail("gamma angle " + NumberText(angle) + " is outside -360 to 720");
    rec.SetValue(0, j, static_cast<float>(angle));
  }
  if (!Ascending(rec, rec.NumGammas, true)) return in.Fail("gamma angles do not ascend");
  const float declared_dg = rec.GStep;
  rec.GStep = rec.GammaStepDetect();
  if (in.Report()) CheckGammaList(in, rec, declared_dg);
  rec.MinGStep = rec.GStep;
  rec.GFirst = rec.GetGamma(1);
  rec.GLast = rec.GetGamma(rec.NumGammas);
  return true;
}

// Line block 30: plane by plane, gamma by gamma. Symmetry 3 lists C90 last: its first block
// lands in the plane at C270.
bool ReadIntensities(LdtInput& in, TLUM32& rec, const LdtLayout& layout) {
  const std::size_t np = rec.NumPlanes;
  for (std::size_t k = 1; k <= np; ++k) {
    const std::size_t plane = rec.Symmetry == 3 ? np + 1 - k : k;
    for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
      double value = 0.0;
      bool ok = in.Float(value, "intensity");
      // The float is taken at once: the long double kept across the calls below would be stored
      // and loaded again, which costs more than the rest of the value's way into the table.
      const long double stored = static_cast<long double>(value) * layout.factor;
      const bool fits = FitsFloat(stored);
      const float cell = fits ? static_cast<float>(stored) : 0.0f;
      if (ok && !fits) ok = in.Fail("intensity is out of range");
      if (!ok) {
        rec.Matrix.reset();
        return false;
      }
      rec.SetValue(plane, j, cell);
    }
  }
  return true;
}

// Block 27: recomputed for every output; a check keeps the declared ones to compare.
void ReadDirectRatios(LdtInput& in) {
  Findings* report = in.Report();
  if (!report) return in.Skip(10);
  std::array<double, 10> ratios{};
  report->declared.direct_ratios_line = in.Line() + 1;
  bool all = true;
  for (double& ratio : ratios)
    all = in.OptionalFloat(ratio) && all;
  if (all) report->declared.direct_ratios = ratios;
}

// Numbers after the table mean that the counts do not fit the data, most often a file that lists
// every plane of the circle while its symmetry indicator reads fewer.
void ReportRest(LdtInput& in, const TLUM32& rec, const LdtLayout& layout) {
  std::size_t numbers = 0;
  const std::size_t line = in.RestOfFile(numbers);
  if (line == 0) return;
  if (numbers == 0) {
    in.Add("ldt.text-after-table", Severity::kNote,
           "text follows the last intensity; it is ignored", line);
    return;
  }
  in.Add("ldt.extra-values", Severity::kWarning,
         std::to_string(numbers) + " more numbers follow the last intensity and are ignored: " +
             "symmetry " + std::to_string(rec.Symmetry) + " reads " +
             std::to_string(rec.NumPlanes) + (rec.NumPlanes == 1 ? " plane" : " planes") + " of " +
             std::to_string(rec.NumGammas) + " values (Mc " + std::to_string(layout.mc) + ")",
         line);
}

bool ParseLdt(LdtInput& in, TLUM32& rec) {
  LdtLayout layout;
  if (!ReadHead(in, rec, layout) || !ReadDimensions(in, rec) || !ReadRatios(in, rec, layout) ||
      !ReadLampSets(in, rec))
    return false;
  ReadDirectRatios(in);

  rec.GridFlags = 0;
  if (Centi(rec.GStep) == 0) rec.GridFlags |= kGammaIrregular;
  if (Centi(rec.CStep) == 0 || !StepClosesTheCircle(rec, layout)) rec.GridFlags |= kCIrregular;
  if (Centi(rec.CStep) != 0 && !StepClosesTheCircle(rec, layout))
    in.Add("ldt.dc-mismatch", Severity::kWarning,
           "Dc " + Brief(rec.CStep) + " with Mc " + std::to_string(layout.mc) +
               " planes does not close the circle; the listed C angles are used",
           5);
  if (!PlanStoredPlanes(in, rec, layout) || !ReadCAngles(in, rec, layout) ||
      !ReadGammaAngles(in, rec))
    return false;
  if (Centi(rec.CStep) != 0)
    for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
      rec.SetValue(i, 0,
                   static_cast<float>(static_cast<long double>(i - 1) * rec.CStep + rec.CFirst));
  if (!ReadIntensities(in, rec, layout)) return false;
  if (in.Report()) ReportRest(in, rec, layout);

  rec.PhotSystem = kSystemC;
  return true;
}

}  // namespace

bool ParseEulumdat(TLUM32& rec, std::string_view text, Findings* findings) {
  LdtInput in(text, findings);
  const bool ok = ParseLdt(in, rec);
  in.Finish();
  rec.ReadError = in.Error();
  return ok;
}

}  // namespace lumatra
