#pragma once
// cHero: the character the player operates. What is declared here is the hero
// list and what the flow interpreter keeps on the hero: the change-flow
// commands met in its item command lists, and the arranges pending for its
// next item command. The hero itself is built on top of it.

#include "core/SafeVector.h"
#include "data/Command.h"
#include "flow/FlowState.h"
#include "world/CharaBase.h"

class cHero : public cCharaBase {
 public:
  // Change-flow commands met while the hero's own flows ran, applied after
  // its flows in the same flow pass (the hero's flow list never changes while
  // it is walked).
  cSafeVector<cCommand> m_ChangeFlowQueue;
  // Arranges queued by item and system commands, applied to the next one.
  cSafeVector<cArrangeEntry> m_Arranges;
};

// The player characters; element 0 is the hero. Defined with every global
// object in app/Globals.cpp.
extern cSafeVector<cHero> Player;

// The hero of the running stage, or null while there is none.
cHero* StageHero();
