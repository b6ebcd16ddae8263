#include "scene/MenuScene.h"

#include "core/AppMessages.h"
#include "core/MainWindow.h"
#include "core/SceneManager.h"
#include "core/SoundRequest.h"
#include "core/StringUtil.h"
#include "data/SystemData.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/Fade.h"
#include "graphics/Font.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "platform/MessageCore.h"
#include "sound/SoundState.h"
#include "world/KeyInput.h"
#include "world/MenuCursor.h"
#include "world/ScrollAxis.h"

cMenuScene::cMenuScene(int ownType, int buttonMask) : m_nOwnType(ownType), m_nButtonMask(buttonMask) {}

cMenuScene::~cMenuScene() {
  for (int row : m_CreatedRows) DDReleaseSurface(&g_SurfaceData[static_cast<std::size_t>(row)]);
}

void cMenuScene::Update() {
  cKeyInput& keys = g_KeyInput[0];
  keys.RepeatDirections();
  keys.PressOnce(m_nButtonMask);
  RunSteps();
}

const cKeyInput& cMenuScene::Keys() { return g_KeyInput[0]; }
std::uint16_t cMenuScene::Directions() { return g_KeyInput[0].m_Dir; }
std::uint16_t cMenuScene::Buttons() { return g_KeyInput[0].m_Buttons; }

void cMenuScene::RequestSceneTune(int tune) {
  const int number = g_System.m_SceneBgm[tune];
  if (number != 0 && number == g_SceneManager.m_nSceneBgm) return;
  g_SceneManager.m_nSceneBgm = number;
  plat::SendMessage(g_hMainWnd.load(), WM_APP_MUSIC, static_cast<WPARAM>(tune), 0);
}

void cMenuScene::CreateRows(std::initializer_list<int> rows) {
  const std::vector<int> list(rows);
  for (int row : list) m_CreatedRows.push_back(row);
  if (!DDCreateSurfaceTable(g_SurfaceData.data(), list.data(), static_cast<int>(list.size()))) {
    PostCloseToMainWindow();
  }
}

DDSURFACEDATA* cMenuScene::MakeSceneSurface(int width, int height, int key) {
  DDReleaseSurfaceVector(g_SceneSurfaces);
  g_SceneSurfaces.clear();
  g_SceneSurfaceDefs.clear();
  if (!DDAddSurfaceVector(g_SceneSurfaces, g_SceneSurfaceDefs, width, height, key, 1, DTMEMORYTYPE_VIDEO_RT, 0)) {
    PostCloseToMainWindow();
    return nullptr;
  }
  return &g_SceneSurfaces[0];
}

bool cMenuScene::StepFadeIn() {
  return DDFadeIn(g_PaletteWork, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeStep, g_Palette, 0);
}

bool cMenuScene::StepFadeOut() {
  return DDFadeOut(g_PaletteWork, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeStep, g_Palette, 0);
}

void cMenuScene::HandOver(bool resetCursor) {
  DDFillSurfacePal(&BackBuffer, kHandOverColour);
  if (resetCursor) g_MenuCursor.Reset();
  g_SceneManager.m_nPrevScene = m_nOwnType;
  g_SceneManager.m_nCurScene = g_SceneManager.m_nNextScene;
}

void cMenuScene::LeaveTo(int nextScene) {
  g_SceneManager.m_nNextScene = nextScene;
  m_nStep = static_cast<int>(m_Steps.size()) - 1;
}

void cMenuScene::AnimateMenuPalette() { AnimatePalette(g_System.m_nPulseStep, g_System.m_bPaletteCycling); }

bool cMenuScene::IsPaletteMode() { return g_DrawLayer.nBpp == 8; }

void cMenuScene::Sound(int slot) { PlaySystemSound(slot); }

void cMenuScene::CursorSound(int mode) { PlayCursorSound(Directions(), mode, MENU_SOUND_CURSOR); }

DDSURFACEDATA& cMenuScene::FixedSurface(int row) { return g_SurfaceData[static_cast<std::size_t>(row)]; }

void cMenuScene::DrawCell(int row, int sx, int sy, int w, int h, int x, int y) {
  DDBlt(&BackBuffer, x, y, w, h, &FixedSurface(row), sx, sy, 1);
}

void cMenuScene::DrawPointer(int x, int y) { DrawCell(SURF_ACCESSORY, 64, 0, 16, 16, x, y); }

void cMenuScene::DrawParentPointer(int x, int y) { DrawCell(SURF_ACCESSORY, 80, 0, 16, 16, x, y); }

namespace {

DDSURFACEDATA* ScreenSurface() { return g_SceneSurfaces.empty() ? nullptr : &g_SceneSurfaces[0]; }

}  // namespace

void cScreenMenuScene::BuildScreen() {
  if (DDSURFACEDATA* screen = MakeSceneSurface(kScreenWidth, kScreenHeight, 0)) DrawScreen(screen);
}

void cScreenMenuScene::RedrawScreen() {
  if (DDSURFACEDATA* screen = ScreenSurface()) DrawScreen(screen);
}

void cScreenMenuScene::ShowScreen() {
  if (DDSURFACEDATA* screen = ScreenSurface()) {
    if (screen->bLost != 0) {
      DrawScreen(screen);
      screen->bLost = 0;
    }
    DDBlt(&BackBuffer, 0, 0, kScreenWidth, kScreenHeight, screen, 0, 0, 0);
  }
  AnimateMenuPalette();
}

void cScreenMenuScene::DrawFrame(DDSURFACEDATA* lpDst, const std::string& heading) {
  Font& large = g_Font[kFontLarge];
  large.DrawBox(lpDst, 1, 1, kScreenWidth - 2, kScreenHeight - 2);
  large.Draw(lpDst, 320 - 16 * CountChars(heading.c_str()), 32, heading);
}

void cScreenMenuScene::FadeIn() {
  if (IsPaletteMode()) RedrawScreen();
  ShowScreen();
  if (StepFadeIn()) m_nStep = 1;
}
