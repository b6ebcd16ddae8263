#include "scene/OptionScene.h"

#include <algorithm>
#include <string>

#include "core/SceneManager.h"
#include "core/StringUtil.h"
#include "data/OptionData.h"
#include "data/PathTable.h"
#include "data/SystemData.h"
#include "graphics/BlendTable.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/SurfaceTable.h"
#include "scene/TitleScene.h"
#include "sound/BgmManager.h"
#include "sound/SoundSlot.h"
#include "world/KeyInput.h"
#include "world/MainWindowRequest.h"
#include "world/MenuCursor.h"

namespace {

// The value text of an option row.
std::string OptionValueText(int option) {
  switch (option) {
    case OPTION_COLOUR_SET: return FormatText("%d", g_OptionData.m_nColourSet);
    case OPTION_MUSIC: return g_OptionData.m_bMusic != 0 ? "ON" : "OFF";
    case OPTION_SE_VOLUME: return FormatText("%d", g_OptionData.m_nSeVolume);
    case OPTION_RANK_MODE: {
      const int mode = std::clamp(g_OptionData.m_nRankMode, 0, kRankModeCount - 1);
      return g_System.m_RankModeNames[mode];
    }
    case OPTION_RANK_NAME: return g_OptionData.m_strRankName;
    default: return {};
  }
}

}  // namespace

bool OptionValueRange(int option, int32_t*& value, int32_t& low, int32_t& high) {
  low = 0;
  switch (option) {
    case OPTION_COLOUR_SET: value = &g_OptionData.m_nColourSet; high = kColourSetCount - 1; return true;
    case OPTION_MUSIC: value = &g_OptionData.m_bMusic; high = 1; return true;
    case OPTION_SE_VOLUME: value = &g_OptionData.m_nSeVolume; high = kSeVolumeStepCount - 1; return true;
    case OPTION_RANK_MODE: value = &g_OptionData.m_nRankMode; high = kRankModeCount - 1; return true;
    default: value = nullptr; high = 0; return false;
  }
}

int32_t StepOptionValue(int32_t value, std::uint16_t direction, int32_t low, int32_t high) {
  auto wrap = [low, high](int32_t v) { return v < low ? high : (v > high ? low : v); };
  if (direction & kDirUp) value = wrap(value + 1);
  if (direction & kDirDown) value = wrap(value - 1);
  return value;
}

void UpdateTitleBgm() {
  const bool running = g_BgmManager.m_bEnabled != 0;
  const bool wanted = g_OptionData.m_bMusic != 0;
  if (running == wanted) return;
  g_BgmManager.Release();
  if (wanted) g_BgmManager.Init(1, g_BgmOggNames.data(), g_BgmMidiNames.data(), kBgmSlotCount);
  g_SceneManager.m_nSceneBgm = 0;
}

cOptionScene::cOptionScene() : cScreenMenuScene(SCENE_OPTION, kMenuMaskTwoButtons) {
  SetSteps({static_cast<Step>(&cOptionScene::Menu)});
}

void cOptionScene::Init() {
  RequestSceneTune(TUNE_OPTIONS);
  CreateRows({SURF_ACCESSORY, SURF_WINDOW});
  g_MenuCursor.Reset();
  const std::vector<int> rows = EnabledRows(g_System.m_OptionMenu);
  m_nRows = 0;
  for (int entry : rows) {
    // Only the six options are offered, whatever the list holds.
    if (entry < kOptionEntryCount && m_nRows < kOptionEntryCount) m_CmdIndex[static_cast<std::size_t>(m_nRows++)] = entry;
  }
  BuildScreen();
  m_nSubStep = 0;
}

void cOptionScene::DrawScreen(DDSURFACEDATA* lpDst) {
  Font& medium = g_Font[kFontMedium];
  DrawFrame(lpDst, g_System.m_TitleMenu[TITLE_OPTIONS].m_strLabel);
  for (int i = 0; i < m_nRows; ++i) {
    const int option = m_CmdIndex[static_cast<std::size_t>(i)];
    const int y = kOptionListY + kMenuRowHeight * i;
    medium.Draw(lpDst, kOptionLabelX, y, g_System.m_OptionMenu[option].m_strLabel);
    medium.Draw(lpDst, kOptionValueX, y, OptionValueText(option));
  }
}

void cOptionScene::Menu() {
  if (m_nSubStep == 0) {
    *g_MenuCursor.m_pCurrent = cMenuCursorPos{};
    m_nSubStep = 1;
  }
  if (m_nSubStep == 1) {
    ChooseEntry();
  } else if (m_nSubStep == 2) {
    EditValue();
  }
}

void cOptionScene::ChooseEntry() {
  g_MenuCursor.MoveGrid(Keys(), kOptionCursorX, kOptionListY, 0, kMenuRowHeight, 1, m_nRows);
  CursorSound(kCursorSoundVertical);
  const std::uint16_t buttons = Buttons();
  if (buttons & kButtonCancel) {
    Sound(MENU_SOUND_CANCEL);
    m_nSubStep = 0;
    LeaveTo(SCENE_TITLE);
    return;
  }
  if (buttons & kButtonDecide) {
    Sound(MENU_SOUND_DECIDE);
    const int row = std::clamp(g_MenuCursor.m_pCurrent->m_Row, 0, std::max(m_nRows - 1, 0));
    const int option = m_CmdIndex[static_cast<std::size_t>(row)];
    m_nEditing = option;
    if (option <= OPTION_RANK_MODE) {
      StartEdit(option);
      return;
    }
    if (option == OPTION_RANK_NAME) {
      RequestNameEntry();
      RedrawScreen();
    } else {
      m_nSubStep = 0;
      LeaveTo(SCENE_TITLE);
      return;
    }
  }
  ShowScreen();
  DrawPointer(g_MenuCursor.m_pCurrent->m_X, g_MenuCursor.m_pCurrent->m_Y);
}

void cOptionScene::StartEdit(int option) {
  if (!OptionValueRange(option, m_pValue, m_nLow, m_nHigh)) return;
  m_nEditStart = *m_pValue;
  g_MenuCursor.Push(cMenuCursor::PUSH_ZERO);
  m_nSubStep = 2;
}

void cOptionScene::EditValue() {
  if (m_pValue == nullptr) {
    m_nSubStep = 1;
    return;
  }
  const std::uint16_t direction = Directions();
  const int32_t stepped = StepOptionValue(*m_pValue, direction, m_nLow, m_nHigh);
  if (direction & (kDirUp | kDirDown)) {
    *m_pValue = stepped;
    ApplyValue();
    RedrawScreen();
  }
  CursorSound(kCursorSoundVertical);
  const std::uint16_t buttons = Buttons();
  if (buttons & kButtonDecide) {
    Sound(MENU_SOUND_DECIDE);
    g_MenuCursor.Pop(cMenuCursor::POP_KEEP);
    m_nSubStep = 1;
    return;
  }
  if (buttons & kButtonCancel) {
    Sound(MENU_SOUND_CANCEL);
    *m_pValue = m_nEditStart;
    ApplyValue();
    g_MenuCursor.Pop(cMenuCursor::POP_KEEP);
    m_nSubStep = 1;
    RedrawScreen();
    return;
  }
  ShowScreen();
  const cMenuCursorPos& parent = *g_MenuCursor.m_pParent;
  DrawParentPointer(parent.m_X, parent.m_Y);
  DrawPointer(kOptionEditX, parent.m_Y);
}

void cOptionScene::ApplyValue() {
  if (m_nEditing == OPTION_COLOUR_SET) {
    LoadHbtPalette(g_OptionData.m_nColourSet);
  } else if (m_nEditing == OPTION_SE_VOLUME) {
    const int level = std::clamp(g_OptionData.m_nSeVolume, 0, kSeVolumeStepCount - 1);
    for (cSoundSlot& slot : g_SoundSlots) SetSoundVolume(slot, 0, kSeVolumeSteps[static_cast<std::size_t>(level)], 0);
  }
}

void cOptionScene::FadeOut() {
  if (!StepFadeOut()) return;
  UpdateTitleBgm();
  g_OptionData.Save(g_PathTable[PATH_OPTION]);
  HandOver(true);
}
