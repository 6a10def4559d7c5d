// The settings dialog: what it shows for untouched settings, and that a working copy with every
// control changed reaches the settings on OK only.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "gui/settings_dialog.h"
#include "gui_test_support.h"
#include "support/cp1252.h"

namespace lumatra::testing {
namespace {

TEST_F(WindowTest, SettingsDialogShowsUntouchedSettings) {
  SettingsDialog dialog(settings, patterns);
  EXPECT_EQ(dialog.windowTitle(), "Einstellungen");
  EXPECT_EQ(dialog.size(), QSize(440, 395));
  const auto* tabs = dialog.findChild<QTabWidget*>();
  EXPECT_EQ(tabs->tabPosition(), QTabWidget::South);
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(QStringList({tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
            QStringList({"Allgemein", "IES 86", "TM14"}));
  const std::pair<const char*, const char*> lists[] = {
      {"cselect", "unverändert beibehalten"},
      {"gammaselect", "Schrittwinkel beibehalten"},
      {"symmbox", "Einstellungen beibehalten"},
      {"L1Combo", "Messnummer (EULUM-DAT Zeile 8)"},
      {"L2Combo", "Leuchtennummer (EULUM-DAT Zeile 10)"},
      {"L3Combo", "Leuchtenname (EULUM-DAT Zeile 9)"},
      {"L4Combo", "Lampentyp (EULUM-DAT Zeile 26 b)"},
      {"L5Combo", "nicht verwenden"},
      {"L6Combo", "nicht verwenden"}};
  for (const auto& [name, text] : lists)
    EXPECT_EQ(dialog.findChild<QComboBox*>(name)->currentText(), text) << name;
  EXPECT_TRUE(dialog.findChild<QRadioButton*>("el1b")->isChecked());
  EXPECT_EQ(dialog.findChild<QLineEdit*>("eulmanFld")->text(), "Dateiumsetzung mit Lumatra");
  EXPECT_EQ(dialog.findChild<QPlainTextEdit*>("iesext")->toPlainText(), "*.IES\n*.PHT\n*.");
}

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
  settings.SRCDIR = "/src/";
  settings.LB3I = 7;
  settings.LB3S = "kept";
  const ConversionSettings before = settings;
  const IesExtensionList patterns_before = patterns;
  Open();

  dialogs.modal = [](QDialog& dialog) {
    ChangeEveryControl(dialog);
    return int(QDialog::Rejected);
  };
  QTest::mouseClick(Get("Button3"), Qt::LeftButton);
  EXPECT_EQ(settings, before);
  EXPECT_EQ(patterns, patterns_before);

  dialogs.modal = [](QDialog& dialog) {
    ChangeEveryControl(dialog);
    return int(QDialog::Accepted);
  };
  QTest::mouseClick(Get("Button3"), Qt::LeftButton);
  ConversionSettings expected = before;
  expected.TURN = expected.unformat = expected.use360 = expected.CIBS2 = expected.EUV1 = true;
  expected.PLANES = 8;
  expected.ANGLES = 5;
  expected.SYMM = 5;
  expected.LL1 = expected.LL3 = expected.LL5 = 6;
  expected.LL2 = expected.LL4 = expected.LL6 = 7;
  expected.EUL1 = Utf8ToCp1252("Änderung");
  EXPECT_EQ(settings, expected);
  EXPECT_EQ(patterns, (IesExtensionList{"*.IES", "  *.ies ", "*.x"}));
}

}  // namespace
}  // namespace lumatra::testing
