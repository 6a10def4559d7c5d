// The conversion pipeline on real files: each case of settings and target pinned as the file it
// writes (tests/data/golden/pipeline), with the log markers and the restored LOR checked here.
#include "app/pipeline.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/conversion_log.h"
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
  std::function<void(ConversionSettings&)> set;
  std::string marks;
  float lor0_factor = 1;  // the LOR after loading, as the driver passes it, relative to the LOR
};

const PipelineCase kCases[] = {
    {"ies86_label_lines.LDT", "ies/erco_1986.ies", kFormatEulumdat, [](ConversionSettings&) {}, ""},
    {"ies86_label_lines_to_maker_and_date.CIB", "ies/erco_1986.ies", kFormatTm14,
     [](ConversionSettings& s) {
       s.LL1 = kLabelCompany;
       s.LL2 = kLabelDateUser;
       s.LL4 = 7;  // the dialog's empty eighth item copies nothing
     },
     ""},
    {"ies86_label_lines_not_for_ies.IES", "ies/erco_1986.ies", kFormatIes91,
     [](ConversionSettings&) {}, ""},
    {"grid_turn_symmetry.LDT", "corpus/files/lopz82__pyldt/42932569.ldt", kFormatEulumdat,
     [](ConversionSettings& s) {
       s.PLANES = 3;  // 15 degrees
       s.ANGLES = 2;  // 2.5 degrees
       s.TURN = true;
       s.SYMM = 3;  // about C0-C180
     },
     " REDIM "},
    {"blank_steps_keep_the_grid.LDT", "corpus/files/lopz82__pyldt/42932569.ldt", kFormatEulumdat,
     [](ConversionSettings& s) {
       s.PLANES = 8;
       s.ANGLES = 5;
     },
     ""},
    {"line_one_replaced_always.LDT", "corpus/files/123VincentB__eulumdat-plot/sample_06_isym1.ldt",
     kFormatEulumdat,
     [](ConversionSettings& s) {
       s.EUL1 = "Converted by us";
       s.EUV1 = true;
     },
     "", 0.8f},
    {"b_beta_to_c_planes.LDT", "ies/type_b_full.ies", kFormatEulumdat,
     [](ConversionSettings& s) { s.PLANES = 3; },
     std::string(kMarkConvertedBC).append(kMarkRedimensioned)},
    {"b_beta_kept_and_not_turned.IES", "ies/type_b_quadrant.ies", kFormatIes95,
     [](ConversionSettings& s) { s.TURN = true; }, ""},
    {"output_options.CIB", "corpus/files/123VincentB__eulumdat-plot/sample_25_isym3.ldt",
     kFormatTm14,
     [](ConversionSettings& s) {
       s.unformat = s.use360 = s.CIBS2 = true;
       s.TURN = true;
     },
     ""},
};

TEST(Pipeline, EachCaseWritesItsGoldenFile) {
  for (const PipelineCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TLUM32 rec;
    ASSERT_TRUE(rec.Load((testing::TestDataDir() / c.source).string()));
    CalcFlux(rec);
    rec.FindPeak();
    const float lor0 = c.lor0_factor * rec.LOR;
    rec.DateUser = "golden";
    ConversionSettings settings;
    c.set(settings);
    std::string marks;
    RunPipeline(rec, c.target, rec.FileFormat, lor0, settings,
                [&](std::string_view m) { marks += m; });
    EXPECT_EQ(marks, c.marks);
    EXPECT_NEAR(rec.LOR, lor0, lor0 * 1e-4);
    EXPECT_EQ(rec.LitgDone, 1);
    testing::TempDir dir;
    rec.Save(c.target, (dir / c.name).string());
    testing::ExpectGolden(std::string("pipeline/") + c.name, testing::ReadFile(dir / c.name));
  }
}

TEST(Pipeline, IesTargetsGetAGammaRangeEndingAt90Or180AndALorOfZeroIsKept) {
  const struct {
    float last;
    std::uint8_t target;
    float expected_last;
  } cases[] = {{85, kFormatIes86, 90},    {120, kFormatIes91, 180}, {90, kFormatIes95, 90},
               {180, kFormatIes95, 180},  {85, kFormatIes02, 90},   {120, kFormatIes19, 180},
               {85, kFormatEulumdat, 85}, {120, kFormatTm14, 120}};
  for (const auto& c : cases) {
    TLUM32 rec;
    FillGrid(rec, 1, {0}, Steps(0, 5, c.last), [](float, float g) { return 100 - g / 2; });
    CalcFlux(rec);
    const float lor = rec.LOR;
    RunPipeline(rec, c.target, kFormatEulumdat, 0, {}, [](std::string_view) {});
    EXPECT_EQ(rec.GetGamma(rec.NumGammas), c.expected_last) << c.last << " " << int{c.target};
    EXPECT_EQ(rec.GLast, c.expected_last);
    EXPECT_NEAR(rec.LOR, lor, lor * 0.05);  // scaling by 0 would erase the table
  }
}

}  // namespace
}  // namespace lumatra
