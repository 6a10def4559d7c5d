// Load and Save: the two record operations that connect the record with the file formats.
#include <filesystem>
#include <string>
#include <system_error>

#include "app/format_table.h"
#include "formats/file_io.h"
#include "model/lum32.h"
#include "support/findings.h"

namespace lumatra {

namespace {

bool TryReader(TLUM32& rec, const FormatRow& row, std::string_view bytes, Findings* findings) {
  rec.ReadError.clear();
  std::uint8_t code = row.code;
  const std::size_t mark = findings ? findings->Mark() : 0;
  if (row.read(rec, bytes, code, findings)) {
    rec.FileFormat = code;
    rec.Loaded = 1;
    return true;
  }
  if (findings) findings->Rollback(mark);
  if (rec.ReadError.empty()) rec.ReadError = std::string(row.name) + ": not recognised";
  if (row.empties_company) rec.Company = "";
  return false;
}

// EULUMDAT goes to `name` with ".LDT" added when it has no extension (shorter than two
// characters); every other format to `name` itself.
std::string WrittenPath(std::uint8_t code, std::string_view name) {
  std::string path(name);
  if (code != kFormatEulumdat && code != kFormatEulumdat2) return path;
  const std::size_t name_start = path.find_last_of("/\\:") + 1;  // npos + 1 == 0
  const std::size_t dot = path.rfind('.');
  const std::size_t ext_length =
      dot == std::string::npos || dot < name_start ? 0 : path.size() - dot;
  if (ext_length < 2) path += ".LDT";
  return path;
}

// The reason a keyed attempt gives: the reader's own, or that the format has none.
std::string KeyedAttempt(TLUM32& rec, std::string_view key, std::string_view bytes, bool& loaded,
                         Findings* findings) {
  loaded = false;
  if (key.empty()) return {};
  for (const FormatRow& row : Formats()) {
    if (row.load_key != key) continue;
    if (!row.read) return std::string(row.name) + ": format not supported";
    loaded = TryReader(rec, row, bytes, findings);
    return rec.ReadError;
  }
  return {};
}

bool LoadCollecting(TLUM32& rec, std::string_view name, Findings* findings) {
  rec.Clear();
  rec.NameChanged = 0;
  const std::string path(name);
  if (!FileExists(path)) {
    // A folder, a FIFO (which would block the read) or a link loop is there, but no file.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    const bool missing =
        status.type() == std::filesystem::file_type::not_found || ec == std::errc::not_a_directory;
    rec.ReadError =
        missing ? "cannot open file: no such file" : "cannot open file: not a regular file";
    return false;
  }
  const std::string key = ExtensionKey(path);
  rec.SetFileName(path);
  const std::string bytes = ReadFileBytes(path);  // IoError reaches the caller

  // The reader keyed by the extension first; its reason is the one worth reporting when the
  // whole chain fails.
  bool loaded = false;
  const std::string keyed_error = KeyedAttempt(rec, key, bytes, loaded, findings);
  if (loaded) return true;
  for (const FormatRow* row : FallbackChain())
    if (TryReader(rec, *row, bytes, findings)) return true;
  rec.FileFormat = kFormatLoadFailed;
  rec.Loaded = 0;
  rec.ReadError = keyed_error.empty() ? "not a recognised photometric file" : keyed_error;
  return false;
}

}  // namespace

bool Load(TLUM32& rec, std::string_view name) {
  return LoadCollecting(rec, name, nullptr);
}

bool Load(TLUM32& rec, std::string_view name, Findings& findings) {
  return LoadCollecting(rec, name, &findings);
}

void Save(TLUM32& rec, std::uint8_t code, std::string_view name, ExistingTarget existing) {
  const std::string kept = rec.FileName;
  rec.SetFileName(name);  // the writers that store a name see the target's
  // The bytes are built in memory and committed to the full `name`: the record's FileName is a
  // cut copy. A writer's IoError leaves the target name in the record, as the caller may want
  // to report it.
  if (const FormatRow* row = FindWriter(code))
    WriteFileAtomically(WrittenPath(code, name), row->write(rec, code), existing);
  rec.SetFileName(kept);
}

}  // namespace lumatra
