#pragma once
// Shared fixture of the shell's unit tests: a fresh temporary working folder
// with the system report open in it, a message-box sink that records every
// box, and the shell's globals and the logs back at their start state before
// and after each test.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "core/FrameTimer.h"
#include "core/Log.h"
#include "data/CharaData.h"
#include "data/StageData.h"
#include "graphics/DrawContext.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceDef.h"
#include "graphics/SurfaceTable.h"
#include "platform/Clock.h"
#include "platform/DialogScript.h"
#include "platform/Presenter.h"
#include "platform/MessageBox.h"
#include "platform/MessageCore.h"
#include "support/TempFolder.h"

namespace apptest {

// A file's bytes as a string, for comparing texts read back.
inline std::string AsString(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

struct cShownBox {
  std::string text;
  std::string caption;
};

// A stage file the loader takes for play: it has a hero.
inline std::string StageFileWithHero(const std::string& name) {
  cStageData stage;
  stage.m_Name = name;
  cCharaData hero;
  hero.m_nOperator = CHARA_BY_PLAYER;
  hero.m_nGraphic = 1;
  stage.m_PlacedCharas.push_back(hero);
  const std::vector<std::uint8_t> bytes = stage.MakeFileBytes();
  return std::string(bytes.begin(), bytes.end());
}

class cAppFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Temp.emplace("kestrova_app_unit", testsupport::cTempFolder::kMakeWorkingFolder);
    m_Folder = m_Temp->Path();
    ResetState();
    // Nobody answers the dialogs of these tests: they take their default
    // answers unless a test queues others.
    plat::SetDialogScriptOnly(true);
    DDSetPresenter(&m_Presenter);
    ASSERT_TRUE(ReportInit("Report_Game.txt"));
    plat::SetMessageBoxSink([this](const std::string& text, const std::string& caption, UINT) {
      m_Boxes.push_back({text, caption});
      return m_BoxAnswer;
    });
  }

  void TearDown() override {
    plat::SetMessageBoxSink({});
    ResetState();
    DDSetPresenter(nullptr);
    m_Temp.reset();
  }

  static void ResetState() {
    ResetAppGlobalsForTests();
    ResetDrawingLayer();
    ResetLogsForTests();
    ResetFrameTimingForTests();
    plat::SetTimeSource(nullptr);
    plat::ClearDialogScript();
  }

  // The drawing layer as at process start: no back end, the fixed table.
  static void ResetDrawingLayer() {
    for (DDSURFACEDATA& sd : g_SurfaceData) DDReleaseSurface(&sd);
    DDResetLayerForTests();
    DDSetDriverVersionQueryForTests(nullptr);
    g_SurfaceDef = MakeFixedSurfaceTable();
    LinkMirrorSurfaces();
    g_Palette = {};
    g_PaletteWork = {};
    ResetPaletteAnimationForTests();
  }

  // Starts a back end the way start-up does, in a window at 32 bits.
  static bool StartDrawingLayer(bool direct3D, int vsync) {
    return DDInit(direct3D ? 1 : 0, nullptr, 640, 480, 32, vsync, 1, 1, 60, vsync, g_SurfaceData.data(),
                  g_SurfaceDef.data(), kSurfaceTableRows, 0);
  }

  // Writes a file below the working folder; `path` uses slashes.
  void WriteFile(const std::string& path, const std::string& bytes) const {
    const std::filesystem::path full = m_Folder / path;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  std::string ReadFile(const std::string& path) const {
    std::ifstream in(m_Folder / path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::vector<std::string> ReadLines(const std::string& path) const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::optional<testsupport::cTempFolder> m_Temp;
  std::filesystem::path m_Folder;
  plat::cNullPresenter m_Presenter;
  std::vector<cShownBox> m_Boxes;
  int m_BoxAnswer = IDOK;
};

}  // namespace apptest
