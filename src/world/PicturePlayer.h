#pragma once
// cPicturePlayer: a picture (Picture.dat) shown by the picture command, in
// the world or fixed to the screen, behind the objects (layer 0) or in front
// (layer 1). Its image is a surface of g_PictureSurfaces (StageGraphics.h)
// that the command loaded; the scene keeps the players in m_Pictures.

#include <cstdint>

struct DDSURFACEDATA;

class cPicturePlayer {
 public:
  // Stores the values; with `screenFixed` the screen position (x, y minus
  // the camera, truncated) is kept from now on. Scaled when the ratio is not
  // 100 percent.
  void Set(int index, double x, double y, int width, int height, int screenFixed, int layer, int ratio, int waitMode,
           int countdown, int countWhenFrozen, int value1, int value2);
  // Counts a timed picture down (not while frozen unless asked) and draws it
  // from `surface`: 1 when it has finished.
  int Draw(DDSURFACEDATA* target, DDSURFACEDATA* surface, int frozen);

  // ---- members, in order ----
  int32_t m_nPicture = 0;
  double m_X = 0.0;
  double m_Y = 0.0;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_bScaled = 0;
  int32_t m_nLayer = 0;
  int32_t m_nWaitMode = 0;  // 2: timed by m_nCountdown
  int32_t m_nCountdown = 0;
  int32_t m_bCountWhenFrozen = 0;
  int32_t m_bScreenFixed = 0;
  int32_t m_bFixedStored = 0;
  int32_t m_nScreenX = 0;
  int32_t m_nScreenY = 0;
  int32_t m_nValue1 = 0;  // the picture's ID for replacing
  int32_t m_nValue2 = 0;  // 1 when it was shown with that ID, to be replaced by it
  // The surface of g_PictureSurfaces showing it.
  DDSURFACEDATA* m_lpSurface = nullptr;
};
