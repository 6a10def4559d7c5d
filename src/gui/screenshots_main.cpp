// lumatra-screenshots EXAMPLES_DIR OUTPUT_DIR: pictures of the main window after a short run
// and of each tab of the settings dialog, for the README. Uses settings of its own, never the
// user's, and converts copies of the examples in a temporary folder.
#include <QApplication>
#include <QDir>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <cstdio>

#include "gui/main_window.h"
#include "gui/platform_dialogs.h"
#include "gui/settings_dialog.h"

namespace {

bool Save(QWidget& widget, const QString& path) {
  widget.show();
  QApplication::processEvents();
  const bool saved = widget.grab().save(path);
  std::printf("%s %s\n", saved ? "wrote" : "cannot write", qPrintable(path));
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: lumatra-screenshots EXAMPLES_DIR OUTPUT_DIR\n");
    return 2;
  }
  const QDir examples(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
  const QDir output(QDir(QString::fromLocal8Bit(argv[2])).absolutePath());
  // A folder of a fixed name, so that the pictures are the same from run to run.
  QDir work(QDir::temp().filePath("lumatra-screenshots"));
  work.removeRecursively();
  work.mkpath("Leuchten");
  work.mkpath("Ziel");
  QDir::setCurrent(work.path());  // the run's log
  QStringList files;
  for (const QString& name : examples.entryList({"*.ldt"}, QDir::Files)) {
    files << work.filePath("Leuchten/" + name);
    QFile::copy(examples.filePath(name), files.back());
  }

  lumatra::ConversionSettings settings;
  settings.DSTDIR = QFile::encodeName(work.filePath("Ziel")).toStdString();
  settings.ACTFMT = 7;  // EULUMDAT to IES LM-63-1995
  lumatra::IesExtensionList patterns = lumatra::DefaultIesExtensions();
  lumatra::QtDialogs dialogs;
  lumatra::MainWindow window(settings, patterns, dialogs);
  window.AddFiles(files.mid(0, 3));
  window.show();
  window.findChild<QPushButton*>("Button2")->click();
  window.AddFiles(files);
  // A wider window than the smallest, so that the preview beside the list shows its curve.
  window.resize(880, 600);
  auto* list = window.findChild<QListView*>("CnvBox");
  for (int row = 0; row < list->model()->rowCount(); ++row)
    if (list->model()->index(row, 0).data().toString().contains("sym2_"))
      list->setCurrentIndex(list->model()->index(row, 0));

  bool saved = Save(window, output.filePath("main-window.png"));
  lumatra::SettingsDialog dialog(settings, patterns, &window);
  auto* tabs = dialog.findChild<QTabWidget*>();
  const char* const names[] = {"settings-general.png", "settings-ies86.png", "settings-tm14.png"};
  for (int tab = 0; tab < tabs->count(); ++tab) {
    tabs->setCurrentIndex(tab);
    saved = Save(dialog, output.filePath(names[tab])) && saved;
  }
  work.removeRecursively();
  return saved ? 0 : 1;
}
