// Load and Save: the two record operations that connect the record with the file formats.
#include <filesystem>
#include <string>
#include <system_error>

#include "formats/file_io.h"
#include "model/format_table.h"
#include "model/lum32.h"

namespace lumatra {

namespace {

bool TryReader(TLUM32& rec, const ReaderEntry& reader, std::string_view bytes) {
  rec.ReadError.clear();
  std::uint8_t code = reader.code;
  if (reader.parse(rec, bytes, code)) {
    rec.FileFormat = code;
    rec.Loaded = 1;
    return true;
  }
  if (rec.ReadError.empty()) rec.ReadError = std::string(reader.name) + ": not recognised";
  if (reader.empties_company) rec.Company = "";
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

}  // namespace

bool TLUM32::Load(std::string_view name) {
  Clear();
  NameChanged = 0;
  const std::string path(name);
  if (!FileExists(path)) {
    // A folder, a FIFO (which would block the read) or a link loop is there, but no file.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    const bool missing =
        status.type() == std::filesystem::file_type::not_found || ec == std::errc::not_a_directory;
    ReadError = missing ? "cannot open file: no such file" : "cannot open file: not a regular file";
    return false;
  }
  const std::string key = ExtensionKey(path);
  SetFileName(path);
  const std::string bytes = ReadFileBytes(path);  // IoError reaches the caller

  // The reader keyed by the extension first; its reason is the one worth reporting when the
  // whole chain fails.
  std::string keyed_error;
  for (const ReaderEntry& reader : Readers()) {
    if (key.empty() || reader.key != key) continue;
    if (TryReader(*this, reader, bytes)) return true;
    keyed_error = ReadError;
    break;
  }
  for (const ReaderEntry& reader : Readers()) {
    if (!reader.in_fallback_chain) continue;
    if (TryReader(*this, reader, bytes)) return true;
  }
  FileFormat = kFormatLoadFailed;
  Loaded = 0;
  ReadError = keyed_error.empty() ? "not a recognised photometric file" : keyed_error;
  return false;
}

void TLUM32::Save(std::uint8_t code, std::string_view name, ExistingTarget existing) {
  const std::string kept = FileName;
  SetFileName(name);  // the writers that store a name see the target's
  // The bytes are built in memory and committed to the full `name`: the record's FileName is a
  // cut copy. A writer's IoError leaves the target name in the record, as the caller may want
  // to report it.
  if (const WriterEntry* writer = FindWriter(code); writer && writer->text)
    WriteFileAtomically(WrittenPath(code, name), writer->text(*this, code), existing);
  SetFileName(kept);
}

}  // namespace lumatra
