// Loading a file for a check or a comparison: the reader's findings, a load failure as one
// error finding with the reader's reason and line, and the evaluated record with the checks of
// its data.
#pragma once

#include <cstddef>
#include <string_view>

namespace lumatra {

class Findings;
class TLUM32;

// True when the file loaded; `rec` is then evaluated (flux, peak, direct ratios). Never throws
// for a file that cannot be read: that is a finding too.
bool LoadAndCheck(TLUM32& rec, std::string_view path, Findings& findings);

// Loads and evaluates without collecting findings; false with rec.ReadError set when it fails.
bool LoadEvaluated(TLUM32& rec, std::string_view path);

// The line a reader's reason names ("ies: line 12: ..."), or 0.
std::size_t LineOfReason(std::string_view reason);

}  // namespace lumatra
