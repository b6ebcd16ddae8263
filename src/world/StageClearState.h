#pragma once
// cStageClearState: the game scene's record of a cleared stage: where the
// series goes next, the results and the ranks they take, and whether the
// player entered them. The stage-clear command fills the next stage; the
// stage clear (StageClear.h) does the rest.

#include <cstdint>
#include <string>

// One result per ranking board: score, time left, clear time, HP, SP.
inline constexpr int kStageResultCount = 5;

// The stage clear's part of the game scene.
struct cStageClearState {
  // Filled by the stage-clear command: the number of the next stage of a
  // series (0 none) and the next stage's file name ("" the series' own).
  std::int32_t m_nNextStageNo = 0;
  std::string m_strNextStageName;
  // 1 when at least one board gives a new rank.
  std::int32_t m_bRankingQualifies = 0;
  // Per board, the row the result takes, or -1.
  std::int32_t m_NewRanks[kStageResultCount] = {-1, -1, -1, -1, -1};
  // Score, time left, clear time (hundredths), HP left, SP left totals.
  std::int32_t m_Results[kStageResultCount] = {};
  // The name the name dialog returned.
  std::string m_strEnteredName;
  // 1 once the results went into the rankings.
  std::int32_t m_bRankingEntered = 0;

  // Nothing entered, no new ranks, no results (the next stage is kept).
  void ResetRanking();
};

