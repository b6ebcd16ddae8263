#include "world/KeyConfig.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "core/Log.h"
#include "platform/KeySource.h"
#include "platform/PathResolver.h"
#include "platform/VirtualKeys.h"

namespace {

constexpr std::size_t kEntryBytes = 8;
constexpr std::size_t kCountsOffset = kKeyConfigEntries * kEntryBytes;

constexpr uint16_t kDefaultCodes[kKeyConfigEntries] = {
    plat::VK_LEFT, plat::VK_RIGHT, plat::VK_UP, plat::VK_DOWN, 'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'};

uint32_t GetU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
         uint32_t{bytes[at + 3]} << 24;
}

uint16_t GetU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void PutU32(std::uint8_t* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutU16(std::uint8_t* out, uint16_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
}

// What polling will not use of a configuration, said once when it is loaded.
void ReportUnusableValues(const cKeyConfig& config, std::string_view path) {
  const std::string name(path);
  if (config.m_EntryCount > kKeyConfigEntries) {
    ReportPrintfLog("%s : entry count %u, only %d entries are read", name.c_str(), config.m_EntryCount,
                    kKeyConfigEntries);
  }
  if (config.m_JoystickCount > static_cast<uint32_t>(plat::kMaxJoysticks)) {
    ReportPrintfLog("%s : joystick count %u, only %d joysticks are read", name.c_str(), config.m_JoystickCount,
                    plat::kMaxJoysticks);
  }
  const int joysticks = config.UsableJoystickCount();
  for (int i = 0; i < kKeyConfigEntries; ++i) {
    const cKeyConfigEntry& entry = config.m_Entries[static_cast<std::size_t>(i)];
    if (entry.m_Device != kKeyConfigKeyboard && entry.m_Device >= static_cast<uint32_t>(joysticks)) {
      ReportPrintfLog("%s : entry %d names joystick %u, which is not read", name.c_str(), i, entry.m_Device);
    }
  }
}

}  // namespace

int cKeyConfig::UsableEntryCount() const {
  return static_cast<int>(std::min<uint32_t>(m_EntryCount, kKeyConfigEntries));
}

int cKeyConfig::UsableJoystickCount() const {
  return static_cast<int>(std::min<uint32_t>(m_JoystickCount, plat::kMaxJoysticks));
}

bool ParseKeyConfig(std::span<const std::uint8_t> bytes, cKeyConfig& config, std::string* error) {
  // A short file is refused whole: the keys stay as they were rather than
  // being half read from a cut file and half left over.
  if (bytes.size() < kKeyConfigFileSize) {
    if (error != nullptr) {
      *error = "the file holds " + std::to_string(bytes.size()) + " of its " + std::to_string(kKeyConfigFileSize) +
               " bytes";
    }
    return false;
  }
  for (std::size_t i = 0; i < kKeyConfigEntries; ++i) {
    cKeyConfigEntry& entry = config.m_Entries[i];
    entry.m_Device = GetU32(bytes, i * kEntryBytes);
    entry.m_Code = GetU16(bytes, i * kEntryBytes + 4);
    entry.m_Reserved = GetU16(bytes, i * kEntryBytes + 6);
  }
  config.m_EntryCount = GetU32(bytes, kCountsOffset);
  config.m_JoystickCount = GetU32(bytes, kCountsOffset + 4);
  config.m_UseConfig = GetU32(bytes, kCountsOffset + 8);
  return true;
}

std::array<std::uint8_t, kKeyConfigFileSize> KeyConfigBytes(const cKeyConfig& config) {
  std::array<std::uint8_t, kKeyConfigFileSize> bytes{};
  for (std::size_t i = 0; i < kKeyConfigEntries; ++i) {
    const cKeyConfigEntry& entry = config.m_Entries[i];
    PutU32(&bytes[i * kEntryBytes], entry.m_Device);
    PutU16(&bytes[i * kEntryBytes + 4], entry.m_Code);
    PutU16(&bytes[i * kEntryBytes + 6], entry.m_Reserved);
  }
  PutU32(&bytes[kCountsOffset], config.m_EntryCount);
  PutU32(&bytes[kCountsOffset + 4], config.m_JoystickCount);
  PutU32(&bytes[kCountsOffset + 8], config.m_UseConfig);
  return bytes;
}

int LoadKeyConfig(std::string_view path, cKeyConfig& config) {
  if (path.empty()) return 0;
  std::ifstream file(plat::NativePath(path), std::ios::binary);
  if (!file) return 0;
  std::vector<std::uint8_t> bytes(kKeyConfigFileSize);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  std::string error;
  if (!ParseKeyConfig(bytes, config, &error)) {
    ReportPrintfLog("%s : %s; the default keys are used", std::string(path).c_str(), error.c_str());
    return 0;
  }
  ReportUnusableValues(config, path);
  return 1;
}

void DefaultKeyConfig(cKeyConfig& config) {
  for (int i = 0; i < kKeyConfigEntries; ++i) {
    config.m_Entries[static_cast<std::size_t>(i)] = cKeyConfigEntry{kKeyConfigKeyboard, kDefaultCodes[i], 0};
  }
  config.m_EntryCount = kKeyConfigEntries;
  config.m_JoystickCount = 1;
  config.m_UseConfig = 0;
}
