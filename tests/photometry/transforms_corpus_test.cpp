// The whole-table transforms on the real files of the corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/resample.h"
#include "photometry/transforms.h"
#include "support/rounding.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

std::vector<std::string> Loadable(std::initializer_list<std::string> formats) {
  std::vector<std::string> out;
  for (const auto& path : testing::CorpusFiles(formats)) {
    TLUM32 rec;
    if (Load(rec, path.string())) out.push_back(path.string());
  }
  return out;
}

std::string Name(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

TEST(TransformsCorpus, QuarterTurnsKeepTheLorAndFourGiveTheTableBack) {
  const auto files = Loadable({"LDT"});
  ASSERT_FALSE(files.empty());
  for (const auto& path : files) {
    TLUM32 original;
    TLUM32 rec;
    Load(original, path);
    Load(rec, path);
    CalcFlux(original);
    original.FindPeak();
    CalcFlux(rec);
    RotateGrid(rec, 90, 0, 0);
    EXPECT_NEAR(rec.LOR, original.LOR, std::fabs(original.LOR) * 1e-5) << Name(path);
    for (int turn = 1; turn < 4; ++turn)
      RotateGrid(rec, 90, 0, 0);
    const double tolerance = 0.005 * original.PeakIntensity;
    int off = 0;
    for (std::size_t i = 1; i <= original.NumPlanes; ++i) {
      for (std::size_t j = 1; j <= original.NumGammas; ++j) {
        const float c = original.GetCAngle(i);
        const float g = original.GetGamma(j);
        if (std::fabs(rec.Intensity(c, g) - original.GetIntensity(i, j)) > tolerance) ++off;
      }
    }
    EXPECT_EQ(off, 0) << Name(path);
  }
}

TEST(TransformsCorpus, SymmetrisingASymmetricTableKeepsItsValues) {
  const auto files = Loadable({"LDT"});
  ASSERT_FALSE(files.empty());
  int checked = 0;
  for (const auto& path : files) {
    TLUM32 original;
    Load(original, path);
    if (original.Symmetry < 2 || original.Symmetry > 4 || original.GridFlags != 0) continue;
    TLUM32 rec;
    Load(rec, path);
    SetGrid(rec, rec.CStep, rec.GStep);  // unfold to the full circle
    ASSERT_EQ(rec.Symmetry, 0) << Name(path);
    MakeSymmetric(rec, original.Symmetry, true, original.CStep);
    ASSERT_EQ(rec.NumPlanes, original.NumPlanes) << Name(path);
    ASSERT_EQ(rec.NumGammas, original.NumGammas) << Name(path);
    for (std::size_t i = 0; i <= original.NumPlanes; ++i) {
      for (std::size_t j = 0; j <= original.NumGammas; ++j) {
        if (i + j == 0) continue;
        EXPECT_FLOAT_EQ(rec.GetIntensity(i, j), original.GetIntensity(i, j))
            << Name(path) << " row " << i << " column " << j;
      }
    }
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

// No corpus table ends short of 90 or 180 degrees, so each real table is cut short first (to 80
// or 120 degrees) and then extended to the end it had.
TEST(TransformsCorpus, GammaExtensionAddsOnlyZeros) {
  const auto files = Loadable({"LDT", "IES86", "IES91", "IES95", "IES2002"});
  ASSERT_FALSE(files.empty());
  int extended = 0;
  for (const auto& path : files) {
    TLUM32 original;
    Load(original, path);
    if (original.PhotSystem != kSystemC || (original.GLast != 90 && original.GLast != 180))
      continue;
    const float cut = original.GLast == 90 ? 80.0f : 120.0f;
    std::vector<float> planes, gammas;
    for (std::size_t i = 1; i <= original.NumPlanes; ++i)
      planes.push_back(original.GetCAngle(i));
    for (std::size_t j = 1; j <= original.NumGammas && original.GetGamma(j) <= cut; ++j)
      gammas.push_back(original.GetGamma(j));
    if (gammas.size() < 2) continue;
    TLUM32 rec, copy;
    for (TLUM32* r : {&rec, &copy})
      testing::FillGrid(*r, original.Symmetry, planes, gammas,
                        [&](float c, float g) { return original.Intensity(c, g); });
    ExtendGamma(rec, original.GLast);
    ++extended;
    EXPECT_EQ(rec.GLast, original.GLast) << Name(path);
    ASSERT_EQ(rec.NumPlanes, copy.NumPlanes) << Name(path);
    for (std::size_t j = 1; j <= rec.NumGammas; ++j) {
      const float g = rec.GetGamma(j);
      EXPECT_NEAR(g - rec.GFirst, rec.GStep * static_cast<float>(j - 1), 1e-3) << Name(path);
      for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
        // The cut table read at the new angle: interpolated inside its range, 0 beyond.
        const float expected = g > cut ? 0.0f : copy.Intensity(copy.GetCAngle(i), g);
        EXPECT_EQ(rec.GetIntensity(i, j), expected) << Name(path) << " " << i << " " << g;
      }
    }
  }
  EXPECT_GE(extended, 50);
}

}  // namespace
}  // namespace lumatra
