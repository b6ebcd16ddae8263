#pragma once
// cEdShot: the settings of the shot command "ショット", the sword command
// "ソード" and the summon commands "ブロック召喚", "キャラ召喚" and
// "アイテム召喚": how many objects, in which formation and direction, how they
// move, how long they live, how hard they hit and what they summon. A command
// holds at most one through a cSharedHolder; every shot keeps its own copy.
//
// Labels in quotes are those of the shot command's parameter table, which the
// arrange command changes.

#include <cstdint>

#include "data/DataRecord.h"

class cDatabase;
extern cDatabase g_Database;

class cEdShot : public cDataRecord {
 public:
  cEdShot() { Reset(); }
  // Clear, then user's faction, mirror angle, mirror x and scale 1.
  void Reset();

  void RegisterMembers(int nVersion) override;
  // The record form, the upgrade steps of older files, then Validate.
  bool Read(cByteReader& in) override;
  // Validate, then the record form.
  void Write(cByteWriter& out) override;

  // Scale below 1 becomes 1; a hit effect outside the Effect database becomes 0.
  void Validate(const cDatabase& database = g_Database);

  // The launch offset of copy number `nCopy`: offset + nCopy x per-copy
  // offset, negated when facing right (1) with the mirror switch on.
  double GetOffsetX(int nCopy, int nFacing) const;
  double GetOffsetY(int nCopy, int nFacing) const;

  // "発射数": objects per formation pass (summons "数").
  uint8_t m_nCount = 0;
  // 0-5: "直進A", "直進B", "拡散", "落雷", "爆発", "包囲".
  uint8_t m_nFormation = 0;
  // "フォーメーション固有1" to "3"; limits per formation in kFormationParamTable.
  int16_t m_nFormationParams[3] = {0, 0, 0};
  // Centre of "落雷" and "包囲": 0 the formation target, 1 the player character, 2 the shooter.
  uint8_t m_nReference = 0;
  // eMoveDirection; "入力方向" is resolved by MapDirectionCode.
  uint8_t m_nDirection = 0;
  // 1: aimed at the character in the formation target slot.
  uint8_t m_bAim = 0;
  uint8_t m_nFormationTarget = 0;
  // "角度のズレ" and "分身値による角度のズレ", degrees.
  int16_t m_nAngle = 0;
  int16_t m_nAnglePerCopy = 0;
  // 1: the angle becomes 360 - angle when the shooter faces right.
  uint8_t m_bMirrorAngle = 1;
  // "分散角度": a random angle from -spread to +spread is added.
  int16_t m_nSpread = 0;
  // 1: the launch point of angled straight formations turns with the angle.
  uint8_t m_bRotateLaunch = 0;
  // "発射数に対する分身数": each pass repeats for copy numbers 0 to this.
  uint8_t m_nCopies = 0;
  // "発射位置のズレX(dot)" and "Y" with their per-copy twins.
  int16_t m_nOffsetX = 0;
  int16_t m_nOffsetXPerCopy = 0;
  int16_t m_nOffsetY = 0;
  int16_t m_nOffsetYPerCopy = 0;
  // 1: that launch offset is negated when the shooter faces right.
  uint8_t m_bMirrorX = 1;
  uint8_t m_bMirrorY = 0;
  // "グラフィック": cell of the shot sheet.
  int16_t m_nGraphic = 0;
  // "Z座標": draw layer 0-7.
  uint8_t m_z = 0;
  uint8_t m_bHidden = 0;
  // 1: the shot takes the shooter's faction; 0: m_nFaction ("勢力").
  uint8_t m_bUserFaction = 1;
  uint8_t m_nFaction = 0;
  // Stored and copied; no effect.
  uint8_t m_nSpareA = 0;
  // 1-10: drawn and colliding at this multiple of the size (signed in the file).
  int8_t m_nScale = 1;
  // Stored and copied; no effect.
  uint8_t m_nSpareB = 0;
  // Shots: the motion 0-9. "ソード": the sword type (SwordType database index).
  uint8_t m_nMotion = 0;
  // "移動タイプ固有1" to "3"; limits per motion in kMotionParamTable.
  int16_t m_nMotionParams[3] = {0, 0, 0};
  uint8_t m_nMotionTarget = 0;
  // 1: the shot is carried along by the camera's scrolling.
  uint8_t m_bScrollSync = 0;
  // "速度", "分身値による増加速度": tenths of a dot per frame.
  int16_t m_nSpeed = 0;
  int16_t m_nSpeedPerCopy = 0;
  // "加速度", "分身値による増加加速度", used while m_bAccelOn is 1.
  uint8_t m_bAccelOn = 0;
  int16_t m_nAccel = 0;
  int16_t m_nAccelPerCopy = 0;
  // "飛距離(hbl)"; for character and item summons the lifetime in tenths of a second.
  int16_t m_nDistance = 0;
  uint8_t m_bDistanceOn = 0;
  int16_t m_nDistancePerCopy = 0;
  // 1: at the end of its distance the shot stops instead of vanishing.
  uint8_t m_bStopAtDistance = 0;
  // "存在時間(1/10s)", used while m_bLifetimeOn is 1.
  uint8_t m_bLifetimeOn = 0;
  int16_t m_nLifetime = 0;
  int16_t m_nLifetimePerCopy = 0;
  uint8_t m_bPassBlocks = 0;
  uint8_t m_bPierceCharas = 0;
  uint8_t m_bPierceBlockCharas = 0;
  // 1: takes part in shot-against-shot collisions, with "消滅値" 1-9.
  uint8_t m_bClash = 0;
  uint8_t m_nClashStrength = 0;
  // "威力".
  int32_t m_nPower = 0;
  // Stored and copied; no effect.
  int16_t m_nSpareValue = 0;
  // "衝撃": knock-back, -20 to 20.
  int8_t m_nImpact = 0;
  // Effect database index shown where the shot hits; 0 none.
  int16_t m_nHitEffect = 0;
  // The item applied to the player character on a hit: palette 0 none,
  // 1 common, 2 stage, and the index in that palette's item list.
  uint8_t m_nHitItemPalette = 0;
  int16_t m_nHitItemIndex = 0;
  // 0 place blocks, 1 remove them, 2 place where empty and remove where not.
  uint8_t m_nBlockSummonMode = 0;
  // Either set: a summoned block whose placement check fails is withdrawn.
  uint8_t m_nSummonCheckA = 0;
  uint8_t m_nSummonCheckB = 0;
  // 0 common palette, 1 stage palette; the index in its block, character or item list.
  uint8_t m_nSummonPalette = 0;
  int16_t m_nSummonIndex = 0;
  // Side of summoned characters: 0 their own, 1 the shooter's, 2 m_nFaction.
  uint8_t m_nSideMode = 0;
  uint8_t m_nSummonSwitch = 0;
  // 1: summoned characters face opposite to the shooter.
  uint8_t m_bFaceOpposite = 0;
  // 1: hitting a character starts its flow of ID m_nFlowOnHitId.
  uint8_t m_bFlowOnHit = 0;
  uint8_t m_nFlowOnHitId = 0;

 private:
  void Upgrade(int nVersion);
};
