#pragma once
// What the world map and the stage select show of the rankings: the ranking
// file of the stage under the cursor, and one board of it.

#include "graphics/Surface.h"

// Whether the system data keeps rankings in the play mode.
bool RankingsEnabled(int playMode);

// When the run keeps rankings: the ranking file of the progress record's
// stage (its name and variant) for the current play mode, and the genre
// moved onto one the mode enables.
void LoadSelectedRanking();

// The board of the progress record's genre at (x, y), without a highlight.
void DrawSelectedRanking(DDSURFACEDATA* lpDst, int x, int y);

// The ranking window's size.
inline constexpr int kRankingWindowWidth = 272;
inline constexpr int kRankingWindowHeight = 352;
