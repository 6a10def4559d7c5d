// IES LM-63 (.IES): the North American photometric text format, editions 1986, 1991 and 1995.
// A header of label or keyword lines ends at the TILT line; then come the ten-value and the
// three-value records, the vertical and horizontal angle lists and one candela list per
// horizontal angle.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumatra {

class TLUM32;
class LineReader;

// Reads the record's FileName; code = 5, 6 or 7 by edition, 14 when the file is refused.
bool ReadIesFile(TLUM32& rec, std::uint8_t& code);
// Parses IES text held in memory (the file reader's core). On failure rec.ReadError says why.
bool ParseIes(TLUM32& rec, std::string_view text, std::uint8_t& code);

// The text after `keyword` on the first header line whose first word is `keyword` in any letter
// case, trimmed; "" when no such line comes before the TILT line. Rewinds `in` first.
std::string FindIesKeyword(LineReader& in, std::string_view keyword);

// Sets OpeningShape and the LumDim/AreaDim fields from the signed IES width, length and height
// in whole millimetres; the three values come back as their magnitudes.
void DecodeOpeningShape(TLUM32& rec, std::int64_t& width, std::int64_t& length,
                        std::int64_t& height);

// The IES text of the record in edition `code` (5, 6 or 7), CR LF line ends. Like the file
// writer it applies the record corrections (lamp flux 0 -> 1000 lm, 0 lamps -> 1).
std::string IesText(TLUM32& rec, std::uint8_t code);
void WriteIesFile(TLUM32& rec, std::uint8_t code);

}  // namespace lumatra
