// Keeping ConversionSettings and the IES pattern list between runs. The per-user key/value store
// sits behind a small interface (QSettings in the program, a map in tests); the pattern list
// lives in a text file, one pattern per line.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/conversion_settings.h"

namespace lumatra {

// A per-user store of named text values grouped in sections. Texts cross it as UTF-8.
class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;
  // The stored text; nothing when the section or value is missing or holds no text.
  virtual std::optional<std::string> Read(std::string_view section, std::string_view name) = 0;
  virtual void Write(std::string_view section, std::string_view name, std::string_view text) = 0;
  // Makes the writes permanent; false with a reason when the store cannot be written.
  virtual bool Commit(std::string& error) = 0;
  // False with a reason when what the store holds is malformed, so that writing to it would
  // drop what it cannot read.
  virtual bool CheckWellFormed(std::string& /*error*/) { return true; }
};

// A store in memory: the tests' backend, and the command line's when Qt is absent.
class MemorySettingsBackend : public SettingsBackend {
 public:
  std::optional<std::string> Read(std::string_view section, std::string_view name) override;
  void Write(std::string_view section, std::string_view name, std::string_view text) override;
  bool Commit(std::string&) override { return true; }

  std::map<std::pair<std::string, std::string>, std::string> values;
};

// Where the pattern list is kept: beside the program (its path with ".FLT"), or, when that
// folder cannot be written, beside the per-user settings.
struct PatternFiles {
  std::string program;
  std::string user;
};

// Fills `settings` from the store (a missing or unreadable value takes its default) and the
// pattern list from the per-user pattern file, else the program's, else the three defaults.
void LoadSettings(SettingsBackend& store, const PatternFiles& files, ConversionSettings& settings,
                  IesExtensionList& patterns);

// Writes all 30 values and the pattern file. Every value is written even when one fails. A store
// or pattern file that cannot be written is reported through Messages(); the result says whether
// everything was kept.
bool SaveSettings(SettingsBackend& store, const PatternFiles& files,
                  const ConversionSettings& settings, const IesExtensionList& patterns);

// The two halves of LoadSettings and SaveSettings: the values of the store, and the pattern list.
ConversionSettings LoadStoredValues(SettingsBackend& store);
bool SaveStoredValues(SettingsBackend& store, const ConversionSettings& settings);
IesExtensionList LoadPatterns(const PatternFiles& files);
bool SavePatterns(const PatternFiles& files, const IesExtensionList& patterns);

// A value as the store holds it (record texts converted to UTF-8), and the reverse with the
// reading rules of the key table (invalid integers take the default, texts are cut).
std::string StoredText(const SettingKey& key, const ConversionSettings& settings);
void ApplyStoredText(const SettingKey& key, ConversionSettings& settings, std::string_view text);

// Pattern file text: lines split at CR, LF or CR LF, blank lines kept; written with CR LF.
IesExtensionList ParsePatternFile(std::string_view bytes);
std::string PatternFileText(const IesExtensionList& patterns);

// The running program's path ("" when the platform does not say) and its pattern file.
std::string ProgramPath();
std::string PatternFileBesideProgram(std::string_view program_path);

// The process-wide instances, filled at start and saved at the end of a normal run.
ConversionSettings& Settings();
IesExtensionList& IesExtensions();

}  // namespace lumatra
