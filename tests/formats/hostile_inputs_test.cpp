// Damaged and hostile numbers in small real-shaped files of every format (one downlight written
// in each): each mutilation is refused with its one-line reason and the line it was found on,
// or, where the format tolerates it, read into a record whose evaluation stays finite.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "formats/cie.h"
#include "formats/eulumdat.h"
#include "formats/ies.h"
#include "formats/l32.h"
#include "formats/ltli.h"
#include "formats/tm14.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

// Line `line` (from 1) of a text file replaced by `text`; or, with line 0, the bytes of `text`
// written over the file from byte `offset` on (binary formats).
struct Edit {
  std::size_t line = 0;
  std::string text;
  std::size_t offset = 0;
};

std::string Edited(std::string bytes, const std::vector<Edit>& edits) {
  for (const Edit& e : edits) {
    if (e.line == 0) {
      bytes.replace(e.offset, e.text.size(), e.text);
      continue;
    }
    std::size_t start = 0;
    for (std::size_t n = 1; n < e.line; ++n)
      start = bytes.find('\n', start) + 1;
    const std::size_t end = bytes.find_first_of("\r\n", start);
    bytes.replace(start, end - start, e.text);
  }
  return bytes;
}

bool Parse(const std::string& file, TLUM32& rec, const std::string& bytes) {
  std::uint8_t code = 0;
  const std::string ext = file.substr(file.rfind('.') + 1);
  if (ext == "ldt") return ParseEulumdat(rec, bytes);
  if (ext == "ies") return ParseIes(rec, bytes, code);
  if (ext == "cib") return ParseTm14(rec, bytes);
  if (ext == "lvk") return ParseCie(rec, bytes);
  if (ext == "l32") return ParseL32(rec, bytes);
  return testing::ReadAs(kFormatLtli, rec, bytes);
}

// Little-endian bytes of a float.
std::string FloatBytes(float v) {
  std::string s(4, '\0');
  std::memcpy(s.data(), &v, 4);
  return s;
}

TEST(HostileInputs, RefusedWithTheirLineOrReadIntoAFiniteRecord) {
  const std::string nan = FloatBytes(std::nanf(""));
  // L32 offsets: gamma angle 3 at 37, intensity (1, 1) at 45, NumPlanes at 957, GStep at 977.
  const struct {
    std::string file;
    std::vector<Edit> edits;
    std::string reason;  // empty: read, and the evaluation stays finite
  } cases[] = {
      {"ldt/downlight.ldt", {{27, "-1e39"}}, "ldt: line 27: number of lamps is out of range"},
      {"ldt/downlight.ldt", {{7, "1e39"}}, "ldt: line 7: gamma distance is out of range"},
      {"ldt/downlight.ldt", {{7, "nan"}}, "ldt: line 7: gamma distance is not a number"},
      {"ldt/downlight.ldt",
       {{47, "3e38"}},
       "ldt: line 47: gamma angle 3e+38 is outside -360 to 720"},
      {"ldt/downlight.ldt", {{47, "45"}}, "ldt: line 47: gamma angles do not ascend"},
      {"ldt/downlight.ldt", {{50, "inf"}}, "ldt: line 50: intensity is not a number"},
      {"ldt/downlight.ldt", {{50, "-1e39"}}, "ldt: line 50: intensity is out of range"},
      {"ldt/downlight.ldt", {{4, "0"}}, "ldt: line 4: number of C planes 0 is out of range"},
      {"ldt/downlight.ldt",
       {{4, "36000"}, {5, "0.01"}, {6, "65535"}},
       "ldt: line 5: 18001 x 65535 intensities exceed the limit of 1000000"},
      {"ldt/downlight.ldt",
       {{3, "0"}, {4, "36000"}, {5, "0.01"}, {6, "65535"}},
       "ldt: line 4: 36000 x 65535 intensities exceed the limit of 1000000"},
      {"ldt/downlight.ldt", {{5, "-0"}, {43, "-0"}}, ""},
      {"ies/candela_mid_line.ies", {{11, "1e39 100"}}, "ies: line 11: candela value out of range"},
      {"ies/candela_mid_line.ies",
       {{8, "0 45 3e38"}},
       "ies: line 8: vertical angles hold 3e+38, outside -360 to 720"},
      {"ies/candela_mid_line.ies", {{8, "0 45 45"}}, "ies: line 8: vertical angles do not ascend"},
      {"ies/candela_mid_line.ies", {{9, "180 0"}}, "ies: line 9: horizontal angles do not ascend"},
      {"ies/candela_mid_line.ies",
       {{6, "1 1000 1 3 0 1 2 0.1 0.1 0.05"}},
       "ies: line 6: number of horizontal angles is 0"},
      {"ies/candela_mid_line.ies",
       {{6, "1 1000 1 1000 1001 1 2 0.1 0.1 0.05"}},
       "ies: line 6: 1001 x 1000 intensities exceed the limit of 1000000"},
      {"ies/candela_mid_line.ies",
       {{6, "1 1000 1 3 2 0 2 0.1 0.1 0.05"}},
       "ies: line 6: photometric type 0 is not 1 (C) or 2 (B)"},
      {"ies/type_a.ies", {}, "ies: line 5: photometric type 3 (A-alpha) is not supported"},
      {"ies/candela_mid_line.ies", {{8, "-0 45 90"}, {11, "nan -0"}}, ""},  // tolerant: 0
      {"cib/downlight.cib",
       {{12, "0 2"}},
       "tm14: line 12: 2 planes x 0 angles are not 1 to 65535 each"},
      {"cib/downlight.cib",
       {{12, "1001 1000"}},
       "tm14: line 12: 1000 x 1001 intensities exceed the limit of 1000000"},
      {"cib/downlight.cib",
       {{13, "0.0 45.0 1e39"}},
       "tm14: line 13: gamma angles hold 1e+39, outside -360 to 720"},
      {"cib/downlight.cib", {{13, "90 45 0"}}, "tm14: line 13: gamma angles do not ascend"},
      {"cib/downlight.cib", {{14, "0 0"}}, "tm14: line 14: C angles neither ascend nor descend"},
      {"cib/downlight.cib", {{16, "800 3.5e38 100"}}, "tm14: line 16: intensity out of range"},
      {"cib/downlight.cib", {{14, "180 0"}}, ""},  // descending: mirrored, as written by design
      {"lvk/downlight.lvk", {{25, "NPLA= 0"}}, "cie: NPLA 0 and NCON 3: 0 planes x 3 angles..."},
      {"lvk/downlight.lvk", {{26, "CONA= 0 90 45"}}, "cie: line 26: gamma angles do not ascend"},
      {"lvk/downlight.lvk",
       {{28, "1e38 800 500 100"}},
       "cie: line 28: C angle 1e+38 is outside -360 to 720"},
      {"lvk/downlight.lvk", {{28, "0 800 500 100"}}, "cie: line 28: C angles do not ascend"},
      {"lvk/downlight.lvk", {{28, "180 800 -1e39 100"}}, "cie: line 28: intensity out of range"},
      {"l32/downlight.l32", {{0, nan, 37}}, "l32: gamma angles hold a value that is not a number"},
      {"l32/downlight.l32",
       {{0, FloatBytes(3e38f), 37}},
       "l32: gamma angles hold 3e+38, outside -360 to 720"},
      {"l32/downlight.l32", {{0, FloatBytes(45), 37}}, "l32: gamma angles do not ascend"},
      {"l32/downlight.l32", {{0, nan, 45}}, "l32: intensity 1, 1 is not a number"},
      {"l32/downlight.l32",
       {{0, std::string("\0\0", 2), 957}},
       "l32: 0 planes x 3 angles: the table is empty"},
      {"l32/downlight.l32",
       {{0, "\xd0\x07\xd0\x07", 4}},
       "l32: table of 2000 x 2000 intensities exceeds the limit of 1000000"},
      {"l32/downlight.l32", {{0, FloatBytes(1e-38f), 977}}, ""},  // a step no grid can have
      {"ltli/downlight.ltl",
       {{1, "  -1 3509999  10   2  90  10  10   5LTLIDOWNLIGHT"}},
       "ltli: line 1: C range 350 and gamma range 9999 must lie within 0 to 720"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file + ": " + c.reason);
    const std::string bytes =
        Edited(testing::ReadFile((testing::TestDataDir() / c.file).string()), c.edits);
    TLUM32 rec;
    rec.SetFileName(c.file);
    const bool read = Parse(c.file, rec, bytes);
    if (c.reason.empty()) {
      ASSERT_TRUE(read) << rec.ReadError;
      CalcFlux(rec);
      EXPECT_TRUE(std::isfinite(rec.LumFlux)) << rec.LumFlux;
      EXPECT_TRUE(std::isfinite(rec.Intensity(10, 20)));
      continue;
    }
    EXPECT_FALSE(read);
    if (c.reason.ends_with("...")) {
      EXPECT_EQ(rec.ReadError.rfind(c.reason.substr(0, c.reason.size() - 3), 0), 0u)
          << rec.ReadError;
    } else {
      EXPECT_EQ(rec.ReadError, c.reason);
    }
    EXPECT_EQ(rec.ReadError.find('\n'), std::string::npos);
  }
}

}  // namespace
}  // namespace lumatra
