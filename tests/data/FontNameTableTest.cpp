#include "data/FontNameTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(FontNameTable, HoldsTheFacesByPositionAndEndsEmpty) {
  EXPECT_STREQ("System", FontNameTable[0]);
  EXPECT_STREQ("Arial", FontNameTable[18]);
  EXPECT_STREQ("ＭＳ ゴシック", FontNameTable[59]);
  EXPECT_STREQ("ＭＳ Ｐゴシック", FontNameTable[60]);
  EXPECT_STREQ("メイリオ", FontNameTable[100]);
  EXPECT_STREQ("Sydnie", FontNameTable[121]);
  EXPECT_STREQ("", FontNameTable[122]);
  std::set<std::string> names(FontNameTable.begin(), FontNameTable.end() - 1);
  EXPECT_EQ(122u, names.size());  // no face twice, none empty
  EXPECT_EQ(0u, names.count(""));
}

TEST(FontNameTable, ChoicesOutsideTheTableGiveTheDefaultFace) {
  for (int choice : {-1, 122, 123, 1 << 30}) EXPECT_STREQ("ＭＳ Ｐゴシック", FontFaceName(choice)) << choice;
  EXPECT_STREQ("Sydnie", FontFaceName(121));
  EXPECT_STREQ("System", FontFaceName(0));
}

}  // namespace
