#include "world/KeyConfig.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "WorldTestSupport.h"
#include "world/KeyInput.h"

namespace {

using worldtest::cWorldFixture;

class KeyConfigTest : public cWorldFixture {
 protected:
  void WriteFile(const std::vector<std::uint8_t>& bytes) {
    std::ofstream file("user_data/KeyConfig.dat", std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  static std::vector<std::uint8_t> Bytes(const cKeyConfig& config) {
    const auto bytes = KeyConfigBytes(config);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  }

  static cKeyConfig Configured() {
    cKeyConfig config;
    DefaultKeyConfig(config);
    config.m_Entries[0] = cKeyConfigEntry{2, JOY_AXIS_LEFT, 0x1234};
    config.m_Entries[11] = cKeyConfigEntry{8, 0xA0, 0};
    config.m_EntryCount = 9;
    config.m_JoystickCount = 3;
    config.m_UseConfig = 1;
    return config;
  }
};

TEST_F(KeyConfigTest, DefaultsAreTheArrowsAndZXCVASDF) {
  cKeyConfig config;
  DefaultKeyConfig(config);
  const std::uint16_t codes[] = {37, 39, 38, 40, 90, 88, 67, 86, 65, 83, 68, 70};
  for (int i = 0; i < kKeyConfigEntries; ++i) {
    EXPECT_EQ(8u, config.m_Entries[static_cast<std::size_t>(i)].m_Device);
    EXPECT_EQ(codes[i], config.m_Entries[static_cast<std::size_t>(i)].m_Code);
    EXPECT_EQ(0, config.m_Entries[static_cast<std::size_t>(i)].m_Reserved);
  }
  EXPECT_EQ(12u, config.m_EntryCount);
  EXPECT_EQ(1u, config.m_JoystickCount);
  EXPECT_EQ(0u, config.m_UseConfig);
}

TEST_F(KeyConfigTest, TheFileLayoutIsFieldByFieldLittleEndian) {
  const std::vector<std::uint8_t> bytes = Bytes(Configured());
  ASSERT_EQ(108u, bytes.size());
  // Entry 0: device 2, code 256, reserved 0x1234.
  EXPECT_EQ((std::vector<std::uint8_t>{2, 0, 0, 0, 0x00, 0x01, 0x34, 0x12}),
            std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8));
  EXPECT_EQ(9, bytes[96]);
  EXPECT_EQ(3, bytes[100]);
  EXPECT_EQ(1, bytes[104]);

  cKeyConfig read;
  ASSERT_TRUE(ParseKeyConfig(bytes, read));
  EXPECT_EQ(bytes, Bytes(read));
}

TEST_F(KeyConfigTest, LoadReadsTheFileAndIgnoresWhatFollowsIt) {
  EnterTempFolder();
  std::vector<std::uint8_t> bytes = Bytes(Configured());
  bytes.push_back(0xEE);
  WriteFile(bytes);
  cKeyConfig config;
  ASSERT_EQ(1, LoadKeyConfig("user_data\\KeyConfig.dat", config));
  EXPECT_EQ(Bytes(Configured()), Bytes(config));
}

TEST_F(KeyConfigTest, MissingOrShortFilesLeaveTheConfigurationAlone) {
  EnterTempFolder();
  cKeyConfig config;
  DefaultKeyConfig(config);
  const std::vector<std::uint8_t> before = Bytes(config);

  EXPECT_EQ(0, LoadKeyConfig("user_data\\KeyConfig.dat", config));
  EXPECT_EQ(0, LoadKeyConfig("", config));
  std::vector<std::uint8_t> shortFile = Bytes(Configured());
  shortFile.resize(107);
  WriteFile(shortFile);
  EXPECT_EQ(0, LoadKeyConfig("user_data\\KeyConfig.dat", config));
  EXPECT_EQ(before, Bytes(config));
}

TEST_F(KeyConfigTest, AFileWithTheUseFlagClearIsReadButTheFixedMappingPolls) {
  EnterTempFolder();
  cKeyConfig file = Configured();
  file.m_UseConfig = 0;
  file.m_Entries[0] = cKeyConfigEntry{8, 'Q', 0};
  WriteFile(Bytes(file));
  ASSERT_EQ(1, LoadKeyConfig("user_data\\KeyConfig.dat", g_KeyConfig));

  cKeyInput keys;
  keys.InitButtonMasks();
  m_Keys.SetKey('Q', true);
  m_Keys.SetKey(plat::VK_LEFT, true);
  EXPECT_EQ(0, keys.PollConfigured(kJoystickRetryFrames));
  EXPECT_EQ(1, keys.PollDefault(0, kPollKeyboard, kJoystickRetryFrames));
  EXPECT_EQ(kDirLeft, keys.m_Dir);
}

TEST_F(KeyConfigTest, UsableCountsStayWithinTheEntriesAndTheJoysticks) {
  const struct {
    std::uint32_t entries;
    std::uint32_t joysticks;
    int usableEntries;
    int usableJoysticks;
  } cases[] = {{0, 0, 0, 0}, {12, 16, 12, 16}, {13, 17, 12, 16}, {0xFFFFFFFFu, 0x80000000u, 12, 16}};
  for (const auto& c : cases) {
    cKeyConfig config;
    config.m_EntryCount = c.entries;
    config.m_JoystickCount = c.joysticks;
    EXPECT_EQ(c.usableEntries, config.UsableEntryCount());
    EXPECT_EQ(c.usableJoysticks, config.UsableJoystickCount());
  }
}

}  // namespace
