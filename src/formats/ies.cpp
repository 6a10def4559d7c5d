#include "formats/ies.h"

#include <stdexcept>

#include "formats/file_io.h"
#include "model/lum32.h"

namespace lumatra {

bool ParseIes(TLUM32& rec, std::string_view, std::uint8_t& code) {
  code = kFormatLoadFailed;
  rec.ReadError = "ies: reader not available";
  return false;
}
bool ReadIesFile(TLUM32& rec, std::uint8_t& code) {
  return ParseIes(rec, ReadFileBytes(rec.FileName), code);
}
std::string IesText(TLUM32&, std::uint8_t) {
  throw std::logic_error("ies: writer not available");
}
void WriteIesFile(TLUM32& rec, std::uint8_t code) {
  WriteFileAtomically(rec.FileName, IesText(rec, code));
}

}  // namespace lumatra
