// The table of formats: one row per format code, as data. Load, Save, the command line's format
// names, the pipeline's per-format steps, the batch driver's target extensions, the fuzz target and
// the round-trip tests all read this one table; a new format is one row plus its reader/writer
// unit in formats/.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "support/io_error.h"

namespace lumatra {

class Findings;
class TLUM32;

// What a writer needs the pipeline to have done to a record before it is saved.
enum WriterNeed : std::uint8_t {
  kNeedsLabelLines = 1,      // the header lines of an IES LM-63-1986 source copied into text fields
  kNeedsCPlanes = 2,         // B- and A-plane photometry converted to C planes
  kNeedsCompanyLine = 4,     // the first text line taken from the settings when asked or empty
  kNeedsGammaTo90Or180 = 8,  // a gamma range ending at 90 or 180 degrees
};

struct FormatRow {
  std::uint8_t code;             // FileFormat and the save code
  std::string_view name;         // for messages: "ldt", "ies" ("ies: file holds no TILT line")
  std::string_view cli_name;     // the command line's name for the target: "ldt", "ies95"; "" none
  std::string_view load_key;     // extension key whose reader Load tries first ("" none)
  std::uint8_t fallback_rank;    // place in Load's fallback chain from 1; 0: not in it
  bool empties_company;          // a failed attempt of this reader empties Company
  std::string_view extension;    // target extension of the batch driver: ".LDT" ("" none)
  std::string_view description;  // for the command line's help
  // Parses the file's bytes (Load reads the file once for the whole chain) and leaves the record
  // ready for evaluation; `code` starts as the row's code, readers of several editions set it.
  // `findings` (may be null) collects what the reader tolerated or repaired.
  // nullptr: the format has no reader.
  bool (*read)(TLUM32& rec, std::string_view bytes, std::uint8_t& code, Findings* findings);
  // The target file's bytes, built in memory. nullptr: Save writes nothing for this code.
  std::string (*write)(TLUM32& rec, std::uint8_t code);
  std::uint8_t needs;  // WriterNeed flags
};

std::span<const FormatRow> Formats();
const FormatRow* FindFormat(std::uint8_t code);
// The row of `code` when it has a writer; nullptr for any other number (a stored setting may hold
// one outside 0..255).
const FormatRow* FindWriter(std::int64_t code);
// The row with a writer whose command-line name is `cli_name`; nullptr when none.
const FormatRow* FindWriterByName(std::string_view cli_name);
// The rows with a reader, in the order of Load's fallback chain.
std::span<const FormatRow* const> FallbackChain();

// The extension key of a file name: the extension without its point, cut to three characters,
// upper case; "" when the name has none.
std::string ExtensionKey(std::string_view name);

// Fills the record from the file `name`: the reader keyed by the extension first, then the
// fallback chain. Returns false when no reader accepts the file (ReadError says why; FileFormat
// is 14); file-system errors are thrown as IoError.
bool Load(TLUM32& rec, std::string_view name);
// Load that also collects what the accepting reader tolerated or repaired, and the values the
// file declares (DeclaredValues). Readers that refuse the file on the way leave nothing behind.
bool Load(TLUM32& rec, std::string_view name, Findings& findings);

// Writes the record in the format `code` to exactly `name` (whatever its length); a code without
// a writer writes nothing. Throws IoError and never leaves a partial file; with
// ExistingTarget::kKeep it never replaces a file at `name` (TargetExistsError). The record's
// FileName is the same afterwards.
void Save(TLUM32& rec, std::uint8_t code, std::string_view name,
          ExistingTarget existing = ExistingTarget::kReplace);

}  // namespace lumatra
