// Text field functions: trimming, padding, words and file names, on Windows-1252 bytes.
#include "support/text_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace lumatra {
namespace {

const CharSet kBlankComma{" ,"};

TEST(Trim, RemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(Trim(" \t\r\n \x01 "), "");
  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(Trim(std::string("\0x\0", 3)), "x");
  // Bytes above 127 are characters (Windows-1252 letters), not blanks.
  EXPECT_EQ(Trim("\xA0\xE4\xFF"), "\xA0\xE4\xFF");
  EXPECT_EQ(TrimView("  x  "), "x");
}

TEST(Padding, RightAlignsWithoutCutting) {
  EXPECT_EQ((std::vector{LeftPad("abcd", 8), LeftPad("abcd", 3), LeftPad("abcd", 4), LeftPad("", 2),
                         LeftPadCh("7", '0', 3)}),
            (std::vector<std::string>{"    abcd", "abcd", "abcd", "  ", "007"}));
}

TEST(Words, CountPositionAndExtract) {
  EXPECT_EQ(WordCount("", kBlankComma), 0u);
  EXPECT_EQ(WordCount(" , ,", kBlankComma), 0u);
  EXPECT_EQ(WordCount("one two", kBlankComma), 2u);
  EXPECT_EQ(ExtractWord(3, "one two", kBlankComma), "");
  EXPECT_EQ(WordPosition(3, "one two", kBlankComma), 0u);
  EXPECT_EQ(WordPosition(0, "one two", kBlankComma), 0u);
  EXPECT_EQ(ExtractWord(0, "one two", kBlankComma), "");
  // A run of comma, blank, comma is one separator.
  EXPECT_EQ(WordCount("12,  ,34", kBlankComma), 2u);
  EXPECT_EQ(ExtractWord(2, "12, ,34", kBlankComma), "34");
  EXPECT_EQ(WordPosition(2, "12, ,34", kBlankComma), 6u);
  EXPECT_EQ(ExtractWord(1, ",,first", kBlankComma), "first");
  // A tab is a delimiter only when the set holds it.
  EXPECT_EQ(WordCount("a\tb", kBlankComma), 1u);
  EXPECT_EQ(WordCount("a\tb", CharSet{"\t"}), 2u);
}

TEST(Words, TextsLongerThanAShortText) {
  std::string text;
  for (int i = 0; i < 1000; ++i)
    text += std::to_string(i) + " ";
  EXPECT_EQ(WordCount(text, kBlankComma), 1000u);
  EXPECT_EQ(ExtractWord(1000, text, kBlankComma), "999");
  EXPECT_EQ(WordPosition(1000, text, kBlankComma), text.size() - 3);
  EXPECT_EQ(ExtractWordView(1001, text, kBlankComma), "");
}

TEST(Words, DelimiterSetHandlesEveryByte) {
  CharSet set;
  set.Add('\xFF');
  set.Add('\0');
  EXPECT_TRUE(set.Contains('\xFF'));
  EXPECT_TRUE(set.Contains('\0'));
  EXPECT_FALSE(set.Contains('\x7F'));
  EXPECT_EQ(WordCount(std::string("a\xFF"
                                  "b\0c",
                                  5),
                      set),
            3u);
}

TEST(Paths, BackSlashAndNames) {
  for (auto [in, out] :
       {std::pair{"C:", "C:"}, {"C:\\data\\", "C:\\data\\"}, {"C:\\data", "C:\\data\\"}, {"", ""}})
    EXPECT_EQ(AddBackSlash(in), out) << in;
  for (auto [in, out] : {std::pair{"C:\\lum\\FILE.LDT", "FILE.LDT"},
                         {"A:FILE.LDT", "FILE.LDT"},
                         {"/home/u/file.ldt", "file.ldt"},
                         {"FILE.LDT", "FILE.LDT"},
                         {"C:\\dir\\", ""}})
    EXPECT_EQ(JustFilename(in), out) << in;
  EXPECT_EQ(JustFilename(std::string(100, 'n')), std::string(64, 'n'));
  for (auto [in, out] :
       {std::pair{"C:\\lum\\name.v2.ldt", "name"}, {"C:\\lum.d\\plain", "plain"}, {".hidden", ""}})
    EXPECT_EQ(JustName(in), out) << in;
  EXPECT_EQ((std::vector{IsRemovableDrive("A:\\"), IsRemovableDrive("b:file"),
                         IsRemovableDrive("C:\\"), IsRemovableDrive("")}),
            (std::vector{true, true, false, false}));
}

TEST(Texts, ShortTextAndUpperCase) {
  EXPECT_EQ(ShortText(std::string(300, 'x')).size(), kShortTextMax);
  EXPECT_EQ(ShortText("abc"), "abc");
  EXPECT_EQ(UpperCase("ldt.Ies-1\xE4"), "LDT.IES-1\xE4");
}

}  // namespace
}  // namespace lumatra
