// Texts inside records and files are Windows-1252 bytes; front ends convert at their boundary.
#pragma once

#include <string>
#include <string_view>

namespace lumatra {

std::string Cp1252ToUtf8(std::string_view bytes);
// Characters without a Windows-1252 form become "?".
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace lumatra
