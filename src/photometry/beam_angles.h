// Intensity profiles through a plane pair and the beam and field angles read from them.
//
// A profile runs over the signed angle from nadir: positive angles lie in plane C, negative
// ones in plane C+180, so the C0-C180 profile is the curve a polar diagram draws for that pair.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumatra {

class TLUM32;

struct Profile {
  std::vector<double> angles;  // ascending, degrees
  std::vector<double> values;  // cd/klm; 0 outside the measured range
};

// The record's interpolated intensity through planes c and c + 180, at every half degree and at
// every stored gamma angle, so that straight lines between the points are the record's own
// interpolation.
Profile PlaneProfile(const TLUM32& rec, double c);
// The largest gamma angle a profile covers (180 for a full sphere, 90 for a B-beta record).
double ProfileReach(const TLUM32& rec);

struct BeamAngles {
  std::optional<double> beam;   // full angle between the 50 % points of the plane's peak
  std::optional<double> field;  // the same at 10 %
};

// From the plane's peak the profile is followed to each side until it falls below the fraction;
// the angle between the two crossings is the result. None when the plane has no light, its peak
// points upwards, or the intensity does not fall that far on either side.
std::optional<double> SpreadAngle(const Profile& profile, double fraction);
BeamAngles ProfileBeamAngles(const Profile& profile);

struct MainPlaneBeams {
  BeamAngles c0_c180, c90_c270;
};
MainPlaneBeams BeamAndFieldAngles(const TLUM32& rec);

// An angle with one decimal ("60.2"), or "-" for none; independent of the locale.
std::string SpreadText(std::optional<double> angle);

}  // namespace lumatra
