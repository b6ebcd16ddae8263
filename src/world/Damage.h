#pragma once
// Damage, invincibility and death: the combat operations of characters. The
// contact passes (Contact.h) call them; flow commands and the play step use
// the death and invincibility operations too.
//
// Invincibility. After a hit a character is untouchable for its side's
// invincibility time (the no-hit timer); after a body contact the attacker
// also goes into its no-hit list for its side's per-attacker time. Times are
// the stage's frames times the sub-steps per frame.
//
// Death. cCharaBase::Die fires the death trigger, runs the death flows at
// once, scores, applies the dropped item to the hero, then unlinks the
// character (UnlinkChara) and starts its death effect; a death that ends the
// stage leaves the character linked and not dead.
//
// Hit effects are made by the stage drawing, installed with
// SetHitEffectMaker; with none installed no effect is made.

#include <cstdint>

class cCharaBase;
class cChara;
class cShot;
struct cHitRect;

// Makes a hit effect of Effect database entry `effect` between the victim's
// and the attacker's rectangles at the attacker's scale, and appends it to
// the scene's effect list.
using tHitEffectMaker = void (*)(int effect, const cHitRect& victim, const cHitRect& attacker, int scale);
void SetHitEffectMaker(tHitEffectMaker maker);

// Damage by a character's body or by a shot: 1 when the victim's hit points
// reached 0, else 0. Power above 0 less the victim's defence, within 0 to
// 999999; a power of 0 or less heals by its magnitude.
int TakeCharaDamage(cCharaBase& victim, cCharaBase& attacker);
int TakeShotDamage(cCharaBase& victim, cShot& shot);
// The damage (1, 18) and impact (2, 19) triggers of a hit.
void FireCharaHitTriggers(cCharaBase& victim, cCharaBase& attacker);
void FireShotHitTriggers(cCharaBase& victim, cShot& shot);

void SetNoHitTimer(cCharaBase& chara);
void AddNoHitEntry(cCharaBase& chara, int32_t attackerKey);
// Once per sub-step: the timer and every entry count down; spent entries go.
void TickNoHit(cCharaBase& chara);
bool IsNoHit(const cCharaBase& chara);
bool IsNoHitAgainst(const cCharaBase& chara, int32_t key);

// Drops every reference between the character and other objects (target
// slots both ways, parent, shots' owners and targets).
void UnlinkChara(cCharaBase& chara);
// Removal of a character from the stage without a death: unlinked and out of
// g_CharaList.
void RemoveChara(cChara& chara);
// The hero's death: system sound 8, then Die on the hero. 1 when that ends
// the stage (step result 1), else 0 (the death sequence runs in the
// following frames).
int HeroDie();
