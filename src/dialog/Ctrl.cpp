#include "dialog/Ctrl.h"

#include <algorithm>

#include "core/ErrorBox.h"
#include "core/MainWindow.h"
#include "dialog/Dlg.h"
#include "dialog/WindowProps.h"

namespace {

const char* const kScrollProp = "CTRL_SCROLL_CLASS";

}  // namespace

void cCtrl::Enable(bool enable) {
  if (m_pDlg != nullptr) m_pDlg->Form().Enable(m_nId, enable);
}

void cCtrl::Bind(cDlg* dialog, std::uint16_t id) {
  m_pDlg = dialog;
  m_hDlg = dialog != nullptr ? dialog->GetHandle() : nullptr;
  m_nId = id;
  m_hWnd = dialog != nullptr ? dialog->GetDlgItem(id) : nullptr;
  if (dialog != nullptr) {
    const RECT rect = dialog->ItemRect(id);
    int x = 0;
    int y = 0;
    dialog->GetWindowPos(&x, &y);
    m_nOffsetX = rect.left;
    m_nOffsetY = rect.top;
    m_nScreenX = x + rect.left;
    m_nScreenY = y + rect.top;
  }
  m_strTooltip.clear();
}

void cCheckBinding::Bind(cDlg* dialog, std::uint16_t id, std::int32_t* value) {
  cCtrl::Bind(dialog, id);
  m_pValue = value;
}

void cCheckBinding::LoadValue() {
  if (m_pDlg != nullptr && m_pValue != nullptr) m_pDlg->Form().SetCheck(m_nId, *m_pValue);
}

void cCheckBinding::StoreValue() {
  if (m_pDlg != nullptr && m_pValue != nullptr) *m_pValue = m_pDlg->Form().GetCheck(m_nId);
}

void cRadioBinding::Bind(cDlg* dialog, std::uint16_t id, std::int32_t* value, std::int32_t buttonValue) {
  cCtrl::Bind(dialog, id);
  m_pValue = value;
  m_nButtonValue = buttonValue;
}

void cRadioBinding::LoadValue() {
  if (m_pDlg != nullptr && m_pValue != nullptr) m_pDlg->Form().SetCheck(m_nId, *m_pValue == m_nButtonValue ? 1 : 0);
}

void cRadioBinding::StoreValue() {
  if (m_pDlg != nullptr && m_pValue != nullptr && m_pDlg->Form().GetCheck(m_nId) != 0) *m_pValue = m_nButtonValue;
}

int ScrollTarget(const sScrollInfo& info, int code) {
  int position = info.position;
  switch (code) {
    case SB_LINEUP: position -= 1; break;
    case SB_LINEDOWN: position += 1; break;
    case SB_PAGEUP: position -= info.page; break;
    case SB_PAGEDOWN: position += info.page; break;
    case SB_THUMBTRACK: position = info.trackPosition; break;
    case SB_TOP: position = info.minimum; break;
    case SB_BOTTOM: position = info.maximum; break;
    default: break;
  }
  // A bar with a page stops where the page shows its last unit.
  const int last = info.page > 0 ? info.maximum - info.page + 1 : info.maximum;
  return std::clamp(position, info.minimum, std::max(info.minimum, last));
}

cScrollCtrl::~cScrollCtrl() {
  if (m_bSubclassed) RemoveProp(m_hWnd, kScrollProp);
}

void cScrollCtrl::Setup(cDlg* dialog, const sScrollSetup& setup) {
  Bind(dialog, setup.id);
  m_Setup = setup;
  m_Info.minimum = setup.minimum;
  m_Info.maximum = setup.maximum;
  m_Info.page = setup.page;
  m_Info.position = std::clamp(m_Info.position, setup.minimum, std::max(setup.minimum, setup.maximum));
  SetProp(m_hWnd, kScrollProp, this);
  m_bSubclassed = true;
}

LRESULT cScrollCtrl::SubclassProc(UINT message, WPARAM, LPARAM) {
  if (message == WM_RBUTTONUP) return 0;
  if (message == WM_DESTROY && m_bSubclassed) {
    RemoveProp(m_hWnd, kScrollProp);
    m_bSubclassed = false;
  }
  return 1;
}

bool cScrollCtrl::Scroll(int code) {
  const int before = m_Info.position;
  m_Info.position = ScrollTarget(m_Info, code);
  return m_Info.position != before;
}

cCtrl* ReportMissingControl(std::uint16_t id) {
  DebugErrorBoxf("コントロールID 【%u】 が見つかりません！", static_cast<unsigned>(id));
  PostCloseToMainWindow();
  return nullptr;
}
