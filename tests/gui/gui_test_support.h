// The windows under test: one application on the offscreen platform, dialogs answered from a
// script, controls found by their object names.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QListView>
#include <QSettings>
#include <functional>
#include <memory>
#include <ostream>

#include "gui/main_window.h"
#include "gui/platform_dialogs.h"
#include "testing/test_support.h"

inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

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

  QString folder, last_start, last_filter;
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

  MainWindow& Open() {
    window.reset();  // the window before it restores the error sink first
    window = std::make_unique<MainWindow>(settings, patterns, dialogs);
    return *window;
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
  int Checked(const char* group) { return Items(group)->checkedId(); }
  void Click(const char* group, int item) { Items(group)->button(item)->click(); }
  std::string TargetsEnabled() {
    std::string enabled;
    for (int i = 0; i < 6; ++i)
      enabled += Items("DestGrp")->button(i)->isEnabled() ? '1' : '0';
    return enabled;
  }
  QStringList Rows() {
    QStringList rows;
    const QAbstractItemModel* model = Get<QListView>("CnvBox")->model();
    for (int i = 0; i < model->rowCount(); ++i)
      rows << model->index(i, 0).data().toString();
    return rows;
  }

  TempDir dir_;
  std::filesystem::path previous_folder_;
  ConversionSettings settings;
  IesExtensionList patterns = DefaultIesExtensions();
  ScriptedDialogs dialogs;
  std::unique_ptr<MainWindow> window;
};

}  // namespace lumatra::testing
