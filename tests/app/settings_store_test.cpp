// The settings store in memory and the pattern file with its fallback beside the user settings.
// (The reading rules and the defaults are pinned by the command line's session transcript.)
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
  MemorySettingsBackend store;
  ConversionSettings s;
  s.LB3I = 7;
  s.use360 = true;
  ASSERT_TRUE(SaveStoredValues(store, s));
  EXPECT_EQ(store.values.size(), 30u);
  EXPECT_EQ(std::pair(store.values.at({"EULUM", "LB3I"}), store.values.at({"IESEUL", "use360"})),
            std::pair(std::string("7"), std::string("1")));
  EXPECT_EQ(LoadStoredValues(store), s);
  std::string error;  // a map holds nothing a write could drop
  EXPECT_TRUE(store.CheckWellFormed(error)) << error;
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
