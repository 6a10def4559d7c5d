// The batch driver: runs whose questions, outcomes, logs and written files are pinned in one golden
// transcript (failures that end only their file, missing folders, the overwrite answers, a stop
// press, the real files into every target format), the same with two threads, and two runs
// sharing a folder.
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
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using Answer = OverwriteAnswer;

// Answers overwrite questions from a script and writes down what happened, error messages too.
struct ScriptedUi : BatchUi, MessageSink {
  std::deque<Answer> answers;
  Answer unscripted = Answer::kNo;
  std::function<void()> on_pending_input;
  std::string seen;

  Answer AskOverwrite(const std::string& question, const std::string&) override {
    seen += "asked: " + question + "\n";
    if (answers.empty()) return unscripted;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  void ProcessPendingInput() override {
    if (on_pending_input) on_pending_input();
  }
  void FileDone(const std::string&, const FileOutcome& o, std::size_t left) override {
    const char* status[] = {"converted", "skipped", "failed"};
    seen += std::string(status[static_cast<int>(o.status)]) + " " + o.target + " " + o.reason +
            " (" + std::to_string(left) + " left)\n";
  }
  void RunEnded(bool stopped) override { seen += stopped ? "stopped\n" : "ended\n"; }
  void ShowError(std::string_view text) override { seen += "error: " + std::string(text) + "\n"; }
};

const fs::path kLamp = testing::TestDataDir() / "ldt" / "downlight.ldt";
const std::string kLongName = std::string(120, 'n') + ".v2.ldt";  // the target name is not cut
std::error_code kNoFolder;

struct Batch {
  testing::TempDir dir;
  ConversionSettings settings;
  ScriptedUi ui;
  BatchDriver driver{settings, ui, (dir / "LUMATRA.LOG").string()};
  std::string transcript;

  ~Batch() { SetMessageSink(nullptr); }
  Batch() {
    SetMessageSink(&ui);
    fs::create_directory(dir / "out");
    settings.DSTDIR = (dir / "out").string();
    for (const std::string& name :
         std::vector<std::string>{"a.ldt", "c.ldt", "d.ldt", "p.ldt", "q.ldt", "r.ldt", kLongName})
      fs::copy_file(kLamp, dir / name);
    testing::WriteFile(dir / "bad.ldt", "this is no photometric file\r\n");
  }
  // Writes "old" at the `old` targets, runs `names` (in the folder unless absolute) and notes the
  // run, its log and the out folder.
  void Run(std::string title, std::vector<std::string> names, std::uint8_t target,
           std::initializer_list<const char*> old = {}) {
    for (const char* name : old)
      testing::WriteFile(dir / "out" / name, "old");
    for (std::string& n : names)
      n = n.front() == '/' ? n : (dir / n).string();
    driver.StartStop(names, target);
    std::string listing = fs::exists(dir / "out") ? "" : " (none)";
    for (const auto& e : std::set<fs::path>(fs::directory_iterator(dir / "out", kNoFolder), {}))
      listing.append(" ").append(e.filename().string()).append(fs::is_directory(e) ? "/" : "");
    transcript += "## " + title + "\n" + ui.seen +
                  "log: " + testing::ReadFile(dir / "LUMATRA.LOG") + "\nout:" + listing + "\n\n";
    ui.seen.clear();
  }
};

// With two threads every question, outcome, log line and file is the one thread's.
class BatchDriverThreads : public ::testing::TestWithParam<unsigned> {};
INSTANTIATE_TEST_SUITE_P(OneAndTwo, BatchDriverThreads, ::testing::Values(1u, 2u));

TEST_P(BatchDriverThreads, RunsGiveTheGoldenTranscript) {
  Batch b;
  b.driver.SetThreads(GetParam());
  fs::create_directory(b.dir / "out" / "D.IES");  // a folder where the target should go
  b.Run("a failure ends only its file", {"a.ldt", "bad.ldt", "c.ldt", "d.ldt", kLongName},
        kFormatIes95);
  EXPECT_EQ(b.settings.ACTFMT, kFormatIes95);
  fs::remove_all(b.dir / "out");
  b.Run("the target folder vanished", {"a.ldt"}, kFormatEulumdat);
  b.settings.DSTDIR.clear();
  b.Run("no target folder: each file skipped on one log line", {"a.ldt", "c.ldt"}, kFormatEulumdat);
  fs::create_directory(b.dir / "out");
  b.settings.DSTDIR = (b.dir / "out").string();
  b.ui.answers = {Answer::kAll};
  b.Run("All answers the rest of the run", {"p.ldt", "q.ldt", "r.ldt"}, kFormatEulumdat,
        {"P.LDT", "Q.LDT", "R.LDT"});
  b.ui.answers = {Answer::kNo, Answer::kYes, Answer::kCancel};
  b.Run("a new run asks again: No, Yes, Cancel", {"p.ldt", "q.ldt", "r.ldt"}, kFormatEulumdat,
        {"P.LDT", "Q.LDT", "R.LDT"});
  for (const char* name : {"P.LDT", "R.LDT"})
    EXPECT_EQ(testing::ReadFile(b.dir / "out" / name), "old");
  std::vector<std::string> files{"s1", "s2", "s3"};
  int calls = 0;
  b.ui.on_pending_input = [&] {  // the second press stops the run before its next file
    if (++calls == 2) b.driver.StartStop(files, kFormatEulumdat);
  };
  b.Run("a stop press", {"a.ldt", "c.ldt", "d.ldt"}, kFormatTm14);
  EXPECT_FALSE(b.driver.Running());

  // The real files into every target format; B-beta sources get C planes for EULUMDAT, and
  // sources of one base name share a target that only the first writes, even after All.
  std::vector<std::string> real{(testing::TestDataDir() / "ies" / "type_b_full.ies").string()};
  for (const auto& e : testing::Corpus())
    if (e.path.string().starts_with((testing::TestDataDir() / "corpus").string()))
      real.push_back(e.path.string());
  b.ui.on_pending_input = nullptr;
  b.ui.unscripted = Answer::kAll;
  // clang-format off
  for (const auto& [target, planes] : {std::pair<std::uint8_t, int>{kFormatEulumdat, 0},
       {kFormatEulumdat, 3}, {kFormatTm14, 0}, {kFormatIes86, 0}, {kFormatIes91, 0},
       {kFormatIes95, 4}, {kFormatCie, 0}}) {
    // clang-format on
    fs::remove_all(b.dir / "out");
    fs::create_directory(b.dir / "out");
    b.settings.PLANES = planes;
    b.Run("real files, target " + std::to_string(target) + ", PLANES " + std::to_string(planes),
          real, target);
  }
  std::string transcript = b.transcript;
  for (const auto& [from, to] : {std::pair{b.dir.path().string(), std::string("{dir}")},
                                 {testing::TestDataDir().string(), std::string("{data}")}})
    for (std::size_t at = 0; (at = transcript.find(from, at)) != std::string::npos;)
      transcript.replace(at, from.size(), to);
  testing::ExpectGolden("app/batch_runs.txt", transcript);
}

// Neither of two runs may replace what the other wrote: each target is written once, and the run
// that comes second skips it as existing, even when both checked before either wrote.
TEST(BatchDriver, TwoRunsIntoOneFolderWriteEachTargetOnce) {
  Batch first;
  std::vector<std::string> sources;
  for (int i = 0; i < 80; ++i) {
    sources.push_back((first.dir / (std::to_string(i) + ".ldt")).string());
    fs::copy_file(kLamp, sources.back());
  }
  ScriptedUi second_ui;
  ConversionSettings second_settings = first.settings;  // each run stores its ACTFMT
  BatchDriver second(second_settings, second_ui, "");
  std::vector<std::string> first_files = sources, second_files = sources;
  std::thread other([&] { second.StartStop(second_files, kFormatIes95); });
  first.driver.StartStop(first_files, kFormatIes95);
  other.join();
  const std::string seen = first.ui.seen + second_ui.seen;
  auto count = [&](const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = seen.find(part, at)) != std::string::npos; ++at)
      ++n;
    return n;
  };
  EXPECT_EQ(count("converted "), sources.size());
  EXPECT_EQ(count(".IES exists, not overwritten ("), sources.size());
  EXPECT_EQ(std::distance(fs::directory_iterator(first.dir / "out"), {}), 80);  // no temporary
}

}  // namespace
}  // namespace lumatra
