#include "gui/platform_dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <initializer_list>
#include <utility>

namespace lumatra {

namespace {

// Standard buttons labelled in German whether or not Qt's translation is installed.
using ButtonText = std::pair<QMessageBox::StandardButton, const char*>;

QMessageBox::StandardButton ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                    const QString& text, std::initializer_list<ButtonText> buttons,
                                    QMessageBox::StandardButton escape) {
  QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
  for (const auto& [button, label] : buttons)
    box.addButton(button)->setText(QString::fromUtf8(label));
  box.setEscapeButton(escape);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QString QtDialogs::ChooseFolder(QWidget* parent, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, QString::fromUtf8("Verzeichnis wählen"), start);
}

QStringList QtDialogs::ChooseFiles(QWidget* parent, const QString& folder, const QString& filter) {
  return QFileDialog::getOpenFileNames(parent, "photometric files", folder, filter);
}

QString QtDialogs::ChooseSaveFile(QWidget* parent, const QString& suggested,
                                  const QString& filter) {
  return QFileDialog::getSaveFileName(parent, QString::fromUtf8("Diagramm speichern"), suggested,
                                      filter);
}

PlatformDialogs::Answer QtDialogs::Ask(QWidget* parent, const QString& question) {
  switch (ShowBox(
      parent, QMessageBox::Question, QString::fromUtf8("Bestätigen"), question,
      {{QMessageBox::Yes, "Ja"}, {QMessageBox::No, "Nein"}, {QMessageBox::Cancel, "Abbrechen"}},
      QMessageBox::Cancel)) {
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    default:
      return Answer::kCancel;
  }
}

OverwriteAnswer QtDialogs::AskOverwrite(QWidget* parent, const QString& question) {
  switch (ShowBox(parent, QMessageBox::Question, QString::fromUtf8("Bestätigen"), question,
                  {{QMessageBox::Yes, "Ja"},
                   {QMessageBox::No, "Nein"},
                   {QMessageBox::Cancel, "Abbrechen"},
                   {QMessageBox::YesToAll, "Alle"}},
                  QMessageBox::Cancel)) {
    case QMessageBox::Yes:
      return OverwriteAnswer::kYes;
    case QMessageBox::YesToAll:
      return OverwriteAnswer::kAll;
    case QMessageBox::No:
      return OverwriteAnswer::kNo;
    default:
      return OverwriteAnswer::kCancel;
  }
}

void QtDialogs::ShowError(QWidget* parent, const QString& text) {
  ShowBox(parent, QMessageBox::Critical, "Fehler", text, {{QMessageBox::Ok, "OK"}},
          QMessageBox::Ok);
}

int QtDialogs::RunModal(QDialog& dialog) {
  return dialog.exec();
}

}  // namespace lumatra
