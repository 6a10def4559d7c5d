// The walk over the format table: every writer's output loaded back by its key and through the
// fallback chain, records of every symmetry and of B planes written and read back at the
// precision of each format, tables no reader would take back refused with their reason, and
// every real file (the shared corpus too, where present) through every writer and back.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "formats/eulumdat.h"
#include "formats/format_rows.h"
#include "formats/ies.h"
#include "photometry/evaluation.h"
#include "photometry/interpolation.h"
#include "support/io_error.h"
#include "support/rounding.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using format_tests::ReaderOf;
using format_tests::TargetWriters;
using testing::FillGrid;
using testing::Steps;

float Smooth(float c, float g) {
  const double r = c * 3.14159265358979 / 180;
  return static_cast<float>(300 + 2.3 * g + 80 * std::cos(r) + 35 * std::sin(r) + 0.01 * c * g);
}

// The stored C planes of a record of each symmetry 0 to 4.
const std::vector<float> kCPlanes[] = {
    Steps(0, 15, 345), {0}, Steps(0, 15, 180), Steps(90, 15, 270), Steps(0, 22.5f, 90)};

// `text` read by the reader of `writer`, the interpolation bound.
::testing::AssertionResult ReadBack(const FormatRow& writer, const std::string& text,
                                    TLUM32& back) {
  std::uint8_t code = 0;
  if (format_tests::ParseWith(ReaderOf(writer), back, text, code))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << back.ReadError;
}

TEST(FormatWalk, EveryWriterLoadsBackByItsKeyAndThroughTheFallbackChain) {
  testing::TempDir dir;
  for (const FormatRow* w : TargetWriters()) {
    SCOPED_TRACE(std::string(w->cli_name));
    TLUM32 rec;
    FillGrid(rec, 2, Steps(0, 30, 180), Steps(0, 2.5f, 180), Smooth);
    CalcFlux(rec);
    const std::string keyed = (dir / (std::string("lum") + std::string(w->extension))).string();
    Save(rec, w->code, keyed);
    testing::WriteFile(dir / "lum.dat", testing::ReadFile(keyed));
    std::string keyed_summary;  // nothing the readers tried before stays in the record
    for (const std::string& name : {keyed, (dir / "lum.dat").string()}) {
      TLUM32 back;
      ASSERT_TRUE(Load(back, name)) << name << ": " << back.ReadError;
      EXPECT_EQ(back.FileFormat, w->code) << name;
      CalcFlux(back);  // the whole distribution is there, whatever the orientation
      EXPECT_NEAR(back.LumFlux, rec.LumFlux, 0.01 * rec.LumFlux) << name;
      if (keyed_summary.empty()) keyed_summary = format_tests::Summary(back);
      EXPECT_EQ(format_tests::Summary(back), keyed_summary) << name;
    }
  }
  EXPECT_EQ(TargetWriters().size(), 10u);
}

// Where the LTLI read-back record holds the value the writer sampled at plane p (from 1): the
// file's planes start at C90 and the reader lays them out by the written C range and
// orientation 90.
float LtliReadBackC(std::uint8_t symmetry, std::size_t p) {
  const float plane = 10.0f * static_cast<float>(p - 1);
  if (symmetry == 0 || symmetry == 2) return std::fmod(plane + 180.0f, 360.0f);  // turned
  return symmetry == 3 ? 180.0f - plane : plane;
}

// LTLI gives back its 10/2-degree grid to the integer, in the format's orientation, and the
// flux up to `flux_share` (the coarser grid) and the integer rounding.
void ExpectLtliGridComesBack(TLUM32& rec, const TLUM32& back, double flux_share) {
  const std::uint8_t symmetry = rec.Symmetry;
  EXPECT_EQ(back.Symmetry, symmetry == 3 ? 2 : symmetry == 2 ? 0 : symmetry);
  const std::size_t planes = symmetry == 1 ? 1 : symmetry == 3 ? 19 : symmetry == 4 ? 10 : 36;
  const int last_gamma = rec.GLast > 90.1f ? 180 : 90;
  int mismatches = 0;
  for (int g = 0; g <= last_gamma; g += 2) {
    for (std::size_t p = 1; p <= planes; ++p) {
      auto c = static_cast<float>(90 + 10 * (p - 1));
      if (c >= 360) c -= 360;
      const auto written = static_cast<double>(RoundHalfEven(rec.Intensity(c, g)));
      const double read = back.Intensity(LtliReadBackC(symmetry, p), static_cast<float>(g));
      // Unturned tables come back exactly; the turn interpolates in float directions.
      const double tolerance = back.Symmetry == 0 ? 1e-3 * std::fabs(written) + 1e-3 : 0;
      if (std::fabs(read - written) > tolerance && ++mismatches <= 5)
        ADD_FAILURE() << "C" << c << " gamma " << g << ": wrote " << written << ", read " << read;
    }
  }
  EXPECT_EQ(mismatches, 0);
  CalcFlux(rec);
  EXPECT_NEAR(back.LumFlux, rec.LumFlux, flux_share * rec.LumFlux + 2 * 3.1416);
}

// Same angles and intensities within `tolerance(value)`, cell by cell.
void ExpectSameTable(const TLUM32& a, const TLUM32& b,
                     const std::function<double(double)>& tolerance) {
  ASSERT_EQ(a.NumPlanes, b.NumPlanes);
  ASSERT_EQ(a.NumGammas, b.NumGammas);
  int mismatches = 0;
  for (std::size_t i = 0; i <= a.NumPlanes; ++i) {
    for (std::size_t j = i == 0 ? 1 : 0; j <= a.NumGammas; ++j) {
      const float x = a.GetIntensity(i, j), y = b.GetIntensity(i, j);
      if (std::fabs(double{x} - y) > tolerance(x) && ++mismatches <= 5)
        ADD_FAILURE() << "cell (" << i << ", " << j << "): " << x << " vs " << y;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// Text formats keep one decimal and seven digits, EULUMDAT five digits, L32 every bit, LTLI
// its own grid; B planes go through TM14, CIE and L32 untransposed.
TEST(FormatWalk, EverySymmetryAndBPlanesComeBackAtTheWrittenPrecision) {
  for (const FormatRow* w : TargetWriters()) {
    SCOPED_TRACE(std::string(w->cli_name));
    const double digits = w->code == kFormatEulumdat ? 5e-5 : 1e-6;
    const auto tolerance = [&](double x) { return 0.05 + digits * std::fabs(x); };
    for (std::uint8_t symmetry = 0; symmetry <= 4; ++symmetry) {
      SCOPED_TRACE(static_cast<int>(symmetry));
      TLUM32 rec, back;
      FillGrid(rec, symmetry, kCPlanes[symmetry], Steps(0, 2.5f, 180), Smooth);
      if (w->code != kFormatLtli) rec.SetValue(1, 3, 123456.7f);  // seven digits survive
      ASSERT_TRUE(ReadBack(*w, w->write(rec, w->code), back));
      if (w->code == kFormatLtli) {  // a 10/2-degree grid in the format's own orientation
        ExpectLtliGridComesBack(rec, back, 0.01);
        continue;
      }
      EXPECT_EQ(back.Symmetry, symmetry);
      EXPECT_EQ(back.GridFlags, rec.GridFlags);
      ExpectSameTable(rec, back, tolerance);
    }
    if (w->code != kFormatTm14 && w->code != kFormatCie && w->code != kFormatL32) continue;
    TLUM32 b, back;
    FillGrid(b, 2, Steps(-90, 15, 90), Steps(0, 10, 90), Smooth);
    b.PhotSystem = kSystemB;
    SetupSymmetry(b, 2);
    ASSERT_TRUE(ReadBack(*w, w->write(b, w->code), back));
    EXPECT_EQ(back.PhotSystem, kSystemB);
    EXPECT_EQ(back.Symmetry, 2);
    ExpectSameTable(b, back, tolerance);
  }
}

// Tables no reader would take back, and records a format has no form for, are refused with a
// reason rather than written.
TEST(FormatWalk, RecordsAFormatCannotHoldAreNotWritten) {
  const std::vector<std::pair<std::string, std::function<void(TLUM32&)>>> every_writer = {
      {"gamma angles do not ascend (2.0 after 2.0)", [](TLUM32& r) { r.SetValue(0, 3, 2.0f); }},
      {"C angle 2 is not a number", [](TLUM32& r) { r.SetValue(2, 0, std::nanf("")); }},
      {"intensity at C30.0 gamma 4.0 is not a number",
       [](TLUM32& r) { r.SetValue(2, 3, INFINITY); }},
      {"record has no intensity table", [](TLUM32& r) { r.NumGammas = 0; }},
  };
  for (const FormatRow* w : TargetWriters()) {
    for (const auto& [reason, spoil] : every_writer) {
      TLUM32 rec;
      FillGrid(rec, 2, Steps(0, 30, 180), Steps(0, 2, 90), Smooth);
      spoil(rec);
      try {
        w->write(rec, w->code);
        ADD_FAILURE() << w->cli_name << " wrote: " << reason;
      } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(std::string(": ") + reason), std::string::npos)
            << e.what();
      }
    }
  }
  TLUM32 sym5, fine, big, small, a_alpha;
  FillGrid(sym5, 0, Steps(0, 15, 345), Steps(0, 5, 90), Smooth);
  sym5.Symmetry = 5;
  FillGrid(fine, 0, Steps(0, 3.6f, 356.4f), {1.0f, 1.01f}, Smooth);
  FillGrid(big, 1, {0}, Steps(0, 5, 90), [](float, float g) { return g < 50 ? 12000 : 1; });
  FillGrid(small, 1, {0}, Steps(0, 5, 90), [](float, float g) { return 9 - g / 10; });
  FillGrid(a_alpha, 2, Steps(0, 30, 180), Steps(0, 5, 90), Smooth);
  a_alpha.PhotSystem = kSystemA;
  const std::tuple<TLUM32*, std::uint8_t, std::string> one_writer[] = {
      {&sym5, kFormatEulumdat, "ldt: symmetry 5 has no EULUMDAT form (0 to 4)"},
      {&fine, kFormatEulumdat,
       "ldt: gamma 0 to 180 degrees at the step 0.01: 100 x 18001 intensities exceed the limit "
       "of 1000000"},
      {&big, kFormatLtli,
       "ltli: intensity 12000 cd/klm at C90.0 gamma 0.0 does not fit the 4-column field"},
      {&small, kFormatLtli,
       "ltli: intensities up to 9.0 cd/klm would lose more than 1 % of that to the format's "
       "whole numbers"},
      {&a_alpha, kFormatTm14,
       "tm14: A-alpha photometry cannot be written (TM14 holds C-gamma or B-beta)"},
  };
  for (const auto& [rec, code, reason] : one_writer) {
    try {
      FindFormat(code)->write(*rec, code);
      ADD_FAILURE() << "written: " << reason;
    } catch (const IoError& e) {
      EXPECT_EQ(std::string(e.what()), reason);
    }
  }
}

// EULUMDAT text read and written again is the same text, for every real EULUMDAT file and the
// bundled examples.
TEST(FormatCorpus, EulumdatTextIsAFixedPointOfReadingAndWriting) {
  auto files = testing::CorpusFiles({"LDT"});
  for (const auto& entry : std::filesystem::directory_iterator(testing::ExamplesDir()))
    if (entry.path().extension() == ".ldt") files.push_back(entry.path());
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    TLUM32 rec;
    ASSERT_TRUE(Load(rec, file.string())) << rec.ReadError;
    rec.DFF = 0.5f;  // a fraction, as after the flux evaluation
    const std::string text = EulumdatText(rec);
    TLUM32 again;
    ASSERT_TRUE(ParseEulumdat(again, text)) << again.ReadError;
    again.SetFileName(rec.FileName);
    again.DFF = 0.5f;
    EXPECT_TRUE(EulumdatText(again) == text);
  }
}

// Every intensity of `a` (times `a_scale`) in `b` (times `b_scale`) within 0.05 %, or within a
// millionth of the peak near 0, at the same angles (`b` may hold more of them: EULUMDAT extends
// a gamma range to 0).
void ExpectIntensitiesKept(const TLUM32& a, long double a_scale, const TLUM32& b,
                           long double b_scale) {
  long double peak = 0;
  for (std::size_t i = 1; i <= a.NumPlanes; ++i)
    for (std::size_t j = 1; j <= a.NumGammas; ++j)
      peak = std::max(peak, std::fabs(static_cast<long double>(a.GetIntensity(i, j))));
  // Row and column of each angle of `b`, to a thousandth of a degree.
  std::map<std::int64_t, std::size_t> rows, columns;
  const auto key = [](float angle) { return RoundHalfEven(1000.0L * angle); };
  for (std::size_t i = b.NumPlanes; i >= 1; --i)
    rows[key(b.GetCAngle(i))] = i;
  for (std::size_t j = b.NumGammas; j >= 1; --j)
    columns[key(b.GetGamma(j))] = j;
  int mismatches = 0;
  for (std::size_t i = 1; i <= a.NumPlanes; ++i) {
    for (std::size_t j = 1; j <= a.NumGammas; ++j) {
      const float c = a.GetCAngle(i), g = a.GetGamma(j);
      const auto row = rows.find(key(c)), column = columns.find(key(g));
      if (row == rows.end() || column == columns.end()) {
        if (++mismatches <= 5) ADD_FAILURE() << "angles C" << c << " gamma " << g << " missing";
        continue;
      }
      const long double stored = a.GetIntensity(i, j) * a_scale;
      const long double read = b.GetIntensity(row->second, column->second) * b_scale;
      // The read value is a float again: a few units of its last place besides the rule.
      const long double allowed =
          std::max(5e-4L * std::fabs(stored), 1e-6L * peak * a_scale) + 3e-7L * std::fabs(stored);
      if (std::fabs(read - stored) > allowed && ++mismatches <= 5)
        ADD_FAILURE() << "C" << c << " gamma " << g << ": " << static_cast<double>(stored)
                      << " came back as " << static_cast<double>(read);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// The keywords of an IES header as (keyword, text) pairs, [MORE] lines joined.
std::multiset<std::pair<std::string, std::string>> KeywordTexts(const TLUM32& rec) {
  std::multiset<std::pair<std::string, std::string>> out;
  if (rec.LabelLines)
    for (const IesKeyword& k : IesKeywords(*rec.LabelLines))
      out.emplace(k.name, k.text);
  return out;
}

// What a file written in the format gives back: the intensities (candela for IES, cd/klm
// otherwise) to 0.05 %, LTLI's whole numbers on its own grid, L32 every byte; through IES the
// lamp flux, lamp count and absolute photometry, and through the keyword editions every keyword
// of a keyword source.
void ExpectWrittenFileKeeps(TLUM32& rec, const TLUM32& back, const std::string& bytes,
                            std::uint8_t code) {
  const bool ies = code >= kFormatIes86 && code <= kFormatIes19 && code != kFormatLtli;
  if (code == kFormatLtli) {
    if (rec.PhotSystem == kSystemC) ExpectLtliGridComesBack(rec, back, 0.05);
  } else if (ies) {
    ExpectIntensitiesKept(rec, rec.TotalLampFlux() / 1000, back, back.TotalLampFlux() / 1000);
    EXPECT_NEAR(static_cast<double>(back.TotalLampFlux()), static_cast<double>(rec.TotalLampFlux()),
                1e-3 * rec.TotalLampFlux());
    EXPECT_EQ(back.AbsolutePhotometry, rec.AbsolutePhotometry);
    EXPECT_EQ(back.TotalLampCount(), std::max<std::uint64_t>(rec.TotalLampCount(), 1));
  } else if (code != kFormatEulumdat || rec.PhotSystem == kSystemC) {
    ExpectIntensitiesKept(rec, 1, back, 1);
  }
  if (code == kFormatL32) {
    TLUM32 again;
    ASSERT_TRUE(ReadBack(*FindFormat(code), bytes, again));
    EXPECT_EQ(FindFormat(code)->write(again, code), bytes);
  }
  if (!IsKeywordEdition(code)) return;
  for (std::size_t at = 0, end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1)
    EXPECT_LE(end - at, 257u);  // 256 characters and the CR
  if (!IsKeywordEdition(rec.FileFormat)) return;
  const auto source = KeywordTexts(rec), kept = KeywordTexts(back);
  for (const auto& keyword : source)
    EXPECT_EQ(kept.count(keyword), source.count(keyword)) << keyword.first << " " << keyword.second;
  const std::uint32_t undefined = 100001;  // 1.00001, written where the source gave none
  EXPECT_EQ(+back.IesGenerationType, code == kFormatIes02    ? 0
                                     : rec.IesGenerationType ? +rec.IesGenerationType
                                                             : undefined);
}

// Each real file into every format the program writes, through Save, and read back through
// Load: a write that succeeds gives a file the program loads, with every intensity. Only LTLI
// may refuse a record (values its four whole-number columns cannot hold), and A-alpha records,
// with a one-line reason.
TEST(FormatCorpus, EveryRealFileGoesIntoEveryFormatAndComesBack) {
  auto files = testing::CorpusFiles({"LDT", "IES86", "IES91", "IES95", "IES2002"});
  for (const char* name :
       {"ldt/absolute_led_downlight.ldt", "ies/absolute_192_leds.ies", "ldt/one_lumen_lamp.ldt",
        "ies/fine_gamma_2_02.ies", "ies/type_a.ies", "ies/type_b_full.ies",
        "ies/type_b_quadrant.ies", "ies/downlight_2019.ies", "ies/tilt_include_2002.ies"})
    files.push_back(testing::TestDataDir() / name);
  testing::TempDir dir;
  std::size_t loaded = 0, refused = 0;
  for (const auto& file : files) {
    TLUM32 source;
    if (!Load(source, file.string())) continue;
    ++loaded;
    for (const FormatRow* w : TargetWriters()) {
      SCOPED_TRACE(file.filename().string() + " to " + std::string(w->cli_name));
      TLUM32 rec;  // afresh: a writer may complete the record it writes
      ASSERT_TRUE(Load(rec, file.string()));
      const std::string target = (dir / (std::string("OUT") + std::string(w->extension))).string();
      try {
        Save(rec, w->code, target);
      } catch (const IoError& e) {
        EXPECT_TRUE(w->code == kFormatLtli || rec.PhotSystem == kSystemA) << e.what();
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
        ++refused;
        continue;
      }
      TLUM32 back;
      ASSERT_TRUE(Load(back, target)) << "written, but does not load: " << back.ReadError;
      EXPECT_EQ(back.FileFormat, w->code);
      ExpectWrittenFileKeeps(rec, back, testing::ReadFile(target), w->code);
    }
  }
  EXPECT_GT(loaded, 40u);
  EXPECT_LT(refused, loaded);
}

}  // namespace
}  // namespace lumatra
