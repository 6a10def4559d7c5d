#include "photometry/evaluation.h"

#include "model/lum32.h"

namespace lumatra {

void CalcFlux(TLUM32& rec) {
  rec.FluxCalcDone = 1;
}
void CalcZoneFlux(TLUM32& rec) {
  rec.ZoneFluxDone = 1;
}
long double ZoneFluxBetween(TLUM32&, long double&, long double&) {
  return 0;
}
long double ZoneFluxBetweenB(TLUM32&, long double&, long double&) {
  return 0;
}
long double MeanIntensityB(const TLUM32&, long double) {
  return 0;
}

}  // namespace lumatra
