#pragma once
// Stand-ins for what the flows ask of the rest of the player, for the tests
// of the game world and the flow interpreter:
//   cTestGameScene  a game scene that records every modal wait it runs (the
//                   wait record at entry, and how many frames it would run)
//                   and every rebuild of the light surfaces, instead of
//                   running a loop or drawing;
//   cErrorBoxLog    error boxes captured instead of shown, for as long as it
//                   lives;
//   cSoundLog       the sound and music requests sent to the main window
//                   (sound slots of message 1029, music requests of 1030),
//                   for as long as it lives.

#include <string>
#include <vector>

#include "core/AppMessages.h"
#include "doubles/MainWindowRecorder.h"
#include "platform/MessageBox.h"
#include "world/GameScene.h"

class cTestGameScene : public cGameScene {
 public:
  // What a modal wait was asked to wait for, and the frames its loop would
  // run: frames + 1 for a timed wait (it ends when the count drops below 0),
  // 0 for a key wait.
  struct cWait {
    cGameWait m_Wait;
    int m_Frames = 0;
  };

  int PauseLoop() override {
    const int frames = m_GameWait.m_WaitForKey != 0 ? 0 : m_GameWait.m_Frames + 1;
    m_Waits.push_back(cWait{m_GameWait, frames});
    return m_PauseLoopResult;
  }
  void PrepareLightSurfaces() override { ++m_LightRebuilds; }

  std::vector<cWait> m_Waits;
  int m_PauseLoopResult = 1;  // 0: as with a close request pending
  int m_LightRebuilds = 0;
};

class cErrorBoxLog {
 public:
  cErrorBoxLog() {
    plat::SetMessageBoxSink([this](const std::string& text, const std::string&, UINT) {
      m_Texts.push_back(text);
      return IDOK;
    });
  }
  ~cErrorBoxLog() { plat::SetMessageBoxSink({}); }
  cErrorBoxLog(const cErrorBoxLog&) = delete;
  cErrorBoxLog& operator=(const cErrorBoxLog&) = delete;

  // The CP932 texts of the boxes, in order.
  const std::vector<std::string>& Texts() const { return m_Texts; }
  void Clear() { m_Texts.clear(); }

 private:
  std::vector<std::string> m_Texts;
};

class cSoundLog {
 public:
  // The slots asked for, in order (system sound n is slot n, sound-database
  // sound n is slot n + 16).
  std::vector<int> Sounds() const { return Values(WM_APP_PLAY_SOUND); }
  // The music requests: the request code (wParam) and its value (lParam).
  std::vector<std::pair<int, int>> Music() const {
    std::vector<std::pair<int, int>> requests;
    for (const cMainWindowRecorder::cMessage& message : m_Recorder.MessagesOf(WM_APP_MUSIC)) {
      requests.emplace_back(static_cast<int>(message.wParam), static_cast<int>(message.lParam));
    }
    return requests;
  }
  void Clear() { m_Recorder.Clear(); }

 private:
  std::vector<int> Values(UINT message) const {
    std::vector<int> values;
    for (const cMainWindowRecorder::cMessage& sent : m_Recorder.MessagesOf(message)) {
      values.push_back(static_cast<int>(sent.wParam));
    }
    return values;
  }

  cMainWindowRecorder m_Recorder;
};
