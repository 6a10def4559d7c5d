// Grid resampling: a new equidistant C/gamma grid read off the record's Intensity.
#pragma once

namespace lumatra {

class TLUM32;

// Resamples to a full-circle (symmetry 0) C-gamma grid with the given steps.
void SetGrid(TLUM32& rec, float c_step, float gamma_step);
// Resamples to the new steps and restores the record's symmetry. A step of 0 keeps the current one.
void ChangeGrid(TLUM32& rec, float c_step, float gamma_step);
// Multiplies every intensity by factor, then re-evaluates.
void ScaleIntensities(TLUM32& rec, float factor);

}  // namespace lumatra
