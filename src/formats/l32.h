// L32 (.L32): the program's own binary format: header, intensity table, persistent blocks.
#pragma once

#include <string>
#include <string_view>

namespace lumatra {

class Findings;
class TLUM32;

bool ParseL32(TLUM32& rec, std::string_view bytes, Findings* findings = nullptr);
std::string L32Bytes(TLUM32& rec);

}  // namespace lumatra
