// EULUMDAT (.LDT): the European luminaire data format, one value per line in a fixed order.
#pragma once

#include <cstdint>
#include <string>

namespace lumatra {

class TLUM32;

// Reads the record's FileName; on success code = 2. Malformed content: false with ReadError set.
bool ReadEulumdat(TLUM32& rec, std::uint8_t& code);
// Parses EULUMDAT text held in memory (the file reader's core).
bool ParseEulumdat(TLUM32& rec, std::string_view text);
// The EULUMDAT text of the record (CR LF line ends).
std::string EulumdatText(TLUM32& rec);
// Writes FileName (".LDT" appended when it has no extension); throws IoError.
void WriteEulumdat(TLUM32& rec);

}  // namespace lumatra
