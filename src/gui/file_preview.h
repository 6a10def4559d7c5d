// The preview beside the file list: the polar diagram of the selected file and its key values,
// or why the file does not load. Showing reads the file and changes nothing else.
#pragma once

#include <QWidget>

class QLabel;

namespace lumatra {

class DiagramView;
class PlatformDialogs;

class FilePreview : public QWidget {
 public:
  explicit FilePreview(PlatformDialogs& dialogs, QWidget* parent = nullptr);

  // Loads the file and shows it; an empty path clears the preview.
  void ShowFile(const QString& path);

 private:
  DiagramView* view_ = nullptr;
  QLabel* values_ = nullptr;
};

}  // namespace lumatra
