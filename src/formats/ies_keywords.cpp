// The keyword editions of IES and their header: the keyword lines grouped by keyword (a keyword
// and the [MORE] lines after it are one text) and the record fields the keywords fill.
#include "formats/ies.h"
#include "formats/textio.h"
#include "model/lum32.h"

namespace lumatra {

namespace {

// "[LUMCAT]" of "[lumcat] ABC 12" (the text then begins after it); "" for other lines.
std::string_view KeywordOf(std::string_view line) {
  if (line.empty() || line.front() != '[') return {};
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return {};
  return line.substr(0, close + 1);
}

// [ISSUEDATE] is the date the photometric report was issued: the conversion date that the batch
// driver puts into DateUser must not replace it. [DATE] (the 1991/1995 keyword) is written back
// only as the source had it: other formats keep a file name in DataFileName.
constexpr IesKeywordField kFields[] = {
    {{"[TEST]", ""},
     [](const TLUM32& r) { return r.ReportNo.view(); },
     [](TLUM32& r, std::string_view t) { r.ReportNo = t; },
     40,
     true,
     false,
     true},
    {{"[TESTLAB]", ""}, nullptr, nullptr, 0, true, false, false},
    {{"[ISSUEDATE]", ""},
     [](const TLUM32& r) { return r.DateUser.view(); },
     [](TLUM32& r, std::string_view t) { r.DateUser = t; },
     40,
     true,
     true,
     true},
    {{"[MANUFAC]", ""},
     [](const TLUM32& r) { return r.Company.view(); },
     [](TLUM32& r, std::string_view t) { r.Company = t; },
     80,
     true,
     false,
     true},
    {{"[LUMCAT]", ""},
     [](const TLUM32& r) { return r.LumNumber.view(); },
     [](TLUM32& r, std::string_view t) { r.LumNumber = t; },
     80,
     false,
     false,
     true},
    {{"[LUMINAIRE]", ""},
     [](const TLUM32& r) { return r.LumName.view(); },
     [](TLUM32& r, std::string_view t) { r.LumName = t; },
     80,
     false,
     false,
     true},
    {{"[LAMPCAT]", "[LAMP]"},
     [](const TLUM32& r) { return r.LampSet[0].LampType.view(); },
     [](TLUM32& r, std::string_view t) { r.LampSet[0].LampType = t; },
     40,
     false,
     false,
     true},
    {{"[_TEMPCOLOR]", "[COLORTEMP]"},
     [](const TLUM32& r) { return r.LampSet[0].ColourAppearance.view(); },
     [](TLUM32& r, std::string_view t) { r.LampSet[0].ColourAppearance = t; },
     16,
     false,
     false,
     true},
    {{"[_CRI]", ""},
     [](const TLUM32& r) { return r.LampSet[0].ColourRendering.view(); },
     [](TLUM32& r, std::string_view t) { r.LampSet[0].ColourRendering = t; },
     6,
     false,
     false,
     true},
    {{"[DATE]", ""},
     [](const TLUM32& r) { return r.DataFileName.view(); },
     [](TLUM32& r, std::string_view t) { r.DataFileName = t; },
     40,
     false,
     false,
     false},
};

}  // namespace

bool IsKeywordEdition(std::uint8_t code) {
  return code == kFormatIes02 || code == kFormatIes19;
}

std::span<const IesKeywordField> IesKeywordFields() {
  return kFields;
}

std::vector<IesKeyword> IesKeywords(const std::vector<std::string>& lines) {
  std::vector<IesKeyword> keywords;
  for (const std::string& line : lines) {
    const std::string_view keyword = KeywordOf(line);
    if (keyword.empty()) continue;
    const std::string name = UpperCase(keyword);
    const std::string text = Trim(std::string_view(line).substr(keyword.size()));
    if (name == "[MORE]" && !keywords.empty()) {
      IesKeyword& current = keywords.back();
      current.lines.push_back(line);
      if (!current.text.empty() && !text.empty()) current.text += ' ';
      current.text += text;
      continue;
    }
    keywords.push_back({name, {line}, text, text});
  }
  return keywords;
}

}  // namespace lumatra
