// Text field functions shared by every reader and writer: trimming, padding, word splitting and
// taking paths apart. Texts are Windows-1252 byte strings; nothing here depends on the locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumatra {

// A set of delimiter bytes for the word functions.
class CharSet {
 public:
  constexpr CharSet() = default;
  constexpr explicit CharSet(std::string_view chars) {
    for (char c : chars)
      Add(c);
  }
  constexpr void Add(char c) {
    auto b = static_cast<unsigned char>(c);
    bits_[b / 64] |= std::uint64_t{1} << (b % 64);
  }
  constexpr bool Contains(char c) const {
    auto b = static_cast<unsigned char>(c);
    return (bits_[b / 64] >> (b % 64)) & 1U;
  }

 private:
  std::uint64_t bits_[4] = {0, 0, 0, 0};
};

// Short texts hold at most 255 characters.
inline constexpr std::size_t kShortTextMax = 255;

std::string ShortText(std::string_view s);  // the first 255 characters

// Removes leading and trailing characters with codes 0..32.
std::string Trim(std::string_view s);
std::string_view TrimView(std::string_view s);

// Right-aligns s in a field of `width` characters filled with `fill`; never cuts.
std::string LeftPadCh(std::string_view s, char fill, std::size_t width);
std::string LeftPad(std::string_view s, std::size_t width);

// Appends "\" unless s is empty or ends in ":" or "\".
std::string AddBackSlash(std::string_view s);
// The part after the last ":" or "\" (and, on this platform, "/"), at most 64 characters.
std::string JustFilename(std::string_view path);
// JustFilename cut before its first ".".
std::string JustName(std::string_view path);

// Word functions: a word is a maximal run of characters not in `delims`. Word numbers and
// positions count from 1; 0 means "none".
std::size_t WordCount(std::string_view s, const CharSet& delims);
std::size_t WordPosition(std::size_t n, std::string_view s, const CharSet& delims);
std::string_view ExtractWordView(std::size_t n, std::string_view s, const CharSet& delims);
std::string ExtractWord(std::size_t n, std::string_view s, const CharSet& delims);

// True for the floppy drive letters A and B; this platform has no other removable-drive query.
bool IsRemovableDrive(std::string_view path);

std::string UpperCase(std::string_view s);  // ASCII letters only

}  // namespace lumatra
