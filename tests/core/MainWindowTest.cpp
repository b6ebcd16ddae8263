#include "core/MainWindow.h"

#include <gtest/gtest.h>

#include "CoreTestSupport.h"

namespace {

class MainWindowTest : public coretest::cCoreFixture {};

TEST_F(MainWindowTest, CloseIsPostedOnlyWhenThereIsAMainWindow) {
  EXPECT_TRUE(PostCloseToMainWindow());
  EXPECT_EQ(TakePosted(WM_CLOSE), 1);

  g_hMainWnd = nullptr;
  EXPECT_FALSE(PostCloseToMainWindow());
  EXPECT_EQ(TakePosted(WM_CLOSE), 0);
}

TEST_F(MainWindowTest, DestroyedWindowTakesNoMoreCloseRequests) {
  plat::DestroyWindowHandle(m_Window);
  EXPECT_FALSE(PostCloseToMainWindow());
}

}  // namespace
