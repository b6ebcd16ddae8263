// The presentation, game-wait, message, vanish, item and picture commands
// against a game scene that counts its modal waits: from their parameters to
// what the scene and its characters show.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "WorldTestSupport.h"
#include "data/Command.h"
#include "data/Database.h"
#include "data/FlowTestSupport.h"
#include "data/Palette.h"
#include "data/Picture.h"
#include "data/Progress.h"
#include "data/RecordTestSupport.h"
#include "data/WorldMap.h"
#include "flow/FlowCommands.h"
#include "graphics/DrawLayerTestSupport.h"
#include "platform/BmpDecoder.h"
#include "support/WorldFakes.h"
#include "world/Chara.h"
#include "world/Hero.h"
#include "world/Message.h"
#include "world/StageGraphics.h"

namespace {

// A scene whose modal loop only counts and records the wait it was given.
class cWaitRecordingScene : public cGameScene {
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

  cWaitRecordingScene m_Counting;
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
  class cAddingScene : public cWaitRecordingScene {
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

// ---- message parameters ------------------------------------------------------------

// A message command of 18 parameters, all 0 but `values` (index, value).
cCommand MessageWith(std::initializer_list<std::pair<int, int>> values, const char* text = "hello") {
  cCommand command;
  command.m_nType = FLOW_CMD_MESSAGE;
  command.m_Params.assign(18, 0);
  for (const auto& [index, value] : values) command.m_Params[index] = value;
  command.m_strText = text;
  return command;
}

TEST_F(PresentationCommandsTest, MessageParametersBecomeTheMessagesValues) {
  m_Chara.m_Key = 5;
  Player.emplace_back().m_Key = 9;
  g_Progress.m_CommonVars[5] = 42;
  struct cCase {
    const char* name;
    cCommand command;
    std::function<void(const cMessage&)> check;
  };
  const cCase cases[] = {
      {"above itself, moved and kept on the screen", MessageWith({{0, 1}, {3, 5}, {4, -6}, {5, 1}}),
       [](const cMessage& m) {
         EXPECT_EQ(m.m_PosMode, 1);
         EXPECT_EQ(m.m_FollowKey, 5);
         EXPECT_EQ(m.m_OffX, 5);
         EXPECT_EQ(m.m_OffY, -6);
         EXPECT_EQ(m.m_KeepOnScreen, 1);
       }},
      {"below the hero", MessageWith({{0, 5}}), [](const cMessage& m) { EXPECT_EQ(m.m_FollowKey, 9); }},
      {"on screen cells in a window box", MessageWith({{0, 7}, {1, 3}, {2, 4}, {9, 1}}),
       [](const cMessage& m) {
         EXPECT_EQ(m.m_CellX, 3);
         EXPECT_EQ(m.m_CellY, 4);
         EXPECT_EQ(m.m_BoxStyle, 1);
         EXPECT_EQ(m.m_FixedPos, 0);
       }},
      {"at the screen centre, fixed", MessageWith({{0, 0}, {10, 1}}),
       [](const cMessage& m) {
         EXPECT_EQ(m.m_FixedPos, 1);
         EXPECT_EQ(m.m_BoxStyle, 0);
       }},
      {"with its variables expanded", MessageWith({{11, 1}}, "#C5."),
       [](const cMessage& m) { EXPECT_EQ(m.m_Text, "42"); }},
      {"expanded again every 30 frames, opening at once", MessageWith({{11, 1}, {14, 30}, {16, 1}}),
       [](const cMessage& m) {
         EXPECT_EQ(m.m_Refresh, 1);
         EXPECT_EQ(m.m_RefreshInterval, 30);
         EXPECT_EQ(m.m_OpenAnim, 0);
       }},
      {"until the key, opening with a zoom", MessageWith({}), [](const cMessage& m) { EXPECT_EQ(m.m_OpenAnim, 1); }},
      {"for 0.5 s", MessageWith({{6, 2}, {7, 5}}),
       [](const cMessage& m) {
         EXPECT_EQ(m.m_WaitMode, 2);
         EXPECT_EQ(m.m_Countdown, 30);
       }},
      {"until the stage ends", MessageWith({{6, 2}, {7, 5}, {17, 1}}),
       [](const cMessage& m) {
         EXPECT_EQ(m.m_WaitMode, 1);
         EXPECT_EQ(m.m_Countdown, 1);
       }},
      {"with an ID to be replaced by", MessageWith({{12, 1}, {13, 77}}),
       [](const cMessage& m) {
         EXPECT_EQ(m.m_HasId, 1);
         EXPECT_EQ(m.m_Id, 77);
       }},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    m_Counting.m_Messages.clear();
    cCommand command = c.command;
    CmdMessage(m_Chara, command);
    ASSERT_EQ(m_Counting.m_Messages.size(), 1u);
    c.check(*m_Counting.m_Messages.front());
  }
}

// A message of a file from before the fixed-position flag gets the flag for
// exactly its two screen-anchored positions, and keeps its window box.
TEST_F(PresentationCommandsTest, AnOlderMessageKeepsItsPlaceOnTheScreenAndItsBox) {
  g_Database.Reset();
  struct {
    int position, fixed;
  } cases[] = {{0, 1}, {7, 1}, {1, 0}, {8, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.position);
    m_Counting.m_Messages.clear();
    cCommand old = MessageWith({{0, c.position}, {9, 1}});
    old.m_Params.resize(10);
    cCommand loaded = flowtest::Reload(old, 545);
    CmdMessage(m_Chara, loaded);
    ASSERT_EQ(m_Counting.m_Messages.size(), 1u);
    EXPECT_EQ(m_Counting.m_Messages.front()->m_FixedPos, c.fixed);
    EXPECT_EQ(m_Counting.m_Messages.front()->m_BoxStyle, 1);
  }
  g_Database = cDatabase();
}

// ---- vanish ----------------------------------------------------------------------------

// "消滅" of characters walks the character group lists, which hold the hero
// in its group; the hero's kill is its hit points at 0.
TEST_F(PresentationCommandsTest, VanishingCharactersTakesTheActiveOnesOfTheGroup) {
  enum { kHero, kShown, kOffScreen, kOtherGroup, kAsleep, kChild, kCount };
  struct cCase {
    const char* name;
    int what, group, everywhere;
    std::vector<int> killed;
  };
  const cCase cases[] = {
      {"group 0 everywhere", 0, 0, 1, {kHero, kShown, kOffScreen}},
      {"group 0 on the screen", 0, 0, 0, {kHero, kShown}},
      {"group 1 everywhere", 0, 1, 1, {kOtherGroup}},
      {"an empty group", 0, 6, 1, {}},
      {"a group beyond the lists", 0, 9, 1, {}},
      {"its descendants", 2, 0, 1, {kChild}},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    Player.clear();
    g_CharaList.Clear();
    m_Counting.m_CharaGroups.assign(kGroupListCount, {});
    std::vector<cCharaBase*> cast(kCount);
    cast[kHero] = &Player.emplace_back();
    for (int i = kShown; i < kCount; ++i) cast[i] = &g_CharaList.Emplace();
    for (int i = 0; i < kCount; ++i) {
      cast[i]->m_Active = i == kAsleep ? 0 : 1;
      cast[i]->m_OnScreen = i == kOffScreen ? 0 : 1;
      cast[i]->m_PassNo = i == kOtherGroup ? 1 : i == kChild ? 2 : 0;
      cast[i]->m_Hp = 10;
      m_Counting.AddToGroup(*cast[i]);
    }
    cChara& runner = g_CharaList.Emplace();
    runner.m_PassNo = 3;
    runner.m_Active = 1;
    m_Counting.AddToGroup(runner);
    runner.m_CharaLinks.push_back(cCharaLink{static_cast<cChara*>(cast[kChild]), kLinkChild});

    cCommand vanish = Command({c.what, c.group, c.everywhere});
    CmdVanish(runner, vanish);
    for (int i = 0; i < kCount; ++i) {
      const bool killed = std::find(c.killed.begin(), c.killed.end(), i) != c.killed.end();
      const bool dead = i == kHero ? cast[i]->m_Hp == 0 : cast[i]->m_bVanished != 0;
      EXPECT_EQ(dead, killed) << "member " << i;
    }
    EXPECT_EQ(runner.m_bVanished, 0);
  }
  Player.clear();
  g_CharaList.Clear();
}

// ---- get an item ---------------------------------------------------------------------

// "アイテムの取得": the item's pickup list runs on the hero; what it asks of
// the step becomes the scene's step result. An item whose list gets itself,
// or gets another that gets it back, nests only so deep; two that each get
// the other twice, which doubles the lists at every level, run only so many
// lists in one pickup. Either says so once for the whole pickup.
TEST_F(PresentationCommandsTest, GettingAnItemRunsItsListOnTheHero) {
  recordtest::cTempFolder folder;
  const auto code = [](const char* text) {
    cCommand command;
    command.m_nSet = 1;
    command.m_nType = FLOW_CMD_CODE - kItemToFlowCmdOffset;
    command.m_strText = text;
    return command;
  };
  const auto getItem = [](int palette, int index) {
    cCommand command;
    command.m_nSet = 1;
    command.m_nType = FLOW_CMD_ITEM_GET - kItemToFlowCmdOffset;
    command.m_Params = {palette, index};
    return command;
  };
  cCommand clear;
  clear.m_nSet = 1;
  clear.m_nType = FLOW_CMD_STAGE_CLEAR - kItemToFlowCmdOffset;
  clear.m_Params.assign(9, 0);
  cCommand vanishSelf;
  vanishSelf.m_nSet = 1;
  vanishSelf.m_nType = FLOW_CMD_STATUS2 - kItemToFlowCmdOffset;
  vanishSelf.m_Params = {0, 0, 0};

  g_CommonPalette.m_Items.resize(9);
  g_CommonPalette.m_Items[1].m_Commands = {code("C1 = C1 + 1")};
  g_CommonPalette.m_Items[2].m_Commands = {clear, code("C1 = C1 + 100")};
  g_CommonPalette.m_Items[3].m_Commands = {vanishSelf, code("C1 = C1 + 100")};
  g_CommonPalette.m_Items[4].m_Commands = {getItem(0, 4), code("C3 = C3 + 1")};
  g_CommonPalette.m_Items[5].m_Commands = {getItem(1, 1)};
  // C4 counts the lists that ran to their end.
  g_CommonPalette.m_Items[6].m_Commands = {getItem(0, 7), getItem(0, 7), code("C4 = C4 + 1")};
  g_CommonPalette.m_Items[7].m_Commands = {getItem(0, 6), getItem(0, 6), code("C4 = C4 + 1")};
  g_CommonPalette.m_Items[8].m_Commands = {getItem(0, 6), getItem(0, 4), code("C4 = C4 + 1")};
  // A long list that never comes back to itself runs whole: the unrolled
  // form of a 1100-times loop of get-items.
  g_CommonPalette.m_Items.resize(10);
  g_CommonPalette.m_Items[9].m_Commands.assign(1100, getItem(0, 1));
  g_Stage.m_PaletteItems.resize(2);
  g_Stage.m_PaletteItems[1].m_Commands = {code("C2 = C2 + 1"), getItem(0, 5)};

  struct cCase {
    const char* name;
    int palette, index;
    int c1, c2, stepResult, reported;
    int lists = 0;
  };
  const cCase cases[] = {
      {"a common item", 0, 1, 1, 0, STEP_RESULT_NONE, 0},
      {"a stage item that gets a common one that gets it back", 1, 1, 0, -1, STEP_RESULT_NONE, 1},
      {"an item that clears the stage", 0, 2, 0, 0, STEP_RESULT_STAGE_CLEAR, 0},
      {"an item that kills the hero", 0, 3, 0, 0, STEP_RESULT_STOP, 0},
      {"two items that each get the other twice", 0, 6, 0, 0, STEP_RESULT_NONE, 1, kMaxItemListsPerPickup},
      {"one list getting both kinds", 0, 8, 0, 0, STEP_RESULT_NONE, 1, kMaxItemListsPerPickup},
      {"a list of 1100 get-items", 0, 9, 1100, 0, STEP_RESULT_NONE, 0},
      {"an item that gets itself", 0, 4, 0, 0, STEP_RESULT_NONE, 1},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = recordtest::ReportText();
    Player.clear();
    cHero& hero = Player.emplace_back();
    hero.m_Hp = 10;
    m_Counting.m_nStepResult = STEP_RESULT_NONE;
    g_Progress = cProgress();
    cCommand get = Command({c.palette, c.index});
    CmdGetItem(m_Chara, get);
    EXPECT_EQ(g_Progress.m_CommonVars[1], c.c1);
    if (c.c2 >= 0) {
      EXPECT_EQ(g_Progress.m_CommonVars[2], c.c2);
    }
    EXPECT_EQ(m_Counting.m_nStepResult, c.stepResult);
    EXPECT_EQ(g_Progress.m_CommonVars[4], c.lists);
    const std::string added = recordtest::ReportText().substr(before.size());
    EXPECT_EQ(std::count(added.begin(), added.end(), '\n'), c.reported) << added;
  }
  // The nested lists of the last case ran, each to its end, as deep as they went.
  EXPECT_GT(g_Progress.m_CommonVars[3], 1);
  Player.clear();
  ResetCommonPaletteForTests();
}

// ---- show a picture ----------------------------------------------------------------------

// "ピクチャーの表示" on a 40 x 20 picture with the camera at (320, 320): its
// parameters to the picture the scene shows and the wait it runs.
class PictureCommandTest : public PresentationCommandsTest {
 protected:
  void SetUp() override {
    PresentationCommandsTest::SetUp();
    EnterTempFolder();
    std::filesystem::create_directories("bmp");
    const std::vector<std::uint32_t> pixels(40 * 20, 0x00336699u);
    const std::vector<std::uint8_t> bmp = plat::EncodeBmp24(40, 20, pixels);
    recordtest::WriteFileBytes("bmp/Pic.bmp", bmp);
    g_Database = cDatabase();
    g_Database.m_Pictures.resize(3);
    g_Database.m_Pictures[1].m_strFile = "bmp\\Pic.bmp";
    g_Database.m_Pictures[2].m_strFile = "bmp\\Pic.bmp";
    m_Counting.m_ScrollX.m_Position = 320;
    m_Counting.m_ScrollY.m_Position = 320;
  }
  void TearDown() override {
    m_Counting.m_Pictures.clear();
    ReleaseStageGraphics();
    g_Database = cDatabase();
    PresentationCommandsTest::TearDown();
  }
  // A picture command of 15 parameters, all 0 but `values` (index, value).
  static cCommand PictureWith(std::initializer_list<std::pair<int, int>> values) {
    cCommand command;
    command.m_nType = FLOW_CMD_PICTURE;
    command.m_Params.assign(15, 0);
    for (const auto& [index, value] : values) command.m_Params[index] = value;
    return command;
  }

  drawtest::cTestLayer m_Layer{drawtest::eRoad::DirectDraw, 640, 480};
};

TEST_F(PictureCommandTest, ParametersPlaceSizeLayerAndTimeThePicture) {
  // A 64 x 64 graphic whose 32 x 48 box stands on its feet: the centre is the graphic's.
  m_Chara.m_X = 116;
  m_Chara.m_Y = 66;
  m_Chara.m_BoxW = 32;
  m_Chara.m_BoxH = 48;
  m_Chara.m_ScrLeft = 100;
  m_Chara.m_ScrTop = 50;
  m_Chara.m_GfxW = 64;
  m_Chara.m_GfxH = 64;
  struct cCase {
    const char* name;
    cCommand command;
    double x, y;
    int w, h, layer, screenFixed, waitMode, countdown, frozen;
    size_t waits;
  };
  const cCase cases[] = {
      {"at the screen centre at 150 %", PictureWith({{0, 1}, {7, 150}, {8, 1}}), 610, 545, 60, 30, 0, 0, 1, 0, 0, 0},
      {"on a screen cell, moved, in front, fixed to the screen",
       PictureWith({{0, 1}, {1, 3}, {2, 2}, {3, 1}, {4, 4}, {5, 5}, {7, 100}, {8, 1}, {10, 1}, {11, 1}}), 388, 357,
       40, 20, 1, 1, 1, 0, 0, 0},
      {"on a stage cell", PictureWith({{0, 1}, {1, 4}, {2, 2}, {3, 1}, {7, 100}, {8, 1}}), 384, 352, 40, 20, 0, 0,
       1, 0, 0, 0},
      {"at its own centre", PictureWith({{0, 1}, {1, 1}, {7, 100}, {8, 1}}), 432, 392, 40, 20, 0, 0, 1, 0, 0, 0},
      {"timed for 0.5 s, running on while the game is stopped", PictureWith({{0, 1}, {7, 100}, {8, 2}, {9, 5}, {14, 1}}),
       620, 550, 40, 20, 0, 0, 2, 30, 1, 0},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    m_Counting.m_Pictures.clear();
    cCommand command = c.command;
    CmdShowPicture(m_Chara, command);
    ASSERT_EQ(m_Counting.m_Pictures.size(), 1u);
    const cPicturePlayer& shown = m_Counting.m_Pictures.front();
    EXPECT_EQ(shown.m_X, c.x);
    EXPECT_EQ(shown.m_Y, c.y);
    EXPECT_EQ(shown.m_nWidth, c.w);
    EXPECT_EQ(shown.m_nHeight, c.h);
    EXPECT_EQ(shown.m_nLayer, c.layer);
    EXPECT_EQ(shown.m_bScreenFixed, c.screenFixed);
    EXPECT_EQ(shown.m_nWaitMode, c.waitMode);
    EXPECT_EQ(shown.m_nCountdown, c.countdown);
    EXPECT_EQ(shown.m_bCountWhenFrozen, c.frozen);
    EXPECT_EQ(m_Counting.m_nWaits, 0);
  }
}

// With its wait set, a picture shown until the key or for a time stops the
// game as a message does, and is taken away afterwards; one shown until the
// stage ends has no wait to run and stays.
TEST_F(PictureCommandTest, AWaitingPictureStopsTheGameAndGoes) {
  struct {
    int display, waits, waitForKey, frames;
    size_t left;
  } cases[] = {{0, 1, 1, 0, 0}, {2, 1, 0, 30, 0}, {1, 0, 0, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.display);
    m_Counting.m_Pictures.clear();
    m_Counting.m_nWaits = 0;
    cCommand command = PictureWith({{0, 1}, {6, 1}, {7, 100}, {8, c.display}, {9, 5}});
    CmdShowPicture(m_Chara, command);
    EXPECT_EQ(m_Counting.m_nWaits, c.waits);
    if (c.waits != 0) {
      EXPECT_EQ(m_Counting.m_LastWait.m_WaitForKey, c.waitForKey);
      EXPECT_EQ(m_Counting.m_LastWait.m_Frames, c.frames);
    }
    EXPECT_EQ(m_Counting.m_Pictures.size(), c.left);
  }
}

// A picture shown with an ID is replaced by the next one of that ID, unless
// it is the same picture; picture 0 takes every picture away.
TEST_F(PictureCommandTest, APictureReplacesTheOneOfItsId) {
  cCommand first = PictureWith({{0, 1}, {7, 100}, {8, 1}, {12, 1}, {13, 7}});
  cCommand same = first;
  cCommand other = PictureWith({{0, 2}, {7, 100}, {8, 1}, {12, 1}, {13, 7}});
  cCommand otherId = PictureWith({{0, 2}, {7, 100}, {8, 1}, {12, 1}, {13, 8}});
  CmdShowPicture(m_Chara, first);
  CmdShowPicture(m_Chara, same);
  ASSERT_EQ(m_Counting.m_Pictures.size(), 1u);
  CmdShowPicture(m_Chara, other);
  ASSERT_EQ(m_Counting.m_Pictures.size(), 1u);
  EXPECT_EQ(m_Counting.m_Pictures.front().m_nPicture, 2);
  CmdShowPicture(m_Chara, otherId);
  EXPECT_EQ(m_Counting.m_Pictures.size(), 2u);
  cCommand none = PictureWith({});
  CmdShowPicture(m_Chara, none);
  EXPECT_TRUE(m_Counting.m_Pictures.empty());
}

// A picture of a file from before the wait came in keeps its size and its
// display, and stops the game as pictures of that time did.
TEST_F(PictureCommandTest, AnOlderPictureKeepsItsSize) {
  cCommand old;
  old.m_nType = 31;  // the picture command's number in files of that time
  old.m_Params = {1, 0, 0, 0, 0, 0, 50, 2, 5};  // size 50 %, timed 0.5 s
  cCommand loaded = flowtest::Reload(old, 193);
  CmdShowPicture(m_Chara, loaded);
  EXPECT_EQ(m_Counting.m_nWaits, 1);
  EXPECT_EQ(m_Counting.m_LastWait.m_Frames, 30);
  cCommand again = loaded;
  again.m_Params[6] = 0;  // now without the wait, to see the picture
  CmdShowPicture(m_Chara, again);
  ASSERT_EQ(m_Counting.m_Pictures.size(), 1u);
  EXPECT_EQ(m_Counting.m_Pictures.front().m_nWidth, 20);
  EXPECT_EQ(m_Counting.m_Pictures.front().m_nHeight, 10);
}

}  // namespace
