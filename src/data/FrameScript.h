#pragma once
// The run-time frame scripts compiled from the animation and effect databases
// and played by the animation sequencer of the game world.

#include <cstdint>

#include "core/SafeVector.h"

// One script row. A pattern of 0 or more is the cell to show for `m_nDuration`
// frames; negative patterns are control rows: -1 hold the previous row, -2
// loop to row 0, -3 start the animation numbered by `m_nDuration`, -4 the
// one-shot animation has ended. `m_nLock` nonzero: the row cannot be
// interrupted by a start of another animation that is not forced.
struct cAnimeFrame {
  int32_t m_nPattern = 0;
  int32_t m_nDuration = 0;
  int32_t m_nLock = 0;

  friend bool operator==(const cAnimeFrame&, const cAnimeFrame&) = default;
};

inline constexpr int32_t kAnimePatternHold = -1;
inline constexpr int32_t kAnimePatternLoop = -2;
inline constexpr int32_t kAnimePatternJump = -3;
inline constexpr int32_t kAnimePatternEnd = -4;

// One animation's rows, ended by a control row.
using cFrameScript = cSafeVector<cAnimeFrame>;
// One script per database entry, indexed like the database list.
using cFrameScriptTable = cSafeVector<cFrameScript>;
