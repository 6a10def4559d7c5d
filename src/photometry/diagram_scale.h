// Round scale values for diagram axes: 1, 2 or 5 times a power of ten.
#pragma once

#include <string>
#include <vector>

namespace lumatra {

struct Scale {
  double top = 1;  // the axis end, a multiple of step at or above the largest value
  double step = 1;
  std::vector<double> ticks;  // step, 2 step, ... top (0 left out)
};

// A scale from 0 with about `count` ticks that holds `largest`; a largest value that is not
// positive or not finite gives the scale 0..1.
Scale RoundScale(double largest, int count = 5);

// A tick value as text, without trailing zeros and independent of the locale ("0.25", "1500").
std::string TickText(double value);

}  // namespace lumatra
