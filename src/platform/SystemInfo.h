#pragma once
// Facts about the machine for the system report: operating system, processor,
// memory and free disk space.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

struct cOsInfo {
  std::string name;     // kernel name and release, "Linux 6.1.0"
  std::string version;  // kernel build text (stands where a service-pack text stood)
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
};

// One CPUID leaf.
struct cCpuidLeaf {
  std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

struct cMemoryInfo {
  std::uint64_t totalPhys = 0;
  std::uint64_t availPhys = 0;
  std::uint64_t totalVirtual = 0;
  std::uint64_t availVirtual = 0;
};

cOsInfo GetOsInfo();

// False when the processor has no CPUID instruction (or this is not x86).
bool HasCpuid();
cCpuidLeaf Cpuid(std::uint32_t leaf);

// Time-stamp counter; 0 where there is none.
std::uint64_t ReadTimeStampCounter();

cMemoryInfo GetMemoryInfo();

// Bytes available to this process on the file system of the folder (program
// form; empty means the working folder). Nullopt-free: 0 when the query fails.
std::uint64_t GetDiskFreeBytes(const std::string& programFolder);

// The steps of the queries above that read text, apart so that sample texts can
// be checked.

// The value of the line "key: 1234 kB" of a procfs text such as /proc/meminfo or
// /proc/self/status, in bytes (a value without the kB unit is returned as it
// stands); nullopt when there is no such line or it holds no number.
std::optional<std::uint64_t> ParseProcValue(std::string_view text, std::string_view key);

// Memory figures from the texts of /proc/meminfo and /proc/self/status and the
// size of the address space the process may use.
cMemoryInfo MemoryInfoFromProc(std::string_view meminfo, std::string_view status, std::uint64_t addressSpaceLimit);

// The operating-system record from the uname fields; the version numbers are
// the leading numbers of the release ("6.1.0-13-amd64" gives 6, 1, 0).
cOsInfo OsInfoFromUname(std::string_view sysname, std::string_view release, std::string_view version);

}  // namespace plat
