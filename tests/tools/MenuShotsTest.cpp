// Screenshots of the sample game's menu scenes through the runner, on both
// drawing paths: the title, the options, the stage select, the world map and
// the map menu, each compared with its golden frame under golden/. A frame
// that differs is written beside the test program and the test fails; with
// KESTROVA_UPDATE_GOLDEN=1 in the environment the frames become the new
// golden ones.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "RunnerFolder.h"
#include "core/SceneManager.h"

namespace {

namespace fs = std::filesystem;

constexpr int kShotEvery = 100;

// The keys that lead through the five scenes, one shot every 100 frames.
constexpr const char* kMenuKeys =
    "# frame 100: the title menu\n"
    "110 UP\n112\n120 UP\n122\n130 Z\n132\n"  // up twice wraps onto the options
    "# frame 200: the options\n"
    "210 X\n212\n"  // back to the title, its cursor still on the options
    "260 UP\n262\n270 UP\n272\n280 UP\n282\n290 Z\n292\n"  // the challenge
    "# frame 400: the stage select\n"
    "410 X\n412\n"
    "440 UP\n442\n450 UP\n452\n460 Z\n462\n"  // a new story
    "# frame 600: the world map\n"
    "610 X\n612\n"
    "# frame 700: the map menu\n";

struct sShot {
  int frame;
  int scene;
  const char* name;
};
constexpr sShot kShots[] = {
    {100, SCENE_TITLE, "title"},      {200, SCENE_OPTION, "options"},      {400, SCENE_STAGE_SELECT, "select"},
    {600, SCENE_WORLD_MAP, "worldmap"}, {700, SCENE_MAP_MENU, "mapmenu"},
};

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class MenuShotsTest : public runnertest::cRunnerFolder, public ::testing::WithParamInterface<bool> {
 protected:
  // The scene column of the trace line of `frame`.
  int SceneAt(const std::vector<std::string>& trace, int frame) {
    if (frame >= static_cast<int>(trace.size())) return -1;
    std::istringstream in(trace[static_cast<std::size_t>(frame)]);
    int number = 0, scene = -1;
    in >> number >> scene;
    return scene;
  }

  // Compares the shot with its golden frame; a difference leaves the shot
  // beside the test program (or, when asked, makes it the golden frame).
  void ExpectGolden(const fs::path& shot, const std::string& name) {
    const fs::path golden = fs::path(KESTROVA_TEST_KEYS).parent_path() / "golden" / (name + ".bmp");
    const std::string frame = ReadBytes(shot);
    ASSERT_FALSE(frame.empty()) << "no shot " << shot;
    if (ReadBytes(golden) == frame) return;
    const char* write = std::getenv("KESTROVA_UPDATE_GOLDEN");
    if (write != nullptr && std::string(write) == "1") {
      fs::create_directories(golden.parent_path());
      fs::copy_file(shot, golden, fs::copy_options::overwrite_existing);
      return;
    }
    const fs::path kept = fs::read_symlink("/proc/self/exe").parent_path() / (name + ".bmp");
    fs::copy_file(shot, kept, fs::copy_options::overwrite_existing);
    ADD_FAILURE() << name << " differs from " << golden << "; the frame is in " << kept;
  }
};

TEST_P(MenuShotsTest, EachMenuSceneMatchesItsGoldenFrame) {
  const bool direct3D = GetParam();
  const fs::path keys = m_Folder / "menus.keys";
  std::ofstream(keys) << kMenuKeys;
  const int frames = kShots[std::size(kShots) - 1].frame + 1;
  ASSERT_EQ(0, Run({"--keys", keys.string(), "--frames", std::to_string(frames), "--trace",
                    (m_Folder / "trace.txt").string(), "--shots", (m_Folder / "shots").string(), "--shot-every",
                    std::to_string(kShotEvery), "--direct3d", direct3D ? "1" : "0"}))
      << ErrorText();
  const std::vector<std::string> trace = Lines(m_Folder / "trace.txt");
  for (const sShot& shot : kShots) {
    SCOPED_TRACE(shot.name);
    ASSERT_EQ(shot.scene, SceneAt(trace, shot.frame)) << "the keys no longer lead to the scene";
    char file[32];
    std::snprintf(file, sizeof file, "%08d.bmp", shot.frame);
    ExpectGolden(m_Folder / "shots" / file, std::string("menu_") + shot.name + (direct3D ? "_d3d" : "_ddraw"));
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, MenuShotsTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Direct3D" : "DirectDraw";
                         });

}  // namespace
