// The shared text-file layer: line reading, the tolerant number parsers and the number styles.
#include "formats/textio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <vector>

namespace lumatra {
namespace {

std::vector<std::string> AllLines(std::string_view data) {
  LineReader in(data);
  std::vector<std::string> lines;
  std::string_view line;
  while (in.Next(line))
    lines.emplace_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, EveryLineEndStyleAndMixtures) {
  EXPECT_EQ(AllLines("a\r\nb\r\nc\r\n"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(AllLines("a\nb\nc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(AllLines("a\rb\rc\r"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(AllLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  // LF CR is two line ends (an empty line between), CR CR LF likewise.
  EXPECT_EQ(AllLines("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(AllLines("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(AllLines("\n\n"), (Lines{"", ""}));
  EXPECT_EQ(AllLines(""), Lines{});
}

TEST(LineReader, ByteOrderMarkIsSkippedOnlyAtTheStart) {
  EXPECT_EQ(AllLines("\xEF\xBB\xBF"
                     "first\r\n\xEF\xBB\xBF"
                     "x"),
            (Lines{"first",
                   "\xEF\xBB\xBF"
                   "x"}));
  EXPECT_EQ(AllLines("\xEF\xBB\xBF"), Lines{});
  EXPECT_EQ(AllLines("\xEF\xBB"), (Lines{"\xEF\xBB"}));
}

TEST(LineReader, LinesOfAnyLengthAndBinaryBytes) {
  const std::string long_line(3'000'000, 'x');
  const auto lines = AllLines(long_line + "\r\nend");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), long_line.size());
  EXPECT_EQ(lines[1], "end");
  const std::string with_nul("a\0b\r\nc", 6);
  EXPECT_EQ(AllLines(with_nul)[0], std::string("a\0b", 3));
}

TEST(LineReader, CountsPositionsAndReadsEmptyPastTheEnd) {
  LineReader in("one\r\ntwo\r\n");
  EXPECT_EQ(in.LineNumber(), 0u);
  EXPECT_EQ(in.ReadLine(), "one");
  EXPECT_EQ(in.LineNumber(), 1u);
  EXPECT_EQ(in.Remaining(), 5u);
  EXPECT_EQ(in.Rest(), "two\r\n");
  EXPECT_EQ(in.ReadLine(), "two");
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(in.ReadLine(), "");
  EXPECT_EQ(in.ReadLine(), "");
  EXPECT_EQ(in.LineNumber(), 2u);
  in.Rewind();
  EXPECT_EQ(in.ReadLine(), "one");
  EXPECT_EQ(in.LineNumber(), 1u);
}

TEST(ParseNumber, AcceptsDecimalNumbersOnly) {
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

int64_t IntLine(std::string_view text, bool& ok) {
  LineReader in(text);
  std::int64_t v = -1;
  ok = ReadIntLine(in, v);
  return v;
}

TEST(ReadIntLine, WholeTrimmedNumberRoundedHalfToEven) {
  bool ok = false;
  EXPECT_EQ(IntLine(" 12 \r\n", ok), 12);
  EXPECT_TRUE(ok);
  EXPECT_EQ(IntLine("2.5", ok), 2);
  EXPECT_EQ(IntLine("3.5", ok), 4);
  EXPECT_EQ(IntLine("-2.5", ok), -2);
  EXPECT_EQ(IntLine("\t24\t", ok), 24);
  for (const char* text : {"1,0", "", "   ", "12 W", "x"}) {
    EXPECT_EQ(IntLine(text, ok), 0) << text;
    EXPECT_FALSE(ok) << text;
  }
}

TEST(ReadFloatLine, FirstWordCommaAndTrailingPoint) {
  auto read = [](std::string_view text, bool& ok) {
    LineReader in(text);
    double v = -1;
    ok = ReadFloatLine(in, v);
    return v;
  };
  bool ok = false;
  EXPECT_DOUBLE_EQ(read("85,5", ok), 85.5);
  EXPECT_TRUE(ok);
  EXPECT_DOUBLE_EQ(read(" 75.0 %", ok), 75.0);
  EXPECT_DOUBLE_EQ(read("1200.", ok), 1200.0);
  EXPECT_DOUBLE_EQ(read("1200,", ok), 1200.0);
  EXPECT_DOUBLE_EQ(read("\t-0,25\t", ok), -0.25);
  for (const char* text : {"", "  ", "1,234,5", "1..", "abc 5", "5.0.", "\t5\t6"}) {
    EXPECT_EQ(read(text, ok), 0.0) << text;
    EXPECT_FALSE(ok) << text;
  }
}

TEST(ReadDimLine, EmptyFailsAnythingElseGivesAValue) {
  auto read = [](std::string_view text, bool& ok) {
    LineReader in(text);
    std::uint16_t v = 7;
    ok = ReadDimLine(in, v);
    return v;
  };
  bool ok = false;
  EXPECT_EQ(read("1200.", ok), 1200);
  EXPECT_TRUE(ok);
  EXPECT_EQ(read(" 12.5 ", ok), 12);  // halves to even
  EXPECT_EQ(read("abc", ok), 0);
  EXPECT_TRUE(ok);
  EXPECT_EQ(read("70000", ok), 65535);  // kept inside the 16-bit field
  EXPECT_EQ(read("-5", ok), 0);
  EXPECT_EQ(read("1200,5", ok), 0);  // no decimal comma in a dimension
  EXPECT_TRUE(ok);
  EXPECT_EQ(read("", ok), 0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(read(" . ", ok), 0);
  EXPECT_FALSE(ok);
}

TEST(StrToNumberOrZero, NeverFail) {
  EXPECT_EQ(StrToIntOrZero(" 42 "), 42);
  EXPECT_EQ(StrToIntOrZero("+7"), 7);
  EXPECT_EQ(StrToIntOrZero("-7"), -7);
  for (const char* text : {"4.2", "x", "", "99999999999", "1e3", "--1"})
    EXPECT_EQ(StrToIntOrZero(text), 0) << text;
  EXPECT_DOUBLE_EQ(StrToFloatOrZero("3,5"), 3.5);
  EXPECT_DOUBLE_EQ(StrToFloatOrZero(" 2.5e1 "), 25.0);
  EXPECT_DOUBLE_EQ(StrToFloatOrZero("abc"), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloatOrZero("1,5,5"), 0.0);  // only a single comma is a decimal one
  for (auto [text, value] : {std::pair{".292", 0.292}, {" 1,25 ", 1.25}, {"nan", 0.0}, {"", 0.0}})
    EXPECT_DOUBLE_EQ(StrToFloatOrZero(text), value) << text;
  EXPECT_EQ(StrToIntOrZero("\t5\r"), 5);
}

TEST(NumberStyles, Integer) {
  EXPECT_EQ(FormatInteger(0), "0");
  EXPECT_EQ(FormatInteger(345), "345");
  EXPECT_EQ(FormatInteger(-5), "-5");
  EXPECT_EQ(FormatInteger(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

TEST(NumberStyles, FixedRoundsToPrecisionAndFallsBackToExponent) {
  EXPECT_EQ(FormatFixed(12.34, 5, 1), "12.3");
  EXPECT_EQ(FormatFixed(12.25, 5, 1), "12.2");  // 12.25 is exact: halves to even
  EXPECT_EQ(FormatFixed(1234.56, 5, 1), "1234.6");
  EXPECT_EQ(FormatFixed(12345.6, 5, 1), "12346.0");
  EXPECT_EQ(FormatFixed(99999.7, 5, 1), "1.0000E+5");
  EXPECT_EQ(FormatFixed(123456.7, 5, 1), "1.2346E+5");
  EXPECT_EQ(FormatFixed(-123456.7, 5, 1), "-1.2346E+5");
  EXPECT_EQ(FormatFixed(1.23456789, 5, 3), "1.235");
  EXPECT_EQ(FormatFixed(-0.04, 5, 1), "0.0");
  EXPECT_EQ(FormatFixed(std::nan(""), 5, 1), "0.0");
  EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 5, 1), "0.0");
  EXPECT_EQ(FormatF(1234567.4), "1234567.0");  // seven significant digits
  EXPECT_EQ(FormatF(123456.74), "123456.7");
  EXPECT_EQ(FormatF(12345678), "1.234568E+7");
}

// What the writers print reads back through the readers' parser to the printed precision.
TEST(NumberStyles, PrintedNumbersReadBack) {
  for (double x = 1e-3; x < 1e12; x *= 1.7) {
    for (double sign : {1.0, -1.0}) {
      const double v = sign * x;
      double back = 0;
      const std::string fixed = FormatFixed(v, 5, 1);
      ASSERT_TRUE(ParseNumber(fixed, back)) << fixed;
      EXPECT_NEAR(back, v, std::max(0.0501, 5.01e-5 * x)) << fixed;
      const std::string f = FormatF(v);
      ASSERT_TRUE(ParseNumber(f, back)) << f;
      EXPECT_NEAR(back, v, std::max(0.0501, 5.01e-7 * x)) << f;
      const std::string kept = FormatKept(v, 0);
      ASSERT_TRUE(ParseNumber(kept, back)) << kept;
      EXPECT_NEAR(back, v, 5.0001e-4 * x) << kept;
    }
  }
}

// Intensities keep one decimal where that holds them to 0.05 % (or to `near_zero`), more below;
// angles and fluxes the decimals they have.
TEST(NumberStyles, KeptValuesAnglesAndFluxes) {
  EXPECT_EQ(FormatKept(1000.04, 0), "1000.0");
  EXPECT_EQ(FormatKept(12.3f, 0), "12.3");
  EXPECT_EQ(FormatKept(12.34, 0), "12.34");
  EXPECT_EQ(FormatKept(-3.14159, 0), "-3.142");
  EXPECT_EQ(FormatKept(0.001, 0), "0.001");
  EXPECT_EQ(FormatKept(0.0004, 1e-3), "0.0");
  EXPECT_EQ(FormatAngle(2.02f), "2.02");
  EXPECT_EQ(FormatAngle(15), "15.0");
  EXPECT_EQ(FormatWholeOrDecimals(3350, 7), "   3350");
  EXPECT_EQ(FormatWholeOrDecimals(611.9f, 7), "  611.9");
  EXPECT_EQ(FormatWholeOrDecimals(1000.0 / 192, 7), "5.208333");
}

TEST(NumberStyles, PaddedRightAlignsAndNeverCuts) {
  EXPECT_EQ(FormatPadded(5, 4, 1), " 5.0");
  EXPECT_EQ(FormatPadded(75, 4, 1), "75.0");
  EXPECT_EQ(FormatPadded(123.456, 4, 1), "123.5");
  EXPECT_EQ(FormatPadded(0, 6, 5), "0.00000");
  EXPECT_EQ(FormatPadded(-1.5, 8, 2), "   -1.50");
  EXPECT_EQ(FormatPadded(-0.001, 5, 1), "  0.0");
  EXPECT_EQ(FormatPadded(3, -2, 0), "3");
}

TEST(NumberStyles, IgnoreTheLocale) {
  struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::string old_c = std::setlocale(LC_ALL, nullptr);
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
    if (std::setlocale(LC_ALL, name)) break;
  const std::locale old_cpp = std::locale::global(std::locale(std::locale(), new CommaPunct));
  const std::string fixed = FormatFixed(2.5, 5, 1);
  const std::string padded = FormatPadded(2.5, 6, 2);
  double parsed = 0;
  const bool ok = ParseNumber("2.5", parsed);
  std::locale::global(old_cpp);
  std::setlocale(LC_ALL, old_c.c_str());
  EXPECT_EQ(fixed, "2.5");
  EXPECT_EQ(padded, "  2.50");
  EXPECT_TRUE(ok);
  EXPECT_EQ(parsed, 2.5);
}

}  // namespace
}  // namespace lumatra
