#include "support/text_fields.h"

#include <algorithm>

namespace lumatra {

namespace {

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

bool IsPathDelimiter(char c) {
  return c == ':' || c == '\\' || c == '/' || c == '\0';
}

}  // namespace

std::string ShortText(std::string_view s) {
  return std::string(s.substr(0, kShortTextMax));
}

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && IsBlankOrControl(s.back()))
    s.remove_suffix(1);
  while (!s.empty() && IsBlankOrControl(s.front()))
    s.remove_prefix(1);
  return s;
}

std::string Trim(std::string_view s) {
  return std::string(TrimView(s));
}

std::string LeftPadCh(std::string_view s, char fill, std::size_t width) {
  if (width <= s.size()) return std::string(s);
  std::string out(width - s.size(), fill);
  out.append(s);
  return out;
}

std::string LeftPad(std::string_view s, std::size_t width) {
  return LeftPadCh(s, ' ', width);
}

std::string AddBackSlash(std::string_view s) {
  std::string out(s);
  if (!out.empty() && out.back() != ':' && out.back() != '\\') out.push_back('\\');
  return out;
}

std::string JustFilename(std::string_view path) {
  auto it = std::find_if(path.rbegin(), path.rend(), IsPathDelimiter);
  std::string_view name = path.substr(path.size() - static_cast<std::size_t>(it - path.rbegin()));
  return std::string(name.substr(0, 64));
}

std::string JustName(std::string_view path) {
  std::string name = JustFilename(path);
  if (auto dot = name.find('.'); dot != std::string::npos) name.resize(dot);
  return name;
}

std::size_t WordCount(std::string_view s, const CharSet& delims) {
  std::size_t count = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && delims.Contains(s[i]))
      ++i;
    if (i < s.size()) ++count;
    while (i < s.size() && !delims.Contains(s[i]))
      ++i;
  }
  return count;
}

std::size_t WordPosition(std::size_t n, std::string_view s, const CharSet& delims) {
  std::size_t count = 0;
  std::size_t i = 0;
  while (i < s.size() && count != n) {
    while (i < s.size() && delims.Contains(s[i]))
      ++i;
    if (i < s.size()) {
      ++count;
      if (count == n) return i + 1;
    }
    while (i < s.size() && !delims.Contains(s[i]))
      ++i;
  }
  return 0;
}

std::string_view ExtractWordView(std::size_t n, std::string_view s, const CharSet& delims) {
  std::size_t pos = WordPosition(n, s, delims);
  if (pos == 0) return {};
  std::size_t start = pos - 1;
  std::size_t end = start;
  while (end < s.size() && !delims.Contains(s[end]))
    ++end;
  return s.substr(start, end - start);
}

std::string ExtractWord(std::size_t n, std::string_view s, const CharSet& delims) {
  return std::string(ExtractWordView(n, s, delims));
}

bool IsRemovableDrive(std::string_view path) {
  if (path.empty()) return false;
  char c = path.front();
  return c == 'a' || c == 'A' || c == 'b' || c == 'B';
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace lumatra
