#pragma once
// cStageSelectScene (scene type 3): the numbered stage list of the challenge
// mode. Stage n is the first stage of the series in "data\stg4\cNN-1.stg4";
// the list shows each number with its cleared sign and best result, the
// ranking board of the stage under the cursor on request, and starts the
// chosen stage in the game scene. The cursor and scroll survive in the scene
// manager between visits.

#include <cstdint>
#include <string>

#include "graphics/Surface.h"
#include "scene/MenuScene.h"

class cStageSelectScene : public cScreenMenuScene {
 public:
  cStageSelectScene();

  void Init() override;
  void FadeOut() override;

  // Step 1: the list.
  void Select();

  // Stage n becomes the progress record's stage; its ranking file is loaded
  // when the run keeps rankings.
  void SelectNumber(int n);
  void DrawScreen(DDSURFACEDATA* lpDst) override;
  // The selectable count and the rows shown from the scroll position.
  void UpdateCounts();

  int32_t m_nTop = 0;         // first row shown (number - 1)
  int32_t m_nSelectable = 0;  // stage numbers that can be chosen
  int32_t m_nRows = 0;        // rows shown

 private:
  void StartStage();
  bool BoardShown() const;
};

// The stage file of stage number n: "data\stg4\c%02d-1.stg4".
std::string MakeStageSelectFileName(int n);

// Layout of the stage select.
inline constexpr int kStageListY = 160;
inline constexpr int kStageRowHeight = 32;
inline constexpr int kStageCursorX = 32;
inline constexpr int kStageRankingX = 292;
inline constexpr int kStageRankingY = 108;
