// EULUMDAT texts built in the tests: a valid file as a list of lines that a test changes line by
// line (lines[0] is line 1) before joining them.
#pragma once

#include <charconv>
#include <string>
#include <utility>
#include <vector>

namespace lumatra::testing {

// The number of intensity blocks a file of this symmetry lists for Mc planes at step Dc.
inline int LdtBlocks(int symmetry, int mc) {
  switch (symmetry) {
    case 1:
      return 1;
    case 2:
    case 3:
      return mc / 2 + 1;
    case 4:
      return mc / 4 + 1;
    default:
      return mc;
  }
}

// Intensity of block b (1-based, in file order) at gamma index j (1-based): tells the tests
// which block landed in which plane.
inline double LdtValue(int block, int j) {
  return 100.0 * block + j;
}

// Shortest text of a number, independent of the locale.
inline std::string Num(double x) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, end);
}

inline double ParseDouble(const std::string& s) {
  double v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

struct LdtFile {
  LdtFile(int symmetry_ = 0, int mc_ = 24, std::string dc_ = "15")
      : symmetry(symmetry_), mc(mc_), dc(std::move(dc_)) {}
  int symmetry;
  int mc;
  std::string dc;
  std::vector<std::string> c_angles;  // default: mc angles at Dc from 0
  std::vector<std::string> gammas;    // default: 0 to 90 by 5
  std::string dg = "5";
  int blocks = -1;  // default: LdtBlocks(symmetry, mc)
  int lamp_sets = 1;
};

inline std::vector<std::string> LdtLines(const LdtFile& f) {
  std::vector<std::string> c = f.c_angles;
  if (c.empty())
    for (int i = 0; i < f.mc; ++i)
      c.push_back(Num(i * ParseDouble(f.dc)));
  std::vector<std::string> g = f.gammas;
  if (g.empty())
    for (int j = 0; j <= 18; ++j)
      g.push_back(std::to_string(5 * j));
  std::vector<std::string> lines = {
      "Test company / data bank 1.0",  // 1
      "2",
      std::to_string(f.symmetry),
      std::to_string(f.mc),
      f.dc,  // 5
      std::to_string(g.size()),
      f.dg,
      "Report 42",
      "Line luminaire 1x28W",
      "LN-100",  // 10
      "source.ldt",
      "01.02.2020 / tester",
      "1200",
      "300",
      "80",  // 15
      "1100",
      "250",
      "10",
      "11",
      "12",  // 20
      "13",
      "85.5",
      "75.0",
      "1.0",
      "0",  // 25
      std::to_string(f.lamp_sets),
  };
  for (int k = 1; k <= f.lamp_sets; ++k) {
    lines.push_back("2");
    lines.push_back("T5 28W set " + std::to_string(k));
    lines.push_back(std::to_string(5000 + k * 100));
    lines.push_back("840");
    lines.push_back("1B");
    lines.push_back(std::to_string(60 + k));
  }
  for (int i = 1; i <= 10; ++i)
    lines.push_back("0." + std::to_string(40 + i));
  lines.insert(lines.end(), c.begin(), c.end());
  lines.insert(lines.end(), g.begin(), g.end());
  const int blocks = f.blocks >= 0 ? f.blocks : LdtBlocks(f.symmetry, f.mc);
  for (int b = 1; b <= blocks; ++b)
    for (std::size_t j = 1; j <= g.size(); ++j)
      lines.push_back(Num(LdtValue(b, static_cast<int>(j))));
  return lines;
}

// Line number of the first C angle (1-based) in a file from LdtLines.
inline std::size_t LdtFirstCAngleLine(int lamp_sets) {
  return 26 + 6 * static_cast<std::size_t>(lamp_sets) + 10 + 1;
}

inline std::string Join(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
  std::string out;
  for (const auto& l : lines)
    out += l + eol;
  return out;
}

}  // namespace lumatra::testing
