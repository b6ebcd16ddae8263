#include "world/ReplayInput.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "WorldTestSupport.h"
#include "core/AppMessages.h"
#include "core/RequestFlags.h"
#include "doubles/MainWindowRecorder.h"
#include "platform/MessageBox.h"
#include "platform/MessageCore.h"
#include "world/KeyInput.h"
#include "world/ReplayFile.h"

namespace {

using worldtest::cWorldFixture;

// A small stage with a hero, as loading its stage file gives it.
cStageData HeroStage(const char* name) {
  cStageData stage;
  stage.m_Name = name;
  stage.m_Width = 24;
  stage.m_Height = 15;
  cCharaData hero;
  hero.m_nOperator = CHARA_BY_PLAYER;
  hero.m_nGraphic = 1;
  stage.m_PlacedCharas.push_back(hero);
  cBlockData block;
  block.m_nGraphic = 3;
  block.m_nCellX = 4;
  block.m_nCellY = 9;
  stage.m_PlacedBlocks.push_back(block);
  cStageData loaded;
  EXPECT_TRUE(cDataRecord::LoadFromBytes(loaded, stage.MakeFileBytes()));
  return loaded;
}

class ReplayTest : public cWorldFixture {
 protected:
  // Records `frames` frames of a scripted run: the arrows and the letters
  // change every few frames, as a player's hands would.
  static cReplayInput RecordScriptedRun(int frames, std::vector<std::pair<int, int>>* words = nullptr) {
    plat::cKeySource* const previous = plat::GetKeySource();
    plat::cScriptedKeySource keys;
    plat::SetKeySource(&keys);
    cKeyInput input;
    input.InitButtonMasks();
    cReplayInput replay;
    replay.m_Seed = 4242;
    const int arrows[] = {plat::VK_LEFT, plat::VK_RIGHT, plat::VK_UP, plat::VK_DOWN};
    for (int frame = 0; frame < frames; ++frame) {
      keys.SetKey(arrows[(frame / 7) % 4], (frame % 11) < 6);
      keys.SetKey('Z', (frame % 5) == 0);
      keys.SetKey('X', (frame / 13) % 2 == 1);
      input.PollDefault(0, kPollJoystick | kPollKeyboard, kJoystickRetryFrames);
      replay.RecordFrame(input);
      if (words != nullptr) words->push_back({input.m_Dir, input.m_Buttons});
    }
    plat::SetKeySource(previous);
    return replay;
  }

  std::vector<std::uint8_t> ReplayFileBytes(cReplayInput& replay, int version = DATA_VERSION) {
    cStageData stage = HeroStage("played");
    cStageData asStarted = HeroStage("started");
    cProgress progress;
    progress.m_strPlayerName = "rpl";
    cByteWriter out(version);
    BeginDataWrite(out);
    stage.SaveForReplay(out, asStarted);
    replay.Write(out);
    if (version >= 173) progress.Write(out);
    return out.TakeBytes();
  }

  // Bytes of a replay file before its key record: the version word and the
  // stage.
  static std::size_t StagePartBytes(int version = DATA_VERSION) {
    cByteWriter out(version);
    BeginDataWrite(out);
    cStageData stage = HeroStage("played");
    cStageData asStarted = HeroStage("started");
    stage.SaveForReplay(out, asStarted);
    return out.Bytes().size();
  }

  // Loads into records that hold something else, so a refused load shows.
  int Load(const std::vector<std::uint8_t>& bytes) {
    const int version = g_ReadVersion;  // making the stages reads files too
    m_Stage = HeroStage("before");
    m_Target = HeroStage("target");
    g_ReadVersion = version;
    m_Progress.m_strPlayerName = "old";
    m_Loaded.Clear();
    m_Loaded.RecordFrame(cKeyInput());
    return m_Loaded.LoadFromBytes(bytes, "test.rpl4_781", m_Stage, m_Target, m_Progress);
  }

  void ExpectUnchanged() {
    EXPECT_EQ("before", m_Stage.m_Name);
    EXPECT_EQ("target", m_Target.m_Name);
    EXPECT_EQ(1u, m_Target.m_PlacedCharas.size());
    EXPECT_EQ("old", m_Progress.m_strPlayerName);
    EXPECT_EQ(1u, m_Loaded.m_DirWords.size());
  }

  cStageData m_Stage;
  cStageData m_Target;
  cProgress m_Progress;
  cReplayInput m_Loaded;
};

TEST_F(ReplayTest, RecordingKeepsRunsPerChannel) {
  cReplayInput replay;
  cKeyInput keys;
  const std::uint16_t dirs[] = {0, 0, 1, 1, 1, 0};
  const std::uint16_t buttons[] = {4, 4, 4, 4, 4, 4};
  for (int i = 0; i < 6; ++i) {
    keys.m_Dir = dirs[i];
    keys.m_Buttons = buttons[i];
    replay.RecordFrame(keys);
  }
  EXPECT_EQ((cSafeVector<std::uint16_t>{0, 1, 0}), replay.m_DirWords);
  EXPECT_EQ((cSafeVector<std::int32_t>{2, 3, 1}), replay.m_DirRuns);
  EXPECT_EQ((cSafeVector<std::uint16_t>{4}), replay.m_ButtonWords);
  EXPECT_EQ((cSafeVector<std::int32_t>{6}), replay.m_ButtonRuns);
  EXPECT_EQ(6, replay.FrameCount());
}

TEST_F(ReplayTest, PlaybackGivesEveryFrameOnceAndThenLeavesTheKeysAlone) {
  cReplayInput replay;
  cKeyInput keys;
  for (std::uint16_t word : {2, 2, 8}) {
    keys.m_Dir = word;
    keys.m_Buttons = static_cast<std::uint16_t>(word + 1);
    replay.RecordFrame(keys);
  }
  cKeyInput played;
  for (std::uint16_t word : {2, 2, 8}) {
    ASSERT_EQ(0, replay.PlayFrame(played));
    EXPECT_EQ(word, played.m_Dir);
    EXPECT_EQ(word + 1, played.m_Buttons);
  }
  played.m_Dir = 77;
  EXPECT_EQ(1, replay.PlayFrame(played));
  EXPECT_EQ(77, played.m_Dir);

  // A copy starts playing from its first frame; Clear forgets everything.
  cReplayInput copy = replay;
  EXPECT_EQ(0, copy.PlayFrame(played));
  EXPECT_EQ(2, played.m_Dir);
  replay.Clear();
  EXPECT_EQ(0, replay.m_Seed);
  EXPECT_EQ(1, replay.PlayFrame(played));
}

TEST_F(ReplayTest, ARecordedRunPlaysBackFrameByFrameFromItsFile) {
  std::vector<std::pair<int, int>> recorded;
  cReplayInput replay = RecordScriptedRun(600, &recorded);
  const std::vector<std::uint8_t> bytes = ReplayFileBytes(replay);
  ASSERT_EQ(1, Load(bytes));
  EXPECT_EQ(4242, m_Loaded.m_Seed);
  // The header is the stage's as it started; the placements as played.
  EXPECT_EQ("started", m_Stage.m_Name);
  EXPECT_EQ("rpl", m_Progress.m_strPlayerName);

  cKeyInput keys;
  for (std::size_t frame = 0; frame < recorded.size(); ++frame) {
    ASSERT_EQ(0, m_Loaded.PlayFrame(keys)) << frame;
    ASSERT_EQ(recorded[frame].first, keys.m_Dir) << frame;
    ASSERT_EQ(recorded[frame].second, keys.m_Buttons) << frame;
  }
  EXPECT_EQ(1, m_Loaded.PlayFrame(keys));

  // Saved again from what was loaded, the file is the same to the byte.
  cStageData asStarted = m_Target;
  const std::vector<std::uint8_t> again = m_Loaded.MakeFileBytes(m_Stage, asStarted, m_Progress);
  EXPECT_EQ(bytes, again);
}

TEST_F(ReplayTest, LoadingGivesTheTargetTheStartPartsAndNoDefinitions) {
  cReplayInput replay = RecordScriptedRun(10);
  g_ReadVersion = 500;
  ASSERT_EQ(1, Load(ReplayFileBytes(replay)));
  EXPECT_EQ("started", m_Target.m_Name);
  EXPECT_TRUE(m_Target.m_PlacedCharas.empty());
  EXPECT_TRUE(m_Target.m_PlacedBlocks.empty());
  EXPECT_TRUE(m_Target.m_PaletteBlocks.empty());
  EXPECT_EQ(1u, m_Stage.m_PlacedBlocks.size());
  EXPECT_EQ(DATA_VERSION, g_ReadVersion);
}

TEST_F(ReplayTest, AVersion172FileHasNoProgressAndKeepsTheRunning) {
  cReplayInput replay = RecordScriptedRun(30);
  ASSERT_EQ(1, Load(ReplayFileBytes(replay, 172)));
  EXPECT_EQ("old", m_Progress.m_strPlayerName);
  EXPECT_EQ(172, g_ReadVersion);
  EXPECT_EQ(30, m_Loaded.FrameCount());
}

// The stage inside a replay ends with its trailer word: checked from
// version 174, read and dropped at 173.
TEST_F(ReplayTest, TheStagesTrailerWordIsCheckedFromVersion174) {
  cReplayInput replay = RecordScriptedRun(30);
  for (int version : {173, 174}) {
    SCOPED_TRACE(version);
    std::vector<std::uint8_t> bytes = ReplayFileBytes(replay, version);
    bytes[StagePartBytes(version) - 1] ^= 0x40;
    if (version == 173) {
      ASSERT_EQ(1, Load(bytes));
      EXPECT_EQ("started", m_Stage.m_Name);
      EXPECT_EQ(30, m_Loaded.FrameCount());
    } else {
      ASSERT_EQ(0, Load(bytes));
      ExpectUnchanged();
    }
  }
}

TEST_F(ReplayTest, TruncatedFilesAreRefusedAndChangeNothing) {
  cReplayInput replay = RecordScriptedRun(200);
  const std::vector<std::uint8_t> bytes = ReplayFileBytes(replay);
  g_ReadVersion = 600;
  for (std::size_t size = 0; size < bytes.size(); size += (size < 64 || bytes.size() - size < 600) ? 1 : 97) {
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    ASSERT_EQ(0, Load(cut)) << size;
    ExpectUnchanged();
    ASSERT_EQ(600, g_ReadVersion) << size;
  }
}

TEST_F(ReplayTest, KeyRecordsThatLieAreRefused) {
  cReplayInput valid = RecordScriptedRun(50);
  const struct {
    const char* name;
    void (*damage)(cReplayInput&);
  } cases[] = {
      {"more runs than words", [](cReplayInput& r) { r.m_DirRuns.push_back(3); }},
      {"fewer button runs", [](cReplayInput& r) { r.m_ButtonRuns.pop_back(); }},
      {"a run of no frames", [](cReplayInput& r) { r.m_DirRuns[0] = 0; }},
      {"a negative run", [](cReplayInput& r) { r.m_ButtonRuns[0] = -5; }},
  };
  for (const auto& c : cases) {
    cReplayInput damaged = valid;
    c.damage(damaged);
    EXPECT_EQ(0, Load(ReplayFileBytes(damaged))) << c.name;
    ExpectUnchanged();
  }

  // A count that promises more words than the file holds.
  std::vector<std::uint8_t> bytes = ReplayFileBytes(valid);
  const std::size_t countAt = StagePartBytes() + 12;  // after u32 1, the seed, u32 0
  bytes[countAt + 3] = 0x7F;
  EXPECT_EQ(0, Load(bytes));
  ExpectUnchanged();
}

TEST_F(ReplayTest, StagesThatCannotBePlayedAreRefused) {
  cReplayInput replay = RecordScriptedRun(20);
  cStageData noHero = HeroStage("played");
  noHero.m_PlacedCharas.clear();
  cByteWriter out;
  BeginDataWrite(out);
  noHero.SaveForReplay(out, noHero);
  replay.Write(out);
  cProgress progress;
  progress.Write(out);
  EXPECT_EQ(0, Load(out.TakeBytes()));
  ExpectUnchanged();

  // A damaged trailer, and a version from the future.
  std::vector<std::uint8_t> bytes = ReplayFileBytes(replay);
  std::vector<std::uint8_t> badTrailer = bytes;
  badTrailer[StagePartBytes() - 1] ^= 0xFF;
  EXPECT_EQ(0, Load(badTrailer));
  ExpectUnchanged();
  bytes[0] = 0x0E;  // 782
  bytes[1] = 0x03;
  EXPECT_EQ(0, Load(bytes));
  ExpectUnchanged();
}

TEST_F(ReplayTest, FilesAreWrittenAndReadThroughTheReplayFolder) {
  EnterTempFolder();
  std::vector<std::string> boxes;
  plat::SetMessageBoxSink([&](const std::string& text, const std::string&, UINT) {
    boxes.push_back(text);
    return IDOK;
  });
  cReplayInput replay = RecordScriptedRun(40);
  cStageData stage = HeroStage("played");
  cStageData asStarted = HeroStage("started");
  cProgress progress;
  ASSERT_EQ(1, replay.SaveFile("user_data\\rpl4\\a_00.rpl4_781", stage, asStarted, progress));

  cStageData loadedStage;
  cStageData target;
  cProgress loadedProgress;
  cReplayInput loaded;
  ASSERT_EQ(1, loaded.LoadFile("user_data\\rpl4\\a_00.rpl4_781", loadedStage, target, loadedProgress));
  EXPECT_EQ(replay.m_DirWords, loaded.m_DirWords);
  EXPECT_TRUE(boxes.empty());
  // Each restart of a played replay reads it again through the stage's own
  // path, which the read replaces.
  for (int restart = 0; restart < 2; ++restart) {
    ASSERT_EQ(1, loaded.LoadFile(loadedStage.m_Path, loadedStage, target, loadedProgress)) << restart;
    EXPECT_EQ("user_data\\rpl4\\a_00.rpl4_781", loadedStage.m_Path);
  }

  // A missing file is the caller's to report; a damaged one shows its box.
  EXPECT_EQ(0, loaded.LoadFile("user_data\\rpl4\\none.rpl4_781", loadedStage, target, loadedProgress));
  EXPECT_TRUE(boxes.empty());
  const char damaged[] = {0x0D, 0x03, 0x00, 0x00, 'j', 'u', 'n', 'k'};
  std::ofstream("user_data/rpl4/bad.rpl4_781", std::ios::binary).write(damaged, sizeof damaged);
  EXPECT_EQ(0, loaded.LoadFile("user_data\\rpl4\\bad.rpl4_781", loadedStage, target, loadedProgress));
  ASSERT_EQ(1u, boxes.size());
  EXPECT_NE(std::string::npos, boxes[0].find("bad.rpl4_781"));
  EXPECT_EQ(40, loaded.FrameCount());
  plat::SetMessageBoxSink({});
}

// ---- names ----------------------------------------------------------------------

TEST_F(ReplayTest, TheProposedNameIsTheFirstFreeNumber) {
  EnterTempFolder();
  cProgress progress;
  EXPECT_EQ("", ProposeReplayFileName("", progress));
  EXPECT_EQ("user_data\\rpl4\\abc_00.rpl4_781", ProposeReplayFileName("data\\stg4\\abc.stg4", progress));
  std::ofstream("user_data/rpl4/abc_00.rpl4_781") << "x";
  std::ofstream("user_data/rpl4/abc_01.rpl4_781") << "x";
  EXPECT_EQ("user_data\\rpl4\\abc_02.rpl4_781", ProposeReplayFileName("abc.", progress));

  progress.m_bVariant = 1;
  progress.m_nVariantVar = 5;
  progress.m_nVariantValue = 3;
  EXPECT_EQ("user_data\\rpl4\\abc_c005_3_00.rpl4_781", ProposeReplayFileName("abc.", progress));

  progress.m_bVariant = 0;
  for (int a = 0; a <= 8; ++a) {
    for (int b = 0; b <= 8; ++b) {
      std::ofstream("user_data/rpl4/abc_" + std::to_string(a) + std::to_string(b) + ".rpl4_781") << "x";
    }
  }
  EXPECT_EQ("user_data\\rpl4\\abc_88.rpl4_781", ProposeReplayFileName("abc.", progress));
}

TEST_F(ReplayTest, WithoutFileDialogsTheProposalIsTheChoice) {
  EnterTempFolder();
  std::string name = "previous";
  EXPECT_EQ(0, ChooseReplayFileName(name, ""));
  EXPECT_EQ(1, ChooseReplayFileName(name, "abc."));
  EXPECT_EQ("user_data\\rpl4\\abc_00.rpl4_781", name);
}

// ---- requests --------------------------------------------------------------------

class ReplayRequestTest : public ReplayTest {
 protected:
  void SetUp() override {
    ReplayTest::SetUp();
    g_System.m_bReplay = 1;
    m_Window.SetHandler([this](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
      if (message == WM_APP_SAVE_REPLAY || message == WM_APP_OPEN_REPLAY) {
        m_Requests.push_back(static_cast<int>(wParam));
        g_FileRequestResult.store(m_Result);
        g_FileRequestDone.store(1);
      }
      if (message == WM_APP_PLAY_SOUND) m_Sounds.push_back(static_cast<int>(wParam));
      return 0;
    });
  }

  cMainWindowRecorder m_Window;
  std::vector<int> m_Requests;
  std::vector<int> m_Sounds;
  int m_Result = 1;
};

TEST_F(ReplayRequestTest, F1SavesTheRunningRecordingAndF2ThePrevious) {
  g_ReplayRec = RecordScriptedRun(5);
  g_ReplayPrev = RecordScriptedRun(6);
  const struct {
    bool f1;
    bool f2;
    bool playing;
    int recordFlag;
    int result;
    std::vector<int> requests;
  } cases[] = {
      {true, false, false, 1, 1, {0}},  {false, true, false, 1, 1, {1}}, {true, true, false, 1, 1, {0}},
      {false, false, false, 1, 0, {}},  {true, false, true, 1, 0, {}},   {true, false, false, 0, 0, {}},
  };
  for (const auto& c : cases) {
    m_Requests.clear();
    m_Sounds.clear();
    m_Keys.SetKey(plat::VK_F1, c.f1);
    m_Keys.SetKey(plat::VK_F2, c.f2);
    g_System.m_bReplay = c.recordFlag;
    EXPECT_EQ(c.result, RequestReplaySave(c.playing));
    EXPECT_EQ(c.requests, m_Requests);
    EXPECT_EQ(c.result == 1 ? std::vector<int>{1} : std::vector<int>{}, m_Sounds);
  }
}

TEST_F(ReplayRequestTest, AnEmptyRecordingSoundsItsRefusalOncePer60Calls) {
  m_Keys.SetKey(plat::VK_F1, true);
  std::vector<int> refusals;
  for (int call = 0; call < 130; ++call) {
    m_Sounds.clear();
    EXPECT_EQ(0, RequestReplaySave(false));
    if (m_Sounds == std::vector<int>{3}) refusals.push_back(call);
  }
  EXPECT_EQ((std::vector<int>{0, 60, 120}), refusals);
  EXPECT_TRUE(m_Requests.empty());
}

TEST_F(ReplayRequestTest, OpeningAnswersWhetherAFileWasChosen) {
  EXPECT_EQ(1, RequestReplayOpen());
  m_Result = 0;
  EXPECT_EQ(0, RequestReplayOpen());
  EXPECT_EQ(2u, m_Requests.size());
}

TEST_F(ReplayRequestTest, AThreadAskedToQuitStopsWaitingAndKeepsTheQuit) {
  // The window takes the request but never answers it, as while it closes.
  m_Window.SetHandler([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
  plat::PostQuitMessage(0);
  EXPECT_EQ(0, RequestReplayOpen());
  MSG msg;
  EXPECT_TRUE(plat::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(ReplayTest, RequestsWithoutAMainWindowDoNotWait) {
  g_System.m_bReplay = 1;
  g_ReplayRec = RecordScriptedRun(5);
  m_Keys.SetKey(plat::VK_F1, true);
  EXPECT_EQ(1, RequestReplaySave(false));
  EXPECT_EQ(0, RequestReplayOpen());
}

}  // namespace
