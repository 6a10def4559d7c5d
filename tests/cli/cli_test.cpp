// lumatra-cli as a user meets it: a session of commands whose exit codes, outputs, one-line
// errors and resulting files are pinned in one golden transcript, and the IES conversions it makes
// pinned byte for byte. The per-user store is moved into a temporary folder, so no test reads or
// writes the real user's settings.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::TestDataDir;
using testing::WriteFile;
using Args = std::vector<std::string>;

const bool kPrivateConfigHome = [] {
  static testing::TempDir config;
  return ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1) == 0;
}();

int RunCliWith(Args args, std::string& out, std::string& err) {
  args.insert(args.begin(), "lumatra-cli");
  std::vector<const char*> argv;
  for (const auto& a : args)
    argv.push_back(a.c_str());
  std::ostringstream o, e;
  const int status = RunCli(static_cast<int>(argv.size()), argv.data(), o, e);
  out = o.str(), err = e.str();
  return status;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

// The commands of tests/data/cli/session.cmds, each with its exit code, output, errors and the
// files the "out" folder then holds.
// The run time of a summary (" in 0.0157 s (63.6 files/s)") varies from run to run.
std::string WithoutTimings(std::string text) {
  for (std::size_t end; (end = text.find(" files/s)")) != std::string::npos;) {
    const std::size_t start = text.rfind(" in ", end);
    if (start == std::string::npos) break;
    text.replace(start, end + 9 - start, " in <time>");
  }
  return text;
}

TEST(Cli, ASessionGivesTheGoldenTranscript) {
  testing::TempDir tmp;
  const std::string dir = tmp.path().string(), data = TestDataDir().string();
  fs::create_directory(tmp / "out");
  fs::create_directory(tmp / "b");
  for (const char* name : {"lamp.ldt", "a.ldt", "b/LAMP.ldt"})
    fs::copy_file(TestDataDir() / "ldt" / "downlight.ldt", tmp / name);
  fs::copy(TestDataDir() / "cli", tmp.path());  // unreadable sources, hand-edited settings
  // There, but no file: a folder, a FIFO (a read would block), a link loop, a sparse giant.
  fs::create_directory(tmp / "folder.ldt");
  ASSERT_EQ(::mkfifo((tmp / "pipe.ldt").c_str(), 0600), 0);
  fs::create_symlink(tmp / "loop.ldt", tmp / "loop.ldt");
  WriteFile(tmp / "huge.ldt", "");
  fs::resize_file(tmp / "huge.ldt", 65u << 20);
  fs::copy_file(TestDataDir() / "ldt" / "downlight.ldt", tmp / "Flood\xB0.ldt");
  // A catalogue folder: what a folder input takes, with and without its subfolders.
  for (const char* name : {"tree/a.ldt", "tree/b.IES", "tree/noext", "tree/notes.txt",
                           "tree/sub/c.ldt", "tree/sub/d.ldt"})
    fs::create_directories(tmp / fs::path(name).parent_path());
  for (const char* name : {"tree/a.ldt", "tree/sub/c.ldt"})
    fs::copy_file(TestDataDir() / "ldt" / "downlight.ldt", tmp / name);
  fs::copy_file(TestDataDir() / "ies" / "williams_1995.ies", tmp / "tree/b.IES");
  for (const char* name : {"tree/noext", "tree/notes.txt", "tree/sub/d.ldt"})
    WriteFile(tmp / name, "no photometry\n");
  WriteFile(tmp / "list.txt",
            tmp.path().string() + "/a.ldt\r\n\n" + tmp.path().string() + "/tree/sub/c.ldt\n");

  std::ifstream script(TestDataDir() / "cli" / "session.cmds");
  std::string transcript;
  for (std::string line; std::getline(script, line);) {
    if (line.empty() || line[0] == '#') continue;
    for (std::size_t at; (at = line.find("\\x")) != std::string::npos;)
      line.replace(at, 4, 1, static_cast<char>(std::stoi(line.substr(at + 2, 2), nullptr, 16)));
    // "< FILE" at the end: standard input reads FILE.
    std::ifstream input;
    std::streambuf* const kept_input = std::cin.rdbuf();
    if (const std::size_t at = line.find(" < "); at != std::string::npos) {
      input.open(Replaced(line.substr(at + 3), "{dir}", dir));
      std::cin.rdbuf(input.rdbuf());
    }
    Args args;
    std::istringstream words(
        Replaced(Replaced(line.substr(0, line.find(" < ")), "{dir}", dir), "{data}", data));
    for (std::string word; words >> word;)
      args.push_back(word);
    std::string out, err;
    const int status = RunCliWith(args, out, err);
    std::cin.rdbuf(kept_input);
    for (char c = 1; c < ' '; ++c)
      line = Replaced(line, std::string(1, c), std::string{'^', static_cast<char>(c + '@')});
    if (fs::exists(tmp / "run.log")) err += "run.log: " + testing::ReadFile(tmp / "run.log");
    if (status == 0 && args.size() > 3 && args[3] == "set")
      out += "--- " + args[2] + "\n" + testing::ReadFile(args[2]);
    fs::remove(tmp / "run.log");
    std::string listing = "out:";
    for (const auto& e : std::set<fs::path>(fs::directory_iterator(tmp / "out"), {}))
      listing.append(" ").append(e.filename().string());
    const std::string text = "$ " + line + "\nexit " + std::to_string(status) + "\n" + out +
                             "--- errors\n" + err + "--- " + listing + "\n\n";
    transcript += WithoutTimings(Replaced(Replaced(text, dir, "{dir}"), data, "{data}"));
  }
  testing::ExpectGolden("cli/session.txt", transcript);
  EXPECT_EQ(testing::ReadFile(tmp / "a.ldt"),
            testing::ReadFile(TestDataDir() / "ldt/downlight.ldt"));
  EXPECT_EQ(testing::ReadFile(tmp / "bad.ini"), testing::ReadFile(TestDataDir() / "cli/bad.ini"));
  for (const char* edition : {"ies86", "ies91", "ies95", "ies02", "ies19"})
    for (const auto& e : fs::directory_iterator(tmp / edition)) {
      std::string source = e.path().stem().string();  // ERCO_1986.IES: erco_1986.ies86.IES
      std::transform(source.begin(), source.end(), source.begin(), ::tolower);
      testing::ExpectGolden("ies/" + source + "." + edition + ".IES", testing::ReadFile(e.path()));
    }
}

}  // namespace
}  // namespace lumatra
