// The dialog base: bindings, command routing, the modal loop's guards (a
// dialog already open, a close request or a quit while it is open, sends from
// other threads), item texts and scroll bars.
#include <gtest/gtest.h>

#include <thread>

#include "DialogTestSupport.h"
#include "dialog/Dlg.h"
#include "dialog/EditCtrl.h"
#include "platform/VirtualKeys.h"

namespace {

using namespace dialogtest;

const sDlgTemplate& ChoiceTemplate() {
  using plat::eWidgetKind;
  static const sDlgTemplate kTemplate{
      201,
      WS_POPUP | WS_CAPTION,
      "choice",
      120,
      80,
      {
          {10, eWidgetKind::RadioButton, "one", 5, 5, 40, 10, false, true, true},
          {11, eWidgetKind::RadioButton, "zero", 5, 20, 40, 10, false, true},
          {12, eWidgetKind::CheckBox, "flag", 5, 35, 40, 10, false, true},
          {13, eWidgetKind::Edit, "", 5, 50, 60, 12, false, true},
          {IDOK, eWidgetKind::PushButton, "OK", 70, 60, 40, 14, true, true},
      }};
  return kTemplate;
}

// A dialog of radio, check and edit bindings that stores on OK.
class cChoiceDlg : public cDlg {
 public:
  explicit cChoiceDlg(cWnd* owner) : cDlg(ChoiceTemplate(), owner, 0, nullptr) {}

  void OnCreate(WPARAM wParam, LPARAM lParam) override {
    Attach(wParam, lParam);
    m_Radios[0].Bind(this, 10, &m_nValue, 1);
    m_Radios[1].Bind(this, 11, &m_nValue, 0);
    m_Check.Bind(this, 12, &m_nFlag);
    m_Edit.Setup(this, sEditSetup{13, &m_strText, 0, 4, 2, 0, {}});
    for (cCtrl* control : std::initializer_list<cCtrl*>{&m_Radios[0], &m_Radios[1], &m_Check, &m_Edit}) {
      m_Controls.push_back(control);
    }
    LoadAll();
    m_nCheckedAfterLoad = Form().GetCheck(10) + Form().GetCheck(11);
    if (m_OnCreate) m_OnCreate(*this);
  }
  void OnCommand(WPARAM wParam, LPARAM lParam) override {
    cDlg::OnCommand(wParam, lParam);
    if ((wParam & 0xFFFF) == IDOK) {
      StoreAll();
      End(1);
    }
  }

  std::int32_t m_nValue = 1;
  std::int32_t m_nFlag = 0;
  std::string m_strText;
  int m_nCheckedAfterLoad = 0;
  cRadioBinding m_Radios[2];
  cCheckBinding m_Check;
  cEditCtrl m_Edit;
  std::function<void(cChoiceDlg&)> m_OnCreate;
};

using DlgTest = cDialogFixture;

TEST_F(DlgTest, RadioPairAndCheckBindingsLoadAndStore) {
  for (const int start : {1, 0}) {
    cChoiceDlg dialog(&m_Owner);
    dialog.m_nValue = start;
    // Focus on the checked radio button by Tab from nothing, then Down.
    Script({sDialogInput::KeyPress(plat::VK_TAB), sDialogInput::KeyPress(start == 1 ? plat::VK_DOWN : plat::VK_UP),
            sDialogInput::ClickAt(10, 57), sDialogInput::Answer(Answer::Ok)});
    EXPECT_EQ(1, dialog.DoModal(0));
    EXPECT_EQ(1, dialog.m_nCheckedAfterLoad);  // exactly one button shows the value
    EXPECT_EQ(start == 1 ? 0 : 1, dialog.m_nValue);
    EXPECT_EQ(1, dialog.m_nFlag);
  }
}

TEST_F(DlgTest, ClosingLeavesTheBoundValues) {
  cChoiceDlg dialog(&m_Owner);
  Script({sDialogInput::ClickAt(10, 34), sDialogInput::ClickAt(10, 57), sDialogInput::Answer(Answer::Cancel)});
  EXPECT_EQ(0, dialog.DoModal(0));
  EXPECT_EQ(1, dialog.m_nValue);
  EXPECT_EQ(0, dialog.m_nFlag);
}

TEST_F(DlgTest, ADialogAlreadyOpenIsNotOpenedAgain) {
  cChoiceDlg dialog(&m_Owner);
  cChoiceDlg second(&m_Owner);
  int again = -1;
  int other = -1;
  dialog.m_OnCreate = [&](cChoiceDlg& self) {
    again = self.DoModal(0);
    other = second.DoModal(0);
  };
  Script({sDialogInput::Answer(Answer::Ok)});
  EXPECT_EQ(1, dialog.DoModal(0));
  EXPECT_EQ(0, again);
  EXPECT_EQ(0, other);
  EXPECT_TRUE(OpenDialogs().empty());
}

TEST_F(DlgTest, ACloseRequestEndsTheDialogFirstThenReachesTheWindow) {
  cChoiceDlg dialog(&m_Owner);
  plat::PostMessage(m_Owner.GetHandle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(0, dialog.DoModal(0));
  EXPECT_TRUE(std::find(m_Owner.m_Received.begin(), m_Owner.m_Received.end(), WM_CLOSE) == m_Owner.m_Received.end());
  MSG msg;
  ASSERT_TRUE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(WM_CLOSE, msg.message);
  EXPECT_EQ(m_Owner.GetHandle(), msg.hwnd);
}

TEST_F(DlgTest, AQuitEndsTheDialogAndStaysForTheOuterLoop) {
  cChoiceDlg dialog(&m_Owner);
  plat::PostQuitMessage(3);
  EXPECT_EQ(0, dialog.DoModal(0));
  MSG msg;
  ASSERT_TRUE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(WM_QUIT, msg.message);
  EXPECT_EQ(3u, msg.wParam);
}

TEST_F(DlgTest, SendsFromAnotherThreadAreServedWhileTheDialogIsOpen) {
  cChoiceDlg dialog(&m_Owner);
  std::thread sender;
  dialog.m_OnCreate = [&](cChoiceDlg& self) {
    const HWND owner = m_Owner.GetHandle();
    const HWND window = self.GetHandle();
    sender = std::thread([owner, window] {
      plat::SendMessage(owner, WM_USER + 50, 0, 0);
      plat::PostMessage(window, WM_CLOSE, 0, 0);
      plat::DestroyThreadQueue();
    });
  };
  EXPECT_EQ(0, dialog.DoModal(0));  // ended by the sender after its answer
  sender.join();
  EXPECT_NE(std::find(m_Owner.m_Received.begin(), m_Owner.m_Received.end(), WM_USER + 50), m_Owner.m_Received.end());
}

TEST_F(DlgTest, ItemTextsAreCutOnACharacterBoundary) {
  cChoiceDlg dialog(&m_Owner);
  std::string read;
  dialog.m_OnCreate = [&](cChoiceDlg& self) {
    SetDlgItemString(self, 13, "aあい");
    GetDlgItemString(self, 13, read, 3);  // two bytes fit: "a" and half of "あ"
    EXPECT_EQ("a", read);
    GetDlgItemString(self, 13, read, 4);
    EXPECT_EQ("aあ", read);
    SetDlgItemString(self, 13, "");
    GetDlgItemString(self, 13, read, 100);
  };
  Script({sDialogInput::Answer(Answer::Cancel)});
  dialog.DoModal(0);
  EXPECT_EQ("", read);
}

TEST(EditCheckTest, WrapsAndRefusesByTheLimits) {
  struct sCase {
    const char* name;
    std::string text;
    int caret;
    std::string accepted;
    int lineLength;
    int lineCount;
    bool doubleByte;
    bool settingUp;
    bool backspace;
    std::string want;
    bool restored;
  };
  const sCase cases[] = {
      {"fits", "abc", 3, "ab", 3, 1, false, false, false, "abc", false},
      {"a fourth byte on one line is refused", "abcd", 4, "abc", 3, 1, false, false, false, "abc", true},
      {"double-byte characters count once", "あいう", 6, "あい", 3, 1, true, false, false, "あいう", false},
      {"without double-byte counting they are two bytes", "あい", 4, "あ", 3, 1, false, false, false, "あ", true},
      {"a long line wraps into the next", "abcdef", 6, "abcde", 4, 2, false, false, false, "abcd\r\nef", false},
      {"the overflow runs into the following line", "abcde\r\nxy", 5, "abcd\r\nxy", 4, 2, false, false, false,
       "abcd\r\nexy", false},
      {"too many lines after wrapping are refused", "abcdefghi", 9, "abcdefgh", 4, 2, false, false, false,
       "abcdefgh", true},
      {"setting up cuts instead", "abcdefghijk", 0, "", 4, 2, false, true, false, "abcd\r\nefgh", false},
      {"Backspace may not join a full line", "abcdefg", 4, "abcd\r\nefg", 4, 2, false, false, true, "abcd\r\nefg",
       true},
      {"Backspace joins a short line", "abefg", 2, "ab\r\nefg", 4, 2, false, false, true, "abef\r\ng", false},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    const sEditCheck result = CheckEditText(c.text, c.caret, c.caret, c.accepted, 0, 0, c.lineLength, c.lineCount,
                                            c.doubleByte, c.settingUp, c.backspace);
    EXPECT_EQ(c.want, result.text);
    EXPECT_EQ(c.restored, result.restored);
    EXPECT_LE(result.selEnd, static_cast<int>(result.text.size()));
  }
}

TEST(EditCheckTest, ACaretPastAWrapMovesWithTheText) {
  const sEditCheck result = CheckEditText("abcdef", 6, 6, "abcde", 5, 5, 4, 2, false, false, false);
  EXPECT_EQ("abcd\r\nef", result.text);
  EXPECT_EQ(8, result.selEnd);
}

TEST(ScrollTest, CodesMoveThePositionWithinTheRange) {
  sScrollInfo info;
  info.minimum = 0;
  info.maximum = 99;
  info.page = 10;
  info.position = 50;
  info.trackPosition = 70;
  struct sCase {
    int code;
    int want;
  };
  for (const sCase& c : {sCase{SB_LINEUP, 49}, sCase{SB_LINEDOWN, 51}, sCase{SB_PAGEUP, 40}, sCase{SB_PAGEDOWN, 60},
                         sCase{SB_THUMBTRACK, 70}, sCase{SB_TOP, 0}, sCase{SB_BOTTOM, 90}, sCase{4, 50}}) {
    EXPECT_EQ(c.want, ScrollTarget(info, c.code)) << "code " << c.code;
  }
  info.position = 0;
  EXPECT_EQ(0, ScrollTarget(info, SB_LINEUP));
}

TEST_F(DlgTest, ARightClickOnAScrollBarIsSwallowed) {
  cScrollCtrl bar;
  bar.Setup(nullptr, sScrollSetup{0, nullptr, 0, 0, 20, 5, 1});
  EXPECT_EQ(0, bar.SubclassProc(WM_RBUTTONUP, 0, 0));
  EXPECT_EQ(1, bar.SubclassProc(WM_LBUTTONUP, 0, 0));
  EXPECT_TRUE(bar.Scroll(SB_PAGEDOWN));
  EXPECT_EQ(5, bar.m_Info.position);
}

}  // namespace
