// CIE 102 keyword format (.LVK), "CIEF= CIE FileFormat, Version 1.0".
//
// Every header line is a four-letter key, "=" and a value; the gamma angles follow "CONA=", and
// after them one block per plane: its C angle, then its intensities in cd/klm.
#pragma once

#include <string>
#include <string_view>

namespace lumatra {

class LineReader;
class Findings;
class TLUM32;

bool ParseCie(TLUM32& rec, std::string_view text, Findings* findings = nullptr);
std::string CieText(TLUM32& rec);

// The value of the first line whose part before "=" is `key` (letter case ignored): the text up
// to a second "=", trimmed; "" when no line has the key. Searches from the start of the data and
// leaves `in` after the matching line.
std::string FindCieKey(LineReader& in, std::string_view key);

}  // namespace lumatra
