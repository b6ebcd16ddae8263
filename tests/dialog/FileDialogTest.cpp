// The file browser: opening a stage by keys, folders and "..", the patterns,
// saving under a new name, the overwrite question and the limits of a path.
#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "dialog/FileDialog.h"
#include "dialog/MessageBoxDlg.h"
#include "platform/VirtualKeys.h"
#include "support/Utf8Text.h"

namespace {

using namespace dialogtest;

class FileDialogTest : public cDialogFixture {
 protected:
  void SetUp() override {
    cDialogFixture::SetUp();
    WriteFile("data/stg4/Stage1.stg4_781", "1");
    WriteFile("data/stg4/Stage2.STG4_781", "2");
    WriteFile("data/stg4/readme.txt", "");
    WriteFile("data/stg4/z.rpl4_781", "");
    WriteFile("data/stg4/old_ver/Stage0.stg4_780", "0");
    WriteFile("user_data/rpl4/old.rpl4_781", "old");
  }

  int Open(std::string& path) { return OpenFileDialog(&m_Owner, path, kFilePathBuffer, StageOpenDialogSetup(false)); }
  int Save(std::string& path) { return SaveFileDialog(&m_Owner, path, ReplaySaveDialogSetup(false, "rpl4_781"), true); }
};

TEST_F(FileDialogTest, OpensAStageByKeys) {
  // The list: "..", [old_ver], Stage1.stg4_781, Stage2.STG4_781, z.rpl4_781.
  struct sCase {
    const char* name;
    std::vector<sDialogInput> session;
    std::string path;
  };
  const sCase cases[] = {
      {"down twice and Enter", {sDialogInput::KeyPress(plat::VK_DOWN), sDialogInput::KeyPress(plat::VK_DOWN),
                                sDialogInput::KeyPress(plat::VK_RETURN)},
       "data\\stg4\\Stage1.stg4_781"},
      {"a name of another case by End and the Open button",
       {sDialogInput::KeyPress(plat::VK_END), sDialogInput::KeyPress(plat::VK_UP), sDialogInput::KeyPress(plat::VK_TAB),
        sDialogInput::KeyPress(plat::VK_RETURN)},
       "data\\stg4\\Stage2.STG4_781"},
      {"into a folder and back out",
       {sDialogInput::KeyPress(plat::VK_DOWN), sDialogInput::KeyPress(plat::VK_RETURN),
        sDialogInput::KeyPress(plat::VK_RETURN), sDialogInput::KeyPress(plat::VK_END),
        sDialogInput::KeyPress(plat::VK_RETURN)},
       "data\\stg4\\z.rpl4_781"},
      {"a file inside a folder", {sDialogInput::KeyPress(plat::VK_DOWN), sDialogInput::KeyPress(plat::VK_RETURN),
                                  sDialogInput::KeyPress(plat::VK_DOWN), sDialogInput::KeyPress(plat::VK_RETURN)},
       ""},  // Stage0.stg4_780 matches "*.stg4_*"
      {"a path answered by the script", {sDialogInput::Answer(Answer::File, "data\\stg4\\Stage1.stg4_781")},
       "data\\stg4\\Stage1.stg4_781"},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = "previous";
    Script(c.session);
    const std::string want = c.path.empty() ? std::string("data\\stg4\\old_ver\\Stage0.stg4_780") : c.path;
    EXPECT_EQ(1, Open(path));
    EXPECT_EQ(want, path);
    EXPECT_TRUE(m_Boxes.empty());
  }
}

TEST_F(FileDialogTest, CancelLeavesNoPathAndAMissingFileIsRefused) {
  std::string path = "previous";
  Script({sDialogInput::KeyPress(plat::VK_ESCAPE)});
  EXPECT_EQ(0, Open(path));
  EXPECT_EQ("", path);

  Script({sDialogInput::Answer(Answer::File, "data\\stg4\\missing.stg4_781"), sDialogInput::Answer(Answer::Cancel)});
  EXPECT_EQ(0, Open(path));
  ASSERT_EQ(1u, m_Boxes.size());
  EXPECT_NE(std::string::npos, m_Boxes[0].find("missing.stg4_781"));
}

TEST_F(FileDialogTest, SavesUnderANewNameWithTheWholeExtension) {
  struct sCase {
    const char* name;
    std::vector<sDialogInput> session;
    std::string path;
  };
  const sCase cases[] = {
      {"the suggestion as it stands", {sDialogInput::KeyPress(plat::VK_RETURN)}, "user_data\\rpl4\\new_01.rpl4_781"},
      {"a name typed without extension", {sDialogInput::Typed("mine"), sDialogInput::KeyPress(plat::VK_RETURN)},
       "user_data\\rpl4\\mine.rpl4_781"},
      {"a Japanese name", {sDialogInput::Typed(Utf8(u8"記録")), sDialogInput::Answer(Answer::Ok)},
       "user_data\\rpl4\\記録.rpl4_781"},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = "user_data\\rpl4\\new_01.rpl4_781";
    Script(c.session);
    EXPECT_EQ(1, Save(path));
    EXPECT_EQ(c.path, path);
    EXPECT_TRUE(m_Boxes.empty());
  }
}

TEST_F(FileDialogTest, AnExistingFileIsOnlyTakenAfterYes) {
  std::string path = "user_data\\rpl4\\new_01.rpl4_781";
  m_BoxAnswers = {IDNO};
  Script({sDialogInput::Typed("old"), sDialogInput::KeyPress(plat::VK_RETURN), sDialogInput::Answer(Answer::Cancel)});
  EXPECT_EQ(0, Save(path));
  EXPECT_EQ("user_data\\rpl4\\new_01.rpl4_781", path);  // as it was
  ASSERT_EQ(1u, m_Boxes.size());

  m_BoxAnswers = {IDYES};
  Script({sDialogInput::Typed("old"), sDialogInput::KeyPress(plat::VK_RETURN)});
  EXPECT_EQ(1, Save(path));
  EXPECT_EQ("user_data\\rpl4\\old.rpl4_781", path);
}

TEST_F(FileDialogTest, TheOverwriteQuestionIsADialogInTheWindowToo) {
  plat::SetMessageBoxSink({});
  InstallDialogMessageBoxes(&m_Owner);
  std::string path = "user_data\\rpl4\\new_01.rpl4_781";
  // "No" answers the question; the browser stays and is cancelled.
  Script({sDialogInput::Typed("old"), sDialogInput::KeyPress(plat::VK_RETURN), sDialogInput::Answer(Answer::No),
          sDialogInput::Answer(Answer::Cancel)});
  EXPECT_EQ(0, Save(path));
  Script({sDialogInput::Typed("old"), sDialogInput::KeyPress(plat::VK_RETURN), sDialogInput::Answer(Answer::Yes)});
  EXPECT_EQ(1, Save(path));
  EXPECT_EQ("user_data\\rpl4\\old.rpl4_781", path);
  RemoveDialogMessageBoxes();
}

TEST_F(FileDialogTest, APathLongerThanTheBufferIsRefusedNotCut) {
  std::string path = "user_data\\rpl4\\new_01.rpl4_781";
  Script({sDialogInput::Typed(std::string(250, 'a')), sDialogInput::KeyPress(plat::VK_RETURN),
          sDialogInput::Answer(Answer::Cancel)});
  EXPECT_EQ(0, Save(path));
  ASSERT_EQ(1u, m_Boxes.size());
  EXPECT_EQ("user_data\\rpl4\\new_01.rpl4_781", path);
}

TEST_F(FileDialogTest, AMissingStartFolderListsTheWorkingFolder) {
  sFileDialogSetup setup = ReplayOpenDialogSetup(true);
  setup.initialFolder = "nowhere\\";
  std::string path;
  Script({sDialogInput::Answer(Answer::File, "data\\stg4\\z.rpl4_781")});
  EXPECT_EQ(1, OpenFileDialog(&m_Owner, path, kFilePathBuffer, setup));
  EXPECT_EQ("data\\stg4\\z.rpl4_781", path);
}

TEST(FilePatternsTest, SemicolonPatternsWithoutCase) {
  struct sCase {
    const char* name;
    const char* patterns;
    bool matches;
  };
  const sCase cases[] = {
      {"Stage1.stg4_781", "*.stg4_*;*.rpl4_*", true},   {"STAGE1.STG4_781", "*.stg4_*;*.rpl4_*", true},
      {"a.rpl4_781", "*.stg4_*;*.rpl4_*", true},        {"a.txt", "*.stg4_*;*.rpl4_*", false},
      {"stg4_781", "*.stg4_*", false},                  {"a.rpl4_781", "*.rpl4_781", true},
      {"a.rpl4_780", "*.rpl4_781", false},              {"ab.x", "?.x", false},
      {"b.x", "?.x", true},                             {"表.stg4_1", "*.stg4_*", true},
      {"\x95\x5c.x", "?.x", true},  // a trail byte 0x5C is part of one character
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.matches, MatchesFilePatterns(c.name, c.patterns));
  }
}

TEST(FilePatternsTest, MultipleSelectionSplitsIntoFullPaths) {
  using namespace std::string_literals;
  EXPECT_EQ((std::vector<std::string>{"F\\a", "F\\b"}), SplitMultipleSelection("F\0a\0b\0\0"s));
  EXPECT_EQ((std::vector<std::string>{"F\\a.stg4_781"}), SplitMultipleSelection("F\\a.stg4_781\0\0"s));
  EXPECT_TRUE(SplitMultipleSelection(""s).empty());
}

}  // namespace
