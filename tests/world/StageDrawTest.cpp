// The stage frame through the drawing layer on both roads: a background, the
// hero and a character with a chara effect, the status bar and time, an
// effect, a picture, a fixed icon message, a screen effect and a screen
// colour, checked against a checksum per road (the frame is written as a
// bitmap next to the test program when it differs).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "WorldTestSupport.h"
#include "support/WorldFakes.h"
#include "core/FrameTimer.h"
#include "core/ProcessFlags.h"
#include "data/CharaEffect.h"
#include "data/Condition.h"
#include "data/Database.h"
#include "data/Effect.h"
#include "graphics/DrawLayerTestSupport.h"
#include "graphics/FrameChecksum.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceFill.h"
#include "graphics/Present.h"
#include "graphics/SurfaceTable.h"
#include "world/Chara.h"
#include "world/CharaDraw.h"
#include "world/CharaEffectPlayer.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/MapGrid.h"
#include "world/SceneDraw.h"
#include "world/StageGraphics.h"

namespace {

using drawtest::eRoad;

// A keyed sheet whose 32 x 32 cells are filled rings of a colour per cell.
void MakeSheet(int row, int width, int height, std::uint32_t transparent, std::uint32_t tint) {
  DDSURFACEDATA& sd = g_SurfaceData[static_cast<std::size_t>(row)];
  ASSERT_TRUE(DDCreateSurface(&sd, width, height, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  plat::cPixelSurface& px = drawtest::PixelsOf(sd);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int cx = x % 32 - 16, cy = y % 32 - 16;
      const bool inside = cx * cx + cy * cy < 200 && (x % 32 + y % 32) % 5 != 0;
      const std::uint32_t colour = 0xFF000000u | tint | static_cast<std::uint32_t>((x / 32 * 40) & 0xFF) << 8 |
                                   static_cast<std::uint32_t>((y / 32 * 50) & 0xFF);
      px.SetPixel(x, y, inside ? colour : transparent);
    }
  }
}

void MakeEmpty(int row, int width, int height) {
  ASSERT_TRUE(
      DDCreateSurface(&g_SurfaceData[static_cast<std::size_t>(row)], width, height, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
}

struct sStageCase {
  eRoad road;
  std::uint32_t checksum;
};

class StageDrawTest : public worldtest::cWorldFixture, public testing::WithParamInterface<sStageCase> {
 protected:
  void TearDown() override {
    ReleaseStageGraphics();
    for (DDSURFACEDATA& sd : g_SurfaceData) DDReleaseSurface(&sd);
    for (auto& t : g_CharaEffectTemplates) t.clear();
    for (auto& t : g_ScrEffectTemplates) t.clear();
    g_Database = cDatabase();
    g_EffectScripts.clear();
    g_Palette = {};
    g_PaletteWork = {};
    cWorldFixture::TearDown();
  }

  void MakeSurfaces(std::uint32_t transparent) {
    MakeSheet(SURF_BLOCK, 64, 480, transparent, 0x00400000u);
    MakeSheet(SURF_BLOCK + 1, 64, 480, transparent, 0x00400000u);
    for (int r : {4, 5, 22, 23})  // the first character sheet, its mirror and their copies
      MakeSheet(r, 256, 480, transparent, 0x00800000u);
    MakeSheet(SURF_MARK, 32, 480, transparent, 0x00C00000u);
    MakeSheet(SURF_ACCESSORY, 128, 224, transparent, 0x00204000u);
    MakeSheet(SURF_STATUS_WINDOW, 640, 20, transparent, 0x00000080u);
    MakeSheet(SURF_WORD, 320, 192, transparent, 0x00E0E000u);
    MakeSheet(SURF_BACKGROUND_FIRST, 96, 64, transparent, 0x00102030u);
    MakeEmpty(SURF_SHOT_SHEET, 256, 960);
    MakeEmpty(SURF_SHOT_SHEET_MIRROR, 256, 960);
    MakeEmpty(SURF_WORK, 640, 480);
    MakeEmpty(SURF_WORK2, 640, 480);
    MakeEmpty(SURF_BIG_WORK_DD, 1024, 1024);
    LinkMirrorSurfaces();
    SelectDrawSurfaces();
  }

  void MakeDatabase() {
    g_Database = cDatabase();
    g_Database.m_CharaEffects.resize(2);
    g_Database.m_CharaEffects[0].m_nKind = 0;
    cCharaEffect& wave = g_Database.m_CharaEffects[1];
    wave.m_nKind = 4;  // "波（横）"
    wave.m_Params[0] = 10;
    wave.m_Params[1] = 6;
    wave.m_Params[2] = 12;
    wave.m_Params[3] = 2;
    wave.m_Params[4] = 2;
    g_Database.m_ScrEffects.resize(2);
    g_Database.m_ScrEffects[0].m_nKind = 0;
    cScrEffect& split = g_Database.m_ScrEffects[1];
    split.m_nKind = 4;  // "分割（横）"
    split.m_Params[0] = 10;
    split.m_Params[1] = 4;
    split.m_Params[2] = 40;
    split.m_Params[3] = 15;
    g_Database.m_Effects.resize(2);
    g_Database.m_Effects[1].m_Frames.push_back(cEffectFrame(0, 5));
    BuildEffectScripts(g_EffectScripts);
    BuildEffectTemplates();
  }

  void MakeStage(std::uint32_t transparent) {
    cGameScene& scene = MakeScene(40, 30, 1, 320, 320);
    g_Stage.m_BgLayers.resize(8);
    cBgLayer& back = g_Stage.m_BgLayers[0];
    back.m_bShown = 1;
    back.m_dFactorX = 0.5;
    back.m_dFactorY = 0.5;
    g_Stage.m_ShowHud = 1;
    g_Stage.m_TimeLimitOn = 1;
    scene.m_nTimeLeft = 123;
    for (int i = 0; i < 5; ++i) {
      g_System.m_HudItems[i].m_bShown = 1;
      g_System.m_HudItems[i].m_bIcon = 1;
      g_System.m_HudItems[i].m_nValueCells = 4;
    }
    g_Progress.m_nScore = 1234;
    g_Progress.m_nLives = 999999;

    cCharaData heroData;
    heroData.m_nOperator = CHARA_BY_PLAYER;
    heroData.m_nGraphic = 1;
    heroData.m_nMhp = 10;
    Player.resize(1);
    Player[0].InitForStage(1, heroData, 320 + 200, 320 + 300, nullptr);
    Player[0].m_Hp = 5;
    Player[0].m_X = 320 + 200;
    Player[0].m_Y = 320 + 300;

    cCharaData enemy;
    enemy.m_nGraphic = 17;  // the second sheet's row 2: missing, so the first cell of the first sheet
    enemy.m_nGraphicRow = 1;
    cChara& chara = g_CharaList.Emplace();
    chara.Init(2, enemy, nullptr, 320 + 360, 320 + 300, 0, nullptr);
    chara.m_X = 320 + 360;
    chara.m_Y = 320 + 300;
    chara.m_OnScreen = 1;
    chara.m_CharaEffect.Start(1, 0, 1);

    g_EffectImages.m_Surfaces.resize(4);
    g_EffectImages.m_Defs.resize(4);
    drawtest::MakeMarkedSurface(g_EffectImages.m_Surfaces[0], 64, 32, 1);
    scene.m_Effects.emplace_back(1, 320 + 100, 320 + 140, 32, 32, 0);

    DDSURFACEDATA& picture = g_PictureSurfaces.emplace_back();
    g_PictureSurfaceDefs.emplace_back();
    drawtest::MakeMarkedSurface(picture, 48, 40, 1);
    cPicturePlayer player;
    player.Set(1, 320 + 500, 320 + 60, 48, 40, 0, 1, 100, 0, 0, 0, 0, 0);
    player.m_lpSurface = &picture;
    scene.m_Pictures.push_back(player);

    cMessageSetup icon;
    icon.kind = MESSAGE_FIXED_ICON;
    icon.posMode = 7;
    icon.cellX = 3;
    icon.cellY = 3;
    scene.m_Messages.push_back(std::make_shared<cMessage>(icon));

    scene.m_ScrEffect.Start(1, 0, 0);
    scene.m_ScreenColor.Set(200, 40, 40, 50, 0, 0, 0, 0);
    (void)transparent;
  }
};

TEST_P(StageDrawTest, FrameMatchesItsChecksum) {
  const sStageCase& c = GetParam();
  drawtest::cTestLayer layer(c.road, 640, 480);
  ASSERT_TRUE(layer.Started());
  for (int i = 0; i < 256; ++i)
    g_Palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                              static_cast<std::uint8_t>(i * 7), 0};
  g_PaletteWork = g_Palette;
  MakeSurfaces(layer.TransparentPixel());
  MakeDatabase();
  MakeStage(layer.TransparentPixel());

  // Three frames of play: the effects move on.
  for (int frame = 0; frame < 3; ++frame) m_Scene.Draw(1, 0, 1, 1);
  if (layer.D3D())
    ASSERT_EQ(DDEndFrame(60, 0, 0), 1);
  else
    ASSERT_TRUE(DDPresentWindow(0));
  drawtest::ExpectGoldenFrame(layer.Presenter(), c.checksum,
                              std::string("StageDraw_") + (layer.D3D() ? "Direct3D" : "DirectDraw"));
}

// With eight draw layers a character on layer 5 covers the hero on layer 2,
// and the hero on layer 6 covers it.
TEST_P(StageDrawTest, DrawLayersStackInOrder) {
  drawtest::cTestLayer layer(GetParam().road, 640, 480);
  ASSERT_TRUE(layer.Started());
  MakeSurfaces(layer.TransparentPixel());
  MakeDatabase();
  MakeStage(layer.TransparentPixel());
  m_Scene.m_ScrEffect.Clear();
  m_Scene.m_ScreenColor = cScreenColor();
  g_Stage.m_Layered = 1;
  cHero& hero = Player[0];
  cChara& chara = *g_CharaList.Nth(0);
  chara.m_CharaEffect.Clear();
  chara.m_X = hero.m_X;
  chara.m_Y = hero.m_Y;
  const cGraphicSource heroCell = SelectGraphicSource(GRAPHIC_USE_CHARA, 1, 1, 0, &hero, 0);
  const cGraphicSource charaCell = SelectGraphicSource(GRAPHIC_USE_CHARA, 1, 0, 0, &chara, 0);
  ASSERT_NE(heroCell.sy, charaCell.sy);
  struct {
    int heroZ, charaZ;
    bool charaOnTop;
  } cases[] = {{2, 5, true}, {6, 5, false}};
  for (const auto& c : cases) {
    hero.m_Data.m_nZ = static_cast<uint8_t>(c.heroZ);
    chara.m_Data.m_nZ = static_cast<uint8_t>(c.charaZ);
    m_Scene.Draw(1, 1, 0, 0);
    hero.UpdateRect();
    const int x = hero.m_ScrLeft + 16, y = hero.m_ScrTop + 16;
    DDSURFACEDATA* target = &BackBuffer;
    DDMapBackBuffer(target);
    const std::uint32_t shown = drawtest::Rgb(drawtest::PixelAt(*target, x, y));
    const cGraphicSource& top = c.charaOnTop ? charaCell : heroCell;
    const std::uint32_t expected = drawtest::Rgb(drawtest::PixelAt(*top.image, top.sx + 16, top.sy + 16));
    EXPECT_EQ(shown, expected) << "hero on " << c.heroZ << ", character on " << c.charaZ;
  }
}

// ---- the order of the frame's parts ----

// Every part of the frame covers one probe point with a colour of its own.
// Drawn with only the first k parts present, the probe shows part k: each
// part is drawn after all the parts before it.
class DrawOrderTest : public worldtest::cWorldFixture, public testing::WithParamInterface<eRoad> {
 protected:
  enum ePart : int {
    kBackLayer,
    kPictureBehind,
    kBlockBehind,
    kHero,
    kItem,
    kCharacter,
    kBlockInFront,
    kFrontLayer,
    kPictureInFront,
    kEffect,
    kMessage,
    kStatusBar,
    kPartCount
  };
  static constexpr const char* kNames[kPartCount] = {
      "back layer",     "picture behind", "block behind",     "hero",   "item",    "character",
      "block in front", "front layer",    "picture in front", "effect", "message", "status bar"};

  void TearDown() override {
    ReleaseStageGraphics();
    for (DDSURFACEDATA& sd : g_SurfaceData) DDReleaseSurface(&sd);
    g_Database = cDatabase();
    g_EffectScripts.clear();
    g_Palette = {};
    g_PaletteWork = {};
    cWorldFixture::TearDown();
  }

  // The colour part `part` paints: its own surfaces are filled with it.
  static std::uint32_t ColourOf(int part) { return 0xFF000000u | static_cast<std::uint32_t>(0x101010 * (part + 1) + 7); }

  void MakeSolid(int row, int w, int h, int part) {
    drawtest::MakeFilledSurface(g_SurfaceData[static_cast<std::size_t>(row)], w, h, ColourOf(part), 1);
  }

  void MakeSurfaces() {
    for (int i = 0; i < 256; ++i)
      g_Palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), 3, static_cast<std::uint8_t>(255 - i), 0};
    g_PaletteWork = g_Palette;
    // The first character sheet, its mirror and their copies; then the second.
    for (int r : {4, 5, 22, 23}) MakeSolid(r, 256, 480, kHero);
    for (int r : {6, 7, 24, 25}) MakeSolid(r, 256, 480, kCharacter);
    // Both block parts draw from the block sheet: each is checked on top of
    // parts of other colours.
    MakeSolid(SURF_BLOCK, 64, 480, kBlockBehind);
    MakeSolid(SURF_ITEM, 128, 480, kItem);
    MakeSolid(SURF_ITEM + 1, 128, 480, kItem);
    MakeSolid(SURF_ACCESSORY, 128, 224, kMessage);
    MakeSolid(SURF_STATUS_WINDOW, 640, 20, kStatusBar);
    for (int r : std::initializer_list<int>{SURF_MARK, SURF_SHOT_SHEET, SURF_SHOT_SHEET_MIRROR, SURF_WORK, SURF_WORK2,
                                            SURF_BIG_WORK_DD})
      drawtest::MakeFilledSurface(g_SurfaceData[static_cast<std::size_t>(r)], r == SURF_BIG_WORK_DD ? 1024 : 640,
                                  r == SURF_BIG_WORK_DD ? 1024 : 960, 0, 1);
    LinkMirrorSurfaces();
    SelectDrawSurfaces();
    g_Database.m_Effects.resize(2);
    g_Database.m_Effects[1].m_Frames.push_back(cEffectFrame(0, 5));
    BuildEffectScripts(g_EffectScripts);
    g_EffectImages.m_Surfaces.resize(1);
    g_EffectImages.m_Defs.resize(1);
    drawtest::MakeFilledSurface(g_EffectImages.m_Surfaces[0], 32, 32, ColourOf(kEffect), 1);
  }

  // The stage with its first `parts` parts; the probe point they all cover.
  void MakeStage(int parts, int& px, int& py) {
    cGameScene& scene = MakeScene(40, 30, 1, 320, 320);
    const auto has = [parts](int part) { return part < parts; };
    g_Stage.m_BgLayers.resize(8);
    for (int front : {0, 1}) {
      cBgLayer& layer = g_Stage.m_BgLayers[static_cast<std::size_t>(front)];
      layer.m_bShown = has(front != 0 ? kFrontLayer : kBackLayer) ? 1 : 0;
      layer.m_bPlainColour = 1;
      layer.m_bFront = static_cast<uint8_t>(front);
      layer.m_nColour = front != 0 ? 120 : 60;
    }
    g_Stage.m_ShowHud = has(kStatusBar) ? 1 : 0;
    for (cHudItem& item : g_System.m_HudItems) item.m_bShown = 0;
    // One pass over the objects whatever their draw layers (DrawLayersStackInOrder has the eight).
    g_Stage.m_Layered = 0;

    // The hero at the top of the screen; the others on it.
    cCharaData heroData;
    heroData.m_nOperator = CHARA_BY_PLAYER;
    heroData.m_nGraphic = 1;
    Player.resize(1);
    cHero& hero = Player[0];
    hero.InitForStage(1, heroData, 320 + 100, 320, nullptr);
    hero.m_X = 320 + 100;
    hero.m_Y = 320 + hero.m_DrawOffY;
    hero.UpdateRect();
    px = hero.m_ScrLeft + 16;
    py = hero.m_ScrTop + 8;
    if (!has(kHero)) hero.m_Data.m_bTransparent = 1;

    // The probe's map cell: one block, behind the objects or in front of them.
    if (has(kBlockBehind)) {
      cBlockData block;
      block.m_nGraphic = 1;
      block.m_nCellX = static_cast<std::int16_t>((320 + px) / 32 - 10);
      block.m_nCellY = static_cast<std::int16_t>((320 + py) / 32 - 10);
      block.m_bFront = has(kBlockInFront) ? 1 : 0;
      g_Stage.m_PlacedBlocks.push_back(block);
    }
    ASSERT_TRUE(BuildMapGrid(g_Stage));

    if (has(kItem)) {
      cItemData itemData;
      itemData.m_nGraphicKind = GRAPHIC_ITEM;
      cItem& item = g_ItemList.Emplace();
      item.Init(2, itemData, 0);
      item.m_X = hero.m_X;
      item.m_Y = hero.m_Y;
      item.m_OnScreen = 1;
    }
    if (has(kCharacter)) {
      cCharaData data;
      data.m_nGraphic = kSecondSheetGraphic;
      cChara& chara = g_CharaList.Emplace();
      chara.Init(3, data, nullptr, hero.m_X, hero.m_Y, 0, nullptr);
      // Its drawing offsets are its own: its picture lands where the hero's does.
      chara.m_X = hero.m_X - hero.m_DrawOffX + chara.m_DrawOffX;
      chara.m_Y = hero.m_Y - hero.m_DrawOffY + chara.m_DrawOffY;
      chara.m_OnScreen = 1;
    }
    for (int layer : {0, 1}) {
      if (!has(layer != 0 ? kPictureInFront : kPictureBehind)) continue;
      DDSURFACEDATA& picture = g_PictureSurfaces.emplace_back();
      g_PictureSurfaceDefs.emplace_back();
      drawtest::MakeFilledSurface(picture, 32, 32, ColourOf(layer != 0 ? kPictureInFront : kPictureBehind), 1);
      cPicturePlayer player;
      player.Set(1, 320 + px - 16, 320 + py - 16, 32, 32, 0, layer, 100, 0, 0, 0, 0, 0);
      player.m_lpSurface = &picture;
      scene.m_Pictures.push_back(player);
    }
    if (has(kEffect)) scene.m_Effects.emplace_back(1, 320 + px - 16, 320 + py - 16, 32, 32, 0);
    if (has(kMessage)) {
      cMessageSetup icon;
      icon.kind = MESSAGE_FIXED_ICON;
      icon.posMode = 7;
      icon.fixedPos = 1;
      icon.offX = px - 8;
      icon.offY = py;  // the icon stands 7 dots above its place
      scene.m_Messages.push_back(std::make_shared<cMessage>(icon));
    }
  }

  // Graphic 15: the first row of the second character sheet.
  static constexpr int kSecondSheetGraphic = 15;
};

TEST_P(DrawOrderTest, EachPartCoversThePartsDrawnBeforeIt) {
  drawtest::cTestLayer layer(GetParam(), 640, 480);
  ASSERT_TRUE(layer.Started());
  MakeSurfaces();
  for (int parts = 1; parts <= kPartCount; ++parts) {
    int px = 0, py = 0;
    MakeStage(parts, px, py);
    ASSERT_LT(py, 20) << "the status bar must cover the probe";
    // A frame of play: the characters take their first pattern.
    m_Scene.Draw(1, 0, 0, 0);
    DDSURFACEDATA* target = &BackBuffer;
    DDMapBackBuffer(target);
    const int top = parts - 1;
    std::uint32_t expected = ColourOf(top == kBlockInFront ? kBlockBehind : top);
    if (top == kBackLayer || top == kFrontLayer) expected = PalNumToRGB(top == kBackLayer ? 60 : 120);
    EXPECT_EQ(drawtest::Rgb(drawtest::PixelAt(*target, px, py)), drawtest::Rgb(expected)) << kNames[top] << " on top";
    ReleasePictures();
    ReleaseMessageSurfaces();
    m_Scene.m_Messages.clear();
    m_Scene.m_Effects.clear();
    g_CharaList.Clear();
    g_ItemList.Clear();
    g_Stage.m_PlacedBlocks.clear();
  }
}

// A character whose death ends in the frame's drawing leaves its group list
// with the character list, before the range displays walk the groups.
TEST_P(DrawOrderTest, ACharacterWhoseDeathEndsInTheFrameLeavesItsGroup) {
  drawtest::cTestLayer layer(GetParam(), 640, 480);
  ASSERT_TRUE(layer.Started());
  MakeSurfaces();
  int px = 0, py = 0;
  MakeStage(kCharacter + 1, px, py);
  cChara& chara = *g_CharaList.Nth(0);
  chara.m_Data.m_Conds.push_back(cCond());
  chara.m_Data.m_Conds.back().m_nKind = COND_DISTANCE;
  chara.m_bDead = 1;  // without a chara effect its death is over at once
  m_Scene.AddToGroup(chara);
  m_Scene.Draw(1, 0, 0, 0);
  EXPECT_EQ(g_CharaList.Count(), 0);
  for (const auto& group : m_Scene.m_CharaGroups) EXPECT_TRUE(group.empty());
  g_ItemList.Clear();
}

INSTANTIATE_TEST_SUITE_P(Roads, DrawOrderTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         [](const testing::TestParamInfo<eRoad>& info) {
                           return std::string(info.param == eRoad::Direct3D ? "Direct3D" : "DirectDraw");
                         });

// ---- the range displays of distance conditions ----

class RangeDisplayTest : public worldtest::cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    for (int i = 0; i < 256; ++i)
      g_Palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i + 1), 9, 0};
    g_PaletteWork = g_Palette;
  }
  void TearDown() override {
    g_LaunchedByEditor.store(0);
    g_Palette = {};
    g_PaletteWork = {};
    cWorldFixture::TearDown();
  }

  // A 32 x 32 character at (300, 200) .. (331, 231), acting and facing right.
  static cChara MakeChara() {
    cChara chara;
    chara.m_ScrLeft = 300;
    chara.m_ScrRight = 331;
    chara.m_ScrTop = 200;
    chara.m_ScrBottom = 231;
    chara.m_GfxW = 32;
    chara.m_GfxH = 32;
    chara.m_Facing = 1;
    chara.m_bActing = 1;
    return chara;
  }

  // A distance condition shown in colour 20, 2 half blocks and 4 dots.
  static cCond MakeCond(int shape) {
    cCond cond;
    cond.m_nKind = COND_DISTANCE;
    cond.m_nShape = static_cast<std::uint8_t>(shape);
    cond.m_nValue = 2;
    cond.m_nRightIndex = 4;
    cond.m_nLeftKind = 1;
    cond.m_nRightObject = 20;
    return cond;
  }

  // The columns (across row `y`) or rows (down column `x`) that were drawn.
  static std::vector<int> DrawnAlongRow(int y) {
    std::vector<int> drawn;
    for (int x = 0; x < 640; ++x)
      if (drawtest::Rgb(drawtest::PixelAt(BackBuffer, x, y)) != 0) drawn.push_back(x);
    return drawn;
  }
  static std::vector<int> DrawnDownColumn(int x) {
    std::vector<int> drawn;
    for (int y = 0; y < 480; ++y)
      if (drawtest::Rgb(drawtest::PixelAt(BackBuffer, x, y)) != 0) drawn.push_back(y);
    return drawn;
  }
};

// Size 2 x 16 + 4 = 36 dots beyond the edges 300 and 331 (or 200 and 231).
TEST_F(RangeDisplayTest, LinesMarkTheEdgesWidenedOnTheShapesSides) {
  drawtest::cTestLayer layer(eRoad::DirectDraw, 640, 480);
  ASSERT_TRUE(layer.Started());
  struct sCase {
    int shape;
    int facing;
    std::vector<int> columns;  // along row 10
    std::vector<int> rows;     // down column 10
  } cases[] = {
      {0, 1, {264, 367}, {}}, {1, 1, {300, 367}, {}}, {1, 0, {264, 331}, {}},
      {2, 1, {264, 331}, {}}, {2, 0, {300, 367}, {}}, {3, 1, {}, {164, 267}},
      {4, 1, {}, {200, 267}}, {4, 0, {}, {164, 231}}, {5, 1, {}, {164, 231}},
      {7, 1, {}, {}},
  };
  for (const sCase& c : cases) {
    DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, 0);
    cChara chara = MakeChara();
    chara.m_Facing = c.facing;
    DrawRangeCondition(chara, &BackBuffer, MakeCond(c.shape), 0);
    EXPECT_EQ(c.columns, DrawnAlongRow(10)) << "shape " << c.shape << " facing " << c.facing;
    EXPECT_EQ(c.rows, DrawnDownColumn(10)) << "shape " << c.shape << " facing " << c.facing;
  }
}

TEST_F(RangeDisplayTest, TheCircleSurroundsTheCentreAndTheColourStepsWithThePhase) {
  drawtest::cTestLayer layer(eRoad::DirectDraw, 640, 480);
  ASSERT_TRUE(layer.Started());
  DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, 0);
  const cChara chara = MakeChara();
  DrawRangeCondition(chara, &BackBuffer, MakeCond(6), 17);  // phase 17: colour 20 + 2
  // Centre (316, 216), radius 36.
  EXPECT_EQ((std::vector<int>{280, 352}), DrawnAlongRow(216));
  EXPECT_EQ(drawtest::Rgb(PalNumToRGB(22)), drawtest::Rgb(drawtest::PixelAt(BackBuffer, 280, 216)));

  // A distance too large to reach the screen draws nothing (and takes no time).
  DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, 0);
  cCond huge = MakeCond(6);
  huge.m_nValue = 0x7FFFFFFF;
  DrawRangeCondition(chara, &BackBuffer, huge, 0);
  EXPECT_TRUE(DrawnAlongRow(216).empty());
}

TEST_F(RangeDisplayTest, OnlyConditionsThatAskToBeShownAreDrawn) {
  drawtest::cTestLayer layer(eRoad::DirectDraw, 640, 480);
  ASSERT_TRUE(layer.Started());
  struct sCase {
    const char* what;
    int display, onlyActing, acting, transparent, showTransparent, editor;
    bool drawn;
  } cases[] = {
      {"hidden", 0, 0, 1, 0, 0, 1, false},
      {"shown", 1, 0, 1, 0, 0, 0, true},
      {"for the editor, not started by it", 2, 0, 1, 0, 0, 0, false},
      {"for the editor, started by it", 2, 0, 1, 0, 0, 1, true},
      {"only while acting, resting", 1, 1, 0, 0, 0, 0, false},
      {"only while acting, acting", 1, 1, 1, 0, 0, 0, true},
      {"transparent", 1, 0, 1, 1, 0, 0, false},
      {"transparent, shown anyway", 1, 0, 1, 1, 1, 0, true},
  };
  for (const sCase& c : cases) {
    DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, 0);
    g_LaunchedByEditor.store(c.editor);
    cChara chara = MakeChara();
    chara.m_bActing = c.acting;
    chara.m_Data.m_bTransparent = static_cast<std::uint8_t>(c.transparent);
    cCond cond = MakeCond(0);
    cond.m_nLeftKind = static_cast<std::uint8_t>(c.display);
    cond.m_nRightKind = static_cast<std::uint8_t>(c.onlyActing);
    cond.m_nRightItem = static_cast<std::uint8_t>(c.showTransparent);
    DrawRangeCondition(chara, &BackBuffer, cond, 0);
    EXPECT_EQ(c.drawn, !DrawnAlongRow(10).empty()) << c.what;
  }
}

// The scene shows the ordinary characters' appearance and flow conditions
// until a latched list has held; never the hero's.
TEST_F(RangeDisplayTest, TheSceneShowsCharactersConditionsUntilTheirListIsLatched) {
  drawtest::cTestLayer layer(eRoad::DirectDraw, 640, 480);
  ASSERT_TRUE(layer.Started());
  cGameScene& scene = MakeScene();
  cChara& chara = g_CharaList.Emplace();
  chara = MakeChara();
  chara.m_OnScreen = 1;
  chara.m_Data.m_Conds.push_back(MakeCond(0));
  scene.AddToGroup(chara);
  Player.resize(1);
  cHero& hero = Player[0];
  hero.m_OnScreen = 1;
  hero.m_ScrLeft = 100;
  hero.m_ScrRight = 131;
  hero.m_Data.m_Conds.push_back(MakeCond(0));
  scene.AddToGroup(hero);

  const auto drawn = [&] {
    DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, 0);
    DrawRangeConditions(scene);
    return DrawnAlongRow(10);
  };
  EXPECT_EQ((std::vector<int>{264, 367}), drawn());
  chara.m_Data.m_bAppearLatch = 1;
  chara.m_CondLatched = 1;
  EXPECT_TRUE(drawn().empty());
  chara.m_Data.m_bAppearLatch = 0;
  chara.m_bDead = 1;
  EXPECT_TRUE(drawn().empty());
}

// The time-limit warning sounds on the frames the play step takes a second
// off the time (and only in frames drawn with the sound asked for).
class TimeWarningTest : public worldtest::cWorldFixture {};

TEST_F(TimeWarningTest, TheWarningSoundsOnTheFramesTheTimeTicks) {
  drawtest::cTestLayer layer(eRoad::DirectDraw, 640, 480);
  ASSERT_TRUE(layer.Started());
  for (int timeSound : {1, 0}) {
    cGameScene& scene = MakeScene();
    g_Stage.m_TimeLimitOn = 1;
    g_Stage.m_TimeWarning = 10;
    scene.m_nTimeLeft = 12;
    FrameSkip(0, 0);
    cSoundLog log;
    std::vector<int> ticks, warnings;
    for (int frame = 0; frame < 300; ++frame) {
      const int before = scene.m_nTimeLeft;
      scene.TickTimeLimit(-1);
      if (scene.m_nTimeLeft != before) ticks.push_back(frame);
      log.Clear();
      DrawTimeLeft(scene, timeSound);
      if (!log.Sounds().empty()) warnings.push_back(frame);
    }
    ASSERT_EQ(ticks.size(), 5u);
    // 12 -> 11 -> 10 at the first two ticks: the warning from the second on.
    EXPECT_EQ(warnings, timeSound != 0 ? std::vector<int>(ticks.begin() + 1, ticks.end()) : std::vector<int>{});
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, StageDrawTest,
                         testing::Values(sStageCase{eRoad::Direct3D, 0x6CA4DAA9u},
                                         sStageCase{eRoad::DirectDraw, 0x4A716382u}),
                         [](const testing::TestParamInfo<sStageCase>& info) {
                           return std::string(info.param.road == eRoad::Direct3D ? "Direct3D" : "DirectDraw");
                         });

}  // namespace
