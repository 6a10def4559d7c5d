// The QSettings store, kept away from the real user's settings in a temporary folder. (How it
// reads hand-edited files, refuses malformed ones and reports an unwritable one is pinned by the
// command line's session transcript, which runs on this store.)
#include "app/settings_store_qt.h"

#include <gtest/gtest.h>

#include <QSettings>
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
  testing::TempDir dir_;
};

TEST_F(QtStore, FirstStartGivesTheDefaultsAndEveryValueComesBackAsSaved) {
  const PatternFiles patterns{(dir_ / "prog.FLT").string(), UserPatternFiles().user};
  EXPECT_EQ(patterns.user, (dir_ / "Kelmar" / "LUMATRA.FLT").string());
  ConversionSettings s;
  IesExtensionList extensions;
  LoadSettings(*OpenUserSettings(), patterns, s, extensions);
  EXPECT_EQ(s, ConversionSettings{});
  s.DSTDIR = "/data/Out, Dir";
  s.LB3I = 7;
  s.LB3S =
      "Gr\xFC\xDF"
      "e";
  s.PLANES = 3;
  s.use360 = s.TURN = true;
  s.LL5 = kLabelCompany;
  ASSERT_TRUE(SaveSettings(*OpenUserSettings(), patterns, s, {"*.IES", "", "*.LM63"}));
  ConversionSettings back;
  LoadSettings(*OpenUserSettings(), patterns, back, extensions);
  EXPECT_EQ(back, s);
  EXPECT_EQ(extensions, (IesExtensionList{"*.IES", "", "*.LM63"}));
  EXPECT_TRUE(fs::exists(dir_ / "Kelmar" / "LUMATRA.conf"));
}

}  // namespace
}  // namespace lumatra
