// A run started from the window: the same targets and log as lumatra-cli convert with the settings
// the window stored, the list emptied row by row, and a stop pressed between files.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <sstream>

#include "app/settings_store_qt.h"
#include "cli/cli_app.h"
#include "gui_test_support.h"

namespace lumatra::testing {
namespace {

namespace fs = std::filesystem;

// Five EULUMDAT and five IES corpus files and one that is no photometric file, in a folder whose
// name holds blanks and umlauts; some file names hold blanks too.
QStringList CopySources(const fs::path& folder) {
  fs::create_directories(folder);
  const auto ldt = CorpusFiles({"LDT"});
  const auto ies = CorpusFiles({"IES2002", "IES95", "IES91"});
  QStringList files;
  for (std::size_t i = 0; i < 5; ++i) {
    for (const fs::path& source : {ldt.at(i), ies.at(i)}) {
      fs::copy_file(source, folder / source.filename());
      files << QString::fromStdString((folder / source.filename()).string());
    }
  }
  WriteFile(folder / "kaputt.ies", "no photometric data\r\n");
  files << QString::fromStdString((folder / "kaputt.ies").string());
  return files;
}

// A log's text with the target folder named OUT.
QString LogIn(const fs::path& log, const fs::path& folder) {
  return QString::fromStdString(ReadFile(log))
      .replace(QString::fromStdString(folder.string()), "OUT");
}

class RunTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    fs::create_directories(out_);
    Open();
    dialogs.folder = QString::fromStdString(out_.string());
    QTest::mouseClick(Get("DirSelBtn"), Qt::LeftButton);
    dialogs.files = CopySources(dir_ / "Quelle ä ö");
    QTest::mouseClick(Get("Button1"), Qt::LeftButton);
    queued_ = Rows();
    const QAbstractItemModel* model = Get<QListView>("CnvBox")->model();
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, window.get(), [this, model] {
      rows_left_.push_back(model->rowCount());
      on_removal_(model->rowCount());
    });
  }

  const fs::path out_ = dir_ / "Ziel mit Ü";
  QStringList queued_;
  std::vector<int> rows_left_;  // after each removal during a run
  std::function<void(int)> on_removal_ = [](int) {};
};

TEST_F(RunTest, TenCorpusFilesConvertLikeTheCommandLineWithTheStoredSettings) {
  Click("DestGrp", 4);  // TM 14, with the CIBSE/2 block and a new C step set in the dialog
  dialogs.modal = [](QDialog& dialog) {
    dialog.findChild<QCheckBox*>("C2Chk")->setChecked(true);
    dialog.findChild<QComboBox*>("cselect")->setCurrentIndex(6);
    return int(QDialog::Accepted);
  };
  QTest::mouseClick(Get("Button3"), Qt::LeftButton);
  QTest::mouseClick(Get("Button2"), Qt::LeftButton);
  EXPECT_EQ(rows_left_, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
  EXPECT_FALSE(Get("Button2")->isEnabled());
  EXPECT_EQ(Get<QLabel>("Label2")->text(), "0 Dateien gewählt");
  // One line per file: the target written, or why there is none.
  const QStringList run_log = Get<QPlainTextEdit>("RunLog")->toPlainText().split('\n');
  EXPECT_EQ(run_log.filter(" → " + QString::fromStdString(out_.string())).size(), 10);
  EXPECT_EQ(run_log.filter(QRegularExpression("/kaputt\\.ies: \\w")).size(), 1);

  // What the window set is stored, and lumatra-cli starts from it.
  window->close();
  ASSERT_TRUE(
      SaveSettings(*OpenUserSettings(), {(dir_ / "prog.FLT").string(), ""}, settings, patterns));
  EXPECT_EQ(LoadStoredValues(*OpenUserSettings()), settings);
  const std::string cli = (dir_ / "cli").string(), cli_log = (dir_ / "cli.log").string();
  std::vector<const char*> argv = {"lumatra-cli", "convert", "--out",
                                   cli.c_str(),   "--log",   cli_log.c_str()};
  std::vector<QByteArray> bytes;
  bytes.reserve(queued_.size());
  for (const QString& file : queued_)
    argv.push_back(bytes.emplace_back(file.toUtf8()).constData());
  std::ostringstream cli_out, cli_err;
  EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), cli_out, cli_err), 1);

  EXPECT_EQ(LogIn(dir_ / "LUMATRA.LOG", out_), LogIn(dir_ / "cli.log", dir_ / "cli"));
  std::size_t targets = 0;
  for (const auto& target : fs::directory_iterator(out_)) {
    EXPECT_EQ(target.path().extension(), ".CIB");
    EXPECT_EQ(ReadFile(target.path()), ReadFile(dir_ / "cli" / target.path().filename()));
    ++targets;
  }
  EXPECT_EQ(targets, 10u);
}

TEST_F(RunTest, StopBetweenFilesLeavesTheRestListedAndAnExistingTargetIsAskedFor) {
  const std::string existing = TargetName(out_.string(), queued_[1].toStdString(), 2);
  WriteFile(existing, "old");
  on_removal_ = [this](int rows) {
    EXPECT_EQ(Get<QPushButton>("Button2")->text(), "Konvertierung anhalten");
    EXPECT_FALSE(Get("Button1")->isEnabled());
    auto* list = Get<QListView>("CnvBox");  // the Delete key waits for the end of the run
    list->setCurrentIndex(list->model()->index(rows - 1, 0));
    QTest::keyClick(list, Qt::Key_Delete);
    if (rows == 7) QMetaObject::invokeMethod(Get("Button2"), "click", Qt::QueuedConnection);
  };
  QTest::mouseClick(Get("Button2"), Qt::LeftButton);
  EXPECT_EQ(rows_left_, (std::vector<int>{10, 9, 8, 7}));
  EXPECT_EQ(Rows(), queued_.mid(4));
  EXPECT_TRUE(Get("Button2")->isEnabled());
  EXPECT_TRUE(Get("Button1")->isEnabled());
  EXPECT_EQ(Get<QPushButton>("Button2")->text(), "Konvertierung starten");
  EXPECT_EQ(Get<QLabel>("Label2")->text(), "7 Dateien gewählt");
  EXPECT_EQ(dialogs.asked,
            QStringList{"Datei " + QString::fromStdString(fs::path(existing).filename().string()) +
                        " existiert bereits !  Überschreiben ?"});
  EXPECT_EQ(ReadFile(existing), "old");
}

}  // namespace
}  // namespace lumatra::testing
