// The main window's edge cases: first start, the stored target format, the source group's
// question, the file selection and the list, clearing, closing. A run is in run_qt_test.cpp.
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "app/settings_store_qt.h"
#include "gui_test_support.h"

namespace lumatra::testing {
namespace {

namespace fs = std::filesystem;
using Answer = PlatformDialogs::Answer;

enum Source { kEul, kIes, kTm14, kCie };

TEST_F(WindowTest, FirstStartShowsIesToEulumdatWithNothingToStart) {
  LoadSettings(*OpenUserSettings(), {(dir_ / "prog.FLT").string(), ""}, settings, patterns);
  Open();
  EXPECT_EQ(window->windowTitle(), "EULUM-DAT Konvertierungsprogramm");
  EXPECT_EQ(window->minimumSize(), QSize(640, 480));
  // Every control is found by its name.
  for (const char* name :
       {"srcGrp", "DestGrp", "Label1", "DestDirFld", "DirSelBtn", "Button1", "CnvBox", "Button2",
        "Button3", "Button4", "BitBtn1", "BitBtn2", "Label2", "StatusBar"})
    Get(name);
  EXPECT_EQ(Checked("srcGrp"), kIes);
  EXPECT_EQ(Checked("DestGrp"), 0);
  EXPECT_EQ(TargetsEnabled(), "100011");
  EXPECT_FALSE(Get("Button2")->isEnabled());
  EXPECT_EQ(Get<QPushButton>("Button2")->text(), "Konvertierung starten");
  EXPECT_EQ(Get<QLabel>("Label2")->text(), "");
}

TEST_F(WindowTest, EveryStoredTargetFormatRestoresBothGroups) {
  struct Row {
    std::int32_t actfmt;
    int source, target;
    std::string enabled;
  };
  for (const Row& row : std::vector<Row>{{2, kIes, 0, "100011"},
                                         {4, kTm14, 4, "111101"},
                                         {5, kEul, 1, "011111"},
                                         {6, kEul, 2, "011111"},
                                         {7, kEul, 3, "011111"},
                                         {11, kCie, 5, "111110"},
                                         {9, kEul, 1, "111111"},
                                         {-1, kEul, 1, "111111"}}) {
    settings.ACTFMT = row.actfmt;
    Open();
    EXPECT_EQ(Checked("srcGrp"), row.source) << row.actfmt;
    EXPECT_EQ(Checked("DestGrp"), row.target) << row.actfmt;
    EXPECT_EQ(TargetsEnabled(), row.enabled) << row.actfmt;
    EXPECT_EQ(settings.ACTFMT, row.actfmt);
    EXPECT_TRUE(dialogs.asked.isEmpty());
  }
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
    EXPECT_EQ(Checked("srcGrp"), kIes);
    EXPECT_EQ(Checked("DestGrp"), 0);
    EXPECT_EQ(TargetsEnabled(), "100011");
  }
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_EQ(Checked("srcGrp"), kEul);
  EXPECT_EQ(Checked("DestGrp"), 1);
  EXPECT_EQ(TargetsEnabled(), "011111");
  EXPECT_EQ(settings.ACTFMT, 5);
  EXPECT_EQ(Get<QLabel>("Label2")->text(), "2 Dateien ausgewählt");
  EXPECT_TRUE(Get("Button2")->isEnabled());
}

TEST_F(WindowTest, SelectedAndDroppedFilesStaySortedWithoutCaseDuplicates) {
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
  EXPECT_TRUE(Get("Button2")->isEnabled());

  // A dropped folder adds the files the source patterns match, "*." those without extension.
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder.string()))});
  QDragEnterEvent enter({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &drop);
  EXPECT_EQ(Rows(), (QStringList{q + "A.ies", q + "b.ies", q + "c.PHT", q + "noext"}));

  auto* list = Get<QListView>("CnvBox");
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  QTest::mouseClick(list->viewport(), Qt::RightButton, {},
                    list->visualRect(list->model()->index(2, 0)).center());
  EXPECT_EQ(list->currentIndex().row(), 2);
  QTest::keyClick(list, Qt::Key_Delete);
  EXPECT_EQ(Rows(), (QStringList{q + "A.ies", q + "b.ies", q + "noext"}));

  patterns.clear();
  dialogs.files.clear();
  QTest::mouseClick(Get("Button1"), Qt::LeftButton);
  EXPECT_EQ(dialogs.last_filter, "IES LM63 Dateien (*.ies *.IES)");
  EXPECT_EQ(Get<QLabel>("Label2")->text(), "3 Dateien ausgewählt");
}

TEST_F(WindowTest, ClearingKeepsTheStartButtonAndARunOnTheEmptyListConvertsNothing) {
  settings.DSTDIR = dir_.path().string();
  Open();
  dialogs.files = {"/data/a.ies"};
  QTest::mouseClick(Get("Button1"), Qt::LeftButton);
  QTest::mouseClick(Get("Button4"), Qt::LeftButton);
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_EQ(Get<QLabel>("Label2")->text(), "0 Dateien ausgewählt");
  EXPECT_TRUE(Get("Button2")->isEnabled());
  QTest::mouseClick(Get("Button2"), Qt::LeftButton);
  EXPECT_FALSE(Get("Button2")->isEnabled());
  EXPECT_EQ(ReadFile(dir_ / "LUMATRA.LOG"), "");
}

TEST_F(WindowTest, ClosingAsksOnlyWhenFilesWait) {
  struct Row {
    bool files;
    Answer answer;
    bool closes, asks;
  };
  for (const Row& row : std::vector<Row>{{false, Answer::kNo, true, false},
                                         {true, Answer::kNo, false, true},
                                         {true, Answer::kCancel, false, true},
                                         {true, Answer::kYes, true, true}}) {
    Open();
    if (row.files) window->AddFiles({"/data/a.ldt"});
    dialogs.answer = row.answer;
    dialogs.asked.clear();
    window->show();
    QTest::mouseClick(Get("BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(window->isVisible(), !row.closes);
    EXPECT_EQ(dialogs.asked,
              row.asks ? QStringList{"Beenden ohne Konvertierung ? "} : QStringList{});
  }
}

}  // namespace
}  // namespace lumatra::testing
