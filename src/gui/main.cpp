// lumatra: the desktop window. Settings are loaded before the window exists and saved after it
// has closed; the short date (EULUMDAT line 12) follows the user's locale with a four-digit year.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

#include "app/settings_store.h"
#include "app/settings_store_qt.h"
#include "formats/file_io.h"
#include "gui/main_window.h"
#include "gui/platform_dialogs.h"
#include "support/cp1252.h"
#include "support/short_date.h"

namespace {

// The locale's short date as a pattern of d, dd, M, MM, yy, yyyy and other characters; a format
// with names of days or months or quoted text (the C locale's "d MMM yyyy") keeps the default.
void UseLocaleShortDate() {
  const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
  static const QRegularExpression kNumeric("^(?:d{1,2}(?!d)|M{1,2}(?!M)|y+|[^A-Za-z'])+$");
  if (!kNumeric.match(format).hasMatch()) return;
  lumatra::SetShortDatePattern(
      lumatra::WithFourDigitYear(lumatra::Utf8ToCp1252(format.toStdString())));
}

}  // namespace

int main(int argc, char** argv) {
  lumatra::RecordUmask();  // before any thread: reading the umask sets it for a moment
  QApplication app(argc, argv);
  QApplication::setApplicationName("EULUM-DAT Datei-Konverter");
  // The platform's dialogs in German like the window, where Qt's translation is installed.
  QTranslator qt_german;
  if (qt_german.load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qt_german);

  lumatra::LoadSettings();
  UseLocaleShortDate();

  lumatra::QtDialogs dialogs;
  lumatra::MainWindow window(lumatra::Settings(), lumatra::IesExtensions(), dialogs);
  window.show();
  const int status = QApplication::exec();
  lumatra::SaveSettings();
  return status;
}
