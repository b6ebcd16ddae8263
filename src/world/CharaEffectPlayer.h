#pragma once
// cCharaEffectPlayer: the chara effect (CharaEffect.dat) running inside a
// character: its progress from a start value to an end value over its time,
// which the character's drawing (CharaEffectDraw.cpp) applies to the
// character's image. Every character holds one; an effect index of 0 means
// none. The same layout serves as the template of an effect: start-up builds
// one template per entry running forward and one running backward
// (BuildEffectTemplates), and Start copies one of them.
//
// Progress per frame (Progress, once per drawn frame that advances):
//   start == end   the effect is timed: m_Progress grows by m_Step (1/6) and
//                  the run ends once it exceeds m_nTime (tenths of a second);
//   end < start    m_Current falls by m_Step and the run ends below the end;
//   otherwise      m_Current grows by m_Step and the run ends above the end.
// At the end of a run a looping effect, or one in mode 2 still running
// forward, restarts (mode 2 toggling the direction); otherwise it is finished.
// So mode 1 plays end to start once, mode 2 start to end then back, any other
// mode start to end once.

#include <cstdint>

#include "core/SafeVector.h"

class cCharaEffect;

class cCharaEffectPlayer {
 public:
  // Every member 0: no effect.
  void Clear() { *this = cCharaEffectPlayer(); }

  // Builds the template of chara effect `index` from the forward (reverse 0)
  // or the reverse run-time list of g_Database (an index outside it is
  // reported and entry 0 used).
  void Init(int index, int reverse);
  // Takes the template's effect and values; mode, loop and direction stay.
  void CopyFrom(const cCharaEffectPlayer& source);
  // Starts chara effect `index` (16 bits): mode 1 from the reverse template,
  // any other mode from the forward one; loop non-zero repeats forever.
  void Start(int index, int mode, int loop);
  // Copies the template again (in mode 2 from the other direction).
  void Restart();
  // One frame of progress: 1 when the effect has finished.
  int Progress();
  // The kind of the running effect's entry, 0 when none runs.
  int Kind() const;

  // ---- members, in order ----
  int32_t m_nEffect = 0;  // CharaEffect index, 0 none
  const cCharaEffect* m_pEffect = nullptr;
  int32_t m_nMode = 0;
  int32_t m_bLoop = 0;
  int32_t m_bReverse = 0;  // the reverse template is in use
  int32_t m_nElapsed = 0;
  int32_t m_nStartValue = 0;
  int32_t m_nEndValue = 0;
  double m_Current = 0.0;
  double m_Step = 0.0;
  double m_Progress = 0.0;
  int32_t m_nTime = 0;  // tenths of a second
  // Per-kind drawing state: the wave phase (kinds 4 and 5); the period
  // counter and the visibility (kinds 6 and 14).
  int32_t m_nWork1 = 0;
  int32_t m_nWork2 = 0;
};

// The chara-effect templates, index by effect: [0] forward, [1] reverse.
// Defined with every global object in app/Globals.cpp; built at start-up.
extern cSafeVector<cCharaEffectPlayer> g_CharaEffectTemplates[2];

// The start-up step of the effect players: the run-time copies of the
// chara-effect and screen-effect lists are made from the loaded database, the
// second copy turned around (start and end values swapped), and both template
// tables of both players built from them.
void BuildEffectTemplates();
