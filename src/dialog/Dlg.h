#pragma once
// cDlg: a dialog made from a template, drawn with the widget runtime inside
// the main window (DialogRuntime.h). It opens modal, routes the items'
// notifications to its control objects, and ends with a result.
//
// DoModal runs a nested loop of the message core on the main thread: sends
// from other threads keep being served, the window's events keep coming, and
// the keys go through the keyboard hook (Hook.h) before the focused widget
// takes them. While a dialog is open:
//   - a close request for the main window ends the dialog first (result 0)
//     and then reaches the main window, so the player closes in order;
//   - a quit message ends the dialog and stays for the outer loop;
//   - a second dialog of the same template is refused (DoModal returns 0).
//
// Items are addressed by id; each has a window handle of its own (GetDlgItem)
// so that it can be enabled, disabled and listed like a window.

#include <cstdint>
#include <string>
#include <vector>

#include "dialog/Ctrl.h"
#include "dialog/Hook.h"
#include "dialog/Wnd.h"
#include "platform/DialogScript.h"
#include "platform/WidgetForm.h"

// Window style bits of dialog templates.
constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
constexpr std::uint32_t DS_MODALFRAME = 0x00000080u;
constexpr std::uint32_t DS_SETFONT = 0x00000040u;

// DoModal flags.
constexpr int kModalHideWindows = 2;
constexpr int kModalDisableWindows = 4;

// One item of a template, in dialog units.
struct sDlgItem {
  std::uint16_t id = 0;
  plat::eWidgetKind kind = plat::eWidgetKind::Static;
  const char* text = "";
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool isDefault = false;
  bool tabStop = false;
  bool groupStart = false;
};

struct sDlgTemplate {
  std::uint16_t id = 0;
  std::uint32_t style = 0;
  const char* caption = "";
  int width = 0;   // dialog units
  int height = 0;
  std::vector<sDlgItem> items;
};

// Dialog units of the templates' 9-point font to pixels (1.5 pixels a unit).
int DialogUnitsToPixels(int units);
// The height of a caption bar, in pixels.
constexpr int kCaptionHeight = 18;

class cDlg : public cWnd {
 public:
  // cWnd::Init with the owner's window; modeless, modal flags and ready 0.
  cDlg(const sDlgTemplate& dialogTemplate, cWnd* owner, std::int32_t createValue, cWindowRegistry* registry);
  ~cDlg() override;

  // The dialog's result; 0 when it already has a window or another dialog of
  // its template is open.
  int DoModal(int flags);
  void End(int result);

  // Slot 14: WM_INITDIALOG.
  virtual void OnCreate(WPARAM wParam, LPARAM lParam) { Attach(wParam, lParam); }
  void Attach(WPARAM wParam, LPARAM lParam);

  LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(WPARAM wParam, LPARAM lParam) override;
  void RefreshControls() override;

  void LoadAll();
  void StoreAll();
  void OnDestroy();
  // The default procedure of the dialogs: OnMessage; WM_CLOSE ends with 0.
  LRESULT DlgDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // The items.
  plat::cWidgetForm& Form() { return m_Form; }
  const plat::cWidgetForm& Form() const { return m_Form; }
  HWND GetDlgItem(std::uint16_t id) const;
  // The item's position in the dialog's client area, in pixels.
  RECT ItemRect(std::uint16_t id) const;
  // Where the dialog sits in the main window's client area (pixels).
  POINT PositionInOwner() const { return m_PositionInOwner; }
  const sDlgTemplate& Template() const { return m_Template; }
  bool IsEnded() const { return m_bEnded; }
  bool HasCaption() const { return (m_Template.style & WS_CAPTION) == WS_CAPTION; }

  // One pass of the modal loop: window events, one scripted entry, the
  // messages waiting, text input, and the picture when it changed. Exposed
  // for tests that step a dialog themselves.
  void RunModalPass();

  std::int32_t m_bModeless = 0;
  std::int32_t m_nModalFlags = 0;
  WNDPROC m_PrevProc = nullptr;
  std::int32_t m_nResult = 0;
  cHook m_Hook;
  cCanvasCtrl m_Canvas;
  cScrollCtrl m_HScroll;
  cScrollCtrl m_VScroll;
  std::vector<cCtrl*> m_Controls;

 protected:
  // A scripted answer (DialogScript.h) as the buttons of this dialog: the
  // default maps Ok and Yes to the default button, No and Cancel to closing.
  virtual void OnScriptAnswer(const plat::sDialogInput& answer);
  // Script-only mode with nothing queued: the default button, or closing
  // when the dialog has none or stays open.
  virtual void OnScriptExhausted();
  // Pushes an item as a click would.
  void Press(std::uint16_t id);
  // Asks for the position that puts the dialog in the middle of the owner's
  // 640 by 480 client area.
  void RequestCentreOfOwner(cWnd* owner);

 private:
  void BuildForm();
  void CreateItemWindows();
  void DestroyItemWindows();
  void PlaceInOwner();
  void ApplyScriptEntry(const plat::sDialogInput& input);
  void DeliverKey(int virtualKey, bool down);
  void DeliverMessage(const MSG& msg);
  void Paint();
  void HandleScroll(UINT message, WPARAM wParam, LPARAM lParam);
  void PlaceScrollBars();

  const sDlgTemplate& m_Template;
  plat::cWidgetForm m_Form;
  std::vector<std::pair<std::uint16_t, HWND>> m_ItemWindows;
  POINT m_PositionInOwner;
  bool m_bEnded = true;
  bool m_bCloseOwnerAfter = false;
  bool m_bQuitAfter = false;
  int m_nQuitCode = 0;
  bool m_bDirty = true;
  bool m_bAttachedOnce = false;
};

// The text of an item, at most `maxChars` bytes (a 5120-byte read at most),
// cut on a character boundary.
void GetDlgItemString(cDlg& dialog, std::uint16_t id, std::string& out, int maxChars);
// Sets an item's text ("" when the string is empty).
void SetDlgItemString(cDlg& dialog, std::uint16_t id, const std::string& text);

// The dialogs open now, innermost last (the main thread's modal loops).
const std::vector<cDlg*>& OpenDialogs();
