#include "dialog/BootDialog.h"

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "core/MainWindow.h"


namespace {

constexpr std::uint16_t kStartButton = 1000;
constexpr std::uint16_t kBootCancelButton = 1001;
constexpr std::uint16_t kDirect3DRadio = 1002;
constexpr std::uint16_t kDirectDrawRadio = 1003;
constexpr std::uint16_t kNoShowCheck = 1004;
constexpr std::uint16_t kSettingsText = 1005;
constexpr std::uint16_t kModeGroup = 1006;
// Placed on the middle of the main window, with the dialog's own size.
constexpr int kOffsetX = 320 - 187;
constexpr int kOffsetY = 240 - 136;
constexpr double kBootPointerX = 181.9;
constexpr double kBootPointerY = 198.9;

}  // namespace

const sDlgTemplate& BootTemplate() {
  using plat::eWidgetKind;
  static const sDlgTemplate kTemplate{
      kBootTemplateId,
      WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
      "",
      222,
      171,
      {
          {1075, eWidgetKind::Picture, "", 7, 7, 20, 21},
          {kStartButton, eWidgetKind::PushButton, "ゲーム開始", 80, 105, 50, 25, true, true},
          {kBootCancelButton, eWidgetKind::PushButton, "ゲーム中止", 80, 140, 50, 18, false, true},
          {kModeGroup, eWidgetKind::GroupBox, "描画モード", 15, 15, 190, 55},
          {kDirect3DRadio, eWidgetKind::RadioButton, "Direct3D", 20, 30, 42, 10, false, true, true},
          {kDirectDrawRadio, eWidgetKind::RadioButton, "DirectDraw", 80, 30, 45, 10, false, true},
          {kSettingsText, eWidgetKind::Static, "詳細な設定は環境設定ファイル「System.ini」で行って下さい。", 20, 50, 177,
           12},
          {kNoShowCheck, eWidgetKind::CheckBox, "次回からこのダイアログを表示しない", 50, 85, 120, 10, false, true},
      }};
  return kTemplate;
}

cBootDialog::cBootDialog(cWnd* owner, std::int32_t createValue, cWindowRegistry* registry, cBootData& bootData,
                         std::string caption, bool english)
    : cDlg(BootTemplate(), owner, createValue, registry),
      m_BootData(bootData),
      m_strCaption(std::move(caption)),
      m_bEnglish(english) {
  SetCreateParams(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
  int ownerX = 0;
  int ownerY = 0;
  if (owner != nullptr) owner->GetWindowPos(&ownerX, &ownerY);
  m_nRequestedX = ownerX + kOffsetX;
  m_nRequestedY = ownerY + kOffsetY;
  // The pointer starts over the Start button. The offsets are fractional
  // and the sum is truncated toward zero.
  if (owner != nullptr) {
    owner->MovePointer(static_cast<int>(m_nRequestedX + kBootPointerX), static_cast<int>(m_nRequestedY + kBootPointerY));
  }
}

void cBootDialog::OnInitDialog(WPARAM wParam, LPARAM lParam) {
  Attach(wParam, lParam);
  SetText(m_strCaption);
  m_Radios[0].Bind(this, kDirect3DRadio, &m_BootData.m_nDrawMode, 1);
  m_Radios[1].Bind(this, kDirectDrawRadio, &m_BootData.m_nDrawMode, 0);
  m_Checks[0].Bind(this, kNoShowCheck, &m_BootData.m_bNoShow);
  m_Texts[0].Bind(this, kSettingsText);
  m_Controls.push_back(&m_Radios[0]);
  m_Controls.push_back(&m_Radios[1]);
  m_Controls.push_back(&m_Checks[0]);
  m_Controls.push_back(&m_Texts[0]);
  LoadAll();
  Form().SetFocus(kStartButton);
  if (m_bEnglish) {
    SetDlgItemString(*this, kModeGroup, "Drawing mode");
    SetDlgItemString(*this, kStartButton, "Start");
    SetDlgItemString(*this, kBootCancelButton, "Cancel");
    if (cTextBinding* settings = FindBoundControl(m_Texts, kSettingsText)) {
      SetDlgItemString(*this, settings->m_nId, "Configure the detail settings at \"System.ini\".");
    }
    if (cCheckBinding* noShow = FindBoundControl(m_Checks, kNoShowCheck)) {
      SetDlgItemString(*this, noShow->m_nId, "Do not ask this dialog again");
    }
  }
  m_bReady = 1;
}

void cBootDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  cDlg::OnCommand(wParam, lParam);
  switch (wParam & 0xFFFF) {
    case kStartButton:
      StoreAll();
      // A file that cannot be written leaves the choice for this run only.
      if (!m_BootData.Save()) ReportPrintf("%s", "Boot.dat cannot be written; the choice holds for this run only");
      End(1);
      break;
    case kBootCancelButton:
      End(0);
      break;
    default:
      break;
  }
}

void cBootDialog::OnScriptAnswer(const plat::sDialogInput& answer) {
  switch (answer.answer) {
    case plat::eDialogAnswer::Ok:
    case plat::eDialogAnswer::Yes:
      Press(kStartButton);
      return;
    case plat::eDialogAnswer::No:
      Press(kBootCancelButton);
      return;
    default:
      cDlg::OnScriptAnswer(answer);
      return;
  }
}
