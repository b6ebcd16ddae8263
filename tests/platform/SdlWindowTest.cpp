// The SDL window adapter under the dummy video driver: SDL events pushed into
// SDL's queue come out of the message core as the window messages the main
// window's procedure handles.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/CommandLine.h"
#include "platform/MessageCore.h"
#include "platform/SdlWindow.h"

namespace {

LRESULT IgnoreWindowMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }

LPARAM Pack(int low, int high) { return static_cast<LPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16)); }

class SdlWindowTest : public ::testing::Test {
 protected:
  using eEvent = plat::cSdlWindow::eTestWindowEvent;

  void SetUp() override {
    plat::ResetMessageCoreForTests();
    std::string error;
    m_Window = plat::cSdlWindow::Create("\x83\x65\x83\x58\x83\x67", 100, 100, 640, 480, &error);
    if (!m_Window) GTEST_SKIP() << "no SDL video: " << error;
    m_Window->PumpEvents();  // whatever creating the window queued goes nowhere
    m_Handle = plat::CreateWindowHandle(IgnoreWindowMessage);
    m_Window->SetMessageTarget(m_Handle);
  }

  void TearDown() override {
    m_Window.reset();
    plat::ResetMessageCoreForTests();
  }

  std::vector<MSG> Pump() {
    m_Window->PumpEvents();
    std::vector<MSG> messages;
    MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) messages.push_back(msg);
    return messages;
  }

  std::unique_ptr<plat::cSdlWindow> m_Window;
  HWND m_Handle = nullptr;
};

struct sExpected {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

void ExpectMessages(const std::vector<MSG>& actual, const std::vector<sExpected>& expected, HWND window,
                    const std::string& label) {
  ASSERT_EQ(actual.size(), expected.size()) << label;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(actual[i].hwnd, window) << label << " #" << i;
    EXPECT_EQ(actual[i].message, expected[i].message) << label << " #" << i;
    EXPECT_EQ(actual[i].wParam, expected[i].wParam) << label << " #" << i;
    EXPECT_EQ(actual[i].lParam, expected[i].lParam) << label << " #" << i;
  }
}

TEST_F(SdlWindowTest, WindowEventsBecomeWindowMessages) {
  struct sCase {
    const char* label;
    eEvent event;
    int data1;
    int data2;
    std::vector<sExpected> expected;
  };
  const sCase cases[] = {
      {"close", eEvent::Close, 0, 0, {{WM_CLOSE, 0, 0}}},
      {"moved", eEvent::Moved, 120, 130, {{WM_MOVE, 0, Pack(120, 130)}}},
      {"resized", eEvent::Resized, 640, 480, {{WM_SIZE, SIZE_RESTORED, Pack(640, 480)}}},
      {"minimised", eEvent::Minimized, 0, 0, {{WM_SIZE, SIZE_MINIMIZED, 0}}},
      {"exposed", eEvent::Exposed, 0, 0, {{WM_PAINT, 0, 0}}},
  };
  for (const sCase& test : cases) {
    m_Window->PushWindowEventForTests(test.event, test.data1, test.data2);
    ExpectMessages(Pump(), test.expected, m_Handle, test.label);
  }
}

TEST_F(SdlWindowTest, QuitRequestClosesTheWindow) {
  plat::cSdlWindow::PushQuitForTests();
  ExpectMessages(Pump(), {{WM_CLOSE, 0, 0}}, m_Handle, "quit");
}

TEST_F(SdlWindowTest, FocusChangesAreReportedOnceEach) {
  m_Window->PushWindowEventForTests(eEvent::FocusGained);
  m_Window->PushWindowEventForTests(eEvent::FocusGained);
  ExpectMessages(Pump(), {{WM_ACTIVATEAPP, 1, 0}, {WM_ACTIVATE, WA_ACTIVE, 0}}, m_Handle, "gained twice");
  EXPECT_TRUE(m_Window->IsActive());

  m_Window->PushWindowEventForTests(eEvent::FocusLost);
  m_Window->PushWindowEventForTests(eEvent::FocusLost);
  ExpectMessages(Pump(), {{WM_ACTIVATE, WA_INACTIVE, 0}, {WM_ACTIVATEAPP, 0, 0}}, m_Handle, "lost twice");
  EXPECT_FALSE(m_Window->IsActive());
}

// The dummy driver never reports focus: without this the game would never
// run a frame in a headless start.
TEST_F(SdlWindowTest, ShowingTheWindowActivatesItWhenNoFocusEventComes) {
  EXPECT_FALSE(m_Window->IsShown()) << "made hidden";
  m_Window->Show(plat::SW_SHOW);
  EXPECT_TRUE(m_Window->IsShown());
  ExpectMessages(Pump(), {{WM_ACTIVATEAPP, 1, 0}, {WM_ACTIVATE, WA_ACTIVE, 0}}, m_Handle, "shown");
  m_Window->Show(plat::SW_SHOW);
  ExpectMessages(Pump(), {}, m_Handle, "shown again");
  m_Window->Show(plat::SW_HIDE);
  EXPECT_FALSE(m_Window->IsShown());
  ExpectMessages(Pump(), {{WM_ACTIVATE, WA_INACTIVE, 0}, {WM_ACTIVATEAPP, 0, 0}}, m_Handle, "hidden");
}

TEST_F(SdlWindowTest, WithoutATargetNoMessageIsPostedAndNoActivationIsLost) {
  m_Window->SetMessageTarget(nullptr);
  m_Window->Show(plat::SW_SHOW);
  m_Window->PushWindowEventForTests(eEvent::Close);
  ExpectMessages(Pump(), {}, nullptr, "no target");
  EXPECT_FALSE(m_Window->IsActive());

  m_Window->SetMessageTarget(m_Handle);
  m_Window->PushWindowEventForTests(eEvent::FocusGained);
  ExpectMessages(Pump(), {{WM_ACTIVATEAPP, 1, 0}, {WM_ACTIVATE, WA_ACTIVE, 0}}, m_Handle, "bound later");
}

TEST_F(SdlWindowTest, KeysCarryTheirVirtualKeyCodes) {
  struct sKey {
    int scancode;
    WPARAM virtualKey;
  };
  const sKey keys[] = {
      {4, 'A'},    {29, 'Z'},   {30, '1'},   {39, '0'},   {40, 0x0D},  {41, 0x1B},  {44, 0x20},
      {58, 0x70},  {69, 0x7B},  {79, 0x27},  {80, 0x25},  {81, 0x28},  {82, 0x26},  {89, 0x61},
      {98, 0x60},  {88, 0x0D},  {224, 0x11}, {228, 0x11}, {225, 0x10}, {229, 0x10}, {226, 0x12},
      {135, 0xE2}, {137, 0xDC}, {51, 0xBA},  {56, 0xBF},  {76, 0x2E},
  };
  for (const sKey& key : keys) {
    EXPECT_EQ(plat::VirtualKeyFromScancode(key.scancode), static_cast<int>(key.virtualKey)) << key.scancode;
    m_Window->PushKeyForTests(key.scancode, true);
    m_Window->PushKeyForTests(key.scancode, true, true);
    m_Window->PushKeyForTests(key.scancode, false);
    const LPARAM scan = static_cast<LPARAM>(key.scancode) << 16;
    ExpectMessages(Pump(),
                   {{WM_KEYDOWN, key.virtualKey, 1 | scan},
                    {WM_KEYDOWN, key.virtualKey, 1 | scan | 0x40000000},
                    {WM_KEYUP, key.virtualKey, static_cast<LPARAM>(1u | (static_cast<unsigned>(key.scancode) << 16) |
                                                                   0xC0000000u)}},
                   m_Handle, "scancode " + std::to_string(key.scancode));
  }
}

TEST_F(SdlWindowTest, KeysWithoutAVirtualKeyPostNothing) {
  EXPECT_EQ(plat::VirtualKeyFromScancode(0), 0);
  m_Window->PushKeyForTests(0, true);
  ExpectMessages(Pump(), {}, m_Handle, "unknown key");
}

TEST_F(SdlWindowTest, MouseButtonsAreTrackedAndReported) {
  m_Window->SetWindowPos(100, 100, 640, 480);
  m_Window->PushMouseButtonForTests(true, true, 10, 20);
  m_Window->PushMouseButtonForTests(false, true, 11, 21);
  ExpectMessages(Pump(),
                 {{WM_LBUTTONDOWN, MK_LBUTTON, Pack(10, 20)}, {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, Pack(11, 21)}},
                 m_Handle, "downs");
  EXPECT_TRUE(m_Window->IsButtonDown(VK_LBUTTON));
  EXPECT_TRUE(m_Window->IsButtonDown(VK_RBUTTON));
  POINT cursor;
  ASSERT_TRUE(m_Window->GetCursorPos(&cursor));
  const RECT rect = m_Window->GetWindowRect();
  EXPECT_EQ(cursor.x, rect.left + 11);
  EXPECT_EQ(cursor.y, rect.top + 21);

  m_Window->PushMouseButtonForTests(true, false, 12, 22);
  m_Window->PushMouseButtonForTests(true, true, 12, 22, 2);
  ExpectMessages(Pump(),
                 {{WM_LBUTTONUP, MK_RBUTTON, Pack(12, 22)}, {WM_LBUTTONDBLCLK, MK_LBUTTON | MK_RBUTTON, Pack(12, 22)}},
                 m_Handle, "up and double click");
}

// Full screen on a 1920 by 1080 desktop shows the 640 by 480 frame at factor
// 2 from (320, 60): the mouse is read there, in frame points, and a click on
// the border goes nowhere.
TEST_F(SdlWindowTest, AScaledFrameIsWhereTheMouseIsRead) {
  m_Window->SetWindowPos(0, 0, 1920, 1080);
  Pump();  // the size change
  m_Window->PushMouseButtonForTests(true, true, 320 + 2 * 100, 60 + 2 * 50);
  m_Window->PushMouseButtonForTests(true, false, 320 + 2 * 100 + 1, 60 + 2 * 50 + 1);
  m_Window->PushMouseButtonForTests(true, true, 1599, 1019, 2);
  ExpectMessages(Pump(),
                 {{WM_LBUTTONDOWN, MK_LBUTTON, Pack(100, 50)},
                  {WM_LBUTTONUP, 0, Pack(100, 50)},
                  {WM_LBUTTONDBLCLK, MK_LBUTTON, Pack(639, 479)}},
                 m_Handle, "on the frame");
  POINT cursor;
  ASSERT_TRUE(m_Window->GetCursorPos(&cursor));
  const RECT rect = m_Window->GetWindowRect();
  EXPECT_EQ(cursor.x, rect.left + 639);
  EXPECT_EQ(cursor.y, rect.top + 479);

  m_Window->PushMouseButtonForTests(true, false, 1599, 1019);
  Pump();
  for (const POINT border : {POINT{319, 500}, POINT{1600, 500}, POINT{800, 59}, POINT{800, 1020}}) {
    m_Window->PushMouseButtonForTests(true, true, border.x, border.y);
    m_Window->PushMouseButtonForTests(true, false, border.x, border.y);
    EXPECT_TRUE(Pump().empty()) << border.x << "," << border.y;
  }
}

TEST_F(SdlWindowTest, GeometryAndStyleGoThroughTheWindow) {
  m_Window->SetWindowPos(200, 150, 320, 240);
  const RECT rect = m_Window->GetWindowRect();
  EXPECT_EQ(rect.left, 200);
  EXPECT_EQ(rect.top, 150);
  EXPECT_EQ(rect.right - rect.left, 320);
  EXPECT_EQ(rect.bottom - rect.top, 240);
  const RECT client = m_Window->GetClientRect();
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 240);

  // The dummy display has 4-byte pixels: the depth rules must see 32.
  EXPECT_EQ(m_Window->DesktopBitsPerPixel(), 32);
  EXPECT_GE(m_Window->DisplayRefreshRate(), 0);

  m_Window->SetStyle(WS_POPUP | WS_THICKFRAME);
  EXPECT_EQ(m_Window->GetStyle(), WS_POPUP | WS_THICKFRAME);
  EXPECT_EQ(plat::FindWindowHost(m_Handle), m_Window.get());
}

}  // namespace
