// CIBSE TM14 writer, with the projected-area line and the optional CIBSE/2 block.
#include <string>

#include "formats/textio.h"
#include "formats/tm14.h"
#include "formats/writable_table.h"
#include "model/lum32.h"

namespace lumatra {

namespace {

// Lines of a value list grow while shorter than this many characters.
constexpr std::size_t kListLineLength = 65;
constexpr std::size_t kLampLineLength = 70;

// Value 255 of the glare table: not available.
constexpr std::uint8_t kGlareNotAvailable = 255;

class Tm14Out : public ValueListLines {
 private:
  // One value of a list and a blank; a line at its length is written first.
  void Append(const std::string& text) override {
    if (pending_.size() >= kListLineLength) EndList();
    pending_ += text;
    pending_ += ' ';
  }
};

// G(x): fixed point with 3 decimals.
std::string G(long double x) {
  return FormatFixed(x, 7, 3);
}

std::string Int(std::int64_t n) {
  return FormatInteger(n);
}

void WriteHeader(const TLUM32& rec, Tm14Out& out) {
  const LampSetData& lamp = rec.LampSet[0];
  // The lamps of every set: the intensities are relative to all of them.
  const std::string lamps = Int(static_cast<std::int64_t>(rec.TotalLampCount()));
  out.Line("CIBSE/1");
  out.Line(rec.ReportNo2.view());
  out.Line(rec.LumNumber.view());
  out.Line(rec.LumName.view());
  out.Line((lamps + " x " + lamp.LampType.str()).substr(0, kLampLineLength));
  out.Line(FormatWholeOrDecimals(rec.TotalLampFlux(), 7) + " lm");
  out.Line(rec.ReportNo2.view());
  out.Line(rec.ReportNo.view());

  std::string dims;
  if (rec.LumDim.Diameter == 0)
    dims = G(rec.LumDim.Width / 1000.0L) + " " + G(rec.LumDim.Length / 1000.0L) + " " +
           G(rec.LumDim.Height / 1000.0L);
  else
    dims = G(rec.LumDim.Diameter / 1000.0L) + " 0 0";
  out.Line(lamps + " " + Int(rec.PhotSystem + 1) + " " + dims);
  out.Line("1.0 " + Int(lamp.Wattage) + " " + Int(lamp.Wattage));
  out.Line("0");
}

// C-gamma: the gamma list, the C list, then one list per plane (row).
void WriteCGammaLists(const TLUM32& rec, Tm14Out& out) {
  out.Line(Int(rec.NumGammas) + " " + Int(rec.NumPlanes));
  for (std::size_t j = 1; j <= rec.NumGammas; ++j)
    out.Angle(rec.GetGamma(j));
  out.EndList();
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    out.Angle(rec.GetCAngle(i));
  out.EndList();
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      out.Intensity(rec.GetIntensity(i, j));
    out.EndList();
  }
}

// B-beta records are held transposed (the file's planes are the columns), so they are written
// back column by column: the file then reads back into the same table.
void WriteBBetaLists(const TLUM32& rec, Tm14Out& out) {
  out.Line(Int(rec.NumPlanes) + " " + Int(rec.NumGammas));
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    out.Angle(rec.GetCAngle(i));
  out.EndList();
  for (std::size_t j = 1; j <= rec.NumGammas; ++j)
    out.Angle(rec.GetGamma(j));
  out.EndList();
  for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
    for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
      out.Intensity(rec.GetIntensity(i, j));
    out.EndList();
  }
}

void WriteOpeningLine(TLUM32& rec, Tm14Out& out) {
  if (!NeedsAreaBlock(rec)) {
    out.Line("100 0 0 0");
    return;
  }
  out.Line(std::string(rec.AreaDim.Length != 0 ? "1 " : "3 ") +
           FormatPadded(ProjectedArea(rec, 0, 0), 5, 3) + " " +
           FormatPadded(ProjectedArea(rec, 90, 0), 5, 3) + " " +
           FormatPadded(ProjectedArea(rec, 90, 90), 5, 3));
}

void WriteCibse2Block(const TLUM32& rec, Tm14Out& out) {
  out.Line("CIBSE/2");
  out.Line(rec.LumName.view());
  out.Line(rec.LumNumber.view());
  out.Line(FormatPadded(rec.UpFlux / 1000.0L, 5, 3) + " " +
           FormatPadded(rec.DownFlux / 1000.0L, 5, 3) + " " + FormatPadded(rec.LOR / 100.0L, 5, 3));
  out.Line(FormatPadded(rec.GlarePair[0], 5, 3) + " " + FormatPadded(rec.GlarePair[1], 5, 3));
  for (int row = 0; row < 11; ++row) {
    std::string line;
    for (std::uint8_t entry : rec.GlareTable[row]) {
      if (entry == kGlareNotAvailable)
        line += "N/A ";
      else if (row < 10)
        line += FormatPadded(entry / 100.0L, 5, 2);
      else
        line += LeftPad(Int(entry), 3);
    }
    out.Line(line);
  }
  for (const auto* table : {&rec.UtilTableA, &rec.UtilTableB}) {
    for (const auto& row : *table) {
      std::string line;
      for (float v : row)
        line += FormatPadded(v, 5, 1);
      out.Line(line);
    }
  }
  out.Line("1");
  const LampSetData& lamp = rec.LampSet[0];
  const std::string watts = LeftPad(Int(lamp.Wattage), 4);
  out.Line(LeftPad(Int(rec.LumDim.Length), 5) +
           LeftPad(Int(static_cast<std::int64_t>(rec.TotalLampCount())), 3) + watts + " 1.0 1.0 " +
           watts + watts);
}

}  // namespace

std::string Tm14Text(TLUM32& rec) {
  // The format's photometry values are 1 and 2; a file with 3 would not load again.
  CheckWritableTable(rec, "tm14", "TM14 holds C-gamma or B-beta");
  Tm14Out out;
  out.SetNearZero(NearZeroOf(rec));
  WriteHeader(rec, out);
  if (rec.PhotSystem == kSystemB)
    WriteBBetaLists(rec, out);
  else
    WriteCGammaLists(rec, out);
  WriteOpeningLine(rec, out);
  if (rec.WriteTM2Data) WriteCibse2Block(rec, out);
  return out.Take();
}

}  // namespace lumatra
