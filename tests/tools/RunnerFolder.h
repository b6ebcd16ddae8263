#pragma once
// Whole runs of the built runner on the sample game, each test in a temporary
// copy of the game's working folder (without the programs), so that saves,
// rankings and options written by one test never reach another.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace runnertest {

namespace fs = std::filesystem;

// The game scene's phase while the stage-clear tally runs, as the runner's
// trace reports it.
inline constexpr int kPhaseStageClear = 4;

class cRunnerFolder : public ::testing::Test {
 protected:
  void SetUp() override { CopyGame(); }

  // The game's working folder copied afresh into the test's folder, in place
  // of whatever earlier runs left there.
  void CopyGame() {
    for (const auto& entry : fs::directory_iterator(m_Folder)) fs::remove_all(entry.path());
    for (const auto& entry : fs::directory_iterator(KESTROVA_GAME_DIR)) {
      if (entry.is_regular_file() && (entry.path().filename() == "kestrova4" ||
                                      entry.path().filename() == "kestrova4-run")) {
        continue;
      }
      fs::copy(entry.path(), m_Folder / entry.path().filename(), fs::copy_options::recursive);
    }
  }

  // Runs the runner in the folder with these arguments; its exit status.
  int Run(const std::vector<std::string>& arguments) {
    std::string command = std::string("'") + KESTROVA4_RUN + "' --dir '" + m_Folder.string() + "'";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    command += " 2>'" + (m_Folder / "stderr.txt").string() + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // What the last run wrote to its error stream.
  std::string ErrorText() const {
    std::ifstream in(m_Folder / "stderr.txt");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  static std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  testsupport::cTempFolder m_Temp{"kestrova_run"};
  const fs::path m_Folder = m_Temp.Path();
};

}  // namespace runnertest
