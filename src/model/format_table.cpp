#include "model/format_table.h"

#include <algorithm>
#include <string>

#include "formats/cie.h"
#include "formats/eulumdat.h"
#include "formats/ies.h"
#include "formats/l32.h"
#include "formats/ltli.h"
#include "formats/tm14.h"
#include "model/lum32.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

template <bool (*Parse)(TLUM32&, std::string_view)>
bool ParseNoCode(TLUM32& rec, std::string_view bytes, std::uint8_t&) {
  return Parse(rec, bytes);
}

bool ParseEulumdatCode(TLUM32& rec, std::string_view bytes, std::uint8_t& code) {
  code = kFormatEulumdat;
  return ParseEulumdat(rec, bytes);
}

bool ReadPlaceholder(TLUM32& rec, std::string_view, std::uint8_t&) {
  rec.ReadError = "placeholder reader reads nothing";
  return false;
}

// LUM and PDF files (proprietary formats of other programs) have no reader yet: the rows keep
// their place in the dispatch.
bool ReadUnsupported(TLUM32& rec, std::string_view, std::uint8_t&) {
  rec.ReadError = "format not supported";
  return false;
}

void WriteEulumdatCode(TLUM32& rec, std::uint8_t) {
  WriteEulumdat(rec);
}
template <void (*Write)(TLUM32&)>
void WriteNoCode(TLUM32& rec, std::uint8_t) {
  Write(rec);
}
template <std::string (*Text)(TLUM32&)>
std::string TextNoCode(TLUM32& rec, std::uint8_t) {
  return Text(rec);
}

// Row order is the fallback order of Load.
constexpr ReaderEntry kReaders[] = {
    {"ldt", "LDT", true, true, kFormatEulumdat, ParseEulumdatCode},
    {"cie", "LVK", true, true, kFormatCie, ParseNoCode<ParseCie>},
    {"ltli", "", true, true, kFormatLtli, ParseNoCode<ParseLTLI>},
    {"ies", "IES", true, true, kFormatIes86, ParseIes},
    {"tm14", "CIB", true, true, kFormatTm14, ParseNoCode<ParseTm14>},
    {"placeholder", "", true, false, kFormatPlaceholder, ReadPlaceholder},
    {"l32", "L32", true, false, kFormatL32, ParseNoCode<ParseL32>},
    {"lum", "LUM", true, false, kFormatLum, ReadUnsupported},
    {"pdf", "PDF", false, false, kFormatPdf, ReadUnsupported},
};

constexpr WriterEntry kWriters[] = {
    {kFormatLum, "", "", "LUM", nullptr, nullptr},
    {kFormatL32, "l32", ".L32", "native binary L32", WriteNoCode<WriteL32>, TextNoCode<L32Bytes>},
    {kFormatEulumdat, "ldt", ".LDT", "EULUMDAT", WriteEulumdatCode, TextNoCode<EulumdatText>},
    {kFormatEulumdat2, "", ".LDT", "EULUMDAT", WriteEulumdatCode, TextNoCode<EulumdatText>},
    {kFormatTm14, "tm14", ".CIB", "CIBSE TM14", WriteNoCode<WriteTm14File>, TextNoCode<Tm14Text>},
    {kFormatIes86, "ies86", ".IES", "IES LM-63-1986", WriteIesFile, IesText},
    {kFormatIes91, "ies91", ".IES", "IES LM-63-1991", WriteIesFile, IesText},
    {kFormatIes95, "ies95", ".IES", "IES LM-63-1995", WriteIesFile, IesText},
    {kFormatIes02, "ies02", ".IES", "IES LM-63-2002", WriteIesFile, IesText},
    {kFormatLtli, "ltli", ".LTL", "LTLI fixed-column", WriteNoCode<WriteLTLI>,
     TextNoCode<LTLIText>},
    {kFormatIes19, "ies19", ".IES", "IES LM-63-2019", WriteIesFile, IesText},
    {kFormatCie, "cie", ".LVK", "CIE 102", WriteNoCode<WriteCieFile>, TextNoCode<CieText>},
};

}  // namespace

std::span<const ReaderEntry> Readers() {
  return kReaders;
}
std::span<const WriterEntry> Writers() {
  return kWriters;
}

const WriterEntry* FindWriter(std::uint8_t code) {
  for (const auto& w : kWriters)
    if (w.code == code) return &w;
  return nullptr;
}

const WriterEntry* FindWriterByName(std::string_view cli_name) {
  for (const auto& w : kWriters)
    if (!cli_name.empty() && w.cli_name == cli_name) return &w;
  return nullptr;
}

std::string ExtensionKey(std::string_view name) {
  std::string file = JustFilename(name);
  auto dot = file.rfind('.');
  if (dot == std::string::npos) return {};
  std::string ext = file.substr(dot, 4);  // the point and at most three letters
  return UpperCase(ext.substr(1));
}

}  // namespace lumatra
