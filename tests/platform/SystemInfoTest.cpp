#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/SystemInfo.h"

namespace {

constexpr std::uint64_t kKiB = 1024;

constexpr std::string_view kMeminfo =
    "MemTotal:       16318412 kB\n"
    "MemFree:         1203340 kB\n"
    "MemAvailable:    9876544 kB\n"
    "Buffers:          402128 kB\n"
    "SwapTotal:             0 kB\n"
    "HugePages_Total:       3\n"
    "Broken:          lots kB\n"
    "MemTotalExtra:         7 kB";

constexpr std::string_view kStatus =
    "Name:\tplatform_tests\n"
    "VmPeak:\t  300000 kB\n"
    "VmSize:\t  262144 kB\n"
    "Threads:\t4\n";

TEST(SystemInfoTest, ParsesProcValues) {
  struct Case {
    std::string_view text;
    std::string_view key;
    std::optional<std::uint64_t> value;
  };
  const Case cases[] = {
      {kMeminfo, "MemTotal", 16318412 * kKiB},  // not confused with MemTotalExtra
      {kMeminfo, "MemTotalExtra", 7 * kKiB},     // last line without a line end
      {kMeminfo, "MemAvailable", 9876544 * kKiB},
      {kMeminfo, "SwapTotal", 0},
      {kMeminfo, "HugePages_Total", 3},          // no unit: a count
      {kMeminfo, "Broken", std::nullopt},
      {kMeminfo, "Cached", std::nullopt},
      {kMeminfo, "Mem", std::nullopt},           // a prefix of a key is no key
      {kStatus, "VmSize", 262144 * kKiB},       // tab separated
      {kStatus, "Threads", 4},
      {"", "MemTotal", std::nullopt},
      {"Huge: 99999999999999999999999 kB\n", "Huge", UINT64_MAX},  // saturates
  };
  for (const Case& c : cases) EXPECT_EQ(plat::ParseProcValue(c.text, c.key), c.value) << c.key;
}

TEST(SystemInfoTest, BuildsMemoryFiguresFromProcTexts) {
  struct Case {
    const char* name;
    std::string_view meminfo;
    std::string_view status;
    std::uint64_t limit;
    plat::cMemoryInfo expected;
  };
  const std::uint64_t unlimited = std::uint64_t{1} << 47;
  const Case cases[] = {
      {"normal", kMeminfo, kStatus, unlimited,
       {16318412 * kKiB, 9876544 * kKiB, unlimited, unlimited - 262144 * kKiB}},
      // Old kernels have no MemAvailable.
      {"free only", "MemTotal: 1000 kB\nMemFree: 400 kB\n", kStatus, unlimited,
       {1000 * kKiB, 400 * kKiB, unlimited, unlimited - 262144 * kKiB}},
      // A limit below the mapped size leaves nothing, not a wrapped huge number.
      {"over limit", kMeminfo, kStatus, 100 * kKiB, {16318412 * kKiB, 9876544 * kKiB, 100 * kKiB, 0}},
      {"unreadable", "", "", unlimited, {0, 0, unlimited, unlimited}},
      // Available memory never exceeds the total.
      {"inconsistent", "MemTotal: 10 kB\nMemAvailable: 20 kB\n", "", 4096, {10 * kKiB, 10 * kKiB, 4096, 4096}},
  };
  for (const Case& c : cases) {
    const plat::cMemoryInfo info = plat::MemoryInfoFromProc(c.meminfo, c.status, c.limit);
    EXPECT_EQ(info.totalPhys, c.expected.totalPhys) << c.name;
    EXPECT_EQ(info.availPhys, c.expected.availPhys) << c.name;
    EXPECT_EQ(info.totalVirtual, c.expected.totalVirtual) << c.name;
    EXPECT_EQ(info.availVirtual, c.expected.availVirtual) << c.name;
  }
}

TEST(SystemInfoTest, ReadsVersionNumbersFromTheRelease) {
  struct Case {
    std::string_view release;
    std::uint32_t major, minor, build;
  };
  const Case cases[] = {
      {"6.1.0-13-amd64", 6, 1, 0},
      {"5.15.90.1-microsoft-standard-WSL2", 5, 15, 90},
      {"6.8", 6, 8, 0},
      {"4.19rc1", 4, 19, 0},
      {"6.", 6, 0, 0},
      {"custom", 0, 0, 0},
      {"", 0, 0, 0},
      {"99999999999.1.2", UINT32_MAX, 1, 2},
  };
  for (const Case& c : cases) {
    const plat::cOsInfo info = plat::OsInfoFromUname("Linux", c.release, "#1 SMP");
    EXPECT_EQ(info.name, "Linux " + std::string(c.release));
    EXPECT_EQ(info.version, "#1 SMP");
    EXPECT_EQ(info.major, c.major) << c.release;
    EXPECT_EQ(info.minor, c.minor) << c.release;
    EXPECT_EQ(info.build, c.build) << c.release;
  }
}

TEST(SystemInfoTest, LiveQueriesGiveSaneValues) {
  const plat::cOsInfo os = plat::GetOsInfo();
  EXPECT_EQ(os.name.rfind("Linux ", 0), 0u) << os.name;
  EXPECT_GT(os.major, 0u);
  EXPECT_FALSE(os.version.empty());

  const plat::cMemoryInfo memory = plat::GetMemoryInfo();
  EXPECT_GT(memory.totalPhys, 0u);
  EXPECT_GT(memory.availPhys, 0u);
  EXPECT_LE(memory.availPhys, memory.totalPhys);
  EXPECT_GT(memory.totalVirtual, 0u);
  EXPECT_LE(memory.availVirtual, memory.totalVirtual);

  EXPECT_GT(plat::GetDiskFreeBytes(""), 0u);
  EXPECT_GT(plat::GetDiskFreeBytes("\\"), 0u);
  EXPECT_EQ(plat::GetDiskFreeBytes("\\no such folder\\at all"), 0u);
}

TEST(SystemInfoTest, CpuidAnswersOnlyLeavesTheProcessorHas) {
#if defined(__x86_64__) || defined(__i386__)
  ASSERT_TRUE(plat::HasCpuid());
  const plat::cCpuidLeaf leaf0 = plat::Cpuid(0);
  EXPECT_GE(leaf0.eax, 1u);
  // The vendor text is twelve printable characters in EBX, EDX, ECX.
  for (std::uint32_t word : {leaf0.ebx, leaf0.edx, leaf0.ecx}) {
    for (int shift = 0; shift < 32; shift += 8) {
      const auto c = static_cast<unsigned char>(word >> shift);
      EXPECT_TRUE(c >= 0x20 && c < 0x7F) << int(c);
    }
  }
  const plat::cCpuidLeaf beyond = plat::Cpuid(leaf0.eax + 1);
  EXPECT_EQ(beyond.eax | beyond.ebx | beyond.ecx | beyond.edx, 0u);

  const std::uint64_t first = plat::ReadTimeStampCounter();
  const std::uint64_t second = plat::ReadTimeStampCounter();
  EXPECT_GT(first, 0u);
  EXPECT_GE(second, first);
#else
  EXPECT_FALSE(plat::HasCpuid());
  EXPECT_EQ(plat::ReadTimeStampCounter(), 0u);
#endif
}

}  // namespace
