#pragma once
// cMapMenuScene (scene type 2): the system menu the cancel button opens from
// the world map, on a plain background: save the story into one of the 99
// story slots, switch auto-save on or off, go back to the map, or return to
// the title. An entry's position in the system data's map-menu list is its
// meaning; the step it opens is that position plus 2. The world map's tune
// goes on playing.

#include <array>
#include <cstdint>

#include "scene/MenuScene.h"

enum eMapMenuEntry : int { MAP_MENU_SAVE = 0, MAP_MENU_AUTO_SAVE = 1, MAP_MENU_BACK = 2, MAP_MENU_TITLE = 3 };

class cMapMenuScene : public cMenuScene {
 public:
  cMapMenuScene();

  void Init() override;
  void FadeIn() override;
  void FadeOut() override;

  // Steps 1 to 5: the menu, then one step per entry.
  void Menu();
  void Save();
  void AutoSave();
  void BackToMap();
  void ToTitle();

  // The background, the menu box, the total line and the palette animation.
  void DrawMenu();
  void DrawMenuBox();
  void DrawTotal();

  int32_t m_nCmdCount = 0;
  std::array<int32_t, 4> m_CmdIndex{};
  int32_t m_nSlotTop = 0;
  int32_t m_nSlotRows = 0;

 private:
  // Closes a prompt: the cursor level below comes back as it was.
  void BackToMenu();
  // A two-line prompt of system messages first and first + 1 at y, centred
  // on x 320: the cursor moves over its rows; cancel plays its sound.
  enum ePromptKey { PROMPT_NONE, PROMPT_DECIDE, PROMPT_CANCEL };
  ePromptKey MovePrompt(int firstMessage, int y);
  // The prompt on the plain background (over the slot list with its pointer
  // when `withSlotList`), with the cursor.
  void DrawPrompt(int firstMessage, int y, bool withSlotList);
  // Saves the story into the slot, which becomes the record's slot.
  void SaveIntoSlot(int slot);
};

// Layout of the map menu.
inline constexpr int kMapMenuX = 264;
inline constexpr int kMapMenuY = 192;
inline constexpr int kMapMenuSlotListX = 152;
inline constexpr int kMapMenuSlotListY = 160;
inline constexpr int kMapMenuTotalY = 260;
inline constexpr int kMapMenuSavePromptY = 400;
inline constexpr int kMapMenuPromptY = 224;
inline constexpr int kMapMenuNoSlotY = 232;
