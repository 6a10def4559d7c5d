// `settings` and the settings side of `convert`. Every test names its own settings file; the
// per-user store is moved into a temporary folder for the whole program, so no test reads or
// writes the real user's settings.
#include "cli/cli_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;

const bool kPrivateConfigHome = [] {
  static TempDir config;
  return ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1) == 0;
}();

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

CliResult RunCliWith(std::vector<std::string> args) {
  args.insert(args.begin(), "lumatra-cli");
  std::vector<const char*> argv;
  for (const auto& a : args)
    argv.push_back(a.c_str());
  std::ostringstream out, err;
  int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

struct Folder {
  TempDir dir;
  std::string settings = (dir / "settings.ini").string();

  Folder() { fs::create_directory(dir / "out"); }
  std::string Source(const std::string& name) {
    TLUM32 rec;
    testing::FillGrid(rec, 2, testing::Steps(0, 15, 180), testing::Steps(0, 5, 90),
                      [](float, float g) { return 250.0 * std::cos(g * M_PI / 180.0); });
    rec.Save(kFormatEulumdat, (dir / name).string());
    return (dir / name).string();
  }
  std::string Out() const { return (dir / "out").string(); }
  CliResult Settings(std::vector<std::string> args) {
    args.insert(args.begin(), {"settings", "--settings", settings});
    return RunCliWith(args);
  }
};

TEST(CliSettings, ReadableValuesMapToTheStoredIndices) {
  std::int32_t v = -1;
  EXPECT_TRUE(ParseCStep("keep", v) && v == 0);
  EXPECT_TRUE(ParseCStep("22.5", v) && v == 4);
  EXPECT_TRUE(ParseCStep("90", v) && v == 7);
  EXPECT_FALSE(ParseCStep("7", v));
  EXPECT_TRUE(ParseGammaStep("2.5", v) && v == 2);
  EXPECT_FALSE(ParseGammaStep("3", v));
  EXPECT_TRUE(ParseSymmetry("c90-c270", v) && v == 4);
  EXPECT_TRUE(ParseSymmetry("keep", v) && v == 0);
  EXPECT_FALSE(ParseSymmetry("C0-C180", v));
  ConversionSettings s;
  EXPECT_TRUE(ParseLabelLines("report, number,name,lamp,none,date", s));
  EXPECT_EQ((std::vector<int>{s.LL1, s.LL2, s.LL3, s.LL4, s.LL5, s.LL6}),
            (std::vector<int>{2, 4, 3, 6, 0, 5}));
  EXPECT_FALSE(ParseLabelLines("report,number,name,lamp,none", s));
  EXPECT_FALSE(ParseLabelLines("report,number,,name,lamp,none", s));
  EXPECT_FALSE(ParseLabelLines("report,number,name,lamp,none,maker", s));
}

TEST(CliSettings, ShowListsEveryValueWithItsSection) {
  Folder f;
  CliResult r = f.Settings({"show"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* line : {"[GLOBAL]\nSRCDIR=\nDSTDIR=\nACTFMT=2\n[IESEUL]\nTURN=0\n",
                           "[IES86]\nLL1=2\n", "EUL1=Dateiumsetzung mit Lumatra\n", "LB3I=0\n",
                           "[DESTCOORDS]\nPLANES=0\nANGLES=0\nSYMM=0\n", "[TM14]\nCIBS2=0\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '='), 30);
}

TEST(CliSettings, SetChangesOneValueAndStoresAllThirty) {
  Folder f;
  EXPECT_EQ(f.Settings({"set", "PLANES", "3"}).status, 0);
  EXPECT_EQ(f.Settings({"set", "use360", "true"}).status, 0);
  const std::string ini = ReadFile(f.settings);
  EXPECT_NE(ini.find("PLANES=3"), std::string::npos) << ini;
  EXPECT_NE(ini.find("use360=1"), std::string::npos) << ini;
  EXPECT_NE(ini.find("LB3I=0"), std::string::npos) << ini;
  EXPECT_EQ(std::count(ini.begin(), ini.end(), '='), 30);

  CliResult long_text = f.Settings({"set", "EUL1", std::string(100, 'x')});
  EXPECT_EQ(long_text.status, 0);
  EXPECT_NE(long_text.err.find("first 80 characters"), std::string::npos);
  EXPECT_NE(f.Settings({"show"}).out.find("EUL1=" + std::string(80, 'x') + "\n"),
            std::string::npos);

  EXPECT_EQ(f.Settings({"set", "ACTFMT", "abc"}).status, 2);
  EXPECT_EQ(f.Settings({"set", "LL1", "300"}).status, 2);
  EXPECT_EQ(f.Settings({"set", "TURN", "2"}).status, 2);
  EXPECT_EQ(f.Settings({"set", "NOSUCH", "1"}).status, 2);
  EXPECT_NE(f.Settings({"show"}).out.find("ACTFMT=2\n"), std::string::npos);
}

TEST(CliConvert, StartsFromTheStoredSettingsAndNeverSavesTheOverrides) {
  Folder f;
  const std::string src = f.Source("lamp.ldt");
  f.Settings({"set", "DSTDIR", f.Out()});
  f.Settings({"set", "PLANES", "3"});
  f.Settings({"set", "ACTFMT", "7"});
  const std::string log = (f.dir / "run.log").string();
  CliResult stored = RunCliWith({"convert", "--settings", f.settings, "--log", log, src});
  ASSERT_EQ(stored.status, 0) << stored.err;
  EXPECT_EQ(ReadFile(log), src + "   REDIM  DEST : " + f.Out() + "/LAMP.IES\r\n");

  const std::string ini = ReadFile(f.settings);
  CliResult overridden = RunCliWith({"convert", "--settings", f.settings, "--log", log, "--to",
                                     "ldt", "--c-step", "keep", "--rotate90", "--eul1", "Us", src});
  ASSERT_EQ(overridden.status, 0) << overridden.err;
  EXPECT_EQ(ReadFile(log), src + "   DEST : " + f.Out() + "/LAMP.LDT\r\n");
  EXPECT_EQ(ReadFile(f.settings), ini);
}

TEST(CliConvert, ExistingTargetsAreSkippedUnlessForced) {
  Folder f;
  const std::string a = f.Source("a.ldt"), b = f.Source("b.ldt");
  testing::WriteFile(f.dir / "out" / "A.LDT", "old");
  testing::WriteFile(f.dir / "out" / "B.LDT", "old");
  CliResult no =
      RunCliWith({"convert", "--settings", f.settings, "--to", "ldt", "--out", f.Out(), a, b});
  EXPECT_EQ(no.status, 1);
  EXPECT_NE(no.err.find(a + ": "), std::string::npos) << no.err;
  EXPECT_NE(no.err.find("--force"), std::string::npos);
  EXPECT_NE(no.out.find("0 converted, 0 failed, 2 skipped"), std::string::npos) << no.out;
  EXPECT_EQ(ReadFile(f.dir / "out" / "B.LDT"), "old");

  CliResult all = RunCliWith(
      {"convert", "--settings", f.settings, "--to", "ldt", "--out", f.Out(), "--force", a, b});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_NE(ReadFile(f.dir / "out" / "A.LDT"), "old");
  EXPECT_NE(ReadFile(f.dir / "out" / "B.LDT"), "old");
}

TEST(CliConvert, FailuresNameTheFileAndTheNextFileIsConverted) {
  Folder f;
  testing::WriteFile(f.dir / "bad.ies", "not photometric\n");
  const std::string bad = (f.dir / "bad.ies").string(), good = f.Source("good.ldt");
  CliResult r = RunCliWith(
      {"convert", "--settings", f.settings, "--to", "ies95", "--out", f.Out(), bad, good});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind(bad + ": ", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_TRUE(fs::exists(f.dir / "out" / "GOOD.IES"));
  EXPECT_FALSE(fs::exists(f.dir / "out" / "BAD.IES"));
  EXPECT_NE(r.out.find("1 converted, 1 failed, 0 skipped"), std::string::npos) << r.out;
}

TEST(CliConvert, UnreadableOverridesAndAMissingTargetFolderAreUsageErrors) {
  Folder f;
  const std::string src = f.Source("lamp.ldt");
  const std::vector<std::string> base{"convert", "--settings", f.settings, "--out", f.Out()};
  for (std::vector<std::string> extra : {std::vector<std::string>{"--c-step", "7"},
                                         {"--gamma-step", "0.5"},
                                         {"--symmetry", "sideways"},
                                         {"--label-lines", "report,name"}}) {
    std::vector<std::string> args = base;
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(src);
    EXPECT_EQ(RunCliWith(args).status, 2) << extra[0];
  }
  CliResult no_folder = RunCliWith({"convert", "--settings", f.settings, src});  // DSTDIR empty
  EXPECT_EQ(no_folder.status, 2);
  EXPECT_NE(no_folder.err.find("--out"), std::string::npos) << no_folder.err;
}

}  // namespace
}  // namespace lumatra
