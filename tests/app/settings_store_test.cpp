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
  for (auto [name, section] : {std::pair{"LB3I", "EULUM"},
                               {"unformat", "IESEUL"},
                               {"CIBS2", "TM14"},
                               {"USE360", "IESEUL"}})  // case is forgiven
    EXPECT_EQ(FindSettingKey(name)->section, section) << name;
  EXPECT_EQ(FindSettingKey("USE360")->name, "use360");
  EXPECT_EQ(FindSettingKey("LB7I"), nullptr);
}

TEST(SettingKeys, ReadingRulesOfIntegersBooleansAndBytes) {
  // Applied in turn to one record; each row reads the value back through its stored text.
  struct Row {
    const char* name;
    const char* text;
    const char* value;
  };
  ConversionSettings s;
  for (const Row& r : {Row{"ACTFMT", "abc", "2"}, Row{"ACTFMT", "-1", "-1"},
                       Row{"ACTFMT", "99999999999", "2"},  // beyond 32 bits: the default
                       Row{"TURN", "1", "1"}, Row{"TURN", "0", "0"}, Row{"TURN", "2", "1"},
                       Row{"TURN", "yes", "0"}, Row{"LL3", "x", "3"},  // its default
                       Row{"LB3I", "300", "44"}}) {                    // the low 8 bits
    const SettingKey& key = *FindSettingKey(r.name);
    ApplyStoredText(key, s, r.text);
    MemorySettingsBackend store;
    ASSERT_TRUE(SaveStoredValues(store, s));
    EXPECT_EQ(store.values.at({std::string(key.section), std::string(key.name)}), r.value)
        << r.name << " " << r.text;
  }
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
  ASSERT_TRUE(SaveStoredValues(store, s));  // a long text comes back cut to 80
  EXPECT_EQ(store.values.at({"IES86", "EUL1"}), std::string(80, 'x'));
  store.values[{"IES86", "EUL1"}] = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC";  // "Grüße €"
  s = LoadStoredValues(store);
  EXPECT_EQ(s.EUL1,
            "Gr\xFC\xDF"
            "e \x80");
  ASSERT_TRUE(SaveStoredValues(store, s));
  EXPECT_EQ(store.values.at({"IES86", "EUL1"}), "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC");
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
