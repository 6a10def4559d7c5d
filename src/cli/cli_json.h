// JSON output of the commands, through nlohmann::json: escaping is the library's. Keys keep the
// order they are set in. Record texts are Windows-1252 and paths file-system bytes: both are
// made valid UTF-8 before they become JSON strings.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "support/cp1252.h"
#include "support/utf8.h"

namespace lumatra {

using Json = nlohmann::ordered_json;

inline Json TextJson(std::string_view cp1252) {
  return Cp1252ToUtf8(cp1252);
}

// A path: valid UTF-8 passes, a stray byte shows as U+FFFD.
inline Json PathJson(std::string_view bytes) {
  return ValidUtf8(bytes);
}

// One object on one line. Non-finite numbers are written as null.
inline std::string JsonLine(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace lumatra
