// The table of formats: every reader and writer the system has, as data. The reader rows are in
// fallback order: Load tries them in this order when the keyed attempt fails. Load, Save, the
// command line's format names and the round-trip tests all read this one table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lumatra {

class TLUM32;

struct ReaderEntry {
  std::string_view name;   // for messages: "ldt", "ies", ...
  std::string_view key;    // extension key that selects this reader first ("" none)
  bool in_fallback_chain;  // PDF is reachable only by its key
  bool empties_company;    // Company := "" after a failed attempt
  std::uint8_t code;       // FileFormat on success (readers that report a code override it)
  // Parses the file's bytes (Load reads the file once for the whole chain).
  bool (*parse)(TLUM32& rec, std::string_view bytes, std::uint8_t& code);
};

struct WriterEntry {
  std::uint8_t code;
  std::string_view cli_name;   // "ldt", "ies95", ...
  std::string_view extension;  // target extension of the batch driver, ".LDT"
  std::string_view description;
  void (*write)(TLUM32& rec, std::uint8_t code);  // nullptr: Save writes nothing
  // The file's bytes, built in memory (what write commits); nullptr with write.
  std::string (*text)(TLUM32& rec, std::uint8_t code);
};

std::span<const ReaderEntry> Readers();
std::span<const WriterEntry> Writers();
const WriterEntry* FindWriter(std::uint8_t code);
const WriterEntry* FindWriterByName(std::string_view cli_name);

// The extension key of a file name: the extension without its point, cut to three characters,
// upper case; "" when the name has none.
std::string ExtensionKey(std::string_view name);

}  // namespace lumatra
