// lumatra-cli: exit codes, one-line reasons, `settings` and the settings side of `convert`. The
// per-user store is moved into a temporary folder for the whole program, so no test reads or
// writes the real user's settings.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "cli/cli_app.h"
#include "cli/cli_settings.h"
#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
using Args = std::vector<std::string>;

const bool kPrivateConfigHome = [] {
  static TempDir config;
  return ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1) == 0;
}();

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

CliResult RunCliWith(Args args) {
  args.insert(args.begin(), "lumatra-cli");
  std::vector<const char*> argv;
  for (const auto& a : args)
    argv.push_back(a.c_str());
  std::ostringstream out, err;
  int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A folder with its own settings file, sources written by the program and an "out" folder.
struct Folder {
  TempDir dir;
  std::string settings = (dir / "settings.ini").string();

  Folder() { fs::create_directory(dir / "out"); }
  std::string Source(const std::string& name) {
    TLUM32 rec;
    testing::FillGrid(rec, 2, testing::Steps(0, 15, 180), testing::Steps(0, 5, 90),
                      [](float, float g) { return 250.0 * std::cos(g * M_PI / 180.0); });
    Save(rec, kFormatEulumdat, (dir / name).string());
    return (dir / name).string();
  }
  std::string Out() const { return (dir / "out").string(); }
  fs::path Out(const std::string& name) const { return dir / "out" / name; }
  CliResult Settings(Args args) {
    args.insert(args.begin(), {"settings", "--settings", settings});
    return RunCliWith(args);
  }
  CliResult Convert(Args args) {
    args.insert(args.begin(), {"convert", "--settings", settings});
    return RunCliWith(args);
  }
};

TEST(Cli, UsageErrorsExitWithTwo) {
  Folder f;
  const std::string src = f.Source("lamp.ldt"), out = f.Out();
  for (const Args& args :
       {Args{}, Args{"frobnicate"}, Args{"convert", "--to", "xyz", "--out", out, src},
        Args{"convert", "--out", out, "--c-step", "7", src},
        Args{"convert", "--out", out, "--gamma-step", "0.5", src},
        Args{"convert", "--out", out, "--symmetry", "sideways", src},
        Args{"convert", "--out", out, "--label-lines", "report,name", src}})
    EXPECT_EQ(RunCliWith(args).status, 2) << (args.empty() ? "" : args.back());
  CliResult no_folder = f.Convert({src});  // neither --out nor a stored DSTDIR
  EXPECT_EQ(no_folder.status, 2);
  EXPECT_TRUE(Has(no_folder.err, "--out")) << no_folder.err;
}

TEST(Cli, FailuresGiveOneLineReasonsAndTheNextFileIsConverted) {
  Folder f;
  WriteFile(f.dir / "empty.ldt", "");
  WriteFile(f.dir / "binary.ldt", std::string("\x00\xff\x13\x37\x00\x01", 6));
  WriteFile(f.dir / "absurd.ldt",
            "Company\n1\n0\n60000\n1\n60000\n1\nr\nn\nn\nf\nd\n1\n1\n1\n1\n1\n1\n1\n1\n1\n"
            "100\n80\n1\n0\n1\n1\nLED\n1000\n3000\n80\n10\n");
  WriteFile(f.dir / "text.ies", "not photometric\n");
  // The CIE reader also shows an error box; the command line says it once, on the file's line.
  WriteFile(f.dir / "short.lvk",
            "CIEF= CIE FileFormat, Version 1.0\r\nNPLA= 2\r\nNCON= 3\r\nPHOT= INCLUDE\r\n"
            "CONA= 0 45 90\r\n0 100 80 10\r\n");
  // There, but no file: a folder, a FIFO (a read would block) and a link loop.
  fs::create_directory(f.dir / "folder.ldt");
  ASSERT_EQ(::mkfifo((f.dir / "pipe.ldt").c_str(), 0600), 0);
  fs::create_symlink(f.dir / "loop.ldt", f.dir / "loop.ldt");
  WriteFile(f.dir / "huge.ldt", "");
  fs::resize_file(f.dir / "huge.ldt", 65u << 20);  // sparse: refused before it is read
  Args args{"--to", "ies95", "--out", f.Out()};
  const std::pair<const char*, const char*> broken[] = {
      {"empty.ldt", ""},
      {"binary.ldt", ""},
      {"absurd.ldt", ""},
      {"missing.ldt", "cannot open file: no such file"},
      {"folder.ldt", "cannot open file: not a regular file"},
      {"pipe.ldt", "cannot open file: not a regular file"},
      {"loop.ldt", "cannot open file: not a regular file"},
      {"huge.ldt", "file too large (over 64 MB)"},
      {"text.ies", ""},
      {"short.lvk", ""}};
  for (const auto& [name, reason] : broken)
    args.push_back((f.dir / name).string());
  args.push_back(f.Source("good.ldt"));
  CliResult r = f.Convert(args);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 10) << r.err;
  const std::string lines = std::string("\n").append(r.err);
  for (const auto& [name, reason] : broken)
    EXPECT_TRUE(
        Has(lines, std::string("\n").append((f.dir / name).string()).append(": ").append(reason)))
        << r.err;
  EXPECT_TRUE(Has(r.out, "1 converted, 10 failed, 0 skipped")) << r.out;
  EXPECT_TRUE(fs::exists(f.Out("GOOD.IES")));
  EXPECT_FALSE(fs::exists(f.Out("EMPTY.IES")));
  EXPECT_FALSE(fs::exists(f.Out("TEXT.IES")));
}

TEST(Cli, AFailedWriteLeavesNoPartialFile) {
  Folder f;
  const std::string src = f.Source("lamp.ldt");
  fs::create_directories(f.Out("LAMP.LDT"));  // a folder where the target should go
  CliResult r = f.Convert({"--to", "ldt", "--out", f.Out(), "--force", src});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.err, "lamp.ldt: cannot write")) << r.err;
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(f.Out()))
    ++entries;
  EXPECT_EQ(entries, 1u);  // no temporary left behind
}

// What a run must never do to its own files: empty an input through the log, write a target
// twice, or report a log it could not write as success.
TEST(Cli, TheLogAndTheTargetsNeverHarmEachOtherOrTheInputs) {
  Folder f;
  const std::string src = f.Source("lamp.ldt");
  const std::string kept = ReadFile(src);
  for (const Args& args :
       {Args{"--to", "ldt", "--out", f.Out(), "--log", src, src},
        Args{"--to", "ies95", "--out", f.Out(), "--log", f.Out() + "/../out/LAMP.IES", src}}) {
    CliResult r = f.Convert(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_TRUE(Has(r.err, "the log file ")) << r.err;
  }
  EXPECT_EQ(ReadFile(src), kept);
  EXPECT_TRUE(fs::is_empty(f.Out()));

  CliResult full = f.Convert({"--to", "ldt", "--out", f.Out(), "--log", "/dev/full", src});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err,
            "lumatra-cli: cannot write the log file /dev/full: No space left on device\n");
  EXPECT_TRUE(fs::exists(f.Out("LAMP.LDT")));

  // Two sources of one base name: the first writes the target, even --force keeps it.
  fs::create_directory(f.dir / "b");
  const std::string twin = f.Source("b/LAMP.ldt");
  CliResult twice = f.Convert({"--to", "ies95", "--out", f.Out(), "--force", src, twin});
  EXPECT_EQ(twice.status, 1);
  EXPECT_EQ(twice.err, twin + ": LAMP.IES was already written from " + src + " in this run\n");
  EXPECT_TRUE(Has(twice.out, "1 converted, 0 failed, 1 skipped")) << twice.out;
}

TEST(Cli, AMissingTargetFolderIsCreatedOrRefusedWithItsReason) {
  Folder f;
  const std::string src = f.Source("lamp.ldt");
  const std::string deep = (f.dir / "new" / "deeper").string();
  CliResult made = f.Convert({"--to", "ldt", "--out", deep, src});
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_TRUE(fs::exists(fs::path(deep) / "LAMP.LDT"));

  WriteFile(f.dir / "plain", "x");
  CliResult refused = f.Convert({"--to", "ldt", "--out", (f.dir / "plain" / "sub").string(), src});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Has(refused.err, "cannot create the target folder ")) << refused.err;
}

TEST(Cli, InfoJsonCarriesTheEvaluatedRecord) {
  fs::path example;
  for (const auto& e : fs::directory_iterator(testing::ExamplesDir()))
    if (e.path().extension() == ".LDT" || e.path().extension() == ".ldt") example = e.path();
  if (example.empty()) GTEST_SKIP() << "no examples";
  CliResult r = RunCliWith({"info", "--json", "--matrix", example.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* key : {"\"loaded\":true", "\"format_code\":2", "\"absolute_photometry\":false",
                          "\"lum_flux\":", "\"zone_flux\":[", "\"lamp_sets\":[{",
                          "\"intensities\":[[", "\"direct_ratios\":["})
    EXPECT_TRUE(Has(r.out, key)) << key;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);

  // File names are the file system's bytes: UTF-8 stays as it is, a stray byte shows as U+FFFD.
  testing::TempDir dir;
  for (const char* name : {"Floodlight 54\xC2\xB0.ldt", "Flood \xB0.ldt"})
    fs::copy_file(example, dir / name);
  CliResult named = RunCliWith({"info", "--json", (dir / "Floodlight 54\xC2\xB0.ldt").string(),
                                (dir / "Flood \xB0.ldt").string()});
  EXPECT_TRUE(Has(named.out, "Floodlight 54\xC2\xB0.ldt\",")) << named.out;
  EXPECT_TRUE(Has(named.out, "Flood \xEF\xBF\xBD.ldt\",")) << named.out;
}

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
  for (const char* wrong : {"report,number,name,lamp,none", "report,number,,name,lamp,none",
                            "report,number,name,lamp,none,maker"})
    EXPECT_FALSE(ParseLabelLines(wrong, s)) << wrong;
}

TEST(CliSettings, ShowListsEveryValueAndSetChangesOneAndStoresAllThirty) {
  Folder f;
  CliResult shown = f.Settings({"show"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  for (const char* line : {"[GLOBAL]\nSRCDIR=\nDSTDIR=\nACTFMT=2\n[IESEUL]\nTURN=0\n",
                           "[IES86]\nLL1=2\n", "EUL1=Dateiumsetzung mit Lumatra\n", "LB3I=0\n",
                           "[DESTCOORDS]\nPLANES=0\nANGLES=0\nSYMM=0\n", "[TM14]\nCIBS2=0\n"})
    EXPECT_TRUE(Has(shown.out, line)) << line << "\n" << shown.out;
  EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '='), 30);

  // `set` writes the one value only: a concurrent change of another value is kept.
  EXPECT_EQ(f.Settings({"set", "PLANES", "3"}).status, 0);
  EXPECT_EQ(f.Settings({"set", "use360", "true"}).status, 0);
  EXPECT_EQ(ReadFile(f.settings), "[DESTCOORDS]\nPLANES=3\n\n[IESEUL]\nuse360=1\n");

  CliResult long_text = f.Settings({"set", "EUL1", std::string(100, 'x')});
  EXPECT_EQ(long_text.status, 0);
  EXPECT_TRUE(Has(long_text.err, "first 80 characters"));
  EXPECT_TRUE(Has(f.Settings({"show"}).out, "EUL1=" + std::string(80, 'x') + "\n"));

  // Values the program cannot use are refused with what it takes.
  for (const Args& wrong :
       {Args{"ACTFMT", "abc", "ACTFMT takes a format code with a writer: "},
        Args{"ACTFMT", "12", "ACTFMT takes a format code with a writer: "},
        Args{"PLANES", "9", "PLANES takes 0..8"}, Args{"ANGLES", "-1", "ANGLES takes 0..5"},
        Args{"SYMM", "6", "SYMM takes 0..5"}, Args{"LL1", "8", "LL1 takes 0..7"},
        Args{"LB1I", "300", "LB1I takes an integer 0..255"}, Args{"TURN", "2", "TURN takes 0 or 1"},
        Args{"NOSUCH", "1", "no setting named NOSUCH"}}) {
    CliResult r = f.Settings({"set", wrong[0], wrong[1]});
    EXPECT_EQ(r.status, 2) << wrong[0];
    EXPECT_TRUE(Has(r.err, wrong[2])) << r.err;
  }
  EXPECT_TRUE(Has(f.Settings({"show"}).out, "ACTFMT=2\n"));

  // Control characters are shown escaped, never raw.
  EXPECT_EQ(f.Settings({"set", "DSTDIR", "/out\x1b[2J\xc2\x9b"}).status, 0);
  EXPECT_TRUE(Has(f.Settings({"show"}).out, "DSTDIR=/out\\x1B[2J\\x9B\n"));

  // A file the store cannot read back is not rewritten (that would drop its unreadable lines).
  const std::string malformed = "[GLOBAL]\nACTFMT=5\nsomething else\n";
  testing::WriteFile(f.settings, malformed);
  CliResult refused = f.Settings({"set", "PLANES", "2"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Has(refused.err, "malformed settings file " + f.settings + ": line 3"))
      << refused.err;
  EXPECT_EQ(ReadFile(f.settings), malformed);
}

TEST(CliConvert, StartsFromTheStoredSettingsAndNeverSavesTheOverrides) {
  Folder f;
  const std::string src = f.Source("lamp.ldt");
  f.Settings({"set", "DSTDIR", f.Out()});
  f.Settings({"set", "PLANES", "3"});
  f.Settings({"set", "ACTFMT", "7"});
  const std::string log = (f.dir / "run.log").string();
  CliResult stored = f.Convert({"--log", log, src});
  ASSERT_EQ(stored.status, 0) << stored.err;
  EXPECT_EQ(ReadFile(log), src + "   REDIM  DEST : " + f.Out() + "/LAMP.IES\r\n");

  const std::string ini = ReadFile(f.settings);
  CliResult overridden = f.Convert(
      {"--log", log, "--to", "ldt", "--c-step", "keep", "--rotate90", "--eul1", "Us", src});
  ASSERT_EQ(overridden.status, 0) << overridden.err;
  EXPECT_EQ(ReadFile(log), src + "   DEST : " + f.Out() + "/LAMP.LDT\r\n");
  EXPECT_EQ(ReadFile(f.settings), ini);
}

TEST(CliConvert, WritesUpperCaseTargetsAndSkipsExistingOnesUnlessForced) {
  Folder f;
  const std::string a = f.Source("a.ldt"), b = f.Source("b.ldt");
  WriteFile(f.Out("B.LDT"), "old");
  CliResult no = f.Convert({"--to", "ldt", "--out", f.Out(), a, b});
  EXPECT_EQ(no.status, 1);
  EXPECT_TRUE(Has(no.err, b + ": ")) << no.err;
  EXPECT_TRUE(Has(no.err, "--force"));
  EXPECT_TRUE(Has(no.out, "1 converted, 0 failed, 1 skipped")) << no.out;
  EXPECT_TRUE(Has(no.out, "files/s"));
  EXPECT_TRUE(fs::exists(f.Out("A.LDT")));
  EXPECT_EQ(ReadFile(f.Out("B.LDT")), "old");

  CliResult all = f.Convert({"--to", "ldt", "--out", f.Out(), "--force", a, b});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_NE(ReadFile(f.Out("B.LDT")), "old");
}

}  // namespace
}  // namespace lumatra
