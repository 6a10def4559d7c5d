#include "formats/l32.h"

#include <stdexcept>

#include "formats/file_io.h"
#include "model/lum32.h"

namespace lumatra {

bool ParseL32(TLUM32& rec, std::string_view) {
  rec.ReadError = "l32: reader not available";
  return false;
}
bool ReadL32(TLUM32& rec) {
  return ParseL32(rec, ReadFileBytes(rec.FileName));
}
std::string L32Bytes(TLUM32&) {
  throw std::logic_error("l32: writer not available");
}
void WriteL32(TLUM32& rec) {
  WriteFileAtomically(rec.FileName, L32Bytes(rec));
}

}  // namespace lumatra
