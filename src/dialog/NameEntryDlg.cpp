#include "dialog/NameEntryDlg.h"

namespace {

constexpr std::uint16_t kEntryNameEdit = 1003;
constexpr std::uint16_t kEntryOkButton = 1000;
constexpr std::uint16_t kEntryCancelButton = 1001;
constexpr std::uint16_t kEntryNameLabel = 1007;
constexpr int kDialogX = 240;
constexpr int kDialogY = 220;
constexpr int kNameLength = 3;
constexpr int kEntryPointerX = 80;
constexpr int kEntryPointerY = 65;

}  // namespace

const sDlgTemplate& NameEntryTemplate() {
  using plat::eWidgetKind;
  static const sDlgTemplate kTemplate{
      kNameEntryTemplateId,
      WS_POPUP | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT,
      "",
      110,
      65,
      {
          {1075, eWidgetKind::Picture, "", 7, 7, 20, 21},
          {kEntryNameEdit, eWidgetKind::Edit, "", 75, 12, 24, 14, false, true},
          {kEntryOkButton, eWidgetKind::PushButton, "OK", 30, 35, 50, 18, true, true},
          {kEntryNameLabel, eWidgetKind::Static, "登録名(3文字まで)", 15, 15, 56, 16},
      }};
  return kTemplate;
}

cNameEntryDlg::cNameEntryDlg(cWnd* owner, std::int32_t createValue, cWindowRegistry* registry,
                             eNameEntryTarget target, std::string* name, bool windowed, bool english)
    : cDlg(NameEntryTemplate(), owner, createValue, registry), m_bEnglish(english) {
  SetCreateParams(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
  int ownerX = 0;
  int ownerY = 0;
  if (windowed && owner != nullptr) owner->GetWindowPos(&ownerX, &ownerY);
  m_nRequestedX = ownerX + kDialogX;
  m_nRequestedY = ownerY + kDialogY;
  // The pointer starts over the edit box, ready to click into it.
  if (owner != nullptr) owner->MovePointer(m_nRequestedX + kEntryPointerX, m_nRequestedY + kEntryPointerY);
  // Both screens give the same limits: three characters on one line, a
  // double-byte character counting once.
  switch (target) {
    case eNameEntryTarget::OptionName:
      m_EditSetups[0] = sEditSetup{kEntryNameEdit, name, kNameLength + 1, kNameLength, 1, 1, {}};
      m_nEditCount = name != nullptr ? 1 : 0;
      break;
    case eNameEntryTarget::EntryName:
      m_EditSetups[0] = sEditSetup::Short(kEntryNameEdit, name, kNameLength, 1);
      m_nEditCount = name != nullptr ? 1 : 0;
      break;
    case eNameEntryTarget::None:
      break;
  }
}

void cNameEntryDlg::OnCreate(WPARAM wParam, LPARAM lParam) {
  Attach(wParam, lParam);
  for (int i = 0; i < m_nEditCount; ++i) {
    m_Edits[i].Setup(this, m_EditSetups[i]);
    m_Controls.push_back(&m_Edits[i]);
  }
  LoadAll();
  Form().SetFocus(kEntryNameEdit);
  Form().SetSelection(kEntryNameEdit, 0, 0x7FFFFFFF);
  if (m_bEnglish) SetDlgItemString(*this, kEntryNameLabel, "     Name");
  m_bReady = 1;
}

void cNameEntryDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  cDlg::OnCommand(wParam, lParam);
  switch (wParam & 0xFFFF) {
    case kEntryOkButton:
      StoreAll();
      End(1);
      break;
    case kEntryCancelButton:
      End(0);
      break;
    default:
      break;
  }
}
