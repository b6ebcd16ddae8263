// The menu cursor: its level stack and the two movement rules every menu
// uses, as tables of key presses and the positions they lead to.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "world/MenuCursor.h"

namespace {

constexpr std::uint16_t L = 1, R = 2, U = 4, D = 8;

struct sGridCase {
  const char* name;
  int startColumn, startRow;
  std::uint16_t keys;
  int columns, rows;
  int column, row, x, y;
};

class MenuCursorGrid : public ::testing::TestWithParam<sGridCase> {};

TEST_P(MenuCursorGrid, MovesWrapsAndPlacesTheCursor) {
  const sGridCase& c = GetParam();
  cMenuCursor cursor;
  cursor.m_pCurrent->m_Column = c.startColumn;
  cursor.m_pCurrent->m_Row = c.startRow;
  cursor.MoveGrid(c.keys, 100, 200, 40, 16, c.columns, c.rows);
  EXPECT_EQ(cursor.m_pCurrent->m_Column, c.column);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, c.row);
  EXPECT_EQ(cursor.m_pCurrent->m_X, c.x);
  EXPECT_EQ(cursor.m_pCurrent->m_Y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MenuCursorGrid,
    ::testing::Values(sGridCase{"OneByOneStaysWhateverIsPressed", 0, 0, L | U, 1, 1, 0, 0, 100, 200},
                      sGridCase{"DownOnTheLastRowGoesToTheTop", 0, 3, D, 1, 4, 0, 0, 100, 200},
                      sGridCase{"UpOnTheTopGoesToTheLastRow", 0, 0, U, 1, 4, 0, 3, 100, 248},
                      sGridCase{"DiagonalMovesBoth", 1, 1, R | D, 3, 3, 2, 2, 180, 232},
                      sGridCase{"LeftWinsOverRightAndUpOverDown", 1, 1, L | R | U | D, 3, 3, 0, 0, 100, 200},
                      sGridCase{"RowPastTheListWrapsOnTheFirstMove", 0, 6, D, 1, 3, 0, 0, 100, 200},
                      sGridCase{"ZeroRowsGivesMinusOne", 0, 0, U, 1, 0, 0, -1, 100, 184}),
    [](const ::testing::TestParamInfo<sGridCase>& info) { return info.param.name; });

TEST(MenuCursorGridTest, NegativeCountDoesNothingAtAll) {
  cMenuCursor cursor;
  cursor.m_pCurrent->m_Row = 5;
  cursor.MoveGrid(D, 100, 200, 0, 16, 1, -1);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, 5);
  EXPECT_EQ(cursor.m_pCurrent->m_Y, 0);
}

struct sListCase {
  const char* name;
  int index, top;
  std::uint16_t keys;
  int pageRows, total;
  int wantIndex, wantTop;
};

class MenuCursorList : public ::testing::TestWithParam<sListCase> {};

TEST_P(MenuCursorList, MovesScrollsAndJumpsPages) {
  const sListCase& c = GetParam();
  cMenuCursor cursor;
  cursor.m_pCurrent->m_Row = c.index;
  int top = c.top;
  cursor.MoveList(c.keys, 1, top, 160, 16, 152, c.pageRows, c.total, 1);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, c.wantIndex);
  EXPECT_EQ(top, c.wantTop);
  EXPECT_EQ(cursor.m_pCurrent->m_X, 152);
  EXPECT_EQ(cursor.m_pCurrent->m_Y, 160 + 16 * (c.wantIndex - c.wantTop));
}

INSTANTIATE_TEST_SUITE_P(
    Table, MenuCursorList,
    ::testing::Values(sListCase{"DownOnTheLastShownRowScrollsByOne", 9, 0, D, 10, 99, 10, 1},
                      sListCase{"DownInsideThePageDoesNotScroll", 3, 0, D, 10, 99, 4, 0},
                      sListCase{"UpOnTheFirstShownRowScrollsBack", 20, 20, U, 10, 99, 19, 19},
                      sListCase{"RightJumpsAPageLessOne", 2, 0, R, 10, 99, 11, 9},
                      sListCase{"RightOnTheLastPageGoesToTheLastItem", 90, 89, R, 10, 99, 98, 89},
                      sListCase{"RightNearTheEndStopsAtTheLastPage", 85, 85, R, 10, 99, 94, 89},
                      sListCase{"LeftJumpsBackAPageLessOne", 30, 25, L, 10, 99, 21, 16},
                      sListCase{"LeftOnTheFirstPageGoesToTheFirstItem", 5, 0, L, 10, 99, 0, 0},
                      sListCase{"FewerItemsThanRowsStopsAtTheLast", 2, 0, D, 10, 3, 2, 0},
                      sListCase{"OneOpenStageKeepsTheCursor", 0, 0, D, 1, 1, 0, 0},
                      sListCase{"EmptyListKeepsTheItemAtZero", 0, 0, U, 0, 0, 0, 0},
                      sListCase{"NegativeStartIsClampedOntoTheList", -1, -1, 0, 10, 99, 0, 0},
                      sListCase{"StartPastTheEndIsClampedOntoTheList", 150, 150, 0, 10, 99, 98, 89}),
    [](const ::testing::TestParamInfo<sListCase>& info) { return info.param.name; });

TEST(MenuCursorListTest, HorizontalListMovesTheColumnWithUpAndDown) {
  cMenuCursor cursor;
  int top = 0;
  cursor.MoveList(D, 0, top, 40, 32, 300, 5, 8, 0);
  EXPECT_EQ(cursor.m_pCurrent->m_Column, 1);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, 0);
  EXPECT_EQ(cursor.m_pCurrent->m_X, 72);
  EXPECT_EQ(cursor.m_pCurrent->m_Y, 300);
}

TEST(MenuCursorListTest, WithoutPageJumpsLeftAndRightDoNothing) {
  cMenuCursor cursor;
  cursor.m_pCurrent->m_Row = 4;
  int top = 0;
  cursor.MoveList(R, 1, top, 0, 16, 0, 10, 99, 0);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, 4);
}

TEST(MenuCursorStackTest, PushAndPopModes) {
  cMenuCursor cursor;
  *cursor.m_pCurrent = {1, 2, 3, 4};

  cursor.Push(cMenuCursor::PUSH_COPY);
  ASSERT_EQ(cursor.Depth(), 2);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, 2);  // a copy of the level below
  ASSERT_NE(cursor.m_pParent, nullptr);
  EXPECT_EQ(cursor.m_pParent->m_X, 3);

  cursor.m_pCurrent->m_Row = 7;
  cursor.Pop(cMenuCursor::POP_KEEP);  // the menu's own row comes back
  EXPECT_EQ(cursor.Depth(), 1);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, 2);
  EXPECT_EQ(cursor.m_pParent, nullptr);

  cursor.Push(cMenuCursor::PUSH_ZERO);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, 0);
  *cursor.m_pCurrent = {5, 6, 7, 8};
  cursor.Pop(cMenuCursor::POP_CARRY);  // the sub-menu's values carried down
  EXPECT_EQ(cursor.m_pCurrent->m_Column, 5);
  EXPECT_EQ(cursor.m_pCurrent->m_Y, 8);

  cursor.Push(cMenuCursor::PUSH_ZERO);
  cursor.Pop(cMenuCursor::POP_ZERO);  // a zeroed parent
  EXPECT_EQ(cursor.m_pCurrent->m_Column, 0);
  EXPECT_EQ(cursor.m_pCurrent->m_Y, 0);
}

TEST(MenuCursorStackTest, PopOnOneLevelIsIgnoredAndResetDropsEveryLevel) {
  cMenuCursor cursor;
  cursor.m_pCurrent->m_Row = 3;
  cursor.Pop(cMenuCursor::POP_ZERO);
  EXPECT_EQ(cursor.Depth(), 1);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, 3);

  // Pointers stay valid while the levels grow past any reserve.
  for (int i = 0; i < 40; ++i) cursor.Push(cMenuCursor::PUSH_COPY);
  EXPECT_EQ(cursor.m_pCurrent, &cursor.m_Levels[40]);
  EXPECT_EQ(cursor.m_pParent, &cursor.m_Levels[39]);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, 3);

  cursor.Reset();
  EXPECT_EQ(cursor.Depth(), 1);
  EXPECT_EQ(cursor.m_pCurrent->m_Row, 0);
  EXPECT_EQ(cursor.m_pParent, nullptr);
}

}  // namespace
