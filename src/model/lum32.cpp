#include "model/lum32.h"

#include <algorithm>
#include <cstring>

#include "support/rounding.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

// Steps between consecutive angles in thousandths of a degree; the smallest one is the step,
// and any difference marks the grid irregular.
float DetectStep(const TLUM32& rec, std::size_t count, bool along_row0, bool& irregular) {
  irregular = false;
  if (count < 2) return 0.0f;
  auto angle = [&](std::size_t k) {
    return static_cast<long double>(along_row0 ? rec.GetGamma(k) : rec.GetCAngle(k));
  };
  std::int64_t step = RoundHalfEven(1000.0L * (angle(2) - angle(1)));
  for (std::size_t i = count; i >= 3; --i) {
    std::int64_t d = RoundHalfEven(1000.0L * (angle(i) - angle(i - 1)));
    if (d != step) {
      irregular = true;
      step = std::min(step, d);
    }
  }
  return static_cast<float>(static_cast<long double>(step) / 1000.0L);
}

float ZeroIntensity(const TLUM32&, float, float) {
  return 0.0f;
}
long double ZeroMean(const TLUM32&, long double) {
  return 0.0L;
}

}  // namespace

TLUM32::TLUM32() {
  std::memset(static_cast<void*>(&Block1()), 0, kBlock1Size);
  std::memset(static_cast<void*>(&Block2()), 0, kBlock2Size);
  std::memset(static_cast<void*>(&Block3()), 0, kBlock3Size);
  BindRoutines(ZeroIntensity, ZeroIntensity, ZeroMean);
}

void TLUM32::Clear() {
  Matrix.reset();
  LabelLines.reset();
  std::memset(static_cast<void*>(&Block1()), 0, kBlock1Size);
  std::memset(static_cast<void*>(&Block2()), 0, kBlock2Size);
  // The last four bytes of block 3 survive a Clear.
  std::memset(static_cast<void*>(&Block3()), 0, kBlock3Size - 4);
  std::memset(GlareTable, 0, sizeof GlareTable);
  std::memset(GlarePair, 0, sizeof GlarePair);
  std::memset(UtilTableA, 0, sizeof UtilTableA);
  std::memset(UtilTableB, 0, sizeof UtilTableB);
  ReadError.clear();
  SetFileName("");
  FluxCalcDone = 0;
  ZoneFluxDone = 0;
  PeakValid = 1;
  Loaded = 0;
}

void TLUM32::SetFileName(std::string_view name) {
  // The field holds 255 characters. A longer path keeps its end, the file name that the formats
  // storing a name take from it; Load and Save use the full path they are given, not this copy.
  FileName = std::string(name.substr(name.size() > 255 ? name.size() - 255 : 0));
  ShortName = JustName(name).substr(0, 12);
  NameChanged = 1;
}

void TLUM32::FindPeak() {
  float max = 0.0f;
  for (std::size_t i = 1; i <= NumPlanes; ++i) {
    for (std::size_t j = 1; j <= NumGammas; ++j) {
      float v = GetIntensity(i, j);
      if (v > max) {
        max = v;
        PeakC = GetCAngle(i);
        PeakGamma = GetGamma(j);
      }
    }
  }
  PeakIntensity = max;
  PeakValid = 1;
}

std::uint32_t TLUM32::LampCount(std::size_t k) const {
  if (k >= 5) return 0;
  // The wide count is taken only while the 8-bit one is saturated, so a NumLamps set directly
  // (or read from an old file) always counts.
  const std::uint8_t narrow = LampSet[k].NumLamps;
  return narrow == 255 && LampCounts[k] >= 255 ? LampCounts[k] : narrow;
}

void TLUM32::SetLampCount(std::size_t k, std::uint32_t lamps) {
  if (k >= 5) return;
  LampSet[k].NumLamps = static_cast<std::uint8_t>(std::min<std::uint32_t>(lamps, 255));
  LampCounts[k] = lamps;
}

namespace {

std::size_t LampSetsKept(const TLUM32& rec) {
  return std::clamp<std::size_t>(rec.NumLampSets, 1, 5);
}

}  // namespace

std::uint64_t TLUM32::TotalLampCount() const {
  std::uint64_t lamps = 0;
  for (std::size_t k = 0; k < LampSetsKept(*this); ++k)
    lamps += LampCount(k);
  return lamps;
}

long double TLUM32::TotalLampFlux() const {
  long double flux = 0;
  for (std::size_t k = 0; k < LampSetsKept(*this); ++k)
    flux += LampSet[k].TotalFlux;
  return flux;
}

float TLUM32::CStepDetect() {
  GridFlags &= static_cast<std::uint8_t>(~kCIrregular);
  bool irregular = false;
  float step = DetectStep(*this, NumPlanes, false, irregular);
  if (irregular) GridFlags |= kCIrregular;
  return step;
}

float TLUM32::GammaStepDetect() {
  GridFlags &= static_cast<std::uint8_t>(~kGammaIrregular);
  bool irregular = false;
  float step = DetectStep(*this, NumGammas, true, irregular);
  if (irregular) GridFlags |= kGammaIrregular;
  return step;
}

}  // namespace lumatra
