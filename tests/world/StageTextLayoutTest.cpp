// The texts the stage lays out by their length: the hint at the foot of the
// screen (a test play's, the stage clear's ranking hint) is centred on
// x 320 at 8 dots a character, and a status-bar label takes 16 dots a
// character; a double-byte character counts once. Drawn with fonts of known
// glyph boxes, the ink shows where each text went.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "WorldTestSupport.h"
#include "core/ProcessFlags.h"
#include "data/OptionData.h"
#include "graphics/FontTestSupport.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "world/SceneDraw.h"

namespace {

constexpr std::uint32_t kGaugeRgb = 0x00C000u;

class StageTextLayoutTest : public worldtest::cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    ASSERT_TRUE(m_Layer.Started());
    ASSERT_TRUE(fonttest::cFontLayer::Make(g_Font[1], 16, 16, 0));
    ASSERT_TRUE(fonttest::cFontLayer::Make(g_Font[0], 10, 10, 0));
    g_TestPlay = 0;
  }
  void TearDown() override {
    for (DDSURFACEDATA& sd : g_SurfaceData) DDReleaseSurface(&sd);
    g_TestPlay = 0;
    g_OptionData = cOptionData();
    cWorldFixture::TearDown();
  }

  void ClearScreen() { DDFillSurfacePal(&BackBuffer, fonttest::kBackColour); }

  // The first column from `x0` on with a pixel of `rgb` in rows y0 to
  // y0 + 15; -1 when there is none.
  static int FirstInk(std::uint32_t rgb, int y0, int x0 = 0) {
    for (int x = x0; x < 640; ++x) {
      for (int y = y0; y < y0 + 16; ++y) {
        if (drawtest::Rgb(drawtest::PixelAt(BackBuffer, x, y)) == rgb) return x;
      }
    }
    return -1;
  }

  // Where the ink of `text` starts when the 16-dot font draws it at x 0 (a
  // single-byte character sits a little inside its cell).
  int InkOffset(const std::string& text) {
    ClearScreen();
    g_Font[1].Draw(&BackBuffer, 0, 456, text);
    const int offset = FirstInk(fonttest::kTextRgb, 456);
    ClearScreen();
    return offset;
  }

  fonttest::cFontLayer m_Layer{drawtest::eRoad::Direct3D, 640, 480};
};

TEST_F(StageTextLayoutTest, ATestPlaysHintIsCentredByItsCharacters) {
  g_TestPlay = 1;
  const std::string hint = "スペースキーで終了";  // 9 characters, 18 bytes
  g_System.m_Messages[27] = hint;
  const int offset = InkOffset(hint);
  DrawHintLine();
  EXPECT_EQ(FirstInk(fonttest::kTextRgb, 456), 320 - 9 * 8 + offset);
}

TEST_F(StageTextLayoutTest, TheRankingHintUnderAClearedStageIsCentredByItsCharacters) {
  const std::string hint = "F3キーでランキングへ登録";  // 13 characters, 24 bytes
  g_System.m_Messages[28] = hint;
  g_OptionData.m_nRankMode = 0;
  MakeScene();
  m_Scene.m_StageClear.m_NewRanks[0] = 2;
  m_Scene.SetPhase(PHASE_STAGE_CLEAR);
  const int offset = InkOffset(hint);
  m_Scene.Update();
  EXPECT_EQ(FirstInk(fonttest::kTextRgb, 456), 320 - 13 * 8 + offset);
}

// Two gauges with labels of two double-byte characters: each is 32 + 50 dots
// wide, so the gap is (638 - 164) / 3 = 158; the HP label at 158 with its
// frame at 190, the SP label at 158 + 82 + 158 = 398.
TEST_F(StageTextLayoutTest, StatusBarLabelsTakeSixteenDotsACharacter) {
  drawtest::MakeFilledSurface(g_SurfaceData[SURF_ACCESSORY], 128, 224, 0xFF000000u | kGaugeRgb);
  drawtest::MakeFilledSurface(g_SurfaceData[SURF_STATUS_WINDOW], 640, 20,
                              0xFF000000u | fonttest::kBackRgb);
  g_Stage.m_ShowHud = 1;
  for (cHudItem& item : g_System.m_HudItems) item.m_bShown = 0;
  for (int i : {2, 3}) {
    cHudItem& item = g_System.m_HudItems[i];
    item.m_bShown = 1;
    item.m_bIcon = 0;
    item.m_bShowValue = 0;
    item.m_strLabel = i == 2 ? "ＨＰ" : "ＳＰ";
  }
  ClearScreen();
  DrawHud();
  EXPECT_EQ(FirstInk(fonttest::kTextRgb, 3), 158);
  EXPECT_EQ(FirstInk(kGaugeRgb, 3), 158 + 32);
  EXPECT_EQ(FirstInk(fonttest::kTextRgb, 3, 158 + 32), 398);
}

}  // namespace
