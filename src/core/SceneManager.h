#pragma once
// The scene manager: it owns the six scenes, creates the wanted one on demand
// and deletes every other, and runs one frame on every pass of the game
// thread's loop: pacing, surface restore, input, scene switch, the scene's
// update, the frame-rate overlay and presentation.
//
// There is one manager, g_SceneManager. Its members are plain values written
// by the scenes on the game thread and read by the main thread's request
// handlers. The declaration sits with the core so that every scene, the game
// scene of the world included, can read and switch scenes; the shell defines
// the frame and the scene switch (app/SceneManager.cpp).

#include <cstdint>
#include <string>

class cScene;

// Scene types.
enum eSceneType : int {
  SCENE_TITLE = 0,
  SCENE_WORLD_MAP = 1,
  SCENE_MAP_MENU = 2,
  SCENE_STAGE_SELECT = 3,
  SCENE_GAME = 4,
  SCENE_OPTION = 5,
  kSceneTypeCount = 6,
};

// Makes a new scene of a type, or returns null when the type has no scene
// class. The manager creates every scene through the installed factory.
using SceneFactory = cScene* (*)(int type);

class cSceneManager {
 public:
  cSceneManager() = default;
  ~cSceneManager() { DeleteScenes(); }
  cSceneManager(const cSceneManager&) = delete;
  cSceneManager& operator=(const cSceneManager&) = delete;

  // One frame. 1 after a frame; 0 when lost DirectDraw surfaces cannot be
  // restored (the game thread then closes the main window).
  int Frame();

  // Deletes every scene other than `type` (title, map menu, world map, stage
  // select, game, options) and creates the scene of `type` when it has none.
  // A type outside 0..5 only deletes. A scene that cannot be allocated shows
  // the out-of-memory box and closes the main window.
  void ChangeScene(int type);

  // Deletes the six scenes (title, world map, map menu, stage select, options,
  // game) and empties their slots.
  void DeleteScenes();

  // Polls input device 0 into the key state.
  void PollInput();
  // DirectDraw: restores lost surfaces; 0 when one cannot be restored. 1 at
  // once under Direct3D.
  int RestoreSurfaces();
  // Shows the back buffer: Direct3D presents (asking the main window to
  // restore the display when that fails in a window); DirectDraw blits to the
  // window, or blits or flips in full screen as start-up decided.
  void Present();

  // The scene of a type (null when absent or the type is outside 0..5).
  cScene* Scene(int type) const;

  // The factory used by ChangeScene; null restores the player's own.
  static void SetFactory(SceneFactory factory);

  // The scene slots, one per type.
  cScene* m_pTitle = nullptr;        // type 0
  cScene* m_pWorldMap = nullptr;     // type 1
  cScene* m_pMapMenu = nullptr;      // type 2
  cScene* m_pStageSelect = nullptr;  // type 3
  cScene* m_pOption = nullptr;       // type 5
  cScene* m_pGame = nullptr;         // type 4

  int m_nCurScene = 0;         // the scene type run each frame
  int m_nNextScene = 0;        // the type a scene's fade-out makes current
  int m_nPrevScene = 0;        // the type of the scene that faded out last
  int m_nTitleChoice = 0;      // 0 new story, 1 continue, 2 stage select, 3 stage file, 4 replay, 5 options, 6 quit
  int m_nPlayMode = 0;         // 0 story, 1 challenge, 2 free (one stage file, also test play), 3 replay
  int m_nStageCursor[2] = {};  // the stage-select cursor, kept across scene switches
  int m_bRanking = 0;          // 1 when the run keeps rankings
  int m_nFps = 0;              // target frames per second (start-up sets 60)
  int m_nFadeStep = 0;         // fade speed in degrees per frame (start-up sets 10)
  int m_nSceneBgm = 0;         // music-database number last requested by a menu scene (0 none)

 private:
  cScene*& Slot(int type);
};

extern cSceneManager g_SceneManager;

// The target frame rate and fade speed start-up gives the manager.
inline constexpr int kTargetFps = 60;
inline constexpr int kFadeStepDegrees = 10;

// DirectDraw only: sleeps 1 ms at a time until the frame gate (FrameLimiter
// with the manager's frame rate) opens. Under Direct3D the presentation paces
// and this returns at once. Also called by the pause and ranking loops.
void WaitNextFrame();

// The headless runner's view of the frames: called with its context at the
// top of every frame gate (WaitNextFrame: each frame of the game thread and
// each frame of a modal loop), before that frame polls the keys. Null (the
// player's own state) calls nothing.
using FrameObserver = void (*)(void* context);
void SetFrameObserver(FrameObserver observer, void* context);

// One swing step of a value between two bounds, used by the palette
// animation: direction 0 adds the step, and reaching `high` or more puts the
// value back, turns the direction to 1 and returns 0; direction 1 subtracts
// it, and reaching `low` or less puts it back, turns the direction to 0 and
// returns 1 (a full swing done). Otherwise the new value stays and 0 returns.
int PulseValue(int& value, int& direction, int step, int low, int high);

// The frame-rate overlay's figures: the processing times of the last 16
// frames (ms), the ring's write index and the last average (0 until the first
// 16 frames are in), the frames per second last published and the processing
// time of the last frame.
inline constexpr int kFrameTimeRingSize = 16;
extern int g_FrameTimeRing[kFrameTimeRingSize];
extern int g_FrameTimeIndex;
extern int g_FrameTimeAverage;
extern int g_Fps;
extern int g_FrameMs;

// Stores one frame time in the ring; when the ring is full the average of its
// 16 entries (integer division) becomes the new average and the ring starts
// over. Returns the average in force.
int AddFrameTime(int frameMs);

// The overlay text "FPS%2d(%2d)" for frames per second and average frame time.
std::string FormatFpsText(int fps, int averageMs);

// DirectDraw presentation choice made by start-up: 1 blit BackBuffer to the
// screen, 0 flip.
extern int g_bDDBlitPresent;
