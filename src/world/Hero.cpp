#include "world/Hero.h"

cHero* StageHero() { return Player.empty() ? nullptr : &Player[0]; }
