// Golden frames of the stage drawing through the runner, on Direct3D and on
// 8-bit DirectDraw, from a one-screen stage this test writes into the sample
// game's default data: a special-bitmap character facing each way, each
// swinging a sword; a target the hero shoots, its HP gauge and the trail of
// the loss in three frames; the hero's four area marks; sixteen characters,
// each running one of the chara effects; and, one after another, the
// thirteen screen effects, each shown halfway and a second after its start.
//
// A frame that differs from its golden bitmap is written beside it as
// "actual-NAME.bmp"; with KESTROVA_UPDATE_GOLDEN=1 the goldens are written
// anew instead.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "GoldenSheet.h"
#include "RunnerFolder.h"
#include "SampleArt.h"
#include "SampleBitmaps.h"
#include "SampleGame.h"
#include "SampleSystemData.h"
#include "SampleSystemIni.h"
#include "core/AtomicFile.h"
#include "data/CharaEffect.h"
#include "data/Command.h"
#include "data/Database.h"
#include "data/GraphicKind.h"
#include "data/SwordType.h"
#include "data/SystemData.h"
#include "platform/BmpDecoder.h"
#include "support/FlowBuilder.h"

namespace {

namespace fs = std::filesystem;
using samplegame::cCanvas;
using samplegame::PlaceAt;
using namespace samplegame::art;

constexpr const char* kStageFile = "draw.stg4_781";
constexpr const char* kStagePath = "data\\stg4\\draw.stg4_781";
constexpr const char* kSpecialFile = "bmp\\Special.bmp";
constexpr const char* kSwordFile = "bmp\\Sword.bmp";

// Database entries of the test.
constexpr int kAnimeSetChara = 1;  // the sample's characters' set
constexpr int kSpecial = 1;
constexpr int kSword = 1;
constexpr int kCharaEffects = 16;
constexpr int kScrEffects = 13;

// Sides: the hero's, and everyone else's.
constexpr uint8_t kHeroSide = 1;
constexpr uint8_t kOtherSide = 2;

constexpr int kGroundRow = 14;
// A wait that outlasts the run.
constexpr int kForever = 32767;
// Each screen effect runs a second (60 frames), one every two seconds.
constexpr int kScrEffectTenths = 10;
constexpr int kScrEffectSpacingTenths = 20;

// The frames the shots are taken on follow from the stage's timing: play
// starts on frame 89 (after the fade-in and the ready caption); a flow that
// waits w tenths first runs its next command on frame 90 + 6 w. So the hero
// shoots on frame 102 and hits the target on frame 112, whose gauge then
// shows its trail for 60 frames; screen effect k starts on frame 270 + 120
// (k - 1), a multiple of 30, and is shown halfway 30 frames later and 60
// frames later: with its end value, or, for the kinds that count their time
// (move, the shakes, the blink), over, since they last their 60 frames.
constexpr int kPlayStart = 89;
constexpr int kFirstScrEffectTenths = 30;
constexpr int kTrailFrames[] = {120, 140, 160};
constexpr int kSpritesEvery = 20;
constexpr int kScrEffectsEvery = 30;

int ScrEffectStart(int k) { return kPlayStart + 1 + 6 * (kFirstScrEffectTenths + (k - 1) * kScrEffectSpacingTenths); }

cCommand Command(int type, std::initializer_list<int32_t> params) { return cCmdBuilder(type).Params(params); }

cCommand Wait(int tenths) { return WaitCmd(tenths); }

// ---- the database ----

// One effect entry of the test: its name and parameters 2 to 5.
struct sEffectEntry {
  const char* name;
  int params[4];
};

// Entry k of `entries` becomes effect k of kind k, `tenths` long, after the
// list's "none" entry.
template <class tEffect, std::size_t tCount>
void SetEffects(cSafeVector<tEffect>& list, const sEffectEntry (&entries)[tCount], int tenths) {
  list.resize(1);
  for (std::size_t k = 1; k <= tCount; ++k) {
    tEffect effect;
    effect.m_strName = entries[k - 1].name;
    effect.m_nKind = static_cast<int32_t>(k);
    effect.m_Params[0] = tenths;
    for (int p = 0; p < 4; ++p) effect.m_Params[p + 1] = entries[k - 1].params[p];
    list.push_back(effect);
  }
}

// The chara effects, a second long (they loop), with values that show each
// kind well on a 32-dot cell.
constexpr sEffectEntry kCharaEffectEntries[kCharaEffects] = {
    {"破裂", {0, 16, 0, 0}},    {"分割横", {0, 8, 4, 0}},     {"分割縦", {0, 8, 4, 0}},
    {"波横", {0, 8, 2, 2}},     {"波縦", {0, 8, 2, 2}},       {"点滅", {4, 0, 0, 0}},
    {"回転A", {0, 360, 0, 0}},  {"回転B", {0, 360, 0, 0}},    {"回転奥", {0, 256, 0, 0}},
    {"円", {32, 0, 2, 0}},      {"拡大", {32, 64, 0, 0}},     {"レンズ", {100, 5, 4, -4}},
    {"色変化", {1, 4, 80, 0}},  {"半透明", {9999, 0, 0, 0}},  {"モザイク", {1, 8, 0, 0}},
    {"ぼかし", {1, 4, 0, 0}},
};

// The screen effects. Where a kind runs a value from a start to an end, the
// change is a multiple of 15: its step per frame (a sixtieth of it) adds up
// exactly, so the 60th frame shows the end value and a falling value is not
// taken for past its end a frame early.
constexpr sEffectEntry kScrEffectEntries[kScrEffects] = {
    {"移動", {0, 0, 160, 80}},    {"振動横", {8, 4, 0, 0}},      {"振動縦", {8, 4, 0, 0}},
    {"分割横", {0, 60, 15, 0}},   {"分割縦", {0, 60, 20, 0}},    {"波横", {0, 30, 4, 8}},
    {"波縦", {0, 30, 4, 10}},     {"点滅", {10, 0, 0, 0}},       {"回転", {0, 90, 0, 0}},
    {"円", {640, 100, 8, 0}},     {"拡大", {640, 1240, 0, 0}},   {"レンズ", {1500, 300, 0, 0}},
    {"モザイク", {1, 16, 0, 0}},
};

cDatabase MakeDatabase() {
  cDatabase db = samplegame::MakeDatabase();
  SetEffects(db.m_CharaEffects, kCharaEffectEntries, 10);
  SetEffects(db.m_ScrEffects, kScrEffectEntries, kScrEffectTenths);
  db.m_BmpCharaExcs.resize(1);
  cBmpCharaExc special;
  special.m_strName = "騎士";
  special.m_strFile = kSpecialFile;
  special.m_bSizedCells = 1;
  special.m_nCellFactor = 2;
  db.m_BmpCharaExcs.push_back(special);
  // A sword of one 32-dot step that stays out longer than any run, in front
  // of its owner.
  db.m_SwordTypes.resize(1);
  cSwordType sword;
  sword.m_strName = "剣";
  sword.m_strImage = kSwordFile;
  sword.m_Steps.clear();
  cSwordStep step;
  step.m_nWidth = 32;
  step.m_nHeight = 32;
  step.m_nDuration = kForever;
  sword.m_Steps.push_back(step);
  db.m_SwordTypes.push_back(sword);
  return db;
}

// ---- the pictures ----

// A knight of 64 x 64 dots facing left: a shield on the left, a plume at the
// back on the right, so that a mirrored picture shows at once.
cCanvas MakeKnightCell() {
  cCanvas c(64, 64, kKey);
  c.FillRect(22, 20, 22, 30, Shade(HUE_GREY, 9));
  c.FillCircle(32, 14, 10, Shade(HUE_GREY, 12));
  c.FillRect(22, 12, 8, 4, kOutline);  // the visor, ahead
  c.FillTriangle(40, 4, 58, 2, 44, 14, Shade(HUE_RED, 9));  // the plume, behind
  c.FillRect(6, 22, 14, 24, Shade(HUE_BLUE, 8));  // the shield, ahead
  c.FillRect(10, 28, 6, 12, Shade(HUE_YELLOW, 11));
  c.FillRect(24, 50, 7, 14, Shade(HUE_BROWN, 5));
  c.FillRect(36, 50, 7, 14, Shade(HUE_BROWN, 5));
  c.Outline(0, 0, 64, 64, kKey, kOutline);
  return c;
}

// Special bitmap: 16 / 2 = 8 cells of 64 to a row; the knight stands in the
// first.
cCanvas MakeSpecialBitmap() {
  cCanvas sheet(512, 64, kKey);
  sheet.Blit(MakeKnightCell(), 0, 0, 64, 64, 0, 0);
  return sheet;
}

// A blade pointing left with its hilt on the right, in one 32-dot cell.
cCanvas MakeSwordBitmap() {
  cCanvas c(32, 32, kKey);
  c.FillTriangle(1, 16, 8, 13, 8, 19, Shade(HUE_GREY, 14));
  c.FillRect(8, 13, 16, 6, Shade(HUE_GREY, 12));
  c.FillRect(8, 15, 16, 2, kWhite);
  c.FillRect(24, 8, 3, 16, kGold);
  c.FillRect(27, 14, 5, 4, Shade(HUE_BROWN, 6));
  c.Outline(0, 0, 32, 32, kKey, kOutline);
  return c;
}

// ---- the stage ----

cCharaData MakeChara(const char* name, int graphicKind, int graphic, int facing) {
  cCharaData chara;
  chara.m_strName = name;
  chara.m_nGraphicKind = static_cast<uint8_t>(graphicKind);
  chara.m_nGraphic = static_cast<int16_t>(graphic);
  chara.m_nAnimeSet = kAnimeSetChara;
  chara.m_nFacing = static_cast<uint8_t>(facing);
  chara.m_nPassNumber = kOtherSide;
  chara.m_nPower = 0;
  // Everyone acts wherever the camera is.
  chara.m_nActiveRange = 3;
  return chara;
}

// The hero, facing right: it shoots the target once; and it starts the
// screen effects one after another once the chara effects have been seen.
cCharaData MakeHero() {
  cCharaData hero = MakeChara("主人公", GRAPHIC_CHARA, CHARA_ROW_HERO, 1);
  hero.m_nOperator = CHARA_BY_PLAYER;
  hero.m_nPassNumber = kHeroSide;
  cCmdBuilder shot(FLOW_CMD_SHOT);
  cEdShot& edShot = shot.Shot();
  edShot.m_nCount = 1;
  edShot.m_nDirection = DIR_FRONT;
  edShot.m_nGraphic = 1;
  edShot.m_z = 4;
  edShot.m_nSpeed = 80;
  edShot.m_bDistanceOn = 1;
  edShot.m_nDistance = 24;
  edShot.m_nPower = 4;
  hero.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(Wait(2)).Cmd(shot).Cmd(Wait(kForever)));
  for (int k = 1; k <= kScrEffects; ++k) {
    const int start = kFirstScrEffectTenths + (k - 1) * kScrEffectSpacingTenths;
    hero.m_Flows.push_back(cFlowBuilder()
                               .Trigger(TRIGGER_ALWAYS)
                               .Cmd(Wait(start))
                               .Cmd(Command(FLOW_CMD_SCR_EFFECT, {k, 0, 0}))
                               .Cmd(Wait(kForever)));
  }
  return hero;
}

cStageData MakeStage(bool charaEffects) {
  const cPalette common = samplegame::MakeCommonPalette();
  cStageData stage;
  stage.m_Name = "描画";
  stage.m_Width = 20;
  stage.m_Height = 15;
  stage.m_ShowHud = 0;
  stage.m_AreaLimitX = stage.m_Width * 32;
  stage.m_AreaLimitY = stage.m_Height * 32;
  // A plain sky: the golden frames keep to long runs of one colour.
  stage.m_BgLayers[0].m_bPlainColour = 1;
  stage.m_BgLayers[0].m_nColour = kSky + 6;
  stage.m_VarNames.resize(kStageVarCount);
  for (int x = 0; x < stage.m_Width; ++x) stage.m_PlacedBlocks.push_back(PlaceAt(common.m_Blocks[1], x, kGroundRow));

  // The hero's four marks, each in a colour group of its own: the collision
  // box and the pickup rectangle outlined, the attack and the shot rectangles
  // filled.
  stage.m_HeroBlockBox = {20, 28};
  stage.m_HeroCharaBox = {26, 22};
  stage.m_HeroShotBox = {10, 10};
  stage.m_HeroItemBox = {30, 30};
  stage.m_BoxShowBlock = 1;
  stage.m_BoxShowItem = 1;
  stage.m_BoxShowChara = 2;
  stage.m_BoxShowShot = 2;
  stage.m_BoxColourBlock = 0;
  stage.m_BoxColourChara = 1;
  stage.m_BoxColourShot = 2;
  stage.m_BoxColourItem = 3;
  stage.m_PlacedCharas.push_back(PlaceAt(MakeHero(), 1, kGroundRow - 1));

  // The target: its gauge shows the hero's hit.
  cCharaData target = MakeChara("的", GRAPHIC_CHARA, CHARA_ROW_SHOOTER, 0);
  stage.m_PlacedCharas.push_back(PlaceAt(target, 5, kGroundRow - 1));

  // The knights, twice their cell of 32 so that their 64-dot cells are drawn
  // as they are, facing left and right, each swinging its sword.
  for (int facing : {0, 1}) {
    cCharaData knight = MakeChara("騎士", GRAPHIC_BMP_CHARA_EXC, kSpecial, facing);
    knight.m_nScale = 2;
    cCmdBuilder sword(FLOW_CMD_SWORD);
    sword.Shot().m_nMotion = kSword;
    sword.Shot().m_z = 4;
    knight.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(sword).Cmd(Wait(kForever)));
    stage.m_PlacedCharas.push_back(PlaceAt(knight, facing != 0 ? 11 : 8, kGroundRow - 2));
  }

  // Sixteen characters in two rows of eight, flying in place, chara effect
  // k on the k-th, looping (or none).
  for (int k = 1; k <= kCharaEffects; ++k) {
    cCharaData chara = MakeChara("効果", GRAPHIC_CHARA, k % 2 != 0 ? CHARA_ROW_WALKER : CHARA_ROW_BOSS, 0);
    chara.m_nFlying = 1;
    if (charaEffects) {
      chara.m_Flows.push_back(cFlowBuilder()
                                  .Trigger(TRIGGER_ALWAYS)
                                  .Cmd(Command(FLOW_CMD_CHARA_EFFECT, {k, 0, 1}))
                                  .Cmd(Wait(kForever)));
    }
    const int row = (k - 1) / 8, column = (k - 1) % 8;
    stage.m_PlacedCharas.push_back(PlaceAt(chara, 2 + 2 * column, 3 + 3 * row));
  }
  return stage;
}

// ---- the test ----


struct sRoad {
  const char* name;
  std::vector<std::string> options;
};

class StageDrawShotsTest : public runnertest::cRunnerFolder, public testing::WithParamInterface<sRoad> {
 protected:
  // The stage (with or without the chara effects), its database, its two
  // pictures, system data without the hint line and start-up settings
  // without the frame rate, in the copy of the game.
  void InstallStage(bool charaEffects) {
    fs::remove_all(m_Folder / "data");
    cDatabase db = MakeDatabase();
    for (int i = 0; i < kDatabaseFileCount; ++i) {
      ASSERT_TRUE(WriteFileAtomic((m_Folder / "default" / "database" / kDatabaseFileNames[i]).string(),
                                  samplegame::DatabaseFileBytes(db, i)));
    }
    // The stage and the system data are checked against the database and
    // the common palette they will be played with.
    cPalette common = samplegame::MakeCommonPalette();
    cSystemData system = samplegame::MakeSystemData(db);
    for (int message : {MSG_RANKING_TO_TITLE, MSG_RANKING_END}) system.m_Messages[message].clear();
    std::swap(g_Database, db);
    std::swap(g_CommonPalette, common);
    cStageData stage = MakeStage(charaEffects);
    const std::vector<std::uint8_t> stageBytes = stage.MakeFileBytes();
    const std::vector<std::uint8_t> systemBytes = system.MakeFileBytes();
    std::swap(g_CommonPalette, common);
    std::swap(g_Database, db);
    ASSERT_TRUE(WriteFileAtomic((m_Folder / "default" / "stg4" / kStageFile).string(), stageBytes));
    ASSERT_TRUE(WriteFileAtomic((m_Folder / "default" / "System.dat").string(), systemBytes));
    std::string ini = samplegame::MakeSystemIni();
    ini.replace(ini.find("ShowFps=1"), 9, "ShowFps=0");
    ASSERT_TRUE(WriteFileAtomic((m_Folder / "System.ini").string(), ini));

    const plat::DisplayPalette palette = samplegame::MakeGamePalette();
    const std::pair<const char*, cCanvas> pictures[] = {{"Special.bmp", MakeSpecialBitmap()},
                                                         {"Sword.bmp", MakeSwordBitmap()}};
    for (const auto& [file, canvas] : pictures) {
      ASSERT_TRUE(WriteFileAtomic((m_Folder / "bmp" / file).string(),
                                  plat::EncodeBmp8(canvas.Width(), canvas.Height(), canvas.Pixels(), palette)));
    }
  }

  // Runs the stage on the road for `frames` frames with a shot every `every`.
  void RunStage(int frames, int every) {
    fs::remove_all(m_Folder / "shots");
    std::vector<std::string> arguments = {"--stage",      kStagePath,
                                          "--frames",     std::to_string(frames),
                                          "--shots",      (m_Folder / "shots").string(),
                                          "--shot-every", std::to_string(every),
                                          "--trace",      (m_Folder / "trace.txt").string()};
    arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
    ASSERT_EQ(0, Run(arguments)) << ErrorText();
    // Play must start where the frame numbers above expect it.
    for (const std::string& line : Lines(m_Folder / "trace.txt")) {
      std::istringstream in(line);
      int frame = 0, scene = 0, phase = 0;
      in >> frame >> scene >> phase;
      if (phase == 2) {
        ASSERT_EQ(kPlayStart, frame) << "play starts on another frame: the shots no longer show what they name";
        break;
      }
    }
  }

  fs::path Shot(int frame) const {
    char file[32];
    std::snprintf(file, sizeof file, "%08d.bmp", frame);
    return m_Folder / "shots" / file;
  }

  std::string GoldenName(const std::string& what) const { return "stage_" + what + "_" + GetParam().name; }
};

// The knights face left and right with their swords ahead of them; the
// target's gauge shows the loss of 4 of its 10 points, the trail shrinking
// over the three frames; the hero's marks stand on its four rectangles; the
// sixteen characters show chara effects 1 to 16, left to right, top row
// first.
TEST_P(StageDrawShotsTest, SpritesGaugeMarksAndCharaEffects) {
  InstallStage(true);
  RunStage(kTrailFrames[2] + 2, kSpritesEvery);
  std::vector<fs::path> frames;
  for (int frame : kTrailFrames) frames.push_back(Shot(frame));
  goldensheet::ExpectGoldenSheet(frames, KESTROVA_TEST_GOLDEN, GoldenName("sprites"));
}

// Each screen effect on the stage (without the chara effects), halfway and a
// second after its start.
TEST_P(StageDrawShotsTest, EachScreenEffectHalfwayAndAtItsEnd) {
  InstallStage(false);
  RunStage(ScrEffectStart(kScrEffects) + 62, kScrEffectsEvery);
  for (int k = 1; k <= kScrEffects; ++k) {
    SCOPED_TRACE("screen effect " + std::to_string(k));
    const int start = ScrEffectStart(k);
    char what[32];
    std::snprintf(what, sizeof what, "screffect%02d", k);
    goldensheet::ExpectGoldenSheet({Shot(start + 30), Shot(start + 60)}, KESTROVA_TEST_GOLDEN, GoldenName(what));
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, StageDrawShotsTest,
                         testing::Values(sRoad{"d3d", {"--direct3d", "1"}},
                                         sRoad{"ddraw8", {"--direct3d", "0", "--bpp", "8"}}),
                         [](const testing::TestParamInfo<sRoad>& info) { return std::string(info.param.name); });

}  // namespace
