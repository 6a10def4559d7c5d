// A minimal JSON object writer for one line per file. Record texts are Windows-1252 and are
// converted to UTF-8, paths are not; non-finite numbers are written as null.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lumatra {

class JsonObject {
 public:
  JsonObject& Text(std::string_view key, std::string_view cp1252);
  // A path: the file system's bytes, shown as UTF-8 (an invalid byte as U+FFFD).
  JsonObject& Path(std::string_view key, std::string_view bytes);
  JsonObject& Number(std::string_view key, double value);
  JsonObject& Integer(std::string_view key, std::int64_t value);
  JsonObject& Bool(std::string_view key, bool value);
  JsonObject& Numbers(std::string_view key, std::span<const double> values);
  // A value already in JSON form (an array of objects, a nested array).
  JsonObject& Raw(std::string_view key, std::string_view json);
  std::string str() const { return body_ + "}"; }

  static std::string NumberText(double value);
  static std::string Quoted(std::string_view utf8);

 private:
  void Key(std::string_view key);
  std::string body_ = "{";
};

}  // namespace lumatra
