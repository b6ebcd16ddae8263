#include "core/SystemReport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "core/CoreTestSupport.h"
#include "doubles/FakeDisplayServices.h"

namespace {

constexpr std::uint64_t kMB = 1048576;

// ---- processor ----------------------------------------------------------

// Four characters as the processor returns them in one register.
std::uint32_t Packed(const char* four) {
  std::uint32_t value = 0;
  std::memcpy(&value, four, 4);
  return value;
}

// A processor described by its identification leaves; missing leaves read 0.
struct cFakeCpu {
  std::map<std::uint32_t, plat::cCpuidLeaf> leaves;

  void SetBrand(const std::string& brand) {
    char bytes[48] = {};
    std::memcpy(bytes, brand.data(), brand.size());
    for (std::uint32_t i = 0; i < 3; ++i) {
      const char* part = bytes + 16 * i;
      leaves[0x80000002u + i] = {Packed(part), Packed(part + 4), Packed(part + 8), Packed(part + 12)};
    }
  }
  CpuidFunction Function() const {
    return [this](std::uint32_t leaf) {
      auto found = leaves.find(leaf);
      return found != leaves.end() ? found->second : plat::cCpuidLeaf{};
    };
  }
};

cFakeCpu IntelLikeCpu(std::uint32_t highestExtended) {
  cFakeCpu cpu;
  cpu.leaves[0] = {0xD, Packed("Genu"), Packed("ntel"), Packed("ineI")};
  cpu.leaves[1] = {0, 0, 0, (1u << 23) | (1u << 25) | (1u << 26)};
  cpu.leaves[0x80000000u] = {highestExtended, 0, 0, 0};
  cpu.leaves[0x80000001u] = {0, 0, 0, (1u << 31) | (1u << 30)};
  cpu.SetBrand("Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz");
  return cpu;
}

TEST(CpuInfoTest, DecodesVendorFlagsAndBrandAsFarAsTheHighestLeafAllows) {
  struct Case {
    const char* name;
    bool hasCpuid;
    cFakeCpu cpu;
    const char* vendor;
    const char* brand;
    int mmx, sse, sse2, amd3dNow, amd3dNowExt;
  };
  cFakeCpu noLeaves = IntelLikeCpu(0x80000008u);
  noLeaves.leaves[0].eax = 0;
  const Case cases[] = {
      {"full", true, IntelLikeCpu(0x80000008u), "GenuineIntel", "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz", 1, 1, 1,
       1, 1},
      {"no brand leaves", true, IntelLikeCpu(0x80000001u), "GenuineIntel", "", 1, 1, 1, 1, 1},
      {"no extended leaves", true, IntelLikeCpu(0x80000000u), "GenuineIntel", "", 1, 1, 1, 0, 0},
      {"highest leaf 0", true, noLeaves, "", "", 0, 0, 0, 0, 0},
      {"no identification", false, IntelLikeCpu(0x80000008u), "", "", 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const cCpuInfo info = DecodeCpuInfo(c.hasCpuid, c.cpu.Function());
    EXPECT_EQ(info.vendor, c.vendor) << c.name;
    EXPECT_EQ(info.brand, c.brand) << c.name;
    EXPECT_EQ(info.mmx, c.mmx) << c.name;
    EXPECT_EQ(info.sse, c.sse) << c.name;
    EXPECT_EQ(info.sse2, c.sse2) << c.name;
    EXPECT_EQ(info.amd3dNow, c.amd3dNow) << c.name;
    EXPECT_EQ(info.amd3dNowExt, c.amd3dNowExt) << c.name;
  }
}

TEST(CpuInfoTest, ClockFormulaTakesOffTheCostOfOneCounterRead) {
  // 100 ns to read the counter, 0.5 s measured, 1.5e9 time-stamp ticks: 3 GHz.
  EXPECT_DOUBLE_EQ(CpuClockFromCounters(1000, 1100, 1100 + 500'000'100, 7, 7 + 1'500'000'000, 1e9), 3e9);
  // A counter of 10 MHz.
  EXPECT_DOUBLE_EQ(CpuClockFromCounters(0, 10, 10 + 1'000'010, 0, 240'000'000, 1e7), 2.4e9);
  EXPECT_EQ(CpuClockFromCounters(0, 10, 20, 0, 1000, 1e9), 0.0) << "no time passed";
}

TEST(CpuInfoTest, MeasuredClockIsPlausibleAndQuick) {
  const auto start = std::chrono::steady_clock::now();
  const double hz = MeasureCpuClock();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::milliseconds(900)) << "no second of busy waiting at every start";
#if defined(__x86_64__) || defined(__i386__)
  EXPECT_GT(hz, 1e8);
  EXPECT_LT(hz, 1e10);
#else
  EXPECT_GE(hz, 0.0);
#endif
}

// ---- operating system ---------------------------------------------------

TEST(VersionNameTest, TableGivesNameAndVersion) {
  struct Case {
    std::uint32_t platformId, major, minor;
    const char* name;
    std::uint32_t majorOut, minorOut;
  };
  const Case cases[] = {
      {0, 3, 10, "Windows 3.1", 1, 0},
      {1, 4, 0, "Windows 95", 1, 0},
      {1, 4, 10, "Windows 98", 1, 10},
      {1, 4, 90, "Windows Me", 1, 90},
      {1, 4, 20, "", 1, 20},
      {2, 3, 51, "Windows NT 3.51", 3, 51},
      {2, 4, 0, "Windows NT 4.0", 4, 0},
      {2, 5, 0, "Windows 2000", 5, 0},
      {2, 5, 1, "Windows XP", 5, 1},
      {2, 5, 2, "Windows XP Professional x64 Edition ?", 5, 2},
      {2, 6, 0, "Windows Vista", 6, 0},
      {2, 6, 1, "Windows 7", 6, 1},
      {2, 6, 2, "", 6, 2},
      {2, 10, 0, "", 10, 0},
      {3, 6, 1, "", 5, 1},
  };
  for (const Case& c : cases) {
    const cVersionName version = LookUpVersionName(c.platformId, c.major, c.minor);
    const std::string where = std::to_string(c.platformId) + " " + std::to_string(c.major) + "." +
                              std::to_string(c.minor);
    EXPECT_EQ(version.name, c.name) << where;
    EXPECT_EQ(version.major, c.majorOut) << where;
    EXPECT_EQ(version.minor, c.minorOut) << where;
  }
}

TEST(VersionNameTest, TextCarriesBuildTextPlatformAndBuild) {
  EXPECT_EQ(FormatVersionText({"Windows XP", 5, 1}, "Service Pack 2", 2, 2600),
            "Windows XP Service Pack 2 PID 2 Build 2600");
  // A version the table does not name is written with its number.
  EXPECT_EQ(FormatVersionText({"", 10, 0}, "", 2, 19041), "Windows 10.0  PID 2 Build 19041");
}

TEST(VersionNameTest, AtLeastComparesMajorThenMinor) {
  struct Case {
    std::uint32_t haveMajor, haveMinor, major, minor;
    bool atLeast;
  };
  const Case cases[] = {
      {1, 90, 6, 0, false},  // every platform-1 system
      {5, 2, 6, 0, false}, {6, 0, 6, 0, true}, {6, 1, 6, 0, true}, {6, 1, 6, 2, false}, {7, 0, 6, 5, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VersionIsAtLeast(c.haveMajor, c.haveMinor, c.major, c.minor), c.atLeast)
        << c.haveMajor << "." << c.haveMinor << " vs " << c.major << "." << c.minor;
  }
}

TEST(VersionNameTest, ThisSystemIsLinuxOnPlatformTwoAndCountsAsModern) {
  std::string text;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  GetWindowsVersionName(&text, &major, &minor);
  EXPECT_TRUE(std::regex_match(text, std::regex("Linux \\S+ .* PID 2 Build [0-9]+"))) << text;
  EXPECT_TRUE(IsWindowsVersionAtLeast(6, 0));
  GetWindowsVersionName(nullptr, nullptr, nullptr);  // every output may be left out
}

// ---- the report's lines -------------------------------------------------

cSystemFacts SampleFacts() {
  cSystemFacts facts;
  facts.osText = "Linux 6.1.0 #1 SMP PID 2 Build 0";
  facts.cpu.vendor = "GenuineIntel";
  facts.cpu.brand = "Intel(R) Core(TM) i5";
  facts.cpu.clock = 1'599'999'999.9;
  facts.memory.totalPhys = 8192 * kMB;
  facts.memory.availPhys = static_cast<std::uint64_t>(5.4 * kMB);
  facts.memory.totalVirtual = 2048 * kMB + kMB / 2;
  facts.memory.availVirtual = static_cast<std::uint64_t>(1000.6 * kMB);
  facts.diskFree = 0;
  return facts;
}

TEST(SystemLinesTest, SevenLinesInTheirFormats) {
  const std::vector<std::string> expected = {
      "OS : Linux 6.1.0 #1 SMP PID 2 Build 0",
      "CPU : GenuineIntel Intel(R) Core(TM) i5 1599",  // MHz truncated
      "Mem Total : 8192.000MB",
      "Mem Free :   5MB",
      "Vir Total : 2048.500MB",
      "Vir Free : 1001MB",
      "HD Free :   0MB",
  };
  EXPECT_EQ(FormatSystemLines(SampleFacts()), expected);
}

TEST(SystemLinesTest, EmptyBrandLeavesTwoBlanks) {
  cSystemFacts facts = SampleFacts();
  facts.cpu.vendor = "AuthenticAMD";
  facts.cpu.brand.clear();
  facts.cpu.clock = 2.4e9;
  EXPECT_EQ(FormatSystemLines(facts)[1], "CPU : AuthenticAMD  2400");
}

TEST(SystemLinesTest, FreeDiskIsCappedAtTwoGigabytes) {
  struct Case {
    std::uint64_t bytes;
    const char* line;
  };
  const Case cases[] = {
      {3ull << 30, "HD Free : 2048MB"},
      {0x7FFFFFFFull, "HD Free : 2048MB"},
      {100 * kMB, "HD Free : 100MB"},
      {0, "HD Free :   0MB"},
  };
  for (const Case& c : cases) {
    cSystemFacts facts = SampleFacts();
    facts.diskFree = CapDiskFreeBytes(c.bytes);
    EXPECT_EQ(FormatSystemLines(facts)[6], c.line) << c.bytes;
  }
}

cDisplayDescription DirectDrawWindow() {
  cDisplayDescription display = RunningDisplay(eDisplayBackEnd::DirectDraw);
  display.bitsPerPixel = 8;
  display.hasVideoMemoryFigures = true;
  display.videoMemoryTotal = 256 * kMB;
  display.videoMemoryFree = 128 * kMB + kMB / 2;
  display.refreshRate = 60;
  return display;
}

cDisplayDescription Direct3DFullScreen() {
  cDisplayDescription display = RunningDisplay(eDisplayBackEnd::Direct3D, false);
  display.versionText = "Kestrova software renderer 1.0";
  display.textureMemory = 512 * kMB + 12345;
  display.deviceName = "Kestrova software device";
  display.driverName = "kestrova";
  display.driverVersion[0] = 1;
  display.driverVersion[1] = 2;
  display.driverVersion[2] = 3;
  display.driverVersion[3] = 4;
  display.maxTextureWidth = 4096;
  display.maxTextureHeight = 2048;
  display.maxTextureBlendStages = 8;
  display.maxSimultaneousTextures = 4;
  return display;
}

TEST(DisplayLinesTest, EachBackEndWritesWhatItsDescriptionHolds) {
  cDisplayDescription bare = Direct3DFullScreen();
  bare.versionText.clear();
  bare.deviceName.clear();
  struct Case {
    const char* name;
    cDisplayDescription display;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"DirectDraw in a window",
       DirectDrawWindow(),
       {"Mode : Window", "Bpp : 8", "VRAM Total : 256.000MB", "VRAM Free : 128.500MB", "RR : 60"}},
      {"Direct3D in full screen",
       Direct3DFullScreen(),
       {"Mode : Fullscreen", "Bpp : 32", "Kestrova software renderer 1.0", "TextureMem : 512MB", "---デバイス0",
        "Destination : Kestrova software device", "Driver : kestrova 1.02.0003.0004", "TextureMaxSize : (4096,2048)",
        "TextureMaxBlend : (8,4)"}},
      {"Direct3D without names",
       bare,
       {"Mode : Fullscreen", "Bpp : 32", "TextureMem : 512MB", "---デバイス0", "Driver : kestrova 1.02.0003.0004",
        "TextureMaxSize : (4096,2048)", "TextureMaxBlend : (8,4)"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDisplayLines(c.display, true), c.lines) << c.name;
    // Only the raw capability record and the format table depend on the
    // flag, and neither exists without a diagnostics provider.
    EXPECT_EQ(FormatDisplayLines(c.display, false), c.lines) << c.name;
  }
}

class DisplayReportTest : public coretest::cCoreFixture {};

TEST_F(DisplayReportTest, ReportDisplayInfoAppendsTheRunningDisplaysLines) {
  StartReport();
  EXPECT_FALSE(ReportDisplayInfo(1)) << "nothing to describe before the drawing layer runs";
  EXPECT_TRUE(coretest::ReadLines(ReportFile()).empty());

  cFakeDisplayServices display(DirectDrawWindow());
  ASSERT_TRUE(ReportPrintf("App : ver %s", "781"));
  EXPECT_TRUE(ReportDisplayInfo(1));
  const std::vector<std::string> expected = {"App : ver 781", "Mode : Window", "Bpp : 8", "VRAM Total : 256.000MB",
                                             "VRAM Free : 128.500MB", "RR : 60"};
  EXPECT_EQ(coretest::ReadLines(ReportFile()), expected);
}

TEST_F(DisplayReportTest, ReportFunctionsFailWithoutAReport) {
  cFakeDisplayServices display(Direct3DFullScreen());
  EXPECT_FALSE(ReportSystemInfo());
  EXPECT_FALSE(ReportDisplayInfo(1));
  EXPECT_FALSE(ReportDxDiag(1));
}

TEST(DisplayQueriesTest, VideoMemoryComesFromTheDescriptionInWholeMegabytes) {
  struct Case {
    const char* name;
    bool installed;
    cDisplayDescription display;
    std::uint32_t freeMB, totalMB;
  };
  cDisplayDescription odd = DirectDrawWindow();
  odd.videoMemoryTotal = 64 * kMB - 1;
  odd.videoMemoryFree = kMB;
  const Case cases[] = {
      {"no drawing layer", false, {}, 0, 0},
      {"Direct3D has no such figures", true, Direct3DFullScreen(), 0, 0},
      {"DirectDraw", true, DirectDrawWindow(), 128, 256},
      {"truncated", true, odd, 1, 63},
  };
  for (const Case& c : cases) {
    SetDisplayServices(nullptr);
    std::unique_ptr<cFakeDisplayServices> display;
    if (c.installed) display = std::make_unique<cFakeDisplayServices>(c.display);
    std::uint32_t freeMB = 99;
    std::uint32_t totalMB = 99;
    GetVideoMemoryMB(&freeMB, &totalMB);
    EXPECT_EQ(freeMB, c.freeMB) << c.name;
    EXPECT_EQ(totalMB, c.totalMB) << c.name;
  }
}

TEST(DisplayQueriesTest, DriverInterfaceVersionIsNotAvailable) { EXPECT_EQ(GetDxDiagDDIVersion(), 99999); }

}  // namespace
