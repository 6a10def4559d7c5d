// The luminous-opening decoding of the IES width, length and height.
#include <gtest/gtest.h>

#include "formats/ies.h"
#include "model/lum32.h"

namespace lumatra {
namespace {

// The record's dimension blocks are packed; the test keeps plain copies of the fields.
struct Lum {
  int Length, Width, Diameter, Height;
};
struct Area {
  int Length, Width, Diameter, HeightC0;
};
struct Decoded {
  int shape;
  Lum lum;
  Area area;
  std::int64_t w, l, h;
};

Decoded Decode(std::int64_t w, std::int64_t l, std::int64_t h) {
  TLUM32 rec;
  rec.Clear();
  DecodeOpeningShape(rec, w, l, h);
  return {rec.OpeningShape,
          {rec.LumDim.Length, rec.LumDim.Width, rec.LumDim.Diameter, rec.LumDim.Height},
          {rec.AreaDim.Length, rec.AreaDim.Width, rec.AreaDim.Diameter, rec.AreaDim.HeightC0},
          w,
          l,
          h};
}

TEST(IesOpeningShape, RoundShapes) {
  Decoded flat = Decode(-500, 0, 0);  // row 1: -0.5 m round, flat
  EXPECT_EQ(flat.shape, 4);
  EXPECT_EQ(flat.area.Diameter, 500);
  EXPECT_EQ(flat.lum.Diameter, 500);
  EXPECT_EQ(flat.lum.Height, 1);
  EXPECT_EQ(flat.w, 500);  // magnitudes come back

  Decoded sphere = Decode(-300, 0, -300);  // row 2
  EXPECT_EQ(sphere.shape, 3);
  EXPECT_EQ(sphere.area.HeightC0, 300);
  EXPECT_EQ(sphere.area.Diameter, 300);
  EXPECT_EQ(sphere.lum.Height, 300);
  EXPECT_EQ(sphere.lum.Diameter, 300);
  EXPECT_EQ(sphere.h, 300);

  Decoded cylinder = Decode(-200, 0, 150);  // row 3
  EXPECT_EQ(cylinder.shape, 2);
  EXPECT_EQ(cylinder.area.HeightC0, 150);
  EXPECT_EQ(cylinder.area.Diameter, 200);
  EXPECT_EQ(cylinder.lum.Height, 150);
  EXPECT_EQ(cylinder.lum.Diameter, 200);

  // A negative height that differs from the width is no sphere and matches no other row.
  Decoded odd = Decode(-300, 0, -200);
  EXPECT_EQ(odd.shape, 0);
  EXPECT_EQ(odd.area.Diameter, 0);
}

TEST(IesOpeningShape, EllipsesKeepWidthAndLength) {
  for (std::int64_t h : {100, -100}) {  // rows 4 and 5
    Decoded d = Decode(-400, 600, h);
    EXPECT_EQ(d.shape, h > 0 ? 7 : 8);
    EXPECT_EQ(d.area.Width, 400);
    EXPECT_EQ(d.area.Length, 600);
    EXPECT_EQ(d.area.HeightC0, 100);
    EXPECT_EQ(d.lum.Width, 400);
    EXPECT_EQ(d.lum.Length, 600);
    EXPECT_EQ(d.lum.Height, 100);
  }
}

TEST(IesOpeningShape, HorizontalCylinders) {
  Decoded along_length = Decode(0, 1200, -80);  // row 6
  EXPECT_EQ(along_length.shape, 5);
  EXPECT_EQ(along_length.area.Diameter, 80);
  EXPECT_EQ(along_length.area.Width, 1200);
  EXPECT_EQ(along_length.lum.Diameter, 80);
  EXPECT_EQ(along_length.lum.Width, 1200);

  Decoded along_width = Decode(900, 0, -70);  // row 7
  EXPECT_EQ(along_width.shape, 6);
  EXPECT_EQ(along_width.area.Diameter, 70);
  EXPECT_EQ(along_width.area.Width, 900);
  EXPECT_EQ(along_width.lum.Width, 900);
}

TEST(IesOpeningShape, Rectangles) {
  Decoded box = Decode(300, 1200, 50);  // row 8 with luminous sides
  EXPECT_EQ(box.shape, 1);
  EXPECT_EQ(box.area.Width, 300);
  EXPECT_EQ(box.area.Length, 1200);
  EXPECT_EQ(box.area.HeightC0, 50);
  EXPECT_EQ(box.lum.Height, 50);

  Decoded flat = Decode(300, 1200, 0);  // row 8, flat: luminaire height 1
  EXPECT_EQ(flat.shape, 1);
  EXPECT_EQ(flat.area.HeightC0, 0);
  EXPECT_EQ(flat.lum.Height, 1);

  Decoded across = Decode(300, 1200, -60);  // row 9: width to Length, length to Width
  EXPECT_EQ(across.shape, 8);
  EXPECT_EQ(across.area.Length, 300);
  EXPECT_EQ(across.area.Width, 1200);
  EXPECT_EQ(across.lum.Length, 300);
  EXPECT_EQ(across.lum.Width, 1200);
  EXPECT_EQ(across.lum.Height, 60);
}

TEST(IesOpeningShape, PointAndUnmatched) {
  Decoded point = Decode(0, 0, 0);  // row 10
  EXPECT_EQ(point.shape, 0);
  EXPECT_EQ(point.area.Diameter, 1);
  EXPECT_EQ(point.lum.Diameter, 1);
  EXPECT_EQ(point.lum.Height, 1);

  Decoded width_only = Decode(500, 0, 0);  // row 11: nothing set
  EXPECT_EQ(width_only.shape, 0);
  EXPECT_EQ(width_only.area.Width, 0);
  EXPECT_EQ(width_only.area.Diameter, 0);
  EXPECT_EQ(width_only.lum.Height, 0);
}

TEST(IesOpeningShape, HugeValuesSaturate) {
  Decoded d = Decode(INT64_MIN, 0, 0);
  EXPECT_EQ(d.shape, 4);
  EXPECT_EQ(d.area.Diameter, 65535);
  EXPECT_GT(d.w, 0);
}

}  // namespace
}  // namespace lumatra
