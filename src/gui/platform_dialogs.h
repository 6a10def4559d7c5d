// Every modal box the windows show goes through this interface: the platform's folder chooser and
// open dialog, the questions, the overwrite question, error boxes and the windows' own modal
// dialogs. The program uses QtDialogs; tests script the answers, so nothing blocks on a box.
#pragma once

#include <QString>
#include <QStringList>

#include "app/batch_driver.h"

class QDialog;
class QWidget;

namespace lumatra {

class PlatformDialogs {
 public:
  enum class Answer { kYes, kNo, kCancel };

  virtual ~PlatformDialogs() = default;
  // The folder chosen (the chooser may create one), or "" when cancelled.
  virtual QString ChooseFolder(QWidget* parent, const QString& start) = 0;
  // The files chosen in the open dialog, several at once; none when cancelled. `filter` is a
  // Qt name filter ("EULUM-DAT Dateien (*.ldt *.LDT)").
  virtual QStringList ChooseFiles(QWidget* parent, const QString& folder,
                                  const QString& filter) = 0;
  // The file to save to, starting at `suggested` (a path or a file name); "" when cancelled.
  virtual QString ChooseSaveFile(QWidget* parent, const QString& suggested,
                                 const QString& filter) = 0;
  // A question with Yes, No and Cancel, of which only Yes agrees.
  virtual Answer Ask(QWidget* parent, const QString& question) = 0;
  // The existing-target question with Yes, No, Cancel and All.
  virtual OverwriteAnswer AskOverwrite(QWidget* parent, const QString& question) = 0;
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
  // Shows one of the windows' own dialogs (settings, about box) modally; its result code.
  virtual int RunModal(QDialog& dialog) = 0;
};

// The platform's own dialogs, with German button texts.
class QtDialogs : public PlatformDialogs {
 public:
  QString ChooseFolder(QWidget* parent, const QString& start) override;
  QStringList ChooseFiles(QWidget* parent, const QString& folder, const QString& filter) override;
  QString ChooseSaveFile(QWidget* parent, const QString& suggested, const QString& filter) override;
  Answer Ask(QWidget* parent, const QString& question) override;
  OverwriteAnswer AskOverwrite(QWidget* parent, const QString& question) override;
  void ShowError(QWidget* parent, const QString& text) override;
  int RunModal(QDialog& dialog) override;
};

}  // namespace lumatra
