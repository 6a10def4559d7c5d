#include "photometry/transform_support.h"

#include <cmath>

#include "model/lum32.h"
#include "support/rounding.h"

namespace lumatra::transform {

namespace {

// A step is usable when it is positive at the system's 1/100 degree resolution and not more
// than a full circle.
bool Usable(float step) {
  return std::isfinite(step) && Centi(step) > 0 && step <= 360.0f;
}

float SmallestDifference(const std::vector<float>& angles) {
  float best = 0.0f;
  for (std::size_t i = 1; i < angles.size(); ++i) {
    float d = angles[i] - angles[i - 1];
    if (Usable(d) && (best == 0.0f || d < best)) best = d;
  }
  return best;
}

}  // namespace

bool TableFits(long double planes, long double gammas) {
  return planes >= 0 && gammas >= 0 && planes <= kMaxCount && gammas <= kMaxCount &&
         planes * gammas <= static_cast<long double>(kMaxIntensities);
}

std::vector<float> EvenAngles(long double first, long double step, std::size_t count) {
  std::vector<float> angles(count);
  for (std::size_t i = 0; i < count; ++i)
    angles[i] = static_cast<float>(first + static_cast<long double>(i) * step);
  return angles;
}

std::vector<float> PlaneAngles(const TLUM32& rec) {
  std::vector<float> angles(rec.NumPlanes);
  for (std::size_t i = 0; i < angles.size(); ++i)
    angles[i] = rec.GetCAngle(i + 1);
  return angles;
}

std::vector<float> GammaAngles(const TLUM32& rec) {
  std::vector<float> angles(rec.NumGammas);
  for (std::size_t j = 0; j < angles.size(); ++j)
    angles[j] = rec.GetGamma(j + 1);
  return angles;
}

std::unique_ptr<TSglArray> NewTable(const std::vector<float>& planes,
                                    const std::vector<float>& gammas) {
  auto table = std::make_unique<TSglArray>(planes.size() + 1, gammas.size() + 1);
  for (std::size_t i = 0; i < planes.size(); ++i)
    table->SetValue(i + 1, 0, planes[i]);
  for (std::size_t j = 0; j < gammas.size(); ++j)
    table->SetValue(0, j + 1, gammas[j]);
  return table;
}

void SampleInto(const TLUM32& rec, TSglArray& table) {
  for (std::size_t i = 1; i <= table.MaxRow(); ++i) {
    const float c = table.GetValue(i, 0);
    for (std::size_t j = 1; j <= table.MaxCol(); ++j)
      table.SetValue(i, j, rec.Intensity(c, table.GetValue(0, j)));
  }
}

void ReplaceTable(TLUM32& rec, std::unique_ptr<TSglArray> table) {
  rec.NumPlanes = table->MaxRow();
  rec.NumGammas = table->MaxCol();
  rec.Matrix = std::move(table);
}

float SmallestCDifference(const TLUM32& rec) {
  return SmallestDifference(PlaneAngles(rec));
}

float SmallestGammaDifference(const TLUM32& rec) {
  return SmallestDifference(GammaAngles(rec));
}

float KeptCStep(const TLUM32& rec) {
  if (Usable(rec.CStep)) return rec.CStep;
  if (Usable(rec.MinCStep)) return rec.MinCStep;
  float found = SmallestCDifference(rec);
  return found > 0.0f ? found : 15.0f;
}

float KeptGammaStep(const TLUM32& rec) {
  if (Usable(rec.GStep)) return rec.GStep;
  if (Usable(rec.MinGStep)) return rec.MinGStep;
  float found = SmallestGammaDifference(rec);
  return found > 0.0f ? found : 5.0f;
}

float ConversionStep(const TLUM32& rec) {
  const float s = rec.MinGStep >= rec.MinCStep ? rec.MinCStep : rec.MinGStep;
  return Centi(s) <= 0 ? 5.0f : s;
}

}  // namespace lumatra::transform
