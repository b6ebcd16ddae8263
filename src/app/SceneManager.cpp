#include "core/SceneManager.h"

#include <cstdio>
#include <new>

#include "core/Scene.h"
#include "app/SceneFactory.h"
#include "app/SystemIni.h"
#include "core/AppMessages.h"
#include "core/ErrorBox.h"
#include "core/FrameTimer.h"
#include "core/MainWindow.h"
#include "graphics/DigitSurface.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/Present.h"
#include "graphics/SurfaceFill.h"
#include "core/Log.h"
#include "platform/MessageCore.h"
#include "scene/TitleScene.h"
#include "world/KeyConfig.h"
#include "world/KeyInput.h"
#include "world/StageGraphics.h"

namespace {

SceneFactory s_Factory = nullptr;
FrameObserver s_FrameObserver = nullptr;
void* s_FrameObserverContext = nullptr;

// The palette colour a frame without a scene is cleared to, the one the menu
// scenes clear to when they hand over.
constexpr std::uint32_t kClearColour = 16;

// The title's menu-line surfaces, when the title scene is there.
bool RestoreMenuSurfaces(cSceneManager& manager) {
  auto* title = dynamic_cast<cTitleScene*>(manager.Scene(SCENE_TITLE));
  return title == nullptr || RestoreSurface(title->MenuSurfaces());
}

// Draws the frame-rate text onto the back buffer: setting 2 with the small
// font at (549, 469), any other setting with the medium font in a box at
// (495, 463).
void DrawFpsText(int showFps, const std::string& text) {
  if (showFps == 2) {
    FontPrintf(g_Font[0], &BackBuffer, 549, 469, "%s", text.c_str());
  } else {
    FontPrintfInBox(g_Font[1], &BackBuffer, 495, 463, 0, 0, "%s", text.c_str());
  }
}

}  // namespace

cScene*& cSceneManager::Slot(int type) {
  switch (type) {
    case SCENE_TITLE: return m_pTitle;
    case SCENE_WORLD_MAP: return m_pWorldMap;
    case SCENE_MAP_MENU: return m_pMapMenu;
    case SCENE_STAGE_SELECT: return m_pStageSelect;
    case SCENE_GAME: return m_pGame;
    default: return m_pOption;  // callers pass 0..5 only
  }
}

cScene* cSceneManager::Scene(int type) const {
  if (type < 0 || type >= kSceneTypeCount) return nullptr;
  return const_cast<cSceneManager*>(this)->Slot(type);
}

void cSceneManager::SetFactory(SceneFactory factory) { s_Factory = factory; }

void cSceneManager::ChangeScene(int type) {
  static constexpr int kDeleteOrder[] = {SCENE_TITLE, SCENE_MAP_MENU, SCENE_WORLD_MAP,
                                         SCENE_STAGE_SELECT, SCENE_GAME, SCENE_OPTION};
  for (int other : kDeleteOrder) {
    if (other == type) continue;
    cScene*& slot = Slot(other);
    cScene* scene = slot;
    slot = nullptr;
    delete scene;
  }
  if (type < 0 || type >= kSceneTypeCount) return;
  cScene*& slot = Slot(type);
  if (slot) return;
  try {
    slot = (s_Factory ? s_Factory : &CreateScene)(type);
  } catch (const std::bad_alloc&) {
    slot = nullptr;
    OutOfMemoryExit();
  }
}

void cSceneManager::DeleteScenes() {
  static constexpr int kOrder[] = {SCENE_TITLE,  SCENE_WORLD_MAP, SCENE_MAP_MENU,
                                   SCENE_STAGE_SELECT, SCENE_OPTION, SCENE_GAME};
  for (int type : kOrder) {
    cScene*& slot = Slot(type);
    cScene* scene = slot;
    slot = nullptr;
    delete scene;
  }
}

int cSceneManager::Frame() {
  WaitNextFrame();
  TimerStart();
  if (!lpDTCon && !RestoreSurfaces()) return 0;
  PollInput();
  CallCatchingText([this] { ChangeScene(m_nCurScene); });

  if (cScene* scene = Scene(m_nCurScene)) {
    CallCatchingText([scene] { scene->Update(); });
  } else if (lpDTCon || lpDDCon) {
    DDFillSurfacePal(&BackBuffer, kClearColour);
  }

  g_Fps = static_cast<int>(FpsCount(1));
  g_FrameMs = static_cast<int>(TimerElapsed(1));
  if (g_SystemIni.m_nShowFps != 0) {
    const int average = AddFrameTime(g_FrameMs);
    DrawFpsText(g_SystemIni.m_nShowFps, FormatFpsText(g_Fps, average));
  }
  Present();
  return 1;
}

void cSceneManager::PollInput() {
  cKeyInput& keys = g_KeyInput[0];
  if (g_KeyConfig.m_UseConfig != 0) {
    keys.PollConfigured(kJoystickRetryFrames);
  } else {
    keys.PollDefault(0, kPollJoystick | kPollKeyboard, kJoystickRetryFrames);
  }
}

int cSceneManager::RestoreSurfaces() {
  if (lpDTCon) return 1;
  if (!DDIsPrimaryLost()) return 1;
  if (!DDRestore()) return 0;
  // The scenes' own containers: surfaces from files come back from them,
  // empty ones are marked lost for their owners to draw again.
  if (!RestoreSurface(g_SpecialBmpImages.m_Surfaces) || !RestoreSurface(g_EffectImages.m_Surfaces) ||
      !RestoreSurface(g_SwordImages.m_Surfaces) || !RestoreSurface(g_PictureSurfaces) ||
      !RestoreMenuSurfaces(*this) || !RestoreSurface(g_MsgSurfaces)) {
    return 0;
  }
  RestoreDigitSurfaces(g_DigitSD.data(), kFontCount);
  if (!g_MsgSurfaces.empty()) {
    LogPrintf("if ( !RestoreSurface(Off_Msg) ) Off_Msg[0].bLost = %d", g_MsgSurfaces.front().bLost);
  }
  return 1;
}

void cSceneManager::Present() {
  if (lpDTCon) {
    if (DDEndFrame(m_nFps, 0, 0) == 0 && g_DrawLayer.bWindowMode) {
      plat::SendMessage(g_hMainWnd.load(), WM_APP_RESTORE_DISPLAY, 0, 0);
    }
    return;
  }
  if (!lpDDCon) return;
  // A stage running faster than 60 frames per second neither waits for the
  // vertical blank nor flips; the game scene sets the stage's rate.
  const bool fastStage = m_nFps > kTargetFps;
  if (g_DrawLayer.bWindowMode) {
    DDPresentWindow(fastStage ? 0 : 1);
  } else {
    DDPresentFullScreen(g_bDDBlitPresent || fastStage ? 1 : 0);
  }
}

void SetFrameObserver(FrameObserver observer, void* context) {
  s_FrameObserver = observer;
  s_FrameObserverContext = context;
}

void WaitNextFrame() {
  if (s_FrameObserver != nullptr) s_FrameObserver(s_FrameObserverContext);
  if (lpDTCon) return;
  while (!FrameLimiter(g_SceneManager.m_nFps)) plat::Sleep(1);
}

int PulseValue(int& value, int& direction, int step, int low, int high) {
  if (direction == 0) {
    const int next = value + step;
    if (next >= high) {
      direction = 1;
      return 0;
    }
    value = next;
    return 0;
  }
  const int next = value - step;
  if (next <= low) {
    direction = 0;
    return 1;
  }
  value = next;
  return 0;
}

int AddFrameTime(int frameMs) {
  if (g_FrameTimeIndex < 0 || g_FrameTimeIndex >= kFrameTimeRingSize) g_FrameTimeIndex = 0;
  g_FrameTimeRing[g_FrameTimeIndex] = frameMs;
  if (++g_FrameTimeIndex >= kFrameTimeRingSize) {
    g_FrameTimeIndex = 0;
    long long sum = 0;
    for (int ms : g_FrameTimeRing) sum += ms;
    g_FrameTimeAverage = static_cast<int>(sum / kFrameTimeRingSize);
  }
  return g_FrameTimeAverage;
}

std::string FormatFpsText(int fps, int averageMs) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "FPS%2d(%2d)", fps, averageMs);
  return buffer;
}
