#include "app/conversion_settings.h"

#include <charconv>
#include <iterator>

#include "support/text_fields.h"

namespace lumatra {

namespace {

using CS = ConversionSettings;

// Accessors generated per field, so the key table below is plain data.
template <std::string CS::*F>
std::string GetText(const CS& s) {
  return s.*F;
}
template <std::string CS::*F, std::size_t Max>
void SetText(CS& s, std::string_view stored) {
  s.*F = std::string(stored.substr(0, Max));
}

template <std::int32_t CS::*F>
std::string GetInteger(const CS& s) {
  return std::to_string(s.*F);
}
template <std::int32_t CS::*F>
void SetInteger(CS& s, std::string_view stored) {
  std::int32_t v = 0;
  s.*F = ParseStoredInteger(stored, v) ? v : CS{}.*F;
}

template <std::uint8_t CS::*F>
std::string GetByte(const CS& s) {
  return std::to_string(s.*F);
}
template <std::uint8_t CS::*F>
void SetByte(CS& s, std::string_view stored) {
  std::int32_t v = 0;
  s.*F = ParseStoredInteger(stored, v) ? static_cast<std::uint8_t>(v & 0xFF) : CS{}.*F;
}

template <bool CS::*F>
std::string GetBool(const CS& s) {
  return s.*F ? "1" : "0";
}
template <bool CS::*F>
void SetBool(CS& s, std::string_view stored) {
  std::int32_t v = 0;
  s.*F = ParseStoredInteger(stored, v) && v != 0;
}

// Directories are file-system paths (bytes as the system has them); the 80-character texts end
// up in records and so are Windows-1252.
template <std::string CS::*F>
constexpr SettingKey Directory(std::string_view section, std::string_view name) {
  return {section, name,        SettingType::kText,        kDirectoryMax,
          false,   &GetText<F>, &SetText<F, kDirectoryMax>};
}
template <std::string CS::*F>
constexpr SettingKey Text(std::string_view section, std::string_view name) {
  return {section, name,        SettingType::kText,          kSettingTextMax,
          true,    &GetText<F>, &SetText<F, kSettingTextMax>};
}
template <std::int32_t CS::*F>
constexpr SettingKey Integer(std::string_view section, std::string_view name) {
  return {section, name, SettingType::kInteger, 0, false, &GetInteger<F>, &SetInteger<F>};
}
template <std::uint8_t CS::*F>
constexpr SettingKey Byte(std::string_view section, std::string_view name) {
  return {section, name, SettingType::kByte, 0, false, &GetByte<F>, &SetByte<F>};
}
template <bool CS::*F>
constexpr SettingKey Boolean(std::string_view section, std::string_view name) {
  return {section, name, SettingType::kBoolean, 0, false, &GetBool<F>, &SetBool<F>};
}

const SettingKey kKeys[] = {
    Directory<&CS::SRCDIR>("GLOBAL", "SRCDIR"),
    Directory<&CS::DSTDIR>("GLOBAL", "DSTDIR"),
    Integer<&CS::ACTFMT>("GLOBAL", "ACTFMT"),
    Boolean<&CS::TURN>("IESEUL", "TURN"),
    Boolean<&CS::unformat>("IESEUL", "unformat"),
    Boolean<&CS::use360>("IESEUL", "use360"),
    Boolean<&CS::CIBS2>("TM14", "CIBS2"),
    Byte<&CS::LL1>("IES86", "LL1"),
    Byte<&CS::LL2>("IES86", "LL2"),
    Byte<&CS::LL3>("IES86", "LL3"),
    Byte<&CS::LL4>("IES86", "LL4"),
    Byte<&CS::LL5>("IES86", "LL5"),
    Byte<&CS::LL6>("IES86", "LL6"),
    Text<&CS::EUL1>("IES86", "EUL1"),
    Boolean<&CS::EUV1>("IES86", "EUV1"),
    Byte<&CS::LB1I>("EULUM", "LB1I"),
    Text<&CS::LB1S>("EULUM", "LB1S"),
    Byte<&CS::LB2I>("EULUM", "LB2I"),
    Text<&CS::LB2S>("EULUM", "LB2S"),
    Byte<&CS::LB3I>("EULUM", "LB3I"),
    Text<&CS::LB3S>("EULUM", "LB3S"),
    Byte<&CS::LB4I>("EULUM", "LB4I"),
    Text<&CS::LB4S>("EULUM", "LB4S"),
    Byte<&CS::LB5I>("EULUM", "LB5I"),
    Text<&CS::LB5S>("EULUM", "LB5S"),
    Byte<&CS::LB6I>("EULUM", "LB6I"),
    Text<&CS::LB6S>("EULUM", "LB6S"),
    Integer<&CS::PLANES>("DESTCOORDS", "PLANES"),
    Integer<&CS::ANGLES>("DESTCOORDS", "ANGLES"),
    Integer<&CS::SYMM>("DESTCOORDS", "SYMM"),
};
static_assert(std::size(kKeys) == 30);

template <std::size_t N>
float StepFor(const float (&table)[N], std::int32_t index) {
  return index > 0 && static_cast<std::size_t>(index) < N ? table[index] : 0.0f;
}

}  // namespace

std::uint8_t LabelLineSetting(const ConversionSettings& s, int i) {
  return LabelLineSetting(const_cast<ConversionSettings&>(s), i);
}

std::uint8_t& LabelLineSetting(ConversionSettings& s, int i) {
  switch (i) {
    case 1:
      return s.LL1;
    case 2:
      return s.LL2;
    case 3:
      return s.LL3;
    case 4:
      return s.LL4;
    case 5:
      return s.LL5;
    default:
      return s.LL6;
  }
}

IesExtensionList DefaultIesExtensions() {
  return {"*.IES", "*.PHT", "*."};
}

float CStepForIndex(std::int32_t planes) {
  return StepFor(CStepTable, planes);
}

float GammaStepForIndex(std::int32_t angles) {
  return StepFor(GammaStepTable, angles);
}

std::span<const SettingKey> SettingKeys() {
  return kKeys;
}

const SettingKey* FindSettingKey(std::string_view name) {
  for (const SettingKey& key : kKeys)
    if (key.name == name) return &key;
  const std::string upper = UpperCase(name);
  for (const SettingKey& key : kKeys)
    if (UpperCase(key.name) == upper) return &key;
  return nullptr;
}

bool ParseStoredInteger(std::string_view text, std::int32_t& value) {
  text = TrimView(text);
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  if (text.empty()) return false;
  std::int32_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  value = v;
  return true;
}

}  // namespace lumatra
