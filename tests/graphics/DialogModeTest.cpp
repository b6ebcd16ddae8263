#include "graphics/DialogMode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DrawLayerTestSupport.h"
#include "graphics/Scene.h"
#include "platform/MessageBox.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;

class DialogModeTest : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override {
    plat::SetMessageBoxSink([this](const std::string& text, const std::string& caption, UINT) {
      m_Boxes.push_back(text + "|" + caption);
      return IDNO;
    });
  }
  void TearDown() override { plat::SetMessageBoxSink({}); }

  std::vector<std::string> m_Boxes;
};

TEST_P(DialogModeTest, InAWindowNothingChanges) {
  cTestLayer layer(GetParam());
  ASSERT_TRUE(layer.Started());
  const int cursor = g_DrawLayer.nCursorCount;
  EXPECT_TRUE(DDSetDialogMode(1));
  EXPECT_EQ(g_DrawLayer.nCursorCount, cursor);
  EXPECT_TRUE(DDSetDialogMode(0));
  EXPECT_EQ(g_DrawLayer.nCursorCount, cursor);
}

TEST_P(DialogModeTest, FullScreenShowsTheCursorForTheDialogAndHidesItAfter) {
  cTestLayer layer(GetParam(), 64, 48, true);
  ASSERT_TRUE(layer.Started());
  ASSERT_LT(g_DrawLayer.nCursorCount, 0);
  if (layer.D3D()) {
    ASSERT_TRUE(DDBeginScene());
  }

  EXPECT_TRUE(DDSetDialogMode(1));
  EXPECT_EQ(g_DrawLayer.nCursorCount, 0);
  if (layer.D3D()) {
    EXPECT_EQ(lpDTCon->bInScene, 0);  // the scene was closed for the dialog
  }
  EXPECT_TRUE(DDSetDialogMode(0));
  EXPECT_LT(g_DrawLayer.nCursorCount, 0);
}

// A question in full screen answers with the button pressed, here No.
TEST_P(DialogModeTest, MessageBoxIsShownAndReturnsTheButtonPressed) {
  cTestLayer layer(GetParam(), 64, 48, true);
  ASSERT_TRUE(layer.Started());
  EXPECT_EQ(DDMesBox("本文", "題", MB_YESNO), IDNO);
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0], std::string("本文") + "|" + "題");
  EXPECT_LT(g_DrawLayer.nCursorCount, 0);
}

INSTANTIATE_TEST_SUITE_P(Roads, DialogModeTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

// Without a running back end the full-screen dialog mode cannot be entered:
// no box, 0.
TEST(DialogModeWithoutDisplayTest, MessageBoxFailsWithoutADisplay) {
  DDResetLayerForTests();  // full screen (window mode 0), no DirectDraw object
  int boxes = 0;
  plat::SetMessageBoxSink([&](const std::string&, const std::string&, UINT) {
    ++boxes;
    return IDOK;
  });
  EXPECT_FALSE(DDSetDialogMode(1));
  EXPECT_EQ(DDMesBox("text", "caption", MB_OK), 0);
  EXPECT_EQ(boxes, 0);
  plat::SetMessageBoxSink({});
}

}  // namespace
