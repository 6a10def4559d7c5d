// What the readers understand of real files, as golden summaries: every vendored file as it is,
// and the small files of every format edited line by line or byte by byte (hostile numbers, huge
// counts, junk, other spellings, cuts). An edited file is refused with a one-line reason that
// names its reader, or read into a record that evaluates to finite numbers and can be written
// by every writer; which of the two, and the reason, is in the golden file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "formats/format_rows.h"
#include "photometry/evaluation.h"
#include "support/io_error.h"
#include "support/messages.h"
#include "support/short_date.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using format_tests::Summary;

// Collects the error boxes the readers show.
class Boxes : public MessageSink {
 public:
  Boxes() { previous_ = SetMessageSink(this); }
  ~Boxes() override { SetMessageSink(previous_); }
  void ShowError(std::string_view text) override {
    shown += std::string(" [box: ") + std::string(text) + "]";
  }
  std::string shown;

 private:
  MessageSink* previous_;
};

// The summary of a record; the conversion date the CIE reader notes is given as "(today)".
std::string SummaryOf(TLUM32& rec) {
  const std::string today = FormatShortDate(TodayAsDays());
  if (rec.FileFormat == kFormatCie && rec.DateUser.str().starts_with(today))
    rec.DateUser = std::string("(today)") + rec.DateUser.str().substr(today.size());
  return Summary(rec);
}

// The small files of every format in tests/data, then the vendored corpus.
std::vector<fs::path> VendoredFiles() {
  std::vector<fs::path> files;
  for (const char* dir : {"ldt", "ies", "cib", "lvk", "l32", "ltli"})
    for (const auto& entry : fs::directory_iterator(testing::TestDataDir() / dir))
      if (entry.path().extension() != ".md") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  const fs::path corpus = testing::TestDataDir() / "corpus";
  for (const testing::CorpusEntry& e : testing::Corpus())
    if (e.path.string().starts_with(corpus.string())) files.push_back(e.path);
  return files;
}

TEST(ReaderGoldens, VendoredFilesAsLoaded) {
  std::string out;
  for (const fs::path& file : VendoredFiles()) {
    Boxes boxes;
    TLUM32 rec;
    const bool loaded = Load(rec, file.string());
    out += fs::relative(file, testing::TestDataDir()).generic_string() + "\t" +
           (loaded ? SummaryOf(rec) : std::string("refused\t") + rec.ReadError) + boxes.shown +
           "\n";
  }
  testing::ExpectGolden("formats/vendored_reads.tsv", out);
}

// `edits` applied to `bytes`: "N=text" replaces line N (from 1) by the text; "|" joins edits.
std::string Edited(std::string bytes, std::string_view edits) {
  for (std::size_t from = 0; from < edits.size();) {
    const std::size_t bar = std::min(edits.find('|', from), edits.size());
    const std::string_view edit = edits.substr(from, bar - from);
    const std::size_t equals = edit.find('=');
    std::size_t start = 0;
    for (int n = std::stoi(std::string(edit.substr(0, equals))); n > 1; --n)
      start = bytes.find('\n', start) + 1;
    bytes.replace(start, bytes.find_first_of("\r\n", start) - start, edit.substr(equals + 1));
    from = bar + 1;
  }
  return bytes;
}

std::string Printable(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char hex[8];
    out += c >= 32 && c < 127 ? std::string(1, static_cast<char>(c))
                              : std::string(hex, std::snprintf(hex, sizeof hex, "\\x%02x", c));
  }
  return out;
}

std::string FloatBytes(float v) {
  std::string s(4, '\0');
  std::memcpy(s.data(), &v, 4);
  return s;
}

// The writers take whatever a reader accepts, or refuse it with a reason; the reader reads back
// what the writer of its own format wrote.
void ExpectSaneRecord(TLUM32& rec) {
  ASSERT_TRUE(rec.Matrix);
  CalcFlux(rec);
  EXPECT_TRUE(std::isfinite(rec.LumFlux)) << rec.LumFlux;
  for (float c : {0.0f, 45.0f, 200.0f})
    for (float g : {0.0f, 30.0f, 170.0f})
      EXPECT_TRUE(std::isfinite(rec.Intensity(c, g)));
  for (const FormatRow* w : format_tests::TargetWriters()) {
    std::string text;
    try {
      text = w->write(rec, w->code);
    } catch (const IoError&) {
      continue;
    }
    if (w->code != rec.FileFormat) continue;
    TLUM32 back;
    std::uint8_t code = 0;
    EXPECT_TRUE(format_tests::ParseWith(format_tests::ReaderOf(*w), back, text, code))
        << back.ReadError;
  }
}

// `bytes` read by the reader of `file`, and the outcome as one line.
std::string Outcome(const std::string& file, const std::string& bytes) {
  Boxes boxes;
  TLUM32 rec;
  rec.SetFileName(file);
  const FormatRow& reader = format_tests::ReaderFor(file);
  std::uint8_t code = 0;
  if (!format_tests::ParseWith(reader, rec, bytes, code)) {
    EXPECT_EQ(rec.ReadError.rfind(std::string(reader.name) + ": ", 0), 0u) << rec.ReadError;
    EXPECT_EQ(rec.ReadError.find('\n'), std::string::npos) << rec.ReadError;
    return std::string("refused\t") + rec.ReadError + boxes.shown;
  }
  rec.FileFormat = code;
  const std::string summary = SummaryOf(rec);
  ExpectSaneRecord(rec);
  return summary + boxes.shown;
}

// ldt/downlight.ldt: 3 symmetry, 4-7 Mc Dc Ng Dg, 13-21 dimensions, 22-24 DFF LOR factor, 26
// lamp sets, 27 lamps, 43-44 C angles, 45-47 gammas, 48-53 intensities. ies/candela_mid_line.ies:
// 1 edition, 5 TILT, 6 the ten values (7-9: shape in metres), 7 ballast, 8-9 angles, 10-11 candela.
// clang-format off
const std::vector<std::pair<std::string, std::vector<std::string>>> kLineEdits = {
  {"ldt/downlight.ldt", {
    "2=1,0", "3=5", "3=-1", "3=256", "3=0", "3=1", "3=3", "3=4", "4=twenty", "4=0", "4=70000",
    "4=99999999999999999999", "4=36000|5=0.01|6=65535", "3=0|4=36000|5=0.01|6=65535",
    "4=60000|5=0|6=60000", "5=-15", "5=-0|43=-0", "4=4|5=0", "6=-3", "7=1e39", "7=1e309", "7=nan",
    "13=", "13=1200.|14=0|15=abc|17=0|21=", "13=70000|16=-5|17=1200,5",
    "22= 85,5 |23=75.0 %|32=n/a", "24=0", "24=0.0004", "24=2,5", "26=-1", "26=1000000000000000",
    "27=-1e39", "27=0", "27=-2", "27=300", "44=0|5=0", "46=0", "47=3e38", "50=inf", "50=-1e39",
    "50=12x", "50=\xff\xfe\x01",
    // C angles listed (Dc 0) for symmetry 3 and 4: which listed planes are stored.
    "53=100\n1\n2\n3\n4\n5\n6\n7\n8\n9|44=30\n90\n150\n180\n210\n270\n330|3=3|4=8|5=0",
    "53=100\n1\n2\n3|44=20\n90\n160\n180\n200\n270\n340|3=4|4=8|5=0"}},
  {"ies/candela_mid_line.ies", {
    "1=iesna91", "1=IESNA91", "1=IESNA95", "1=iesna: lm-63-2002 ", "1=IES:  lm-63-2019",
    "1=IESNA:LM-63-2019", "1=IESNA:LM-63-2002 draft", "1=TILT=NONE",
    "2=[manufac] Lower Case|3=[TEST],Comma", "5=TILT= none ", "5=TILT=lamp.tlt", "5=[MORE] x",
    "6=1 1000 1 3 2", "6=1,1000,1,3,2,1,2,0.1,0.1,0.05", "6=0 2000 0 3 2 1 1 1 2 0.5",
    "6=2 -1 2.5 3 2 1 3 0.3004 1.2496 0", "6=1 0 1 3 2 1 2 -1e300 0 0",
    "6=1 1e39 1 3 2 1 2 0.1 0.1 0.05", "6=1 1000 1 0 2 1 2 0.1 0.1 0.05",
    "6=1 1000 1 3 -3 1 2 0.1 0.1 0.05", "6=1 1000 1 70000 2 1 2 0.1 0.1 0.05",
    "6=1 1000 1 1000 1001 1 2 0.1 0.1 0.05", "6=1 1000 1 3 2 0 2 0.1 0.1 0.05",
    "6=1 1000 1 3 2 2 2 0.1 0.1 0.05", "6=1 1000 1 1 2 1 2 0.1 0.1 0.05|8=0",
    "6=1 1000 1 3 3 1 2 0.1 0.1 0.05|9=0 180 360", "6=1 1000 1 3 3 1 2 0.1 0.1 0.05",
    "6=1 1000 1 3 2 1 2 -0.5 0 0", "6=1 1000 1 3 2 1 2 -0.3 0 -0.3",
    "6=1 1000 1 3 2 1 2 -0.2 0 0.15", "6=1 1000 1 3 2 1 2 -0.3 0 -0.2",
    "6=1 1000 1 3 2 1 2 -0.4 0.6 0.1", "6=1 1000 1 3 2 1 2 -0.4 0.6 -0.1",
    "6=1 1000 1 3 2 1 2 0 1.2 -0.08", "6=1 1000 1 3 2 1 2 0.9 0 -0.07",
    "6=1 1000 1 3 2 1 2 0.3 1.2 0.05", "6=1 1000 1 3 2 1 2 0.3 1.2 0",
    "6=1 1000 1 3 2 1 2 0.3 1.2 -0.06", "6=1 1000 1 3 2 1 2 0 0 0", "6=1 1000 1 3 2 1 2 0.5 0 0",
    "7=1 1|8=|9=|10=|11=", "7=1 1.10100 60|1=IES:LM-63-2019", "8=0 45 3e38", "8=0 45 45",
    "8=-0 10 30|11=nan -0", "8=0\t45\t90|9=0,180", "9=180 0", "9=0 90", "9=90 270", "11=1e39 100",
    "10=\x01\x02\x03", "11=", "10=800|11=", "6=1 1000 1 3 1 1 2 0.1 0.1 0.05|11="}},
  {"ies/type_b_quadrant.ies", {
    "9=-30 0 10 20", "10=-40 0 40"}},
  {"cib/downlight.cib", {
    "1=cibse/1   ", "1=CIBSE/2", "9=1 2 0.100 0.100 0.050", "9=1 4 0.100 0.100 0.050", "12=0 2",
    "12=x y", "12=3 3", "12=1001 1000", "12=65535 65535", "13=0.0 45.0 1e39", "13=90 45 0",
    "14=0 0", "14=180 0", "14=90 0", "16=800 3.5e38 100", "17=2 0.0707 0 0", "17=3 0.0707 0.03 0",
    "17=1 0.06 0.03", "11=3.5|10=1 58 29"}},
  {"lvk/downlight.lvk", {
    "1=cief= cie fileformat, version 1.0|25=npla = 2 = x", "1=CIE FILE VERSION",
    "2=IDNM=|5=NLPS= 300", "13=LSHP= 3|15=LA01= 0.071, 0, 0", "18=PHOT= FILE", "20=APOS= A1",
    "20=APOS= X7", "22=MULT= 2,5", "22=MULT= 0", "24=NCON= 60000|25=NPLA= 60000", "25=NPLA= 0",
    "25=NPLA= 70000", "25=NPLA= 3", "26=CONA= 0 90 45", "27=90 800 600 200|28=270 800 500 100",
    "27=180 800 600 200|28=90 800 500 100", "28=1e38 800 500 100", "28=0 800 500 100",
    "28=180 800 -1e39 100"}},
  {"ltli/downlight.ltl", {
    "1=  -1 3509999  10   2  90  10  10   5LTLIDOWNLIGHT",
    "1=  -1 350  90  10   2  90  10  10   5ltliDOWNLIGHT",
    "1=  -1 350  90  10   2  90  10  10   5LTLX", "1=  -1 350  90   0   2  90  10  10   5LTLI",
    "1=  -1 350 -90  10   2  90  10  10   5LTLI", "1=  -1 350  90 -10   2  90  10  10   5LTLI",
    "1=  x1 350  90  10   2   02500 300  61LTLI", "1=  -1 180  90  10   2 -90  10  10   5LTLI",
    "1=  -1  90  90  10   2   0  10  10   5LTLI", "1=  -1   0  90  10   2   0  10  10   5LTLI",
    "2=\"R 7\"|3=  Maker  "}},
};
// clang-format on

TEST(ReaderGoldens, EditedFiles) {
  std::vector<std::tuple<std::string, std::string, std::string>> cases;  // file, what, bytes
  const auto add = [&](const std::string& file, const std::string& what, std::string bytes) {
    cases.emplace_back(file, what, std::move(bytes));
  };
  for (const auto& [file, edits] : kLineEdits)
    for (const std::string& edit : edits)
      add(file, edit, Edited(testing::ReadFile(testing::TestDataDir() / file), edit));
  add("ldt/downlight.ldt", "long texts",
      Edited(testing::ReadFile(testing::TestDataDir() / "ldt/downlight.ldt"),
             std::string("1=") + std::string(100, 'C') + "|8=" + std::string(50, 'R')));
  // L32 offsets: a gamma angle at 37, intensity (1, 1) at 45, row and column counts at 4, the
  // block bytes at 12, the identifier at 19, ExtFlags at 75, NumPlanes at 957, GStep at 977.
  const std::string l32 = testing::ReadFile(testing::TestDataDir() / "l32/downlight.l32");
  for (const auto& [at, bytes] :
       std::vector<std::pair<std::size_t, std::string>>{{37, FloatBytes(std::nanf(""))},
                                                        {37, FloatBytes(3e38f)},
                                                        {37, FloatBytes(45)},
                                                        {45, FloatBytes(std::nanf(""))},
                                                        {957, std::string(2, '\0')},
                                                        {957, "\xff"},
                                                        {4, "\xd0\x07\xd0\x07"},
                                                        {12, "\xff\xff"},
                                                        {20, "X"},
                                                        {75, "\x07"},
                                                        {1, "200"},
                                                        {977, FloatBytes(1e-38f)}})
    add("l32/downlight.l32", std::string("@") + std::to_string(at) + "=" + Printable(bytes),
        std::string(l32).replace(at, bytes.size(), bytes));
  // Cuts through each file, the last one inside the final number.
  for (const char* file : {"ldt/downlight.ldt", "ies/candela_mid_line.ies", "cib/downlight.cib",
                           "lvk/downlight.lvk", "l32/downlight.l32", "ltli/downlight.ltl"}) {
    const std::string bytes = testing::ReadFile(testing::TestDataDir() / file);
    for (std::size_t at : {std::size_t{0}, bytes.size() / 5, bytes.size() / 2, bytes.size() * 4 / 5,
                           bytes.size() - 3})
      add(file, std::string("cut at ") + std::to_string(at), bytes.substr(0, at));
  }
  std::string out;
  for (const auto& [file, what, bytes] : cases) {
    SCOPED_TRACE(file + ": " + what);
    out += file + "\t" + Printable(what) + "\t" + Outcome(file, bytes) + "\n";
  }
  testing::ExpectGolden("formats/edited_reads.tsv", out);
}

// Cuts at every few bytes and single bytes changed all through the small files and a few real
// ones: each refused with a reason, or read sanely.
TEST(DamagedFiles, AreRefusedOrReadSanely) {
  std::vector<fs::path> files;
  for (const char* file : {"ldt/downlight.ldt", "ldt/old_style_cr.ldt", "ies/candela_mid_line.ies",
                           "ies/tilt_include_2002.ies", "ies/type_b_full.ies", "cib/downlight.cib",
                           "lvk/downlight.lvk", "l32/downlight.l32", "ltli/downlight.ltl"})
    files.push_back(testing::TestDataDir() / file);
  for (const fs::path& file : testing::CorpusFiles({"LDT", "IES95", "IES2002"}))
    if (fs::file_size(file) < 3000 && files.size() < 16) files.push_back(file);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const std::string text = testing::ReadFile(file);
    for (std::size_t at = 0; at < text.size(); at += std::max<std::size_t>(1, text.size() / 50)) {
      (void)Outcome(file.string(), text.substr(0, at));
      for (char c : {'\0', '\n', '-', '9', '\xff', ','})
        (void)Outcome(file.string(), text.substr(0, at) + c + text.substr(at + 1));
    }
  }
}

}  // namespace
}  // namespace lumatra
