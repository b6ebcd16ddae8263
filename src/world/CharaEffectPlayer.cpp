#include "world/CharaEffectPlayer.h"

// Filled with the effect players: until then a character shows no chara effect.
void cCharaEffectPlayer::Start(int, int, int) {}
