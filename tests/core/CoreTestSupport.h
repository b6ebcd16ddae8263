#pragma once
// Shared fixture pieces of the core tests: a temporary working folder, a main
// window owned by the test thread whose posted messages can be counted, a
// message-box sink that records boxes instead of showing them, and a clean
// state of the logs and the checked-container flag.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/SafeAccess.h"
#include "core/DisplayServices.h"
#include "platform/MessageBox.h"
#include "platform/MessageCore.h"
#include "platform/PathResolver.h"
#include "support/TempFolder.h"

namespace coretest {

// The test's own working folder.
class cTempWorkingFolder : public testsupport::cTempFolder {
 public:
  cTempWorkingFolder() : cTempFolder("kestrova_core", kMakeWorkingFolder) {}
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The lines of a file written with "\n" line ends (the last one terminated).
inline std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadWholeFile(path));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct cShownBox {
  std::string text;
  std::string caption;
  UINT type = 0;
};

inline LRESULT IgnoringWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

// Resets the core's process-wide state, works in a temporary folder, owns a
// main window on the test thread and records message boxes.
class cCoreFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogsForTests();
    ClearFatalPendingForTests();
    SetDisplayServices(nullptr);
    plat::ResetMessageCoreForTests();
    m_Window = plat::CreateWindowHandle(&IgnoringWindowProc);
    g_hMainWnd = m_Window;
    plat::SetMessageBoxSink([this](const std::string& text, const std::string& caption, UINT type) {
      m_Boxes.push_back({text, caption, type});
      OnBox();
      return IDOK;
    });
  }

  void TearDown() override {
    plat::SetMessageBoxSink({});
    g_hMainWnd = nullptr;
    plat::ResetMessageCoreForTests();
    SetDisplayServices(nullptr);
    ResetLogsForTests();
    ClearFatalPendingForTests();
  }

  // Called inside the sink, while the box is "open".
  virtual void OnBox() {}

  // Takes every posted message of the test thread; counts those that match.
  int TakePosted(UINT message) {
    int count = 0;
    MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == message) ++count;
    }
    return count;
  }

  bool ClosePending() {
    MSG msg;
    return plat::PeekMessage(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_NOREMOVE);
  }

  // Starts the report in the temporary folder (full program path).
  void StartReport() { ASSERT_TRUE(ReportInit(ReportProgramPath())); }
  std::string ReportProgramPath() const { return plat::CurrentDirectory() + "\\Report_Game.txt"; }
  std::filesystem::path ReportFile() const { return m_Folder.Path() / "Report_Game.txt"; }
  std::filesystem::path DebugLogFile() const { return m_Folder.Path() / "EC_Game.txt"; }

  cTempWorkingFolder m_Folder;
  HWND m_Window = nullptr;
  std::vector<cShownBox> m_Boxes;
};

}  // namespace coretest
