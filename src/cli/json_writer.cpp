#include "cli/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "support/cp1252.h"
#include "support/utf8.h"

namespace lumatra {

std::string JsonObject::NumberText(double value) {
  if (!std::isfinite(value)) return "null";
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, ptr);
}

std::string JsonObject::Quoted(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out.push_back(c);
        }
    }
  }
  return out + "\"";
}

void JsonObject::Key(std::string_view key) {
  if (body_.size() > 1) body_ += ",";
  body_ += Quoted(key) + ":";
}

JsonObject& JsonObject::Text(std::string_view key, std::string_view cp1252) {
  Key(key);
  body_ += Quoted(Cp1252ToUtf8(cp1252));
  return *this;
}

JsonObject& JsonObject::Path(std::string_view key, std::string_view bytes) {
  Key(key);
  body_ += Quoted(ValidUtf8(bytes));
  return *this;
}

JsonObject& JsonObject::Number(std::string_view key, double value) {
  Key(key);
  body_ += NumberText(value);
  return *this;
}

JsonObject& JsonObject::Integer(std::string_view key, std::int64_t value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::Bool(std::string_view key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::Numbers(std::string_view key, std::span<const double> values) {
  Key(key);
  body_ += "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) body_ += ",";
    body_ += NumberText(values[i]);
  }
  body_ += "]";
  return *this;
}

JsonObject& JsonObject::Raw(std::string_view key, std::string_view json) {
  Key(key);
  body_ += json;
  return *this;
}

}  // namespace lumatra
