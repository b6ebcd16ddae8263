#pragma once
// Shared by the sound tests: a fresh working folder with the report in it,
// the offline audio device in place of SDL, a recording synthesiser in place
// of FluidSynth, and the sound and music globals back at their start state
// afterwards.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "data/RecordTestSupport.h"
#include "platform/AudioDevice.h"
#include "platform/MidiSynth.h"
#include "sound/AudioOutput.h"
#include "sound/BgmManager.h"
#include "sound/SoundState.h"

namespace soundtest {

class cSoundFixture : public ::testing::Test {
 protected:
  cSoundFixture() {
    SetAudioDeviceFactory([device = m_Device] { return device; });
    plat::SetMidiSynthFactory(
        [record = m_Record](std::string*) { return std::make_unique<plat::cRecordingMidiSynth>(record); });
  }
  ~cSoundFixture() override {
    ResetMusicForTests();
    ResetSoundForTests();
    plat::SetMidiSynthFactory({});
  }

  // Writes a file at a path relative to the working folder, folders made.
  static void WriteFile(const std::string& relativePath, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path path(relativePath);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  static std::string Report() { return recordtest::ReadFileText("Report_Game.txt"); }

  recordtest::cTempFolder m_Folder;
  std::shared_ptr<plat::cOfflineAudioDevice> m_Device = std::make_shared<plat::cOfflineAudioDevice>();
  std::shared_ptr<plat::cMidiRecord> m_Record = std::make_shared<plat::cMidiRecord>();
};

// Sample `i` of channel `channel` (0 left, 1 right) of rendered frames.
inline std::int16_t At(const std::vector<std::int16_t>& frames, std::size_t i, int channel) {
  return frames[2 * i + static_cast<std::size_t>(channel)];
}

}  // namespace soundtest
