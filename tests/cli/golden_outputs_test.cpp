// Conversions pinned byte for byte: every file tests/data/golden/<format>/<source>.<target>.IES
// is what `convert --to <target>` with default settings makes of tests/data/<format>/<source>.ies.
// scripts/make-golden.sh regenerates them.
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
using testing::ReadFile;
using testing::TempDir;
using testing::TestDataDir;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

TEST(GoldenOutputs, ConversionsAreByteForByteThePinnedFiles) {
  std::vector<fs::path> golden;
  for (const auto& entry : fs::directory_iterator(TestDataDir() / "golden" / "ies"))
    golden.push_back(entry.path());
  ASSERT_FALSE(golden.empty());
  for (const fs::path& expected : golden) {
    SCOPED_TRACE(expected.filename().string());
    const std::string source = expected.stem().stem().string();  // erco_1986.ies86.IES
    const std::string target = expected.stem().extension().string().substr(1);
    TempDir dir;
    const std::vector<std::string> args = {
        "lumatra-cli", "convert",
        "--to",        target,
        "--settings",  (dir / "settings.ini").string(),
        "--out",       dir.path().string(),
        "--force",     (TestDataDir() / "ies" / (source + ".ies")).string()};
    std::vector<const char*> argv;
    for (const auto& a : args)
      argv.push_back(a.c_str());
    std::ostringstream out, err;
    ASSERT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), out, err), 0) << err.str();
    EXPECT_EQ(ReadFile(dir / (Upper(source) + ".IES")), ReadFile(expected));
  }
}

}  // namespace
}  // namespace lumatra
