#include "platform/SystemInfo.h"

#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define KESTROVA_HAS_X86 1
#else
#define KESTROVA_HAS_X86 0
#endif

#include <fstream>
#include <limits>
#include <sstream>

#include "platform/PathResolver.h"

namespace plat {
namespace {

// The user part of the x86-64 address space (47 bits), used when the address
// space has no limit.
constexpr std::uint64_t kUnlimitedAddressSpace = std::uint64_t{1} << 47;

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the decimal number at `pos`, saturating instead of overflowing.
std::optional<std::uint64_t> ReadNumber(std::string_view text, std::size_t& pos) {
  if (pos >= text.size() || !IsDigit(text[pos])) return std::nullopt;
  std::uint64_t value = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    const auto digit = static_cast<std::uint64_t>(text[pos] - '0');
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return value;
}

std::uint32_t ToU32(std::uint64_t value) {
  return value > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                           : static_cast<std::uint32_t>(value);
}

std::string ReadWholeFile(const char* path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::uint64_t AddressSpaceLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnlimitedAddressSpace;
  return static_cast<std::uint64_t>(limit.rlim_cur);
}

}  // namespace

std::optional<std::uint64_t> ParseProcValue(std::string_view text, std::string_view key) {
  std::size_t lineStart = 0;
  while (lineStart < text.size()) {
    std::size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = text.size();
    const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ':') continue;

    std::size_t pos = key.size() + 1;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    std::optional<std::uint64_t> value = ReadNumber(line, pos);
    if (!value) return std::nullopt;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (line.substr(pos).starts_with("kB")) *value = *value > kMax / 1024 ? kMax : *value * 1024;
    return value;
  }
  return std::nullopt;
}

cMemoryInfo MemoryInfoFromProc(std::string_view meminfo, std::string_view status, std::uint64_t addressSpaceLimit) {
  cMemoryInfo info;
  info.totalPhys = ParseProcValue(meminfo, "MemTotal").value_or(0);
  // Kernels before 3.14 have no MemAvailable; free memory is the closest figure there.
  info.availPhys = ParseProcValue(meminfo, "MemAvailable").value_or(ParseProcValue(meminfo, "MemFree").value_or(0));
  if (info.availPhys > info.totalPhys) info.availPhys = info.totalPhys;

  info.totalVirtual = addressSpaceLimit;
  const std::uint64_t used = ParseProcValue(status, "VmSize").value_or(0);
  info.availVirtual = used < addressSpaceLimit ? addressSpaceLimit - used : 0;
  return info;
}

cOsInfo OsInfoFromUname(std::string_view sysname, std::string_view release, std::string_view version) {
  cOsInfo info;
  info.name = std::string(sysname) + " " + std::string(release);
  info.version = std::string(version);

  std::uint32_t* const numbers[] = {&info.major, &info.minor, &info.build};
  std::size_t pos = 0;
  for (std::uint32_t* number : numbers) {
    const std::optional<std::uint64_t> value = ReadNumber(release, pos);
    if (!value) break;
    *number = ToU32(*value);
    if (pos >= release.size() || release[pos] != '.') break;
    ++pos;
  }
  return info;
}

cOsInfo GetOsInfo() {
  utsname names{};
  if (uname(&names) != 0) return {};
  return OsInfoFromUname(names.sysname, names.release, names.version);
}

bool HasCpuid() {
#if KESTROVA_HAS_X86
  return __get_cpuid_max(0, nullptr) != 0;
#else
  return false;
#endif
}

cCpuidLeaf Cpuid(std::uint32_t leaf) {
  cCpuidLeaf result;
#if KESTROVA_HAS_X86
  // A leaf above the processor's highest one would return the data of another
  // leaf; __get_cpuid_count refuses it and the leaf stays zero.
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid_count(leaf, 0, &eax, &ebx, &ecx, &edx)) result = {eax, ebx, ecx, edx};
#else
  (void)leaf;
#endif
  return result;
}

std::uint64_t ReadTimeStampCounter() {
#if KESTROVA_HAS_X86
  return __rdtsc();
#else
  return 0;
#endif
}

cMemoryInfo GetMemoryInfo() {
  return MemoryInfoFromProc(ReadWholeFile("/proc/meminfo"), ReadWholeFile("/proc/self/status"), AddressSpaceLimit());
}

std::uint64_t GetDiskFreeBytes(const std::string& programFolder) {
  const std::string folder = programFolder.empty() ? std::string(".") : NativePath(programFolder);
  struct statvfs stats {};
  if (folder.empty() || statvfs(folder.c_str(), &stats) != 0) return 0;
  const auto blocks = static_cast<std::uint64_t>(stats.f_bavail);
  const auto blockSize = static_cast<std::uint64_t>(stats.f_frsize);
  if (blockSize != 0 && blocks > kMax / blockSize) return kMax;
  return blocks * blockSize;
}

}  // namespace plat
