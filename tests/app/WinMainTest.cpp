// The main thread's quit message survives wait loops: a loop that takes it
// puts it back, and the main loop posts it again when a loop swallowed it.

#include <gtest/gtest.h>

#include "app/WinMain.h"
#include "platform/MessageCore.h"

namespace {

int g_Closes = 0;
LRESULT CountClose(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) ++g_Closes;
  return 0;
}

class WinMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ResetMessageCoreForTests();
    g_Closes = 0;
  }
  void TearDown() override { plat::ResetMessageCoreForTests(); }

  static int QueuedQuits() {
    int quits = 0;
    MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) ++quits;
    }
    return quits;
  }
};

TEST_F(WinMainTest, AWaitLoopDispatchesAndPutsTheQuitMessageBack) {
  const HWND window = plat::CreateWindowHandle(CountClose);
  plat::PostMessage(window, WM_CLOSE, 0, 0);
  plat::PostQuitMessage(3);
  EXPECT_FALSE(PumpMainThreadMessages());
  EXPECT_EQ(g_Closes, 1);
  MSG msg;
  ASSERT_TRUE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);

  plat::PostMessage(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpMainThreadMessages());
  EXPECT_EQ(g_Closes, 2);
}

TEST_F(WinMainTest, ASwallowedQuitIsPostedAgainOnceTheWindowIsGone) {
  const HWND window = plat::CreateWindowHandle(CountClose);
  EXPECT_FALSE(RepostSwallowedQuit(window)) << "the window still exists";
  EXPECT_EQ(QueuedQuits(), 0);

  plat::DestroyWindowHandle(window);
  plat::PostQuitMessage(0);
  EXPECT_FALSE(RepostSwallowedQuit(window)) << "the quit message still waits";
  EXPECT_EQ(QueuedQuits(), 1);

  // A wait loop took it: the main loop gets another.
  EXPECT_TRUE(RepostSwallowedQuit(window));
  EXPECT_EQ(QueuedQuits(), 1);
  EXPECT_FALSE(RepostSwallowedQuit(nullptr));
}

}  // namespace
