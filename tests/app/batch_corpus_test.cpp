// The batch driver over the real files of the corpus, once per target format.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/batch_driver.h"
#include "app/conversion_log.h"
#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;

class RecordingUi : public BatchUi {
 public:
  OverwriteAnswer AskOverwrite(const std::string&, const std::string&) override {
    return OverwriteAnswer::kYes;  // sources of the same base name from different folders
  }
  void FileDone(const std::string& source, const FileOutcome& outcome, std::size_t) override {
    sources.push_back(source);
    outcomes.push_back(outcome);
  }
  std::vector<std::string> sources;
  std::vector<FileOutcome> outcomes;
};

// A floodlight measured in B-beta planes (IES photometric type B).
std::string WriteBBetaSource(const fs::path& dir) {
  const fs::path path = dir / "flood.ies";
  testing::WriteFile(path,
                     "IESNA:LM-63-1995\r\n[MANUFAC] Floodlight Works\r\nTILT=NONE\r\n"
                     "1 1000 1 5 3 2 2 0.5 0.3 0\r\n1 1 100\r\n-90 -45 0 45 90\r\n0 45 90\r\n"
                     "0 100 200 100 0\r\n0 80 150 80 0\r\n0 20 50 20 0\r\n");
  return path.string();
}

struct Expectation {
  bool loads = false;
  bool b_beta = false;
};

Expectation Probe(const std::string& file) {
  TLUM32 rec;
  Expectation e;
  try {
    e.loads = rec.Load(file);
  } catch (const std::exception&) {
  }
  e.b_beta = e.loads && rec.PhotSystem != kSystemC;
  return e;
}

TEST(BatchCorpus, EveryTargetFormatGetsOneLogLinePerFileAndOneOutputPerConversion) {
  std::vector<std::string> files;
  for (const fs::path& p : testing::CorpusFiles({"LDT", "IES86", "IES91", "IES95", "IES2002"}))
    files.push_back(p.string());
  if (files.empty()) GTEST_SKIP() << "corpus absent";
  testing::TempDir dir;
  files.push_back(WriteBBetaSource(dir.path()));
  std::vector<Expectation> expected;
  for (const std::string& f : files)
    expected.push_back(Probe(f));

  struct Run {
    std::uint8_t target;
    std::int32_t planes;
  } runs[] = {{kFormatEulumdat, 0}, {kFormatEulumdat, 3}, {kFormatTm14, 0}, {kFormatIes86, 0},
              {kFormatIes91, 0},    {kFormatIes95, 4},    {kFormatCie, 0}};
  for (const Run& run : runs) {
    SCOPED_TRACE("target " + std::to_string(run.target) + ", PLANES " + std::to_string(run.planes));
    const fs::path out =
        dir / ("out" + std::to_string(run.target) + "_" + std::to_string(run.planes));
    fs::create_directory(out);
    ConversionSettings settings;
    settings.DSTDIR = out.string();
    settings.PLANES = run.planes;
    RecordingUi ui;
    BatchDriver driver(settings, ui, (out / "LUMATRA.LOG").string());
    std::vector<std::string> list = files;
    driver.StartStop(list, run.target);
    ASSERT_EQ(ui.outcomes.size(), files.size());

    std::string log;
    std::set<std::string> targets;
    for (std::size_t i = 0; i < files.size(); ++i) {
      const FileOutcome& o = ui.outcomes[i];
      EXPECT_EQ(o.status == FileStatus::kConverted, expected[i].loads)
          << files[i] << ": " << o.reason;
      EXPECT_EQ(o.target, TargetName(settings.DSTDIR, files[i], run.target));
      log += files[i] + "  ";
      if (o.status != FileStatus::kConverted) continue;
      if (expected[i].b_beta && run.target == kFormatEulumdat) log += kMarkConvertedBC;
      if (run.planes != 0) log += kMarkRedimensioned;
      log += " DEST : " + o.target + "\r\n";
      targets.insert(o.target);
    }
    EXPECT_EQ(testing::ReadFile(out / "LUMATRA.LOG"), log);
    std::set<std::string> written;
    for (const auto& e : fs::directory_iterator(out))
      if (e.path().filename() != "LUMATRA.LOG") written.insert(e.path().string());
    EXPECT_EQ(written, targets);
    EXPECT_GT(targets.size(), files.size() / 2);
  }
}

}  // namespace
}  // namespace lumatra
