// The window base: sizes from the creation parameters and the screen
// metrics, placement rules, message dispatch to the virtual slots, the mouse
// state with its shared latches, and the registry lists.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include <string>
#include <vector>

#include "support/FakeWindowHost.h"
#include "dialog/Wnd.h"
#include "core/Log.h"

namespace {

using testsupport::cFakeWindowHost;

HWND FakeHandle(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }

class WndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ResetScreenMetrics();
    plat::SetSystemMetric(SM_CYCAPTION, 19);
    plat::SetSystemMetric(SM_CXFRAME, 4);
    plat::SetSystemMetric(SM_CYFRAME, 4);
    plat::SetSystemMetric(SM_CXDLGFRAME, 3);
    plat::SetSystemMetric(SM_CYDLGFRAME, 3);
    plat::SetSystemMetric(SM_CXVSCROLL, 17);
    plat::SetSystemMetric(SM_CYHSCROLL, 17);
    plat::SetSystemMetric(SM_CYMENU, 20);
    ResetMouseLatchesForTests();
  }
  void TearDown() override {
    for (HWND window : m_Bound) plat::AttachWindowHost(window, nullptr);
    plat::ResetScreenMetrics();
    ResetMouseLatchesForTests();
  }

  void Bind(cWnd& wnd, HWND handle, cFakeWindowHost& host) {
    wnd.SetHandle(handle);
    plat::AttachWindowHost(handle, &host);
    m_Bound.push_back(handle);
  }

  std::vector<HWND> m_Bound;
};

TEST_F(WndTest, SizesFollowTheStyleAndTheBars) {
  struct sCase {
    const char* label;
    std::uint32_t style;
    int hasMenu, toolBarRows, statusBarKind, scrollBars;
    int frameLeft, frameRight, frameTop, frameBottom;
    int windowWidth, windowHeight;
    int clientWidth, clientHeight, originY;
  };
  const sCase cases[] = {
      {"plain", 0, 0, 0, 0, 0, 0, 0, 0, 0, 640, 480, 640, 480, 0},
      {"main window", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, 0, 0, 0,
       3, 3, 22, 3, 646, 505, 640, 480, 0},
      {"resizable", WS_CAPTION | WS_THICKFRAME, 0, 0, 0, 0, 4, 4, 23, 4, 648, 507, 640, 480, 0},
      {"scroll-bar styles and menu", WS_VSCROLL | WS_HSCROLL, 1, 0, 0, 0, 0, 17, 20, 17, 657, 517, 640, 480, 0},
      // Bars inside the client area: the client grows by them, the usable part stays.
      {"bars", 0, 0, 2, 1, 3, 0, 0, 0, 0, 657, 573, 640, 480, 56},
      {"status bar kind 2", 0, 0, 0, 2, 0, 0, 0, 0, 0, 640, 500, 640, 500, 0},
  };
  for (const sCase& test : cases) {
    cWnd wnd;
    wnd.SetCreateParams(640, 480, 100, 100, 800, 600, test.style, test.hasMenu, test.toolBarRows,
                        test.statusBarKind, 0, test.scrollBars);
    EXPECT_EQ(wnd.m_nFrameLeft, test.frameLeft) << test.label;
    EXPECT_EQ(wnd.m_nFrameRight, test.frameRight) << test.label;
    EXPECT_EQ(wnd.m_nFrameTop, test.frameTop) << test.label;
    EXPECT_EQ(wnd.m_nFrameBottom, test.frameBottom) << test.label;
    EXPECT_EQ(wnd.m_WindowRect.width, test.windowWidth) << test.label;
    EXPECT_EQ(wnd.m_WindowRect.height, test.windowHeight) << test.label;
    EXPECT_EQ(wnd.m_nClientWidth, test.clientWidth) << test.label;
    EXPECT_EQ(wnd.m_nClientHeight, test.clientHeight) << test.label;
    EXPECT_EQ(wnd.m_nClientOriginY, test.originY) << test.label;
  }
}

TEST_F(WndTest, TrackingLimitsIncludeTheFrameAndTheBars) {
  cWnd wnd;
  wnd.SetCreateParams(640, 480, 100, 100, 800, 600, WS_CAPTION | WS_THICKFRAME, 0, 0, 1, 0, 2);
  MINMAXINFO info;
  wnd.OnGetMinMaxInfo(&info);
  EXPECT_EQ(info.ptMinTrackSize.x, 100 + 17 + 8);
  EXPECT_EQ(info.ptMinTrackSize.y, 100 + 20 + 27);
  EXPECT_EQ(info.ptMaxTrackSize.x, 800 + 17 + 8);
  EXPECT_EQ(info.ptMaxTrackSize.y, 600 + 20 + 27);
}

TEST_F(WndTest, RequestedPositionsAreKeptOnTheWorkArea) {
  plat::SetDesktopRects(RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740});
  struct sCase {
    int requestedX, requestedY;
    bool moves;
    int x, y;
  };
  const sCase cases[] = {
      {cWnd::kNoPosition, 50, false, 0, 0},
      {50, cWnd::kNoPosition, false, 0, 0},
      {50, 60, true, 50, 60},
      {-5, -7, true, 0, 0},
      {2000, 700, true, 1024 - 200, 740 - 100},  // the right edge ends exactly inside
      {824, 640, true, 824, 640},                // x + width = right: pulled back the same
  };
  for (const sCase& test : cases) {
    cWnd wnd;
    cFakeWindowHost host;
    Bind(wnd, FakeHandle(10), host);
    wnd.SetCreateParams(200, 100, 0, 0, 200, 100, 0, 0, 0, 0, 0, 0);
    wnd.m_nRequestedX = test.requestedX;
    wnd.m_nRequestedY = test.requestedY;
    wnd.PlaceNearOwner();
    EXPECT_EQ(host.m_Moves > 0, test.moves) << test.requestedX << "," << test.requestedY;
    if (!test.moves) continue;
    EXPECT_EQ(host.m_Rect.left, test.x) << test.requestedX;
    EXPECT_EQ(host.m_Rect.top, test.y) << test.requestedY;
    EXPECT_EQ(wnd.m_nRequestedX, test.x) << "stored back";
  }
}

TEST_F(WndTest, AnchoredWindowsAreCentredOnTheirAnchor) {
  cWnd owner;
  cFakeWindowHost ownerHost;
  ownerHost.m_Rect = RECT{100, 100, 740, 580};
  Bind(owner, FakeHandle(11), ownerHost);
  owner.SetCreateParams(640, 480, 0, 0, 640, 480, 0, 0, 0, 0, 0, 0);

  cWnd dialog;
  cFakeWindowHost dialogHost;
  Bind(dialog, FakeHandle(12), dialogHost);
  dialog.SetCreateParams(200, 100, 0, 0, 200, 100, 0, 0, 0, 0, 0, 0);
  dialog.m_pAnchorWnd = &owner;
  dialog.m_bCentre = 1;
  dialog.PlaceNearOwner();
  EXPECT_EQ(dialogHost.m_Rect.left, 100 + 320 - 100);
  EXPECT_EQ(dialogHost.m_Rect.top, 100 + 240 - 50);

  dialog.m_bCentre = 0;
  dialog.PlaceNearOwner();
  EXPECT_EQ(dialogHost.m_Rect.left, 100);
  EXPECT_EQ(dialogHost.m_Rect.top, 100);
}

TEST_F(WndTest, CentringOnTheDesktopUsesTheWholeWindow) {
  plat::SetDesktopRects(RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740});
  cWnd wnd;
  cFakeWindowHost host;
  host.m_Rect = RECT{100, 100, 746, 605};
  Bind(wnd, FakeHandle(13), host);
  wnd.SetCreateParams(640, 480, 100, 100, 640, 480, WS_POPUP | WS_CAPTION, 0, 0, 0, 0, 0);
  wnd.CenterOnDesktop();
  EXPECT_EQ(host.m_Rect.left, (1024 - 646) / 2);
  EXPECT_EQ(host.m_Rect.top, (768 - 505) / 2);
  EXPECT_EQ(host.m_Rect.right - host.m_Rect.left, 646);
}

TEST_F(WndTest, StyleChangesGoToTheWindowAndTheFrame) {
  cWnd wnd;
  cFakeWindowHost host;
  host.m_Style = WS_CAPTION;
  Bind(wnd, FakeHandle(14), host);
  wnd.SetCreateParams(640, 480, 0, 0, 640, 480, WS_CAPTION, 0, 0, 0, 0, 0);
  wnd.AddStyle(WS_THICKFRAME);
  EXPECT_EQ(host.m_Style, WS_CAPTION | WS_THICKFRAME);
  EXPECT_EQ(wnd.m_nFrameLeft, 4);
  wnd.RemoveStyle(WS_THICKFRAME);
  EXPECT_EQ(host.m_Style, WS_CAPTION);
  EXPECT_EQ(wnd.m_nFrameLeft, 3);
}

// Records which slot each message reached.
class cRecordingWnd : public cWnd {
 public:
  void OnCommand(WPARAM wParam, LPARAM) override {
    m_Calls.push_back("OnCommand");
    // A command sent from inside a command handler is not handled.
    if (wParam == 99) m_NestedResult = Dispatch(m_hWnd, WM_COMMAND, 1, 0);
  }
  void OnMouseMove(WPARAM, LPARAM) override { m_Calls.push_back("OnMouseMove"); }
  void OnLButtonDown(WPARAM, LPARAM) override { m_Calls.push_back("OnLButtonDown"); }
  void OnRButtonDown(WPARAM, LPARAM) override { m_Calls.push_back("OnRButtonDown"); }
  void OnLButtonDblClk(WPARAM, LPARAM) override { m_Calls.push_back("OnLButtonDblClk"); }
  void OnRButtonDblClk(WPARAM, LPARAM) override { m_Calls.push_back("OnRButtonDblClk"); }
  void OnLButtonUp(WPARAM, LPARAM) override { m_Calls.push_back("OnLButtonUp"); }
  void OnRButtonUp(WPARAM, LPARAM) override { m_Calls.push_back("OnRButtonUp"); }
  void OnPaint() override { m_Calls.push_back("OnPaint"); }

  std::vector<std::string> m_Calls;
  int m_NestedResult = -1;
};

TEST_F(WndTest, MessagesReachTheirSlots) {
  struct sCase {
    UINT message;
    int handled;
    const char* slot;
  };
  const sCase cases[] = {
      {WM_COMMAND, 1, "OnCommand"},         {WM_MOUSEMOVE, 1, "OnMouseMove"},
      {WM_LBUTTONDOWN, 1, "OnLButtonDown"}, {WM_RBUTTONDOWN, 1, "OnRButtonDown"},
      {WM_LBUTTONDBLCLK, 1, "OnLButtonDblClk"}, {WM_RBUTTONDBLCLK, 1, "OnRButtonDblClk"},
      {WM_LBUTTONUP, 1, "OnLButtonUp"},     {WM_RBUTTONUP, 1, "OnRButtonUp"},
      {WM_PAINT, 1, "OnPaint"},             {WM_ACTIVATEAPP, 1, ""},
      {WM_KEYDOWN, 0, ""},                  {WM_CLOSE, 0, ""},
  };
  for (const sCase& test : cases) {
    cRecordingWnd wnd;
    cFakeWindowHost host;
    Bind(wnd, FakeHandle(20), host);
    EXPECT_EQ(wnd.OnMessage(FakeHandle(20), test.message, 0, 0), test.handled) << GetMessageName(test.message);
    const std::vector<std::string> expected = *test.slot ? std::vector<std::string>{test.slot}
                                                         : std::vector<std::string>{};
    EXPECT_EQ(wnd.m_Calls, expected) << GetMessageName(test.message);
  }
}

TEST_F(WndTest, ACommandSentFromACommandHandlerIsNotHandled) {
  cRecordingWnd wnd;
  EXPECT_EQ(wnd.Dispatch(FakeHandle(21), WM_COMMAND, 99, 0), 1);
  EXPECT_EQ(wnd.m_NestedResult, 0);
  EXPECT_EQ(wnd.m_Calls, std::vector<std::string>{"OnCommand"});
  EXPECT_EQ(wnd.m_bCommandGuard, 0) << "the guard is down again afterwards";
  EXPECT_EQ(wnd.Dispatch(FakeHandle(21), WM_COMMAND, 1, 0), 1);
}

TEST_F(WndTest, WindowMessagesKeepTheGeometryCurrent) {
  cWnd wnd;
  cFakeWindowHost host;
  Bind(wnd, FakeHandle(22), host);
  wnd.SetCreateParams(640, 480, 0, 0, 640, 480, 0, 0, 0, 0, 0, 0);

  host.m_Rect = RECT{30, 40, 830, 640};
  EXPECT_EQ(wnd.Dispatch(FakeHandle(22), WM_MOVE, 0, 0), 1);
  EXPECT_EQ(wnd.m_nWindowX, 30);
  EXPECT_EQ(wnd.m_nWindowY, 40);
  EXPECT_EQ(wnd.Dispatch(FakeHandle(22), WM_SIZE, 0, 0), 1);
  EXPECT_EQ(wnd.m_nClientWidth, 800);
  EXPECT_EQ(wnd.m_nClientHeight, 600);

  EXPECT_EQ(wnd.Dispatch(FakeHandle(22), WM_DESTROY, 0, 0), 1);
  EXPECT_EQ(wnd.GetHandle(), nullptr);
}

TEST_F(WndTest, TheTraceWritesOneLinePerMessage) {
  ResetLogsForTests();
  const std::string path = ::testing::TempDir() + "wnd_trace_log.txt";
  std::remove(path.c_str());
  LogInit(1, path);
  cWnd wnd;
  wnd.m_strName = "main";
  wnd.m_bTrace = 1;
  wnd.Dispatch(FakeHandle(23), WM_SIZE, 0x00020001u, 0x01E00280);
  wnd.Dispatch(FakeHandle(23), WM_GETTEXT, 0, 0);
  std::ifstream in(path);
  std::string line;
  std::vector<std::string> lines;
  while (std::getline(in, line)) lines.push_back(line);
  ResetLogsForTests();
  std::remove(path.c_str());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "main | msg:WM_SIZE | wp:131073(2,1) | lp:31457920(480,640)");
  for (const std::string& written : lines) EXPECT_EQ(written.find("WM_GETTEXT"), std::string::npos);
}

TEST_F(WndTest, MessageNames) {
  EXPECT_EQ(GetMessageName(0x0100), "WM_KEYFIRST");
  EXPECT_EQ(GetMessageName(0x0200), "WM_MOUSEFIRST");
  EXPECT_EQ(GetMessageName(0x010F), "WM_IME_COMPOSITION");
  EXPECT_EQ(GetMessageName(0x0010), "WM_CLOSE");
  EXPECT_EQ(GetMessageName(0x0400), "WM_USER");
  EXPECT_EQ(GetMessageName(1025), "1025");
  EXPECT_EQ(GetMessageName(0x0004), "4");
}

TEST_F(WndTest, ThePressedEdgeFiresOnceAcrossWindows) {
  cWnd first;
  cWnd second;
  cFakeWindowHost firstHost;
  cFakeWindowHost secondHost;
  Bind(first, FakeHandle(30), firstHost);
  Bind(second, FakeHandle(31), secondHost);
  first.SetCreateParams(640, 480, 0, 0, 640, 480, 0, 0, 0, 0, 0, 0);
  second.SetCreateParams(640, 480, 0, 0, 640, 480, 0, 0, 0, 0, 0, 0);
  firstHost.m_LeftDown = secondHost.m_LeftDown = true;

  EXPECT_TRUE(first.UpdateCursor(false, 7));
  EXPECT_EQ(first.m_Mouse.m_bLeftPressed, 1);
  EXPECT_EQ(first.m_Mouse.m_nX, 10);
  EXPECT_TRUE(second.UpdateCursor(false, 7));
  EXPECT_EQ(second.m_Mouse.m_bLeftDown, 1);
  EXPECT_EQ(second.m_Mouse.m_bLeftPressed, 0) << "the latch is shared";

  firstHost.m_LeftDown = false;
  EXPECT_TRUE(first.UpdateCursor(false, 7));
  EXPECT_EQ(first.m_Mouse.m_bLeftReleased, 1);
  EXPECT_EQ(first.m_Mouse.m_bLeftPressed, 0);
}

TEST_F(WndTest, TheCursorOutsideTheClientAreaLeavesTheMouseStateAlone) {
  cWnd wnd;
  cFakeWindowHost host;
  Bind(wnd, FakeHandle(32), host);
  wnd.SetCreateParams(640, 480, 0, 0, 640, 480, 0, 0, 0, 0, 0, 0);
  host.m_Cursor = POINT{100 + 640, 150};
  host.m_LeftDown = true;
  EXPECT_FALSE(wnd.UpdateCursor(false, 7));
  EXPECT_EQ(wnd.m_Mouse.m_bLeftDown, 0);
  EXPECT_TRUE(wnd.UpdateCursor(true, 7));
  EXPECT_EQ(wnd.m_Mouse.m_nX, 640);
  EXPECT_EQ(wnd.m_Mouse.m_bLeftDown, 1);
}

TEST_F(WndTest, TheRegistryListsAreShownHiddenEnabledAndDisabled) {
  cWnd wnd;
  cFakeWindowHost host;
  Bind(wnd, FakeHandle(40), host);
  cFakeWindowHost controlHost;
  const HWND control = FakeHandle(41);
  plat::AttachWindowHost(control, &controlHost);
  m_Bound.push_back(control);
  const HWND noWindow = nullptr;

  cWindowRegistry registry;
  registry.m_Windows.push_back(&wnd);
  registry.m_Controls.push_back(&control);
  registry.m_Controls.push_back(&noWindow);

  ShowWindowList(registry, false);
  ShowWindowList(registry, true);
  EXPECT_EQ(host.m_Shows, (std::vector<int>{0, 5}));
  EXPECT_EQ(controlHost.m_Shows, (std::vector<int>{0, 5}));

  EnableWindowList(registry, false);
  EXPECT_NE(host.m_Style & WS_DISABLED, 0u);
  EXPECT_NE(controlHost.m_Style & WS_DISABLED, 0u);
  EnableWindowList(registry, true);
  EXPECT_EQ(host.m_Style & WS_DISABLED, 0u);
  EXPECT_EQ(controlHost.m_Style & WS_DISABLED, 0u);
}

}  // namespace
