#pragma once
// cTitleScene (scene type 0): the title picture with the menu of the game
// modes. It is the first scene after start-up and the one every other menu
// returns to. A choice starts a new story or continues a saved one on the
// world map, opens the stage select of the challenge, plays a stage file or a
// replay in the game scene, opens the options, or closes the player.
//
// The menu is the system data's title list: an entry's position in the list
// is its meaning (eTitleChoice) whatever its label says; disabled entries are
// not shown. The menu is drawn once into a surface of its own, from the
// entries' strips of "bmp\GameMode.bmp" in picture mode or as labels in a
// window box in text mode.

#include <array>
#include <cstdint>

#include "graphics/Surface.h"
#include "scene/MenuScene.h"

enum eTitleChoice : int {
  TITLE_NEW_STORY = 0,
  TITLE_CONTINUE = 1,
  TITLE_CHALLENGE = 2,
  TITLE_FREE_PLAY = 3,
  TITLE_REPLAY = 4,
  TITLE_OPTIONS = 5,
  TITLE_QUIT = 6,
};

class cTitleScene : public cMenuScene {
 public:
  cTitleScene();
  ~cTitleScene() override;

  void Init() override;
  void FadeIn() override;
  void FadeOut() override;

  // Step 1: the menu of game modes. Step 2: the list of story slots.
  void Menu();
  void SlotList();

  // Makes the menu surface and draws the menu into it.
  void BuildMenuSurface();
  void DrawMenuSurface(DDSURFACEDATA* lpDst);
  // The title picture with the menu.
  void DrawTitle();
  // Asks the main window for the stage-file dialog, which starts the run with
  // a chosen file. True when a file was chosen.
  bool OpenStageFile();

  // The shown rows and the list entry each shows.
  int32_t m_nCmdCount = 0;
  std::array<int32_t, 7> m_CmdIndex{};
  // The story-slot list: first slot shown and rows shown.
  int32_t m_nSlotTop = 0;
  int32_t m_nSlotRows = 0;
  // Top-left of the menu; x is centred in picture mode.
  int32_t m_nMenuX = 192;
  int32_t m_nMenuY = 240;

  // The menu-line surfaces, for the restore after a display loss.
  DDSurfaceVector& MenuSurfaces() { return m_MenuSurfaces; }

 private:
  // Acts on a decided choice.
  void Choose(int choice);
  DDSURFACEDATA* MenuSurface();
  DDSurfaceVector m_MenuSurfaces;
  DDSurfaceDefVector m_MenuSurfaceDefs;
};

// Where the story-slot list of the title is drawn.
inline constexpr int kTitleSlotListX = 160;
inline constexpr int kTitleSlotListY = 160;
// Rows of a story-slot list shown at once.
inline constexpr int kSlotListRows = 10;
