#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/messages.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

class CapturedErrors : public MessageSink {
 public:
  CapturedErrors() : previous_(SetMessageSink(this)) {}
  ~CapturedErrors() override { SetMessageSink(previous_); }
  void ShowError(std::string_view text) override { errors.emplace_back(text); }
  std::vector<std::string> errors;

 private:
  MessageSink* previous_;
};

TEST(SettingKeys, NameAllThirtyValuesInTheirSections) {
  std::set<std::string> names;
  std::set<std::string> sections;
  for (const SettingKey& key : SettingKeys()) {
    names.emplace(key.name);
    sections.emplace(key.section);
  }
  EXPECT_EQ(names.size(), 30u);
  EXPECT_EQ(sections,
            (std::set<std::string>{"GLOBAL", "IESEUL", "TM14", "IES86", "EULUM", "DESTCOORDS"}));
  EXPECT_EQ(FindSettingKey("LB3I")->section, "EULUM");
  EXPECT_EQ(FindSettingKey("unformat")->section, "IESEUL");
  EXPECT_EQ(FindSettingKey("CIBS2")->section, "TM14");
  EXPECT_EQ(FindSettingKey("use360")->name, "use360");
  EXPECT_EQ(FindSettingKey("USE360")->name, "use360");  // the command line forgives case
  EXPECT_EQ(FindSettingKey("LB7I"), nullptr);
}

TEST(SettingKeys, ReadingRulesOfIntegersBooleansAndBytes) {
  ConversionSettings s;
  ApplyStoredText(*FindSettingKey("ACTFMT"), s, "abc");
  EXPECT_EQ(s.ACTFMT, 2);
  ApplyStoredText(*FindSettingKey("ACTFMT"), s, "-1");
  EXPECT_EQ(s.ACTFMT, -1);
  ApplyStoredText(*FindSettingKey("ACTFMT"), s, "99999999999");  // beyond 32 bits
  EXPECT_EQ(s.ACTFMT, 2);
  ApplyStoredText(*FindSettingKey("TURN"), s, "1");
  EXPECT_TRUE(s.TURN);
  ApplyStoredText(*FindSettingKey("TURN"), s, "0");
  EXPECT_FALSE(s.TURN);
  ApplyStoredText(*FindSettingKey("TURN"), s, "2");
  EXPECT_TRUE(s.TURN);
  ApplyStoredText(*FindSettingKey("TURN"), s, "yes");
  EXPECT_FALSE(s.TURN);
  ApplyStoredText(*FindSettingKey("LL3"), s, "x");
  EXPECT_EQ(s.LL3, 3);  // its default
  ApplyStoredText(*FindSettingKey("LB3I"), s, "300");
  EXPECT_EQ(s.LB3I, 44);  // the low 8 bits
}

TEST(SettingKeys, StepTablesKeepTheGridForIndicesWithoutAnEntry) {
  EXPECT_EQ(CStepForIndex(0), 0.0f);
  EXPECT_EQ(CStepForIndex(3), 15.0f);
  EXPECT_EQ(CStepForIndex(7), 90.0f);
  EXPECT_EQ(CStepForIndex(8), 0.0f);  // the dialog's blank last item
  EXPECT_EQ(CStepForIndex(-1), 0.0f);
  EXPECT_EQ(GammaStepForIndex(2), 2.5f);
  EXPECT_EQ(GammaStepForIndex(5), 0.0f);
}

TEST(SettingsStore, FirstStartGivesTheDefaults) {
  TempDir dir;
  MemorySettingsBackend store;
  ConversionSettings s;
  s.TURN = true;
  IesExtensionList patterns{"junk"};
  LoadSettings(store, {(dir / "prog.FLT").string(), (dir / "user.FLT").string()}, s, patterns);
  EXPECT_EQ(s, ConversionSettings{});
  EXPECT_EQ(s.ACTFMT, 2);
  EXPECT_EQ(s.EUL1, "Dateiumsetzung mit Lumatra");
  EXPECT_EQ((std::vector<int>{s.LL1, s.LL2, s.LL3, s.LL4, s.LL5, s.LL6}),
            (std::vector<int>{2, 4, 3, 6, 0, 0}));
  EXPECT_EQ(patterns, (IesExtensionList{"*.IES", "*.PHT", "*."}));
}

TEST(SettingsStore, SavesAllThirtyValuesAsTextAndReadsThemBack) {
  TempDir dir;
  const PatternFiles files{(dir / "prog.FLT").string(), (dir / "user.FLT").string()};
  MemorySettingsBackend store;
  ConversionSettings s;
  s.DSTDIR = "/data/Out Dir";
  s.LB3I = 7;
  s.LB3S = "drei";
  s.PLANES = 3;
  s.use360 = true;
  ASSERT_TRUE(SaveSettings(store, files, s, DefaultIesExtensions()));
  EXPECT_EQ(store.values.size(), 30u);
  EXPECT_EQ(store.values.at({"EULUM", "LB3I"}), "7");
  EXPECT_EQ(store.values.at({"IESEUL", "use360"}), "1");
  EXPECT_EQ(store.values.at({"IESEUL", "TURN"}), "0");
  EXPECT_EQ(store.values.at({"DESTCOORDS", "PLANES"}), "3");
  EXPECT_EQ(store.values.at({"GLOBAL", "ACTFMT"}), "2");

  ConversionSettings back;
  IesExtensionList patterns;
  LoadSettings(store, files, back, patterns);
  EXPECT_EQ(back, s);
}

TEST(SettingsStore, RecordTextsAreWindows1252InMemoryAndCutTo80) {
  MemorySettingsBackend store;
  store.values[{"IES86", "EUL1"}] = std::string(95, 'x') + "\xC3\xA4\xC3\xB6\xC3\xBC\xE2\x82\xAC!";
  ConversionSettings s = LoadStoredValues(store);
  EXPECT_EQ(s.EUL1, std::string(80, 'x'));
  store.values[{"IES86", "EUL1"}] = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC";  // "Grüße €"
  s = LoadStoredValues(store);
  EXPECT_EQ(s.EUL1,
            "Gr\xFC\xDF"
            "e \x80");
  ASSERT_TRUE(SaveStoredValues(store, s));
  EXPECT_EQ(store.values.at({"IES86", "EUL1"}), "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC");
}

TEST(SettingsStore, HundredCharacterEul1ComesBackAs80) {
  MemorySettingsBackend store;
  store.values[{"IES86", "EUL1"}] = std::string(100, 'E');
  ConversionSettings s = LoadStoredValues(store);
  ASSERT_TRUE(SaveStoredValues(store, s));
  EXPECT_EQ(store.values.at({"IES86", "EUL1"}), std::string(80, 'E'));
}

TEST(PatternFile, SplitsAtEveryLineEndAndKeepsBlankLines) {
  EXPECT_EQ(ParsePatternFile("*.IES\r\n\r\n*.PHT\r\n"), (IesExtensionList{"*.IES", "", "*.PHT"}));
  EXPECT_EQ(ParsePatternFile("a\rb\nc"), (IesExtensionList{"a", "b", "c"}));
  EXPECT_EQ(ParsePatternFile("a\n\rb"), (IesExtensionList{"a", "", "b"}));
  EXPECT_TRUE(ParsePatternFile("").empty());
  EXPECT_EQ(PatternFileText({"*.IES", " *.x "}), "*.IES\r\n *.x \r\n");
  EXPECT_EQ(PatternFileBesideProgram("/opt/lumatra/bin/lumatra"), "/opt/lumatra/bin/lumatra.FLT");
  EXPECT_EQ(PatternFileBesideProgram("/opt/x.exe"), "/opt/x.FLT");
}

TEST(PatternFile, KeptBesideTheUserSettingsWhenTheProgramFolderRefusesIt) {
  TempDir dir;
  // A "folder" that is a plain file refuses every write, whoever runs the test.
  testing::WriteFile(dir / "bin", "not a folder");
  const PatternFiles files{(dir / "bin" / "lumatra.FLT").string(),
                           (dir / "config" / "Kelmar" / "LUMATRA.FLT").string()};
  const IesExtensionList mine{"*.IES", "", "*.LM63"};
  EXPECT_TRUE(SavePatterns(files, mine));
  EXPECT_TRUE(fs::exists(files.user));
  EXPECT_EQ(LoadPatterns(files), mine);

  // Once the program folder takes the file again, the per-user copy goes.
  fs::remove(dir / "bin");
  fs::create_directory(dir / "bin");
  const IesExtensionList later{"*.IES"};
  EXPECT_TRUE(SavePatterns(files, later));
  EXPECT_TRUE(fs::exists(files.program));
  EXPECT_FALSE(fs::exists(files.user));
  EXPECT_EQ(LoadPatterns(files), later);
}

TEST(PatternFile, NeitherPlaceWritableIsReported) {
  TempDir dir;
  testing::WriteFile(dir / "file", "x");
  const PatternFiles files{(dir / "file" / "a.FLT").string(), (dir / "file" / "b.FLT").string()};
  CapturedErrors errors;
  EXPECT_FALSE(SavePatterns(files, {"*.IES"}));
  ASSERT_EQ(errors.errors.size(), 1u);
  EXPECT_NE(errors.errors[0].find("file patterns"), std::string::npos);
}

}  // namespace
}  // namespace lumatra
