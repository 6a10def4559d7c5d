// The main window: source and target format, target folder, the list of files waiting to be
// converted, start/stop, settings, about box. It is the batch driver's user interface (questions,
// pending input between files, progress) and shows the core's error boxes.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/batch_driver.h"
#include "app/conversion_settings.h"
#include "gui/file_list_model.h"
#include "gui/format_groups.h"
#include "support/messages.h"

class QButtonGroup;
class QLabel;
class QLayout;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace lumatra {

class FilePreview;
class PlatformDialogs;

class MainWindow : public QMainWindow, public BatchUi, public MessageSink {
 public:
  // The groups are restored from settings.ACTFMT; the window keeps `settings` and `patterns`
  // up to date as the user changes them.
  MainWindow(ConversionSettings& settings, IesExtensionList& patterns, PlatformDialogs& dialogs,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // Adds files as a confirmed file selection does: SRCDIR follows the first, the list stays
  // sorted and free of names that differ only in case.
  void AddFiles(const QStringList& paths);

  // BatchUi
  OverwriteAnswer AskOverwrite(const std::string& question, const std::string& target) override;
  void ProcessPendingInput() override;
  void RunStarted() override;
  void FileDone(const std::string& source, const FileOutcome& outcome,
                std::size_t remaining) override;
  void RunEnded(bool stopped) override;

  // MessageSink
  void ShowError(std::string_view text) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  QLayout* FormatGroups();
  QLayout* FolderRow();
  QLayout* SelectionRow();
  QWidget* FileList();
  QLayout* ActionRow();
  void RestoreFormats();
  void SetTargetsEnabled(const TargetsEnabled& enabled);
  void SourceClicked(int item);
  void TargetClicked();
  void ChooseFolder();
  void ChooseFiles();
  void ClearList();
  void RemoveSelectedRows();
  void StartStop();
  void ShowAbout();
  void ShowCount(const char* suffix);
  void SetIdleControlsEnabled(bool enabled);

  ConversionSettings& settings_;
  IesExtensionList& patterns_;
  PlatformDialogs& dialogs_;
  BatchDriver driver_;
  MessageSink* previous_sink_ = nullptr;
  FileListModel files_;

  bool source_guard_ = true;             // false while the window puts the source group back
  std::uint8_t source_code_ = 2;         // format of the source item, then of the file last read
  int chosen_source_ = kSourceEulumdat;  // the source item the user chose last
  int run_total_ = 0;

  QButtonGroup* source_items_ = nullptr;
  QButtonGroup* target_items_ = nullptr;
  QLineEdit* dest_dir_ = nullptr;
  QListView* list_ = nullptr;
  FilePreview* preview_ = nullptr;
  QPushButton* start_ = nullptr;
  QLabel* count_ = nullptr;
  QPlainTextEdit* run_log_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QList<QWidget*> idle_only_;  // disabled while a run goes on
};

}  // namespace lumatra
