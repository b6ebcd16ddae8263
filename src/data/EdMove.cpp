#include "data/EdMove.h"

namespace {

constexpr int kMoveMirrorAngleVersion = 158;
constexpr int kMoveDistanceUnitVersion = 159;
constexpr int kMoveKeepFacingVersion = 162;
constexpr int kMoveRushSlotVersion = 767;

// The direction of key slots 1 to 9; slot 0 never reads it.
constexpr int kSlotDirections[10] = {DIR_FRONT, DIR_LEFT,      DIR_RIGHT,   DIR_UP,         DIR_DOWN,
                                     DIR_UP_LEFT, DIR_DOWN_LEFT, DIR_UP_RIGHT, DIR_DOWN_RIGHT, DIR_FRONT};

}  // namespace

void cEdMove::Reset() {
  Clear();
  m_nSpeed = 10;
  m_bMirrorAngle = 1;
  m_bAxisX = 1;
  m_bAxisY = 1;
  m_bTimeFromDistance = 1;
  m_bMirrorX = 1;
  m_bMirrorY = 0;
  m_bTurnWithFacing = 1;
  m_dInertiaFactor = 1.0;
  m_nRushTargetSlot = 0;
}

void cEdMove::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterByte(m_nPosMode);
  RegisterByte(m_nDirection);
  RegisterShort(m_nAngle);
  RegisterShort(m_nAnglePerCopy);
  if (nVersion >= kMoveMirrorAngleVersion) RegisterByte(m_bMirrorAngle);
  RegisterByte(m_bAxisX);
  RegisterByte(m_bAxisY);
  RegisterShort(m_nTargetX);
  RegisterShort(m_nTargetY);
  RegisterShort(m_nTargetOffsetX);
  RegisterShort(m_nTargetOffsetY);
  RegisterByte(m_nCoordSystem);
  RegisterByte(m_bTimeFromDistance);
  RegisterByte(m_bHoldX);
  RegisterByte(m_bHoldY);
  RegisterByte(m_bMirrorX);
  RegisterByte(m_bMirrorY);
  RegisterByte(m_bTurnWithFacing);
  RegisterByte(m_bStopAtTarget);
  if (nVersion >= kMoveKeepFacingVersion) RegisterByte(m_bKeepFacing);
  RegisterByte(m_nTimeMode);
  RegisterShort(m_nSpeed);
  RegisterShort(m_nSpeedPerCopy);
  RegisterShort(m_nDistance);
  RegisterShort(m_nDistancePerCopy);
  if (nVersion >= kMoveDistanceUnitVersion) RegisterByte(m_nDistanceUnit);
  RegisterShort(m_nHoming);
  RegisterShort(m_nHomingPerCopy);
  RegisterByte(m_bInertia);
  RegisterShort(m_nAccel);
  RegisterDouble(m_dInertiaFactor);
  if (nVersion >= kMoveKeepFacingVersion) RegisterByte(m_bOwnAnime);
  if (nVersion >= kMoveRushSlotVersion) RegisterByte(m_nRushTargetSlot);
}

bool cEdMove::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  const int nVersion = in.Version();
  if (nVersion <= 780) {
    if (nVersion < kMoveMirrorAngleVersion) m_bMirrorAngle = 0;
    if (nVersion < kMoveDistanceUnitVersion) m_nDistanceUnit = 0;
    if (nVersion < kMoveKeepFacingVersion) {
      m_bKeepFacing = 0;
      m_bOwnAnime = 0;
    }
  }
  return true;
}

int MapDirectionCode(int nSlot, int nModeFlag, int nFacing, bool bReplayPlayback, int nReplayVersion) {
  bool bFirstMode;
  if (!bReplayPlayback) bFirstMode = nModeFlag == 1;
  else bFirstMode = nReplayVersion < 778 || (nReplayVersion >= 780 && nModeFlag == 1);

  const bool bByFacing = nSlot <= 0 || nSlot > 9 || (!bFirstMode && nSlot == 9);
  if (bByFacing) return nFacing == 1 ? DIR_RIGHT : DIR_LEFT;
  return kSlotDirections[nSlot];
}
