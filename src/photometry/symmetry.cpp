// Symmetry change: a table folded to rotational symmetry or to one of the mirror symmetries of
// EULUMDAT. The mirror symmetries first unfold the record to a full circle at the requested C
// step, then keep the planes of the stored sector, averaged with their mirror images:
//
//   kind 2 (C0-C180):  C0 .. C180,  I(C) with I(360 - C)
//   kind 3 (C90-C270): C90 .. C270, I(C) with I(180 - C)
//   kind 4 (both):     C0 .. C90,   I(C), I(360 - C), I(180 - C), I(180 + C)
#include <cmath>

#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/interpolation.h"
#include "photometry/resample.h"
#include "photometry/transform_support.h"
#include "photometry/transforms.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

using Real = long double;

// The plane copied by MakeRotational without averaging: plane 1, or for symmetry 3 (planes
// C90..C270) the C180 plane, else the plane nearest to C180.
std::size_t RepresentativePlane(const TLUM32& rec) {
  if (rec.Symmetry != 3) return 1;
  std::size_t best = 1;
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    if (Centi(rec.GetCAngle(i)) == 18000) return i;
    if (std::fabs(rec.GetCAngle(i) - 180.0f) < std::fabs(rec.GetCAngle(best) - 180.0f)) best = i;
  }
  return best;
}

struct Sector {
  Real first;
  Real last;
};

Sector SectorOf(int kind) {
  switch (kind) {
    case 2:
      return {0, 180};
    case 3:
      return {90, 270};
    default:
      return {0, 90};
  }
}

// Angles first, first + s, ... up to the sector end, which is always a plane (an extra, closer
// one when the sector is not a multiple of s).
std::vector<float> SectorPlanes(Sector sector, Real s) {
  const Real span = sector.last - sector.first;
  auto full = static_cast<std::size_t>(std::floor(span / s + 1e-6L));
  std::vector<float> planes = transform::EvenAngles(sector.first, s, full + 1);
  if (Centi(planes.back()) != Centi(sector.last)) planes.push_back(static_cast<float>(sector.last));
  planes.back() = static_cast<float>(sector.last);
  return planes;
}

Real Wrap(Real c) {
  return c < 0 ? c + 360 : c >= 360 ? c - 360 : c;
}

// The value of plane C at gamma g of the full-circle record, averaged with its mirror images.
float Folded(const TLUM32& full, int kind, bool average, Real c, float g, Sector sector) {
  auto at = [&](Real angle) -> Real { return full.Intensity(static_cast<float>(Wrap(angle)), g); };
  const bool end = Centi(c) == Centi(sector.first) || Centi(c) == Centi(sector.last);
  if (!average || (end && kind != 4)) return static_cast<float>(at(c));
  switch (kind) {
    case 2:
      return static_cast<float>((at(c) + at(360 - c)) / 2);
    case 3:
      return static_cast<float>((at(c) + at(180 - c)) / 2);
    default:
      if (end) return static_cast<float>((at(c) + at(c + 180)) / 2);  // C0 with C180, C90 with C270
      return static_cast<float>((at(c) + at(360 - c) + at(180 - c) + at(c + 180)) / 4);
  }
}

}  // namespace

void ChangeSymmetry(TLUM32& rec, int target, bool average) {
  switch (target) {
    case 0:
      SetGrid(rec, rec.CStep, rec.GStep);
      break;
    case 1:
      MakeRotational(rec, average);
      break;
    case 2:
    case 3:
    case 4:
      MakeSymmetric(rec, target, average, rec.CStep);
      break;
    default:
      break;
  }
}

void MakeRotational(TLUM32& rec, bool average) {
  if (rec.Symmetry == 1) return;
  if (rec.PhotSystem != kSystemC) {
    const float s = transform::ConversionStep(rec);
    ConvertToCGamma(rec, 0, 90, 0, s, s);
  }
  if (rec.PhotSystem != kSystemC || !rec.Matrix || rec.NumGammas == 0) return;

  const std::vector<float> gammas = transform::GammaAngles(rec);
  auto table = transform::NewTable({0.0f}, gammas);
  const std::size_t source = RepresentativePlane(rec);
  for (std::size_t j = 1; j <= gammas.size(); ++j) {
    float v = average ? static_cast<float>(rec.MeanIntensity(gammas[j - 1]))
                      : rec.GetIntensity(source, j);
    table->SetValue(1, j, v);
  }
  transform::ReplaceTable(rec, std::move(table));
  rec.Symmetry = 1;
  rec.CFirst = rec.CLast = rec.CStep = 0;
  rec.GridFlags &= static_cast<std::uint8_t>(~kCIrregular);  // one plane has no C spacing
  SetupSymmetry(rec, 1);
  rec.FindPeak();
  CalcFlux(rec);
}

void MakeSymmetric(TLUM32& rec, int kind, bool average, float c_step) {
  if (kind < 2 || kind > 4) return;
  // A step of 0 (the "keep" setting) keeps the record's current step.
  const float s = Centi(c_step) > 0 ? c_step : transform::KeptCStep(rec);
  if (rec.Symmetry == kind && RoundHalfEven(10.0L * rec.CStep) == RoundHalfEven(10.0L * s)) return;
  if (rec.PhotSystem != kSystemC || !rec.Matrix) return;

  SetGrid(rec, s, rec.GStep);
  if (rec.Symmetry != 0) return;  // the grid could not be built

  const Sector sector = SectorOf(kind);
  const std::vector<float> planes = SectorPlanes(sector, s);
  const std::vector<float> gammas = transform::GammaAngles(rec);
  auto table = transform::NewTable(planes, gammas);
  for (std::size_t i = 1; i <= planes.size(); ++i)
    for (std::size_t j = 1; j <= gammas.size(); ++j)
      table->SetValue(i, j, Folded(rec, kind, average, planes[i - 1], gammas[j - 1], sector));
  transform::ReplaceTable(rec, std::move(table));

  rec.Symmetry = static_cast<std::uint8_t>(kind);
  rec.CFirst = static_cast<float>(sector.first);
  rec.CLast = static_cast<float>(sector.last);
  rec.CStep = s;
  // A sector that is not a multiple of the step ends in a closer plane: searched interpolation.
  rec.CStepDetect();
  SetupSymmetry(rec, rec.Symmetry);
  rec.FindPeak();
  CalcFlux(rec);
}

}  // namespace lumatra
