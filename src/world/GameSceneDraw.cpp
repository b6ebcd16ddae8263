// cGameScene::Draw: one frame of the stage on the back buffer, in this order:
// background layers, pictures and blocks behind, the objects layer by layer
// (hero, items, characters, shots), blocks and layers in front, the hero's
// light, pictures in front, effects, messages, the screen effect, the status
// bar, the time, the hint line, then the palette animation and the screen
// colour. Drawing also advances what the player sees move (animations,
// effects, countdowns) unless the frame is frozen.

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "core/FrameTimer.h"
#include "core/ProcessFlags.h"
#include "core/SoundRequest.h"
#include "core/StringUtil.h"
#include "data/Condition.h"
#include "data/Flow.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/DrawNumber.h"
#include "graphics/Font.h"
#include "graphics/Palette.h"
#include "graphics/SpriteBatch.h"
#include "graphics/SurfaceFill.h"
#include "world/Chara.h"
#include "world/CharaDraw.h"
#include "world/Conditions.h"
#include "world/Contact.h"
#include "world/Damage.h"
#include "world/EffectPlayer.h"
#include "world/FlowState.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/MapGrid.h"
#include "world/SceneDraw.h"
#include "world/Shot.h"
#include "world/StageGraphics.h"

namespace {

inline constexpr int kInfiniteLivesShown = 999999;

int CameraX(const cGameScene& scene) { return static_cast<int>(scene.m_ScrollX.m_Position); }
int CameraY(const cGameScene& scene) { return static_cast<int>(scene.m_ScrollY.m_Position); }

// Wraps v into 0 .. size - 1 (size above 0).
int Wrap(int v, int size) {
  const int r = v % size;
  return r < 0 ? r + size : r;
}

double WrapReal(double v, double size) {
  if (size <= 0.0) return v;
  double r = std::fmod(v, size);
  if (r < 0.0) r += size;
  return r;
}

DDSURFACEDATA* BackgroundSurface(int layer) { return TableSurface(SURF_BACKGROUND_FIRST + layer); }

int LayerCount() { return std::min<int>(static_cast<int>(g_Stage.m_BgLayers.size()), 8); }

}  // namespace

void ScrollBackgroundLayers() {
  const int count = LayerCount();
  for (int i = 0; i < count; ++i) {
    cBgLayer& layer = g_Stage.m_BgLayers[i];
    const DDSURFACEDATA* image = BackgroundSurface(i);
    if (layer.m_bAutoX != 0) layer.m_dOffsetX = WrapReal(layer.m_dOffsetX - layer.m_dFactorX, image->nWidth);
    if (layer.m_bAutoY != 0) layer.m_dOffsetY = WrapReal(layer.m_dOffsetY - layer.m_dFactorY, image->nHeight);
  }
}

bool DrawBackgroundLayers(const cGameScene& scene, int front) {
  bool drew = false;
  bool first = true;
  const int count = LayerCount();
  for (int i = 0; i < count; ++i) {
    const cBgLayer& layer = g_Stage.m_BgLayers[i];
    if (layer.m_bShown == 0 || (layer.m_bFront != 0 ? 1 : 0) != front) continue;
    if (layer.m_bPlainColour != 0) {
      DDFillRectPal(&BackBuffer, 0, 0, 640, 480, static_cast<uint32_t>(layer.m_nColour));
      drew = true;
      first = false;
      continue;
    }
    DDSURFACEDATA* image = BackgroundSurface(i);
    if (!image->HasSurface() || image->nWidth <= 0 || image->nHeight <= 0) continue;
    const double camX = scene.m_ScrollX.m_Position, camY = scene.m_ScrollY.m_Position;
    const int ox = layer.m_bAutoX != 0 ? static_cast<int>(camX + layer.m_dOffsetX - 320)
                                       : static_cast<int>((std::round(camX) - 320) * layer.m_dFactorX);
    const int oy = layer.m_bAutoY != 0 ? static_cast<int>(camY + layer.m_dOffsetY - 320)
                                       : static_cast<int>((std::round(camY) - 320) * layer.m_dFactorY);
    const int startX = -Wrap(ox, image->nWidth), startY = -Wrap(oy, image->nHeight);
    const uint32_t key = front == 0 && first ? 0 : 1;
    for (int y = startY; y < 480; y += image->nHeight)
      for (int x = startX; x < 640; x += image->nWidth)
        DDBlt(&BackBuffer, x, y, image->nWidth, image->nHeight, image, 0, 0, key);
    drew = true;
    first = false;
  }
  if (front == 0 && !drew) DDFillRectPal(&BackBuffer, 0, 0, 640, 480, 16);
  return drew;
}

void DrawBlocks(const cGameScene& scene, int front) {
  if (g_MapGrid.empty()) return;
  const int camX = CameraX(scene), camY = CameraY(scene);
  const int rowBits = scene.m_ScrollX.m_RowBits;
  const int firstColumn = camX >> 5, firstRow = camY >> 5;
  const int shiftX = Wrap(camX, 32), shiftY = Wrap(camY, 32);
  const int grid = static_cast<int>(g_MapGrid.size());
  DDBeginSpriteBatch(1);
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 21; ++column) {
      const long index = static_cast<long>(firstColumn + column) + (static_cast<long>(firstRow + row) << rowBits);
      if (firstColumn + column < 0 || firstRow + row < 0 || index < 0 || index >= grid) continue;
      cMapCell& cell = g_MapGrid[static_cast<int>(index)];
      if (cell.m_nGraphic == 0 || (cell.m_bFront != 0 ? 1 : 0) != front || cell.m_bHidden != 0) continue;
      if (!CellConditionsHold(cell)) continue;
      DrawCell(cell, &BackBuffer, column * 32 - shiftX, row * 32 - shiftY);
    }
  }
  DDFlushSpriteBatch();
}

void DrawPictures(cGameScene& scene, int layer, int frozen) {
  for (auto it = scene.m_Pictures.begin(); it != scene.m_Pictures.end();) {
    if (it->m_nLayer != layer) {
      ++it;
      continue;
    }
    if (it->Draw(&BackBuffer, it->m_lpSurface, frozen) != 0) {
      if (it->m_lpSurface != nullptr) DDEraseSurfaceList(g_PictureSurfaces, g_PictureSurfaceDefs, it->m_lpSurface);
      it = scene.m_Pictures.erase(it);
    } else {
      ++it;
    }
  }
}

void DrawEffects(cGameScene& scene, int frozen) {
  for (auto it = scene.m_Effects.begin(); it != scene.m_Effects.end();)
    it = it->Draw(&BackBuffer, frozen) != 0 ? scene.m_Effects.erase(it) : std::next(it);
}

void DrawMessages(cGameScene& scene, int frozen) {
  for (auto it = scene.m_Messages.begin(); it != scene.m_Messages.end();)
    it = (*it)->Update(&BackBuffer, frozen) != 0 ? scene.m_Messages.erase(it) : std::next(it);
}

void DrawRangeConditions(cGameScene& scene) {
  if (!IsPaletteMode()) scene.m_Draw.m_nRangePhase = (scene.m_Draw.m_nRangePhase + 1) & 31;
  const int phase = scene.m_Draw.m_nRangePhase;
  // The character list holds the ordinary characters of the group lists
  // (which also name the heroes), and only living ones: the drawing removes
  // a finished character from both before this runs.
  for (const cChara& chara : g_CharaList) {
    if (chara.m_bDead != 0 || chara.m_OnScreen == 0) continue;
    const bool appearanceDone = chara.m_Data.m_bAppearLatch != 0 && chara.m_CondLatched != 0;
    if (!appearanceDone) {
      for (const cCond& cond : chara.m_Data.m_Conds)
        if (cond.m_nKind == COND_DISTANCE) DrawRangeCondition(chara, &BackBuffer, cond, phase);
    }
    for (const cFlowState& state : chara.m_FlowStates) {
      if (state.m_pFlow == nullptr || (state.m_pFlow->m_bCondLatch != 0 && state.m_CondLatched != 0)) continue;
      for (const cCond& cond : state.m_pFlow->m_Conds)
        if (cond.m_nKind == COND_DISTANCE) DrawRangeCondition(chara, &BackBuffer, cond, phase);
    }
  }
}

// 1 when the character may be removed (its death sequence is over).
int DrawCharaInScene(cChara& chara, int frozen) {
  if (chara.m_bDead != 0) {
    chara.UpdateRect();
    return DrawDying(chara, &BackBuffer, frozen);
  }
  if (chara.m_OnScreen == 0) {
    if (chara.m_bActing != 0) {
      chara.UpdateRect();
      PickCurrentAnime(chara, frozen);
      AdvanceCharaEffect(chara, frozen);
    }
    return 0;
  }
  chara.UpdateRect();
  if (chara.m_Data.m_bTransparent != 0) {
    PickCurrentAnime(chara, frozen);
    AdvanceCharaEffect(chara, frozen);
  } else {
    DrawChara(chara, &BackBuffer, frozen);
  }
  DrawHpGauge(chara, &BackBuffer);
  DrawSpGauge(chara, &BackBuffer);
  if (chara.m_Data.m_bTransparent == 0) DrawItemIcon(chara, &BackBuffer);
  return 0;
}

namespace {

// The item message: an icon above the hero, counted down in frames.
constexpr int kItemMessageAboveHero = 4;
constexpr int kItemMessageTimed = 2;
constexpr int kItemMessageFrames = 30;

// A label is 16 dots a character, a double-byte character counting once.
int HudLabelWidth(const cHudItem& item) { return 16 * CountChars(item.m_strLabel.c_str()); }

int HudItemWidth(int index, const cHudItem& item) {
  int width = item.m_bIcon != 0 ? 16 : HudLabelWidth(item);
  width += index == 2 || index == 3 ? 50 : 16 * item.m_nValueCells;
  return width;
}

void DrawHudNumber(int x, const cHudItem& item, int value, bool infinite) {
  if (item.m_bIcon != 0) {
    if (infinite)
      FontPrintf(g_Font[1], &BackBuffer, x + 16, 3, "-");
    else
      FontPrintf(g_Font[1], &BackBuffer, x + 16, 3, "%d", value);
  } else if (infinite) {
    FontPrintf(g_Font[1], &BackBuffer, x, 3, "%s-", item.m_strLabel.c_str());
  } else {
    FontPrintf(g_Font[1], &BackBuffer, x, 3, "%s%d", item.m_strLabel.c_str(), value);
  }
}

void DrawHudGauge(int x, int index, const cHudItem& item, int value, int maximum) {
  DDSURFACEDATA* accessory = TableSurface(SURF_ACCESSORY);
  int gx = x;
  if (item.m_bIcon != 0) {
    DDBlt(&BackBuffer, x, 3, 16, 16, accessory, index == 2 ? 32 : 48, 32, 1);
    gx += 16;
  } else {
    FontPrintf(g_Font[1], &BackBuffer, x, 3, "%s", item.m_strLabel.c_str());
    gx += HudLabelWidth(item);
  }
  DDBlt(&BackBuffer, gx, 3, 50, 16, accessory, index == 2 ? 0 : 64, 128, 1);
  // A maximum of 0 (or less) shows an empty bar rather than dividing by it.
  const int64_t bar = maximum > 0 ? std::clamp<int64_t>(int64_t{value} * 50 / maximum, 0, 50) : 0;
  const int row = IsGaugeLow(item, value, maximum) != 0 ? 160 : 144;
  if (bar > 0) DDBlt(&BackBuffer, gx, 3, static_cast<int>(bar), 16, accessory, index == 2 ? 0 : 64, row, 1);
  if (item.m_bShowValue != 0) FontPrintf(g_Font[0], &BackBuffer, gx, 6, "%d", value);
}

}  // namespace

void DrawHud() {
  if (g_Stage.m_ShowHud == 0) return;
  const cHero* hero = StageHero();
  int widths[5] = {};
  int sum = 0, enabled = 0;
  for (int i = 0; i < 5; ++i) {
    const cHudItem& item = g_System.m_HudItems[i];
    if (item.m_bShown == 0) continue;
    widths[i] = HudItemWidth(i, item);
    sum += widths[i];
    ++enabled;
  }
  const int gap = (638 - sum) / (enabled + 1);
  DDBlt(&BackBuffer, 0, 0, 640, 20, TableSurface(SURF_STATUS_WINDOW), 0, 0, 1);
  int x = gap;
  for (int i = 0; i < 5; ++i) {
    const cHudItem& item = g_System.m_HudItems[i];
    if (item.m_bShown == 0) continue;
    switch (i) {
      case 0:
      case 1:
        if (item.m_bIcon != 0) DDBlt(&BackBuffer, x, 3, 16, 16, TableSurface(SURF_ACCESSORY), i == 0 ? 0 : 16, 32, 1);
        DrawHudNumber(x, item, i == 0 ? g_Progress.m_nScore : g_Progress.m_nStageScore, false);
        break;
      case 2:
        DrawHudGauge(x, i, item, hero != nullptr ? hero->m_Hp : 0, hero != nullptr ? hero->m_Data.m_nMhp : 0);
        break;
      case 3:
        DrawHudGauge(x, i, item, hero != nullptr ? hero->m_Sp : 0, hero != nullptr ? hero->m_Data.m_nMsp : 0);
        break;
      default:
        if (item.m_bIcon != 0) DDBlt(&BackBuffer, x, 3, 16, 16, TableSurface(SURF_ACCESSORY), 64, 32, 1);
        DrawHudNumber(x, item, g_Progress.m_nLives, g_Progress.m_nLives == kInfiniteLivesShown);
        break;
    }
    x += widths[i] + gap;
  }
}

void DrawTimeLeft(const cGameScene& scene, int timeSound) {
  if (scene.m_bNoTimeLimit != 0 || g_Stage.m_TimeLimitOn == 0) return;
  DDDrawNumber(&BackBuffer, 272, 24, 32, 32, TableSurface(SURF_WORD), 0, 160, 1, scene.m_nTimeLeft, 3, 0);
  // The warning sounds on the frame the play step took a second off the time.
  if (timeSound != 0 && scene.m_nTimeLeft > 0 && scene.m_nTimeLeft <= g_Stage.m_TimeWarning && FrameSkip(2, 0))
    PlaySystemSound(13);
}

void DrawHintText(const std::string& text) {
  g_Font[1].Draw(&BackBuffer, 320 - CountChars(text.c_str()) * 8, 456, text);
}

void DrawHintLine() {
  const int message = g_TestPlay != 0 ? 27 : (g_LaunchedByEditor != 0 ? 26 : -1);
  if (message < 0 || message >= static_cast<int>(g_System.m_Messages.size())) return;
  DrawHintText(g_System.m_Messages[message]);
}

void DrawPlayer(cGameScene& scene, int frozen) {
  cHero* hero = StageHero();
  if (hero == nullptr) return;
  hero->UpdateScreenRect();
  if (hero->m_bDead == 0) {
    DrawHero(*hero, &BackBuffer, frozen);
    DrawHpGauge(*hero, &BackBuffer);
    DrawSpGauge(*hero, &BackBuffer);
    return;
  }
  if (DrawDying(*hero, &BackBuffer, frozen) != 0) HeroDeathEnded(scene);
}

void DrawShotsOfLayer(int layer, bool all, int frozen) {
  DDBeginSpriteBatch(1);
  g_ShotList.m_Shots.ForEach([&](cShot& shot) {
    if (shot.m_OnScreen == 0 || !(all || shot.m_EdShot.m_z == layer)) return;
    DrawShot(shot, &BackBuffer, frozen);
  });
  DDFlushSpriteBatch();
}

void RemoveFinishedChara(cGameScene& scene, cChara& chara) { scene.RemoveChara(chara); }

namespace {

// The hit effects of damage: made here, where the effects are drawn.
void AddHitEffect(int effect, const cHitRect& victim, const cHitRect& attacker, int scale) {
  if (g_GameScene == nullptr) return;
  const cEffectRect a{static_cast<int32_t>(victim.m_Left), static_cast<int32_t>(victim.m_Top),
                      static_cast<int32_t>(victim.m_Right), static_cast<int32_t>(victim.m_Bottom)};
  const cEffectRect b{static_cast<int32_t>(attacker.m_Left), static_cast<int32_t>(attacker.m_Top),
                      static_cast<int32_t>(attacker.m_Right), static_cast<int32_t>(attacker.m_Bottom)};
  g_GameScene->m_Effects.emplace_back(effect, a, b, scale);
}

// The picked-up item's icon rising above the hero for 30 frames; it has no
// window, so it takes no surface.
void ShowItemMessage(cHero& hero, const cItem& item) {
  if (g_GameScene == nullptr) return;
  cMessageSetup setup;
  setup.kind = MESSAGE_KIND_ICON;
  setup.iconA = item.m_Data.m_nGraphicKind;
  setup.iconB = item.m_Graphic;
  setup.iconC = item.m_Data.m_nGraphicRow;
  setup.posMode = kItemMessageAboveHero;
  setup.fixedPos = 1;
  setup.waitMode = kItemMessageTimed;
  setup.countdown = kItemMessageFrames;
  setup.followKey = hero.m_Key;
  setup.noSurface = 1;
  g_GameScene->m_Messages.push_back(std::make_shared<cMessage>(setup));
}

}  // namespace

void InstallHitEffectMaker() { SetHitEffectMaker(AddHitEffect); }

void InstallItemMessageMaker() { SetItemMessageMaker(ShowItemMessage); }

void cGameScene::Draw(int whole, int frozen, int timeSound, int hint) {
  if (ShotSheetsLost()) BuildShotSheets();
  if (LightSurfacesLost()) {
    const cHero* hero = StageHero();
    if (hero != nullptr && hero->m_Data.m_nLightShape != 0) PrepareLightSurfaces();
  }
  if (m_ScrEffect.m_nEffect != 0) DDSetVirtualBackBuffer(1);
  ScrollBackgroundLayers();
  DrawBackgroundLayers(*this, 0);
  if (whole == 0 && IsPausePhase(*this) && g_System.m_bPauseView != 0) {
    DrawBackgroundLayers(*this, 1);
    m_ScreenColor.Draw(frozen);
    return;
  }
  DrawPictures(*this, 0, frozen);
  DrawBlocks(*this, 0);
  const int layers = g_Stage.m_Layered != 0 ? 8 : 1;
  for (int layer = 0; layer < layers; ++layer) {
    const bool all = layers == 1;
    if (cHero* hero = StageHero(); hero != nullptr && (all || hero->m_Data.m_nZ == layer)) DrawPlayer(*this, frozen);
    DDBeginSpriteBatch(1);
    DDRegisterSpriteTexture(TableSurface(SURF_MARK));
    g_ItemList.ForEach([&](cItem& item) {
      if (item.m_bCarried != 0 || item.m_OnScreen == 0 || !(all || item.m_Data.m_nZ == layer)) return;
      DrawItem(item, &BackBuffer, frozen);
    });
    DDFlushSpriteBatch();
    g_CharaList.ForEach([&](cChara& chara) {
      if (!(all || chara.m_Data.m_nZ == layer)) return;
      if (DrawCharaInScene(chara, frozen) != 0) RemoveFinishedChara(*this, chara);
    });
    DrawShotsOfLayer(layer, all, frozen);
  }
  DrawBlocks(*this, 1);
  DrawBackgroundLayers(*this, 1);
  if (cHero* hero = StageHero(); hero != nullptr) DrawHeroLight(*hero, &BackBuffer);
  DrawRangeConditions(*this);
  DrawPictures(*this, 1, frozen);
  DrawEffects(*this, frozen);
  DrawMessages(*this, frozen);
  DrawScreenEffect(*this, frozen);
  DrawHud();
  DrawTimeLeft(*this, timeSound);
  if (hint != 0) DrawHintLine();
  AnimatePalette(g_System.m_nPulseStep, g_System.m_bPaletteCycling);
  m_ScreenColor.Draw(frozen);
}
