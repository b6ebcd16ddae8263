#include "core/StringUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StringUtilTest, LiteralsAreCompiledToCp932) {
  EXPECT_EQ(std::string("エラー"), std::string("\x83\x47\x83\x89\x81\x5B"));
  EXPECT_EQ(std::string("表"), std::string("\x95\x5C"));
}

TEST(StringUtilTest, FormatStringAndAppendFormat) {
  std::string out = "old";
  FormatString(out, "%d", 42);
  EXPECT_EQ(out, "42");
  AppendFormat(out, "-%s-%c", "x", 'y');
  EXPECT_EQ(out, "42-x-y");
  FormatString(out, "%s", "");
  EXPECT_EQ(out, "");
}

TEST(StringUtilTest, FormattingHasNoLengthLimit) {
  const std::string big(10000, 'q');
  std::string out;
  FormatString(out, "<%s>", big.c_str());
  EXPECT_EQ(out, "<" + big + ">");
  AppendFormat(out, "%s", big.c_str());
  EXPECT_EQ(out.size(), 20002u);
}

TEST(StringUtilTest, FormattedTextEndsAtEmbeddedNul) {
  EXPECT_EQ(FormatText("ab%ccd", 0), "ab");
}

TEST(StringUtilTest, FixStringLengthCutsAtFirstNul) {
  std::string text("ab\0cd", 5);
  EXPECT_EQ(FixStringLength(text), 2);
  EXPECT_EQ(text, "ab");
  std::string plain = "abc";
  EXPECT_EQ(FixStringLength(plain), 3);
}

TEST(StringUtilTest, MidStringClamps) {
  struct Case {
    int start;
    int count;
    const char* expected;
  };
  const Case cases[] = {
      {2, 3, "cde"},   {4, 10, "ef"},  {-1, 3, "ab"},     {7, 1, ""},
      {6, 1, ""},      {0, 0, ""},     {3, 0, ""},        {-3, 3, ""},  // the count drops to 0
      {-5, 3, "abcdef"},  // a count still negative after the shift takes the rest
      {1, -1, "bcdef"},   {0, 6, "abcdef"}, {2147483647, 5, ""}, {3, 2147483647, "def"},
      {-2147483647 - 1, 5, "abcdef"},
  };
  const std::string source = "abcdef";
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.start) + "," + std::to_string(c.count));
    EXPECT_EQ(MidString(source, c.start, c.count), c.expected);
  }
}

TEST(StringUtilTest, MidStringReadsUpToNulAndLeavesSourceAlone) {
  const std::string source("abc\0xyz", 7);
  EXPECT_EQ(MidString(source, 1, 10), "bc");
  EXPECT_EQ(MidString(source, 4, 1), "");
  EXPECT_EQ(source.size(), 7u);
}

TEST(StringUtilTest, IsMbcsPairBoundaries) {
  struct Case {
    unsigned char lead;
    unsigned char trail;
    bool pair;
  };
  const Case cases[] = {
      {0x80, 0x40, false}, {0x81, 0x40, true},  {0x9F, 0x40, true},  {0xA0, 0x40, false}, {0xDF, 0x40, false},
      {0xE0, 0x40, true},  {0xFC, 0x40, true},  {0xFD, 0x40, false}, {0x81, 0x3F, false}, {0x81, 0x7E, true},
      {0x81, 0x7F, false}, {0x81, 0x80, true},  {0x81, 0xFC, true},  {0x81, 0xFD, false}, {0x81, 0x5C, true},
      {0x81, 0x00, false}, {'a', 'b', false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << int(c.lead) << " " << int(c.trail));
    const char text[3] = {static_cast<char>(c.lead), static_cast<char>(c.trail), 0};
    EXPECT_EQ(IsMbcsPair(text), c.pair);
  }
}

TEST(StringUtilTest, CountChars) {
  struct Case {
    std::string text;
    int count;
  };
  const Case cases[] = {
      {"", 0},
      {"a\nb", 2},
      {"表示A", 3},
      {"\n\n", 0},
      {"\xB1\xB2", 2},      // half-width kana are single bytes
      {"a\x81", 2},         // a lead byte at the end stands alone
      {"\x81\n", 1},        // "\n" is never a trail byte
      {"\x81\x81\x81", 2},  // a pair, then a lone lead
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CountChars(c.text.c_str()), c.count);
  }
}

TEST(StringUtilTest, CutAtCharBoundaryNeverSplitsAPair) {
  struct Case {
    std::string text;
    std::size_t limit;
    std::string expected;
  };
  const Case cases[] = {
      {"abc", 5, "abc"},
      {"abc", 2, "ab"},
      {"a表", 2, "a"},
      {"a表", 3, "a表"},
      {"表表", 3, "表"},
      {"a\x81", 1, "a"},
      {"\x81" "a", 1, ""},  // 81 61 is one character: at a limit of 1 nothing fits
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CutAtCharBoundary(c.text, c.limit), c.expected);
  }
}

}  // namespace
