// The QSettings store, kept away from the real user's settings in a temporary folder. (How it
// reads hand-edited files, refuses malformed ones and reports an unwritable one is pinned by the
// command line's session transcript, which runs on this store.)
#include "app/settings_store_qt.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QString>
#include <filesystem>
#include <string>

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

}  // namespace
}  // namespace lumatra
