#pragma once
// cWorldMapScene (scene type 1): the map of the story mode. The player walks a
// figure over a grid of cells; nodes placed on cells carry stage entries, the
// first of which that applies (flags, a condition on a common variable, the
// best total) is the node's current entry. Standing on a stage shows its
// title, best result and, on request, its ranking board; deciding opens a
// two-line prompt that starts the stage. A stage that is neither cleared nor
// marked pass-through blocks the way: stepping onto it opens the prompt at
// once, and refusing sends the figure back. Cancel opens the map menu;
// returning from a stage saves the story when auto-save is on.
//
// The cursor's current level holds the figure's cell (column, row); the map
// is drawn into fixed surface 67 whenever the scroll changes, and copied to
// the back buffer every frame.

#include <cstdint>

#include "data/WorldMap.h"
#include "graphics/Surface.h"
#include "scene/MenuScene.h"
#include "world/MenuCursor.h"

class cProgress;

class cWorldMapScene : public cMenuScene {
 public:
  cWorldMapScene();

  void Init() override;
  void FadeIn() override;
  void FadeOut() override;

  // Step 1: walking. Step 2: the prompt that starts a stage.
  void Move();
  void Prompt();

  // The node's current stage entry, or null.
  const cWorldStage* SelectStage(const cWorldNode* node) const;
  bool IsCleared(const cWorldStage* entry) const;
  bool IsPassable(const cWorldStage* entry) const;
  // The stage name, best result and ranking file of the current entry.
  void RefreshStageInfo();
  // The progress record takes the stage just loaded for the current entry.
  void EnterStage();
  // One step of the figure by the keys; refused moves turn it only.
  void MoveCursor(cMenuCursor& cursor, std::uint16_t direction);
  // The cells and nodes seen from the scroll, into the map surface.
  void DrawMap(DDSURFACEDATA* lpDst);
  // One screen: the map, the figure, the lives and, with information, the
  // current stage's title, best result and ranking window.
  void DrawFrame(bool withInfo);
  // The ranking board into the ranking window.
  void DrawRanking(DDSURFACEDATA* lpDst);

  int32_t m_nScrollX = 0;
  int32_t m_nScrollY = 0;
  const cWorldNode* m_pNode = nullptr;
  const cWorldStage* m_pStage = nullptr;
  int32_t m_nFacing = 0;  // 0 down, 1 up, 2 left, 3 right
  cMenuCursorPos m_SavedPos;
  cMenuCursorPos m_InfoPos;
  int32_t m_nBest = 0;

  // Whether the prompt's stage loaded, the figure's frame counter, and the
  // scroll the map surface was last drawn at.
  int32_t m_bStageLoaded = 0;
  uint32_t m_nFigureFrames = 0;
  int32_t m_nDrawnScrollX = -1;
  int32_t m_nDrawnScrollY = -1;

 private:
  void LookUpNode();
  // Scroll, node and entry follow the cursor's cell; the map surface is drawn
  // again when the scroll changed.
  void FollowCursor();
  void OpenPrompt();
  void ClosePrompt();
  // Buttons 3 and 4: the ranking window shown or hidden, its genre switched.
  void RankingKeys();
  void RedrawRanking();
  void RedrawMap();
  bool StageEntryHere() const;
  static int CursorColumn() { return g_MenuCursor.m_pCurrent->m_Column; }
  static int CursorRow() { return g_MenuCursor.m_pCurrent->m_Row; }
};

// The rules of a node's stage entries, against a progress record.
// Comparison kinds: 0 =, 1 !=, 2 >=, 3 <=, 4 >, 5 <, 6 "multiple of" (e = 0
// always passes), 7 "not a multiple of" (e = 0 never passes); others never.
bool CompareWorldCondition(int comparison, int value, int operand);
// The entry's required flag, condition and required total all pass.
bool WorldStageApplies(const cWorldStage& entry, const cProgress& progress);
// The first entry of the node that applies, or null (also for no node).
const cWorldStage* SelectWorldStage(const cWorldNode* node, const cProgress& progress);
// Its cleared flag is set; it is passable when cleared or marked pass-through.
bool IsWorldStageCleared(const cWorldStage& entry, const cProgress& progress);
bool IsWorldStagePassable(const cWorldStage& entry, const cProgress& progress);

// Layout of the world map.
inline constexpr int kFigureX = 288;
inline constexpr int kFigureY = 224;
inline constexpr int kScrollOffsetX = 9;
inline constexpr int kScrollOffsetY = 7;
inline constexpr int kWorldPromptY = 260;
inline constexpr int kWorldRankingX = 367;
inline constexpr int kWorldRankingY = 64;
inline constexpr int kWorldCell = 32;
inline constexpr int kWorldMapSurfaceRow = 67;
