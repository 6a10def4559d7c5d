// IES LM-63 (.IES): the North American photometric text format, editions 1986, 1991, 1995, 2002
// and 2019. A header of label lines (1986) or keyword lines ends at the TILT line; then come the
// ten-value and the three-value records, the vertical and horizontal angle lists and one candela
// list per horizontal angle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumatra {

class Findings;
class TLUM32;
class LineReader;

// The editions from 2002 on, whose header is keywords only and may run to 256 characters a line.
bool IsKeywordEdition(std::uint8_t code);

// Parses IES text; code := 5, 6, 7, 8 or 10 by edition. On failure rec.ReadError says why.
bool ParseIes(TLUM32& rec, std::string_view text, std::uint8_t& code, Findings* findings = nullptr);

// The text after `keyword` on the first header line whose first word is `keyword` in any letter
// case, trimmed; "" when no such line comes before the TILT line. Rewinds `in` first.
std::string FindIesKeyword(LineReader& in, std::string_view keyword);

// One keyword of a keyword header: the keyword line and the [MORE] lines that continue it.
struct IesKeyword {
  std::string name;                // "[MANUFAC]", upper case
  std::vector<std::string> lines;  // as read, the keyword line first
  std::string first;               // the text of the keyword line
  std::string text;                // the texts of all its lines joined by one blank
};
// The keywords of header lines, in order. Lines that do not begin with a bracketed keyword (an
// edition line, 1986 label lines) belong to none; a [MORE] line without a keyword before it is
// a keyword of its own.
std::vector<IesKeyword> IesKeywords(const std::vector<std::string>& lines);

// A record text that a keyword fills in the 2002 and 2019 editions. The rows are in the order
// the writer puts them; where two keywords fill one field the first found wins and the first is
// written.
struct IesKeywordField {
  std::string_view names[2];
  std::string_view (*get)(const TLUM32&);  // nullptr: a keyword without a record field
  void (*set)(TLUM32&, std::string_view);
  std::size_t capacity;
  bool required;      // written even when empty
  bool source_first;  // the source's line is written even when the field has changed
  bool from_record;   // written from the field when the source has no line for it
};
std::span<const IesKeywordField> IesKeywordFields();

// Sets OpeningShape and the LumDim/AreaDim fields from the signed IES width, length and height
// in whole millimetres; the three values come back as their magnitudes.
void DecodeOpeningShape(TLUM32& rec, std::int64_t& width, std::int64_t& length,
                        std::int64_t& height);

// The IES text of the record in edition `code` (5, 6, 7, 8 or 10), CR LF line ends. Like the file
// writer it applies the record corrections (lamp flux 0 -> 1000 lm, 0 lamps -> 1).
std::string IesText(TLUM32& rec, std::uint8_t code);

}  // namespace lumatra
