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
  PatternFiles Patterns() const {
    return {(dir_ / "prog.FLT").string(), (dir_ / "Kelmar" / "LUMATRA.FLT").string()};
  }

  testing::TempDir dir_;
};

TEST_F(QtStore, FirstStartGivesTheDefaultsAndOneRunStoresAllThirtyValuesAsText) {
  ConversionSettings s;
  IesExtensionList patterns;
  {
    auto store = OpenUserSettings();
    LoadSettings(*store, Patterns(), s, patterns);
  }
  EXPECT_EQ(s, ConversionSettings{});
  EXPECT_EQ(patterns, (IesExtensionList{"*.IES", "*.PHT", "*."}));
  {
    auto store = OpenUserSettings();
    ASSERT_TRUE(SaveSettings(*store, Patterns(), s, patterns));
  }
  ASSERT_TRUE(fs::exists(SettingsFile()));
  EXPECT_EQ(UserPatternFiles().user, Patterns().user);

  QSettings raw(QString::fromStdString(SettingsFile().string()), QSettings::IniFormat);
  EXPECT_EQ(raw.childGroups().size(), 6);
  int values = 0;
  for (const SettingKey& key : SettingKeys()) {
    const QVariant v = raw.value(QString::fromLatin1(key.section.data(), key.section.size()) + '/' +
                                 QString::fromLatin1(key.name.data(), key.name.size()));
    ASSERT_TRUE(v.isValid()) << key.name;
    EXPECT_EQ(v.typeId(), QMetaType::QString) << key.name;
    ++values;
  }
  EXPECT_EQ(values, 30);
  EXPECT_EQ(raw.value("EULUM/LB3I").toString(), "0");
  EXPECT_EQ(raw.value("GLOBAL/ACTFMT").toString(), "2");
  EXPECT_EQ(raw.value("IES86/EUL1").toString(), "Dateiumsetzung mit Lumatra");
}

TEST_F(QtStore, StoredTextsFollowTheReadingRules) {
  fs::create_directories(SettingsFile().parent_path());
  const std::string eul1(100, 'e');
  testing::WriteFile(SettingsFile(),
                     "[GLOBAL]\nACTFMT=abc\nDSTDIR=/data/Out, Mixed\n[IESEUL]\nTURN=1\nuse360=0\n"
                     "[IES86]\nEUL1=" +
                         eul1 + "\n[EULUM]\nLB3I=300\n");
  {
    auto store = OpenUserSettings();
    ConversionSettings s = LoadStoredValues(*store);
    EXPECT_EQ(s.ACTFMT, 2);
    EXPECT_EQ(s.DSTDIR, "/data/Out, Mixed");  // an unquoted comma reads as a list in INI files
    EXPECT_TRUE(s.TURN);
    EXPECT_FALSE(s.use360);
    EXPECT_EQ(s.EUL1, std::string(80, 'e'));
    EXPECT_EQ(s.LB3I, 44);
    s.EUL1 =
        "Gr\xFC\xDF"
        "e";  // Windows-1252 in memory
    ASSERT_TRUE(SaveStoredValues(*store, s));
  }
  QSettings raw(QString::fromStdString(SettingsFile().string()), QSettings::IniFormat);
  EXPECT_EQ(raw.value("IES86/EUL1").toString(), QString::fromUtf8("Grüße"));
  EXPECT_EQ(raw.value("GLOBAL/DSTDIR").toString(), "/data/Out, Mixed");
  auto store = OpenUserSettings();
  EXPECT_EQ(LoadStoredValues(*store).EUL1,
            "Gr\xFC\xDF"
            "e");
}

TEST_F(QtStore, AnUnwritableSettingsFileIsReported) {
  testing::WriteFile(dir_ / "plain", "x");
  auto store = OpenUserSettings((dir_ / "plain" / "settings.ini").string());
  struct Sink : MessageSink {
    void ShowError(std::string_view text) override { errors += std::string(text) + "\n"; }
    std::string errors;
  } sink;
  MessageSink* previous = SetMessageSink(&sink);
  EXPECT_FALSE(SaveStoredValues(*store, ConversionSettings{}));
  SetMessageSink(previous);
  EXPECT_NE(sink.errors.find("cannot save the settings"), std::string::npos) << sink.errors;
}

}  // namespace
}  // namespace lumatra
