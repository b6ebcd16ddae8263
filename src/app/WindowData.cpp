#include "app/WindowData.h"

#include <algorithm>

#include "platform/WindowHost.h"

void cWindowData::RegisterMembers(int /*nVersion*/) {
  ClearMembers();
  RegisterInt(m_nX);
  RegisterInt(m_nY);
  RegisterInt(m_nWidth);
  RegisterInt(m_nHeight);
  RegisterInt(m_bMaximised);
}

bool cWindowData::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  m_nX = std::clamp<std::int32_t>(m_nX, 0, std::max(0, plat::GetSystemMetrics(SM_CXFULLSCREEN)));
  m_nY = std::clamp<std::int32_t>(m_nY, 0, std::max(0, plat::GetSystemMetrics(SM_CYFULLSCREEN)));
  return true;
}

void cWindowData::Set(int x, int y, int width, int height, int maximised) {
  m_nX = x;
  m_nY = y;
  m_nWidth = width;
  m_nHeight = height;
  m_bMaximised = maximised;
}
