// LTLI: fixed-column text format marked "LTLI" in columns 37-40 of line 1 (format code 9).
#pragma once

#include <string>
#include <string_view>

namespace lumatra {

class TLUM32;

bool ReadLTLI(TLUM32& rec);
bool ParseLTLI(TLUM32& rec, std::string_view text);
std::string LTLIText(TLUM32& rec);
void WriteLTLI(TLUM32& rec);

}  // namespace lumatra
