#include "world/GameWait.h"

void cGameWait::Set(int kind, int waitForKey, int frames, int noDelay) {
  m_Frames = frames;
  m_Kind = kind;
  m_WaitForKey = waitForKey;
  m_Spare = 0;
  m_StartDelay = (waitForKey != 0 && kind == GAME_WAIT_MESSAGE && noDelay == 0) ? kGameWaitKeyDelay : 0;
}
