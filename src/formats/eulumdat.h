// EULUMDAT (.LDT): the European luminaire data format, one value per line in a fixed order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumatra {

class Findings;
class TLUM32;

// Parses EULUMDAT text; a malformed file gives false with ReadError set.
bool ParseEulumdat(TLUM32& rec, std::string_view text, Findings* findings = nullptr);
// The EULUMDAT text of the record (CR LF line ends). May set DateUser and FileDate (line 12).
// Throws IoError for a record that has no EULUMDAT form (symmetry above 4, no intensity table).
std::string EulumdatText(TLUM32& rec);

// The writer's number style: at most `precision` significant digits, at least one decimal,
// no trailing zeros after the first decimal ("15.0", "12.34", "0.0123"); the exponent form of
// FormatFixed when the integer part needs more digits.
std::string EulumdatNumber(long double x, int precision);

}  // namespace lumatra
