#include "platform/SdlWindow.h"

#include <SDL.h>

#include "platform/CommandLine.h"
#include "platform/FrameArea.h"
#include "platform/MessageCore.h"
#include "platform/TextCodec.h"

namespace plat {
namespace {

LPARAM PackPoint(int low, int high) {
  const auto lowWord = static_cast<std::uint32_t>(low) & 0xFFFFu;
  const auto highWord = static_cast<std::uint32_t>(high) & 0xFFFFu;
  return static_cast<LPARAM>(lowWord | (highWord << 16));
}

// The classic key-message lParam: repeat count 1, the scancode, the
// "was down" bit for repeats and the transition bit for releases.
LPARAM KeyParam(const SDL_KeyboardEvent& key) {
  std::uint32_t value = 1u | ((static_cast<std::uint32_t>(key.keysym.scancode) & 0xFFu) << 16);
  if (key.type == SDL_KEYUP) value |= 0xC0000000u;
  if (key.type == SDL_KEYDOWN && key.repeat != 0) value |= 0x40000000u;
  return static_cast<LPARAM>(value);
}

}  // namespace

struct cSdlWindow::sImpl {
  SDL_Window* window = nullptr;
  ~sImpl() {
    if (window != nullptr) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
};

namespace {

void TakeDisplayMetrics(SDL_Window* window) {
  SDL_Rect bounds;
  SDL_Rect usable;
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetDisplayBounds(display, &bounds) != 0) return;
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0) usable = bounds;
  SetDesktopRects(RECT{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h},
                  RECT{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h});
}

}  // namespace

std::unique_ptr<cSdlWindow> cSdlWindow::Create(const std::string& titleCp932, int x, int y, int width, int height,
                                               std::string* error) {
  // SIGTERM is the player's own close request (SingleInstance.h): SDL must
  // not take it over.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (error != nullptr) *error = SDL_GetError();
    return nullptr;
  }
  auto impl = std::make_unique<sImpl>();
  impl->window = SDL_CreateWindow(Cp932ToUtf8(titleCp932).c_str(), x, y, width, height, SDL_WINDOW_HIDDEN);
  if (impl->window == nullptr) {
    if (error != nullptr) *error = SDL_GetError();
    return nullptr;  // impl's destructor balances the subsystem start
  }
  TakeDisplayMetrics(impl->window);
  return std::unique_ptr<cSdlWindow>(new cSdlWindow(std::move(impl), width, height));
}

cSdlWindow::cSdlWindow(std::unique_ptr<sImpl> impl, int frameWidth, int frameHeight)
    : m_Impl(std::move(impl)), m_FrameWidth(frameWidth), m_FrameHeight(frameHeight) {}

RECT cSdlWindow::FrameArea() const {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(m_Impl->window, &width, &height);
  return FrameAreaIn(width, height, m_FrameWidth, m_FrameHeight);
}

bool cSdlWindow::TakePointer(int windowX, int windowY) {
  m_HasCursor = true;
  return WindowToFrame(FrameArea(), m_FrameWidth, m_FrameHeight, POINT{windowX, windowY}, &m_Cursor);
}

cSdlWindow::~cSdlWindow() {
  if (m_Target != nullptr) AttachWindowHost(m_Target, nullptr);
}

void cSdlWindow::SetMessageTarget(HWND target) {
  if (m_Target != nullptr) AttachWindowHost(m_Target, nullptr);
  m_Target = target;
  if (m_Target != nullptr) AttachWindowHost(m_Target, this);
}

std::uint32_t cSdlWindow::SdlWindowId() const { return SDL_GetWindowID(m_Impl->window); }

int cSdlWindow::DesktopBitsPerPixel() const {
  SDL_DisplayMode mode;
  const int display = SDL_GetWindowDisplayIndex(m_Impl->window);
  if (display < 0 || SDL_GetDesktopDisplayMode(display, &mode) != 0) return 0;
  // SDL names 4-byte pixels with 8 unused bits "24 bits per pixel".
  if (SDL_BYTESPERPIXEL(mode.format) == 4) return 32;
  return static_cast<int>(SDL_BITSPERPIXEL(mode.format));
}

int cSdlWindow::DisplayRefreshRate() const {
  SDL_DisplayMode mode;
  const int display = SDL_GetWindowDisplayIndex(m_Impl->window);
  if (display < 0 || SDL_GetDesktopDisplayMode(display, &mode) != 0) return 0;
  return mode.refresh_rate;
}

void cSdlWindow::Post(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_Target != nullptr && PostMessage(m_Target, message, wParam, lParam)) ++m_Posted;
}

void cSdlWindow::Activate(bool active) {
  // Without a target nobody would learn of the change: keep the old state.
  if (m_Target == nullptr || active == m_Active) return;
  m_Active = active;
  if (active) {
    Post(WM_ACTIVATEAPP, 1, 0);
    Post(WM_ACTIVATE, WA_ACTIVE, 0);
  } else {
    Post(WM_ACTIVATE, WA_INACTIVE, 0);
    Post(WM_ACTIVATEAPP, 0, 0);
  }
}

int cSdlWindow::TranslateWindowEvent(const void* rawEvent) {
  const SDL_WindowEvent& event = *static_cast<const SDL_WindowEvent*>(rawEvent);
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      Post(WM_CLOSE, 0, 0);
      break;
    case SDL_WINDOWEVENT_SHOWN:
      Activate(true);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      Activate(true);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      Activate(false);
      break;
    case SDL_WINDOWEVENT_MOVED:
      Post(WM_MOVE, 0, PackPoint(event.data1, event.data2));
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED: {
      int width = 0;
      int height = 0;
      SDL_GetWindowSize(m_Impl->window, &width, &height);
      Post(WM_SIZE, IsZoomed() ? SIZE_MAXIMIZED : SIZE_RESTORED, PackPoint(width, height));
      break;
    }
    case SDL_WINDOWEVENT_MINIMIZED:
      Post(WM_SIZE, SIZE_MINIMIZED, 0);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      Post(WM_PAINT, 0, 0);
      break;
    default:
      break;
  }
  return 0;
}

int cSdlWindow::PumpEvents() {
  m_Posted = 0;
  const std::uint32_t ownId = SdlWindowId();
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_QUIT:
        Post(WM_CLOSE, 0, 0);
        break;
      case SDL_WINDOWEVENT:
        if (event.window.windowID == ownId) TranslateWindowEvent(&event.window);
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        if (event.key.windowID != 0 && event.key.windowID != ownId) break;
        if (m_Keys != nullptr) m_Keys->TakeEvent(&event);
        const int virtualKey = VirtualKeyFromScancode(event.key.keysym.scancode);
        if (virtualKey == 0) break;
        Post(event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey), KeyParam(event.key));
        break;
      }
      case SDL_MOUSEMOTION:
        if (event.motion.windowID != ownId || !TakePointer(event.motion.x, event.motion.y)) break;
        Post(WM_MOUSEMOVE, (m_LeftDown ? MK_LBUTTON : 0) | (m_RightDown ? MK_RBUTTON : 0),
             PackPoint(m_Cursor.x, m_Cursor.y));
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        if (event.button.windowID != ownId) break;
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        const bool left = event.button.button == SDL_BUTTON_LEFT;
        if (!left && event.button.button != SDL_BUTTON_RIGHT) break;
        (left ? m_LeftDown : m_RightDown) = down;
        // A click on the border around the frame goes nowhere.
        if (!TakePointer(event.button.x, event.button.y)) break;
        UINT message;
        if (down && event.button.clicks == 2) {
          message = left ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
        } else if (down) {
          message = left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
        } else {
          message = left ? WM_LBUTTONUP : WM_RBUTTONUP;
        }
        Post(message, (m_LeftDown ? MK_LBUTTON : 0) | (m_RightDown ? MK_RBUTTON : 0),
             PackPoint(m_Cursor.x, m_Cursor.y));
        break;
      }
      case SDL_TEXTINPUT:
        if (m_TextInput && (event.text.windowID == 0 || event.text.windowID == ownId)) m_Text.emplace_back(event.text.text, false);
        break;
      case SDL_TEXTEDITING:
        if (m_TextInput && (event.edit.windowID == 0 || event.edit.windowID == ownId)) m_Text.emplace_back(event.edit.text, true);
        break;
      default:
        break;
    }
  }
  if (m_Keys != nullptr) m_Keys->RefreshJoysticks();
  return m_Posted;
}

void cSdlWindow::SetTextInput(bool on) {
  m_TextInput = on;
  if (on) {
    SDL_StartTextInput();
  } else {
    SDL_StopTextInput();
    m_Text.clear();
  }
}

bool cSdlWindow::TakeTextEvent(std::string& utf8, bool& composing) {
  if (m_Text.empty()) return false;
  utf8 = std::move(m_Text.front().first);
  composing = m_Text.front().second;
  m_Text.pop_front();
  return true;
}

void cSdlWindow::PushWindowEventForTests(eTestWindowEvent kind, int data1, int data2) const {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = SdlWindowId();
  event.window.data1 = data1;
  event.window.data2 = data2;
  switch (kind) {
    case eTestWindowEvent::Close: event.window.event = SDL_WINDOWEVENT_CLOSE; break;
    case eTestWindowEvent::Shown: event.window.event = SDL_WINDOWEVENT_SHOWN; break;
    case eTestWindowEvent::FocusGained: event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED; break;
    case eTestWindowEvent::FocusLost: event.window.event = SDL_WINDOWEVENT_FOCUS_LOST; break;
    case eTestWindowEvent::Moved: event.window.event = SDL_WINDOWEVENT_MOVED; break;
    case eTestWindowEvent::Resized: event.window.event = SDL_WINDOWEVENT_SIZE_CHANGED; break;
    case eTestWindowEvent::Minimized: event.window.event = SDL_WINDOWEVENT_MINIMIZED; break;
    case eTestWindowEvent::Exposed: event.window.event = SDL_WINDOWEVENT_EXPOSED; break;
  }
  SDL_PushEvent(&event);
}

void cSdlWindow::PushKeyForTests(int scancode, bool down, bool repeat) const {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.windowID = SdlWindowId();
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
  SDL_PushEvent(&event);
}

void cSdlWindow::PushMouseButtonForTests(bool left, bool down, int x, int y, int clicks) const {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = SdlWindowId();
  event.button.button = left ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = static_cast<Uint8>(clicks);
  event.button.x = x;
  event.button.y = y;
  SDL_PushEvent(&event);
}

void cSdlWindow::PushQuitForTests() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  SDL_PushEvent(&event);
}

RECT cSdlWindow::GetWindowRect() const {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  SDL_GetWindowPosition(m_Impl->window, &x, &y);
  SDL_GetWindowSize(m_Impl->window, &width, &height);
  return RECT{x, y, x + width, y + height};
}

RECT cSdlWindow::GetClientRect() const {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(m_Impl->window, &width, &height);
  return RECT{0, 0, width, height};
}

void cSdlWindow::SetWindowPos(int x, int y, int width, int height) {
  SDL_SetWindowPosition(m_Impl->window, x, y);
  if (width > 0 && height > 0) SDL_SetWindowSize(m_Impl->window, width, height);
}

void cSdlWindow::SetStyle(std::uint32_t style) {
  m_Style = style;
  SDL_SetWindowResizable(m_Impl->window, (style & WS_THICKFRAME) != 0 ? SDL_TRUE : SDL_FALSE);
}

void cSdlWindow::Show(int showCommand) {
  SDL_Window* window = m_Impl->window;
  if (showCommand == SW_HIDE) {
    SDL_HideWindow(window);
    Activate(false);
    return;
  }
  SDL_ShowWindow(window);
  if (showCommand == SW_SHOWMAXIMIZED) SDL_MaximizeWindow(window);
  // Drivers without focus events would leave the game idle for ever.
  Activate(true);
}

bool cSdlWindow::IsShown() const { return (SDL_GetWindowFlags(m_Impl->window) & SDL_WINDOW_SHOWN) != 0; }

bool cSdlWindow::IsIconic() const { return (SDL_GetWindowFlags(m_Impl->window) & SDL_WINDOW_MINIMIZED) != 0; }

bool cSdlWindow::IsZoomed() const { return (SDL_GetWindowFlags(m_Impl->window) & SDL_WINDOW_MAXIMIZED) != 0; }

void cSdlWindow::SetTitle(const std::string& titleCp932) {
  SDL_SetWindowTitle(m_Impl->window, Cp932ToUtf8(titleCp932).c_str());
}

bool cSdlWindow::GetCursorPos(POINT* point) const {
  if (!m_HasCursor || point == nullptr) return false;
  const RECT rect = GetWindowRect();
  *point = POINT{rect.left + m_Cursor.x, rect.top + m_Cursor.y};
  return true;
}

// The pointer is warped onto the frame point inside the window; the motion
// event SDL makes of it brings the new position back through PumpEvents like
// any other move.
void cSdlWindow::SetCursorPos(int x, int y) {
  const RECT rect = GetWindowRect();
  const POINT window = FrameToWindow(FrameArea(), m_FrameWidth, m_FrameHeight, POINT{x - rect.left, y - rect.top});
  SDL_WarpMouseInWindow(m_Impl->window, window.x, window.y);
}

bool cSdlWindow::IsButtonDown(int virtualKey) const {
  if (virtualKey == VK_LBUTTON) return m_LeftDown;
  if (virtualKey == VK_RBUTTON) return m_RightDown;
  return false;
}

}  // namespace plat
