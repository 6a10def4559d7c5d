// Throughput of the conversion core on real files: parse + evaluate + format, in memory, so the
// figures are per core and free of disk effects. Run: build/bench/lumatra_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "app/pipeline.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/litg.h"
#include "photometry/resample.h"
#include "support/short_date.h"

namespace lumatra {
namespace {

// Reads the bytes as Load does once it has chosen the reader of `code`.
bool ReadAs(std::uint8_t code, TLUM32& rec, const std::string& bytes) {
  std::uint8_t reported = code;
  return FindFormat(code)->read(rec, bytes, reported, nullptr);
}

std::vector<std::string> FilesWithExtension(const std::filesystem::path& dir,
                                            const std::string& ext) {
  std::vector<std::string> out;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::string e = it->path().extension().string();
    for (char& c : e)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (e != ext) continue;
    std::ifstream in(it->path(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    out.push_back(s.str());
  }
  return out;
}

const std::vector<std::string>& LdtFiles() {
  static auto files =
      FilesWithExtension(std::filesystem::path(LUMATRA_CORPUS_DIR) / "files", ".ldt");
  return files;
}
// The typical catalogue file: at most 24 C planes of 37 gamma angles (15 x 5 degrees).
const std::vector<std::string>& TypicalLdtFiles() {
  static auto files = [] {
    std::vector<std::string> typical;
    for (const std::string& bytes : LdtFiles()) {
      TLUM32 rec;
      if (ReadAs(kFormatEulumdat, rec, bytes) && rec.NumGammas == 37 && rec.NumPlanes <= 24)
        typical.push_back(bytes);
    }
    return typical;
  }();
  return files;
}

const std::vector<std::string>& IesFiles() {
  static auto files =
      FilesWithExtension(std::filesystem::path(LUMATRA_CORPUS_DIR) / "files", ".ies");
  return files;
}

// Reads, evaluates and writes every file of the set once per iteration. With `pipeline` each
// file takes a batch's whole work in memory: the conversion pipeline with the default settings
// (the gamma range extended for IES, the direct ratios) between evaluation and the target's text.
void RunConversion(benchmark::State& state, const std::vector<std::string>& files,
                   std::uint8_t source, std::uint8_t target, bool pipeline = false) {
  if (files.empty()) {
    state.SkipWithError("no corpus files");
    return;
  }
  const ConversionSettings settings;
  std::size_t done = 0;
  for (auto _ : state) {
    for (const std::string& bytes : files) {
      TLUM32 rec;
      if (!ReadAs(source, rec, bytes)) continue;
      CalcFlux(rec);
      rec.FindPeak();
      if (pipeline) {
        const float lor0 = rec.LOR;
        rec.DateUser = FormatShortDate(TodayAsDays());
        RunPipeline(rec, target, rec.FileFormat, lor0, settings, [](std::string_view) {});
      }
      std::string out = FindFormat(target)->write(rec, target);
      benchmark::DoNotOptimize(out.data());
      ++done;
    }
  }
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(done), benchmark::Counter::kIsRate);
}

void BM_LdtToLdt(benchmark::State& state) {
  RunConversion(state, LdtFiles(), kFormatEulumdat, kFormatEulumdat);
}
BENCHMARK(BM_LdtToLdt)->Unit(benchmark::kMillisecond);

void BM_LdtToLdtTypical(benchmark::State& state) {
  RunConversion(state, TypicalLdtFiles(), kFormatEulumdat, kFormatEulumdat);
}
BENCHMARK(BM_LdtToLdtTypical)->Unit(benchmark::kMillisecond);

void BM_IesToIes95(benchmark::State& state) {
  RunConversion(state, IesFiles(), kFormatIes86, kFormatIes95);
}
BENCHMARK(BM_IesToIes95)->Unit(benchmark::kMillisecond);

void BM_IesToLdt(benchmark::State& state) {
  RunConversion(state, IesFiles(), kFormatIes86, kFormatEulumdat);
}
BENCHMARK(BM_IesToLdt)->Unit(benchmark::kMillisecond);

void BM_PipelineLdtToIes95(benchmark::State& state) {
  RunConversion(state, LdtFiles(), kFormatEulumdat, kFormatIes95, true);
}
BENCHMARK(BM_PipelineLdtToIes95)->Unit(benchmark::kMillisecond);

void BM_PipelineIesToLdt(benchmark::State& state) {
  RunConversion(state, IesFiles(), kFormatIes86, kFormatEulumdat, true);
}
BENCHMARK(BM_PipelineIesToLdt)->Unit(benchmark::kMillisecond);

// Resampling to 2.5-degree planes and 1-degree gammas, the finest grid the settings offer.
void BM_ChangeGridFine(benchmark::State& state) {
  const auto& files = LdtFiles();
  std::size_t done = 0;
  for (auto _ : state) {
    for (const std::string& bytes : files) {
      TLUM32 rec;
      if (!ReadAs(kFormatEulumdat, rec, bytes)) continue;
      CalcFlux(rec);
      ChangeGrid(rec, 2.5f, 1.0f);
      ++done;
    }
  }
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(done), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ChangeGridFine)->Unit(benchmark::kMillisecond);

void BM_DirectRatios(benchmark::State& state) {
  const auto& files = LdtFiles();
  std::vector<std::unique_ptr<TLUM32>> recs;
  for (const std::string& bytes : files) {
    auto rec = std::make_unique<TLUM32>();
    if (ReadAs(kFormatEulumdat, *rec, bytes)) {
      CalcFlux(*rec);
      recs.push_back(std::move(rec));
    }
  }
  std::size_t done = 0;
  for (auto _ : state) {
    for (auto& rec : recs) {
      rec->LitgDone = 0;
      CalcDirectRatios(*rec);
      ++done;
    }
  }
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(done), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DirectRatios)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumatra

BENCHMARK_MAIN();
