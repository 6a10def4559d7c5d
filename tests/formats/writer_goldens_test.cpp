// What every writer makes of small real files, compared byte for byte with golden files: every
// symmetry, both photometric systems, the IES editions, several lamp sets, decimal commas,
// absolute photometry, irregular grids and the record options the writers read. The files are
// written through Save under a locale with a decimal comma, which must not reach them.
#include <gtest/gtest.h>

#include <clocale>
#include <locale>

#include "formats/format_rows.h"
#include "support/short_date.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

// A record option set before writing, named in the golden file's name.
void Apply(std::string_view option, TLUM32& r) {
  if (option == "unformatted.") r.UnformattedOutput = 1;
  if (option == "c360.") r.DuplicateC0AsC360 = 1;
  if (option == "tm2.") r.WriteTM2Data = 1;
  if (option == "tm2.") r.GlareTable[0][1] = 125;
  if (option == "block3.") r.ExtFlags = 7;
  if (option == "block3.") r.WattsRatio = 1.5f;
  if (option == "dated.") r.DateUser = "";
  if (option == "dated.") r.Editor = "J. Doe";
}

struct Case {
  const char* input;  // under tests/data
  std::vector<const char*> targets;
  const char* option = "";
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"ldt/downlight.ldt",
       {"l32", "ldt", "tm14", "ies86", "ies91", "ies95", "ies02", "ies19", "ltli", "cie"}},
      {"ldt/downlight.ldt", {"tm14"}, "tm2."},
      {"ldt/downlight.ldt", {"l32"}, "block3."},
      {"ldt/downlight.ldt", {"ldt"}, "dated."},
      {"ldt/old_style_cr.ldt", {"ldt", "ies86", "tm14", "cie"}},
      {"ldt/absolute_led_downlight.ldt", {"ldt", "ies95"}},
      {"ldt/one_lumen_lamp.ldt", {"ldt", "ies95"}},
      {"corpus/files/lopz82__pyldt/42932569.ldt", {"ldt", "ies95", "cie", "tm14"}},
      {"corpus/files/lopz82__pyldt/42932569.ldt", {"ies95"}, "unformatted."},
      {"corpus/files/lopz82__pyldt/42932569.ldt", {"ies95"}, "c360."},
      {"corpus/files/lopz82__pyldt/42932565.ldt", {"ldt", "ies86", "tm14", "cie", "ltli"}},
      {"corpus/files/123VincentB__eulumdat-analysis/sample_01.ldt", {"ies91", "cie", "l32"}},
      {"corpus/files/123VincentB__eulumdat-plot/sample_25_isym3.ldt",
       {"ldt", "tm14", "cie", "ies95", "ltli"}},
      {"corpus/files/123VincentB__eulumdat-plot/sample_45_isym4.ldt",
       {"ldt", "ies02", "tm14", "cie", "ltli"}},
      {"corpus/files/dlippok__photometric-viewer/multiple_lamp_sets.ldt",
       {"ldt", "ies95", "ies02", "l32", "tm14", "cie"}},
      {"corpus/files/dlippok__photometric-viewer/absolute.ldt", {"ldt", "ies95", "ies19"}},
      {"corpus/files/dlippok__photometric-viewer/dummy.ldt", {"ldt", "ies95", "cie"}},
      {"ies/type_b_quadrant.ies", {"ies95", "tm14", "cie", "l32", "ldt"}},
      {"ies/type_b_full.ies", {"ies86", "tm14", "cie", "ldt"}},
      {"ies/erco_1986.ies", {"ies86", "ldt"}},
      {"ies/two_keywords_1991.ies", {"ies91", "ies02"}},
      {"ies/williams_1995.ies", {"ies95", "ldt"}},
      {"ies/more_lines_1995.ies", {"ies95", "ies19"}},
      {"ies/bollard_2002.ies", {"ies02", "ies19"}},
      {"ies/long_keyword_2002.ies", {"ies02"}},
      {"ies/tilt_include_2002.ies", {"ies02", "ies19", "ldt"}},
      {"ies/downlight_2019.ies", {"ies19", "ies02", "ldt", "tm14", "cie"}},
      {"ies/absolute_192_leds.ies", {"ldt", "ies95"}},
      {"ies/fine_gamma_2_02.ies", {"ies95", "ldt", "cie"}},
      {"ies/uplight_wide_values.ies", {"ldt", "ies95", "tm14", "cie"}},
      {"cib/downlight.cib", {"tm14", "ldt", "ies95"}},
      {"lvk/downlight.lvk", {"cie", "ldt"}},
      {"ltli/downlight.ltl", {"ltli", "ldt"}},
      {"l32/downlight.l32", {"l32", "ldt"}},
  };
  return cases;
}

// A comma as the decimal point of the C and C++ locales while it lives.
class CommaLocale {
 public:
  CommaLocale() : c_(std::setlocale(LC_ALL, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
      if (std::setlocale(LC_ALL, name)) break;
    cpp_ = std::locale::global(std::locale(std::locale(), new Comma));
  }
  ~CommaLocale() {
    std::locale::global(cpp_);
    std::setlocale(LC_ALL, c_.c_str());
  }

 private:
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  std::string c_;
  std::locale cpp_;
};

TEST(WriterGoldens, EveryCase) {
  SetShortDatePattern("dd.MM.yyyy");
  testing::TempDir dir;
  CommaLocale comma;
  for (const Case& c : Cases()) {
    for (const char* target : c.targets) {
      const FormatRow* writer = FindWriterByName(target);
      ASSERT_NE(writer, nullptr) << target;
      SCOPED_TRACE(std::string(c.input) + " to " + target);
      TLUM32 rec;
      ASSERT_TRUE(Load(rec, (testing::TestDataDir() / c.input).string())) << rec.ReadError;
      if (rec.FileFormat == kFormatCie) rec.DateUser = "";  // the CIE reader notes today
      rec.FileDate = 45658;  // 2025-01-01 where EULUMDAT composes the date line
      Apply(c.option, rec);
      const std::string out =
          (dir / (std::string("OUT") + std::string(writer->extension))).string();
      Save(rec, writer->code, out);
      testing::ExpectGolden(std::string("formats/") +
                                std::filesystem::path(c.input).filename().string() + "." +
                                c.option + target,
                            testing::ReadFile(out));
    }
  }
}

}  // namespace
}  // namespace lumatra
