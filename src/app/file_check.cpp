#include "app/file_check.h"

#include <charconv>
#include <exception>
#include <string>

#include "app/format_table.h"
#include "model/lum32.h"
#include "photometry/checks.h"
#include "photometry/evaluation.h"
#include "photometry/litg.h"
#include "support/findings.h"

namespace lumatra {

namespace {

// A file that the reader of another format took: worth knowing before it is renamed or sent on.
void NoteOtherFormat(const TLUM32& rec, std::string_view path, Findings& findings) {
  const std::string key = ExtensionKey(path);
  const FormatRow* loaded = FindFormat(rec.FileFormat);
  if (key.empty() || !loaded) return;
  for (const FormatRow& row : Formats())
    if (row.load_key == key && row.read && row.name != loaded->name)
      findings.Add("load.other-format", Severity::kNote,
                   "read as " + std::string(loaded->description) + ", not as the extension ." +
                       key + " says (" + std::string(row.description) + ")",
                   0);
}

void Evaluate(TLUM32& rec) {
  CalcFlux(rec);
  rec.FindPeak();
  CalcDirectRatios(rec);
}

}  // namespace

std::size_t LineOfReason(std::string_view reason) {
  const std::size_t at = reason.find("line ");
  if (at == std::string_view::npos) return 0;
  std::size_t line = 0;
  const char* first = reason.data() + at + 5;
  const auto [end, ec] = std::from_chars(first, reason.data() + reason.size(), line);
  return ec == std::errc() && end < reason.data() + reason.size() && *end == ':' ? line : 0;
}

bool LoadAndCheck(TLUM32& rec, std::string_view path, Findings& findings) {
  try {
    if (!Load(rec, path, findings)) {
      // The line goes into the finding's own field: "ldt: line 4: x" becomes "ldt: x", line 4.
      const std::size_t line = LineOfReason(rec.ReadError);
      std::string reason = rec.ReadError;
      if (line != 0) reason.erase(reason.find("line "), 7 + std::to_string(line).size());
      findings.Add("load.failed", Severity::kError, reason, line);
      return false;
    }
    Evaluate(rec);
  } catch (const std::exception& e) {
    findings.Add("load.failed", Severity::kError, e.what(), 0);
    return false;
  }
  NoteOtherFormat(rec, path, findings);
  CheckEvaluated(rec, findings);
  return true;
}

bool LoadEvaluated(TLUM32& rec, std::string_view path) {
  try {
    if (!Load(rec, path)) return false;
    Evaluate(rec);
    return true;
  } catch (const std::exception& e) {
    rec.ReadError = e.what();
    return false;
  }
}

}  // namespace lumatra
