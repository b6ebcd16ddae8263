// Scripted sessions of the start-up dialog and the name-entry dialog: what a
// player types and clicks, and what ends up in Boot.dat and in the name.
#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "dialog/BootDialog.h"
#include "dialog/NameEntryDlg.h"
#include "platform/TextCodec.h"
#include "platform/VirtualKeys.h"
#include "support/ByteBuilder.h"
#include "support/FakeWindowHost.h"
#include "support/Utf8Text.h"

namespace {

using namespace dialogtest;
using testsupport::ByteBuilder;
using testsupport::I32;

std::string Bytes(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class BootDialogTest : public cDialogFixture {
 protected:
  void SetUp() override {
    cDialogFixture::SetUp();
    std::filesystem::create_directories(m_Folder / "user_data");
  }
  int Run(cBootData& data, bool english = false) {
    cBootDialog dialog(&m_Owner, 0, nullptr, data, "Sample Quest", english);
    const int result = dialog.DoModal(0);
    m_Texts.clear();
    return result;
  }
  std::vector<std::string> m_Texts;
};

TEST_F(BootDialogTest, ChoicesAreSavedToBootDatAndReadBack) {
  struct sCase {
    const char* name;
    std::vector<sDialogInput> session;
    int result;
    int drawMode;
    int noShow;
  };
  // The dialog opens with Start focused; Tab goes on to Cancel, the checked
  // radio button, then the check box.
  const sCase cases[] = {
      {"Start at once keeps Direct3D", {sDialogInput::Answer(Answer::Ok)}, 1, 1, 0},
      {"Enter presses the default button", {sDialogInput::KeyPress(plat::VK_RETURN)}, 1, 1, 0},
      {"DirectDraw and do-not-show by keys",
       {sDialogInput::KeyPress(plat::VK_TAB), sDialogInput::KeyPress(plat::VK_TAB),
        sDialogInput::KeyPress(plat::VK_RIGHT), sDialogInput::KeyPress(plat::VK_TAB),
        sDialogInput::KeyPress(plat::VK_SPACE), sDialogInput::KeyPress(plat::VK_RETURN)},
       1, 0, 1},
      {"Shift+Tab walks back to the check box",
       {sDialogInput::KeyPress(plat::VK_TAB, true), sDialogInput::KeyPress(plat::VK_SPACE),
        sDialogInput::Answer(Answer::Yes)},
       1, 1, 1},
      {"DirectDraw by clicks", {sDialogInput::ClickAt(125, 52), sDialogInput::Answer(Answer::Ok)}, 1, 0, 0},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(m_Folder / "user_data/Boot.dat");
    cBootData data;
    Script(c.session);
    EXPECT_EQ(c.result, Run(data));
    EXPECT_EQ(c.drawMode, data.m_nDrawMode);
    EXPECT_EQ(c.noShow, data.m_bNoShow);
    cBootData read;
    read.m_nDrawMode = 7;
    ASSERT_TRUE(read.Load());
    EXPECT_EQ(c.drawMode, read.m_nDrawMode);
    EXPECT_EQ(c.noShow, read.m_bNoShow);
  }
}

TEST_F(BootDialogTest, DirectDrawWithDoNotShowWritesTheTwentyByteFile) {
  cBootData data;
  data.m_nDrawMode = 0;
  Script({sDialogInput::KeyPress(plat::VK_TAB, true), sDialogInput::KeyPress(plat::VK_SPACE),
          sDialogInput::Answer(Answer::Ok)});
  ASSERT_EQ(1, Run(data));
  EXPECT_EQ(Bytes(ByteBuilder().File(781, {I32(0), I32(1)}, {})), ReadFile("user_data/Boot.dat"));
}

TEST_F(BootDialogTest, CancelOrClosingEndsWithZeroAndWritesNothing) {
  for (const Answer answer : {Answer::No, Answer::Cancel}) {
    cBootData data;
    Script({sDialogInput::ClickAt(125, 52), sDialogInput::Answer(answer)});
    EXPECT_EQ(0, Run(data));
    EXPECT_FALSE(Exists("user_data/Boot.dat"));
  }
}

TEST_F(BootDialogTest, NobodyToAnswerMeansStart) {
  cBootData data;
  Script({});
  EXPECT_EQ(1, Run(data));
  EXPECT_TRUE(Exists("user_data/Boot.dat"));
}

TEST_F(BootDialogTest, EnglishTextsAndTheGameTitleAsCaption) {
  for (const bool english : {false, true}) {
    cBootData data;
    cBootDialog dialog(&m_Owner, 0, nullptr, data, "Sample Quest", english);
    std::string start, cancel, caption;
    plat::PushDialogInput(sDialogInput::Answer(Answer::Cancel));
    // Read the items while the dialog is open: from the frame it shows.
    sDialogRuntime& runtime = DialogRuntime();
    runtime.showFrame = [&](const plat::cPixelSurface&) {
      start = dialog.Form().GetText(1000);
      cancel = dialog.Form().GetText(1001);
      caption = dialog.Form().Caption();
    };
    EXPECT_EQ(0, dialog.DoModal(0));
    EXPECT_EQ(english ? "Start" : "ゲーム開始", start);
    EXPECT_EQ(english ? "Cancel" : "ゲーム中止", cancel);
    EXPECT_EQ("Sample Quest", caption);
  }
}

// Both dialogs put the pointer over the control the player will use first,
// measured from where they are placed on the screen.
class DialogPointerTest : public cDialogFixture {};

TEST_F(DialogPointerTest, TheStartUpDialogsMoveThePointerOntoTheirControls) {
  struct sCase {
    const char* name;
    RECT ownerRect;
    bool nameEntry;
    bool windowed;
    POINT pointer;
  };
  const sCase cases[] = {
      {"start-up dialog", {100, 100, 740, 580}, false, true, {414, 402}},
      {"start-up dialog truncates toward zero left of the screen", {-400, -400, 240, 80}, false, true, {-85, -97}},
      {"name entry in a window", {100, 100, 740, 580}, true, true, {420, 385}},
      {"name entry on the full screen", {100, 100, 740, 580}, true, false, {320, 285}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::cFakeWindowHost host;
    host.m_Rect = c.ownerRect;
    plat::AttachWindowHost(m_Owner.GetHandle(), &host);
    cBootData data;
    std::string name;
    if (c.nameEntry) {
      cNameEntryDlg dialog(&m_Owner, 0, nullptr, eNameEntryTarget::OptionName, &name, c.windowed, false);
    } else {
      cBootDialog dialog(&m_Owner, 0, nullptr, data, "Sample Quest", false);
    }
    plat::AttachWindowHost(m_Owner.GetHandle(), nullptr);
    ASSERT_EQ(1u, host.m_PointerMoves.size());
    EXPECT_EQ(c.pointer.x, host.m_PointerMoves[0].x);
    EXPECT_EQ(c.pointer.y, host.m_PointerMoves[0].y);
  }
}

class NameEntryTest : public cDialogFixture {
 protected:
  int Run(eNameEntryTarget target, std::string& name) {
    cNameEntryDlg dialog(&m_Owner, 0, nullptr, target, &name, true, false);
    return dialog.DoModal(0);
  }
};

std::vector<sDialogInput> TypeEach(const std::vector<std::u8string>& characters) {
  std::vector<sDialogInput> inputs;
  for (const std::u8string& c : characters) inputs.push_back(sDialogInput::Typed(Utf8(c)));
  return inputs;
}

TEST_F(NameEntryTest, AtMostThreeCharactersHalfOrFullWidth) {
  struct sCase {
    const char* name;
    std::vector<std::u8string> typed;  // one commit each
    std::string stored;              // CP932
  };
  const sCase cases[] = {
      {"three letters", {u8"A", u8"B", u8"C"}, "ABC"},
      {"a fourth letter is refused", {u8"A", u8"B", u8"C", u8"D"}, "ABC"},
      {"full-width characters count once", {u8"あ", u8"い", u8"う"}, "あいう"},
      {"a fourth full-width character is refused", {u8"あ", u8"い", u8"う", u8"え"}, "あいう"},
      {"mixed widths", {u8"a", u8"漢", u8"b", u8"c"}, "a漢b"},
      {"half-width katakana are single bytes", {u8"ｱ", u8"ｲ", u8"ｳ", u8"ｴ"}, "ｱｲｳ"},
      {"a commit of four at once is refused whole", {u8"ABCD"}, ""},
      {"a commit that fits is taken", {u8"AB", u8"C"}, "ABC"},
  };
  for (const eNameEntryTarget target : {eNameEntryTarget::OptionName, eNameEntryTarget::EntryName}) {
    for (const sCase& c : cases) {
      SCOPED_TRACE(c.name);
      std::string name = "XYZ";  // selected whole when the dialog opens: the first character replaces it
      std::vector<sDialogInput> session = TypeEach(c.typed);
      if (c.stored.empty()) session.insert(session.begin(), sDialogInput::KeyPress(plat::VK_BACK));
      session.push_back(sDialogInput::Answer(Answer::Ok));
      Script(session);
      EXPECT_EQ(1, Run(target, name));
      EXPECT_EQ(c.stored, name);
    }
  }
}

TEST_F(NameEntryTest, EditingKeysAndTheInputMethod) {
  struct sCase {
    const char* name;
    std::vector<sDialogInput> session;
    std::string stored;
  };
  const sCase cases[] = {
      {"Backspace removes a double-byte character whole",
       {sDialogInput::Typed(Utf8(u8"あい")), sDialogInput::KeyPress(plat::VK_BACK), sDialogInput::Typed(Utf8(u8"x")),
        sDialogInput::Answer(Answer::Ok)},
       "あx"},
      {"Home, then a character in front",
       {sDialogInput::Typed(Utf8(u8"ab")), sDialogInput::KeyPress(plat::VK_HOME), sDialogInput::Typed(Utf8(u8"z")),
        sDialogInput::Answer(Answer::Ok)},
       "zab"},
      {"Enter while composing commits nothing and does not press OK",
       {sDialogInput::Composing(Utf8(u8"か")), sDialogInput::KeyPress(plat::VK_RETURN), sDialogInput::Typed(Utf8(u8"漢")),
        sDialogInput::KeyPress(plat::VK_RETURN)},
       "漢"},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string name;
    Script(c.session);
    EXPECT_EQ(1, Run(eNameEntryTarget::OptionName, name));
    EXPECT_EQ(c.stored, name);
  }
}

TEST_F(NameEntryTest, ClosingLeavesTheNameAndOkKeepsIt) {
  std::string name = "ABC";
  Script({sDialogInput::Typed(Utf8(u8"Z")), sDialogInput::Answer(Answer::Cancel)});
  EXPECT_EQ(0, Run(eNameEntryTarget::EntryName, name));
  EXPECT_EQ("ABC", name);
  Script({sDialogInput::Answer(Answer::Ok)});
  EXPECT_EQ(1, Run(eNameEntryTarget::EntryName, name));
  EXPECT_EQ("ABC", name);
  Script({sDialogInput::Answer(Answer::Text, Utf8(u8"ｷｯﾄ"))});
  EXPECT_EQ(1, Run(eNameEntryTarget::EntryName, name));
  EXPECT_EQ("ｷｯﾄ", name);
}

// A name saved longer than the box allows opens cut to three characters,
// and OK stores it so.
TEST_F(NameEntryTest, ASavedNameLongerThanThreeCharactersIsCut) {
  const struct {
    std::u8string saved;
    std::u8string stored;
  } cases[] = {{u8"ABCDEF", u8"ABC"}, {u8"あいうえ", u8"あいう"}, {u8"aいbう", u8"aいb"}};
  for (const eNameEntryTarget target : {eNameEntryTarget::OptionName, eNameEntryTarget::EntryName}) {
    for (const auto& c : cases) {
      std::string name = plat::Utf8ToCp932(Utf8(c.saved));
      SCOPED_TRACE(name);
      Script({sDialogInput::Answer(Answer::Ok)});
      EXPECT_EQ(1, Run(target, name));
      EXPECT_EQ(plat::Utf8ToCp932(Utf8(c.stored)), name);
    }
  }
}

TEST_F(NameEntryTest, WithoutAStringToEditOkStoresNothing) {
  cNameEntryDlg dialog(&m_Owner, 0, nullptr, eNameEntryTarget::None, nullptr, true, false);
  Script({sDialogInput::Typed(Utf8(u8"A")), sDialogInput::Answer(Answer::Ok)});
  EXPECT_EQ(1, dialog.DoModal(0));
}

}  // namespace
