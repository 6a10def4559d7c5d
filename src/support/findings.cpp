#include "support/findings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace lumatra {

std::string_view SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    default:
      return "note";
  }
}

void Findings::Add(std::string_view code, Severity severity, std::string message,
                   std::size_t line) {
  list_.push_back({std::string(code), severity, std::move(message), line});
}

std::size_t Findings::Count(Severity severity) const {
  return static_cast<std::size_t>(std::count_if(
      list_.begin(), list_.end(), [&](const Finding& f) { return f.severity == severity; }));
}

bool Findings::Has(std::string_view code) const {
  return std::any_of(list_.begin(), list_.end(), [&](const Finding& f) { return f.code == code; });
}

void Findings::Amend(std::size_t index, std::string message) {
  if (index < list_.size()) list_[index].message = std::move(message);
}

void RepeatedFinding::Add(Findings& findings, std::string_view code, Severity severity,
                          std::string message, std::size_t line) {
  if (count_++ > 0) return;
  index_ = findings.All().size();
  findings.Add(code, severity, std::move(message), line);
}

void RepeatedFinding::Finish(Findings& findings, std::string_view unit) const {
  if (count_ < 2 || index_ >= findings.All().size()) return;
  std::string message = findings.All()[index_].message;
  message.append(" (").append(std::to_string(count_)).append(" ").append(unit).append(")");
  findings.Amend(index_, std::move(message));
}

void Findings::Rollback(std::size_t mark) {
  if (mark < list_.size()) list_.resize(mark);
  declared = {};
}

std::string Brief(long double value) {
  if (!std::isfinite(value)) return "not a number";
  char buf[64];
  const double v = static_cast<double>(value);
  auto [ptr, ec] =
      std::fabs(v) >= 1e4 || v == std::round(v)
          ? std::to_chars(buf, buf + sizeof buf, std::round(v), std::chars_format::fixed, 0)
          : std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 4);
  std::string text(buf, ptr);
  return text == "-0" ? "0" : text;
}

}  // namespace lumatra
