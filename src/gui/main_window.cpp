#include "gui/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "gui/file_preview.h"
#include "gui/platform_dialogs.h"
#include "gui/settings_dialog.h"

namespace lumatra {

namespace {

constexpr const char* kSelected = " Dateien ausgewählt";
constexpr const char* kRemaining = " Dateien gewählt";
constexpr const char* kStart = "Konvertierung starten";
constexpr const char* kStop = "Konvertierung anhalten";

// Paths cross into the core as the file system's bytes, and back.
QString FromNative(const std::string& bytes) {
  return QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(bytes)));
}
std::string ToNative(const QString& path) {
  return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
}

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

// A radio group: a frame with its items, numbered from 0, in `columns` columns filled top down.
template <std::size_t N>
QButtonGroup* RadioGroup(QGroupBox* box, const std::array<const char*, N>& texts, int columns) {
  auto* items = new QButtonGroup(box);
  auto* grid = new QGridLayout(box);
  const int rows = static_cast<int>((N + columns - 1) / columns);
  for (int i = 0; i < static_cast<int>(N); ++i) {
    auto* button = new QRadioButton(texts[static_cast<std::size_t>(i)]);
    items->addButton(button, i);
    grid->addWidget(button, i % rows, i / rows);
  }
  return items;
}

// The files of dropped folders that match the source patterns, and the dropped files themselves.
QStringList DroppedFiles(const QList<QUrl>& urls, int source_item,
                         const IesExtensionList& patterns) {
  QStringList files;
  for (const QUrl& url : urls) {
    const QFileInfo info(url.toLocalFile());
    if (!url.isLocalFile() || !info.exists()) continue;
    if (!info.isDir()) {
      files << info.absoluteFilePath();
      continue;
    }
    for (const QFileInfo& entry : QDir(info.absoluteFilePath()).entryInfoList(QDir::Files))
      if (MatchesSourcePatterns(entry.fileName(), source_item, patterns))
        files << entry.absoluteFilePath();
  }
  return files;
}

}  // namespace

MainWindow::MainWindow(ConversionSettings& settings, IesExtensionList& patterns,
                       PlatformDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      patterns_(patterns),
      dialogs_(dialogs),
      driver_(settings, *this),
      previous_sink_(SetMessageSink(this)) {
  BuildControls();
  RestoreFormats();
}

MainWindow::~MainWindow() {
  SetMessageSink(previous_sink_);
}

void MainWindow::BuildControls() {
  setObjectName("VIVUroForm");
  setWindowTitle("EULUM-DAT Konvertierungsprogramm");
  setMinimumSize(640, 480);
  resize(640, 480);
  move(screen()->availableGeometry().center() - rect().center());
  setAcceptDrops(true);

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->addLayout(FormatGroups());
  layout->addWidget(Named(new QLabel("Zielverzeichnis"), "Label1"));
  layout->addLayout(FolderRow());
  layout->addLayout(SelectionRow());
  // The list over the run's log, and beside both the preview of the selected file.
  auto* lists = new QVBoxLayout;
  lists->addWidget(FileList(), 3);
  run_log_ = Named(new QPlainTextEdit, "RunLog");
  run_log_->setReadOnly(true);
  run_log_->setLineWrapMode(QPlainTextEdit::NoWrap);
  lists->addWidget(run_log_, 1);
  preview_ = new FilePreview(dialogs_);
  auto* lists_and_preview = new QHBoxLayout;
  lists_and_preview->addLayout(lists, 3);
  lists_and_preview->addWidget(preview_, 2);
  layout->addLayout(lists_and_preview, 1);
  layout->addLayout(ActionRow());
  setCentralWidget(central);

  // The status bar shows no text, only the progress of a run.
  auto* status = Named(new QStatusBar, "StatusBar");
  progress_ = Named(new QProgressBar, "Progress");
  progress_->setFixedWidth(350);
  progress_->setFormat("%v / %m");
  progress_->hide();
  status->addWidget(progress_);
  setStatusBar(status);
}

QLayout* MainWindow::FormatGroups() {
  auto* source_box = Named(new QGroupBox(" Quellformat  "), "srcGrp");
  source_items_ = RadioGroup(source_box, kSourceItemTexts, 1);
  auto* target_box = Named(new QGroupBox(" Zielformat "), "DestGrp");
  target_items_ = RadioGroup(target_box, kTargetItemTexts, 2);
  source_items_->button(kSourceEulumdat)->setChecked(true);
  target_items_->button(kTargetIes86)->setChecked(true);
  // A change of the selected item, by the user or by the window, is a click on the group.
  connect(source_items_, &QButtonGroup::idToggled, this, [this](int item, bool checked) {
    if (checked) SourceClicked(item);
  });
  connect(target_items_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) TargetClicked();
  });
  idle_only_ << source_box << target_box;

  auto* row = new QHBoxLayout;
  row->addWidget(source_box);
  row->addWidget(target_box, 1);
  return row;
}

QLayout* MainWindow::FolderRow() {
  dest_dir_ = Named(new QLineEdit, "DestDirFld");
  dest_dir_->setEnabled(false);
  auto* choose = Named(new QToolButton, "DirSelBtn");
  choose->setText("...");
  choose->setToolTip("Verzeichnis wählen");
  connect(choose, &QToolButton::clicked, this, &MainWindow::ChooseFolder);
  idle_only_ << choose;

  auto* row = new QHBoxLayout;
  row->setSpacing(0);
  row->addWidget(dest_dir_);
  row->addWidget(choose);
  return row;
}

QLayout* MainWindow::SelectionRow() {
  auto* select = Named(new QPushButton("Dateiauswahl"), "Button1");
  connect(select, &QPushButton::clicked, this, &MainWindow::ChooseFiles);
  auto* clear = Named(new QPushButton("Dateiliste löschen"), "Button4");
  connect(clear, &QPushButton::clicked, this, &MainWindow::ClearList);
  count_ = Named(new QLabel, "Label2");
  idle_only_ << select << clear;

  auto* row = new QHBoxLayout;
  row->addWidget(select);
  row->addWidget(clear);
  row->addSpacing(12);
  row->addWidget(count_, 1);
  return row;
}

QWidget* MainWindow::FileList() {
  list_ = Named(new QListView, "CnvBox");
  list_->setModel(&files_);
  list_->setUniformItemSizes(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->installEventFilter(this);
  list_->viewport()->installEventFilter(this);
  // The preview follows the current row; during a run the driver empties the list row by row.
  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (!driver_.Running())
              preview_->ShowFile(current.isValid() ? files_.Paths().at(current.row()) : QString());
          });
  connect(&files_, &QAbstractItemModel::modelReset, this, [this] { preview_->ShowFile({}); });
  return list_;
}

QLayout* MainWindow::ActionRow() {
  start_ = Named(new QPushButton(kStart), "Button2");
  start_->setEnabled(false);
  connect(start_, &QPushButton::clicked, this, &MainWindow::StartStop);
  auto* settings = Named(new QPushButton("Einstellungen"), "Button3");
  connect(settings, &QPushButton::clicked, this,
          [this] { EditSettings(this, dialogs_, settings_, patterns_); });
  auto* about = Named(new QPushButton, "BitBtn2");
  about->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
  connect(about, &QPushButton::clicked, this, &MainWindow::ShowAbout);
  auto* quit = Named(new QPushButton, "BitBtn1");
  quit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  quit->setToolTip("Programm beenden");
  connect(quit, &QPushButton::clicked, this, &QWidget::close);
  idle_only_ << settings << about << quit;

  auto* row = new QHBoxLayout;
  row->addWidget(start_);
  row->addWidget(settings);
  row->addStretch();
  row->addWidget(about);
  row->addWidget(quit);
  return row;
}

// The groups as the stored target format leaves them; a value without a row keeps them as
// created.
void MainWindow::RestoreFormats() {
  dest_dir_->setText(FromNative(settings_.DSTDIR));
  const StoredFormatRow* row = RowForStoredFormat(settings_.ACTFMT);
  if (!row) return;
  source_items_->button(row->source_item)->setChecked(true);
  target_items_->button(row->target_item)->setChecked(true);
  SetTargetsEnabled(row->enabled);
}

void MainWindow::SetTargetsEnabled(const TargetsEnabled& enabled) {
  for (std::size_t i = 0; i < enabled.size(); ++i)
    target_items_->button(static_cast<int>(i))->setEnabled(enabled[i]);
}

void MainWindow::SourceClicked(int item) {
  if (!source_guard_) return;
  if (files_.rowCount() > 0) {
    if (dialogs_.Ask(this, "Dateiliste löschen ?") != PlatformDialogs::Answer::kYes) {
      // Back to the item of the format last read, or to the user's own choice where that
      // format has no item.
      source_guard_ = false;
      source_items_->button(SourceItemForCode(source_code_).value_or(chosen_source_))
          ->setChecked(true);
      source_guard_ = true;
      return;
    }
    files_.Clear();
  }
  const SourceRule& rule = RuleForSource(item);
  SetTargetsEnabled(rule.enabled);
  if (item != kSourceEulumdat)
    target_items_->button(kTargetEulumdat)->setChecked(true);
  else if (target_items_->checkedId() == kTargetEulumdat)
    target_items_->button(kTargetIes86)->setChecked(true);
  source_code_ = rule.source_code;
  chosen_source_ = item;
}

void MainWindow::TargetClicked() {
  settings_.ACTFMT = kTargetCodes.at(static_cast<std::size_t>(target_items_->checkedId()));
}

void MainWindow::ChooseFolder() {
  const QString folder = dialogs_.ChooseFolder(this, FromNative(settings_.DSTDIR));
  if (!folder.isEmpty()) settings_.DSTDIR = ToNative(folder);
  dest_dir_->setText(FromNative(settings_.DSTDIR));
}

void MainWindow::ChooseFiles() {
  const QString filter = OpenDialogFilter(source_items_->checkedId(), patterns_);
  const QStringList chosen = dialogs_.ChooseFiles(this, FromNative(settings_.SRCDIR), filter);
  if (!chosen.isEmpty()) AddFiles(chosen);
  ShowCount(kSelected);
}

void MainWindow::AddFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  settings_.SRCDIR = ToNative(QFileInfo(paths.front()).absolutePath() + '/');
  QStringList absolute;
  for (const QString& path : paths)
    absolute << QFileInfo(path).absoluteFilePath();
  files_.Add(absolute);
  start_->setEnabled(files_.rowCount() > 0);
  ShowCount(kSelected);
}

void MainWindow::ClearList() {
  files_.Clear();
  ShowCount(kSelected);
}

void MainWindow::RemoveSelectedRows() {
  std::vector<int> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedIndexes())
    rows.push_back(index.row());
  if (rows.empty()) return;
  files_.RemoveRows(std::move(rows));
  start_->setEnabled(files_.rowCount() > 0);
  ShowCount(kSelected);
}

void MainWindow::ShowCount(const char* suffix) {
  count_->setText(QString::number(files_.rowCount()) + suffix);
}

void MainWindow::StartStop() {
  std::vector<std::string> files;
  if (!driver_.Running()) {
    TargetClicked();
    files = files_.NativePaths();
  }
  driver_.StartStop(files, static_cast<std::uint8_t>(settings_.ACTFMT));
}

void MainWindow::SetIdleControlsEnabled(bool enabled) {
  for (QWidget* control : idle_only_)
    control->setEnabled(enabled);
}

void MainWindow::ShowAbout() {
  QDialog box(this);
  box.setWindowTitle("Lumatra");
  auto* name = new QLabel("Lumatra");
  QFont bold = name->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.5);
  name->setFont(bold);
  auto* ok = new QPushButton("OK");
  connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
  auto* layout = new QVBoxLayout(&box);
  layout->addWidget(name, 0, Qt::AlignHCenter);
  layout->addWidget(new QLabel("Leuchtendaten Konvertierungsprogramm"), 0, Qt::AlignHCenter);
  layout->addWidget(new QLabel("Version 1.40"), 0, Qt::AlignHCenter);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  dialogs_.RunModal(box);
}

OverwriteAnswer MainWindow::AskOverwrite(const std::string& question, const std::string&) {
  return dialogs_.AskOverwrite(this, QString::fromStdString(question));
}

void MainWindow::ProcessPendingInput() {
  QApplication::processEvents();
}

void MainWindow::RunStarted() {
  run_log_->clear();
  SetIdleControlsEnabled(false);
  start_->setText(kStop);
  run_total_ = files_.rowCount();
  progress_->setRange(0, run_total_);
  progress_->setValue(0);
  progress_->show();
}

void MainWindow::FileDone(const std::string& source, const FileOutcome& outcome,
                          std::size_t remaining) {
  files_.RemoveFirst();
  count_->setText(QString::number(remaining) + kRemaining);
  progress_->setValue(run_total_ - static_cast<int>(remaining));
  if (outcome.status == FileStatus::kConverted) {
    source_code_ = driver_.SourceCode();  // what the reader reported; a skipped file was not read
    run_log_->appendPlainText(FromNative(source) + QString::fromUtf8(" → ") +
                              FromNative(outcome.target));
  } else {
    run_log_->appendPlainText(FromNative(source) + ": " + QString::fromStdString(outcome.reason));
  }
}

void MainWindow::RunEnded(bool stopped) {
  start_->setText(kStart);
  start_->setEnabled(stopped && files_.rowCount() > 0);
  SetIdleControlsEnabled(true);
  progress_->hide();
}

void MainWindow::ShowError(std::string_view text) {
  dialogs_.ShowError(this, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (files_.rowCount() > 0 &&
      dialogs_.Ask(this, "Beenden ohne Konvertierung ? ") != PlatformDialogs::Answer::kYes) {
    event->ignore();
    return;
  }
  if (driver_.Running()) StartStop();  // the run ends after the file in hand
  event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!driver_.Running() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (driver_.Running()) return;
  const QStringList files =
      DroppedFiles(event->mimeData()->urls(), source_items_->checkedId(), patterns_);
  if (files.isEmpty()) return;
  AddFiles(files);
  event->acceptProposedAction();
}

// The list's keys and mouse: Delete removes the selected rows (not while a run takes files from
// the list), the right button selects the row under the pointer.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    if (!driver_.Running()) RemoveSelectedRows();
    return true;
  }
  if (watched == list_->viewport() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    const QModelIndex row = list_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (row.isValid()) list_->setCurrentIndex(row);
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace lumatra
