// The luminous-opening decoding of the IES width, length and height: one row per case of the
// decoding table, with every field of both dimension blocks.
#include <gtest/gtest.h>

#include <array>

#include "formats/ies.h"
#include "model/lum32.h"

namespace lumatra {
namespace {

struct Case {
  std::int64_t w, l, h;
  int shape;
  std::array<int, 4> lum;   // Length, Width, Diameter, Height
  std::array<int, 4> area;  // Length, Width, Diameter, HeightC0
};

TEST(IesOpeningShape, EveryRowOfTheDecodingTable) {
  const Case cases[] = {
      {-500, 0, 0, 4, {0, 0, 500, 1}, {0, 0, 500, 0}},               // round, flat
      {-300, 0, -300, 3, {0, 0, 300, 300}, {0, 0, 300, 300}},        // sphere
      {-200, 0, 150, 2, {0, 0, 200, 150}, {0, 0, 200, 150}},         // vertical cylinder
      {-300, 0, -200, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},                // no sphere, no other row
      {-400, 600, 100, 7, {600, 400, 0, 100}, {600, 400, 0, 100}},   // ellipse
      {-400, 600, -100, 8, {600, 400, 0, 100}, {600, 400, 0, 100}},  // ellipsoid
      {0, 1200, -80, 5, {0, 1200, 80, 0}, {0, 1200, 80, 0}},         // cylinder along the length
      {900, 0, -70, 6, {0, 900, 70, 0}, {0, 900, 70, 0}},            // cylinder along the width
      {300, 1200, 50, 1, {1200, 300, 0, 50}, {1200, 300, 0, 50}},    // box, luminous sides
      {300, 1200, 0, 1, {1200, 300, 0, 1}, {1200, 300, 0, 0}},       // flat: luminaire height 1
      {300, 1200, -60, 8, {300, 1200, 0, 60}, {300, 1200, 0, 60}},   // width and length swap
      {0, 0, 0, 0, {0, 0, 1, 1}, {0, 0, 1, 0}},                      // point
      {500, 0, 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},                    // width only: nothing set
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " " + std::to_string(c.l) + " " + std::to_string(c.h));
    TLUM32 rec;
    rec.Clear();
    std::int64_t w = c.w, l = c.l, h = c.h;
    DecodeOpeningShape(rec, w, l, h);
    EXPECT_EQ(rec.OpeningShape, c.shape);
    EXPECT_EQ((std::array<int, 4>{rec.LumDim.Length, rec.LumDim.Width, rec.LumDim.Diameter,
                                  rec.LumDim.Height}),
              c.lum);
    EXPECT_EQ((std::array<int, 4>{rec.AreaDim.Length, rec.AreaDim.Width, rec.AreaDim.Diameter,
                                  rec.AreaDim.HeightC0}),
              c.area);
    EXPECT_EQ((std::array<std::int64_t, 3>{w, l, h}),
              (std::array<std::int64_t, 3>{std::abs(c.w), std::abs(c.l), std::abs(c.h)}));
  }
}

TEST(IesOpeningShape, HugeValuesSaturate) {
  TLUM32 rec;
  rec.Clear();
  std::int64_t w = INT64_MIN, l = 0, h = 0;
  DecodeOpeningShape(rec, w, l, h);
  EXPECT_EQ(rec.OpeningShape, 4);
  EXPECT_EQ(+rec.AreaDim.Diameter, 65535);
  EXPECT_GT(w, 0);
}

}  // namespace
}  // namespace lumatra
