// Every format of the format table: loaded by its extension key and through the fallback chain,
// records of every symmetry written and read back, damaged files, and the real files of the
// corpus converted into each format and read back at the precision that format keeps.
#include "app/format_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <random>

#include "formats/cie.h"
#include "formats/eulumdat.h"
#include "formats/format_checks.h"
#include "formats/ies.h"
#include "formats/l32.h"
#include "formats/ltli.h"
#include "formats/tm14.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "photometry/interpolation.h"
#include "support/io_error.h"
#include "support/rounding.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using format_checks::ExpectSameTable;
using format_checks::OneDecimal;
using testing::FillGrid;
using testing::Steps;

struct Format {
  std::uint8_t code;
  std::function<bool(TLUM32&, std::string_view)> parse;
  std::function<std::string(TLUM32&)> text;
};

const std::vector<Format>& ReaderWriterPairs() {
  static const std::vector<Format> formats = {
      {kFormatEulumdat, ParseEulumdat, EulumdatText},
      {kFormatIes95,
       [](TLUM32& r, std::string_view t) {
         std::uint8_t code = 0;
         return ParseIes(r, t, code);
       },
       [](TLUM32& r) { return IesText(r, kFormatIes95); }},
      {kFormatTm14, ParseTm14, Tm14Text},
      {kFormatCie, ParseCie, CieText},
      {kFormatLtli,
       [](TLUM32& r, std::string_view t) { return testing::ReadAs(kFormatLtli, r, t); }, LTLIText},
      {kFormatL32, ParseL32, L32Bytes},
  };
  return formats;
}

float Smooth(float c, float g) {
  const double r = c * 3.14159265358979 / 180;
  return static_cast<float>(300 + 2.3 * g + 80 * std::cos(r) + 35 * std::sin(r) + 0.01 * c * g);
}

const std::vector<std::pair<std::uint8_t, std::vector<float>>> kGrids = {{0, Steps(0, 15, 345)},
                                                                         {1, {0}},
                                                                         {2, Steps(0, 15, 180)},
                                                                         {3, Steps(90, 15, 270)},
                                                                         {4, Steps(0, 22.5f, 90)}};

void Luminaire(TLUM32& rec, std::uint8_t symmetry, const std::vector<float>& c_angles) {
  FillGrid(rec, symmetry, c_angles, Steps(0, 2.5f, 180), Smooth);
  rec.LampSet[0].NumLamps = 1;
  rec.LampSet[0].TotalFlux = 1000;
  rec.LumName = "Spot";
}

TEST(FormatTable, EveryWriterLoadsBackByItsKeyAndThroughTheFallbackChain) {
  testing::TempDir dir;
  int written = 0;
  for (const FormatRow& w : Formats()) {
    if (!w.write || w.name.empty()) continue;
    SCOPED_TRACE(std::string(w.name));
    TLUM32 rec;
    Luminaire(rec, 2, Steps(0, 30, 180));
    CalcFlux(rec);
    const std::string keyed = (dir / ("lum" + std::string(w.extension))).string();
    Save(rec, w.code, keyed);
    const std::string bytes = testing::ReadFile(keyed);
    testing::WriteFile(dir / "lum.dat", bytes);
    for (const std::string& name : {keyed, (dir / "lum.dat").string()}) {
      TLUM32 back;
      ASSERT_TRUE(Load(back, name)) << name << ": " << back.ReadError;
      EXPECT_EQ(back.FileFormat, w.code) << name;
      CalcFlux(back);  // the whole distribution is there, whatever the orientation
      EXPECT_NEAR(back.LumFlux, rec.LumFlux, 0.01 * rec.LumFlux) << name;
    }
    ++written;
  }
  EXPECT_EQ(written, 10);
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

// Text formats keep one decimal and seven digits, EULUMDAT five digits, L32 every bit; LTLI
// its own grid.
TEST(FormatTable, EverySymmetryAndBBetaComeBackAtTheWrittenPrecision) {
  for (const Format& f : ReaderWriterPairs()) {
    SCOPED_TRACE(static_cast<int>(f.code));
    for (const auto& [symmetry, c_angles] : kGrids) {
      SCOPED_TRACE(static_cast<int>(symmetry));
      TLUM32 rec;
      Luminaire(rec, symmetry, c_angles);
      if (f.code == kFormatLtli) {  // a 10/2-degree grid in the format's own orientation
        TLUM32 back;
        ASSERT_TRUE(testing::ReadAs(kFormatLtli, back, LTLIText(rec))) << back.ReadError;
        ExpectLtliGridComesBack(rec, back, 0.01);
        continue;
      }
      rec.SetValue(1, 3, 123456.7f);  // seven significant digits survive
      TLUM32 back;
      ASSERT_TRUE(f.parse(back, f.text(rec))) << back.ReadError;
      EXPECT_EQ(back.Symmetry, symmetry);
      EXPECT_EQ(back.GridFlags, rec.GridFlags);
      EXPECT_FLOAT_EQ(back.CFirst, symmetry == 1 ? 0 : c_angles.front());
      ExpectSameTable(rec, back, [&](double x) {
        return f.code == kFormatEulumdat ? 5e-5 * std::fabs(x) + 0.05 : OneDecimal(x);
      });
    }
    if (f.code == kFormatEulumdat || f.code == kFormatIes95 || f.code == kFormatLtli) continue;
    TLUM32 b;
    FillGrid(b, 2, Steps(-90, 15, 90), Steps(0, 10, 90), Smooth);
    b.PhotSystem = kSystemB;
    SetupSymmetry(b, 2);
    TLUM32 back;
    ASSERT_TRUE(f.parse(back, f.text(b))) << back.ReadError;
    EXPECT_EQ(back.PhotSystem, kSystemB);
    EXPECT_EQ(back.Symmetry, 2);
    ExpectSameTable(b, back, OneDecimal);
  }
}

// A table no reader would take back (angles repeated or not numbers, intensities not numbers,
// no gamma angle) is refused by every writer with a reason, rather than written.
TEST(FormatTable, TablesNoReaderTakesBackAreNotWritten) {
  const std::vector<std::pair<std::string, std::function<void(TLUM32&)>>> faults = {
      {"gamma angles do not ascend (2.0 after 2.0)", [](TLUM32& r) { r.SetValue(0, 3, 2.0f); }},
      {"C angle 2 is not a number", [](TLUM32& r) { r.SetValue(2, 0, std::nanf("")); }},
      {"intensity at C30.0 gamma 4.0 is not a number",
       [](TLUM32& r) { r.SetValue(2, 3, INFINITY); }},
      {"record has no intensity table", [](TLUM32& r) { r.NumGammas = 0; }},
  };
  for (const Format& f : ReaderWriterPairs()) {
    for (const auto& [reason, spoil] : faults) {
      TLUM32 rec;
      FillGrid(rec, 2, Steps(0, 30, 180), Steps(0, 2, 90), Smooth);
      spoil(rec);
      try {
        f.text(rec);
        ADD_FAILURE() << static_cast<int>(f.code) << " wrote: " << reason;
      } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(": " + reason), std::string::npos) << e.what();
      }
    }
  }
}

// Truncations and byte changes of each writer's output: refused with a reason or read into a
// record that can be evaluated and written again; never a crash.
TEST(FormatTable, DamagedFilesNeverCrash) {
  for (const Format& f : ReaderWriterPairs()) {
    SCOPED_TRACE(static_cast<int>(f.code));
    for (std::uint8_t symmetry : {0, 2}) {
      TLUM32 rec;
      FillGrid(rec, symmetry, symmetry == 0 ? Steps(0, 45, 315) : Steps(0, 30, 180),
               Steps(0, 7.5f, 90), Smooth);
      rec.AreaDim = {0, 0, 300, 40, 40, 0, 0};
      rec.WriteTM2Data = 1;
      rec.ExtFlags = 7;
      rec.ExtSize = 2432;
      format_checks::SurvivesMutations(f.text(rec), f.parse, f.text);
    }
  }
}

// Damaged real files (bytes changed, lines lost or doubled): whatever the EULUMDAT reader
// accepts can be written and read back; whatever it refuses it refuses with a reason.
TEST(FormatTable, DamagedRealEulumdatFilesAreRefusedOrWrittenBack) {
  std::vector<std::string> texts;
  for (const auto& file : testing::CorpusFiles({"LDT"}))
    if (std::filesystem::file_size(file) < 20000) texts.push_back(testing::ReadFile(file));
  ASSERT_FALSE(texts.empty());
  std::mt19937 random(11);
  int accepted = 0;
  for (int round = 0; round < 600; ++round) {
    std::string text = texts[random() % texts.size()];
    for (int edit = 0, edits = 1 + static_cast<int>(random() % 4); edit < edits; ++edit) {
      const std::size_t at = random() % text.size();
      switch (random() % 4) {
        case 0:
          text[at] = static_cast<char>(random());
          break;
        case 1:
          text[at] = "0123456789.,-\n"[random() % 14];
          break;
        case 2:
          // Never the whole text: the next edit needs a character to change.
          text.erase(at, std::min<std::size_t>(random() % 40, text.size() - 1));
          break;
        default:
          text.insert(at, text.substr(at, random() % 40));
          break;
      }
    }
    TLUM32 rec;
    if (!ParseEulumdat(rec, text)) {
      EXPECT_EQ(rec.ReadError.rfind("ldt: ", 0), 0u) << rec.ReadError;
      continue;
    }
    ++accepted;
    TLUM32 back;
    ASSERT_TRUE(ParseEulumdat(back, EulumdatText(rec))) << back.ReadError;
    EXPECT_EQ(back.NumPlanes, rec.NumPlanes);
    EXPECT_EQ(back.Symmetry, rec.Symmetry);
  }
  EXPECT_GT(accepted, 0);
}

// --- per-format checks of the real files ---

// Equal to 5 significant digits (values below 1e-3 cd/klm count as equal to each other).
::testing::AssertionResult SameTo5Digits(float a, float b) {
  const double scale = std::max({std::fabs(a), std::fabs(b), 1e-3f});
  if (std::fabs(double{a} - b) <= 5e-5 * scale) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << a << " vs " << b;
}

std::size_t GammaColumn(const TLUM32& rec, float gamma) {
  for (std::size_t k = 1; k <= rec.NumGammas; ++k)
    if (std::fabs(rec.GetGamma(k) - gamma) < 1e-3f) return k;
  return 0;
}

// EULUMDAT keeps the texts, dimensions, lamps and planes; its gammas are the original ones, or,
// for a regular range that does not start at 0, 0..180 at the same step with zeros outside.
void ExpectSameEulumdatRecord(const TLUM32& a, const TLUM32& b) {
  auto texts = [](const TLUM32& r) {
    return std::vector<std::string>{r.Company.str(), r.ReportNo2.str(), r.ReportNo.str(),
                                    r.LumName.str(), r.LumNumber.str(), r.DateUser.str()};
  };
  EXPECT_EQ(texts(a), texts(b));
  EXPECT_EQ(0, std::memcmp(&a.LumDim, &b.LumDim, sizeof a.LumDim));
  EXPECT_EQ(0, std::memcmp(&a.AreaDim, &b.AreaDim, sizeof a.AreaDim));
  ASSERT_EQ(a.NumLampSets, b.NumLampSets);
  for (std::size_t k = 0; k < a.NumLampSets; ++k) {
    const LampSetData &x = a.LampSet[k], &y = b.LampSet[k];
    EXPECT_EQ(x.NumLamps, y.NumLamps);
    EXPECT_EQ(x.LampType.str(), y.LampType.str());
    EXPECT_FLOAT_EQ(+x.TotalFlux, +y.TotalFlux);
    EXPECT_FLOAT_EQ(+x.FluxPerLamp, +y.FluxPerLamp);
    EXPECT_EQ(x.ColourAppearance.str(), y.ColourAppearance.str());
    EXPECT_EQ(x.ColourRendering.str(), y.ColourRendering.str());
    EXPECT_EQ(+x.Wattage, +y.Wattage);
  }
  EXPECT_EQ(a.Symmetry, b.Symmetry);
  EXPECT_EQ(a.PhotSystem, b.PhotSystem);
  EXPECT_EQ(a.GridFlags, b.GridFlags);
  ASSERT_EQ(a.NumPlanes, b.NumPlanes);
  EXPECT_FLOAT_EQ(a.CStep, b.CStep);
  EXPECT_FLOAT_EQ(a.GStep, b.GStep);
  for (std::size_t i = 1; i <= a.NumPlanes; ++i)
    EXPECT_FLOAT_EQ(a.GetCAngle(i), b.GetCAngle(i)) << "plane " << i;
  const bool extended = (a.GridFlags & kGammaIrregular) == 0 && a.GFirst >= 0.05f;
  EXPECT_FLOAT_EQ(b.GFirst, extended ? 0 : a.GFirst);
  EXPECT_FLOAT_EQ(b.GLast, extended ? 180 : a.GLast);
  int mismatches = 0;
  for (std::size_t j = 1; j <= a.NumGammas; ++j) {
    const std::size_t k = GammaColumn(b, a.GetGamma(j));
    ASSERT_NE(k, 0u) << "gamma " << a.GetGamma(j) << " missing";
    for (std::size_t i = 1; i <= a.NumPlanes; ++i) {
      auto same = SameTo5Digits(a.GetIntensity(i, j), b.GetIntensity(i, k));
      if (!same && ++mismatches <= 5)
        ADD_FAILURE() << "plane " << i << " gamma " << j << ": " << same.message();
    }
  }
  EXPECT_EQ(mismatches, 0);
  for (std::size_t k = 1; extended && b.GetGamma(k) < a.GFirst - 0.01f; ++k)
    for (std::size_t i = 1; i <= b.NumPlanes; ++i)
      EXPECT_EQ(b.GetIntensity(i, k), 0.0f);
}

void ExpectEulumdatRoundTrip(const std::filesystem::path& file, std::uint8_t code) {
  SCOPED_TRACE(file.filename().string());
  TLUM32 original;
  ASSERT_TRUE(Load(original, file.string())) << original.ReadError;
  EXPECT_EQ(original.FileFormat, kFormatEulumdat);
  testing::TempDir dir;
  Save(original, code, (dir / "OUT.LDT").string());
  TLUM32 copy;
  ASSERT_TRUE(Load(copy, (dir / "OUT.LDT").string())) << copy.ReadError;
  EXPECT_EQ(copy.FileFormat, kFormatEulumdat);
  EXPECT_EQ(copy.DataFileName.str(), "OUT");
  ExpectSameEulumdatRecord(original, copy);
  // A second pass changes nothing: the written text is a fixed point of read and write.
  copy.DFF = 0.5f;  // a fraction, as after the flux evaluation
  const std::string text = EulumdatText(copy);
  TLUM32 again;
  ASSERT_TRUE(ParseEulumdat(again, text)) << again.ReadError;
  again.SetFileName(copy.FileName);
  again.DFF = 0.5f;
  EXPECT_TRUE(EulumdatText(again) == text);
}

TEST(FormatCorpus, EulumdatFilesAndTheBundledExamplesSurviveWritingAndReading) {
  for (const auto& file : testing::CorpusFiles({"LDT"}))
    ExpectEulumdatRoundTrip(file, kFormatEulumdat);
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testing::ExamplesDir())) {
    if (entry.path().extension() != ".ldt" && entry.path().extension() != ".LDT") continue;
    ExpectEulumdatRoundTrip(entry.path(), kFormatEulumdat2);
    ++seen;
  }
  EXPECT_GE(seen, 4);
}

// --- every real file into every format ---

// The real files of the corpus, and the small files of faults seen in real files: absolute
// photometry from EULUMDAT (lamp count -1, 611.9 lm) and IES (lumens -1, multiplier 1.032, 192
// lamps), a 1 lm lamp whose candela are all below 0.05, a gamma angle of 2.02 beside 2.
std::vector<std::filesystem::path> RealFiles() {
  auto files = testing::CorpusFiles({"LDT", "IES86", "IES91", "IES95", "IES2002"});
  for (const char* name : {"ldt/absolute_led_downlight.ldt", "ies/absolute_192_leds.ies",
                           "ldt/one_lumen_lamp.ldt", "ies/fine_gamma_2_02.ies", "ies/type_a.ies",
                           "ies/type_b_full.ies", "ies/type_b_quadrant.ies"})
    files.push_back(testing::TestDataDir() / name);
  return files;
}

long double Peak(const TLUM32& rec) {
  long double peak = 0;
  for (std::size_t i = 1; i <= rec.NumPlanes; ++i)
    for (std::size_t j = 1; j <= rec.NumGammas; ++j)
      peak = std::max(peak, std::fabs(static_cast<long double>(rec.GetIntensity(i, j))));
  return peak;
}

// Row and column of each angle of a table, to a thousandth of a degree.
class AngleIndex {
 public:
  explicit AngleIndex(const TLUM32& rec) {
    for (std::size_t i = rec.NumPlanes; i >= 1; --i)
      rows_[Key(rec.GetCAngle(i))] = i;
    for (std::size_t j = rec.NumGammas; j >= 1; --j)
      columns_[Key(rec.GetGamma(j))] = j;
  }
  std::size_t Row(float angle) const { return Find(rows_, angle); }
  std::size_t Column(float angle) const { return Find(columns_, angle); }

 private:
  static std::int64_t Key(float angle) { return RoundHalfEven(1000.0L * angle); }
  static std::size_t Find(const std::map<std::int64_t, std::size_t>& m, float angle) {
    const auto it = m.find(Key(angle));
    return it == m.end() ? 0 : it->second;
  }
  std::map<std::int64_t, std::size_t> rows_, columns_;
};

// Every intensity of `a` (times `a_scale`) in `b` (times `b_scale`) within 0.05 %, or within a
// millionth of the peak near 0, at the same angles (`b` may hold more of them: EULUMDAT extends
// a gamma range to 0).
void ExpectIntensitiesKept(const TLUM32& a, long double a_scale, const TLUM32& b,
                           long double b_scale) {
  const long double near_zero = 1e-6L * Peak(a) * a_scale;
  const AngleIndex at(b);
  int mismatches = 0;
  for (std::size_t i = 1; i <= a.NumPlanes; ++i) {
    for (std::size_t j = 1; j <= a.NumGammas; ++j) {
      const float c = a.GetCAngle(i), g = a.GetGamma(j);
      const std::size_t row = at.Row(c), column = at.Column(g);
      if (row == 0 || column == 0) {
        if (++mismatches <= 5) ADD_FAILURE() << "angles C" << c << " gamma " << g << " missing";
        continue;
      }
      const long double stored = a.GetIntensity(i, j) * a_scale;
      const long double read = b.GetIntensity(row, column) * b_scale;
      // The read value is a float again: a few units of its last place besides the rule.
      const long double allowed =
          std::max(5e-4L * std::fabs(stored), near_zero) + 3e-7L * std::fabs(stored);
      if (std::fabs(read - stored) > allowed && ++mismatches <= 5)
        ADD_FAILURE() << "C" << c << " gamma " << g << ": " << static_cast<double>(stored)
                      << " came back as " << static_cast<double>(read);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// What a file written in the format gives back of the record: the intensities (candela for IES,
// cd/klm otherwise) to 0.05 %, LTLI's whole numbers on its own grid, L32 every byte.
void ExpectWrittenFileKeeps(TLUM32& rec, const TLUM32& back, const std::string& bytes,
                            std::uint8_t code) {
  switch (code) {
    case kFormatL32: {
      TLUM32 again;
      ASSERT_TRUE(ParseL32(again, bytes)) << again.ReadError;
      EXPECT_EQ(L32Bytes(again), bytes);
      EXPECT_EQ(back.AbsolutePhotometry, rec.AbsolutePhotometry);
      EXPECT_EQ(back.TotalLampCount(), rec.TotalLampCount());
      ExpectIntensitiesKept(rec, 1, back, 1);
      break;
    }
    case kFormatLtli:
      if (rec.PhotSystem == kSystemC) ExpectLtliGridComesBack(rec, back, 0.05);
      break;
    case kFormatIes86:
    case kFormatIes91:
    case kFormatIes95:
      ExpectIntensitiesKept(rec, rec.TotalLampFlux() / 1000, back, back.TotalLampFlux() / 1000);
      break;
    default:
      if (code != kFormatEulumdat || rec.PhotSystem == kSystemC)
        ExpectIntensitiesKept(rec, 1, back, 1);
  }
}

// Each file into every format the program writes, through Save, and read back through Load: a
// write that succeeds gives a file the program loads, with every intensity. Only LTLI may refuse
// a record (values its four whole-number columns cannot hold), with a one-line reason.
TEST(FormatCorpus, EveryRealFileGoesIntoEveryFormatAndComesBack) {
  testing::TempDir dir;
  std::size_t files = 0, refused = 0;
  for (const auto& file : RealFiles()) {
    TLUM32 source;
    if (!std::filesystem::exists(file) || !Load(source, file.string())) continue;
    ++files;
    for (const FormatRow& w : Formats()) {
      if (!w.write || w.name.empty()) continue;
      SCOPED_TRACE(file.filename().string() + " to " + std::string(w.name));
      TLUM32 rec;  // afresh: a writer may complete the record it writes
      ASSERT_TRUE(Load(rec, file.string()));
      const std::string target = (dir / ("OUT" + std::string(w.extension))).string();
      try {
        Save(rec, w.code, target);
      } catch (const IoError& e) {
        // A-alpha tables have no interpolation, and TM14 and CIE 102 files of them do not load.
        EXPECT_TRUE(w.code == kFormatLtli || rec.PhotSystem == kSystemA) << e.what();
        const std::string reason = e.what();  // "ltli: ...", one line
        EXPECT_NE(reason.find(": "), std::string::npos) << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
        ++refused;
        continue;
      }
      TLUM32 back;
      if (!Load(back, target)) {
        ADD_FAILURE() << "written, but does not load: " << back.ReadError;
        continue;
      }
      EXPECT_EQ(+back.FileFormat, w.code == kFormatEulumdat2 ? +kFormatEulumdat : +w.code);
      ExpectWrittenFileKeeps(rec, back, testing::ReadFile(target), w.code);
    }
  }
  EXPECT_GT(files, 0u);
  EXPECT_LT(refused, files);
}

// LDT -> IES -> LDT and IES -> IES (each edition) keep the luminaire flux, the lamp flux (of all
// lamp sets together) and absolute photometry: the lamp count never wraps, lumens per lamp keep
// their fraction, absolute candela stay absolute.
TEST(FormatCorpus, ThroughIesFluxLampFluxAndAbsolutePhotometryStay) {
  testing::TempDir dir;
  for (const auto& file : RealFiles()) {
    TLUM32 rec;
    if (!std::filesystem::exists(file) || !Load(rec, file.string())) continue;
    CalcFlux(rec);
    for (std::uint8_t edition : {kFormatIes86, kFormatIes91, kFormatIes95}) {
      SCOPED_TRACE(file.filename().string() + " edition " + std::to_string(edition));
      TLUM32 copy;
      ASSERT_TRUE(Load(copy, file.string()));
      Save(copy, edition, (dir / "OUT.IES").string());
      TLUM32 back;
      ASSERT_TRUE(Load(back, (dir / "OUT.IES").string())) << back.ReadError;
      if (rec.FileFormat == kFormatEulumdat) {
        Save(back, kFormatEulumdat, (dir / "OUT.LDT").string());
        ASSERT_TRUE(Load(back, (dir / "OUT.LDT").string())) << back.ReadError;
      }
      CalcFlux(back);
      EXPECT_NEAR(back.LumFlux, rec.LumFlux, 1e-3 * rec.LumFlux);
      const auto lamp_flux = static_cast<double>(rec.TotalLampFlux());
      EXPECT_NEAR(static_cast<double>(back.TotalLampFlux()), lamp_flux, 1e-3 * lamp_flux);
      EXPECT_EQ(back.AbsolutePhotometry, rec.AbsolutePhotometry);
      EXPECT_EQ(back.TotalLampCount(), std::max<std::uint64_t>(rec.TotalLampCount(), 1));
    }
  }
}

}  // namespace
}  // namespace lumatra
