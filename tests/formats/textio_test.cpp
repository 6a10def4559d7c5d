// The shared text layer under every reader and writer: where lines end, what counts as a number,
// that fast number text agrees with the standard conversions, and that every printed number reads
// back to the precision it was printed at.
#include "formats/textio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
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

// The number text is built without std::to_chars and parsed without std::from_chars where it can
// be; both must give exactly what those give, on halves that tie and on values from everywhere.
TEST(NumberStyles, FastDigitsAgreeWithTheStandardConversions) {
  std::mt19937_64 random(14);
  std::vector<double> values{0.25, -0.25, 0.35, -0.04, 2.5, 1e-300, 999999999.96, 1e9, 123456.75};
  for (int i = 0; i < 20000; ++i) {
    values.push_back(static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000) /
                     std::pow(10.0, static_cast<double>(random() % 5)));
    values.push_back(
        std::ldexp(static_cast<double>(random() % 100000), -static_cast<int>(random() % 12)));
  }
  for (double v : values) {
    for (int decimals = 0; decimals <= 9; ++decimals) {
      char buf[512];
      std::string expected(
          buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals).ptr);
      if (expected.find_first_of("123456789") == std::string::npos && expected[0] == '-')
        expected.erase(0, 1);
      ASSERT_EQ(FormatPadded(v, 0, decimals), expected) << v;
      double parsed = 0, standard = 0;
      std::from_chars(expected.data(), expected.data() + expected.size(), standard);
      ASSERT_TRUE(ParseNumber(expected, parsed)) << expected;
      ASSERT_EQ(parsed, standard) << expected;
    }
  }
}

// Intensities are written with the decimals that keep them within 0.05 % (or near_zero); a
// shortcut in double precision decides most of them. Around each boundary of that choice (the
// allowance, the seventh-digit band, near_zero, ties of the rounding) it must write what the
// long-double choice writes, for candela as the writers compute them (float times a scale).
TEST(NumberStyles, KeptTextAgreesWithTheDecimalByDecimalChoice) {
  std::mt19937_64 random(7);
  std::vector<long double> values;
  for (int decimals = 1; decimals <= 10; ++decimals) {
    for (int i = 0; i < 400; ++i) {
      const long double rounded =
          static_cast<long double>(random() % 2000000) / std::pow(10.0L, decimals);
      for (long double band : {5e-4L, 5e-4L + 5e-7L, 5e-4L - 5e-7L}) {
        for (long double boundary : {rounded / (1 - band), rounded / (1 + band)}) {
          long double x = boundary;
          for (int step = 0; step < 3; ++step, x = std::nextafter(x, 0.0L))
            values.insert(values.end(), {x, static_cast<double>(x), static_cast<float>(x)});
        }
      }
      values.push_back(rounded + 0.5L / std::pow(10.0L, decimals));  // a tie
    }
  }
  for (int i = 0; i < 20000; ++i)
    values.push_back(static_cast<float>(random() % 100000) * 0.001f * (1.23456789L + i % 7));
  for (long double x : values) {
    for (long double near_zero : {0.0L, 1e-3L, std::fabs(x) / 5e-4L * 1e-9L, 0.002L}) {
      KeptText room;
      ASSERT_EQ(FormatKept(x, near_zero, room), FormatKeptByDecimals(x, near_zero)) << x;
      ASSERT_EQ(FormatKept(-x, near_zero), FormatKeptByDecimals(-x, near_zero)) << x;
    }
  }
}

// Angles take seven digits straight from the exact rounding instead of FormatFixed's round trip
// through the exponent form; both must write the same, carries into a new digit included.
TEST(NumberStyles, AngleTextAgreesWithSevenDigitFixed) {
  std::vector<double> values{99.9999996, 9.9999995, 99.99999949, 9999999.5, 999999.95, 1e7, 0.5};
  std::mt19937_64 random(3);
  for (int i = 0; i < 20000; ++i)
    values.push_back(static_cast<float>(random() % 10000000) * std::pow(10.0f, -int(random() % 8)));
  for (double v : values) {
    for (double x : {v, -v, std::nextafter(v, 0.0), std::nextafter(v, 1e9)}) {
      std::string expected = FormatFixed(x, 7, 6);
      if (expected.find('E') == std::string::npos)
        while (expected.back() == '0' && expected[expected.size() - 2] != '.')
          expected.pop_back();
      ASSERT_EQ(FormatAngle(x), expected) << x;
    }
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
