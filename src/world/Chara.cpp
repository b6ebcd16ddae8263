#include "world/Chara.h"

// Filled with the character bodies.
void cChara::Init(int, const cCharaData&, const cItem*, double, double, int, cCharaBase*) {}
void cChara::PlaceOnGrid(int, int) {}
int cChara::CheckActive(cSafeVector<uint8_t>&) { return 0; }
int cChara::CheckStart(const cSafeVector<uint8_t>&) { return 0; }
int cChara::OverlapsBox(double, double, double, double) const { return 0; }
void cChara::UpdateHitBoxes(int) {}
void cChara::UpdateHitRectX() {}
void cChara::UpdateHitRectY() {}
cItem* cChara::GetDropItem() { return nullptr; }
int cChara::ConstrainX() { return 0; }
int cChara::ConstrainY() { return 0; }
int cChara::MoveX() { return 0; }
int cChara::MoveY() { return 0; }
int cChara::Update(int) { return 0; }
void cChara::Jump(cCmdState&) {}
