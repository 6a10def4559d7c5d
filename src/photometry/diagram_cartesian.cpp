// The cartesian diagram: intensity against the signed angle from nadir for the same planes as the
// polar one, the angle axis cut to where the light is, so that a narrow beam is not a spike.
#include <algorithm>
#include <cmath>

#include "photometry/diagram_parts.h"

namespace lumatra::diagram {

namespace {

// Half the angle axis: the last angle where a curve still has 1 % of the largest value, rounded
// up to ten degrees, within what the record covers.
double HalfSpan(const std::vector<StyledCurve>& curves, double reach) {
  const double largest = LargestValue(curves);
  if (!(largest > 0)) return std::max(reach, 10.0);
  double last = 0;
  for (const StyledCurve& styled : curves)
    for (std::size_t k = 0; k < styled.curve.values.size(); ++k)
      if (styled.curve.values[k] >= 0.01 * largest)
        last = std::max(last, std::abs(styled.curve.angles[k]));
  return std::clamp(std::ceil(last / 10) * 10, 10.0, std::max(reach, 10.0));
}

double AngleStep(double half_span) {
  for (double step : {1.0, 2.0, 5.0, 10.0, 15.0, 30.0})
    if (half_span / step <= 6) return step;
  return 45;
}

}  // namespace

void BuildCartesian(Diagram& d, const TLUM32& rec, const Frame& frame) {
  d.width = 640;
  std::vector<StyledCurve> curves = MainCurves(rec, frame, d.notes);
  d.scale = RoundScale(LargestValue(curves), 5);
  const double top = AddHeader(d, frame, std::string("cartesian diagram, ") + frame.unit);
  const double left = 70, right = d.width - 30, plot_top = top + 20, bottom = plot_top + 320;
  const double half = HalfSpan(curves, ProfileReach(rec));
  auto x_of = [&](double angle) { return left + (angle + half) / (2 * half) * (right - left); };
  auto y_of = [&](double value) { return bottom - value / d.scale.top * (bottom - plot_top); };

  const double step = AngleStep(half);
  for (double angle = -std::floor(half / step) * step; angle <= half + 1e-9; angle += step) {
    d.shapes.push_back(Line({{x_of(angle), plot_top}, {x_of(angle), bottom}}, kGrid));
    d.shapes.push_back(
        Text({x_of(angle), bottom + 16}, AngleText(angle), 11, Shape::Anchor::kMiddle));
  }
  for (double tick : d.scale.ticks) {
    d.shapes.push_back(Line({{left, y_of(tick)}, {right, y_of(tick)}}, kGrid));
    d.shapes.push_back(Text({left - 6, y_of(tick) + 4}, TickText(tick), 11, Shape::Anchor::kEnd));
  }
  d.shapes.push_back(Line({{left, plot_top}, {left, bottom}, {right, bottom}}, kInk));
  d.shapes.push_back(Text({left - 6, bottom + 4}, "0", 11, Shape::Anchor::kEnd));
  d.shapes.push_back(Text({left, plot_top - 8}, frame.unit, 11, Shape::Anchor::kMiddle));
  d.shapes.push_back(Text({(left + right) / 2, bottom + 34},
                          "angle from nadir (right: first plane of each pair)", 11,
                          Shape::Anchor::kMiddle));

  for (StyledCurve& styled : curves) {
    std::vector<Point> points;
    DiagramCurve shown{styled.curve.label, styled.curve.plane, {}, {}};
    for (std::size_t k = 0; k < styled.curve.angles.size(); ++k) {
      const double angle = styled.curve.angles[k];
      if (std::abs(angle) > half) continue;
      points.push_back({x_of(angle), y_of(styled.curve.values[k])});
      shown.angles.push_back(angle);
      shown.values.push_back(styled.curve.values[k]);
    }
    d.shapes.push_back(Line(std::move(points), styled.colour, 2, styled.dashes));
    d.curves.push_back(std::move(shown));
  }
  AddNotesAndFinish(d, AddLegend(d, curves, bottom + 62));
}

}  // namespace lumatra::diagram
