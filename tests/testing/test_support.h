// Helpers shared by the tests: fixture paths, temporary folders, records built in code.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "model/lum32.h"

namespace lumatra::testing {

std::filesystem::path TestDataDir();  // tests/data
std::filesystem::path ExamplesDir();  // examples/

// A real file, as its row of a corpus MANIFEST.tsv describes it.
struct CorpusEntry {
  std::filesystem::path path;
  std::string format;  // LDT, IES86, IES91, IES95, IES2002
  std::string notes;   // what the file holds: symmetry, grid, oddities
};

// The real files: those of tests/data/corpus, always there, then those of the larger shared
// corpus beside the repository (when present) whose bytes are not already in the list.
const std::vector<CorpusEntry>& Corpus();

// Every corpus file whose format is one of `formats` (e.g. "LDT", "IES95").
std::vector<std::filesystem::path> CorpusFiles(std::initializer_list<std::string> formats);

// A fresh empty folder under the system temp folder, removed by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

// Compares `actual` byte for byte with the golden file tests/data/golden/`name` and reports the
// first line that differs. With LUMATRA_UPDATE_GOLDEN=1 in the environment it writes the file
// instead (scripts/make-golden.sh), so a reviewer reads the change as a diff of data files.
void ExpectGolden(const std::string& name, const std::string& actual);

// A C-gamma record with the given angles; intensities from f(C, gamma). Symmetry and steps are
// set, GridFlags detected, SetupSymmetry called.
template <class F>
void FillGrid(TLUM32& rec, std::uint8_t symmetry, const std::vector<float>& c_angles,
              const std::vector<float>& gammas, F f);
void MakeGrid(TLUM32& rec, std::uint8_t symmetry, const std::vector<float>& c_angles,
              const std::vector<float>& gammas);
std::vector<float> Steps(float first, float step, float last);

template <class F>
void FillGrid(TLUM32& rec, std::uint8_t symmetry, const std::vector<float>& c_angles,
              const std::vector<float>& gammas, F f) {
  MakeGrid(rec, symmetry, c_angles, gammas);
  for (std::size_t i = 0; i < c_angles.size(); ++i)
    for (std::size_t j = 0; j < gammas.size(); ++j)
      rec.SetValue(i + 1, j + 1, static_cast<float>(f(c_angles[i], gammas[j])));
}

}  // namespace lumatra::testing
