#include "dialog/MessageBoxDlg.h"

#include <algorithm>

#include "dialog/DialogPainter.h"
#include "platform/MessageBox.h"
#include "platform/MessageCore.h"

namespace {

constexpr UINT kButtonTypeMask = 0x000F;
constexpr int kMarginDlu = 8;
constexpr int kLineHeightDlu = 10;
constexpr int kButtonWidthDlu = 50;
constexpr int kButtonHeightDlu = 14;
constexpr int kButtonGapDlu = 6;
constexpr int kMinWidthDlu = 120;
constexpr int kMaxWidthDlu = 400;
constexpr int kMaxLines = 28;
// The message the main thread's box server takes a box request with.
constexpr UINT WM_APP_SHOW_BOX = WM_APP + 0x20;

int PixelsToDialogUnits(int pixels) { return (pixels * 2 + 2) / 3; }

struct sButton {
  int id;
  const char* label;
};

std::vector<sButton> ButtonsOf(UINT type) {
  switch (type & kButtonTypeMask) {
    case MB_OKCANCEL:
      return {{IDOK, "OK"}, {IDCANCEL, "キャンセル"}};
    case MB_YESNO:
      return {{IDYES, "はい"}, {IDNO, "いいえ"}};
    default:
      return {{IDOK, "OK"}};
  }
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (lines.size() < kMaxLines) {
    const std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

sMessageBoxLayout LayOut(const std::string& text, const std::string& caption, UINT type) {
  sMessageBoxLayout layout;
  layout.lines = SplitLines(text);
  const std::vector<sButton> buttons = ButtonsOf(type);
  int textWidth = PixelsToDialogUnits(DialogTextWidth(caption)) + 2 * kMarginDlu;
  for (const std::string& line : layout.lines) textWidth = std::max(textWidth, PixelsToDialogUnits(DialogTextWidth(line)));
  const int buttonsWidth = static_cast<int>(buttons.size()) * (kButtonWidthDlu + kButtonGapDlu) - kButtonGapDlu;
  const int width = std::clamp(std::max(textWidth, buttonsWidth) + 2 * kMarginDlu, kMinWidthDlu, kMaxWidthDlu);
  const int textHeight = static_cast<int>(layout.lines.size()) * kLineHeightDlu;
  sDlgTemplate& t = layout.dialogTemplate;
  t.id = 0;  // boxes may stand over boxes
  t.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME;
  t.width = width;
  t.height = kMarginDlu + textHeight + kMarginDlu + kButtonHeightDlu + kMarginDlu;
  for (std::size_t i = 0; i < layout.lines.size(); ++i) {
    t.items.push_back({static_cast<std::uint16_t>(100 + i), plat::eWidgetKind::Static, "", kMarginDlu,
                       kMarginDlu + static_cast<int>(i) * kLineHeightDlu, width - 2 * kMarginDlu, kLineHeightDlu});
  }
  int x = (width - buttonsWidth) / 2;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    t.items.push_back({static_cast<std::uint16_t>(buttons[i].id), plat::eWidgetKind::PushButton, buttons[i].label, x,
                       kMarginDlu + textHeight + kMarginDlu, kButtonWidthDlu, kButtonHeightDlu, i == 0, true});
    x += kButtonWidthDlu + kButtonGapDlu;
  }
  return layout;
}

cWnd* g_BoxOwner = nullptr;
HWND g_BoxServer = nullptr;

struct sBoxRequest {
  const std::string* text;
  const std::string* caption;
  UINT type;
};

LRESULT BoxServerProc(HWND, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_APP_SHOW_BOX) return 0;
  const auto* request = reinterpret_cast<const sBoxRequest*>(lParam);
  return DialogMessageBox(g_BoxOwner, *request->text, *request->caption, request->type);
}

int ShowOverlayBox(const std::string& text, const std::string& caption, UINT type) {
  // Nobody to answer a script-only run: the box takes the answer it takes
  // without a display.
  if (g_BoxServer == nullptr || (plat::IsDialogScriptOnly() && !plat::HasDialogInput())) return 0;
  if (plat::CurrentThreadId() == plat::GetWindowThreadId(g_BoxServer)) {
    return DialogMessageBox(g_BoxOwner, text, caption, type);
  }
  const sBoxRequest request{&text, &caption, type};
  return static_cast<int>(plat::SendMessage(g_BoxServer, WM_APP_SHOW_BOX, 0, reinterpret_cast<LPARAM>(&request)));
}

}  // namespace

cMessageBoxDlg::cMessageBoxDlg(cWnd* owner, const std::string& text, const std::string& caption, UINT type)
    : sMessageBoxLayout(LayOut(text, caption, type)), cDlg(dialogTemplate, owner, 0, nullptr), m_nType(type) {
  SetCreateParams(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
  RequestCentreOfOwner(owner);
  m_strName = caption;
}

void cMessageBoxDlg::OnCreate(WPARAM wParam, LPARAM lParam) {
  Attach(wParam, lParam);
  SetText(m_strName);
  for (std::size_t i = 0; i < lines.size(); ++i) SetDlgItemString(*this, static_cast<std::uint16_t>(100 + i), lines[i]);
  Form().SetFocus(ButtonsOf(m_nType).front().id);
  m_bReady = 1;
}

int cMessageBoxDlg::CloseAnswer() const {
  switch (m_nType & kButtonTypeMask) {
    case MB_OKCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    default: return IDOK;
  }
}

LRESULT cMessageBoxDlg::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    OnMessage(window, message, wParam, lParam);
    End(CloseAnswer());
    return 1;
  }
  return DlgDefaultProc(window, message, wParam, lParam);
}

void cMessageBoxDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  cDlg::OnCommand(wParam, lParam);
  const int id = static_cast<int>(wParam & 0xFFFF);
  for (const sButton& button : ButtonsOf(m_nType)) {
    if (button.id == id) {
      End(id);
      return;
    }
  }
  // Escape (the cancel command) on a box without a Cancel button.
  if (id == IDCANCEL && (m_nType & kButtonTypeMask) == MB_OK) End(IDOK);
}

void cMessageBoxDlg::OnScriptAnswer(const plat::sDialogInput& answer) {
  switch (answer.answer) {
    case plat::eDialogAnswer::Yes:
      Press(Form().Find(IDYES) != nullptr ? IDYES : IDOK);
      return;
    case plat::eDialogAnswer::No:
      Press(Form().Find(IDNO) != nullptr ? IDNO : IDCANCEL);
      return;
    default:
      cDlg::OnScriptAnswer(answer);
      return;
  }
}

int DialogMessageBox(cWnd* owner, const std::string& text, const std::string& caption, UINT type) {
  cMessageBoxDlg box(owner, text, caption, type);
  return box.DoModal(0);
}

void InstallDialogMessageBoxes(cWnd* owner) {
  g_BoxOwner = owner;
  if (g_BoxServer == nullptr) g_BoxServer = plat::CreateWindowHandle(BoxServerProc, nullptr);
  plat::SetMessageBoxOverlay(ShowOverlayBox);
}

void RemoveDialogMessageBoxes() {
  plat::SetMessageBoxOverlay({});
  if (g_BoxServer != nullptr) plat::DestroyWindowHandle(g_BoxServer);
  g_BoxServer = nullptr;
  g_BoxOwner = nullptr;
}
