#include "testing/test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "photometry/interpolation.h"

namespace lumatra::testing {

std::filesystem::path TestDataDir() {
  return LUMATRA_TESTDATA_DIR;
}
std::filesystem::path ExamplesDir() {
  return LUMATRA_EXAMPLES_DIR;
}

namespace {

// The rows of `dir`/MANIFEST.tsv whose SHA-256 is not in `seen` (nothing when it is absent).
void AddManifest(const std::filesystem::path& dir, std::set<std::string>& seen,
                 std::vector<CorpusEntry>& out) {
  std::ifstream manifest(dir / "MANIFEST.tsv");
  std::string line;
  std::getline(manifest, line);  // header
  while (std::getline(manifest, line)) {
    // path, sha256, bytes, format, source_repo, source_path, license_of_repo, notes
    std::vector<std::string> fields;
    std::istringstream row(line);
    for (std::string field; std::getline(row, field, '\t');)
      fields.push_back(field);
    fields.resize(std::max<std::size_t>(fields.size(), 8));  // an empty last column
    if (fields[0].empty() || !seen.insert(fields[1]).second) continue;
    out.push_back({dir / fields[0], fields[3], fields[7]});
  }
}

}  // namespace

const std::vector<CorpusEntry>& Corpus() {
  static const std::vector<CorpusEntry> corpus = [] {
    std::vector<CorpusEntry> out;
    std::set<std::string> seen;
    AddManifest(LUMATRA_CORPUS_DIR, seen, out);
    AddManifest(LUMATRA_SHARED_CORPUS_DIR, seen, out);
    return out;
  }();
  return corpus;
}

std::vector<std::filesystem::path> CorpusFiles(std::initializer_list<std::string> formats) {
  std::vector<std::filesystem::path> out;
  for (const CorpusEntry& e : Corpus())
    if (std::find(formats.begin(), formats.end(), e.format) != formats.end()) out.push_back(e.path);
  return out;
}

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("lumatra-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<float> Steps(float first, float step, float last) {
  std::vector<float> v;
  for (int i = 0;; ++i) {
    float a = first + static_cast<float>(i) * step;
    if (a > last + step * 1e-3f) break;
    v.push_back(a);
  }
  return v;
}

void MakeGrid(TLUM32& rec, std::uint8_t symmetry, const std::vector<float>& c_angles,
              const std::vector<float>& gammas) {
  rec.Clear();
  rec.Matrix = std::make_unique<TSglArray>(c_angles.size() + 1, gammas.size() + 1);
  rec.NumPlanes = static_cast<std::uint16_t>(c_angles.size());
  rec.NumGammas = static_cast<std::uint16_t>(gammas.size());
  for (std::size_t i = 0; i < c_angles.size(); ++i)
    rec.SetValue(i + 1, 0, c_angles[i]);
  for (std::size_t j = 0; j < gammas.size(); ++j)
    rec.SetValue(0, j + 1, gammas[j]);
  rec.Symmetry = symmetry;
  rec.PhotSystem = kSystemC;
  rec.CFirst = c_angles.front();
  rec.CLast = c_angles.back();
  rec.GFirst = gammas.front();
  rec.GLast = gammas.back();
  rec.CStep = rec.CStepDetect();
  rec.GStep = rec.GammaStepDetect();
  rec.MinCStep = rec.CStep;
  rec.MinGStep = rec.GStep;
  if (symmetry == 1) rec.CStep = 0;
  rec.NumLampSets = 1;
  rec.LampSet[0].NumLamps = 1;
  rec.LampSet[0].TotalFlux = 1000;
  rec.LampSet[0].FluxPerLamp = 1000;
  rec.Loaded = 1;
  SetupSymmetry(rec, symmetry);
}

void ExpectGolden(const std::string& name, const std::string& actual) {
  const std::filesystem::path path = TestDataDir() / "golden" / name;
  if (const char* update = std::getenv("LUMATRA_UPDATE_GOLDEN"); update && *update == '1') {
    std::filesystem::create_directories(path.parent_path());
    WriteFile(path, actual);
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(path)) << name << ": no golden file (scripts/make-golden.sh)";
  const std::string expected = ReadFile(path);
  if (expected == actual) return;
  std::istringstream want(expected), got(actual);
  std::string want_line, got_line;
  for (int line = 1;; ++line) {
    const bool more_wanted = static_cast<bool>(std::getline(want, want_line));
    const bool more_got = static_cast<bool>(std::getline(got, got_line));
    if (more_wanted != more_got || want_line != got_line) {
      ADD_FAILURE() << name << ": line " << line
                    << " differs\n  golden: " << (more_wanted ? want_line : "(end)")
                    << "\n  actual: " << (more_got ? got_line : "(end)");
      return;
    }
    if (!more_wanted) break;
  }
  ADD_FAILURE() << name << ": differs in line ends only";
}

}  // namespace lumatra::testing
