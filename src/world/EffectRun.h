#pragma once
// The run rules both effect players share (cCharaEffectPlayer,
// cScrEffectPlayer): a start copies the forward template (the reverse one in
// mode 1), a restart copies the template of the present direction again
// (after turning it around in mode 2), and at the end of a run a looping
// effect, or one in mode 2 still going forward, restarts instead of ending.

#include <cstdint>

#include "core/SafeVector.h"

template <class tPlayer>
void StartEffectRun(tPlayer& player, cSafeVector<tPlayer> (&templates)[2], int index, int mode, int loop) {
  index = static_cast<int16_t>(index);
  player.m_nMode = mode;
  player.m_bLoop = loop;
  player.m_bReverse = mode == 1 ? 1 : 0;
  player.CopyFrom(templates[player.m_bReverse][index]);
  player.m_nElapsed = 0;
}

template <class tPlayer>
void RestartEffectRun(tPlayer& player, cSafeVector<tPlayer> (&templates)[2]) {
  if (player.m_nMode == 2) player.m_bReverse = player.m_bReverse != 0 ? 0 : 1;
  player.CopyFrom(templates[player.m_bReverse][player.m_nEffect]);
  player.m_nElapsed = 0;
}

// 1 when the effect has finished; 0 while it goes on (restarted if its run
// ended).
template <class tPlayer>
int EndEffectRun(tPlayer& player, bool runEnded) {
  ++player.m_nElapsed;
  if (!runEnded) return 0;
  if (player.m_bLoop != 0 || (player.m_nMode == 2 && player.m_bReverse == 0)) {
    player.Restart();
    return 0;
  }
  return 1;
}
