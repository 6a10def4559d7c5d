// Placeholder bodies until the transforms land.
#include <stdexcept>

#include "photometry/litg.h"
#include "photometry/resample.h"
#include "photometry/transforms.h"

namespace lumatra {

void SetGrid(TLUM32&, float, float) {
  throw std::logic_error("not available");
}
void ChangeGrid(TLUM32&, float, float) {
  throw std::logic_error("not available");
}
void ScaleIntensities(TLUM32&, float) {
  throw std::logic_error("not available");
}
void ChangeSymmetry(TLUM32&, int, bool) {
  throw std::logic_error("not available");
}
void MakeRotational(TLUM32&, bool) {
  throw std::logic_error("not available");
}
void MakeSymmetric(TLUM32&, int, bool, float) {
  throw std::logic_error("not available");
}
bool ConvertToCGamma(TLUM32&, int, float, float, float, float) {
  throw std::logic_error("not available");
}
void RotateGrid(TLUM32&, float, float, float) {
  throw std::logic_error("not available");
}
void ExtendGamma(TLUM32&, float) {
  throw std::logic_error("not available");
}
LIBEDAOBJ::LIBEDAOBJ() {
  throw std::runtime_error("programming error");
}
void LIBEDAOBJ::SelectColumn(int) {}
void LIBEDAOBJ::SelectRoom(int, bool) {}
float LIBEDAOBJ::Factor(int) const {
  return 0;
}
void CalcDirectRatios(TLUM32&) {}

}  // namespace lumatra
