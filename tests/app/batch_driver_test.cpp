#include "app/batch_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/conversion_log.h"
#include "app/format_table.h"
#include "model/lum32.h"
#include "support/text_fields.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;

// Answers overwrite questions from a script and records what happened.
class ScriptedUi : public BatchUi {
 public:
  std::deque<OverwriteAnswer> answers;
  std::vector<std::string> questions;
  std::vector<FileOutcome> outcomes;
  std::vector<std::size_t> remaining;
  std::function<void()> on_pending_input;
  bool ended_stopped = false;
  OverwriteAnswer unscripted = OverwriteAnswer::kNo;

  OverwriteAnswer AskOverwrite(const std::string& question, const std::string&) override {
    questions.push_back(question);
    if (answers.empty()) return unscripted;
    OverwriteAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void ProcessPendingInput() override {
    if (on_pending_input) on_pending_input();
  }
  void FileDone(const std::string&, const FileOutcome& outcome, std::size_t left) override {
    outcomes.push_back(outcome);
    remaining.push_back(left);
  }
  void RunEnded(bool stopped) override { ended_stopped = stopped; }
};

// A small EULUMDAT source written by the program itself.
void WriteSource(const fs::path& path) {
  TLUM32 rec;
  testing::FillGrid(rec, 2, testing::Steps(0, 15, 180), testing::Steps(0, 5, 90),
                    [](float, float g) { return 250.0 * std::cos(g * M_PI / 180.0); });
  rec.Company = "Test Lighting";
  Save(rec, kFormatEulumdat, path.string());
}

struct Batch {
  TempDir dir;
  ConversionSettings settings;
  ScriptedUi ui;
  BatchDriver driver{settings, ui, (dir / "LUMATRA.LOG").string()};

  Batch() {
    fs::create_directory(dir / "out");
    settings.DSTDIR = (dir / "out").string();
  }
  std::string Source(const std::string& name) {
    WriteSource(dir / name);
    return (dir / name).string();
  }
  std::string Out(const std::string& name) const { return (dir / "out" / name).string(); }
  std::string Log() const { return ReadFile(dir / "LUMATRA.LOG"); }
  void Run(std::vector<std::string> files, std::uint8_t target = kFormatEulumdat) {
    driver.StartStop(files, target);
  }
};

TEST(TargetName, KeepsTheDirectoryAndUpperCasesTheFileName) {
  EXPECT_EQ(TargetName("/data/Out", "/src/lamp.ies", kFormatEulumdat), "/data/Out/LAMP.LDT");
  EXPECT_EQ(TargetName("/data/Out/", "lamp.ies", kFormatIes95), "/data/Out/LAMP.IES");
  EXPECT_EQ(TargetName("out", "/a/b.c/lamp.v2.ldt", kFormatTm14), "out/LAMP.V2.CIB");
  EXPECT_EQ(TargetName("/o", "/a/noext", kFormatCie), "/o/NOEXT.LVK");
  EXPECT_EQ(TargetName("", "/a/lamp.ies", kFormatEulumdat), "");
  // Nothing is cut: a cut path writes elsewhere, a cut name lets two sources collide.
  const std::string deep = "/data/" + std::string(120, 'd');
  const std::string name = std::string(70, 'n');
  EXPECT_EQ(TargetName(deep, "/src/" + name + "_1.ldt", kFormatEulumdat),
            deep + "/" + std::string(70, 'N') + "_1.LDT");
}

TEST(BatchDriver, LogsEachFileOnOneLineAndAFailedLoadEndsOnlyThatFile) {
  Batch b;
  const std::string a = b.Source("a.ldt"), c = b.Source("c.ldt");
  testing::WriteFile(b.dir / "bad.ldt", "this is no photometric file\r\n");
  const std::string bad = (b.dir / "bad.ldt").string();
  std::vector<std::string> files{a, bad, c};
  b.driver.StartStop(files, kFormatIes95);
  EXPECT_TRUE(files.empty());
  // The failed file keeps only its name and the two blanks: no " DEST : ", no output.
  EXPECT_EQ(b.Log(), a + "   DEST : " + b.Out("A.IES") + "\r\n" + bad + "  " + c +
                         "   DEST : " + b.Out("C.IES") + "\r\n");
  EXPECT_TRUE(fs::exists(b.Out("A.IES")));
  EXPECT_FALSE(fs::exists(b.Out("BAD.IES")));
  ASSERT_EQ(b.ui.outcomes.size(), 3u);
  EXPECT_EQ(b.ui.outcomes[1].status, FileStatus::kFailed);
  EXPECT_FALSE(b.ui.outcomes[1].reason.empty());
  EXPECT_EQ(b.ui.outcomes[2].status, FileStatus::kConverted);
  EXPECT_EQ(b.settings.ACTFMT, kFormatIes95);
  EXPECT_EQ(b.ui.remaining, (std::vector<std::size_t>{2, 1, 0}));
  EXPECT_FALSE(b.ui.ended_stopped);
}

TEST(BatchDriver, WithoutATargetDirectoryEveryFileIsSkippedOnOneLogLine) {
  Batch b;
  b.settings.DSTDIR.clear();
  const std::string x = b.Source("x.ldt"), y = b.Source("y.ldt"), z = b.Source("z.ldt");
  b.Run({x, y, z});
  EXPECT_EQ(b.Log(), x + "  " + y + "  " + z + "  ");
  ASSERT_EQ(b.ui.outcomes.size(), 3u);
  for (const FileOutcome& o : b.ui.outcomes)
    EXPECT_EQ(o.status, FileStatus::kSkipped);
  EXPECT_TRUE(fs::is_empty(b.dir / "out"));
}

TEST(BatchDriver, AnUnwritableTargetFailsThatFileWithoutPartialOutput) {
  Batch b;
  const std::string one = b.Source("one.ldt"), two = b.Source("two.ldt");
  fs::create_directory(b.Out("ONE.LDT"));  // a folder where the target should go
  b.Run({one, two});
  ASSERT_EQ(b.ui.outcomes.size(), 2u);
  EXPECT_EQ(b.ui.outcomes[0].status, FileStatus::kFailed);
  EXPECT_NE(b.ui.outcomes[0].reason.find("cannot write"), std::string::npos);
  EXPECT_EQ(b.ui.outcomes[1].status, FileStatus::kConverted);
  EXPECT_EQ(b.Log(), one + "  " + two + "   DEST : " + b.Out("TWO.LDT") + "\r\n");
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(b.dir / "out"))
    ++entries;
  EXPECT_EQ(entries, 2u);  // the folder and TWO.LDT, no temporary left behind

  b.settings.DSTDIR = (b.dir / "missing").string();
  b.ui.outcomes.clear();
  b.Run({one});
  EXPECT_EQ(b.ui.outcomes.at(0).status, FileStatus::kFailed);
}

TEST(BatchDriver, AllAnswersTheRestOfTheRunAndANewRunAsksAgain) {
  Batch b;
  std::vector<std::string> sources;
  for (const char* name : {"p.ldt", "q.ldt", "r.ldt"}) {
    sources.push_back(b.Source(name));
    testing::WriteFile(b.Out(UpperCase(name)), "old");
  }
  b.ui.answers = {OverwriteAnswer::kAll};
  b.Run(sources);
  ASSERT_EQ(b.ui.questions.size(), 1u);
  EXPECT_EQ(b.ui.questions[0],
            "Datei P.LDT existiert bereits !  \xC3\x9C"
            "berschreiben ?");
  for (const char* name : {"P.LDT", "Q.LDT", "R.LDT"})
    EXPECT_NE(ReadFile(b.Out(name)), "old") << name;

  for (const char* name : {"P.LDT", "Q.LDT", "R.LDT"})
    testing::WriteFile(b.Out(name), "old");
  b.ui.questions.clear();
  b.ui.outcomes.clear();
  b.ui.answers = {OverwriteAnswer::kNo, OverwriteAnswer::kYes, OverwriteAnswer::kCancel};
  b.Run(sources);
  EXPECT_EQ(b.ui.questions.size(), 3u);
  EXPECT_EQ(ReadFile(b.Out("P.LDT")), "old");
  EXPECT_NE(ReadFile(b.Out("Q.LDT")), "old");
  EXPECT_EQ(ReadFile(b.Out("R.LDT")), "old");
  EXPECT_EQ(b.ui.outcomes[0].status, FileStatus::kSkipped);
  EXPECT_EQ(b.Log(), sources[0] + "  " + sources[1] + "   DEST : " + b.Out("Q.LDT") + "\r\n" +
                         sources[2] + "  ");
}

TEST(BatchDriver, AStopPressEndsTheRunBeforeTheNextFile) {
  Batch b;
  std::vector<std::string> files{b.Source("s1.ldt"), b.Source("s2.ldt"), b.Source("s3.ldt")};
  int calls = 0;
  b.ui.on_pending_input = [&] {
    if (++calls == 2) b.driver.StartStop(files, kFormatEulumdat);  // the second press
  };
  b.driver.StartStop(files, kFormatEulumdat);
  EXPECT_FALSE(b.driver.Running());
  EXPECT_TRUE(b.ui.ended_stopped);
  EXPECT_EQ(files.size(), 2u);
  EXPECT_TRUE(fs::exists(b.Out("S1.LDT")));
  EXPECT_FALSE(fs::exists(b.Out("S2.LDT")));
}

// Without --force neither run may replace what the other wrote: each target is written once,
// and the run that comes second skips it as existing, even when both checked before either wrote.
TEST(BatchDriver, TwoRunsIntoOneFolderWriteEachTargetOnce) {
  Batch first;
  std::vector<std::string> sources;
  for (int i = 0; i < 80; ++i)
    sources.push_back(first.Source(std::to_string(i) + ".ldt"));
  ScriptedUi second_ui;
  BatchDriver second(first.settings, second_ui, "");
  std::vector<std::string> first_files = sources, second_files = sources;
  std::thread other([&] { second.StartStop(second_files, kFormatIes95); });
  first.driver.StartStop(first_files, kFormatIes95);
  other.join();

  std::size_t converted = 0, skipped = 0;
  for (const ScriptedUi* ui : {&first.ui, &second_ui})
    for (const FileOutcome& o : ui->outcomes) {
      if (o.status == FileStatus::kConverted) {
        ++converted;
        continue;
      }
      ++skipped;
      EXPECT_EQ(o.reason, o.target + " exists, not overwritten");
    }
  EXPECT_EQ(converted, sources.size());
  EXPECT_EQ(skipped, sources.size());
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(first.dir / "out"))
    ++entries;
  EXPECT_EQ(entries, sources.size());  // the targets and no temporary
}

// --- the batch over the real files of the corpus, once per target format ---

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
    e.loads = Load(rec, file);
  } catch (const std::exception&) {
  }
  e.b_beta = e.loads && rec.PhotSystem != kSystemC;
  return e;
}

TEST(BatchCorpus, EveryTargetFormatGetsOneLogLinePerFileAndOneOutputPerConversion) {
  std::vector<std::string> files;
  for (const fs::path& p : testing::CorpusFiles({"LDT", "IES86", "IES91", "IES95", "IES2002"}))
    files.push_back(p.string());
  ASSERT_FALSE(files.empty());
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
    ScriptedUi ui;
    ui.unscripted = OverwriteAnswer::kAll;
    BatchDriver driver(settings, ui, (out / "LUMATRA.LOG").string());
    std::vector<std::string> list = files;
    driver.StartStop(list, run.target);
    ASSERT_EQ(ui.outcomes.size(), files.size());

    std::string log;
    std::set<std::string> targets;
    for (std::size_t i = 0; i < files.size(); ++i) {
      const FileOutcome& o = ui.outcomes[i];
      // Sources of one base name from other folders share a target: the first one writes it,
      // the later ones are skipped even after the answer All.
      EXPECT_EQ(
          o.status == FileStatus::kConverted,
          expected[i].loads && !targets.count(TargetName(settings.DSTDIR, files[i], run.target)))
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
