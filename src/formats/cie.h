// CIE 102 keyword format (.LVK), "CIEF= CIE FileFormat, Version 1.0".
#pragma once

#include <string>
#include <string_view>

namespace lumatra {

class TLUM32;

bool ReadCieFile(TLUM32& rec);
bool ParseCie(TLUM32& rec, std::string_view text);
std::string CieText(TLUM32& rec);
void WriteCieFile(TLUM32& rec);

}  // namespace lumatra
