#include "dialog/Dlg.h"

#include <algorithm>
#include <memory>

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "dialog/DialogFrame.h"
#include "dialog/DialogRuntime.h"
#include "dialog/WindowProps.h"
#include "platform/MessageCore.h"
#include "platform/VirtualKeys.h"

namespace {

constexpr UINT WM_NOTIFY = 0x004E;
constexpr std::size_t kItemTextBuffer = 5120;
constexpr int kClientWidthDefault = 640;
constexpr int kClientHeightDefault = 480;

WPARAM MakeWParam(int low, int high) {
  return static_cast<WPARAM>((static_cast<std::uint32_t>(high) << 16) | (static_cast<std::uint32_t>(low) & 0xFFFF));
}

std::vector<cDlg*>& OpenList() {
  static std::vector<cDlg*> open;
  return open;
}

LRESULT DlgWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = static_cast<cDlg*>(plat::GetWindowUserData(window));
  return dialog != nullptr ? dialog->WndProc(window, message, wParam, lParam) : 0;
}

// The items have windows only to be found, listed and enabled.
LRESULT ItemWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

void OwnerClientSize(int& width, int& height) {
  width = kClientWidthDefault;
  height = kClientHeightDefault;
  if (DialogRuntime().clientSize) DialogRuntime().clientSize(width, height);
}

bool IsInputMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP ||
         (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK);
}

}  // namespace

// The window behind a dialog: a rectangle on the screen inside the owner's
// window, the template's style and caption, and the owner's mouse.
class cDialogHost final : public plat::cWindowHost {
 public:
  cDialogHost(cDlg& dialog, HWND owner) : m_Dialog(dialog), m_hOwner(owner) {}

  RECT GetWindowRect() const override { return m_Rect; }
  RECT GetClientRect() const override {
    const int captionHeight = HasCaption() ? kCaptionHeight : 0;
    return RECT{0, 0, m_Rect.right - m_Rect.left, m_Rect.bottom - m_Rect.top - captionHeight};
  }
  void SetWindowPos(int x, int y, int width, int height) override {
    m_Rect = RECT{x, y, x + width, y + height};
  }
  std::uint32_t GetStyle() const override { return m_Style; }
  void SetStyle(std::uint32_t style) override { m_Style = style; }
  void Show(int) override {}
  bool IsIconic() const override { return false; }
  bool IsZoomed() const override { return false; }
  void SetTitle(const std::string& titleCp932) override { m_Dialog.Form().SetCaption(titleCp932); }
  bool GetCursorPos(POINT* point) const override {
    const plat::cWindowHost* owner = plat::FindWindowHost(m_hOwner);
    return owner != nullptr && owner->GetCursorPos(point);
  }
  bool IsButtonDown(int virtualKey) const override {
    const plat::cWindowHost* owner = plat::FindWindowHost(m_hOwner);
    return owner != nullptr && owner->IsButtonDown(virtualKey);
  }
  void SetCursorPos(int x, int y) override {
    if (plat::cWindowHost* owner = plat::FindWindowHost(m_hOwner)) owner->SetCursorPos(x, y);
  }
  bool HasCaption() const { return (m_Style & WS_CAPTION) == WS_CAPTION; }

 private:
  cDlg& m_Dialog;
  HWND m_hOwner;
  RECT m_Rect;
  std::uint32_t m_Style = 0;
};

int DialogUnitsToPixels(int units) { return units * 3 / 2; }

const std::vector<cDlg*>& OpenDialogs() { return OpenList(); }

cDlg::cDlg(const sDlgTemplate& dialogTemplate, cWnd* owner, std::int32_t createValue, cWindowRegistry* registry)
    : m_Template(dialogTemplate) {
  m_nCreateValue = createValue;
  Init(dialogTemplate.id, owner != nullptr ? owner->GetHandle() : nullptr, registry);
  m_bReady = 0;
}

cDlg::~cDlg() {
  // A dialog is deleted by its opener after its loop ended; nothing of it
  // may stay in the list of open dialogs.
  std::erase(OpenList(), this);
}

// ---- opening and ending ------------------------------------------------------

int cDlg::DoModal(int flags) {
  if (m_hWnd != nullptr) return 0;
  for (const cDlg* open : OpenList()) {
    if (m_Template.id != 0 && open->m_Template.id == m_Template.id) {
      LogPrintf("dialog %u is open already; a second one is not opened", static_cast<unsigned>(m_Template.id));
      return 0;
    }
  }
  End(0);
  m_bModeless = 0;
  m_nModalFlags = flags;
  if (m_pRegistry != nullptr && (flags & kModalHideWindows) != 0) ShowWindowList(*m_pRegistry, false);
  if (m_pRegistry != nullptr && (flags & kModalDisableWindows) != 0) EnableWindowList(*m_pRegistry, false);

  BuildForm();
  m_bEnded = false;
  m_bCloseOwnerAfter = false;
  m_bQuitAfter = false;
  m_hWnd = plat::CreateWindowHandle(DlgWindowProc, this);
  auto host = std::make_unique<cDialogHost>(*this, m_hOwner);
  host->SetStyle(m_Template.style);
  const int captionHeight = host->HasCaption() ? kCaptionHeight : 0;
  host->SetWindowPos(0, 0, m_Form.Width(), m_Form.Height() + captionHeight);
  plat::AttachWindowHost(m_hWnd, host.get());
  CreateItemWindows();
  OpenList().push_back(this);
  const HWND previousActive = GetActiveWindow();
  SetActiveWindow(m_hWnd);
  if (OpenList().size() == 1) CaptureDialogBackground();

  const HWND window = m_hWnd;
  plat::SendMessage(window, WM_INITDIALOG, 0, m_nCreateValue);
  PlaceInOwner();
  if (DialogRuntime().setTextInput) DialogRuntime().setTextInput(true);
  while (!m_bEnded) RunModalPass();

  plat::SendMessage(window, WM_DESTROY, 0, 0);
  RemoveAllProps(window);
  DestroyItemWindows();
  plat::AttachWindowHost(window, nullptr);
  plat::DestroyWindowHandle(window);
  std::erase(OpenList(), this);
  SetActiveWindow(previousActive);
  if (DialogRuntime().setTextInput && OpenList().empty()) DialogRuntime().setTextInput(false);
  ShowDialogFrame();
  m_hWnd = nullptr;

  if (m_pRegistry != nullptr && (flags & kModalHideWindows) != 0) ShowWindowList(*m_pRegistry, true);
  if (m_pRegistry != nullptr && (flags & kModalDisableWindows) != 0) EnableWindowList(*m_pRegistry, true);
  // What ended the dialog from outside goes on to the loops around it.
  if (m_bCloseOwnerAfter && m_hOwner != nullptr) plat::PostMessage(m_hOwner, WM_CLOSE, 0, 0);
  if (m_bQuitAfter) plat::PostQuitMessage(m_nQuitCode);
  return m_nResult;
}

void cDlg::End(int result) {
  m_nResult = result;
  m_Controls.clear();
  m_bEnded = true;
}

void cDlg::BuildForm() {
  m_Form.Clear();
  m_Form.SetCaption(m_Template.caption);
  m_Form.SetSize(DialogUnitsToPixels(m_Template.width), DialogUnitsToPixels(m_Template.height));
  for (const sDlgItem& item : m_Template.items) {
    plat::sWidget widget;
    widget.id = item.id;
    widget.kind = item.kind;
    widget.text = item.text;
    widget.rect = RECT{DialogUnitsToPixels(item.x), DialogUnitsToPixels(item.y),
                       DialogUnitsToPixels(item.x + item.width), DialogUnitsToPixels(item.y + item.height)};
    widget.isDefault = item.isDefault;
    widget.tabStop = item.tabStop;
    widget.groupStart = item.groupStart;
    m_Form.Add(widget);
  }
  m_Form.SetCommandSink([this](int id, int code) {
    if (m_hWnd == nullptr) return;
    plat::SendMessage(m_hWnd, WM_COMMAND, MakeWParam(id, code), reinterpret_cast<LPARAM>(GetDlgItem(id)));
  });
  m_bDirty = true;
}

void cDlg::CreateItemWindows() {
  m_ItemWindows.clear();
  for (const sDlgItem& item : m_Template.items) {
    m_ItemWindows.emplace_back(item.id, plat::CreateWindowHandle(ItemWindowProc, nullptr));
  }
}

void cDlg::DestroyItemWindows() {
  for (auto& [id, window] : m_ItemWindows) {
    RemoveAllProps(window);
    plat::DestroyWindowHandle(window);
  }
  m_ItemWindows.clear();
}

HWND cDlg::GetDlgItem(std::uint16_t id) const {
  for (const auto& [itemId, window] : m_ItemWindows) {
    if (itemId == id) return window;
  }
  return nullptr;
}

RECT cDlg::ItemRect(std::uint16_t id) const {
  const plat::sWidget* widget = m_Form.Find(id);
  return widget != nullptr ? widget->rect : RECT{};
}

void cDlg::PlaceInOwner() {
  int x = m_nWindowX;
  int y = m_nWindowY;
  GetWindowPos(&x, &y);
  if (const plat::cWindowHost* owner = plat::FindWindowHost(m_hOwner)) {
    const RECT ownerRect = owner->GetWindowRect();
    x -= ownerRect.left;
    y -= ownerRect.top;
  }
  int width = 0;
  int height = 0;
  OwnerClientSize(width, height);
  const int captionHeight = HasCaption() ? kCaptionHeight : 0;
  // The dialog is drawn inside the main window: it must fit there whole.
  x = std::clamp(x, 0, std::max(0, width - m_Form.Width()));
  y = std::clamp(y, 0, std::max(0, height - m_Form.Height() - captionHeight));
  m_PositionInOwner = POINT{x, y};
  m_bDirty = true;
}

// ---- the window procedure ------------------------------------------------------

LRESULT cDlg::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DlgDefaultProc(window, message, wParam, lParam);
}

LRESULT cDlg::DlgDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = OnMessage(window, message, wParam, lParam);
  if (message == WM_DESTROY) return 1;
  if (message == WM_CLOSE) {
    End(0);
    return 1;
  }
  return result != 0 ? 1 : 0;
}

void cDlg::Attach(WPARAM, LPARAM) {
  m_Controls.clear();
  if (m_bModeless != 0 && m_pRegistry != nullptr) m_pRegistry->m_Windows.push_back(this);
  if (!m_bAttachedOnce) {
    // The window is marked as a dialog; its procedure stays the dialog's.
    m_bAttachedOnce = true;
    m_PrevProc = DlgWindowProc;
  }
  SetProp(m_hWnd, "DLG_CLASS", this);
  RefreshMetrics();
  if (m_InitialClient.right - m_InitialClient.left > 0 && m_InitialClient.bottom - m_InitialClient.top > 0) {
    SetClientSize(m_InitialClient.right - m_InitialClient.left, m_InitialClient.bottom - m_InitialClient.top);
  }
  PlaceScrollBars();
  PlaceNearOwner();
  if (!m_Hook.Attach(m_hWnd, m_bModeless)) ErrorBoxf("%s", "KeyboardHookに失敗!");
  UpdateCursor(false, 7);
  m_PrevMouse = m_Mouse;
}

LRESULT cDlg::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const int result = Dispatch(window, message, wParam, lParam);
  switch (message) {
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_SIZE:
      PlaceScrollBars();
      break;
    case WM_NOTIFY:
      for (cCtrl* control : m_Controls) {
        if (control->OnNotify(wParam, lParam) != 0) break;
      }
      break;
    case WM_INITDIALOG:
      OnCreate(wParam, lParam);
      break;
    case WM_KEYDOWN: {
      // The page and cursor keys drive the dialog's scroll bars.
      struct sKeyScroll {
        int key;
        UINT message;
        int code;
      };
      static constexpr sKeyScroll kKeyScrolls[] = {
          {plat::VK_PRIOR, WM_VSCROLL, SB_PAGEUP},  {plat::VK_NEXT, WM_VSCROLL, SB_PAGEDOWN},
          {plat::VK_END, WM_HSCROLL, SB_PAGEDOWN},  {plat::VK_HOME, WM_HSCROLL, SB_PAGEUP},
          {plat::VK_LEFT, WM_HSCROLL, SB_LINEUP},   {plat::VK_UP, WM_VSCROLL, SB_LINEUP},
          {plat::VK_RIGHT, WM_HSCROLL, SB_LINEDOWN}, {plat::VK_DOWN, WM_VSCROLL, SB_LINEDOWN},
      };
      for (const sKeyScroll& entry : kKeyScrolls) {
        if (static_cast<int>(wParam) != entry.key) continue;
        const cScrollCtrl& bar = entry.message == WM_VSCROLL ? m_VScroll : m_HScroll;
        plat::PostMessage(window, entry.message, static_cast<WPARAM>(entry.code),
                          reinterpret_cast<LPARAM>(bar.m_hWnd));
      }
      if (m_bModeless == 0) {
        for (cCtrl* control : m_Controls) control->OnKey(wParam, lParam, HookControlKeyWord());
      }
      break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      HandleScroll(message, wParam, lParam);
      break;
    case WM_APP_DIALOG_KEY:
      plat::SendMessage(window, WM_KEYDOWN, wParam, lParam);
      break;
    default:
      break;
  }
  return result;
}

void cDlg::HandleScroll(UINT message, WPARAM wParam, LPARAM lParam) {
  cScrollCtrl& bar = message == WM_VSCROLL ? m_VScroll : m_HScroll;
  if (bar.m_hWnd != nullptr && reinterpret_cast<HWND>(lParam) == bar.m_hWnd && bar.Scroll(LowWord(wParam))) OnPaint();
  for (cCtrl* control : m_Controls) {
    if (control->OnScroll(wParam, lParam) != 0) break;
  }
}

void cDlg::PlaceScrollBars() {
  // Only the creation parameters ask for the dialog's own bars; no dialog of
  // the player does.
  if ((m_nScrollBars & 1) != 0 && m_HScroll.m_hWnd == nullptr) {
    m_HScroll.Bind(this, 0);
    m_Controls.push_back(&m_HScroll);
  }
  if ((m_nScrollBars & 2) != 0 && m_VScroll.m_hWnd == nullptr) {
    m_VScroll.Bind(this, 0);
    m_Controls.push_back(&m_VScroll);
  }
}

void cDlg::OnCommand(WPARAM wParam, LPARAM) {
  const int id = LowWord(wParam);
  const int code = HighWord(wParam);
  for (cCtrl* control : m_Controls) {
    if (control->m_nId != id) continue;
    const int type = control->m_nType;
    const bool editLike = type == CTRL_EDIT_LIKE || type == CTRL_EDIT;
    if (editLike && code == plat::EN_UPDATE) {
      control->OnChange();
      break;
    }
    if (editLike && code == plat::EN_KILLFOCUS) {
      control->OnKillFocus();
      break;
    }
    if ((type == CTRL_LIST_LIKE || type == CTRL_LIST) && code == 1) {
      control->OnChange();
      break;
    }
    if (type == CTRL_LIST && code == 5) {
      control->OnKillFocus();
      break;
    }
  }
  for (cCtrl* control : m_Controls) {
    if (control->m_nType == CTRL_LIST) control->OnCommandDone();
  }
}

void cDlg::RefreshControls() {
  for (cCtrl* control : m_Controls) {
    if (control->m_nType == CTRL_LIST) control->Refresh();
  }
}

void cDlg::LoadAll() {
  for (cCtrl* control : m_Controls) control->LoadValue();
  m_bDirty = true;
}

void cDlg::StoreAll() {
  for (cCtrl* control : m_Controls) control->StoreValue();
}

void cDlg::OnDestroy() {
  if (m_pRegistry == nullptr) return;
  if ((m_nModalFlags & kModalHideWindows) != 0) ShowWindowList(*m_pRegistry, true);
  if ((m_nModalFlags & kModalDisableWindows) != 0) EnableWindowList(*m_pRegistry, true);
  if (m_bModeless != 0) m_pRegistry->m_Windows.remove(this);
}

// ---- the modal loop ---------------------------------------------------------------

void cDlg::RunModalPass() {
  sDialogRuntime& runtime = DialogRuntime();
  if (runtime.pumpEvents) runtime.pumpEvents();
  plat::sDialogInput input;
  if (plat::TakeDialogInput(&input)) {
    ApplyScriptEntry(input);
  } else if (plat::IsDialogScriptOnly()) {
    LogPrintf("dialog %u: no scripted answer left; the default answer", static_cast<unsigned>(m_Template.id));
    OnScriptExhausted();
  }
  MSG msg;
  while (!m_bEnded && plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DeliverMessage(msg);
  std::string text;
  bool composing = false;
  while (!m_bEnded && runtime.takeTextEvent && runtime.takeTextEvent(text, composing)) {
    if (composing) m_Form.SetComposition(text);
    else m_Form.TextInput(text);
    m_bDirty = true;
  }
  if (m_bDirty && !m_bEnded) {
    m_bDirty = false;
    ShowDialogFrame();
  }
  if (!m_bEnded) plat::Sleep(1);
}

void cDlg::ApplyScriptEntry(const plat::sDialogInput& input) {
  m_bDirty = true;
  switch (input.kind) {
    case plat::eDialogInput::Key:
      if (input.shift) DeliverKey(plat::VK_SHIFT, true);
      DeliverKey(input.key, true);
      if (!m_bEnded) DeliverKey(input.key, false);
      if (input.shift && !m_bEnded) DeliverKey(plat::VK_SHIFT, false);
      break;
    case plat::eDialogInput::KeyUp:
      DeliverKey(input.key, false);
      break;
    case plat::eDialogInput::Text:
      m_Form.TextInput(input.text);
      break;
    case plat::eDialogInput::Composition:
      m_Form.SetComposition(input.text);
      break;
    case plat::eDialogInput::Click:
    case plat::eDialogInput::DoubleClick:
      m_Form.Click(input.x, input.y, input.kind == plat::eDialogInput::DoubleClick);
      break;
    case plat::eDialogInput::Answer:
      OnScriptAnswer(input);
      break;
  }
}

void cDlg::OnScriptAnswer(const plat::sDialogInput& answer) {
  switch (answer.answer) {
    case plat::eDialogAnswer::Ok:
    case plat::eDialogAnswer::Yes:
      for (const plat::sWidget& widget : m_Form.Widgets()) {
        if (widget.kind == plat::eWidgetKind::PushButton && widget.isDefault) {
          Press(static_cast<std::uint16_t>(widget.id));
          return;
        }
      }
      return;
    case plat::eDialogAnswer::Text:
      for (const plat::sWidget& widget : m_Form.Widgets()) {
        if (widget.kind != plat::eWidgetKind::Edit) continue;
        m_Form.SetFocus(widget.id);
        m_Form.SetSelection(widget.id, 0, -1);
        m_Form.TextInput(answer.text);
        break;
      }
      OnScriptAnswer(plat::sDialogInput::Answer(plat::eDialogAnswer::Ok));
      return;
    default:
      plat::SendMessage(m_hWnd, WM_CLOSE, 0, 0);
      return;
  }
}

void cDlg::OnScriptExhausted() {
  OnScriptAnswer(plat::sDialogInput::Answer(plat::eDialogAnswer::Ok));
  if (!m_bEnded) plat::SendMessage(m_hWnd, WM_CLOSE, 0, 0);
}

void cDlg::RequestCentreOfOwner(cWnd* owner) {
  int x = 0;
  int y = 0;
  if (owner != nullptr) owner->GetWindowPos(&x, &y);
  const int captionHeight = HasCaption() ? kCaptionHeight : 0;
  m_nRequestedX = x + (kClientWidthDefault - DialogUnitsToPixels(m_Template.width)) / 2;
  m_nRequestedY = y + (kClientHeightDefault - DialogUnitsToPixels(m_Template.height) - captionHeight) / 2;
}

void cDlg::Press(std::uint16_t id) {
  const plat::sWidget* widget = m_Form.Find(id);
  if (widget == nullptr) return;
  m_Form.Click((widget->rect.left + widget->rect.right) / 2, (widget->rect.top + widget->rect.bottom) / 2, false);
}

void cDlg::DeliverKey(int virtualKey, bool down) {
  // The hook sees every key first, as it would before the focused control.
  const LPARAM flags = down ? 1 : static_cast<LPARAM>(0xC0000001u);
  KeyboardHookProc(HC_ACTION, static_cast<WPARAM>(virtualKey), flags);
  if (down) m_Form.KeyDown(virtualKey, m_Form.IsKeyHeld(plat::VK_SHIFT));
  else m_Form.KeyUp(virtualKey);
  m_bDirty = true;
}

void cDlg::DeliverMessage(const MSG& msg) {
  if (msg.message == WM_QUIT) {
    // The quit belongs to the outer loop: the dialog ends and hands it on.
    m_bQuitAfter = true;
    m_nQuitCode = static_cast<int>(static_cast<std::intptr_t>(msg.wParam));
    End(0);
    return;
  }
  const bool ownWindow = msg.hwnd == m_hWnd ||
                         std::any_of(m_ItemWindows.begin(), m_ItemWindows.end(),
                                     [&](const auto& item) { return item.second == msg.hwnd; });
  if (!ownWindow && msg.hwnd != nullptr && msg.hwnd == m_hOwner) {
    if (msg.message == WM_CLOSE) {
      // Closing the player while a dialog is open: the dialog ends first.
      m_bCloseOwnerAfter = true;
      plat::SendMessage(m_hWnd, WM_CLOSE, 0, 0);
      return;
    }
    if (IsInputMessage(msg.message)) {
      const int captionHeight = HasCaption() ? kCaptionHeight : 0;
      const int x = static_cast<std::int16_t>(msg.lParam & 0xFFFF) - m_PositionInOwner.x;
      const int y = static_cast<std::int16_t>((msg.lParam >> 16) & 0xFFFF) - m_PositionInOwner.y - captionHeight;
      switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
          DeliverKey(static_cast<int>(msg.wParam), true);
          break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
          DeliverKey(static_cast<int>(msg.wParam), false);
          break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
          m_Form.Click(x, y, msg.message == WM_LBUTTONDBLCLK);
          m_bDirty = true;
          break;
        default:
          break;  // the main window takes no input while a dialog is open
      }
      return;
    }
  }
  plat::DispatchMessage(&msg);
  m_bDirty = true;
}

// ---- item texts -------------------------------------------------------------------

void GetDlgItemString(cDlg& dialog, std::uint16_t id, std::string& out, int maxChars) {
  const std::size_t limit = std::min<std::size_t>(kItemTextBuffer, maxChars > 0 ? static_cast<std::size_t>(maxChars) : 0);
  out = limit == 0 ? std::string() : CutAtCharBoundary(dialog.Form().GetText(id), limit - 1);
}

void SetDlgItemString(cDlg& dialog, std::uint16_t id, const std::string& text) {
  dialog.Form().SetText(id, text.empty() ? std::string_view("") : std::string_view(text));
}
