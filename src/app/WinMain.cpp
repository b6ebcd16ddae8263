#include "app/WinMain.h"

#include <cstdio>
#include <memory>
#include <string>

#include "app/GameSceneHost.h"
#include "app/MainWnd.h"
#include "app/OpenFileService.h"
#include "app/SoundServices.h"
#include "app/Startup.h"
#include "app/SystemIni.h"
#include "core/AppMessages.h"
#include "core/ErrorBox.h"
#include "core/Log.h"
#include "core/PathUtil.h"
#include "core/ProcessFlags.h"
#include "core/SystemReport.h"
#include "core/SceneManager.h"
#include "data/OptionData.h"
#include "dialog/DialogRuntime.h"
#include "dialog/FileDialog.h"
#include "dialog/MessageBoxDlg.h"
#include "dialog/NameEntryDlg.h"
#include "platform/DialogScript.h"
#include "core/Thread.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "graphics/DialogMode.h"
#include "graphics/DrawContext.h"
#include "graphics/Present.h"
#include "platform/MessageBox.h"
#include "platform/MessageCore.h"
#include "platform/Presenter.h"
#include "platform/SdlWindow.h"
#include "platform/SingleInstance.h"
#include "platform/TextCodec.h"
#include "world/ReplayFile.h"
#include "world/ReplayInput.h"

const char* const kAlreadyRunningText =
    "既に起動しています。\n実行中のプログラムを閉じて再起動しますか？\n\nRunning this program now. Restart?";
const char* const kAlreadyRunningCaption = "二重起動";
const char* const kCloseOtherFailedText = "プログラムの終了に失敗しました。";

namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr int kWindowX = 100;
constexpr int kWindowY = 100;
constexpr std::uint32_t kMainWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
// While the player is in the background the loop waits this long for a
// message before it looks at the window's events again.
constexpr std::uint32_t kIdleWaitMs = 10;

// What the main thread owns besides the window object: the window on the
// screen, the presenter that shows the frames in it and the key state its
// events feed.
struct sMainThreadPlatform {
  std::unique_ptr<plat::cSdlKeySource> keys;
  std::unique_ptr<plat::cSdlWindow> window;
  std::unique_ptr<plat::cSdlPresenter> presenter;  // shows in `window`: goes first
};

sMainThreadPlatform* g_Platform = nullptr;

// Window events, the close request of another start, and the newest frame.
void PumpPlatform() {
  if (g_Platform == nullptr) return;
  if (g_Platform->window) g_Platform->window->PumpEvents();
  if (plat::TakeCloseRequest()) {
    const HWND window = g_MainWnd.GetHandle();
    if (window != nullptr) plat::PostMessage(window, WM_CLOSE, 0, 0);
  }
  if (g_Platform->presenter) g_Platform->presenter->ShowPendingFrame();
}

// One player per working folder. False when this start ends here.
bool GuardSingleInstance(plat::cInstanceLock& lock) {
  if (lock.TryAcquire()) return true;
  if (!lock.HeldByOther()) {
    // No lock file can be made here (a read-only folder): nothing to guard.
    ReportPrintf("%s", "single instance: the lock file cannot be created; no guard for this run");
    return true;
  }
  if (plat::MessageBox(kAlreadyRunningText, kAlreadyRunningCaption, MB_YESNO) != IDYES) return false;
  switch (plat::CloseOtherInstance(lock)) {
    case plat::eCloseOther::kFailed:
      plat::MessageBox(kCloseOtherFailedText, kAlreadyRunningCaption, MB_OK);
      return false;
    case plat::eCloseOther::kStillHeld:
      ReportPrintf("%s", "single instance: the other player did not give up its lock");
      return true;
    default:
      return true;
  }
}

// The window on the screen with its presenter, the window handle with its
// procedure, and the window object's sizes.
bool CreateMainWindow(sMainThreadPlatform& platform) {
  g_MainWnd.SetCreateParams(kClientWidth, kClientHeight, 100, 100, kClientWidth, kClientHeight, kMainWindowStyle,
                            0, 0, 0, 0, 0);
  std::string error;
  platform.window = plat::cSdlWindow::Create("", kWindowX, kWindowY, kClientWidth, kClientHeight, &error);
  if (platform.window) {
    plat::sSdlPresenterOptions options;
    options.width = kClientWidth;
    options.height = kClientHeight;
    options.existingWindowId = platform.window->SdlWindowId();
    platform.presenter = plat::cSdlPresenter::Create(options, &error);
  }
  if (!platform.presenter) {
    ReportPrintf("main window: %s", error.c_str());
    platform.window.reset();
    return false;
  }
  DDSetPresenter(platform.presenter.get());
  platform.keys = plat::cSdlKeySource::Create();
  platform.window->SetKeySink(platform.keys.get());
  plat::SetKeySource(platform.keys.get());
  // What the display runs at, for the start-up's depth check and the
  // DirectDraw presentation choice.
  if (const int depth = platform.window->DesktopBitsPerPixel(); depth > 0) g_DrawLayer.nDesktopBpp = depth;
  if (const int rate = platform.window->DisplayRefreshRate(); rate > 0) DDSetDisplayRefreshRate(rate);

  const HWND window = plat::CreateWindowHandle(WndProcThunk);
  platform.window->SetMessageTarget(window);
  platform.window->SetStyle(kMainWindowStyle);
  platform.window->SetWindowPos(kWindowX, kWindowY, g_MainWnd.m_WindowRect.width, g_MainWnd.m_WindowRect.height);
  g_MainWnd.SetHandle(window);
  plat::SendMessage(window, WM_CREATE, 0, 0);
  return true;
}

// The dialogs draw inside the window over its last frame, take its events
// and its input method's text, and show every message box of the player.
void ConnectDialogs(sMainThreadPlatform& platform) {
  plat::cSdlWindow* window = platform.window.get();
  plat::cSdlPresenter* presenter = platform.presenter.get();
  sDialogRuntime runtime;
  runtime.pumpEvents = [] { PumpPlatform(); };
  runtime.copyLastFrame = [presenter](plat::cPixelSurface& frame) { return presenter->CopyLastFrame(frame); };
  // A dialog may open before start-up shows the window (the question of the
  // first start, the start-up dialog): it shows the window, or nobody would
  // see the dialog or could answer it.
  runtime.showFrame = [presenter, window](const plat::cPixelSurface& frame) {
    if (!window->IsShown()) window->Show(plat::SW_SHOWNORMAL);
    presenter->Present(frame);
    presenter->ShowPendingFrame();
  };
  runtime.setTextInput = [window](bool on) { window->SetTextInput(on); };
  runtime.takeTextEvent = [window](std::string& utf8, bool& composing) {
    return window->TakeTextEvent(utf8, composing);
  };
  SetDialogRuntime(std::move(runtime));
  InstallDialogMessageBoxes(&g_MainWnd);
  // Without a display nobody can answer: the dialogs take their default
  // answers unless a script answers for the person.
  if (!plat::HasDisplay()) plat::SetDialogScriptOnly(true);
}

void DisconnectDialogs() {
  RemoveDialogMessageBoxes();
  SetDialogRuntime({});
}

// The name-entry dialog edits the options' name when the options asked for
// it, else the ranking entry name of the game scene when a scene offers one.
bool RunNameEntryDialog() {
  eNameEntryTarget target = eNameEntryTarget::None;
  std::string* name = nullptr;
  if (g_SceneManager.m_nTitleChoice == 5) {
    target = eNameEntryTarget::OptionName;
    name = &g_OptionData.m_strRankName;
  } else if (MainWndServices().gameSceneEntryName) {
    name = MainWndServices().gameSceneEntryName();
    if (name != nullptr) target = eNameEntryTarget::EntryName;
  }
  cNameEntryDlg dialog(&g_MainWnd, 1, &g_WindowRegistry, target, name, g_DrawLayer.bWindowMode != 0,
                       g_SystemIni.m_nEnglish != 0);
  return dialog.DoModal(0) == 1;
}

// The save dialog of a recording, starting on a free name for it (or on no
// name for a stage without one).
bool RunReplaySaveDialog(std::string& path) {
  const auto dialog = [](std::string& name) {
    const sFileDialogSetup setup = ReplaySaveDialogSetup(g_SystemIni.m_nEnglish != 0, kReplayExtension);
    return SaveFileDialog(&g_MainWnd, name, setup, true) == 1;
  };
  return ChooseReplayFileName(path, g_Progress.m_strStageName, dialog) == 1;
}

void DestroyMainWindowPlatform(sMainThreadPlatform& platform) {
  DisconnectDialogs();
  const HWND window = g_MainWnd.GetHandle();
  if (window != nullptr) {
    plat::AttachWindowHost(window, nullptr);
    plat::DestroyWindowHandle(window);
    g_MainWnd.SetHandle(nullptr);
  }
  DDSetPresenter(nullptr);
  plat::SetKeySource(nullptr);
  if (platform.window) platform.window->SetKeySink(nullptr);
  platform.presenter.reset();  // before the window it shows in
  platform.window.reset();
  platform.keys.reset();
}

// The services of every request the main window serves: the drawing layer,
// the settings, the dialogs, sound and music, and the game scene's runs and
// replays.
void ConnectMainWindowServices(sMainThreadPlatform& platform) {
  cMainWndServices services;
  services.setDialogMode = [](int on) { return DDSetDialogMode(on); };
  services.restoreDisplay = [] { DDRestoreSurface(); };
  services.isDirect3D = [] { return lpDTCon != nullptr; };
  services.isFullScreen = [] { return g_DrawLayer.bInitialized != 0 && g_DrawLayer.bWindowMode == 0; };
  services.setWindowRect = [](const RECT& rect) {
    g_DrawLayer.rcClient.left = rect.left;
    g_DrawLayer.rcClient.top = rect.top;
    g_DrawLayer.rcClient.right = rect.right;
    g_DrawLayer.rcClient.bottom = rect.bottom;
  };
  plat::cSdlPresenter* presenter = platform.presenter.get();
  services.paint = [presenter] {
    if (presenter != nullptr) presenter->Redraw();
  };
  services.windowMode = [] { return g_SystemIni.m_nWindowMode; };
  services.english = [] { return g_SystemIni.m_nEnglish != 0; };
  services.nameEntryDialog = RunNameEntryDialog;
  services.openFileDialog = RunOpenFileDialog;
  services.chooseReplayFileName = RunReplaySaveDialog;
  ConnectSoundServices(services);
  ConnectGameSceneServices(services);
  SetMainWndServices(std::move(services));
}

// A post to the game thread is refused until the thread has made its queue:
// the wake-up is posted again until a post is accepted or the thread has ended.
void WakeGameThread() {
  while (thGame.IsRunning() && !plat::PostThreadMessage(thGame.GetThreadId(), WM_APP_WAKE_THREAD, 0, 0)) {
  }
}

// The main thread's loop until the quit message, whose code it returns; while
// the player is inactive it waits for a message instead of spinning.
int RunMessageLoop(HWND window) {
  for (;;) {
    PumpPlatform();
    MSG msg;
    if (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(static_cast<std::intptr_t>(msg.wParam));
      plat::DispatchMessage(&msg);
      plat::Sleep(1);
    } else {
      if (g_AppActive.load() == 0) plat::WaitMessage(kIdleWaitMs);
      plat::Sleep(1);
    }
    RepostSwallowedQuit(window);
  }
}

}  // namespace

// A wait loop inside a request may have taken the quit message that the
// window's destruction posted: the main loop must still end.
bool RepostSwallowedQuit(HWND window) {
  if (window == nullptr || plat::IsWindow(window)) return false;
  MSG msg;
  if (plat::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) && msg.message == WM_QUIT) return false;
  LogPuts("WM_QUIT again");
  plat::PostQuitMessage(0);
  return true;
}

bool PumpMainThreadMessages() {
  PumpPlatform();
  MSG msg;
  while (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      plat::PostQuitMessage(static_cast<int>(static_cast<std::intptr_t>(msg.wParam)));
      return false;
    }
    plat::DispatchMessage(&msg);
  }
  return true;
}

int WinMain(const plat::sCommandLine& commandLine) {
  LogInit(0, "EC_Game.txt");
  std::string reportPath = "Report_Game.txt";
  ToFullPath(reportPath);
  if (!ReportInit(reportPath)) {
    // Without its report the player cannot tell anyone what goes wrong later,
    // so it does not start; say why, since it ends silently otherwise.
    std::fprintf(stderr, "kestrova4: cannot create the report file %s; not starting\n",
                 plat::Cp932ToUtf8(reportPath).c_str());
    return 0;
  }
  ReportPrintf("App : ver %s", "781");
  ReportSystemInfo();

  g_LaunchedByEditor.store(commandLine.showCommand == plat::SW_SHOW ? 1 : 0);

  plat::SetMainThread(plat::CurrentThreadId());
  plat::cInstanceLock lock(plat::InstanceLockFileName());
  if (!GuardSingleInstance(lock)) return 0;
  plat::InstallCloseRequestHandler();

  sMainThreadPlatform platform;
  g_Platform = &platform;
  if (!CreateMainWindow(platform)) {
    ErrorBox("ウインドウが生成出来ません！");
    g_Platform = nullptr;
    return 0;
  }
  g_MainWnd.CenterOnDesktop();
  LogPuts("G");
  if (g_LaunchedByEditor.load() != 0) g_MainWnd.NotifyEditorStarted();

  LogPuts("H");
  ConnectMainWindowServices(platform);
  ConnectDialogs(platform);
  if (!InitGame(commandLine.stagePath, commandLine.showCommand)) {
    UnInitGame();
    if (g_LaunchedByEditor.load() != 0) g_MainWnd.NotifyEditor(0);
    DestroyMainWindowPlatform(platform);
    g_Platform = nullptr;
    return 0;
  }

  g_StartupDone.store(1);
  LogPuts("I");
  const HWND window = g_MainWnd.GetHandle();
  if (thGame.Start(GameLoop, nullptr)) {
    WakeGameThread();
  } else {
    ReportPrintf("%s", "the game thread cannot be started");
    plat::PostMessage(window, WM_CLOSE, 0, 0);
  }
  LogPuts("J");

  const int exitCode = RunMessageLoop(window);

  UnInitGame();
  LogPuts("UnInitGame後");
  DestroyMainWindowPlatform(platform);
  g_Platform = nullptr;
  lock.Release();
  LogPuts("ReleaseMutex後");
  return exitCode;
}
