// lumatra-cli as a user meets it: a session of commands whose exit codes, outputs, one-line
// errors and resulting files are pinned in one golden transcript, and conversions pinned byte for
// byte. The per-user store is moved into a temporary folder, so no
// test reads or writes the real user's settings.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <regex>
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

// Every `{dir}` in the arguments is the session's folder; the transcript shows it as `{dir}`
// again, and after each command the files its "out" folder holds.
TEST(Cli, ASessionGivesTheGoldenTranscript) {
  testing::TempDir tmp;
  const std::string dir = tmp.path().string();
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
  fs::copy_file(TestDataDir() / "ldt" / "downlight.ldt", tmp / "Flood \xB0.ldt");

  const Args set{"settings", "--settings", "{dir}/s.ini"};
  const Args convert{"convert", "--settings", "{dir}/s.ini"};
  auto with = [](Args a, const Args& more) {
    a.insert(a.end(), more.begin(), more.end());
    return a;
  };
  const Args old{"{data}/ies/erco_1986.ies", "{data}/ies/two_keywords_1991.ies",
                 "{data}/ies/williams_1995.ies", "{data}/ies/more_lines_1995.ies"};
  std::vector<Args> session = {
      // IES editions by default settings into golden/ies: the 1986, 1991 and 1995 sources into the
      // three old editions, 2002 and 2019 ones into the keyword editions (a source without
      // [ISSUEDATE] would get the conversion date there).
      with(with(convert, {"--to", "ies86", "--out", "{dir}/ies86"}), old),
      with(with(convert, {"--to", "ies91", "--out", "{dir}/ies91"}), old),
      with(with(convert, {"--to", "ies95", "--out", "{dir}/ies95"}), old),
      with(convert, {"--to", "ies02", "--out", "{dir}/ies02", "{data}/ies/tilt_include_2002.ies",
                     "{data}/ies/downlight_2019.ies"}),
      with(convert, {"--to", "ies19", "--out", "{dir}/ies19", "{data}/ies/bollard_2002.ies",
                     "{data}/ies/downlight_2019.ies"}),
      {},
      {"frobnicate"},
      with(convert, {"--to", "xyz", "--out", "{dir}/out", "{dir}/lamp.ldt"}),
      with(convert, {"--c-step", "7", "--out", "{dir}/out", "{dir}/lamp.ldt"}),
      with(convert, {"--gamma-step", "0.5", "--out", "{dir}/out", "{dir}/lamp.ldt"}),
      with(convert, {"--symmetry", "sideways", "--out", "{dir}/out", "{dir}/lamp.ldt"}),
      with(convert, {"--label-lines", "report,name", "--out", "{dir}/out", "{dir}/lamp.ldt"}),
      with(convert, {"{dir}/lamp.ldt"}),  // neither --out nor a stored DSTDIR
      {"info", "{dir}/lamp.ldt", "{dir}/Flood \xB0.ldt"},
      {"info", "--json", "--matrix", "{dir}/lamp.ldt", "{dir}/Flood \xB0.ldt"},
      with(set, {"show"}),
      with(convert, {"--to", "ies95", "--out", "{dir}/out", "{dir}/empty.ldt", "{dir}/binary.ldt",
                     "{dir}/missing.ldt", "{dir}/folder.ldt", "{dir}/pipe.ldt", "{dir}/loop.ldt",
                     "{dir}/huge.ldt", "{dir}/text.ies", "{dir}/short.lvk", "{dir}/lamp.ldt"}),
      // The log never empties an input nor takes a target's place; a log it cannot write fails.
      with(convert, {"--to", "ldt", "--out", "{dir}/out", "--log", "{dir}/a.ldt", "{dir}/a.ldt"}),
      with(convert, {"--to", "ies95", "--out", "{dir}/out", "--log", "{dir}/out/../out/LAMP.IES",
                     "{dir}/lamp.ldt"}),
      with(convert, {"--to", "ldt", "--out", "{dir}/out", "--log", "/dev/full", "{dir}/a.ldt"}),
      // Two sources of one base name: the first writes the target, even --force keeps it.
      with(convert,
           {"--to", "tm14", "--out", "{dir}/out", "--force", "{dir}/lamp.ldt", "{dir}/b/LAMP.ldt"}),
      with(convert, {"--to", "ldt", "--out", "{dir}/out", "{dir}/a.ldt", "{dir}/lamp.ldt"}),
      with(convert, {"--to", "ldt", "--out", "{dir}/out", "--force", "{dir}/lamp.ldt"}),
      with(convert, {"--to", "ldt", "--out", "{dir}/new/deeper", "{dir}/a.ldt"}),
      with(convert, {"--to", "ldt", "--out", "{dir}/plain/sub", "{dir}/a.ldt"}),
      // `set` writes the one value only; values the program cannot use are refused.
      with(set, {"set", "PLANES", "3"}),
      with(set, {"set", "use360", "true"}),
      with(set, {"set", "EUL1", std::string(100, 'x')}),
      with(set, {"set", "ACTFMT", "12"}),
      with(set, {"set", "PLANES", "9"}),
      with(set, {"set", "ANGLES", "-1"}),
      with(set, {"set", "SYMM", "6"}),
      with(set, {"set", "LL1", "8"}),
      with(set, {"set", "LB1I", "300"}),
      with(set, {"set", "TURN", "2"}),
      with(set, {"set", "NOSUCH", "1"}),
      with(set, {"set", "DSTDIR", "{dir}/out\x1b[2J\xc2\x9b"}),  // shown escaped, never raw
      with(set, {"show"}),
      {"settings", "--settings", "{dir}/hand.ini", "show"},
      {"settings", "--settings", "{dir}/hand.ini", "set", "LB3I", "5"},
      // A file the store cannot read back is not rewritten (that would drop its unreadable lines).
      {"settings", "--settings", "{dir}/bad.ini", "set", "PLANES", "2"},
      {"settings", "--settings", "{dir}/bad2.ini", "set", "PLANES", "2"},
      {"settings", "--settings", "{dir}/bad3.ini", "set", "PLANES", "2"},
      {"settings", "--settings", "{dir}/plain/s.ini", "set", "PLANES", "2"},
      with(set, {"set", "DSTDIR", "{dir}/out"}),
      with(set, {"set", "ACTFMT", "7"}),
      // The stored settings start every run; the overrides are never saved.
      with(convert, {"--log", "{dir}/run.log", "--force", "{dir}/lamp.ldt"}),
      with(convert, {"--log", "{dir}/run.log", "--to", "ldt", "--c-step", "keep", "--rotate90",
                     "--eul1", "Us", "--force", "{dir}/lamp.ldt"}),
      with(set, {"show"}),
  };
  std::string transcript;
  for (Args args : session) {
    for (std::string& a : args)
      a = Replaced(Replaced(a, "{dir}", dir), "{data}", TestDataDir().string());
    std::string out, err;
    const int status = RunCliWith(args, out, err);
    std::string line = "$";
    for (const std::string& a : args)
      line += " " + a;
    for (char c = 1; c < ' '; ++c)
      line = Replaced(line, std::string(1, c), "^" + std::string(1, static_cast<char>(c + '@')));
    if (fs::exists(tmp / "run.log")) err += "run.log: " + testing::ReadFile(tmp / "run.log");
    if (status == 0 && args.size() > 3 && args[3] == "set")
      out += "--- " + args[2] + "\n" + testing::ReadFile(args[2]);
    fs::remove(tmp / "run.log");
    std::set<std::string> files;
    for (const auto& e : fs::directory_iterator(tmp / "out"))
      files.insert(e.path().filename().string());
    std::string listing = "out:";
    for (const std::string& f : files)
      listing += " " + f;
    const std::string text = line + "\nexit " + std::to_string(status) + "\n" + out +
                             "--- errors\n" + err + "--- " + listing + "\n\n";
    static const std::regex kTiming(" in [0-9.e+-]+ s \\([0-9.e+-]+ files/s\\)");
    transcript +=
        std::regex_replace(Replaced(Replaced(text, dir, "{dir}"), TestDataDir().string(), "{data}"),
                           kTiming, " in <time>");
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
