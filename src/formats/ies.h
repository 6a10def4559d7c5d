// IES LM-63 (.IES), editions 1986, 1991 and 1995.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumatra {

class TLUM32;

// Reads the record's FileName; code = 5, 6 or 7 by edition, 14 when there is no TILT line.
bool ReadIesFile(TLUM32& rec, std::uint8_t& code);
bool ParseIes(TLUM32& rec, std::string_view text, std::uint8_t& code);
// The IES text of the record in edition `code` (5, 6 or 7).
std::string IesText(TLUM32& rec, std::uint8_t code);
void WriteIesFile(TLUM32& rec, std::uint8_t code);

}  // namespace lumatra
