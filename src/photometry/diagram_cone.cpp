// The cone diagram of a downlight: the beam cone (50 % of the peak) and the field cone (10 %)
// below the luminaire, and at mounting distances of 1 to 5 m the illuminance on the axis and the
// diameters of the two cones.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "photometry/diagram_parts.h"

namespace lumatra::diagram {

namespace {

constexpr double kRadians = std::numbers::pi / 180;

// The mean of the angles the two main planes have, or none.
std::optional<double> MeanAngle(std::optional<double> a, std::optional<double> b) {
  if (a && b) return (*a + *b) / 2;
  return a ? a : b;
}

std::string AngleOrDash(std::optional<double> angle) {
  return angle ? SpreadText(angle) + "\u00B0" : std::string("-");
}

// The diameter of a cone of the full angle at distance h, or none when it reaches the horizon.
std::optional<double> Diameter(std::optional<double> angle, double h) {
  if (!angle || *angle >= 178) return std::nullopt;
  return 2 * h * std::tan(*angle / 2 * kRadians);
}

std::string DiameterText(std::optional<double> a, std::optional<double> b, double h) {
  const auto da = Diameter(a, h), db = Diameter(b, h);
  auto text = [](std::optional<double> d) { return d ? FixedText(*d, 2) : std::string("-"); };
  if (!da && !db) return "-";
  if (a && b && (!da || !db || std::abs(*da - *db) >= 0.005))
    return text(da) + " x " + text(db) + " m";
  return text(da ? da : db) + " m";
}

// Three or four significant digits, as a light meter shows them.
std::string IlluminanceText(double lux) {
  return FixedText(lux, lux >= 100 ? 0 : lux >= 10 ? 1 : 2);
}

}  // namespace

void BuildCone(Diagram& d, const TLUM32& rec, const Frame& frame) {
  d.width = 700;
  std::vector<StyledCurve> curves = MainCurves(rec, frame, d.notes);
  curves.resize(std::min<std::size_t>(curves.size(), 2));
  const double top = AddHeader(d, frame, std::string("cone diagram, ") + frame.unit);
  BeamAngles beams[2];
  double nadir = 0;
  for (std::size_t k = 0; k < curves.size(); ++k) {
    const DiagramCurve& c = curves[k].curve;
    beams[k] = ProfileBeamAngles({c.angles, c.values});
    for (std::size_t i = 0; i < c.angles.size(); ++i)
      if (c.angles[i] == 0 && k == 0) nadir = c.values[i];
    d.curves.push_back(c);
  }
  const auto beam = MeanAngle(beams[0].beam, beams[1].beam);
  const auto field = MeanAngle(beams[0].field, beams[1].field);
  if (!beam && !field)
    d.notes.push_back("no downward beam: the peak points upwards or never falls to half");
  d.scale = RoundScale(nadir, 4);

  d.shapes.push_back(Line({{30, top + 10}, {60, top + 10}}, kFirstColour, 2));
  d.shapes.push_back(Text({68, top + 14},
                          std::string("beam angle (50 %): C0-C180 ") + AngleOrDash(beams[0].beam) +
                              ", C90-C270 " + AngleOrDash(beams[1].beam),
                          12));
  d.shapes.push_back(Line({{30, top + 28}, {60, top + 28}}, kSecondColour, 2, {6, 4}));
  d.shapes.push_back(Text({68, top + 32},
                          std::string("field angle (10 %): C0-C180 ") +
                              AngleOrDash(beams[0].field) + ", C90-C270 " +
                              AngleOrDash(beams[1].field),
                          12));

  // The cones to scale (60 canvas units a metre), cut at the drawing's sides.
  const Point apex{200, top + 60};
  const double metre = 60, half_width = 150;
  for (int h = 1; h <= 5; ++h) {
    const double y = apex.y + h * metre;
    d.shapes.push_back(Line({{apex.x - half_width, y}, {apex.x + half_width, y}}, kGrid));
    d.shapes.push_back(
        Text({apex.x - half_width - 6, y + 4}, std::to_string(h) + " m", 11, Shape::Anchor::kEnd));
  }
  const struct {
    std::optional<double> angle;
    const char* colour;
    std::vector<double> dashes;
  } cones[] = {{field, kSecondColour, {6, 4}}, {beam, kFirstColour, {}}};
  for (const auto& cone : cones) {
    if (!cone.angle || *cone.angle >= 178) continue;
    double dx = 5 * metre * std::tan(*cone.angle / 2 * kRadians), dy = 5 * metre;
    if (dx > half_width) dy *= half_width / dx, dx = half_width;
    for (double side : {-1.0, 1.0})
      d.shapes.push_back(
          Line({apex, {apex.x + side * dx, apex.y + dy}}, cone.colour, 2, cone.dashes));
  }
  d.shapes.push_back(Rect({apex.x - 14, apex.y - 6}, 28, 6, "#444444"));

  // The table beside it.
  const std::string lux = frame.unit == "cd" ? "lx" : "lx/klm";
  const double columns[] = {366, 412, 497, 592};
  const char* heads[] = {"h", "E", "beam \u00D8", "field \u00D8"};
  for (int c = 0; c < 4; ++c)
    d.shapes.push_back(Text({columns[c], apex.y + 20}, heads[c], 12, Shape::Anchor::kStart, true));
  for (int h = 1; h <= 5; ++h) {
    const double y = apex.y + h * metre;
    const std::string row[] = {std::to_string(h) + " m",
                               IlluminanceText(nadir / (h * h)) + " " + lux,
                               DiameterText(beams[0].beam, beams[1].beam, h),
                               DiameterText(beams[0].field, beams[1].field, h)};
    for (int c = 0; c < 4; ++c)
      d.shapes.push_back(Text({columns[c], y + 4}, row[c], 11));
  }
  AddNotesAndFinish(d, apex.y + 5 * metre + 40);
}

}  // namespace lumatra::diagram
