// Text fields on Windows-1252 bytes, their conversion to and from UTF-8, and the short date.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/cp1252.h"
#include "support/short_date.h"
#include "support/text_fields.h"

namespace lumatra {
namespace {

const std::string kCp1252 =
    "Gr\xFC\xDF"
    "e \x80\x9F\xA0\xFF";
const std::string kUtf8 =
    "Gr\xC3\xBC\xC3\x9F"
    "e \xE2\x82\xAC\xC5\xB8\xC2\xA0\xC3\xBF";

TEST(Text, FieldsAreTrimmedPaddedNamedAndConverted) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {Trim(" \t\r\n \x01 "), ""}, {Trim("\t a b \r\n"), "a b"},
      {Trim(std::string("\0x\0", 3)), "x"},
      {Trim("\xA0\xE4\xFF"), "\xA0\xE4\xFF"},  // bytes above 127 are letters, not blanks
      {LeftPad("abcd", 8), "    abcd"}, {LeftPad("abcd", 3), "abcd"},
      {LeftPadCh("7", '0', 3), "007"}, {AddBackSlash("C:\\data"), "C:\\data\\"},
      {AddBackSlash("C:"), "C:"}, {JustFilename("C:\\lum\\FILE.LDT"), "FILE.LDT"},
      {JustFilename("A:FILE.LDT"), "FILE.LDT"}, {JustFilename("/home/u/file.ldt"), "file.ldt"},
      {JustFilename(std::string(99, 'n')), std::string(64, 'n')},
      {JustName("C:\\lum\\name.v2.ldt"), "name"}, {JustName("C:\\lum.d\\plain"), "plain"},
      {JustName(".hidden"), ""}, {UpperCase("ldt.Ies-1\xE4"), "LDT.IES-1\xE4"},
      {ShortText(std::string(300, 'x')), std::string(255, 'x')},
      {std::string(IsRemovableDrive("b:file") ? "removable" : "fixed"), "removable"},
      {std::string(IsRemovableDrive("C:\\") ? "removable" : "fixed"), "fixed"},
      {Cp1252ToUtf8(kCp1252), kUtf8}, {Utf8ToCp1252(kUtf8), kCp1252},
      {Cp1252ToUtf8("\x81"), "\xC2\x81"}, {Utf8ToCp1252("\xC2\x81"), "\x81"},  // undefined: C1
      {Utf8ToCp1252("\xF0\x9F\x92\xA1 \xE4\xB8\xAD"), "? ?"},  // no such character: '?'
      {FormatShortDate(45658), "01.01.2025"},  // days since 1899-12-30
      {WithFourDigitYear("d/M/yy"), "d/M/yyyy"},
  };
  // clang-format on
  for (const auto& [actual, expected] : cases)
    EXPECT_EQ(actual, expected);
}

TEST(Text, WordsAreRunsBetweenAnyDelimiters) {
  std::string numbers;  // longer than a short text
  for (int i = 0; i < 1000; ++i)
    numbers += std::to_string(i) + " ";
  const CharSet blank_comma{" ,"}, odd{std::string_view("\xFF\0", 2)};
  // clang-format off
  const struct { std::string text; CharSet delimiters; std::size_t n, count, at; std::string word; }
      cases[] = {
      {" , ,", blank_comma, 1, 0, 0, ""}, {"one two", blank_comma, 3, 2, 0, ""},
      {"one two", blank_comma, 0, 2, 0, ""}, {"12, ,34", blank_comma, 2, 2, 6, "34"},
      {",,first", blank_comma, 1, 1, 3, "first"}, {"a\tb", blank_comma, 1, 1, 1, "a\tb"},
      {"a\tb", CharSet{"\t"}, 2, 2, 3, "b"}, {std::string("a\xFF" "b\0c", 5), odd, 3, 3, 5, "c"},
      {numbers, blank_comma, 1000, 1000, numbers.size() - 3, "999"},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(WordCount(c.text, c.delimiters), c.count) << c.text.substr(0, 20);
    EXPECT_EQ(WordPosition(c.n, c.text, c.delimiters), c.at) << c.text.substr(0, 20);
    EXPECT_EQ(ExtractWord(c.n, c.text, c.delimiters), c.word) << c.text.substr(0, 20);
  }
}

TEST(Text, ShortDatesFollowThePattern) {
  SetShortDatePattern("yyyy-MM-dd");
  EXPECT_EQ(FormatShortDate(45716.75), "2025-02-28");
  SetShortDatePattern("d.M.yyy");  // three letters or more: the whole year
  EXPECT_EQ(FormatShortDate(45716.75), "28.2.2025");
  SetShortDatePattern("dd.MM.yyyy");
}

}  // namespace
}  // namespace lumatra
