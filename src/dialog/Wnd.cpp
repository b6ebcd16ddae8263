#include "dialog/Wnd.h"

#include <algorithm>

#include "core/Log.h"
#include "platform/MessageCore.h"

namespace {

// Shared by every window: the pressed edges fire once in total while a button
// is held, whichever window updates first.
std::int32_t g_LeftLatch = 0;
std::int32_t g_RightLatch = 0;
std::int32_t g_PrevLeftDown = 0;
std::int32_t g_PrevRightDown = 0;

struct sMessageName {
  UINT code;
  const char* name;
};

// In ascending order; where two names share a code the first one is the name.
constexpr sMessageName kMessageNames[] = {
    {0x0000, "WM_NULL"}, {0x0001, "WM_CREATE"}, {0x0002, "WM_DESTROY"}, {0x0003, "WM_MOVE"},
    {0x0005, "WM_SIZE"}, {0x0006, "WM_ACTIVATE"}, {0x0007, "WM_SETFOCUS"}, {0x0008, "WM_KILLFOCUS"},
    {0x000A, "WM_ENABLE"}, {0x000B, "WM_SETREDRAW"}, {0x000C, "WM_SETTEXT"}, {0x000D, "WM_GETTEXT"},
    {0x000E, "WM_GETTEXTLENGTH"}, {0x000F, "WM_PAINT"}, {0x0010, "WM_CLOSE"}, {0x0011, "WM_QUERYENDSESSION"},
    {0x0012, "WM_QUIT"}, {0x0013, "WM_QUERYOPEN"}, {0x0014, "WM_ERASEBKGND"}, {0x0015, "WM_SYSCOLORCHANGE"},
    {0x0016, "WM_ENDSESSION"}, {0x0018, "WM_SHOWWINDOW"}, {0x001A, "WM_WININICHANGE"},
    {0x001B, "WM_DEVMODECHANGE"}, {0x001C, "WM_ACTIVATEAPP"}, {0x001D, "WM_FONTCHANGE"},
    {0x001E, "WM_TIMECHANGE"}, {0x001F, "WM_CANCELMODE"}, {0x0020, "WM_SETCURSOR"},
    {0x0021, "WM_MOUSEACTIVATE"}, {0x0022, "WM_CHILDACTIVATE"}, {0x0023, "WM_QUEUESYNC"},
    {0x0024, "WM_GETMINMAXINFO"}, {0x0026, "WM_PAINTICON"}, {0x0027, "WM_ICONERASEBKGND"},
    {0x0028, "WM_NEXTDLGCTL"}, {0x002A, "WM_SPOOLERSTATUS"}, {0x002B, "WM_DRAWITEM"},
    {0x002C, "WM_MEASUREITEM"}, {0x002D, "WM_DELETEITEM"}, {0x002E, "WM_VKEYTOITEM"},
    {0x002F, "WM_CHARTOITEM"}, {0x0030, "WM_SETFONT"}, {0x0031, "WM_GETFONT"}, {0x0032, "WM_SETHOTKEY"},
    {0x0033, "WM_GETHOTKEY"}, {0x0037, "WM_QUERYDRAGICON"}, {0x0039, "WM_COMPAREITEM"},
    {0x003D, "WM_GETOBJECT"}, {0x0041, "WM_COMPACTING"}, {0x0044, "WM_COMMNOTIFY"},
    {0x0046, "WM_WINDOWPOSCHANGING"}, {0x0047, "WM_WINDOWPOSCHANGED"}, {0x0048, "WM_POWER"},
    {0x004A, "WM_COPYDATA"}, {0x004B, "WM_CANCELJOURNAL"}, {0x004E, "WM_NOTIFY"},
    {0x0050, "WM_INPUTLANGCHANGEREQUEST"}, {0x0051, "WM_INPUTLANGCHANGE"}, {0x0052, "WM_TCARD"},
    {0x0053, "WM_HELP"}, {0x0054, "WM_USERCHANGED"}, {0x0055, "WM_NOTIFYFORMAT"},
    {0x007B, "WM_CONTEXTMENU"}, {0x007C, "WM_STYLECHANGING"}, {0x007D, "WM_STYLECHANGED"},
    {0x007E, "WM_DISPLAYCHANGE"}, {0x007F, "WM_GETICON"}, {0x0080, "WM_SETICON"}, {0x0081, "WM_NCCREATE"},
    {0x0082, "WM_NCDESTROY"}, {0x0083, "WM_NCCALCSIZE"}, {0x0084, "WM_NCHITTEST"}, {0x0085, "WM_NCPAINT"},
    {0x0086, "WM_NCACTIVATE"}, {0x0087, "WM_GETDLGCODE"}, {0x0088, "WM_SYNCPAINT"},
    {0x00A0, "WM_NCMOUSEMOVE"}, {0x00A1, "WM_NCLBUTTONDOWN"}, {0x00A2, "WM_NCLBUTTONUP"},
    {0x00A3, "WM_NCLBUTTONDBLCLK"}, {0x00A4, "WM_NCRBUTTONDOWN"}, {0x00A5, "WM_NCRBUTTONUP"},
    {0x00A6, "WM_NCRBUTTONDBLCLK"}, {0x00A7, "WM_NCMBUTTONDOWN"}, {0x00A8, "WM_NCMBUTTONUP"},
    {0x00A9, "WM_NCMBUTTONDBLCLK"}, {0x0100, "WM_KEYFIRST"}, {0x0100, "WM_KEYDOWN"}, {0x0101, "WM_KEYUP"},
    {0x0102, "WM_CHAR"}, {0x0103, "WM_DEADCHAR"}, {0x0104, "WM_SYSKEYDOWN"}, {0x0105, "WM_SYSKEYUP"},
    {0x0106, "WM_SYSCHAR"}, {0x0107, "WM_SYSDEADCHAR"}, {0x0108, "WM_KEYLAST"},
    {0x010D, "WM_IME_STARTCOMPOSITION"}, {0x010E, "WM_IME_ENDCOMPOSITION"}, {0x010F, "WM_IME_COMPOSITION"},
    {0x010F, "WM_IME_KEYLAST"}, {0x0110, "WM_INITDIALOG"}, {0x0111, "WM_COMMAND"},
    {0x0112, "WM_SYSCOMMAND"}, {0x0113, "WM_TIMER"}, {0x0114, "WM_HSCROLL"}, {0x0115, "WM_VSCROLL"},
    {0x0116, "WM_INITMENU"}, {0x0117, "WM_INITMENUPOPUP"}, {0x011F, "WM_MENUSELECT"},
    {0x0120, "WM_MENUCHAR"}, {0x0121, "WM_ENTERIDLE"}, {0x0132, "WM_CTLCOLORMSGBOX"},
    {0x0133, "WM_CTLCOLOREDIT"}, {0x0134, "WM_CTLCOLORLISTBOX"}, {0x0135, "WM_CTLCOLORBTN"},
    {0x0136, "WM_CTLCOLORDLG"}, {0x0137, "WM_CTLCOLORSCROLLBAR"}, {0x0138, "WM_CTLCOLORSTATIC"},
    {0x0200, "WM_MOUSEFIRST"}, {0x0200, "WM_MOUSEMOVE"}, {0x0201, "WM_LBUTTONDOWN"},
    {0x0202, "WM_LBUTTONUP"}, {0x0203, "WM_LBUTTONDBLCLK"}, {0x0204, "WM_RBUTTONDOWN"},
    {0x0205, "WM_RBUTTONUP"}, {0x0206, "WM_RBUTTONDBLCLK"}, {0x0207, "WM_MBUTTONDOWN"},
    {0x0208, "WM_MBUTTONUP"}, {0x0209, "WM_MBUTTONDBLCLK"}, {0x020A, "WM_MOUSEWHEEL"},
    {0x0210, "WM_PARENTNOTIFY"}, {0x0211, "WM_ENTERMENULOOP"}, {0x0212, "WM_EXITMENULOOP"},
    {0x0213, "WM_NEXTMENU"}, {0x0214, "WM_SIZING"}, {0x0215, "WM_CAPTURECHANGED"}, {0x0216, "WM_MOVING"},
    {0x0218, "WM_POWERBROADCAST"}, {0x0219, "WM_DEVICECHANGE"}, {0x0220, "WM_MDICREATE"},
    {0x0221, "WM_MDIDESTROY"}, {0x0222, "WM_MDIACTIVATE"}, {0x0223, "WM_MDIRESTORE"},
    {0x0224, "WM_MDINEXT"}, {0x0225, "WM_MDIMAXIMIZE"}, {0x0226, "WM_MDITILE"}, {0x0227, "WM_MDICASCADE"},
    {0x0228, "WM_MDIICONARRANGE"}, {0x0229, "WM_MDIGETACTIVE"}, {0x0230, "WM_MDISETMENU"},
    {0x0231, "WM_ENTERSIZEMOVE"}, {0x0232, "WM_EXITSIZEMOVE"}, {0x0233, "WM_DROPFILES"},
    {0x0234, "WM_MDIREFRESHMENU"}, {0x0281, "WM_IME_SETCONTEXT"}, {0x0282, "WM_IME_NOTIFY"},
    {0x0283, "WM_IME_CONTROL"}, {0x0284, "WM_IME_COMPOSITIONFULL"}, {0x0285, "WM_IME_SELECT"},
    {0x0286, "WM_IME_CHAR"}, {0x0290, "WM_IME_KEYDOWN"}, {0x0291, "WM_IME_KEYUP"},
    {0x02A1, "WM_MOUSEHOVER"}, {0x02A3, "WM_MOUSELEAVE"}, {0x0300, "WM_CUT"}, {0x0301, "WM_COPY"},
    {0x0302, "WM_PASTE"}, {0x0303, "WM_CLEAR"}, {0x0304, "WM_UNDO"}, {0x0305, "WM_RENDERFORMAT"},
    {0x0306, "WM_RENDERALLFORMATS"}, {0x0307, "WM_DESTROYCLIPBOARD"}, {0x0308, "WM_DRAWCLIPBOARD"},
    {0x0309, "WM_PAINTCLIPBOARD"}, {0x030A, "WM_VSCROLLCLIPBOARD"}, {0x030B, "WM_SIZECLIPBOARD"},
    {0x030C, "WM_ASKCBFORMATNAME"}, {0x030D, "WM_CHANGECBCHAIN"}, {0x030E, "WM_HSCROLLCLIPBOARD"},
    {0x030F, "WM_QUERYNEWPALETTE"}, {0x0310, "WM_PALETTEISCHANGING"}, {0x0311, "WM_PALETTECHANGED"},
    {0x0312, "WM_HOTKEY"}, {0x0317, "WM_PRINT"}, {0x0318, "WM_PRINTCLIENT"}, {0x0358, "WM_HANDHELDFIRST"},
    {0x035F, "WM_HANDHELDLAST"}, {0x0360, "WM_AFXFIRST"}, {0x037F, "WM_AFXLAST"},
    {0x0380, "WM_PENWINFIRST"}, {0x038F, "WM_PENWINLAST"}, {0x0400, "WM_USER"}, {0x8000, "WM_APP"},
};

}  // namespace

// ---- mouse state ----------------------------------------------------------

int cMouseState::Update(int mask, const plat::cWindowHost* host) {
  g_PrevLeftDown = m_bLeftDown;
  g_PrevRightDown = m_bRightDown;
  if ((mask & 1) != 0) {
    m_bLeftDown = host != nullptr && host->IsButtonDown(VK_LBUTTON) ? 1 : 0;
    m_bRightDown = host != nullptr && host->IsButtonDown(VK_RBUTTON) ? 1 : 0;
  }
  if ((mask & 2) != 0) {
    m_bLeftPressed = 0;
    if (m_bLeftDown != 0) {
      if (g_LeftLatch == 0) m_bLeftPressed = 1;
      g_LeftLatch = 1;
    } else {
      g_LeftLatch = 0;
    }
    m_bRightPressed = 0;
    if (m_bRightDown != 0) {
      if (g_RightLatch == 0) m_bRightPressed = 1;
      g_RightLatch = 1;
    } else {
      g_RightLatch = 0;
    }
  }
  if ((mask & 4) != 0) {
    m_bLeftReleased = (g_PrevLeftDown == 1 && m_bLeftDown == 0) ? 1 : 0;
    m_bRightReleased = (g_PrevRightDown == 1 && m_bRightDown == 0) ? 1 : 0;
  }
  return 1;
}

void ResetMouseLatchesForTests() {
  g_LeftLatch = 0;
  g_RightLatch = 0;
  g_PrevLeftDown = 0;
  g_PrevRightDown = 0;
}

// ---- registry ---------------------------------------------------------------

void ShowWindowList(cWindowRegistry& registry, bool show) {
  const int command = show ? 5 : 0;  // SW_SHOW / SW_HIDE
  for (cWnd* window : registry.m_Windows) {
    if (plat::cWindowHost* host = window->Host()) host->Show(command);
  }
  for (const HWND* control : registry.m_Controls) {
    if (*control == nullptr) continue;
    if (plat::cWindowHost* host = plat::FindWindowHost(*control)) host->Show(command);
  }
}

void EnableWindowList(cWindowRegistry& registry, bool enable) {
  for (cWnd* window : registry.m_Windows) {
    if (enable) {
      window->RemoveStyle(WS_DISABLED);
    } else {
      window->AddStyle(WS_DISABLED);
    }
  }
  for (const HWND* control : registry.m_Controls) {
    if (*control == nullptr) continue;
    plat::cWindowHost* host = plat::FindWindowHost(*control);
    if (host == nullptr) continue;
    const std::uint32_t style = host->GetStyle();
    host->SetStyle(enable ? (style & ~WS_DISABLED) : (style | WS_DISABLED));
  }
}

std::string GetMessageName(UINT message) {
  for (const sMessageName& entry : kMessageNames) {
    if (entry.code == message) return entry.name;
  }
  return std::to_string(message);
}

// ---- cWnd -----------------------------------------------------------------

cWnd::cWnd() = default;

cWnd::~cWnd() = default;

LRESULT cWnd::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Dispatch(window, message, wParam, lParam);
}

void cWnd::SetCreateParams(int clientWidth, int clientHeight, int minWidth, int minHeight, int maxWidth,
                           int maxHeight, std::uint32_t style, int hasMenu, int toolBarRows, int statusBarKind,
                           int /*spare*/, int scrollBars) {
  m_nRequestedClientWidth = clientWidth;
  m_nRequestedClientHeight = clientHeight;
  m_dwStyle = style;
  m_bHasMenu = hasMenu;
  m_nToolBarRows = toolBarRows;
  m_nStatusBarKind = statusBarKind;
  m_nScrollBars = scrollBars;

  m_nClientOriginX = 0;
  m_nClientOriginY = toolBarRows * kToolBarRowHeight;
  const int extraWidth = (scrollBars & 2) != 0 ? plat::GetSystemMetrics(SM_CXVSCROLL) : 0;
  int extraHeight = (scrollBars & 1) != 0 ? plat::GetSystemMetrics(SM_CYHSCROLL) : 0;
  if (statusBarKind == 1 || statusBarKind == 2) extraHeight += kStatusBarHeight;
  extraHeight += m_nClientOriginY;

  m_nMinClientWidth = minWidth + extraWidth;
  m_nMinClientHeight = minHeight + extraHeight;
  m_nMaxClientWidth = maxWidth + extraWidth;
  m_nMaxClientHeight = maxHeight + extraHeight;
  m_ClientRect = RECT{0, 0, clientWidth + extraWidth, clientHeight + extraHeight};
  m_InitialClient = m_ClientRect;
  UpdateFrameMetrics();
}

void cWnd::Init(std::uint16_t templateId, HWND owner, cWindowRegistry* registry) {
  m_nTemplateId = templateId;
  m_hOwner = owner;
  m_pRegistry = registry;
}

void cWnd::UpdateFrameMetrics() {
  m_WindowRect.width = m_ClientRect.right - m_ClientRect.left;
  m_WindowRect.height = m_ClientRect.bottom - m_ClientRect.top;
  m_nFrameLeft = m_nFrameRight = m_nFrameTop = m_nFrameBottom = 0;
  if ((m_dwStyle & (WS_BORDER | WS_DLGFRAME)) != 0) m_nFrameTop += plat::GetSystemMetrics(SM_CYCAPTION);
  if ((m_dwStyle & WS_THICKFRAME) != 0) {
    m_nFrameLeft += plat::GetSystemMetrics(SM_CXFRAME);
    m_nFrameRight += plat::GetSystemMetrics(SM_CXFRAME);
    m_nFrameTop += plat::GetSystemMetrics(SM_CYFRAME);
    m_nFrameBottom += plat::GetSystemMetrics(SM_CYFRAME);
  } else if ((m_dwStyle & WS_DLGFRAME) != 0) {
    m_nFrameLeft += plat::GetSystemMetrics(SM_CXDLGFRAME);
    m_nFrameRight += plat::GetSystemMetrics(SM_CXDLGFRAME);
    m_nFrameTop += plat::GetSystemMetrics(SM_CYDLGFRAME);
    m_nFrameBottom += plat::GetSystemMetrics(SM_CYDLGFRAME);
  }
  if ((m_dwStyle & WS_VSCROLL) != 0) m_nFrameRight += plat::GetSystemMetrics(SM_CXVSCROLL);
  if ((m_dwStyle & WS_HSCROLL) != 0) m_nFrameBottom += plat::GetSystemMetrics(SM_CYHSCROLL);
  if (m_bHasMenu != 0) m_nFrameTop += plat::GetSystemMetrics(SM_CYMENU);
  m_WindowRect.width += m_nFrameLeft + m_nFrameRight;
  m_WindowRect.height += m_nFrameTop + m_nFrameBottom;
  m_WindowRect.x = 0;
  m_WindowRect.y = 0;

  m_nClientOriginX = 0;
  m_nClientOriginY = m_nToolBarRows * kToolBarRowHeight;
  m_nClientWidth = m_ClientRect.right - m_ClientRect.left;
  m_nClientHeight = m_ClientRect.bottom - m_ClientRect.top - m_nClientOriginY;
  if ((m_nScrollBars & 1) != 0) m_nClientHeight -= plat::GetSystemMetrics(SM_CYHSCROLL);
  if ((m_nScrollBars & 2) != 0) m_nClientWidth -= plat::GetSystemMetrics(SM_CXVSCROLL);
  if (m_nStatusBarKind == 1) m_nClientHeight -= kStatusBarHeight;
}

void cWnd::MovePointer(int x, int y) const {
  if (plat::cWindowHost* host = Host()) host->SetCursorPos(x, y);
}

void cWnd::GetWindowPos(int* x, int* y) const {
  RECT rect;
  if (const plat::cWindowHost* host = Host()) {
    rect = host->GetWindowRect();
  } else {
    rect = RECT{m_nWindowX, m_nWindowY, m_nWindowX + m_WindowRect.width, m_nWindowY + m_WindowRect.height};
  }
  if (x != nullptr) *x = rect.left;
  if (y != nullptr) *y = rect.top;
}

void cWnd::GetClientRect(RECT* rect) const {
  if (rect == nullptr) return;
  if (const plat::cWindowHost* host = Host()) *rect = host->GetClientRect();
}

void cWnd::MoveTo(int x, int y) {
  if (plat::cWindowHost* host = Host()) host->SetWindowPos(x, y, m_WindowRect.width, m_WindowRect.height);
  m_nWindowX = x;
  m_nWindowY = y;
  UpdateFrameMetrics();
}

void cWnd::SetClientSize(int width, int height) {
  m_ClientRect = RECT{0, 0, width, height};
  int x = m_nWindowX;
  int y = m_nWindowY;
  GetWindowPos(&x, &y);
  if (plat::cWindowHost* host = Host()) {
    host->SetWindowPos(x, y, m_nFrameLeft + m_nFrameRight + width, m_nFrameTop + m_nFrameBottom + height);
  }
  UpdateFrameMetrics();
}

void cWnd::AddStyle(std::uint32_t bits) {
  const plat::cWindowHost* host = Host();
  m_dwStyle = (host != nullptr ? host->GetStyle() : m_dwStyle) | bits;
  if (plat::cWindowHost* writable = Host()) writable->SetStyle(m_dwStyle);
  RefreshMetrics();
}

void cWnd::RemoveStyle(std::uint32_t bits) {
  const plat::cWindowHost* host = Host();
  m_dwStyle = (host != nullptr ? host->GetStyle() : m_dwStyle) & ~bits;
  if (plat::cWindowHost* writable = Host()) writable->SetStyle(m_dwStyle);
  RefreshMetrics();
}

void cWnd::RefreshMetrics() {
  if (const plat::cWindowHost* host = Host()) {
    m_dwStyle = host->GetStyle();
    m_ClientRect = host->GetClientRect();
  }
  UpdateFrameMetrics();
}

POINT cWnd::ClampToWorkArea(POINT point) const {
  const RECT work = plat::GetWorkArea();
  if (point.x < 0) point.x = 0;
  if (point.y < 0) point.y = 0;
  if (point.x + m_WindowRect.width >= work.right) point.x = work.right - m_WindowRect.width;
  if (point.y + m_WindowRect.height >= work.bottom) point.y = work.bottom - m_WindowRect.height;
  return point;
}

void cWnd::PlaceNearOwner() {
  POINT point;
  if (m_pAnchorWnd != nullptr) {
    m_pAnchorWnd->GetWindowPos(&point.x, &point.y);
    if (m_bCentre != 0) {
      point.x += m_pAnchorWnd->m_nClientWidth / 2 - m_nClientWidth / 2;
      point.y += m_pAnchorWnd->m_nClientHeight / 2 - m_nClientHeight / 2;
    }
    point = ClampToWorkArea(point);
  } else if (m_hAnchorControl != nullptr) {
    RECT controlRect;
    RECT controlClient;
    if (const plat::cWindowHost* host = plat::FindWindowHost(m_hAnchorControl)) {
      controlRect = host->GetWindowRect();
      controlClient = host->GetClientRect();
    }
    point = POINT{controlRect.left, controlRect.top};
    if (m_bCentre != 0) {
      point.x += (controlClient.right - controlClient.left) / 2 - m_nClientWidth / 2;
      point.y += (controlClient.bottom - controlClient.top) / 2 - m_nClientHeight / 2;
    }
    point = ClampToWorkArea(point);
  } else {
    if (m_nRequestedX == kNoPosition || m_nRequestedY == kNoPosition) return;
    point = ClampToWorkArea(POINT{m_nRequestedX, m_nRequestedY});
    m_nRequestedX = point.x;
    m_nRequestedY = point.y;
  }
  MoveTo(point.x, point.y);
}

void cWnd::CenterOnDesktop() {
  const RECT desktop = plat::GetDesktopRect();
  int width = m_WindowRect.width;
  int height = m_WindowRect.height;
  if (const plat::cWindowHost* host = Host()) {
    const RECT rect = host->GetWindowRect();
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
  }
  MoveTo((desktop.right - width) / 2, (desktop.bottom - height) / 2);
}

void cWnd::OnGetMinMaxInfo(MINMAXINFO* info) const {
  if (info == nullptr) return;
  const int frameWidth = m_nFrameLeft + m_nFrameRight;
  const int frameHeight = m_nFrameTop + m_nFrameBottom;
  info->ptMinTrackSize = POINT{m_nMinClientWidth + frameWidth, m_nMinClientHeight + frameHeight};
  info->ptMaxTrackSize = POINT{m_nMaxClientWidth + frameWidth, m_nMaxClientHeight + frameHeight};
}

bool cWnd::UpdateCursor(bool anywhere, int mask) {
  const plat::cWindowHost* host = Host();
  POINT point;
  if (host == nullptr || !host->GetCursorPos(&point)) LogPrintf("GetCursorPos失敗！");
  if (host != nullptr) {
    const RECT rect = host->GetWindowRect();
    point.x -= rect.left;
    point.y -= rect.top;
  }
  point.x -= m_nClientOriginX;
  point.y -= m_nClientOriginY;
  if (!anywhere && (point.x < 0 || point.x >= m_nClientWidth || point.y < 0 || point.y >= m_nClientHeight)) {
    return false;
  }
  m_Mouse.m_nX = point.x;
  m_Mouse.m_nY = point.y;
  m_Mouse.Update(mask, host);
  return true;
}

void cWnd::SetText(const std::string& text) {
  if (plat::cWindowHost* host = Host()) host->SetTitle(text);
}

int cWnd::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  m_hWnd = window;
  if (message == WM_COMMAND) {
    if (m_bCommandGuard != 0) return 0;
    m_bCommandGuard = 1;
  }
  if (m_bTrace != 0 && message != WM_GETTEXT) {
    const auto lp = static_cast<std::uint64_t>(static_cast<std::uint32_t>(lParam));
    LogPrintf("%s | msg:%s | wp:%u(%u,%u) | lp:%d(%d,%d)", m_strName.c_str(), GetMessageName(message).c_str(),
              static_cast<unsigned>(wParam), HighWord(wParam), LowWord(wParam), static_cast<int>(lParam),
              HighWord(lp), LowWord(lp));
  }
  UpdateCursor(false, 7);

  switch (message) {
    case WM_DESTROY:
      m_hWnd = nullptr;
      return 1;
    case WM_MOVE:
      GetWindowPos(&m_nWindowX, &m_nWindowY);
      return 1;
    case WM_SIZE:
      RefreshMetrics();
      if (m_hToolBar != nullptr) plat::SendMessage(m_hToolBar, WM_SIZE, wParam, lParam);
      if (m_hStatusBar != nullptr) {
        if (plat::cWindowHost* bar = plat::FindWindowHost(m_hStatusBar)) {
          bar->SetWindowPos(0, m_ClientRect.bottom - kStatusBarHeight, m_nClientWidth, kStatusBarHeight);
        }
        plat::SendMessage(m_hStatusBar, WM_SIZE, wParam, lParam);
      }
      return 1;
    case WM_ACTIVATEAPP:
      return 1;
    case WM_PAINT:
      OnPaint();
      return 1;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
      return 1;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      EndCommand();
      return 1;
    case WM_MOUSEMOVE:
      OnMouseMove(wParam, lParam);
      return 1;
    case WM_LBUTTONDOWN:
      OnLButtonDown(wParam, lParam);
      return 1;
    case WM_LBUTTONUP:
      OnLButtonUp(wParam, lParam);
      return 1;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk(wParam, lParam);
      return 1;
    case WM_RBUTTONDOWN:
      OnRButtonDown(wParam, lParam);
      return 1;
    case WM_RBUTTONUP:
      OnRButtonUp(wParam, lParam);
      return 1;
    case WM_RBUTTONDBLCLK:
      OnRButtonDblClk(wParam, lParam);
      return 1;
    default:
      return 0;
  }
}
