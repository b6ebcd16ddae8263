#include "world/CharaDraw.h"

#include <algorithm>
#include <climits>

#include "data/Anime.h"
#include "data/BmpCharaExc.h"
#include "data/Condition.h"
#include "data/Database.h"
#include "data/GraphicKind.h"
#include "data/SwordType.h"
#include "data/SystemData.h"
#include "core/Numeric.h"
#include "core/ProcessFlags.h"
#include "graphics/Blit.h"
#include "graphics/Palette.h"
#include "graphics/Primitives.h"
#include "graphics/SurfaceFill.h"
#include "world/Chara.h"
#include "world/CharaBase.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/Shot.h"
#include "world/StageGraphics.h"

namespace {

DDSURFACEDATA* g_lpMarkStretch = nullptr;
DDSURFACEDATA* g_lpWork = nullptr;
DDSURFACEDATA* g_lpBigWork = nullptr;

inline constexpr int kSheetCells = 15;
inline constexpr int kCharaSheets = 8;

// Row of character sheet k (0..7): plain, mirrored, and their copies.
int CharaSheetRow(int k) { return SURF_CHARACTER1 + 2 * k; }

bool CellInside(const DDSURFACEDATA* sd, int sx, int sy, int w, int h) {
  return sd != nullptr && sx >= 0 && sy >= 0 && sx + w <= sd->nWidth && sy + h <= sd->nHeight;
}

void SelectCharaSheet(cGraphicSource& s, int use, int a, int b, const cGameObj* object, int c) {
  int k = a / kSheetCells;
  s.sy = (a % kSheetCells) * 32;
  bool mirrored;
  int column;
  if (use == GRAPHIC_USE_CHARA) {
    column = b + c;
    mirrored = object != nullptr && object->m_Facing != 0;
  } else {
    mirrored = b >= 20;
    column = mirrored ? b - 20 : b;
  }
  s.sx = column * 32;
  if (a < 0 || k >= kCharaSheets || s.sx < 0 || s.sy < 0) k = -1;
  if (k >= 0) {
    const DDSURFACEDATA* sheet = TableSurface(CharaSheetRow(k) + (mirrored ? 1 : 0));
    if (!CellInside(sheet, s.sx, s.sy, 32, 32)) k = -1;
  }
  if (k < 0) {
    // Outside every sheet: the first cell of the first sheet.
    k = 0;
    s.sx = 0;
    s.sy = 0;
  }
  const int row = CharaSheetRow(k);
  s.image = TableSurface(row + (mirrored ? 1 : 0));
  s.opposite = TableSurface(row + (mirrored ? 0 : 1));
  s.imageCopy = TableSurface(row + SURF_SYSTEM_COPY_OFFSET + (mirrored ? 1 : 0));
  s.oppositeCopy = TableSurface(row + SURF_SYSTEM_COPY_OFFSET + (mirrored ? 0 : 1));
}

void SelectSpecialBitmap(cGraphicSource& s, int use, int a, int b, const cGameObj* object, int c) {
  const bool facingRight = use == GRAPHIC_USE_CHARA && object != nullptr && object->m_Facing != 0;
  s.image = g_SpecialBmpImages.Get(a, facingRight ? 1 : 0);
  s.opposite = g_SpecialBmpImages.Get(a, facingRight ? 0 : 1);
  s.imageCopy = g_SpecialBmpImages.Get(a, facingRight ? 3 : 2);
  s.oppositeCopy = g_SpecialBmpImages.Get(a, facingRight ? 2 : 3);
  const int k = use == GRAPHIC_USE_CHARA ? b + c : b;
  const int count = static_cast<int>(g_Database.m_BmpCharaExcs.size());
  const cBmpCharaExc* entry = a >= 0 && a < count ? &g_Database.m_BmpCharaExcs[a] : nullptr;
  if (entry != nullptr && entry->m_bSizedCells != 0 && entry->m_nCellFactor > 0) {
    const int m = std::min(entry->m_nCellFactor, 16);
    const int n = 16 / m;
    s.multiCell = 1;
    s.cellMul = static_cast<uint8_t>(m);
    s.sx = (k % n) * m * 32;
    s.sy = (k / n) * m * 32;
  } else {
    s.sx = (k % 16) * 32;
    s.sy = (k / 16) * 32;
  }
}

}  // namespace

void SelectDrawSurfaces() {
  g_lpMarkStretch = TableSurface(SURF_MARK + 1);
  g_lpWork = TableSurface(SURF_WORK2);
  g_lpBigWork = IsDirect3D() ? g_lpWork : TableSurface(SURF_BIG_WORK_DD);
}

DDSURFACEDATA* WorkSurface() { return g_lpWork != nullptr ? g_lpWork : TableSurface(SURF_WORK2); }
DDSURFACEDATA* BigWorkSurface() { return g_lpBigWork != nullptr ? g_lpBigWork : WorkSurface(); }

cGraphicSource SelectGraphicSource(int use, int kind, int a, int b, const cGameObj* object, int c) {
  cGraphicSource s;
  switch (kind) {
    case GRAPHIC_BLOCK:
      s.image = TableSurface(SURF_BLOCK);
      s.imageCopy = TableSurface(SURF_BLOCK + 1);
      s.sx = (a / kSheetCells) * 32;
      s.sy = (a % kSheetCells) * 32;
      break;
    case GRAPHIC_CHARA:
      SelectCharaSheet(s, use, a, b, object, c);
      break;
    case GRAPHIC_ITEM:
      s.image = TableSurface(SURF_ITEM);
      s.imageCopy = TableSurface(SURF_ITEM + 1);
      s.sx = (a / kSheetCells) * 64 + (use == GRAPHIC_USE_ITEM ? c * 32 : 0);
      s.sy = (a % kSheetCells) * 32;
      break;
    case GRAPHIC_SHOT: {
      const bool facingRight = use == GRAPHIC_USE_CHARA && object != nullptr && object->m_Facing != 0;
      s.image = TableSurface(facingRight ? SURF_SHOT_SHEET_MIRROR : SURF_SHOT_SHEET);
      s.opposite = TableSurface(facingRight ? SURF_SHOT_SHEET : SURF_SHOT_SHEET_MIRROR);
      s.imageCopy = s.image;
      s.oppositeCopy = s.opposite;
      s.sx = (a / 30) * 64;
      s.sy = (a % 30) * 32;
      break;
    }
    case GRAPHIC_BMP_CHARA_EXC:
      SelectSpecialBitmap(s, use, a, b, object, c);
      break;
    default:
      break;
  }
  s.stretch = s.imageCopy != nullptr ? s.imageCopy : s.image;
  s.stretchOpposite = s.oppositeCopy != nullptr ? s.oppositeCopy : s.opposite;
  return s;
}

void DrawKindIcon(DDSURFACEDATA* target, int x, int y, int kind, int c, int d) {
  DDSURFACEDATA* src = nullptr;
  int sx = 0, sy = 0, size = 32;
  switch (kind) {
    case GRAPHIC_BLOCK:
      src = TableSurface(SURF_BLOCK + 1);
      sx = (c / kSheetCells) * 32;
      sy = (c % kSheetCells) * 32;
      break;
    case GRAPHIC_CHARA: {
      const int k = c / kSheetCells;
      if (c < 0 || k >= kCharaSheets) return;
      src = TableSurface(CharaSheetRow(k) + SURF_SYSTEM_COPY_OFFSET);
      sx = d * 32;
      sy = (c % kSheetCells) * 32;
      break;
    }
    case GRAPHIC_ITEM:
      src = TableSurface(SURF_ITEM_MINI);
      sx = (c / kSheetCells) * 32;
      sy = (c % kSheetCells) * 16;
      size = 16;
      break;
    case GRAPHIC_SHOT:
      src = TableSurface(SURF_SHOT_SHEET);
      sx = (c / 30) * 64;
      sy = (c % 30) * 32;
      break;
    case GRAPHIC_BMP_CHARA_EXC: {
      const cGraphicSource s = SelectGraphicSource(GRAPHIC_USE_NONE, kind, c, d, nullptr, 0);
      src = s.stretch;
      sx = s.sx;
      sy = s.sy;
      size = s.CellSize();
      break;
    }
    default:
      return;
  }
  if (!CellInside(src, sx, sy, size, size)) return;
  if (size == 16)
    DDBlt(target, x, y, 16, 16, src, sx, sy, 1);
  else
    DDBltEx(target, x, y, 16, 16, src, sx, sy, size, size, 1);
}

int PickCurrentAnime(cCharaBase& chara, int noAdvance) {
  if (noAdvance == 0) {
    chara.m_Anime.Update();
    cSafeVector<cAnimePlayback>& list = chara.m_AnimeList;
    for (std::size_t i = 0; i < list.size();) {
      cAnimePlayback& entry = list[static_cast<int>(i)];
      if (entry.m_bStopped != 0) {
        ++i;
        continue;
      }
      if (entry.m_Player.Update() == -4) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        continue;
      }
      --entry.m_TimeLeft;
      ++i;
    }
  }
  const cAnimePlayback* chosen = nullptr;
  int best = INT_MAX;
  bool expiredMode = false;
  for (const cAnimePlayback& entry : chara.m_AnimeList) {
    if (entry.m_bStopped != 0) continue;
    const int t = entry.m_TimeLeft;
    if (expiredMode) {
      if (t <= 0 && best < t) {
        chosen = &entry;
        best = t;
      }
    } else if (entry.m_bTimed != 0 && t <= 0 && best <= 0) {
      chosen = &entry;
      best = t;
      expiredMode = true;
    } else if (entry.m_bTimed != 0 && t < best) {
      chosen = &entry;
      best = t;
      if (t <= 0) expiredMode = true;
    } else if (entry.m_bTimed == 0 && chosen == nullptr) {
      chosen = &entry;
      best = INT_MAX;
    }
  }
  if (chosen != nullptr) return chosen->m_Player.GetPattern();
  return chara.m_Anime.GetPattern();
}

int GraphicRowFor(cCharaBase& chara, cGraphicSource* source) {
  int row = chara.m_Data.m_nGraphicRow;
  const int sets = static_cast<int>(g_Database.m_AnimeSets.size());
  const int setIndex = chara.m_Data.m_nAnimeSet;
  const bool invincible = chara.m_nNoHitTimer > 0;
  if (setIndex >= 0 && setIndex < sets) {
    const cAnimeSet& set = g_Database.m_AnimeSets[setIndex];
    if (chara.m_Flying != 0) row += set.m_nFlyingRow;
    if (chara.m_Data.m_bBlockChara != 0) row += set.m_nBlockCharaRow;
    if (invincible) row += set.m_nInvincibleRow;
  }
  const int flash = chara.m_Data.m_nFlashColour;
  if (source != nullptr && invincible && IsDirect3D() && g_System.m_bFlashSwitch != 0 && flash > 0 &&
      flash < static_cast<int>(g_FlashColors.size())) {
    source->blend = 1;
    source->blendColour = g_FlashColors[static_cast<std::size_t>(flash)].dwColor;
    source->blendOp = static_cast<int32_t>(g_FlashColors[static_cast<std::size_t>(flash)].dwColorOp);
  }
  return row;
}

void DrawSourceCell(cCharaBase&, DDSURFACEDATA* target, const cGraphicSource& s, int x, int y, int w, int h) {
  const int cell = s.CellSize();
  DDBLENDPARAM blend{s.blendColour, static_cast<uint32_t>(s.blendOp)};
  const DDBLENDPARAM* lpBlend = s.blend != 0 ? &blend : nullptr;
  if (w == cell && h == cell) {
    if (!CellInside(s.image, s.sx, s.sy, cell, cell)) return;
    DDBltBlend(target, x, y, w, h, s.image, s.sx, s.sy, 1, lpBlend);
  } else if (w > 0 && h > 0) {
    if (!CellInside(s.stretch, s.sx, s.sy, cell, cell)) return;
    DDBltExBlend(target, x, y, w, h, s.stretch, s.sx, s.sy, cell, cell, 1, lpBlend);
  }
}

tCharaEffectDrawer CharaEffectDrawerFor(const cCharaBase& chara) {
  const int kind = chara.m_CharaEffect.Kind();
  if (kind <= 0 || kind >= kCharaEffectKinds) return kCharaEffectDrawers[0];
  return kCharaEffectDrawers[static_cast<std::size_t>(kind)];
}

namespace {

cGraphicSource CharaSource(cCharaBase& chara, int pattern) {
  cGraphicSource s;
  const int row = GraphicRowFor(chara, &s);
  const cGraphicSource picked =
      SelectGraphicSource(GRAPHIC_USE_CHARA, chara.m_Data.m_nGraphicKind, chara.m_Graphic, row, &chara, pattern);
  s.image = picked.image;
  s.imageCopy = picked.imageCopy;
  s.opposite = picked.opposite;
  s.oppositeCopy = picked.oppositeCopy;
  s.stretch = picked.stretch;
  s.stretchOpposite = picked.stretchOpposite;
  s.multiCell = picked.multiCell;
  s.cellMul = picked.cellMul;
  s.sx = picked.sx;
  s.sy = picked.sy;
  return s;
}

// Runs the character's effect drawer; an ended effect is dropped.
void RunEffectDrawer(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& source, int noAdvance, int draw,
                     int* ended = nullptr) {
  const bool running = chara.m_CharaEffect.Kind() != 0;
  const int result = CharaEffectDrawerFor(chara)(chara, target, source, noAdvance, draw);
  if (running && result != 0) chara.m_CharaEffect.Clear();
  if (ended != nullptr) *ended = running && result != 0 ? 1 : 0;
}

void DrawMark(cCharaBase& chara, DDSURFACEDATA* target) {
  const int mark = chara.m_Data.m_nMark;
  if (mark < 0) return;
  const int sx = (mark / kSheetCells) * 32, sy = (mark % kSheetCells) * 32;
  if (chara.Scale() > 1) {
    DDSURFACEDATA* stretch = g_lpMarkStretch != nullptr ? g_lpMarkStretch : TableSurface(SURF_MARK + 1);
    if (CellInside(stretch, sx, sy, 32, 32) && chara.m_GfxW > 0 && chara.m_GfxH > 0)
      DDBltEx(target, chara.m_ScrLeft, chara.m_ScrTop, chara.m_GfxW, chara.m_GfxH, stretch, sx, sy, 32, 32, 1);
  } else if (CellInside(TableSurface(SURF_MARK), sx, sy, 32, 32)) {
    DDBlt(target, chara.m_ScrLeft, chara.m_ScrTop, 32, 32, TableSurface(SURF_MARK), sx, sy, 1);
  }
}

}  // namespace

void AdvanceCharaEffect(cCharaBase& chara, int noAdvance) {
  if (chara.m_CharaEffect.Kind() == 0) return;
  RunEffectDrawer(chara, nullptr, cGraphicSource(), noAdvance, 0);
}

void DrawChara(cCharaBase& chara, DDSURFACEDATA* target, int noAdvance) {
  const int pattern = PickCurrentAnime(chara, noAdvance);
  if (chara.m_Data.m_bTransparent != 0) {
    AdvanceCharaEffect(chara, noAdvance);
    return;
  }
  chara.UpdateRect();
  if (chara.m_bScreenLockX != 0) {
    chara.m_ScrLeft = chara.m_nLockedScreenX;
    chara.m_ScrRight = chara.m_ScrLeft + chara.m_GfxW - 1;
  }
  if (chara.m_bScreenLockY != 0) {
    chara.m_ScrTop = chara.m_nLockedScreenY;
    chara.m_ScrBottom = chara.m_ScrTop + chara.m_GfxH - 1;
  }
  if (pattern < 0) {
    AdvanceCharaEffect(chara, noAdvance);
    return;
  }
  const cGraphicSource source = CharaSource(chara, pattern);
  RunEffectDrawer(chara, target, source, noAdvance, 1);
  if (chara.m_Data.m_bMarkShown == 1) DrawMark(chara, target);
}

int DrawDying(cCharaBase& chara, DDSURFACEDATA* target, int noAdvance) {
  const cGraphicSource source = CharaSource(chara, 0);
  const bool hasEffect = chara.m_CharaEffect.Kind() != 0;
  if (chara.m_Operator == OBJ_BY_COMPUTER) {
    // A computer-operated character.
    if (!hasEffect) return 1;
    int ended = 0;
    RunEffectDrawer(chara, target, source, noAdvance, 1, &ended);
    return ended;
  }
  if (hasEffect) {
    int ended = 0;
    RunEffectDrawer(chara, target, source, noAdvance, 1, &ended);
    return ended;
  }
  kCharaEffectDrawers[0](chara, target, source, 1, 1);
  if (noAdvance != 0) return 0;
  return ++chara.m_nDeathFrames > 60 ? 1 : 0;
}

void DrawCharaGauge(cCharaBase& chara, DDSURFACEDATA* target, int which) {
  cGauge& gauge = which == 0 ? chara.m_HpGauge : chara.m_SpGauge;
  if (gauge.m_Timer == 0 || chara.m_bDead != 0) return;
  DDSURFACEDATA* accessory = TableSurface(SURF_ACCESSORY);
  const int x = chara.m_ScrLeft + chara.m_GfxW / 2 - 25;
  const int y = chara.m_ScrTop - (which == 0 ? 3 : 7);
  const int sourceX = which == 0 ? 0 : 64;
  const bool tall = accessory->nHeight > 208;
  const int step = tall ? 2 : 16;
  const int base = tall ? 208 : 128;
  const int value = which == 0 ? chara.m_Hp : chara.m_Sp;
  const int maximum = which == 0 ? chara.m_Data.m_nMhp : chara.m_Data.m_nMsp;
  const cHudItem& item = g_System.m_HudItems[which == 0 ? 2 : 3];
  const bool low = IsGaugeLow(item, value, maximum) != 0;
  const int bar = std::clamp(gauge.m_Bar, 0, 50);
  DDBlt(target, x, y, 50, 2, accessory, sourceX, base, 1);
  if (bar > 0) DDBlt(target, x, y, bar, 2, accessory, sourceX, base + (low ? 2 * step : step), 1);
  const int trail = static_cast<int>(gauge.m_Trail);
  if (trail > 0) {
    const int len = std::min(trail, bar);
    if (len > 0) DDBlt(target, x + bar - len, y, len, 2, accessory, sourceX, base + 4 * step, 1);
  } else if (trail < 0) {
    const int len = std::min(-trail, 50 - bar);
    if (len > 0) DDBlt(target, x + bar, y, len, 2, accessory, sourceX, base + 3 * step, 1);
  }
  --gauge.m_Timer;
  // The step has the trail's sign (a sixtieth of it), so a gain and a loss
  // both shrink to nothing as the timer comes down to 60.
  if (gauge.m_Timer < 60)
    gauge.m_Trail = 0.0;
  else
    gauge.m_Trail -= gauge.m_TrailStep;
}

namespace {

// The offset of a mark's rectangle from the hero's graphic: the collision box
// sits at the hit offsets, the other rectangles are kept relative to it.
void AreaMarkOffset(const cHero& hero, const cAreaMark& mark, int& offX, int& offY) {
  offX = hero.m_DrawOffX;
  offY = hero.m_DrawOffY;
  const cHitRect* rect = nullptr;
  switch (mark.m_nType) {
    case AREA_MARK_ATTACK: rect = &hero.m_AttackRect; break;
    case AREA_MARK_PICKUP: rect = &hero.m_PickupRect; break;
    case AREA_MARK_SHOT: rect = &hero.m_ShotRect; break;
    default: break;
  }
  if (rect == nullptr) return;
  offX = WrapToI32(int64_t{offX} + rect->m_OffX);
  offY = WrapToI32(int64_t{offY} + rect->m_OffY);
}

}  // namespace

void DrawHero(cHero& hero, DDSURFACEDATA* target, int noAdvance) {
  DrawChara(hero, target, noAdvance);
  for (cAreaMark& mark : hero.m_AreaMarks) {
    if (mark.m_nMode == 0) continue;
    int offX = 0, offY = 0;
    AreaMarkOffset(hero, mark, offX, offY);
    mark.m_X = WrapToI32(int64_t{hero.m_ScrLeft} + offX);
    mark.m_Y = WrapToI32(int64_t{hero.m_ScrTop} + offY);
    const int x = mark.m_X, y = mark.m_Y;
    const int colour = mark.m_nColour + (IsPaletteMode() ? 0 : mark.m_nPhase / 8);
    if (mark.m_nMode == 2) {
      DDFillRectPal(target, x, y, mark.m_Width, mark.m_Height, static_cast<uint32_t>(colour));
    } else {
      DDFillRectPal(target, x, y, mark.m_Width, 1, static_cast<uint32_t>(colour));
      DDFillRectPal(target, x, y + mark.m_Height - 1, mark.m_Width, 1, static_cast<uint32_t>(colour));
      DDFillRectPal(target, x, y, 1, mark.m_Height, static_cast<uint32_t>(colour));
      DDFillRectPal(target, x + mark.m_Width - 1, y, 1, mark.m_Height, static_cast<uint32_t>(colour));
    }
    mark.m_nPhase = (mark.m_nPhase + 1) & 31;
  }
}

void DrawHeroLight(cHero& hero, DDSURFACEDATA* target) {
  const int shape = hero.m_Data.m_nLightShape;
  if (shape == 0) return;
  DDSURFACEDATA* darkness = TableSurface(SURF_DARKNESS);
  if (!darkness->HasSurface()) return;
  const int r = hero.m_nLightRadius;
  int sx = darkness->nWidth / 2 - hero.m_GfxW / 2 - hero.m_ScrLeft;
  if (shape == 2 || shape == 4) sx += hero.FacingSign() * (hero.m_GfxW / 2 - r);
  int sy = darkness->nHeight / 2 - hero.m_GfxH / 2 - hero.m_ScrTop;
  sx = std::clamp(sx, 0, std::max(0, darkness->nWidth - 640));
  sy = std::clamp(sy, 0, std::max(0, darkness->nHeight - 480));
  DDBlt(target, 0, 0, 640, 480, darkness, sx, sy, 1);
}

void DrawItemIcon(cChara& chara, DDSURFACEDATA* target) {
  if (chara.m_Item.m_bCarried == 0 || chara.m_OnScreen == 0 || chara.m_Data.m_bTransparent != 0 ||
      chara.m_Item.m_Data.m_bTransparent != 0)
    return;
  ++chara.m_nIconCounter;
  if (chara.m_nIconCounter >= 64) {
    const cItemData& item = chara.m_Item.m_Data;
    const int x = chara.m_ScrLeft + chara.m_GfxW / 2 - chara.m_Item.m_GfxW / 4;
    const int y = chara.m_ScrTop - chara.m_Item.m_GfxH / 2;
    DrawKindIcon(target, x, y, item.m_nGraphicKind, chara.m_Item.m_Graphic, item.m_nGraphicRow);
  }
  if (chara.m_nIconCounter >= 96) chara.m_nIconCounter = 0;
}

namespace {

enum eRangeDisplay : int { kRangeHidden = 0, kRangeShown = 1, kRangeShownForEditor = 2 };
inline constexpr int64_t kLongestVisibleRadius = 4096;

bool RangeDisplayWanted(const cChara& chara, const cCond& cond) {
  if (cond.m_nLeftKind == kRangeHidden) return false;
  if (cond.m_nLeftKind == kRangeShownForEditor && g_LaunchedByEditor.load() == 0) return false;
  if (cond.m_nRightKind == 1 && chara.m_bActing == 0) return false;
  return chara.m_Data.m_bTransparent == 0 || cond.m_nRightItem != 0;
}

void VerticalLine(DDSURFACEDATA* target, int64_t x, uint32_t colour) {
  if (x >= 0 && x < 640) DDFillRectPal(target, static_cast<int>(x), 0, 1, 480, colour);
}

void HorizontalLine(DDSURFACEDATA* target, int64_t y, uint32_t colour) {
  if (y >= 0 && y < 480) DDFillRectPal(target, 0, static_cast<int>(y), 640, 1, colour);
}

}  // namespace

void DrawRangeCondition(const cChara& chara, DDSURFACEDATA* target, const cCond& cond, int phase) {
  if (!RangeDisplayWanted(chara, cond)) return;
  // Wide enough that a stored distance of any size cannot overflow.
  const int64_t size = int64_t{cond.m_nRightIndex} + int64_t{cond.m_nValue} * 16;
  const uint32_t colour = static_cast<uint32_t>(cond.m_nRightObject + (IsPaletteMode() ? 0 : phase / 8));
  const bool right = chara.m_Facing != 0;
  // Shapes 1 and 4 widen ahead of the facing, 2 and 5 behind it.
  const bool widenLow = cond.m_nShape % 3 == 0 || (cond.m_nShape % 3 == 1 ? !right : right);
  const bool widenHigh = cond.m_nShape % 3 == 0 || (cond.m_nShape % 3 == 1 ? right : !right);
  switch (cond.m_nShape) {
    case 0:
    case 1:
    case 2:
      VerticalLine(target, chara.m_ScrLeft - (widenLow ? size : 0), colour);
      VerticalLine(target, chara.m_ScrRight + (widenHigh ? size : 0), colour);
      break;
    case 3:
    case 4:
    case 5:
      HorizontalLine(target, chara.m_ScrTop - (widenLow ? size : 0), colour);
      HorizontalLine(target, chara.m_ScrBottom + (widenHigh ? size : 0), colour);
      break;
    case 6:
      // A circle wider than this cannot reach the screen from a character on it.
      if (size > 0 && size <= kLongestVisibleRadius) {
        DDCircle(target, chara.m_ScrLeft + chara.m_GfxW / 2, chara.m_ScrTop + chara.m_GfxH / 2,
                 static_cast<int>(size), colour);
      }
      break;
    default:
      break;
  }
}

void DrawItem(cItem& item, DDSURFACEDATA* target, int noAdvance) {
  const cItemData& data = item.m_Data;
  if (data.m_bTransparent != 0) return;
  const int pattern = noAdvance != 0 ? item.m_Anime.GetPattern() : item.m_Anime.Update();
  if (pattern < 0) return;
  const cGraphicSource s =
      SelectGraphicSource(GRAPHIC_USE_ITEM, data.m_nGraphicKind, item.m_Graphic, data.m_nGraphicRow, &item, pattern);
  item.UpdateRect();
  const int cell = s.CellSize();
  const int w = item.m_GfxW, h = item.m_GfxH;
  if (w != cell || h != cell) {
    if (w > 0 && h > 0 && CellInside(s.stretch, s.sx, s.sy, cell, cell))
      DDBltEx(target, item.m_ScrLeft, item.m_ScrTop, w, h, s.stretch, s.sx, s.sy, cell, cell, 1);
  } else if (CellInside(s.image, s.sx, s.sy, cell, cell)) {
    DDBlt(target, item.m_ScrLeft, item.m_ScrTop, w, h, s.image, s.sx, s.sy, 1);
  }
  if (data.m_bMarkShown == 1 && data.m_nMark >= 0) {
    const int sx = (data.m_nMark / kSheetCells) * 32, sy = (data.m_nMark % kSheetCells) * 32;
    if (w != 32 || h != 32) {
      if (w > 0 && h > 0 && CellInside(TableSurface(SURF_MARK + 1), sx, sy, 32, 32))
        DDBltEx(target, item.m_ScrLeft, item.m_ScrTop, w, h, TableSurface(SURF_MARK + 1), sx, sy, 32, 32, 1);
    } else if (CellInside(TableSurface(SURF_MARK), sx, sy, 32, 32)) {
      DDBlt(target, item.m_ScrLeft, item.m_ScrTop, 32, 32, TableSurface(SURF_MARK), sx, sy, 1);
    }
  }
}

namespace {

// The sword step's rectangle in its sword-type image: the steps stand side by
// side from the left, each as wide as it is drawn.
bool SwordSource(const cShot& shot, DDSURFACEDATA*& image, int& sx, int& sy, int& w, int& h) {
  const cSwordType* type = shot.SwordType();
  if (type == nullptr || type->m_Steps.empty()) return false;
  const int steps = static_cast<int>(type->m_Steps.size());
  const int frame = std::clamp(shot.m_SwordFrame, 0, steps - 1);
  sx = 0;
  for (int i = 0; i < frame; ++i) sx += type->m_Steps[i].m_nWidth;
  sy = 0;
  w = type->m_Steps[frame].m_nWidth;
  h = type->m_Steps[frame].m_nHeight;
  const int entry = static_cast<int>(type - &g_Database.m_SwordTypes[0]);
  const bool mirrored = shot.m_Facing != 0;
  image = g_SwordImages.Get(entry, IsDirect3D() ? (mirrored ? 1 : 0) : (mirrored ? 3 : 2));
  if (image == nullptr) image = g_SwordImages.Get(entry, mirrored ? 1 : 0);
  return image != nullptr;
}

}  // namespace

void DrawShot(cShot& shot, DDSURFACEDATA* target, int noAdvance) {
  if (shot.m_EdShot.m_bHidden != 0) return;
  DDSURFACEDATA* image = nullptr;
  int sx = 0, sy = 0, w = shot.m_BaseGfxW, h = shot.m_BaseGfxH;
  if (shot.m_IsShot != 0) {
    const int pattern = noAdvance != 0 ? shot.m_Anime.GetPattern() : shot.m_Anime.Update();
    if (pattern < 0) return;
    const int g = shot.m_EdShot.m_nGraphic;
    image = TableSurface(shot.m_Facing != 0 ? SURF_SHOT_MIRROR : SURF_SHOT);
    sx = (2 * (g / 30) + pattern) * 16;
    sy = (g % 30) * 16;
  } else if (!SwordSource(shot, image, sx, sy, w, h)) {
    return;
  }
  if (!CellInside(image, sx, sy, w, h) || w <= 0 || h <= 0) return;
  shot.UpdateRect();
  if (shot.m_EdShot.m_nScale < 2)
    DDBlt(target, shot.m_ScrLeft, shot.m_ScrTop, w, h, image, sx, sy, 1);
  else if (shot.m_GfxW > 0 && shot.m_GfxH > 0)
    DDBltEx(target, shot.m_ScrLeft, shot.m_ScrTop, shot.m_GfxW, shot.m_GfxH, image, sx, sy, w, h, 1);
}

cCharaBase* FindPlayerRecord(int32_t key) {
  for (cHero& hero : Player)
    if (hero.m_Key == key) return &hero;
  return g_CharaList.FindByKey(key);
}
