// The windows of text the data records draw in the 16-dot font: a choice
// window of menu entries, the story slot list and a list of system messages.
// Drawn with the box font engine, so each character is a box of known size.

#include <gtest/gtest.h>

#include "data/Cmd.h"
#include "data/StorySlots.h"
#include "data/SystemData.h"
#include "graphics/FontTestSupport.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"

namespace {

using drawtest::eRoad;
using fonttest::CompareInk;
using fonttest::kFrameRgb;
using fonttest::kTextRgb;

// The 16-dot font with the window pattern of the fixed table, on either road.
class TextWindows : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override {
    m_Layer = std::make_unique<fonttest::cFontLayer>(GetParam(), 400, 96);
    ASSERT_TRUE(m_Layer->Started());
    drawtest::MakeFilledSurface(g_SurfaceData[SURF_WINDOW], 400, 96, (m_Layer->D3D() ? 0xFF000000u : 0u) | kPattern);
    std::array<FONTDEF, kFontCount> defs = MakeFontDefinitions();
    ASSERT_TRUE(CreateFonts(g_Font.data(), defs.data(), kFontCount));
    DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  }
  void TearDown() override {
    m_Layer.reset();
    DDReleaseSurface(&g_SurfaceData[SURF_WINDOW]);
  }

  static bool InkAt(int x, int y) { return drawtest::Rgb(drawtest::PixelAt(BackBuffer, x, y)) == kTextRgb; }
  static std::uint32_t RgbAt(int x, int y) { return drawtest::Rgb(drawtest::PixelAt(BackBuffer, x, y)); }

  static constexpr std::uint32_t kPattern = 0x302850;
  std::unique_ptr<fonttest::cFontLayer> m_Layer;
};

TEST_P(TextWindows, ChoiceWindowShowsTheEnabledLabelsAfterTheCursorColumn) {
  tCmdList menu;
  menu.push_back(cCmd(1, "はい"));
  menu.push_back(cCmd(0, "とても長い選択肢"));
  menu.push_back(cCmd(1, "いいえ"));
  cCmd::Draw(&BackBuffer, 20, 10, menu);
  // (3 + 1) x 16 by 2 x 16 at (20, 10): は (odd, 15 wide), い; then い, い, え.
  EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb,
                           {{36, 10, 15, 16}, {52, 10, 16, 16}, {36, 26, 16, 16}, {52, 26, 16, 16}, {68, 26, 16, 16}}));
  EXPECT_EQ("", CompareInk(BackBuffer, kFrameRgb, {{19, 9, 66, 1}, {19, 42, 66, 1}, {19, 9, 1, 34}, {84, 9, 1, 34}}));
  EXPECT_EQ(kPattern, RgbAt(20, 10));  // the cursor column: the box only
  EXPECT_EQ(kPattern, RgbAt(83, 12));
}

TEST_P(TextWindows, SlotListNumbersEveryRowAndDatesTheUsedSlots) {
  cSafeVector<cSlotInfo> slots(3);
  slots[0].m_bUsed = 1;
  slots[0].m_SaveTime = {2012, 4, 5, 27, 9, 5, 0, 0};
  slots[2].m_bUsed = 1;
  slots[2].m_SaveTime = {2013, 1, 0, 2, 23, 59, 0, 0};
  DrawSlotList(&BackBuffer, 8, 8, slots, 0, 4);

  // A 320 x 64 box; separators under rows 0 to 2 in the frame's colour.
  for (int row : {0, 1, 2}) EXPECT_EQ(kFrameRgb, RgbAt(200, 8 + 16 * row + 15)) << row;
  EXPECT_EQ(kPattern, RgbAt(200, 8 + 16 * 3 + 15));
  EXPECT_EQ(kFrameRgb, RgbAt(328, 40));
  // The numbers 1 to 3 at x + 16 (a single byte sits 2 dots into its cell).
  for (int row : {0, 1, 2}) EXPECT_TRUE(InkAt(26, 8 + 16 * row)) << row;
  EXPECT_FALSE(InkAt(26, 8 + 16 * 3));
  // Dates at x + 64, "2012/..." and "2013/...", none for the unused slot.
  EXPECT_TRUE(InkAt(74, 8));
  EXPECT_TRUE(InkAt(74, 40));
  for (int x = 72; x < 328; ++x) EXPECT_FALSE(InkAt(x, 30)) << x;
}

TEST_P(TextWindows, MessageListDrawsTheMessagesAsTheyStand) {
  cSystemData system;
  system.m_Messages[10] = "50%d";
  system.m_Messages[11] = "いいえ";
  DrawMessageList(&BackBuffer, 40, 20, 10, 2, true, system);
  // A cursor column, then each message on its own line; "%d" stays as it is.
  EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb,
                           {{58, 20, 7, 16}, {74, 20, 8, 16}, {90, 20, 7, 16}, {106, 20, 8, 16},
                            {56, 36, 16, 16}, {72, 36, 16, 16}, {88, 36, 16, 16}}));
  // (4 + 1) x 16 by 2 x 16: the frame's right edge at 40 + 80.
  EXPECT_EQ(kFrameRgb, RgbAt(120, 30));
  EXPECT_EQ(kPattern, RgbAt(119, 30));

  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  DrawMessageList(&BackBuffer, 40, 20, 10, 0, true, system);
  EXPECT_EQ(fonttest::kBackRgb, RgbAt(39, 19));
}

INSTANTIATE_TEST_SUITE_P(Roads, TextWindows, testing::Values(eRoad::Direct3D, eRoad::DirectDraw), drawtest::RoadName);

}  // namespace
