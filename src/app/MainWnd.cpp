#include "app/MainWnd.h"

#include <type_traits>
#include <utility>

#include "core/SceneManager.h"
#include "app/WindowData.h"
#include "core/AppMessages.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/ProcessFlags.h"
#include "core/RequestFlags.h"
#include "core/SafeAccess.h"
#include "core/Thread.h"
#include "data/PathTable.h"
#include "platform/EditorLink.h"
#include "platform/MessageCore.h"

const char* const kMainWindowClass = "Kestrova4";
const char* const kEditorWindowClass = "Kestrova4_Editor";
const char* const kEditorWindowTitle = "ケストローヴァ4";

std::atomic<int> g_StartupDone{0};

namespace {

constexpr WPARAM kEscapeKey = 0x1B;

cMainWndServices g_Services;

template <class Result, class... Args>
Result CallOr(const std::function<Result(Args...)>& service, std::type_identity_t<Result> fallback,
              std::type_identity_t<Args>... args) {
  return service ? service(args...) : fallback;
}

void SetDialogMode(int on) {
  if (g_Services.setDialogMode) g_Services.setDialogMode(on);
}

bool IsDirect3D() { return CallOr(g_Services.isDirect3D, false); }

// True when `number` names an entry of the music database. A bad number is
// reported as a checked vector would report it, and the request is dropped:
// nothing was touched through it, so the run and its saves go on.
bool IsKnownBgm(int number) {
  const int count = CallOr(g_Services.bgmCount, 0);
  if (number >= 0 && number < count) return true;
  ReportBadIndex(eSafeContainerKind::Vector, number, static_cast<std::size_t>(count < 0 ? 0 : count),
                 CallOr(g_Services.bgmBytes, std::size_t{0}));
  return false;
}

std::string BgmFile(int number) { return g_Services.bgmFile ? g_Services.bgmFile(number) : std::string(); }

void DestroyMainWindow(HWND window) {
  plat::SendMessage(window, WM_DESTROY, 0, 0);
  plat::AttachWindowHost(window, nullptr);
  plat::DestroyWindowHandle(window);
}

}  // namespace

cMainWndServices& MainWndServices() { return g_Services; }

void SetMainWndServices(cMainWndServices services) { g_Services = std::move(services); }

// ---- thread objects around dialogs ----------------------------------------

void SuspendWorkers() {
  thGame.Suspend();
  thPause.Suspend();
  thWorker1.Suspend();
  thWorker2.Suspend();
}

void ResumeWorkers() {
  thGame.Resume();
  thPause.Resume();
  thWorker1.Resume();
  thWorker2.Resume();
}

// ---- the game thread ---------------------------------------------------------

std::uint32_t GameLoop(void* /*argument*/) {
  for (;;) {
    MSG msg;
    if (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        LogPuts("GameLoop WM_QUIT!");
        return 1;
      }
      continue;  // thread messages such as the wake-up carry nothing
    }
    if (g_AppActive.load() == 0) {
      plat::Sleep(1);
      continue;
    }
    const cThread::cStep frame;
    if (g_SceneManager.Frame() == 0) {
      PostCloseToMainWindow();
      return 1;
    }
  }
}

// ---- the window procedure -------------------------------------------------------

LRESULT WndProcThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return g_MainWnd.WndProc(window, message, wParam, lParam);
}

cMainWnd::~cMainWnd() = default;

LRESULT cMainWnd::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const int handled = Dispatch(window, message, wParam, lParam);
  if (message == WM_CREATE) OnCreate(wParam, lParam);
  return handled;
}

HWND cMainWnd::Attach(std::uint16_t templateId, HWND owner, cWindowRegistry* registry) {
  Init(templateId, owner, registry);
  m_DlgProc = WndProcThunk;
  return m_hWnd;
}

void cMainWnd::NotifyEditorStarted() {
  plat::NotifyEditorWindow(kEditorWindowClass, kEditorWindowTitle, m_hWnd, 1, 1);
}

void cMainWnd::NotifyEditor(int value) {
  plat::NotifyEditorWindow(kEditorWindowClass, kEditorWindowTitle, m_hWnd, 0, value);
}

LRESULT cMainWnd::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  m_hWnd = window;
  UpdateCursor(false, 7);
  switch (message) {
    case WM_CREATE:
      m_bCreated = 1;
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_MOVE:
      if (g_Services.setWindowRect) {
        if (const plat::cWindowHost* host = Host()) g_Services.setWindowRect(host->GetWindowRect());
      }
      return 0;
    case WM_SIZE:
      RefreshMetrics();
      return 0;
    case WM_PAINT:
      if (!IsDirect3D() && g_StartupDone.load() == 1 && g_Services.paint) g_Services.paint();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_ACTIVATEAPP:
      OnActivateApp(wParam);
      return 0;
    case WM_GETMINMAXINFO:
      if (!IsDirect3D()) OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_KEYDOWN:
      if (wParam == kEscapeKey) plat::PostMessage(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_PALETTECHANGED:
      if (reinterpret_cast<HWND>(wParam) == window) return 0;
      [[fallthrough]];
    case WM_QUERYNEWPALETTE:
      if (!IsDirect3D() && g_Services.reselectPalette) g_Services.reselectPalette();
      return 0;
    case WM_APP_NAME_ENTRY:
      OnNameEntry();
      return 0;
    case WM_APP_OPEN_STAGE:
      OnOpenStage();
      return 0;
    case WM_APP_OPEN_REPLAY:
      OnOpenReplay();
      return 0;
    case WM_APP_SAVE_REPLAY:
      OnSaveReplay(wParam);
      return 0;
    case WM_APP_PLAY_SOUND:
      OnPlaySound(wParam);
      return 0;
    case WM_APP_MUSIC:
      OnMusic(wParam, lParam);
      return 0;
    case WM_APP_RESTORE_DISPLAY:
      if (g_Services.restoreDisplay) g_Services.restoreDisplay();
      return 0;
    default:
      // What the window system would do by default: nothing, for this window.
      return 0;
  }
}

void cMainWnd::OnDestroy() {
  LogPuts("WM_DESTROY");
  m_hWnd = nullptr;
  g_hMainWnd.store(nullptr);
  if (g_LaunchedByEditor.load() != 0) NotifyEditor(1);
  plat::PostQuitMessage(0);
}

void cMainWnd::OnActivateApp(WPARAM active) {
  if (g_AppActive.load() == 0 && active != 0 && IsDirect3D() && CallOr(g_Services.isFullScreen, false)) {
    plat::SendMessage(m_hWnd, WM_APP_RESTORE_DISPLAY, 0, 0);
  }
  g_AppActive.store(active != 0 ? 1 : 0);
}

void cMainWnd::SavePlacement() {
  plat::cWindowHost* host = Host();
  if (host != nullptr && host->IsIconic()) return;  // a minimised window keeps the last placement
  int x = 0;
  int y = 0;
  GetWindowPos(&x, &y);
  const int maximised = host != nullptr && host->IsZoomed() ? 1 : 0;
  g_WindowData.Set(x, y, m_ClientRect.right - m_ClientRect.left, m_ClientRect.bottom - m_ClientRect.top, maximised);
  g_WindowData.SaveFile(g_PathTable[PATH_WINDOW]);
}

void cMainWnd::OnClose() {
  if (CallOr(g_Services.windowMode, 0) != 0 && g_StartupDone.load() != 0) SavePlacement();

  if (thPause.IsHeld()) {
    // The pause loop ends first; the game scene then closes the window again.
    LogPuts("WM_CLOSE thPause.m_hThread");
    if (g_Services.requestGameSceneClose) g_Services.requestGameSceneClose();
    plat::PostThreadMessage(thPause.GetThreadId(), WM_QUIT, 0, 0);
    return;
  }

  LogPuts("WM_CLOSE 成功！");
  // From here on nothing is served any more: a thread blocked in a send (or
  // sending later) gets 0 at once instead of waiting for a window that is
  // about to go, so every thread can reach its own end.
  plat::RefuseSends(plat::CurrentThreadId());
  if (g_Services.stopAllMusic) g_Services.stopAllMusic();
  thWorker2.Exit();
  thPause.Exit();
  thWorker1.Exit();
  LogPuts("thPause.Exit()");
  thGame.Exit();
  LogPuts("thGame.Exit()");
  if (m_hWnd != nullptr) DestroyMainWindow(m_hWnd);
}

// ---- requests of the other threads ---------------------------------------------

void cMainWnd::OnNameEntry() {
  SetDialogMode(1);
  SuspendWorkers();
  // A dialog that cannot be made counts as cancelled: the requester must
  // still learn that the request is over.
  CallOr(g_Services.nameEntryDialog, false);
  SetDialogMode(0);
  ResumeWorkers();
  g_NameEntryDone.store(1);
}

void cMainWnd::OnOpenStage() {
  SetDialogMode(1);
  const bool english = CallOr(g_Services.english, false);
  sFileDialogRequest request{"data\\stg4\\", english ? "Load stage file" : "ステージファイルの読み込み",
                             "StageFile ( *.stg4_*;*.rpl4_* )", "stg4_*;rpl4_*"};
  std::string path;
  const bool chosen = g_Services.openFileDialog && g_Services.openFileDialog(path, request);
  SetDialogMode(0);
  if (chosen && !CallOr(g_Services.startStageFromFile, false, path)) plat::PostMessage(m_hWnd, WM_CLOSE, 0, 0);
  g_FileRequestResult.store(chosen ? 1 : 0);
  g_FileRequestDone.store(1);
}

void cMainWnd::OnOpenReplay() {
  SetDialogMode(1);
  const bool english = CallOr(g_Services.english, false);
  sFileDialogRequest request{"user_data\\rpl4", english ? "Load replay file" : "リプレイファイルの読み込み",
                             "ReplayFile ( *.rpl4_* )", "rpl4_*"};
  std::string path;
  const bool chosen = g_Services.openFileDialog && g_Services.openFileDialog(path, request);
  SetDialogMode(0);
  if (chosen) {
    if (!CallOr(g_Services.loadReplay, false, path)) plat::PostMessage(m_hWnd, WM_CLOSE, 0, 0);
    if (g_Services.setLoadedFilePath) g_Services.setLoadedFilePath(path);
  }
  g_FileRequestResult.store(chosen ? 1 : 0);
  g_FileRequestDone.store(1);
}

void cMainWnd::OnSaveReplay(WPARAM which) {
  SetDialogMode(1);
  std::string path;
  const bool chosen = g_Services.chooseReplayFileName && g_Services.chooseReplayFileName(path);
  SetDialogMode(0);
  if (chosen && !CallOr(g_Services.saveReplay, false, path, which != 0 ? 1 : 0)) {
    plat::PostMessage(m_hWnd, WM_CLOSE, 0, 0);
  }
  g_FileRequestResult.store(chosen ? 1 : 0);
  g_FileRequestDone.store(1);
}

void cMainWnd::OnPlaySound(WPARAM slotParam) {
  // Without sound effects every request stays silent.
  if (!g_Services.playSoundSlot) return;
  const int count = CallOr(g_Services.soundSlotCount, 0);
  int slot = static_cast<int>(static_cast<std::intptr_t>(slotParam));
  if (slot < 0 || slot >= count) {
    // Reported as a checked vector would, and dropped: nothing was touched
    // through it, so the run and its saves go on.
    ReportBadIndex(eSafeContainerKind::Vector, slot, static_cast<std::size_t>(count < 0 ? 0 : count),
                   CallOr(g_Services.soundSlotBytes, std::size_t{0}));
    return;
  }
  g_Services.playSoundSlot(slot);
}

void cMainWnd::OnMusic(WPARAM request, LPARAM tune) {
  // Without a music manager every request stays silent.
  if (request > 4 || !g_Services.playMusic) return;
  const int slot = static_cast<int>(request);
  if (slot < 4) {
    const int number = CallOr(g_Services.sceneTune, 0, slot);
    if (number == 0) {
      if (g_Services.stopAllMusic) g_Services.stopAllMusic();
      return;
    }
    if (!IsKnownBgm(number)) return;
    if (g_Services.setMusicFile) g_Services.setMusicFile(slot, BgmFile(number));
    if (g_Services.playMusic) g_Services.playMusic(0, slot, CallOr(g_Services.sceneLoop, 0, slot), 0, 1);
    return;
  }
  const int number = static_cast<int>(tune);
  if (!IsKnownBgm(number)) return;
  if (g_Services.setStageTune) g_Services.setStageTune(number);
  if (g_Services.setMusicFile) g_Services.setMusicFile(4, BgmFile(number));
  if (number == 0) {
    if (g_Services.stopAllMusic) g_Services.stopAllMusic();
  } else if (g_Services.playMusic) {
    g_Services.playMusic(0, 4, CallOr(g_Services.stageTuneLoop, 0), 0, 1);
  }
}
