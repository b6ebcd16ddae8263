#include "data/Cmd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordRoundTrip.h"
#include "core/SafeAccess.h"
#include "support/ByteBuilder.h"

namespace {

using testsupport::ByteBuilder;

// A menu from a compact description: a label per entry, disabled when it
// starts with '-' (the '-' is not part of the label).
tCmdList Menu(std::initializer_list<std::string> entries) {
  tCmdList menu;
  for (const std::string& entry : entries) {
    const bool disabled = !entry.empty() && entry[0] == '-';
    menu.emplace_back(disabled ? 0 : 1, disabled ? entry.substr(1) : entry);
  }
  return menu;
}

TEST(Cmd, FreshEntryIsEnabledWithAnEmptyLabel) {
  cCmd entry;
  EXPECT_EQ(1, entry.m_bEnabled);
  EXPECT_EQ("", entry.m_strLabel);
}

TEST(Cmd, EntryIsStoredAsItsGoldenBytes) {
  cCmd entry(1, "はじめから");
  const std::vector<std::uint8_t> expected = ByteBuilder()
                                                 .U32(1)
                                                 .I32(1)
                                                 .U32(1)
                                                 .U32(11)
                                                 .Raw({0x82, 0xCD, 0x82, 0xB6, 0x82, 0xDF, 0x82, 0xA9, 0x82, 0xE7, 0x00})
                                                 .Bytes();
  EXPECT_EQ(expected, recordtest::RecordBytes(entry));
}

TEST(Cmd, EntryReadsTheSameTwoMembersInEveryVersion) {
  const std::vector<std::uint8_t> bytes = ByteBuilder().U32(1).I32(0).U32(1).Str("もどる").Bytes();
  for (int version : {1, 100, 500, DATA_VERSION}) {
    SCOPED_TRACE(version);
    cCmd entry;
    recordtest::ReadRecordBytes(entry, bytes, version);
    EXPECT_EQ(0, entry.m_bEnabled);
    EXPECT_EQ("もどる", entry.m_strLabel);
  }
}

// Rows count enabled entries only; a row maps to the list position of the
// row-th enabled entry, and an impossible row to position 0.
TEST(Cmd, RowsMapToTheEnabledEntries) {
  struct Case {
    tCmdList menu;
    int enabled;
    std::vector<int> positions;  // GetCmdNum for rows 0, 1, ...
  };
  const Case cases[] = {
      {Menu({"A", "-B", "X"}), 2, {0, 2}},
      {Menu({"-A", "-B", "C", "-D", "E", "F"}), 3, {2, 4, 5}},
      {Menu({"A", "B", "C"}), 3, {0, 1, 2}},
      {Menu({"", "-B", ""}), 2, {0, 2}},  // empty labels still make rows
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.positions));
    EXPECT_EQ(c.enabled, cCmd::CountEnabled(c.menu));
    for (std::size_t row = 0; row < c.positions.size(); ++row) {
      EXPECT_EQ(c.positions[row], cCmd::GetCmdNum(static_cast<int>(row), c.menu)) << "row " << row;
    }
  }
}

TEST(Cmd, ImpossibleRowsGiveEntryZeroWithoutTouchingTheList) {
  ClearFatalPendingForTests();
  const tCmdList menus[] = {Menu({"A", "-B", "X"}), Menu({}), Menu({"-A", "-B"})};
  for (const tCmdList& menu : menus) {
    for (int row : {-1, cCmd::CountEnabled(menu), cCmd::CountEnabled(menu) + 5, 1 << 30}) {
      EXPECT_EQ(0, cCmd::GetCmdNum(row, menu)) << "row " << row;
    }
  }
  // Not a defect of the list: no checked access failed.
  EXPECT_FALSE(IsFatalPending());
}

// The window is as wide as the longest enabled label in characters (a
// double-byte character counts once) plus the cursor column.
TEST(Cmd, CentringFollowsTheLongestEnabledLabel) {
  struct Case {
    tCmdList menu;
    int longest;
    int centreOf320;
  };
  const Case cases[] = {
      {Menu({"A", "-ZZZZZZZZZZ", "ABC"}), 3, 320 - (4 * 16) / 2},
      {Menu({"はじめから", "BGM"}), 5, 320 - (6 * 16) / 2},
      {Menu({"ｱｲｳ", "AB"}), 3, 320 - (4 * 16) / 2},  // half-width kana are one byte each
      {Menu({"", ""}), 0, 320},
      {Menu({"-LONG"}), 0, 320},
      {Menu({}), 0, 320},
      {Menu({"ABCD"}), 4, 320 - 40},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.longest, cCmd::LongestLabel(c.menu));
    EXPECT_EQ(c.centreOf320, cCmd::GetCenterX(320, c.menu));
  }
}

struct cRecordingPainter : cCmdWindowPainter {
  void DrawWindowBox(int x, int y, int w, int h) override { calls.push_back(Fmt("box", x, y, w, h)); }
  void DrawLabel(int x, int y, const std::string& text) override {
    calls.push_back(Fmt("label", x, y, 0, 0) + " " + text);
  }
  static std::string Fmt(const char* what, int a, int b, int c, int d) {
    return std::string(what) + " " + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," +
           std::to_string(d);
  }
  std::vector<std::string> calls;
};

TEST(Cmd, WindowDrawsTheBoxThenOneRowPerEnabledEntry) {
  cRecordingPainter painter;
  cCmd::Draw(painter, 100, 200, Menu({"つづける", "-リトライ", "", "しゅうりょう"}));
  const std::vector<std::string> expected = {
      "box 100,200,112,48",  // (6 + 1) x 16 by 3 rows
      "label 116,200,0,0 つづける",
      "label 116,216,0,0 ",
      "label 116,232,0,0 しゅうりょう",
  };
  EXPECT_EQ(expected, painter.calls);
}

TEST(Cmd, WindowWithoutAnyLabelDrawsNothing) {
  for (const tCmdList& menu : {Menu({}), Menu({"", "", ""}), Menu({"-hidden"})}) {
    cRecordingPainter painter;
    cCmd::Draw(painter, 0, 0, menu);
    EXPECT_TRUE(painter.calls.empty());
    EXPECT_FALSE(cCmd::GetWindowLayout(0, 0, menu).visible);
  }
}

}  // namespace
