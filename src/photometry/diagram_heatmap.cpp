// The heat map: the intensity over the whole C-gamma grid, C across and gamma down, in cells of
// five degrees coloured by their centre's intensity, with the colour scale beside it.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "model/lum32.h"
#include "photometry/diagram_parts.h"

namespace lumatra::diagram {

namespace {

constexpr double kCell = 5;  // degrees
constexpr int kLevels = 64;  // colours; neighbouring cells of one colour are drawn as one

// From dark blue through purple and orange to yellow; t in 0..1.
std::string Colour(double t) {
  static constexpr std::array<std::array<double, 3>, 5> stops{
      {{13, 8, 135}, {126, 3, 168}, {204, 71, 120}, {248, 149, 64}, {240, 249, 33}}};
  t = std::clamp(t, 0.0, 1.0) * (stops.size() - 1);
  const auto k = std::min<std::size_t>(static_cast<std::size_t>(t), stops.size() - 2);
  const double f = t - static_cast<double>(k);
  char text[8];
  int rgb[3];
  for (int c = 0; c < 3; ++c)
    rgb[c] = static_cast<int>(std::lround(stops[k][c] + (stops[k + 1][c] - stops[k][c]) * f));
  std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
  return text;
}

int Level(double value, double top) {
  return std::clamp(static_cast<int>(std::floor(value / top * kLevels)), 0, kLevels - 1);
}

}  // namespace

void BuildHeatMap(Diagram& d, const TLUM32& rec, const Frame& frame) {
  d.width = 640;
  MainCurves(rec, frame, d.notes);  // for the notes of a degenerate record
  const double reach = std::max(ProfileReach(rec), kCell);
  const int columns = static_cast<int>(360 / kCell);
  const int rows = static_cast<int>(std::ceil(reach / kCell));
  std::vector<double> values;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      const float v = rec.Intensity(static_cast<float>((c + 0.5) * kCell),
                                    static_cast<float>(std::min((r + 0.5) * kCell, reach)));
      values.push_back(std::isfinite(v) ? std::max(0.0, v * frame.factor) : 0.0);
    }
  d.scale = RoundScale(*std::max_element(values.begin(), values.end()), 5);

  const double top = AddHeader(d, frame, std::string("intensity over C and gamma, ") + frame.unit);
  const double left = 60, plot_top = top + 30, width = 480, height = 320;
  const double cell_w = width / columns, cell_h = height / rows;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns;) {
      const int level = Level(values[static_cast<std::size_t>(r * columns + c)], d.scale.top);
      int end = c + 1;
      while (end < columns &&
             Level(values[static_cast<std::size_t>(r * columns + end)], d.scale.top) == level)
        ++end;
      // Half a unit wider and taller, so that no seam shows between cells.
      d.shapes.push_back(Rect({left + c * cell_w, plot_top + r * cell_h}, (end - c) * cell_w + 0.5,
                              cell_h + 0.5, Colour((level + 0.5) / kLevels)));
      c = end;
    }
  for (int c = 0; c <= 360; c += 45) {
    std::string label = std::to_string(c);
    label.insert(0, 1, 'C');
    d.shapes.push_back(
        Text({left + c / 360.0 * width, plot_top - 6}, label, 11, Shape::Anchor::kMiddle));
  }
  for (int g = 0; g <= reach + 1e-9; g += 30)
    d.shapes.push_back(Text({left - 6, plot_top + g / (rows * kCell) * height + 4}, AngleText(g),
                            11, Shape::Anchor::kEnd));

  // The colour scale: a bar of the levels with the ticks beside it.
  const double bar_x = left + width + 30, bar_w = 18;
  for (int k = 0; k < kLevels; ++k)
    d.shapes.push_back(Rect({bar_x, plot_top + height - (k + 1) * height / kLevels}, bar_w,
                            height / kLevels + 0.3, Colour((k + 0.5) / kLevels)));
  for (double tick : d.scale.ticks)
    d.shapes.push_back(
        Text({bar_x + bar_w + 4, plot_top + height - tick / d.scale.top * height + 4},
             TickText(tick), 11));
  d.shapes.push_back(Text({bar_x + bar_w + 4, plot_top + height + 4}, "0", 11));
  AddNotesAndFinish(d, plot_top + height + 30);
}

}  // namespace lumatra::diagram
