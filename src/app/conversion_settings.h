// The user's conversion choices kept from one run of the program to the next: directories, target
// format, the transforms a conversion applies, the mapping of IES LM-63-1986 label lines onto
// EULUMDAT text fields, the replacement text for EULUMDAT line 1, and the file-name patterns of
// IES sources. Each field is named by the value name under which the store keeps it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumatra {

// Codes of LL1 ... LL6: the EULUMDAT text field that receives an IES LM-63-1986 label line.
enum LabelField : std::uint8_t {
  kLabelNotUsed = 0,
  kLabelCompany = 1,    // EULUMDAT line 1
  kLabelReportNo = 2,   // line 8, measurement number
  kLabelLumName = 3,    // line 9
  kLabelLumNumber = 4,  // line 10
  kLabelDateUser = 5,   // line 12
  kLabelLampType = 6,   // line 26b, lamp set 1
};

// Directories are kept whole up to the platform's path limit: a cut path names another folder.
inline constexpr std::size_t kDirectoryMax = 4096;
inline constexpr std::size_t kSettingTextMax = 80;

struct ConversionSettings {
  std::string SRCDIR;  // directory of the source file last picked
  std::string DSTDIR;  // target directory
  bool TURN = false;   // rotate all C planes by 90 degrees
  bool unformat = false;
  bool use360 = false;
  std::uint8_t LL1 = kLabelReportNo;
  std::uint8_t LL2 = kLabelLumNumber;
  std::uint8_t LL3 = kLabelLumName;
  std::uint8_t LL4 = kLabelLampType;
  std::uint8_t LL5 = kLabelNotUsed;
  std::uint8_t LL6 = kLabelNotUsed;
  std::string EUL1 = "Dateiumsetzung mit Lumatra";  // Windows-1252, at most 80 characters
  bool EUV1 = false;  // true: EUL1 replaces every EULUMDAT line 1, false: only an empty one
  // Kept and written back unchanged; nothing reads them.
  std::uint8_t LB1I = 0, LB2I = 0, LB3I = 0, LB4I = 0, LB5I = 0, LB6I = 0;
  std::string LB1S, LB2S, LB3S, LB4S, LB5S, LB6S;
  std::int32_t PLANES = 0;  // index into CStepTable
  std::int32_t ANGLES = 0;  // index into GammaStepTable
  std::int32_t SYMM = 0;    // 0 keep, else EULUMDAT symmetry indicator + 1
  std::int32_t ACTFMT = 2;  // target format code last chosen
  bool CIBS2 = false;       // TM14 output carries the CIBSE TM2 block

  bool operator==(const ConversionSettings&) const = default;
};

// The label-line selector i (1..6): LL1 ... LL6.
std::uint8_t LabelLineSetting(const ConversionSettings& s, int i);
std::uint8_t& LabelLineSetting(ConversionSettings& s, int i);

// File-name patterns offered for IES sources, in order ("*.IES", ...).
using IesExtensionList = std::vector<std::string>;
IesExtensionList DefaultIesExtensions();

// PLANES index to C-plane step in degrees. Index 0 keeps the source's step; an index without an
// entry (the dialog's blank last item, 8) keeps it too. Both give 0.
inline constexpr float CStepTable[] = {0.0f, 2.5f, 5.0f, 15.0f, 22.5f, 30.0f, 45.0f, 90.0f};
// ANGLES index to gamma step in degrees; 0 and indices without an entry keep the step.
inline constexpr float GammaStepTable[] = {0.0f, 1.0f, 2.5f, 5.0f, 10.0f};

float CStepForIndex(std::int32_t planes);
float GammaStepForIndex(std::int32_t angles);

// --- the key table: how each setting is stored ---

enum class SettingType : std::uint8_t {
  kText,     // the text unchanged, cut to max_length on reading
  kInteger,  // decimal; a text that is no valid integer reads as the default
  kByte,     // an integer of which the low 8 bits are kept
  kBoolean,  // "0" / "1"; read as an integer with default 0, true when not zero
};

struct SettingKey {
  std::string_view section;
  std::string_view name;
  SettingType type;
  std::size_t max_length;  // texts only
  bool windows_1252;       // a record text (EUL1, LBnS): Windows-1252 in memory
  std::string (*get)(const ConversionSettings&);
  void (*set)(ConversionSettings&, std::string_view stored);  // applies the reading rules
};

// All 30 stored values in the order they are written: "GLOBAL", "IESEUL", "TM14", "IES86",
// "EULUM", "DESTCOORDS".
std::span<const SettingKey> SettingKeys();
// The entry named `name` (exact case first, then regardless of case); nullptr when none.
const SettingKey* FindSettingKey(std::string_view name);

// Reading rules shared by the store and the command line.
bool ParseStoredInteger(std::string_view text, std::int32_t& value);

}  // namespace lumatra
