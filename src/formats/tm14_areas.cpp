// Projected luminous areas of the TM14 closing line.
#include <cmath>

#include "formats/tm14.h"
#include "model/lum32.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

// Square metres from millimetre products.
constexpr long double kMm2PerM2 = 1e6L;

long double CircleArea(long double diameter) {
  return kPi * diameter * diameter / 4.0L / kMm2PerM2;
}

}  // namespace

long double ProjectedArea(const TLUM32& rec, float gamma, float c) {
  const long double length = rec.AreaDim.Length;
  const long double width = rec.AreaDim.Width;
  const long double diameter = rec.AreaDim.Diameter;
  const long double height = rec.AreaDim.HeightC0;
  const long double g = gamma * kDegToRad;
  const long double cr = c * kDegToRad;
  if (diameter != 0 && diameter == height) return CircleArea(diameter);  // seen as a sphere
  if (diameter != 0)
    return std::fabs(std::cos(g)) * CircleArea(diameter) +
           std::fabs(std::sin(g)) * (height * diameter / kMm2PerM2);
  return std::fabs(std::cos(g)) * length * width / kMm2PerM2 +
         std::fabs(std::sin(g) * std::cos(cr)) * height * length / kMm2PerM2 +
         std::fabs(std::sin(g) * std::sin(cr)) * height * width / kMm2PerM2;
}

bool HasLuminousArea(const TLUM32& rec) {
  const long double length = rec.AreaDim.Length;
  const long double width = rec.AreaDim.Width;
  const long double diameter = rec.AreaDim.Diameter;
  long double bottom, side_length, side_width;
  if (diameter != 0) {
    bottom = CircleArea(diameter);
    side_length = side_width = diameter * rec.AreaDim.HeightC0 / kMm2PerM2;
  } else {
    bottom = length * width / kMm2PerM2;
    side_length = length * rec.AreaDim.HeightC0 / kMm2PerM2;
    side_width = width * rec.AreaDim.HeightC90 / kMm2PerM2;
  }
  return bottom + side_length + side_width != 0;
}

bool NeedsAreaBlock(const TLUM32& rec) {
  if (rec.LightDir == 1) return false;
  return HasLuminousArea(rec);
}

}  // namespace lumatra
