// The built player, run headless (SDL's dummy drivers) on a minimal game in
// a temporary folder: it starts, runs, and closes in order when asked to
// (SIGTERM, the close request of a second start); and a second start in the
// same folder asks the user before it replaces the first.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "SampleGame.h"
#include "data/Database.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"
#include "data/DataRecord.h"
#include "data/Palette.h"
#include "platform/BmpDecoder.h"
#include "platform/Clock.h"
#include "platform/SingleInstance.h"

namespace {

namespace fs = std::filesystem;

using apptest::AsString;

// One run of the player in the background.
class cPlayerProcess {
 public:
  cPlayerProcess(const fs::path& folder, const std::string& stderrName, const char* boxAnswer) {
    const std::string errPath = (folder / stderrName).string();
    m_Pid = ::fork();
    if (m_Pid == 0) {
      if (::chdir(folder.c_str()) != 0) ::_exit(120);
      const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int null = ::open("/dev/null", O_RDWR);
      if (err < 0 || null < 0) ::_exit(121);
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(err, 2);
      ::setenv("SDL_VIDEODRIVER", "dummy", 1);
      ::setenv("SDL_AUDIODRIVER", "dummy", 1);
      if (boxAnswer != nullptr) ::setenv("KESTROVA_MESSAGEBOX_ANSWER", boxAnswer, 1);
      ::execl(KESTROVA4_EXECUTABLE, KESTROVA4_EXECUTABLE, static_cast<char*>(nullptr));
      ::_exit(122);
    }
  }
  ~cPlayerProcess() {
    if (m_Pid > 0 && !m_Ended) {
      ::kill(m_Pid, SIGKILL);
      ::waitpid(m_Pid, nullptr, 0);
    }
  }

  pid_t Pid() const { return m_Pid; }

  // Waits up to `timeoutMs` for the end; true when it ended, with its status.
  bool WaitEnd(std::uint32_t timeoutMs) {
    if (m_Ended) return true;
    const std::uint64_t deadline = plat::MonotonicNs() + std::uint64_t{timeoutMs} * 1000000u;
    while (plat::MonotonicNs() < deadline) {
      if (::waitpid(m_Pid, &m_Status, WNOHANG) == m_Pid) {
        m_Ended = true;
        return true;
      }
      ::usleep(5000);
    }
    return false;
  }
  bool ExitedWith(int code) const { return m_Ended && WIFEXITED(m_Status) && WEXITSTATUS(m_Status) == code; }
  int Status() const { return m_Status; }

 private:
  pid_t m_Pid = -1;
  int m_Status = 0;
  bool m_Ended = false;
};

class PlayerRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kestrova_run_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_Folder = pattern;
    WriteMinimalGame();
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(m_Folder, ec);
  }

  void WriteFile(const std::string& path, const std::string& bytes) const {
    const fs::path full = m_Folder / path;
    fs::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary | std::ios::trunc) << bytes;
  }

  std::string ReadFile(const std::string& path) const {
    std::ifstream in(m_Folder / path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::vector<std::string> ReportLines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile("Report_Game.txt"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // The databases, the system data, the world map, the common palette, the
  // palette bitmap, the debug bitmap, the title menu's bitmaps and System.ini:
  // a game with nothing in it that the player starts in a window, on its title.
  void WriteMinimalGame() {
    cDatabase db;
    for (int i = 0; i < kDatabaseFileCount; ++i) {
      WriteFile(std::string("data/database/") + kDatabaseFileNames[i], AsString(samplegame::DatabaseFileBytes(db, i)));
    }
    WriteFile("data/System.dat", AsString(cSystemData().MakeFileBytes()));
    WriteFile("data/WorldMap.dat", AsString(cWorldMap().MakeFileBytes()));
    WriteFile("data/CommonPalette.cplt4", AsString(cPalette().MakeFileBytes()));
    std::vector<plat::sPaletteEntry> palette(256);
    for (int i = 0; i < 256; ++i) palette[i] = {static_cast<std::uint8_t>(i), 0x20, 0x40, 0};
    std::vector<std::uint8_t> indices(16 * 24, 0);
    for (int i = 0; i < 256; ++i) indices[(8 + i / 16) * 16 + i % 16] = static_cast<std::uint8_t>(i);
    WriteFile("bmp/plt/Palette.bmp", AsString(plat::EncodeBmp8(16, 24, indices, palette)));
    WriteFile("bmp/Debug.bmp", AsString(plat::EncodeBmp24(32, 32, std::vector<std::uint32_t>(32 * 32, 0x808080))));
    for (const char* name : {"Title", "Accessory", "Window"}) {
      WriteFile(std::string("bmp/") + name + ".bmp",
                AsString(plat::EncodeBmp24(640, 480, std::vector<std::uint32_t>(640 * 480, 0x304050))));
    }
    WriteFile("System.ini", "Direct3D=1\nWindowMode=1\nExit\n");
  }

  // True once the player has come past its start-up: the report then holds
  // the display's description, written after the drawing layer started.
  bool WaitForStartUp(cPlayerProcess& player, std::uint32_t timeoutMs) {
    const std::uint64_t deadline = plat::MonotonicNs() + std::uint64_t{timeoutMs} * 1000000u;
    while (plat::MonotonicNs() < deadline) {
      // A close asked from here on, even during the title's first frame
      // (which loads its pictures), ends the player in order.
      if (ReportLines().size() > 8) return true;
      if (player.WaitEnd(0)) return false;
      ::usleep(10 * 1000);
    }
    return false;
  }

  std::string LockFileText() const { return ReadFile(plat::InstanceLockFileName()); }

  fs::path m_Folder;
};

TEST_F(PlayerRunTest, AHeadlessStartRunsAndClosesInOrderOnSigterm) {
  cPlayerProcess player(m_Folder, "stderr.txt", "ok");
  ASSERT_TRUE(WaitForStartUp(player, 20000)) << ReadFile("stderr.txt") << ReadFile("Report_Game.txt");
  EXPECT_EQ(LockFileText(), std::to_string(player.Pid()) + "\n");

  ASSERT_EQ(::kill(player.Pid(), SIGTERM), 0);
  ASSERT_TRUE(player.WaitEnd(10000));
  EXPECT_TRUE(player.ExitedWith(0)) << player.Status() << "\n" << ReadFile("stderr.txt");

  const std::vector<std::string> report = ReportLines();
  ASSERT_GT(report.size(), 8u);
  EXPECT_EQ(report[0], "App : ver 781");
  EXPECT_EQ(report[1].rfind("OS : ", 0), 0u) << report[1];
  EXPECT_EQ(report[7].rfind("HD Free : ", 0), 0u) << report[7];
  for (const std::string& line : report) {
    EXPECT_EQ(line.find("did not stop"), std::string::npos) << "every thread ended: " << line;
    EXPECT_EQ(line.find("err V["), std::string::npos) << line;
  }

  // The placement of the window, saved by the close in window mode.
  const std::string placement = ReadFile("user_data/Window.dat");
  ASSERT_EQ(placement.size(), 32u);
  std::int32_t words[8];
  std::memcpy(words, placement.data(), sizeof(words));
  EXPECT_EQ(words[0], 781);
  EXPECT_EQ(words[1], 5);
  EXPECT_EQ(words[4], 640);
  EXPECT_EQ(words[5], 480);
  EXPECT_EQ(LockFileText(), "") << "the lock went with the player";
}

TEST_F(PlayerRunTest, ASecondStartAnsweredNoLeavesTheFirstRunning) {
  cPlayerProcess first(m_Folder, "stderr1.txt", "ok");
  ASSERT_TRUE(WaitForStartUp(first, 20000)) << ReadFile("stderr1.txt");

  cPlayerProcess second(m_Folder, "stderr2.txt", "no");
  ASSERT_TRUE(second.WaitEnd(10000));
  EXPECT_TRUE(second.ExitedWith(0));
  const std::string asked = ReadFile("stderr2.txt");
  EXPECT_NE(asked.find("Running this program now. Restart?"), std::string::npos) << asked;
  EXPECT_FALSE(first.WaitEnd(200)) << "the first player goes on";
  EXPECT_EQ(LockFileText(), std::to_string(first.Pid()) + "\n");

  ::kill(first.Pid(), SIGTERM);
  ASSERT_TRUE(first.WaitEnd(10000));
  EXPECT_TRUE(first.ExitedWith(0));
}

TEST_F(PlayerRunTest, ASecondStartAnsweredYesClosesTheFirstInOrderAndTakesOver) {
  cPlayerProcess first(m_Folder, "stderr1.txt", "ok");
  ASSERT_TRUE(WaitForStartUp(first, 20000)) << ReadFile("stderr1.txt");
  fs::remove(m_Folder / "user_data" / "Window.dat");

  cPlayerProcess second(m_Folder, "stderr2.txt", "yes");
  ASSERT_TRUE(first.WaitEnd(10000));
  EXPECT_TRUE(first.ExitedWith(0)) << "closed, not killed: " << first.Status();
  EXPECT_TRUE(fs::exists(m_Folder / "user_data" / "Window.dat")) << "the first one saved its placement";

  const std::uint64_t deadline = plat::MonotonicNs() + 10000ull * 1000000u;
  while (LockFileText() != std::to_string(second.Pid()) + "\n" && plat::MonotonicNs() < deadline) ::usleep(10000);
  EXPECT_EQ(LockFileText(), std::to_string(second.Pid()) + "\n");
  EXPECT_FALSE(second.WaitEnd(300)) << ReadFile("stderr2.txt");

  ::kill(second.Pid(), SIGTERM);
  ASSERT_TRUE(second.WaitEnd(10000));
  EXPECT_TRUE(second.ExitedWith(0));
}

}  // namespace
