// LiTG direct ratios: the share of the luminaire flux reaching the working plane directly, for
// the ten room indices of the EULUMDAT list, by the zonal-factor method.
#pragma once

#include <cstdint>
#include <memory>

#include "model/sgl_array.h"

namespace lumatra {

class TLUM32;

// The LiTG factor table: 360 rows (10 room indices x 2 halves x 18 zones) x 5 columns (point
// source, then four linear classes from broad to narrow).
class LIBEDAOBJ {
 public:
  LIBEDAOBJ();  // loads the table; throws std::runtime_error when it cannot be had
  void SelectColumn(int column);       // 1..5
  void SelectRoom(int k, bool upper);  // k 1..10
  float Factor(int zone) const;        // zone 1..18 of the selected half

 private:
  std::unique_ptr<TSglArray> table_;
  std::uint8_t column_ = 1;
  std::uint8_t room_ = 1;
  std::uint16_t half_offset_ = 0;
  std::uint16_t column_index_ = 1;
  std::uint16_t block_offset_ = 0;
};

// The ten room indices of the direct ratios, as the EULUMDAT list and reports name them.
inline constexpr const char* kRoomIndexNames[10] = {"0.60", "0.80", "1.00", "1.25", "1.50",
                                                    "2.00", "2.50", "3.00", "4.00", "5.00"};

// Fills DirectRatio, UpDirect, DownRemainder and UpRemainder for the ten room indices (0.60 ...
// 5.00) and sets LitgDone: linear luminaires (LumType 2) by their transverse curve and class,
// all others from the zonal fluxes. Evaluates the record first when its flux values are stale.
void CalcDirectRatios(TLUM32& rec);

}  // namespace lumatra
