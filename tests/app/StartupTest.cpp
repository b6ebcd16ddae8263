#include "app/Startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "SampleGame.h"
#include "SampleSounds.h"
#include "dialog/BootData.h"
#include "platform/DialogScript.h"
#include "app/MainWnd.h"
#include "core/Scene.h"
#include "core/SceneManager.h"
#include "app/SoundServices.h"
#include "app/SystemIni.h"
#include "app/WindowData.h"
#include "core/AppMessages.h"
#include "core/MainWindow.h"
#include "core/SafeAccess.h"
#include "data/CharaData.h"
#include "data/Database.h"
#include "data/OptionData.h"
#include "data/PathTable.h"
#include "data/Palette.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"
#include "doubles/MainWindowRecorder.h"
#include "graphics/BitmapLoad.h"
#include "graphics/BlendTable.h"
#include "graphics/Blit.h"
#include "graphics/DigitSurface.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "platform/BmpDecoder.h"
#include "platform/CommandLine.h"
#include "platform/PathResolver.h"
#include "platform/VirtualKeys.h"
#include "platform/WindowHost.h"
#include "sound/AudioOutput.h"
#include "sound/BgmManager.h"
#include "sound/SoundSlot.h"
#include "world/KeyConfig.h"
#include "world/KeyInput.h"

namespace {

namespace fs = std::filesystem;

// A window host that records what start-up does to the main window, and
// whether the drawing layer was running at that moment.
class cRecordingHost final : public plat::cWindowHost {
 public:
  struct cCall {
    std::string what;
    int a = 0;
    int b = 0;
    bool layerRunning = false;
  };

  RECT GetWindowRect() const override { return m_Rect; }
  RECT GetClientRect() const override { return RECT{0, 0, m_Rect.right - m_Rect.left, m_Rect.bottom - m_Rect.top}; }
  void SetWindowPos(int x, int y, int width, int height) override {
    m_Rect = RECT{x, y, x + width, y + height};
    Record("pos", x, y);
  }
  std::uint32_t GetStyle() const override { return m_Style; }
  void SetStyle(std::uint32_t style) override {
    m_Style = style;
    Record("style", static_cast<int>(style & WS_THICKFRAME), 0);
  }
  void Show(int showCommand) override { Record("show", showCommand, 0); }
  bool IsIconic() const override { return false; }
  bool IsZoomed() const override { return false; }
  void SetTitle(const std::string& title) override { Record("title:" + title, 0, 0); }
  bool GetCursorPos(POINT*) const override { return false; }
  bool IsButtonDown(int) const override { return false; }
  void SetCursorPos(int, int) override {}

  std::vector<cCall> Calls(const std::string& what) const {
    std::vector<cCall> found;
    for (const cCall& call : m_Calls)
      if (call.what == what) found.push_back(call);
    return found;
  }
  std::vector<cCall> m_Calls;

 private:
  void Record(const std::string& what, int a, int b) {
    m_Calls.push_back({what, a, b, lpDTCon != nullptr || lpDDCon != nullptr});
  }
  RECT m_Rect{100, 100, 740, 580};
  std::uint32_t m_Style = 0x80CB0000u;
};

using apptest::AsString;

using apptest::StageFileWithHero;

class StartupTest : public apptest::cAppFixture {
 protected:
  void SetUp() override {
    cAppFixture::SetUp();
    plat::SetTimeSource(&m_Clock);
    g_Database = cDatabase();
    ResetSystemDataForTests();
    WriteDatabases();
    WriteFile("data/System.dat", AsString(cSystemData().MakeFileBytes()));
    WriteFile("data/WorldMap.dat", AsString(cWorldMap().MakeFileBytes()));
    WriteFile("data/CommonPalette.cplt4", AsString(cPalette().MakeFileBytes()));
    WritePaletteBitmap();
    WriteFile("bmp/Debug.bmp", AsString(plat::EncodeBmp24(32, 32, std::vector<std::uint32_t>(32 * 32, 0x808080))));
    WriteFile("System.ini", "Direct3D=0\nWindowMode=1\nExit\n");
    m_Window = std::make_unique<cMainWindowRecorder>();
    g_MainWnd.SetHandle(m_Window->Window());
    plat::AttachWindowHost(m_Window->Window(), &m_Host);
  }

  void TearDown() override {
    UnInitGame();
    plat::AttachWindowHost(m_Window->Window(), nullptr);
    g_MainWnd.SetHandle(nullptr);
    m_Window.reset();
    g_Database = cDatabase();
    ResetSystemDataForTests();
    ResetCommonPaletteForTests();
    g_WorldMap = cWorldMap();
    g_OptionData.Reset();
    g_BlendTable.fill(0);
    g_Stage = cStageData();
    g_StageInitial = cStageData();
    g_Progress.ResetFreeRun();
    cAppFixture::TearDown();
  }

  void WriteDatabases() {
    cDatabase db;
    for (int i = 0; i < kDatabaseFileCount; ++i) {
      WriteFile(std::string("data/database/") + kDatabaseFileNames[i], AsString(samplegame::DatabaseFileBytes(db, i)));
    }
  }

  // A 16 x 24 picture whose rows 8 to 23 hold the 256 palette colours; the
  // top-left pixel (colour 0) is the transparent colour.
  void WritePaletteBitmap() {
    std::vector<plat::sPaletteEntry> palette(256);
    for (int i = 0; i < 256; ++i)
      palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 0x40, 0};
    std::vector<std::uint8_t> indices(16 * 24, 0);
    for (int i = 0; i < 256; ++i) indices[(8 + i / 16) * 16 + i % 16] = static_cast<std::uint8_t>(i);
    WriteFile("bmp/plt/Palette.bmp", AsString(plat::EncodeBmp8(16, 24, indices, palette)));
  }

  // System.dat with the transparent-colour flag set and the colour (10, 20, 30).
  void WriteSystemWithTransparentColour() {
    cSystemData system;
    system.m_bTransparent = 1;
    system.m_nTransparentRed = 10;
    system.m_nTransparentGreen = 20;
    system.m_nTransparentBlue = 30;
    WriteFile("data/System.dat", AsString(system.MakeFileBytes()));
  }

  std::vector<std::string> DebugLog() const { return ReadLines("EC_Game.txt"); }

  bool ReportHas(const std::string& line) const {
    const std::vector<std::string> report = ReadLines("Report_Game.txt");
    return std::find(report.begin(), report.end(), line) != report.end();
  }

  plat::cManualClock m_Clock{4242};
  std::unique_ptr<cMainWindowRecorder> m_Window;
  cRecordingHost m_Host;
};

TEST_F(StartupTest, DirectDrawWindowComesUpInOrder) {
  LogInit(1, "EC_Game.txt");
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));

  // The data, the folders and the settings.
  EXPECT_TRUE(g_StripCR);
  EXPECT_EQ(4242u, g_Random.State());
  for (const char* folder : kWorkingFolders) EXPECT_TRUE(plat::DirectoryExists(folder)) << folder;
  EXPECT_FALSE(g_Database.m_Animes.empty());
  EXPECT_FALSE(g_AnimeScripts.empty());
  EXPECT_EQ(0, g_SystemIni.m_nDirect3D);
  EXPECT_EQ(60, g_SceneManager.m_nFps);
  EXPECT_EQ(10, g_SceneManager.m_nFadeStep);

  // A DirectDraw window at the desktop's depth, without vertical sync, blitting.
  EXPECT_EQ(m_Window->Window(), g_hMainWnd.load());
  ASSERT_NE(nullptr, lpDDCon);
  EXPECT_EQ(nullptr, lpDTCon);
  EXPECT_EQ(32, g_SystemIni.m_nBpp);
  EXPECT_EQ(0, g_SystemIni.m_nVSync);
  EXPECT_EQ(1, g_DrawLayer.bWindowMode);
  EXPECT_EQ(1, g_bDDBlitPresent);
  EXPECT_NE(nullptr, g_SurfaceData[SURF_DEBUG].Pixels());
  EXPECT_TRUE(ReportHas("Mode : Window"));

  // The window is shown once, after the drawing layer started.
  const auto shows = m_Host.Calls("show");
  ASSERT_EQ(1u, shows.size());
  EXPECT_EQ(plat::SW_SHOWNORMAL, shows[0].a);
  EXPECT_TRUE(shows[0].layerRunning);

  // The debug log's milestones come in their order.
  const std::vector<std::string> log = DebugLog();
  const std::vector<std::string> milestones = {"DDInit成功", "1", "3", "DSCreate", "4"};
  auto at = log.begin();
  for (const std::string& milestone : milestones) {
    at = std::find(at, log.end(), milestone);
    ASSERT_NE(log.end(), at) << milestone;
  }
  EXPECT_TRUE(m_Boxes.empty());
  EXPECT_EQ(0, g_TestPlay);
  EXPECT_EQ(SCENE_TITLE, g_SceneManager.m_nCurScene);
}

TEST_F(StartupTest, UnInitGameTakesTheLayerAndTheScenesDownAndMayRunTwice) {
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  cSceneManager::SetFactory([](int) { return new cScene; });
  g_SceneManager.ChangeScene(SCENE_OPTION);
  ASSERT_NE(nullptr, g_SceneManager.Scene(SCENE_OPTION));
  UnInitGame();
  EXPECT_EQ(nullptr, g_SceneManager.Scene(SCENE_OPTION));
  EXPECT_EQ(nullptr, lpDDCon);
  EXPECT_EQ(nullptr, lpDTCon);
  UnInitGame();
}

TEST_F(StartupTest, UnInitGameIsSafeWithoutAnyStart) {
  UnInitGame();
  EXPECT_EQ(nullptr, lpDDCon);
}

TEST_F(StartupTest, FailingDirect3DFallsBackToDirectDrawAndShowsTheWindowMaximisedFirst) {
  WriteFile("System.ini", "Direct3D=1\nWindowMode=0\nBpp=32\nExit\n");
  DDSetDriverVersionQueryForTests([] { return 8; });
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  EXPECT_EQ(0, g_SystemIni.m_nDirect3D);
  EXPECT_NE(nullptr, lpDDCon);
  EXPECT_EQ(nullptr, lpDTCon);
  const auto shows = m_Host.Calls("show");
  ASSERT_EQ(2u, shows.size());
  EXPECT_EQ(plat::SW_SHOWMAXIMIZED, shows[0].a);
  EXPECT_FALSE(shows[0].layerRunning);  // between the two starts
  EXPECT_EQ(plat::SW_SHOWMAXIMIZED, shows[1].a);
  EXPECT_TRUE(ReportHas("Mode : Fullscreen"));
}

TEST_F(StartupTest, Direct3DInAResizableWindowGetsTheThickFrameBeforeTheLayerStarts) {
  WriteFile("System.ini", "Direct3D=1\nWindowMode=2\nExit\n");
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  ASSERT_NE(nullptr, lpDTCon);
  EXPECT_EQ(1, g_SystemIni.m_nVSync);  // 2 becomes on under Direct3D
  const auto styles = m_Host.Calls("style");
  ASSERT_FALSE(styles.empty());
  EXPECT_NE(0, styles[0].a);
  EXPECT_FALSE(styles[0].layerRunning);
  EXPECT_FALSE(lpDTCon->szTextureFailMessage.empty());
}

TEST_F(StartupTest, BootDataDecidesWhenSystemIniLeavesTheBackEndOpen) {
  struct Case {
    const char* name;
    const char* bootFile;  // null: none
    int wantDirect3D;
  };
  cBootData directDraw;
  directDraw.m_nDrawMode = 0;
  directDraw.m_bNoShow = 1;
  const std::string directDrawFile = AsString(directDraw.MakeFileBytes());
  const Case cases[] = {
      {"no Boot.dat: Direct3D", nullptr, 1},
      {"Boot.dat with DirectDraw", directDrawFile.c_str(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnInitGame();
    ResetAppGlobalsForTests();
    fs::remove(m_Folder / "user_data" / "Boot.dat");
    if (c.bootFile) WriteFile("user_data/Boot.dat", std::string(directDrawFile));
    WriteFile("System.ini", "Direct3D=2\nWindowMode=1\nExit\n");
    // Without a Boot.dat that says otherwise the start-up dialog asks: Start.
    if (!c.bootFile) plat::PushDialogInput(plat::sDialogInput::Answer(plat::eDialogAnswer::Ok));
    ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
    EXPECT_FALSE(plat::HasDialogInput());
    EXPECT_EQ(c.wantDirect3D, g_SystemIni.m_nDirect3D);
    EXPECT_EQ(c.wantDirect3D == 1, lpDTCon != nullptr);
  }
}

TEST_F(StartupTest, EightBitDirectDrawTurnsVideoStretchOff) {
  WriteFile("System.ini", "Direct3D=0\nWindowMode=0\nDD_VideoStretch=1\nExit\n");
  WriteFile("bmp/hbt/hbt00.dat", std::string(65536, '\x07'));
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  EXPECT_EQ(8, g_SystemIni.m_nBpp);
  EXPECT_EQ(0, g_SystemIni.m_nDDVideoStretch);
  EXPECT_EQ(0, g_SystemIni.m_nVSync);
  EXPECT_EQ(1, g_bDDBlitPresent);
}

// At 8 bits the options' palette set brings its blend table and turns the
// palette's ramps; without its table the start stops.
TEST_F(StartupTest, EightBitStartAppliesTheOptionsPaletteSet) {
  WriteFile("System.ini", "Direct3D=0\nWindowMode=0\nExit\n");
  cOptionData options;
  options.m_nColourSet = 2;
  WriteFile("user_data/Option.dat", AsString(options.MakeFileBytes()));
  ASSERT_FALSE(InitGame("", plat::SW_SHOWNORMAL));
  ASSERT_EQ(1u, m_Boxes.size());
  EXPECT_EQ("bmp\\hbt\\hbt02.dat の読み込みに失敗！", m_Boxes[0].text);

  UnInitGame();
  ResetAppGlobalsForTests();
  WriteFile("bmp/hbt/hbt02.dat", std::string(65536, '\x2A'));
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  EXPECT_EQ(0x2A, g_BlendTable[12345]);
  EXPECT_EQ(48, g_Palette[16].red);  // entry 16 shows the colour of entry 16 + 2 x 16
  EXPECT_EQ(48, g_DrawLayer.ddPalette[16].red);
}

// A 16-bit request draws at 32 bits: on both roads the system data's
// transparent colour is the key, not the palette bitmap's top-left colour.
TEST_F(StartupTest, TheSystemsTransparentColourHoldsAtASixteenBitRequest) {
  WriteSystemWithTransparentColour();
  for (const char* ini : {"Direct3D=1\nWindowMode=0\nBpp=16\nExit\n", "Direct3D=0\nWindowMode=0\nBpp=16\nExit\n"}) {
    SCOPED_TRACE(ini);
    UnInitGame();
    ResetAppGlobalsForTests();
    WriteFile("System.ini", ini);
    ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
    EXPECT_EQ(16, g_SystemIni.m_nBpp);
    if (lpDTCon) {
      EXPECT_EQ(0xFF0A141Eu, lpDTCon->dwOpaqueTransmit);
      EXPECT_EQ(0u, g_DrawLayer.dwColorKey);
    } else {
      EXPECT_EQ(0x000A141Eu, g_DrawLayer.dwColorKey);
    }
  }
}

// A 4-bit bitmap one row high with a colour table of the given colours.
std::vector<std::uint8_t> EncodeBmp4Row(const std::vector<std::uint8_t>& indices,
                                        const std::vector<std::uint32_t>& colours) {
  const auto width = static_cast<std::uint32_t>(indices.size());
  const std::uint32_t rowBytes = ((width + 1) / 2 + 3) / 4 * 4;
  const auto tableBytes = static_cast<std::uint32_t>(colours.size() * 4);
  const std::uint32_t offset = 14 + 40 + tableBytes;
  std::vector<std::uint8_t> file;
  auto put = [&file](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  file.insert(file.end(), {'B', 'M'});
  put(offset + rowBytes, 4);
  put(0, 4);
  put(offset, 4);
  put(40, 4);
  put(width, 4);
  put(1, 4);
  put(1, 2);
  put(4, 2);
  put(0, 4);
  put(rowBytes, 4);
  put(0, 4);
  put(0, 4);
  put(static_cast<std::uint32_t>(colours.size()), 4);
  put(0, 4);
  for (std::uint32_t colour : colours) put(colour & 0x00FFFFFFu, 4);
  std::vector<std::uint8_t> row(rowBytes, 0);
  for (std::size_t i = 0; i < indices.size(); ++i) row[i / 2] |= static_cast<std::uint8_t>(indices[i] << (i % 2 == 0 ? 4 : 0));
  file.insert(file.end(), row.begin(), row.end());
  return file;
}

// A DirectDraw window on a 16-bit desktop draws at 16 bits: the palette
// bitmap's colour (0x00FF40) stays the colour key. A 24- or 32-bit bitmap is
// converted as it loads: the system data's colour becomes the key, and a
// pixel of the palette bitmap's colour moves one blue step so that it stays
// visible. A bitmap with a colour table is not converted: its pixels keep
// their colours, so the key colour is transparent and the system's colour is not.
TEST_F(StartupTest, ADirectDrawWindowOnASixteenBitDesktopKeysTheSystemsTransparentColour) {
  WriteSystemWithTransparentColour();
  WriteFile("System.ini", "Direct3D=0\nWindowMode=1\nBpp=16\nExit\n");
  g_DrawLayer.nDesktopBpp = 16;
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  ASSERT_EQ(16, g_DrawLayer.nBpp);
  EXPECT_EQ(0x0000FF40u, g_DrawLayer.dwColorKey);

  constexpr std::uint32_t kBehind = 0x777777;
  const std::vector<std::uint32_t> pixels = {0x0A141E, 0x00FF40, 0x123456};
  const std::vector<std::uint8_t> indices = {0, 1, 2};
  std::vector<plat::sPaletteEntry> table;
  for (std::uint32_t rgb : pixels) {
    table.push_back({static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                     static_cast<std::uint8_t>(rgb), 0});
  }
  const struct {
    int bits;
    std::vector<std::uint8_t> file;
    std::vector<std::uint32_t> seen;  // on the back buffer after a keyed blit
  } cases[] = {
      {4, EncodeBmp4Row(indices, pixels), {0x0A141E, kBehind, 0x123456}},
      {8, plat::EncodeBmp8(3, 1, indices, table), {0x0A141E, kBehind, 0x123456}},
      {24, plat::EncodeBmp24(3, 1, pixels), {kBehind, 0x00FF41, 0x123456}},
      {32, plat::EncodeBmp32(3, 1, pixels), {kBehind, 0x00FF41, 0x123456}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.bits);
    WriteFile("bmp/Keyed.bmp", AsString(test.file));
    DDSURFACEDATA keyed;
    ASSERT_EQ(0, DDCreateSurfaceFromFile(&keyed, "bmp\\Keyed.bmp", 1, 16, 0, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0));
    DDFillRectRGB(&BackBuffer, 0, 0, 3, 1, kBehind);
    DDBlt(&BackBuffer, 0, 0, 3, 1, &keyed, 0, 0, 1);
    DDReleaseSurface(&keyed);
    SurfaceLock lock(&BackBuffer);
    ASSERT_TRUE(lock.IsLocked());
    const std::uint32_t* row = lock.m_Lock.Row32(0);
    EXPECT_EQ(test.seen, std::vector<std::uint32_t>({row[0] & 0x00FFFFFFu, row[1] & 0x00FFFFFFu, row[2] & 0x00FFFFFFu}));
  }
}

TEST_F(StartupTest, FullScreenDirectDrawWithVSyncFlipsAtTheDisplaysRate) {
  WriteFile("System.ini", "Direct3D=0\nWindowMode=0\nBpp=32\nVSync=1\nExit\n");
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  EXPECT_EQ(0, g_bDDBlitPresent);
  UnInitGame();

  ResetAppGlobalsForTests();
  DDSetDisplayRefreshRate(50);
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  EXPECT_EQ(1, g_bDDBlitPresent);
  DDSetDisplayRefreshRate(60);
}

TEST_F(StartupTest, InvalidScreenModeShowsItsMessageAndStops) {
  struct Case {
    const char* ini;
    const char* box;
  };
  const Case cases[] = {
      {"Direct3D=0\nWindowMode=1\nBpp=16\nExit\n", kBadWindowModeText},
      {"Direct3D=0\nWindowMode=0\nBpp=24\nExit\n", kBadScreenModeText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini);
    m_Boxes.clear();
    WriteFile("System.ini", c.ini);
    EXPECT_FALSE(InitGame("", plat::SW_SHOWNORMAL));
    ASSERT_EQ(1u, m_Boxes.size());
    EXPECT_EQ(c.box, m_Boxes[0].text);
    EXPECT_EQ(nullptr, lpDDCon);
    EXPECT_TRUE(m_Host.Calls("show").empty());
  }
}

TEST_F(StartupTest, MissingDataWithoutDefaultsStopsBeforeTheFolders) {
  fs::remove_all(m_Folder / "data");
  EXPECT_FALSE(InitGame("", plat::SW_SHOWNORMAL));
  ASSERT_EQ(1u, m_Boxes.size());
  EXPECT_EQ("「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。", m_Boxes[0].text);
  EXPECT_FALSE(fs::exists(m_Folder / "user_data"));
}

TEST_F(StartupTest, DamagedDatabaseStopsWithBothMessages) {
  WriteFile("data/database/Sound.dat", "bad");
  EXPECT_FALSE(InitGame("", plat::SW_SHOWNORMAL));
  ASSERT_EQ(2u, m_Boxes.size());
  EXPECT_EQ("data\\database\\Sound.dat のロードに失敗！", m_Boxes[0].text);
  EXPECT_EQ("データベースの読み込みに失敗…", m_Boxes[1].text);
  EXPECT_EQ(nullptr, lpDDCon);
}

TEST_F(StartupTest, MissingOrDamagedSystemDataStopsTheStart) {
  // Missing; too short for its version word; a current version word and then
  // a record cut short.
  const std::string files[] = {"", "bad", std::string("\x0d\x03\x00\x00\x07", 5)};
  for (const std::string& bytes : files) {
    SCOPED_TRACE(bytes.size());
    m_Boxes.clear();
    if (bytes.empty()) fs::remove(m_Folder / "data" / "System.dat");
    else WriteFile("data/System.dat", bytes);
    EXPECT_FALSE(InitGame("", plat::SW_SHOWNORMAL));
    ASSERT_EQ(1u, m_Boxes.size());
    EXPECT_EQ("data\\System.dat の読み込みに失敗…", m_Boxes[0].text);
    EXPECT_EQ(nullptr, lpDDCon);
  }
}

TEST_F(StartupTest, SystemDataGivesTheTitleAndTheIniDefaults) {
  cSystemData system;
  system.m_strTitle = "テストゲーム";
  system.m_IniKeys[INI_SHOW_FPS].m_nNumber = 0;
  WriteFile("data/System.dat", AsString(system.MakeFileBytes()));
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  EXPECT_EQ("テストゲーム", g_System.m_strTitle);
  EXPECT_EQ(1u, m_Host.Calls("title:テストゲーム").size());
  EXPECT_EQ(0, g_SystemIni.m_nShowFps);
}

// The fonts take the system data's face, the medium font its symbol and
// centring switches, and each back end the cache choice System.ini gives it
// (by default: caches under DirectDraw, none under Direct3D); the digit
// strips come with them. At the end the caches' glyph counts are reported
// and everything is released.
TEST_F(StartupTest, FontsAndDigitStripsFollowTheSystemDataAndSystemIni) {
  cSystemData system;
  system.m_nFontFace = 62;  // ＭＳ 明朝
  system.m_bNoSymbols = 1;
  system.m_bFontCentre = 1;
  WriteFile("data/System.dat", AsString(system.MakeFileBytes()));
  struct sCase {
    const char* ini;
    bool caches;
  };
  const sCase cases[] = {{"Direct3D=0\nWindowMode=1\nExit\n", true},
                         {"Direct3D=1\nWindowMode=1\nExit\n", false},
                         {"Direct3D=1\nWindowMode=1\nD3D_FontCache=1\nExit\n", true}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.ini);
    UnInitGame();
    ResetAppGlobalsForTests();
    ReportInit("Report_Game.txt");
    WriteFile("System.ini", c.ini);
    ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
    const int cells[] = {10, 16, 32};
    for (int i = 0; i < kFontCount; ++i) {
      const Font& font = g_Font[static_cast<std::size_t>(i)];
      EXPECT_TRUE(font.IsCreated()) << i;
      EXPECT_EQ("ＭＳ 明朝", font.m_strFace) << i;
      EXPECT_EQ(c.caches && i < 2, font.m_lpFastFont_FullAdd != nullptr) << i;
      EXPECT_EQ(10 * cells[i], g_DigitSD[static_cast<std::size_t>(i)].nWidth) << i;
      EXPECT_TRUE(g_DigitSD[static_cast<std::size_t>(i)].HasSurface()) << i;
    }
    EXPECT_EQ(1, g_Font[1].m_bSymbols);
    EXPECT_EQ(1, g_Font[1].m_bCentre);
    EXPECT_EQ(0, g_Font[0].m_bCentre);

    UnInitGame();
    EXPECT_EQ(c.caches, ReportHas("Font10 : 256"));
    EXPECT_EQ(c.caches, ReportHas("Font16 : 256"));
    for (const Font& font : g_Font) EXPECT_FALSE(font.IsCreated());
    for (const DDSURFACEDATA& strip : g_DigitSD) EXPECT_FALSE(strip.HasSurface());
  }
}

TEST_F(StartupTest, MissingPaletteBitmapStopsAndIsReported) {
  fs::remove(m_Folder / "bmp" / "plt" / "Palette.bmp");
  EXPECT_FALSE(InitGame("", plat::SW_SHOWNORMAL));
  EXPECT_TRUE(ReportHas("DDLoadPaletteFromFile失敗"));
}

TEST_F(StartupTest, MissingSystemIniStartsWithTheDefaultsAfterTheMessage) {
  // The defaults ask for the back end (Boot.dat: Direct3D) in full screen at
  // the Direct3D depth choice, 32 bits.
  fs::remove(m_Folder / "System.ini");
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  ASSERT_EQ(1u, m_Boxes.size());
  EXPECT_EQ("System.ini の読み込みに失敗しました！", m_Boxes[0].text);
  EXPECT_NE(nullptr, lpDTCon);
  EXPECT_EQ(32, g_SystemIni.m_nBpp);
  EXPECT_EQ(0, g_SystemIni.m_nWindowMode);
}

TEST_F(StartupTest, WindowModeTakesThePlacementOfTheLastRun) {
  cWindowData placement;
  placement.Set(120, 80, 800, 600, 1);
  WriteFile("user_data/Window.dat", AsString(placement.MakeFileBytes()));
  WriteFile("System.ini", "Direct3D=1\nWindowMode=2\nExit\n");
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  const auto positions = m_Host.Calls("pos");
  ASSERT_FALSE(positions.empty());
  EXPECT_EQ(120, positions[0].a);
  EXPECT_EQ(80, positions[0].b);
  EXPECT_EQ(800, m_Host.GetClientRect().right);  // Direct3D in a resizable window takes the size too
  EXPECT_EQ(600, m_Host.GetClientRect().bottom);
  const auto shows = m_Host.Calls("show");
  ASSERT_EQ(1u, shows.size());
  EXPECT_EQ(plat::SW_SHOWMAXIMIZED, shows[0].a);
}

TEST_F(StartupTest, CommandLineStageStartsTheNewestVersionAsATestPlay) {
  WriteFile("data/stg4/Test.stg4_780", "old");
  WriteFile("data/stg4/Test.stg4_781", StageFileWithHero("newest"));
  ASSERT_TRUE(InitGame("data\\stg4\\Test.stg4", plat::SW_SHOWNORMAL));
  EXPECT_EQ("data\\stg4\\Test.stg4_781", g_SystemIni.m_strFreeStage);
  EXPECT_EQ(1, g_TestPlay);
  // The run has started on the loaded stage, with the infinite lives of test play.
  EXPECT_EQ("newest", g_Stage.m_Name);
  EXPECT_EQ("newest", g_StageInitial.m_Name);
  EXPECT_EQ(kInfiniteLives, g_Progress.m_nLives);
  EXPECT_EQ(1, g_Progress.m_nStageNo);
  EXPECT_EQ(SCENE_GAME, g_SceneManager.m_nCurScene);
  EXPECT_EQ(SCENE_TITLE, g_SceneManager.m_nPrevScene);
  EXPECT_EQ(2, g_SceneManager.m_nPlayMode);
  EXPECT_EQ(1, g_SceneManager.m_bRanking);
  EXPECT_EQ(3, g_SceneManager.m_nTitleChoice);
}

TEST_F(StartupTest, KeyInputGetsItsTimingMasksAndConfiguration) {
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  EXPECT_EQ(kKeyRepeatDelay, g_KeyInput[0].m_RepeatDelay);
  EXPECT_EQ(kKeyRepeatInterval, g_KeyInput[0].m_RepeatInterval);
  EXPECT_EQ(0x80, g_KeyInput[0].m_ButtonMask[7]);
  // No KeyConfig.dat: the default keys.
  EXPECT_EQ(12u, g_KeyConfig.m_EntryCount);
  EXPECT_EQ('Z', g_KeyConfig.m_Entries[4].m_Code);
  UnInitGame();

  cKeyConfig file;
  DefaultKeyConfig(file);
  file.m_Entries[4].m_Code = plat::VK_SPACE;
  file.m_UseConfig = 1;
  const auto bytes = KeyConfigBytes(file);
  WriteFile("user_data/KeyConfig.dat", std::string(bytes.begin(), bytes.end()));
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  EXPECT_EQ(plat::VK_SPACE, g_KeyConfig.m_Entries[4].m_Code);
  EXPECT_EQ(1u, g_KeyConfig.m_UseConfig);
}

TEST_F(StartupTest, CommandLineReplacesFreeStage) {
  WriteFile("System.ini", "Direct3D=0\nWindowMode=1\nFreeStage=data\\stg4\\Other.stg4\nExit\n");
  WriteFile("data/stg4/Other.stg4_781", StageFileWithHero("other"));
  WriteFile("data/stg4/Mine.stg4_781", StageFileWithHero("mine"));
  ASSERT_TRUE(InitGame("data\\stg4\\Mine.stg4", plat::SW_SHOWNORMAL));
  EXPECT_EQ("data\\stg4\\Mine.stg4_781", g_SystemIni.m_strFreeStage);
}

TEST_F(StartupTest, StageThatCannotBeStartedFailsTheStartUp) {
  WriteFile("data/stg4/Broken.stg4_781", "not a stage");
  EXPECT_FALSE(InitGame("data\\stg4\\Broken.stg4", plat::SW_SHOWNORMAL));
  EXPECT_EQ("", g_Stage.m_Name);
}

TEST_F(StartupTest, MissingWorldMapOrCommonPaletteIsReportedAndStopsTheStart) {
  // With both missing only the world map is reported: the start stops there.
  struct Case {
    std::vector<const char*> missing;
    const char* box;
  };
  const Case cases[] = {
      {{"WorldMap.dat", "CommonPalette.cplt4"}, "data\\WorldMap.dat のロードに失敗！"},
      {{"CommonPalette.cplt4"}, "data\\CommonPalette.cplt4 のロードに失敗！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    UnInitGame();
    ResetAppGlobalsForTests();
    m_Boxes.clear();
    WriteFile("data/WorldMap.dat", AsString(cWorldMap().MakeFileBytes()));
    WriteFile("data/CommonPalette.cplt4", AsString(cPalette().MakeFileBytes()));
    for (const char* file : c.missing) fs::remove(m_Folder / "data" / file);
    WriteFile("data/stg4/Test.stg4_781", StageFileWithHero("named"));
    EXPECT_FALSE(InitGame("data\\stg4\\Test.stg4", plat::SW_SHOWNORMAL));
    ASSERT_EQ(1u, m_Boxes.size());
    EXPECT_EQ(c.box, m_Boxes[0].text);
    EXPECT_TRUE(ReportHas(c.box));
    EXPECT_EQ(0, g_TestPlay) << "nothing after the failed load runs";
  }
}

TEST_F(StartupTest, MissingStageStartsAtTheTitleAndIsReported) {
  ASSERT_TRUE(InitGame("data\\stg4\\Missing.stg4", plat::SW_SHOWNORMAL));
  EXPECT_TRUE(ReportHas("「data\\stg4\\Missing.stg4」の読み込みに失敗しました！"));
  EXPECT_EQ("", g_SystemIni.m_strFreeStage);
  EXPECT_EQ(0, g_TestPlay);
  EXPECT_EQ(SCENE_TITLE, g_SceneManager.m_nCurScene);
  EXPECT_TRUE(m_Boxes.empty());
}

// ---- sound and music ----------------------------------------------------------

class SoundStartupTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    SetAudioDeviceFactory([device = m_Device] { return device; });
    // System sound 1 and sound 1 of the database (slot 17), in two formats.
    cSystemData system;
    system.m_SystemSounds[1] = "wave\\Decide.wav";
    WriteFile("data/System.dat", AsString(system.MakeFileBytes()));
    cDatabase db;
    db.m_Sounds[1].m_strFile = "se\\Jump.wav";
    WriteFile("data/database/Sound.dat", AsString(samplegame::DatabaseFileBytes(db, 8)));
    WriteFile("wave/Decide.wav", AsString(samplegame::EncodeWave({11025, 1, 16, kDecide})));
    WriteFile("se/Jump.wav", AsString(samplegame::EncodeWave({22050, 2, 8, kJump})));
  }

  // Output sample `frame` of a channel after the request for `slot`.
  std::vector<std::int16_t> Request(int slot, int frames) {
    g_MainWnd.WndProc(m_Window->Window(), WM_APP_PLAY_SOUND, static_cast<WPARAM>(slot), 0);
    return m_Device->Render(frames);
  }

  // 8000, -8000 and 16000 as 16-bit samples; left 200, 60 and right 50, 190 as 8-bit ones.
  const std::vector<std::uint8_t> kDecide = {0x40, 0x1F, 0xC0, 0xE0, 0x80, 0x3E};
  const std::vector<std::uint8_t> kJump = {200, 50, 60, 190};
  std::shared_ptr<plat::cOfflineAudioDevice> m_Device = std::make_shared<plat::cOfflineAudioDevice>();
};

TEST_F(SoundStartupTest, SoundsComeUpAtTheOptionsVolumeAndPlayThroughTheSoundRequest) {
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  ASSERT_EQ(g_SoundSlots.size(), 18u) << "17 system sounds and the database's sound 1";
  EXPECT_EQ(g_SoundDefs[1].m_strFile, "wave\\Decide.wav");
  EXPECT_EQ(g_SoundDefs[17].m_strFile, "se\\Jump.wav");
  for (const cSoundDef& def : g_SoundDefs) {
    EXPECT_EQ(def.m_nCount, 1);
    EXPECT_EQ(def.m_nFlag, 1);
    EXPECT_EQ(def.m_nVolume, -150) << "option level 7";
  }
  EXPECT_EQ(g_SoundSlots[0].m_nCount, 0) << "a system sound without a file stays silent";
  EXPECT_EQ(g_BgmManager.m_bEnabled, 1) << "the music option is on";

  cMainWndServices services;
  ConnectSoundServices(services);
  SetMainWndServices(services);
  const double gain = std::pow(10.0, -150 / 2000.0);
  auto scaled = [gain](int sample) { return static_cast<std::int16_t>(std::lrint(sample * static_cast<float>(gain))); };

  // 11025 Hz mono: every fourth output frame is a file frame, on both channels.
  std::vector<std::int16_t> out = Request(1, 16);
  const int decide[] = {8000, -8000, 16000};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(out[8 * k], scaled(decide[k])) << k;
    EXPECT_EQ(out[8 * k + 1], scaled(decide[k])) << k;
  }
  EXPECT_EQ(out[4], scaled((8000 + -8000) / 2)) << "halfway between two file frames";

  // 22050 Hz 8-bit stereo: every second output frame, each channel its own.
  out = Request(17, 4);
  EXPECT_EQ(out[0], scaled((200 - 128) * 256));
  EXPECT_EQ(out[1], scaled((50 - 128) * 256));
  EXPECT_EQ(out[4], scaled((60 - 128) * 256));
  EXPECT_EQ(out[5], scaled((190 - 128) * 256));

  // A slot beyond the table is reported and dropped; nothing was touched
  // through it, so saves go on.
  Request(18, 1);
  EXPECT_TRUE(ReportHas("err V[18] ( 18 , " + std::to_string(sizeof(cSoundSlot)) + " )"));
  EXPECT_FALSE(IsFatalPending());

  SetMainWndServices({});
  UnInitGame();
  EXPECT_EQ(m_Device->VoiceCount(), 0u);
  EXPECT_EQ(g_BgmManager.m_bEnabled, 0);
}

TEST_F(SoundStartupTest, WithTheMusicOptionOffTheMusicManagerStaysOff) {
  cOptionData options;
  options.m_bMusic = 0;
  options.m_nSeVolume = 10;
  fs::create_directories(m_Folder / "user_data");
  ASSERT_TRUE(options.Save(g_PathTable[PATH_OPTION]));
  ASSERT_TRUE(InitGame("", plat::SW_SHOWNORMAL));
  EXPECT_EQ(g_BgmManager.m_bEnabled, 0);
  EXPECT_EQ(g_SoundDefs[17].m_nVolume, 0) << "level 10: full volume";
  EXPECT_EQ(GetSoundVolume(g_SoundSlots[17], 0), 0);
}

// ---- working folders ---------------------------------------------------------

class WorkingFolders : public apptest::cAppFixture {};

TEST_F(WorkingFolders, AllTwentyTwoAreCreated) {
  CreateWorkingFolders();
  for (const char* folder : kWorkingFolders) EXPECT_TRUE(plat::DirectoryExists(folder)) << folder;
  EXPECT_TRUE(fs::is_directory(m_Folder / "data" / "stg4" / "old_ver"));
  EXPECT_TRUE(fs::is_directory(m_Folder / "user_data" / "rpl4"));
  EXPECT_EQ("user_data", std::string(kWorkingFolders.front()));
  EXPECT_EQ("bgm", std::string(kWorkingFolders.back()));
}

TEST_F(WorkingFolders, ExistingFoldersOfAnotherCaseAreUsedAndFailuresIgnored) {
  fs::create_directories(m_Folder / "DATA");
  WriteFile("bmp", "a file where a folder belongs");
  CreateWorkingFolders();
  EXPECT_TRUE(fs::is_directory(m_Folder / "DATA" / "stg4" / "old_ver"));
  EXPECT_FALSE(fs::exists(m_Folder / "data"));
  EXPECT_TRUE(fs::is_regular_file(m_Folder / "bmp"));
  EXPECT_TRUE(fs::is_directory(m_Folder / "wave"));
}

// ---- display mode ------------------------------------------------------------

TEST(DisplayMode, DepthChoices) {
  EXPECT_EQ(32, DepthFromChoice(true, 0, 0));
  EXPECT_EQ(16, DepthFromChoice(true, 1, 0));
  EXPECT_EQ(32, DepthFromChoice(true, 2, 0));
  EXPECT_EQ(32, DepthFromChoice(false, 0, 0));
  EXPECT_EQ(16, DepthFromChoice(false, 1, 0));
  EXPECT_EQ(8, DepthFromChoice(false, 2, 0));
  EXPECT_EQ(32, DepthFromChoice(false, 2, 1));
  EXPECT_EQ(32, DepthFromChoice(false, 7, 0));
}

TEST(DisplayMode, DecisionTable) {
  struct Case {
    const char* name;
    int d3d, window, bpp, vsync, transparent, desktop;
    bool newWindows;
    bool valid;
    int wantBpp, wantVSync;
    bool thick;
    const char* message;
  };
  const Case cases[] = {
      {"DD window at desktop depth", 0, 1, 0, 2, 0, 32, true, true, 32, 0, false, nullptr},
      {"DD window at 16 on a 16-bit desktop", 0, 1, 16, 1, 0, 16, true, true, 16, 0, false, nullptr},
      {"DD window 16 on 32 desktop", 0, 1, 16, 2, 0, 32, true, false, 16, 0, false, kBadWindowModeText},
      {"DD window 8 bits", 0, 1, 8, 2, 0, 8, true, false, 8, 0, false, kBadScreenModeText},
      {"DD full screen default depth 8", 0, 0, 0, 2, 0, 32, true, true, 8, 0, false, nullptr},
      {"DD full screen default with transparent colour", 0, 0, 0, 2, 1, 32, true, true, 32, 0, false, nullptr},
      {"DD full screen 8 with transparent colour", 0, 0, 8, 2, 1, 32, true, false, 8, 0, false, kBadScreenModeText},
      {"DD full screen vsync decided on old systems", 0, 0, 32, 2, 0, 32, false, true, 32, 1, false, nullptr},
      {"DD full screen vsync kept", 0, 0, 32, 1, 0, 32, true, true, 32, 1, false, nullptr},
      {"DD full screen 24 bits", 0, 0, 24, 2, 0, 32, true, false, 24, 0, false, kBadScreenModeText},
      {"D3D full screen default 32", 1, 0, 0, 2, 0, 16, true, true, 32, 1, false, nullptr},
      {"D3D vsync off stays off", 1, 0, 16, 0, 0, 32, true, true, 16, 0, false, nullptr},
      {"D3D 8 bits refused", 1, 0, 8, 2, 0, 32, true, false, 8, 1, false, kBadScreenModeText},
      {"D3D resizable window", 1, 2, 0, 2, 0, 32, true, true, 32, 1, true, nullptr},
      {"D3D plain window", 1, 1, 0, 2, 0, 32, true, true, 32, 1, false, nullptr},
      {"D3D window 32 on 16 desktop", 1, 1, 32, 2, 0, 16, true, false, 32, 1, false, kBadWindowModeText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cDisplayModeInput input;
    input.m_nDirect3D = c.d3d;
    input.m_nWindowMode = c.window;
    input.m_nBpp = c.bpp;
    input.m_nVSync = c.vsync;
    input.m_bTransparent = c.transparent;
    input.m_nDesktopBpp = c.desktop;
    input.m_bNewWindows = c.newWindows;
    const cDisplayMode mode = DecideDisplayMode(input);
    EXPECT_EQ(c.valid, mode.m_bValid);
    EXPECT_EQ(c.window != 0, mode.m_bWindowed);
    EXPECT_EQ(c.wantBpp, mode.m_nBpp);
    EXPECT_EQ(c.wantVSync, mode.m_nVSync);
    EXPECT_EQ(c.thick, mode.m_bThickFrame);
    EXPECT_EQ(c.message, mode.m_pMessage);
  }
}

}  // namespace
