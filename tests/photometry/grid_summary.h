// The shape of a record's grid as one value, so a test compares it in one expectation.
#pragma once

#include <ostream>
#include <vector>

#include "model/lum32.h"

namespace lumatra::testing {

struct GridSummary {
  int symmetry, planes, gammas;
  float c_first, c_step, c_last, g_first, g_step, g_last;
  int flags = 0;
  bool operator==(const GridSummary&) const = default;
};

inline GridSummary Grid(const TLUM32& rec) {
  return {rec.Symmetry, rec.NumPlanes, rec.NumGammas, rec.CFirst, rec.CStep,
          rec.CLast,    rec.GFirst,    rec.GStep,     rec.GLast,  rec.GridFlags};
}

// The C angles of the stored planes, as the table holds them.
inline std::vector<float> CAngles(const TLUM32& rec) {
  std::vector<float> out;
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    out.push_back(rec.GetCAngle(i));
  return out;
}

inline void PrintTo(const GridSummary& g, std::ostream* os) {
  *os << "{symmetry " << g.symmetry << ", " << g.planes << " x " << g.gammas << ", C " << g.c_first
      << ":" << g.c_step << ":" << g.c_last << ", gamma " << g.g_first << ":" << g.g_step << ":"
      << g.g_last << ", flags " << g.flags << "}";
}

}  // namespace lumatra::testing
