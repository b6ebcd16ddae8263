#include "world/PicturePlayer.h"

#include "graphics/Blit.h"
#include "graphics/Surface.h"
#include "world/GameScene.h"

void cPicturePlayer::Set(int index, double x, double y, int width, int height, int screenFixed, int layer, int ratio,
                         int waitMode, int countdown, int countWhenFrozen, int value1, int value2) {
  m_nPicture = index;
  m_X = x;
  m_Y = y;
  m_nWidth = width;
  m_nHeight = height;
  m_bScaled = ratio != 100 ? 1 : 0;
  m_nLayer = layer;
  m_nWaitMode = waitMode;
  m_nCountdown = countdown;
  m_bCountWhenFrozen = countWhenFrozen;
  m_bScreenFixed = screenFixed;
  m_nValue1 = value1;
  m_nValue2 = value2;
  if (screenFixed != 0 && m_bFixedStored == 0) {
    const double camX = g_GameScene != nullptr ? g_GameScene->m_ScrollX.m_Position : 0.0;
    const double camY = g_GameScene != nullptr ? g_GameScene->m_ScrollY.m_Position : 0.0;
    m_nScreenX = static_cast<int>(x - camX);
    m_nScreenY = static_cast<int>(y - camY);
    m_bFixedStored = 1;
  }
}

int cPicturePlayer::Draw(DDSURFACEDATA* target, DDSURFACEDATA* surface, int frozen) {
  if (m_nWaitMode == 2 && (frozen == 0 || m_bCountWhenFrozen != 0)) {
    if (--m_nCountdown < 0) return 1;
  }
  int x, y;
  if (m_bScreenFixed != 0) {
    x = m_nScreenX;
    y = m_nScreenY;
  } else {
    const double camX = g_GameScene != nullptr ? g_GameScene->m_ScrollX.m_Position : 0.0;
    const double camY = g_GameScene != nullptr ? g_GameScene->m_ScrollY.m_Position : 0.0;
    x = static_cast<int>(m_X - camX);
    y = static_cast<int>(m_Y - camY);
  }
  if (surface == nullptr || !surface->HasSurface()) return 0;
  if (m_bScaled != 0) {
    if (m_nWidth > 0 && m_nHeight > 0)
      DDBltEx(target, x, y, m_nWidth, m_nHeight, surface, 0, 0, surface->nWidth, surface->nHeight, 1);
  } else {
    DDBlt(target, x, y, m_nWidth, m_nHeight, surface, 0, 0, 1);
  }
  return 0;
}
