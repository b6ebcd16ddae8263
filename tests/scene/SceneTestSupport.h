#pragma once
// Shared fixture of the menu-scene tests: a temporary working folder with the
// front end's bitmaps, a drawing layer on either road with a presenter
// without a window and the box font engine, the game's records at their
// defaults, and a driver that runs the scene manager's current scene one
// frame at a time with the keys a test gives (no pacing, no real input).

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "core/Log.h"
#include "core/Scene.h"
#include "core/SceneManager.h"
#include "data/OptionData.h"
#include "data/Progress.h"
#include "data/StorySlots.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"
#include "graphics/DrawContext.h"
#include "graphics/Fade.h"
#include "graphics/Font.h"
#include "graphics/FontDef.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceDef.h"
#include "graphics/SurfaceTable.h"
#include "platform/AtomicFile.h"
#include "platform/BmpDecoder.h"
#include "platform/FontEngine.h"
#include "platform/MessageBox.h"
#include "platform/Presenter.h"
#include "world/KeyInput.h"
#include "world/MenuCursor.h"

namespace scenetest {

inline constexpr std::uint16_t kLeft = 1, kRight = 2, kUp = 4, kDown = 8;
inline constexpr std::uint16_t kDecide = 1, kCancel = 2, kRanking = 4, kGenre = 8;

struct sBox {
  std::string text;
  std::string caption;
};

class cSceneFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    m_OldDir = std::filesystem::current_path();
    m_Dir = std::filesystem::temp_directory_path() /
            ("kestrova_scene_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
    std::filesystem::create_directories(m_Dir / "user_data" / "story");
    std::filesystem::create_directories(m_Dir / "user_data" / "challenge");
    std::filesystem::create_directories(m_Dir / "data" / "stg4");
    std::filesystem::current_path(m_Dir);
    ResetAll();
    DDSetPresenter(&m_Presenter);
    FontSetEngine(&m_Engine);
    plat::SetMessageBoxSink([this](const std::string& text, const std::string& caption, UINT) {
      m_Boxes.push_back({text, caption});
      return IDOK;
    });
    WriteFrontEndBitmaps();
  }

  void TearDown() override {
    ResetAll();
    FontSetEngine(nullptr);
    DDSetPresenter(nullptr);
    plat::SetMessageBoxSink({});
    std::filesystem::current_path(m_OldDir);
    std::error_code ignored;
    std::filesystem::remove_all(m_Dir, ignored);
  }

  static void ResetAll() {
    ResetAppGlobalsForTests();
    for (DDSURFACEDATA& sd : g_SurfaceData) DDReleaseSurface(&sd);
    DDResetLayerForTests();
    ResetFadesForTests();
    g_SurfaceDef = MakeFixedSurfaceTable();
    LinkMirrorSurfaces();
    g_Palette = {};
    g_PaletteWork = {};
    ResetPaletteAnimationForTests();
    g_System.Reset();
    g_Progress.ResetFreeRun();
    g_WorldMap.Reset();
    g_OptionData.Reset();
    ResetStorySlots(g_StorySlots);
    g_KeyInput[0] = cKeyInput();
  }

  // Starts the road at 32 bits with vertical sync (no pacing), makes the
  // three fonts with the box engine and a palette of distinct colours, and
  // gives the scene manager its frame rate and fade speed.
  void Start(bool direct3D) {
    ASSERT_TRUE(DDInit(direct3D ? 1 : 0, nullptr, 640, 480, 32, 1, 1, 1, 60, 1, g_SurfaceData.data(),
                       g_SurfaceDef.data(), kSurfaceTableRows, 0));
    const int fontRows[] = {SURF_WINDOW, SURF_SYMBOL};
    ASSERT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), fontRows, 2));
    ASSERT_TRUE(CreateFonts(g_Font.data(), g_FontDef.data(), kFontCount));
    for (int i = 0; i < 256; ++i) {
      g_Palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                      static_cast<std::uint8_t>((i * 37) & 0xFF), 0};
    }
    g_PaletteWork = g_Palette;
    g_SceneManager.m_nFps = kTargetFps;
    g_SceneManager.m_nFadeStep = kFadeStepDegrees;
    g_KeyInput[0].SetRepeat(18, 6);
    g_KeyInput[0].InitButtonMasks();
  }

  // One frame of the current scene with these keys held: the scene switch,
  // then its update.
  void Frame(std::uint16_t directions = 0, std::uint16_t buttons = 0) {
    g_KeyInput[0].m_Dir = directions;
    g_KeyInput[0].m_Buttons = buttons;
    g_SceneManager.ChangeScene(g_SceneManager.m_nCurScene);
    if (cScene* scene = g_SceneManager.Scene(g_SceneManager.m_nCurScene)) scene->Update();
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i) Frame();
  }
  // A press of one frame, then a frame with every key up.
  void Press(std::uint16_t directions, std::uint16_t buttons = 0) {
    Frame(directions, buttons);
    Frame();
  }
  void Tap(std::uint16_t buttons) { Press(0, buttons); }

  // Runs frames until the current scene reaches the step (at most `limit`).
  bool RunToStep(int step, int limit = 40) {
    for (int i = 0; i < limit; ++i) {
      cScene* scene = g_SceneManager.Scene(g_SceneManager.m_nCurScene);
      if (scene != nullptr && scene->m_nStep == step) return true;
      Frame();
    }
    return false;
  }
  // Runs frames until the scene manager's current scene is `type`.
  bool RunToScene(int type, int limit = 40) {
    for (int i = 0; i < limit && g_SceneManager.m_nCurScene != type; ++i) Frame();
    return g_SceneManager.m_nCurScene == type;
  }
  cScene* Current() { return g_SceneManager.Scene(g_SceneManager.m_nCurScene); }

  // Writes a file below the working folder; `path` uses slashes.
  void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path full = m_Dir / path;
    std::filesystem::create_directories(full.parent_path());
    std::string error;
    ASSERT_TRUE(plat::WriteFileAtomically(full.string(), bytes, &error)) << error;
  }
  bool Exists(const std::string& path) const { return std::filesystem::exists(m_Dir / path); }

  // A bitmap of cells that each hold their own colour, so a blit from the
  // wrong cell shows in a golden frame.
  void WriteCellBitmap(const std::string& path, int width, int height, int cell) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t c = static_cast<std::uint32_t>((x / cell) * 41 + (y / cell) * 97 + 23);
        const bool edge = x % cell == 0 || y % cell == 0;
        pixels[static_cast<std::size_t>(y) * width + x] = edge ? 0x000000u : ((c * 0x9E3779u) & 0xFFFFFFu) | 0x101010u;
      }
    }
    WriteFile(path, plat::EncodeBmp24(width, height, pixels));
  }
  void WriteFrontEndBitmaps() {
    WriteCellBitmap("bmp/Window.bmp", 64, 64, 64);
    WriteCellBitmap("bmp/Title.bmp", 640, 480, 80);
    WriteCellBitmap("bmp/GameMode.bmp", 256, 224, 32);
    WriteCellBitmap("bmp/Accessory.bmp", 128, 128, 16);
    WriteCellBitmap("bmp/Symbol.bmp", 256, 32, 16);
    WriteCellBitmap("bmp/WorldMapChip.bmp", 160, 64, 32);
    WriteCellBitmap("bmp/WorldEvent.bmp", 64, 128, 32);
    WriteCellBitmap("bmp/WorldBack.bmp", 960, 720, 120);
  }

  std::filesystem::path m_Dir;
  std::filesystem::path m_OldDir;
  plat::cNullPresenter m_Presenter;
  plat::cBoxFontEngine m_Engine;
  std::vector<sBox> m_Boxes;
};

// The same fixture once per road.
class cSceneRoadTest : public cSceneFixture, public ::testing::WithParamInterface<bool> {};

inline std::string RoadName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "Direct3D" : "DirectDraw";
}

}  // namespace scenetest
