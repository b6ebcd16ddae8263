#include "world/ScrEffectPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "data/CharaEffect.h"
#include "data/Database.h"
#include "world/EffectRun.h"

void cScrEffectPlayer::Init(int index, int reverse) {
  cSafeVector<cScrEffect>& list = reverse != 0 ? g_Database.m_RunScrEffects : g_Database.m_ScrEffects;
  const cScrEffect& entry = list[index];
  *this = cScrEffectPlayer();
  m_nEffect = index;
  m_pEffect = &entry;
  m_nTime = entry.m_Params[0];
  const int kind = entry.m_nKind;
  switch (kind) {
    case 1:
      m_Step = 1.0 / 6.0;
      m_nWorkA = entry.m_Params[1];
      m_nWorkB = entry.m_Params[2];
      break;
    case 2:
    case 3:
    case 8:
      m_Step = 1.0 / 6.0;
      break;
    default:
      if ((kind >= 4 && kind <= 7) || (kind >= 9 && kind <= 13)) {
        const int start = entry.m_Params[1];
        const int end = entry.m_Params[2];
        m_Current = start;
        const double frames = m_nTime * 6.0;
        m_Step = frames > 0.0 ? std::abs(end - start) / frames : std::abs(end - start) + 1.0;
        if (start == end) {
          m_bTimed = 1;
          m_Step = 1.0 / 6.0;
          m_Progress = 0.0;
        }
      }
      break;
  }
}

void cScrEffectPlayer::CopyFrom(const cScrEffectPlayer& source) {
  const int32_t mode = m_nMode, loop = m_bLoop, reverse = m_bReverse;
  *this = source;
  m_nMode = mode;
  m_bLoop = loop;
  m_bReverse = reverse;
}

void cScrEffectPlayer::Start(int index, int mode, int loop) {
  StartEffectRun(*this, g_ScrEffectTemplates, index, mode, loop);
}

void cScrEffectPlayer::Restart() { RestartEffectRun(*this, g_ScrEffectTemplates); }

int cScrEffectPlayer::Progress(int from, int to, double step) {
  bool runEnded;
  if (m_bTimed != 0) {
    m_Progress += m_Step;
    runEnded = m_Progress > m_nTime;
  } else if (to < from) {
    m_Current -= step;
    runEnded = static_cast<int>(m_Current) < to;
  } else {
    m_Current += step;
    runEnded = static_cast<int>(m_Current) > to;
  }
  return EndEffectRun(*this, runEnded);
}

// The clock counts whole frames: sixths added up in a double fall short of
// a whole tenth now and then, which would draw a frame more.
int cScrEffectPlayer::AdvanceClock() {
  const int64_t frames = int64_t{m_nElapsed} + 1;
  const int64_t lastFrame = int64_t{m_nTime} * 6;
  m_Current = static_cast<double>(std::clamp<int64_t>(frames, 0, std::max<int64_t>(lastFrame, 0))) / 6.0;
  return EndEffectRun(*this, frames >= lastFrame);
}

int cScrEffectPlayer::Kind() const {
  if (m_nEffect == 0 || m_pEffect == nullptr) return 0;
  return m_pEffect->m_nKind;
}

int cScrEffectPlayer::Param(int n) const {
  if (m_pEffect == nullptr || n < 1 || n > kEffectParamCount) return 0;
  return m_pEffect->m_Params[n - 1];
}
