#include "scene/TitleScene.h"

#include <algorithm>

#include "core/ErrorBox.h"
#include "core/MainWindow.h"
#include "core/SceneManager.h"
#include "core/StringUtil.h"
#include "data/IntPair.h"
#include "data/Progress.h"
#include "data/StorySlots.h"
#include "data/SystemData.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/Frame.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "world/MainWindowRequest.h"
#include "world/MenuCursor.h"
#include "world/ReplayFile.h"
#include "world/RunStart.h"

namespace {

constexpr int kTitleRowHeight = 32;
// The left margin of the menu surface, where the cursor stands.
constexpr int kMenuMargin = 32;
// Picture mode centres the entry pictures on x 320.
constexpr int kPictureCentre = 288;
constexpr int kTitleCursorSize = 32;

bool PictureMode() { return g_System.m_bTitlePictures != 0; }

// The rankings flag of a play mode: its ranking setting in the system data.
void TakeRankingFlag(int playMode) {
  g_SceneManager.m_nPlayMode = playMode;
  g_SceneManager.m_bRanking = g_System.m_RankGenreSets[playMode].m_bRankingOn != 0 ? 1 : 0;
}

}  // namespace

cTitleScene::cTitleScene() : cMenuScene(SCENE_TITLE, kMenuMaskTwoButtons) {
  SetSteps({static_cast<Step>(&cTitleScene::Menu), static_cast<Step>(&cTitleScene::SlotList)});
}

cTitleScene::~cTitleScene() { DDReleaseSurfaceVector(m_MenuSurfaces); }

void cTitleScene::Init() {
  RequestSceneTune(TUNE_TITLE);
  CreateRows({SURF_TITLE, SURF_GAME_MODE, SURF_ACCESSORY, SURF_WINDOW});
  g_MenuCursor.Reset();

  const std::vector<int> rows = EnabledRows(g_System.m_TitleMenu);
  m_nCmdCount = static_cast<int32_t>(std::min<std::size_t>(rows.size(), m_CmdIndex.size()));
  for (int i = 0; i < m_nCmdCount; ++i) m_CmdIndex[static_cast<std::size_t>(i)] = rows[static_cast<std::size_t>(i)];

  // The cursor comes back on the last choice; a choice no longer shown leaves
  // the row at its number, which the first move wraps onto the menu.
  const int choice = g_SceneManager.m_nTitleChoice;
  g_MenuCursor.m_pCurrent->m_Row = choice;
  for (int i = 0; i < m_nCmdCount; ++i) {
    if (m_CmdIndex[static_cast<std::size_t>(i)] == choice) {
      g_MenuCursor.m_pCurrent->m_Row = i;
      break;
    }
  }
  if (PictureMode()) m_nMenuX = kPictureCentre - FixedSurface(SURF_GAME_MODE).nWidth / 2;
  BuildMenuSurface();
  m_nSubStep = 0;
}

DDSURFACEDATA* cTitleScene::MenuSurface() { return m_MenuSurfaces.empty() ? nullptr : &m_MenuSurfaces[0]; }

void cTitleScene::BuildMenuSurface() {
  DDReleaseSurfaceVector(m_MenuSurfaces);
  m_MenuSurfaces.clear();
  m_MenuSurfaceDefs.clear();
  int width = 0;
  if (PictureMode()) {
    width = FixedSurface(SURF_GAME_MODE).nWidth + kMenuMargin;
  } else {
    int longest = 0;
    for (int i = 0; i < m_nCmdCount; ++i) {
      const cCmd& entry = g_System.m_TitleMenu[m_CmdIndex[static_cast<std::size_t>(i)]];
      longest = std::max(longest, CountChars(entry.m_strLabel.c_str()));
    }
    width = 34 + kMenuMargin * longest;
  }
  const int height = kTitleRowHeight * m_nCmdCount + 2;
  if (!DDAddSurfaceVector(m_MenuSurfaces, m_MenuSurfaceDefs, width, height, 1, 1, DTMEMORYTYPE_VIDEO_RT, 0)) {
    PostCloseToMainWindow();
    return;
  }
  DrawMenuSurface(MenuSurface());
}

void cTitleScene::DrawMenuSurface(DDSURFACEDATA* lpDst) {
  if (lpDst == nullptr) return;
  if (PictureMode()) {
    DDSURFACEDATA& strips = FixedSurface(SURF_GAME_MODE);
    DDFillRectPal(lpDst, 0, 0, lpDst->nWidth, lpDst->nHeight, 0);
    for (int i = 0; i < m_nCmdCount; ++i) {
      const int entry = m_CmdIndex[static_cast<std::size_t>(i)];
      DDBlt(lpDst, kMenuMargin, kTitleRowHeight * i, strips.nWidth, kTitleRowHeight, &strips, 0, kTitleRowHeight * entry,
            0);
    }
    return;
  }
  DDDrawBox(lpDst, 1, 1, lpDst->nWidth - 2, lpDst->nHeight - 2, &FixedSurface(SURF_WINDOW), kBoxFrame, kBoxFrameColour);
  for (int i = 0; i < m_nCmdCount; ++i) {
    const cCmd& entry = g_System.m_TitleMenu[m_CmdIndex[static_cast<std::size_t>(i)]];
    g_Font[kFontLarge].Draw(lpDst, kMenuMargin, kTitleRowHeight * i, entry.m_strLabel);
  }
}

void cTitleScene::DrawTitle() {
  DDBlt(&BackBuffer, 0, 0, 640, 480, &FixedSurface(SURF_TITLE), 0, 0, 0);
  if (DDSURFACEDATA* menu = MenuSurface()) {
    if (menu->bLost != 0) {
      DrawMenuSurface(menu);
      menu->bLost = 0;
    }
    DDBlt(&BackBuffer, m_nMenuX, m_nMenuY, menu->nWidth, menu->nHeight, menu, 0, 0, 1);
  }
  AnimateMenuPalette();
}

void cTitleScene::FadeIn() {
  if (IsPaletteMode()) DrawMenuSurface(MenuSurface());
  DrawTitle();
  if (StepFadeIn()) m_nStep = 1;
}

void cTitleScene::Menu() {
  g_MenuCursor.MoveGrid(Keys(), m_nMenuX, m_nMenuY, 0, kTitleRowHeight, 1, m_nCmdCount);
  CursorSound(kCursorSoundVertical);
  if ((Buttons() & kButtonDecide) == 0) {
    DrawTitle();
    DrawCell(SURF_ACCESSORY, 0, 0, kTitleCursorSize, kTitleCursorSize, g_MenuCursor.m_pCurrent->m_X,
             g_MenuCursor.m_pCurrent->m_Y);
    return;
  }
  Sound(MENU_SOUND_DECIDE);
  const int row = std::clamp(g_MenuCursor.m_pCurrent->m_Row, 0, std::max(m_nCmdCount - 1, 0));
  const int choice = m_CmdIndex[static_cast<std::size_t>(row)];
  g_SceneManager.m_nTitleChoice = choice;
  Choose(choice);
}

void cTitleScene::Choose(int choice) {
  switch (choice) {
    case TITLE_NEW_STORY:
      TakeRankingFlag(PLAY_MODE_STORY);
      ResetStoryRun();
      LeaveTo(SCENE_WORLD_MAP);
      break;
    case TITLE_CONTINUE:
      TakeRankingFlag(PLAY_MODE_STORY);
      g_MenuCursor.Push(cMenuCursor::PUSH_ZERO);
      m_nStep = 2;
      m_nSubStep = 0;
      break;
    case TITLE_CHALLENGE:
      TakeRankingFlag(PLAY_MODE_CHALLENGE);
      if (!g_Progress.LoadChallenge()) {
        g_Progress.ResetFreeRun();
        g_Progress.m_StageNumbers = cSafeVector<cIntPair>(static_cast<std::size_t>(g_System.m_nStageCount));
      }
      LeaveTo(SCENE_STAGE_SELECT);
      break;
    case TITLE_FREE_PLAY:
      TakeRankingFlag(PLAY_MODE_FREE);
      if (OpenStageFile()) LeaveTo(SCENE_GAME);
      break;
    case TITLE_REPLAY:
      TakeRankingFlag(PLAY_MODE_REPLAY);
      if (RequestReplayOpen() != 0) LeaveTo(SCENE_GAME);
      break;
    case TITLE_OPTIONS:
      LeaveTo(SCENE_OPTION);
      break;
    case TITLE_QUIT:
      PostCloseToMainWindow();
      break;
    default:
      break;
  }
}

bool cTitleScene::OpenStageFile() { return RequestStageFileOpen(); }

void cTitleScene::SlotList() {
  if (m_nSubStep == 0) {
    *g_MenuCursor.m_pCurrent = cMenuCursorPos{};
    m_nSlotTop = 0;
    m_nSubStep = 1;
    ScanStorySlots(g_StorySlots);
  } else if (m_nSubStep != 1) {
    return;
  }
  const int slotCount = static_cast<int>(g_StorySlots.size());
  m_nSlotRows = std::min(slotCount, kSlotListRows);
  g_MenuCursor.MoveList(Keys(), 1, m_nSlotTop, kTitleSlotListY, 16, kTitleSlotListX, m_nSlotRows, slotCount, 1);
  CursorSound(kCursorSoundBoth);

  const int slot = g_MenuCursor.m_pCurrent->m_Row;
  if (Buttons() & kButtonDecide) {
    const bool used = slot >= 0 && slot < slotCount && g_StorySlots[slot].m_bUsed != 0;
    if (!used) {
      Sound(MENU_SOUND_REFUSED);
      return;
    }
    Sound(MENU_SOUND_DECIDE);
    // A slot whose file went missing or is damaged is refused with the loader's
    // message; the progress record stays as it was and the list stays open.
    if (!g_Progress.LoadStory(slot)) {
      ErrorBoxf("%s の読み込みに失敗…", MakeStoryFileName(slot).c_str());
      return;
    }
    LeaveTo(SCENE_WORLD_MAP);
    return;
  }
  if (Buttons() & kButtonCancel) {
    Sound(MENU_SOUND_CANCEL);
    g_MenuCursor.Pop(cMenuCursor::POP_KEEP);
    m_nStep = 1;
    m_nSubStep = 0;
    return;
  }
  DDBlt(&BackBuffer, 0, 0, 640, 480, &FixedSurface(SURF_TITLE), 0, 0, 0);
  AnimateMenuPalette();
  DrawSlotList(&BackBuffer, kTitleSlotListX, kTitleSlotListY, g_StorySlots, m_nSlotTop, m_nSlotRows);
  DrawPointer(g_MenuCursor.m_pCurrent->m_X, g_MenuCursor.m_pCurrent->m_Y);
}

void cTitleScene::FadeOut() {
  if (StepFadeOut()) HandOver(true);
}
