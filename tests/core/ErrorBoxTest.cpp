#include "core/ErrorBox.h"

#include <gtest/gtest.h>

#include "CoreTestSupport.h"

namespace {

using coretest::ReadLines;

// A drawing layer that runs in a window or full screen and answers its box
// with a chosen result.
class cFakeDisplay : public cDisplayServices {
 public:
  cDisplayDescription Describe() const override {
    cDisplayDescription d;
    d.started = m_Started;
    d.windowed = m_Windowed;
    d.backEnd = eDisplayBackEnd::Direct3D;
    return d;
  }
  int MesBox(const std::string& text, const std::string& caption, unsigned type) override {
    m_Calls.push_back({text, caption, type});
    return m_Answer;
  }
  bool m_Started = true;
  bool m_Windowed = false;
  int m_Answer = 1;
  std::vector<coretest::cShownBox> m_Calls;
};

class ErrorBoxTest : public coretest::cCoreFixture {
 protected:
  void OnBox() override { m_CloseQueuedWhileBoxOpen = ClosePending(); }
  bool m_CloseQueuedWhileBoxOpen = false;
};

TEST_F(ErrorBoxTest, InAWindowErrorBoxUsesPlatformBoxWithErrorCaption) {
  EXPECT_EQ(ErrorBox("text"), IDOK);
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0].text, "text");
  EXPECT_EQ(m_Boxes[0].caption, "エラー");
  EXPECT_EQ(m_Boxes[0].type, MB_OK);
}

TEST_F(ErrorBoxTest, DisplayStateChoosesTheBox) {
  struct Case {
    const char* name;
    bool installed;
    bool started;
    bool windowed;
    bool drawingLayerBox;
  };
  const Case cases[] = {
      {"no drawing layer", false, false, false, false},
      {"not started", true, false, false, false},
      {"windowed", true, true, true, false},
      {"full screen", true, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_Boxes.clear();
    cFakeDisplay display;
    display.m_Started = c.started;
    display.m_Windowed = c.windowed;
    SetDisplayServices(c.installed ? &display : nullptr);

    EXPECT_EQ(ShowMessageBox("t", "c", MB_OK), 1);

    EXPECT_EQ(display.m_Calls.size(), c.drawingLayerBox ? 1u : 0u);
    EXPECT_EQ(m_Boxes.size(), c.drawingLayerBox ? 0u : 1u);
    SetDisplayServices(nullptr);
  }
}

// The drawing layer writes the debug line of a box it could not show; the core
// passes the 0 on and adds no second line or box of its own.
TEST_F(ErrorBoxTest, FullScreenBoxThatCannotBeShownAnswersZeroWithoutFallback) {
  LogInit(1, "EC_Game.txt");
  cFakeDisplay display;
  display.m_Answer = 0;
  SetDisplayServices(&display);

  EXPECT_EQ(ErrorBox("100% lost"), 0);

  ASSERT_EQ(display.m_Calls.size(), 1u);
  EXPECT_EQ(display.m_Calls[0].caption, "エラー");
  EXPECT_TRUE(m_Boxes.empty());
  EXPECT_TRUE(ReadLines(DebugLogFile()).empty());
}

TEST_F(ErrorBoxTest, ErrorBoxfFormatsAndCutsOnCharacterBoundary) {
  EXPECT_EQ(ErrorBoxf("%s のロードに失敗！", "data\\WorldMap.dat"), IDOK);
  const std::string longText = std::string(1022, 'a') + "表";
  ErrorBoxf("%s", longText.c_str());
  ASSERT_EQ(m_Boxes.size(), 2u);
  EXPECT_EQ(m_Boxes[0].text, "data\\WorldMap.dat のロードに失敗！");
  EXPECT_EQ(m_Boxes[1].text, std::string(1022, 'a'));
}

TEST_F(ErrorBoxTest, DebugErrorBoxfOnlyWhileDebugLogIsOn) {
  EXPECT_EQ(DebugErrorBoxf("%d", 1), 0);
  EXPECT_TRUE(m_Boxes.empty());

  LogInit(1, "EC_Game.txt");
  EXPECT_EQ(DebugErrorBoxf("%d", 2), IDOK);
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0].text, "2");
}

TEST_F(ErrorBoxTest, OutOfMemoryExitShowsBoxThenAsksMainWindowToClose) {
  OutOfMemoryExit();
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0].text, "メモリが不足しています！");
  EXPECT_EQ(m_Boxes[0].caption, "エラー");
  EXPECT_FALSE(m_CloseQueuedWhileBoxOpen);
  EXPECT_EQ(TakePosted(WM_CLOSE), 1);
}

}  // namespace
