#pragma once
// The description of the machine written into the system report at start-up
// (operating system, processor, memory, free disk) and of the display once
// the drawing layer runs; plus the few questions other parts ask of it: the
// system version, the video memory and the graphics driver-interface version.
//
// Gathering the facts and formatting the lines are separate steps, so the
// line formats can be checked with any facts.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/DisplayServices.h"
#include "platform/SystemInfo.h"

// ---- processor ----------------------------------------------------------

struct cCpuInfo {
  std::string brand;   // the processor brand text, empty when not available
  std::string vendor;  // the 12-character vendor text, empty when not available
  std::int32_t mmx = 0;
  std::int32_t sse = 0;
  std::int32_t sse2 = 0;
  std::int32_t amd3dNow = 0;
  std::int32_t amd3dNowExt = 0;
  double clock = 0.0;  // Hz
};

using CpuidFunction = std::function<plat::cCpuidLeaf(std::uint32_t leaf)>;

// Everything but the clock, decoded from the processor's identification
// leaves: the vendor from leaf 0 (EBX, EDX, ECX), the MMX, SSE and SSE2 flags
// from leaf 1, the 3DNow! flags from leaf 0x80000001 and the brand from
// leaves 0x80000002-4, each only when the highest leaf allows it.
cCpuInfo DecodeCpuInfo(bool hasCpuid, const CpuidFunction& cpuid);

// The record of this processor, clock included.
void GetCpuInfo(cCpuInfo& info);

// The clock estimate from two readings of the time-stamp counter (t0, t1)
// and three of a reference counter of `frequency` ticks a second (q0 and q1
// back to back before t0, q2 with t1): the elapsed time is
// ((q2 - q1) - (q1 - q0)) / frequency, the second term taking off the cost of
// one reading. 0 when no time passed.
double CpuClockFromCounters(std::uint64_t q0, std::uint64_t q1, std::uint64_t q2, std::uint64_t t0,
                            std::uint64_t t1, double frequency);

// The processor clock in Hz, measured against the monotonic clock over about
// 100 ms; 0 without a time-stamp counter.
double MeasureCpuClock();

// ---- operating system ---------------------------------------------------

// The old system-version table: the name for a (platform id, major, minor)
// and the major and minor version it stands for. Unknown versions of
// platforms 1 and 2 have an empty name and keep their own version (major 1
// for platform 1); unknown platforms have an empty name and 5.1.
struct cVersionName {
  std::string name;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};
cVersionName LookUpVersionName(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);

// The OS line's text: "%s %s PID %d Build %d" with the name, the build text,
// the platform id and the build number; an empty name is written as
// "Windows <major>.<minor>" of the version it reports.
std::string FormatVersionText(const cVersionName& version, const std::string& buildText,
                              std::uint32_t platformId, std::uint32_t build);

// This system's version text and the version it behaves as. Linux counts as
// platform 2 under its own kernel name ("Linux 6.1.0 #1 SMP ... PID 2 Build 0")
// and behaves as the newest system of the table, 6.1, so every
// IsWindowsVersionAtLeast(6, 0) question answers true. Any output may be null.
void GetWindowsVersionName(std::string* text, std::uint32_t* major, std::uint32_t* minor);

// True when the version (haveMajor, haveMinor) is at least (major, minor).
bool VersionIsAtLeast(std::uint32_t haveMajor, std::uint32_t haveMinor, std::uint32_t major, std::uint32_t minor);

// True when this system's version from GetWindowsVersionName is at least the one given.
bool IsWindowsVersionAtLeast(std::uint32_t major, std::uint32_t minor);

// ---- memory and disk ----------------------------------------------------

using cMemoryStatus = plat::cMemoryInfo;
void GetMemoryStatus(cMemoryStatus& status);

// Bytes available to the player on the file system of the folder (a program
// path; empty: the working folder), capped at 0x7FFFFFFF; 0 when the query
// fails.
std::uint32_t CapDiskFreeBytes(std::uint64_t bytes);
std::uint32_t GetDiskFreeBytes(const std::string& folder = std::string());

// ---- the report's system part ------------------------------------------

struct cSystemFacts {
  std::string osText;
  cCpuInfo cpu;
  cMemoryStatus memory;
  std::uint32_t diskFree = 0;
};

cSystemFacts GatherSystemFacts();

// The seven system lines, without line ends: "OS : %s", "CPU : %s %s %d",
// "Mem Total : %.3fMB", "Mem Free : %3.fMB", "Vir Total : %.3fMB",
// "Vir Free : %3.fMB", "HD Free : %3.fMB".
std::vector<std::string> FormatSystemLines(const cSystemFacts& facts);

// Appends the system lines to the report. False when the report cannot be written.
bool ReportSystemInfo();

// ---- the report's display part -----------------------------------------

// "Mode : Window" or "Mode : Fullscreen", "Bpp : %d", the video-memory and
// refresh-rate lines when the description has those figures, then for the
// Direct3D back end the device block of FormatDxDiagLines.
std::vector<std::string> FormatDisplayLines(const cDisplayDescription& display, bool verbose);

// The device block: the graphics stack's version text, "TextureMem : %dMB",
// "---デバイス0", "Destination : %s" (when the device is named),
// "Driver : %s %1d.%02d.%04d.%04d", "TextureMaxSize : (%d,%d)" and
// "TextureMaxBlend : (%d,%d)". No diagnostics provider exists here, so the
// raw capability record, the format-support table (the verbose parts) and the
// capability flag lines are not written: `verbose` changes nothing.
std::vector<std::string> FormatDxDiagLines(const cDisplayDescription& display, bool verbose);

// Append the display lines, or the device block, of the running drawing
// layer to the report. False when the drawing layer does not run or the
// report cannot be written.
bool ReportDisplayInfo(int verbose);
bool ReportDxDiag(int verbose);

// The driver-interface version of the first display device: 99999, since no
// diagnostics provider exists to read it from ("not available").
int GetDxDiagDDIVersion();

// Free and total video memory in whole megabytes, from the drawing layer's
// description; both 0 when it has no such figures or does not run.
void GetVideoMemoryMB(std::uint32_t* freeMB, std::uint32_t* totalMB);
