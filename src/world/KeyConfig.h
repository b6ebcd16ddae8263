#pragma once
// cKeyConfig: the key configuration, "user_data\KeyConfig.dat": which key or
// joystick input stands for each direction and button. The player only reads
// it (a configuration tool writes it).
//
// The file is 108 bytes, little-endian, with no version word:
//   offset 0    12 entries of 8 bytes: u32 device (8 = the keyboard, any
//               other value = that joystick), u16 code, u16 reserved
//   offset 96   u32 entry count: the 4 direction entries plus the button
//               entries (at most 12)
//   offset 100  u32 joystick count: joysticks 0 to count - 1 are read
//   offset 104  u32 use flag: nonzero = input is read through this
//               configuration (PollConfigured), zero = the fixed mapping
// Entries: 0 left, 1 right, 2 up, 3 down, 4 to 11 buttons 1 to 8. A keyboard
// entry's code is a virtual-key code. A joystick entry's code is an axis code
// (eJoyAxisCode, KeyInput.h) or a mask over the joystick's button bits; an
// axis code counts as a button mask too.
//
// A configuration is used only within its bounds: an entry count above 12
// counts as 12, a joystick count above plat::kMaxJoysticks as that maximum,
// and a joystick entry whose device is not below the joystick count is never
// held. Loading reports such values once.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

inline constexpr int kKeyConfigEntries = 12;
inline constexpr std::size_t kKeyConfigFileSize = 108;
inline constexpr uint32_t kKeyConfigKeyboard = 8;

struct cKeyConfigEntry {
  uint32_t m_Device = 0;
  uint16_t m_Code = 0;
  uint16_t m_Reserved = 0;
};

struct cKeyConfig {
  std::array<cKeyConfigEntry, kKeyConfigEntries> m_Entries{};
  uint32_t m_EntryCount = 0;
  uint32_t m_JoystickCount = 0;
  uint32_t m_UseConfig = 0;

  // The counts as polling uses them (within the bounds above).
  int UsableEntryCount() const;
  int UsableJoystickCount() const;
};

// The key configuration of the run: read once at start-up, never changed
// afterwards. Defined with every global object in app/Globals.cpp.
extern cKeyConfig g_KeyConfig;

// The configuration a file of exactly these bytes holds. False (with the
// reason in *error), and `config` unchanged, when fewer than 108 bytes are
// given; bytes after the 108th are ignored.
bool ParseKeyConfig(std::span<const std::uint8_t> bytes, cKeyConfig& config, std::string* error = nullptr);
// The 108 bytes of a configuration (tests and the sample game write files
// with it).
std::array<std::uint8_t, kKeyConfigFileSize> KeyConfigBytes(const cKeyConfig& config);

// Reads the configuration file at the program path into `config`: 1 when it
// was read; 0 when it is missing or cannot be read (no report line: the
// defaults follow), or when it is shorter than 108 bytes (a report line;
// `config` unchanged). An empty path reads nothing.
int LoadKeyConfig(std::string_view path, cKeyConfig& config);

// The default configuration: every entry the keyboard, the arrows left,
// right, up, down and the letters Z X C V A S D F for buttons 1 to 8; entry
// count 12, joystick count 1, use flag 0.
void DefaultKeyConfig(cKeyConfig& config);
