// Pieces shared by the whole-table transforms: building a new angle grid, filling it from the
// record's Intensity as it stands, and the steps to use when a step setting says "keep".
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "model/sgl_array.h"

namespace lumatra {

class TLUM32;

namespace transform {

// The largest plane or gamma count a table can hold (the counts are 16-bit fields).
inline constexpr long double kMaxCount = 65535;

// Whether a table of these counts may be built: both counts 0..kMaxCount and no more
// intensities than a record may hold (kMaxIntensities). A step so fine that it asks for more
// leaves the record as it is.
bool TableFits(long double planes, long double gammas);

// count angles first, first + step, ... computed in extended precision.
std::vector<float> EvenAngles(long double first, long double step, std::size_t count);
// The stored C angles (column 0, rows 1..NumPlanes) and gamma angles (row 0).
std::vector<float> PlaneAngles(const TLUM32& rec);
std::vector<float> GammaAngles(const TLUM32& rec);

// A table with the plane angles down column 0 and the gamma angles along row 0.
std::unique_ptr<TSglArray> NewTable(const std::vector<float>& planes,
                                    const std::vector<float>& gammas);
// Every intensity cell (i, j) := rec.Intensity(C of row i, gamma of column j).
void SampleInto(const TLUM32& rec, TSglArray& table);
// Installs the table and the counts it carries.
void ReplaceTable(TLUM32& rec, std::unique_ptr<TSglArray> table);

// The smallest positive difference between consecutive stored angles, 0 when there is none.
float SmallestCDifference(const TLUM32& rec);
float SmallestGammaDifference(const TLUM32& rec);

// The C and gamma steps a "keep" (0) setting stands for: the record's step, else the step found
// in its angles; 15 degrees (C) or 5 degrees (gamma) when the record has none.
float KeptCStep(const TLUM32& rec);
float KeptGammaStep(const TLUM32& rec);

// Gamma and C step for bringing a B-beta record into the C-gamma system: the finer of the two
// steps as read, 5 degrees when that rounds to 0.
float ConversionStep(const TLUM32& rec);

}  // namespace transform
}  // namespace lumatra
