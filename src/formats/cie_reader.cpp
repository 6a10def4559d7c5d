// CIE 102 reader.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "formats/cie.h"
#include "formats/grid_rules.h"
#include "formats/textio.h"
#include "formats/value_lists.h"
#include "model/lum32.h"
#include "support/findings.h"
#include "support/messages.h"
#include "support/rounding.h"
#include "support/short_date.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

constexpr std::string_view kConversionNote = " converted by Lumatra";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

bool Fail(TLUM32& rec, std::string reason) {
  rec.ReadError = std::move(reason);
  return false;
}

// The three faults of a CIE file are reported to the user as well.
bool Refuse(TLUM32& rec, std::string_view message, std::string reason) {
  Messages().ShowError(message);
  return Fail(rec, std::move(reason));
}

bool HasSignature(std::string_view first_line) {
  const std::string upper = UpperCase(first_line);
  for (std::string_view word : {"CIE", "FILE", "FORMAT", "VERSION"})
    if (upper.find(word) == std::string::npos) return false;
  return true;
}

// Symmetry of a C-gamma table from its first and last C angle (hundredths of a degree), and
// whether its planes must be mirrored into the range the record stores for that symmetry (then
// with the new first and last angle).
struct CLayout {
  std::uint8_t symmetry;
  bool remap = false;
  float c_first = 0, c_last = 0;
};

std::optional<CLayout> LayoutOf(std::int64_t first, std::int64_t last) {
  if (first == 0) {
    if (last == 0) return CLayout{1};
    if (last == 9000) return CLayout{4};
    if (last == 18000) return CLayout{2};
    return CLayout{0};
  }
  if (first == 9000) {
    if (last == 9000) return CLayout{1};
    if (last == 18000) return CLayout{4, true, 0, 90};
    if (last == 27000) return CLayout{3};
    return CLayout{0};
  }
  if (first == 27000 && last == 9000) return CLayout{3, true, 90, 270};
  return std::nullopt;  // the symmetry stays as it is
}

// C90..C180 or C270..C90 planes mirrored into C0..C90 or C90..C270: C' = 180 - C, taken into
// 0..360, with the order of the planes reversed so that the angles ascend.
void MirrorPlanes(const TSglArray& from, TSglArray& to, std::size_t planes, std::size_t gammas) {
  for (std::size_t j = 0; j <= gammas; ++j)
    to.SetValue(0, j, from.GetValue(0, j));
  for (std::size_t i = 1; i <= planes; ++i) {
    const std::size_t source = planes + 1 - i;
    long double c = 540.0L - from.GetValue(source, 0);
    if (c >= 360.0L) c -= 360.0L;
    to.SetValue(i, 0, static_cast<float>(c));
    for (std::size_t j = 1; j <= gammas; ++j)
      to.SetValue(i, j, from.GetValue(source, j));
  }
}

// True when the planes were mirrored (stored in reverse order of the file).
bool SetCGamma(TLUM32& rec, std::unique_ptr<TSglArray> table) {
  const std::size_t planes = rec.NumPlanes;
  rec.CFirst = table->GetValue(1, 0);
  rec.CLast = table->GetValue(planes, 0);
  rec.GFirst = table->GetValue(0, 1);
  rec.GLast = table->GetValue(0, rec.NumGammas);
  const std::optional<CLayout> layout = LayoutOf(Centi(rec.CFirst), Centi(rec.CLast));
  if (layout) rec.Symmetry = layout->symmetry;
  rec.PhotSystem = kSystemC;
  if (layout && layout->remap) {
    rec.CFirst = layout->c_first;
    rec.CLast = layout->c_last;
    rec.Matrix = std::make_unique<TSglArray>(table->Rows(), table->Columns());
    MirrorPlanes(*table, *rec.Matrix, planes, rec.NumGammas);
    return true;
  }
  rec.Matrix = std::move(table);
  return false;
}

// B-beta: the file's planes stay rows.
void SetBBeta(TLUM32& rec, std::unique_ptr<TSglArray> table) {
  rec.CFirst = table->GetValue(1, 0);
  rec.GFirst = table->GetValue(0, 1);
  rec.Symmetry = SymmetryOfBGrid(rec.CFirst, rec.GFirst);
  rec.GLast = table->GetValue(0, rec.NumGammas);
  rec.CLast = table->GetValue(rec.NumPlanes, 0);
  rec.PhotSystem = kSystemB;
  rec.Matrix = std::move(table);
}

// The planes as stored (after any mirroring) must ascend; a fault names the line of the file's
// plane (`plane_lines` in stored order).
std::string CheckStoredPlanes(const TLUM32& rec, const std::vector<std::size_t>& plane_lines) {
  std::vector<double> stored(rec.NumPlanes);
  for (std::size_t i = 0; i < stored.size(); ++i)
    stored[i] = rec.GetCAngle(i + 1);
  std::size_t at = 0;
  const std::string fault = CheckAngleList(stored, "C angles", false, &at);
  if (fault.empty()) return {};
  return AtLine("cie", plane_lines[at + 1]) + fault;
}

void ReadHeaderFields(TLUM32& rec, LineReader& in, std::string_view first_line) {
  rec.Company = "NN";
  rec.LumName = FindCieKey(in, "LUMN");
  rec.LumNumber = FindCieKey(in, "IDNM");
  rec.ShortName = (JustName(rec.FileName) + ".LDT").substr(0, 12);
  rec.DateUser =
      FormatShortDate(TodayAsDays()) + " " + std::string(first_line) + std::string(kConversionNote);
  rec.NumLampSets = 1;
  LampSetData& lamp = rec.LampSet[0];
  lamp.LampType = FindCieKey(in, "LAMP");
  // No lamps makes no sense for a flux per lamp: taken as one, as the other readers do.
  const std::int64_t lamps =
      std::clamp<std::int64_t>(StrToIntOrZero(FindCieKey(in, "NLPS")), 1, UINT32_MAX);
  rec.SetLampCount(0, static_cast<std::uint32_t>(lamps));
  const long double flux = StrToFloatOrZero(FindCieKey(in, "TOLU"));
  lamp.TotalFlux = static_cast<float>(flux);
  lamp.FluxPerLamp = static_cast<float>(flux / static_cast<long double>(lamps));
  lamp.Wattage = ToU16(RoundHalfEven(StrToFloatOrZero(FindCieKey(in, "INPW"))));
}

}  // namespace

std::string FindCieKey(LineReader& in, std::string_view key) {
  in.Rewind();
  std::string_view line;
  while (in.Next(line)) {
    const std::size_t eq = line.find('=');
    if (!EqualsIgnoringCase(TrimView(line.substr(0, eq)), key)) continue;
    if (eq == std::string_view::npos) return {};
    std::string_view value = line.substr(eq + 1);
    value = value.substr(0, value.find('='));
    return Trim(value);
  }
  return {};
}

bool ParseCie(TLUM32& rec, std::string_view text, Findings* findings) {
  ClearKeepingName(rec);
  LineReader in(text);
  const std::string first_line = Trim(in.ReadLine());
  if (!HasSignature(first_line)) return Fail(rec, "cie: first line is not a CIE file signature");

  // An empty or unknown APOS is taken as C-gamma, the system the writer declares.
  const std::string apos = UpperCase(FindCieKey(in, "APOS"));
  const std::uint8_t system = !apos.empty() && apos[0] == 'B' ? kSystemB : kSystemC;
  if (!apos.empty() && apos[0] == 'A')
    return Refuse(rec, "no A-alpha supported", "cie: A-alpha photometry is not supported");
  const std::int64_t planes = StrToIntOrZero(FindCieKey(in, "NPLA"));
  const std::int64_t gammas = StrToIntOrZero(FindCieKey(in, "NCON"));
  if (UpperCase(FindCieKey(in, "PHOT")) != "INCLUDE")
    return Refuse(rec, "data not included", "cie: PHOT is not INCLUDE");
  if (const std::string fault = CheckTableSize(planes, gammas); !fault.empty())
    return Refuse(
        rec, "data is missing",
        "cie: NPLA " + FormatInteger(planes) + " and NCON " + FormatInteger(gammas) + ": " + fault);
  // A file that declares a multiplier means it; 0 or no number reads as 1.
  long double mult = StrToFloatOrZero(FindCieKey(in, "MULT"));
  if (mult == 0) mult = 1;
  if (findings && mult != 1)
    findings->Add("cie.multiplier", Severity::kNote,
                  "intensities multiplied by MULT " + Brief(mult), 0);
  if (findings && !apos.empty() && apos[0] != 'B' && apos[0] != 'C')
    findings->Add("cie.apos", Severity::kWarning,
                  "APOS \"" + apos.substr(0, 20) + "\" names no photometric system; read as C", 0);

  const std::string cona = FindCieKey(in, "CONA");  // leaves `in` after the CONA line
  const auto np = static_cast<std::size_t>(planes);
  const auto ng = static_cast<std::size_t>(gammas);
  const std::size_t needed = ng + np * (ng + 1);
  ValueStream values(in, cona);
  values.Watch(findings, "cie");
  const std::size_t held = values.WordsAhead(needed);
  if (held < needed)
    return Refuse(rec, "data is missing",
                  "cie: declared " + FormatInteger(planes) + " planes x " + FormatInteger(gammas) +
                      " angles need " + FormatInteger(static_cast<std::int64_t>(needed)) +
                      " numbers, file holds " + FormatInteger(static_cast<std::int64_t>(held)));

  auto table = std::make_unique<TSglArray>(np + 1, ng + 1);
  std::vector<double> angles;
  if (const std::string fault = ReadAngleList(values, ng, "gamma angles", angles); !fault.empty())
    return Fail(rec, "cie: " + fault);
  for (std::size_t j = 0; j < ng; ++j)
    table->SetValue(0, j + 1, static_cast<float>(angles[j]));
  std::vector<std::size_t> plane_lines(np + 1);
  for (std::size_t i = 1; i <= np; ++i) {
    const double c = values.Next();
    plane_lines[i] = values.Line();
    if (!AngleInRange(c))
      return Fail(rec, AtLine("cie", values.Line()) + "C angle " + NumberText(c) +
                           " is outside -360 to 720");
    table->SetValue(i, 0, static_cast<float>(c));
    for (std::size_t j = 1; j <= ng; ++j) {
      const long double v = values.Next() * mult;
      if (!FitsFloat(v)) return Fail(rec, AtLine("cie", values.Line()) + "intensity out of range");
      table->SetValue(i, j, static_cast<float>(v));
    }
  }

  values.Finish();
  if (findings)
    if (std::size_t numbers = 0; const std::size_t line = values.TakeRest(numbers))
      findings->Add(numbers ? "cie.extra-values" : "cie.text-after-table",
                    numbers ? Severity::kWarning : Severity::kNote,
                    numbers ? FormatInteger(static_cast<std::int64_t>(numbers)) +
                                  " more numbers follow the last intensity and are ignored: "
                                  "NPLA and NCON do not fit the data"
                            : std::string("text follows the last intensity; it is ignored"),
                    line);
  rec.NumPlanes = static_cast<std::uint16_t>(np);
  rec.NumGammas = static_cast<std::uint16_t>(ng);
  if (system == kSystemB)
    SetBBeta(rec, std::move(table));
  else if (SetCGamma(rec, std::move(table)))
    std::reverse(plane_lines.begin() + 1, plane_lines.end());
  if (const std::string fault = CheckStoredPlanes(rec, plane_lines); !fault.empty())
    return Fail(rec, fault);
  rec.CStep = rec.CStepDetect();
  rec.GStep = rec.GammaStepDetect();
  rec.MinCStep = rec.CStep;
  rec.MinGStep = system == kSystemB ? std::min(+rec.GStep, +rec.CStep) : rec.GStep;
  ReadHeaderFields(rec, in, first_line);
  return true;
}

}  // namespace lumatra
