// Gamma extension: IES files end their vertical angles at 90 or 180 degrees, so a table that
// stops short is continued on its own gamma step up to that end; the new directions lie outside
// the measured range and read 0.
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/interpolation.h"
#include "photometry/transform_support.h"
#include "photometry/transforms.h"
#include "support/rounding.h"

namespace lumatra {

void ExtendGamma(TLUM32& rec, float gamma_end) {
  // Only an extension: an end inside the range would cut measured data off.
  if (!rec.Matrix || Centi(gamma_end) <= Centi(rec.GLast)) return;
  // A B-beta table is continued along beta and read through its own grid routine; the A-alpha
  // system has no interpolation, so its table is left as it is.
  if (rec.PhotSystem != kSystemC && rec.PhotSystem != kSystemB) return;
  // The record's step, evened out so that the range ends exactly at gamma_end (an irregular
  // table's smallest step need not divide it).
  const long double span = static_cast<long double>(gamma_end) - rec.GFirst;
  const long double kept = transform::KeptGammaStep(rec);
  const long double gammas = RoundHalfEven(span / kept) + 1;
  if (!(gammas >= 2 && transform::TableFits(rec.NumPlanes, gammas))) return;
  const long double dg = span / (gammas - 1);

  auto table =
      transform::NewTable(transform::PlaneAngles(rec),
                          transform::EvenAngles(rec.GFirst, dg, static_cast<std::size_t>(gammas)));
  table->SetValue(0, table->MaxCol(), gamma_end);
  if (rec.PhotSystem == kSystemC) {
    transform::SampleInto(rec, *table);
  } else {
    for (std::size_t i = 1; i <= table->MaxRow(); ++i)
      for (std::size_t j = 1; j <= table->MaxCol(); ++j)
        table->SetValue(i, j, rec.IntensityB(table->GetValue(i, 0), table->GetValue(0, j)));
  }
  transform::ReplaceTable(rec, std::move(table));

  rec.GLast = rec.GetGamma(rec.NumGammas);
  // The new angles are equidistant by construction; the step is kept exactly (a detection in
  // thousandths of a degree would round an evened-out step such as 0.3103).
  rec.GStep = static_cast<float>(dg);
  rec.GridFlags &= static_cast<std::uint8_t>(~kGammaIrregular);
  SetupSymmetry(rec, rec.Symmetry);  // the grid may have become regular
  CalcFlux(rec);
  rec.FindPeak();
}

}  // namespace lumatra
