// IES LM-63 luminous opening: the signs of the width, length and height fields encode the shape
// (negative width = round, negative height = spherical or cylindrical, and so on).
#include "formats/ies.h"
#include "model/lum32.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

int Sign(std::int64_t v) {
  return (v > 0) - (v < 0);
}

// Far beyond any 16-bit dimension; keeps the negation and the sum below free of overflow.
std::int64_t Magnitude(std::int64_t v) {
  constexpr std::int64_t kLimit = std::int64_t{1} << 40;
  if (v < 0) v = v < -kLimit ? kLimit : -v;
  return v > kLimit ? kLimit : v;
}

}  // namespace

void DecodeOpeningShape(TLUM32& rec, std::int64_t& width, std::int64_t& length,
                        std::int64_t& height) {
  const int sw = Sign(width);
  const int sh = Sign(height);
  width = Magnitude(width);
  length = Magnitude(length);
  height = Magnitude(height);
  const std::uint16_t w = ToU16(width);
  const std::uint16_t l = ToU16(length);
  const std::uint16_t h = ToU16(height);
  AreaDims& area = rec.AreaDim;
  LuminaireDims& lum = rec.LumDim;

  if (sw == -1 && length == 0 && height == 0) {  // round, flat
    rec.OpeningShape = 4;
    area.Diameter = w;
    lum.Diameter = w;
    lum.Height = 1;
  } else if (sw == -1 && height == width && length == 0 && sh == -1) {  // sphere
    rec.OpeningShape = 3;
    area.HeightC0 = area.Diameter = lum.Height = lum.Diameter = w;
  } else if (sw == -1 && length == 0 && sh == 1) {  // vertical cylinder
    rec.OpeningShape = 2;
    area.HeightC0 = h;
    area.Diameter = w;
    lum.Height = h;
    lum.Diameter = w;
  } else if (sw == -1 && length != 0 && sh != 0) {  // ellipse with height / ellipsoid
    rec.OpeningShape = sh == 1 ? 7 : 8;
    area.HeightC0 = h;
    area.Width = w;
    area.Length = l;
    lum.Height = h;
    lum.Width = w;
    lum.Length = l;
  } else if (sw == 0 && sh == -1 && length != 0) {  // horizontal cylinder along the length
    rec.OpeningShape = 5;
    area.Diameter = h;
    area.Width = l;
    lum.Diameter = h;
    lum.Width = l;
  } else if (sw == 1 && sh == -1 && length == 0) {  // horizontal cylinder along the width
    rec.OpeningShape = 6;
    area.Diameter = h;
    area.Width = w;
    lum.Diameter = h;
    lum.Width = w;
  } else if (sw == 1 && sh >= 0 && length != 0) {  // rectangle, with or without luminous sides
    rec.OpeningShape = 1;
    area.Length = l;
    area.Width = w;
    area.HeightC0 = h;
    lum.Length = l;
    lum.Width = w;
    lum.Height = h == 0 ? 1 : h;
  } else if (sw == 1 && length != 0 && sh == -1) {  // ellipsoid across: width and length swap
    rec.OpeningShape = 8;
    area.HeightC0 = h;
    area.Width = l;
    area.Length = w;
    lum.Height = h;
    lum.Width = l;
    lum.Length = w;
  } else if (width + length + height == 0) {  // point source
    area.Diameter = 1;
    lum.Height = 1;
    lum.Diameter = 1;
  }
}

}  // namespace lumatra
