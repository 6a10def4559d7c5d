// The settings store: the round trip of all values and the pattern file with its fallback beside
// the user settings. (The reading rules and the defaults are pinned by the command line's session
// transcript.)
#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/messages.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;

TEST(SettingsStore, AllThirtyValuesGoAsTextAndComeBack) {
  testing::TempDir dir;
  const PatternFiles files{(dir / "prog.FLT").string(), (dir / "user.FLT").string()};
  MemorySettingsBackend store;
  ConversionSettings first_start;
  IesExtensionList patterns{"junk"};
  LoadSettings(store, files, first_start, patterns);
  EXPECT_EQ(first_start, ConversionSettings{});
  EXPECT_EQ(patterns, (IesExtensionList{"*.IES", "*.PHT", "*."}));

  ConversionSettings s;
  s.DSTDIR = "/data/Out Dir";
  s.LB3I = 7;
  s.LB3S = "drei";
  s.PLANES = 3;
  s.use360 = s.TURN = true;
  s.LL5 = kLabelCompany;
  ASSERT_TRUE(SaveSettings(store, files, s, {"*.IES", "", "*.LM63"}));
  EXPECT_EQ(store.values.size(), 30u);
  ConversionSettings back;
  LoadSettings(store, files, back, patterns);
  EXPECT_EQ(back, s);
  EXPECT_EQ(patterns, (IesExtensionList{"*.IES", "", "*.LM63"}));
}

TEST(PatternFile, SplitsAtEveryLineEndAndKeepsBlankLines) {
  EXPECT_EQ(ParsePatternFile("*.IES\r\n\r\n*.PHT\r\n"), (IesExtensionList{"*.IES", "", "*.PHT"}));
  EXPECT_EQ(ParsePatternFile("a\rb\nc\n\rd"), (IesExtensionList{"a", "b", "c", "", "d"}));
  EXPECT_EQ(PatternFileText({"*.IES", " *.x "}), "*.IES\r\n *.x \r\n");
  EXPECT_EQ(PatternFileBesideProgram("/opt/lumatra/bin/lumatra"), "/opt/lumatra/bin/lumatra.FLT");
  EXPECT_EQ(PatternFileBesideProgram("/opt/x.exe"), "/opt/x.FLT");
}

TEST(PatternFile, KeptBesideTheUserSettingsWhileTheProgramFolderRefusesIt) {
  testing::TempDir dir;
  testing::WriteFile(dir / "bin", "not a folder");  // refuses every write, whoever runs the test
  const PatternFiles files{(dir / "bin" / "lumatra.FLT").string(),
                           (dir / "config" / "Kelmar" / "LUMATRA.FLT").string()};
  EXPECT_TRUE(SavePatterns(files, {"*.IES", "", "*.LM63"}));
  EXPECT_EQ(LoadPatterns(files), (IesExtensionList{"*.IES", "", "*.LM63"}));
  // Once the program folder takes the file again, the per-user copy goes.
  fs::remove(dir / "bin");
  fs::create_directory(dir / "bin");
  EXPECT_TRUE(SavePatterns(files, {"*.IES"}));
  EXPECT_TRUE(fs::exists(files.program));
  EXPECT_FALSE(fs::exists(files.user));
  EXPECT_EQ(LoadPatterns(files), IesExtensionList{"*.IES"});

  // Neither place writable is reported.
  struct Errors : MessageSink {
    void ShowError(std::string_view text) override { all += std::string(text) + "\n"; }
    std::string all;
  } errors;
  MessageSink* previous = SetMessageSink(&errors);
  EXPECT_FALSE(SavePatterns(
      {(dir / "bin" / "lumatra.FLT" / "a").string(), (dir / "bin" / "lumatra.FLT" / "b").string()},
      {"*.IES"}));
  SetMessageSink(previous);
  EXPECT_NE(errors.all.find("file patterns"), std::string::npos) << errors.all;
}

}  // namespace
}  // namespace lumatra
