// The main window's procedure with stand-ins for the services its requests
// reach: the request messages and their done and result flags, activation,
// Escape, the close sequence with the window placement, the editor notices,
// and the game thread's loop.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "support/FakeWindowHost.h"
#include "app/GameSceneHost.h"
#include "app/MainWnd.h"
#include "core/Scene.h"
#include "core/SceneManager.h"
#include "app/WindowData.h"
#include "core/AppMessages.h"
#include "core/MainWindow.h"
#include "core/ProcessFlags.h"
#include "core/RequestFlags.h"
#include "core/SafeAccess.h"
#include "core/Thread.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "platform/EditorLink.h"

namespace {

namespace fs = std::filesystem;
using testsupport::cFakeWindowHost;

struct sNotice {
  HWND sender;
  std::uintptr_t dwData;
  std::int32_t value;
};

class cFakeEditorLink final : public plat::cEditorLink {
 public:
  HWND FindEditorWindow(const std::string& className, const std::string& title) override {
    m_Found.push_back(className + "|" + title);
    return reinterpret_cast<HWND>(std::uintptr_t{0xED});
  }
  LRESULT SendCopyData(HWND, HWND sender, const COPYDATASTRUCT& data) override {
    sNotice notice{sender, data.dwData, 0};
    std::memcpy(&notice.value, data.lpData, sizeof(notice.value));
    m_Notices.push_back(notice);
    return 1;
  }
  std::vector<std::string> m_Found;
  std::vector<sNotice> m_Notices;
};

// What the stand-in services were asked.
struct sCalls {
  std::vector<std::string> log;
  std::vector<sFileDialogRequest> dialogs;
  std::vector<int> playedSlots;
};

class MainWndTest : public apptest::cAppFixture {
 protected:
  void SetUp() override {
    cAppFixture::SetUp();
    plat::ResetMessageCoreForTests();
    plat::SetMainThread(plat::CurrentThreadId());
    m_Window = plat::CreateWindowHandle(WndProcThunk);
    plat::AttachWindowHost(m_Window, &m_Host);
    g_MainWnd.SetCreateParams(640, 480, 100, 100, 640, 480, 0x80CB0000u, 0, 0, 0, 0, 0);
    g_MainWnd.SetHandle(m_Window);
    g_hMainWnd.store(m_Window);
    g_AppActive.store(0);
    g_StartupDone.store(0);
    g_LaunchedByEditor.store(0);
    g_NameEntryDone.store(0);
    g_FileRequestDone.store(0);
    g_FileRequestResult.store(-1);
    plat::SetEditorLink(&m_Editor);
    InstallServices();
    fs::create_directories(m_Folder / "user_data");
  }

  void TearDown() override {
    thGame.Exit();
    thPause.Exit();
    SetMainWndServices({});
    plat::SetEditorLink(nullptr);
    plat::AttachWindowHost(m_Window, nullptr);
    g_MainWnd.SetHandle(nullptr);
    g_hMainWnd.store(nullptr);
    g_AppActive.store(0);
    g_StartupDone.store(0);
    g_LaunchedByEditor.store(0);
    g_WindowData.Set(0, 0, 0, 0, 0);
    ClearFatalPendingForTests();
    plat::ResetMessageCoreForTests();
    cAppFixture::TearDown();
  }

  void InstallServices() {
    cMainWndServices services;
    services.setDialogMode = [this](int on) {
      m_Calls.log.push_back("dialog mode " + std::to_string(on));
      return true;
    };
    services.restoreDisplay = [this] { m_Calls.log.push_back("restore display"); };
    services.isDirect3D = [this] { return m_Direct3D; };
    services.isFullScreen = [this] { return m_FullScreen; };
    services.windowMode = [this] { return m_WindowMode; };
    services.english = [this] { return m_English; };
    services.nameEntryDialog = [this] {
      m_Calls.log.push_back("name entry");
      return true;
    };
    services.openFileDialog = [this](std::string& path, const sFileDialogRequest& request) {
      m_Calls.dialogs.push_back(request);
      path = m_ChosenPath;
      return !m_ChosenPath.empty();
    };
    services.chooseReplayFileName = [this](std::string& path) {
      path = m_ChosenPath;
      return !m_ChosenPath.empty();
    };
    services.startStageFromFile = [this](const std::string& path) {
      m_Calls.log.push_back("start " + path);
      return m_FileOperationWorks;
    };
    services.loadReplay = [this](const std::string& path) {
      m_Calls.log.push_back("load replay " + path);
      return m_FileOperationWorks;
    };
    services.saveReplay = [this](const std::string& path, int previous) {
      m_Calls.log.push_back("save replay " + path + " " + std::to_string(previous));
      return m_FileOperationWorks;
    };
    services.setLoadedFilePath = [this](const std::string& path) { m_Calls.log.push_back("loaded " + path); };
    services.requestGameSceneClose = [this] { m_Calls.log.push_back("game scene close"); };
    services.soundSlotCount = [] { return 17; };
    services.soundSlotBytes = [] { return std::size_t{40}; };
    services.playSoundSlot = [this](int slot) { m_Calls.playedSlots.push_back(slot); };
    services.sceneTune = [](int scene) { return scene == 2 ? 0 : scene + 1; };
    services.sceneLoop = [](int scene) { return scene == 1 ? 0 : 1; };
    services.bgmCount = [] { return 5; };
    services.bgmBytes = [] { return std::size_t{24}; };
    services.bgmFile = [](int number) { return "bgm" + std::to_string(number) + ".ogg"; };
    services.stageTuneLoop = [] { return 7; };
    services.setStageTune = [this](int number) { m_Calls.log.push_back("stage tune " + std::to_string(number)); };
    services.stopAllMusic = [this] { m_Calls.log.push_back("stop music"); };
    services.setMusicFile = [this](int slot, const std::string& file) {
      m_Calls.log.push_back("set file " + std::to_string(slot) + " " + file);
    };
    services.playMusic = [this](int channel, int slot, int loop, int stopMode, int force) {
      m_Calls.log.push_back("play " + std::to_string(channel) + " " + std::to_string(slot) + " " +
                            std::to_string(loop) + " " + std::to_string(stopMode) + " " + std::to_string(force));
    };
    SetMainWndServices(std::move(services));
  }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return plat::SendMessage(m_Window, message, wParam, lParam);
  }

  // Takes the close messages waiting in the main thread's queue.
  int TakeCloseMessages() {
    int count = 0;
    MSG msg;
    while (plat::PeekMessage(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
      if (msg.message == WM_CLOSE) ++count;
      if (msg.message == WM_QUIT) break;
    }
    return count;
  }

  bool QuitPosted() {
    MSG msg;
    return plat::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) && msg.message == WM_QUIT;
  }

  bool ReportContains(const std::string& text) const { return ReadFile("Report_Game.txt").find(text) != std::string::npos; }

  HWND m_Window = nullptr;
  cFakeWindowHost m_Host;
  cFakeEditorLink m_Editor;
  sCalls m_Calls;
  bool m_Direct3D = false;
  bool m_FullScreen = false;
  int m_WindowMode = 1;
  bool m_English = false;
  std::string m_ChosenPath;
  bool m_FileOperationWorks = true;
};

TEST_F(MainWndTest, FileRequestsSetTheirFlagsAndCloseOnlyWhenTheFileOperationFails) {
  struct sCase {
    const char* label;
    UINT message;
    WPARAM wParam;
    const char* chosen;
    bool works;
    int result;
    int closes;
    std::vector<std::string> log;
  };
  const sCase cases[] = {
      {"stage cancelled", WM_APP_OPEN_STAGE, 0, "", true, 0, 0, {"dialog mode 1", "dialog mode 0"}},
      {"stage started", WM_APP_OPEN_STAGE, 0, "a.stg4_781", true, 1, 0,
       {"dialog mode 1", "dialog mode 0", "start a.stg4_781"}},
      {"stage failed", WM_APP_OPEN_STAGE, 0, "a.stg4_781", false, 1, 1,
       {"dialog mode 1", "dialog mode 0", "start a.stg4_781"}},
      {"replay cancelled", WM_APP_OPEN_REPLAY, 0, "", true, 0, 0, {"dialog mode 1", "dialog mode 0"}},
      {"replay loaded", WM_APP_OPEN_REPLAY, 0, "r.rpl4_781", true, 1, 0,
       {"dialog mode 1", "dialog mode 0", "load replay r.rpl4_781", "loaded r.rpl4_781"}},
      {"replay failed", WM_APP_OPEN_REPLAY, 0, "r.rpl4_781", false, 1, 1,
       {"dialog mode 1", "dialog mode 0", "load replay r.rpl4_781", "loaded r.rpl4_781"}},
      {"save cancelled", WM_APP_SAVE_REPLAY, 0, "", true, 0, 0, {"dialog mode 1", "dialog mode 0"}},
      {"save running", WM_APP_SAVE_REPLAY, 0, "s.rpl4_781", true, 1, 0,
       {"dialog mode 1", "dialog mode 0", "save replay s.rpl4_781 0"}},
      {"save previous", WM_APP_SAVE_REPLAY, 3, "s.rpl4_781", true, 1, 0,
       {"dialog mode 1", "dialog mode 0", "save replay s.rpl4_781 1"}},
      {"save failed", WM_APP_SAVE_REPLAY, 1, "s.rpl4_781", false, 1, 1,
       {"dialog mode 1", "dialog mode 0", "save replay s.rpl4_781 1"}},
  };
  for (const sCase& test : cases) {
    m_Calls = {};
    m_ChosenPath = test.chosen;
    m_FileOperationWorks = test.works;
    g_FileRequestDone.store(0);
    g_FileRequestResult.store(-1);
    EXPECT_EQ(Send(test.message, test.wParam), 0) << test.label;
    EXPECT_EQ(g_FileRequestDone.load(), 1) << test.label;
    EXPECT_EQ(g_FileRequestResult.load(), test.result) << test.label;
    EXPECT_EQ(TakeCloseMessages(), test.closes) << test.label;
    EXPECT_EQ(m_Calls.log, test.log) << test.label;
  }
}

TEST_F(MainWndTest, FileDialogsAskForTheirFoldersAndTitles) {
  Send(WM_APP_OPEN_STAGE);
  m_English = true;
  Send(WM_APP_OPEN_STAGE);
  Send(WM_APP_OPEN_REPLAY);
  m_English = false;
  Send(WM_APP_OPEN_REPLAY);
  ASSERT_EQ(m_Calls.dialogs.size(), 4u);
  EXPECT_EQ(m_Calls.dialogs[0].initialFolder, "data\\stg4\\");
  EXPECT_EQ(m_Calls.dialogs[0].title, "ステージファイルの読み込み");
  EXPECT_EQ(m_Calls.dialogs[0].filter, "StageFile ( *.stg4_*;*.rpl4_* )");
  EXPECT_EQ(m_Calls.dialogs[0].patterns, "stg4_*;rpl4_*");
  EXPECT_EQ(m_Calls.dialogs[1].title, "Load stage file");
  EXPECT_EQ(m_Calls.dialogs[2].initialFolder, "user_data\\rpl4");
  EXPECT_EQ(m_Calls.dialogs[2].title, "Load replay file");
  EXPECT_EQ(m_Calls.dialogs[2].filter, "ReplayFile ( *.rpl4_* )");
  EXPECT_EQ(m_Calls.dialogs[2].patterns, "rpl4_*");
  EXPECT_EQ(m_Calls.dialogs[3].title, "リプレイファイルの読み込み");
}

// With the game scene's own services, a stage file chosen in the title's free
// play starts its run at once, the file taken as chosen; the player stays
// open. Only a file that cannot be loaded closes it.
TEST_F(MainWndTest, TheGameScenesServicesStartTheChosenStageFile) {
  cMainWndServices services = MainWndServices();
  ConnectGameSceneServices(services);
  SetMainWndServices(std::move(services));
  WriteFile("data/stg4/free-1.stg4_780", apptest::StageFileWithHero("chosen"));
  WriteFile("data/stg4/free-1.stg4_781", apptest::StageFileWithHero("newer"));
  g_Progress.m_nScore = 99;

  m_ChosenPath = "data\\stg4\\free-1.stg4_780";
  Send(WM_APP_OPEN_STAGE);
  EXPECT_EQ(g_FileRequestResult.load(), 1);
  EXPECT_EQ(TakeCloseMessages(), 0);
  EXPECT_EQ(g_Stage.m_Name, "chosen");
  EXPECT_EQ(g_StageInitial.m_Name, "chosen");
  EXPECT_EQ(g_Progress.m_nScore, 0) << "a new run";
  EXPECT_EQ(g_Progress.m_nStageNo, 1);

  m_ChosenPath = "data\\stg4\\missing.stg4_781";
  Send(WM_APP_OPEN_STAGE);
  EXPECT_EQ(g_FileRequestResult.load(), 1);
  EXPECT_EQ(TakeCloseMessages(), 1);
  g_Stage = cStageData();
  g_StageInitial = cStageData();
  g_Progress.ResetFreeRun();
}

// Requests whose subsystem is missing answer as a cancelled request: the
// requester still finds its done flag set.
TEST_F(MainWndTest, RequestsWithoutTheirServiceAnswerAsCancelled) {
  SetMainWndServices({});
  Send(WM_APP_NAME_ENTRY);
  EXPECT_EQ(g_NameEntryDone.load(), 1);
  for (UINT message : {WM_APP_OPEN_STAGE, WM_APP_OPEN_REPLAY, WM_APP_SAVE_REPLAY}) {
    g_FileRequestDone.store(0);
    g_FileRequestResult.store(-1);
    Send(message);
    EXPECT_EQ(g_FileRequestDone.load(), 1) << message;
    EXPECT_EQ(g_FileRequestResult.load(), 0) << message;
  }
  Send(WM_APP_PLAY_SOUND, 99);
  Send(WM_APP_MUSIC, 4, 99);
  Send(WM_APP_RESTORE_DISPLAY);
  EXPECT_EQ(TakeCloseMessages(), 0);
  EXPECT_FALSE(IsFatalPending());
}

TEST_F(MainWndTest, NameEntryRunsTheDialogBetweenTheDialogModes) {
  Send(WM_APP_NAME_ENTRY);
  EXPECT_EQ(m_Calls.log, (std::vector<std::string>{"dialog mode 1", "name entry", "dialog mode 0"}));
  EXPECT_EQ(g_NameEntryDone.load(), 1);
}

TEST_F(MainWndTest, SoundRequestsPlayTheirSlotAndABadSlotIsReportedAndDropped) {
  Send(WM_APP_PLAY_SOUND, 3);
  Send(WM_APP_PLAY_SOUND, 16);
  Send(WM_APP_PLAY_SOUND, 17);
  Send(WM_APP_PLAY_SOUND, static_cast<WPARAM>(static_cast<std::intptr_t>(-1)));
  EXPECT_EQ(m_Calls.playedSlots, (std::vector<int>{3, 16}));
  EXPECT_TRUE(ReportContains("err V[17] ( 17 , 40 )"));
  EXPECT_TRUE(ReportContains("err V[-1] ( 17 , 40 )"));
  EXPECT_EQ(TakeCloseMessages(), 0) << "a bad sound number does not end the run";
  EXPECT_FALSE(IsFatalPending()) << "nothing was written through the bad slot: saves go on";
}

TEST_F(MainWndTest, MusicRequests) {
  struct sCase {
    WPARAM request;
    LPARAM tune;
    std::vector<std::string> log;
  };
  const sCase cases[] = {
      {0, 0, {"set file 0 bgm1.ogg", "play 0 0 1 0 1"}},
      {1, 0, {"set file 1 bgm2.ogg", "play 0 1 0 0 1"}},
      {2, 0, {"stop music"}},  // the scene's tune is 0: silence
      {3, 0, {"set file 3 bgm4.ogg", "play 0 3 1 0 1"}},
      {4, 0, {"stage tune 0", "set file 4 bgm0.ogg", "stop music"}},
      {4, 2, {"stage tune 2", "set file 4 bgm2.ogg", "play 0 4 7 0 1"}},
      {5, 2, {}},
  };
  for (const sCase& test : cases) {
    m_Calls = {};
    Send(WM_APP_MUSIC, test.request, test.tune);
    EXPECT_EQ(m_Calls.log, test.log) << test.request << "/" << test.tune;
  }
  EXPECT_EQ(TakeCloseMessages(), 0);
}

TEST_F(MainWndTest, AStageTuneBeyondTheMusicDatabaseIsReportedAndDropped) {
  Send(WM_APP_MUSIC, 4, 9);
  EXPECT_TRUE(m_Calls.log.empty()) << "the tune that plays goes on playing";
  EXPECT_TRUE(ReportContains("err V[9] ( 5 , 24 )"));
  EXPECT_EQ(TakeCloseMessages(), 0) << "a bad tune number does not end the run";
  EXPECT_FALSE(IsFatalPending()) << "nothing was written through the bad number: saves go on";
}

TEST_F(MainWndTest, ActivationRestoresAFullScreenDirect3DDisplayOnce) {
  struct sCase {
    bool direct3D;
    bool fullScreen;
    int restores;
  };
  const sCase cases[] = {{true, true, 1}, {true, false, 0}, {false, true, 0}};
  for (const sCase& test : cases) {
    m_Calls = {};
    m_Direct3D = test.direct3D;
    m_FullScreen = test.fullScreen;
    g_AppActive.store(0);
    Send(WM_ACTIVATEAPP, 1);
    EXPECT_EQ(g_AppActive.load(), 1);
    Send(WM_ACTIVATEAPP, 1);
    const long restores = std::count(m_Calls.log.begin(), m_Calls.log.end(), "restore display");
    EXPECT_EQ(restores, test.restores) << test.direct3D << test.fullScreen;
    Send(WM_ACTIVATEAPP, 0);
    EXPECT_EQ(g_AppActive.load(), 0);
  }
  m_Calls = {};
  Send(WM_APP_RESTORE_DISPLAY);
  EXPECT_EQ(m_Calls.log, std::vector<std::string>{"restore display"});
}

TEST_F(MainWndTest, EscapeAsksForTheCloseAndOtherKeysDoNothing) {
  Send(WM_KEYDOWN, 'A');
  Send(WM_KEYUP, 0x1B);
  EXPECT_EQ(TakeCloseMessages(), 0);
  Send(WM_KEYDOWN, 0x1B);
  EXPECT_EQ(TakeCloseMessages(), 1);
}

TEST_F(MainWndTest, TheCloseSequenceSavesThePlacementAndEndsTheWindow) {
  g_StartupDone.store(1);
  m_Host.m_Rect = RECT{-30, 120, 610, 600};
  Send(WM_SIZE);
  Send(WM_CLOSE);

  EXPECT_EQ(m_Calls.log, std::vector<std::string>{"stop music"});
  const std::string bytes = ReadFile("user_data/Window.dat");
  ASSERT_EQ(bytes.size(), 32u);
  std::int32_t words[8];
  std::memcpy(words, bytes.data(), sizeof(words));
  EXPECT_EQ(words[0], 781);
  EXPECT_EQ(words[1], 5);
  EXPECT_EQ(words[2], -30);
  EXPECT_EQ(words[3], 120);
  EXPECT_EQ(words[4], 640);
  EXPECT_EQ(words[5], 480);
  EXPECT_EQ(words[6], 0);
  EXPECT_EQ(words[7], 0);

  EXPECT_FALSE(plat::IsWindow(m_Window));
  EXPECT_EQ(g_MainWnd.GetHandle(), nullptr);
  EXPECT_EQ(g_hMainWnd.load(), nullptr);
  EXPECT_TRUE(QuitPosted());
  EXPECT_TRUE(m_Editor.m_Notices.empty()) << "not started by the editor";
}

TEST_F(MainWndTest, ThePlacementIsSavedOnlyInAWindowAfterStartUpAndNotMinimised) {
  struct sCase {
    const char* label;
    int windowMode;
    int startupDone;
    bool iconic;
    bool zoomed;
    bool saved;
  };
  const sCase cases[] = {
      {"window", 1, 1, false, false, true},       {"maximised", 2, 1, false, true, true},
      {"full screen", 0, 1, false, false, false}, {"before start-up", 1, 0, false, false, false},
      {"minimised", 1, 1, true, false, false},
  };
  for (const sCase& test : cases) {
    fs::remove(m_Folder / "user_data" / "Window.dat");
    m_WindowMode = test.windowMode;
    g_StartupDone.store(test.startupDone);
    m_Host.m_Iconic = test.iconic;
    m_Host.m_Zoomed = test.zoomed;
    if (!plat::IsWindow(m_Window)) {
      m_Window = plat::CreateWindowHandle(WndProcThunk);
      plat::AttachWindowHost(m_Window, &m_Host);
    }
    Send(WM_CLOSE);
    EXPECT_EQ(fs::exists(m_Folder / "user_data" / "Window.dat"), test.saved) << test.label;
    if (test.saved) {
      cWindowData data;
      ASSERT_TRUE(cDataRecord::LoadFile(data, "user_data\\Window.dat")) << test.label;
      EXPECT_EQ(data.m_bMaximised, test.zoomed ? 1 : 0) << test.label;
    }
  }
}

TEST_F(MainWndTest, TheEditorHearsOfTheStartAFailedStartAndTheEnd) {
  g_LaunchedByEditor.store(1);
  g_MainWnd.NotifyEditorStarted();
  g_MainWnd.NotifyEditor(0);
  Send(WM_CLOSE);
  ASSERT_EQ(m_Editor.m_Notices.size(), 3u);
  EXPECT_EQ(m_Editor.m_Notices[0].sender, m_Window);
  EXPECT_EQ(m_Editor.m_Notices[0].dwData, 1u);
  EXPECT_EQ(m_Editor.m_Notices[0].value, 1);
  EXPECT_EQ(m_Editor.m_Notices[1].dwData, 0u);
  EXPECT_EQ(m_Editor.m_Notices[1].value, 0);
  EXPECT_EQ(m_Editor.m_Notices[2].sender, nullptr) << "the handle is cleared before the last notice";
  EXPECT_EQ(m_Editor.m_Notices[2].dwData, 0u);
  EXPECT_EQ(m_Editor.m_Notices[2].value, 1);
  EXPECT_EQ(m_Editor.m_Found[0], "Kestrova4_Editor|ケストローヴァ4");
}

std::uint32_t WaitForQuit(void*) {
  MSG msg;
  while (plat::GetMessage(&msg, nullptr, 0, 0) != 0) {
  }
  return 0;
}

TEST_F(MainWndTest, WhilePauseRunsTheFirstCloseOnlyEndsThePause) {
  ASSERT_TRUE(thPause.Start(WaitForQuit, nullptr));
  Send(WM_CLOSE);
  EXPECT_EQ(m_Calls.log, std::vector<std::string>{"game scene close"});
  EXPECT_TRUE(plat::IsWindow(m_Window));
  thPause.WaitEnd();  // the pause loop took its quit message
  EXPECT_FALSE(thPause.IsHeld());

  Send(WM_CLOSE);
  EXPECT_FALSE(plat::IsWindow(m_Window));
}

// A worker blocked in a send to the main window when the close comes: the
// send is answered with 0, so the worker reaches its own end in time.
std::atomic<int> g_SendResults{-1};

std::uint32_t SendUntilQuit(void*) {
  for (;;) {
    g_SendResults.store(static_cast<int>(plat::SendMessage(g_hMainWnd.load(), WM_APP_PLAY_SOUND, 1, 0)));
    MSG msg;
    if (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_QUIT) return 0;
  }
}

TEST_F(MainWndTest, ACloseWhileTheGameThreadWaitsInASendEndsItWithoutAbandoningIt) {
  g_SendResults.store(-1);
  ASSERT_TRUE(thGame.Start(SendUntilQuit, nullptr));
  // Let it block: nothing serves the send until the close.
  plat::SleepRaw(20);
  const std::size_t abandonedBefore = AbandonedThreadCount();
  Send(WM_CLOSE);
  EXPECT_FALSE(thGame.IsHeld());
  EXPECT_EQ(AbandonedThreadCount(), abandonedBefore) << "it ended by itself within the polls";
  EXPECT_EQ(g_SendResults.load(), 0);
  EXPECT_FALSE(plat::IsWindow(m_Window));
}

// The game thread: frames only while active, and the quit message ends it.
std::atomic<int> g_Updates{0};

class cCountingScene : public cScene {
 public:
  void Update() override { g_Updates.fetch_add(1); }
};

cScene* CountingFactory(int) { return new cCountingScene; }

TEST_F(MainWndTest, TheGameThreadRunsFramesOnlyWhileActive) {
  g_Updates.store(0);
  cSceneManager::SetFactory(&CountingFactory);
  g_SceneManager.m_nFps = 1000;
  ASSERT_TRUE(thGame.Start(GameLoop, nullptr));
  EXPECT_TRUE(plat::PostThreadMessage(thGame.GetThreadId(), WM_APP_WAKE_THREAD, 0, 0));
  plat::SleepRaw(30);
  EXPECT_EQ(g_Updates.load(), 0) << "inactive: no frame";

  g_AppActive.store(1);
  for (int i = 0; i < 500 && g_Updates.load() < 3; ++i) plat::SleepRaw(2);
  EXPECT_GE(g_Updates.load(), 3);

  thGame.Exit();
  EXPECT_FALSE(thGame.IsHeld());
  g_SceneManager.DeleteScenes();
}

}  // namespace
