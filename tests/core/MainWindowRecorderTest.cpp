// The recording main window is what the core tests (and later the world and
// flow tests) see their close requests and sound requests through; a fault in
// it would let those tests pass wrongly.

#include "doubles/MainWindowRecorder.h"

#include <gtest/gtest.h>

#include <atomic>

#include "core/MainWindow.h"
#include "core/Thread.h"
#include "platform/MessageCore.h"

namespace {

struct cSendRequest {
  std::atomic<LRESULT> answer{-1};
};

std::uint32_t SendSoundRequest(void* argument) {
  auto& request = *static_cast<cSendRequest*>(argument);
  request.answer = plat::SendMessage(g_hMainWnd.load(), WM_USER + 5, 19, 0);
  return 0;
}

class MainWindowRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::ResetMessageCoreForTests(); }
  void TearDown() override {
    g_hMainWnd = nullptr;
    plat::ResetMessageCoreForTests();
  }
};

TEST_F(MainWindowRecorderTest, BindsTheMainWindowWhileItLivesAndRestoresThePreviousOne) {
  const HWND previous = plat::CreateWindowHandle(nullptr);
  g_hMainWnd = previous;
  {
    cMainWindowRecorder recorder;
    EXPECT_EQ(g_hMainWnd.load(), recorder.Window());
    EXPECT_NE(recorder.Window(), previous);
  }
  EXPECT_EQ(g_hMainWnd.load(), previous);
}

TEST_F(MainWindowRecorderTest, RecordsPostedAndSentMessagesApart) {
  cMainWindowRecorder recorder;
  recorder.SetHandler([](UINT, WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam * 2); });

  ASSERT_TRUE(PostCloseToMainWindow());
  EXPECT_TRUE(recorder.Messages().empty()) << "posted messages wait in the queue";
  EXPECT_EQ(recorder.DispatchPosted(), 1);

  cSendRequest request;
  cThread worker;
  ASSERT_TRUE(worker.Start(&SendSoundRequest, &request));
  worker.WaitEnd();  // serves the send while it waits
  EXPECT_EQ(request.answer, 38);

  const std::vector<cMainWindowRecorder::cMessage> messages = recorder.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].message, WM_CLOSE);
  EXPECT_TRUE(messages[0].posted);
  EXPECT_EQ(messages[1].message, WM_USER + 5);
  EXPECT_EQ(messages[1].wParam, 19u);
  EXPECT_FALSE(messages[1].posted);
  EXPECT_EQ(recorder.MessagesOf(WM_CLOSE).size(), 1u);
}

}  // namespace
