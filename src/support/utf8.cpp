#include "support/utf8.h"

namespace lumatra {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool Continuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// Length of the well-formed sequence at `at` (1 to 4), or 0. Overlong forms, surrogates and
// code points above U+10FFFF are not well-formed.
std::size_t SequenceLength(std::string_view s, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (s.size() - at < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (!Continuation(byte(i))) return 0;
  return length;
}

}  // namespace

std::string ValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = SequenceLength(bytes, at);
    if (length == 0) {
      out += kReplacement;
      ++at;
    } else {
      out.append(bytes.substr(at, length));
      at += length;
    }
  }
  return out;
}

}  // namespace lumatra
