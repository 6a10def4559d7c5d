// The windows at a first start, the main window's edge cases (the stored target format, the source
// group's question, the file selection and the list, clearing, closing) and the settings dialog's
// OK and cancel. A run is in run_qt_test.cpp.
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include "app/settings_store_qt.h"
#include "gui/settings_dialog.h"
#include "gui_test_support.h"
#include "support/cp1252.h"

namespace lumatra::testing {
namespace {

namespace fs = std::filesystem;
using Answer = PlatformDialogs::Answer;

enum Source { kEul, kIes };

// A window's controls as text, one line each in creation order: object name ("-" for none), kind,
// state, texts and hint. Qt's own parts of a control (scroll bars, viewports) are left out.
std::string Describe(const QWidget& window) {
  QStringList lines{QString("%1 \"%2\" at least %3x%4")
                        .arg(window.objectName(), window.windowTitle(),
                             QString::number(window.minimumWidth()),
                             QString::number(window.minimumHeight()))};
  for (const QWidget* w : window.findChildren<QWidget*>()) {
    QString text;
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
      text = button->text() + (!button->isCheckable() ? "" : button->isChecked() ? " (x)" : " ( )");
    else if (const auto* label = qobject_cast<const QLabel*>(w))
      text = label->text() + (label->font().bold() ? " (bold)" : "");
    else if (const auto* field = qobject_cast<const QLineEdit*>(w))
      text = field->text();
    else if (const auto* frame = qobject_cast<const QGroupBox*>(w))
      text = frame->title();
    else if (const auto* lines_field = qobject_cast<const QPlainTextEdit*>(w))
      text = lines_field->toPlainText().replace('\n', '|');
    else if (const auto* list = qobject_cast<const QComboBox*>(w))
      for (int i = 0; i < list->count(); ++i)
        text += (i ? "|" : "") + QString(i == list->currentIndex() ? ">" : "") + list->itemText(i);
    else if (const auto* tabs = qobject_cast<const QTabWidget*>(w))
      for (int i = 0; i < tabs->count(); ++i)
        text += (i                                          ? "|"
                 : tabs->tabPosition() == QTabWidget::South ? "bottom: "
                                                            : "top: ") +
                QString(i == tabs->currentIndex() ? ">" : "") + tabs->tabText(i);
    if (w->objectName().startsWith("qt_") || (w->objectName().isEmpty() && text.isEmpty()) ||
        qobject_cast<const QTabBar*>(w->parentWidget()))
      continue;
    lines << QString("%1 %2%3%4 \"%5\"%6")
                 .arg(w->objectName().isEmpty() ? "-" : w->objectName(),
                      w->metaObject()->className(), w->isEnabled() ? "" : " disabled",
                      w->isHidden() ? " hidden" : "", text,
                      w->toolTip().isEmpty() ? "" : " hint \"" + w->toolTip() + '"');
  }
  return lines.join('\n').toStdString() + '\n';
}

// Both windows at a first start, pinned in tests/data/golden/gui/: every text, the groups as the
// default ACTFMT 2 leaves them (IES LM 63 to EULUM-DAT), the start button disabled, no count text,
// the dialog's lists on their defaults.
TEST_F(WindowTest, FirstStartShowsBothWindowsAsTheirGoldens) {
  LoadSettings(*OpenUserSettings(), {(dir_ / "prog.FLT").string(), ""}, settings, patterns);
  Open();
  ExpectGolden("gui/main-window.txt", Describe(*window));
  ExpectGolden("gui/settings-dialog.txt", Describe(SettingsDialog(settings, patterns)));
}

TEST_F(WindowTest, EveryStoredTargetFormatRestoresBothGroups) {
  const std::pair<std::int32_t, std::string> rows[] = {
      {2, "1 0 100011"}, {4, "2 4 111101"},  {5, "0 1 011111"}, {6, "0 2 011111"},
      {7, "0 3 011111"}, {11, "3 5 111110"}, {9, "0 1 111111"}, {-1, "0 1 111111"}};
  for (const auto& [actfmt, groups] : rows) {
    settings.ACTFMT = actfmt;
    Open();
    EXPECT_EQ(Groups(), groups) << actfmt;
    EXPECT_EQ(settings.ACTFMT, actfmt);
  }
  EXPECT_TRUE(dialogs.asked.isEmpty());
}

// The edge case of a EULUM-DAT source whose target was EULUM-DAT too comes last.
TEST_F(WindowTest, SourceChangeWithFilesAsksAndOnlyYesClearsTheList) {
  // A run of an IES LM-63-2002 file first: its format has no source item of its own.
  const fs::path ies2002 = TestDataDir() / "corpus/files/jvbelenky__guv-calcs/B1 module.ies";
  settings.DSTDIR = dir_.path().string();
  Open();
  window->AddFiles({QString::fromStdString(ies2002.string())});
  QTest::mouseClick(Get("Button2"), Qt::LeftButton);
  ASSERT_TRUE(fs::exists(dir_ / "B1 MODULE.LDT"));

  dialogs.files = {"/data/b.ies", "/data/a.ies"};
  QTest::mouseClick(Get("Button1"), Qt::LeftButton);
  for (Answer answer : {Answer::kNo, Answer::kCancel, Answer::kYes}) {
    dialogs.answer = answer;
    Click("srcGrp", kEul);
    EXPECT_EQ(dialogs.asked.takeLast(), "Dateiliste löschen ?");
    if (answer == Answer::kYes) break;
    EXPECT_EQ(Rows().size(), 2);
    EXPECT_EQ(Groups(), "1 0 100011");
  }
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_EQ(Groups(), "0 1 011111");
  EXPECT_EQ(settings.ACTFMT, 5);
  EXPECT_EQ(Get<QLabel>("Label2")->text(), "2 Dateien ausgewählt");
  EXPECT_TRUE(Get("Button2")->isEnabled());
}

TEST_F(WindowTest, SelectedAndDroppedFilesStaySortedWithoutCaseDuplicatesUntilCleared) {
  const fs::path folder = dir_ / "Quelle mit Ümlaut";
  fs::create_directories(folder);
  for (const char* name : {"b.ies", "A.ies", "c.PHT", "d.ldt", "noext"})
    WriteFile(folder / name, "x");
  const QString q = QString::fromStdString(folder.string()) + '/';
  settings.SRCDIR = "/start/";
  Open();
  dialogs.files = {q + "b.ies", q + "A.ies", q + "B.IES"};
  QTest::mouseClick(Get("Button1"), Qt::LeftButton);
  EXPECT_EQ(dialogs.last_start, "/start/");
  EXPECT_EQ(dialogs.last_filter, "IES LM63 Dateien (*.IES *.ies *.PHT *.pht *.)");
  dialogs.files = {q + "a.IES"};
  QTest::mouseClick(Get("Button1"), Qt::LeftButton);
  EXPECT_EQ(Rows(), (QStringList{q + "A.ies", q + "b.ies"}));
  EXPECT_EQ(settings.SRCDIR, folder.string() + '/');
  EXPECT_EQ(Get<QLabel>("Label2")->text(), "2 Dateien ausgewählt");

  // A dropped folder adds the files the source patterns match, "*." those without extension.
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder.string()))});
  QDragEnterEvent enter({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &drop);
  EXPECT_EQ(Rows(), (QStringList{q + "A.ies", q + "b.ies", q + "c.PHT", q + "noext"}));

  auto* list = Get<QListView>("CnvBox");
  list->setCurrentIndex(list->model()->index(2, 0));
  QTest::keyClick(list, Qt::Key_Delete);
  EXPECT_EQ(Rows(), (QStringList{q + "A.ies", q + "b.ies", q + "noext"}));

  patterns.clear();
  dialogs.files.clear();
  QTest::mouseClick(Get("Button1"), Qt::LeftButton);
  EXPECT_EQ(dialogs.last_filter, "IES LM63 Dateien (*.ies *.IES)");
  EXPECT_EQ(Get<QLabel>("Label2")->text(), "3 Dateien ausgewählt");

  // Clearing keeps the start button as it was; a run on the empty list converts nothing.
  QTest::mouseClick(Get("Button4"), Qt::LeftButton);
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_EQ(Get<QLabel>("Label2")->text(), "0 Dateien ausgewählt");
  EXPECT_TRUE(Get("Button2")->isEnabled());
  settings.DSTDIR = dir_.path().string();
  QTest::mouseClick(Get("Button2"), Qt::LeftButton);
  EXPECT_FALSE(Get("Button2")->isEnabled());
  EXPECT_EQ(ReadFile(dir_ / "LUMATRA.LOG"), "");
}

TEST_F(WindowTest, ClosingAsksOnlyWhenFilesWaitAndClosesOnYes) {
  for (auto [files, answer] : {std::pair{false, Answer::kNo},
                               {true, Answer::kNo},
                               {true, Answer::kCancel},
                               {true, Answer::kYes}}) {
    Open();
    if (files) window->AddFiles({"/data/a.ldt"});
    dialogs.answer = answer;
    dialogs.asked.clear();
    window->show();
    QTest::mouseClick(Get("BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(window->isVisible(), files && answer != Answer::kYes);
    EXPECT_EQ(dialogs.asked, files ? QStringList{"Beenden ohne Konvertierung ? "} : QStringList{});
  }
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
