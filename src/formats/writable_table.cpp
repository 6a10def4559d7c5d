#include "formats/writable_table.h"

#include <cmath>
#include <string>

#include "formats/textio.h"
#include "model/lum32.h"
#include "support/io_error.h"

namespace lumatra {

namespace {

[[noreturn]] void Refuse(std::string_view format, const std::string& reason) {
  throw IoError(std::string(format) + ": " + reason);
}

// Angles 1..count of row 0 (gamma) or column 0 (C): numbers, each above the one before.
void CheckAngles(const TLUM32& rec, std::size_t count, bool gamma, std::string_view format) {
  const std::string what = gamma ? "gamma angle" : "C angle";
  for (std::size_t k = 1; k <= count; ++k) {
    const float angle = gamma ? rec.GetGamma(k) : rec.GetCAngle(k);
    if (!std::isfinite(angle))
      Refuse(format, what + " " + FormatInteger(static_cast<std::int64_t>(k)) + " is not a number");
    const float before = gamma ? rec.GetGamma(k - 1) : rec.GetCAngle(k - 1);
    if (k > 1 && !(angle > before))
      Refuse(format, what + "s do not ascend (" + FormatAngle(angle) + " after " +
                         FormatAngle(before) + ")");
  }
}

}  // namespace

void CheckWritableTable(const TLUM32& rec, std::string_view format,
                        std::string_view without_a_alpha) {
  if (!without_a_alpha.empty() && rec.PhotSystem == kSystemA)
    Refuse(format, "A-alpha photometry cannot be written (" + std::string(without_a_alpha) + ")");
  if (!rec.Matrix || rec.NumPlanes == 0 || rec.NumGammas == 0 ||
      rec.Matrix->Rows() <= rec.NumPlanes || rec.Matrix->Columns() <= rec.NumGammas)
    Refuse(format, "record has no intensity table");
  CheckAngles(rec, rec.NumGammas, true, format);
  CheckAngles(rec, rec.NumPlanes, false, format);
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      if (!std::isfinite(rec.GetIntensity(i, j)))
        Refuse(format, "intensity at C" + FormatAngle(rec.GetCAngle(i)) + " gamma " +
                           FormatAngle(rec.GetGamma(j)) + " is not a number");
}

}  // namespace lumatra
