#include "formats/ltli.h"

#include <stdexcept>

#include "formats/file_io.h"
#include "model/lum32.h"

namespace lumatra {

bool ParseLTLI(TLUM32& rec, std::string_view) {
  rec.ReadError = "ltli: reader not available";
  return false;
}
bool ReadLTLI(TLUM32& rec) {
  return ParseLTLI(rec, ReadFileBytes(rec.FileName));
}
std::string LTLIText(TLUM32&) {
  throw std::logic_error("ltli: writer not available");
}
void WriteLTLI(TLUM32& rec) {
  WriteFileAtomically(rec.FileName, LTLIText(rec));
}

}  // namespace lumatra
