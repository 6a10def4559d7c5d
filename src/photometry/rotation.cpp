// Rotation of a whole light distribution: every direction of a new full-circle grid is turned
// by the rotation matrix, and the old record is read in the turned direction. The 90-degree
// turn of the settings, RotateGrid(90, 0, 0), maps (x, y, z) to (y, -x, z): the new plane C
// holds the old plane C - 90, so the old C0 plane becomes the new C90 plane.
#include <algorithm>
#include <array>
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

// The rotation as a 3 x 3 matrix of single floats in row order.
std::array<float, 9> RotationMatrix(float a1, float a2, float a3) {
  const Real psi = a1 * kDegToRad;
  const Real phi = a2 * kDegToRad;
  const Real theta = -a3 * kDegToRad;
  const Real cps = std::cos(psi), sps = std::sin(psi);
  const Real cph = std::cos(phi), sph = std::sin(phi);
  const Real cth = std::cos(theta), sth = std::sin(theta);
  auto f = [](Real v) { return static_cast<float>(v); };
  return {f(cph * cps - sph * sth * sps),
          f(cph * sps + sph * sth * cps),
          f(-sph * cth),
          f(-sps * cth),
          f(cps * cth),
          f(sth),
          f(sph * cps + cph * sth * sps),
          f(sph * sps - cph * sth * cps),
          f(cth * cph)};
}

Real WrapC(Real c) {
  c = std::fmod(c, 360.0L);
  return c < 0 ? c + 360 : c;
}

struct Direction {
  float c;
  float gamma;
};

// Where the direction (C, gamma) of the new grid points in the old record.
Direction Turned(const std::array<float, 9>& r, Real c, Real g) {
  c *= kDegToRad;
  g *= kDegToRad;
  const Real x = std::cos(c) * std::sin(g);
  const Real y = std::sin(c) * std::sin(g);
  const Real z = std::cos(g + kPi);
  const Real xr = r[0] * x + r[1] * y + r[2] * z;
  const Real yr = r[3] * x + r[4] * y + r[5] * z;
  const Real zr = r[6] * x + r[7] * y + r[8] * z;

  // The arc tangent gives -90..90; the quadrant adds the offset.
  Real cr = xr == 0 ? 0 : std::atan(yr / xr) / kDegToRad;
  if (xr < 0)
    cr += 180;
  else if (xr == 0)
    cr += yr < 0 ? 270 : yr > 0 ? 90 : 0;
  else if (yr < 0)
    cr += 360;
  while (cr < 0)
    cr += 360;
  while (cr >= 360)
    cr -= 360;

  const Real rad = std::sqrt(xr * xr + yr * yr);
  Real gr = rad != 0 ? std::atan(zr / rad) + kPi / 2 : (zr > 0 ? kPi : 0);
  gr = std::fabs(gr) / kDegToRad;
  return {static_cast<float>(cr), static_cast<float>(gr)};
}

// Gamma step of the rotated grid: the old step, or for irregular gamma angles the smallest
// difference between them, at most 180; a record without a step falls back to the kept one.
// The step is evened out so that the grid ends exactly at the end of the span.
Real RotatedGammaStep(const TLUM32& rec, Real span) {
  Real step = (rec.GridFlags & kGammaIrregular) ? transform::SmallestGammaDifference(rec)
                                                : static_cast<Real>(rec.GStep);
  if (Centi(step) <= 0) step = transform::KeptGammaStep(rec);
  step = std::clamp(step, 0.1L, 180.0L);
  const Real count = RoundHalfEven(span / step);
  return count >= 1 ? span / count : step;
}

// Planes of the rotated grid: 24 for a rotational table, else the old C step (or, when the C
// angles are irregular, the step found in them) evened out to the full circle.
std::size_t RotatedPlaneCount(const TLUM32& rec) {
  if (rec.Symmetry == 1) return 24;
  Real step = Centi(rec.CStep) > 0 ? static_cast<Real>(rec.CStep) : transform::KeptCStep(rec);
  step = std::clamp(step, 0.1L, 360.0L);
  return static_cast<std::size_t>(RoundHalfEven(360.0L / step));
}

}  // namespace

void RotateGrid(TLUM32& rec, float a1, float a2, float a3) {
  if (!rec.Loaded || rec.PhotSystem != kSystemC || !rec.Matrix) return;
  CalcFlux(rec);
  const float lor = rec.LOR;

  // A turn about the vertical axis only moves the C planes: every direction keeps its gamma, so
  // the gamma range stays (beyond it the old record reads 0 anyway), and the poles keep the
  // values of their planes. Any other rotation can send light anywhere: gammas 0..180.
  const bool vertical = Centi(a2) == 0 && Centi(a3) == 0;
  const Real g_first = vertical ? static_cast<Real>(rec.GFirst) : 0.0L;
  const Real g_span = vertical ? std::max(0.0L, static_cast<Real>(rec.GLast) - rec.GFirst) : 180.0L;
  const Real dg = RotatedGammaStep(rec, g_span);
  const auto gammas = static_cast<std::size_t>(RoundHalfEven(g_span / dg) + 1);
  const std::size_t planes = RotatedPlaneCount(rec);
  const Real dc = 360.0L / static_cast<Real>(planes);
  if (!transform::TableFits(planes, gammas)) return;

  const std::array<float, 9> r = RotationMatrix(a1, a2, a3);
  auto table = transform::NewTable(transform::EvenAngles(0, dc, planes),
                                   transform::EvenAngles(g_first, dg, gammas));
  for (std::size_t i = 1; i <= planes; ++i) {
    const float c = table->GetValue(i, 0);
    for (std::size_t j = 1; j <= gammas; ++j) {
      const float g = table->GetValue(0, j);
      const Direction d =
          vertical ? Direction{static_cast<float>(WrapC(c - Real{a1})), g} : Turned(r, c, g);
      table->SetValue(i, j, rec.Intensity(d.c, d.gamma));
    }
  }
  transform::ReplaceTable(rec, std::move(table));

  rec.CStep = static_cast<float>(dc);
  rec.CFirst = 0;
  rec.CLast = rec.GetCAngle(rec.NumPlanes);
  rec.GFirst = static_cast<float>(g_first);
  rec.GStep = static_cast<float>(dg);
  rec.GLast = rec.GetGamma(rec.NumGammas);
  rec.GridFlags = 0;
  rec.Symmetry = 0;
  SetupSymmetry(rec, 0);
  CalcFlux(rec);
  rec.FindPeak();

  // Interpolating in the turned grid changes the flux a little; give the record its LOR back.
  if (rec.LOR != lor && rec.LOR != 0) ScaleIntensities(rec, lor / rec.LOR);
}

}  // namespace lumatra
