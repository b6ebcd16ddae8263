#include "HeadlessRun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <vector>

#include "KeyScript.h"
#include "RunAudio.h"
#include "RunReplay.h"
#include "RunTrace.h"
#include "app/GameSceneHost.h"
#include "app/Globals.h"
#include "app/MainWnd.h"
#include "app/OpenFileService.h"
#include "app/SoundServices.h"
#include "app/Startup.h"
#include "app/SystemIni.h"
#include "core/AppMessages.h"
#include "core/ErrorBox.h"
#include "core/FrameTimer.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/ProcessFlags.h"
#include "core/SceneManager.h"
#include "core/SystemReport.h"
#include "data/OptionData.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/StorySlots.h"
#include "data/WorldMap.h"
#include "dialog/DialogRuntime.h"
#include "graphics/DrawContext.h"
#include "graphics/Present.h"
#include "platform/BmpDecoder.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/DialogScript.h"
#include "platform/KeySource.h"
#include "platform/MessageBox.h"
#include "platform/MessageCore.h"
#include "platform/Presenter.h"
#include "platform/TextCodec.h"
#include "world/GameScene.h"
#include "world/ReplayInput.h"

namespace runner {

namespace {

namespace fs = std::filesystem;

// What start-up and play fill in beyond the shell's globals: the progress
// (the running game's and the replays' copies), the stages, the world map,
// the options, the story slots' headers and the start-up flag. A run before
// in this process leaves its score, lives and variables there, which the next
// run shows until its own game begins.
void ResetGameData() {
  g_Progress = cProgress{};
  g_ReplayRecProgress = cProgress{};
  g_ReplayPrevProgress = cProgress{};
  g_Stage = cStageData{};
  g_StageInitial = cStageData{};
  g_WorldMap = cWorldMap{};
  g_OptionData = cOptionData{};
  ResetStorySlots(g_StorySlots);
  g_StartupDone.store(0);
}

constexpr int kTitleChoiceReplay = 4;
constexpr int kPlayLevelReplay = 3;
constexpr int kStageMusicSlot = 4;
constexpr std::uint32_t kFrameMs[3] = {17, 17, 16};  // 60 frames a second in whole milliseconds

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

// A file answer names a file from the working folder as a person would type
// it, in UTF-8 and with either slash; the dialogs take program paths.
std::string ProgramPathOf(const std::string& utf8) {
  std::string path = plat::Utf8ToCp932(utf8);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// Everything the run observes, reached from the frame gate and the services.
class cRun {
 public:
  cRun(const sRunOptions& options, cKeyScript& script)
      : m_Audio(options.audioOut), m_Options(options), m_Script(script) {}

  bool OpenTrace(std::string& error) {
    if (m_Options.trace.empty()) return true;
    m_Trace = std::fopen(m_Options.trace.c_str(), "wb");
    if (m_Trace == nullptr) error = "cannot write the trace " + m_Options.trace;
    return m_Trace != nullptr;
  }
  ~cRun() {
    if (m_Trace != nullptr) std::fclose(m_Trace);
  }

  // The top of a frame: the line of the frame before, the clock, the keys.
  // Every counted frame is stepped; the top of the one after the last asks
  // the game to close, so that a modal loop still running ends (that frame
  // writes no line).
  void OnFrameGate() {
    if (m_Frame >= 0) EndFrame();
    ++m_Frame;
    if (m_Options.onFrame) m_Options.onFrame(m_Frame);
    if (!m_Options.recordReplay.empty()) m_Recorder.Observe();
    if (m_Player) m_Player->Observe();
    AdvanceClockToFrame();
    if (m_Frame == m_Options.loseDisplayAt) DDSimulateDeviceLoss();
    m_Keys.ReleaseAllKeys();
    for (int key : m_Script.KeysAt(m_Frame)) m_Keys.SetKey(key, true);
    if (!Counted(m_Frame) && g_GameScene != nullptr) g_GameScene->RequestClose();
  }

  // A frame starts one frame period after the one before, or later when a
  // wait inside that frame took longer. The presentation's wait for the
  // display's blank is spent inside the period, as in the window, where it
  // takes none of the next frame's time.
  void AdvanceClockToFrame() {
    const std::uint32_t now = m_Clock.NowMs();
    if (m_Frame == 0) m_FrameTop = now;
    const std::uint32_t due = m_FrameTop + kFrameMs[m_Frame % 3];
    m_FrameTop = plat::IsBefore(now, due) ? due : now;
    m_Clock.Set(m_FrameTop);
  }

  // The last frame's line, screenshot and requests.
  void EndFrame() {
    if (m_Frame < 0 || m_FrameEnded == m_Frame) return;
    m_FrameEnded = m_Frame;
    if (!Counted(m_Frame)) return;
    m_Audio.EndFrame();
    if (m_Trace != nullptr) {
      const std::string line = TraceLine(m_Frame, m_Requests);
      std::fprintf(m_Trace, "%s\n", line.c_str());
    }
    m_Requests.clear();
    if (m_Options.shotEvery > 0 && !m_Options.shotsDir.empty() && m_Frame % m_Options.shotEvery == 0) {
      SaveShot(m_Frame);
    }
  }

  void SaveShot(std::int64_t frame) {
    const plat::cPixelSurface& last = m_Presenter.LastFrame();
    if (last.Empty()) return;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(last.Width()) * last.Height());
    const auto lock = last.Lock();
    for (int y = 0; y < last.Height(); ++y) {
      const std::uint32_t* row = lock.Row32(y);
      std::copy(row, row + last.Width(), pixels.begin() + static_cast<std::ptrdiff_t>(y) * last.Width());
    }
    char name[64];
    std::snprintf(name, sizeof name, "%08lld.bmp", static_cast<long long>(frame));
    const std::vector<std::uint8_t> bytes = plat::EncodeBmp24(last.Width(), last.Height(), pixels);
    std::ofstream out(fs::path(m_Options.shotsDir) / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  bool Counted(std::int64_t frame) const { return m_Options.frames < 0 || frame < m_Options.frames; }
  bool Finished() const { return m_Options.frames >= 0 && m_Frame + 1 >= m_Options.frames; }

  // The frame whose answers the script gives now: what the start-up asks
  // before the first frame takes the answers of frame 0.
  std::int64_t AnswerFrame() const { return std::max<std::int64_t>(m_Frame, 0); }

  // The box's text is CP932, as in the game; the terminal reads UTF-8, as
  // the window's own boxes show it.
  int AnswerBox(const std::string& text, UINT type) {
    std::fprintf(stderr, "kestrova4-run: message box at frame %lld: %s\n", static_cast<long long>(m_Frame),
                 plat::Cp932ToUtf8(text).c_str());
    sAnswer answer;
    const UINT buttons = type & 0x0F;
    if (m_Script.TakeAnswer(AnswerFrame(), answer)) {
      if (answer.kind == sAnswer::eKind::kNo) return IDNO;
      if (answer.kind == sAnswer::eKind::kCancel) return IDCANCEL;
      return buttons == MB_YESNO ? IDYES : IDOK;
    }
    if (buttons == MB_OK) ++m_UnexpectedBoxes;
    return buttons == MB_YESNO ? IDYES : IDOK;
  }

  // A dialog drawn in the window (the start-up dialog, the title's file
  // dialogs) takes the script's next due answer as a person's click. With
  // none due it takes its default answer, since the dialogs run script-only
  // here.
  void FeedDialog() {
    if (plat::HasDialogInput()) return;
    sAnswer answer;
    if (m_Script.TakeAnswer(AnswerFrame(), answer)) {
      plat::PushDialogInput(DialogAnswer(answer));
      return;
    }
    std::fprintf(stderr, "kestrova4-run: dialog at frame %lld: no answer in the key script, the default answer\n",
                 static_cast<long long>(m_Frame));
  }

  static plat::sDialogInput DialogAnswer(const sAnswer& answer) {
    switch (answer.kind) {
      case sAnswer::eKind::kYes: return plat::sDialogInput::Answer(plat::eDialogAnswer::Yes);
      case sAnswer::eKind::kNo: return plat::sDialogInput::Answer(plat::eDialogAnswer::No);
      case sAnswer::eKind::kCancel: return plat::sDialogInput::Answer(plat::eDialogAnswer::Cancel);
      case sAnswer::eKind::kText: return plat::sDialogInput::Answer(plat::eDialogAnswer::Text, answer.value);
      case sAnswer::eKind::kFile:
        return plat::sDialogInput::Answer(plat::eDialogAnswer::File, ProgramPathOf(answer.value));
    }
    return plat::sDialogInput::Answer(plat::eDialogAnswer::Ok);
  }

  void AddRequest(std::string request) { m_Requests.push_back(std::move(request)); }

  cRunAudio m_Audio;
  cRunRecorder m_Recorder;
  std::unique_ptr<cRunPlayer> m_Player;
  plat::cManualClock m_Clock;
  std::uint32_t m_FrameTop = 0;  // the clock's time at the top of the current frame
  plat::cScriptedKeySource m_Keys;
  plat::cNullPresenter m_Presenter;
  std::int64_t m_Frame = -1;
  std::int64_t m_FrameEnded = -1;
  int m_UnexpectedBoxes = 0;

 private:
  const sRunOptions& m_Options;
  cKeyScript& m_Script;
  std::FILE* m_Trace = nullptr;
  std::vector<std::string> m_Requests;
};

void FrameGate(void* context) { static_cast<cRun*>(context)->OnFrameGate(); }

// The main window's services of the headless player: sound and music go to
// the player's own services, each request also noted in the trace.
void ConnectServices(cRun& run) {
  cMainWndServices services;
  services.isDirect3D = [] { return lpDTCon != nullptr; };
  services.restoreDisplay = [] { DDRestoreSurface(); };
  services.isFullScreen = [] { return g_DrawLayer.bInitialized != 0 && g_DrawLayer.bWindowMode == 0; };
  services.windowMode = [] { return g_SystemIni.m_nWindowMode; };
  services.english = [] { return false; };
  ConnectSoundServices(services);
  ConnectGameSceneServices(services);
  // The title's free play and replay entries open the player's own file
  // dialog, which the key script answers as it answers every dialog.
  services.openFileDialog = RunOpenFileDialog;
  auto playSound = services.playSoundSlot;
  services.playSoundSlot = [&run, playSound](int slot) {
    run.AddRequest("se=" + std::to_string(slot));
    if (playSound) playSound(slot);
  };
  auto setStageTune = services.setStageTune;
  services.setStageTune = [&run, setStageTune](int number) {
    run.AddRequest("bgm=" + std::to_string(number));
    if (setStageTune) setStageTune(number);
  };
  // The menu scenes' music plays from slots 0 to 3; slot 4 is the stage's,
  // noted above as it is asked for.
  auto playMusic = services.playMusic;
  services.playMusic = [&run, playMusic](int channel, int slot, int loop, int stopMode, int force) {
    if (slot >= 0 && slot < kStageMusicSlot) run.AddRequest("scenebgm=" + std::to_string(slot));
    if (playMusic) playMusic(channel, slot, loop, stopMode, force);
  };
  SetMainWndServices(std::move(services));
}

// The messages the main thread would take between frames; false once the
// player quits.
bool PumpMessages() {
  MSG msg;
  while (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    plat::DispatchMessage(&msg);
  }
  return true;
}

bool StartReplay(const std::string& path, std::string& error) {
  if (g_ReplayRec.LoadFile(path, g_Stage, g_StageInitial, g_Progress) == 0) {
    error = "the replay " + path + " cannot be read";
    return false;
  }
  g_Stage.m_Path = path;
  g_SceneManager.m_nTitleChoice = kTitleChoiceReplay;
  g_SceneManager.m_nPlayMode = kPlayLevelReplay;
  g_SceneManager.m_nCurScene = SCENE_GAME;
  g_SceneManager.m_nPrevScene = SCENE_TITLE;
  return true;
}

// --direct3d and --bpp over the working folder's System.ini.
void OverrideDrawingChoice(const sRunOptions& options) {
  if (options.direct3D < 0 && options.bpp == 0) return;
  SetSystemIniOverride([direct3D = options.direct3D, bpp = options.bpp](cSystemIni& settings) {
    if (direct3D >= 0) settings.m_nDirect3D = direct3D;
    if (bpp != 0) {
      settings.m_nBpp = bpp;
      settings.m_nWindowMode = 0;
    }
  });
}

bool ParseChoice(const std::string& name, const std::string& value, std::initializer_list<int> allowed, int& out,
                 std::string& error) {
  for (int choice : allowed) {
    if (value == std::to_string(choice)) {
      out = choice;
      return true;
    }
  }
  error = "bad value " + value + " after " + name;
  return false;
}

}  // namespace

const char* RunnerUsage() {
  return "usage: kestrova4-run [--dir DIR] [--stage FILE] [--keys FILE] [--frames N] [--trace FILE]\n"
         "                     [--shots DIR] [--shot-every N] [--record-replay FILE] [--replay FILE]\n"
         "                     [--audio-out FILE] [--direct3d 0|1] [--bpp 8|16|32] [--lose-display N]\n"
         "\n"
         "Runs the player headless: no window, no sound card, no pacing.\n"
         "\n"
         "  --dir DIR            the working folder (data/, bmp/, System.ini...); default the current one\n"
         "  --stage FILE         test-play this stage file instead of starting on the title\n"
         "  --keys FILE          the key script (below)\n"
         "  --frames N           stop after N frames; default: run until the player quits\n"
         "  --trace FILE         one line per frame: frame scene phase step rng hero_x hero_y hero_vx\n"
         "                       hero_vy hero_hp world_hash, then the frame's sound and music requests\n"
         "  --shots DIR          the back buffer as BMP files in DIR, every --shot-every N frames\n"
         "  --shot-every N       and at the last frame\n"
         "  --record-replay FILE save the run's replay at the end\n"
         "  --replay FILE        play this replay instead of the keys\n"
         "  --audio-out FILE     the run's sound as a 44.1 kHz stereo 16-bit WAV file\n"
         "  --direct3d 0|1       the drawing path in place of System.ini's\n"
         "  --bpp 8|16|32        full screen at this depth in place of System.ini's window\n"
         "  --lose-display N     the display loses its video memory at the top of frame N\n"
         "  --help               this text\n"
         "\n"
         "Key script, one entry a line ('#' starts a comment):\n"
         "  FRAME KEY...              these keys are held from FRAME on, until the next line\n"
         "  FRAME                     from FRAME on no key is held\n"
         "  FRAME answer yes|no|cancel\n"
         "  FRAME answer text TEXT    (the rest of the line, UTF-8)\n"
         "  FRAME answer file PATH    (a file of the working folder)\n"
         "An answer goes to the next dialog or message box met at or after FRAME; those\n"
         "of the start-up take the answers of frame 0. Unanswered ones take their default.\n"
         "Keys: LEFT RIGHT UP DOWN SPACE RETURN ESCAPE F1..F12 A..Z 0..9 SHIFT CONTROL 0x5A\n"
         "(a virtual-key code in hex).\n"
         "\n"
         "Exit status 0 when the run ended as asked; otherwise the reason on standard error.\n";
}

bool ParseRunOptions(int argc, char** argv, sRunOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help") {
      options.help = true;
      continue;
    }
    if (i + 1 >= argc) {
      error = "missing value after " + name;
      return false;
    }
    const std::string value = argv[++i];
    if (name == "--dir") options.dir = value;
    else if (name == "--stage") options.stage = value;
    else if (name == "--keys") options.keys = value;
    else if (name == "--frames") options.frames = std::atoll(value.c_str());
    else if (name == "--trace") options.trace = value;
    else if (name == "--shots") options.shotsDir = value;
    else if (name == "--shot-every") options.shotEvery = std::atoi(value.c_str());
    else if (name == "--record-replay") options.recordReplay = value;
    else if (name == "--replay") options.replay = value;
    else if (name == "--audio-out") options.audioOut = value;
    else if (name == "--lose-display") options.loseDisplayAt = std::atoll(value.c_str());
    else if (name == "--direct3d") {
      if (!ParseChoice(name, value, {0, 1}, options.direct3D, error)) return false;
    } else if (name == "--bpp") {
      if (!ParseChoice(name, value, {8, 16, 32}, options.bpp, error)) return false;
    } else {
      error = "unknown option " + name;
      return false;
    }
  }
  return true;
}

int RunHeadless(const sRunOptions& rawOptions, std::string& error) {
  sRunOptions options = rawOptions;
  // Files named on the command line are taken from where the runner started.
  for (std::string* path :
       {&options.keys, &options.trace, &options.shotsDir, &options.recordReplay, &options.replay, &options.audioOut}) {
    if (!path->empty()) *path = fs::absolute(*path).string();
  }
  cKeyScript script;
  if (!options.keys.empty()) {
    std::string text;
    if (!ReadText(options.keys, text)) {
      error = "cannot read the key script " + options.keys;
      return 2;
    }
    if (!script.Parse(text, error)) return 2;
  }
  if (!options.dir.empty()) {
    std::error_code ec;
    fs::current_path(options.dir, ec);
    if (ec) {
      error = "cannot enter " + options.dir;
      return 2;
    }
  }
  if (!options.shotsDir.empty()) fs::create_directories(options.shotsDir);

  // A run starts from the state of a new process, as the player does: a run
  // before it in this process (a bench runs the player again and again)
  // leaves its scenes and globals behind, and its frame timing holds a due
  // time from that run's clock, which the frame limiter would step the new
  // clock up to a millisecond at a time. The caches that only speed things up
  // (glyphs, the sound font) are kept.
  ResetAppGlobalsForTests();
  ResetGameData();
  ResetFrameTimingForTests();
  cRun run(options, script);
  if (!run.OpenTrace(error)) return 2;
  plat::SetTimeSource(&run.m_Clock);
  plat::SetKeySource(&run.m_Keys);
  DDSetPresenter(&run.m_Presenter);
  plat::SetMessageBoxSink(
      [&run](const std::string& text, const std::string&, UINT type) { return run.AnswerBox(text, type); });

  LogInit(0, "EC_Game.txt");
  if (!ReportInit("Report_Game.txt")) {
    error = "cannot create the report file";
    return 2;
  }
  // Nobody is there to answer a dialog: each takes the script's answer or
  // its default, and never waits.
  plat::SetDialogScriptOnly(true);
  sDialogRuntime dialogs;
  dialogs.pumpEvents = [&run] { run.FeedDialog(); };
  SetDialogRuntime(std::move(dialogs));
  plat::SetMainThread(plat::CurrentThreadId());
  g_MainWnd.SetCreateParams(640, 480, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
  const HWND window = plat::CreateWindowHandle(WndProcThunk);
  g_MainWnd.SetHandle(window);
  plat::SendMessage(window, WM_CREATE, 0, 0);
  ConnectServices(run);
  g_AppActive.store(1);

  OverrideDrawingChoice(options);
  int result = 0;
  if (!InitGame(options.stage, plat::SW_SHOWNORMAL)) {
    error = "the player did not start (see Report_Game.txt)";
    result = 3;
  } else if (!options.replay.empty() && !StartReplay(options.replay, error)) {
    result = 3;
  } else {
    if (!options.replay.empty()) {
      run.m_Player = std::make_unique<cRunPlayer>(options.replay);
      run.m_Player->Observe();
    }
    g_StartupDone.store(1);
    SetFrameObserver(&FrameGate, &run);
    while (!run.Finished() || run.m_Frame < 0) {
      if (g_SceneManager.Frame() == 0) {
        PostCloseToMainWindow();
      }
      if (!PumpMessages()) break;
    }
    run.EndFrame();
    if (options.frames >= 0 && run.m_Frame + 1 < options.frames) {
      error = "the player quit at frame " + std::to_string(run.m_Frame);
      result = 4;
    }
    SetFrameObserver(nullptr, nullptr);
    if (!options.recordReplay.empty() && !run.m_Recorder.Save(options.recordReplay, error)) result = 5;
    if (result == 0 && !run.m_Audio.Save(error)) result = 5;
  }
  if (result == 0 && run.m_UnexpectedBoxes > 0) {
    error = "an error box was shown";
    result = 6;
  }
  UnInitGame();
  SetSystemIniOverride({});
  if (plat::IsWindow(window)) plat::DestroyWindowHandle(window);
  g_MainWnd.SetHandle(nullptr);
  plat::SetMessageBoxSink({});
  SetDialogRuntime({});
  plat::ClearDialogScript();
  DDSetPresenter(nullptr);
  plat::SetKeySource(nullptr);
  plat::SetTimeSource(nullptr);
  return result;
}

}  // namespace runner
