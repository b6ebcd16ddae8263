#include "world/CharaEffectPlayer.h"

#include <cmath>
#include <utility>

#include "data/CharaEffect.h"
#include "data/Database.h"
#include "world/EffectRun.h"
#include "world/ScrEffectPlayer.h"

namespace {

// Kinds 6 ("点滅") and 14 ("半透明") count frames of an interval instead of
// moving a value from a start to an end.
bool IsIntervalKind(int kind) { return kind == 6 || kind == 14; }

// Chara-effect kinds whose parameters 2 and 3 are a start and an end value.
bool HasStartEnd(int kind) { return kind >= 1 && kind <= 16 && !IsIntervalKind(kind); }

// Screen-effect kinds whose parameters 2 and 3 are a start and an end value
// (kind 1 has two pairs: 2/3 start, 4/5 end).
bool ScrHasStartEnd(int kind) { return (kind >= 4 && kind <= 7) || (kind >= 9 && kind <= 13); }

void TurnAroundCharaEffects(cSafeVector<cCharaEffect>& effects) {
  for (cCharaEffect& e : effects)
    if (HasStartEnd(e.m_nKind)) std::swap(e.m_Params[1], e.m_Params[2]);
}

void TurnAroundScrEffects(cSafeVector<cScrEffect>& effects) {
  for (cScrEffect& e : effects) {
    if (e.m_nKind == 1) {
      std::swap(e.m_Params[1], e.m_Params[3]);
      std::swap(e.m_Params[2], e.m_Params[4]);
    } else if (ScrHasStartEnd(e.m_nKind)) {
      std::swap(e.m_Params[1], e.m_Params[2]);
    }
  }
}

}  // namespace

void BuildEffectTemplates() {
  g_Database.FillRunTimeEffectLists();
  TurnAroundCharaEffects(g_Database.m_RunCharaEffects);
  TurnAroundScrEffects(g_Database.m_RunScrEffects);
  BuildCharaEffectTables(g_CharaEffectTemplates[0], g_CharaEffectTemplates[1]);
  BuildScrEffectTables(g_ScrEffectTemplates[0], g_ScrEffectTemplates[1]);
}

void cCharaEffectPlayer::Init(int index, int reverse) {
  cSafeVector<cCharaEffect>& list = reverse != 0 ? g_Database.m_RunCharaEffects : g_Database.m_CharaEffects;
  const cCharaEffect& entry = list[index];
  m_nEffect = index;
  m_pEffect = &entry;
  m_nTime = entry.m_Params[0];
  m_Progress = 0.0;
  if (IsIntervalKind(entry.m_nKind)) {
    m_nStartValue = 0;
    m_nEndValue = m_nTime;
    m_Current = 0.0;
    m_Step = 1.0 / 6.0;
  } else {
    m_nStartValue = entry.m_Params[1];
    m_nEndValue = entry.m_Params[2];
    m_Current = m_nStartValue;
    // A time of 0 would divide by zero: the effect then jumps to its end in
    // one frame.
    const double frames = m_nTime * 6.0;
    m_Step =
        frames > 0.0 ? std::abs(m_nEndValue - m_nStartValue) / frames : std::abs(m_nEndValue - m_nStartValue) + 1.0;
  }
  if (entry.m_nKind != 0 && m_nStartValue == m_nEndValue) {
    m_Step = 1.0 / 6.0;
    m_Progress = 0.0;
  }
}

void cCharaEffectPlayer::CopyFrom(const cCharaEffectPlayer& source) {
  m_nEffect = source.m_nEffect;
  m_pEffect = source.m_pEffect;
  m_nStartValue = source.m_nStartValue;
  m_nEndValue = source.m_nEndValue;
  m_Current = source.m_Current;
  m_Step = source.m_Step;
  m_Progress = source.m_Progress;
  m_nTime = source.m_nTime;
  m_nWork1 = source.m_nWork1;
  m_nWork2 = source.m_nWork2;
}

void cCharaEffectPlayer::Start(int index, int mode, int loop) {
  StartEffectRun(*this, g_CharaEffectTemplates, index, mode, loop);
}

void cCharaEffectPlayer::Restart() { RestartEffectRun(*this, g_CharaEffectTemplates); }

int cCharaEffectPlayer::Progress() {
  bool runEnded;
  if (m_nStartValue == m_nEndValue) {
    m_Progress += m_Step;
    runEnded = m_Progress > m_nTime;
  } else if (m_nEndValue < m_nStartValue) {
    m_Current -= m_Step;
    runEnded = m_Current < m_nEndValue;
  } else {
    m_Current += m_Step;
    runEnded = m_Current > m_nEndValue;
  }
  return EndEffectRun(*this, runEnded);
}

int cCharaEffectPlayer::Kind() const {
  if (m_nEffect == 0 || m_pEffect == nullptr) return 0;
  return m_pEffect->m_nKind;
}
