#include "formats/eulumdat.h"

#include <stdexcept>

#include "formats/file_io.h"
#include "model/lum32.h"

namespace lumatra {

bool ParseEulumdat(TLUM32& rec, std::string_view) {
  rec.ReadError = "ldt: reader not available";
  return false;
}
bool ReadEulumdat(TLUM32& rec, std::uint8_t& code) {
  code = kFormatEulumdat;
  return ParseEulumdat(rec, ReadFileBytes(rec.FileName));
}
std::string EulumdatText(TLUM32&) {
  throw std::logic_error("ldt: writer not available");
}
void WriteEulumdat(TLUM32& rec) {
  WriteFileAtomically(rec.FileName, EulumdatText(rec));
}

}  // namespace lumatra
