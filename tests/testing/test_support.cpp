#include "testing/test_support.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace lumatra::testing {

std::filesystem::path CorpusDir() {
  return std::filesystem::path(LUMATRA_CORPUS_DIR) / "files";
}
std::filesystem::path TestDataDir() {
  return LUMATRA_TESTDATA_DIR;
}
std::filesystem::path ExamplesDir() {
  return LUMATRA_EXAMPLES_DIR;
}

std::vector<std::filesystem::path> CorpusFiles(std::initializer_list<std::string> formats) {
  std::vector<std::filesystem::path> out;
  std::ifstream manifest(std::filesystem::path(LUMATRA_CORPUS_DIR) / "MANIFEST.tsv");
  std::string line;
  std::getline(manifest, line);  // header
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    std::string path, sha, bytes, format;
    std::getline(fields, path, '\t');
    std::getline(fields, sha, '\t');
    std::getline(fields, bytes, '\t');
    std::getline(fields, format, '\t');
    for (const auto& f : formats)
      if (f == format) out.push_back(std::filesystem::path(LUMATRA_CORPUS_DIR) / path);
  }
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
  rec.SetupSymmetry(symmetry);
}

}  // namespace lumatra::testing
