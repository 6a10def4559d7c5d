// CIBSE TM14 (.CIB), signature "CIBSE/1", with the optional CIBSE/2 block.
#pragma once

#include <string>
#include <string_view>

namespace lumatra {

class TLUM32;

bool ReadTm14File(TLUM32& rec);
bool ParseTm14(TLUM32& rec, std::string_view text);
std::string Tm14Text(TLUM32& rec);
void WriteTm14File(TLUM32& rec);

}  // namespace lumatra
