#include "support/short_date.h"

#include <chrono>
#include <cmath>
#include <mutex>

namespace lumatra {

namespace {

// The pattern is set at start and read by conversions on any thread.
std::mutex pattern_mutex;
std::string& Pattern() {
  static std::string pattern = "dd.MM.yyyy";
  return pattern;
}

std::string TwoDigits(unsigned v) {
  return std::string(1, static_cast<char>('0' + v / 10 % 10)) + static_cast<char>('0' + v % 10);
}

}  // namespace

void SetShortDatePattern(std::string_view pattern) {
  std::lock_guard lock(pattern_mutex);
  Pattern() = std::string(pattern);
}
std::string ShortDatePattern() {
  std::lock_guard lock(pattern_mutex);
  return Pattern();
}

double TodayAsDays() {
  using namespace std::chrono;
  auto today = floor<days>(system_clock::now());
  constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};
  return static_cast<double>((today - kEpoch).count());
}

std::string FormatShortDate(double day_count) {
  using namespace std::chrono;
  if (!std::isfinite(day_count) || std::fabs(day_count) > 3.0e6) day_count = 0;
  constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};
  year_month_day ymd{kEpoch + days{static_cast<long>(std::floor(day_count))}};
  const unsigned d = static_cast<unsigned>(ymd.day());
  const unsigned m = static_cast<unsigned>(ymd.month());
  const int y = static_cast<int>(ymd.year());
  const std::string p = ShortDatePattern();
  std::string out;
  for (std::size_t i = 0; i < p.size();) {
    std::size_t run = 1;
    while (i + run < p.size() && p[i + run] == p[i])
      ++run;
    char c = p[i];
    if (c == 'd') {
      out += run >= 2 ? TwoDigits(d) : std::to_string(d);
    } else if (c == 'M') {
      out += run >= 2 ? TwoDigits(m) : std::to_string(m);
    } else if (c == 'y') {
      out += run >= 3 ? std::to_string(y) : TwoDigits(static_cast<unsigned>(y % 100));
    } else {
      out.append(run, c);
    }
    i += run;
  }
  return out;
}

std::string WithFourDigitYear(std::string_view pattern) {
  std::string p(pattern);
  if (p.find("yyyy") != std::string::npos) return p;
  if (auto pos = p.find("yy"); pos != std::string::npos) p.insert(pos, "yy");
  return p;
}

}  // namespace lumatra
