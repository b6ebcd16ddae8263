#include "data/Vocabulary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Vocabulary, LabelsAreCompiledToCp932) {
  // "列の数" in CP932; a build without the charset flags would give UTF-8.
  EXPECT_EQ(std::string(kFormationParamTable[10].m_Label), std::string("\x97\xF1\x82\xCC\x90\x94"));
}

struct ParamRowCase {
  const char* table;
  int kind;
  int number;
  int16_t min;
  int16_t max;
  int16_t def;
};

TEST(Vocabulary, ParameterRowsAreAddressedByKindAndNumber) {
  const ParamRowCase cases[] = {
      {"formation", 3, 2, 1, 50, 1},    // row 10 "列の数"
      {"formation", 2, 1, 0, 180, 30},  // "角度"
      {"formation", 5, 1, 0, 40, 6},    // "距離(hbl)"
      {"formation", 4, 3, 0, 0, 0},     // "爆発" has no parameters
      {"motion", 7, 2, 0, 999, 999},    // row 22 "誘導終了(hbl)"
      {"motion", 8, 3, 0, 359, 0},      // "開始角度"
      {"motion", 2, 2, 0, 7, 0},        // "対象勢力"
      {"motion", 9, 1, 0, 40, 0},
  };
  for (const ParamRowCase& c : cases) {
    const bool formation = std::string(c.table) == "formation";
    const cParamDesc* row = formation ? FindFormationParam(c.kind, c.number) : FindMotionParam(c.kind, c.number);
    ASSERT_NE(row, nullptr) << c.table << " " << c.kind << "/" << c.number;
    const int index = c.kind * 3 + c.number - 1;
    EXPECT_EQ(row, formation ? &kFormationParamTable[index] : &kMotionParamTable[index]);
    EXPECT_EQ(row->m_Min, c.min) << c.table << " " << c.kind << "/" << c.number;
    EXPECT_EQ(row->m_Max, c.max) << c.table << " " << c.kind << "/" << c.number;
    EXPECT_EQ(row->m_Default, c.def) << c.table << " " << c.kind << "/" << c.number;
  }
  EXPECT_EQ(std::string(kMotionParamTable[22].m_Label), std::string(FindMotionParam(4, 2)->m_Label));
}

TEST(Vocabulary, ParameterLookUpRefusesNumbersFromBadData) {
  const int badFormation[][2] = {{-1, 1}, {6, 1}, {0, 0}, {0, 4}, {-2147483647 - 1, 1}};
  for (const auto& bad : badFormation) EXPECT_EQ(FindFormationParam(bad[0], bad[1]), nullptr);
  const int badMotion[][2] = {{10, 1}, {-1, 2}, {9, 0}, {9, 4}};
  for (const auto& bad : badMotion) EXPECT_EQ(FindMotionParam(bad[0], bad[1]), nullptr);
}

TEST(Vocabulary, RowsWithoutLabelHaveNoRange) {
  auto check = [](const cParamDesc& row) {
    if (row.m_Label[0] == '\0') {
      EXPECT_TRUE(row.m_Min == 0 && row.m_Max == 0 && row.m_Default == 0);
    } else {
      EXPECT_LE(row.m_Min, row.m_Default);
      EXPECT_LE(row.m_Default, row.m_Max);
    }
  };
  for (const cParamDesc& row : kFormationParamTable) check(row);
  for (const cParamDesc& row : kMotionParamTable) check(row);
}

TEST(Vocabulary, StateTableTakesOverItsOptionLists) {
  const int optionCounts[] = {1, 2, 2, 4, 3, 10, 2};
  ASSERT_EQ(kCharaStateTable.size(), std::size(optionCounts));
  for (std::size_t i = 0; i < kCharaStateTable.size(); ++i)
    EXPECT_EQ(CountNames(kCharaStateTable[i].m_OptionNames), optionCounts[i]) << i;
  EXPECT_EQ(kCharaStateTable[1].m_OptionNames, kOnOffNames2);
  EXPECT_EQ(kCharaStateTable[2].m_OptionNames, kOnOffNames);
  EXPECT_EQ(kCharaStateTable[5].m_Min, 1);
  EXPECT_EQ(kCharaStateTable[5].m_Max, 10);
  EXPECT_EQ(kCharaStateTable[5].m_Default, 1);
}

TEST(Vocabulary, StatusTablesGiveValueAndOperandRanges) {
  EXPECT_EQ(kCharaStatusTable[5].m_ValueMax, 99);
  EXPECT_EQ(kCharaStatusTable[5].m_OperandMin, -99);
  EXPECT_EQ(kCharaStatusTable[5].m_Switch3, 0);
  EXPECT_EQ(kCharaStatusTable[1].m_Switch2, 1);
  EXPECT_EQ(kCharaStatusTable[10].m_ValueMin, -20);
  EXPECT_EQ(kCharaStatusTable[14].m_ValueMin, -999999);
  EXPECT_EQ(kSystemStatusTable[1].m_ValueMin, -480);
  EXPECT_EQ(kSystemStatusTable[4].m_ValueMax, 99);
  EXPECT_EQ(kSystemStatusTable[0].m_OperandMin, -999);
}

}  // namespace
