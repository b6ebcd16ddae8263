#pragma once
// cCharaEffectPlayer: the chara effect (CharaEffect.dat) running inside a
// character: its progress from a start value to an end value over its time,
// which the character's drawing applies to the character's image. Every
// character holds one; an effect index of 0 means none. The same layout serves
// as the template of an effect, built at start-up for both directions.
//
// What is declared here is the record and its clearing, which the character
// base needs at set-up; playing effects is built with the effect players.

#include <cstdint>

class cCharaEffect;

class cCharaEffectPlayer {
 public:
  // Every member 0: no effect.
  void Clear() { *this = cCharaEffectPlayer(); }

  // Starts chara effect `index` from template list `list` (1 forward, 2
  // reverse) with `value`. Does nothing until the effect players are built.
  void Start(int index, int list, int value);

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
  int32_t m_nWork1 = 0;
  int32_t m_nWork2 = 0;
};
