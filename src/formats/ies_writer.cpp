// IES LM-63 writer: editions 1986, 1991, 1995, 2002 and 2019, absolute candela with multiplier 1.0
// and dimensions in metres. Value lists are written formatted (fixed columns, lines of about 80
// characters) or unformatted (one list per line).
#include <algorithm>
#include <vector>

#include "formats/ies.h"
#include "formats/textio.h"
#include "formats/writable_table.h"
#include "model/lum32.h"

namespace lumatra {

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::size_t kAngleWidth = 6;
constexpr std::size_t kCandelaWidth = 10;
constexpr std::size_t kLineFull = 74;  // a formatted line this long takes no further value
constexpr std::size_t kLineMax = 256;  // longest line of the 2002 and 2019 editions

// A header text as stored; a line end inside it would break the header apart, so it becomes a
// blank.
void HeaderLine(std::string& out, std::string_view prefix, std::string_view text) {
  out += prefix;
  for (char c : text)
    out += c == '\r' || c == '\n' ? ' ' : c;
  out += kEol;
}

// "   3350 lm,   36 W": the flux of all lamp sets, with its fraction when it has one. For
// absolute photometry this is the flux the candela values are relative to; the reader takes it
// back from here.
std::string FluxAndWatts(const TLUM32& rec) {
  return FormatWholeOrDecimals(rec.TotalLampFlux(), 7) + " lm," +
         LeftPad(FormatInteger(rec.LampSet[0].Wattage), 5) + " W";
}

void Header1986(const TLUM32& rec, std::string& out) {
  HeaderLine(out, "", rec.ReportNo2.str() + "  " + rec.Company.str());
  HeaderLine(out, "", rec.LumNumber.view());
  HeaderLine(out, "", rec.LumName.view());
  HeaderLine(out, "", rec.LampSet[0].LampType.view());
  HeaderLine(out, "", FluxAndWatts(rec));
  if (!TrimView(rec.ReportNo.view()).empty()) HeaderLine(out, "", rec.ReportNo.view());
  if (!TrimView(rec.DataFileName.view()).empty()) HeaderLine(out, "", rec.DataFileName.view());
}

void Header199x(const TLUM32& rec, std::uint8_t code, std::string& out) {
  HeaderLine(out, "", code == kFormatIes91 ? "IESNA91" : "IESNA:LM-63-1995");
  HeaderLine(out, "[TEST] ", rec.ReportNo2.view());
  HeaderLine(out, "[MANUFAC] ", rec.Company.view());
  HeaderLine(out, "[LUMCAT] ", rec.LumNumber.view());
  HeaderLine(out, "[LUMINAIRE] ", rec.LumName.view());
  HeaderLine(out, "[LAMPCAT] ", rec.LampSet[0].LampType.view());
  HeaderLine(out, "[LAMP] ", FluxAndWatts(rec));
  if (!TrimView(rec.ReportNo.view()).empty()) {
    HeaderLine(out, "[OTHER] ", rec.ReportNo.view());
    if (!TrimView(rec.DataFileName.view()).empty())
      HeaderLine(out, "[MORE] ", rec.DataFileName.view());
  }
  if (rec.UnformattedOutput)
    HeaderLine(out, "", "[CONVERSION] UNFORMATTED !  maybe not compliant with LM63");
}

// A keyword line of at most 256 characters: a longer text goes on in [MORE] lines, broken at a
// blank, which the reader puts back when it joins them.
void KeywordLine(std::string& out, std::string_view line) {
  std::string rest;
  for (char c : line)
    rest += c == '\r' || c == '\n' ? ' ' : c;
  while (rest.size() > kLineMax) {
    const std::size_t blank = rest.rfind(' ', kLineMax);
    const bool at_blank = blank != std::string::npos && blank > rest.find(']') + 1;
    const std::size_t cut = at_blank ? blank : kLineMax;  // a word longer than a line is cut
    out += std::string_view(rest).substr(0, cut);
    out += kEol;
    rest = "[MORE] " + rest.substr(at_blank ? cut + 1 : cut);
  }
  out += rest;
  out += kEol;
}

// 2002 and 2019: the record's fields as keywords, then every keyword of the source that no field
// took. A field still holding what a source keyword gave is written as the source wrote it (its
// [MORE] lines and the text beyond the field's length included); a field changed since then
// replaces that keyword.
void HeaderKeywords(const TLUM32& rec, std::uint8_t code, std::string& out) {
  KeywordLine(out, code == kFormatIes19 ? "IES:LM-63-2019" : "IESNA:LM-63-2002");
  const std::vector<IesKeyword> source =
      rec.LabelLines ? IesKeywords(*rec.LabelLines) : std::vector<IesKeyword>{};
  enum class State { kPending, kWritten, kReplaced };
  std::vector<State> state(source.size(), State::kPending);
  auto write_source = [&](std::size_t k) {
    for (const std::string& line : source[k].lines)
      KeywordLine(out, line);
    state[k] = State::kWritten;
  };
  // The first pending source keyword of the field's names (in their order, as the reader takes
  // them) that gave the field its text: all of it, or the keyword line alone as the 1991/1995
  // editions read it. With `any`, or for a keyword without a field, the first of them.
  auto find_source = [&](const IesKeywordField& field, bool any) {
    for (std::string_view name : field.names) {
      for (std::size_t k = 0; k < source.size(); ++k) {
        if (state[k] != State::kPending || name.empty() || source[k].name != name) continue;
        if (any || !field.get) return k;
        const std::string_view value = field.get(rec);
        auto gave = [&](const std::string& text) {
          return std::string_view(text).substr(0, field.capacity) == value;
        };
        if (gave(source[k].text) || gave(source[k].first)) return k;
      }
    }
    return source.size();
  };
  auto keeps_a_lamp_line = [&] {
    for (std::size_t k = 0; k < source.size(); ++k)
      if (source[k].name == "[LAMP]" && state[k] != State::kReplaced) return true;
    return false;
  };

  for (const IesKeywordField& field : IesKeywordFields()) {
    // An empty field took nothing from the source (a 1986 reading, a keyword the 1991/1995 rules
    // do not see): the source's keyword is written then.
    const bool set = field.from_record && !TrimView(field.get(rec)).empty();
    std::size_t k = find_source(field, false);
    if (k == source.size() && (field.source_first || !set)) k = find_source(field, true);
    if (k < source.size()) {
      write_source(k);
    } else if (set) {
      if (const std::size_t old = find_source(field, true); old < source.size())
        state[old] = State::kReplaced;
      KeywordLine(out, std::string(field.names[0]) + ' ' + std::string(field.get(rec)));
    } else if (field.required) {
      KeywordLine(out, field.names[0]);
    }
    // The lamp flux and watts as the 1995 header gives them, unless the source has a [LAMP].
    if (field.names[1] == "[LAMP]" && !keeps_a_lamp_line())
      KeywordLine(out, "[LAMP] " + FluxAndWatts(rec));
  }
  for (std::size_t k = 0; k < source.size(); ++k)
    if (state[k] == State::kPending) write_source(k);
  if (rec.IesTiltDropped) KeywordLine(out, "[OTHER] TILT data of the source not kept");
}

// The second value of the 2019 edition's ballast line: the file generation type, 1.00001
// (undefined) when the record has none.
std::string GenerationType(const TLUM32& rec) {
  const std::uint32_t type = rec.IesGenerationType != 0 ? rec.IesGenerationType : 100001;
  const std::string fraction = FormatInteger(type % 100000);
  return FormatInteger(type / 100000) + '.' + std::string(5 - fraction.size(), '0') + fraction;
}

// Writes the values of one list as lines straight into the text.
class ListWriter {
 public:
  // `line_max`: the longest unformatted line (0: no limit).
  ListWriter(std::string& out, bool unformatted, std::size_t width, std::size_t line_max)
      : out_(out),
        unformatted_(unformatted),
        width_(width),
        line_max_(line_max),
        line_start_(out.size()) {}

  void AddValue(long double value, long double near_zero) {
    KeptText room;
    const std::string_view text = FormatKept(value, near_zero, room);
    AddText(text, text);
  }
  void AddAngle(float angle) { AddText(FormatAngle(angle)); }
  // The added 360-degree plane is written as fixed text.
  void Add360() { AddText(" 360.0", "  360.0"); }

  void End() {
    NewLine();
    first_ = true;
  }

 private:
  void AddText(const std::string& text) { AddText(text, text); }
  void AddText(std::string_view formatted, std::string_view unformatted) {
    const std::size_t line_length = out_.size() - line_start_;
    if (unformatted_) {
      if (!first_ && line_max_ != 0 && line_length + 1 + unformatted.size() > line_max_) {
        NewLine();
      } else if (!first_) {
        out_ += ' ';
      }
      out_ += unformatted;
    } else {
      if (line_length >= kLineFull) NewLine();
      // A value wider than its field would run into the one before it and be read as one word
      // with it; such a value gets a separating blank.
      std::size_t blanks = 0;
      if (formatted.size() < width_) {
        blanks = width_ - formatted.size();
      } else if (out_.size() != line_start_ && formatted.front() != ' ') {
        blanks = 1;
      }
      AppendField(blanks, formatted);
    }
    first_ = false;
  }
  // The blanks and the text in one append. The text is copied byte by byte: it was just written
  // that way, and a wider read of it would wait for those stores to complete.
  void AppendField(std::size_t blanks, std::string_view text) {
    const std::size_t at = out_.size() + blanks;
    out_.append(blanks + text.size(), ' ');
    char* to = out_.data() + at;
    for (std::size_t k = 0; k < text.size(); ++k)
      to[k] = text[k];
  }
  void NewLine() {
    out_ += kEol;
    line_start_ = out_.size();
  }

  std::string& out_;
  bool unformatted_;
  std::size_t width_;
  std::size_t line_max_;
  std::size_t line_start_;  // where the line being filled starts in `out_`
  bool first_ = true;
};

// The record as IES lists. A C-gamma record writes its gamma angles as the vertical and its C
// planes as the horizontal angles. B and A records hold the IES vertical angles as rows (the
// reader's layout), so they are written back that way and keep their grid.
struct IesGrid {
  const TLUM32& rec;
  bool transposed;
  std::size_t vertical_count;
  std::size_t horizontal_count;  // stored planes (without an added 360-degree plane)

  // The counts never run past the table, so an inconsistent record cannot inflate the output.
  explicit IesGrid(const TLUM32& r)
      : rec(r),
        transposed(r.PhotSystem != kSystemC),
        vertical_count(
            Within(transposed ? r.NumPlanes : r.NumGammas, transposed ? Rows(r) : Cols(r))),
        horizontal_count(
            Within(transposed ? r.NumGammas : r.NumPlanes, transposed ? Cols(r) : Rows(r))) {}

  static std::size_t Rows(const TLUM32& r) { return r.Matrix ? r.Matrix->Rows() - 1 : 0; }
  static std::size_t Cols(const TLUM32& r) { return r.Matrix ? r.Matrix->Columns() - 1 : 0; }
  static std::size_t Within(std::size_t count, std::size_t extent) {
    return count < extent ? count : extent;
  }

  float Vertical(std::size_t v) const { return transposed ? rec.GetCAngle(v) : rec.GetGamma(v); }
  float Horizontal(std::size_t h) const { return transposed ? rec.GetGamma(h) : rec.GetCAngle(h); }
  float Value(std::size_t h, std::size_t v) const {
    return transposed ? rec.GetIntensity(v, h) : rec.GetIntensity(h, v);
  }
};

}  // namespace

std::string IesText(TLUM32& rec, std::uint8_t code) {
  CheckWritableTable(rec, "ies");
  std::string out;
  if (IsKeywordEdition(code)) {
    HeaderKeywords(rec, code, out);
  } else if (code == kFormatIes91 || code == kFormatIes95) {
    Header199x(rec, code, out);
  } else {
    Header1986(rec, out);
  }
  out += "TILT=NONE";
  out += kEol;

  // A record without lamp data is written as one lamp of 1000 lm (and keeps that).
  if (rec.TotalLampFlux() == 0) rec.LampSet[0].TotalFlux = 1000;
  if (rec.TotalLampCount() == 0) rec.SetLampCount(0, 1);
  // Every lamp set together: the candela values are relative to all of them. Absolute
  // photometry is written as such, lumens per lamp -1 and the candela as measured.
  const std::uint64_t lamps = rec.TotalLampCount();
  const long double lamp_flux = rec.TotalLampFlux();
  const std::string lumens =
      rec.AbsolutePhotometry
          ? FormatPadded(-1, 7, 0)
          : FormatWholeOrDecimals(lamp_flux / static_cast<long double>(lamps), 7);

  const IesGrid grid(rec);
  // The C0 plane repeated as C360 for programs that expect the closed circle (full-circle C
  // data only; a B or A grid has no such plane).
  const bool add360 = (code == kFormatIes95 || IsKeywordEdition(code)) && rec.DuplicateC0AsC360 &&
                      rec.Symmetry == 0 && rec.PhotSystem == kSystemC;
  const std::size_t nh = grid.horizontal_count + (add360 ? 1 : 0);
  out.reserve(out.size() + 160 + (grid.vertical_count + 2) * (nh + 1) * (kCandelaWidth + 1));

  // Ten-value record: lamps, lumens per lamp, multiplier, counts, type, units (metres), size.
  out += FormatInteger(static_cast<std::int64_t>(lamps)) + ' ' + lumens + " 1.0 " +
         FormatInteger(static_cast<std::int64_t>(grid.vertical_count)) + ' ' +
         FormatInteger(static_cast<std::int64_t>(nh)) + ' ' + FormatInteger(rec.PhotSystem + 1) +
         " 2 ";
  auto metres = [](long double mm) { return FormatPadded(mm / 1000.0L, 5, 3); };
  const AreaDims& area = rec.AreaDim;
  if (area.Diameter != 0) {
    out += metres(-static_cast<long double>(area.Diameter)) + " 0.000 " + metres(area.HeightC0);
  } else {
    out += metres(area.Length) + ' ' + metres(area.Width) + ' ' + metres(area.HeightC0);
  }
  out += kEol;
  // Ballast factor, ballast-lamp photometric factor (2002: reserved, 1; 2019: the file
  // generation type), input watts.
  out += "1.0 " + (code == kFormatIes19 ? GenerationType(rec) : std::string("1.0")) + ' ' +
         FormatInteger(rec.LampSet[0].Wattage);
  out += kEol;

  const bool unformatted = rec.UnformattedOutput != 0;
  const std::size_t line_max = IsKeywordEdition(code) ? kLineMax : 0;
  ListWriter angles(out, unformatted, kAngleWidth, line_max);
  for (std::size_t v = 1; v <= grid.vertical_count; ++v)
    angles.AddAngle(grid.Vertical(v));
  angles.End();
  for (std::size_t h = 1; h <= nh; ++h) {
    if (h > grid.horizontal_count) {
      angles.Add360();
    } else {
      angles.AddAngle(grid.Horizontal(h));
    }
  }
  angles.End();

  const long double to_candela = lamp_flux / 1000.0L;
  const long double near_zero = NearZeroOf(rec, to_candela);
  ListWriter candela(out, unformatted, kCandelaWidth, line_max);
  for (std::size_t h = 1; h <= nh; ++h) {
    const std::size_t plane = h > grid.horizontal_count ? 1 : h;
    for (std::size_t v = 1; v <= grid.vertical_count; ++v)
      candela.AddValue(grid.Value(plane, v) * to_candela, near_zero);
    candela.End();
  }
  return out;
}

}  // namespace lumatra
