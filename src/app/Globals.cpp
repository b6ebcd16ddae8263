// Every global object of the player is defined here, in one place. Objects of
// one file are constructed in the order they are defined and destroyed in the
// reverse order at exit, so the order below is the start-up and exit order of
// the globals.
//
// The libraries below the shell declare these objects in their own headers
// and leave their definition to this file, which every program links (the
// target kestrova_globals).

#include "app/Globals.h"

#include "dialog/BootData.h"
#include "app/MainWnd.h"
#include "core/SceneManager.h"
#include "app/Startup.h"
#include "app/SystemIni.h"
#include "app/WindowData.h"
#include "dialog/Wnd.h"
#include "core/Thread.h"
#include "data/Database.h"
#include "data/OptionData.h"
#include "data/Palette.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/StorySlots.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"
#include "flow/CmdParamDesc.h"
#include "flow/CodeLanguage.h"
#include "flow/FlowInterpreter.h"
#include "graphics/DigitSurface.h"
#include "graphics/Font.h"
#include "graphics/FontDef.h"
#include "graphics/SurfaceDef.h"
#include "graphics/SurfaceTable.h"
#include "scene/MenuScene.h"
#include "sound/BgmManager.h"
#include "sound/SoundSlot.h"
#include "sound/SoundState.h"
#include "world/Chara.h"
#include "world/CharaEffectPlayer.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/KeyConfig.h"
#include "world/KeyInput.h"
#include "world/MapGrid.h"
#include "world/MenuCursor.h"
#include "world/ReplayFile.h"
#include "world/Ranking.h"
#include "world/ReplayInput.h"
#include "world/ScrEffectPlayer.h"
#include "world/Shot.h"
#include "world/StageClear.h"
#include "world/StageGraphics.h"
#include "world/WorldGlobals.h"

// The scene manager: no scenes, current type 0. Its destructor deletes any
// scene still there (none is by then: UnInitGame deleted them).
cSceneManager g_SceneManager;

// The start-up dialog's choices: drawing mode 1 (Direct3D), do-not-show 0.
cBootData g_BootData;

// The window placement of "user_data\Window.dat": five members, cleared.
cWindowData g_WindowData;

// The windows and controls a modal dialog hides or disables: both lists
// empty; emptied at exit.
cWindowRegistry g_WindowRegistry;

// The main window object: no window attached until the entry creates it.
cMainWnd g_MainWnd;

// The thread objects. Each is idle until started; the main window's
// close sequence ends them, so their destructors at exit find them idle.
cThread thGame;     // the game loop: one frame per pass
cThread thPause;    // the modal waits of the game (game wait, messages, extra life)
cThread thWorker1;  // the ranking display
cThread thWorker2;  // loading a stage file while the main thread dispatches messages

// The menus' cursor: one zero level.
cMenuCursor g_MenuCursor;

// The key devices: device 0, from a reset record.
cSafeVector<cKeyInput> g_KeyInput(1);

// The stage drawing's database image surfaces (special bitmaps, swords,
// effects), each with its definitions: empty until a stage loads them,
// released at every stage set-up.
cImageSurfaces g_SpecialBmpImages;
cImageSurfaces g_SwordImages;
cImageSurfaces g_EffectImages;

// The menu scenes' shared surfaces and their definitions: empty; each
// menu scene releases what it made.
DDSurfaceVector g_SceneSurfaces;
DDSurfaceDefVector g_SceneSurfaceDefs;

// The shown pictures' surfaces and their definitions: empty.
DDSurfaceList g_PictureSurfaces;
DDSurfaceDefList g_PictureSurfaceDefs;

// The message-window pool with its definitions: empty.
DDSurfaceList g_MsgSurfaces;
DDSurfaceDefList g_MsgSurfaceDefs;

// The 71 fixed surfaces: each reset, nothing created until start-up. The
// drawing layer releases them in UnInitGame while its device still exists.
std::array<DDSURFACEDATA, kSurfaceTableRows> g_SurfaceData;

// Their definitions and the three font definitions, filled with the fixed
// rows (the game scene rewrites the eight background rows per stage).
std::array<DDSURFACEDEF, kSurfaceTableRows> g_SurfaceDef = MakeFixedSurfaceTable();
std::array<FONTDEF, kFontCount> g_FontDef = MakeFontDefinitions();

// The three fonts, each reset; UnInitGame releases them while the drawing
// layer still runs.
std::array<Font, kFontCount> g_Font;

// The fonts' digit strips, reset; made with the fonts at start-up.
std::array<DDSURFACEDATA, kFontCount> g_DigitSD;

// The sound effects' device and remembered tables, ahead of the slots: the
// slots it plays are gone before it at exit. UnInitGame has released both.
cSoundState g_SoundState;

// The sound-effect slots and their definitions: empty until start-up
// sizes them; the slots hold buffers of the device, released by UnInitGame.
cSafeVector<cSoundSlot> g_SoundSlots;
cSafeVector<cSoundDef> g_SoundDefs;

// The music manager, off, and the default tables of its slots' files,
// which it writes in place.
cBgmNameTable g_BgmOggNames = MakeDefaultOggNames();
cBgmNameTable g_BgmMidiNames = MakeDefaultMidiNames();
cBgmManager g_BgmManager;

// The common palette: empty until start-up loads it.
cPalette g_CommonPalette;

// The system data: the defaults of a new game until System.dat is loaded.
cSystemData g_System;

// The ten database lists (and the two run-time effect lists), each with
// its "none" entry only.
cDatabase g_Database;

// The run-time tables compiled from the database at start-up: the
// animation and effect frame scripts (the chara-effect and screen-effect
// template tables follow with the game world's effect players).
cFrameScriptTable g_AnimeScripts;
cFrameScriptTable g_EffectScripts;
// The chara-effect and screen-effect templates, [0] forward and [1] reverse:
// empty until start-up builds them.
cSafeVector<cCharaEffectPlayer> g_CharaEffectTemplates[2];
cSafeVector<cScrEffectPlayer> g_ScrEffectTemplates[2];
// With them, the flow commands' parameter table, which start-up builds first
// of all (empty until then).
cSafeVector<cSafeVector<cCmdParamDesc>> kCmdParamDesc;
// The flow interpreter, wired in as the game world's flow services
// (world/FlowServices.h) from here until exit; made before the characters
// and lists below, it outlives them.
cFlowInterpreter g_FlowInterpreter;
namespace {
struct cFlowInterpreterWiring {
  cFlowInterpreterWiring() { SetFlowServices(&g_FlowInterpreter); }
  ~cFlowInterpreterWiring() { SetFlowServices(nullptr); }
} g_FlowInterpreterWiring;
}  // namespace

// The recordings of the running and of the previous attempt: empty.
cReplayInput g_ReplayRec;
cReplayInput g_ReplayPrev;

// The player characters: none until a stage is set up.
cSafeVector<cHero> Player;

// The map grid: empty until a stage is set up.
cSafeVector<cMapCell> g_MapGrid;

// The character and item lists: empty until a stage is set up. Each
// element is deleted through its virtual destructor.
cObjList<cChara> g_CharaList;
cObjList<cItem> g_ItemList;
// With them, the shot list: empty, its key counter 0.
cShotList g_ShotList;

// The stage being played and the stage as it was loaded: stage defaults.
cStageData g_Stage;
cStageData g_StageInitial;

// The world map: its defaults until start-up loads it.
cWorldMap g_WorldMap;

// The progress of the running game, and the copies kept with the two
// replays: each the state of a fresh run.
cProgress g_Progress;
cProgress g_ReplayRecProgress;
cProgress g_ReplayPrevProgress;

// The options: music on, sound volume 7, name "aaa".
cOptionData g_OptionData;

// The headers of the 99 story slots, all unused until they are scanned.
cSafeVector<cSlotInfo> g_StorySlots(kStorySlotCount);

// The rankings of the stage last selected: five empty boards.
cRankFile g_RankFile;

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
cKeyConfig g_KeyConfig;            // the key configuration, read at start-up
cGameScene* g_GameScene;           // the game scene while it exists
cPromptPos g_PromptPos[3] = {{320, 272}, {320, 272}, {184, 64}};  // pause menu, retry prompt, ranking board
int g_ReplayWarnCooldown;          // frames until the empty-replay sound may sound again
int g_CodeError;                   // the code language's error flag

void ResetAppGlobalsForTests() {
  g_SceneManager.DeleteScenes();
  ResetFontsForTests();
  cSceneManager::SetFactory(nullptr);
  SetFrameObserver(nullptr, nullptr);
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
  g_MenuCursor.Reset();
  DDReleaseSurfaceVector(g_SceneSurfaces);
  g_SceneSurfaces.clear();
  g_SceneSurfaceDefs.clear();

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
  for (auto& templates : g_CharaEffectTemplates) templates.clear();
  for (auto& templates : g_ScrEffectTemplates) templates.clear();
  ReleaseStageGraphics();
  ResetWorldGlobalsForTests();
  g_RankFile.Reset();
  SetStageClearHooks(cStageClearHooks{});
  ResetMusicForTests();
  ResetSoundForTests();
}
