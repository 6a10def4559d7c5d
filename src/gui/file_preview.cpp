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

// Five short lines, so that they fit beside the list even in the smallest window.
QString KeyValues(const TLUM32& rec) {
  const FormatRow* format = FindFormat(rec.FileFormat);
  const MainPlaneBeams beams = BeamAndFieldAngles(rec);
  const QString format_name =
      format ? QString::fromUtf8(format->description.data(),
                                 static_cast<qsizetype>(format->description.size()))
             : QString::number(rec.FileFormat);
  return QString::fromUtf8(
             "Format: %1, Symmetrie %2\n"
             "Raster: %3 × %4 (C%5…%6, γ%7…%8)\n"
             "Lichtstrom %9 lm/klm, LOR %10 %\n"
             "Maximum %11 cd/klm (C%12, γ%13)\n"
             "Halbwertswinkel: %14° / %15° (C0 / C90)")
      .arg(format_name, QString::number(rec.Symmetry), QString::number(rec.NumPlanes),
           QString::number(rec.NumGammas), Number(rec.CFirst, 1), Number(rec.CLast, 1),
           Number(rec.GFirst, 1), Number(rec.GLast, 1), Number(rec.LumFlux, 1))
      .arg(Number(rec.LOR, 1), Number(rec.PeakIntensity, 1), Number(rec.PeakC, 1),
           Number(rec.PeakGamma, 1), QString::fromStdString(SpreadText(beams.c0_c180.beam)),
           QString::fromStdString(SpreadText(beams.c90_c270.beam)));
}

}  // namespace

FilePreview::FilePreview(PlatformDialogs& dialogs, QWidget* parent) : QWidget(parent) {
  setObjectName("Preview");
  view_ = new DiagramView(dialogs);
  values_ = new QLabel;
  values_->setObjectName("KeyValues");
  // Lines too long for a narrow window are cut rather than pushing the diagram away.
  values_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
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
