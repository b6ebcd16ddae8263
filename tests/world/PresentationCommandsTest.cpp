// The presentation, game-wait and message commands against a game scene that
// counts its modal waits.

#include <gtest/gtest.h>

#include "WorldTestSupport.h"
#include "data/Command.h"
#include "data/Progress.h"
#include "data/WorldMap.h"
#include "flow/FlowCommands.h"
#include "support/WorldFakes.h"
#include "world/Chara.h"
#include "world/Message.h"

namespace {

// A scene whose modal loop only counts and records the wait it was given.
class cCountingScene : public cGameScene {
 public:
  int PauseLoop() override {
    ++m_nWaits;
    m_LastWait = m_GameWait;
    m_nMessagesDuringWait = static_cast<int>(m_Messages.size());
    return 1;
  }
  int m_nWaits = 0;
  cGameWait m_LastWait;
  int m_nMessagesDuringWait = 0;
};

class PresentationCommandsTest : public worldtest::cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    g_GameScene = &m_Counting;
  }
  void TearDown() override {
    m_Counting.m_Messages.clear();
    cWorldFixture::TearDown();
  }
  static cCommand Command(std::initializer_list<int> params, const char* text = "") {
    cCommand command;
    command.m_Params.assign(params.begin(), params.end());
    command.m_strText = text;
    return command;
  }
  // Message parameters: position 0, display `display`, time `tenths`, stop
  // the game `stop`, replace `replace` with ID `id`, remove only `remove`.
  static cCommand MessageCommand(int display, int tenths, int stop, int replace = 0, int id = 0, int remove = 0,
                                 const char* text = "hello") {
    return Command({0, 0, 0, 0, 0, 0, display, tenths, stop, 0, 0, 0, replace, id, 0, remove, 0, 0}, text);
  }

  cCountingScene m_Counting;
  cChara m_Chara;
};

TEST_F(PresentationCommandsTest, GameWaitRunsOneTimedWaitAndLeavesNoMessage) {
  cCommand wait = Command({20});
  CmdGameWait(m_Chara, wait);
  EXPECT_EQ(m_Counting.m_nWaits, 1);
  EXPECT_EQ(m_Counting.m_LastWait.m_Frames, 120);
  EXPECT_EQ(m_Counting.m_nMessagesDuringWait, 1);
  EXPECT_TRUE(m_Counting.m_Messages.empty());
}

TEST_F(PresentationCommandsTest, GameWaitTakesAwayOnlyItsOwnMessage) {
  // A message shown while the wait ran stays when the wait's own one has
  // already gone.
  class cAddingScene : public cCountingScene {
   public:
    int PauseLoop() override {
      m_Messages.clear();
      cMessageSetup other;
      other.noSurface = 1;
      other.text = "other";
      m_Messages.push_back(std::make_shared<cMessage>(other));
      return 1;
    }
  } scene;
  g_GameScene = &scene;
  cCommand wait = Command({1});
  CmdGameWait(m_Chara, wait);
  ASSERT_EQ(scene.m_Messages.size(), 1u);
  EXPECT_EQ(scene.m_Messages.front()->m_Text, "other");
  g_GameScene = &m_Counting;
}

TEST_F(PresentationCommandsTest, MessageWaitsByItsDisplayMode) {
  struct {
    int display, stop, waits, waitForKey, frames;
    size_t left;
  } cases[] = {
      {0, 1, 1, 1, 0, 0},   // until the key: a key wait, then the message goes
      {2, 1, 1, 0, 30, 0},  // timed: a wait of its frames
      {1, 1, 0, 0, 0, 1},   // until the stage ends: no wait at all, it stays
      {0, 0, 0, 0, 0, 1},   // not stopping the game: shown, no wait
  };
  for (const auto& c : cases) {
    m_Counting.m_nWaits = 0;
    m_Counting.m_Messages.clear();
    cCommand message = MessageCommand(c.display, 5, c.stop);
    CmdMessage(m_Chara, message);
    EXPECT_EQ(m_Counting.m_nWaits, c.waits) << "display " << c.display << " stop " << c.stop;
    if (c.waits != 0) {
      EXPECT_EQ(m_Counting.m_LastWait.m_WaitForKey, c.waitForKey);
      EXPECT_EQ(m_Counting.m_LastWait.m_Frames, c.frames);
    }
    EXPECT_EQ(m_Counting.m_Messages.size(), c.left) << "display " << c.display;
  }
}

// A chain of messages that stop the game until a key sounds the message
// sound (system sound 11) once, for its first message.
TEST_F(PresentationCommandsTest, AMessageChainSoundsOnceForItsFirstMessage) {
  cSoundLog log;
  for (int inChain : {0, 1, 1}) {
    cCommand message = MessageCommand(0, 0, 1);
    CmdMessageWait(m_Chara, message, inChain);
  }
  EXPECT_EQ(log.Sounds(), std::vector<int>{11});
  EXPECT_EQ(m_Counting.m_nWaits, 3);
}

TEST_F(PresentationCommandsTest, MessageReplacedAndRemovedById) {
  cCommand first = MessageCommand(1, 0, 0, 1, 7, 0, "first");
  CmdMessage(m_Chara, first);
  cCommand other = MessageCommand(1, 0, 0, 1, 8, 0, "other");
  CmdMessage(m_Chara, other);
  cCommand second = MessageCommand(1, 0, 0, 1, 7, 0, "second text");
  CmdMessage(m_Chara, second);
  ASSERT_EQ(m_Counting.m_Messages.size(), 2u);
  EXPECT_EQ(m_Counting.m_Messages.front()->m_Text, "second text");  // in the first one's place
  cCommand remove = MessageCommand(1, 0, 0, 1, 7, 1);
  CmdMessage(m_Chara, remove);
  ASSERT_EQ(m_Counting.m_Messages.size(), 1u);
  EXPECT_EQ(m_Counting.m_Messages.front()->m_Text, "other");
  m_Counting.m_bMessageLock = 1;
  CmdMessage(m_Chara, first);
  EXPECT_EQ(m_Counting.m_Messages.size(), 1u);
}

TEST_F(PresentationCommandsTest, VanishingDescendantsTakesTheWholeChainButNotItself) {
  cChara chain[4];
  for (int i = 0; i < 4; ++i) chain[i].m_Active = 1;
  for (int i = 0; i < 3; ++i) chain[i].m_CharaLinks.push_back(cCharaLink{&chain[i + 1], kLinkChild});
  cCommand vanish = Command({2, 0, 1});
  CmdVanish(chain[0], vanish);
  EXPECT_EQ(chain[0].m_bVanished, 0);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(chain[i].m_bVanished, 1) << i;
  EXPECT_EQ(m_Counting.m_bHpCheck, 1);
}

TEST_F(PresentationCommandsTest, VanishingALoopOfLinksStopsBelowItsDepth) {
  cChara a, b;
  a.m_Active = b.m_Active = 1;
  a.m_CharaLinks.push_back(cCharaLink{&b, kLinkChild});
  b.m_CharaLinks.push_back(cCharaLink{&a, kLinkChild});
  cCommand vanish = Command({2, 0, 1});
  CmdVanish(a, vanish);
  EXPECT_EQ(b.m_bVanished, 1);
}

TEST_F(PresentationCommandsTest, BackgroundCommandShowsHidesAndToggles) {
  g_Stage.m_BgLayers.resize(8);
  struct {
    int number, mode, shownBefore, shownAfter;
  } cases[] = {{1, 0, 0, 1}, {1, 1, 1, 0}, {2, 2, 0, 1}, {2, 2, 1, 0}, {0, 0, 0, 0}, {9, 0, 0, 0}};
  for (const auto& c : cases) {
    const int layer = c.number >= 1 && c.number <= 8 ? c.number - 1 : 0;
    g_Stage.m_BgLayers[layer].m_bShown = c.shownBefore;
    cCommand command = Command({c.number, c.mode});
    CmdChangeBackground(m_Chara, command);
    EXPECT_EQ(g_Stage.m_BgLayers[layer].m_bShown, c.shownAfter) << c.number << " " << c.mode;
  }
}

TEST_F(PresentationCommandsTest, StatusOperationTwoTurnsTheAutoScrollOfTheSystem) {
  cCommand on = Command({5, 0, 1});
  CmdStatusOperation2(m_Chara, on);
  EXPECT_EQ(g_Stage.m_AutoScrollX, 1);
  cCommand flying = Command({0, 3, 1});
  CmdStatusOperation2(m_Chara, flying);  // characters do not fly by it
  EXPECT_EQ(m_Chara.m_Flying, 0);
  cCommand vanish = Command({0, 0, 0});
  CmdStatusOperation2(m_Chara, vanish);
  EXPECT_EQ(m_Chara.m_bVanished, 1);
  EXPECT_EQ(m_Counting.m_bHpCheck, 0);  // the running character itself
}

// The next number counts on from the shown stage number (the number in the
// series), never from the world map's flag number.
TEST_F(PresentationCommandsTest, StageClearChoosesTheNextStage) {
  g_Progress.m_nStageNo = 12;
  g_Progress.m_nSeriesNo = 3;
  struct {
    int choice, number;
    const char* text;
    int nextNo;
    const char* nextName;
  } cases[] = {
      {0, 0, "", 4, ""}, {1, 7, "", 7, ""}, {2, 0, "forest.stg4", 3, "forest."}, {2, 0, "", 3, ""}, {3, 0, "", 0, ""},
  };
  for (const auto& c : cases) {
    cCommand command = Command({c.choice, c.number, 0, 0, 0, 0, 0, 0, 0}, c.text);
    EXPECT_EQ(CmdStageClear(m_Chara, command), 1);
    EXPECT_EQ(m_Counting.m_StageClear.m_nNextStageNo, c.nextNo) << c.choice;
    EXPECT_EQ(m_Counting.m_StageClear.m_strNextStageName, c.nextName) << c.choice;
    if (c.choice == 2 && c.text[0] != 0) {
      EXPECT_EQ(command.m_strText, "forest.");
    }
  }
}

TEST_F(PresentationCommandsTest, StageClearKeepsTheMapPositionOnTheMap) {
  g_WorldMap.m_nWidth = 10;
  g_WorldMap.m_nHeight = 8;
  struct {
    int x, y, wantX, wantY;
  } cases[] = {{3, 4, 3, 4}, {12, 8, 9, 7}, {-2, -1, 0, 0}};
  for (const auto& c : cases) {
    cCommand command = Command({3, 0, 1, c.x, c.y, 1, 5, 6, 1});
    CmdStageClear(m_Chara, command);
    EXPECT_EQ(g_Progress.m_nMapX, c.wantX);
    EXPECT_EQ(g_Progress.m_nMapY, c.wantY);
  }
  EXPECT_EQ(g_Progress.m_bHeroStartSet, 1);
  EXPECT_EQ(g_Progress.m_nHeroStartX, 5);
  EXPECT_EQ(g_Progress.m_nHeroStartFacing, 1);
  g_WorldMap = cWorldMap();
}

// The music command is the scene's music request: the loop flag is stored
// before the main window is asked for Bgm entry n (0 stops the music).
TEST_F(PresentationCommandsTest, MusicGoesThroughTheScenesMusicRequest) {
  cSoundLog log;
  struct {
    int tune, loop;
  } cases[] = {{3, 1}, {2, 0}, {0, 0}};
  for (const auto& c : cases) {
    log.Clear();
    g_Progress.m_bBgmLoop = 1 - c.loop;
    cCommand music = Command({c.tune, c.loop});
    CmdPlayBgm(m_Chara, music);
    EXPECT_EQ(log.Music(), (std::vector<std::pair<int, int>>{{4, c.tune}})) << c.tune;
    EXPECT_EQ(g_Progress.m_bBgmLoop, c.loop) << c.tune;
  }
}

}  // namespace
