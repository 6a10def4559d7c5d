// What a check of a file finds: readers report what they tolerated or repaired, the evaluation
// adds what the data itself says. Plain data, no output format: the front ends render it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumatra {

// error: the data is wrong or was lost; warning: probably wrong, or repaired; note: worth knowing.
enum class Severity : std::uint8_t { kNote, kWarning, kError };
std::string_view SeverityName(Severity severity);  // "note", "warning", "error"

// A value as a message shows it, whatever the locale: at most 4 significant digits ("0.8123",
// "12.5"), whole numbers and values from 10000 on without decimals.
std::string Brief(long double value);

struct Finding {
  std::string code;  // stable identifier, "ldt.dc-mismatch"
  Severity severity;
  std::string message;  // one line of English naming the values
  std::size_t line;     // 1-based line of the source file; 0: none
};

// Values a file states that the evaluation computes again. A reader fills what its format holds
// when a check asks, so that the declared and the computed value can be compared.
struct DeclaredValues {
  std::optional<double> dff_percent;  // EULUMDAT line 22
  std::optional<double> lor_percent;  // EULUMDAT line 23
  std::size_t lor_line = 0, dff_line = 0;
  std::optional<std::array<double, 10>> direct_ratios;  // EULUMDAT block 27, fractions
  std::size_t direct_ratios_line = 0;                   // its first line
};

// The collector. Readers receive a pointer to one only when somebody asks; a null pointer means
// nothing is collected and nothing is spent on it.
class Findings {
 public:
  void Add(std::string_view code, Severity severity, std::string message, std::size_t line = 0);
  const std::vector<Finding>& All() const { return list_; }
  std::size_t Count(Severity severity) const;
  bool Has(std::string_view code) const;
  // Replaces the message of finding `index` (a count added once it is known).
  void Amend(std::size_t index, std::string message);

  // A reader of the fallback chain that refuses the file takes back what it reported.
  std::size_t Mark() const { return list_.size(); }
  void Rollback(std::size_t mark);

  DeclaredValues declared;

 private:
  std::vector<Finding> list_;
};

// A kind of finding a reader may meet on many lines or words: reported once, where it is first
// met, and given the number of times it was met when the reader finishes.
class RepeatedFinding {
 public:
  // Counts one occurrence; the first is added to `findings`.
  void Add(Findings& findings, std::string_view code, Severity severity, std::string message,
           std::size_t line);
  // Appends " (N <unit>)" to the reported message when there was more than one.
  void Finish(Findings& findings, std::string_view unit) const;

 private:
  std::size_t index_ = 0, count_ = 0;
};

}  // namespace lumatra
