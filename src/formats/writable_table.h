// What every writer asks of the table it writes: a file that the program could not load again
// is refused before it is written, with the reason.
#pragma once

#include <string_view>

namespace lumatra {

class TLUM32;

// Throws IoError("<format>: <reason>") unless the record has a table of at least one plane and
// one gamma angle, its angles are numbers that ascend, and its intensities are numbers.
void CheckWritableTable(const TLUM32& rec, std::string_view format);

}  // namespace lumatra
