#include "formats/value_lists.h"

#include "formats/grid_rules.h"
#include "model/lum32.h"
#include "support/findings.h"

namespace lumatra {

ValueStream::ValueStream(LineReader& in, std::string_view first)
    : in_(in), line_(first), line_no_(in.LineNumber()) {}

bool ValueStream::NextWord(std::string_view& word) {
  while (true) {
    while (pos_ < line_.size() && ValueDelimiters.Contains(line_[pos_]))
      ++pos_;
    if (pos_ < line_.size()) break;
    if (!in_.Next(line_)) return false;
    pos_ = 0;
    line_no_ = in_.LineNumber();
  }
  const std::size_t start = pos_;
  while (pos_ < line_.size() && !ValueDelimiters.Contains(line_[pos_]))
    ++pos_;
  word = line_.substr(start, pos_ - start);
  return true;
}

double ValueStream::Next() {
  std::string_view word;
  if (!NextWord(word)) return 0.0;
  if (findings_) return Watched(word);
  return StrToFloatOrZero(word);
}

// Next for a check: the word and its line are looked at as well.
double ValueStream::Watched(std::string_view word) {
  if (line_no_ != watched_line_) {
    watched_line_ = line_no_;
    if (line_.find('\t') != std::string_view::npos) ReportTabs();
  }
  const double value = StrToFloatOrZero(word);
  if (value == 0.0) ReportWord(word);
  return value;
}

void ValueStream::Watch(Findings* findings, std::string_view format) {
  findings_ = findings;
  format_ = format;
}

void ValueStream::ReportWord(std::string_view word) {
  std::string text(word);
  if (auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
  double v = 0;
  if (ParseNumber(text, v)) return;
  std::string message(1, '"');
  message.append(word.substr(0, 40)).append("\" is not a number, read as 0");
  bad_words_.Add(*findings_, format_ + ".not-a-number", Severity::kWarning, std::move(message),
                 line_no_);
}

void ValueStream::ReportTabs() {
  tab_lines_.Add(*findings_, format_ + ".tab-separator", Severity::kWarning,
                 "values separated by tabs, read as blanks", line_no_);
}

void ValueStream::Finish() {
  if (!findings_) return;
  bad_words_.Finish(*findings_, "words");
  tab_lines_.Finish(*findings_, "lines");
  findings_ = nullptr;
}

std::size_t ValueStream::TakeRest(std::size_t& numbers) {
  numbers = 0;
  std::size_t first = 0;
  std::string_view word;
  while (NextWord(word)) {
    if (first == 0) first = line_no_;
    double v = 0;
    if (ParseNumber(word, v)) ++numbers;
  }
  return first;
}

std::vector<double> ValueStream::Take(std::size_t count) {
  std::vector<double> values(count);
  for (double& v : values)
    v = Next();
  return values;
}

std::size_t ValueStream::WordsAhead(std::size_t enough) const {
  const std::size_t here = CountWords(line_.substr(pos_), enough);
  return here >= enough ? here : here + CountWords(in_.Rest(), enough - here);
}

std::string ReadAngleList(ValueStream& values, std::size_t count, const std::string& what,
                          std::vector<double>& angles, bool descending_allowed) {
  angles.resize(count);
  std::vector<std::size_t> lines(count);
  for (std::size_t k = 0; k < count; ++k) {
    // Checked as stored: two angles that differ only beyond single precision are one angle.
    const double v = values.Next();
    angles[k] = AngleInRange(v) ? static_cast<double>(static_cast<float>(v)) : v;
    lines[k] = values.Line();
  }
  std::size_t at = 0;
  const std::string reason = CheckAngleList(angles, what, descending_allowed, &at);
  if (reason.empty()) return {};
  return AtLine({}, lines[at]) + reason;
}

std::string AtLine(std::string_view format, std::size_t line) {
  std::string head(format);
  if (!head.empty()) head += ": ";
  head += "line ";
  head += FormatInteger(static_cast<std::int64_t>(line));
  head += ": ";
  return head;
}

std::size_t CountWords(std::string_view text, std::size_t enough) {
  std::size_t words = 0;
  if (enough == 0) return 0;
  bool in_word = false;
  for (char c : text) {
    const bool delimiter = ValueDelimiters.Contains(c) || c == '\r' || c == '\n';
    if (!delimiter && !in_word && ++words >= enough) return words;
    in_word = !delimiter;
  }
  return words;
}

void ClearKeepingName(TLUM32& rec) {
  const std::string name = rec.FileName;
  rec.Clear();
  rec.SetFileName(name);
}

}  // namespace lumatra
