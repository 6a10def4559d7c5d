// LiTG direct ratios by the zonal-factor method. Point sources weigh their 5-degree zonal
// fluxes with the factors of column 1. Linear luminaires are classed by how broad their
// longitudinal distribution is, judged from the downward flux against the transverse curve:
//
//   v = DownFlux / (sum of the 18 transverse zone means) / (5 degrees in radians)
//
//   v >= pi        column 2 (cos^1 along the lamp axis)
//   8/3 .. pi      columns 2 and 3, weighted
//   3pi/4 .. 8/3   columns 3 and 4
//   64/35 .. 3pi/4 columns 4 and 5
//   v < 64/35      column 5 scaled by v / (64/35)
//
// and the factors are applied to the transverse zone means. Each column's factors are about
// (5 degrees in radians) x (its class value) x (the fraction reaching the plane), so a luminaire
// narrower than the narrowest class gets that class's fractions at its own v: the factors of
// column 5 times v / (64/35). They meet column 5 at the bound and keep the direct ratio below the
// downward flux (column 5 unscaled would put more flux on the plane than the luminaire sends
// down once v is small).
#include "photometry/litg.h"

#include <array>
#include <stdexcept>

#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/litg_factors.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

using Real = long double;

constexpr int kRooms = 10;
constexpr int kZones = 18;

// Two factor columns and the weight of the first: factor = w F(a) + (1 - w) F(b).
struct ClassMix {
  int a;
  int b;
  Real w;
};

ClassMix ClassFor(Real v) {
  constexpr Real kBroad = kPi;
  constexpr Real kSecond = 8.0L / 3.0L;
  constexpr Real kThird = 3.0L * kPi / 4.0L;
  constexpr Real kNarrow = 64.0L / 35.0L;
  if (v >= kBroad) return {2, 3, 1};
  if (v >= kSecond) return {2, 3, (v - kSecond) / (kBroad - kSecond)};
  if (v >= kThird) return {3, 4, (v - kThird) / (kSecond - kThird)};
  if (v >= kNarrow) return {4, 5, (v - kNarrow) / (kThird - kNarrow)};
  return {5, 0, v / kNarrow};  // column 0 reads 0
}

// Mean of the C0 and C180 curves over zone z (1..18) of a half, sampled at the five half degrees.
Real TransverseMean(const TLUM32& rec, int zone, bool upper) {
  const Real base = (upper ? 90.5L : 0.5L) + 5.0L * (zone - 1);
  Real sum = 0;
  for (int i = 0; i < 5; ++i) {
    const auto g = static_cast<float>(base + i);
    sum += (static_cast<Real>(rec.Intensity(0.0f, g)) + rec.Intensity(180.0f, g)) / 2;
  }
  return sum / 5;
}

// Direct flux of one half for one room: the zone means weighted by the class mix of factors.
Real LinearDirect(LIBEDAOBJ& factors, const std::array<Real, kZones>& means, ClassMix mix) {
  Real sum = 0;
  for (int z = 1; z <= kZones; ++z) {
    factors.SelectColumn(mix.a);
    const Real fa = factors.Factor(z);
    factors.SelectColumn(mix.b);
    const Real fb = factors.Factor(z);
    sum += (mix.w * fa + (1 - mix.w) * fb) * means[z - 1];
  }
  return sum;
}

void PointSourceRatios(TLUM32& rec) {
  LIBEDAOBJ factors;
  factors.SelectColumn(1);
  for (int k = 1; k <= kRooms; ++k) {
    Real down = 0;
    Real up = 0;
    factors.SelectRoom(k, false);
    for (int z = 1; z <= kZones; ++z)
      down += static_cast<Real>(factors.Factor(z)) * rec.ZoneFlux[z - 1];
    factors.SelectRoom(k, true);
    for (int z = 1; z <= kZones; ++z)
      up += static_cast<Real>(factors.Factor(z)) * rec.ZoneFlux[kZones + z - 1];
    rec.DirectRatio[k - 1] = static_cast<float>(down);
    rec.UpDirect[k - 1] = static_cast<float>(up);
    rec.DownRemainder[k - 1] = static_cast<float>(static_cast<Real>(rec.DownFlux) - down);
    rec.UpRemainder[k - 1] = static_cast<float>(static_cast<Real>(rec.UpFlux) - up);
  }
}

void LinearRatios(TLUM32& rec) {
  LIBEDAOBJ factors;
  std::array<Real, kZones> lower{};
  std::array<Real, kZones> upper{};
  Real lower_sum = 0;
  Real upper_sum = 0;
  for (int z = 1; z <= kZones; ++z) {
    lower[z - 1] = TransverseMean(rec, z, false);
    lower_sum += lower[z - 1];
  }
  const Real zone_width = 5.0L * kDegToRad;
  const Real q = RoundHalfEven(100.0L * lower_sum) == 0 ? 0 : rec.DownFlux / lower_sum;
  const ClassMix down_class = ClassFor(q / zone_width);

  const bool has_up = rec.UpFlux > 10;
  ClassMix up_class{5, 5, 1};
  if (has_up) {
    for (int z = 1; z <= kZones; ++z) {
      upper[z - 1] = TransverseMean(rec, z, true);
      upper_sum += upper[z - 1];
    }
    // No upward transverse curve: the upward flux lies off the C0-C180 plane, which the
    // factors do not see; the class does not matter then.
    if (upper_sum != 0) up_class = ClassFor(rec.UpFlux / upper_sum / zone_width);
  }

  for (int k = 1; k <= kRooms; ++k) {
    factors.SelectRoom(k, false);
    const Real down = LinearDirect(factors, lower, down_class);
    rec.DirectRatio[k - 1] = static_cast<float>(down);
    rec.DownRemainder[k - 1] = static_cast<float>(static_cast<Real>(rec.DownFlux) - down);
    if (!has_up) {
      rec.UpDirect[k - 1] = 0;
      rec.UpRemainder[k - 1] = 0;
      continue;
    }
    factors.SelectRoom(k, true);
    const Real up = LinearDirect(factors, upper, up_class);
    rec.UpDirect[k - 1] = static_cast<float>(up);
    rec.UpRemainder[k - 1] = static_cast<float>(static_cast<Real>(rec.UpFlux) - up);
  }
}

}  // namespace

LIBEDAOBJ::LIBEDAOBJ() {
  const std::optional<std::span<const std::uint8_t>> bytes = EmbeddedLitgFactors();
  if (!bytes) throw std::runtime_error("programming error");
  auto table = std::make_unique<TSglArray>(1, 1);
  if (bytes->empty() || !TSglArray::CreateFromBytes(*bytes, *table))
    throw std::runtime_error("LiTG factors not found");
  table_ = std::move(table);
  column_ = 1;
  column_index_ = 1;
  room_ = 1;
}

void LIBEDAOBJ::SelectColumn(int column) {
  column_ = static_cast<std::uint8_t>(column);
  column_index_ = static_cast<std::uint16_t>(column);
}

void LIBEDAOBJ::SelectRoom(int k, bool upper) {
  room_ = static_cast<std::uint8_t>(k);
  half_offset_ = upper ? 18 : 0;
  block_offset_ = static_cast<std::uint16_t>(k >= 1 ? (k - 1) * 36 : 0xFFFF);
}

float LIBEDAOBJ::Factor(int zone) const {
  // Zones outside 1..18 and column 0 lie outside the table and read 0.
  if (zone < 1 || zone > kZones || column_index_ < 1) return 0.0f;
  const std::size_t row = std::size_t{block_offset_} + half_offset_ + zone - 1;
  return table_->GetValue(row, column_index_ - 1u);
}

void CalcDirectRatios(TLUM32& rec) {
  if (!rec.FluxCalcDone) CalcFlux(rec);
  if (!rec.ZoneFluxDone) CalcZoneFlux(rec);
  if (rec.LumType == 2)
    LinearRatios(rec);
  else
    PointSourceRatios(rec);
  rec.LitgDone = 1;
}

}  // namespace lumatra
