// Gamma extension: IES files end their vertical angles at 90 or 180 degrees, so a table that
// stops short is continued on its own gamma step up to that end; the new directions lie outside
// the measured range and read 0. Every measured angle and value stays as it is: when the step does
// not divide the rest of the range, the last step is the shorter one.
#include <vector>

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
  // The rule is about the vertical angles of C-gamma photometry; the second axis of a B-beta or
  // A-alpha table is another angle, which IES does not ask to reach 90 degrees.
  if (rec.PhotSystem != kSystemC) return;
  const long double step = transform::KeptGammaStep(rec);
  std::vector<float> gammas = transform::GammaAngles(rec);
  for (long double g = rec.GLast + step; Centi(static_cast<float>(g)) < Centi(gamma_end);
       g += step) {
    if (!transform::TableFits(rec.NumPlanes, gammas.size() + 2)) return;
    gammas.push_back(static_cast<float>(g));
  }
  gammas.push_back(gamma_end);

  auto table = transform::NewTable(transform::PlaneAngles(rec), gammas);
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      table->SetValue(i, j, rec.GetIntensity(i, j));
  transform::ReplaceTable(rec, std::move(table));

  rec.GLast = gamma_end;
  rec.GStep = rec.GammaStepDetect();  // irregular when the last step is the shorter one
  SetupSymmetry(rec, rec.Symmetry);
  CalcFlux(rec);
  rec.FindPeak();
}

}  // namespace lumatra
