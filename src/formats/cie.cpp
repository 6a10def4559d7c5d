#include "formats/cie.h"

#include <stdexcept>

#include "formats/file_io.h"
#include "model/lum32.h"

namespace lumatra {

bool ParseCie(TLUM32& rec, std::string_view) {
  rec.ReadError = "cie: reader not available";
  return false;
}
bool ReadCieFile(TLUM32& rec) {
  return ParseCie(rec, ReadFileBytes(rec.FileName));
}
std::string CieText(TLUM32&) {
  throw std::logic_error("cie: writer not available");
}
void WriteCieFile(TLUM32& rec) {
  WriteFileAtomically(rec.FileName, CieText(rec));
}

}  // namespace lumatra
