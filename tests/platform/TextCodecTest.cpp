#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/TextCodec.h"
#include "support/Utf8Text.h"

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  char cell[4];
  for (unsigned char c : bytes) {
    std::snprintf(cell, sizeof cell, "%02X ", c);
    out += cell;
  }
  return out;
}

const std::string kReplacementChar = "\xEF\xBF\xBD";  // U+FFFD

// Every text of the program relies on narrow literals being CP932; a build
// without -fexec-charset=CP932 leaves them UTF-8 and fails here.
TEST(TextEncodingTest, NarrowLiteralsAreCompiledToCp932) {
  struct Case {
    std::string literal;
    std::string bytes;
  };
  const Case cases[] = {
      {"エラー", "\x83\x47\x83\x89\x81\x5B"},
      {"表", "\x95\x5C"},
      {"\\", "\x5C"},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(c.literal), Hex(c.bytes));
}

TEST(TextCodecTest, ConvertsBothWaysWithoutLoss) {
  struct Case {
    std::string cp932;
    std::string utf8;
  };
  const Case cases[] = {
      {"", ""},
      {"plain ASCII 0-9", "plain ASCII 0-9"},
      {"エラー", Utf8(u8"エラー")},
      // 0x5C and 0x7E stay backslash and tilde (no yen sign, no overline).
      {"data\\stg4\\a~b", "data\\stg4\\a~b"},
      // Trail bytes 0x5C: 表 is 95 5C, ソ is 83 5C.
      {"表示\\ソフト", Utf8(u8"表示\\ソフト")},
      {"ｱｲｳ", Utf8(u8"ｱｲｳ")},  // half-width kana are single bytes
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(plat::Cp932ToUtf8(c.cp932)), Hex(c.utf8)) << "from CP932 " << Hex(c.cp932);
    EXPECT_EQ(Hex(plat::Utf8ToCp932(c.utf8)), Hex(c.cp932)) << "from UTF-8 " << Hex(c.utf8);
  }
}

TEST(TextCodecTest, LongTextRoundTrips) {
  std::string cp932;
  for (int i = 0; i < 5000; ++i) cp932 += "表示エラーabc\\ｱ";
  const std::string utf8 = plat::Cp932ToUtf8(cp932);
  EXPECT_EQ(utf8.size(), 5000u * Utf8(u8"表示エラーabc\\ｱ").size());
  EXPECT_EQ(plat::Utf8ToCp932(utf8), cp932);
}

TEST(TextCodecTest, ReplacesInvalidCp932AndGoesOn) {
  struct Case {
    std::string cp932;
    std::string utf8;
  };
  const std::string r = kReplacementChar;
  const Case cases[] = {
      {"\x81\x20", r + " "},                 // lead byte without a trail byte: the space survives
      {"a\x81", "a" + r},                    // lead byte cut off at the end
      {"A\x80" "B\xFD" "C", "A" + r + "B" + r + "C"},  // bytes that are no character
      {"\x85\x40" "x", r + "x"},            // an unassigned pair is one character, not "?@"
      {"\x81\x20\x81\x20", r + " " + r + " "},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(plat::Cp932ToUtf8(c.cp932)), Hex(c.utf8)) << Hex(c.cp932);
}

TEST(TextCodecTest, ReplacesUnmappableOrInvalidUtf8AndGoesOn) {
  struct Case {
    std::string utf8;
    std::string cp932;
  };
  const Case cases[] = {
      {Utf8(u8"a😀b"), "a?b"},          // outside CP932: one "?" for the whole character
      {Utf8(u8"café表"), "caf?表"},
      {"x\xFFy", "x?y"},                 // never valid in UTF-8
      {"x\xE8\xA1", "x?"},              // cut-off three-byte sequence: one "?"
      {"\xC3" "a", "?a"},                // lead byte followed by ASCII
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(plat::Utf8ToCp932(c.utf8)), Hex(c.cp932)) << Hex(c.utf8);
}

// Each thread needs converters of its own; shared conversion state would mix
// up the texts of concurrent callers.
TEST(TextCodecTest, ConvertsOnSeveralThreadsAtOnce) {
  const std::string cp932[] = {"表示エラー", "データ\\stg4", "ｱｲｳ abc", "メモリが不足しています！"};
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        if (plat::Utf8ToCp932(plat::Cp932ToUtf8(cp932[t])) != cp932[t]) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
}

}  // namespace
