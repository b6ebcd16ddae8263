#include "app/Startup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "dialog/BootData.h"
#include "dialog/BootDialog.h"
#include "dialog/Hook.h"
#include "app/Globals.h"
#include "app/MainWnd.h"
#include "world/CharaEffectPlayer.h"
#include "world/RunStart.h"
#include "world/SceneDraw.h"
#include "core/SceneManager.h"
#include "app/SystemIni.h"
#include "app/WindowData.h"
#include "dialog/Wnd.h"
#include "core/ErrorBox.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/PathUtil.h"
#include "core/SystemReport.h"
#include "data/DataRecord.h"
#include "data/Database.h"
#include "data/DefaultData.h"
#include "data/FontNameTable.h"
#include "data/OptionData.h"
#include "data/Palette.h"
#include "data/PathTable.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"
#include "flow/CmdParamDesc.h"
#include "graphics/BlendTable.h"
#include "graphics/DigitSurface.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceDef.h"
#include "graphics/SurfaceTable.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/PathResolver.h"
#include "sound/BgmManager.h"
#include "sound/SoundSlot.h"
#include "sound/SoundState.h"
#include "world/KeyConfig.h"
#include "world/KeyInput.h"
#include "world/Ranking.h"

const std::array<const char*, kWorkingFolderCount> kWorkingFolders = {
    "user_data",      "user_data\\story", "user_data\\challenge", "user_data\\free", "user_data\\rpl4",
    "data",           "data\\database",   "data\\stg4",           "data\\stg4\\old_ver", "data\\work",
    "data\\plt4",     "bmp",              "bmp\\back",            "bmp\\chara_sp",   "bmp\\effect",
    "bmp\\picture",   "bmp\\sword",       "bmp\\convert",         "bmp\\plt",        "bmp\\hbt",
    "wave",           "bgm",
};

const char* const kBadWindowModeText =
    "画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！";
const char* const kBadScreenModeText = "画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！";

namespace {

const char* const kTextureFailText =
    "テクスチャの作成に失敗しました！\nビデオカードの性能が十分ではないかもしれません。\n"
    "System.iniファイルで「Direct3D=0」に変更してDirect3Dを無効にすれば改善される可能性があります。";

HWND MainWindow() { return g_hMainWnd.load(); }

void ShowMainWindow(int showCommand) {
  if (plat::cWindowHost* host = g_MainWnd.Host()) host->Show(showCommand);
}

// The start-up dialog: the player chooses the drawing back end and can stop
// it from asking again. Returns 1 for Start, 0 for Cancel.
int RunBootDialog() {
  // The dialog is drawn inside the main window, which therefore shows now.
  ShowMainWindow(plat::SW_SHOW);
  cBootDialog dialog(&g_MainWnd, 0, &g_WindowRegistry, g_BootData, g_System.m_strTitle, g_SystemIni.m_nEnglish != 0);
  return dialog.DoModal(0);
}

// The clock, the random seed, the flow commands' parameter table, the data
// folder, the working folders and the databases with the tables compiled
// from them.
bool PrepareData() {
  // The clock runs at 1 ms resolution already; there is no timer period to set.
  g_Random.Seed(plat::TimeGetTime());
  BuildCmdParamDesc();
  g_StripCR = true;  // DATA_VERSION is the constant 781

  if (!CreateDefaultData(g_MainWnd.GetHandle())) {
    ReportPrintfError("「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。");
    return false;
  }
  CreateWorkingFolders();
  if (!g_Database.Load()) {
    ReportPrintfError("データベースの読み込みに失敗…");
    return false;
  }
  BuildEffectTemplates();
  InstallHitEffectMaker();
  InstallItemMessageMaker();
  BuildAnimeScripts(g_AnimeScripts);
  BuildEffectScripts(g_EffectScripts);
  return true;
}

std::function<void(cSystemIni&)> g_SystemIniOverride;

// The drawing back end, asked of the player when System.ini leaves it open.
bool ChooseDrawingBackEnd() {
  if (g_SystemIni.m_nDirect3D < 2) return true;
  g_BootData.Load();  // a missing or damaged file keeps the defaults
  if (g_BootData.m_bNoShow == 0 && RunBootDialog() == 0) return false;
  g_SystemIni.m_nDirect3D = g_BootData.m_nDrawMode == 1 ? 1 : 0;
  return true;
}

// The display mode, with the chosen depth and vertical sync written back
// into the settings.
bool CheckDisplayMode(const cStartupSystemValues& system) {
  cDisplayModeInput input;
  input.m_nDirect3D = g_SystemIni.m_nDirect3D;
  input.m_nWindowMode = g_SystemIni.m_nWindowMode;
  input.m_nBpp = g_SystemIni.m_nBpp;
  input.m_nVSync = g_SystemIni.m_nVSync;
  input.m_bTransparent = system.m_bTransparent;
  input.m_nD3DDepthChoice = system.m_nD3DDepthChoice;
  input.m_nDDDepthChoice = system.m_nDDDepthChoice;
  input.m_nDesktopBpp = g_DrawLayer.nDesktopBpp;
  input.m_bNewWindows = IsWindowsVersionAtLeast(6, 0);
  const cDisplayMode mode = DecideDisplayMode(input);
  g_SystemIni.m_nBpp = mode.m_nBpp;
  g_SystemIni.m_nVSync = mode.m_nVSync;
  if (!mode.m_bValid) {
    ErrorBoxf("%s", mode.m_pMessage);
    return false;
  }
  if (mode.m_bThickFrame) g_MainWnd.AddStyle(WS_THICKFRAME);
  return true;
}

// The main-window object bound to its window, and the game's title on it.
void BindMainWindow(const cStartupSystemValues& system) {
  g_hMainWnd = g_MainWnd.Attach(0, nullptr, &g_WindowRegistry);
  if (!system.m_strTitle.empty()) g_MainWnd.SetText(system.m_strTitle);
}

bool StartDrawingLayer(int windowed, int showCommand) {
  const auto start = [windowed] {
    return DDInit(g_SystemIni.m_nDirect3D, MainWindow(), 640, 480, g_SystemIni.m_nBpp, g_SystemIni.m_nVSync,
                  windowed, 1, kTargetFps, g_SystemIni.m_nVSync, g_SurfaceData.data(), g_SurfaceDef.data(),
                  kSurfaceTableRows, 0);
  };
  bool started = start();
  if (!started && g_SystemIni.m_nDirect3D) {
    DDUnInit();
    g_SystemIni.m_nDirect3D = 0;
    ShowMainWindow(g_SystemIni.m_nWindowMode != 0 ? showCommand : plat::SW_SHOWMAXIMIZED);
    started = start();
  }
  if (!started) {
    // The debug log is off in normal runs: the report keeps the reason too.
    ReportPrintfLog("DDInit失敗");
    return false;
  }
  return true;
}

// In a window, the placement of the last run.
void PlaceWindowAsLastRun(int& showCommand) {
  if (!cDataRecord::LoadFile(g_WindowData, g_PathTable[PATH_WINDOW])) return;
  g_MainWnd.MoveTo(g_WindowData.m_nX, g_WindowData.m_nY);
  if (g_SystemIni.m_nDirect3D && g_SystemIni.m_nWindowMode == 2) {
    g_MainWnd.SetClientSize(g_WindowData.m_nWidth, g_WindowData.m_nHeight);
  }
  if (g_WindowData.m_bMaximised != 0) showCommand = plat::SW_SHOWMAXIMIZED;
}

// The palette and the transparent colour.
bool SetPaletteAndTransparentColour(const cStartupSystemValues& system) {
  const std::string& paletteFile = g_SurfaceDef[SURF_PALETTE].szFile;
  if (!DDLoadPaletteFromFile(g_Palette, paletteFile)) {
    ReportPrintfLog("DDLoadPaletteFromFile失敗");
    return false;
  }
  g_PaletteWork = g_Palette;

  // The depth drawn at decides: a 16-bit request draws at 32 bits, where the
  // system's colour is the transparent colour itself. A DirectDraw window on
  // a 16-bit desktop draws at 16: the palette bitmap's colour stays the key,
  // and the system's colour becomes it as bitmaps are loaded.
  if (system.m_bTransparent && g_DrawLayer.nBpp != 16) {
    DDSetTransmit(system.m_nTransparentRed, system.m_nTransparentGreen, system.m_nTransparentBlue);
  } else {
    if (!DDSetTransmit(paletteFile)) {
      ReportPrintfLog("DDSetTransmit失敗");
      return false;
    }
    if (system.m_bTransparent) {
      DDSetTransmitConversion(system.m_nTransparentRed, system.m_nTransparentGreen, system.m_nTransparentBlue);
    }
  }
  LogPuts("1");
  return true;
}

// DirectDraw blits when windowed or without vertical sync, and when
// the display runs slower than the target frame rate; otherwise it flips.
void ChoosePresentation() {
  if (lpDTCon) return;
  if (g_SystemIni.m_nWindowMode != 0 || g_SystemIni.m_nVSync == 0) {
    g_bDDBlitPresent = 1;
  } else {
    g_bDDBlitPresent = g_DrawLayer.nDisplayRefreshRate < g_SceneManager.m_nFps ? 1 : 0;
  }
}

// A stage file named at start (the command line, or FreeStage) is played at
// once: false when it exists but cannot be started.
bool StartNamedStage() {
  std::string& path = g_SystemIni.m_strFreeStage;
  if (path.empty()) return true;
  FindLastNumberedFile(path, path, "stg4");
  if (!plat::FileExists(path)) {
    ReportPrintfLog("「%s」の読み込みに失敗しました！", path.c_str());
    path.clear();
    return true;
  }
  g_TestPlay = 1;
  if (!StartStageFromFile(path, true)) return false;
  // A test play never goes on to the next stage of a series: the stage
  // clear reads g_TestPlay for that.
  g_SceneManager.m_nPlayMode = kPlayModeStageFile;
  g_SceneManager.m_bRanking = 1;
  g_SceneManager.m_nTitleChoice = 3;
  g_SceneManager.m_nCurScene = SCENE_GAME;
  g_SceneManager.m_nPrevScene = SCENE_TITLE;
  return true;
}

// The three fonts in the system data's face, with the glyph caches System.ini
// asks for on the running back end, and their digit strips. The medium font
// takes the system data's symbol and centring switches after its caches are
// filled, so its cached cells are centred only once they are drawn again.
bool CreatePlayerFonts() {
  for (FONTDEF& def : g_FontDef) {
    def.szFaceName = FontFaceName(g_System.m_nFontFace);
    if (def.nCacheMode == 2) def.nCacheMode = lpDTCon ? g_SystemIni.m_nD3DFontCache : g_SystemIni.m_nDDFontCache;
  }
  if (!CreateFonts(g_Font.data(), g_FontDef.data(), kFontCount)) return false;
  // Despite its name, the system data's m_bNoSymbols is the symbol switch
  // itself: set, letters show symbols.
  g_Font[1].m_bSymbols = g_System.m_bNoSymbols;
  g_Font[1].m_bCentre = g_System.m_bFontCentre;
  SetRankingEnglishQuery([] { return g_SystemIni.m_nEnglish != 0; });
  return CreateDigitSurfaces(g_DigitSD.data(), g_DigitSurfaceDef.data(), kFontCount, g_Font.data(),
                             g_FontDef.data());
}

// The joystick button masks of every key device and the key configuration
// (the default keys when there is no usable file).
void PrepareKeyInput() {
  for (cKeyInput& keys : g_KeyInput) keys.InitButtonMasks();
  if (!LoadKeyConfig(g_PathTable[PATH_KEY_CONFIG], g_KeyConfig)) DefaultKeyConfig(g_KeyConfig);
}

// One sound-effect slot per system sound and per sound of the database
// (entry n in slot n + 16), each of one buffer at full volume.
void BuildSoundTables() {
  const int count = static_cast<int>(g_Database.m_Sounds.size()) + kDataSoundSlotOffset;
  g_SoundSlots.resize(static_cast<std::size_t>(count));
  g_SoundDefs.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    cSoundDef& def = g_SoundDefs[i];
    def.m_strFile = i < kSystemSoundCount ? g_System.m_SystemSounds[i]
                                          : g_Database.m_Sounds[i - kDataSoundSlotOffset].m_strFile;
    def.m_nCount = 1;
    def.m_nVolume = 0;
    def.m_nFlag = 1;
  }
}

// The music manager while the music option is on (off, it stays off for the
// run), then the sound effects at the volume of the options.
bool StartMusicAndSound() {
  if (g_OptionData.m_bMusic != 0) {
    g_BgmManager.Init(1, g_BgmOggNames.data(), g_BgmMidiNames.data(), kBgmSlotCount);
  }
  BuildSoundTables();
  if (!DS_Init(MainWindow(), 22050, 8, 1)) {
    LogPuts("DS_Init失敗！");
    return false;
  }
  LogPuts("DSCreate");
  const int level = std::clamp(g_OptionData.m_nSeVolume, 0, kSeVolumeStepCount - 1);
  LoadSounds(g_SoundSlots, g_SoundDefs, kSeVolumeSteps[static_cast<std::size_t>(level)]);
  return true;
}

// The options (a missing or damaged file leaves the defaults), the music and
// the sound effects, then the world map and the common palette: either one
// that cannot be loaded is reported and stops the start-up (the menus and
// every stage depend on them).
bool LoadPlayerData() {
  g_OptionData.Load(g_PathTable[PATH_OPTION]);
  // At 8 bits the options' palette set brings the blend table and the palette.
  if (g_SystemIni.m_nBpp == 8 && !LoadHbtPalette(g_OptionData.m_nColourSet)) return false;
  if (!StartMusicAndSound()) return false;
  if (!cDataRecord::LoadFile(g_WorldMap, g_PathTable[PATH_WORLD_MAP])) {
    ReportPrintfError("%s のロードに失敗！", g_PathTable[PATH_WORLD_MAP]);
    return false;
  }
  if (!LoadCommonPalette(g_PathTable[PATH_COMMON_PALETTE])) {
    ReportPrintfError("%s のロードに失敗！", g_PathTable[PATH_COMMON_PALETTE]);
    return false;
  }
  return true;
}

}  // namespace

cStartupSystemValues StartupSystemValues() {
  cStartupSystemValues values;
  values.m_strTitle = g_System.m_strTitle;
  values.m_bTransparent = g_System.m_bTransparent;
  values.m_nTransparentRed = g_System.m_nTransparentRed;
  values.m_nTransparentGreen = g_System.m_nTransparentGreen;
  values.m_nTransparentBlue = g_System.m_nTransparentBlue;
  values.m_nD3DDepthChoice = g_System.m_nDepthChoice;
  values.m_nDDDepthChoice = g_System.m_nDepthDefault;
  return values;
}

void CreateWorkingFolders() {
  for (const char* folder : kWorkingFolders) {
    std::error_code ignored;
    std::filesystem::create_directory(plat::NativePath(folder), ignored);
  }
}

int DepthFromChoice(bool bDirect3D, int nChoice, int bTransparent) {
  if (bDirect3D) return nChoice == 1 ? 16 : 32;
  switch (nChoice) {
    case 1: return 16;
    case 2: return bTransparent ? 32 : 8;
    default: return 32;
  }
}

cDisplayMode DecideDisplayMode(const cDisplayModeInput& input) {
  cDisplayMode mode;
  const bool direct3D = input.m_nDirect3D != 0;
  mode.m_bWindowed = input.m_nWindowMode != 0;

  if (direct3D) {
    mode.m_nVSync = input.m_nVSync >= 2 ? 1 : input.m_nVSync;
  } else if (mode.m_bWindowed) {
    mode.m_nVSync = 0;
  } else {
    mode.m_nVSync = input.m_nVSync >= 2 ? (input.m_bNewWindows ? 0 : 1) : input.m_nVSync;
  }

  if (input.m_nBpp != 0) {
    mode.m_nBpp = input.m_nBpp;
  } else if (mode.m_bWindowed) {
    mode.m_nBpp = input.m_nDesktopBpp;
  } else {
    mode.m_nBpp = DepthFromChoice(direct3D, direct3D ? input.m_nD3DDepthChoice : input.m_nDDDepthChoice,
                                  input.m_bTransparent);
  }

  bool allowed = mode.m_nBpp == 16 || mode.m_nBpp == 32 || (!direct3D && mode.m_nBpp == 8 && !input.m_bTransparent);
  if (mode.m_bWindowed && (mode.m_nBpp != input.m_nDesktopBpp || mode.m_nBpp == 8)) allowed = false;

  if (allowed) {
    mode.m_bValid = true;
    mode.m_bThickFrame = direct3D && input.m_nWindowMode == 2;
  } else {
    const bool windowDepth = mode.m_bWindowed && (mode.m_nBpp == 16 || mode.m_nBpp == 32);
    mode.m_pMessage = windowDepth ? kBadWindowModeText : kBadScreenModeText;
  }
  return mode;
}

void SetSystemIniOverride(std::function<void(cSystemIni&)> override) { g_SystemIniOverride = std::move(override); }

bool InitGame(std::string_view commandLine, int showCommand) {
  if (!PrepareData()) return false;
  // "data\System.dat" after the databases: its scene music is checked against
  // the Bgm list.
  if (!LoadSystemData()) return false;
  const cStartupSystemValues system = StartupSystemValues();

  LoadSystemIni(g_SystemIni);
  if (g_SystemIniOverride) g_SystemIniOverride(g_SystemIni);
  if (!ChooseDrawingBackEnd()) return false;
  if (!commandLine.empty()) g_SystemIni.m_strFreeStage.assign(commandLine);

  g_SceneManager.m_nFps = kTargetFps;
  g_SceneManager.m_nFadeStep = kFadeStepDegrees;
  for (cKeyInput& keys : g_KeyInput) keys.SetRepeat(kKeyRepeatDelay, kKeyRepeatInterval);

  if (!CheckDisplayMode(system)) return false;
  BindMainWindow(system);
  if (g_SystemIni.m_nBpp == 8) g_SystemIni.m_nDDVideoStretch = 0;

  const int windowed = g_SystemIni.m_nWindowMode != 0 ? 1 : 0;
  if (!StartDrawingLayer(windowed, showCommand)) return false;
  if (lpDTCon) {
    lpDTCon->szTextureFailMessage = kTextureFailText;
    LinkMirrorSurfaces();
  }
  if (windowed) PlaceWindowAsLastRun(showCommand);
  ShowMainWindow(g_SystemIni.m_nDirect3D || windowed ? showCommand : plat::SW_SHOWMAXIMIZED);
  ReportDisplayInfo(1);
  LogPuts("DDInit成功");

  if (!SetPaletteAndTransparentColour(system)) return false;
  ChoosePresentation();
  const int debugRow[] = {SURF_DEBUG};
  if (!DDCreateSurfaceTable(g_SurfaceData.data(), debugRow, 1)) return false;
  if (!CreatePlayerFonts()) return false;
  LogPuts("3");
  PrepareKeyInput();
  if (!LoadPlayerData()) return false;
  LogPuts("4");  // after the sound, the world map and the common palette

  return StartNamedStage();
}

void UnInitGame() {
  if (lpDTCon || lpDDCon) {
    if (g_Font[0].m_lpFastFont_FullAdd) ReportPrintf("Font10 : %d", g_Font[0].FullCacheCount());
    if (g_Font[1].m_lpFastFont_FullAdd) ReportPrintf("Font16 : %d", g_Font[1].FullCacheCount());
  }
  // The clock needs no timer period to be given back.
  SoundRelease();
  g_BgmManager.Release();
  g_SceneManager.DeleteScenes();
  for (Font& font : g_Font) font.Release();
  for (DDSURFACEDATA& strip : g_DigitSD) DDReleaseSurface(&strip);
  // DDRelease in a window and DDUnInit in full screen are the same operation;
  // both tolerate a layer that never started.
  DDUnInit();
  UnhookKeyboard();
}
