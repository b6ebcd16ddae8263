#pragma once
// The player's one SDL window and the adapter that turns its events into the
// window messages the main window's procedure handles. Create it, pump it and
// destroy it on the main thread.
//
// Events become messages posted to the bound window handle (the main loop then
// dispatches them to its procedure):
//   quit request, window close        WM_CLOSE
//   focus gained / lost               WM_ACTIVATEAPP (1 / 0) and WM_ACTIVATE
//   moved                             WM_MOVE (lParam: x | y << 16)
//   resized, minimised, maximised     WM_SIZE (SIZE_RESTORED / SIZE_MINIMIZED /
//                                     SIZE_MAXIMIZED, lParam: width | height << 16)
//   exposed                           WM_PAINT
//   key down / up                     WM_KEYDOWN / WM_KEYUP with the virtual-key
//                                     code in wParam (and the key state of
//                                     the bound key source)
//   mouse motion and buttons          WM_MOUSEMOVE, WM_LBUTTONDOWN ... (the
//                                     point of the frame in lParam; over the
//                                     border around the frame nothing)
// The window shows the player's frame, of the size the window was made with,
// wherever FrameArea.h puts it: scaled and centred in full screen or in a
// larger window. The mouse is read in the frame's coordinates, as the player
// draws: events, GetCursorPos (the window's position plus the frame point)
// and SetCursorPos all speak of frame points.
// Some video drivers never report focus (the dummy driver of headless runs):
// the window counts as active once it is shown, so the game runs there too.
//
// The drawing layer's SDL presenter shows its frames in this same window: it
// is made for it with SdlWindowId() (sSdlPresenterOptions::existingWindowId).

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>

#include "platform/KeySource.h"
#include "platform/VirtualKeys.h"
#include "platform/WindowHost.h"
#include "platform/WinTypes.h"

namespace plat {

class cSdlWindow final : public cWindowHost {
 public:
  // Starts SDL video and creates the window hidden, its client area of
  // width x height at (x, y) on the screen, titled with the CP932 title. The
  // frame it shows has that size too.
  // Null (with the reason in *error) when that fails.
  static std::unique_ptr<cSdlWindow> Create(const std::string& titleCp932, int x, int y, int width, int height,
                                            std::string* error = nullptr);
  ~cSdlWindow() override;
  cSdlWindow(const cSdlWindow&) = delete;
  cSdlWindow& operator=(const cSdlWindow&) = delete;

  // Messages go to `target` from now on, and the window library finds this
  // host under it. Null stops the messages.
  void SetMessageTarget(HWND target);
  HWND MessageTarget() const { return m_Target; }

  // Key and joystick state go to `keys` from now on: every key event, and a
  // joystick refresh after each pump. Null stops it. The caller keeps
  // ownership.
  void SetKeySink(cSdlKeySource* keys) { m_Keys = keys; }

  // Takes every waiting SDL event and posts the messages it stands for.
  // Returns the number of messages posted.
  int PumpEvents();

  // Text from the keyboard and its input method, for the dialogs' edit boxes:
  // while text input is on, each committed text and each state of the
  // composition (an empty one when it ends) is kept, in order, until taken.
  void SetTextInput(bool on);
  bool TakeTextEvent(std::string& utf8, bool& composing);

  std::uint32_t SdlWindowId() const;

  // The desktop's colour depth in bits (a desktop of 4-byte pixels counts as
  // 32, which is how the player's depth rules know it) and its refresh rate
  // in Hz; 0 when the display does not tell.
  int DesktopBitsPerPixel() const;
  int DisplayRefreshRate() const;
  bool IsActive() const { return m_Active; }
  // False from creation until Show, and after Show (SW_HIDE).
  bool IsShown() const;

  // Tests: put an event for this window into SDL's queue, as the video
  // driver would; PumpEvents then takes it like any other. Scancodes are
  // SDL's (4 'A', 41 Escape, 58 F1, 82 Up...).
  enum class eTestWindowEvent { Close, Shown, FocusGained, FocusLost, Moved, Resized, Minimized, Exposed };
  void PushWindowEventForTests(eTestWindowEvent kind, int data1 = 0, int data2 = 0) const;
  void PushKeyForTests(int scancode, bool down, bool repeat = false) const;
  void PushMouseButtonForTests(bool left, bool down, int x, int y, int clicks = 1) const;
  static void PushQuitForTests();

  // cWindowHost
  RECT GetWindowRect() const override;
  RECT GetClientRect() const override;
  void SetWindowPos(int x, int y, int width, int height) override;
  std::uint32_t GetStyle() const override { return m_Style; }
  void SetStyle(std::uint32_t style) override;
  void Show(int showCommand) override;
  bool IsIconic() const override;
  bool IsZoomed() const override;
  void SetTitle(const std::string& titleCp932) override;
  bool GetCursorPos(POINT* point) const override;
  bool IsButtonDown(int virtualKey) const override;
  void SetCursorPos(int x, int y) override;

 private:
  struct sImpl;
  cSdlWindow(std::unique_ptr<sImpl> impl, int frameWidth, int frameHeight);
  // Where the frame stands in the window as it is now.
  RECT FrameArea() const;
  // Takes the pointer's window point as the frame point under it; false when
  // it lies on the border around the frame.
  bool TakePointer(int windowX, int windowY);
  void Post(UINT message, WPARAM wParam, LPARAM lParam);
  void Activate(bool active);
  int TranslateWindowEvent(const void* event);

  std::unique_ptr<sImpl> m_Impl;
  HWND m_Target = nullptr;
  cSdlKeySource* m_Keys = nullptr;
  std::uint32_t m_Style = 0;
  bool m_Active = false;
  int m_Posted = 0;
  int m_FrameWidth;
  int m_FrameHeight;
  POINT m_Cursor;  // frame coordinates
  bool m_HasCursor = false;
  bool m_LeftDown = false;
  bool m_RightDown = false;
  bool m_TextInput = false;
  std::deque<std::pair<std::string, bool>> m_Text;  // UTF-8, composing
};

}  // namespace plat
