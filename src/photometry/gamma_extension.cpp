// Gamma extension: IES files end their vertical angles at 90 or 180 degrees, so a table that
// stops short is continued on its own gamma step up to that end; the new directions lie outside
// the measured range and read 0.
#include "model/lum32.h"
#include "photometry/evaluation.h"
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
  const float dg = transform::KeptGammaStep(rec);
  const long double gammas =
      RoundHalfEven((static_cast<long double>(gamma_end) - rec.GFirst) / dg) + 1;
  if (!(gammas >= 1 && gammas <= transform::kMaxCount)) return;

  auto table =
      transform::NewTable(transform::PlaneAngles(rec),
                          transform::EvenAngles(rec.GFirst, dg, static_cast<std::size_t>(gammas)));
  if (rec.PhotSystem == kSystemC) {
    transform::SampleInto(rec, *table);
  } else {
    for (std::size_t i = 1; i <= table->MaxRow(); ++i)
      for (std::size_t j = 1; j <= table->MaxCol(); ++j)
        table->SetValue(i, j, rec.IntensityB(table->GetValue(i, 0), table->GetValue(0, j)));
  }
  transform::ReplaceTable(rec, std::move(table));

  rec.GLast = rec.GetGamma(rec.NumGammas);
  rec.GStep = rec.GammaStepDetect();
  rec.SetupSymmetry(rec.Symmetry);  // the grid may have become regular
  CalcFlux(rec);
  rec.FindPeak();
}

}  // namespace lumatra
