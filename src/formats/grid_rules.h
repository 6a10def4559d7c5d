// How the text readers (IES, TM14, CIE 102) tell the symmetry from the angles a file lists, and
// the checks every reader makes of the grid it takes in.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumatra {

// C-gamma: by the first and last C angle in hundredths of a degree. 0..90 is symmetric about
// both planes (4), 0..180 about C0-C180 (2), 90..270 about C90-C270 (3); any other range is a
// full table (0).
std::uint8_t SymmetryOfCRange(std::int64_t first_centi, std::int64_t last_centi);

// B-beta, B planes as rows: a grid starting at B 0 holds one side of B (symmetric about the
// beta axis), one starting at beta 0 one side of beta; both: a quadrant (4), neither: none (0).
std::uint8_t SymmetryOfBGrid(float first_b, float first_beta);

class TLUM32;

// Completes a C-gamma record whose Matrix holds its angles: the C range and step from the planes
// (a rotational record keeps what its reader set), the gamma range and step from row 0.
void SummariseCGammaGrid(TLUM32& rec);

// Completes a B-beta record whose Matrix holds the B planes as rows and the beta angles along
// row 0: the angle range and steps, the symmetry, and the integration steps (the finer of the
// two steps; a zero B step, as of a single plane, does not count).
void SummariseBGrid(TLUM32& rec);

// --- checks of what a file declares; each gives "" when fine, else the one-line reason ---

// Every angle any format lists lies within -360..720 degrees.
inline constexpr long double kMinAngle = -360.0L;
inline constexpr long double kMaxAngle = 720.0L;
bool AngleInRange(long double angle);

// A table of `planes` x `angles` intensities: both counts 1..65535, and at most kMaxIntensities.
std::string CheckTableSize(std::int64_t planes, std::int64_t angles);

// An angle list as the interpolators need it: numbers within -360..720 that strictly ascend
// (or, with `descending_allowed`, that strictly descend as a whole). `what` names the list
// ("gamma angles"). On a fault, `at` (when given) receives the index of the angle at fault.
std::string CheckAngleList(const std::vector<double>& angles, const std::string& what,
                           bool descending_allowed = false, std::size_t* at = nullptr);

// An intensity or other stored value: finite and within the range of a single float.
inline bool FitsFloat(long double value) {
  return std::fabs(value) <= FLT_MAX;  // false for NaN and infinities
}

// Text of a number for a reason ("3e+38", "-0.5"); independent of the locale.
std::string NumberText(long double value);

}  // namespace lumatra
