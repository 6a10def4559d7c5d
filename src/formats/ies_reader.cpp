// IES LM-63 reader. Photometric type C lands in the record as C planes (rows) over gamma angles
// (columns); types B and A are held the other way round, vertical angles as rows, so that the
// rows are the B (or A) planes of the record's B-beta convention. Intensities are stored in cd/klm.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "formats/grid_rules.h"
#include "formats/ies.h"
#include "formats/textio.h"
#include "formats/value_lists.h"
#include "model/lum32.h"
#include "support/findings.h"
#include "support/rounding.h"

namespace lumatra {

namespace {

constexpr std::size_t kKeywordLineMax = 4096;

// The lamp flux of a text that begins with it ("3350 lm, 36 W"), or 0.
long double LampFluxOf(std::string_view text) {
  double flux = 0.0;
  if (UpperCase(ExtractWordView(2, text, ValueDelimiters)) == "LM" &&
      ParseNumber(ExtractWordView(1, text, ValueDelimiters), flux) && flux > 0 && flux < 1e30)
    return flux;
  return 0;
}

// The lamp flux the candela of an absolute-photometry file are kept relative to: the one its
// [LAMP] line gives, or the 1986 edition's label line, as this program writes them; else 1000 lm.
// `lamp_text` is the text of the [LAMP] keyword of a 2002 or 2019 file, whose lamp type field may
// come from [LAMPCAT].
long double AbsoluteLampFlux(const TLUM32& rec, std::string_view lamp_text) {
  if (long double flux = LampFluxOf(rec.LampSet[0].LampType.view()); flux > 0) return flux;
  if (long double flux = LampFluxOf(lamp_text); flux > 0) return flux;
  if (rec.LabelLines)
    for (const std::string& line : *rec.LabelLines)
      if (long double flux = LampFluxOf(line); flux > 0) return flux;
  return 1000.0L;
}

// The edition of a first line. The keyword editions from 2002 on also come in lower case or with
// blanks after the colon; 1991 and 1995 are recognised exactly as written.
std::uint8_t EditionOf(std::string_view first) {
  if (first == "IESNA91") return kFormatIes91;
  if (first == "IESNA:LM-63-1995") return kFormatIes95;
  std::string key = UpperCase(first);
  if (const std::size_t colon = key.find(':'); colon != std::string::npos)
    key = key.substr(0, colon + 1) + Trim(std::string_view(key).substr(colon + 1));
  if (key == "IESNA:LM-63-2002") return kFormatIes02;
  if (key == "IES:LM-63-2019") return kFormatIes19;
  return kFormatIes86;  // anything else is a label line
}

// The file generation type of a 2019 file in units of 0.00001 (1.00001 undefined ... 1.11111);
// 0 for a value that is none.
std::uint32_t GenerationTypeOf(std::string_view word) {
  double value = 0;
  if (!ParseNumber(word, value) || !(value >= 1.0 && value < 1.2)) return 0;
  return static_cast<std::uint32_t>(RoundHalfEven(value * 100000.0L));
}

// Reads one line and joins the following ones until the text holds `words` words (the ten-value
// and three-value records may be spread over lines). False when the file ends first.
bool ReadRecordLine(LineReader& in, std::size_t words, std::string& line) {
  std::string_view next;
  if (!in.Next(next)) return false;
  line.assign(next);
  while (WordCount(line, ValueDelimiters) < words) {
    if (!in.Next(next)) return false;
    line = ShortText(line);
    line += ' ';
    line.append(next);
  }
  line = ShortText(line);  // the values are taken from the first 255 characters
  return true;
}

class IesReader {
 public:
  IesReader(TLUM32& rec, std::string_view text, Findings* findings)
      : rec_(rec), text_(text), in_(text), values_(in_), findings_(findings) {}

  bool Read(std::uint8_t& code) {
    code = kFormatLoadFailed;
    // A reader tried earlier in the fallback chain may have left fields behind; the symmetry,
    // photometric type and dimension rules below rely on a cleared record.
    const std::string name = rec_.FileName;
    rec_.Clear();
    rec_.SetFileName(name);
    std::size_t tilt_line = 0;
    if (!FindTiltLine(edition_, tilt_line)) return Fail("ies: no TILT line");
    if (edition_ == kFormatIes91 || edition_ == kFormatIes95) ReadKeywords();
    ReadLabelLines(tilt_line);
    if (IsKeywordEdition(edition_)) ReadKeywordFields();
    if (!ReadTenValues()) return false;
    if (!ReadThreeValues()) return false;
    values_.Watch(findings_, "ies");
    if (!(rec_.PhotSystem == kSystemC ? ReadTypeC() : ReadTypeBA())) return false;
    values_.Finish();
    if (findings_) CheckFile(tilt_line);
    code = edition_;
    return true;
  }

 private:
  bool Fail(std::string reason) {
    rec_.ReadError = std::move(reason);
    return false;
  }
  // The same for a fault found on a line: "ies: line N: <reason>".
  bool FailAt(std::size_t line, const std::string& reason) {
    return Fail(AtLine("ies", line) + reason);
  }

  void Add(std::string_view code, Severity severity, std::string message, std::size_t line) {
    if (findings_) findings_->Add(code, severity, std::move(message), line);
  }

  // What only a check asks about: the TILT data, the keywords the edition requires, the line
  // lengths it allows, and text after the last candela value.
  void CheckFile(std::size_t tilt_line) {
    if (rec_.IesTiltDropped)
      Add("ies.tilt-ignored", Severity::kWarning,
          "the tilt data of this line is not applied to the intensities", tilt_line);
    CheckKeywords();
    CheckLineLengths(tilt_line);
    std::size_t numbers = 0;
    if (const std::size_t line = values_.TakeRest(numbers); line != 0 && numbers == 0)
      Add("ies.text-after-table", Severity::kNote,
          "text follows the last candela value; it is ignored", line);
    else if (line != 0)
      Add("ies.extra-values", Severity::kWarning,
          FormatInteger(static_cast<std::int64_t>(numbers)) +
              " more numbers follow the last candela value and are ignored: the counts " +
              FormatInteger(nv_) + " x " + FormatInteger(nh_) + " do not fit the data",
          line);
  }

  void CheckKeywords() {
    std::vector<std::string_view> required;
    if (edition_ == kFormatIes91 || edition_ == kFormatIes95) required = {"[TEST]", "[MANUFAC]"};
    if (IsKeywordEdition(edition_)) required = {"[TEST]", "[TESTLAB]", "[ISSUEDATE]", "[MANUFAC]"};
    const std::vector<IesKeyword> keywords = IesKeywords(*rec_.LabelLines);
    for (std::string_view name : required) {
      bool found = false;
      for (const IesKeyword& keyword : keywords)
        found = found || keyword.name == name;
      if (!found)
        Add("ies.keyword-missing", Severity::kWarning,
            std::string(name) + ", which " + EditionName() + " requires, is missing", 0);
    }
  }

  std::string EditionName() const {
    switch (edition_) {
      case kFormatIes91:
        return "LM-63-1991";
      case kFormatIes95:
        return "LM-63-1995";
      case kFormatIes02:
        return "LM-63-2002";
      case kFormatIes19:
        return "LM-63-2019";
      default:
        return "LM-63-1986";
    }
  }

  // Up to 1995 the label lines and the TILT line hold at most 80 characters and the other lines
  // 132; from 2002 on every line may hold 256.
  void CheckLineLengths(std::size_t tilt_line) {
    LineReader lines(text_);
    std::string_view line;
    std::size_t first = 0, count = 0, first_length = 0, first_limit = 0;
    while (lines.Next(line)) {
      const bool header = lines.LineNumber() <= tilt_line;
      const std::size_t limit = IsKeywordEdition(edition_) ? 256 : header ? 80 : 132;
      if (line.size() <= limit) continue;
      if (count++ == 0) {
        first = lines.LineNumber();
        first_length = line.size();
        first_limit = limit;
      }
    }
    if (count == 0) return;
    std::string message = "line holds " + FormatInteger(static_cast<std::int64_t>(first_length)) +
                          " characters, more than the " +
                          FormatInteger(static_cast<std::int64_t>(first_limit)) + " " +
                          EditionName() + " allows";
    if (count > 1)
      message += " (" + FormatInteger(static_cast<std::int64_t>(count)) + " lines are too long)";
    Add("ies.line-too-long", Severity::kWarning, std::move(message), first);
  }

  // A word of the ten-value or three-value record that is not what its field needs.
  void CheckWord(std::string_view word, bool integer, const char* what) {
    if (!findings_) return;
    std::string text(TrimView(word));
    if (auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
    double v = 0;
    const std::size_t line = in_.LineNumber();
    if (!ParseNumber(text, v)) {
      Add("ies.not-a-number", Severity::kWarning,
          std::string(what) + " \"" + std::string(word).substr(0, 40) +
              "\" is not a number, read as 0",
          line);
    } else if (integer && StrToIntOrZero(word) == 0 && v != 0) {
      Add("ies.not-an-integer", Severity::kWarning,
          std::string(what) + " \"" + std::string(word) + "\" is not a whole number, read as 0",
          line);
    }
  }

  // The ranges LM-63 allows for type C: horizontal 0, 0-90, 0-180, 0-360 and (from 1995)
  // 90-270; vertical 0-90, 0-180, 90-180.
  void CheckTypeCRanges(const std::vector<float>& vertical, const std::vector<float>& horizontal,
                        std::size_t vertical_line, std::size_t horizontal_line) {
    if (!findings_) return;
    const std::int64_t v0 = Centi(vertical.front()), v1 = Centi(vertical.back());
    if (v0 == 9000 && v1 == 18000)
      Add("ies.v-range", Severity::kNote,
          "vertical angles run from 90 to 180: the file holds the upper half only", vertical_line);
    else if (!(v0 == 0 && (v1 == 9000 || v1 == 18000)))
      Add("ies.v-range", Severity::kWarning,
          "vertical angles run from " + Brief(vertical.front()) + " to " + Brief(vertical.back()) +
              ", not 0-90, 0-180 or 90-180",
          vertical_line);
    const std::int64_t h0 = Centi(horizontal.front()), h1 = Centi(horizontal.back());
    const bool from_1995 = edition_ != kFormatIes86 && edition_ != kFormatIes91;
    const bool allowed = (h0 == 0 && (h1 == 0 || h1 == 9000 || h1 == 18000 || h1 == 36000)) ||
                         (h0 == 9000 && h1 == 27000 && from_1995);
    if (!allowed)
      Add("ies.h-range", Severity::kWarning,
          "horizontal angles run from " + Brief(horizontal.front()) + " to " +
              Brief(horizontal.back()) + ", not a range " + EditionName() + " allows",
          horizontal_line);
  }

  // The edition from the first line, and the number of the TILT line (any letter case).
  bool FindTiltLine(std::uint8_t& edition, std::size_t& tilt_line) {
    std::string_view line;
    if (!in_.Next(line)) return false;
    edition = EditionOf(Trim(ShortText(line)));
    while (in_.Next(line)) {
      if (UpperCase(Trim(ShortText(line))).starts_with("TILT=")) {
        tilt_line = in_.LineNumber();
        return true;
      }
    }
    return false;
  }

  void ReadKeywords() {
    rec_.Company = FindIesKeyword(in_, "[MANUFAC]");
    rec_.LumName = FindIesKeyword(in_, "[LUMINAIRE]");
    rec_.LumNumber = FindIesKeyword(in_, "[LUMCAT]");
    rec_.ReportNo = FindIesKeyword(in_, "[TEST]");
    rec_.DataFileName = FindIesKeyword(in_, "[DATE]");
    rec_.LampSet[0].LampType = FindIesKeyword(in_, "[LAMP]");
  }

  // 2002 and 2019: a keyword and its [MORE] lines are one text, cut to the field it fills.
  void ReadKeywordFields() {
    const std::vector<IesKeyword> keywords = IesKeywords(*rec_.LabelLines);
    auto text_of = [&keywords](std::string_view name) -> const std::string* {
      for (const IesKeyword& keyword : keywords)
        if (!name.empty() && keyword.name == name) return &keyword.text;
      return nullptr;
    };
    for (const IesKeywordField& field : IesKeywordFields()) {
      if (!field.set) continue;
      for (std::string_view name : field.names) {
        if (const std::string* text = text_of(name)) {
          field.set(rec_, *text);
          break;
        }
      }
    }
    if (const std::string* lamp = text_of("[LAMP]")) lamp_text_ = *lamp;
  }

  // Keeps the header lines, then reads the TILT line and skips the tilt data it announces.
  void ReadLabelLines(std::size_t tilt_line) {
    in_.Rewind();
    if (rec_.LabelLines) {
      rec_.LabelLines->clear();
    } else {
      rec_.LabelLines.emplace();
    }
    // The keyword editions allow lines of 256 characters; longer ones are kept to a bound that no
    // real keyword text reaches, so that a hostile header cannot multiply into huge copies.
    const std::size_t longest = IsKeywordEdition(edition_) ? kKeywordLineMax : kShortTextMax;
    std::string_view line;
    while (in_.LineNumber() + 1 < tilt_line && in_.Next(line))
      rec_.LabelLines->push_back(Trim(line.substr(0, longest)));
    in_.Next(line);
    const std::string tilt = UpperCase(Trim(Trim(ShortText(line)).substr(5)));
    rec_.IesTiltDropped = !tilt.empty() && tilt != "NONE";
    if (tilt == "INCLUDE") {
      // Lamp-to-luminaire geometry, number of tilt angles, the angles, the factors.
      for (int i = 0; i < 4; ++i)
        in_.Next(line);
    }
    // TILT=NONE and TILT=<file name>: nothing follows here; a named tilt file is not opened.
  }

  bool ReadTenValues() {
    std::string line;
    if (!ReadRecordLine(in_, 10, line))
      return Fail("ies: file ends before the ten values after the TILT line");
    auto word = [&line](std::size_t n) { return ExtractWordView(n, line, ValueDelimiters); };
    if (findings_) {
      static constexpr const char* kNames[10] = {"number of lamps",
                                                 "lumens per lamp",
                                                 "candela multiplier",
                                                 "number of vertical angles",
                                                 "number of horizontal angles",
                                                 "photometric type",
                                                 "units type",
                                                 "width",
                                                 "length",
                                                 "height"};
      for (std::size_t n = 1; n <= 10; ++n)
        CheckWord(word(n), n == 1 || (n >= 4 && n <= 7), kNames[n - 1]);
      if (line.find('\t') != std::string::npos)
        Add("ies.tab-separator", Severity::kWarning, "values separated by tabs, read as blanks",
            in_.LineNumber());
    }

    rec_.NumLampSets = 1;
    LampSetData& lamp = rec_.LampSet[0];
    // 0 (and nonsense below it) means one lamp.
    const std::int32_t lamps = StrToIntOrZero(word(1));
    rec_.SetLampCount(0, static_cast<std::uint32_t>(lamps < 1 ? 1 : lamps));
    if (lamps < 1)
      Add("ies.lamp-count", Severity::kWarning,
          "number of lamps " + FormatInteger(lamps) + " is taken as 1", in_.LineNumber());
    const long double count = rec_.LampCount(0);
    const long double lumens = StrToFloatOrZero(word(2));
    if (lumens <= 0) {
      // Absolute photometry (-1; 0 and other negative values cannot be a lamp flux either): the
      // candela values are the luminaire's own, kept relative to a lamp flux so that
      // cd/klm x TotalFlux / 1000 gives them back.
      rec_.AbsolutePhotometry = 1;
      lamp.TotalFlux = static_cast<float>(AbsoluteLampFlux(rec_, lamp_text_));
      if (lumens == -1)
        Add("ies.absolute-photometry", Severity::kNote,
            "lumens per lamp -1: absolute photometry, kept relative to " + Brief(lamp.TotalFlux) +
                " lm",
            in_.LineNumber());
      else
        Add("ies.lumens", Severity::kWarning,
            "lumens per lamp " + Brief(lumens) + " is no lamp flux; read as absolute photometry",
            in_.LineNumber());
    } else {
      lamp.TotalFlux = static_cast<float>(count * lumens);
      if (!std::isfinite(lamp.TotalFlux) || lamp.TotalFlux <= 0.0f)
        return Fail("ies: lumens per lamp out of range");
    }
    lamp.FluxPerLamp = static_cast<float>(lamp.TotalFlux / count);
    divisor_ = lamp.TotalFlux / 1000.0L;
    multiplier_ = StrToFloatOrZero(word(3));
    if (multiplier_ == 0)
      Add("ies.multiplier", Severity::kWarning, "candela multiplier 0 is taken as 1",
          in_.LineNumber());
    else if (multiplier_ != 1)
      Add("ies.multiplier", Severity::kNote, "candela values multiplied by " + Brief(multiplier_),
          in_.LineNumber());
    if (multiplier_ == 0) multiplier_ = 1;
    nv_ = StrToIntOrZero(word(4));
    nh_ = StrToIntOrZero(word(5));
    // Types 1 (C) and 2 (B) have interpolation; type 3 (A-alpha) has none, so every output of
    // it would read as an empty distribution.
    const std::int32_t type = StrToIntOrZero(word(6));
    if (type == 3) return FailAt(in_.LineNumber(), "photometric type 3 (A-alpha) is not supported");
    if (type != 1 && type != 2)
      return FailAt(in_.LineNumber(),
                    "photometric type " + FormatInteger(type) + " is not 1 (C) or 2 (B)");
    rec_.PhotSystem = type == 1 ? kSystemC : kSystemB;
    const std::int32_t units = StrToIntOrZero(word(7));
    if (units != 1 && units != 2)
      Add("ies.units", Severity::kWarning,
          "units type " + FormatInteger(units) +
              " is not 1 (feet) or 2 (metres); the dimensions read as 0",
          in_.LineNumber());
    const long double to_mm = units == 1 ? 304.8L : units == 2 ? 1000.0L : 0.0L;
    auto mm = [&](std::size_t n) { return RoundHalfEven(StrToFloatOrZero(word(n)) * to_mm); };
    std::int64_t width = mm(8);
    std::int64_t length = mm(9);
    std::int64_t height = mm(10);
    DecodeOpeningShape(rec_, width, length, height);
    if (rec_.LumDim.Height == 0) rec_.LumDim.Height = 1;
    return CheckCounts();
  }

  bool CheckCounts() {
    const std::size_t line = in_.LineNumber();
    if (nv_ < 1) return FailAt(line, "number of vertical angles is " + FormatInteger(nv_));
    if (nh_ < 1) return FailAt(line, "number of horizontal angles is " + FormatInteger(nh_));
    if (const std::string fault = CheckTableSize(nh_, nv_); !fault.empty())
      return FailAt(line, fault);
    return true;
  }

  bool ReadThreeValues() {
    std::string line;
    if (!ReadRecordLine(in_, 3, line))
      return Fail("ies: file ends before the ballast factor and input watts");
    rec_.BallastFactor =
        static_cast<float>(StrToFloatOrZero(ExtractWordView(1, line, ValueDelimiters)));
    if (findings_) {
      CheckWord(ExtractWordView(1, line, ValueDelimiters), false, "ballast factor");
      CheckWord(ExtractWordView(3, line, ValueDelimiters), false, "input watts");
    }
    if (rec_.BallastFactor != 1)
      Add("ies.ballast-factor", Severity::kNote,
          "ballast factor " + Brief(rec_.BallastFactor) +
              " is kept but not applied to the candela values",
          in_.LineNumber());
    rec_.LampSet[0].Wattage =
        ToU16(RoundHalfEven(StrToFloatOrZero(ExtractWordView(3, line, ValueDelimiters))));
    // Earlier editions hold the ballast-lamp photometric factor there (2002: reserved).
    if (edition_ == kFormatIes19)
      rec_.IesGenerationType = GenerationTypeOf(ExtractWordView(2, line, ValueDelimiters));
    return true;
  }

  // Before anything is allocated: the rest of the file must be able to give the angle lists and
  // the candela lists that will be read (at least nH - 1 of them: a 360-degree plane is dropped).
  bool CheckFileHolds(std::uint64_t candela_lists) {
    const std::uint64_t needed = static_cast<std::uint64_t>(nv_) + static_cast<std::uint64_t>(nh_) +
                                 static_cast<std::uint64_t>(nv_) * candela_lists;
    const std::uint64_t held = CountWords(in_.Rest(), needed);
    if (held >= needed) return true;
    return Fail("ies: declares " + FormatInteger(nv_) + " x " + FormatInteger(nh_) +
                " values, file holds " + FormatInteger(static_cast<std::int64_t>(held)) + " words");
  }

  // Once the angles are read, the number of candela lists is known exactly.
  bool CheckCandelaFollow(std::uint64_t candela_lists) {
    const std::uint64_t needed = static_cast<std::uint64_t>(nv_) * candela_lists;
    const std::uint64_t held = values_.WordsAhead(needed);
    if (held >= needed) return true;
    return Fail("ies: declares " + FormatInteger(nv_) + " x " + FormatInteger(nh_) +
                " values, only " + FormatInteger(static_cast<std::int64_t>(held)) +
                " candela values follow the angles");
  }

  bool ReadAngles(std::int32_t count, std::vector<float>& angles, const char* what) {
    std::vector<double> read;
    const std::string fault = ReadAngleList(values_, static_cast<std::size_t>(count), what, read);
    if (!fault.empty()) return Fail("ies: " + fault);
    angles.assign(read.begin(), read.end());
    return true;
  }

  // The candela list of one horizontal angle into `cell(v)` for v = 1..nV, in cd/klm.
  template <class Cell>
  bool ReadCandela(Cell cell) {
    for (std::int32_t v = 1; v <= nv_; ++v) {
      const long double stored = values_.Next() * multiplier_ / divisor_;
      if (!FitsFloat(stored)) return FailAt(values_.Line(), "candela value out of range");
      cell(v, static_cast<float>(stored));
    }
    return true;
  }

  bool ReadTypeC() {
    if (!CheckFileHolds(nh_ > 1 ? nh_ - 1 : 1)) return false;
    std::vector<float> vertical, horizontal;
    if (!ReadAngles(nv_, vertical, "vertical angles")) return false;
    const std::size_t vertical_line = values_.Line();
    if (!ReadAngles(nh_, horizontal, "horizontal angles")) return false;
    CheckTypeCRanges(vertical, horizontal, vertical_line, values_.Line());

    // A closing 360-degree plane repeats C0; it is dropped (its candela values come last).
    const bool drop360 = nh_ > 1 && Centi(horizontal.back()) == 36000;
    const std::int32_t planes = drop360 ? nh_ - 1 : nh_;
    if (!CheckCandelaFollow(static_cast<std::uint64_t>(planes))) return false;
    auto& matrix = rec_.Matrix = std::make_unique<TSglArray>(planes + 1, nv_ + 1);
    for (std::int32_t j = 1; j <= nv_; ++j)
      matrix->SetValue(0, j, vertical[j - 1]);
    for (std::int32_t i = 1; i <= planes; ++i)
      matrix->SetValue(i, 0, horizontal[i - 1]);
    rec_.NumGammas = static_cast<std::uint16_t>(nv_);
    rec_.NumPlanes = static_cast<std::uint16_t>(planes);

    if (nh_ == 1) {
      rec_.Symmetry = 1;
      rec_.CFirst = 0;
      rec_.CLast = 0;
      rec_.CStep = 15;
    } else {
      const std::int64_t first = Centi(horizontal.front());
      const std::int64_t last = Centi(horizontal.back());
      rec_.Symmetry = SymmetryOfCRange(first, last);
    }
    SummariseCGammaGrid(rec_);
    SetMinSteps();

    for (std::int32_t p = 1; p <= planes; ++p) {
      if (!ReadCandela([&](std::int32_t v, float x) { matrix->SetValue(p, v, x); })) return false;
    }
    if (drop360 && findings_) CompareC360();
    return true;
  }

  // The dropped 360-degree plane should repeat C0; a check reads it to see.
  void CompareC360() {
    if (values_.WordsAhead(static_cast<std::size_t>(nv_)) < static_cast<std::size_t>(nv_)) return;
    long double peak = 0, largest = 0;
    for (std::int32_t v = 1; v <= nv_; ++v)
      for (std::size_t p = 1; p <= rec_.NumPlanes; ++p)
        peak = std::max<long double>(peak, std::fabs(rec_.GetIntensity(p, v)));
    float at = 0;
    std::size_t line = 0;
    for (std::int32_t v = 1; v <= nv_; ++v) {
      const long double x = values_.Next() * multiplier_ / divisor_;
      const long double d = std::fabs(x - rec_.GetIntensity(1, v));
      if (d > largest) {
        largest = d;
        at = rec_.GetGamma(v);
        line = values_.Line();
      }
    }
    if (peak > 0 && largest > 0.01L * peak)
      Add("ies.c360-differs", Severity::kWarning,
          "the 360-degree plane differs from C0 by " + Brief(largest) + " cd/klm (" +
              Brief(std::round(1000 * largest / peak) / 10) + " % of the peak) at gamma " +
              Brief(at) + "; C0 is kept",
          line);
  }

  bool ReadTypeBA() {
    if (!CheckFileHolds(static_cast<std::uint64_t>(nh_))) return false;
    std::vector<float> vertical, horizontal;
    if (!ReadAngles(nv_, vertical, "vertical angles")) return false;
    if (!ReadAngles(nh_, horizontal, "horizontal angles")) return false;
    if (!CheckCandelaFollow(static_cast<std::uint64_t>(nh_))) return false;

    auto& matrix = rec_.Matrix = std::make_unique<TSglArray>(nv_ + 1, nh_ + 1);
    for (std::int32_t v = 1; v <= nv_; ++v)
      matrix->SetValue(v, 0, vertical[v - 1]);
    for (std::int32_t h = 1; h <= nh_; ++h)
      matrix->SetValue(0, h, horizontal[h - 1]);
    for (std::int32_t h = 1; h <= nh_; ++h) {
      if (!ReadCandela([&](std::int32_t v, float x) { matrix->SetValue(v, h, x); })) return false;
    }
    rec_.NumGammas = static_cast<std::uint16_t>(nh_);
    rec_.NumPlanes = static_cast<std::uint16_t>(nv_);

    SummariseBGrid(rec_);
    return true;
  }

  // The integration step: the smaller of the two steps as read (a zero C step does not count).
  void SetMinSteps() {
    rec_.MinCStep = rec_.CStep;
    rec_.MinGStep = rec_.GStep;
    if (rec_.MinCStep > 0 && rec_.MinCStep < rec_.MinGStep) rec_.MinGStep = rec_.MinCStep;
  }

  TLUM32& rec_;
  std::string_view text_;
  LineReader in_;
  ValueStream values_;  // the angle and candela lists: one stream of numbers
  std::uint8_t edition_ = kFormatIes86;
  std::string lamp_text_;  // the [LAMP] text of a keyword edition
  std::int32_t nv_ = 0;
  std::int32_t nh_ = 0;
  long double multiplier_ = 1;
  long double divisor_ = 1;
  Findings* findings_;
};

}  // namespace

std::string FindIesKeyword(LineReader& in, std::string_view keyword) {
  in.Rewind();
  std::string_view line;
  while (in.Next(line)) {
    const std::string_view head = line.substr(0, kShortTextMax);
    const std::size_t pos = WordPosition(1, head, ValueDelimiters);
    if (pos == 0) continue;
    const std::string word = UpperCase(ExtractWordView(1, head, ValueDelimiters));
    if (word.starts_with("TILT=")) return {};
    if (word == keyword) return Trim(ShortText(line.substr(pos - 1 + word.size())));
  }
  return {};
}

bool ParseIes(TLUM32& rec, std::string_view text, std::uint8_t& code, Findings* findings) {
  return IesReader(rec, text, findings).Read(code);
}

}  // namespace lumatra
