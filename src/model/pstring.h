// A length-prefixed text of fixed capacity as the record's persistent blocks store it: one length
// byte, then N character bytes (Windows-1252). Longer input is cut silently.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumatra {

#pragma pack(push, 1)
template <std::size_t N>
struct PString {
  static_assert(N >= 1 && N <= 255);
  std::uint8_t len;
  char chars[N];

  static constexpr std::size_t kCapacity = N;

  std::string_view view() const { return {chars, std::min<std::size_t>(len, N)}; }
  std::string str() const { return std::string(view()); }
  bool empty() const { return len == 0; }
  void set(std::string_view s) {
    len = static_cast<std::uint8_t>(std::min(s.size(), N));
    std::copy_n(s.data(), len, chars);
    std::fill(chars + len, chars + N, '\0');
  }
  PString& operator=(std::string_view s) {
    set(s);
    return *this;
  }
};
#pragma pack(pop)

}  // namespace lumatra
