#include "formats/tm14.h"

#include <stdexcept>

#include "formats/file_io.h"
#include "model/lum32.h"

namespace lumatra {

bool ParseTm14(TLUM32& rec, std::string_view) {
  rec.ReadError = "tm14: reader not available";
  return false;
}
bool ReadTm14File(TLUM32& rec) {
  return ParseTm14(rec, ReadFileBytes(rec.FileName));
}
std::string Tm14Text(TLUM32&) {
  throw std::logic_error("tm14: writer not available");
}
void WriteTm14File(TLUM32& rec) {
  WriteFileAtomically(rec.FileName, Tm14Text(rec));
}

}  // namespace lumatra
