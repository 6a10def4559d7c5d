// Intensity interpolation: the family of routines that can stand behind a record's Intensity,
// IntensityB and MeanIntensity. One member per symmetry, grid kind and photometric system;
// SetupSymmetry binds them.
//
// C folding per symmetry (the stored part of the circle is shaded):
//
//   0 full circle      1 rotational       2 about C0-C180    3 about C90-C270   4 both planes
//   C0..C360-Dc         one plane          C0..C180           C90..C270          C0..C90
//                                          C > 180 -> 360-C   C > 270 -> 540-C   C > 90 -> |180-C|
//                                                             C < 90 -> 180-C    (C > 270: 360-C)
#pragma once

#include <cstdint>

namespace lumatra {

class TLUM32;

// Binds the record's Intensity, IntensityB and MeanIntensity for `symmetry`, by PhotSystem and
// GridFlags; called whenever a table was filled or changed (Load does it after every reader). A
// regular member is taken only when its step is usable (non-zero); otherwise the searched member,
// which interpolates the same grid without dividing by a step.
void SetupSymmetry(TLUM32& rec, std::uint8_t symmetry);

}  // namespace lumatra
