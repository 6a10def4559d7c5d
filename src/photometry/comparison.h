// Comparing two evaluated records, as a reviewer of a conversion wants it: the derived values
// side by side and the intensity differences over the union of both grids.
#pragma once

#include <array>

namespace lumatra {

class TLUM32;

struct PhotometricSummary {
  double flux = 0;  // lm per 1000 lm of lamp flux
  double lor = 0;   // percent
  double dff = 0;   // percent
  double peak = 0;  // cd/klm
  double peak_c = 0, peak_gamma = 0;
  std::array<double, 10> direct_ratios{};  // as EULUMDAT writes them (fractions)
};

struct Comparison {
  PhotometricSummary a, b;
  double largest = 0;          // largest |Ia - Ib| in cd/klm
  double largest_percent = 0;  // of the larger peak
  double largest_c = 0, largest_gamma = 0;
  double mean = 0;          // mean |Ia - Ib| over the grid, cd/klm
  double mean_percent = 0;  // of the larger peak
  unsigned points = 0;      // directions compared
};

PhotometricSummary Summarise(const TLUM32& rec);

// Both records evaluated. The directions are every stored C (or B) angle of either record with
// its images under the symmetries, and a 5-degree grid, crossed with the gamma angles of both
// and the 5-degree steps; each intensity is interpolated in its own record.
Comparison CompareRecords(const TLUM32& a, const TLUM32& b);

}  // namespace lumatra
