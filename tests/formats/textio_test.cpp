// The shared text layer under every reader and writer: where lines end, what counts as a number,
// and that every printed number reads back to the precision it was printed at.
#include "formats/textio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "formats/eulumdat.h"

namespace lumatra {
namespace {

using Lines = std::vector<std::string>;

TEST(LineReader, LineEndsByteOrderMarkAndBinaryBytes) {
  const std::pair<std::string, Lines> cases[] = {
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two line ends
      {"a\r\r\nb", {"a", "", "b"}},
      {"\n\n", {"", ""}},
      {"", {}},
      {"\xEF\xBB\xBF"
       "first\r\n\xEF\xBB\xBFx",
       {"first", "\xEF\xBB\xBFx"}},
      {"\xEF\xBB", {"\xEF\xBB"}},
      {std::string("a\0b\r\nc", 6), {std::string("a\0b", 3), "c"}},
  };
  for (const auto& [text, expected] : cases) {
    LineReader in(text);
    Lines lines;
    for (std::string_view line; in.Next(line);)
      lines.emplace_back(line);
    EXPECT_EQ(lines, expected) << text;
  }
}

TEST(ParseNumber, AcceptsPlainDecimalNumbersOnly) {
  double v = -1;
  for (auto [text, value] : {std::pair{"1.5", 1.5},
                             {"+2", 2.0},
                             {"-3e2", -300.0},
                             {".5", 0.5},
                             {"5.", 5.0},
                             {"1E-3", 0.001},
                             {"007", 7.0},
                             {"-0", 0.0}}) {
    EXPECT_TRUE(ParseNumber(text, v)) << text;
    EXPECT_DOUBLE_EQ(v, value) << text;
  }
  for (const char* text : {"", "+", "-", ".", "1,5", " 1", "1 ", "inf", "nan", "0x10", "1e",
                           "1e400", "1e-400", "--1", "+-1", "1.2.3", "e5", "12a"}) {
    EXPECT_FALSE(ParseNumber(text, v)) << text;
    EXPECT_EQ(v, 0.0) << text;
  }
}

// Whatever a writer prints reads back through the readers' parser to the printed precision.
TEST(NumberStyles, PrintedNumbersReadBack) {
  for (double x = 1e-4; x < 1e12; x *= 1.37) {
    for (double v : {x, -x}) {
      const std::pair<std::string, double> printed[] = {
          {FormatFixed(v, 5, 1), std::max(0.0501, 5.01e-5 * x)},
          {FormatF(v), std::max(0.0501, 5.01e-7 * x)},
          {FormatKept(v, 0), 5.0001e-4 * x},
          {EulumdatNumber(v, 5), 5.0001e-5 * x}};
      for (const auto& [text, tolerance] : printed) {
        double back = 0;
        ASSERT_TRUE(ParseNumber(text, back)) << text;
        EXPECT_NEAR(back, v, tolerance) << text;
      }
    }
  }
}

}  // namespace
}  // namespace lumatra
