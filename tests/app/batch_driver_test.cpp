#include "app/batch_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

  OverwriteAnswer AskOverwrite(const std::string& question, const std::string&) override {
    questions.push_back(question);
    if (answers.empty()) return OverwriteAnswer::kNo;
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
  rec.Save(kFormatEulumdat, path.string());
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

}  // namespace
}  // namespace lumatra
