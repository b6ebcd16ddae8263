#include "scene/MapMenuScene.h"

#include <algorithm>
#include <string>

#include "core/SceneManager.h"
#include "core/StringUtil.h"
#include "data/Progress.h"
#include "data/StorySlots.h"
#include "data/SystemData.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/Frame.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "scene/TitleScene.h"
#include "world/MenuCursor.h"

namespace {

cMenuCursorPos& Cursor() { return *g_MenuCursor.m_pCurrent; }

}  // namespace

cMapMenuScene::cMapMenuScene() : cMenuScene(SCENE_MAP_MENU, kMenuMaskTwoButtons) {
  SetSteps({static_cast<Step>(&cMapMenuScene::Menu), static_cast<Step>(&cMapMenuScene::Save),
            static_cast<Step>(&cMapMenuScene::AutoSave), static_cast<Step>(&cMapMenuScene::BackToMap),
            static_cast<Step>(&cMapMenuScene::ToTitle)});
}

void cMapMenuScene::Init() {
  RequestSceneTune(TUNE_WORLD_MAP);
  CreateRows({SURF_WINDOW, SURF_SYMBOL, SURF_ACCESSORY});
  const std::vector<int> rows = EnabledRows(g_System.m_MapMenu);
  m_nCmdCount = static_cast<int32_t>(std::min<std::size_t>(rows.size(), m_CmdIndex.size()));
  for (int i = 0; i < m_nCmdCount; ++i) m_CmdIndex[static_cast<std::size_t>(i)] = rows[static_cast<std::size_t>(i)];
  g_MenuCursor.Reset();
}

void cMapMenuScene::DrawMenuBox() {
  int longest = 0;
  for (int i = 0; i < m_nCmdCount; ++i) {
    longest = std::max(longest, CountChars(g_System.m_MapMenu[m_CmdIndex[static_cast<std::size_t>(i)]].m_strLabel.c_str()));
  }
  DDDrawBox(&BackBuffer, kMapMenuX, kMapMenuY, kMenuRowHeight * (longest + 1), kMenuRowHeight * m_nCmdCount,
            &g_SurfaceData[SURF_WINDOW], kBoxFrame, kBoxFrameColour);
  for (int i = 0; i < m_nCmdCount; ++i) {
    g_Font[kFontMedium].Draw(&BackBuffer, kMapMenuX + kMenuRowHeight, kMapMenuY + kMenuRowHeight * i,
                             g_System.m_MapMenu[m_CmdIndex[static_cast<std::size_t>(i)]].m_strLabel);
  }
}

void cMapMenuScene::DrawTotal() {
  const int total = g_Progress.m_nTotal;
  if (g_System.m_bMenuShowTotal == 0 || total <= 0) return;
  const std::string& caption = g_System.m_Messages[MSG_TOTAL_SCORE];
  const int width = kMenuRowHeight * (CountChars(caption.c_str()) + static_cast<int>(std::to_string(total).size()));
  FontPrintfInBox(g_Font[kFontMedium], &BackBuffer, kScreenCentreX - width / 2, kMapMenuTotalY, width, kMenuRowHeight,
                  "%s%d", caption.c_str(), total);
}

void cMapMenuScene::DrawMenu() {
  DDFillSurfacePal(&BackBuffer, kHandOverColour);
  DrawMenuBox();
  DrawTotal();
  AnimateMenuPalette();
}

void cMapMenuScene::FadeIn() {
  DrawMenu();
  DrawPointer(kMapMenuX, kMapMenuY);
  if (StepFadeIn()) m_nStep = 1;
}

void cMapMenuScene::Menu() {
  g_MenuCursor.MoveGrid(Keys(), kMapMenuX, kMapMenuY, 0, kMenuRowHeight, 1, m_nCmdCount);
  CursorSound(kCursorSoundVertical);
  if (Buttons() & kButtonDecide) {
    Sound(MENU_SOUND_DECIDE);
    const int row = std::clamp(Cursor().m_Row, 0, std::max(m_nCmdCount - 1, 0));
    m_nStep = m_CmdIndex[static_cast<std::size_t>(row)] + 2;
    m_nSubStep = 0;
    g_MenuCursor.Push(cMenuCursor::PUSH_ZERO);
    return;
  }
  if (Buttons() & kButtonCancel) {
    Sound(MENU_SOUND_CANCEL);
    m_nStep = 2 + MAP_MENU_BACK;
    return;
  }
  DrawMenu();
  DrawPointer(Cursor().m_X, Cursor().m_Y);
}

void cMapMenuScene::BackToMenu() {
  g_MenuCursor.Pop(cMenuCursor::POP_KEEP);
  m_nSubStep = 0;
  m_nStep = 1;
}

cMapMenuScene::ePromptKey cMapMenuScene::MovePrompt(int firstMessage, int y) {
  const int x = GetMessageListX(kScreenCentreX, firstMessage, 2, true);
  g_MenuCursor.MoveGrid(Keys(), x, y, 0, kMenuRowHeight, 1, 2);
  CursorSound(kCursorSoundVertical);
  if (Buttons() & kButtonDecide) return PROMPT_DECIDE;
  if (Buttons() & kButtonCancel) {
    Sound(MENU_SOUND_CANCEL);
    return PROMPT_CANCEL;
  }
  return PROMPT_NONE;
}

void cMapMenuScene::DrawPrompt(int firstMessage, int y, bool withSlotList) {
  DDFillSurfacePal(&BackBuffer, kHandOverColour);
  if (withSlotList) {
    DrawSlotList(&BackBuffer, kMapMenuSlotListX, kMapMenuSlotListY, g_StorySlots, m_nSlotTop, m_nSlotRows);
    DrawParentPointer(g_MenuCursor.m_pParent->m_X, g_MenuCursor.m_pParent->m_Y);
  }
  DrawMessageList(&BackBuffer, GetMessageListX(kScreenCentreX, firstMessage, 2, true), y, firstMessage, 2, true);
  DrawPointer(Cursor().m_X, Cursor().m_Y);
}

void cMapMenuScene::Save() {
  const int slotCount = static_cast<int>(g_StorySlots.size());
  if (m_nSubStep == 0) {
    // The list opens on the slot saved to last, or on the first slot when
    // there is none yet (the list movement below clamps row and scroll).
    Cursor() = cMenuCursorPos{};
    Cursor().m_Row = g_Progress.m_nStorySlot;
    m_nSubStep = 1;
    ScanStorySlots(g_StorySlots);
    m_nSlotRows = std::min(slotCount, kSlotListRows);
    m_nSlotTop = Cursor().m_Row;
  }
  if (m_nSubStep == 1) {
    g_MenuCursor.MoveList(Keys(), 1, m_nSlotTop, kMapMenuSlotListY, kMenuRowHeight, kMapMenuSlotListX, m_nSlotRows,
                          slotCount, 1);
    CursorSound(kCursorSoundBoth);
    if (Buttons() & kButtonDecide) {
      Sound(MENU_SOUND_DECIDE);
      g_MenuCursor.Push(cMenuCursor::PUSH_ZERO);
      Cursor().m_Row = 1;
      m_nSubStep = 2;
      return;
    }
    if (Buttons() & kButtonCancel) {
      Sound(MENU_SOUND_CANCEL);
      BackToMenu();
      return;
    }
    DDFillSurfacePal(&BackBuffer, kHandOverColour);
    DrawSlotList(&BackBuffer, kMapMenuSlotListX, kMapMenuSlotListY, g_StorySlots, m_nSlotTop, m_nSlotRows);
    DrawPointer(Cursor().m_X, Cursor().m_Y);
    return;
  }
  if (m_nSubStep != 2) return;
  const ePromptKey key = MovePrompt(MSG_SAVE, kMapMenuSavePromptY);
  if (key == PROMPT_NONE) {
    DrawPrompt(MSG_SAVE, kMapMenuSavePromptY, true);
    return;
  }
  if (key == PROMPT_DECIDE) {
    if (Cursor().m_Row == 0) {
      SaveIntoSlot(g_MenuCursor.m_pParent->m_Row);
    } else {
      Sound(MENU_SOUND_DECIDE);
    }
  }
  g_MenuCursor.Pop(cMenuCursor::POP_KEEP);
  m_nSubStep = 1;
}

void cMapMenuScene::SaveIntoSlot(int slot) {
  // The saved sound only for a save that was written; a failed one was
  // reported by the writer, and the record keeps the slot it had.
  const int previousSlot = g_Progress.m_nStorySlot;
  g_Progress.m_nStorySlot = slot;
  if (g_Progress.SaveStory(slot)) {
    Sound(MENU_SOUND_SAVED);
    return;
  }
  g_Progress.m_nStorySlot = previousSlot;
  Sound(MENU_SOUND_REFUSED);
}

void cMapMenuScene::AutoSave() {
  if (m_nSubStep == 0) {
    Cursor() = cMenuCursorPos{};
    Cursor().m_Row = g_Progress.m_bAutoSave != 0 ? 0 : 1;
    m_nSubStep = g_Progress.m_nStorySlot == -1 ? 2 : 1;
  }
  if (m_nSubStep == 1) {
    const ePromptKey key = MovePrompt(MSG_AUTOSAVE_ON, kMapMenuPromptY);
    if (key == PROMPT_NONE) {
      DrawPrompt(MSG_AUTOSAVE_ON, kMapMenuPromptY, false);
      return;
    }
    if (key == PROMPT_DECIDE) {
      Sound(MENU_SOUND_DECIDE);
      if (Cursor().m_Row == 0) {
        g_Progress.m_bAutoSave = g_Progress.SaveStory(g_Progress.m_nStorySlot) ? 1 : g_Progress.m_bAutoSave;
      } else {
        g_Progress.m_bAutoSave = 0;
      }
    }
    BackToMenu();
    return;
  }
  if (m_nSubStep != 2) return;
  const std::uint16_t buttons = Buttons();
  if (buttons & (kButtonDecide | kButtonCancel)) {
    Sound((buttons & kButtonDecide) ? MENU_SOUND_DECIDE : MENU_SOUND_CANCEL);
    BackToMenu();
    return;
  }
  DDFillSurfacePal(&BackBuffer, kHandOverColour);
  DrawMessageList(&BackBuffer, GetMessageListX(kScreenCentreX, MSG_NO_SAVE_SLOT, 1, false), kMapMenuNoSlotY,
                  MSG_NO_SAVE_SLOT, 1, false);
}

void cMapMenuScene::BackToMap() {
  m_nSubStep = 0;
  LeaveTo(SCENE_WORLD_MAP);
}

void cMapMenuScene::ToTitle() {
  if (m_nSubStep == 0) {
    Cursor() = cMenuCursorPos{};
    Cursor().m_Row = 1;
    m_nSubStep = 1;
  }
  const ePromptKey key = MovePrompt(MSG_TO_TITLE, kMapMenuPromptY);
  if (key == PROMPT_NONE) {
    DrawPrompt(MSG_TO_TITLE, kMapMenuPromptY, false);
    return;
  }
  if (key == PROMPT_DECIDE) {
    Sound(MENU_SOUND_DECIDE);
    if (Cursor().m_Row == 0) {
      m_nSubStep = 0;
      LeaveTo(SCENE_TITLE);
      return;
    }
  }
  BackToMenu();
}

void cMapMenuScene::FadeOut() {
  if (!StepFadeOut()) return;
  // A kept instance would run its set-up again; the cursor is left as it is.
  HandOver(false);
  m_nStep = -1;
}
