#pragma once
// cHero: the character the player operates. What is declared here is what the
// appearance conditions need: the hero list. The hero itself is built on top
// of it.

#include "core/SafeVector.h"
#include "world/CharaBase.h"

class cHero : public cCharaBase {};

// The player characters; element 0 is the hero. Defined with every global
// object in app/Globals.cpp.
extern cSafeVector<cHero> Player;

// The hero of the running stage, or null while there is none.
cHero* StageHero();
