#pragma once
// The main window: the one window of the player, class "Kestrova4". Its
// procedure serves every other thread: they never open a window themselves
// but send it one of the player's own messages (AppMessages.h) and, where a
// done flag belongs to the request, find it set when the send returns.
//
// The game thread runs GameLoop: one frame per pass while the application is
// active, 1 ms sleeps while it is not.
//
// The services the requests reach (dialogs, file dialogs, starting a stage,
// replays, sound, music, the display) belong to other subsystems; they are
// reached through MainWndServices(), which the shell wires to the subsystems
// that exist. A service left empty answers as a failed request does: a dialog
// counts as cancelled, a sound or a tune stays silent.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "dialog/Wnd.h"
#include "platform/WinTypes.h"

// The main window's class name, and the editor's window class and title.
extern const char* const kMainWindowClass;
extern const char* const kEditorWindowClass;
extern const char* const kEditorWindowTitle;

class cMainWnd : public cWnd {
 public:
  cMainWnd() = default;
  ~cMainWnd() override;

  LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  // The base dispatch, then OnCreate on WM_CREATE.
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  virtual void OnCreate(WPARAM, LPARAM) {}

  // Binds the object to its window (template 0, owner 0) and records the
  // window procedure; returns the window handle. Called once by start-up.
  HWND Attach(std::uint16_t templateId, HWND owner, cWindowRegistry* registry);

  // The copy-data notices to the editor: (1, 1) when the window exists,
  // NotifyEditor (0) when start-up failed and NotifyEditor (1) when the window
  // is gone (then with a null window handle).
  void NotifyEditorStarted();
  void NotifyEditor(int value);

  // Set on WM_CREATE.
  std::int32_t m_bCreated = 0;

 private:
  void OnClose();
  void OnDestroy();
  void OnActivateApp(WPARAM active);
  void OnNameEntry();
  void OnOpenStage();
  void OnOpenReplay();
  void OnSaveReplay(WPARAM which);
  void OnPlaySound(WPARAM slot);
  void OnMusic(WPARAM request, LPARAM tune);
  void SavePlacement();
};

// Defined with the other global objects.
extern cMainWnd g_MainWnd;

// 0 until InitGame has succeeded, then 1 for the rest of the run.
extern std::atomic<int> g_StartupDone;

// The registered procedure of the main window: forwards to g_MainWnd.
LRESULT WndProcThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The procedure of thGame. Returns 1.
std::uint32_t GameLoop(void* argument);

// Cooperative pause of thGame, thPause, thWorker1 and thWorker2 (in that
// order) around the name-entry dialog; idle thread objects are skipped.
void SuspendWorkers();
void ResumeWorkers();

// What the open-file dialog is asked for.
struct sFileDialogRequest {
  std::string initialFolder;  // program path
  std::string title;
  std::string filter;         // "StageFile ( *.stg4_*;*.rpl4_* )"
  std::string patterns;       // "stg4_*;rpl4_*"
};

struct cMainWndServices {
  // The drawing layer.
  std::function<bool(int on)> setDialogMode;      // before (1) and after (0) a dialog
  std::function<void()> restoreDisplay;           // message 1124
  std::function<bool()> isDirect3D;
  std::function<bool()> isFullScreen;
  std::function<void(const RECT& screenRect)> setWindowRect;  // where frames are shown
  std::function<void()> paint;                    // show the last frame again
  std::function<void()> reselectPalette;          // 8-bit palette after another application
  // The settings.
  std::function<int()> windowMode;                // System.ini WindowMode
  std::function<bool()> english;                  // System.ini English
  // Dialogs: false when the dialog could not be made or was cancelled.
  std::function<bool()> nameEntryDialog;
  std::function<bool(std::string& path, const sFileDialogRequest& request)> openFileDialog;
  std::function<bool(std::string& path)> chooseReplayFileName;
  // Runs and replays: false when the file operation failed.
  std::function<bool(const std::string& path)> startStageFromFile;
  std::function<bool(const std::string& path)> loadReplay;
  std::function<bool(const std::string& path, int previous)> saveReplay;
  std::function<void(const std::string& path)> setLoadedFilePath;
  // The game scene's ranking entry name, which the name-entry dialog edits
  // when the options did not ask for it; null when there is none.
  std::function<std::string*()> gameSceneEntryName;
  // While thPause runs, a close first asks the game scene to end its pause.
  std::function<void()> requestGameSceneClose;
  // Sound effects.
  std::function<int()> soundSlotCount;
  std::function<std::size_t()> soundSlotBytes;
  std::function<void(int slot)> playSoundSlot;
  // Music: the system data's scene tunes and loop flags (scene 0..3), the
  // music database's file names, the loop flag a stage stored with its
  // request, and the music manager.
  std::function<int(int scene)> sceneTune;
  std::function<int(int scene)> sceneLoop;
  std::function<int()> bgmCount;
  std::function<std::size_t()> bgmBytes;
  std::function<std::string(int number)> bgmFile;
  std::function<int()> stageTuneLoop;
  std::function<void(int number)> setStageTune;
  std::function<void()> stopAllMusic;
  std::function<void(int slot, const std::string& file)> setMusicFile;
  std::function<void(int channel, int slot, int loop, int stopMode, int force)> playMusic;
};

// The services in use. The shell wires them at start; tests replace them.
cMainWndServices& MainWndServices();
void SetMainWndServices(cMainWndServices services);
