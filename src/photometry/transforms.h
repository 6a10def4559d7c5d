// Whole-table transforms: symmetry change, rotation, B-beta to C-gamma conversion, gamma
// extension. Each builds a new Matrix by reading the old record's Intensity, rebinds the
// interpolation routines and re-evaluates the record.
#pragma once

namespace lumatra {

class TLUM32;

// target: EULUMDAT symmetry indicator 0..4 (above 4: nothing).
void ChangeSymmetry(TLUM32& rec, int target, bool average);
void MakeRotational(TLUM32& rec, bool average);
// kind 2: about C0-C180, 3: about C90-C270, 4: about both.
void MakeSymmetric(TLUM32& rec, int kind, bool average, float c_step);
// B-beta (or A-alpha) to C-gamma; false when the record is C-gamma already.
bool ConvertToCGamma(TLUM32& rec, int symmetry, float gamma_end, float gamma_start,
                     float gamma_step, float c_step);
// Resamples after rotating all directions; (90, 0, 0) turns the old C0 plane into the new C90.
// A turn about the vertical axis only (a2 = a3 = 0) keeps the gamma range, any other gives 0..180.
void RotateGrid(TLUM32& rec, float a1, float a2, float a3);
// Extends the gamma range to gamma_end (90 or 180), zeros beyond the old range.
void ExtendGamma(TLUM32& rec, float gamma_end);

}  // namespace lumatra
