// LTLI: fixed-column text format marked "LTLI" in columns 37-40 of line 1 (format code 9).
//
// Line 1 holds nine 4-column integer fields (luminaire number, C range, gamma range, C step,
// gamma step, orientation, luminous length, width and height), the marker and an 8-column name;
// lines 2-5 are texts; from line 6 on the intensities follow as integers in cd/klm, 17 fields
// of 4 columns per line, gamma by gamma and, inside, plane by plane.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumatra {

class Findings;
class TLUM32;

// `turn`: the rotation (degrees about the vertical axis) that brings the file's C0 plane where the
// record has it; 0 when none is needed.
bool ParseLTLI(TLUM32& rec, std::string_view text, float& turn, Findings* findings = nullptr);
std::string LTLIText(TLUM32& rec);

// n in decimal, right-aligned in 4 columns; a longer text is not cut.
std::string Int4(std::int64_t n);
// Trimmed, a double quote at either end replaced by a blank, trimmed again.
std::string Unquote(std::string_view text);

}  // namespace lumatra
