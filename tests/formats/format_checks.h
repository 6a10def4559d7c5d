// Checks shared by the format tests: a capturing message sink, grid and dimension lists, table
// comparisons at a given precision, and the real files converted in them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/format_table.h"
#include "model/lum32.h"
#include "support/messages.h"
#include "testing/test_support.h"

namespace lumatra::format_checks {

// Collects the error boxes a reader shows while it is installed.
class CapturedMessages : public MessageSink {
 public:
  CapturedMessages() { previous_ = SetMessageSink(this); }
  ~CapturedMessages() override { SetMessageSink(previous_); }
  void ShowError(std::string_view text) override { errors.emplace_back(text); }
  std::vector<std::string> errors;

 private:
  MessageSink* previous_;
};

// The grid summary of a record as one value, so one comparison shows every field that differs.
struct Grid {
  int symmetry, planes, gammas;
  float c_first, c_step, c_last, g_first, g_step, g_last;
  int flags = 0;
  bool operator==(const Grid& o) const {
    const float a[] = {c_first, c_step, c_last, g_first, g_step, g_last};
    const float b[] = {o.c_first, o.c_step, o.c_last, o.g_first, o.g_step, o.g_last};
    for (int k = 0; k < 6; ++k)
      if (std::fabs(a[k] - b[k]) > 1e-5f * std::max(1.0f, std::fabs(a[k]))) return false;
    return symmetry == o.symmetry && planes == o.planes && gammas == o.gammas && flags == o.flags;
  }
};

inline Grid GridOf(const TLUM32& r) {
  return {r.Symmetry, r.NumPlanes, r.NumGammas, r.CFirst, r.CStep,
          r.CLast,    r.GFirst,    r.GStep,     r.GLast,  r.GridFlags};
}

inline void PrintTo(const Grid& g, std::ostream* os) {
  *os << "{symmetry " << g.symmetry << ", " << g.planes << " x " << g.gammas << ", C " << g.c_first
      << ":" << g.c_step << ":" << g.c_last << ", gamma " << g.g_first << ":" << g.g_step << ":"
      << g.g_last << ", flags " << g.flags << "}";
}

// Length, width, diameter and (first) height, for one list comparison.
template <class Dims>
std::vector<int> DimsOf(const Dims& d) {
  if constexpr (requires { d.HeightC0; })
    return {d.Length, d.Width, d.Diameter, d.HeightC0};
  else
    return {d.Length, d.Width, d.Diameter, d.Height};
}

// The lines of a text written with CR LF line ends: every line, the last one too, ends in CR LF,
// and no line holds a lone CR or LF.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "last line without CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
    start = end + 2;
  }
  return lines;
}

// A reader's reason for refusing a file: one line with the format's prefix.
inline void ExpectReason(const TLUM32& rec, std::string_view prefix) {
  EXPECT_EQ(rec.ReadError.rfind(prefix, 0), 0u) << rec.ReadError;
  EXPECT_EQ(rec.ReadError.find('\n'), std::string::npos) << rec.ReadError;
}

// Same angles and intensities within `tolerance(value)`, cell by cell.
template <class Tolerance>
void ExpectSameTable(const TLUM32& a, const TLUM32& b, Tolerance tolerance) {
  ASSERT_EQ(a.NumPlanes, b.NumPlanes);
  ASSERT_EQ(a.NumGammas, b.NumGammas);
  int mismatches = 0;
  auto check = [&](std::size_t i, std::size_t j) {
    const float x = a.GetIntensity(i, j), y = b.GetIntensity(i, j);
    if (std::fabs(double{x} - y) > tolerance(x) && ++mismatches <= 5)
      ADD_FAILURE() << "cell (" << i << ", " << j << "): " << x << " vs " << y;
  };
  for (std::size_t j = 1; j <= a.NumGammas; ++j)
    check(0, j);
  for (std::size_t i = 1; i <= a.NumPlanes; ++i)
    for (std::size_t j = 0; j <= a.NumGammas; ++j)
      check(i, j);
  EXPECT_EQ(mismatches, 0);
}

// F(x) keeps one decimal and seven significant digits.
inline double OneDecimal(double x) {
  return 0.05 + std::fabs(x) * 1e-6;
}

// Truncations and single-byte changes of a valid file: the reader may refuse them but never
// crashes, and a record it accepts can be evaluated and written again.
template <class Parse, class Write>
void SurvivesMutations(const std::string& text, Parse parse, Write write) {
  CapturedMessages quiet;
  const std::size_t step = std::max<std::size_t>(1, text.size() / 150);
  auto exercise = [&](const std::string& bytes) {
    TLUM32 rec;
    rec.SetFileName("mutated.dat");
    if (!parse(rec, bytes)) {
      EXPECT_FALSE(rec.ReadError.empty());
      return;
    }
    ASSERT_TRUE(rec.Matrix);
    rec.FindPeak();
    for (float c : {0.0f, 45.0f, 200.0f, 359.0f})
      for (float g : {0.0f, 30.0f, 90.0f, 170.0f})
        (void)rec.Intensity(c, g);
    try {
      (void)write(rec);
    } catch (const std::exception&) {
      // A writer may refuse a record its format cannot hold; it must not crash.
    }
  };
  for (std::size_t cut = 0; cut < text.size(); cut += step)
    exercise(text.substr(0, cut));
  for (std::size_t at = 0; at < text.size(); at += step) {
    for (char replacement : {'\0', '\n', '-', '9', ' ', '\xff', '=', ','}) {
      std::string mutated = text;
      mutated[at] = replacement;
      exercise(mutated);
    }
  }
}

// The real EULUMDAT and IES files, loaded; files whose reader is not available yet are skipped
// (the count of loaded files is returned so a test can skip when there are none).
template <class Check>
std::size_t ForEachCorpusRecord(Check check) {
  std::size_t loaded = 0;
  for (const auto& file : testing::CorpusFiles({"LDT", "IES86", "IES91", "IES95", "IES2002"})) {
    if (!std::filesystem::exists(file)) continue;
    TLUM32 rec;
    if (!Load(rec, file.string())) continue;
    ++loaded;
    SCOPED_TRACE(file.filename().string());
    check(rec, file);
  }
  return loaded;
}

}  // namespace lumatra::format_checks
