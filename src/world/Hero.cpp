#include "world/Hero.h"

cHero* StageHero() { return Player.empty() ? nullptr : &Player[0]; }

// Filled with the hero's bodies.
void cHero::InitForStage(int, const cCharaData&, double, double, cCharaBase*) {}
void cHero::GetBodyBox(int& offX, int& offY, int& width, int& height) const { offX = offY = width = height = 0; }
void cHero::ApplySizeKind(int, int) {}
void cHero::BuildAreaMarks() {}
void cHero::UpdateScreenRect() {}
int cHero::HasTaken(int32_t) const { return 1; }
void cHero::ForgetTaken(int32_t) {}
int cHero::RunItemCommands(cSafeVector<cCommand>&) { return 0; }
void cHero::UpdateHitBoxes(int) {}
void cHero::UpdateHitRectX() {}
void cHero::UpdateHitRectY() {}
int cHero::ConstrainX() { return 0; }
int cHero::ConstrainY() { return 0; }
int cHero::MoveX() { return 0; }
int cHero::MoveY() { return 0; }
int cHero::Update(int) { return 0; }
void cHero::Jump(cCmdState&) {}
