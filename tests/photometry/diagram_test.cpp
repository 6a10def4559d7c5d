// Diagram geometry checked in numbers: the polar radius against the intensity, beam and field
// angles of cos^n distributions against their closed form, the scale ticks, and degenerate
// records that must still give a finite picture with a note.
#include "photometry/diagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "photometry/beam_angles.h"
#include "photometry/diagram_svg.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Steps;

constexpr double kRad = std::numbers::pi / 180;

double CosN(double gamma, double n) {
  return gamma < 90 ? std::pow(std::cos(gamma * kRad), n) : 0.0;
}

// Finite geometry inside the canvas (the SVG viewBox): a point outside is drawn off the picture.
void ExpectOnCanvas(const Diagram& d) {
  for (const Shape& s : d.shapes)
    for (const Point& p : s.points) {
      ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(s.radius));
      ASSERT_TRUE(p.x >= 0 && p.x <= d.width && p.y >= 0 && p.y <= d.height)
          << DiagramKindName(d.kind) << " " << p.x << "," << p.y;
    }
}

// A symmetry-4 record whose planes differ (C0 narrow, C90 wide): the polar curves must show the
// unfolded quarter at every plotted angle, on the canvas radius of the scale.
TEST(Diagram, PolarRadiusIsTheIntensityOnTheScale) {
  TLUM32 rec;
  auto f = [](float c, float g) { return 400 * CosN(g, 1 + 9 * std::cos(c * kRad)); };
  FillGrid(rec, 4, Steps(0, 15, 90), Steps(0, 5, 180), f);
  const Diagram d = BuildDiagram(rec, DiagramKind::kPolar);
  ASSERT_EQ(d.curves.size(), 2u);
  EXPECT_EQ(d.scale.top, 400);

  const Shape* lines[2] = {};
  for (const Shape& s : d.shapes)
    if (s.stroke_width == 2 && s.points.size() > 100) lines[lines[0] ? 1 : 0] = &s;
  ASSERT_TRUE(lines[1]);
  for (std::size_t k = 0; k < 2; ++k) {
    const DiagramCurve& curve = d.curves[k];
    for (std::size_t i = 0; i < curve.angles.size(); ++i) {
      const Point p = lines[k]->points[i];
      const double radius = std::hypot(p.x - d.centre.x, p.y - d.centre.y);
      EXPECT_NEAR(radius / d.radius * d.scale.top, curve.values[i], 1e-6);
      // At stored gammas the value is the stored one, whichever quadrant the side folds into.
      const double a = curve.angles[i];
      if (std::fmod(a, 5) == 0) {
        ASSERT_NEAR(curve.values[i], f(curve.plane, std::abs(a)), 1e-3);
      }
    }
  }
  for (DiagramKind kind : kAllDiagramKinds)
    ExpectOnCanvas(BuildDiagram(rec, kind));
  // The peak plane joins the main ones when it lies elsewhere.
  FillGrid(rec, 0, Steps(0, 30, 330), Steps(0, 10, 180),
           [](float c, float g) { return (c == 30 ? 500 : 100) * CosN(g, 2); });
  EXPECT_EQ(BuildDiagram(rec, DiagramKind::kPolar).curves.at(2).label, "C30-C210");
}

TEST(Diagram, BeamAndFieldAnglesOfCosNMatchTheirClosedForm) {
  for (double n : {1.0, 2.0, 5.0, 20.0, 80.0, 400.0}) {
    TLUM32 rec;
    FillGrid(rec, 1, {0}, Steps(0, 0.5f, 180), [n](float, float g) { return 1000 * CosN(g, n); });
    const MainPlaneBeams beams = BeamAndFieldAngles(rec);
    for (const BeamAngles& plane : {beams.c0_c180, beams.c90_c270}) {
      ASSERT_TRUE(plane.beam && plane.field) << n;
      EXPECT_NEAR(*plane.beam, 2 * std::acos(std::pow(0.5, 1 / n)) / kRad, 0.1) << n;
      EXPECT_NEAR(*plane.field, 2 * std::acos(std::pow(0.1, 1 / n)) / kRad, 0.1) << n;
    }
  }
  // Light only upwards has no beam.
  TLUM32 up;
  FillGrid(up, 1, {0}, Steps(0, 5, 180), [](float, float g) { return CosN(180 - g, 2); });
  EXPECT_FALSE(BeamAndFieldAngles(up).c0_c180.beam);
}

TEST(Diagram, ScalesEndOnRoundTicks) {
  struct Row {
    double largest;
    int count;
    double step, top;
  };
  for (const Row& row : {Row{0.7, 5, 0.2, 0.8}, Row{1000, 4, 500, 1000}, Row{123, 5, 50, 150},
                         Row{4.2e5, 5, 1e5, 5e5}, Row{0, 5, 0.2, 1}, Row{NAN, 4, 0.5, 1}}) {
    const Scale s = RoundScale(row.largest, row.count);
    EXPECT_DOUBLE_EQ(s.step, row.step) << row.largest;
    EXPECT_NEAR(s.top, row.top, 1e-9) << row.largest;
    EXPECT_NEAR(s.ticks.back(), s.top, 1e-9);
  }
  EXPECT_EQ(TickText(0.1 + 0.2) + " " + TickText(1500) + " " + TickText(2.5), "0.3 1500 2.5");
}

// Every kind of every degenerate record: a note, finite geometry and a picture of some size.
TEST(Diagram, DegenerateRecordsGiveAFinitePictureWithANote) {
  TLUM32 zeros, one_plane, one_gamma, negative;
  FillGrid(zeros, 0, Steps(0, 90, 270), Steps(0, 10, 180), [](float, float) { return 0; });
  FillGrid(one_plane, 0, {0}, Steps(0, 10, 90), [](float, float g) { return 100 - g; });
  FillGrid(one_gamma, 0, Steps(0, 90, 270), {0}, [](float, float) { return 50; });
  FillGrid(negative, 2, Steps(0, 90, 180), Steps(0, 10, 180),
           [](float c, float g) { return c == 90 ? -20 : 100 * CosN(g, 1); });
  for (const TLUM32* rec : {&zeros, &one_plane, &one_gamma, &negative}) {
    for (DiagramKind kind : kAllDiagramKinds) {
      const Diagram d = BuildDiagram(*rec, kind);
      EXPECT_FALSE(d.notes.empty()) << DiagramKindName(kind);
      EXPECT_GT(d.width * d.height, 0);
      ExpectOnCanvas(d);
      EXPECT_EQ(SvgText(d).find("nan"), std::string::npos);
    }
  }
}

TEST(Diagram, SvgTextsAreEscapedUtf8) {
  TLUM32 rec;
  FillGrid(rec, 1, {0}, Steps(0, 10, 90), [](float, float g) { return 90 - g; });
  rec.LumName.set("Spot <30\xB0> & \x01wide");
  const std::string svg = SvgText(BuildDiagram(rec, DiagramKind::kCone));
  EXPECT_NE(svg.find(">Spot &lt;30\u00B0&gt; &amp;  wide</text>"), std::string::npos);
  EXPECT_NE(svg.find("viewBox=\"0 0 "), std::string::npos);
}

}  // namespace
}  // namespace lumatra
