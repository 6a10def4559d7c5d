#include "photometry/diagram_svg.h"

#include "photometry/diagram_parts.h"

namespace lumatra {

namespace {

std::string Num(double value) {
  return diagram::FixedText(value, 2);
}

std::string Attribute(const char* name, const std::string& value) {
  return std::string(" ") + name + "=\"" + value + "\"";
}

std::string PaintAttributes(const Shape& s) {
  std::string out = Attribute("fill", s.fill.empty() ? "none" : s.fill);
  if (!s.stroke.empty()) {
    out += Attribute("stroke", s.stroke) + Attribute("stroke-width", Num(s.stroke_width));
    if (!s.dashes.empty()) {
      std::string dashes;
      for (double dash : s.dashes)
        dashes.append(dashes.empty() ? "" : " ").append(Num(dash));
      out += Attribute("stroke-dasharray", dashes);
    }
  }
  return out;
}

std::string PointList(const std::vector<Point>& points) {
  std::string out;
  for (const Point& p : points)
    out.append(out.empty() ? "" : " ").append(Num(p.x)).append(",").append(Num(p.y));
  return out;
}

std::string Element(const Shape& s) {
  const Point at = s.points.empty() ? Point{} : s.points.front();
  switch (s.kind) {
    case Shape::Kind::kPolyline:
    case Shape::Kind::kPolygon:
      return std::string(s.kind == Shape::Kind::kPolygon ? "<polygon" : "<polyline") +
             Attribute("points", PointList(s.points)) + PaintAttributes(s) +
             " stroke-linejoin=\"round\"/>";
    case Shape::Kind::kCircle:
      return std::string("<circle") + Attribute("cx", Num(at.x)) + Attribute("cy", Num(at.y)) +
             Attribute("r", Num(s.radius)) + PaintAttributes(s) + "/>";
    case Shape::Kind::kRect:
      return std::string("<rect") + Attribute("x", Num(at.x)) + Attribute("y", Num(at.y)) +
             Attribute("width", Num(s.width)) + Attribute("height", Num(s.height)) +
             PaintAttributes(s) + " shape-rendering=\"crispEdges\"/>";
    case Shape::Kind::kText: {
      static const char* anchors[] = {"start", "middle", "end"};
      return std::string("<text") + Attribute("x", Num(at.x)) + Attribute("y", Num(at.y)) +
             Attribute("font-size", Num(s.font_size)) +
             Attribute("text-anchor", anchors[static_cast<int>(s.anchor)]) +
             (s.bold ? Attribute("font-weight", "bold") : "") +
             Attribute("fill", s.fill.empty() ? diagram::kInk : s.fill) + ">" + XmlEscaped(s.text) +
             "</text>";
    }
  }
  return {};
}

}  // namespace

std::string XmlEscaped(std::string_view utf8) {
  std::string out;
  for (char ch : utf8) {
    switch (ch) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F ? ' ' : ch;
    }
  }
  return out;
}

std::string SvgText(const Diagram& d) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"") +
         Attribute("width", Num(d.width)) + Attribute("height", Num(d.height)) +
         Attribute("viewBox", std::string("0 0 ") + Num(d.width) + " " + Num(d.height)) +
         " font-family=\"DejaVu Sans, Verdana, Arial, Helvetica, sans-serif\">\n";
  for (const Shape& shape : d.shapes)
    out += Element(shape) + "\n";
  return out + "</svg>\n";
}

}  // namespace lumatra
