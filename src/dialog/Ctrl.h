#pragma once
// cCtrl: a control object bound to one item of a dialog by its id, and the
// bindings that move a value between a variable of the player and the item:
//   cTextBinding   (type 0)   a static text, only looked up and retitled
//   cEditCtrl      (type 3)   text with length limits (EditCtrl.h)
//   cCanvasCtrl    (type 4)   a drawing area (no dialog of the player binds one)
//   cCheckBinding  (type 5)   a check box on an i32
//   cRadioBinding  (type 6)   a radio button on an i32 with the button's value
//   cScrollCtrl    (type 11)  a scroll bar with its range, page and position
// The routing also knows types 2 (edit-like), 7 and 8 (list-like), which no
// control of the player has.
//
// Controls live inside their dialog object; the dialog's list only points at
// them. Main thread only.

#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

class cDlg;

enum eCtrlType : std::int32_t {
  CTRL_TEXT = 0,
  CTRL_EDIT_LIKE = 2,
  CTRL_EDIT = 3,
  CTRL_CANVAS = 4,
  CTRL_CHECK = 5,
  CTRL_RADIO = 6,
  CTRL_LIST_LIKE = 7,
  CTRL_LIST = 8,
  CTRL_PLAIN = 11,
};

class cCtrl {
 public:
  explicit cCtrl(std::int32_t type) : m_nType(type) {}
  cCtrl(const cCtrl&) = delete;
  cCtrl& operator=(const cCtrl&) = delete;

  // Virtual operations, in this order.
  virtual ~cCtrl() = default;
  virtual void Enable(bool enable);
  virtual void LoadValue() {}
  virtual void StoreValue() {}
  virtual void OnChange() {}
  // Non-zero ends the offer to the other controls.
  virtual int OnNotify(WPARAM, LPARAM) { return 0; }
  virtual int OnScroll(WPARAM, LPARAM) { return 0; }
  virtual void Reserved() {}
  virtual void Refresh() {}
  virtual void OnKillFocus() {}
  virtual void OnCommandDone() {}
  virtual void OnKey(WPARAM, LPARAM, int /*controlKeyWord*/) {}

  // Owner, id, item window and position; the tooltip text is emptied.
  void Bind(cDlg* dialog, std::uint16_t id);

  HWND m_hWnd = nullptr;
  cDlg* m_pDlg = nullptr;
  HWND m_hDlg = nullptr;
  std::int32_t m_nType = 0;
  std::uint16_t m_nId = 0;
  std::int32_t m_nScreenX = 0;
  std::int32_t m_nScreenY = 0;
  std::int32_t m_nOffsetX = 0;
  std::int32_t m_nOffsetY = 0;
  std::string m_strTooltip;
};

class cTextBinding : public cCtrl {
 public:
  cTextBinding() : cCtrl(CTRL_TEXT) {}
};

class cCanvasCtrl : public cCtrl {
 public:
  cCanvasCtrl() : cCtrl(CTRL_CANVAS) {}
};

class cCheckBinding : public cCtrl {
 public:
  cCheckBinding() : cCtrl(CTRL_CHECK) {}
  void Bind(cDlg* dialog, std::uint16_t id, std::int32_t* value);
  void LoadValue() override;
  void StoreValue() override;

  std::int32_t* m_pValue = nullptr;
};

class cRadioBinding : public cCtrl {
 public:
  cRadioBinding() : cCtrl(CTRL_RADIO) {}
  void Bind(cDlg* dialog, std::uint16_t id, std::int32_t* value, std::int32_t buttonValue);
  void LoadValue() override;
  void StoreValue() override;

  std::int32_t* m_pValue = nullptr;
  std::int32_t m_nButtonValue = 0;
};

// Scroll codes of WM_HSCROLL / WM_VSCROLL.
constexpr int SB_LINEUP = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_BOTTOM = 7;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;

// A scroll bar's state, as the scroll messages move it.
struct sScrollInfo {
  int minimum = 0;
  int maximum = 0;
  int page = 0;
  int position = 0;
  int trackPosition = 0;
};

// The position a scroll code moves to (the bar's range clamps it).
int ScrollTarget(const sScrollInfo& info, int code);

struct sScrollSetup {
  std::uint16_t id = 0;
  HWND drivenWindow = nullptr;  // null: the control itself
  int barKind = 0;
  int minimum = 0;
  int maximum = 0;
  int page = 0;
  int redraw = 1;
};

class cScrollCtrl : public cCtrl {
 public:
  cScrollCtrl() : cCtrl(CTRL_PLAIN) {}
  ~cScrollCtrl() override;
  // Binds, keeps the record, sets the range and page, and marks the item with
  // "CTRL_SCROLL_CLASS": from then on a right-button release on the bar is
  // swallowed.
  void Setup(cDlg* dialog, const sScrollSetup& setup);
  // The subclass procedure of the bar: 0 (swallowed) for WM_RBUTTONUP,
  // otherwise 1 (the message goes on to the bar).
  LRESULT SubclassProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Moves the bar by a scroll code; true when its position changed.
  bool Scroll(int code);

  sScrollSetup m_Setup;
  sScrollInfo m_Info;
  bool m_bSubclassed = false;
};

// A control of the check-binding list by id; when there is none, the missing
// id is reported (only while the debug log is on), the close message is
// posted to the main window and null is returned.
template <class Binding, std::size_t N>
Binding* FindBoundControl(Binding (&list)[N], std::uint16_t id);
cCtrl* ReportMissingControl(std::uint16_t id);

template <class Binding, std::size_t N>
Binding* FindBoundControl(Binding (&list)[N], std::uint16_t id) {
  for (Binding& binding : list) {
    if (binding.m_nId == id) return &binding;
  }
  ReportMissingControl(id);
  return nullptr;
}
