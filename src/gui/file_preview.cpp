#include "gui/file_preview.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>
#include <exception>

#include "app/format_table.h"
#include "gui/diagram_view.h"
#include "model/lum32.h"
#include "photometry/beam_angles.h"
#include "photometry/evaluation.h"

namespace lumatra {

namespace {

QString Number(double value, int decimals) {
  return QString::number(value, 'f', decimals);  // always with the point
}

QString KeyValues(const TLUM32& rec) {
  const FormatRow* format = FindFormat(rec.FileFormat);
  const MainPlaneBeams beams = BeamAndFieldAngles(rec);
  QStringList lines;
  lines << "Format: " + (format
                             ? QString::fromUtf8(format->description.data(),
                                                 static_cast<qsizetype>(format->description.size()))
                             : QString::number(rec.FileFormat));
  lines << "Symmetrie: " + QString::number(rec.Symmetry);
  lines << QString::fromUtf8("Raster: %1 Ebenen C%2…%3, %4 Winkel γ%5…%6")
               .arg(rec.NumPlanes)
               .arg(Number(rec.CFirst, 1), Number(rec.CLast, 1))
               .arg(rec.NumGammas)
               .arg(Number(rec.GFirst, 1), Number(rec.GLast, 1));
  lines << "Lichtstrom: " + Number(rec.LumFlux, 1) + " lm/klm";
  lines << "LOR: " + Number(rec.LOR, 1) + " %";
  lines << QString::fromUtf8("Maximum: %1 cd/klm bei C%2 γ%3")
               .arg(Number(rec.PeakIntensity, 1), Number(rec.PeakC, 1), Number(rec.PeakGamma, 1));
  lines << QString::fromUtf8("Halbwertswinkel: C0-C180 %1°, C90-C270 %2°")
               .arg(QString::fromStdString(SpreadText(beams.c0_c180.beam)),
                    QString::fromStdString(SpreadText(beams.c90_c270.beam)));
  return lines.join('\n');
}

}  // namespace

FilePreview::FilePreview(PlatformDialogs& dialogs, QWidget* parent) : QWidget(parent) {
  setObjectName("Preview");
  view_ = new DiagramView(dialogs);
  values_ = new QLabel;
  values_->setObjectName("KeyValues");
  values_->setWordWrap(true);
  values_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_, 1);
  layout->addWidget(values_);
}

void FilePreview::ShowFile(const QString& path) {
  if (path.isEmpty()) {
    view_->Show(std::nullopt);
    values_->clear();
    return;
  }
  TLUM32 rec;
  std::string reason;
  try {
    if (Load(rec, QFile::encodeName(path).toStdString())) {
      CalcFlux(rec);
      rec.FindPeak();
      view_->Show(
          BuildDiagram(rec, DiagramKind::kPolar),
          QFileInfo(path).absolutePath() + '/' + QFileInfo(path).completeBaseName() + "-polar.svg");
      values_->setText(KeyValues(rec));
      return;
    }
    reason = rec.ReadError;
  } catch (const std::exception& e) {
    reason = e.what();
  }
  view_->Show(std::nullopt);
  values_->setText(QString::fromUtf8("Nicht lesbar: ") + QString::fromStdString(reason));
}

}  // namespace lumatra
