// The values evaluated from the real files: one row per vendored file in a golden table, checked
// against the ratios the files declare and against an independent integration of their tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "formats/textio.h"
#include "model/lum32.h"
#include "photometry/litg.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
constexpr double kPi = std::numbers::pi;

const char kColumns[] =
    "# file, flux, down, up, DFF, LOR, light direction, type, peak cd/klm, at C, gamma; 36 zonal "
    "fluxes; direct ratios, remainders, upward direct, upward remainders for the 10 rooms\n";

std::string Row(const fs::path& path, const TLUM32& r) {
  std::vector<double> v{r.LumFlux, r.DownFlux,         r.UpFlux,          r.DFF,
                        r.LOR,     double(r.LightDir), double(r.LumType), r.PeakIntensity,
                        r.PeakC,   r.PeakGamma};
  v.insert(v.end(), r.ZoneFlux, r.ZoneFlux + 36);
  for (const float* part : {r.DirectRatio, r.DownRemainder, r.UpDirect, r.UpRemainder})
    v.insert(v.end(), part, part + 10);
  std::string row = path.filename().string();
  char buf[32];
  for (double x : v)
    row.append(buf, std::snprintf(buf, sizeof buf, "\t%.6g", x));
  return row + "\n";
}

// The ten direct ratios an EULUMDAT file declares: the ten lines after the lamp sets.
bool DeclaredRatios(const std::string& text, double out[10]) {
  LineReader in(text);
  for (int line = 1; line <= 25; ++line)
    in.ReadLine();
  const std::int32_t sets = StrToIntOrZero(in.ReadLine());
  if (sets < 1 || sets > 20) return false;
  for (int line = 0; line < 6 * sets; ++line)
    in.ReadLine();
  bool any = false;
  for (int k = 0; k < 10; ++k)
    any = (out[k] = StrToFloatOrZero(in.ReadLine())) != 0 || any;
  return any;
}

// Independent integration of the stored tables: the planes unfolded to the full circle by their
// symmetry, each weighted by the C range it represents; along gamma each stored angle owns the
// band between the midpoints to its neighbours.
double PlaneByBands(const TLUM32& rec, std::size_t row) {
  const std::size_t n = rec.NumGammas;
  auto cosine = [](double g) { return std::cos(g * kPi / 180); };
  double sum = 0;
  for (std::size_t j = 1; j <= n; ++j) {
    const double lo = j == 1 ? rec.GetGamma(1) : (rec.GetGamma(j - 1) + rec.GetGamma(j)) / 2;
    const double hi = j == n ? rec.GetGamma(n) : (rec.GetGamma(j) + rec.GetGamma(j + 1)) / 2;
    sum += rec.GetIntensity(row, j) * std::fabs(cosine(hi) - cosine(lo));
  }
  return sum;
}

double IndependentFlux(const TLUM32& rec) {
  if (rec.Symmetry == 1) return 2 * kPi * PlaneByBands(rec, 1);
  std::vector<std::pair<double, std::size_t>> planes;  // C angle, stored row
  auto add = [&](double c, std::size_t row) {
    c = std::fmod(c + 720.0, 360.0);
    for (const auto& p : planes)
      if (std::fabs(p.first - c) < 1e-4) return;
    planes.emplace_back(c, row);
  };
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i) {
    const double c = rec.GetCAngle(i);
    add(c, i);
    if (rec.Symmetry == 2 || rec.Symmetry == 4) add(360 - c, i);
    if (rec.Symmetry == 3) add(540 - c, i);
    if (rec.Symmetry == 4) add(180 - c, i), add(180 + c, i);
  }
  std::sort(planes.begin(), planes.end());
  const std::size_t n = planes.size();
  double phi = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double width =
        std::fmod(planes[(i + 1) % n].first - planes[(i + n - 1) % n].first + 720, 360) / 2;
    phi += width * kPi / 180 * PlaneByBands(rec, planes[i].second);
  }
  return phi;
}

// The vendored real files and the small type B files (the optional shared corpus differs between
// machines, so it has no golden rows).
TEST(Derived, EveryRealFileEvaluatesToItsGoldenRowToTheRatiosItDeclaresAndToItsIntegral) {
  std::vector<fs::path> files{testing::TestDataDir() / "ies" / "type_b_full.ies",
                              testing::TestDataDir() / "ies" / "type_b_quadrant.ies"};
  for (const auto& e : testing::Corpus())
    if (e.path.string().starts_with((testing::TestDataDir() / "corpus").string()))
      files.push_back(e.path);
  std::string table = kColumns;
  std::vector<double> diffs;
  int integrated = 0;
  for (const fs::path& path : files) {
    TLUM32 rec;
    ASSERT_TRUE(Load(rec, path.string())) << path;
    CalcDirectRatios(rec);  // evaluates the fresh record first
    rec.FindPeak();
    table += Row(path, rec);
    if (path.extension() != ".ldt") continue;
    const bool regular = rec.GridFlags == 0 && rec.NumGammas >= 3 && IndependentFlux(rec) > 1;
    EXPECT_NEAR(regular ? rec.LumFlux / IndependentFlux(rec) : 1, 1.0, 1e-5) << path;
    integrated += regular;
    double declared[10];
    if (rec.LOR > 0 && DeclaredRatios(testing::ReadFile(path), declared))
      for (int k = 0; k < 10; ++k)
        diffs.push_back(std::fabs(rec.DirectRatio[k] / (10.0 * rec.LOR) - declared[k]));
  }
  testing::ExpectGolden("photometry/derived.tsv", table);
  EXPECT_GE(integrated, 20);
  ASSERT_GT(diffs.size(), 100u);
  std::nth_element(diffs.begin(), diffs.begin() + diffs.size() / 2, diffs.end());
  EXPECT_LE(diffs[diffs.size() / 2], 0.03) << "median distance to the declared direct ratios";
}

}  // namespace
}  // namespace lumatra
