#include "photometry/beam_angles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>

#include "model/lum32.h"

namespace lumatra {

namespace {

// The angle where the straight line between two profile points reaches `level`.
double Crossing(double a0, double v0, double a1, double v1, double level) {
  return v0 == v1 ? a0 : a0 + (a1 - a0) * (level - v0) / (v1 - v0);
}

double Finite(float value) {
  return std::isfinite(value) ? value : 0.0;
}

}  // namespace

double ProfileReach(const TLUM32& rec) {
  if (rec.PhotSystem != kSystemC) return 90;
  return std::clamp(static_cast<double>(rec.GLast), 0.0, 180.0);
}

Profile PlaneProfile(const TLUM32& rec, double c) {
  const double reach = ProfileReach(rec);
  std::vector<double> gammas;
  for (int k = 0; k * 0.5 <= reach; ++k)
    gammas.push_back(k * 0.5);
  if (rec.PhotSystem == kSystemC)
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      if (const double g = rec.GetGamma(j); g >= 0 && g <= reach) gammas.push_back(g);
  gammas.push_back(reach);
  std::sort(gammas.begin(), gammas.end());
  gammas.erase(std::unique(gammas.begin(), gammas.end()), gammas.end());

  const double back = std::fmod(c + 180, 360);
  Profile profile;
  for (auto g = gammas.rbegin(); g != gammas.rend(); ++g) {
    if (*g == 0) continue;  // nadir belongs to both planes; it is taken once, below
    profile.angles.push_back(-*g);
    profile.values.push_back(
        Finite(rec.Intensity(static_cast<float>(back), static_cast<float>(*g))));
  }
  for (double g : gammas) {
    profile.angles.push_back(g);
    profile.values.push_back(Finite(rec.Intensity(static_cast<float>(c), static_cast<float>(g))));
  }
  return profile;
}

std::optional<double> SpreadAngle(const Profile& profile, double fraction) {
  const auto& v = profile.values;
  if (v.empty()) return std::nullopt;
  const std::size_t peak =
      static_cast<std::size_t>(std::max_element(v.begin(), v.end()) - v.begin());
  if (v[peak] <= 0 || std::abs(profile.angles[peak]) >= 90) return std::nullopt;
  const double level = fraction * v[peak];
  std::size_t right = peak, left = peak;
  while (right + 1 < v.size() && v[right + 1] >= level)
    ++right;
  while (left > 0 && v[left - 1] >= level)
    --left;
  if (right + 1 == v.size() || left == 0) return std::nullopt;
  const auto& a = profile.angles;
  return Crossing(a[right], v[right], a[right + 1], v[right + 1], level) -
         Crossing(a[left], v[left], a[left - 1], v[left - 1], level);
}

BeamAngles ProfileBeamAngles(const Profile& profile) {
  return {SpreadAngle(profile, 0.5), SpreadAngle(profile, 0.1)};
}

MainPlaneBeams BeamAndFieldAngles(const TLUM32& rec) {
  return {ProfileBeamAngles(PlaneProfile(rec, 0)), ProfileBeamAngles(PlaneProfile(rec, 90))};
}

std::string SpreadText(std::optional<double> angle) {
  if (!angle || !std::isfinite(*angle)) return "-";
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, *angle, std::chars_format::fixed, 1);
  return std::string(buffer, result.ptr);
}

}  // namespace lumatra
