// The windows under test: one application on the offscreen platform, dialogs answered from a
// script, controls found by their object names.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QListView>
#include <QSettings>
#include <functional>
#include <memory>

#include "gui/main_window.h"
#include "gui/platform_dialogs.h"
#include "testing/test_support.h"

namespace lumatra::testing {

// One application for all tests, kept to the end of the process.
inline void StartApplication() {
  static int argc = 1;
  static char name[] = "qt_tests", *argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qApp) new QApplication(argc, argv);
}

struct ScriptedDialogs : PlatformDialogs {
  QString ChooseFolder(QWidget*, const QString&) override { return folder; }
  QStringList ChooseFiles(QWidget*, const QString& start, const QString& filter) override {
    last_start = start;
    last_filter = filter;
    return files;
  }
  QString ChooseSaveFile(QWidget*, const QString& suggested, const QString&) override {
    last_start = suggested;
    return save_as;
  }
  Answer Ask(QWidget*, const QString& question) override {
    asked << question;
    return answer;
  }
  OverwriteAnswer AskOverwrite(QWidget*, const QString& question) override {
    asked << question;
    return OverwriteAnswer::kNo;
  }
  void ShowError(QWidget*, const QString& text) override { asked << text; }
  int RunModal(QDialog& dialog) override { return modal(dialog); }

  QString folder, last_start, last_filter, save_as;
  QStringList files, asked;
  Answer answer = Answer::kNo;
  std::function<int(QDialog&)> modal;
};

// A main window over settings of its own, with the settings store and the log in a temporary
// folder (the log "LUMATRA.LOG" is written to the current folder).
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartApplication();
    const QString store = QString::fromStdString(dir_.path().string());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store);
    previous_folder_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override {
    window.reset();
    std::filesystem::current_path(previous_folder_);
  }

  void Open() {
    window.reset();  // the window before it restores the error sink first
    window = std::make_unique<MainWindow>(settings, patterns, dialogs);
  }
  template <class W = QWidget>
  W* Get(const char* name) {
    W* widget = window->findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QButtonGroup* Items(const char* group) {
    return Get<QGroupBox>(group)->findChild<QButtonGroup*>();
  }
  void Click(const char* group, int item) { Items(group)->button(item)->click(); }
  // The source item, the target item and which target items are enabled: "1 0 100011".
  std::string Groups() {
    std::string groups = std::to_string(Items("srcGrp")->checkedId()) + ' ' +
                         std::to_string(Items("DestGrp")->checkedId()) + ' ';
    for (int i = 0; i < 6; ++i)
      groups += Items("DestGrp")->button(i)->isEnabled() ? '1' : '0';
    return groups;
  }
  QStringList Rows() {
    return static_cast<const FileListModel*>(Get<QListView>("CnvBox")->model())->Paths();
  }

  TempDir dir_;
  std::filesystem::path previous_folder_;
  ConversionSettings settings;
  IesExtensionList patterns = DefaultIesExtensions();
  ScriptedDialogs dialogs;
  std::unique_ptr<MainWindow> window;
};

}  // namespace lumatra::testing
