// Value lists of the text formats (IES, TM14, CIE 102): a list of numbers that begins on a fresh
// line and runs on over as many lines as it needs. Words are split at blanks and commas; words
// left on the list's last line are ignored; a list cut short by the end of the file reads the
// missing values as 0.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "formats/textio.h"

namespace lumatra {

class TLUM32;

// Reads `count` values starting with the next line of `in`. Lines without words are passed over.
std::vector<double> ReadValueList(LineReader& in, std::size_t count);

// The same, but the list begins with the words of `first` (the rest of a keyword line) before
// it continues with the next line of `in`.
std::vector<double> ReadValueList(LineReader& in, std::size_t count, std::string_view first);

// Number of words (blank and comma delimited) from the reader's position to the end of the data;
// stops counting once `enough` words have been seen. Used to check declared counts against what
// a file holds before anything is allocated.
std::size_t CountWordsAhead(const LineReader& in, std::size_t enough);

// Empties the record for a reader while keeping its file name, so that nothing an earlier reader
// of the fallback chain left behind leaks into the result.
void ClearKeepingName(TLUM32& rec);

}  // namespace lumatra
