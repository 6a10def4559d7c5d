// A diagram on screen: the scene of a core Diagram painted into the widget, keeping its aspect
// ratio. The context menu saves the shown diagram as SVG (the core's text) or PNG (this painter),
// with the file name from the platform's save dialog.
#pragma once

#include <QWidget>
#include <optional>

#include "photometry/diagram.h"

class QPainter;

namespace lumatra {

class PlatformDialogs;

// Draws the diagram's scene into `target`, scaled to fit and centred.
void PaintDiagram(QPainter& painter, const Diagram& diagram, const QRectF& target);

class DiagramView : public QWidget {
 public:
  explicit DiagramView(PlatformDialogs& dialogs, QWidget* parent = nullptr);

  // The diagram to show, and the name its file is suggested under; none clears the view.
  void Show(std::optional<Diagram> diagram, const QString& suggested_name = {});
  const std::optional<Diagram>& Shown() const { return diagram_; }
  // Writes the shown diagram: PNG when the name ends in ".png", otherwise SVG. False when
  // nothing is shown or the file cannot be written.
  bool SaveAs(const QString& path) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void AskAndSave();

  PlatformDialogs& dialogs_;
  std::optional<Diagram> diagram_;
  QString suggested_name_;
};

}  // namespace lumatra
