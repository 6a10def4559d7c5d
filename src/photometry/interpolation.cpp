#include "photometry/interpolation.h"

#include <algorithm>
#include <cmath>

#include "model/lum32.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

using Real = long double;

// Where gamma falls between two stored gamma columns j and j2, and how far (t in 0..1).
struct Bracket {
  std::size_t lo = 1;
  std::size_t hi = 1;
  float t = 0.0f;
};

std::size_t Clamp(std::int64_t k, std::size_t n) {
  if (k < 1) return 1;
  if (static_cast<std::uint64_t>(k) > n) return n == 0 ? 1 : n;
  return static_cast<std::size_t>(k);
}

// Trunc(x) + 1 as a table index: NaN and values beyond any table (a step of 1e-38, an angle of
// 3e38) are kept inside the 64-bit range, which Clamp then brings into the table.
std::int64_t TruncIndex(Real x) {
  if (std::isnan(x)) return 1;
  if (x >= 1e15L) return std::int64_t{1'000'000'000'000'000};
  if (x <= -1e15L) return -std::int64_t{1'000'000'000'000'000};
  return static_cast<std::int64_t>(std::trunc(x)) + 1;
}

Bracket Fraction(std::size_t j, std::size_t j2, Real x, Real lo, Real hi) {
  Bracket b{j, j2, 0.0f};
  if (j != j2 && hi != lo) b.t = static_cast<float>((x - lo) / (hi - lo));
  return b;
}

Bracket RegularGammaBracket(const TLUM32& r, Real g) {
  const std::size_t n = r.NumGammas;
  std::size_t j = Clamp(TruncIndex((g - r.GFirst) / r.GStep), n);
  std::size_t j2 = j < n ? j + 1 : n;
  Real lo = static_cast<Real>(j - 1) * r.GStep + r.GFirst;
  return Fraction(j, j2, g, lo, lo + r.GStep);
}

Bracket SearchedGammaBracket(const TLUM32& r, Real g) {
  const std::size_t n = r.NumGammas;
  std::size_t k = 2;
  while (k <= n && r.GetGamma(k) < g)
    ++k;
  std::size_t j = Clamp(static_cast<std::int64_t>(k) - 1, n);
  std::size_t j2 = j < n ? j + 1 : n;
  return Fraction(j, j2, g, r.GetGamma(j), r.GetGamma(j2));
}

float PlaneValue(const TLUM32& r, std::size_t row, const Bracket& g) {
  Real a = r.GetIntensity(row, g.lo);
  Real b = r.GetIntensity(row, g.hi);
  return static_cast<float>(a + (b - a) * static_cast<Real>(g.t));
}

float BetweenPlanes(const TLUM32& r, const Bracket& g, std::size_t i, std::size_t i2, Real c,
                    Real clo, Real chi) {
  float p1 = PlaneValue(r, i, g);
  if (i == i2 || chi == clo) return p1;
  float p2 = PlaneValue(r, i2, g);
  return static_cast<float>(p1 + (static_cast<Real>(p2) - p1) * (c - clo) / (chi - clo));
}

// Also true for a NaN direction.
bool OutsideGamma(const TLUM32& r, Real g) {
  return !(g >= r.GFirst && g <= r.GLast);
}

// Brings any C angle into 0 <= C < 360.
Real NormalizeC(Real c) {
  if (c >= 0 && c < 360.0L) return c;
  if (!std::isfinite(c)) return 0;
  c = std::fmod(c, 360.0L);
  if (c < 0) c += 360.0L;
  return c >= 360.0L ? 0.0L : c;
}

Real FoldSym2(Real c) {
  return c > 180 ? 360 - c : c;
}
Real FoldSym3(Real c) {
  if (c > 270) c = 540 - c;
  if (c < 90) c = 180 - c;
  return c;
}
Real FoldSym4(Real c) {
  if (c > 90) c = c <= 270 ? std::fabs(180 - c) : 360 - c;
  return c;
}

// Last plane whose angle is <= c (1 when none).
std::size_t SearchPlane(const TLUM32& r, Real c) {
  std::size_t k = 2;
  while (k <= r.NumPlanes && r.GetCAngle(k) <= c)
    ++k;
  return Clamp(static_cast<std::int64_t>(k) - 1, r.NumPlanes);
}

template <bool kRegular>
Bracket GammaBracket(const TLUM32& r, Real g) {
  return kRegular ? RegularGammaBracket(r, g) : SearchedGammaBracket(r, g);
}

// --- C-gamma members ---

float Zero(const TLUM32&, float, float) {
  return 0.0f;
}
long double ZeroMean(const TLUM32&, long double) {
  return 0.0L;
}

template <bool kRegular>
float FullCircle(const TLUM32& r, float cf, float gf) {
  Real g = gf;
  if (OutsideGamma(r, g)) return 0.0f;
  Bracket gb = GammaBracket<kRegular>(r, g);
  Real c = NormalizeC(cf);
  const std::size_t n = r.NumPlanes;
  if constexpr (kRegular) {
    std::size_t i = Clamp(TruncIndex(c / r.CStep), n);
    std::size_t i2 = i + 1 > n ? 1 : i + 1;
    Real clo = static_cast<Real>(i - 1) * r.CStep;
    return BetweenPlanes(r, gb, i, i2, c, clo, clo + r.CStep);
  } else {
    // Before the first plane or after the last one: between the last plane and plane 1 + 360.
    if (c < r.GetCAngle(1)) c += 360.0L;
    std::size_t i = c >= 360.0L ? n : SearchPlane(r, c);
    if (i < n) return BetweenPlanes(r, gb, i, i + 1, c, r.GetCAngle(i), r.GetCAngle(i + 1));
    return BetweenPlanes(r, gb, n, 1, c, r.GetCAngle(n),
                         static_cast<Real>(r.GetCAngle(1)) + 360.0L);
  }
}

template <bool kRegular>
float Rotational(const TLUM32& r, float, float gf) {
  Real g = gf;
  if (OutsideGamma(r, g)) return 0.0f;
  return PlaneValue(r, 1, GammaBracket<kRegular>(r, g));
}

// Symmetries 2, 3 and 4: fold C into the stored part, then bracket without wrapping.
template <bool kRegular, Real (*Fold)(Real), bool kFromCFirst>
float Mirrored(const TLUM32& r, float cf, float gf) {
  Real g = gf;
  if (OutsideGamma(r, g)) return 0.0f;
  Bracket gb = GammaBracket<kRegular>(r, g);
  Real c = Fold(NormalizeC(cf));
  const std::size_t n = r.NumPlanes;
  if constexpr (kRegular) {
    Real origin = kFromCFirst ? static_cast<Real>(r.CFirst) : 0.0L;
    std::size_t i = Clamp(TruncIndex((c - origin) / r.CStep), n);
    std::size_t i2 = std::min(i + 1, n);
    Real clo = static_cast<Real>(i - 1) * r.CStep + origin;
    Real chi = i >= n ? static_cast<Real>(r.CLast) : clo + r.CStep;
    return BetweenPlanes(r, gb, i, i2, c, clo, chi);
  } else {
    std::size_t i = SearchPlane(r, c);
    std::size_t i2 = std::min(i + 1, n);
    return BetweenPlanes(r, gb, i, i2, c, r.GetCAngle(i), r.GetCAngle(i2));
  }
}

// --- B-beta members ---

// Translates a C-gamma direction into B-beta and reads the B grid (lower half space only).
float BFrontEnd(const TLUM32& r, float cf, float gf) {
  Real g = std::fabs(static_cast<Real>(gf));
  if (!(g <= r.CLast && g >= r.CFirst)) return 0.0f;  // also for NaN
  Real c = cf;
  if (!std::isfinite(c)) return 0.0f;
  c = std::fmod(c, 360.0L);
  if (c < 0) c += 360.0L;
  if (c == 0 && cf > 0) c = 360.0L;  // 360 itself stays 360
  Real b;
  if (Centi(g) == 9000) {
    b = (Centi(c) <= 9000 || Centi(c) > 27000) ? 90.0L : -90.0L;
  } else if (RoundHalfEven(1000.0L * g) == 0) {
    b = 0;
  } else {
    b = std::atan(std::sin(g * kDegToRad) * std::cos(c * kDegToRad) / std::cos(g * kDegToRad)) /
        kDegToRad;
  }
  Real x = std::sin(c * kDegToRad) * std::sin(g * kDegToRad);
  x = std::fmax(-1.0L, std::fmin(1.0L, x));
  Real beta = std::asin(x) / kDegToRad;
  return r.IntensityB(static_cast<float>(b), static_cast<float>(beta));
}

template <std::uint8_t kSymmetry>
float BGrid(const TLUM32& r, float bf, float betaf) {
  Real b = bf;
  Real beta = betaf;
  if constexpr (kSymmetry == 2 || kSymmetry == 4) beta = std::fabs(beta);
  if constexpr (kSymmetry == 3 || kSymmetry == 4) b = std::fabs(b);
  if (!(beta >= r.GFirst && beta <= r.GLast && b >= r.CFirst && b <= r.CLast)) return 0.0f;
  Bracket gb = SearchedGammaBracket(r, beta);
  const std::size_t n = r.NumPlanes;
  std::size_t k = 1;
  while (k <= n && r.GetCAngle(k) < b)
    ++k;
  std::size_t i = Clamp(k > 1 ? static_cast<std::int64_t>(k) - 1 : 1, n);
  std::size_t i2 = std::min(i + 1, n);
  return BetweenPlanes(r, gb, i, i2, b, r.GetCAngle(i), r.GetCAngle(i2));
}

// --- plane means ---

// Weight of plane i in the full-circle mean: half the distance to each neighbour, the last plane
// reaching round to 360.
Real FullCircleWeight(const TLUM32& r, std::size_t i) {
  const std::size_t n = r.NumPlanes;
  auto c = [&](std::size_t k) { return static_cast<Real>(r.GetCAngle(k)); };
  if (i == 1) return (c(2) - c(1)) / 2 + (360 - c(n)) / 2;
  if (i == n) return (c(n) - c(n - 1)) / 2 + (360 - c(n)) / 2;
  return (c(i) - c(i - 1)) / 2 + (c(i + 1) - c(i)) / 2;
}

// Weight of plane i in the mean over CFirst..CLast: the end planes count half.
Real PartCircleWeight(const TLUM32& r, std::size_t i) {
  const std::size_t n = r.NumPlanes;
  auto c = [&](std::size_t k) { return static_cast<Real>(r.GetCAngle(k)); };
  if (i == 1) return (c(2) - c(1)) / 2;
  if (i == n) return (c(n) - c(n - 1)) / 2;
  return (c(i + 1) - c(i - 1)) / 2;
}

// Reads stored planes at one gamma angle. For C-gamma records the gamma bracket is found once and
// each plane read without folding and bracketing C again: the same as Intensity(C(i), gamma).
template <bool kCGamma>
class StoredPlanes {
 public:
  StoredPlanes(const TLUM32& r, Real g) : r_(r), g_(g) {
    if constexpr (kCGamma) {
      outside_ = OutsideGamma(r, g);
      const bool regular = (r.GridFlags & kGammaIrregular) == 0 && r.GStep > 0;
      if (!outside_) bracket_ = regular ? RegularGammaBracket(r, g) : SearchedGammaBracket(r, g);
    }
  }
  float At(std::size_t i) const {
    if constexpr (kCGamma) {
      return outside_ ? 0.0f : PlaneValue(r_, i, bracket_);
    } else {
      return r_.Intensity(r_.GetCAngle(i), static_cast<float>(g_));
    }
  }

 private:
  const TLUM32& r_;
  Real g_;
  bool outside_ = false;
  Bracket bracket_;
};

template <bool kCGamma>
long double FullCircleMean(const TLUM32& r, long double g) {
  const std::size_t n = r.NumPlanes;
  if (n == 0) return 0;
  const StoredPlanes<kCGamma> planes(r, g);
  if (n == 1) return planes.At(1);
  Real sum = 0;
  for (std::size_t i = 1; i <= n; ++i)
    sum += FullCircleWeight(r, i) * planes.At(i);
  return sum / 360;
}

long double SinglePlaneMean(const TLUM32& r, long double g) {
  return r.Intensity(0.0f, static_cast<float>(g));
}

template <bool kCGamma>
long double PartCircleMean(const TLUM32& r, long double g) {
  const std::size_t n = r.NumPlanes;
  if (n == 0) return 0;
  const StoredPlanes<kCGamma> planes(r, g);
  Real span = static_cast<Real>(r.CLast) - r.CFirst;
  if (n == 1 || span == 0) return planes.At(1);
  Real sum = 0;
  for (std::size_t i = 1; i <= n; ++i)
    sum += PartCircleWeight(r, i) * planes.At(i);
  return sum / span;
}

IntensityRoutine CGammaRoutine(std::uint8_t symmetry, bool regular) {
  switch (symmetry) {
    case 0:
      return regular ? FullCircle<true> : FullCircle<false>;
    case 1:
      return regular ? Rotational<true> : Rotational<false>;
    case 2:
      return regular ? Mirrored<true, FoldSym2, false> : Mirrored<false, FoldSym2, false>;
    case 3:
      return regular ? Mirrored<true, FoldSym3, true> : Mirrored<false, FoldSym3, true>;
    case 4:
      return regular ? Mirrored<true, FoldSym4, false> : Mirrored<false, FoldSym4, false>;
    default:
      return Zero;
  }
}

IntensityRoutine BGridRoutine(std::uint8_t symmetry) {
  switch (symmetry) {
    case 0:
      return BGrid<0>;
    case 2:
      return BGrid<2>;
    case 3:
      return BGrid<3>;
    default:
      return BGrid<4>;
  }
}

}  // namespace

void SetupSymmetry(TLUM32& rec, std::uint8_t symmetry) {
  const bool gamma_ok = rec.GStep > 0;
  const bool c_ok = symmetry == 1 || rec.CStep > 0;
  const bool regular = rec.GridFlags == 0 && gamma_ok && c_ok;
  switch (rec.PhotSystem) {
    case kSystemC:
      if (symmetry > 4) {
        rec.BindRoutines(Zero, nullptr, ZeroMean);
        return;
      }
      rec.BindRoutines(CGammaRoutine(symmetry, regular), nullptr,
                       symmetry == 0   ? FullCircleMean<true>
                       : symmetry == 1 ? SinglePlaneMean
                                       : PartCircleMean<true>);
      return;
    case kSystemB:
      if (symmetry == 1 || symmetry > 4) {
        rec.BindRoutines(Zero, nullptr, ZeroMean);
        return;
      }
      rec.BindRoutines(BFrontEnd, BGridRoutine(symmetry),
                       symmetry == 0 ? FullCircleMean<false> : PartCircleMean<false>);
      return;
    case kSystemA:
      rec.BindRoutines(Zero, nullptr, ZeroMean);
      return;
    default:
      return;  // unknown systems keep their routines
  }
}

}  // namespace lumatra
