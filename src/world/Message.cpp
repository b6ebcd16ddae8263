#include "world/Message.h"

#include <algorithm>
#include <cstdlib>

#include "core/MainWindow.h"
#include "data/Progress.h"
#include "graphics/Blit.h"
#include "graphics/Font.h"
#include "graphics/SurfaceFill.h"
#include "world/CharaBase.h"
#include "world/CharaDraw.h"
#include "world/GameScene.h"
#include "world/StageGraphics.h"

namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The parts of one escape, from the byte after '#'.
struct cEscape {
  std::size_t end = 0;  // one past the escape's last byte
  char kind = 0;        // 'C', 'S' or 0
  int number = 0;       // saturates, so a long run of digits is simply out of range
  bool hasNumber = false;
  int minDigits = 0;
  bool plus = false;
  bool zeros = false;
};

cEscape ParseEscape(const std::string& text, std::size_t pos) {
  cEscape e;
  std::size_t i = pos;
  const std::size_t n = text.size();
  while (i < n) {
    const char c = text[i];
    if (IsDigit(c)) {
      e.number = std::min(e.number * 10 + (c - '0'), 100000);
      e.hasNumber = true;
    } else if (c == 'C' || c == 'c') {
      e.kind = 'C';
    } else if (c == 'S' || c == 's') {
      e.kind = 'S';
    } else {
      break;
    }
    ++i;
  }
  if (i < n && text[i] == '_') {
    ++i;
    while (i < n) {
      const char c = text[i];
      if (IsDigit(c))
        e.minDigits = c - '0';
      else if (c == 'P' || c == 'p')
        e.plus = true;
      else if (c == 'Z' || c == 'z')
        e.zeros = true;
      else
        break;
      ++i;
    }
  }
  if (i < n && text[i] == '.') ++i;
  e.end = i;
  return e;
}

std::string FormatEscape(const cEscape& e, int32_t value) {
  const int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
  std::string digits = std::to_string(magnitude);
  if (static_cast<int>(digits.size()) < e.minDigits)
    digits.insert(0, static_cast<std::size_t>(e.minDigits) - digits.size(), e.zeros ? '0' : ' ');
  if (value < 0) return "-" + digits;
  if (e.plus) return "+" + digits;
  return digits;
}

}  // namespace

void ExpandMessageVars(std::string& text, const tMessageVarReader& reader) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(c)) {
      // A lead byte at the very end has no trail byte to skip.
      i += i + 1 < text.size() ? 2 : 1;
      continue;
    }
    if (c != '#') {
      ++i;
      continue;
    }
    const cEscape e = ParseEscape(text, i + 1);
    if (e.kind == 0 || !e.hasNumber || e.number < 1 || e.number > 1000) {
      ++i;
      continue;
    }
    const std::string value = FormatEscape(e, reader(e.kind, e.number));
    text.replace(i, e.end - i, value);
    i += value.size();
  }
}

void ExpandMessageVars(std::string& text) {
  ExpandMessageVars(text, [](char kind, int number) -> int32_t {
    if (kind == 'C') return g_Progress.m_CommonVars[number];
    if (g_GameScene == nullptr) return 0;
    return g_GameScene->m_StageVars[number];
  });
}

Font& MessageFont() { return g_Font[1]; }

void MeasureText(const std::string& text, int32_t& width, int32_t& height) {
  const sTextSize size = MessageFont().MeasureFixed(text);
  width = size.width + 2;
  height = size.height + 2;
}

void cMessage::Set(const cMessageSetup& s) {
  m_Kind = s.kind;
  m_Text = s.text;
  m_Source = s.text;
  m_IconA = s.iconA;
  m_IconB = s.iconB;
  m_IconC = s.iconC;
  m_PosMode = s.posMode;
  m_CellX = s.cellX;
  m_CellY = s.cellY;
  m_OffX = s.offX;
  m_OffY = s.offY;
  m_KeepOnScreen = s.keepOnScreen;
  m_FixedPos = s.fixedPos;
  m_WaitMode = s.waitMode;
  m_Countdown = s.countdown;
  m_CountWhenFrozen = s.countWhenFrozen;
  m_FollowKey = s.followKey;
  m_ExpandVars = s.expand;
  m_Refresh = s.refresh;
  m_RefreshInterval = s.refreshInterval;
  m_BoxStyle = s.boxStyle;
  m_HasId = s.hasId;
  m_Id = s.id;
  m_Latched = 0;
  if (m_ExpandVars != 0) ExpandMessageVars(m_Text);
  if (m_Kind == MESSAGE_TEXT) {
    MeasureText(m_Text, m_Width, m_Height);
  } else {
    m_Width = 16;
    m_Height = 16;
  }
  m_OpenProgress = 0.0;
  m_OpenAnim = s.waitMode == 0 && s.noOpening == 0 ? 1 : 0;
  if (m_Kind == MESSAGE_TEXT) {
    if (s.noSurface == 0) CreateSurface(static_cast<int>(g_MsgSurfaces.size()));
    Render(m_lpSD);
  }
}

void cMessage::CreateSurface(int index) {
  const bool replacing = m_lpSD != nullptr;
  if (replacing) {
    DDEraseSurfaceList(g_MsgSurfaces, g_MsgSurfaceDefs, m_lpSD);
    m_lpSD = nullptr;
  }
  bool created;
  if (index >= static_cast<int>(g_MsgSurfaces.size())) {
    created = DDAddSurfaceList(g_MsgSurfaces, g_MsgSurfaceDefs, m_Width, m_Height, 1, 1, DTMEMORYTYPE_SYSTEM, 0);
    index = static_cast<int>(g_MsgSurfaces.size()) - 1;
  } else {
    created =
        DDInsertSurfaceList(g_MsgSurfaces, g_MsgSurfaceDefs, index, m_Width, m_Height, 1, 1, DTMEMORYTYPE_SYSTEM, 0);
  }
  m_SurfaceEntry = index;
  m_lpSD = &*std::next(g_MsgSurfaces.begin(), index);
  if (!created) PostCloseToMainWindow();
}

void cMessage::ReleaseSurface() {
  if (m_lpSD == nullptr) return;
  DDEraseSurfaceList(g_MsgSurfaces, g_MsgSurfaceDefs, m_lpSD);
  m_lpSD = nullptr;
  m_SurfaceEntry = -1;
}

void cMessage::Render(DDSURFACEDATA* surface) {
  if (surface == nullptr || !surface->HasSurface()) return;
  if (m_BoxStyle != 0) {
    MessageFont().DrawInBox(surface, 1, 1, 0, 0, m_Text, 0);
  } else {
    DDFillSurfacePal(surface, 0);
    MessageFont().Draw(surface, 1, 1, m_Text);
  }
  surface->bLost = 0;
}

void cMessage::Refresh() {
  std::string text = m_Source;
  ExpandMessageVars(text);
  if (text == m_Text) return;
  m_Text = text;
  int32_t w, h;
  MeasureText(m_Text, w, h);
  if (w != m_Width || h != m_Height) {
    m_Width = w;
    m_Height = h;
    CreateSurface(m_SurfaceEntry >= 0 ? m_SurfaceEntry : static_cast<int>(g_MsgSurfaces.size()));
  }
  Render(m_lpSD);
}

bool cMessage::Place(int& x, int& y) {
  const int camX = static_cast<int>(CameraX()), camY = static_cast<int>(CameraY());
  switch (m_PosMode) {
    case 0:
      x = m_OffX - m_Width / 2 + 320;
      y = m_OffY - m_Height / 2 + 240;
      break;
    case 7:
      x = m_CellX * 32 + m_OffX;
      y = m_CellY * 32 + m_OffY;
      break;
    case 8: {
      const int originX = g_GameScene != nullptr ? g_GameScene->m_ScrollX.m_Margin : 0;
      const int originY = g_GameScene != nullptr ? g_GameScene->m_ScrollY.m_Margin : 0;
      x = (m_CellX + originX) * 32 + m_OffX - camX;
      y = (m_CellY + originY) * 32 + m_OffY - camY;
      break;
    }
    default: {
      cCharaBase* chara = FindPlayerRecord(m_FollowKey);
      if (chara == nullptr) return false;
      const int cx = static_cast<int>(chara->m_X), cy = static_cast<int>(chara->m_Y);
      x = cx - camX + chara->m_BoxW / 2 + m_OffX - m_Width / 2 - chara->m_DrawOffX;
      if (m_PosMode == 1 || m_PosMode == 4)
        y = cy - camY - chara->m_DrawOffY - m_Height + m_OffY;
      else if (m_PosMode == 2 || m_PosMode == 5)
        y = cy - camY + chara->m_BoxH - chara->m_DrawOffY + 1 + m_OffY;
      else
        y = cy - camY + chara->m_BoxH / 2 - m_Height / 2 - chara->m_DrawOffY + m_OffY;
      break;
    }
  }
  const bool worldAnchored = (m_PosMode == 0 || m_PosMode == 7) && m_FixedPos == 0;
  const bool screenKept = m_FixedPos != 0 && m_PosMode != 0 && m_PosMode != 7;
  if (worldAnchored) {
    if (m_Latched == 0) {
      m_LatchX = x + camX;
      m_LatchY = y + camY;
      m_Latched = 1;
    }
    x = m_LatchX - camX;
    y = m_LatchY - camY;
  } else if (screenKept) {
    if (m_Latched == 0) {
      m_LatchX = x;
      m_LatchY = y;
      m_Latched = 1;
    }
    x = m_LatchX;
    y = m_LatchY;
  }
  return true;
}

bool cMessage::ScreenPosition(int& x, int& y) {
  if (!Place(x, y)) {
    if (m_Kind == MESSAGE_TEXT) return false;
    // An icon whose character has gone rises where it stood last.
    x = m_LatchX;
    y = m_LatchY;
  } else if (m_Kind != MESSAGE_TEXT && m_Latched == 0) {
    m_LatchX = x;
    m_LatchY = y;
  }
  if (m_KeepOnScreen != 0) {
    if (x < 0) x = 0;
    if (x + m_Width > 638) x = 640 - m_Width;
    if (y < 20) y = 20;
    if (y + m_Height > 478) y = 480 - m_Height;
  }
  return true;
}

int cMessage::Update(DDSURFACEDATA* target, int frozen) {
  // A timed message is drawn while its countdown is not below 0: a countdown
  // of n shows it n + 1 frames.
  if (m_WaitMode == 2 && m_Countdown < 0) {
    if (m_Kind == MESSAGE_TEXT) ReleaseSurface();
    return 1;
  }
  if (m_Refresh != 0 && m_RefreshInterval != 0 && m_Kind == MESSAGE_TEXT && m_ExpandVars != 0 &&
      g_GameScene != nullptr && g_GameScene->m_nFrameCounter % m_RefreshInterval == 0)
    Refresh();
  int x = 0, y = 0;
  if (!ScreenPosition(x, y)) {
    ReleaseSurface();
    return 1;
  }
  Draw(target, x, y);
  if (m_WaitMode == 2 && (frozen == 0 || m_CountWhenFrozen != 0)) --m_Countdown;
  return 0;
}

void cMessage::Draw(DDSURFACEDATA* target, int x, int y) {
  switch (m_Kind) {
    case MESSAGE_TEXT: {
      if (m_lpSD != nullptr && m_lpSD->bLost != 0) Render(m_lpSD);
      if (m_Text.empty()) break;
      if (m_OpenAnim != 0 && m_OpenProgress < 10.0) {
        m_OpenProgress += 1.0;
        const double s = m_OpenProgress * 0.1;
        if (m_OpenProgress < 10.0) {
          if (m_BoxStyle != 0)
            MessageFont().DrawBox(target, static_cast<int>(x + m_Width / 2 - s * m_Width / 2),
                                  static_cast<int>(y + m_Height / 2 - s * m_Height / 2), static_cast<int>(s * m_Width),
                                  static_cast<int>(s * m_Height));
          break;
        }
      }
      if (m_lpSD != nullptr) DDBlt(target, x, y, m_Width, m_Height, m_lpSD, 0, 0, 1);
      break;
    }
    case MESSAGE_KIND_ICON:
      DrawKindIcon(target, x, y - ((30 - m_Countdown) >> 2), m_IconA, m_IconB, m_IconC);
      break;
    case MESSAGE_FIXED_ICON:
      DDBlt(target, x, y - ((30 - m_Countdown) >> 2), 16, 16, TableSurface(SURF_ACCESSORY), 0, 48, 1);
      break;
    default:
      break;
  }
}
