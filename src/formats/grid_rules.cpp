#include "formats/grid_rules.h"

#include <cfloat>
#include <charconv>
#include <cmath>

#include "formats/textio.h"
#include "model/lum32.h"
#include "support/rounding.h"

namespace lumatra {

std::uint8_t SymmetryOfCRange(std::int64_t first_centi, std::int64_t last_centi) {
  if (first_centi == 0 && last_centi == 9000) return 4;
  if (first_centi == 0 && last_centi == 18000) return 2;
  if (first_centi == 9000 && last_centi == 27000) return 3;
  return 0;
}

std::uint8_t SymmetryOfBGrid(float first_b, float first_beta) {
  const bool b_zero = Centi(first_b) == 0;
  const bool beta_zero = Centi(first_beta) == 0;
  return b_zero ? (beta_zero ? 4 : 3) : (beta_zero ? 2 : 0);
}

void SummariseCGammaGrid(TLUM32& rec) {
  if (rec.Symmetry != 1) {
    rec.CFirst = rec.GetCAngle(1);
    rec.CLast = rec.GetCAngle(rec.NumPlanes);
    rec.CStep = rec.CStepDetect();
  }
  rec.GStep = rec.GammaStepDetect();
  rec.GFirst = rec.GetGamma(1);
  rec.GLast = rec.GetGamma(rec.NumGammas);
}

void SummariseBGrid(TLUM32& rec) {
  rec.CFirst = rec.GetCAngle(1);
  rec.GFirst = rec.GetGamma(1);
  rec.Symmetry = SymmetryOfBGrid(rec.CFirst, rec.GFirst);
  rec.GStep = rec.GammaStepDetect();
  rec.CStep = rec.CStepDetect();
  rec.MinCStep = rec.CStep;
  rec.MinGStep = rec.GStep;
  if (rec.MinCStep > 0 && rec.MinCStep < rec.MinGStep) rec.MinGStep = rec.MinCStep;
  rec.GLast = rec.GetGamma(rec.NumGammas);
  rec.CLast = rec.GetCAngle(rec.NumPlanes);
}

bool AngleInRange(long double angle) {
  return angle >= kMinAngle && angle <= kMaxAngle;  // false for NaN
}

std::string CheckTableSize(std::int64_t planes, std::int64_t angles) {
  auto text = [](std::int64_t n) { return FormatInteger(n); };
  if (planes < 1 || angles < 1 || planes > 65535 || angles > 65535)
    return text(planes) + " planes x " + text(angles) + " angles are not 1 to 65535 each";
  if (static_cast<std::uint64_t>(planes) * static_cast<std::uint64_t>(angles) > kMaxIntensities)
    return text(planes) + " x " + text(angles) + " intensities exceed the limit of " +
           text(static_cast<std::int64_t>(kMaxIntensities));
  return {};
}

std::string CheckAngleList(const std::vector<double>& angles, const std::string& what,
                           bool descending_allowed, std::size_t* at) {
  for (std::size_t k = 0; k < angles.size(); ++k) {
    if (at) *at = k;
    if (std::isnan(angles[k])) return what + " hold a value that is not a number";
    if (!AngleInRange(angles[k]))
      return what + " hold " + NumberText(angles[k]) + ", outside -360 to 720";
  }
  const bool descending = descending_allowed && angles.size() > 1 && angles[1] < angles[0];
  for (std::size_t k = 1; k < angles.size(); ++k) {
    if (descending ? angles[k] < angles[k - 1] : angles[k] > angles[k - 1]) continue;
    if (at) *at = k;
    return what + (descending_allowed ? " neither ascend nor descend" : " do not ascend");
  }
  return {};
}

std::string NumberText(long double value) {
  char buf[64];
  const auto d = static_cast<double>(value);
  // A value read as a single float is shown as that float ("3e+38", not "3.0000000054977558e+38").
  const bool single = FitsFloat(d) && static_cast<double>(static_cast<float>(d)) == d;
  auto [ptr, ec] = single ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(d))
                          : std::to_chars(buf, buf + sizeof buf, d);
  return ec == std::errc() ? std::string(buf, ptr) : std::string("?");
}

}  // namespace lumatra
