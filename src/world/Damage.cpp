#include "world/Damage.h"

#include <algorithm>

#include "core/Numeric.h"
#include "core/SoundRequest.h"
#include "data/Flow.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "world/Chara.h"
#include "world/Contact.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Shot.h"
#include "world/SystemSounds.h"

namespace {

tHitEffectMaker g_HitEffectMaker = nullptr;

inline constexpr int64_t kMaxDamage = 999999;
inline constexpr int32_t kMaxScore = 999999;

// The hit points a power takes away: power less defence within 0 to 999999
// for a positive power; a power of 0 or less as it is (it heals).
int64_t DamageOf(int32_t power, int32_t defence) {
  if (power <= 0) return power;
  return std::clamp<int64_t>(int64_t{power} - defence, 0, kMaxDamage);
}

int ApplyDamage(cCharaBase& victim, int64_t damage) {
  const int32_t amount = static_cast<int32_t>(std::clamp<int64_t>(-damage, INT32_MIN + 1, INT32_MAX));
  return victim.AddHp(amount, 0, 1);
}

void MakeHitEffect(int effect, const cHitRect& victim, const cHitRect& attacker, int scale) {
  if (effect == 0 || g_HitEffectMaker == nullptr) return;
  g_HitEffectMaker(effect, victim, attacker, scale);
}

// A hit trigger pair: the victim's trigger with the attacker (or, for an
// attack made on behalf of a parent, with the parent, who fires its own
// trigger with the victim and the flow-ID filter).
void FireHitPair(cCharaBase& victim, cCharaBase* attacker, cCharaBase* relayTo, int victimTrigger,
                 int relayTrigger, int flowId) {
  if (relayTo != nullptr) {
    victim.FireFlowTrigger(victimTrigger, relayTo, 0);
    relayTo->FireFlowTrigger(relayTrigger, &victim, flowId);
  } else {
    victim.FireFlowTrigger(victimTrigger, attacker, 0);
  }
}

int64_t SideTime(const cCharaBase& chara, int32_t playerFrames, int32_t computerFrames) {
  const int32_t frames = chara.m_Operator == OBJ_BY_PLAYER ? playerFrames : computerFrames;
  return int64_t{frames} * g_Stage.SubStepsAtLeastOne();
}

template <class tLinks, class tLink>
void EraseLink(tLinks& links, const tLink& link) {
  links.erase(std::remove(links.begin(), links.end(), link), links.end());
}

}  // namespace

void SetHitEffectMaker(tHitEffectMaker maker) { g_HitEffectMaker = maker; }

int TakeCharaDamage(cCharaBase& victim, cCharaBase& attacker) {
  const int result = ApplyDamage(victim, DamageOf(attacker.m_Data.m_nPower, victim.m_Data.m_nDef));
  MakeHitEffect(attacker.m_Data.m_nHitEffect, victim.m_AttackRect, attacker.m_AttackRect, attacker.Scale());
  victim.KnockbackFromChara(attacker);
  return result;
}

int TakeShotDamage(cCharaBase& victim, cShot& shot) {
  const int result = ApplyDamage(victim, DamageOf(shot.m_EdShot.m_nPower, victim.m_Data.m_nDef));
  MakeHitEffect(shot.m_EdShot.m_nHitEffect, victim.m_ShotRect, shot.m_Hit, shot.m_EdShot.m_nScale);
  victim.KnockbackFromShot(shot);
  return result;
}

void FireCharaHitTriggers(cCharaBase& victim, cCharaBase& attacker) {
  cCharaBase* relayTo = attacker.m_pParent != nullptr && attacker.m_bRelayToParent != 0 ? attacker.m_pParent : nullptr;
  if (attacker.m_Data.m_nPower != 0) {
    FireHitPair(victim, &attacker, relayTo, TRIGGER_DAMAGED, TRIGGER_ATTACK_DAMAGED, attacker.m_nRelayFlowId);
  }
  if (attacker.m_Data.m_nImp != 0) {
    FireHitPair(victim, &attacker, relayTo, TRIGGER_IMPACTED, TRIGGER_ATTACK_IMPACTED, attacker.m_nRelayFlowId);
  }
}

void FireShotHitTriggers(cCharaBase& victim, cShot& shot) {
  // The shot's owner takes the victim's trigger as the other object, and
  // fires its own attack trigger when the shot asks for it.
  const auto fire = [&](int victimTrigger, int ownerTrigger) {
    victim.FireFlowTrigger(victimTrigger, shot.m_Owner, 0);
    if (shot.m_Owner != nullptr && shot.m_HitFlowOn != 0) {
      shot.m_Owner->FireFlowTrigger(ownerTrigger, &victim, shot.m_HitFlowId);
    }
  };
  if (shot.m_EdShot.m_nPower != 0) fire(TRIGGER_DAMAGED, TRIGGER_ATTACK_DAMAGED);
  if (shot.m_EdShot.m_nImpact != 0) fire(TRIGGER_IMPACTED, TRIGGER_ATTACK_IMPACTED);
}

void SetNoHitTimer(cCharaBase& chara) {
  chara.m_nNoHitTimer = ClampToI32(SideTime(chara, g_Stage.m_PlayerNoHitTime, g_Stage.m_ComputerNoHitTime));
}

void AddNoHitEntry(cCharaBase& chara, int32_t attackerKey) {
  SetNoHitTimer(chara);
  const int64_t gap = SideTime(chara, g_Stage.m_PlayerHitGap, g_Stage.m_ComputerHitGap);
  chara.m_NoHitList.push_back(cNoHitEntry{attackerKey, ClampToI32(gap)});
}

void TickNoHit(cCharaBase& chara) {
  if (chara.m_nNoHitTimer > 0) --chara.m_nNoHitTimer;
  if (chara.m_nNoHitTimer < 0) chara.m_nNoHitTimer = 0;
  auto& list = chara.m_NoHitList;
  for (cNoHitEntry& entry : list) --entry.m_Frames;
  list.erase(std::remove_if(list.begin(), list.end(), [](const cNoHitEntry& e) { return e.m_Frames <= 0; }),
             list.end());
}

bool IsNoHit(const cCharaBase& chara) { return chara.m_nNoHitTimer > 0; }

bool IsNoHitAgainst(const cCharaBase& chara, int32_t key) {
  if (IsNoHit(chara)) return true;
  return std::any_of(chara.m_NoHitList.begin(), chara.m_NoHitList.end(),
                     [key](const cNoHitEntry& e) { return e.m_Key == key; });
}

void cCharaBase::KnockbackFromShot(const cShot& shot) {
  if (shot.m_IsShot != 0) {
    Knockback(shot.m_EdShot.m_nImpact, shot.m_VX, shot.m_VY);
  } else {
    Knockback(shot.m_EdShot.m_nImpact, shot.FacingSign(), 0.0);
  }
}

int cCharaBase::Die() {
  FireTrigger(TRIGGER_DEATH);
  Update(1);
  g_Progress.m_nStageScore = static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{g_Progress.m_nStageScore} + m_Data.m_nGetsc, 0, kMaxScore));
  int itemResult = 0;
  cHero* hero = StageHero();
  cItem* drop = GetDropItem();
  if (drop != nullptr && hero != nullptr) itemResult = ApplyItemToPlayer(drop, *hero);
  const bool cleared = g_GameScene != nullptr && g_GameScene->m_nStepResult == STEP_RESULT_STAGE_CLEAR;
  if (cleared || itemResult == 1) return 1;
  UnlinkChara(*this);
  m_bDead = 1;
  m_CharaEffect.Start(m_Data.m_nDeathEffect, m_Data.m_nDeathEffectList, 0);
  return 0;
}

void UnlinkChara(cCharaBase& chara) {
  for (const cCharaLink& link : chara.m_CharaLinks) {
    if (link.m_pChara == nullptr) continue;
    if (link.m_nKind >= 0 && link.m_nKind < kTargetSlotCount) {
      link.m_pChara->m_Targets[link.m_nKind] = nullptr;
    } else if (link.m_nKind == kLinkChild) {
      link.m_pChara->m_pParent = nullptr;
    }
  }
  chara.m_CharaLinks.clear();
  for (int slot = 0; slot < static_cast<int>(chara.m_Targets.size()); ++slot) {
    cCharaBase* target = chara.m_Targets[slot];
    if (target == nullptr) continue;
    EraseLink(target->m_CharaLinks, cCharaLink{&chara, slot});
    chara.m_Targets[slot] = nullptr;
  }
  if (chara.m_pParent != nullptr) {
    EraseLink(chara.m_pParent->m_CharaLinks, cCharaLink{&chara, kLinkChild});
    chara.m_pParent = nullptr;
  }
  for (const cShotLink& link : chara.m_ShotLinks) {
    if (link.m_pShot == nullptr) continue;
    if (link.m_nKind == kLinkTarget) link.m_pShot->m_Target = nullptr;
    if (link.m_nKind == kLinkChild) link.m_pShot->m_Owner = nullptr;
  }
  chara.m_ShotLinks.clear();
}

void RemoveChara(cChara& chara) {
  UnlinkChara(chara);
  g_CharaList.Remove(&chara);
}

int HeroDie() {
  cHero* hero = StageHero();
  if (hero == nullptr) return 0;
  PlaySystemSound(kSoundHeroDies);
  if (hero->Die() != 1) return 0;
  if (g_GameScene != nullptr) g_GameScene->m_nStepResult = STEP_RESULT_STAGE_CLEAR;
  return 1;
}
