#include "photometry/diagram.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>

#include "model/lum32.h"
#include "photometry/diagram_parts.h"
#include "support/cp1252.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

constexpr const char* kKindNames[] = {"polar", "cartesian", "cone", "heatmap"};

// The stored C angle of the largest stored intensity, or none for an empty or dark table.
std::optional<double> PeakPlane(const TLUM32& rec) {
  float peak = 0;
  std::optional<double> plane;
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      if (const float v = rec.GetIntensity(i, j); v > peak) {
        peak = v;
        plane = rec.GetCAngle(i);
      }
  return plane;
}

}  // namespace

const char* DiagramKindName(DiagramKind kind) {
  return kKindNames[static_cast<int>(kind)];
}

std::optional<DiagramKind> DiagramKindFromName(const std::string& name) {
  for (DiagramKind kind : kAllDiagramKinds)
    if (name == DiagramKindName(kind)) return kind;
  return std::nullopt;
}

Diagram BuildDiagram(const TLUM32& rec, DiagramKind kind, const DiagramOptions& options) {
  Diagram d;
  d.kind = kind;
  const diagram::Frame frame = diagram::FrameOf(rec, options, d.notes);
  d.unit = frame.unit;
  switch (kind) {
    case DiagramKind::kPolar:
      diagram::BuildPolar(d, rec, frame);
      break;
    case DiagramKind::kCartesian:
      diagram::BuildCartesian(d, rec, frame);
      break;
    case DiagramKind::kCone:
      diagram::BuildCone(d, rec, frame);
      break;
    case DiagramKind::kHeatMap:
      diagram::BuildHeatMap(d, rec, frame);
      break;
  }
  return d;
}

namespace diagram {

Frame FrameOf(const TLUM32& rec, const DiagramOptions& options, std::vector<std::string>& notes) {
  Frame frame{1, "cd/klm", ""};
  if (options.absolute) {
    const long double lamp_flux = rec.TotalLampFlux();
    if (lamp_flux > 0 && std::isfinite(static_cast<double>(lamp_flux))) {
      frame.factor = static_cast<double>(lamp_flux) / 1000;
      frame.unit = "cd";
    } else {
      notes.push_back("no lamp flux in the file: shown in cd/klm");
    }
  }
  for (std::string_view text : {rec.LumName.view(), rec.LumNumber.view()})
    if (frame.title.empty()) frame.title = Trim(std::string(text));
  if (frame.title.empty()) frame.title = JustFilename(rec.FileName);
  frame.title = Cp1252ToUtf8(frame.title);
  return frame;
}

std::vector<StyledCurve> MainCurves(const TLUM32& rec, const Frame& frame,
                                    std::vector<std::string>& notes) {
  std::vector<StyledCurve> curves{{{"C0-C180", 0, {}, {}}, kFirstColour, {}},
                                  {{"C90-C270", 90, {}, {}}, kSecondColour, {8, 4}}};
  if (const auto peak = PeakPlane(rec); peak && rec.PhotSystem == kSystemC) {
    const double c = std::fmod(std::fmod(*peak, 180.0) + 180.0, 180.0);
    if (std::abs(c) > 0.01 && std::abs(c - 90) > 0.01)
      curves.push_back({{std::string("C") + TickText(c) + "-C" + TickText(c + 180), c, {}, {}},
                        kPeakColour,
                        {2, 3}});
  }
  bool negative = false;
  for (StyledCurve& styled : curves) {
    Profile profile = PlaneProfile(rec, styled.curve.plane);
    for (double& v : profile.values) {
      negative = negative || v < 0;
      v = std::max(0.0, v * frame.factor);
    }
    styled.curve.angles = std::move(profile.angles);
    styled.curve.values = std::move(profile.values);
  }
  if (negative) notes.push_back("negative intensities in the file are drawn as 0");
  if (!(LargestValue(curves) > 0)) notes.push_back("no light: every intensity shown is 0");
  if (rec.NumPlanes == 1 && rec.Symmetry != 1)
    notes.push_back("one C plane only: it stands for every plane");
  if (rec.NumGammas == 1) notes.push_back("one gamma angle only");
  return curves;
}

double LargestValue(const std::vector<StyledCurve>& curves) {
  double largest = 0;
  for (const StyledCurve& styled : curves)
    for (double v : styled.curve.values)
      largest = std::max(largest, v);
  return largest;
}

Shape Line(std::vector<Point> points, const std::string& colour, double width,
           std::vector<double> dashes) {
  Shape s;
  s.points = std::move(points);
  s.stroke = colour;
  s.stroke_width = width;
  s.dashes = std::move(dashes);
  return s;
}

Shape Text(Point at, std::string text, double size, Shape::Anchor anchor, bool bold) {
  Shape s;
  s.kind = Shape::Kind::kText;
  s.points = {at};
  s.text = std::move(text);
  s.font_size = size;
  s.anchor = anchor;
  s.bold = bold;
  s.fill = kInk;
  return s;
}

Shape Circle(Point centre, double radius, const std::string& colour) {
  Shape s;
  s.kind = Shape::Kind::kCircle;
  s.points = {centre};
  s.radius = radius;
  s.stroke = colour;
  return s;
}

Shape Rect(Point top_left, double width, double height, const std::string& fill) {
  Shape s;
  s.kind = Shape::Kind::kRect;
  s.points = {top_left};
  s.width = width;
  s.height = height;
  s.fill = fill;
  s.stroke_width = 0;
  return s;
}

double AddHeader(Diagram& d, const Frame& frame, const std::string& subtitle) {
  d.shapes.push_back(Rect({0, 0}, d.width, 0, kPaper));  // sized in AddNotesAndFinish
  d.shapes.push_back(Text({d.width / 2, 26}, frame.title, 16, Shape::Anchor::kMiddle, true));
  d.shapes.push_back(Text({d.width / 2, 46}, subtitle, 12, Shape::Anchor::kMiddle));
  return 60;
}

double AddLegend(Diagram& d, const std::vector<StyledCurve>& curves, double y) {
  const double slot = d.width / static_cast<double>(std::max<std::size_t>(curves.size(), 1));
  for (std::size_t k = 0; k < curves.size(); ++k) {
    const double x = slot * static_cast<double>(k) + slot / 2 - 60;
    d.shapes.push_back(Line({{x, y - 4}, {x + 36, y - 4}}, curves[k].colour, 2, curves[k].dashes));
    d.shapes.push_back(Text({x + 44, y}, curves[k].curve.label, 12));
  }
  return y + 22;
}

void AddNotesAndFinish(Diagram& d, double y) {
  for (const std::string& note : d.notes) {
    d.shapes.push_back(Text({d.width / 2, y}, note, 12, Shape::Anchor::kMiddle));
    d.shapes.back().fill = kNoteInk;
    y += 16;
  }
  d.height = y + 4;
  d.shapes.front().height = d.height;
}

std::string AngleText(double degrees) {
  return TickText(degrees) + "\u00B0";
}

std::string FixedText(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

}  // namespace diagram

}  // namespace lumatra
