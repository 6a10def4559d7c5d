// The values evaluated from the real files: one row per vendored file in a golden table, checked
// against the ratios the files declare and against an independent integration of their tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "formats/textio.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/litg.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
constexpr double kPi = std::numbers::pi;

// The vendored real files, then the small type B and type A files: everything a golden row may
// come from (the optional shared corpus differs between machines).
std::vector<fs::path> GoldenSources() {
  std::vector<fs::path> out;
  for (const auto& e : testing::Corpus())
    if (e.path.string().starts_with((testing::TestDataDir() / "corpus").string()))
      out.push_back(e.path);
  for (const char* name : {"type_b_full.ies", "type_b_quadrant.ies", "type_a.ies"})
    out.push_back(testing::TestDataDir() / "ies" / name);
  return out;
}

std::string Row(const fs::path& path, TLUM32& rec) {
  char buf[64];
  std::string row = path.filename().string();
  auto put = [&](const char* format, double v) {
    std::snprintf(buf, sizeof buf, format, v);
    row.append("\t").append(buf);
  };
  for (double v : {+rec.LumFlux, +rec.DownFlux, +rec.UpFlux, +rec.DFF, +rec.LOR})
    put("%.4f", v);
  row.append("\tdir ").append(std::to_string(rec.LightDir));
  row.append("\ttype ").append(std::to_string(rec.LumType));
  put("peak %.2f", rec.PeakIntensity);
  put("at C%g", rec.PeakC);
  put("g%g", rec.PeakGamma);
  row.append("\tzones");
  for (float z : rec.ZoneFlux)
    put("%.2f", z);
  for (const float* ratios : {rec.DirectRatio, rec.DownRemainder, rec.UpDirect, rec.UpRemainder}) {
    row.append("\t|");
    for (int k = 0; k < 10; ++k)
      put("%.2f", ratios[k]);
  }
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

TEST(Derived, EveryRealFileEvaluatesToItsGoldenRowAndToTheRatiosItDeclares) {
  std::string table;
  std::vector<double> diffs;
  for (const fs::path& path : GoldenSources()) {
    TLUM32 rec;
    if (!rec.Load(path.string())) {
      table += path.filename().string() + "\tnot loaded\n";
      continue;
    }
    CalcFlux(rec);
    CalcZoneFlux(rec);
    rec.FindPeak();
    CalcDirectRatios(rec);
    table += Row(path, rec);
    double declared[10];
    if (path.extension() != ".ldt" || rec.LOR <= 0 ||
        !DeclaredRatios(testing::ReadFile(path), declared))
      continue;
    for (int k = 0; k < 10; ++k)
      diffs.push_back(std::fabs(rec.DirectRatio[k] / (10.0 * rec.LOR) - declared[k]));
  }
  testing::ExpectGolden("photometry/derived.tsv", table);
  ASSERT_GT(diffs.size(), 100u);
  std::nth_element(diffs.begin(), diffs.begin() + diffs.size() / 2, diffs.end());
  EXPECT_LE(diffs[diffs.size() / 2], 0.03) << "median distance to the declared direct ratios";
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

TEST(Derived, LuminaireFluxAgreesWithAnIndependentIntegration) {
  int checked = 0;
  for (const auto& file : testing::CorpusFiles({"LDT"})) {
    TLUM32 rec;
    if (!rec.Load(file.string()) || rec.GridFlags != 0 || rec.NumGammas < 3) continue;
    CalcFlux(rec);
    const double expected = IndependentFlux(rec);
    if (expected < 1) continue;
    EXPECT_NEAR(rec.LumFlux / expected, 1.0, 1e-5) << file;
    ++checked;
  }
  EXPECT_GE(checked, 25);
}

}  // namespace
}  // namespace lumatra
