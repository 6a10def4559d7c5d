// The polar diagram: the intensity as the distance from the centre, nadir at the bottom, the
// first plane of each pair to the right; rings at the scale's ticks.
#include <cmath>
#include <numbers>

#include "photometry/diagram_parts.h"

namespace lumatra::diagram {

namespace {

constexpr double kRadians = std::numbers::pi / 180;

// The canvas point of a signed angle from nadir at a canvas distance from the centre.
Point PolarPoint(Point centre, double angle, double distance) {
  return {centre.x + distance * std::sin(angle * kRadians),
          centre.y + distance * std::cos(angle * kRadians)};
}

}  // namespace

void BuildPolar(Diagram& d, const TLUM32& rec, const Frame& frame) {
  d.width = 560;
  std::vector<StyledCurve> curves = MainCurves(rec, frame, d.notes);
  d.scale = RoundScale(LargestValue(curves), 4);
  const double top = AddHeader(d, frame, std::string("polar diagram, ") + frame.unit);
  d.radius = 220;
  d.centre = {d.width / 2, top + 20 + d.radius};

  for (int angle = -150; angle <= 180; angle += 30)
    d.shapes.push_back(Line({d.centre, PolarPoint(d.centre, angle, d.radius)}, kGrid));
  for (double tick : d.scale.ticks)
    d.shapes.push_back(Circle(d.centre, d.radius * tick / d.scale.top, kGrid));
  for (int angle = 0; angle <= 180; angle += 30) {
    const double side = angle == 0 || angle == 180 ? 0 : 1;
    for (double sign : {1.0, -1.0}) {
      if (sign < 0 && side == 0) continue;
      Point at = PolarPoint(d.centre, sign * angle, d.radius + 14);
      at.y += 4;
      d.shapes.push_back(Text(at, AngleText(angle), 11,
                              side == 0  ? Shape::Anchor::kMiddle
                              : sign > 0 ? Shape::Anchor::kStart
                                         : Shape::Anchor::kEnd));
    }
  }
  // Ring values just inside their ring on the upward axis, clear of the angle labels.
  for (double tick : d.scale.ticks)
    d.shapes.push_back(Text({d.centre.x + 4, d.centre.y - d.radius * tick / d.scale.top + 13},
                            TickText(tick), 11));

  for (const StyledCurve& styled : curves) {
    std::vector<Point> points;
    for (std::size_t k = 0; k < styled.curve.angles.size(); ++k)
      points.push_back(PolarPoint(d.centre, styled.curve.angles[k],
                                  d.radius * styled.curve.values[k] / d.scale.top));
    d.shapes.push_back(Line(std::move(points), styled.colour, 2, styled.dashes));
    d.curves.push_back(styled.curve);
  }
  AddNotesAndFinish(d, AddLegend(d, curves, d.centre.y + d.radius + 40));
}

}  // namespace lumatra::diagram
