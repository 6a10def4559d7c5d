#include "app/settings_store.h"

#include <filesystem>
#include <system_error>

#include "formats/file_io.h"
#include "support/cp1252.h"
#include "support/messages.h"

namespace lumatra {

namespace {

// The per-user copy is read first: it exists only while the program's folder refuses the file.
std::optional<IesExtensionList> ReadPatterns(const std::string& path) {
  if (path.empty() || !FileExists(path)) return std::nullopt;
  try {
    return ParsePatternFile(ReadFileBytes(path));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool WritePatterns(const std::string& path, const std::string& text) {
  if (path.empty()) return false;
  try {
    WriteFileAtomically(path, text);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool WriteUserPatterns(const std::string& path, const std::string& text) {
  if (path.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  return WritePatterns(path, text);
}

}  // namespace

std::optional<std::string> MemorySettingsBackend::Read(std::string_view section,
                                                       std::string_view name) {
  auto it = values.find({std::string(section), std::string(name)});
  if (it == values.end()) return std::nullopt;
  return it->second;
}

void MemorySettingsBackend::Write(std::string_view section, std::string_view name,
                                  std::string_view text) {
  values[{std::string(section), std::string(name)}] = std::string(text);
}

std::string StoredText(const SettingKey& key, const ConversionSettings& settings) {
  std::string text = key.get(settings);
  return key.windows_1252 ? Cp1252ToUtf8(text) : text;
}

void ApplyStoredText(const SettingKey& key, ConversionSettings& settings, std::string_view text) {
  key.set(settings, key.windows_1252 ? Utf8ToCp1252(text) : std::string(text));
}

ConversionSettings LoadStoredValues(SettingsBackend& store) {
  ConversionSettings settings;
  for (const SettingKey& key : SettingKeys())
    if (auto text = store.Read(key.section, key.name)) ApplyStoredText(key, settings, *text);
  return settings;
}

bool SaveStoredValues(SettingsBackend& store, const ConversionSettings& settings) {
  for (const SettingKey& key : SettingKeys())
    store.Write(key.section, key.name, StoredText(key, settings));
  if (std::string error; !store.Commit(error)) {
    Messages().ShowError("cannot save the settings: " + error);
    return false;
  }
  return true;
}

IesExtensionList LoadPatterns(const PatternFiles& files) {
  if (auto user = ReadPatterns(files.user)) return *user;
  if (auto program = ReadPatterns(files.program)) return *program;
  return DefaultIesExtensions();
}

bool SavePatterns(const PatternFiles& files, const IesExtensionList& patterns) {
  // An installed program usually cannot write its own folder; the patterns then go beside the
  // per-user settings, where the next start looks first. Once the program's folder takes them
  // again, the per-user copy goes, so it cannot hide newer patterns.
  const std::string text = PatternFileText(patterns);
  if (WritePatterns(files.program, text)) {
    std::error_code ec;
    if (!files.user.empty()) std::filesystem::remove(files.user, ec);
    return true;
  }
  if (WriteUserPatterns(files.user, text)) return true;
  Messages().ShowError("cannot save the file patterns to " +
                       (files.user.empty() ? files.program : files.user));
  return false;
}

void LoadSettings(SettingsBackend& store, const PatternFiles& files, ConversionSettings& settings,
                  IesExtensionList& patterns) {
  settings = LoadStoredValues(store);
  patterns = LoadPatterns(files);
}

bool SaveSettings(SettingsBackend& store, const PatternFiles& files,
                  const ConversionSettings& settings, const IesExtensionList& patterns) {
  const bool values_kept = SaveStoredValues(store, settings);
  const bool patterns_kept = SavePatterns(files, patterns);
  return values_kept && patterns_kept;
}

IesExtensionList ParsePatternFile(std::string_view bytes) {
  IesExtensionList lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start =
        end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

std::string PatternFileText(const IesExtensionList& patterns) {
  std::string text;
  for (const std::string& p : patterns)
    text += p + "\r\n";
  return text;
}

std::string ProgramPath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
}

std::string PatternFileBesideProgram(std::string_view program_path) {
  if (program_path.empty()) return {};
  std::filesystem::path path(program_path);
  path.replace_extension(".FLT");
  return path.string();
}

ConversionSettings& Settings() {
  static ConversionSettings settings;
  return settings;
}

IesExtensionList& IesExtensions() {
  static IesExtensionList patterns = DefaultIesExtensions();
  return patterns;
}

}  // namespace lumatra
