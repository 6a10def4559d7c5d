// The main window's two format groups as data: the source items with their file patterns, the
// target items with their format codes, what a source click does to the target items, and how a
// stored target code (ACTFMT) restores both groups at start.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

#include "app/conversion_settings.h"

namespace lumatra {

enum SourceItem : int { kSourceEulumdat, kSourceIes, kSourceTm14, kSourceCie };
enum TargetItem : int {
  kTargetEulumdat,
  kTargetIes86,
  kTargetIes91,
  kTargetIes95,
  kTargetTm14,
  kTargetCie
};

inline constexpr std::array<const char*, 4> kSourceItemTexts = {"EULUM-DAT", "IES LM 63", "TM 14",
                                                                "CIE 102 / 1993"};
inline constexpr std::array<const char*, 6> kTargetItemTexts = {
    "EULUM-DAT", "IES LM 63 / 1986", "IES LM 63 / 1991", "IES LM 63 / 1995",
    "TM 14",     "CIE 102 / 1993"};
inline constexpr std::array<std::uint8_t, 6> kTargetCodes = {2, 5, 6, 7, 4, 11};

using TargetsEnabled = std::array<bool, 6>;

// What choosing a source item does: which target items may be chosen, and the source format code.
// The target moves to EULUM-DAT, except for a EULUM-DAT source (which cannot be its own target).
struct SourceRule {
  TargetsEnabled enabled;
  std::uint8_t source_code;
};
const SourceRule& RuleForSource(int source_item);

// The groups as a stored ACTFMT leaves them; nullptr for a value without a row (the groups then
// stay as created).
struct StoredFormatRow {
  std::int32_t actfmt;
  int source_item;
  int target_item;
  TargetsEnabled enabled;
};
const StoredFormatRow* RowForStoredFormat(std::int32_t actfmt);

// The source item of a format code a reader reported; none for formats without an item of their
// own (L32, LTLI, the later IES editions).
std::optional<int> SourceItemForCode(std::uint8_t code);

// The open dialog's Qt filter for a source item ("EULUM-DAT Dateien (*.ldt *.LDT)"). Each pattern
// is offered in lower and upper case too: file systems that tell cases apart would otherwise hide
// "LAMP.LDT" behind "*.ldt".
QString OpenDialogFilter(int source_item, const IesExtensionList& ies_patterns);

// Whether a file name matches the source item's patterns, without regard to case; "*." matches
// names without an extension.
bool MatchesSourcePatterns(const QString& file_name, int source_item,
                           const IesExtensionList& ies_patterns);

}  // namespace lumatra
