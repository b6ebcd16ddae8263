#pragma once
// cMenuScene: what the five menu scenes (title, world map, map menu, stage
// select, options) share on top of the scene base: the menu keys of input
// device 0, the scene's tune, its rows of the fixed surface table, the fades
// and the hand-over to the next scene, and the shared surface list of their
// windows. Every menu scene runs on the game thread.
//
// Keys as the menus read them, after key repeat and press-once: direction
// bits 1 left, 2 right, 4 up, 8 down; buttons 1 decide, 2 cancel, 4 show or
// hide a ranking board, 8 switch its genre.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/Scene.h"
#include "graphics/Surface.h"
#include "world/KeyInput.h"

class cKeyInput;

// The menus' text rows, and the x they centre their texts on.
inline constexpr int kMenuRowHeight = 16;
inline constexpr int kScreenCentreX = 320;
// Press-once masks of the menus: buttons 1 and 2, or buttons 1 to 4.
inline constexpr int kMenuMaskTwoButtons = 3;
inline constexpr int kMenuMaskFourButtons = 15;

// System sound slots of the menus.
enum eMenuSound : int {
  MENU_SOUND_CURSOR = 0,
  MENU_SOUND_DECIDE = 1,
  MENU_SOUND_CANCEL = 2,
  MENU_SOUND_REFUSED = 3,
  MENU_SOUND_MAP_MENU = 4,
  MENU_SOUND_SAVED = 5,
  MENU_SOUND_RANKING = 6,
};

// Cursor-sound modes: which moves sound.
inline constexpr int kCursorSoundHorizontal = 1;
inline constexpr int kCursorSoundVertical = 2;
inline constexpr int kCursorSoundBoth = 3;

// The scene tunes of the system data, and the music request's parameter.
enum eSceneTune : int { TUNE_TITLE = 0, TUNE_WORLD_MAP = 1, TUNE_STAGE_SELECT = 2, TUNE_OPTIONS = 3 };

// The palette colour a scene leaves the back buffer in when it hands over.
inline constexpr std::uint32_t kHandOverColour = 16;
// The window box frame of the menus: thickness and palette colour.
inline constexpr int kBoxFrame = 1;
inline constexpr std::uint32_t kBoxFrameColour = 240;

// Fonts by size.
inline constexpr int kFontSmall = 0;
inline constexpr int kFontMedium = 1;
inline constexpr int kFontLarge = 2;

// The stage-file error box of the stage starts.
inline constexpr const char* kStageUnreadable = "ステージファイル %s が読み込めません！";

// The surfaces the menu scenes make for their own windows: each scene empties
// the list before use and its destructor releases it. Defined with every
// global object in app/Globals.cpp.
extern DDSurfaceVector g_SceneSurfaces;
extern DDSurfaceDefVector g_SceneSurfaceDefs;

class cMenuScene : public cScene {
 public:
  // Releases the scene's rows of the fixed surface table.
  ~cMenuScene() override;

  // The common menu update: key repeat and press-once over the scene's
  // button mask on device 0, then Init (first time) and the current step.
  void Update() override;

 protected:
  // `ownType` is the scene type; `buttonMask` the press-once mask.
  cMenuScene(int ownType, int buttonMask);

  // Input device 0, filtered for this frame.
  static const cKeyInput& Keys();
  static std::uint16_t Directions();
  static std::uint16_t Buttons();

  // Asks for the scene tune `tune` (eSceneTune) unless it is the tune the
  // scene manager requested last; a tune of 0 (silence) is always asked for.
  static void RequestSceneTune(int tune);
  // Creates the listed rows of the fixed surface table (released again by the
  // destructor); when that fails the main window is asked to close.
  void CreateRows(std::initializer_list<int> rows);
  // Empties g_SceneSurfaces and adds one surface of the size (colour-keyed
  // or not; system memory under DirectDraw). Null, with the main window
  // asked to close, when it cannot be made.
  static DDSURFACEDATA* MakeSceneSurface(int width, int height, int key);

  // One step of the fade from black; true when it is complete.
  static bool StepFadeIn();
  // One step of the fade to black; true when it is complete.
  static bool StepFadeOut();
  // The end of a fade-out: the back buffer in the hand-over colour, the menu
  // cursor reset when `resetCursor`, this scene the previous one and the
  // next one current.
  void HandOver(bool resetCursor);
  // Moves on: the next scene type, and the fade-out step.
  void LeaveTo(int nextScene);

  // The palette animation of every frame, with the system data's settings.
  static void AnimateMenuPalette();
  // True in 8-bit colour, where a fade shows through the palette and surfaces
  // are drawn again before it.
  static bool IsPaletteMode();

  // Plays a system sound (through the main window).
  static void Sound(int slot);
  // The cursor sound for the moves `mode` listens to.
  static void CursorSound(int mode);

  // Row `row` of the fixed surface table.
  static DDSURFACEDATA& FixedSurface(int row);
  // Draws a fixed-table cell (w x h at sx, sy of `row`) colour-keyed at (x, y)
  // on the back buffer.
  static void DrawCell(int row, int sx, int sy, int w, int h, int x, int y);
  // The 16 by 16 pointer cells of "bmp\Accessory.bmp".
  static void DrawPointer(int x, int y);        // (64, 0): the menu pointer
  static void DrawParentPointer(int x, int y);  // (80, 0): the row being edited

  // The rows of a menu list: the positions of its enabled entries in list
  // order, or entry 0 alone when none is enabled.
  template <class List>
  static std::vector<int> EnabledRows(const List& list);

  int m_nOwnType;

 private:
  int m_nButtonMask;
  std::vector<int> m_CreatedRows;
};

template <class List>
std::vector<int> cMenuScene::EnabledRows(const List& list) {
  std::vector<int> rows;
  const int count = static_cast<int>(list.size());
  for (int i = 0; i < count; ++i) {
    if (list[i].m_bEnabled != 0) rows.push_back(i);
  }
  if (rows.empty()) rows.push_back(0);
  return rows;
}

// A menu scene drawn into one 640 by 480 surface of g_SceneSurfaces (the
// stage select, the options), copied to the back buffer every frame.
class cScreenMenuScene : public cMenuScene {
 public:
  // Draws the screen, once more before the fade in 8-bit colour, and fades
  // in; step 1 when the fade is complete.
  void FadeIn() override;

  // Makes the screen surface and draws it.
  void BuildScreen();
  // The scene's picture.
  virtual void DrawScreen(DDSURFACEDATA* lpDst) = 0;
  // Draws the screen surface again after a change.
  void RedrawScreen();
  // The screen surface (drawn again when it lost its contents) on the back
  // buffer, and the palette animation.
  void ShowScreen();

 protected:
  using cMenuScene::cMenuScene;
  // The large font's box over the whole surface, and a heading in the large
  // font centred on x 320 at y 32.
  static void DrawFrame(DDSURFACEDATA* lpDst, const std::string& heading);
};
