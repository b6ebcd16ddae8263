#include "data/EdShot.h"

#include <cstdint>

#include "data/CopyOffset.h"
#include "data/Database.h"

namespace {

constexpr int kShotMirrorAngleVersion = 158;
constexpr int kShotSummonCheckBVersion = 197;
constexpr int kShotScrollSyncVersion = 211;
constexpr int kShotScrollSyncResetVersion = 212;
constexpr int kShotAccelVersion = 213;
constexpr int kShotPierceBlockCharaVersion = 636;
constexpr int kShotReferenceVersion = 671;
constexpr int kShotFlowOnHitVersion = 762;
constexpr int kShotTargetSlotVersion = 767;

// The homing motions: "主人公へ誘導" to "近いキャラへ誘導（対象死亡時、対象を変更）".
bool IsHomingMotion(int nMotion) { return nMotion >= 4 && nMotion <= 7; }

}  // namespace

void cEdShot::Reset() {
  Clear();
  m_bUserFaction = 1;
  m_bMirrorAngle = 1;
  m_bMirrorX = 1;
  m_bMirrorY = 0;
  m_nScale = 1;
  m_nFormationTarget = 0;
  m_nMotionTarget = 0;
}

void cEdShot::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterByte(m_nCount);
  RegisterByte(m_nFormation);
  RegisterShort(m_nFormationParams);
  if (nVersion >= kShotReferenceVersion) RegisterByte(m_nReference);
  RegisterByte(m_nDirection);
  RegisterByte(m_bAim);
  if (nVersion >= kShotTargetSlotVersion) RegisterByte(m_nFormationTarget);
  RegisterShort(m_nAngle);
  RegisterShort(m_nAnglePerCopy);
  if (nVersion >= kShotMirrorAngleVersion) RegisterByte(m_bMirrorAngle);
  RegisterShort(m_nSpread);
  RegisterByte(m_bRotateLaunch);
  RegisterByte(m_nCopies);
  RegisterShort(m_nOffsetX);
  RegisterShort(m_nOffsetXPerCopy);
  RegisterShort(m_nOffsetY);
  RegisterShort(m_nOffsetYPerCopy);
  RegisterByte(m_bMirrorX);
  RegisterByte(m_bMirrorY);
  RegisterShort(m_nGraphic);
  RegisterByte(m_z);
  RegisterByte(m_bHidden);
  RegisterByte(m_bUserFaction);
  RegisterByte(m_nFaction);
  RegisterByte(m_nSpareA);
  RegisterByte(m_nScale);
  RegisterByte(m_nSpareB);
  RegisterByte(m_nMotion);
  RegisterShort(m_nMotionParams);
  if (nVersion >= kShotTargetSlotVersion) RegisterByte(m_nMotionTarget);
  if (nVersion >= kShotScrollSyncVersion) RegisterByte(m_bScrollSync);
  RegisterShort(m_nSpeed);
  RegisterShort(m_nSpeedPerCopy);
  if (nVersion >= kShotAccelVersion) {
    RegisterByte(m_bAccelOn);
    RegisterShort(m_nAccel);
    RegisterShort(m_nAccelPerCopy);
  }
  RegisterShort(m_nDistance);
  RegisterByte(m_bDistanceOn);
  RegisterShort(m_nDistancePerCopy);
  RegisterByte(m_bStopAtDistance);
  RegisterByte(m_bLifetimeOn);
  RegisterShort(m_nLifetime);
  RegisterShort(m_nLifetimePerCopy);
  RegisterByte(m_bPassBlocks);
  RegisterByte(m_bPierceCharas);
  if (nVersion >= kShotPierceBlockCharaVersion) RegisterByte(m_bPierceBlockCharas);
  RegisterByte(m_bClash);
  RegisterByte(m_nClashStrength);
  RegisterInt(m_nPower);
  RegisterShort(m_nSpareValue);
  RegisterByte(m_nImpact);
  RegisterShort(m_nHitEffect);
  RegisterByte(m_nHitItemPalette);
  RegisterShort(m_nHitItemIndex);
  RegisterByte(m_nBlockSummonMode);
  RegisterByte(m_nSummonCheckA);
  if (nVersion >= kShotSummonCheckBVersion) RegisterByte(m_nSummonCheckB);
  RegisterByte(m_nSummonPalette);
  RegisterShort(m_nSummonIndex);
  RegisterByte(m_nSideMode);
  RegisterByte(m_nSummonSwitch);
  RegisterByte(m_bFaceOpposite);
  if (nVersion >= kShotFlowOnHitVersion) {
    RegisterByte(m_bFlowOnHit);
    RegisterByte(m_nFlowOnHitId);
  }
}

bool cEdShot::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (in.Version() <= 780) Upgrade(in.Version());
  Validate();
  return true;
}

void cEdShot::Upgrade(int nVersion) {
  if (nVersion < kShotMirrorAngleVersion) m_bMirrorAngle = 0;
  if (nVersion < kShotSummonCheckBVersion) m_nSummonCheckB = m_nSummonCheckA;
  // Stored from 211, but only homing shots followed the scroll before 212.
  if (nVersion < kShotScrollSyncResetVersion) m_bScrollSync = IsHomingMotion(m_nMotion) ? 1 : 0;
  if (nVersion < kShotAccelVersion) {
    m_bAccelOn = 0;
    m_nAccel = 0;
    m_nAccelPerCopy = 0;
  }
  if (nVersion < kShotPierceBlockCharaVersion) m_bPierceBlockCharas = m_bPierceCharas;
  if (nVersion < kShotReferenceVersion) m_nReference = 0;
}

void cEdShot::Write(cByteWriter& out) {
  // Files of older versions are written only as test fixtures, exactly as given.
  if (out.Version() == DATA_VERSION) Validate();
  cDataRecord::Write(out);
}

void cEdShot::Validate(const cDatabase& database) {
  if (m_nScale < 1) m_nScale = 1;
  const auto nEffects = database.m_Effects.size();
  if (static_cast<uint16_t>(m_nHitEffect) >= nEffects) m_nHitEffect = 0;
}

double cEdShot::GetOffsetX(int nCopy, int nFacing) const {
  return CopyOffset(m_nOffsetX, m_nOffsetXPerCopy, m_bMirrorX, nCopy, nFacing);
}

double cEdShot::GetOffsetY(int nCopy, int nFacing) const {
  return CopyOffset(m_nOffsetY, m_nOffsetYPerCopy, m_bMirrorY, nCopy, nFacing);
}
