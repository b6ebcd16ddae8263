#pragma once
// The files the sample game puts into the player's working folder beside its
// data tree (pictures, sounds, music), and writing them there.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace samplegame {

// One file: its program path relative to the working folder and its bytes.
struct cSampleFile {
  std::string m_strPath;  // "bmp\Block.bmp"
  std::vector<std::uint8_t> m_Bytes;
};

// Writes the files below the Linux folder `workingFolder`, each through the
// atomic writer (folders are created; files already there are replaced).
// False, with the reason in `error`, when a folder or a file could not be written.
bool WriteSampleFiles(const std::filesystem::path& workingFolder, const std::vector<cSampleFile>& files,
                      std::string& error);

}  // namespace samplegame
