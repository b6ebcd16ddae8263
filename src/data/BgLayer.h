#pragma once
// cBgLayer: one background or foreground layer of a stage: a picture tiled over
// the screen, or a fill of one palette colour, that stands still, follows the
// camera at a parallax factor, or scrolls by itself.

#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/DataRecord.h"

// The parallax factors and automatic scrolling appear at this version (older
// files hold two i32 in the factors' place, dropped on reading).
inline constexpr int kBgLayerFactorVersion = 61;
// The shown flag and the scroll offsets appear at this version (a file of
// version 61 holds two i32 in the offsets' place, dropped on reading).
inline constexpr int kBgLayerOffsetVersion = 62;

class cBgLayer : public cDataRecord {
 public:
  cBgLayer() { Reset(); }
  // Cleared; shown, colour 16, both factors 0.1.
  void Reset();

  void RegisterMembers(int nVersion) override;

  // One frame of automatic scrolling: each axis with automatic scrolling moves
  // its offset back by its factor and wraps it into [0, picture size). A
  // picture size of 0 or less leaves that offset unwrapped.
  void AdvanceAutoScroll(int nPictureWidth, int nPictureHeight);

  // The picture offsets for the camera at (dCameraX, dCameraY) (world dots,
  // the grid margin of 320 dots included), before they are taken modulo the
  // picture size.
  int GetPictureOffsetX(double dCameraX) const;
  int GetPictureOffsetY(double dCameraY) const;

  // 1: the layer is drawn.
  int32_t m_bShown = 0;
  // 1: a fill of the whole screen with m_nColour instead of the picture.
  int32_t m_bPlainColour = 0;
  // Game-palette number of that fill.
  int32_t m_nColour = 0;
  // 0: drawn behind the map and the objects; 1: in front of them.
  int32_t m_bFront = 0;
  // Parallax factor (offset = camera offset x factor); with automatic
  // scrolling, the dots per frame the layer moves by itself.
  double m_dFactorX = 0.0;
  double m_dFactorY = 0.0;
  int32_t m_bAutoX = 0;
  int32_t m_bAutoY = 0;
  // The layer's bitmap.
  std::string m_strPicture;
  // The automatic-scroll offsets in dots; the stage set-up zeroes them.
  double m_dOffsetX = 0.0;
  double m_dOffsetY = 0.0;
};

// A stage's layer list: u32 n, then n layers, each from a default layer.
bool ReadBgLayerVector(cByteReader& in, cSafeVector<cBgLayer>& layers);
void WriteBgLayerVector(cByteWriter& out, cSafeVector<cBgLayer>& layers);
