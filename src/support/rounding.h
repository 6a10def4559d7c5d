// "Nearest integer" throughout the system rounds halves to the even integer.
#pragma once

#include <cmath>
#include <cstdint>

namespace lumatra {

// Nearest integer, halves to even; NaN gives 0 and huge values saturate, so no input is UB.
inline std::int64_t RoundHalfEven(long double x) {
  if (std::isnan(x)) return 0;
  if (x >= 9.2e18L) return INT64_MAX;
  if (x <= -9.2e18L) return INT64_MIN;
  // rint rounds as nearbyint does (to even in the default mode) without saving and restoring the
  // floating-point environment, which costs more than the rounding itself.
  return static_cast<std::int64_t>(std::rint(x));
}

// Nearest integer of 100 * angle: the system compares angles at this resolution.
inline std::int64_t Centi(long double angle) {
  return RoundHalfEven(100.0L * angle);
}

// Keeps a value inside an unsigned 16-bit field (dimensions, wattage).
inline std::uint16_t ToU16(std::int64_t v) {
  return static_cast<std::uint16_t>(v < 0 ? 0 : v > 65535 ? 65535 : v);
}

inline constexpr long double kPi = 3.141592653589793238462643383279502884L;
inline constexpr long double kDegToRad = kPi / 180.0L;

}  // namespace lumatra
