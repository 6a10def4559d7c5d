// lumatra-cli settings show | set NAME VALUE
#include "cli/cli_settings.h"

#include <CLI/CLI.hpp>
#include <array>
#include <cstdio>
#include <string>

#include "formats/textio.h"
#include "support/rounding.h"
#include "support/text_fields.h"
#include "support/utf8.h"

#ifdef LUMATRA_HAVE_STORE
#include "app/format_table.h"
#include "app/settings_store_qt.h"
#endif

namespace lumatra {

namespace {

constexpr std::array<std::string_view, 6> kSymmetryNames = {"keep",    "none",     "rotational",
                                                            "c0-c180", "c90-c270", "both"};
constexpr std::array<std::string_view, 7> kLabelFieldNames = {"none",   "company", "report", "name",
                                                              "number", "date",    "lamp"};

template <std::size_t N>
bool ParseStep(std::string_view text, const float (&table)[N], std::int32_t& index) {
  if (text == "keep") {
    index = 0;
    return true;
  }
  double degrees = 0;
  if (!ParseNumber(text, degrees)) return false;
  for (std::size_t i = 1; i < N; ++i) {
    if (Centi(degrees) == Centi(table[i])) {
      index = static_cast<std::int32_t>(i);
      return true;
    }
  }
  return false;
}

// Values the program can use, beyond what the key's type allows: the dialog's lists (with their
// blank last entry) and the codes of formats that have a writer.
struct AllowedRange {
  std::string_view name;
  std::int32_t low, high;
};
constexpr AllowedRange kAllowedRanges[] = {{"PLANES", 0, 8}, {"ANGLES", 0, 5}, {"SYMM", 0, 5},
                                           {"LL1", 0, 7},    {"LL2", 0, 7},    {"LL3", 0, 7},
                                           {"LL4", 0, 7},    {"LL5", 0, 7},    {"LL6", 0, 7}};

const AllowedRange* RangeOf(const SettingKey& key) {
  for (const AllowedRange& range : kAllowedRanges)
    if (range.name == key.name) return &range;
  return nullptr;
}

std::string WriterCodes() {
  std::string codes;
  for (const FormatRow& format : Formats())
    if (format.write) codes += (codes.empty() ? "" : ", ") + std::to_string(format.code);
  return codes;
}

// What `key` takes, for the message that refuses another value.
std::string AllowedValues(const SettingKey& key) {
  if (key.name == "ACTFMT") return "a format code with a writer: " + WriterCodes();
  if (const AllowedRange* range = RangeOf(key))
    return std::to_string(range->low) + ".." + std::to_string(range->high);
  switch (key.type) {
    case SettingType::kBoolean:
      return "0 or 1";
    case SettingType::kByte:
      return "an integer 0..255";
    default:
      return "an integer";
  }
}

bool InAllowedRange(const SettingKey& key, std::int32_t v) {
  if (key.name == "ACTFMT") {
    return FindWriter(v) != nullptr;
  }
  if (const AllowedRange* range = RangeOf(key)) return v >= range->low && v <= range->high;
  if (key.type == SettingType::kByte) return v >= 0 && v <= 255;
  if (key.type == SettingType::kBoolean) return v == 0 || v == 1;
  return true;
}

// A value given on the command line: the text the store will hold.
bool CheckedValue(const SettingKey& key, const std::string& value, std::string& stored) {
  if (key.type == SettingType::kText) {
    stored = value;
    return true;
  }
  if (key.type == SettingType::kBoolean && (value == "true" || value == "false")) {
    stored = value == "true" ? "1" : "0";
    return true;
  }
  std::int32_t v = 0;
  if (!ParseStoredInteger(value, v) || !InAllowedRange(key, v)) return false;
  stored = std::to_string(v);
  return true;
}

void ShowSettings(const std::string& file, CliStreams& io) {
  auto store = OpenCliSettings(file);
  if (!store) {
    io.err << "lumatra-cli: this build keeps no settings\n";
    io.status = 1;
    return;
  }
  const ConversionSettings settings = LoadStoredValues(*store);
  std::string_view section;
  for (const SettingKey& key : SettingKeys()) {
    if (key.section != section) {
      section = key.section;
      io.out << "[" << section << "]\n";
    }
    io.out << key.name << "=" << Printable(StoredText(key, settings)) << "\n";
  }
}

// Changes the one named value and nothing else, so that concurrent changes of other values are
// kept (the store merges changed keys under its own lock).
void SetSetting(const std::string& file, const std::string& name, const std::string& value,
                CliStreams& io) {
  const SettingKey* key = FindSettingKey(name);
  if (!key) throw CLI::ValidationError("NAME", "no setting named " + name);
  std::string stored;
  if (!CheckedValue(*key, value, stored))
    throw CLI::ValidationError("VALUE", std::string(key->name) + " takes " + AllowedValues(*key));
  auto store = OpenCliSettings(file);
  if (!store) {
    io.err << "lumatra-cli: this build keeps no settings\n";
    io.status = 1;
    return;
  }
  if (std::string error; !store->CheckWellFormed(error)) {
    io.err << "lumatra-cli: " << error << ", not changed\n";
    io.status = 1;
    return;
  }
  ConversionSettings settings;
  ApplyStoredText(*key, settings, stored);
  const std::string kept = StoredText(*key, settings);
  if (kept != stored)
    io.err << "lumatra-cli: " << key->name << " keeps its first " << key->max_length
           << " characters\n";
  store->Write(key->section, key->name, kept);
  if (std::string error; !store->Commit(error)) {
    io.err << "lumatra-cli: cannot save the settings: " << error << "\n";
    io.status = 1;
    return;
  }
  io.out << key->section << "/" << key->name << "=" << Printable(kept) << "\n";
}

}  // namespace

// A stored text for the terminal: control characters (C0, DEL and C1) as \xNN, bytes that are
// no UTF-8 as U+FFFD.
std::string Printable(std::string_view text) {
  std::string out;
  const std::string utf8 = ValidUtf8(text);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const bool c1 = c == 0xC2 && i + 1 < utf8.size() &&
                    static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(utf8[i + 1]) <= 0x9F;
    if (c < 0x20 || c == 0x7F || c1) {
      const unsigned code = c1 ? static_cast<unsigned char>(utf8[++i]) : c;
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", code);
      out += buf;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

std::unique_ptr<SettingsBackend> OpenCliSettings(const std::string& file) {
#ifdef LUMATRA_HAVE_STORE
  return OpenUserSettings(file);
#else
  (void)file;
  return nullptr;
#endif
}

ConversionSettings LoadCliSettings(const std::string& file) {
  auto store = OpenCliSettings(file);
  return store ? LoadStoredValues(*store) : ConversionSettings{};
}

bool ParseCStep(std::string_view text, std::int32_t& planes) {
  return ParseStep(text, CStepTable, planes);
}

bool ParseGammaStep(std::string_view text, std::int32_t& angles) {
  return ParseStep(text, GammaStepTable, angles);
}

bool ParseSymmetry(std::string_view text, std::int32_t& symm) {
  for (std::size_t i = 0; i < kSymmetryNames.size(); ++i) {
    if (kSymmetryNames[i] == text) {
      symm = static_cast<std::int32_t>(i);
      return true;
    }
  }
  return false;
}

bool ParseLabelLines(std::string_view text, ConversionSettings& settings) {
  const CharSet comma(",");
  std::array<std::uint8_t, 6> fields{};
  if (WordCount(text, comma) != 6 || text.front() == ',' || text.back() == ',' ||
      text.find(",,") != std::string_view::npos)
    return false;
  for (std::size_t i = 0; i < 6; ++i) {
    const std::string word = Trim(ExtractWord(i + 1, text, comma));
    std::size_t code = 0;
    while (code < kLabelFieldNames.size() && kLabelFieldNames[code] != word)
      ++code;
    if (code == kLabelFieldNames.size()) return false;
    fields[i] = static_cast<std::uint8_t>(code);
  }
  for (int i = 1; i <= 6; ++i)
    LabelLineSetting(settings, i) = fields[static_cast<std::size_t>(i - 1)];
  return true;
}

void AddSettingsCommand(CLI::App& app, CliStreams& io) {
  CLI::App* cmd = app.add_subcommand("settings", "show or change the stored conversion settings");
  cmd->require_subcommand(1);
  auto file = std::make_shared<std::string>();
  cmd->add_option("--settings", *file, "settings file to use instead of the per-user store");

  CLI::App* show = cmd->add_subcommand("show", "list every stored value with its section");
  show->fallthrough();  // --settings may follow the subcommand
  show->callback([file, &io] { ShowSettings(*file, io); });

  auto name = std::make_shared<std::string>();
  auto value = std::make_shared<std::string>();
  CLI::App* set = cmd->add_subcommand("set", "change one stored value");
  set->fallthrough();
  set->add_option("NAME", *name, "value name, e.g. DSTDIR, PLANES, EUL1")->required();
  set->add_option("VALUE", *value, "the value as stored: text, integer, 0 or 1")->required();
  set->callback([file, name, value, &io] { SetSetting(*file, *name, *value, io); });
}

}  // namespace lumatra
