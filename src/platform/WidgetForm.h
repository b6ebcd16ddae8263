#pragma once
// cWidgetForm: the widgets of one dialog drawn inside the main window, with
// the keyboard and mouse rules of ordinary dialogs. It stands where a window
// system's dialog manager and its controls would: the dialog logic above it
// reads and writes items by id and hears their notifications (clicks, edit
// updates, focus loss, list choices) through one callback.
//
// Keyboard rules (KeyDown):
//   Tab / Shift+Tab   focus to the next / previous tab stop (a radio group is
//                     one stop: its checked button)
//   arrows            in a radio group: the next button is focused and checked;
//                     in an edit: the caret moves (Shift extends the
//                     selection); in a list: the selection moves
//   Home / End        caret to the start / end of an edit, first / last entry
//                     of a list
//   Space             pushes the focused button, toggles a check box
//   Enter             pushes the focused push button, else the default button
//                     (a list hears it as a double click first)
//   Escape            the command IDCANCEL (2)
//   Backspace/Delete  in an edit, remove the selection or one character
// Text typed (TextInput, UTF-8) replaces an edit's selection as CP932; the
// composition of an input method (SetComposition) is kept on the focused edit
// until it is committed as text.
//
// Everything here runs on the main thread; the form holds no platform handle.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WindowHost.h"
#include "platform/WinTypes.h"

namespace plat {

enum class eWidgetKind : std::uint8_t { Static, Picture, GroupBox, PushButton, RadioButton, CheckBox, Edit, List };

// Notification codes, as the dialog's command routing knows them.
constexpr int BN_CLICKED = 0;
constexpr int LBN_SELCHANGE = 1;
constexpr int LBN_DBLCLK = 2;
constexpr int EN_KILLFOCUS = 0x0200;
constexpr int EN_UPDATE = 0x0400;
constexpr int kCancelCommandId = IDCANCEL;
// The height of one entry of a list, in pixels.
constexpr int kListRowHeight = 14;

struct sWidget {
  int id = 0;
  eWidgetKind kind = eWidgetKind::Static;
  RECT rect;                 // pixels, inside the form
  std::string text;          // CP932
  bool isDefault = false;    // the push button Enter presses
  bool tabStop = false;
  bool groupStart = false;   // first radio button of a group
  bool enabled = true;
  int checked = 0;
  // Edit boxes: the selection as byte offsets (start may lie after end while
  // it is being extended to the left) and the input method's composition.
  int selStart = 0;
  int selEnd = 0;
  std::string composition;   // CP932
  // Lists.
  std::vector<std::string> items;
  int listSelection = -1;
  int listTop = 0;
};

class cWidgetForm {
 public:
  using CommandSink = std::function<void(int id, int code)>;

  cWidgetForm() = default;
  cWidgetForm(const cWidgetForm&) = delete;
  cWidgetForm& operator=(const cWidgetForm&) = delete;

  // Adds a widget; returns it (stays valid until the form is cleared).
  sWidget& Add(const sWidget& widget);
  void Clear();

  void SetCaption(std::string captionCp932) { m_Caption = std::move(captionCp932); }
  const std::string& Caption() const { return m_Caption; }
  void SetSize(int width, int height) { m_Width = width, m_Height = height; }
  int Width() const { return m_Width; }
  int Height() const { return m_Height; }
  void SetCommandSink(CommandSink sink) { m_Sink = std::move(sink); }

  sWidget* Find(int id);
  const sWidget* Find(int id) const;
  const std::vector<sWidget>& Widgets() const { return m_Widgets; }

  // Items by id; a missing id reads as empty and ignores writes.
  // SetText on an edit does not notify (as a program's own change) and puts
  // the caret at the end.
  void SetText(int id, std::string_view textCp932);
  std::string GetText(int id) const;
  void SetCheck(int id, int checked);
  int GetCheck(int id) const;
  void SetSelection(int id, int start, int end);  // clamped; end -1: the end of the text
  void GetSelection(int id, int* start, int* end) const;  // ordered
  void Enable(int id, bool enable);
  void SetItems(int id, std::vector<std::string> items);
  int GetListSelection(int id) const;
  void SetListSelection(int id, int index);

  // Focus; a focus leaving an edit notifies EN_KILLFOCUS.
  void SetFocus(int id);
  int FocusedId() const;

  // Input. KeyDown returns true when the form used the key.
  bool KeyDown(int virtualKey, bool shift);
  void KeyUp(int virtualKey);
  bool IsKeyHeld(int virtualKey) const;
  void TextInput(std::string_view utf8);
  void SetComposition(std::string_view utf8);
  bool IsComposing() const;
  // A click at a point of the form; a double click activates a list entry.
  void Click(int x, int y, bool doubleClick);

  // The widget under a point, or null.
  const sWidget* HitTest(int x, int y) const;

 private:
  void Notify(int id, int code);
  sWidget* Focused();
  void MoveFocus(int step);
  bool IsTabStop(std::size_t index) const;
  void PushButton(sWidget& widget);
  void CheckRadio(std::size_t index);
  bool MoveInRadioGroup(std::size_t index, int step);
  bool EditKey(sWidget& edit, int virtualKey, bool shift);
  bool ListKey(sWidget& list, int virtualKey);
  void ReplaceSelection(sWidget& edit, std::string_view cp932);
  void PressDefault();
  static void KeepSelectionVisible(sWidget& list);

  std::vector<sWidget> m_Widgets;
  std::string m_Caption;
  int m_Width = 0;
  int m_Height = 0;
  int m_Focus = -1;  // index
  CommandSink m_Sink;
  bool m_Held[256] = {};
};

// The step of a CP932 text's caret: the offset of the character before /
// after `offset` (a double-byte character moves two bytes).
int PreviousCharOffset(std::string_view text, int offset);
int NextCharOffset(std::string_view text, int offset);

}  // namespace plat
