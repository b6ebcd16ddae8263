#pragma once
// Block collision of characters: after every horizontal and every vertical
// sub-step move the play step pushes a character out of the map's solid
// cells and out of the block characters, which sets its contact flags, fires
// the block triggers of its flows, and decides whether it lands, hits a
// ceiling, is carried by a block character it rides, or is crushed.
//
// Results: 0 go on, 2 the character dies (a player-operated character touched
// a deadly cell, a flying character that dies on contact touched something,
// or it was crushed). A computer-operated character stands on a deadly cell
// as on a solid one.
//
// Trigger numbers fired: 5 touched a block character, 6 riding one, 9
// touched a block, 10 a block at the left or right, 11 at the left, 12 at the
// right, 13 above or below, 14 above, 15 below, 16 ridden by the hero and 17
// ridden by a character (both fired on the block character).
//
// A flying character that passes through blocks (fly contact 0) takes no
// part: every routine leaves it alone (0).
//
// Boxes are inclusive: two overlap when left1 <= right2, right1 >= left2,
// top1 <= bottom2 and bottom1 >= top2. Cells are probed at the whole parts of
// the edges (x86 truncation). A block character is a character of the list
// with the block flag, alive and active; a character never meets itself.

#include "world/Chara.h"

class cCharaBase;
class cHero;

// ---- the map ----

// The horizontal map collision after a horizontal move: the side the
// character moves toward first (the right side first for a flying character
// that collides).
int MapCollideX(cCharaBase& chara);
// The horizontal test again, right side first (after the block characters).
int MapCollideXRecheck(cCharaBase& chara);
// The vertical map collision after a vertical move: down first when moving
// down. Clears the cell below first.
int MapCollideY(cCharaBase& chara);
// The vertical test again, down side first, without counting airborne
// sub-steps (after the block characters).
int MapCollideYRecheck(cCharaBase& chara);
// One side each.
int CollideLeft(cCharaBase& chara);
int CollideRight(cCharaBase& chara);
int CollideUp(cCharaBase& chara);
int CollideDown(cCharaBase& chara);
// Whether the box covers a solid cell at one of its corner cells or overlaps
// a block character (before placing a summoned character or a warp).
int IsPlaceBlocked(cCharaBase& chara, cObjList<cChara>& charas);

// ---- block characters ----

// Pushes the character out of the block characters it overlaps, lands it on
// one, carries its riding state on; 2 when it is crushed (or, flying with
// fly contact 2, touched one).
int CollideBlockCharas(cCharaBase& chara, cObjList<cChara>& charas);
// Whether the box overlaps a block character (other than the one of key
// `excludedKey`).
int OverlapsBlockChara(cCharaBase& chara, cObjList<cChara>& charas);
int OverlapsOtherBlockChara(cCharaBase& chara, cObjList<cChara>& charas, int excludedKey);
// Whether each corner of the box lies inside some block character, in the
// character's current box or in `boxAtStart` (left, top, right, bottom).
int IsCrushedByBlockCharas(cCharaBase& chara, cObjList<cChara>& charas, const double boxAtStart[4]);
// The block character under the feet: the ridden one when it is still there,
// the first one in a 5-dot strip below the feet, or null.
int StillOnRiddenBlock(cCharaBase& chara, cObjList<cChara>& charas);
cChara* FindBlockUnderFeet(cCharaBase& chara, cObjList<cChara>& charas);

// A riding character takes over the movement the block character it rides
// made since it was last seen; triggers 16 (player-operated riders) and 17 on
// the block character. 0.
int CarryRider(cCharaBase& chara, cObjList<cChara>& charas);

// ---- the hero and the screen ----

// While the axis scrolls by itself (or the hero flies), the hero is kept
// inside the view. Vertically, 2 when a walking hero is pushed out through
// the bottom.
int PushHeroByScreenX(cHero& hero);
int PushHeroByScreenY(cHero& hero);
