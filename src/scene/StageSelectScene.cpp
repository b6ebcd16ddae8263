#include "scene/StageSelectScene.h"

#include <algorithm>

#include "core/ErrorBox.h"
#include "core/SceneManager.h"
#include "core/StringUtil.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/SurfaceTable.h"
#include "scene/RankingView.h"
#include "scene/TitleScene.h"
#include "world/MenuCursor.h"
#include "world/RunStart.h"

namespace {

constexpr int kCellSize = 32;
constexpr int kStageListX = 64;

// Whether stage n (1-based) is cleared, and its best result.
const cIntPair* StageNumberResult(int n) {
  if (n < 1 || n > static_cast<int>(g_Progress.m_StageNumbers.size())) return nullptr;
  return &g_Progress.m_StageNumbers[n - 1];
}

}  // namespace

std::string MakeStageSelectFileName(int n) { return FormatText("%s%02d-1.%s", "data\\stg4\\c", n, "stg4"); }

cStageSelectScene::cStageSelectScene() : cScreenMenuScene(SCENE_STAGE_SELECT, kMenuMaskFourButtons) {
  SetSteps({static_cast<Step>(&cStageSelectScene::Select)});
}

void cStageSelectScene::Init() {
  RequestSceneTune(TUNE_STAGE_SELECT);
  CreateRows({SURF_ACCESSORY, SURF_WINDOW});
  g_MenuCursor.Reset();
  g_MenuCursor.m_pCurrent->m_Row = g_SceneManager.m_nStageCursor[0];
  m_nTop = g_SceneManager.m_nStageCursor[1];
  SelectNumber(g_MenuCursor.m_pCurrent->m_Row + 1);
  BuildScreen();
  m_nSubStep = 0;
}

void cStageSelectScene::SelectNumber(int n) {
  g_Progress.SetStageName(MakeStageSelectFileName(n), 0, 0, 0);
  LoadSelectedRanking();
}

void cStageSelectScene::UpdateCounts() {
  m_nSelectable = g_System.m_bAllStages != 0 ? g_System.m_nStageCount : g_Progress.m_nOpenStages;
  m_nRows = std::clamp(m_nSelectable - m_nTop, 0, kSlotListRows);
}

bool cStageSelectScene::BoardShown() const {
  return RankingsEnabled(PLAY_MODE_CHALLENGE) && g_Progress.m_bShowRanking != 0;
}

void cStageSelectScene::DrawScreen(DDSURFACEDATA* lpDst) {
  Font& large = g_Font[kFontLarge];
  Font& medium = g_Font[kFontMedium];
  DrawFrame(lpDst, g_System.m_TitleMenu[TITLE_CHALLENGE].m_strLabel);

  const int total = g_Progress.m_nTotal;
  if (g_System.m_bSelectShowTotal != 0 && total > 0) {
    const std::string& caption = g_System.m_Messages[MSG_TOTAL_SCORE];
    const int chars = CountChars(caption.c_str()) + static_cast<int>(std::to_string(total).size());
    FontPrintf(medium, lpDst, kScreenCentreX - 8 * chars, 88, "%s%d", caption.c_str(), total);
  }
  const bool showBest = g_System.m_bSelectShowBest != 0;
  if (!BoardShown() && showBest) {
    FontPrintf(large, lpDst, 32, 128, "         %s", g_System.m_Messages[MSG_HIGH_SCORE].c_str());
  }

  UpdateCounts();
  const std::string& word = g_System.m_Messages[MSG_WORLD];
  const int wordChars = CountChars(word.c_str());
  for (int i = 0; i < m_nRows; ++i) {
    const int n = m_nTop + i + 1;
    const int y = kStageListY + kStageRowHeight * i;
    FontPrintf(large, lpDst, kStageListX, y, "%s%d", word.c_str(), n);
    const cIntPair* result = StageNumberResult(n);
    if (result != nullptr && result->m_nFirst != 0) {
      DDBlt(lpDst, kCellSize * (wordChars + 4), y, kCellSize, kCellSize, &g_SurfaceData[SURF_ACCESSORY], 96, 0, 1);
    }
    if (showBest) FontPrintf(large, lpDst, kCellSize * wordChars + 192, y, "%d", result ? result->m_nSecond : 0);
  }
  if (BoardShown()) DrawSelectedRanking(lpDst, kStageRankingX, kStageRankingY);
}

void cStageSelectScene::Select() {
  UpdateCounts();
  g_MenuCursor.MoveList(Keys(), 1, m_nTop, kStageListY, kStageRowHeight, kStageCursorX, m_nRows, m_nSelectable, 1);
  CursorSound(kCursorSoundBoth);
  if (Directions() != 0) {
    SelectNumber(g_MenuCursor.m_pCurrent->m_Row + 1);
    RedrawScreen();
  }
  const std::uint16_t buttons = Buttons();
  if (buttons & kButtonDecide) {
    StartStage();
    return;
  }
  if (buttons & kButtonCancel) {
    Sound(MENU_SOUND_CANCEL);
    g_SceneManager.m_nPrevScene = SCENE_STAGE_SELECT;
    LeaveTo(SCENE_TITLE);
    return;
  }
  const int playMode = g_SceneManager.m_nPlayMode;
  if (buttons & kButtonRanking) {
    if (RankingsEnabled(PLAY_MODE_CHALLENGE)) {
      Sound(MENU_SOUND_RANKING);
      g_Progress.m_bShowRanking = g_Progress.m_bShowRanking != 0 ? 0 : 1;
      RedrawScreen();
    } else {
      g_Progress.m_bShowRanking = 0;
    }
  } else if (buttons & kButtonGenre) {
    if (RankingsEnabled(PLAY_MODE_CHALLENGE) && g_System.CountRankGenres(playMode) >= 2) {
      Sound(MENU_SOUND_RANKING);
      g_Progress.StepRankGenre(playMode, 1);
    }
    RedrawScreen();
  }
  ShowScreen();
  DrawCell(SURF_ACCESSORY, 0, 0, kCellSize, kCellSize, g_MenuCursor.m_pCurrent->m_X, g_MenuCursor.m_pCurrent->m_Y);
}

void cStageSelectScene::StartStage() {
  const int row = g_MenuCursor.m_pCurrent->m_Row;
  const std::string name = MakeStageSelectFileName(row + 1);
  if (LoadStageForPlay(name, true, &g_StageInitial) == 0) {
    Sound(MENU_SOUND_REFUSED);
    ErrorBoxf(kStageUnreadable, name.c_str());
    return;
  }
  Sound(MENU_SOUND_DECIDE);
  g_Progress.SetStageName(g_Stage.m_Path, 0, 0, 0);
  g_Progress.m_nSeriesNo = 1;
  g_Progress.m_nStageNo = row + 1;
  GiveRunStartLives(PLAY_MODE_CHALLENGE, false);
  g_Progress.m_bSeries = 1;
  g_SceneManager.m_nStageCursor[0] = row;
  g_SceneManager.m_nStageCursor[1] = m_nTop;
  g_SceneManager.m_nPrevScene = SCENE_STAGE_SELECT;
  LeaveTo(SCENE_GAME);
}

void cStageSelectScene::FadeOut() {
  if (StepFadeOut()) HandOver(true);
}
