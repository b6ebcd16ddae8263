// Character drawing on both roads: the database images a special-bitmap
// character and a sword draw from, facing either way; the HP gauge's trail;
// the hero's area marks; a right-facing cell through the chara effects; the
// zoom, lens and 8-bit blur of the chara effects; and the invincibility flash
// around the drawers that read the source cell.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "WorldTestSupport.h"
#include "data/Anime.h"
#include "data/BmpCharaExc.h"
#include "data/CharaEffect.h"
#include "data/Database.h"
#include "data/GraphicKind.h"
#include "data/SwordType.h"
#include "graphics/BlendTable.h"
#include "graphics/Blit.h"
#include "graphics/DrawLayerTestSupport.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "platform/BmpDecoder.h"
#include "world/Chara.h"
#include "world/CharaDraw.h"
#include "world/CharaEffectPlayer.h"
#include "world/Hero.h"
#include "world/StageGraphics.h"

namespace {

using drawtest::eRoad;

// The colour of every pixel of cell (column, row) of the test sheet: opaque,
// one per cell, never the transparent magenta.
std::uint32_t CellColour(int column, int row) {
  return 0xFF000000u | 0x400000u | static_cast<std::uint32_t>(column * 24 + 8) << 8 |
         static_cast<std::uint32_t>(row * 12 + 4);
}

std::uint32_t Shown(int x, int y) { return drawtest::Rgb(drawtest::PixelAt(BackBuffer, x, y)); }

class CharaDrawFixture : public worldtest::cWorldFixture {
 protected:
  void TearDown() override {
    ReleaseStageGraphics();
    for (DDSURFACEDATA& sd : g_SurfaceData) DDReleaseSurface(&sd);
    for (auto& t : g_CharaEffectTemplates) t.clear();
    g_Database = cDatabase();
    g_Palette = {};
    g_PaletteWork = {};
    g_FlashColors = {};
    g_BlendTable = {};
    cWorldFixture::TearDown();
  }

  // A sheet of solid cells (CellColour), on the running road.
  static void MakeCellSheet(int row, int width, int height) {
    DDSURFACEDATA& sd = g_SurfaceData[static_cast<std::size_t>(row)];
    ASSERT_TRUE(DDCreateSurface(&sd, width, height, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    plat::cPixelSurface& px = drawtest::PixelsOf(sd);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) px.SetPixel(x, y, CellColour(x / 32, y / 32));
  }

  static void MakeEmpty(int row, int width, int height) {
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[static_cast<std::size_t>(row)], width, height, 1, 0,
                                DTMEMORYTYPE_VIDEO_RT, 0, 0));
  }

  // The first character sheet, its mirror and their copies, and the work
  // surfaces the drawers bring cells to.
  void MakeSurfaces() {
    for (int row : {4, 5, 22, 23}) MakeCellSheet(row, 256, 480);
    MakeEmpty(SURF_WORK, 640, 480);
    MakeEmpty(SURF_WORK2, 640, 480);
    MakeEmpty(SURF_BIG_WORK_DD, 1024, 1024);
    LinkMirrorSurfaces();
    SelectDrawSurfaces();
  }

  // Chara effect 1 of `kind` whose value stays at `value` (start and end alike).
  static void MakeEffect(int kind, int value, int param4 = 0, int param5 = 0) {
    g_Database.m_CharaEffects.resize(2);
    cCharaEffect& e = g_Database.m_CharaEffects[1];
    e.m_nKind = kind;
    e.m_Params[0] = 10;
    e.m_Params[1] = value;
    e.m_Params[2] = value;
    e.m_Params[3] = param4;
    e.m_Params[4] = param5;
    BuildEffectTemplates();
  }

  // A character of the first sheet's cell (0, 1) with its graphic's top left
  // at screen (x, y), facing left.
  cChara& MakeChara(int x, int y, int scale = 1) {
    MakeScene(40, 30, 1, 320, 320);
    cCharaData data;
    data.m_nGraphic = 1;
    data.m_nScale = static_cast<uint8_t>(scale);
    cChara& chara = g_CharaList.Emplace();
    chara.Init(2, data, nullptr, 0, 0, 0, nullptr);
    chara.m_X = 320 + x + chara.m_DrawOffX;
    chara.m_Y = 320 + y + chara.m_DrawOffY;
    chara.m_OnScreen = 1;
    chara.UpdateRect();
    return chara;
  }

  void ClearScreen(std::uint32_t rgb) {
    DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, g_DrawLayer.nBpp == 8 ? rgb : (0xFF000000u | rgb));
  }
};

// ---- the database images ----

class DatabaseImagesTest : public CharaDrawFixture, public testing::WithParamInterface<eRoad> {
 protected:
  // The colour of pixel (x, y) of the image file: every pixel its own.
  static std::uint32_t FilePixel(int x, int y) {
    return 0x200000u | static_cast<std::uint32_t>(x * 3) << 8 | static_cast<std::uint32_t>(y * 5 + 2);
  }

  // bmp\Exc.bmp: two 32 x 32 cells side by side.
  void WriteImage() {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 64; ++x) pixels.push_back(FilePixel(x, y));
    std::filesystem::create_directories("bmp");
    const std::vector<std::uint8_t> bytes = plat::EncodeBmp24(64, 32, pixels);
    std::ofstream("bmp/Exc.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
};

// A special-bitmap character shows its cell as drawn facing left and turned
// over facing right, at its cell size and stretched; the sword's mirrored
// image is the image turned over too. Each of the four surfaces of an entry
// has pixels on both roads.
TEST_P(DatabaseImagesTest, EveryImageOfAnEntryHasPixelsAndTheMirroredOnesAreTurnedOver) {
  drawtest::cTestLayer layer(GetParam(), 640, 480);
  ASSERT_TRUE(layer.Started());
  EnterTempFolder();
  WriteImage();
  g_Database.m_BmpCharaExcs.resize(2);
  g_Database.m_BmpCharaExcs[1].m_strFile = "bmp\\Exc.bmp";
  g_Database.m_SwordTypes.resize(2);
  g_Database.m_SwordTypes[1].m_strImage = "bmp\\Exc.bmp";
  LoadSpecialBmps();
  LoadSwordImages();
  for (int which = 0; which < 4; ++which) {
    EXPECT_NE(nullptr, g_SpecialBmpImages.Get(1, which)) << "special bitmap surface " << which;
    EXPECT_NE(nullptr, g_SwordImages.Get(1, which)) << "sword surface " << which;
  }

  cChara& chara = MakeChara(0, 0);
  chara.m_Data.m_nGraphicKind = GRAPHIC_BMP_CHARA_EXC;
  for (int facing : {0, 1}) {
    SCOPED_TRACE(facing != 0 ? "facing right" : "facing left");
    chara.m_Facing = facing;
    const cGraphicSource s = SelectGraphicSource(GRAPHIC_USE_CHARA, GRAPHIC_BMP_CHARA_EXC, 1, 0, &chara, 0);
    ClearScreen(0);
    DrawSourceCell(chara, &BackBuffer, s, 100, 100, 32, 32);
    DrawSourceCell(chara, &BackBuffer, s, 200, 100, 64, 64);
    for (int x : {0, 5, 31}) {
      const int fileX = facing != 0 ? 31 - x : x;
      EXPECT_EQ(FilePixel(fileX, 7), Shown(100 + x, 107)) << "cell size, column " << x;
      EXPECT_EQ(FilePixel(fileX, 7), Shown(200 + 2 * x, 114)) << "stretched, column " << x;
    }
  }

  ClearScreen(0);
  DDBlt(&BackBuffer, 300, 300, 32, 32, g_SwordImages.Get(1, IsDirect3D() ? 1 : 3), 0, 0, 1);
  EXPECT_EQ(FilePixel(31, 3), Shown(300, 303));
  EXPECT_EQ(FilePixel(0, 3), Shown(331, 303));
}

// A right-facing special-bitmap character shows its cell turned over through
// every chara effect whose value leaves the cell as it is. The blur of
// radius 1 shows each pixel as the mean of its 2 x 2 cells up and to the
// left, in the turned-over cell.
TEST_P(DatabaseImagesTest, ARightFacingCellIsTurnedOverThroughTheCharaEffects) {
  drawtest::cTestLayer layer(GetParam(), 640, 480);
  ASSERT_TRUE(layer.Started());
  EnterTempFolder();
  WriteImage();
  MakeEmpty(SURF_WORK, 640, 480);
  MakeEmpty(SURF_WORK2, 640, 480);
  MakeEmpty(SURF_BIG_WORK_DD, 1024, 1024);
  LinkMirrorSurfaces();
  SelectDrawSurfaces();
  g_Database.m_BmpCharaExcs.resize(2);
  g_Database.m_BmpCharaExcs[1].m_strFile = "bmp\\Exc.bmp";
  LoadSpecialBmps();
  // Pixel (x, y) of the cell turned over.
  const auto turned = [](int x, int y) { return FilePixel(31 - x, y); };
  const auto meanOfFour = [&turned](int x, int y) {
    std::uint32_t mean = 0;
    for (int shift : {0, 8, 16}) {
      std::uint32_t sum = 0;
      for (const auto& [cx, cy] : {std::pair{x, y}, {x - 1, y}, {x, y - 1}, {x - 1, y - 1}})
        sum += turned(cx, cy) >> shift & 0xFF;
      mean |= sum / 4 << shift;
    }
    return mean;
  };
  struct sCase {
    const char* name;
    int kind, value, param4, param5;
  } cases[] = {{"plain", 0, 0, 0, 0},       {"burst", 1, 0, 0, 0},     {"split rows", 2, 0, 4, 0},
               {"split columns", 3, 0, 4, 0}, {"wave rows", 4, 0, 2, 2}, {"wave columns", 5, 0, 2, 2},
               {"blink", 6, 10, 0, 0},      {"rotate A", 7, 0, 0, 0},  {"rotate B", 8, 0, 0, 0},
               {"depth", 9, 0, 0, 0},       {"circle", 10, 32, 1, 0},  {"zoom", 11, 32, 0, 0},
               {"mosaic", 15, 1, 0, 0},     {"blur", 16, 1, 0, 0}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    MakeEffect(c.kind, c.value, c.param4, c.param5);
    cChara& chara = MakeChara(100, 100);
    chara.m_Data.m_nGraphicKind = GRAPHIC_BMP_CHARA_EXC;
    chara.m_Facing = 1;
    if (c.kind != 0) chara.m_CharaEffect.Start(1, 0, 0);
    ClearScreen(0);
    DrawChara(chara, &BackBuffer, 1);
    for (const auto& [x, y] : {std::pair{2, 10}, {9, 20}, {16, 16}, {23, 5}, {29, 28}}) {
      const std::uint32_t expected = c.kind == 16 ? meanOfFour(x, y) : turned(x, y);
      EXPECT_EQ(expected, Shown(100 + x, 100 + y)) << "cell pixel (" << x << ", " << y << ")";
    }
    g_CharaList.Clear();
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, DatabaseImagesTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

// ---- the HP gauge ----

class GaugeTest : public CharaDrawFixture {
 protected:
  // The accessory sheet's gauge strips (more than 208 rows: strips of 2 from
  // row 208): background, bar, low bar, loss trail, gain trail.
  static constexpr std::uint32_t kStrip[5] = {0x101010, 0x00C000, 0xC0C000, 0xC00000, 0x0000C0};

  void MakeAccessory() {
    DDSURFACEDATA& sd = g_SurfaceData[SURF_ACCESSORY];
    ASSERT_TRUE(DDCreateSurface(&sd, 128, 224, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    plat::cPixelSurface& px = drawtest::PixelsOf(sd);
    for (int y = 0; y < 224; ++y)
      for (int x = 0; x < 128; ++x)
        px.SetPixel(x, y, 0xFF000000u | (y >= 208 && y < 218 ? kStrip[(y - 208) / 2] : 0x808080u));
  }

  // The columns of the gauge row that show `rgb`.
  static int Count(int y, std::uint32_t rgb) {
    int n = 0;
    for (int x = 0; x < 640; ++x) n += Shown(x, y) == rgb ? 1 : 0;
    return n;
  }
};

// Hit points 10: a loss of 2 leaves the bar at 40 dots with a trail of -10,
// a gain of 2 (from 6) a bar of 40 with a trail of 10. Either trail shrinks
// by a sixtieth of itself each frame and is gone once the timer is below 60.
TEST_F(GaugeTest, TheTrailShrinksToNothingWhileTheTimerComesDownTo60) {
  drawtest::cTestLayer layer(eRoad::Direct3D, 640, 480);
  ASSERT_TRUE(layer.Started());
  MakeAccessory();
  struct sCase {
    int hpBefore;
    int amount;
    double trail;
    std::uint32_t strip;
  } cases[] = {{10, -2, -10.0, kStrip[3]}, {6, 2, 10.0, kStrip[4]}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.amount);
    cChara& chara = MakeChara(300, 200);
    chara.m_Data.m_nMhp = 10;
    chara.m_Hp = c.hpBefore + c.amount;
    chara.ShowHpGauge(c.amount);
    const int y = chara.m_ScrTop - 3;
    for (int frame = 1; frame <= 61; ++frame) {
      ClearScreen(0x808080);
      DrawCharaGauge(chara, &BackBuffer, 0);
      const double left = frame < 60 ? c.trail - c.trail * frame / 60.0 : 0.0;
      ASSERT_NEAR(left, chara.m_HpGauge.m_Trail, 1e-9) << "after frame " << frame;
      if (frame == 1 || frame == 31) {
        // Drawn before it shrank: 10 dots on the first frame, 5 on the 31st;
        // a gain covers the end of the 40-dot bar, a loss follows it.
        const int trail = frame == 1 ? 10 : 5;
        EXPECT_EQ(trail, Count(y, c.strip)) << "frame " << frame;
        EXPECT_EQ(c.amount < 0 ? 40 : 40 - trail, Count(y, kStrip[1])) << "frame " << frame;
      }
    }
    g_CharaList.Clear();
  }
}

// ---- the hero's area marks ----

// The collision box 16 x 24 sits at the hit offsets (8, 8) of the 32-dot
// graphic; the attack rectangle 20 x 20, the shot rectangle 12 x 6 and the
// pickup rectangle 28 x 10 are centred in the graphic. Each outline's corners
// lie on its rectangle, in its own colour.
TEST_F(CharaDrawFixture, EachAreaMarkIsDrawnOnItsRectangle) {
  drawtest::cTestLayer layer(eRoad::DirectDraw, 640, 480);
  ASSERT_TRUE(layer.Started());
  for (int i = 0; i < 256; ++i)
    g_Palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), 1, 2, 0};
  g_PaletteWork = g_Palette;
  g_Stage.m_HeroBlockBox = {16, 24};
  g_Stage.m_HeroBlockBoxBottom = 1;
  g_Stage.m_HeroCharaBox = {20, 20};
  g_Stage.m_HeroCharaBoxBottom = 0;
  g_Stage.m_HeroShotBox = {12, 6};
  g_Stage.m_HeroItemBox = {28, 10};
  g_Stage.m_BoxShowBlock = g_Stage.m_BoxShowChara = g_Stage.m_BoxShowShot = g_Stage.m_BoxShowItem = 1;
  g_Stage.m_BoxColourBlock = 0;
  g_Stage.m_BoxColourChara = 1;
  g_Stage.m_BoxColourShot = 2;
  g_Stage.m_BoxColourItem = 3;
  cCharaData data;
  data.m_nOperator = CHARA_BY_PLAYER;
  data.m_nGraphicKind = 99;  // draws nothing: only the marks show
  cHero hero;
  hero.InitForStage(1, data, 0, 0, nullptr);
  hero.m_Data.m_bTransparent = 1;
  hero.m_ScrLeft = 200;
  hero.m_ScrTop = 100;
  DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, 0);
  DrawHero(hero, &BackBuffer, 1);

  struct sRect {
    const char* name;
    int x, y, w, h;
    int colour;
  } rects[] = {
      {"collision box", 208, 108, 16, 24, 208},
      {"attack", 206, 106, 20, 20, 212},
      {"shot", 210, 113, 12, 6, 216},
      {"pickup", 202, 111, 28, 10, 220},
  };
  for (const sRect& r : rects) {
    SCOPED_TRACE(r.name);
    for (const auto& [x, y] : {std::pair{r.x, r.y}, {r.x + r.w - 1, r.y + r.h - 1}})
      EXPECT_EQ(PalNumToRGB(static_cast<std::uint32_t>(r.colour)), drawtest::Rgb(drawtest::PixelAt(BackBuffer, x, y)))
          << "corner (" << x << ", " << y << ")";
  }
}

// ---- chara effects ----

class CharaEffectDrawTest : public CharaDrawFixture, public testing::WithParamInterface<eRoad> {};

// The leftmost and rightmost columns of row `y` that show a cell colour of
// the sheet (anything but the black background).
std::pair<int, int> DrawnSpan(int y) {
  int left = -1, right = -1;
  for (int x = 0; x < 640; ++x) {
    if (Shown(x, y) == 0) continue;
    if (left < 0) left = x;
    right = x;
  }
  return {left, right};
}

// "拡大" grows the cell by value - 32 dots, centred; a character of scale 2
// grows by (value - 32) x 2, halved.
TEST_P(CharaEffectDrawTest, ZoomGrowsByTheWidthOverThirtyTwoTimesHalfTheScale) {
  drawtest::cTestLayer layer(GetParam(), 640, 480);
  ASSERT_TRUE(layer.Started());
  MakeSurfaces();
  struct sCase {
    int scale;
    int value;
    int left;   // of the drawn span, for a graphic at x 200
    int width;
  } cases[] = {{1, 48, 192, 48}, {1, 20, 206, 20}, {2, 48, 192, 80}, {2, 64, 184, 96}, {3, 40, 194, 108}};
  for (const sCase& c : cases) {
    SCOPED_TRACE("scale " + std::to_string(c.scale) + ", value " + std::to_string(c.value));
    MakeEffect(11, c.value);
    cChara& chara = MakeChara(200, 200, c.scale);
    ASSERT_EQ(32 * c.scale, chara.m_GfxW);
    chara.m_CharaEffect.Start(1, 0, 0);
    ClearScreen(0);
    DrawChara(chara, &BackBuffer, 1);
    const auto [left, right] = DrawnSpan(200 + chara.m_GfxH / 2);
    EXPECT_EQ(c.left, left);
    EXPECT_EQ(c.width, right - left + 1);
    g_CharaList.Clear();
  }
}

// "レンズ" with its centre moved by the entry's offsets: the lens reaches
// every corner of the cell and reads nothing of the sheet's other cells.
TEST_P(CharaEffectDrawTest, LensShowsTheWholeCellAndNothingOfItsNeighbours) {
  drawtest::cTestLayer layer(GetParam(), 640, 480);
  ASSERT_TRUE(layer.Started());
  MakeSurfaces();
  // Palette colour 0, which clears the work surface, is the transparent colour.
  g_Palette[0] = {drawtest::kKeyRed, drawtest::kKeyGreen, drawtest::kKeyBlue, 0};
  constexpr std::uint32_t kBackground = 0x102030;
  const std::uint32_t own = drawtest::Rgb(CellColour(0, 1));
  struct sCase {
    int dx, dy, depth;
  } cases[] = {{0, 0, 100}, {0, 0, 5}, {8, 0, 40}, {0, -8, 60}, {-16, 16, 100}, {16, -16, 100}};
  for (const sCase& c : cases) {
    SCOPED_TRACE("offsets " + std::to_string(c.dx) + ", " + std::to_string(c.dy));
    MakeEffect(12, c.depth, c.dx, c.dy);
    cChara& chara = MakeChara(200, 200);
    chara.m_CharaEffect.Start(1, 0, 0);
    ClearScreen(kBackground);
    DrawChara(chara, &BackBuffer, 1);
    for (int y = 150; y < 280; ++y) {
      for (int x = 150; x < 280; ++x) {
        const std::uint32_t shown = Shown(x, y);
        ASSERT_TRUE(shown == kBackground || shown == own) << "a neighbour's colour at (" << x << ", " << y << ")";
      }
    }
    for (const auto& [x, y] : {std::pair{201, 201}, {230, 201}, {201, 230}, {230, 230}, {216, 216}})
      EXPECT_EQ(own, Shown(x, y)) << "(" << x << ", " << y << ")";
    g_CharaList.Clear();
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, CharaEffectDrawTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

// At 8 bits the blur stands in as a tint toward palette colour 31: each level
// looks the pixel up once in the blend table, whose entry here is the tint
// colour itself.
TEST_F(CharaDrawFixture, TheEightBitBlurTintsTowardColourThirtyOne) {
  drawtest::cTestLayer layer(eRoad::DirectDraw, 640, 480, true, 8);
  ASSERT_TRUE(layer.Started());
  for (int row : {4, 5, 22, 23}) {
    DDSURFACEDATA& sd = g_SurfaceData[static_cast<std::size_t>(row)];
    ASSERT_TRUE(DDCreateSurface(&sd, 256, 480, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    drawtest::FillAll(sd, 5);
  }
  LinkMirrorSurfaces();
  SelectDrawSurfaces();
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) g_BlendTable[static_cast<std::size_t>(a * 256 + b)] = static_cast<std::uint8_t>(b);
  MakeEffect(16, 1);
  cChara& chara = MakeChara(100, 100);
  chara.m_CharaEffect.Start(1, 0, 0);
  ClearScreen(0);
  DrawChara(chara, &BackBuffer, 1);
  EXPECT_EQ(31u, drawtest::PixelAt(BackBuffer, 116, 116));
}

// ---- the invincibility flash ----

class FlashTest : public CharaDrawFixture, public testing::WithParamInterface<int> {};

// An invincible character with a flash colour (adding grey) is drawn
// brighter through every drawer that reads its source cell with the layer's
// blits, facing either way; the blend is back to white and modulate
// afterwards.
TEST_P(FlashTest, TheDrawerDrawsTheCellWithTheFlash) {
  const int kind = GetParam();
  drawtest::cTestLayer layer(eRoad::Direct3D, 640, 480);
  ASSERT_TRUE(layer.Started());
  MakeSurfaces();
  g_System.m_bFlashSwitch = 1;
  // The same cell whether invincible or not.
  for (cAnimeSet& set : g_Database.m_AnimeSets) set.m_nInvincibleRow = 0;
  g_FlashColors[1] = {0xFF404040u, 7};
  // Values that leave the cell's centre in place: no burst, split, wave or
  // turn, a whole circle, no zoom, a weak lens.
  const int value = kind == 10 ? 32 : kind == 11 ? 32 : kind == 12 ? 100 : 0;
  MakeEffect(kind, value, kind == 10 ? 1 : 2, 2);
  for (int facing : {0, 1}) {
    SCOPED_TRACE(facing != 0 ? "facing right" : "facing left");
    std::uint32_t shown[2] = {};
    for (int invincible : {0, 1}) {
      cChara& chara = MakeChara(200, 200);
      chara.m_Facing = facing;
      chara.m_Data.m_nFlashColour = 1;
      chara.m_nNoHitTimer = invincible != 0 ? 30 : 0;
      chara.m_CharaEffect.Start(1, 0, 0);
      ClearScreen(0);
      DrawChara(chara, &BackBuffer, 1);
      shown[invincible] = Shown(216, 216);
      EXPECT_EQ(0xFFFFFFFFu, lpDTCon->dwBlendColor);
      EXPECT_EQ(4u, lpDTCon->dwColorOp);
      g_CharaList.Clear();
    }
    const std::uint32_t plain = drawtest::Rgb(CellColour(0, 1));
    EXPECT_EQ(plain, shown[0]);
    EXPECT_EQ(plain + 0x404040u, shown[1]);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, FlashTest, testing::Values(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12),
                         [](const testing::TestParamInfo<int>& info) { return "Kind" + std::to_string(info.param); });

}  // namespace
