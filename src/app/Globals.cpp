// Every global object of the player is defined here, in one place. Objects of
// one file are constructed in the order they are defined and destroyed in the
// reverse order at exit, so the order below is the start-up and exit order of
// the globals. It follows the player's fixed table of global objects; objects
// whose subsystem keeps them in its own file for now are named in comments at
// their place.

#include "app/Globals.h"

#include "app/BootData.h"
#include "app/MainWnd.h"
#include "app/SceneManager.h"
#include "app/Startup.h"
#include "app/SystemIni.h"
#include "app/WindowData.h"
#include "app/Wnd.h"
#include "core/Thread.h"

// 1. The scene manager: no scenes, current type 0. Its destructor deletes any
// scene still there (none is by then: UnInitGame deleted them).
cSceneManager g_SceneManager;

// 2. The start-up dialog's choices: drawing mode 1 (Direct3D), do-not-show 0.
cBootData g_BootData;

// 3. The window placement of "user_data\Window.dat": five members, cleared.
cWindowData g_WindowData;

// 4. The windows and controls a modal dialog hides or disables: both lists
// empty; emptied at exit.
cWindowRegistry g_WindowRegistry;

// 5. The main window object: no window attached until the entry creates it.
cMainWnd g_MainWnd;

// 6 to 9. The thread objects. Each is idle until started; the main window's
// close sequence ends them, so their destructors at exit find them idle.
cThread thGame;     // the game loop: one frame per pass
cThread thPause;    // the modal waits of the game (game wait, messages, extra life)
cThread thWorker1;  // the ranking display
cThread thWorker2;  // loading a stage file while the main thread dispatches messages

// 10. g_MenuCursor, 11. g_KeyInput, 12. the game scene's surface vectors,
// 13. g_SceneSurfaces, 14. g_PictureSurfaces and g_PictureDefs, 15. Off_Msg:
//     defined here once the menus, the key input and the game scene exist.
// 16. g_SurfaceData and 17. g_SurfaceDef, g_FontDef: the drawing layer's fixed
//     surfaces and definitions, defined for now in graphics/SurfaceTable.cpp,
//     graphics/SurfaceDef.cpp and graphics/FontDef.cpp.
// 18. g_Font, 19. g_DigitSD, 20. g_SoundSlots and g_SoundDefs,
// 21. g_BgmManager: with the fonts, the sound and the music.
// 22. g_CommonPalette: defined for now in data/Palette.cpp.
// 23. g_System: with the system data.
// 24. g_Database: defined for now in data/Database.cpp.

// 25. The run-time tables compiled from the database at start-up: the
// animation and effect frame scripts (the chara-effect and screen-effect
// template tables follow with the game world's effect players).
cFrameScriptTable g_AnimeScripts;
cFrameScriptTable g_EffectScripts;

// 26 to 29. The replays, the hero list, the map grid and the object lists:
//     with the game world.
// 30. g_Stage, g_StageInitial: defined for now in data/StageData.cpp.
// 31. g_WorldMap: defined for now in data/WorldMap.cpp.
// 32 to 35. The progress records, the options, the story slots and the
//     ranking file: with the save data and the rankings.

// Plain process-wide values, with no work at construction or exit: their
// place in the order does not matter. The process flags that the lower
// libraries read (g_LaunchedByEditor, g_AppActive, g_TestPlay) are defined
// with the core, in core/ProcessFlags.cpp, so those libraries link without
// the shell.
cSystemIni g_SystemIni;            // the System.ini settings of this run
int g_bDDBlitPresent;              // DirectDraw presents by blitting (1) or flipping (0)
int g_FrameTimeRing[kFrameTimeRingSize];  // the frame-rate overlay's last 16 frame times
int g_FrameTimeIndex;
int g_FrameTimeAverage;
int g_Fps;                         // frames per second last published
int g_FrameMs;                     // processing time of the last frame
plat::cRandom g_Random;            // the game's random generator, seeded at start-up

void ResetAppGlobalsForTests() {
  g_SceneManager.DeleteScenes();
  cSceneManager::SetFactory(nullptr);
  g_SceneManager.m_nCurScene = 0;
  g_SceneManager.m_nNextScene = 0;
  g_SceneManager.m_nPrevScene = 0;
  g_SceneManager.m_nTitleChoice = 0;
  g_SceneManager.m_nPlayMode = 0;
  g_SceneManager.m_nStageCursor[0] = 0;
  g_SceneManager.m_nStageCursor[1] = 0;
  g_SceneManager.m_bRanking = 0;
  g_SceneManager.m_nFps = 0;
  g_SceneManager.m_nFadeStep = 0;
  g_SceneManager.m_nSceneBgm = 0;

  for (int& ms : g_FrameTimeRing) ms = 0;
  g_FrameTimeIndex = 0;
  g_FrameTimeAverage = 0;
  g_Fps = 0;
  g_FrameMs = 0;
  g_bDDBlitPresent = 0;

  g_BootData.Reset();
  g_WindowData.Set(0, 0, 0, 0, 0);
  g_SystemIni = cSystemIni{};
  g_Random.Seed(1);
  g_TestPlay = 0;
  g_AnimeScripts.clear();
  g_EffectScripts.clear();
}
