// How the text readers (IES, TM14, CIE 102) tell the symmetry from the angles a file lists.
#pragma once

#include <cstdint>

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

}  // namespace lumatra
