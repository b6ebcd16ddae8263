#include "core/SystemReport.h"

#include <cstring>
#include <thread>

#include "core/Log.h"
#include "core/Numeric.h"
#include "core/StringUtil.h"
#include "platform/Clock.h"

namespace {

constexpr double kBytesPerMB = 1048576.0;

// Linux reports itself as this platform id, and behaves as the newest
// version the table knows (Windows 7, 6.1): every "at least 6.0" question
// the player asks is about features a modern system has.
constexpr std::uint32_t kLinuxPlatformId = 2;
constexpr std::uint32_t kModernMajor = 6;
constexpr std::uint32_t kModernMinor = 1;

// How long the processor clock is measured: long enough for a stable figure
// to a few MHz, short enough not to hold up the start.
constexpr std::uint64_t kClockMeasureNs = 100'000'000;

std::string RegistersText(std::initializer_list<std::uint32_t> registers) {
  std::string text;
  for (std::uint32_t value : registers) {
    char bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);
    text.append(bytes, sizeof bytes);
  }
  // A C string ends at its first NUL; the brand text is NUL-padded.
  const std::size_t end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  return text;
}

bool Bit(std::uint32_t value, int bit) { return ((value >> bit) & 1u) != 0; }

bool WriteLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (!ReportPrintf("%s", line.c_str())) return false;
  }
  return true;
}

}  // namespace

// ---- processor ----------------------------------------------------------

cCpuInfo DecodeCpuInfo(bool hasCpuid, const CpuidFunction& cpuid) {
  cCpuInfo info;
  if (!hasCpuid) return info;
  const plat::cCpuidLeaf leaf0 = cpuid(0);
  if (leaf0.eax == 0) return info;

  info.vendor = RegistersText({leaf0.ebx, leaf0.edx, leaf0.ecx});

  const plat::cCpuidLeaf leaf1 = cpuid(1);
  info.mmx = Bit(leaf1.edx, 23);
  info.sse = Bit(leaf1.edx, 25);
  info.sse2 = Bit(leaf1.edx, 26);

  const std::uint32_t highestExtended = cpuid(0x80000000u).eax;
  if (highestExtended >= 0x80000001u) {
    const plat::cCpuidLeaf extended = cpuid(0x80000001u);
    info.amd3dNow = Bit(extended.edx, 31);
    info.amd3dNowExt = Bit(extended.edx, 30);
  }
  if (highestExtended >= 0x80000004u) {
    const plat::cCpuidLeaf b0 = cpuid(0x80000002u);
    const plat::cCpuidLeaf b1 = cpuid(0x80000003u);
    const plat::cCpuidLeaf b2 = cpuid(0x80000004u);
    info.brand = RegistersText({b0.eax, b0.ebx, b0.ecx, b0.edx, b1.eax, b1.ebx, b1.ecx, b1.edx, b2.eax, b2.ebx,
                                b2.ecx, b2.edx});
  }
  return info;
}

void GetCpuInfo(cCpuInfo& info) {
  info = DecodeCpuInfo(plat::HasCpuid(), [](std::uint32_t leaf) { return plat::Cpuid(leaf); });
  info.clock = MeasureCpuClock();
}

double CpuClockFromCounters(std::uint64_t q0, std::uint64_t q1, std::uint64_t q2, std::uint64_t t0,
                            std::uint64_t t1, double frequency) {
  const double readCost = static_cast<double>(q1 - q0);
  const double seconds = (static_cast<double>(q2 - q1) - readCost) / frequency;
  if (!(seconds > 0.0)) return 0.0;
  return static_cast<double>(t1 - t0) / seconds;
}

double MeasureCpuClock() {
  const std::uint64_t q0 = plat::MonotonicNs();
  const std::uint64_t q1 = plat::MonotonicNs();
  const std::uint64_t t0 = plat::ReadTimeStampCounter();
  if (t0 == 0) return 0.0;
  // The time-stamp counter runs at a constant rate whether the processor is
  // busy or not, so the measurement can sleep instead of spinning.
  std::this_thread::sleep_for(std::chrono::nanoseconds(kClockMeasureNs));
  std::uint64_t q2 = plat::MonotonicNs();
  while (q2 - q1 < kClockMeasureNs) q2 = plat::MonotonicNs();
  const std::uint64_t t1 = plat::ReadTimeStampCounter();
  return CpuClockFromCounters(q0, q1, q2, t0, t1, 1e9);
}

// ---- operating system ---------------------------------------------------

cVersionName LookUpVersionName(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
  struct cRow {
    std::uint32_t major, minor;
    const char* name;
  };
  switch (platformId) {
    case 0:
      return {"Windows 3.1", 1, 0};
    case 1: {
      const char* name = minor == 0 ? "Windows 95" : minor == 10 ? "Windows 98" : minor == 90 ? "Windows Me" : "";
      return {name, 1, minor};
    }
    case 2: {
      static const cRow kRows[] = {
          {5, 0, "Windows 2000"},
          {5, 1, "Windows XP"},
          {5, 2, "Windows XP Professional x64 Edition ?"},
          {6, 0, "Windows Vista"},
          {6, 1, "Windows 7"},
      };
      if (major == 3) return {"Windows NT 3.51", major, minor};
      if (major == 4) return {"Windows NT 4.0", major, minor};
      for (const cRow& row : kRows) {
        if (row.major == major && row.minor == minor) return {row.name, major, minor};
      }
      return {"", major, minor};
    }
    default:
      return {"", 5, 1};
  }
}

std::string FormatVersionText(const cVersionName& version, const std::string& buildText, std::uint32_t platformId,
                              std::uint32_t build) {
  const std::string name =
      version.name.empty() ? FormatText("Windows %u.%u", version.major, version.minor) : version.name;
  return FormatText("%s %s PID %d Build %d", name.c_str(), buildText.c_str(), static_cast<int>(platformId),
                    static_cast<int>(build));
}

void GetWindowsVersionName(std::string* text, std::uint32_t* major, std::uint32_t* minor) {
  const plat::cOsInfo os = plat::GetOsInfo();
  const cVersionName version{os.name, kModernMajor, kModernMinor};
  if (text != nullptr) *text = FormatVersionText(version, os.version, kLinuxPlatformId, os.build);
  if (major != nullptr) *major = version.major;
  if (minor != nullptr) *minor = version.minor;
}

bool VersionIsAtLeast(std::uint32_t haveMajor, std::uint32_t haveMinor, std::uint32_t major, std::uint32_t minor) {
  return haveMajor > major || (haveMajor == major && haveMinor >= minor);
}

bool IsWindowsVersionAtLeast(std::uint32_t major, std::uint32_t minor) {
  std::uint32_t haveMajor = 0;
  std::uint32_t haveMinor = 0;
  GetWindowsVersionName(nullptr, &haveMajor, &haveMinor);
  return VersionIsAtLeast(haveMajor, haveMinor, major, minor);
}

// ---- memory and disk ----------------------------------------------------

void GetMemoryStatus(cMemoryStatus& status) { status = plat::GetMemoryInfo(); }

std::uint32_t CapDiskFreeBytes(std::uint64_t bytes) {
  return bytes > 0x7FFFFFFFu ? 0x7FFFFFFFu : static_cast<std::uint32_t>(bytes);
}

std::uint32_t GetDiskFreeBytes(const std::string& folder) { return CapDiskFreeBytes(plat::GetDiskFreeBytes(folder)); }

// ---- the report's system part ------------------------------------------

cSystemFacts GatherSystemFacts() {
  cSystemFacts facts;
  GetWindowsVersionName(&facts.osText, nullptr, nullptr);
  GetCpuInfo(facts.cpu);
  GetMemoryStatus(facts.memory);
  facts.diskFree = GetDiskFreeBytes();
  return facts;
}

std::vector<std::string> FormatSystemLines(const cSystemFacts& facts) {
  const auto mb = [](std::uint64_t bytes) { return static_cast<double>(bytes) / kBytesPerMB; };
  return {
      FormatText("OS : %s", facts.osText.c_str()),
      FormatText("CPU : %s %s %d", facts.cpu.vendor.c_str(), facts.cpu.brand.c_str(),
                 TruncToI32(facts.cpu.clock * 0.000001)),
      FormatText("Mem Total : %.3fMB", mb(facts.memory.totalPhys)),
      FormatText("Mem Free : %3.fMB", mb(facts.memory.availPhys)),
      FormatText("Vir Total : %.3fMB", mb(facts.memory.totalVirtual)),
      FormatText("Vir Free : %3.fMB", mb(facts.memory.availVirtual)),
      FormatText("HD Free : %3.fMB", mb(facts.diskFree)),
  };
}

bool ReportSystemInfo() { return WriteLines(FormatSystemLines(GatherSystemFacts())); }

// ---- the report's display part -----------------------------------------

std::vector<std::string> FormatDisplayLines(const cDisplayDescription& display, bool verbose) {
  std::vector<std::string> lines;
  lines.push_back(display.windowed ? "Mode : Window" : "Mode : Fullscreen");
  lines.push_back(FormatText("Bpp : %d", display.bitsPerPixel));
  if (display.hasVideoMemoryFigures) {
    lines.push_back(FormatText("VRAM Total : %.3fMB", static_cast<double>(display.videoMemoryTotal) / kBytesPerMB));
    lines.push_back(FormatText("VRAM Free : %.3fMB", static_cast<double>(display.videoMemoryFree) / kBytesPerMB));
    lines.push_back(FormatText("RR : %u", display.refreshRate));
  }
  if (display.backEnd == eDisplayBackEnd::Direct3D) {
    const std::vector<std::string> device = FormatDxDiagLines(display, verbose);
    lines.insert(lines.end(), device.begin(), device.end());
  }
  return lines;
}

std::vector<std::string> FormatDxDiagLines(const cDisplayDescription& display, bool /*verbose*/) {
  std::vector<std::string> lines;
  if (!display.versionText.empty()) lines.push_back(display.versionText);
  lines.push_back(FormatText("TextureMem : %dMB", static_cast<int>(display.textureMemory >> 20)));
  lines.push_back(FormatText("---デバイス%d", 0));
  if (!display.deviceName.empty()) lines.push_back(FormatText("Destination : %s", display.deviceName.c_str()));
  const std::uint16_t* version = display.driverVersion;
  lines.push_back(FormatText("Driver : %s %1d.%02d.%04d.%04d", display.driverName.c_str(), version[0], version[1],
                             version[2], version[3]));
  lines.push_back(FormatText("TextureMaxSize : (%d,%d)", display.maxTextureWidth, display.maxTextureHeight));
  lines.push_back(
      FormatText("TextureMaxBlend : (%d,%d)", display.maxTextureBlendStages, display.maxSimultaneousTextures));
  return lines;
}

bool ReportDisplayInfo(int verbose) {
  const cDisplayServices* display = GetDisplayServices();
  if (display == nullptr) return false;
  return WriteLines(FormatDisplayLines(display->Describe(), verbose != 0));
}

bool ReportDxDiag(int verbose) {
  const cDisplayServices* display = GetDisplayServices();
  if (display == nullptr) return false;
  return WriteLines(FormatDxDiagLines(display->Describe(), verbose != 0));
}

int GetDxDiagDDIVersion() { return 99999; }

void GetVideoMemoryMB(std::uint32_t* freeMB, std::uint32_t* totalMB) {
  cDisplayDescription description;
  if (const cDisplayServices* display = GetDisplayServices()) description = display->Describe();
  const bool known = description.hasVideoMemoryFigures;
  if (freeMB != nullptr) *freeMB = known ? static_cast<std::uint32_t>(description.videoMemoryFree / 1048576) : 0;
  if (totalMB != nullptr) *totalMB = known ? static_cast<std::uint32_t>(description.videoMemoryTotal / 1048576) : 0;
}
