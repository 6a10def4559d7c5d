#include "gui/diagram_view.h"

#include <QAction>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include "gui/platform_dialogs.h"
#include "photometry/diagram_svg.h"

namespace lumatra {

namespace {

QPen PenOf(const Shape& shape) {
  if (shape.stroke.empty()) return Qt::NoPen;
  QPen pen(QColor(QString::fromStdString(shape.stroke)), shape.stroke_width);
  pen.setJoinStyle(Qt::RoundJoin);
  if (!shape.dashes.empty()) {
    // Qt counts dashes in pen widths, SVG in user units.
    QList<qreal> pattern;
    for (double dash : shape.dashes)
      pattern << dash / std::max(shape.stroke_width, 0.1);
    pen.setDashPattern(pattern);
  }
  return pen;
}

QBrush BrushOf(const Shape& shape) {
  return shape.fill.empty() ? QBrush(Qt::NoBrush)
                            : QBrush(QColor(QString::fromStdString(shape.fill)));
}

void PaintText(QPainter& painter, const Shape& shape, QPointF at) {
  QFont font("DejaVu Sans");
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(shape.font_size))));
  font.setBold(shape.bold);
  painter.setFont(font);
  painter.setPen(QColor(QString::fromStdString(shape.fill.empty() ? "#000000" : shape.fill)));
  const QString text = QString::fromStdString(shape.text);
  const qreal width = painter.fontMetrics().horizontalAdvance(text);
  if (shape.anchor == Shape::Anchor::kMiddle) at.rx() -= width / 2;
  if (shape.anchor == Shape::Anchor::kEnd) at.rx() -= width;
  painter.drawText(at, text);
}

void PaintShape(QPainter& painter, const Shape& shape) {
  QPolygonF points;
  for (const Point& p : shape.points)
    points << QPointF(p.x, p.y);
  if (points.isEmpty()) return;
  painter.setPen(PenOf(shape));
  painter.setBrush(BrushOf(shape));
  switch (shape.kind) {
    case Shape::Kind::kPolyline:
      painter.drawPolyline(points);
      break;
    case Shape::Kind::kPolygon:
      painter.drawPolygon(points);
      break;
    case Shape::Kind::kCircle:
      painter.drawEllipse(points.front(), shape.radius, shape.radius);
      break;
    case Shape::Kind::kRect:  // without smoothing, as the SVG's crisp edges, so cells meet
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.fillRect(QRectF(points.front(), QSizeF(shape.width, shape.height)), BrushOf(shape));
      painter.setRenderHint(QPainter::Antialiasing, true);
      break;
    case Shape::Kind::kText:
      PaintText(painter, shape, points.front());
      break;
  }
}

}  // namespace

void PaintDiagram(QPainter& painter, const Diagram& diagram, const QRectF& target) {
  if (diagram.width <= 0 || diagram.height <= 0) return;
  const qreal scale = std::min(target.width() / diagram.width, target.height() / diagram.height);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(target.center().x() - diagram.width * scale / 2,
                    target.center().y() - diagram.height * scale / 2);
  painter.scale(scale, scale);
  for (const Shape& shape : diagram.shapes)
    PaintShape(painter, shape);
  painter.restore();
}

DiagramView::DiagramView(PlatformDialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
  setObjectName("DiagramView");
  setMinimumSize(80, 80);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* save = new QAction(QString::fromUtf8("Diagramm speichern …"), this);
  save->setObjectName("SaveDiagram");
  save->setEnabled(false);
  connect(save, &QAction::triggered, this, &DiagramView::AskAndSave);
  addAction(save);
}

void DiagramView::Show(std::optional<Diagram> diagram, const QString& suggested_name) {
  diagram_ = std::move(diagram);
  suggested_name_ = suggested_name;
  findChild<QAction*>("SaveDiagram")->setEnabled(diagram_.has_value());
  update();
}

bool DiagramView::SaveAs(const QString& path) const {
  if (!diagram_) return false;
  if (path.endsWith(".png", Qt::CaseInsensitive)) {
    // Twice the canvas, so that the picture stays sharp on a printed page.
    QImage image(
        QSize(static_cast<int>(diagram_->width * 2), static_cast<int>(diagram_->height * 2)),
        QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintDiagram(painter, *diagram_, image.rect());
    painter.end();
    return image.save(path, "PNG");
  }
  QSaveFile file(path);
  const std::string svg = SvgText(*diagram_);
  return file.open(QIODevice::WriteOnly) &&
         file.write(svg.data(), static_cast<qint64>(svg.size())) ==
             static_cast<qint64>(svg.size()) &&
         file.commit();
}

void DiagramView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (diagram_) PaintDiagram(painter, *diagram_, rect());
}

void DiagramView::AskAndSave() {
  QString path =
      dialogs_.ChooseSaveFile(this, suggested_name_, "SVG-Grafik (*.svg);;PNG-Bild (*.png)");
  if (path.isEmpty()) return;
  if (!path.endsWith(".png", Qt::CaseInsensitive) && !path.endsWith(".svg", Qt::CaseInsensitive))
    path += ".svg";
  if (!SaveAs(path)) dialogs_.ShowError(this, "Diagramm kann nicht gespeichert werden: " + path);
}

}  // namespace lumatra
