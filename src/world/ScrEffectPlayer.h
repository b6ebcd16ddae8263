#pragma once
// cScrEffectPlayer: the screen effect (ScrEffect.dat) the game scene runs on
// the whole frame; one per scene, index 0 when none runs. Its values are read
// and advanced by the screen-effect callbacks (ScreenEffect.cpp), which draw
// with the current values first and advance them afterwards.
//
// The templates are built at start-up like those of cCharaEffectPlayer; the
// kinds without a start and an end (1 move, 2 and 3 shake, 8 blink) count
// m_Current from 0 up to their time instead (AdvanceClock).

#include <cstdint>

#include "core/SafeVector.h"

class cScrEffect;

class cScrEffectPlayer {
 public:
  void Clear() { *this = cScrEffectPlayer(); }

  // Builds the template of screen effect `index` (forward or reverse list).
  void Init(int index, int reverse);
  // Takes the template's effect and values; mode, loop and direction stay.
  void CopyFrom(const cScrEffectPlayer& source);
  // Starts screen effect `index` (16 bits) in `mode` (1 backward, 2 there and
  // back), `loop` non-zero repeating.
  void Start(int index, int mode, int loop);
  void Restart();
  // One frame: a timed effect adds its step to m_Progress and its run ends
  // past m_nTime; otherwise m_Current moves by `step` from `from` toward `to`
  // and the run ends when its whole part passes `to`. 1 when finished.
  int Progress(int from, int to, double step);
  // One frame of the kinds that count their time (move, shakes, blink):
  // m_Current becomes this run's frames / 6, held at m_nTime, and the run
  // ends with its m_nTime x 6-th frame. 1 when finished.
  int AdvanceClock();
  // The entry's kind, 0 when none runs.
  int Kind() const;
  // Parameter 1..5 of the running entry (0 without one).
  int Param(int n) const;

  // ---- members, in order ----
  int32_t m_nEffect = 0;  // 0: no effect
  const cScrEffect* m_pEffect = nullptr;
  int32_t m_nMode = 0;
  int32_t m_bLoop = 0;
  int32_t m_bReverse = 0;
  int32_t m_nElapsed = 0;
  double m_Current = 0.0;
  double m_Work = 0.0;
  double m_Step = 0.0;
  int32_t m_nWorkA = 0;
  int32_t m_nWorkB = 0;
  int32_t m_bTimed = 0;  // start equals end
  double m_Progress = 0.0;
  int32_t m_nTime = 0;  // tenths of a second
};

// The screen-effect templates: [0] forward, [1] reverse. Defined with every
// global object in app/Globals.cpp; built by BuildEffectTemplates.
extern cSafeVector<cScrEffectPlayer> g_ScrEffectTemplates[2];
