// Message boxes drawn as dialogs (answers per button and per close, boxes asked
// for on other threads), and the picture of each dialog over a frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "DialogTestSupport.h"
#include "dialog/BootDialog.h"
#include "dialog/FileDialog.h"
#include "dialog/MessageBoxDlg.h"
#include "dialog/NameEntryDlg.h"
#include "platform/Presenter.h"
#include "platform/VirtualKeys.h"

namespace {

using namespace dialogtest;

using MessageBoxDialogTest = cDialogFixture;

TEST_F(MessageBoxDialogTest, AnswersAreTheButtonsPressed) {
  struct sCase {
    const char* name;
    UINT type;
    sDialogInput input;
    int answer;
  };
  const sCase cases[] = {
      {"OK", MB_OK, sDialogInput::Answer(Answer::Ok), IDOK},
      {"Escape on an OK box", MB_OK, sDialogInput::KeyPress(plat::VK_ESCAPE), IDOK},
      {"Yes", MB_YESNO, sDialogInput::Answer(Answer::Yes), IDYES},
      {"No", MB_YESNO, sDialogInput::Answer(Answer::No), IDNO},
      {"Tab to No and Enter", MB_YESNO, sDialogInput::KeyPress(plat::VK_TAB), IDNO},
      {"closing a question is No", MB_YESNO, sDialogInput::Answer(Answer::Cancel), IDNO},
      {"Escape on OK and Cancel", MB_OKCANCEL, sDialogInput::KeyPress(plat::VK_ESCAPE), IDCANCEL},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<sDialogInput> session{c.input};
    if (c.input.key == plat::VK_TAB) session.push_back(sDialogInput::KeyPress(plat::VK_RETURN));
    Script(session);
    EXPECT_EQ(c.answer, DialogMessageBox(&m_Owner, "本文\n二行目", "題", c.type));
  }
}

TEST_F(MessageBoxDialogTest, ABoxAskedForOnAnotherThreadIsShownOnTheMainThread) {
  plat::SetMessageBoxSink({});
  InstallDialogMessageBoxes(&m_Owner);
  plat::PushDialogInput(sDialogInput::Answer(Answer::No));
  std::atomic<int> answer{-1};
  std::thread asker([&answer] {
    answer = plat::MessageBox("質問", "題", MB_YESNO);
    plat::DestroyThreadQueue();
  });
  while (answer.load() == -1) plat::Sleep(1);  // serves the send
  asker.join();
  EXPECT_EQ(IDNO, answer.load());
  RemoveDialogMessageBoxes();
}

TEST_F(MessageBoxDialogTest, NobodyToAnswerLeavesTheBoxToItsAnswerWithoutADisplay) {
  plat::SetMessageBoxSink({});
  InstallDialogMessageBoxes(&m_Owner);
  plat::SetDialogScriptOnly(true);
  ::setenv("SDL_VIDEODRIVER", "dummy", 0);  // no display for the plain box either
  ::setenv("KESTROVA_MESSAGEBOX_ANSWER", "no", 1);
  EXPECT_EQ(IDNO, plat::MessageBox("質問", "題", MB_YESNO));
  ::unsetenv("KESTROVA_MESSAGEBOX_ANSWER");
  EXPECT_EQ(0, m_FramesShown);  // no dialog was drawn
  RemoveDialogMessageBoxes();
}

// Each dialog over a frame: the frame stays outside the dialog, the dialog is
// drawn inside, and the picture is written as a BMP (to KESTROVA_DIALOG_SHOTS
// as well, when it names a folder).
class DialogPictureTest : public cDialogFixture {
 protected:
  void SetUp() override {
    cDialogFixture::SetUp();
    DialogRuntime().copyLastFrame = [](plat::cPixelSurface& frame) {
      frame.Create(640, 480, plat::ePixelDepth::Argb32);
      for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) frame.SetPixel(x, y, 0xFF000000u | (x / 3) << 16 | (y / 2) << 8 | 0x40);
      }
      return true;
    };
    DialogRuntime().showFrame = [this](const plat::cPixelSurface& frame) {
      if (m_FramesShown++ == 0) m_LastFrame = frame.Clone();
    };
  }

  // One pass shows the dialog; then it is closed.
  void Picture(const char* name, const std::function<void()>& open) {
    SCOPED_TRACE(name);
    m_FramesShown = 0;
    sDialogInput idle;
    idle.kind = plat::eDialogInput::KeyUp;
    Script({idle, sDialogInput::Answer(Answer::Cancel)});
    open();
    ASSERT_FALSE(m_LastFrame.Empty());
    plat::cPixelSurface background;
    DialogRuntime().copyLastFrame(background);
    int changed = 0;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) changed += m_LastFrame.GetPixel(x, y) != background.GetPixel(x, y) ? 1 : 0;
    }
    EXPECT_GT(changed, 5000);              // a dialog window is there
    EXPECT_LT(changed, 640 * 480 / 2);     // over a frame that still shows
    EXPECT_EQ(background.GetPixel(0, 0), m_LastFrame.GetPixel(0, 0));
    plat::cNullPresenter presenter;
    presenter.Present(m_LastFrame);
    const std::string file = std::string(name) + ".bmp";
    ASSERT_TRUE(presenter.WriteLastFrameBmp((m_Folder / file).string()));
    EXPECT_EQ("BM", ReadFile(file).substr(0, 2));
    if (const char* folder = std::getenv("KESTROVA_DIALOG_SHOTS")) {
      presenter.WriteLastFrameBmp((std::filesystem::path(folder) / file).string());
    }
  }
};

TEST_F(DialogPictureTest, EachDialogIsDrawnOverTheFrame) {
  WriteFile("data/stg4/Stage1.stg4_781", "1");
  Picture("boot", [this] {
    cBootData data;
    cBootDialog dialog(&m_Owner, 0, nullptr, data, "Sample Quest", false);
    dialog.DoModal(0);
  });
  Picture("name_entry", [this] {
    std::string name = "ABC";
    cNameEntryDlg dialog(&m_Owner, 0, nullptr, eNameEntryTarget::OptionName, &name, true, false);
    dialog.DoModal(0);
  });
  Picture("open_stage", [this] {
    std::string path;
    OpenFileDialog(&m_Owner, path, kFilePathBuffer, StageOpenDialogSetup(false));
  });
  Picture("message_box", [this] { DialogMessageBox(&m_Owner, "データが存在しません！", "確認", MB_YESNO); });
}

}  // namespace
