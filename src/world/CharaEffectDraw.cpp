// The 17 chara-effect drawers: each draws a character's cell through the
// effect its chara effect runs, with the effect's current value, then
// advances the effect (unless told not to). Kind 0 is the plain drawing.
//
// A character drawn at another size than its cell (a scale above 1, or a
// special bitmap whose cells are larger) is first brought to its drawing size
// on the work surface; the effect then reads from there. An effect that reads
// the source cell itself draws with the invincibility flash of the source.

#include <algorithm>
#include <cmath>

#include "data/CharaEffect.h"
#include "graphics/BlendTable.h"
#include "graphics/Blit.h"
#include "graphics/BlitClip.h"
#include "graphics/BlurMosaic.h"
#include "graphics/ColourEffects.h"
#include "graphics/Distortion.h"
#include "graphics/DrawContext.h"
#include "graphics/GeometricEffects.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceFill.h"
#include "world/CharaBase.h"
#include "world/CharaDraw.h"
#include "world/StageGraphics.h"

namespace {

// The palette colour the 8-bit stand-in for the blur tints towards.
inline constexpr uint32_t kBlurStandInColour = 31;

// Where the effect reads the cell at drawing size.
struct cCellAtSize {
  DDSURFACEDATA* surface = nullptr;
  int sx = 0;
  int sy = 0;
  bool fromSource = false;  // the source cell itself, not brought to size on the work surface
};

// The invincibility flash of a source as the blend of the drawing calls made
// while it lives, when the drawing reads the source cell itself.
class cFlashScope {
 public:
  cFlashScope(const cGraphicSource& s, bool fromSource) : m_On(s.blend != 0 && fromSource) {
    if (!m_On) return;
    DDSetBlendColor(s.blendColour);
    DDSetColorOp(static_cast<uint32_t>(s.blendOp));
  }
  ~cFlashScope() {
    if (!m_On) return;
    DDResetBlendColor();
    DDResetColorOp();
  }
  cFlashScope(const cFlashScope&) = delete;
  cFlashScope& operator=(const cFlashScope&) = delete;

 private:
  bool m_On;
};

struct cDrawRect {
  int x, y, w, h;
};

cDrawRect RectOf(const cCharaBase& chara) { return {chara.m_ScrLeft, chara.m_ScrTop, chara.m_GfxW, chara.m_GfxH}; }

bool NeedsStretch(const cDrawRect& r, const cGraphicSource& s) { return r.w != s.CellSize() || r.h != s.CellSize(); }

bool SourceInside(const DDSURFACEDATA* sd, int sx, int sy, int w, int h) {
  return sd != nullptr && sd->HasSurface() && sx >= 0 && sy >= 0 && sx + w <= sd->nWidth && sy + h <= sd->nHeight;
}

// The cell of `image` (or of the stretch copy `stretch`) at drawing size.
bool CellAtSize(const cDrawRect& r, const cGraphicSource& s, DDSURFACEDATA* image, DDSURFACEDATA* stretch, int slot,
                cCellAtSize& out) {
  const int cell = s.CellSize();
  if (!NeedsStretch(r, s)) {
    if (!SourceInside(image, s.sx, s.sy, cell, cell)) return false;
    out = {image, s.sx, s.sy, true};
    return true;
  }
  DDSURFACEDATA* work = WorkSurface();
  // The two cells of the depth rotation sit side by side on the work surface.
  const int wx = slot * 320;
  if (r.w <= 0 || r.h <= 0 || r.w > 320 || r.h > 480 || !SourceInside(stretch, s.sx, s.sy, cell, cell)) return false;
  DDFillRectPal(work, wx, 0, r.w, r.h, 0);
  DDBltEx(work, wx, 0, r.w, r.h, stretch, s.sx, s.sy, cell, cell, 1);
  out = {work, wx, 0, false};
  return true;
}

bool MainCell(const cDrawRect& r, const cGraphicSource& s, cCellAtSize& out) {
  return CellAtSize(r, s, s.image, s.stretch, 0, out);
}

// True when the layer's blits read this rectangle of `sd` turned over: under
// Direct3D a mirrored sheet has no pixels of its own and is drawn from the
// sheet it mirrors, read backwards.
bool BlitsTurnOver(const DDSURFACEDATA* sd, int x, int y, int w, int h) {
  DDMirrorRect(sd, x, y, w, h);
  return w < 0 || h < 0;
}

// MainCell for the effects that read the cell's pixels themselves rather than
// through a blit (the circle's strips, the mosaic, the blur): they would see
// the unmirrored sheet behind a mirrored one, so a mirrored cell is first
// blitted to the work surface, which turns it over. The copy stands for the
// source cell: the flash still applies around the effect.
bool MainCellForPixelReaders(const cDrawRect& r, const cGraphicSource& s, cCellAtSize& out) {
  if (!MainCell(r, s, out)) return false;
  if (!out.fromSource || !BlitsTurnOver(out.surface, out.sx, out.sy, r.w, r.h)) return true;
  DDSURFACEDATA* work = WorkSurface();
  if (work == nullptr || r.w > work->nWidth || r.h > work->nHeight) return true;
  DDFillRectPal(work, 0, 0, r.w, r.h, 0);
  DDBlt(work, 0, 0, r.w, r.h, out.surface, out.sx, out.sy, 1);
  out = {work, 0, 0, true};
  return true;
}

int Value(const cCharaBase& chara) { return static_cast<int>(chara.m_CharaEffect.m_Current); }

int Param(const cCharaBase& chara, int n) {
  const cCharaEffect* e = chara.m_CharaEffect.m_pEffect;
  return e != nullptr && n >= 1 && n <= kEffectParamCount ? e->m_Params[n - 1] : 0;
}

int Advance(cCharaBase& chara, int noAdvance) { return noAdvance != 0 ? 0 : chara.m_CharaEffect.Progress(); }

// Bands of `size` split into `count` parts, rounded up.
int BandOf(int size, int count) {
  if (count <= 0) return 0;
  return (size + count - 1) / count;
}

// Kinds 6 and 14: m_nWork1 counts the frames of the period, m_nWork2 is 1
// while the character is hidden.
bool VisibleThisPeriod(cCharaBase& chara, int noAdvance) {
  cCharaEffectPlayer& p = chara.m_CharaEffect;
  const bool visible = p.m_nWork2 == 0;
  if (noAdvance == 0) {
    const int interval = Param(chara, 2) > 0 ? Param(chara, 2) : 1;
    if (++p.m_nWork1 >= interval) {
      p.m_nWork1 = 0;
      p.m_nWork2 = p.m_nWork2 != 0 ? 0 : 1;
    }
  }
  return visible;
}

int DrawPlain(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  if (draw != 0) {
    const cDrawRect r = RectOf(chara);
    DrawSourceCell(chara, target, s, r.x, r.y, r.w, r.h);
  }
  return chara.m_CharaEffect.Kind() != 0 ? Advance(chara, noAdvance) : 0;
}

int DrawBurst(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  cCellAtSize c;
  if (draw != 0 && MainCell(r, s, c)) {
    const cFlashScope flash(s, c.fromSource);
    DDBurst(target, r.x, r.y, r.w, r.h, c.surface, c.sx, c.sy, Value(chara), 1);
  }
  return Advance(chara, noAdvance);
}

template <int tColumns>
int DrawSplit(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  cCellAtSize c;
  if (draw != 0 && MainCell(r, s, c)) {
    const int band = BandOf(tColumns != 0 ? r.w : r.h, Param(chara, 4));
    const cFlashScope flash(s, c.fromSource);
    DDSplit(target, r.x, r.y, r.w, r.h, band, Value(chara), c.surface, c.sx, c.sy, 1, tColumns);
  }
  return Advance(chara, noAdvance);
}

template <int tColumns>
int DrawWave(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  cCellAtSize c;
  cCharaEffectPlayer& p = chara.m_CharaEffect;
  if (draw != 0 && MainCell(r, s, c)) {
    const cFlashScope flash(s, c.fromSource);
    DDWave(target, r.x, r.y, r.w, r.h, Param(chara, 4), Value(chara), p.m_nWork1, Param(chara, 5), c.surface, c.sx,
           c.sy, 1, tColumns);
  }
  if (noAdvance == 0) p.m_nWork1 = (p.m_nWork1 + 1) % 360;
  return Advance(chara, noAdvance);
}

int DrawBlink(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const bool visible = VisibleThisPeriod(chara, noAdvance);
  if (draw != 0 && visible) {
    const cDrawRect r = RectOf(chara);
    DrawSourceCell(chara, target, s, r.x, r.y, r.w, r.h);
  }
  return Advance(chara, noAdvance);
}

int DrawRotate(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  cCellAtSize c;
  if (draw != 0 && MainCell(r, s, c)) {
    const cFlashScope flash(s, c.fromSource);
    DDRotate(target, r.x + r.w / 2, r.y + r.h / 2, r.w, r.h, r.w / 2, r.h / 2, Value(chara), c.surface, c.sx, c.sy, 1);
  }
  return Advance(chara, noAdvance);
}

int DrawRotateDepth(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  cCellAtSize front, back;
  if (draw != 0 && MainCell(r, s, front)) {
    if (!CellAtSize(r, s, s.opposite, s.stretchOpposite, 1, back)) back = front;
    const cFlashScope flash(s, front.fromSource);
    DDRotateDepth(target, r.x, r.y, r.w, r.h, front.surface, front.sx, front.sy, back.surface, back.sx, back.sy, r.w,
                  r.h, 1, Value(chara), 0);
  }
  return Advance(chara, noAdvance);
}

int DrawCircle(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  cCellAtSize c;
  if (draw != 0 && MainCellForPixelReaders(r, s, c)) {
    const cFlashScope flash(s, c.fromSource);
    DDCircleWindow(target, r.x + r.w / 2, r.y + r.h / 2, r.w / 2, r.h / 2, Value(chara), Param(chara, 4), c.surface,
                   c.sx + r.w / 2, c.sy + r.h / 2, 1);
  }
  return Advance(chara, noAdvance);
}

int DrawZoom(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  if (draw != 0) {
    // The width the entry gives is for a cell of 32; a scaled character grows
    // by half of it times its scale.
    const int scale = chara.Scale();
    const int e = scale > 1 ? (Value(chara) - 32) * scale / 2 : Value(chara) - 32;
    const int w = r.w + e, h = r.h + e;
    const int cell = s.CellSize();
    if (w > 0 && h > 0 && SourceInside(s.stretch, s.sx, s.sy, cell, cell)) {
      const cFlashScope flash(s, true);
      DDBltEx(target, r.x - e / 2, r.y - e / 2, w, h, s.stretch, s.sx, s.sy, cell, cell, 1);
    }
  }
  return Advance(chara, noAdvance);
}

// The cell at drawing size is put on the cleared big work surface, the lens
// centre (the cell's centre moved by the entry's offsets) at (radius,
// radius); the lens is drawn from there with a radius that reaches every
// corner of the cell, so the whole cell shows, magnified towards the centre.
// Near its rim a deep lens reads far outside the cell: the whole surface is
// cleared so that it reads nothing there.
int DrawLens(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  if (draw != 0 && r.w > 0 && r.h > 0) {
    const int cx = r.w / 2 + Param(chara, 4), cy = r.h / 2 + Param(chara, 5);
    const int reach = std::max(std::max(cx, r.w - cx), std::max(cy, r.h - cy));
    const int radius = static_cast<int>(std::sqrt(2.0) * reach);
    DDSURFACEDATA* work = BigWorkSurface();
    const int cell = s.CellSize();
    bool placed = false;
    DDFillSurfacePal(work, 0);
    if (!NeedsStretch(r, s)) {
      if (SourceInside(s.image, s.sx, s.sy, cell, cell)) {
        const cFlashScope flash(s, true);
        placed = DDBlt(work, radius - cx, radius - cy, r.w, r.h, s.image, s.sx, s.sy, 1) != 0;
      }
    } else if (SourceInside(s.stretch, s.sx, s.sy, cell, cell)) {
      placed = DDBltEx(work, radius - cx, radius - cy, r.w, r.h, s.stretch, s.sx, s.sy, cell, cell, 1);
    }
    if (placed) DDLens(target, r.x + cx, r.y + cy, radius, Value(chara), work, radius, radius, 1, 0);
  }
  return Advance(chara, noAdvance);
}

int DrawTintCell(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  cCellAtSize c;
  if (draw != 0 && MainCell(r, s, c)) {
    const cFlashScope flash(s, c.fromSource);
    DDTint(target, r.x, r.y, r.w, r.h, c.surface, c.sx, c.sy, 1, g_PaletteWork, g_BlendTable,
           static_cast<uint32_t>(Param(chara, 4)), Value(chara));
  }
  return Advance(chara, noAdvance);
}

int DrawTranslucentCell(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const bool visible = VisibleThisPeriod(chara, noAdvance);
  const cDrawRect r = RectOf(chara);
  cCellAtSize c;
  if (draw != 0 && visible && MainCell(r, s, c)) {
    const cFlashScope flash(s, c.fromSource);
    DDTranslucent(target, r.x, r.y, r.w, r.h, c.surface, c.sx, c.sy, 1, g_BlendTable);
  }
  return Advance(chara, noAdvance);
}

int DrawMosaicCell(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  cCellAtSize c;
  if (draw != 0 && MainCellForPixelReaders(r, s, c)) {
    const cFlashScope flash(s, c.fromSource);
    DDMosaic(target, r.x, r.y, r.w, r.h, Value(chara), c.surface, c.sx, c.sy, 1);
  }
  return Advance(chara, noAdvance);
}

int DrawBlurCell(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& s, int noAdvance, int draw) {
  const cDrawRect r = RectOf(chara);
  cCellAtSize c;
  if (draw != 0 && MainCellForPixelReaders(r, s, c)) {
    const cFlashScope flash(s, c.fromSource);
    if (IsPaletteMode())
      DDTint(target, r.x, r.y, r.w, r.h, c.surface, c.sx, c.sy, 1, g_PaletteWork, g_BlendTable, kBlurStandInColour,
             Value(chara));
    else
      DDBlur(target, r.x, r.y, r.w, r.h, Value(chara), Value(chara), c.surface, c.sx, c.sy, 1);
  }
  return Advance(chara, noAdvance);
}

}  // namespace

const std::array<tCharaEffectDrawer, kCharaEffectKinds> kCharaEffectDrawers = {
    DrawPlain,            // 0  plain
    DrawBurst,            // 1  "破裂"
    DrawSplit<0>,         // 2  "分割（横）"
    DrawSplit<1>,         // 3  "分割（縦）"
    DrawWave<0>,          // 4  "波（横）"
    DrawWave<1>,          // 5  "波（縦）"
    DrawBlink,            // 6  "点滅"
    DrawRotate,           // 7  "回転A"
    DrawRotate,           // 8  "回転B"
    DrawRotateDepth,      // 9  "回転（奥）"
    DrawCircle,           // 10 "円"
    DrawZoom,             // 11 "拡大"
    DrawLens,             // 12 "レンズ"
    DrawTintCell,         // 13 "色変化"
    DrawTranslucentCell,  // 14 "半透明"
    DrawMosaicCell,       // 15 "モザイク"
    DrawBlurCell,         // 16 "ぼかし"
};
