// Flux integration over gamma zones. Each stored gamma angle owns the zone between the midpoints
// to its neighbours (the first and last zones end at GFirst and GLast); the zone's flux is
// 2 pi * mean intensity at that angle * |cos(upper) - cos(lower)|.
#include "photometry/evaluation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "model/lum32.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

using Real = long double;

constexpr Real kTwoPi = 2.0L * kPi;

Real Gamma(const TLUM32& r, std::size_t j) {
  return r.GetGamma(j);
}

// Lower and upper end of the zone of gamma index j (1..n).
Real ZoneLower(const TLUM32& r, std::size_t j) {
  return j <= 1 ? static_cast<Real>(r.GFirst) : (Gamma(r, j - 1) + Gamma(r, j)) / 2;
}
Real ZoneUpper(const TLUM32& r, std::size_t j) {
  return j >= r.NumGammas ? static_cast<Real>(r.GLast) : (Gamma(r, j) + Gamma(r, j + 1)) / 2;
}

Real CosDeg(Real angle) {
  return std::cos(angle * kDegToRad);
}

Real Band(Real lower, Real upper) {
  return std::fabs(CosDeg(upper) - CosDeg(lower));
}

// The index of a whole multiple of a quarter degree from 0 to 180 (0 to 720), or -1 for any
// other angle.
int QuarterDegreeIndex(Real angle) {
  if (!(angle >= 0 && angle <= 180)) return -1;
  const Real quarters = 4 * angle;  // exact
  // Through a double, which holds every whole number of quarters exactly: a long double's own
  // conversion to int switches the x87 rounding mode and back.
  const auto near = static_cast<double>(quarters);
  if (near != quarters) return -1;
  const auto whole = static_cast<int>(near);
  return whole == near ? whole : -1;
}

// The cosines of the zone ends of the grid (the midpoints, GFirst and GLast) and of the 5-degree
// steps that zonal fluxes and the horizontal clip the zones at, each computed once, when first
// needed: the very values the zone terms would otherwise compute again and again.
class ZoneCosines {
 public:
  explicit ZoneCosines(const TLUM32& r) : ends_(r.NumGammas + 1U), cos_(ends_.size(), kUnset) {
    for (std::size_t j = 0; j < ends_.size(); ++j) {
      ends_[j] = j == 0 ? ZoneLower(r, 1) : ZoneUpper(r, j);
      if (j > 0 && !(ends_[j] >= ends_[j - 1])) ends_.clear();  // not ascending: no lookup
    }
  }
  Real Cos(Real angle) {
    // The zone ends of the usual grids (steps of 0.5 to 5 degrees and their midpoints) and the
    // 5-degree steps are quarter degrees: their cosines are computed once per process.
    static const std::vector<Real> quarter_degrees = [] {
      std::vector<Real> table(721);
      for (std::size_t k = 0; k < table.size(); ++k)
        table[k] = CosDeg(static_cast<Real>(k) / 4);
      return table;
    }();
    if (const int k = QuarterDegreeIndex(angle); k >= 0)
      return quarter_degrees[static_cast<std::size_t>(k)];
    const auto at = std::lower_bound(ends_.begin(), ends_.end(), angle);
    if (at == ends_.end() || *at != angle) return CosDeg(angle);
    Real& cached = cos_[static_cast<std::size_t>(at - ends_.begin())];
    if (std::isnan(cached)) cached = CosDeg(angle);
    return cached;
  }

 private:
  static constexpr Real kUnset = std::numeric_limits<Real>::quiet_NaN();
  std::vector<Real> ends_;
  std::vector<Real> cos_;
};

// Plane means at the stored gamma angles, each computed once per evaluation, and the cosines
// of the zone ends.
class GammaMeans {
 public:
  explicit GammaMeans(const TLUM32& r) : r_(r), means_(r.NumGammas + 1U, kUnset), cosines_(r) {}
  Real At(std::size_t j) {
    if (j >= means_.size()) return 0;
    if (std::isnan(means_[j])) means_[j] = r_.MeanIntensity(Gamma(r_, j));
    return means_[j];
  }
  Real Band(Real lower, Real upper) { return std::fabs(cosines_.Cos(upper) - cosines_.Cos(lower)); }

 private:
  static constexpr Real kUnset = std::numeric_limits<Real>::quiet_NaN();
  const TLUM32& r_;
  std::vector<Real> means_;
  ZoneCosines cosines_;
};

Real ZoneTerm(GammaMeans& means, std::size_t j, Real lower, Real upper) {
  if (upper <= lower) return 0;
  return means.At(j) * means.Band(lower, upper);
}

void NormaliseRefFlux(TLUM32& r) {
  if (RoundHalfEven(r.RefFlux) == 0 || r.RefFlux > 1000) r.RefFlux = 1000;
}

// Mean over B planes with end-halved weights, divided by the B range the symmetry stores.
Real MeanB(const TLUM32& r, Real beta) {
  const std::size_t n = r.NumPlanes;
  if (n < 2) return 0;
  auto b = [&](std::size_t i) { return static_cast<Real>(r.GetCAngle(i)); };
  Real sum = 0;
  for (std::size_t i = 1; i <= n; ++i) {
    Real w = i == 1   ? (b(2) - b(1)) / 2
             : i == n ? (b(n) - b(n - 1)) / 2
                      : (b(i + 1) - b(i - 1)) / 2;
    sum += w * r.IntensityB(r.GetCAngle(i), static_cast<float>(beta));
  }
  Real range = (r.Symmetry == 3 || r.Symmetry == 4) ? 180 : 360;
  return sum / range;
}

// B-beta records: the column angles are beta angles measured from the horizontal, so a band of
// beta has the solid angle 2 pi |sin(upper) - sin(lower)| over the full circle of B.
void CalcFluxB(TLUM32& r) {
  const std::size_t n = r.NumGammas;
  Real phi = 0;
  if (n >= 2) {
    for (std::size_t j = 1; j <= n; ++j) {
      Real beta = Gamma(r, j);
      Real lower = j == 1 ? beta : (Gamma(r, j - 1) + beta) / 2;
      Real upper = j == n ? beta : (beta + Gamma(r, j + 1)) / 2;
      Real band = std::fabs(std::sin(upper * kDegToRad) - std::sin(lower * kDegToRad));
      phi += MeanB(r, beta) * band;
    }
    phi *= kTwoPi;
  }
  if (r.Symmetry == 2 || r.Symmetry == 4) phi *= 2;  // only beta >= 0 is stored
  NormaliseRefFlux(r);
  r.LumFlux = static_cast<float>(phi);
  r.LOR = static_cast<float>(phi / 10);
  r.DownFlux = static_cast<float>(phi);
  r.UpFlux = 0;
  r.DFF = 1;
  r.LightDir = 0;
  r.FluxCalcDone = 1;
}

// Downward part of the flux for data spanning the horizontal: the zones below the first gamma
// angle at or above 90 degrees, each clipped at 90, and the rest up to 90 read at that angle.
Real DownwardFlux(const TLUM32& r, GammaMeans& means) {
  const std::size_t n = r.NumGammas;
  std::size_t m = 1;
  while (m <= n && Centi(Gamma(r, m)) < 9000)
    ++m;
  if (m > n) return 0;
  Real sum = 0;
  Real reached = r.GFirst;
  for (std::size_t j = 1; j < m; ++j) {
    Real upper = std::min<Real>(ZoneUpper(r, j), 90);
    sum += ZoneTerm(means, j, ZoneLower(r, j), upper);
    reached = upper;
  }
  if (reached < 90) sum += ZoneTerm(means, m, reached, 90);
  return kTwoPi * sum;
}

std::size_t ClampIndex(std::size_t i, std::size_t n) {
  return std::clamp<std::size_t>(i, 1, n);
}

long double ZoneFluxBetween(TLUM32& r, long double& a, long double& b, GammaMeans& means) {
  if (r.PhotSystem != kSystemC) return 0;
  if (b < a) std::swap(a, b);
  if (a > r.GLast || b < r.GFirst) return 0;
  a = std::max<Real>(a, r.GFirst);
  b = std::min<Real>(b, r.GLast);
  if (Centi(a) == Centi(b)) return 0;
  const std::size_t n = r.NumGammas;
  if (n < 2) return 0;

  std::size_t i1 = 1;
  while (i1 < n && Gamma(r, i1) < a)
    ++i1;
  std::size_t i2 = n;
  while (i2 > 1 && Gamma(r, i2) > b)
    --i2;
  if (a < ZoneLower(r, i1)) i1 = ClampIndex(i1 - 1, n);
  if (b > ZoneUpper(r, i2)) i2 = ClampIndex(i2 + 1, n);

  Real sum = 0;
  for (std::size_t i = i1 + 1; i + 1 <= i2; ++i)
    sum += ZoneTerm(means, i, std::max(ZoneLower(r, i), a), std::min(ZoneUpper(r, i), b));
  Real first_upper = i1 == n ? b : std::min(ZoneUpper(r, i1), b);
  sum += ZoneTerm(means, i1, a, first_upper);
  if (i1 != i2) sum += ZoneTerm(means, i2, std::max(ZoneLower(r, i2), a), b);
  return kTwoPi * sum;
}

void FillZoneFlux(TLUM32& r, GammaMeans& means) {
  for (int k = 0; k < 36; ++k) {
    Real a = 5.0L * k;
    Real b = 5.0L * (k + 1);
    if (r.PhotSystem == kSystemC)
      r.ZoneFlux[k] = static_cast<float>(ZoneFluxBetween(r, a, b, means));
    else
      r.ZoneFlux[k] = k < 18 ? static_cast<float>(ZoneFluxBetweenB(r, a, b)) : 0.0f;
  }
  r.ZoneFluxDone = 1;
}

}  // namespace

long double MeanIntensityB(const TLUM32& rec, long double beta) {
  return MeanB(rec, beta);
}

void CalcFlux(TLUM32& r) {
  if (r.PhotSystem == kSystemB || r.PhotSystem == kSystemA) {
    CalcFluxB(r);
    return;
  }
  NormaliseRefFlux(r);
  r.LumFlux = 0;
  r.LOR = 0;
  GammaMeans means(r);
  const std::size_t n = r.NumGammas;
  Real phi = 0;
  if (n >= 2) {
    for (std::size_t j = 1; j <= n; ++j)
      phi += ZoneTerm(means, j, ZoneLower(r, j), ZoneUpper(r, j));
    phi *= kTwoPi;
  }
  r.LumFlux = static_cast<float>(phi);
  r.LOR = static_cast<float>(phi / 10);

  if (r.GLast <= 90) {
    r.UpFlux = 0;
    r.DownFlux = r.LumFlux;
  } else if (r.GFirst >= 90) {
    r.UpFlux = r.LumFlux;
    r.DownFlux = 0;
  } else {
    Real down = DownwardFlux(r, means);
    r.DownFlux = static_cast<float>(down);
    r.UpFlux = static_cast<float>(phi - down);
    r.DFF = phi != 0 ? static_cast<float>(down / phi) : 0.0f;
  }
  FillZoneFlux(r, means);
  r.FluxCalcDone = 1;
  if (r.LumFlux != 0) r.DFF = static_cast<float>(static_cast<Real>(r.DownFlux) / r.LumFlux);

  if (Centi(r.GLast) <= 9000)
    r.LightDir = 0;
  else if (Centi(r.GFirst) < 9000)
    r.LightDir = 2;
  else
    r.LightDir = 1;
  if (r.LightDir == 2 && r.LumFlux != 0) {
    if (static_cast<Real>(r.DownFlux) / r.LumFlux > 0.95L) r.LightDir = 0;
    if (static_cast<Real>(r.UpFlux) / r.LumFlux > 0.95L) r.LightDir = 1;
  }
}

void CalcZoneFlux(TLUM32& r) {
  GammaMeans means(r);
  FillZoneFlux(r, means);
}

long double ZoneFluxBetween(TLUM32& r, long double& a, long double& b) {
  GammaMeans means(r);
  return ZoneFluxBetween(r, a, b, means);
}

long double ZoneFluxBetweenB(TLUM32& r, long double& a, long double& b) {
  if (r.PhotSystem == kSystemC) return 0;
  if (b < a) std::swap(a, b);
  // Plane-mean sampling step: the finest step of the file, never 0 and never absurdly fine.
  Real s = r.MinGStep > 0 ? r.MinGStep : r.GStep > 0 ? r.GStep : r.CStep > 0 ? r.CStep : 5;
  s = std::max<Real>(s, 0.25L);
  const std::int64_t m = std::max<std::int64_t>(1, RoundHalfEven(360 / s));
  auto mean = [&](Real x) {
    Real sum = 0;
    for (std::int64_t i = 0; i < m; ++i)
      sum += r.Intensity(static_cast<float>(i * s), static_cast<float>(x));
    return sum / m;
  };
  const std::int64_t pieces = RoundHalfEven(b - a) + 1;
  Real sum = mean(a) * Band(a, a + 0.5L);
  for (std::int64_t k = 1; k <= pieces - 2; ++k) {
    Real centre = a + k;
    sum += mean(centre) * Band(centre - 0.5L, centre + 0.5L);
  }
  sum += mean(b) * Band(b - 0.5L, b);
  return kTwoPi * sum;
}

}  // namespace lumatra
