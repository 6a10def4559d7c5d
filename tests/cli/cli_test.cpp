#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

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

fs::path FirstExample() {
  for (const auto& e : fs::directory_iterator(testing::ExamplesDir()))
    if (e.path().extension() == ".LDT" || e.path().extension() == ".ldt") return e.path();
  return {};
}

TEST(Cli, UsageErrorsExitWithTwo) {
  EXPECT_EQ(RunCliWith({}).status, 2);
  EXPECT_EQ(RunCliWith({"convert", "--to", "xyz", "--out", ".", "a.ldt"}).status, 2);
  EXPECT_EQ(RunCliWith({"convert", "--to", "ldt", "a.ldt"}).status, 2);  // no --out
  EXPECT_EQ(RunCliWith({"frobnicate"}).status, 2);
}

TEST(Cli, BrokenInputsGiveOneLineReasonsAndStatusOne) {
  TempDir dir;
  testing::WriteFile(dir / "empty.ldt", "");
  testing::WriteFile(dir / "binary.ldt", std::string("\x00\xff\x13\x37\x00\x01", 6));
  testing::WriteFile(dir / "absurd.ldt",
                     "Company\n1\n0\n60000\n1\n60000\n1\nr\nn\nn\nf\nd\n1\n1\n1\n1\n1\n1\n1\n1\n1\n"
                     "100\n80\n1\n0\n1\n1\nLED\n1000\n3000\n80\n10\n");
  for (const char* name : {"empty.ldt", "binary.ldt", "absurd.ldt", "missing.ldt"}) {
    CliResult r =
        RunCliWith({"convert", "--to", "ldt", "--out", dir.path().string(), (dir / name).string()});
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_NE(r.err.find(std::string(name) + ": "), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_FALSE(fs::exists(dir / "EMPTY.LDT"));
}

TEST(Cli, InfoJsonCarriesTheEvaluatedRecord) {
  fs::path example = FirstExample();
  if (example.empty()) GTEST_SKIP() << "no examples";
  CliResult r = RunCliWith({"info", "--json", "--matrix", example.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* key :
       {"\"loaded\":true", "\"format_code\":2", "\"lum_flux\":", "\"zone_flux\":[",
        "\"lamp_sets\":[{", "\"intensities\":[[", "\"direct_ratios\":["})
    EXPECT_NE(r.out.find(key), std::string::npos) << key;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
}

TEST(Cli, ConvertWritesUpperCaseTargetsAndSkipsExistingOnesUnlessForced) {
  fs::path example = FirstExample();
  if (example.empty()) GTEST_SKIP() << "no examples";
  TempDir dir;
  fs::copy_file(example, dir / "lamp.ldt");
  fs::create_directory(dir / "out");
  const std::string out = (dir / "out").string();
  CliResult first =
      RunCliWith({"convert", "--to", "ldt", "--out", out, (dir / "lamp.ldt").string()});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_TRUE(fs::exists(dir / "out" / "LAMP.LDT"));
  EXPECT_NE(first.out.find("files/s"), std::string::npos);

  CliResult second =
      RunCliWith({"convert", "--to", "ldt", "--out", out, (dir / "lamp.ldt").string()});
  EXPECT_EQ(second.status, 1);
  CliResult forced =
      RunCliWith({"convert", "--to", "ldt", "--out", out, "--force", (dir / "lamp.ldt").string()});
  EXPECT_EQ(forced.status, 0) << forced.err;
}

TEST(Cli, AFailedWriteLeavesNoPartialFile) {
  fs::path example = FirstExample();
  if (example.empty()) GTEST_SKIP() << "no examples";
  TempDir dir;
  fs::copy_file(example, dir / "lamp.ldt");
  fs::create_directories(dir / "out" / "LAMP.LDT");  // a folder where the target should go
  CliResult r = RunCliWith({"convert", "--to", "ldt", "--out", (dir / "out").string(), "--force",
                            (dir / "lamp.ldt").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("lamp.ldt: cannot write"), std::string::npos) << r.err;
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "out"))
    ++entries;
  EXPECT_EQ(entries, 1u);  // no temporary left behind
}

}  // namespace
}  // namespace lumatra
