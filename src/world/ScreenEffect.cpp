// The screen effects: the running cScrEffectPlayer's kind transforms the
// finished frame. Every kind but 0 and 8 copies the back buffer to a work
// surface, fills the back buffer with palette colour 16 and draws the
// transformed frame back opaque. Each frame draws with the current values,
// then (unless frozen) advances them, so the first frame shows the start.

#include <algorithm>
#include <array>
#include <cmath>

#include "data/CharaEffect.h"
#include "graphics/Blit.h"
#include "graphics/BlurMosaic.h"
#include "graphics/Distortion.h"
#include "graphics/DrawContext.h"
#include "graphics/GeometricEffects.h"
#include "graphics/SurfaceFill.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/SceneDraw.h"
#include "world/StageGraphics.h"

namespace {

using tScrEffect = int (*)(cGameScene&, int);

DDSURFACEDATA* FrameCopy() { return TableSurface(SURF_WORK); }

// Copies the frame aside and clears the back buffer to colour 16.
DDSURFACEDATA* TakeFrame() {
  DDSURFACEDATA* work = FrameCopy();
  DDBlt(work, 0, 0, 640, 480, &BackBuffer, 0, 0, 0);
  DDFillRectPal(&BackBuffer, 0, 0, 640, 480, 16);
  return work;
}

struct cOpaque {
  cOpaque() { DDSetAlphaOp(1); }
  ~cOpaque() { DDResetAlphaOp(); }
  cOpaque(const cOpaque&) = delete;
  cOpaque& operator=(const cOpaque&) = delete;
};

int Time(const cScrEffectPlayer& p) { return p.Param(1); }
int Value(const cScrEffectPlayer& p) { return static_cast<int>(p.m_Current); }

// The centre of player character 0 on the screen.
void HeroCentre(const cGameScene& scene, int& x, int& y) {
  x = 320;
  y = 240;
  const cHero* hero = StageHero();
  if (hero == nullptr) return;
  x = static_cast<int>(hero->m_X - scene.m_ScrollX.m_Position) + hero->m_BoxW / 2;
  y = static_cast<int>(hero->m_Y - scene.m_ScrollY.m_Position) + hero->m_BoxH / 2;
}

int Advance(cScrEffectPlayer& p, int frozen, int from, int to) {
  return frozen != 0 ? 0 : p.Progress(from, to, p.m_Step);
}

int ScrEffectNone(cGameScene&, int) {
  if (IsDirect3D()) DDSetVirtualBackBuffer(0);
  return 0;
}

int ScrEffectMove(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  DDSURFACEDATA* work = TakeFrame();
  {
    cOpaque opaque;
    DDBlt(&BackBuffer, p.m_nWorkA, p.m_nWorkB, 640, 480, work, 0, 0, 0);
  }
  if (frozen != 0) return 0;
  const int t = std::max(Time(p), 1);
  p.m_nWorkA = static_cast<int>(static_cast<double>(p.Param(4) - p.Param(2)) / t * p.m_Current + p.Param(2));
  p.m_nWorkB = static_cast<int>(static_cast<double>(p.Param(5) - p.Param(3)) / t * p.m_Current + p.Param(3));
  return p.AdvanceClock();
}

template <int tVertical>
int ScrEffectShake(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  const int o = static_cast<int>(p.m_Work);
  DDSURFACEDATA* work = TakeFrame();
  {
    cOpaque opaque;
    if (tVertical != 0)
      DDBlt(&BackBuffer, 0, o, 640, 480, work, 0, 0, 0);
    else
      DDBlt(&BackBuffer, o, 0, 640, 480, work, 0, 0, 0);
  }
  if (frozen != 0) return 0;
  const int amplitude = p.Param(2);
  const int t = std::max(Time(p), 1);
  const double u = static_cast<double>(p.Param(3)) * amplitude * 4 / (t * 6.0);
  if (p.m_nWorkA != 0) {
    p.m_Work -= u;
    if (p.m_Work <= -amplitude) {
      p.m_Work = -amplitude;
      p.m_nWorkA = 0;
    }
  } else {
    p.m_Work += u;
    if (p.m_Work >= amplitude) {
      p.m_Work = amplitude;
      p.m_nWorkA = 1;
    }
  }
  return p.AdvanceClock();
}

template <int tColumns>
int ScrEffectSplit(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  DDSURFACEDATA* work = TakeFrame();
  const int parts = std::max(p.Param(4), 1);
  const int band = tColumns != 0 ? (640 + parts - 1) / parts : (480 + parts - 1) / parts;
  {
    cOpaque opaque;
    DDSplit(&BackBuffer, 0, 0, 640, 480, band, Value(p), work, 0, 0, 0, tColumns);
  }
  return Advance(p, frozen, p.Param(2), p.Param(3));
}

template <int tColumns>
int ScrEffectWave(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  DDSURFACEDATA* work = TakeFrame();
  {
    cOpaque opaque;
    DDWave(&BackBuffer, 0, 0, 640, 480, p.Param(4), Value(p), p.m_nWorkA, p.Param(5), work, 0, 0, 0, tColumns);
  }
  if (frozen == 0 && ++p.m_nWorkA >= 360) p.m_nWorkA = 0;
  return Advance(p, frozen, p.Param(2), p.Param(3));
}

int ScrEffectBlink(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  if (p.m_nWorkB == 0) {
    DrawBackgroundLayers(scene, 0);
    DrawBackgroundLayers(scene, 1);
  }
  if (p.m_nWorkA >= p.Param(2)) {
    p.m_nWorkA = 0;
    p.m_nWorkB = p.m_nWorkB != 0 ? 0 : 1;
  }
  if (frozen != 0) return 0;
  ++p.m_nWorkA;
  return p.AdvanceClock();
}

int ScrEffectRotate(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  DDSURFACEDATA* work = TakeFrame();
  {
    cOpaque opaque;
    DDRotate(&BackBuffer, 320, 240, 640, 480, 320, 240, Value(p), work, 0, 0, 0);
  }
  return Advance(p, frozen, p.Param(2), p.Param(3));
}

int ScrEffectCircle(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  int bx, by;
  HeroCentre(scene, bx, by);
  DDSURFACEDATA* work = TakeFrame();
  {
    cOpaque opaque;
    DDCircleWindow(&BackBuffer, bx, by, std::max(bx, 640 - bx), std::max(by, 480 - by), Value(p), p.Param(4), work, bx,
                   by, 0);
  }
  return Advance(p, frozen, p.Param(2), p.Param(3));
}

int ScrEffectZoom(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  DDSURFACEDATA* work = TakeFrame();
  const double s = Value(p) * 0.0015625;
  {
    cOpaque opaque;
    if (s >= 1.0) {
      const int w = static_cast<int>(640 / s), h = static_cast<int>(480 / s);
      int cx, cy;
      HeroCentre(scene, cx, cy);
      const int left = std::clamp(cx - w / 2, 0, 640 - w), top = std::clamp(cy - h / 2, 0, 480 - h);
      if (w > 0 && h > 0) DDBltEx(&BackBuffer, 0, 0, 640, 480, work, left, top, w, h, 1);
    } else {
      const int w = static_cast<int>(640 * s), h = static_cast<int>(480 * s);
      if (w > 0 && h > 0) DDBltEx(&BackBuffer, (640 - w) / 2, (480 - h) / 2, w, h, work, 0, 0, 640, 480, 0);
    }
  }
  return Advance(p, frozen, p.Param(2), p.Param(3));
}

int ScrEffectLens(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  int ex, ey;
  HeroCentre(scene, ex, ey);
  ex += p.Param(4);
  ey += p.Param(5);
  const int h = static_cast<int>(std::sqrt(2.0) * std::max(std::max(ex, 640 - ex), std::max(ey, 480 - ey)));
  // The frame stays in place; the lens magnifies it from a copy.
  DDSURFACEDATA* work = FrameCopy();
  DDBlt(work, 0, 0, 640, 480, &BackBuffer, 0, 0, 0);
  {
    cOpaque opaque;
    DDLens(&BackBuffer, ex, ey, h, Value(p), work, ex, ey, 0, 0);
  }
  return Advance(p, frozen, p.Param(2), p.Param(3));
}

int ScrEffectMosaic(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  DDSURFACEDATA* work = TakeFrame();
  {
    cOpaque opaque;
    DDMosaic(&BackBuffer, 0, 0, 640, 480, std::max(Value(p), 1), work, 0, 0, 0);
  }
  return Advance(p, frozen, p.Param(2), p.Param(3));
}

const std::array<tScrEffect, 14> kScrEffects = {
    ScrEffectNone,     ScrEffectMove,    ScrEffectShake<0>, ScrEffectShake<1>, ScrEffectSplit<0>,
    ScrEffectSplit<1>, ScrEffectWave<0>, ScrEffectWave<1>,  ScrEffectBlink,    ScrEffectRotate,
    ScrEffectCircle,   ScrEffectZoom,    ScrEffectLens,     ScrEffectMosaic,
};

}  // namespace

void DrawScreenEffect(cGameScene& scene, int frozen) {
  cScrEffectPlayer& p = scene.m_ScrEffect;
  if (p.m_nEffect == 0) return;
  const int kind = p.Kind();
  if (kind < 0 || kind >= static_cast<int>(kScrEffects.size())) {
    p.Clear();
    DDSetVirtualBackBuffer(0);
    return;
  }
  if (kScrEffects[static_cast<std::size_t>(kind)](scene, frozen) != 0) {
    p.m_nEffect = 0;
    DDSetVirtualBackBuffer(0);
  }
}
