#include "data/BgLayer.h"

#include "core/Numeric.h"

namespace {

constexpr int kDefaultColour = 16;
constexpr double kDefaultFactor = 0.1;
// The map grid's margin of 10 cells on the left and at the top.
constexpr double kGridMarginDots = 320.0;

double WrapOffset(double dOffset, int nSize) {
  if (nSize <= 0) return dOffset;
  if (dOffset < 0.0) return dOffset + nSize;
  if (dOffset >= nSize) return dOffset - nSize;
  return dOffset;
}

}  // namespace

void cBgLayer::Reset() {
  Clear();
  m_bShown = 1;
  m_nColour = kDefaultColour;
  m_dFactorX = kDefaultFactor;
  m_dFactorY = kDefaultFactor;
}

void cBgLayer::RegisterMembers(int nVersion) {
  ClearMembers();
  if (nVersion >= kBgLayerOffsetVersion) RegisterInt(m_bShown);
  RegisterInt(m_bPlainColour);
  RegisterInt(m_nColour);
  RegisterInt(m_bFront);
  if (nVersion >= kBgLayerFactorVersion) {
    RegisterDouble(m_dFactorX);
    RegisterDouble(m_dFactorY);
    RegisterInt(m_bAutoX);
    RegisterInt(m_bAutoY);
  } else {
    RegisterDiscard(4);
    RegisterDiscard(4);
  }
  if (nVersion >= kBgLayerOffsetVersion) {
    RegisterDouble(m_dOffsetX);
    RegisterDouble(m_dOffsetY);
  } else if (nVersion == kBgLayerFactorVersion) {
    RegisterDiscard(4);
    RegisterDiscard(4);
  }
  RegisterString(m_strPicture);
}

void cBgLayer::AdvanceAutoScroll(int nPictureWidth, int nPictureHeight) {
  if (m_bAutoX) m_dOffsetX = WrapOffset(m_dOffsetX - m_dFactorX, nPictureWidth);
  if (m_bAutoY) m_dOffsetY = WrapOffset(m_dOffsetY - m_dFactorY, nPictureHeight);
}

int cBgLayer::GetPictureOffsetX(double dCameraX) const {
  if (m_bAutoX) return TruncToI32(dCameraX + m_dOffsetX - kGridMarginDots);
  const double dCamera = static_cast<double>(TruncToI32(dCameraX + 0.5));
  return TruncToI32((dCamera - kGridMarginDots) * m_dFactorX);
}

int cBgLayer::GetPictureOffsetY(double dCameraY) const {
  if (m_bAutoY) return TruncToI32(dCameraY + m_dOffsetY - kGridMarginDots);
  const double dCamera = static_cast<double>(TruncToI32(dCameraY));
  return TruncToI32((dCamera - kGridMarginDots) * m_dFactorY);
}

bool ReadBgLayerVector(cByteReader& in, cSafeVector<cBgLayer>& layers) { return ReadRecordList(in, layers); }

void WriteBgLayerVector(cByteWriter& out, cSafeVector<cBgLayer>& layers) { WriteRecordList(out, layers); }
