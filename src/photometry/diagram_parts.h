// Pieces every diagram kind shares: the unit, the header, the curves of the main planes, the
// legend and the notes, and small builders of shapes.
#pragma once

#include <string>
#include <vector>

#include "photometry/beam_angles.h"
#include "photometry/diagram.h"

namespace lumatra::diagram {

inline constexpr const char* kInk = "#222222";
inline constexpr const char* kGrid = "#c8c8c8";
inline constexpr const char* kPaper = "#ffffff";
inline constexpr const char* kNoteInk = "#b71c1c";
// The C0-C180 pair and the beam cone in one colour, the C90-C270 pair and the field cone in
// another (dashed), the peak plane in a third (dotted).
inline constexpr const char* kFirstColour = "#c62828";
inline constexpr const char* kSecondColour = "#1565c0";
inline constexpr const char* kPeakColour = "#2e7d32";

// The units shown and the luminaire the diagram is of, taken from the record once.
struct Frame {
  double factor = 1;  // cd/klm to the unit shown
  std::string unit;   // "cd/klm" or "cd"
  std::string title;  // UTF-8
};
Frame FrameOf(const TLUM32& rec, const DiagramOptions& options, std::vector<std::string>& notes);

// A curve with how it is drawn.
struct StyledCurve {
  DiagramCurve curve;
  std::string colour;
  std::vector<double> dashes;
};
// The C0-C180 and C90-C270 profiles on the frame's unit, and the plane through the peak when it
// is neither; negative values drawn as 0. Adds the notes of a degenerate record.
std::vector<StyledCurve> MainCurves(const TLUM32& rec, const Frame& frame,
                                    std::vector<std::string>& notes);
double LargestValue(const std::vector<StyledCurve>& curves);

Shape Line(std::vector<Point> points, const std::string& colour, double width = 1,
           std::vector<double> dashes = {});
Shape Text(Point at, std::string text, double size = 12,
           Shape::Anchor anchor = Shape::Anchor::kStart, bool bold = false);
Shape Circle(Point centre, double radius, const std::string& colour);
Shape Rect(Point top_left, double width, double height, const std::string& fill);

// Background, title and subtitle; returns the y below them.
double AddHeader(Diagram& d, const Frame& frame, const std::string& subtitle);
// One sample line and label per curve in a row at y; returns the y below.
double AddLegend(Diagram& d, const std::vector<StyledCurve>& curves, double y);
// The notes, one line each from y; sets the canvas height to end below them.
void AddNotesAndFinish(Diagram& d, double y);

std::string AngleText(double degrees);  // "30°"
std::string FixedText(double value, int decimals);

void BuildPolar(Diagram& d, const TLUM32& rec, const Frame& frame);
void BuildCartesian(Diagram& d, const TLUM32& rec, const Frame& frame);
void BuildCone(Diagram& d, const TLUM32& rec, const Frame& frame);
void BuildHeatMap(Diagram& d, const TLUM32& rec, const Frame& frame);

}  // namespace lumatra::diagram
