// Conversion of B-beta (or A-alpha) photometry into the C-gamma system: every point of a new
// C-gamma grid is read through the record's own front end, which translates the direction into
// the record's system and interpolates there.
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/interpolation.h"
#include "photometry/transform_support.h"
#include "photometry/transforms.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

struct PlaneLayout {
  long double count;
  long double first;
  long double last;
};

// The C planes a table of symmetry s stores at step dc (no planes for an unknown symmetry).
PlaneLayout LayoutFor(int s, long double dc) {
  switch (s) {
    case 0:
      return {static_cast<long double>(RoundHalfEven(360 / dc)), 0, 360 - dc};
    case 1:
      return {1, 0, 0};
    case 2:
      return {static_cast<long double>(RoundHalfEven(180 / dc) + 1), 0, 180};
    case 3:
      return {static_cast<long double>(RoundHalfEven(180 / dc) + 1), 90, 270};
    case 4:
      return {static_cast<long double>(RoundHalfEven(90 / dc) + 1), 0, 90};
    default:
      return {0, 0, 0};
  }
}

}  // namespace

bool ConvertToCGamma(TLUM32& rec, int symmetry, float gamma_end, float gamma_start,
                     float gamma_step, float c_step) {
  if (rec.PhotSystem == kSystemC) return false;
  // Steps that round to 0 would divide by zero: take 5 degrees, as for an unknown step.
  const float dg = Centi(gamma_step) > 0 ? gamma_step : 5.0f;
  const float dc = Centi(c_step) > 0 ? c_step : 5.0f;
  const long double gammas =
      RoundHalfEven((static_cast<long double>(gamma_end) - gamma_start) / dg) + 1;
  const PlaneLayout layout = LayoutFor(symmetry, dc);
  if (!(gammas >= 1 && transform::TableFits(layout.count, gammas))) return false;

  auto table = transform::NewTable(
      transform::EvenAngles(layout.first, dc, static_cast<std::size_t>(layout.count)),
      transform::EvenAngles(gamma_start, dg, static_cast<std::size_t>(gammas)));
  transform::SampleInto(rec, *table);
  transform::ReplaceTable(rec, std::move(table));

  rec.GridFlags = 0;
  rec.PhotSystem = kSystemC;
  rec.Symmetry = static_cast<std::uint8_t>(symmetry);
  rec.GFirst = gamma_start;
  rec.GLast = rec.GetGamma(rec.NumGammas);  // gamma_end, unless the range is not a multiple of dg
  rec.GStep = dg;
  rec.CFirst = static_cast<float>(layout.first);
  rec.CLast = static_cast<float>(layout.last);
  rec.CStep = symmetry == 1 ? 0.0f : dc;  // a rotational table has no C step
  SetupSymmetry(rec, rec.Symmetry);
  CalcFlux(rec);
  return true;
}

}  // namespace lumatra
