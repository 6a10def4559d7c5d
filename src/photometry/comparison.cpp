#include "photometry/comparison.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/lum32.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

float Wrapped(long double c) {
  c = std::fmod(c, 360.0L);
  return static_cast<float>(c < 0 ? c + 360 : c);
}

// Sorted, with angles within 0.01 degree taken as one.
std::vector<float> Distinct(std::vector<float> angles) {
  std::sort(angles.begin(), angles.end());
  angles.erase(std::unique(angles.begin(), angles.end(),
                           [](float x, float y) { return Centi(x) == Centi(y); }),
               angles.end());
  return angles;
}

void AddPlanes(const TLUM32& rec, std::vector<float>& c_angles, std::vector<float>& gammas) {
  for (std::size_t j = 1; j <= rec.NumGammas; ++j)
    gammas.push_back(rec.GetGamma(j));
  if (rec.PhotSystem != kSystemC) return;  // B planes are not C angles: the 5-degree grid covers
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    const long double c = rec.GetCAngle(i);
    for (long double image : {c, 360 - c, 180 - c, 180 + c})
      c_angles.push_back(Wrapped(image));
  }
}

}  // namespace

PhotometricSummary Summarise(const TLUM32& rec) {
  PhotometricSummary s;
  s.flux = rec.LumFlux;
  s.lor = rec.LOR;
  s.dff = 100.0 * rec.DFF;
  s.peak = rec.PeakIntensity;
  s.peak_c = rec.PeakC;
  s.peak_gamma = rec.PeakGamma;
  for (std::size_t k = 0; k < 10; ++k)
    s.direct_ratios[k] = rec.LOR == 0 ? 0.0 : rec.DirectRatio[k] / (10.0 * rec.LOR);
  return s;
}

Comparison CompareRecords(const TLUM32& a, const TLUM32& b) {
  Comparison result;
  result.a = Summarise(a);
  result.b = Summarise(b);
  std::vector<float> c_angles, gammas;
  for (int step = 0; step < 72; ++step)
    c_angles.push_back(5.0f * static_cast<float>(step));
  for (int step = 0; step <= 36; ++step)
    gammas.push_back(5.0f * static_cast<float>(step));
  AddPlanes(a, c_angles, gammas);
  AddPlanes(b, c_angles, gammas);
  c_angles = Distinct(std::move(c_angles));
  gammas = Distinct(std::move(gammas));
  gammas.erase(
      std::remove_if(gammas.begin(), gammas.end(), [](float g) { return g < 0 || g > 180; }),
      gammas.end());

  long double sum = 0;
  for (float c : c_angles)
    for (float g : gammas) {
      const long double d =
          std::fabs(static_cast<long double>(a.Intensity(c, g)) - b.Intensity(c, g));
      sum += d;
      ++result.points;
      if (d > result.largest) {
        result.largest = static_cast<double>(d);
        result.largest_c = c;
        result.largest_gamma = g;
      }
    }
  const double peak = std::max(result.a.peak, result.b.peak);
  result.mean = result.points ? static_cast<double>(sum / result.points) : 0.0;
  result.largest_percent = peak > 0 ? 100.0 * result.largest / peak : 0.0;
  result.mean_percent = peak > 0 ? 100.0 * result.mean / peak : 0.0;
  return result;
}

}  // namespace lumatra
