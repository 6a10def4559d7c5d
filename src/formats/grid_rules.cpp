#include "formats/grid_rules.h"

#include "model/lum32.h"
#include "support/rounding.h"

namespace lumatra {

std::uint8_t SymmetryOfCRange(std::int64_t first_centi, std::int64_t last_centi) {
  if (first_centi == 0 && last_centi == 9000) return 4;
  if (first_centi == 0 && last_centi == 18000) return 2;
  if (first_centi == 9000 && last_centi == 27000) return 3;
  return 0;
}

std::uint8_t SymmetryOfBGrid(float first_b, float first_beta) {
  const bool b_zero = Centi(first_b) == 0;
  const bool beta_zero = Centi(first_beta) == 0;
  return b_zero ? (beta_zero ? 4 : 3) : (beta_zero ? 2 : 0);
}

void SummariseCGammaGrid(TLUM32& rec) {
  if (rec.Symmetry != 1) {
    rec.CFirst = rec.GetCAngle(1);
    rec.CLast = rec.GetCAngle(rec.NumPlanes);
    rec.CStep = rec.CStepDetect();
  }
  rec.GStep = rec.GammaStepDetect();
  rec.GFirst = rec.GetGamma(1);
  rec.GLast = rec.GetGamma(rec.NumGammas);
}

void SummariseBGrid(TLUM32& rec) {
  rec.CFirst = rec.GetCAngle(1);
  rec.GFirst = rec.GetGamma(1);
  rec.Symmetry = SymmetryOfBGrid(rec.CFirst, rec.GFirst);
  rec.GStep = rec.GammaStepDetect();
  rec.CStep = rec.CStepDetect();
  rec.MinCStep = rec.CStep;
  rec.MinGStep = rec.GStep;
  if (rec.MinCStep > 0 && rec.MinCStep < rec.MinGStep) rec.MinGStep = rec.MinCStep;
  rec.GLast = rec.GetGamma(rec.NumGammas);
  rec.CLast = rec.GetCAngle(rec.NumPlanes);
}

}  // namespace lumatra
