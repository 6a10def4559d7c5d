// What every writer asks of the table it writes: a file that the program could not load again
// is refused before it is written, with the reason.
#pragma once

#include <string_view>

namespace lumatra {

class TLUM32;

// Throws IoError("<format>: <reason>") unless the record has a table of at least one plane and
// one gamma angle, its angles are numbers that ascend, and its intensities are numbers. A format
// that holds no A-alpha photometry names what it does hold in `without_a_alpha` ("EULUMDAT holds
// C planes"); an A-alpha record is then refused with that reason.
void CheckWritableTable(const TLUM32& rec, std::string_view format,
                        std::string_view without_a_alpha = {});

}  // namespace lumatra
