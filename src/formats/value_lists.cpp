#include "formats/value_lists.h"

#include "model/lum32.h"

namespace lumatra {

namespace {

// Appends the words of `line` to `out` until it holds `count` values.
void TakeWords(std::string_view line, std::size_t count, std::vector<double>& out) {
  std::size_t pos = 0;
  while (out.size() < count) {
    while (pos < line.size() && ValueDelimiters.Contains(line[pos]))
      ++pos;
    if (pos >= line.size()) return;
    std::size_t end = pos;
    while (end < line.size() && !ValueDelimiters.Contains(line[end]))
      ++end;
    out.push_back(StrToFloatOrZero(line.substr(pos, end - pos)));
    pos = end;
  }
}

}  // namespace

std::vector<double> ReadValueList(LineReader& in, std::size_t count) {
  return ReadValueList(in, count, {});
}

std::vector<double> ReadValueList(LineReader& in, std::size_t count, std::string_view first) {
  std::vector<double> values;
  values.reserve(count);
  TakeWords(first, count, values);
  std::string_view line;
  while (values.size() < count && in.Next(line))
    TakeWords(line, count, values);
  values.resize(count, 0.0);
  return values;
}

std::size_t CountWordsAhead(const LineReader& in, std::size_t enough) {
  std::string_view rest = in.Rest();
  std::size_t words = 0;
  bool in_word = false;
  for (char c : rest) {
    // Line ends separate words just as blanks and commas do.
    bool delimiter = ValueDelimiters.Contains(c) || c == '\r' || c == '\n';
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
