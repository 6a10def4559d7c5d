// The settings dialog ("Einstellungen"): three tabs over a working copy of the conversion settings
// and the IES file-name patterns. Each control writes into the copy as it changes; only OK hands
// the copy back.
#pragma once

#include <QDialog>

#include "app/conversion_settings.h"

class QPlainTextEdit;

namespace lumatra {

class PlatformDialogs;

class SettingsDialog : public QDialog {
 public:
  SettingsDialog(const ConversionSettings& settings, const IesExtensionList& patterns,
                 QWidget* parent = nullptr);

  const ConversionSettings& WorkingCopy() const { return copy_; }
  // The lines of the pattern field that hold more than blanks and control characters, each as
  // written (padding kept).
  IesExtensionList Patterns() const;

 private:
  QWidget* GeneralPage();
  QWidget* Ies86Page();
  QWidget* Tm14Page();

  ConversionSettings copy_;
  QPlainTextEdit* iesext_ = nullptr;
};

// Opens the dialog modally; on OK `settings` and `patterns` take what it holds, on cancel nothing
// changes.
void EditSettings(QWidget* parent, PlatformDialogs& dialogs, ConversionSettings& settings,
                  IesExtensionList& patterns);

}  // namespace lumatra
