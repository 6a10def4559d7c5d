// Paths are the file system's bytes, usually UTF-8 on Linux. Where one must be shown as text
// (JSON, a window), valid UTF-8 passes unchanged and every byte that breaks it becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace lumatra {

std::string ValidUtf8(std::string_view bytes);

}  // namespace lumatra
