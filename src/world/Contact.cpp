#include "world/Contact.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "core/SafeVector.h"
#include "core/SoundRequest.h"
#include "data/Condition.h"
#include "data/Flow.h"
#include "data/Palette.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "world/Chara.h"
#include "world/Damage.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/Shot.h"
#include "world/SystemSounds.h"

namespace {

tItemMessageMaker g_ItemMessageMaker = nullptr;

enum eItemTakeMode : int {
  TAKE_CONSUMED = 0,
  TAKE_ONCE_PER_TOUCH = 1,
  TAKE_NEVER = 2,
};

bool OnScreenOnly() { return g_Stage.m_ContactOnScreenOnly == 1; }

int CharaFaction(const cCharaBase& chara) { return chara.m_PassNo; }

bool Overlaps(double l1, double t1, double r1, double b1, double l2, double t2, double r2, double b2) {
  return l1 <= r2 && l2 <= r1 && t1 <= b2 && t2 <= b1;
}

bool RectsOverlap(const cHitRect& a, const cHitRect& b) {
  return Overlaps(a.m_Left, a.m_Top, a.m_Right, a.m_Bottom, b.m_Left, b.m_Top, b.m_Right, b.m_Bottom);
}

bool IsBlockChara(const cCharaBase& chara) { return chara.m_Data.m_bBlockChara != 0; }

// The objects of the contact passes by faction, as they stand when the
// passes start: the hero first, then g_CharaList; the shots in firing order.
// While it lives, nothing removed from the lists is destroyed (it holds a
// walk of each list), so a pass can tell a removed object and skip it: a
// shot by its erased mark, a character by its absence from g_CharaList once
// a death has run flows. Objects added during the passes wait for the next.
class cFactionLists {
 public:
  cFactionLists() : m_CharaWalk(g_CharaList.begin()), m_ShotWalk(g_ShotList.m_Shots.begin()) {
    if (cHero* hero = StageHero()) m_Charas[FactionIndex(CharaFaction(*hero))].push_back(hero);
    for (cChara& chara : g_CharaList) m_Charas[FactionIndex(CharaFaction(chara))].push_back(&chara);
    for (cShot& shot : g_ShotList.m_Shots) m_Shots[shot.Faction()].push_back(&shot);
  }

  std::vector<cCharaBase*>& Charas(int faction) { return m_Charas[faction]; }
  std::vector<cShot*>& Shots(int faction) { return m_Shots[faction]; }
  bool HasCharas(int faction) const { return !m_Charas[faction].empty(); }
  bool HasShots(int faction) const { return !m_Shots[faction].empty(); }

  // A death ran flows: from now on characters are checked against the list.
  void NoteDeath() { m_bDeathsRan = true; }
  bool IsListed(const cCharaBase& chara) const {
    if (!m_bDeathsRan || &chara == StageHero()) return true;
    return g_CharaList.Contains(static_cast<const cChara*>(&chara));
  }

 private:
  std::array<std::vector<cCharaBase*>, kFactionCount> m_Charas;
  std::array<std::vector<cShot*>, kFactionCount> m_Shots;
  cObjList<cChara>::iterator m_CharaWalk;
  cObjList<cShot>::iterator m_ShotWalk;
  bool m_bDeathsRan = false;
};

bool TakesPart(const cGameObj& obj) { return !OnScreenOnly() || obj.m_OnScreen != 0; }

bool InHitList(const cShot& shot, const cGameObj* obj) {
  return std::find(shot.m_HitList.begin(), shot.m_HitList.end(), obj) != shot.m_HitList.end();
}

const cItemData* HitItemDefinition(const cEdShot& edShot) {
  const cSafeVector<cItemData>* list = nullptr;
  if (edShot.m_nHitItemPalette == 1) list = &g_CommonPalette.m_Items;
  if (edShot.m_nHitItemPalette == 2) list = &g_Stage.m_PaletteItems;
  if (list == nullptr) return nullptr;
  const int index = edShot.m_nHitItemIndex;
  if (index < 0 || index >= static_cast<int>(list->size())) return nullptr;
  return &(*list)[index];
}

bool ShotIsEffectful(const cShot& shot) {
  return shot.m_EdShot.m_nPower != 0 || shot.m_EdShot.m_nImpact != 0 || HitItemDefinition(shot.m_EdShot) != nullptr;
}

// The scene's sub-step mask, made at stage set-up, says where shots meet
// characters.
bool ShotsTestedThisSubStep() {
  const cSafeVector<int32_t>& mask = g_GameScene->m_SubStepMask;
  const int k = g_GameScene->m_nSubStep - 1;
  return k >= 0 && k < static_cast<int>(mask.size()) && mask[k] != 0;
}

// The outcome of one shot meeting one character.
enum eShotHit : int {
  SHOT_HIT_NEXT = 0,    // go on with the next character
  SHOT_HIT_RESULT = 1,  // stop: the pass returns `result`
};

// Shot S of one faction against character K of another; may set `remove`.
int ShotMeetsChara(cFactionLists& lists, cShot& shot, cCharaBase& chara, bool& remove, int& result) {
  if (!TakesPart(chara) || chara.m_Active == 0 || chara.m_bDead != 0 || chara.m_Data.m_nInvincible == 2) {
    return SHOT_HIT_NEXT;
  }
  if (!RectsOverlap(chara.m_ShotRect, shot.m_Hit) || InHitList(shot, &chara)) return SHOT_HIT_NEXT;
  const bool effectful = ShotIsEffectful(shot);
  if (effectful && IsNoHit(chara)) return SHOT_HIT_NEXT;
  const bool apply = effectful || g_System.m_bEffectlessShotsPass == 0;

  chara.FireFlowTrigger(TRIGGER_HIT_SHOT, shot.m_Owner, 0);
  if (shot.m_Owner != nullptr && shot.m_HitFlowOn != 0) {
    shot.m_Owner->FireFlowTrigger(TRIGGER_ATTACK_HIT, &chara, shot.m_HitFlowId);
  }
  if (!apply) return SHOT_HIT_NEXT;

  const int dead = TakeShotDamage(chara, shot);
  FireShotHitTriggers(chara, shot);
  if (dead != 0) {
    if (chara.m_Operator == OBJ_BY_COMPUTER) PlaySystemSound(kSoundCharaDies);
    lists.NoteDeath();
    const int r = TryKill(chara);
    if (r == 1 || r == 2) {
      if (r == 1 && g_GameScene != nullptr) g_GameScene->m_nStepResult = STEP_RESULT_STAGE_CLEAR;
      result = r;
      return SHOT_HIT_RESULT;
    }
  } else {
    PlaySystemSound(kSoundHit);
    if (g_System.m_bEffectlessShotsPass != 0 || effectful) SetNoHitTimer(chara);
  }

  if (shot.m_IsShot == 0) {
    shot.m_HitList.push_back(&chara);
  } else {
    const bool pierce = IsBlockChara(chara) ? shot.m_EdShot.m_bPierceBlockCharas == 1
                                            : shot.m_EdShot.m_bPierceCharas == 1;
    if (pierce) {
      shot.m_HitList.push_back(&chara);
    } else {
      remove = true;
    }
  }

  if (const cItemData* item = HitItemDefinition(shot.m_EdShot)) {
    cHero* hero = StageHero();
    const int r = hero != nullptr ? ApplyItemBlock(*item, *hero) : 0;
    if (r != 0) {
      if (r == 1 && g_GameScene != nullptr) g_GameScene->m_nStepResult = STEP_RESULT_STAGE_CLEAR;
      result = r;
      return SHOT_HIT_RESULT;
    }
  }
  return SHOT_HIT_NEXT;
}

int ShotsAgainstCharas(cFactionLists& lists) {
  for (int f = 0; f < kFactionCount; ++f) {
    if (!lists.HasShots(f)) continue;
    for (int g = 0; g < kFactionCount; ++g) {
      if (g == f || !lists.HasCharas(g)) continue;
      for (cShot* shot : lists.Shots(f)) {
        if (shot->m_bErased != 0 || !TakesPart(*shot)) continue;
        bool remove = false;
        int result = 0;
        for (cCharaBase* chara : lists.Charas(g)) {
          // A death flow may have removed the shot: it meets nobody more.
          if (shot->m_bErased != 0) break;
          if (!lists.IsListed(*chara)) continue;
          if (ShotMeetsChara(lists, *shot, *chara, remove, result) == SHOT_HIT_RESULT) return result;
        }
        if (remove && shot->m_bErased == 0) g_ShotList.EraseShot(*shot);
      }
    }
  }
  return 0;
}

bool CharaTakesPartInBodyContact(const cCharaBase& chara) {
  return TakesPart(chara) && !IsBlockChara(chara) && chara.m_Active != 0 && chara.m_bDead == 0;
}

// W's side of a body contact with Y: the touch trigger, relayed to Y's
// parent when Y attacks on its behalf.
void FireTouch(cCharaBase& w, cCharaBase& y) {
  if (y.m_pParent != nullptr && y.m_bRelayToParent != 0) {
    w.FireFlowTrigger(TRIGGER_HIT_CHARA, y.m_pParent, 0);
    y.m_pParent->FireFlowTrigger(TRIGGER_ATTACK_HIT, &w, y.m_nRelayFlowId);
  } else {
    w.FireFlowTrigger(TRIGGER_HIT_CHARA, &y, 0);
  }
}

bool HitsBody(const cCharaBase& attacker) { return attacker.m_Data.m_nPower != 0 || attacker.m_Data.m_nImp != 0; }

// The consequence of a body hit on `victim`: 0, or the TryKill result that
// ends the pass.
int SettleBodyHit(cFactionLists& lists, cCharaBase& victim, int dead, int32_t attackerKey) {
  if (dead != 0) {
    if (victim.m_Operator == OBJ_BY_COMPUTER) PlaySystemSound(kSoundCharaDies);
    lists.NoteDeath();
    const int r = TryKill(victim);
    if (r == 1 && g_GameScene != nullptr) g_GameScene->m_nStepResult = STEP_RESULT_STAGE_CLEAR;
    if (r == 1 || r == 2) return r;
    return 0;
  }
  AddNoHitEntry(victim, attackerKey);
  return 0;
}

int BodyContact(cFactionLists& lists, cCharaBase& w, cCharaBase& y) {
  const bool wTouch = !IsNoHitAgainst(w, y.m_Key);
  const bool yTouch = !IsNoHitAgainst(y, w.m_Key);
  if (wTouch) FireTouch(w, y);
  if (yTouch) FireTouch(y, w);
  const bool immediate = g_System.m_bImmediateHitTriggers != 0;
  const bool wHit = wTouch && HitsBody(y);
  const bool yHit = yTouch && HitsBody(w);
  int wDead = 0;
  int yDead = 0;
  if (wHit) {
    wDead = TakeCharaDamage(w, y);
    if (immediate) FireCharaHitTriggers(w, y);
  }
  if (yHit) {
    yDead = TakeCharaDamage(y, w);
    if (immediate) FireCharaHitTriggers(y, w);
  }
  if (!immediate) {
    if (wHit) FireCharaHitTriggers(w, y);
    if (yHit) FireCharaHitTriggers(y, w);
  }
  if (wHit || yHit) PlaySystemSound(kSoundHit);
  if (wHit) {
    if (const int r = SettleBodyHit(lists, w, wDead, y.m_Key)) return r;
  }
  if (yHit) {
    if (const int r = SettleBodyHit(lists, y, yDead, w.m_Key)) return r;
  }
  return 0;
}

int CharasAgainstCharas(cFactionLists& lists) {
  for (int i = 0; i < kFactionCount; ++i) {
    if (!lists.HasCharas(i)) continue;
    for (int j = i + 1; j < kFactionCount; ++j) {
      if (!lists.HasCharas(j)) continue;
      for (cCharaBase* w : lists.Charas(i)) {
        for (cCharaBase* y : lists.Charas(j)) {
          if (!lists.IsListed(*w) || !CharaTakesPartInBodyContact(*w)) break;
          if (!lists.IsListed(*y) || !CharaTakesPartInBodyContact(*y)) continue;
          if (!RectsOverlap(w->m_AttackRect, y->m_AttackRect)) continue;
          if (const int r = BodyContact(lists, *w, *y)) return r;
        }
      }
    }
  }
  return 0;
}

bool BoxesOverlap(const cShot& a, const cShot& b) {
  return Overlaps(a.m_X, a.m_Y, a.m_Right, a.m_Bottom, b.m_X, b.m_Y, b.m_Right, b.m_Bottom);
}

void ShotsAgainstShots(cFactionLists& lists) {
  // A pair where neither shot is destructible does nothing, so a shot that is
  // not destructible only meets the destructible shots of the other faction
  // (in the same order as in the whole list). Destructibility is fixed for a
  // shot's life; erasures are still seen through the erased mark.
  std::array<std::vector<cShot*>, kFactionCount> destructible;
  for (int f = 0; f < kFactionCount; ++f) {
    for (cShot* shot : lists.Shots(f)) {
      if (shot->IsDestructible()) destructible[f].push_back(shot);
    }
  }
  for (int i = 0; i < kFactionCount; ++i) {
    if (!lists.HasShots(i)) continue;
    for (int j = i + 1; j < kFactionCount; ++j) {
      if (!lists.HasShots(j)) continue;
      for (cShot* a : lists.Shots(i)) {
        if (a->m_bErased != 0) continue;
        bool flagged = false;
        for (cShot* b : a->IsDestructible() ? lists.Shots(j) : destructible[j]) {
          if (b->m_bErased != 0) continue;
          if (!a->IsDestructible() && !b->IsDestructible()) continue;
          if (!BoxesOverlap(*a, *b)) continue;
          if (a->IsDestructible() && b->IsDestructible()) {
            const int sa = a->m_EdShot.m_nClashStrength;
            const int sb = b->m_EdShot.m_nClashStrength;
            if (sa >= sb) g_ShotList.EraseShot(*b);
            if (sa <= sb) flagged = true;
          } else if (a->IsDestructible()) {
            flagged = true;
          } else {
            g_ShotList.EraseShot(*b);
          }
        }
        if (flagged) g_ShotList.EraseShot(*a);
      }
    }
  }
}

// Removes a character from the stage after its death check.
void RemoveCheckedChara(cChara& chara) { RemoveChara(chara); }

}  // namespace

int CheckContacts() {
  cFactionLists lists;
  if (ShotsTestedThisSubStep()) {
    if (const int r = ShotsAgainstCharas(lists)) return r;
  }
  if (const int r = CharasAgainstCharas(lists)) return r;
  ShotsAgainstShots(lists);
  return 0;
}

int TryKill(cCharaBase& chara) {
  if (chara.m_Operator == OBJ_BY_PLAYER) return 2;
  if (chara.m_bDead == 1) return 0;
  return chara.Die();
}

int KillAndCheck(cCharaBase& chara) {
  const int r = TryKill(chara);
  if (r == 1 && g_GameScene != nullptr) g_GameScene->m_nStepResult = STEP_RESULT_STAGE_CLEAR;
  if (r == 2) {
    PlaySystemSound(kSoundHeroDies);
    cHero* hero = StageHero();
    if (hero != nullptr && hero->Die() == 1 && g_GameScene != nullptr) {
      g_GameScene->m_nStepResult = STEP_RESULT_STAGE_CLEAR;
    }
  }
  return r;
}

int CheckDeaths() {
  cHero* hero = StageHero();
  if (hero != nullptr && hero->m_Hp <= 0) {
    PlaySystemSound(kSoundHeroDies);
    if (hero->Die() == 1 && g_GameScene != nullptr) g_GameScene->m_nStepResult = STEP_RESULT_STAGE_CLEAR;
    return 1;
  }
  const bool keepDead = g_System.m_bKeepDeadChara != 0;
  for (cChara& chara : g_CharaList) {
    if (chara.m_bVanished != 0) {
      RemoveCheckedChara(chara);
      continue;
    }
    if (chara.m_Hp > 0) continue;
    const int r = KillAndCheck(chara);
    if (keepDead) {
      if (r == 1) {
        RemoveCheckedChara(chara);
        return 1;
      }
      // A kept dead character sounds again at every check that meets it.
      PlaySystemSound(kSoundCharaDies);
      if (r != 0) return 1;
    } else {
      RemoveCheckedChara(chara);
      if (r != 0) return 1;
    }
  }
  return 0;
}

int PickUpItems(cHero& hero) {
  for (cItem& item : g_ItemList) {
    if (item.m_Active == 0 || item.m_Data.m_nTakeMode == TAKE_NEVER) continue;
    const cHitRect& pickup = hero.m_PickupRect;
    const bool touching =
        Overlaps(pickup.m_Left, pickup.m_Top, pickup.m_Right, pickup.m_Bottom, item.m_X, item.m_Y, item.m_Right,
                 item.m_Bottom);
    const bool oncePerTouch = item.m_Data.m_nTakeMode == TAKE_ONCE_PER_TOUCH;
    if (!touching) {
      if (oncePerTouch) hero.ForgetTaken(item.m_Key);
      continue;
    }
    hero.FireFlowTrigger(TRIGGER_HIT_ITEM, nullptr, 0);
    if (oncePerTouch) {
      if (hero.HasTaken(item.m_Key) == 0) continue;
      hero.m_Taken.push_back(item.m_Key);
    }
    const int r = ApplyItemToPlayer(&item, hero);
    if (item.m_Data.m_nTakeMode == TAKE_CONSUMED) g_ItemList.Remove(&item);
    if (r != 0) return r;
  }
  return 0;
}

int ApplyItemToPlayer(cItem* item, cHero& hero) {
  if (item == nullptr || item->m_Data.m_nGraphic == 0 || item->m_Data.m_nTakeMode == TAKE_NEVER ||
      item->m_Active == 0) {
    return 0;
  }
  if (item->m_Data.m_bGetMessage != 0 && g_ItemMessageMaker != nullptr) g_ItemMessageMaker(hero, *item);
  PlayDataSound(item->m_Data.m_nSound);
  return hero.RunItemCommands(item->m_Data.m_Commands);
}

void SetItemMessageMaker(tItemMessageMaker maker) { g_ItemMessageMaker = maker; }

int ApplyItemBlock(const cItemData& definition, cHero& hero) {
  cItem item;
  item.Init(0, definition, 1);
  item.m_Active = 1;
  return ApplyItemToPlayer(&item, hero);
}

bool TargetQualifies(const cCharaBase& chara, const cTargetFilter& filter) {
  if (chara.m_bDead != 0) return false;
  if (filter.m_nFaction >= 0 && CharaFaction(chara) != filter.m_nFaction) return false;
  if (filter.m_bExcludeKey && chara.m_Key == filter.m_nExcludeKey) return false;
  if (filter.m_bNotInvincible1 && chara.m_Data.m_nInvincible == 1) return false;
  if (filter.m_bNotInvincible2 && chara.m_Data.m_nInvincible == 2) return false;
  if (filter.m_bNotBlockChara && IsBlockChara(chara)) return false;
  if (filter.m_nVarIndex >= 0) {
    if (filter.m_nVarIndex >= static_cast<int>(chara.m_Vars.size())) return false;
    if (!CompareByKind(chara.m_Vars[filter.m_nVarIndex], filter.m_nVarValue, filter.m_nVarCompare)) return false;
  }
  return true;
}

cCharaBase* FindNearestTarget(int x, int y, int mode, const cTargetFilter& filter) {
  cCharaBase* bestOn = nullptr;
  cCharaBase* bestOff = nullptr;
  int64_t distOn = 0;
  int64_t distOff = 0;
  const auto consider = [&](cCharaBase& chara) {
    if (chara.m_Active == 0 || !TargetQualifies(chara, filter)) return;
    const int64_t d = std::llabs(int64_t{chara.m_ScrLeft} + (chara.m_GfxW >> 1) - x) +
                      std::llabs(int64_t{chara.m_ScrTop} + (chara.m_GfxH >> 1) - y);
    const bool onScreen = mode == 1 || chara.m_OnScreen != 0;
    if (onScreen) {
      if (bestOn == nullptr || d < distOn) {
        bestOn = &chara;
        distOn = d;
      }
    } else if (bestOff == nullptr || d < distOff) {
      bestOff = &chara;
      distOff = d;
    }
  };
  if (cHero* hero = StageHero()) consider(*hero);
  for (cChara& chara : g_CharaList) consider(chara);
  if (bestOn != nullptr) return bestOn;
  return mode == 0 ? bestOff : nullptr;
}

cCharaBase* FindNearestTargetAt(int x, int y, int faction) {
  cTargetFilter filter;
  filter.m_nFaction = faction;
  return FindNearestTarget(x, y, OnScreenOnly() ? 2 : 0, filter);
}
