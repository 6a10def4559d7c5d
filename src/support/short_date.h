// The user's short date format (EULUMDAT line 12, the CIE conversion note, the driver's date
// field). A process-wide pattern of d, dd, M, MM, yy, yyyy and literal characters; the window
// sets it from the user's locale with a four-digit year.
#pragma once

#include <string>
#include <string_view>

namespace lumatra {

void SetShortDatePattern(std::string_view pattern);  // default "dd.MM.yyyy"
std::string ShortDatePattern();

// A date as days since 1899-12-30 (the record's FileDate).
double TodayAsDays();
std::string FormatShortDate(double days);

// Inserts "yy" at the first "yy" when the pattern has no "yyyy" (four-digit years).
std::string WithFourDigitYear(std::string_view pattern);

}  // namespace lumatra
