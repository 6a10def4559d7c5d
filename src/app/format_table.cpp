#include "app/format_table.h"

#include <algorithm>
#include <array>
#include <string>

#include "formats/cie.h"
#include "formats/eulumdat.h"
#include "formats/ies.h"
#include "formats/l32.h"
#include "formats/ltli.h"
#include "formats/tm14.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/interpolation.h"
#include "photometry/transforms.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

// Every reader leaves the table unbound: the interpolation routines are chosen here, once the
// grid is known.
template <bool (*Parse)(TLUM32&, std::string_view, Findings*)>
bool Read(TLUM32& rec, std::string_view bytes, std::uint8_t&, Findings* findings) {
  if (!Parse(rec, bytes, findings)) return false;
  SetupSymmetry(rec, rec.Symmetry);
  return true;
}

bool ReadIes(TLUM32& rec, std::string_view bytes, std::uint8_t& code, Findings* findings) {
  if (!ParseIes(rec, bytes, code, findings)) return false;
  SetupSymmetry(rec, rec.Symmetry);
  return true;
}

// An LTLI file may put its C0 plane elsewhere: the table is turned into ours, which evaluates it
// too. An unturned one is evaluated here as well, so both come out alike.
bool ReadLtli(TLUM32& rec, std::string_view bytes, std::uint8_t&, Findings* findings) {
  float turn = 0;
  if (!ParseLTLI(rec, bytes, turn, findings)) return false;
  SetupSymmetry(rec, rec.Symmetry);
  if (turn == 0) {
    CalcFlux(rec);
    rec.FindPeak();
  } else {
    rec.Loaded = 1;  // the rotation works on loaded records only; the table is complete here
    RotateGrid(rec, turn, 0, 0);
  }
  return true;
}

template <std::string (*Text)(TLUM32&)>
std::string Write(TLUM32& rec, std::uint8_t) {
  return Text(rec);
}

// The projected-area line depends on the light direction, which the flux evaluation finds.
std::string WriteTm14(TLUM32& rec, std::uint8_t) {
  if (!rec.FluxCalcDone) CalcFlux(rec);
  return Tm14Text(rec);
}

constexpr std::uint8_t kEulumdatNeeds = kNeedsLabelLines | kNeedsCPlanes | kNeedsCompanyLine;

// One row per code, in code order. LUM and PDF files (proprietary formats of other programs) and
// the placeholder code have neither reader nor writer yet; their rows keep the keys and names.
// The second EULUMDAT code is written like the first but gets none of its pipeline steps.
constexpr FormatRow kFormats[] = {
    {kFormatLum, "lum", "", "LUM", 0, false, "", "LUM", nullptr, nullptr, 0},
    {kFormatL32, "l32", "l32", "L32", 7, false, ".L32", "native binary L32", Read<ParseL32>,
     Write<L32Bytes>, 0},
    {kFormatEulumdat, "ldt", "ldt", "LDT", 1, true, ".LDT", "EULUMDAT", Read<ParseEulumdat>,
     Write<EulumdatText>, kEulumdatNeeds},
    {kFormatEulumdat2, "ldt", "", "", 0, false, ".LDT", "EULUMDAT", nullptr, Write<EulumdatText>,
     0},
    {kFormatTm14, "tm14", "tm14", "CIB", 5, true, ".CIB", "CIBSE TM14", Read<ParseTm14>, WriteTm14,
     kNeedsLabelLines},
    {kFormatIes86, "ies", "ies86", "IES", 4, true, ".IES", "IES LM-63-1986", ReadIes, IesText,
     kNeedsGammaTo90Or180},
    {kFormatIes91, "ies", "ies91", "", 0, false, ".IES", "IES LM-63-1991", nullptr, IesText,
     kNeedsGammaTo90Or180},
    {kFormatIes95, "ies", "ies95", "", 0, false, ".IES", "IES LM-63-1995", nullptr, IesText,
     kNeedsGammaTo90Or180},
    {kFormatIes02, "ies", "ies02", "", 0, false, ".IES", "IES LM-63-2002", nullptr, IesText,
     kNeedsGammaTo90Or180},
    {kFormatLtli, "ltli", "ltli", "", 3, true, ".LTL", "LTLI fixed-column", ReadLtli,
     Write<LTLIText>, 0},
    {kFormatIes19, "ies", "ies19", "", 0, false, ".IES", "IES LM-63-2019", nullptr, IesText,
     kNeedsGammaTo90Or180},
    {kFormatCie, "cie", "cie", "LVK", 2, true, ".LVK", "CIE 102", Read<ParseCie>, Write<CieText>,
     0},
    {kFormatPlaceholder, "placeholder", "", "", 0, false, "", "placeholder", nullptr, nullptr, 0},
    {kFormatPdf, "pdf", "", "PDF", 0, false, "", "PDF", nullptr, nullptr, 0},
};

}  // namespace

std::span<const FormatRow> Formats() {
  return kFormats;
}

const FormatRow* FindFormat(std::uint8_t code) {
  for (const FormatRow& row : kFormats)
    if (row.code == code) return &row;
  return nullptr;
}

const FormatRow* FindWriter(std::int64_t code) {
  if (code < 0 || code > 255) return nullptr;
  const FormatRow* row = FindFormat(static_cast<std::uint8_t>(code));
  return row && row->write ? row : nullptr;
}

const FormatRow* FindWriterByName(std::string_view cli_name) {
  for (const FormatRow& row : kFormats)
    if (!cli_name.empty() && row.cli_name == cli_name && row.write) return &row;
  return nullptr;
}

std::span<const FormatRow* const> FallbackChain() {
  static const auto chain = [] {
    std::array<const FormatRow*, std::size(kFormats)> rows{};
    std::size_t n = 0;
    for (const FormatRow& row : kFormats)
      if (row.fallback_rank != 0 && row.read) rows[n++] = &row;
    std::sort(rows.begin(), rows.begin() + n, [](const FormatRow* a, const FormatRow* b) {
      return a->fallback_rank < b->fallback_rank;
    });
    return std::pair{rows, n};
  }();
  return std::span<const FormatRow* const>(chain.first.data(), chain.second);
}

std::string ExtensionKey(std::string_view name) {
  std::string file = JustFilename(name);
  auto dot = file.rfind('.');
  if (dot == std::string::npos) return {};
  std::string ext = file.substr(dot, 4);  // the point and at most three letters
  return UpperCase(ext.substr(1));
}

}  // namespace lumatra
