#include "world/BlockCollision.h"

#include "world/Hero.h"

// Filled with the block collision.
int MapCollideX(cCharaBase&) { return 0; }
int MapCollideXRecheck(cCharaBase&) { return 0; }
int MapCollideY(cCharaBase&) { return 0; }
int MapCollideYRecheck(cCharaBase&) { return 0; }
int CollideLeft(cCharaBase&) { return 0; }
int CollideRight(cCharaBase&) { return 0; }
int CollideUp(cCharaBase&) { return 0; }
int CollideDown(cCharaBase&) { return 0; }
int IsPlaceBlocked(cCharaBase&, cObjList<cChara>&) { return 0; }
int CollideBlockCharas(cCharaBase&, cObjList<cChara>&) { return 0; }
int OverlapsBlockChara(cCharaBase&, cObjList<cChara>&) { return 0; }
int OverlapsOtherBlockChara(cCharaBase&, cObjList<cChara>&, int) { return 0; }
int IsCrushedByBlockCharas(cCharaBase&, cObjList<cChara>&, const double[4]) { return 0; }
int StillOnRiddenBlock(cCharaBase&, cObjList<cChara>&) { return 0; }
cChara* FindBlockUnderFeet(cCharaBase&, cObjList<cChara>&) { return nullptr; }
int CarryRider(cCharaBase&, cObjList<cChara>&) { return 0; }
int PushHeroByScreenX(cHero&) { return 0; }
int PushHeroByScreenY(cHero&) { return 0; }
