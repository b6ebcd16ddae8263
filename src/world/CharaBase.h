#pragma once
// cCharaBase: everything a character on the stage is, apart from what only
// ordinary characters (cChara) or the hero (cHero) add: its own copy of its
// definition (cCharaData), its run-time status and variables, the run-time
// states of its flows, its links, its movement state and its hit rectangles.
//
// What is declared here is the part the game-object base and the appearance
// conditions need: the definition, the character variables and the centring
// operations. The character itself is built on top of it.

#include <cstdint>

#include "core/SafeVector.h"
#include "data/CharaData.h"
#include "world/GameObj.h"

// Character variables: entries 1 to 8 are v1 to v8; entry 0 is not addressed.
inline constexpr int kCharaVarCount = 9;

class cCharaBase : public cGameObj {
 public:
  cCharaBase() : m_Vars(kCharaVarCount) {}

  // Centring on a screen position: the graphic's screen centre from the last
  // UpdateRect moves onto x (or y), then ConstrainX (or ConstrainY) keeps the
  // character in its area. The Stop forms also zero the four
  // accumulated-movement values of the command state (when one is given).
  void SetCenter(int x, int y) override;
  void SetCenterStop(int x, int y, cCmdState* moveState) override;
  void SetCenterX(int x) override;
  void SetCenterXStop(int x, cCmdState* moveState) override;
  void SetCenterY(int y) override;
  void SetCenterYStop(int y, cCmdState* moveState) override;

  // Keep the character in its area after a position change; the character
  // classes constrain, the base does nothing (0).
  virtual int ConstrainX() { return 0; }
  virtual int ConstrainY() { return 0; }

  // The character's own copy of its definition.
  cCharaData m_Data;
  // v1 to v8 at 1 to 8.
  cSafeVector<int32_t> m_Vars;
};
