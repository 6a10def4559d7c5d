#include "gui/format_groups.h"

#include <QFile>
#include <QRegularExpression>

namespace lumatra {

namespace {

constexpr std::array<SourceRule, 4> kSourceRules = {{
    {{false, true, true, true, true, true}, 2},    // EULUM-DAT
    {{true, false, false, false, true, true}, 5},  // IES LM 63
    {{true, true, true, true, false, true}, 4},    // TM 14
    {{true, true, true, true, true, false}, 11},   // CIE 102 / 1993
}};

constexpr std::array<StoredFormatRow, 6> kStoredFormatRows = {{
    {2, kSourceIes, kTargetEulumdat, {true, false, false, false, true, true}},
    {4, kSourceTm14, kTargetTm14, {true, true, true, true, false, true}},
    {5, kSourceEulumdat, kTargetIes86, {false, true, true, true, true, true}},
    {6, kSourceEulumdat, kTargetIes91, {false, true, true, true, true, true}},
    {7, kSourceEulumdat, kTargetIes95, {false, true, true, true, true, true}},
    {11, kSourceCie, kTargetCie, {true, true, true, true, true, false}},
}};

// The patterns of a source item, as the user wrote them (blank entries left out).
QStringList SourcePatterns(int source_item, const IesExtensionList& ies_patterns) {
  switch (source_item) {
    case kSourceEulumdat:
      return {"*.ldt"};
    case kSourceTm14:
      return {"*.cib"};
    case kSourceCie:
      return {"*.*"};
    default:
      break;
  }
  QStringList patterns;
  for (const std::string& entry : ies_patterns) {
    const QString pattern = QFile::decodeName(QByteArray::fromStdString(entry)).trimmed();
    if (!pattern.isEmpty()) patterns << pattern;
  }
  if (patterns.isEmpty()) patterns << "*.ies";
  return patterns;
}

}  // namespace

const SourceRule& RuleForSource(int source_item) {
  return kSourceRules.at(static_cast<std::size_t>(source_item));
}

const StoredFormatRow* RowForStoredFormat(std::int32_t actfmt) {
  for (const StoredFormatRow& row : kStoredFormatRows)
    if (row.actfmt == actfmt) return &row;
  return nullptr;
}

std::optional<int> SourceItemForCode(std::uint8_t code) {
  switch (code) {
    case 2:
    case 3:
      return kSourceEulumdat;
    case 5:
    case 6:
    case 7:
      return kSourceIes;
    case 4:
      return kSourceTm14;
    case 11:
      return kSourceCie;
    default:
      return std::nullopt;
  }
}

QString OpenDialogFilter(int source_item, const IesExtensionList& ies_patterns) {
  static const std::array<const char*, 4> kDescriptions = {"EULUM-DAT Dateien", "IES LM63 Dateien",
                                                           "TM14-Dateien", "CIE-Dateien"};
  QStringList offered;
  for (const QString& pattern : SourcePatterns(source_item, ies_patterns))
    for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()})
      if (!offered.contains(variant)) offered << variant;
  return QString::fromUtf8(kDescriptions.at(static_cast<std::size_t>(source_item))) + " (" +
         offered.join(' ') + ")";
}

bool MatchesSourcePatterns(const QString& file_name, int source_item,
                           const IesExtensionList& ies_patterns) {
  const QString name = file_name.contains('.') ? file_name : file_name + '.';
  for (const QString& pattern : SourcePatterns(source_item, ies_patterns)) {
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                QRegularExpression::CaseInsensitiveOption);
    if (re.match(name).hasMatch()) return true;
  }
  return false;
}

}  // namespace lumatra
