// Checks of the intensity table itself: values that cannot be, planes that disagree where they
// meet, and symmetry the table has but does not use.
#include <algorithm>
#include <cmath>
#include <string>

#include "model/lum32.h"
#include "photometry/checks.h"
#include "support/findings.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

// A peak above this many cd/klm would need the whole lamp flux in a beam of about 1.6 degrees.
constexpr long double kHighestPlausiblePeak = 1e6L;

std::string At(const TLUM32& rec, std::size_t plane, std::size_t gamma) {
  const bool b = rec.PhotSystem != kSystemC;
  return std::string(b ? " at B " : " at C ") + Brief(rec.GetCAngle(plane)) +
         (b ? " beta " : " gamma ") + Brief(rec.GetGamma(gamma));
}

void CheckValues(const TLUM32& rec, Findings& findings) {
  std::size_t negatives = 0, fi = 0, fj = 0;
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
      const float v = rec.GetIntensity(i, j);
      if (!std::isfinite(v)) {
        findings.Add("table.non-finite", Severity::kError,
                     "intensity" + At(rec, i, j) + " is not a finite number");
        return;
      }
      if (v < 0 && negatives++ == 0) fi = i, fj = j;
    }
  if (negatives > 0)
    findings.Add("table.negative", Severity::kWarning,
                 std::to_string(negatives) + " negative intensities, the first " +
                     Brief(rec.GetIntensity(fi, fj)) + " cd/klm" + At(rec, fi, fj));
}

void CheckLight(const TLUM32& rec, Findings& findings) {
  if (rec.PeakIntensity <= 0) {
    findings.Add("table.all-zero", Severity::kError, "every intensity of the table is 0");
    return;
  }
  std::size_t dark_planes = 0, first_dark = 0;
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    bool dark = true;
    for (std::size_t j = 1; j <= rec.NumGammas && dark; ++j)
      dark = rec.GetIntensity(i, j) == 0;
    if (dark && dark_planes++ == 0) first_dark = i;
  }
  if (dark_planes > 0)
    findings.Add("table.dark-plane", Severity::kWarning,
                 std::string(rec.PhotSystem == kSystemC ? "plane C " : "plane B ") +
                     Brief(rec.GetCAngle(first_dark)) +
                     (dark_planes > 1 ? " and " + std::to_string(dark_planes - 1) + " more are"
                                      : std::string(" is")) +
                     " 0 throughout while the table is lit");
  if (rec.PeakIntensity > kHighestPlausiblePeak)
    findings.Add(
        "table.peak-too-high", Severity::kWarning,
        "peak of " + Brief(rec.PeakIntensity) + " cd/klm: the table is probably not in cd/klm");
}

// All planes meet at gamma 0 and 180: their values there must agree.
void CheckPoles(const TLUM32& rec, Findings& findings) {
  if (rec.PhotSystem != kSystemC || rec.NumPlanes < 2) return;
  for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
    const std::int64_t g = Centi(rec.GetGamma(j));
    if (g != 0 && g != 18000) continue;
    float low = rec.GetIntensity(1, j), high = low;
    for (std::size_t i = 2; i <= rec.NumPlanes; ++i) {
      low = std::min(low, rec.GetIntensity(i, j));
      high = std::max(high, rec.GetIntensity(i, j));
    }
    if (high - low > 0.01f * rec.PeakIntensity)
      findings.Add("table.pole-mismatch", Severity::kWarning,
                   "at gamma " + Brief(rec.GetGamma(j)) + " the planes range from " + Brief(low) +
                       " to " + Brief(high) + " cd/klm, more than 1 % of the peak apart");
  }
}

// A full circle listed to C360 holds the C0 plane twice.
void CheckClosingPlane(const TLUM32& rec, Findings& findings) {
  if (rec.PhotSystem != kSystemC || rec.NumPlanes < 2) return;
  if (Centi(rec.GetCAngle(1)) != 0 || Centi(rec.GetCAngle(rec.NumPlanes)) != 36000) return;
  long double largest = 0;
  for (std::size_t j = 1; j <= rec.NumGammas; ++j)
    largest = std::max<long double>(
        largest, std::fabs(rec.GetIntensity(1, j) - rec.GetIntensity(rec.NumPlanes, j)));
  if (largest > 0.01L * rec.PeakIntensity)
    findings.Add("table.c360-differs", Severity::kWarning,
                 "planes C0 and C360 differ by up to " + Brief(largest) + " cd/klm");
}

// Largest difference, relative to the peak, between the intensity at each stored point and at
// its image under `mirror` (a C angle to a C angle).
template <class Mirror>
long double Asymmetry(const TLUM32& rec, Mirror mirror) {
  long double largest = 0;
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
      const float c = rec.GetCAngle(i), g = rec.GetGamma(j);
      largest = std::max<long double>(largest,
                                      std::fabs(rec.Intensity(c, g) - rec.Intensity(mirror(c), g)));
    }
  return largest / rec.PeakIntensity;
}

float Wrap(long double c) {
  c = std::fmod(c, 360.0L);
  return static_cast<float>(c < 0 ? c + 360 : c);
}

// A table symmetric within 1 % of its peak could be stored with fewer planes.
void CheckUnusedSymmetry(const TLUM32& rec, Findings& findings) {
  if (rec.PhotSystem != kSystemC || rec.Symmetry == 1 || rec.PeakIntensity <= 0 ||
      rec.NumPlanes < 2)
    return;
  const long double about_c0 = Asymmetry(rec, [](float c) { return Wrap(360.0L - c); });
  const long double about_c90 = Asymmetry(rec, [](float c) { return Wrap(180.0L - c); });
  const long double rotation = Asymmetry(rec, [](float) { return 0.0f; });
  constexpr long double kWithin = 0.01L;
  int could = -1;
  if (rotation <= kWithin)
    could = 1;
  else if (rec.Symmetry != 4 && about_c0 <= kWithin && about_c90 <= kWithin)
    could = 4;
  else if (rec.Symmetry == 0 && about_c0 <= kWithin)
    could = 2;
  else if (rec.Symmetry == 0 && about_c90 <= kWithin)
    could = 3;
  static constexpr const char* kNames[] = {"", "rotationally symmetric", "symmetric about C0-C180",
                                           "symmetric about C90-C270",
                                           "symmetric about both planes"};
  if (could > 0)
    findings.Add("table.unused-symmetry", Severity::kNote,
                 std::string("the table is ") + kNames[could] +
                     " within 1 % of its peak but stored with symmetry " +
                     std::to_string(rec.Symmetry) + "; symmetry " + std::to_string(could) +
                     " would store it smaller");
}

}  // namespace

void CheckTable(const TLUM32& rec, Findings& findings) {
  CheckValues(rec, findings);
  CheckLight(rec, findings);
  if (rec.PeakIntensity <= 0) return;
  CheckPoles(rec, findings);
  CheckClosingPlane(rec, findings);
  CheckUnusedSymmetry(rec, findings);
}

}  // namespace lumatra
