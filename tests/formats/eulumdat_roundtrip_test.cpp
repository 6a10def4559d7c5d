// Real EULUMDAT files: every one loads, and writing it and reading the output back keeps the
// grid, the texts, the dimensions, the lamp data and every stored intensity.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "formats/eulumdat.h"
#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::CorpusFiles;
using testing::ExamplesDir;
using testing::TempDir;

// Equal to 5 significant digits (values below 1e-3 cd/klm count as equal to each other).
::testing::AssertionResult SameTo5Digits(float a, float b) {
  const double scale = std::max({std::fabs(a), std::fabs(b), 1e-3f});
  if (std::fabs(double{a} - b) <= 5e-5 * scale) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << a << " vs " << b;
}

// Column of `rec` whose gamma angle is `gamma`, 0 when there is none.
std::size_t GammaColumn(const TLUM32& rec, float gamma) {
  for (std::size_t k = 1; k <= rec.NumGammas; ++k)
    if (std::fabs(rec.GetGamma(k) - gamma) < 1e-3f) return k;
  return 0;
}

void ExpectSameTexts(const TLUM32& a, const TLUM32& b) {
  EXPECT_EQ(a.Company.str(), b.Company.str());
  EXPECT_EQ(a.ReportNo2.str(), b.ReportNo2.str());
  EXPECT_EQ(a.ReportNo.str(), b.ReportNo.str());
  EXPECT_EQ(a.LumName.str(), b.LumName.str());
  EXPECT_EQ(a.LumNumber.str(), b.LumNumber.str());
  EXPECT_EQ(a.DateUser.str(), b.DateUser.str());
  EXPECT_EQ(0, std::memcmp(&a.LumDim, &b.LumDim, sizeof a.LumDim));
  EXPECT_EQ(0, std::memcmp(&a.AreaDim, &b.AreaDim, sizeof a.AreaDim));
}

void ExpectSameLamps(const TLUM32& a, const TLUM32& b) {
  ASSERT_EQ(a.NumLampSets, b.NumLampSets);
  for (std::size_t k = 0; k < a.NumLampSets; ++k) {
    const LampSetData& x = a.LampSet[k];
    const LampSetData& y = b.LampSet[k];
    EXPECT_EQ(x.NumLamps, y.NumLamps);
    EXPECT_EQ(x.LampType.str(), y.LampType.str());
    EXPECT_FLOAT_EQ(+x.TotalFlux, +y.TotalFlux);
    EXPECT_FLOAT_EQ(+x.FluxPerLamp, +y.FluxPerLamp);
    EXPECT_EQ(x.ColourAppearance.str(), y.ColourAppearance.str());
    EXPECT_EQ(x.ColourRendering.str(), y.ColourRendering.str());
    EXPECT_EQ(+x.Wattage, +y.Wattage);
  }
}

// The copy has the same planes; its gammas are the original ones, or, for a regular range that
// does not start at 0, the full range 0..180 at the same step with zeros outside the original.
void ExpectSameTable(const TLUM32& a, const TLUM32& b) {
  EXPECT_EQ(a.Symmetry, b.Symmetry);
  EXPECT_EQ(a.PhotSystem, b.PhotSystem);
  EXPECT_EQ(a.GridFlags, b.GridFlags);
  ASSERT_EQ(a.NumPlanes, b.NumPlanes);
  EXPECT_FLOAT_EQ(a.CFirst, b.CFirst);
  EXPECT_FLOAT_EQ(a.CStep, b.CStep);
  EXPECT_FLOAT_EQ(a.CLast, b.CLast);
  EXPECT_FLOAT_EQ(a.GStep, b.GStep);
  for (std::size_t i = 1; i <= a.NumPlanes; ++i)
    EXPECT_FLOAT_EQ(a.GetCAngle(i), b.GetCAngle(i)) << "plane " << i;
  const bool extended = (a.GridFlags & kGammaIrregular) == 0 && a.GFirst >= 0.05f;
  if (extended) {
    EXPECT_FLOAT_EQ(b.GFirst, 0);
    EXPECT_FLOAT_EQ(b.GLast, 180);
  } else {
    ASSERT_EQ(a.NumGammas, b.NumGammas);
    EXPECT_FLOAT_EQ(a.GFirst, b.GFirst);
    EXPECT_FLOAT_EQ(a.GLast, b.GLast);
  }
  int mismatches = 0;
  for (std::size_t j = 1; j <= a.NumGammas; ++j) {
    const std::size_t k = GammaColumn(b, a.GetGamma(j));
    ASSERT_NE(k, 0u) << "gamma " << a.GetGamma(j) << " missing";
    for (std::size_t i = 1; i <= a.NumPlanes; ++i) {
      auto same = SameTo5Digits(a.GetIntensity(i, j), b.GetIntensity(i, k));
      if (!same && ++mismatches <= 5)
        ADD_FAILURE() << "plane " << i << " gamma " << j << ": " << same.message();
    }
  }
  EXPECT_EQ(mismatches, 0);
  for (std::size_t k = 1; extended && b.GetGamma(k) < a.GFirst - 0.01f; ++k)
    for (std::size_t i = 1; i <= b.NumPlanes; ++i)
      EXPECT_EQ(b.GetIntensity(i, k), 0.0f);
}

void ExpectSameRecord(const TLUM32& a, const TLUM32& b, const std::string& name) {
  SCOPED_TRACE(name);
  ExpectSameTexts(a, b);
  ExpectSameLamps(a, b);
  ExpectSameTable(a, b);
}

void ExpectRoundTrip(const std::filesystem::path& file, std::uint8_t code) {
  const std::string name = file.filename().string();
  TLUM32 original;
  ASSERT_TRUE(original.Load(file.string())) << name << ": " << original.ReadError;
  EXPECT_EQ(original.FileFormat, kFormatEulumdat) << name;

  TempDir dir;
  const std::string target = (dir / "OUT.LDT").string();
  original.Save(code, target);
  TLUM32 copy;
  ASSERT_TRUE(copy.Load(target)) << name << ": " << copy.ReadError;
  EXPECT_EQ(copy.FileFormat, kFormatEulumdat);
  EXPECT_EQ(copy.DataFileName.str(), "OUT");
  ExpectSameRecord(original, copy, name);
}

TEST(EulumdatCorpus, EveryFileLoadsAndSurvivesWritingAndReading) {
  const auto files = CorpusFiles({"LDT"});
  if (files.empty()) GTEST_SKIP() << "corpus not present";
  for (const auto& file : files)
    ExpectRoundTrip(file, kFormatEulumdat);
}

TEST(EulumdatCorpus, BundledExamplesSurviveWritingAndReading) {
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ExamplesDir())) {
    if (entry.path().extension() != ".ldt" && entry.path().extension() != ".LDT") continue;
    ExpectRoundTrip(entry.path(), kFormatEulumdat2);
    ++seen;
  }
  EXPECT_GE(seen, 4);
}

// A second pass changes nothing: the written file is a fixed point of read and write.
TEST(EulumdatCorpus, WritingTwiceGivesTheSameText) {
  const auto files = CorpusFiles({"LDT"});
  if (files.empty()) GTEST_SKIP() << "corpus not present";
  for (const auto& file : files) {
    TLUM32 first;
    ASSERT_TRUE(first.Load(file.string())) << file;
    first.SetFileName("SAME.LDT");
    first.DFF = 0.5f;  // a fraction, as after the flux evaluation
    const std::string text = EulumdatText(first);
    TLUM32 second;
    ASSERT_TRUE(ParseEulumdat(second, text)) << file << ": " << second.ReadError;
    second.SetFileName("SAME.LDT");
    second.DFF = 0.5f;
    EXPECT_EQ(EulumdatText(second), text) << file;
  }
}

// Damaged files: whatever the reader accepts can be written and read back; whatever it refuses
// it refuses with a reason.
TEST(EulumdatCorpus, DamagedFilesAreRefusedOrWrittenBack) {
  std::vector<std::string> texts;
  for (const auto& file : CorpusFiles({"LDT"}))
    if (std::filesystem::file_size(file) < 20000) texts.push_back(testing::ReadFile(file));
  if (texts.empty()) GTEST_SKIP() << "corpus not present";
  std::mt19937 random(11);
  int accepted = 0;
  for (int round = 0; round < 600; ++round) {
    std::string text = texts[random() % texts.size()];
    for (int edit = 0, edits = 1 + static_cast<int>(random() % 4); edit < edits; ++edit) {
      const std::size_t at = random() % text.size();
      switch (random() % 4) {
        case 0:
          text[at] = static_cast<char>(random());
          break;  // any byte
        case 1:
          text[at] = "0123456789.,-\n"[random() % 14];
          break;  // a plausible one
        case 2:
          text.erase(at, random() % 40);
          break;  // lines lost
        default:
          text.insert(at, text.substr(at, random() % 40));
          break;  // lines doubled
      }
      if (text.empty()) text = "x";
    }
    TLUM32 rec;
    if (!ParseEulumdat(rec, text)) {
      EXPECT_EQ(rec.ReadError.rfind("ldt: ", 0), 0u) << rec.ReadError;
      continue;
    }
    ++accepted;
    TLUM32 back;
    ASSERT_TRUE(ParseEulumdat(back, EulumdatText(rec))) << back.ReadError;
    EXPECT_EQ(back.NumPlanes, rec.NumPlanes);
    EXPECT_EQ(back.Symmetry, rec.Symmetry);
  }
  EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace lumatra
