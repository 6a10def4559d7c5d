// The batch driver: its log, the overwrite answers, failures that end only their file, stop
// presses, runs sharing a folder, and the batch over the real files into every target format.
#include "app/batch_driver.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "model/lum32.h"
#include "support/text_fields.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

// Answers overwrite questions from a script and records what happened.
struct ScriptedUi : BatchUi {
  std::deque<OverwriteAnswer> answers;
  OverwriteAnswer unscripted = OverwriteAnswer::kNo;
  std::vector<std::string> questions;
  std::vector<FileOutcome> outcomes;
  std::vector<std::size_t> remaining;
  std::function<void()> on_pending_input;
  bool ended_stopped = false;

  OverwriteAnswer AskOverwrite(const std::string& question, const std::string&) override {
    questions.push_back(question);
    if (answers.empty()) return unscripted;
    const OverwriteAnswer a = answers.front();
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

const fs::path kLamp = testing::TestDataDir() / "ldt" / "downlight.ldt";

struct Batch {
  testing::TempDir dir;
  ConversionSettings settings;
  ScriptedUi ui;
  BatchDriver driver{settings, ui, (dir / "LUMATRA.LOG").string()};

  Batch() {
    fs::create_directory(dir / "out");
    settings.DSTDIR = (dir / "out").string();
  }
  std::string Source(const std::string& name) {
    fs::copy_file(kLamp, dir / name);
    return (dir / name).string();
  }
  std::string Out(const std::string& name) const { return (dir / "out" / name).string(); }
  std::string Log() const { return ReadFile(dir / "LUMATRA.LOG"); }
  std::size_t Entries() const {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "out"))
      ++n;
    return n;
  }
  void Run(std::vector<std::string> files, std::uint8_t target = kFormatEulumdat) {
    driver.StartStop(files, target);
    EXPECT_TRUE(files.empty());
  }
};

TEST(TargetName, KeepsTheDirectoryUpperCasesTheNameAndCutsNothing) {
  const std::string deep = "/data/" + std::string(120, 'd');
  const struct {
    std::string directory, source;
    std::uint8_t code;
    std::string target;
  } cases[] = {
      {"/data/Out", "/src/lamp.ies", kFormatEulumdat, "/data/Out/LAMP.LDT"},
      {"/data/Out/", "lamp.ies", kFormatIes95, "/data/Out/LAMP.IES"},
      {"out", "/a/b.c/lamp.v2.ldt", kFormatTm14, "out/LAMP.V2.CIB"},
      {"/o", "/a/noext", kFormatCie, "/o/NOEXT.LVK"},
      {"", "/a/lamp.ies", kFormatEulumdat, ""},
      {deep, "/src/" + std::string(70, 'n') + "_1.ldt", kFormatEulumdat,
       deep + "/" + std::string(70, 'N') + "_1.LDT"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TargetName(c.directory, c.source, c.code), c.target) << c.source;
}

TEST(BatchDriver, LogsEachFileOnOneLineAndAFailureEndsOnlyThatFile) {
  Batch b;
  const std::string a = b.Source("a.ldt"), c = b.Source("c.ldt"), d = b.Source("d.ldt");
  testing::WriteFile(b.dir / "bad.ldt", "this is no photometric file\r\n");
  const std::string bad = (b.dir / "bad.ldt").string();
  fs::create_directory(b.Out("D.IES"));  // a folder where the target should go
  b.Run({a, bad, c, d}, kFormatIes95);
  // The failed files keep only their names and the two blanks: no " DEST : ", no output.
  EXPECT_EQ(b.Log(), a + "   DEST : " + b.Out("A.IES") + "\r\n" + bad + "  " + c +
                         "   DEST : " + b.Out("C.IES") + "\r\n" + d + "  ");
  const FileStatus kConverted = FileStatus::kConverted, kFailed = FileStatus::kFailed;
  ASSERT_EQ(b.ui.outcomes.size(), 4u);
  for (auto [i, status] : {std::pair{0, kConverted}, {1, kFailed}, {2, kConverted}, {3, kFailed}})
    EXPECT_EQ(b.ui.outcomes[i].status, status) << i;
  EXPECT_FALSE(b.ui.outcomes[1].reason.empty());
  EXPECT_NE(b.ui.outcomes[3].reason.find("cannot write"), std::string::npos);
  EXPECT_EQ(b.Entries(), 3u);  // A.IES, C.IES, the folder D.IES: no temporary left behind
  EXPECT_EQ(b.settings.ACTFMT, kFormatIes95);
  EXPECT_EQ(b.ui.remaining, (std::vector<std::size_t>{3, 2, 1, 0}));
  EXPECT_FALSE(b.ui.ended_stopped);

  // A target folder that is gone fails each file; none set skips each on one log line.
  b.settings.DSTDIR = (b.dir / "gone").string();
  b.ui.outcomes.clear();
  b.Run({a});
  EXPECT_EQ(b.ui.outcomes.at(0).status, FileStatus::kFailed);
  b.settings.DSTDIR.clear();
  b.ui.outcomes.clear();
  b.Run({a, c});
  EXPECT_EQ(b.Log(), a + "  " + c + "  ");
  for (const FileOutcome& o : b.ui.outcomes)
    EXPECT_EQ(o.status, FileStatus::kSkipped);
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
  EXPECT_EQ(b.ui.questions, std::vector<std::string>{"Datei P.LDT existiert bereits !  \xC3\x9C"
                                                     "berschreiben ?"});
  for (const char* name : {"P.LDT", "Q.LDT", "R.LDT"}) {
    EXPECT_NE(ReadFile(b.Out(name)), "old") << name;
    testing::WriteFile(b.Out(name), "old");
  }
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
  EXPECT_EQ(b.Entries(), 1u);
}

// Neither of two runs may replace what the other wrote: each target is written once, and the run
// that comes second skips it as existing, even when both checked before either wrote.
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
  std::size_t converted = 0;
  for (const ScriptedUi* ui : {&first.ui, &second_ui})
    for (const FileOutcome& o : ui->outcomes) {
      if (o.status == FileStatus::kConverted)
        ++converted;
      else
        EXPECT_EQ(o.reason, o.target + " exists, not overwritten");
    }
  EXPECT_EQ(converted, sources.size());
  EXPECT_EQ(first.Entries(), sources.size());  // the targets and no temporary
}

// The real files into every target format: one log line per file (with the markers of the steps
// that ran), one output per conversion, and sources of one base name from other folders sharing
// a target that only the first writes, even after the answer All.
TEST(BatchDriver, EveryRealFileIntoEveryTargetFormat) {
  std::vector<std::string> files{(testing::TestDataDir() / "ies" / "type_b_full.ies").string()};
  for (const fs::path& p : testing::CorpusFiles({"LDT", "IES86", "IES91", "IES95", "IES2002"}))
    files.push_back(p.string());
  std::vector<int> loads;  // 0 not, 1 C planes, 2 B or A planes
  for (const std::string& f : files) {
    TLUM32 rec;
    loads.push_back(!rec.Load(f) ? 0 : rec.PhotSystem == kSystemC ? 1 : 2);
  }
  testing::TempDir dir;
  const std::pair<std::uint8_t, std::int32_t> runs[] = {
      {kFormatEulumdat, 0}, {kFormatEulumdat, 3}, {kFormatTm14, 0}, {kFormatIes86, 0},
      {kFormatIes91, 0},    {kFormatIes95, 4},    {kFormatCie, 0}};
  for (const auto& [target, planes] : runs) {
    SCOPED_TRACE("target " + std::to_string(target) + ", PLANES " + std::to_string(planes));
    const fs::path out = dir / (std::to_string(target) + "_" + std::to_string(planes));
    fs::create_directory(out);
    ConversionSettings settings;
    settings.DSTDIR = out.string();
    settings.PLANES = planes;
    ScriptedUi ui;
    ui.unscripted = OverwriteAnswer::kAll;
    std::vector<std::string> list = files;
    BatchDriver(settings, ui, (out / "LUMATRA.LOG").string()).StartStop(list, target);
    ASSERT_EQ(ui.outcomes.size(), files.size());
    std::string log;
    std::set<std::string> targets, written;
    for (std::size_t i = 0; i < files.size(); ++i) {
      const FileOutcome& o = ui.outcomes[i];
      EXPECT_EQ(o.target, TargetName(settings.DSTDIR, files[i], target));
      EXPECT_EQ(o.status == FileStatus::kConverted, loads[i] && !targets.count(o.target))
          << files[i] << ": " << o.reason;
      log += files[i] + "  ";
      if (o.status != FileStatus::kConverted) continue;
      if (loads[i] == 2 && target == kFormatEulumdat) log += kMarkConvertedBC;
      if (planes != 0) log += kMarkRedimensioned;
      log += " DEST : " + o.target + "\r\n";
      targets.insert(o.target);
    }
    EXPECT_EQ(ReadFile(out / "LUMATRA.LOG"), log);
    for (const auto& e : fs::directory_iterator(out))
      if (e.path().filename() != "LUMATRA.LOG") written.insert(e.path().string());
    EXPECT_EQ(written, targets);
    EXPECT_GT(targets.size(), files.size() / 2);
  }
}

}  // namespace
}  // namespace lumatra
