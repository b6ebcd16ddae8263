#include "scene/WorldMapScene.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/ErrorBox.h"
#include "core/MainWindow.h"
#include "core/SceneManager.h"
#include "core/StringUtil.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/SpriteBatch.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "scene/RankingView.h"
#include "world/KeyInput.h"
#include "world/ScrollAxis.h"

namespace {

constexpr int kScreenColumns = 20;
constexpr int kScreenRows = 15;
// The title and best boxes are centred on x 304; the lives box ends at 605.
constexpr int kInfoCentre = 304;
constexpr int kLivesRight = 605;
constexpr int kFigureCycle = 80;
constexpr int kFigureHalf = 40;
constexpr int kChipsPerRow = 5;

DDSURFACEDATA* RankingWindow() { return g_SceneSurfaces.empty() ? nullptr : &g_SceneSurfaces[0]; }

// A list entry by a number the data gives, or null when it lies outside.
template <class List>
auto EntryOrNull(List& list, int index) -> decltype(&list[0]) {
  if (index < 0 || index >= static_cast<int>(list.size())) return nullptr;
  return &list[index];
}

// The digits of a number as the lives box counts them (1 to 10).
int DecimalDigits(int value) {
  std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
  int digits = 1;
  while (magnitude >= 10 && digits < 10) {
    magnitude /= 10;
    ++digits;
  }
  return digits;
}

bool IsMultiple(int value, int operand) {
  const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(value));
  return magnitude % operand == 0;
}

}  // namespace

// ---- the rules of the stage entries ------------------------------------------

bool CompareWorldCondition(int comparison, int value, int operand) {
  switch (comparison) {
    case 0: return value == operand;
    case 1: return value != operand;
    case 2: return value >= operand;
    case 3: return value <= operand;
    case 4: return value > operand;
    case 5: return value < operand;
    case 6: return operand == 0 || IsMultiple(value, operand);
    case 7: return operand != 0 && !IsMultiple(value, operand);
    default: return false;
  }
}

bool WorldStageApplies(const cWorldStage& entry, const cProgress& progress) {
  // A flag or variable the record does not have counts as 0.
  if (entry.m_nNeedFlag > 0) {
    const std::int32_t* flag = EntryOrNull(progress.m_StageFlags, entry.m_nNeedFlag);
    if (flag == nullptr || *flag == 0) return false;
  }
  if (entry.m_nCondVar != 0) {
    const std::int32_t* variable = EntryOrNull(progress.m_CommonVars, entry.m_nCondVar);
    if (!CompareWorldCondition(entry.m_nCondOp, variable ? *variable : 0, entry.m_nCondValue)) return false;
  }
  return progress.m_nTotal >= entry.m_nNeedTotal;
}

const cWorldStage* SelectWorldStage(const cWorldNode* node, const cProgress& progress) {
  if (node == nullptr) return nullptr;
  for (const cWorldStage& entry : node->m_Stages) {
    if (WorldStageApplies(entry, progress)) return &entry;
  }
  return nullptr;
}

bool IsWorldStageCleared(const cWorldStage& entry, const cProgress& progress) {
  const std::int32_t* flag = EntryOrNull(progress.m_StageFlags, entry.m_nClearFlag);
  return flag != nullptr && *flag != 0;
}

bool IsWorldStagePassable(const cWorldStage& entry, const cProgress& progress) {
  return entry.m_bPassThrough != 0 || IsWorldStageCleared(entry, progress);
}

// ---- the scene ---------------------------------------------------------------

cWorldMapScene::cWorldMapScene() : cMenuScene(SCENE_WORLD_MAP, kMenuMaskFourButtons) {
  SetSteps({static_cast<Step>(&cWorldMapScene::Move), static_cast<Step>(&cWorldMapScene::Prompt)});
}

const cWorldStage* cWorldMapScene::SelectStage(const cWorldNode* node) const {
  return SelectWorldStage(node, g_Progress);
}

bool cWorldMapScene::IsCleared(const cWorldStage* entry) const {
  return entry != nullptr && IsWorldStageCleared(*entry, g_Progress);
}

bool cWorldMapScene::IsPassable(const cWorldStage* entry) const {
  return entry != nullptr && IsWorldStagePassable(*entry, g_Progress);
}

bool cWorldMapScene::StageEntryHere() const { return m_pStage != nullptr && m_pStage->m_nKind == WORLD_STAGE_STAGE; }

void cWorldMapScene::LookUpNode() {
  m_pNode = g_WorldMap.FindNode(CursorColumn(), CursorRow());
  m_pStage = SelectStage(m_pNode);
}

void cWorldMapScene::Init() {
  RequestSceneTune(TUNE_WORLD_MAP);
  g_SurfaceDef[SURF_WORLD_BACK].szFile = g_WorldMap.m_strBackPicture;
  CreateRows({SURF_WORLD_BACK, SURF_WORLD_MAP_CHIP, SURF_WORLD_EVENT, SURF_ACCESSORY, SURF_WINDOW,
              kWorldMapSurfaceRow});
  g_MenuCursor.Reset();
  g_Progress.RecalcTotal(g_WorldMap);

  // A position off the map (a save from another map) starts at the map's
  // start cell instead of walking outside the grid.
  int column = g_Progress.m_nMapX;
  int row = g_Progress.m_nMapY;
  if (g_WorldMap.CellIndex(column, row) < 0) {
    column = g_WorldMap.m_nStartX;
    row = g_WorldMap.m_nStartY;
  }
  g_MenuCursor.m_pCurrent->m_Column = column;
  g_MenuCursor.m_pCurrent->m_Row = row;
  m_nScrollX = column - kScrollOffsetX;
  m_nScrollY = row - kScrollOffsetY;
  m_nFacing = g_Progress.m_nFacing & 3;
  LookUpNode();
  m_SavedPos = *g_MenuCursor.m_pCurrent;

  if (DDSURFACEDATA* window = MakeSceneSurface(kRankingWindowWidth, kRankingWindowHeight, 1)) DrawRanking(window);
  if (StageEntryHere()) RefreshStageInfo();
  if (g_Progress.m_bAutoSave != 0 && g_SceneManager.m_nPrevScene == SCENE_GAME) {
    g_Progress.SaveStory(g_Progress.m_nStorySlot);
  }
  RedrawMap();
  m_nSubStep = 0;
}

void cWorldMapScene::RedrawMap() {
  DrawMap(&FixedSurface(kWorldMapSurfaceRow));
  m_nDrawnScrollX = m_nScrollX;
  m_nDrawnScrollY = m_nScrollY;
}

void cWorldMapScene::DrawMap(DDSURFACEDATA* lpDst) {
  DDFillRectPal(lpDst, 0, 0, kScreenWidth, kScreenHeight, static_cast<std::uint32_t>(g_WorldMap.m_nFillColour));
  if (g_WorldMap.m_bBackPicture != 0) {
    const int dx = m_nScrollX < 0 ? -kWorldCell * m_nScrollX : 0;
    const int dy = m_nScrollY < 0 ? -kWorldCell * m_nScrollY : 0;
    const int sx = m_nScrollX > 0 ? kWorldCell * m_nScrollX : 0;
    const int sy = m_nScrollY > 0 ? kWorldCell * m_nScrollY : 0;
    DDBlt(lpDst, dx, dy, kScreenWidth, kScreenHeight, &FixedSurface(SURF_WORLD_BACK), sx, sy, 0);
  }

  DDBeginSpriteBatch(0);
  for (int r = 0; r < kScreenRows; ++r) {
    for (int c = 0; c < kScreenColumns; ++c) {
      const int mapX = m_nScrollX + c;
      const int mapY = m_nScrollY + r;
      if (g_WorldMap.CellIndex(mapX, mapY) < 0) continue;
      const cWorldCellKind* kind = EntryOrNull(g_WorldMap.m_CellKinds, g_WorldMap.CellAt(mapX, mapY));
      if (kind == nullptr || kind->m_nChip < 0) continue;
      const int chip = kind->m_nChip;
      DDBlt(lpDst, kWorldCell * c, kWorldCell * r, kWorldCell, kWorldCell, &FixedSurface(SURF_WORLD_MAP_CHIP),
            (chip % kChipsPerRow) * kWorldCell, (chip / kChipsPerRow) * kWorldCell, 1);
    }
  }
  DDFlushSpriteBatch();

  DDBeginSpriteBatch(0);
  for (const cWorldNode& node : g_WorldMap.m_Nodes) {
    const cWorldStage* entry = SelectStage(&node);
    if (entry == nullptr) continue;
    DDBlt(lpDst, (node.m_nX - m_nScrollX) * kWorldCell, (node.m_nY - m_nScrollY) * kWorldCell, kWorldCell,
          kWorldCell, &FixedSurface(SURF_WORLD_EVENT), IsCleared(entry) ? kWorldCell : 0, kWorldCell * entry->m_nSymbol, 1);
  }
  DDFlushSpriteBatch();
}

void cWorldMapScene::DrawRanking(DDSURFACEDATA* lpDst) { DrawSelectedRanking(lpDst, 0, 0); }

void cWorldMapScene::RedrawRanking() {
  if (DDSURFACEDATA* window = RankingWindow()) DrawRanking(window);
}

void cWorldMapScene::DrawFrame(bool withInfo) {
  DDSURFACEDATA& map = FixedSurface(kWorldMapSurfaceRow);
  if (map.bLost != 0) {
    RedrawMap();
    map.bLost = 0;
  }
  DDBlt(&BackBuffer, 0, 0, kScreenWidth, kScreenHeight, &map, 0, 0, 0);

  static constexpr int kFigureCells[4][2] = {{0, 64}, {64, 64}, {64, 96}, {0, 96}};
  const int step = (m_nFigureFrames++ % kFigureCycle) >= kFigureHalf ? kWorldCell : 0;
  DrawCell(SURF_ACCESSORY, kFigureCells[m_nFacing & 3][0] + step, kFigureCells[m_nFacing & 3][1], kWorldCell,
           kWorldCell, kFigureX, kFigureY);

  Font& medium = g_Font[kFontMedium];
  if (g_System.m_bMapShowLives != 0) {
    const int lives = g_Progress.m_nLives;
    const bool infinite = lives == kInfiniteLives;
    const int digits = infinite ? 1 : DecimalDigits(lives);
    const int x = kLivesRight - kMenuRowHeight * digits;
    medium.DrawBox(&BackBuffer, x, 17, kMenuRowHeight * (digits + 1), 20);
    DrawCell(SURF_ACCESSORY, 0, 48, kMenuRowHeight, kMenuRowHeight, x, 19);
    if (infinite) {
      medium.Draw(&BackBuffer, x + kMenuRowHeight, 19, "∞");
    } else {
      FontPrintf(medium, &BackBuffer, x + kMenuRowHeight, 19, "%d", lives);
    }
  }
  if (!withInfo || !StageEntryHere()) return;

  if (RankingsEnabled(PLAY_MODE_STORY) && g_Progress.m_bShowRanking != 0) {
    if (DDSURFACEDATA* window = RankingWindow()) {
      if (window->bLost != 0) {
        DrawRanking(window);
        window->bLost = 0;
      }
      DDBlt(&BackBuffer, kWorldRankingX, kWorldRankingY, window->nWidth, window->nHeight, window, 0, 0, 0);
    }
  }
  const bool showBest = g_System.m_bMapShowBest != 0 && m_nBest > 0;
  const int y = showBest ? 184 : 204;
  const std::string& title = m_pStage->m_strTitle;
  if (!title.empty()) {
    const int chars = CountChars(title.c_str());
    FontPrintfInBox(medium, &BackBuffer, kInfoCentre - 8 * chars, y, kMenuRowHeight * chars, kMenuRowHeight, "%s",
                    title.c_str());
  }
  if (showBest) {
    const std::string& caption = g_System.m_Messages[MSG_MAP_SCORE];
    const int width = kMenuRowHeight * (CountChars(caption.c_str()) + DecimalDigits(m_nBest));
    FontPrintfInBox(medium, &BackBuffer, kInfoCentre - width / 2, y + 20, width, kMenuRowHeight, "%s%d", caption.c_str(),
                    m_nBest);
  }
}

void cWorldMapScene::FadeIn() {
  if (IsPaletteMode()) RedrawRanking();
  DrawFrame(g_Progress.m_bBackToMap == 0);
  if (!StepFadeIn()) return;
  if (StageEntryHere()) {
    if (g_Progress.m_bBackToMap != 0) {
      // Back from a stage left unfinished: the figure returns to the cell it
      // came from instead of starting the stage again.
      g_Progress.m_bBackToMap = 0;
      if (!IsCleared(m_pStage)) {
        g_MenuCursor.m_pCurrent->m_Column = g_Progress.m_nPrevMapX;
        g_MenuCursor.m_pCurrent->m_Row = g_Progress.m_nPrevMapY;
        FollowCursor();
        RedrawMap();
      }
    } else if (g_SceneManager.m_nPrevScene != SCENE_MAP_MENU && !IsCleared(m_pStage) && !IsPassable(m_pStage)) {
      if (LoadStageForPlay(m_pStage->m_strStageFile, true, &g_StageInitial) == 0) {
        ErrorBoxf(kStageUnreadable, m_pStage->m_strStageFile.c_str());
        PostCloseToMainWindow();
        return;
      }
      EnterStage();
      g_Progress.m_nPrevMapX = CursorColumn();
      g_Progress.m_nPrevMapY = CursorRow();
      LeaveTo(SCENE_GAME);
      return;
    }
  }
  m_nStep = 1;
}

void cWorldMapScene::FollowCursor() {
  if (g_WorldMap.CellIndex(CursorColumn(), CursorRow()) < 0) {
    g_MenuCursor.m_pCurrent->m_Column = g_WorldMap.m_nStartX;
    g_MenuCursor.m_pCurrent->m_Row = g_WorldMap.m_nStartY;
  }
  m_nScrollX = CursorColumn() - kScrollOffsetX;
  m_nScrollY = CursorRow() - kScrollOffsetY;
  if (m_nScrollX != m_nDrawnScrollX || m_nScrollY != m_nDrawnScrollY) RedrawMap();
  LookUpNode();
}

void cWorldMapScene::MoveCursor(cMenuCursor& cursor, std::uint16_t direction) {
  cMenuCursorPos& level = *cursor.m_pCurrent;
  if (direction & (kDirLeft | kDirRight | kDirUp | kDirDown)) {
    g_Progress.m_nPrevMapX = level.m_Column;
    g_Progress.m_nPrevMapY = level.m_Row;
    m_SavedPos = level;
    if (direction & kDirLeft) {
      m_nFacing = 2;
      if (level.m_Column > 0) --level.m_Column;
    } else if (direction & kDirRight) {
      m_nFacing = 3;
      if (level.m_Column < g_WorldMap.m_nWidth - 1) ++level.m_Column;
    } else if (direction & kDirUp) {
      m_nFacing = 1;
      if (level.m_Row > 0) --level.m_Row;
    } else {
      m_nFacing = 0;
      if (level.m_Row < g_WorldMap.m_nHeight - 1) ++level.m_Row;
    }
    LookUpNode();
    const cWorldCellKind* kind = EntryOrNull(g_WorldMap.m_CellKinds, g_WorldMap.CellAt(level.m_Column, level.m_Row));
    const bool wall = m_pStage != nullptr && m_pStage->m_nKind == WORLD_STAGE_WALL;
    const bool blocked = m_pStage == nullptr && kind != nullptr && kind->m_bImpassable != 0;
    if (wall || blocked) {
      level = m_SavedPos;
      LookUpNode();
    } else {
      g_Progress.m_nFacing = m_nFacing;
      FollowCursor();
    }
  }
  level.m_X = kFigureX;
  level.m_Y = kFigureY;
}

void cWorldMapScene::OpenPrompt() {
  g_Progress.m_nMapX = CursorColumn();
  g_Progress.m_nMapY = CursorRow();
  g_MenuCursor.Push(cMenuCursor::PUSH_ZERO);
  m_nSubStep = 0;
  m_nStep = 2;
}

void cWorldMapScene::ClosePrompt() {
  const bool passable = IsPassable(m_pStage);
  g_MenuCursor.Pop(cMenuCursor::POP_KEEP);
  if (!passable) {
    // Refusing a stage that blocks the way sends the figure back.
    *g_MenuCursor.m_pCurrent = m_SavedPos;
    FollowCursor();
  }
  m_nSubStep = 0;
  m_nStep = 1;
}

void cWorldMapScene::RankingKeys() {
  const std::uint16_t buttons = Buttons();
  const bool enabled = RankingsEnabled(PLAY_MODE_STORY);
  if (buttons & kButtonRanking) {
    const int before = g_Progress.m_bShowRanking;
    if (enabled) {
      Sound(MENU_SOUND_RANKING);
      g_Progress.m_bShowRanking = before != 0 ? 0 : 1;
    } else {
      g_Progress.m_bShowRanking = 0;
    }
    if (g_Progress.m_bShowRanking != before) RedrawRanking();
  } else if (buttons & kButtonGenre) {
    if (enabled && g_System.CountRankGenres(g_SceneManager.m_nPlayMode) >= 2) {
      Sound(MENU_SOUND_RANKING);
      g_Progress.StepRankGenre(g_SceneManager.m_nPlayMode, 1);
    }
    RedrawRanking();
  }
}

void cWorldMapScene::Move() {
  MoveCursor(g_MenuCursor, Directions());
  CursorSound(kCursorSoundBoth);
  LookUpNode();
  bool decideRefused = false;
  if (StageEntryHere()) {
    if (CursorColumn() != m_InfoPos.m_Column || CursorRow() != m_InfoPos.m_Row) {
      RefreshStageInfo();
      m_InfoPos = *g_MenuCursor.m_pCurrent;
    }
    if (!IsPassable(m_pStage)) {
      OpenPrompt();
      return;
    }
    if (Buttons() & kButtonDecide) {
      if (IsCleared(m_pStage) && m_pStage->m_bReplay == 0) {
        decideRefused = true;
      } else {
        OpenPrompt();
        return;
      }
    }
    RankingKeys();
  }
  if ((Buttons() & kButtonCancel) && !decideRefused) {
    Sound(MENU_SOUND_MAP_MENU);
    g_Progress.m_nMapX = CursorColumn();
    g_Progress.m_nMapY = CursorRow();
    m_nSubStep = 0;
    LeaveTo(SCENE_MAP_MENU);
    return;
  }
  DrawFrame(true);
}

void cWorldMapScene::RefreshStageInfo() {
  if (m_pStage == nullptr) return;
  g_Progress.SetStageName(m_pStage->m_strStageFile, m_pStage->m_bVariant, m_pStage->m_nVariant1,
                          m_pStage->m_nVariant2);
  m_nBest = g_Progress.GetStageResult(g_Progress.m_strResultKey);
  LoadSelectedRanking();
  RedrawRanking();
}

void cWorldMapScene::Prompt() {
  if (m_pStage == nullptr) {
    ClosePrompt();
    return;
  }
  if (m_nSubStep == 0) {
    Sound(MENU_SOUND_DECIDE);
    m_bStageLoaded = LoadStageForPlay(m_pStage->m_strStageFile, true, &g_StageInitial) != 0 ? 1 : 0;
    if (m_bStageLoaded == 0) ErrorBoxf(kStageUnreadable, m_pStage->m_strStageFile.c_str());
    g_MenuCursor.m_pCurrent->m_Row = 1;
    m_nSubStep = 1;
  }
  const int x = GetMessageListX(kInfoCentre, MSG_ENTER_STAGE, 2, true);
  g_MenuCursor.MoveGrid(Keys(), x, kWorldPromptY, 0, kMenuRowHeight, 1, 2);
  CursorSound(kCursorSoundVertical);
  if (Buttons() & kButtonDecide) {
    Sound(MENU_SOUND_DECIDE);
    if (g_MenuCursor.m_pCurrent->m_Row == 0 && m_bStageLoaded != 0) {
      g_Progress.m_nFacing = m_nFacing;
      EnterStage();
      m_nSubStep = 0;
      LeaveTo(SCENE_GAME);
      return;
    }
    ClosePrompt();
    return;
  }
  if (Buttons() & kButtonCancel) {
    Sound(MENU_SOUND_CANCEL);
    ClosePrompt();
    return;
  }
  RankingKeys();
  DrawFrame(true);
  DrawMessageList(&BackBuffer, x, kWorldPromptY, MSG_ENTER_STAGE, 2, true);
  DrawPointer(g_MenuCursor.m_pCurrent->m_X, g_MenuCursor.m_pCurrent->m_Y);
}

void cWorldMapScene::EnterStage() {
  g_Progress.m_pWorldStage = m_pStage;
  g_Progress.SetStageName(g_Stage.m_Path, m_pStage->m_bVariant, m_pStage->m_nVariant1, m_pStage->m_nVariant2);
  g_Progress.m_nSeriesNo = 1;
  g_Progress.m_nStageNo = m_pStage->m_nClearFlag;
  if (g_System.m_bCarryLives != 0) {
    g_Progress.m_nLivesAtStart =
        g_System.m_InfiniteLives[PLAY_MODE_STORY] != 0 ? kInfiniteLives : g_Progress.m_nLives + 1;
  } else {
    g_Progress.m_nLivesAtStart = g_System.m_Lives[PLAY_MODE_STORY];
  }
}

void cWorldMapScene::FadeOut() {
  DrawFrame(true);
  if (StepFadeOut()) HandOver(true);
}
