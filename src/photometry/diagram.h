// Light distribution diagrams of a loaded record: polar, cartesian, cone and heat map.
//
// A diagram is computed once as plain geometry: the curves in the record's own units (for
// checks and for the key values) and a scene of drawing primitives on a fixed canvas. The SVG
// writer and the window's painter both draw that one scene, so a file and the screen always
// show the same picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "photometry/diagram_scale.h"

namespace lumatra {

class TLUM32;

enum class DiagramKind { kPolar, kCartesian, kCone, kHeatMap };

// The kind's name on the command line and in file names ("polar", "heatmap", ...).
const char* DiagramKindName(DiagramKind kind);
std::optional<DiagramKind> DiagramKindFromName(const std::string& name);
inline constexpr DiagramKind kAllDiagramKinds[] = {DiagramKind::kPolar, DiagramKind::kCartesian,
                                                   DiagramKind::kCone, DiagramKind::kHeatMap};

struct Point {
  double x = 0, y = 0;
};

// One drawing primitive on the canvas (x to the right, y downwards). Colours are "#rrggbb";
// an empty colour means none.
struct Shape {
  enum class Kind { kPolyline, kPolygon, kCircle, kRect, kText };
  enum class Anchor { kStart, kMiddle, kEnd };
  Kind kind = Kind::kPolyline;
  std::vector<Point> points;     // polyline, polygon; circle: centre; rect, text: top left / anchor
  double radius = 0;             // circle
  double width = 0, height = 0;  // rect
  std::string stroke, fill;
  double stroke_width = 1;
  std::vector<double> dashes;  // dash and gap lengths; empty: solid
  std::string text;            // UTF-8
  double font_size = 12;
  bool bold = false;
  Anchor anchor = Anchor::kStart;
};

// A plotted curve in the record's units: the signed angle (degrees; 0 is nadir, positive
// towards the first plane of the pair) and the intensity shown at it.
struct DiagramCurve {
  std::string label;  // "C0-C180"
  double plane = 0;   // C angle of the positive side
  std::vector<double> angles, values;
};

struct Diagram {
  DiagramKind kind = DiagramKind::kPolar;
  double width = 0, height = 0;  // canvas, the SVG viewBox
  std::string unit;              // "cd/klm" or "cd"
  std::vector<DiagramCurve> curves;
  Scale scale;
  Point centre;                    // polar: the centre on the canvas
  double radius = 0;               // polar: canvas length of scale.top
  std::vector<std::string> notes;  // what the picture cannot show (no light, negative values)
  std::vector<Shape> shapes;
};

struct DiagramOptions {
  bool absolute = false;  // candela from the lamp flux instead of cd/klm
};

// The diagram of `kind` for a record whose interpolation routines are bound (a loaded record).
Diagram BuildDiagram(const TLUM32& rec, DiagramKind kind, const DiagramOptions& options = {});

}  // namespace lumatra
