// user_data\KeyConfig.dat: 108 bytes read field by field, then used for
// polling whatever its counts and devices say.

#include <algorithm>

#include "fuzz/FuzzSupport.h"
#include "platform/KeySource.h"
#include "world/KeyConfig.h"
#include "world/KeyInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  cKeyConfig config;
  if (!ParseKeyConfig(bytes, config)) return 0;
  const auto written = KeyConfigBytes(config);
  if (!std::equal(written.begin(), written.end(), bytes.begin())) __builtin_trap();

  // Whatever the file names, polling stays within the keys and joysticks
  // there are; the bytes after the file decide what is held.
  plat::cScriptedKeySource keys;
  for (std::size_t i = kKeyConfigFileSize; i < size; ++i) keys.SetKey(data[i], true);
  for (int j = 0; j < plat::kMaxJoysticks; j += 3) keys.SetJoystick(j, plat::sJoyReading{0, 65535, 0xA5A5A5A5u});
  plat::SetKeySource(&keys);
  g_KeyConfig = config;
  cKeyInput input;
  input.InitButtonMasks();
  for (int frame = 0; frame < 3; ++frame) {
    input.PollConfigured(kJoystickRetryFrames);
    input.PollDefault(0, kPollJoystick | kPollKeyboard, kJoystickRetryFrames);
    if (input.m_Buttons > 0xFF || input.m_Dir > kDirAll) __builtin_trap();
  }
  plat::SetKeySource(nullptr);
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  std::vector<std::vector<std::uint8_t>> seeds;
  cKeyConfig config;
  DefaultKeyConfig(config);
  auto bytes = KeyConfigBytes(config);
  seeds.emplace_back(bytes.begin(), bytes.end());
  config.m_UseConfig = 1;
  config.m_JoystickCount = 4;
  config.m_Entries[0] = cKeyConfigEntry{1, JOY_AXIS_LEFT, 0};
  config.m_Entries[5] = cKeyConfigEntry{3, 0x30, 0};
  bytes = KeyConfigBytes(config);
  seeds.emplace_back(bytes.begin(), bytes.end());
  seeds.back().insert(seeds.back().end(), {0x25, 0x5A, 0x20});
  return seeds;
}
