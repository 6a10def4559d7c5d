// Photometric evaluation: luminaire flux, upward and downward flux, DFF, LOR, light direction and
// the 36 zonal fluxes of 5 degrees, integrated from the record's intensity table (cd/klm, so the
// fluxes are lumen per 1000 lamp lumens).
#pragma once

namespace lumatra {

class TLUM32;

void CalcFlux(TLUM32& rec);
void CalcZoneFlux(TLUM32& rec);
// Flux between gamma angles a and b (degrees). The bounds may be swapped and clamped in place.
long double ZoneFluxBetween(TLUM32& rec, long double& a, long double& b);
// The same for records in the B-beta system, integrated in one-degree pieces.
long double ZoneFluxBetweenB(TLUM32& rec, long double& a, long double& b);
// Mean of IntensityB over the stored B planes at beta (the B-beta flux integrand).
long double MeanIntensityB(const TLUM32& rec, long double beta);

}  // namespace lumatra
