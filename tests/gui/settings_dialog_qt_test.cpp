// The settings dialog: a working copy with every control changed reaches the settings on OK only.
// What it shows for untouched settings is pinned with the main window's first start.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include "gui/settings_dialog.h"
#include "gui_test_support.h"
#include "support/cp1252.h"

namespace lumatra::testing {
namespace {

// Each check box turned on, each list set to its last item, "immer", a new line-1 text, and a
// pattern list with a blank line, a line of control characters and padded patterns.
void ChangeEveryControl(QDialog& dialog) {
  for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
    box->setChecked(true);
  for (QComboBox* list : dialog.findChildren<QComboBox*>())
    list->setCurrentIndex(list->count() - 1);
  dialog.findChild<QRadioButton*>("EL1a")->click();
  dialog.findChild<QLineEdit*>("eulmanFld")->setText("Änderung");
  dialog.findChild<QPlainTextEdit*>("iesext")->setPlainText("*.IES\n\n  *.ies \n\t\n*.x");
}

TEST_F(WindowTest, SettingsDialogCommitsEveryControlOnOkOnly) {
  settings.LB3S = "kept";  // no control edits it
  const ConversionSettings before = settings;
  const IesExtensionList patterns_before = patterns;
  Open();
  for (int result : {QDialog::Rejected, QDialog::Accepted}) {
    dialogs.modal = [result](QDialog& dialog) {
      ChangeEveryControl(dialog);
      return result;
    };
    QTest::mouseClick(Get("Button3"), Qt::LeftButton);
    if (result == QDialog::Accepted) break;
    EXPECT_EQ(settings, before);
    EXPECT_EQ(patterns, patterns_before);
  }
  ConversionSettings expected = before;
  expected.TURN = expected.unformat = expected.use360 = expected.CIBS2 = expected.EUV1 = true;
  expected.PLANES = 8;
  expected.ANGLES = expected.SYMM = 5;
  expected.LL1 = expected.LL3 = expected.LL5 = 6;
  expected.LL2 = expected.LL4 = expected.LL6 = 7;
  expected.EUL1 = Utf8ToCp1252("Änderung");
  EXPECT_EQ(settings, expected);
  EXPECT_EQ(patterns, (IesExtensionList{"*.IES", "  *.ies ", "*.x"}));
}

}  // namespace
}  // namespace lumatra::testing
