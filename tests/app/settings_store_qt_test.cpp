// The QSettings store, kept away from the real user's settings in a temporary folder.
#include "app/settings_store_qt.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QString>
#include <filesystem>
#include <string>

#include "support/messages.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;

class QtStore : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString path = QString::fromStdString(dir_.path().string());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
  }
  fs::path SettingsFile() const { return dir_ / "Kelmar" / "LUMATRA.conf"; }
  testing::TempDir dir_;
};

TEST_F(QtStore, FirstStartGivesTheDefaultsAndASaveStoresAllThirtyValuesAsText) {
  const PatternFiles patterns{(dir_ / "prog.FLT").string(), UserPatternFiles().user};
  EXPECT_EQ(patterns.user, (dir_ / "Kelmar" / "LUMATRA.FLT").string());
  ConversionSettings s;
  IesExtensionList extensions;
  LoadSettings(*OpenUserSettings(), patterns, s, extensions);
  EXPECT_EQ(s, ConversionSettings{});
  ASSERT_TRUE(SaveSettings(*OpenUserSettings(), patterns, s, extensions));
  QSettings raw(QString::fromStdString(SettingsFile().string()), QSettings::IniFormat);
  EXPECT_EQ(raw.childGroups().size(), 6);
  for (const SettingKey& key : SettingKeys()) {
    const QVariant v = raw.value(QString::fromLatin1(key.section.data(), key.section.size()) + '/' +
                                 QString::fromLatin1(key.name.data(), key.name.size()));
    EXPECT_EQ(v.typeId(), QMetaType::QString) << key.name;
  }
  EXPECT_EQ(raw.value("IES86/EUL1").toString(), "Dateiumsetzung mit Lumatra");
}

TEST_F(QtStore, StoredTextsFollowTheReadingRulesAndRecordTextsCrossAsUtf8) {
  fs::create_directories(SettingsFile().parent_path());
  testing::WriteFile(SettingsFile(),
                     "[GLOBAL]\nACTFMT=abc\nDSTDIR=/data/Out, Mixed\n[IESEUL]\nTURN=1\n[IES86]\n"
                     "EUL1=" +
                         std::string(100, 'e') + "\n[EULUM]\nLB3I=300\n");
  {
    auto store = OpenUserSettings();
    ConversionSettings s = LoadStoredValues(*store);
    ConversionSettings expected;
    expected.DSTDIR = "/data/Out, Mixed";  // an unquoted comma reads as a list in INI files
    expected.TURN = true;
    expected.EUL1 = std::string(80, 'e');
    expected.LB3I = 44;
    EXPECT_EQ(s, expected);
    s.EUL1 =
        "Gr\xFC\xDF"
        "e";  // Windows-1252 in memory
    ASSERT_TRUE(SaveStoredValues(*store, s));
  }
  QSettings raw(QString::fromStdString(SettingsFile().string()), QSettings::IniFormat);
  EXPECT_EQ(raw.value("IES86/EUL1").toString(), QString::fromUtf8("Grüße"));
  EXPECT_EQ(raw.value("GLOBAL/DSTDIR").toString(), "/data/Out, Mixed");
  EXPECT_EQ(LoadStoredValues(*OpenUserSettings()).EUL1,
            "Gr\xFC\xDF"
            "e");
}

// A file QSettings would not read back whole must not be rewritten: the first such line is named.
TEST_F(QtStore, MalformedFilesAreFoundByTheirFirstUnreadableLine) {
  const std::pair<std::string, std::string> files[] = {
      {"; comment\n  # comment\n\n[A]\nx=1\\\nmore of x\ny=2", ""},
      {"[A]\r\nx=1\r\nnot a pair\r\n", "line 3"},
      {"[A\nx=1\n", "line 1"},
      {std::string("x=1\ny=\0\n", 8), "line 2"},
  };
  for (const auto& [text, error] : files) {
    testing::WriteFile(dir_ / "s.ini", text);
    std::string reason;
    EXPECT_EQ(OpenUserSettings((dir_ / "s.ini").string())->CheckWellFormed(reason), error.empty());
    EXPECT_EQ(reason.empty() ? "" : reason.substr(reason.rfind(": ") + 2), error) << text;
  }
}

TEST_F(QtStore, AnUnwritableSettingsFileIsReported) {
  testing::WriteFile(dir_ / "plain", "x");
  struct Sink : MessageSink {
    void ShowError(std::string_view text) override { errors += std::string(text) + "\n"; }
    std::string errors;
  } sink;
  MessageSink* previous = SetMessageSink(&sink);
  EXPECT_FALSE(SaveStoredValues(*OpenUserSettings((dir_ / "plain" / "s.ini").string()), {}));
  SetMessageSink(previous);
  EXPECT_NE(sink.errors.find("cannot save the settings"), std::string::npos) << sink.errors;
}

}  // namespace
}  // namespace lumatra
