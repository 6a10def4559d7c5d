// Grid resampling: the record is read off through its Intensity at every point of a new,
// equidistant full-circle grid; ChangeGrid then folds the result back to the old symmetry.
#include "photometry/resample.h"

#include <cmath>

#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/interpolation.h"
#include "photometry/transform_support.h"
#include "photometry/transforms.h"
#include "support/rounding.h"

namespace lumatra {

void SetGrid(TLUM32& rec, float c_step, float gamma_step) {
  // A step of 0 (the "keep" setting) keeps the record's current step.
  const float dc = Centi(c_step) > 0 ? c_step : transform::KeptCStep(rec);
  const float dg = Centi(gamma_step) > 0 ? gamma_step : transform::KeptGammaStep(rec);
  if (rec.Symmetry == 0 && rec.GridFlags == 0 && Centi(dc) == Centi(rec.CStep) &&
      Centi(dg) == Centi(rec.GStep))
    return;
  if (rec.PhotSystem != kSystemC || !rec.Matrix) return;

  const long double planes = RoundHalfEven(360.0L / dc);
  const long double gammas =
      RoundHalfEven((static_cast<long double>(rec.GLast) - rec.GFirst) / dg) + 1;
  if (!(planes >= 1 && gammas >= 1 && transform::TableFits(planes, gammas))) return;
  auto table =
      transform::NewTable(transform::EvenAngles(0, dc, static_cast<std::size_t>(planes)),
                          transform::EvenAngles(rec.GFirst, dg, static_cast<std::size_t>(gammas)));
  transform::SampleInto(rec, *table);  // unfolds the old symmetry to the full circle
  transform::ReplaceTable(rec, std::move(table));

  rec.PhotSystem = kSystemC;
  rec.Symmetry = 0;
  rec.CFirst = rec.GetCAngle(1);
  rec.CLast = rec.GetCAngle(rec.NumPlanes);
  // The last new gamma angle ends the range, so the grid and its bounds agree when the old
  // range is not a multiple of the new step.
  rec.GLast = rec.GetGamma(rec.NumGammas);
  rec.CStep = rec.CStepDetect();
  rec.GStep = rec.GammaStepDetect();
  if (rec.NumPlanes == 1) rec.CStep = dc;  // one plane: no step to detect
  if (rec.NumGammas == 1) rec.GStep = dg;
  SetupSymmetry(rec, 0);
  CalcFlux(rec);
}

void ChangeGrid(TLUM32& rec, float c_step, float gamma_step) {
  if (rec.PhotSystem != kSystemC) {
    const float s = transform::ConversionStep(rec);
    ConvertToCGamma(rec, 0, 90, 0, s, s);
  }
  const std::uint8_t symmetry = rec.Symmetry;
  SetGrid(rec, c_step, gamma_step);
  switch (symmetry) {
    case 1:
      MakeRotational(rec, true);
      break;
    case 2:
    case 3:
    case 4:
      MakeSymmetric(rec, symmetry, true, rec.CStep);
      break;
    default:
      break;
  }
  rec.FindPeak();
  CalcFlux(rec);
}

void ScaleIntensities(TLUM32& rec, float factor) {
  if (rec.NumPlanes != 0 && rec.Matrix) {
    for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
      for (std::size_t j = 1; j <= rec.NumGammas; ++j)
        rec.SetValue(i, j,
                     static_cast<float>(static_cast<long double>(rec.GetIntensity(i, j)) *
                                        static_cast<long double>(factor)));
  }
  CalcFlux(rec);
  rec.FindPeak();
}

}  // namespace lumatra
