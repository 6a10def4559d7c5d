// CIE 102 writer.
#include <string>

#include "formats/cie.h"
#include "formats/textio.h"
#include "formats/writable_table.h"
#include "model/lum32.h"
#include "support/rounding.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

constexpr std::size_t kMaxListLine = 78;
constexpr std::size_t kLumnLineLength = 86;
constexpr std::size_t kLampLineLength = 46;

class CieOut : public ValueListLines {
 public:
  void Key(std::string_view key, std::string_view value) {
    Line(std::string(key) + "= " + std::string(value));
  }
  void StartList(std::string head) { pending_ = std::move(head); }

 private:
  // Values two blanks apart; a line that would grow beyond 78 characters is written and the
  // value starts the next one.
  void Append(const std::string& text) override {
    std::string next = pending_;
    if (!next.empty()) next += ' ';
    next += ' ';
    next += text;
    if (next.size() > kMaxListLine && !pending_.empty()) {
      Line(pending_);
      next = text;
    }
    pending_ = std::move(next);
  }
};

std::string Int(std::int64_t n) {
  return FormatInteger(n);
}

// Areas in square metres with three decimals.
std::string Area(long double m2) {
  return FormatFixed(m2, 7, 3);
}

void WriteAreas(const TLUM32& rec, CieOut& out) {
  const long double length = rec.AreaDim.Length / 1000.0L;
  const long double width = rec.AreaDim.Width / 1000.0L;
  const long double diameter = rec.AreaDim.Diameter / 1000.0L;
  const long double h0 = rec.AreaDim.HeightC0 / 1000.0L;
  const long double h90 = rec.AreaDim.HeightC90 / 1000.0L;
  const bool round = rec.AreaDim.Diameter != 0;
  out.Key("LSHP", round ? "3" : "7");
  out.Key("NLAV", rec.AreaDim.HeightC0 == 0 ? "1" : "3");
  const long double bottom = round ? (diameter / 2) * (diameter / 2) * 3.1415L : length * width;
  out.Key("LA01", Area(bottom) + ", 0, 0");
  if (rec.AreaDim.HeightC0 == 0) return;
  out.Key("LA02", Area(round ? diameter * h0 : length * h0) + ", 0, 90");
  out.Key("LA03", Area(round ? diameter * h90 : width * h90) + ", 90, 90");
}

}  // namespace

std::string CieText(TLUM32& rec) {
  // "APOS= A1" would be written, and the reader refuses A-alpha files.
  CheckWritableTable(rec, "cie", "read back are C-gamma and B-beta");
  CieOut out;
  const LampSetData& lamp = rec.LampSet[0];
  out.Line("CIEF= CIE FileFormat, Version 1.0");
  out.Key("IDNM", JustName(rec.FileName));
  out.Line(("LUMN= " + rec.LumName.str()).substr(0, kLumnLineLength));
  out.Line(("LAMP= " + lamp.LampType.str()).substr(0, kLampLineLength));
  // The lamps and flux of every set: the intensities are relative to all of them.
  out.Key("NLPS", Int(static_cast<std::int64_t>(rec.TotalLampCount())));
  out.Key("TOLU", Int(RoundHalfEven(rec.TotalLampFlux())));
  out.Key("LLGE", "2");
  out.Key("BLID", "");
  out.Key("INPW", Int(lamp.Wattage));
  out.Key("INVO", "");
  out.Key("INVA", "");
  out.Key("TLME", FormatF(rec.Tm14Extra));
  WriteAreas(rec, out);
  out.Key("PHOT", "INCLUDE");
  // The photometric system is declared as it is, so a B-beta table is not read back as C-gamma.
  const std::string_view system = rec.PhotSystem == kSystemB ? "B" : "C";
  out.Key("PTYP", system);
  out.Key("APOS", std::string(system) + "1");
  out.Key("LUBA", "1000");
  out.Key("MULT", "1");
  out.Key("BAFA", "1");
  out.Key("NCON", Int(rec.NumGammas));
  out.Key("NPLA", Int(rec.NumPlanes));

  out.StartList("CONA=");
  for (std::size_t j = 1; j <= rec.NumGammas; ++j)
    out.Angle(rec.GetGamma(j));
  out.EndList();
  out.SetNearZero(NearZeroOf(rec));
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    out.StartList(FormatAngle(rec.GetCAngle(i)));
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      out.Intensity(rec.GetIntensity(i, j));
    out.EndList();
  }
  return out.Take();
}

}  // namespace lumatra
