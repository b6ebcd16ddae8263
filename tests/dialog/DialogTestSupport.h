#pragma once
// Shared fixture of the dialog tests: a fresh temporary working folder, the
// message core, the keyboard hook, the window properties and the dialog
// script back at their start state, a main window handle owning the dialogs,
// and a runtime that keeps the last frame the dialogs showed.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "dialog/DialogRuntime.h"
#include "dialog/Hook.h"
#include "dialog/WindowProps.h"
#include "dialog/Wnd.h"
#include "platform/DialogScript.h"
#include "platform/MessageBox.h"
#include "platform/MessageCore.h"
#include "support/TempFolder.h"

namespace dialogtest {

// The window that owns the dialogs, as the main window would.
class cOwnerWnd : public cWnd {
 public:
  LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    m_Received.push_back(message);
    return OnMessage(window, message, wParam, lParam);
  }
  std::vector<UINT> m_Received;
};

class cDialogFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Temp.emplace("kestrova_dialog", testsupport::cTempFolder::kMakeWorkingFolder);
    m_Folder = m_Temp->Path();
    Reset();
    plat::SetMainThread(plat::CurrentThreadId());
    m_Owner.SetCreateParams(640, 480, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
    m_Owner.SetHandle(plat::CreateWindowHandle(
        [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
          auto* owner = static_cast<cOwnerWnd*>(plat::GetWindowUserData(window));
          return owner != nullptr ? owner->WndProc(window, message, wParam, lParam) : 0;
        },
        &m_Owner));
    sDialogRuntime runtime;
    runtime.showFrame = [this](const plat::cPixelSurface& frame) {
      m_LastFrame = frame.Clone();
      ++m_FramesShown;
    };
    SetDialogRuntime(std::move(runtime));
    plat::SetMessageBoxSink([this](const std::string& text, const std::string&, UINT) {
      m_Boxes.push_back(text);
      if (m_BoxAnswers.empty()) return IDOK;
      const int answer = m_BoxAnswers.front();
      m_BoxAnswers.erase(m_BoxAnswers.begin());
      return answer;
    });
  }

  void TearDown() override {
    plat::SetMessageBoxSink({});
    Reset();
    m_Temp.reset();
  }

  static void Reset() {
    SetDialogRuntime({});
    plat::ClearDialogScript();
    ResetKeyboardHookForTests();
    ResetWindowPropsForTests();
    plat::ResetMessageCoreForTests();
  }

  // Queues the entries and lets the dialog close by itself when they run out.
  static void Script(const std::vector<plat::sDialogInput>& inputs) {
    for (const plat::sDialogInput& input : inputs) plat::PushDialogInput(input);
    plat::SetDialogScriptOnly(true);
  }

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

  bool Exists(const std::string& path) const { return std::filesystem::exists(m_Folder / path); }

  std::optional<testsupport::cTempFolder> m_Temp;
  std::filesystem::path m_Folder;
  cOwnerWnd m_Owner;
  plat::cPixelSurface m_LastFrame;
  int m_FramesShown = 0;
  std::vector<std::string> m_Boxes;
  std::vector<int> m_BoxAnswers;  // answered in turn; IDOK once they run out
};

using plat::sDialogInput;
using Answer = plat::eDialogAnswer;

}  // namespace dialogtest
