// Value lists of the text formats (IES, TM14, CIE 102). The values of a file are one stream of
// numbers: words are split at blanks, commas and tabs, a line end is just one more separator, and
// a list that ends mid-line leaves the rest of that line to the next list. No value is ever
// skipped; past the end of the data every value reads as 0.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "formats/textio.h"
#include "support/findings.h"

namespace lumatra {

class TLUM32;

class ValueStream {
 public:
  // The stream starts with the words of `first` (the rest of a line already read, such as a
  // keyword line) and continues with the next line of `in`.
  explicit ValueStream(LineReader& in, std::string_view first = {});

  // The next value, or 0 past the end of the data.
  double Next();
  // The next `count` values.
  std::vector<double> Take(std::size_t count);
  // The 1-based line number of the value taken last.
  std::size_t Line() const { return line_no_; }
  // Number of words still to come, counting no further than `enough`. Used to check declared
  // counts against what a file holds before anything is allocated.
  std::size_t WordsAhead(std::size_t enough) const;

  // From here on, reports words that are not numbers (read as 0) and lines whose values are
  // separated by tabs to `findings`, naming the format ("ies") in the codes. Each kind once,
  // with a count added by Finish.
  void Watch(Findings* findings, std::string_view format);
  void Finish();
  // Takes the rest of the data: the line of its first word (0 when there is none) and how many
  // of its words are numbers.
  std::size_t TakeRest(std::size_t& numbers);

 private:
  bool NextWord(std::string_view& word);

  double Watched(std::string_view word);
  void ReportWord(std::string_view word);
  void ReportTabs();

  LineReader& in_;
  std::string_view line_;
  std::size_t pos_ = 0;
  std::size_t line_no_ = 0;
  // Only set while a check watches the stream.
  Findings* findings_ = nullptr;
  std::string format_;
  RepeatedFinding bad_words_, tab_lines_;
  std::size_t watched_line_ = 0;
};

// The head of a reason found on a line: "<format>: line N: " ("line N: " without a format).
std::string AtLine(std::string_view format, std::size_t line);

// Reads an angle list of `count` values from the stream and checks it as CheckAngleList
// (grid_rules.h) does: "" when fine, else "line N: <reason>" naming the line of the angle at fault.
std::string ReadAngleList(ValueStream& values, std::size_t count, const std::string& what,
                          std::vector<double>& angles, bool descending_allowed = false);

// Number of words (blank, comma, tab and line-end delimited) in `text`, counting no further
// than `enough`.
std::size_t CountWords(std::string_view text, std::size_t enough);

// Empties the record for a reader while keeping its file name, so that nothing an earlier reader
// of the fallback chain left behind leaks into the result.
void ClearKeepingName(TLUM32& rec);

}  // namespace lumatra
