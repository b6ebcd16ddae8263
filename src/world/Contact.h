#pragma once
// Contacts, hits and death checks: once per sub-step, after every object has
// moved and met the map, the play step tests the objects against each other
// (CheckContacts), lets the hero pick items up (PickUpItems) and, when hit
// points may have dropped outside a character's own update, runs the death
// checks (CheckDeaths).
//
// Results: 0 go on; 1 the stage is cleared (the game scene's step result is
// then STEP_RESULT_STAGE_CLEAR: the scene runs the clear); 2 the hero dies
// (the play step kills the hero, HeroDie).
//
// Factions. Objects of the same faction (pass-through number, 0 to 7; a
// number outside counts as 0) never touch. The faction lists are the hero
// followed by g_CharaList, and the shot list, in order.
//
// Lists changing during the passes. A death flow runs inside these passes
// (Die runs the dying character's death flows at once) and may summon
// characters, fire shots or remove objects. CheckContacts takes the faction
// lists when it starts: an object removed during the passes is skipped from
// then on and never touched again (it is not destroyed before the passes
// end); an object added during the passes takes part from the next call on.
// CheckDeaths walks g_CharaList itself (ObjList.h): a character removed by a
// death flow is skipped, one summoned by it is met later in the same walk.

#include <cstdint>

#include "core/SafeVector.h"

class cCharaBase;
class cChara;
class cHero;
class cItem;
class cItemData;

// Shots against characters, characters against characters, shots against
// shots: 0, 1 or 2.
int CheckContacts();
// Kill a character that is not yet dead: 2 for a player-operated one (its
// death is the hero's), Die's result otherwise (0 when already dead).
int TryKill(cCharaBase& chara);
// TryKill and its consequences: 1 → the stage is cleared (step result 1);
// 2 → system sound 8 and the hero dies (HeroDie; its 1 clears the stage).
// The result of TryKill.
int KillAndCheck(cCharaBase& chara);
// The hero at 0 hit points dies (1); every character marked deleted is
// removed, every one at 0 hit points is killed (and removed unless dead
// characters are kept). 1 when the sub-steps must stop, else 0.
int CheckDeaths();
// The hero's pickups: 0, or the first non-zero result of an item's commands.
int PickUpItems(cHero& hero);
// An item's effect on the hero: message, sound, its command list. 0 when the
// item is missing, has no graphic, is never taken or is not active.
int ApplyItemToPlayer(cItem* item, cHero& hero);
// Shows the pickup message of an item whose message flag is set, with the
// item's message values (the stage's message windows install it); with none
// installed no message is shown.
using tItemMessageMaker = void (*)(cHero& hero, const cItem& item);
void SetItemMessageMaker(tItemMessageMaker maker);
// A temporary item of `definition` (key 0, active) applied to the hero: the
// item blocks, the items of shots and the items characters drop.
int ApplyItemBlock(const cItemData& definition, cHero& hero);

// A character of the stage by its object key (the hero or one of
// g_CharaList), or null.
cCharaBase* FindCharaByKey(int32_t key);

// ---- target searches ----

// The optional filters of a target search.
struct cTargetFilter {
  int m_nFaction = -1;     // -1: any faction
  int32_t m_nExcludeKey = 0;
  bool m_bExcludeKey = false;
  bool m_bNotInvincible1 = false;
  bool m_bNotInvincible2 = false;
  bool m_bNotBlockChara = false;
  int m_nVarIndex = -1;    // -1: no variable comparison
  int32_t m_nVarValue = 0;
  int m_nVarCompare = 0;   // CompareByKind
};
bool TargetQualifies(const cCharaBase& chara, const cTargetFilter& filter);
// The nearest character of the hero and g_CharaList (mode 0: on screen
// first, else off screen; 1: any; 2: on screen only), by the Manhattan
// distance of screen centres from (x, y). Ties keep the first found.
cCharaBase* FindNearestTarget(int x, int y, int mode, const cTargetFilter& filter);
// Mode 2 when the stage tests on-screen objects only, else mode 0; faction
// filter only.
cCharaBase* FindNearestTargetAt(int x, int y, int faction);
