// The conversion pipeline on real files: each case of settings and target pinned as the file it
// writes (tests/data/golden/pipeline), with the log markers and the restored LOR checked here.
#include "app/pipeline.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/conversion_log.h"
#include "app/format_table.h"
#include "app/settings_store.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

using testing::FillGrid;
using testing::Steps;

struct PipelineCase {
  const char* name;  // of the golden file, whose extension names the target
  const char* source;
  std::uint8_t target;
  const char* settings;  // "NAME=value ..." as the store holds them
  std::string marks;
  float lor0_factor = 1;  // the LOR after loading, as the driver passes it, relative to the LOR
};

const char kErco86[] = "ies/erco_1986.ies",
           kAsymmetric[] = "corpus/files/lopz82__pyldt/42932569.ldt";
const std::string kBToC = std::string(kMarkConvertedBC).append(kMarkRedimensioned);

// clang-format off
const PipelineCase kCases[] = {
    {"ies86_label_lines.LDT", kErco86, kFormatEulumdat, "", ""},
    // Line 1 to the maker, 2 to the date; the dialog's empty eighth item (7) copies nothing.
    {"ies86_label_lines_to_maker_and_date.CIB", kErco86, kFormatTm14, "LL1=1 LL2=5 LL4=7", ""},
    {"ies86_label_lines_not_for_ies.IES", kErco86, kFormatIes91, "", ""},
    {"ies86_label_line_6_to_maker.LDT", kErco86, kFormatEulumdat, "LL6=1", ""},
    {"grid_turn_symmetry.LDT", kAsymmetric, kFormatEulumdat, "PLANES=3 ANGLES=2 TURN=1 SYMM=3",
     " REDIM "},
    {"blank_steps_keep_the_grid.LDT", kAsymmetric, kFormatEulumdat, "PLANES=8 ANGLES=5", ""},
    {"c_step_only.LDT", kAsymmetric, kFormatEulumdat, "PLANES=3", " REDIM "},
    {"line_one_replaced_always.LDT", "corpus/files/123VincentB__eulumdat-plot/sample_06_isym1.ldt",
     kFormatEulumdat, "EUL1=Us EUV1=1", "", 0.8f},
    {"b_beta_to_c_planes.LDT", "ies/type_b_full.ies", kFormatEulumdat, "PLANES=3", kBToC},
    {"b_beta_kept_and_not_turned.IES", "ies/type_b_quadrant.ies", kFormatIes95, "TURN=1", ""},
    {"output_options.CIB", "corpus/files/123VincentB__eulumdat-plot/sample_25_isym3.ldt",
     kFormatTm14, "unformat=1 use360=1 CIBS2=1 TURN=1", ""},
};
// clang-format on

TEST(Pipeline, EachCaseWritesItsGoldenFile) {
  for (const PipelineCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TLUM32 rec;
    ASSERT_TRUE(Load(rec, (testing::TestDataDir() / c.source).string()));
    CalcFlux(rec);
    rec.FindPeak();
    const float lor0 = c.lor0_factor * rec.LOR;
    rec.DateUser = "golden";
    ConversionSettings settings;
    std::istringstream assignments(c.settings);
    for (std::string a; assignments >> a;)
      ApplyStoredText(*FindSettingKey(a.substr(0, a.find('='))), settings,
                      a.substr(a.find('=') + 1));
    std::string marks;
    RunPipeline(rec, c.target, rec.FileFormat, lor0, settings,
                [&](std::string_view m) { marks += m; });
    EXPECT_EQ(marks, c.marks);
    EXPECT_NEAR(rec.LOR, lor0, lor0 * 1e-4);
    EXPECT_EQ(rec.LitgDone, 1);
    testing::TempDir dir;
    Save(rec, c.target, (dir / c.name).string());
    testing::ExpectGolden(std::string("pipeline/") + c.name, testing::ReadFile(dir / c.name));
  }
}

TEST(Pipeline, IesTargetsGetAGammaRangeEndingAt90Or180AndALorOfZeroIsKept) {
  // clang-format off
  const std::tuple<float, std::uint8_t, float> cases[] = {
      {85, kFormatIes86, 90}, {120, kFormatIes91, 180}, {90, kFormatIes95, 90},
      {180, kFormatIes95, 180}, {85, kFormatIes02, 90}, {120, kFormatIes19, 180},
      {85, kFormatEulumdat, 85}, {120, kFormatTm14, 120}};
  // clang-format on
  for (const auto& [last, target, expected_last] : cases) {
    TLUM32 rec;
    FillGrid(rec, 1, {0}, Steps(0, 5, last), [](float, float g) { return 100 - g / 2; });
    CalcFlux(rec);
    const float lor = rec.LOR;
    RunPipeline(rec, target, kFormatEulumdat, 0, {}, [](std::string_view) {});
    EXPECT_EQ(rec.GetGamma(rec.NumGammas), expected_last) << last << " " << int{target};
    EXPECT_EQ(rec.GLast, expected_last);
    EXPECT_NEAR(rec.LOR, lor, lor * 0.05);  // scaling by 0 would erase the table
  }
}

}  // namespace
}  // namespace lumatra
