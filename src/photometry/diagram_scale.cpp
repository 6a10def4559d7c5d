#include "photometry/diagram_scale.h"

#include <charconv>
#include <cmath>

namespace lumatra {

Scale RoundScale(double largest, int count) {
  Scale scale;
  if (!std::isfinite(largest) || largest <= 0 || count < 1) largest = 1;
  const double rough = largest / count;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    scale.step = factor * power;
    if (scale.step >= rough * (1 - 1e-9)) break;
  }
  const auto steps = static_cast<int>(std::ceil(largest / scale.step - 1e-9));
  for (int k = 1; k <= steps; ++k)
    scale.ticks.push_back(k * scale.step);
  scale.top = steps * scale.step;
  return scale;
}

std::string TickText(double value) {
  char buffer[64];
  // Three decimals are more than a round tick needs and hide binary noise (0.30000004).
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
  std::string text(buffer, result.ptr);
  while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.'))
    text.pop_back();
  return text == "-0" ? "0" : text;
}

}  // namespace lumatra
